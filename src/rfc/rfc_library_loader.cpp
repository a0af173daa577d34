#include "rfc/rfc_library_loader.h"

namespace vendralith {

namespace {

// What an administrator installs to get the DLL, where the name alone does
// not say it: the NetWeaver SDK needs the Visual C++ 2013 runtime.
std::string InstalledWith(const std::string& dll) {
  if (dll == "msvcr120.dll" || dll == "msvcp120.dll") return " (Visual C++ 2013 runtime)";
  return "";
}

}  // namespace

std::string LibraryLoadError(const std::string& file_name, const SharedLibrary& library) {
  const std::string error = "Error 1009: RFC-Library " + file_name;
  switch (library.state) {
    case LibraryState::Loaded:
      return "";
    case LibraryState::Missing:
      return error + " is missing...";
    case LibraryState::OtherArchitecture: {
      const std::string bits = std::to_string(library.bits);
      return error + " is " + bits + "-bit, use the " + bits + "-bit vendralith.exe...";
    }
    case LibraryState::DependencyMissing:
      if (library.missing_dependency.empty()) {
        return error + " cannot be loaded, a library it needs is missing...";
      }
      return error + " cannot be loaded, " + library.missing_dependency + " is missing" +
             InstalledWith(library.missing_dependency) + "...";
    case LibraryState::NotLoadable:
      break;
  }
  return error + " cannot be loaded...";
}

std::string LibraryLacksError(const std::string& file_name, const std::string& function) {
  return "Error 1010: RFC-Library " + file_name + " lacks " + function + "...";
}

RfcLibraryBinding LoadRfcLibrary(const std::string& file) {
  RfcLibraryBinding binding;
  const SharedLibrary loaded = LoadSharedLibrary(file);
  binding.error = LibraryLoadError(kRfcLibraryName, loaded);
  if (!binding.error.empty()) return binding;
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
