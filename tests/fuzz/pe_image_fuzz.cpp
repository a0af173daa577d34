// The PE header readers on any file content, and the walk for a missing DLL
// over a folder in which every DLL is that file.
#include <optional>
#include <string>
#include <vector>

#include "fuzz_input.h"
#include "system/dependency_walk.h"
#include "system/pe_image.h"

using vendralith::fuzz::FuzzInput;
using vendralith::fuzz::Require;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzInput input(data, size);
  // The first byte decides which DLL names the folder holds: those whose
  // length has that bit set are missing.
  const std::uint8_t missingBits = input.Byte();
  const std::string_view image = input.Rest();
  const vendralith::PeMachine machine = vendralith::PeImageMachine(image);
  const std::vector<std::string> imports = vendralith::PeImageImports(image);
  Require(imports.size() <= vendralith::kPeMaximumImports, "a bounded number of names");
  for (const std::string& name : imports) {
    Require(!name.empty() && name.size() <= vendralith::kPeMaximumImportName,
            "a name is not empty and bounded");
    Require(name.find('\0') == std::string::npos, "a name ends at its terminator");
  }
  Require(imports.empty() || machine != vendralith::PeMachine::NotPeImage,
          "imports only of a PE image");

  std::size_t lookups = 0;
  const vendralith::ImportsOfFile importsOf =
      [&](const std::string& path) -> std::optional<std::vector<std::string>> {
    ++lookups;
    if (path.rfind("C:\\lib\\", 0) != 0 || ((path.size() & missingBits) != 0)) {
      return std::nullopt;
    }
    return imports;
  };
  const std::string missing = vendralith::FirstMissingDependency(
      "C:\\lib\\sapnwrfc.dll", {"C:\\lib\\", "C:\\exe\\"}, importsOf);
  Require(lookups <= vendralith::kMaximumWalkLookups, "a bounded walk");
  for (const char c : missing) Require(c < 'A' || c > 'Z', "the name in lower case");
  return 0;
}
