#include "rfc/rfc_library_loader.h"

#include "system/shared_library.h"

namespace vendralith {

RfcLibraryBinding LoadRfcLibrary(const std::string& file) {
  RfcLibraryBinding binding;
  const std::string library = std::string("RFC-Library ") + kRfcLibraryName;
  const SharedLibrary loaded = LoadSharedLibrary(file);
  if (loaded.state == LibraryState::Missing) {
    binding.error = "Error 1009: " + library + " is missing...";
    return binding;
  }
  if (loaded.state == LibraryState::NotLoadable) {
    binding.error = "Error 1009: " + library + " cannot be loaded...";
    return binding;
  }
  RfcResolution resolution = ResolveRfcFunctions(
      [&loaded](const std::string& name) { return LibraryExport(loaded, name.c_str()); });
  if (!resolution.missing.empty()) {
    binding.error = "Error 1010: " + library + " lacks " + resolution.missing + "...";
    return binding;
  }
  binding.functions = resolution.functions;
  return binding;
}

}  // namespace vendralith
