// Which RFC library a run uses. Both are looked for folder by folder in the
// search order of LibrarySearchFolders: the first folder that holds either
// wins, and within one folder librfc32.dll comes before sapnwrfc.dll, so
// that the NetWeaver SDK installed beside the executable wins over an old
// classic library in a system folder. ",NWRFC" looks for sapnwrfc.dll only.
#ifndef VENDRALITH_RFC_LIBRARY_CHOICE_H
#define VENDRALITH_RFC_LIBRARY_CHOICE_H

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "rfc/rfc_session.h"
#include "system/shared_library.h"

namespace vendralith {

enum class RfcLibraryKind { Classic, NetWeaver };

struct ChosenLibrary {
  RfcLibraryKind kind;
  SharedLibrary library;  // loaded, or refused with the reason
};

// Whether the parameters hold ",NWRFC".
bool NetWeaverOnly(const std::string& parameterString);

// The library file the run uses, loaded by load (LoadLibraryFile) or refused;
// nothing when no folder holds one.
std::optional<ChosenLibrary> ChooseRfcLibrary(
    const std::vector<std::string>& folders, bool netWeaverOnly,
    const std::function<SharedLibrary(const std::string& path)>& load);

// Finds, loads and resolves the library in the folders and makes its
// session the bound one. "" when bound, else the message of the error
// document: 1009 when none is found or it cannot be loaded, 1010 when it
// lacks a function, each naming the file.
std::string BindRfcLibraryFrom(const std::vector<std::string>& folders,
                               const std::string& parameterString, TextForm rowTexts);

}  // namespace vendralith

#endif
