#include "rfc/library_choice.h"

#include "rfc/classic_session.h"
#include "rfc/netweaver_functions.h"
#include "rfc/netweaver_session.h"
#include "rfc/rfc_library_loader.h"

namespace vendralith {

bool NetWeaverOnly(const std::string& parameterString) {
  return parameterString.find(",NWRFC") != std::string::npos;
}

std::optional<ChosenLibrary> ChooseRfcLibrary(
    const std::vector<std::string>& folders, bool netWeaverOnly,
    const std::function<SharedLibrary(const std::string& path)>& load) {
  std::optional<ChosenLibrary> firstFound;
  for (const std::string& folder : folders) {
    for (const RfcLibraryKind kind : {RfcLibraryKind::Classic, RfcLibraryKind::NetWeaver}) {
      if (netWeaverOnly && kind == RfcLibraryKind::Classic) continue;
      const char* name = kind == RfcLibraryKind::Classic ? kRfcLibraryName : kNetWeaverLibraryName;
      SharedLibrary library = load(folder + name);
      if (library.state == LibraryState::Loaded) return ChosenLibrary{kind, std::move(library)};
      if (library.state != LibraryState::Missing && !firstFound) {
        firstFound = ChosenLibrary{kind, std::move(library)};
      }
    }
  }
  return firstFound;
}

std::string BindRfcLibraryFrom(const std::vector<std::string>& folders,
                               const std::string& parameterString, TextForm rowTexts) {
  const bool netWeaverOnly = NetWeaverOnly(parameterString);
  const std::optional<ChosenLibrary> chosen =
      ChooseRfcLibrary(folders, netWeaverOnly, LoadLibraryFile);
  if (!chosen) {
    SharedLibrary none;
    return LibraryLoadError(netWeaverOnly
                                ? std::string(kNetWeaverLibraryName)
                                : std::string(kRfcLibraryName) + " or " + kNetWeaverLibraryName,
                            none);
  }
  const char* name =
      chosen->kind == RfcLibraryKind::Classic ? kRfcLibraryName : kNetWeaverLibraryName;
  if (chosen->library.state != LibraryState::Loaded) {
    SharedLibrary refused = chosen->library;
    // Only now, for the one library the message names, are its imports walked.
    if (refused.state == LibraryState::DependencyMissing) {
      refused.missing_dependency = MissingDependency(refused.path);
    }
    return LibraryLoadError(name, refused);
  }
  const SharedLibrary& loaded = chosen->library;
  const ExportLookup lookup = [&loaded](const std::string& exported) {
    return LibraryExport(loaded, exported.c_str());
  };
  if (chosen->kind == RfcLibraryKind::Classic) {
    const RfcResolution resolution = ResolveRfcFunctions(lookup);
    if (!resolution.missing.empty()) return LibraryLacksError(name, resolution.missing);
    UseRfcFunctions(resolution.functions);
    UseSession(MakeClassicSession(loaded.path));
    return {};
  }
  const NetWeaverResolution resolution = ResolveNetWeaverFunctions(lookup);
  if (!resolution.missing.empty()) return LibraryLacksError(name, resolution.missing);
  UseSession(MakeNetWeaverSession(resolution.functions, loaded.path, rowTexts));
  return {};
}

}  // namespace vendralith
