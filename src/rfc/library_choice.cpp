#include "rfc/library_choice.h"

#include "rfc/classic_session.h"
#include "rfc/netweaver_functions.h"
#include "rfc/netweaver_session.h"
#include "rfc/rfc_library_loader.h"
#include "system/shared_library.h"

namespace vendralith {

bool NetWeaverOnly(const std::string& parameterString) {
  return parameterString.find(",NWRFC") != std::string::npos;
}

std::optional<RfcLibraryFile> FindRfcLibrary(
    const std::vector<std::string>& folders, bool netWeaverOnly,
    const std::function<bool(const std::string& path)>& isFile) {
  for (const std::string& folder : folders) {
    if (!netWeaverOnly && isFile(folder + kRfcLibraryName)) {
      return RfcLibraryFile{RfcLibraryKind::Classic, folder + kRfcLibraryName};
    }
    if (isFile(folder + kNetWeaverLibraryName)) {
      return RfcLibraryFile{RfcLibraryKind::NetWeaver, folder + kNetWeaverLibraryName};
    }
  }
  return std::nullopt;
}

std::string BindRfcLibraryFrom(const std::vector<std::string>& folders,
                               const std::string& parameterString, TextForm rowTexts) {
  const bool netWeaverOnly = NetWeaverOnly(parameterString);
  const std::optional<RfcLibraryFile> file = FindRfcLibrary(folders, netWeaverOnly, IsLibraryFile);
  if (!file) {
    return LibraryLoadError(netWeaverOnly
                                ? std::string(kNetWeaverLibraryName)
                                : std::string(kRfcLibraryName) + " or " + kNetWeaverLibraryName,
                            LibraryState::Missing);
  }
  const char* name =
      file->kind == RfcLibraryKind::Classic ? kRfcLibraryName : kNetWeaverLibraryName;
  const SharedLibrary loaded = LoadLibraryFile(file->path);
  if (loaded.state != LibraryState::Loaded) return LibraryLoadError(name, loaded.state);
  const ExportLookup lookup = [&loaded](const std::string& exported) {
    return LibraryExport(loaded, exported.c_str());
  };
  if (file->kind == RfcLibraryKind::Classic) {
    const RfcResolution resolution = ResolveRfcFunctions(lookup);
    if (!resolution.missing.empty()) return LibraryLacksError(name, resolution.missing);
    UseRfcFunctions(resolution.functions);
    UseSession(MakeClassicSession(file->path));
    return {};
  }
  const NetWeaverResolution resolution = ResolveNetWeaverFunctions(lookup);
  if (!resolution.missing.empty()) return LibraryLacksError(name, resolution.missing);
  UseSession(MakeNetWeaverSession(resolution.functions, file->path, rowTexts));
  return {};
}

}  // namespace vendralith
