#include "rfc/rfc_library_loader.h"

namespace vendralith {

std::string LibraryLoadError(const std::string& fileName, LibraryState state) {
  const std::string library = "RFC-Library " + fileName;
  if (state == LibraryState::NotLoadable) return "Error 1009: " + library + " cannot be loaded...";
  return "Error 1009: " + library + " is missing...";
}

std::string LibraryLacksError(const std::string& fileName, const std::string& function) {
  return "Error 1010: RFC-Library " + fileName + " lacks " + function + "...";
}

RfcLibraryBinding LoadRfcLibrary(const std::string& file) {
  RfcLibraryBinding binding;
  const SharedLibrary loaded = LoadSharedLibrary(file);
  if (loaded.state != LibraryState::Loaded) {
    binding.error = LibraryLoadError(kRfcLibraryName, loaded.state);
    return binding;
  }
  RfcResolution resolution = ResolveRfcFunctions(
      [&loaded](const std::string& name) { return LibraryExport(loaded, name.c_str()); });
  if (!resolution.missing.empty()) {
    binding.error = LibraryLacksError(kRfcLibraryName, resolution.missing);
    return binding;
  }
  binding.functions = resolution.functions;
  return binding;
}

}  // namespace vendralith
