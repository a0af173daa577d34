#include "rfc/rfc_functions.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <set>
#include <string>

#include "rfc/rfc_library_loader.h"

namespace vendralith {
namespace {

// The twelve functions in the order in which a missing one is named, each
// with the bytes of its arguments.
const std::pair<const char*, unsigned> kExports[] = {
    {"RfcEnvironment", 4}, {"RfcOpen", 4},     {"RfcOpenEx", 8},    {"RfcInstallStructure", 16},
    {"RfcCall", 16},       {"RfcReceive", 16}, {"RfcLastError", 4}, {"RfcClose", 4},
    {"ItCreate", 16},      {"ItFill", 4},      {"ItGetLine", 8},    {"ItDelete", 4},
};

// A library's export table: every name maps to its own distinct address.
struct FakeLibrary {
  std::map<std::string, int> cells;
  void* Lookup(const std::string& name) {
    const auto found = cells.find(name);
    return found == cells.end() ? nullptr : &found->second;
  }
};

enum class Naming { Plain, Decorated, Unicode };

FakeLibrary LibraryOf(Naming naming, const std::set<std::string>& left_out) {
  FakeLibrary library;
  for (const auto& [name, bytes] : kExports) {
    if (left_out.count(name) != 0) continue;
    const std::string exported = naming == Naming::Plain       ? name
                                 : naming == Naming::Decorated ? DecoratedName(name, bytes)
                                                               : std::string(name) + "U";
    library.cells[exported] = 0;
  }
  return library;
}

TEST(DecoratedName, CarriesTheArgumentBytes) {
  EXPECT_EQ(DecoratedName("RfcOpenEx", 8), "_RfcOpenEx@8");
  EXPECT_EQ(DecoratedName("ItDelete", 4), "_ItDelete@4");
}

TEST(ResolveRfcFunctions, FindsEachNameOrNamesTheFirstMissing) {
  struct Case {
    const char* what;
    Naming naming;
    std::set<std::string> leftOut;
    const char* missing;
  } cases[] = {
      {"the plain names of the classic library", Naming::Plain, {}, ""},
      {"only decorated names: the fallback finds each", Naming::Decorated, {}, ""},
      {"no RfcOpenEx under either name", Naming::Plain, {"RfcOpenEx"}, "RfcOpenEx"},
      {"two missing: the first in order is named",
       Naming::Decorated,
       {"ItDelete", "RfcOpenEx"},
       "RfcOpenEx"},
      {"the last one missing", Naming::Plain, {"ItDelete"}, "ItDelete"},
      {"the Unicode library's names: none fits", Naming::Unicode, {}, "RfcEnvironment"},
  };
  for (const Case& c : cases) {
    FakeLibrary library = LibraryOf(c.naming, c.leftOut);
    const RfcResolution resolution =
        ResolveRfcFunctions([&library](const std::string& name) { return library.Lookup(name); });
    EXPECT_EQ(resolution.missing, c.missing) << c.what;
  }
}

TEST(ResolveRfcFunctions, EachMemberGetsItsOwnExport) {
  FakeLibrary library = LibraryOf(Naming::Plain, {});
  // One export only under its decorated name, with the wrong byte count:
  // such a name is not the function.
  library.cells.erase("ItGetLine");
  library.cells["_ItGetLine@4"] = 0;
  const RfcResolution resolution =
      ResolveRfcFunctions([&library](const std::string& name) { return library.Lookup(name); });
  const RfcFunctions& f = resolution.functions;
  EXPECT_EQ(reinterpret_cast<void*>(f.RfcOpen), library.Lookup("RfcOpen"));
  EXPECT_EQ(reinterpret_cast<void*>(f.RfcOpenEx), library.Lookup("RfcOpenEx"));
  EXPECT_EQ(reinterpret_cast<void*>(f.ItDelete), library.Lookup("ItDelete"));
  EXPECT_EQ(f.ItGetLine, nullptr);
  EXPECT_EQ(resolution.missing, "ItGetLine");
}

// The simulated library built as a shared library, loaded as the Windows
// program loads librfc32.dll.
TEST(LoadRfcLibrary, BindsTheSharedSimulatedLibrary) {
  const RfcLibraryBinding binding = LoadRfcLibrary(SIMRFC_SHARED_LIBRARY);
  ASSERT_EQ(binding.error, "");
  const RfcFunctions& f = binding.functions;
  for (const void* address :
       {reinterpret_cast<const void*>(f.RfcEnvironment), reinterpret_cast<const void*>(f.RfcOpen),
        reinterpret_cast<const void*>(f.RfcOpenEx),
        reinterpret_cast<const void*>(f.RfcInstallStructure),
        reinterpret_cast<const void*>(f.RfcCall), reinterpret_cast<const void*>(f.RfcReceive),
        reinterpret_cast<const void*>(f.RfcLastError), reinterpret_cast<const void*>(f.RfcClose),
        reinterpret_cast<const void*>(f.ItCreate), reinterpret_cast<const void*>(f.ItFill),
        reinterpret_cast<const void*>(f.ItGetLine), reinterpret_cast<const void*>(f.ItDelete)}) {
    EXPECT_NE(address, nullptr);
  }
  // The loaded code answers: a table made through it has its name's lines.
  const ITAB_H table = f.ItCreate("SHOWSTATLOG", 66, 0, 0);
  ASSERT_NE(table, nullptr);
  EXPECT_EQ(f.ItFill(table), 0u);
  EXPECT_EQ(f.ItDelete(table), 0);
}

TEST(LoadRfcLibrary, NamesWhyTheLibraryIsMissingOrUnusable) {
  const std::string textFile = testing::TempDir() + "librfc32-text.dll";
  std::FILE* file = std::fopen(textFile.c_str(), "wb");
  ASSERT_NE(file, nullptr);
  std::fputs("This is not a library.\r\n", file);
  std::fclose(file);

  struct Case {
    std::string file;
    const char* error;
  } cases[] = {
      {testing::TempDir() + "no-such-folder/librfc32.dll",
       "Error 1009: RFC-Library librfc32.dll is missing..."},  // no file there
      {textFile,
       "Error 1009: RFC-Library librfc32.dll cannot be loaded..."},  // a file, but no library
  };
  for (const Case& c : cases) EXPECT_EQ(LoadRfcLibrary(c.file).error, c.error) << c.file;
  std::remove(textFile.c_str());
}

// Each way a library file can fail to load, in the words of the error
// document, for whichever file name the binding installs.
TEST(LibraryLoadError, NamesTheFileAndWhatIsWrong) {
  const auto library = [](LibraryState state, unsigned bits, const char* missing = "") {
    SharedLibrary loaded;
    loaded.state = state;
    loaded.bits = bits;
    loaded.missing_dependency = missing;
    return loaded;
  };
  struct Case {
    const char* file;
    SharedLibrary library;
    const char* error;
  } cases[] = {
      {"librfc32.dll", library(LibraryState::Loaded, 0), ""},
      {"librfc32.dll", library(LibraryState::Missing, 0),
       "Error 1009: RFC-Library librfc32.dll is missing..."},
      {"librfc32.dll", library(LibraryState::NotLoadable, 0),
       "Error 1009: RFC-Library librfc32.dll cannot be loaded..."},
      {"librfc32.dll", library(LibraryState::OtherArchitecture, 64),
       "Error 1009: RFC-Library librfc32.dll is 64-bit, use the 64-bit vendralith.exe..."},
      {"librfc32.dll", library(LibraryState::OtherArchitecture, 32),
       "Error 1009: RFC-Library librfc32.dll is 32-bit, use the 32-bit vendralith.exe..."},
      // the walk through the import tables found none missing
      {"librfc32.dll", library(LibraryState::DependencyMissing, 0),
       "Error 1009: RFC-Library librfc32.dll cannot be loaded, a library it needs is missing..."},
      // it found one
      {"sapnwrfc.dll", library(LibraryState::DependencyMissing, 0, "icuuc50.dll"),
       "Error 1009: RFC-Library sapnwrfc.dll cannot be loaded, icuuc50.dll is missing..."},
      // the two DLLs of the Visual C++ 2013 runtime say what to install
      {"sapnwrfc.dll", library(LibraryState::DependencyMissing, 0, "msvcr120.dll"),
       "Error 1009: RFC-Library sapnwrfc.dll cannot be loaded, msvcr120.dll is missing "
       "(Visual C++ 2013 runtime)..."},
      {"sapnwrfc.dll", library(LibraryState::DependencyMissing, 0, "msvcp120.dll"),
       "Error 1009: RFC-Library sapnwrfc.dll cannot be loaded, msvcp120.dll is missing "
       "(Visual C++ 2013 runtime)..."},
      // another runtime is named as it is
      {"librfc32.dll", library(LibraryState::DependencyMissing, 0, "msvcr71.dll"),
       "Error 1009: RFC-Library librfc32.dll cannot be loaded, msvcr71.dll is missing..."},
      // another binding's file
      {"sapnwrfc.dll", library(LibraryState::OtherArchitecture, 32),
       "Error 1009: RFC-Library sapnwrfc.dll is 32-bit, use the 32-bit vendralith.exe..."},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(LibraryLoadError(c.file, c.library), c.error) << static_cast<int>(c.library.state);
  }
}

}  // namespace
}  // namespace vendralith
