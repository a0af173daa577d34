// Which RFC library a run uses. Both are looked for folder by folder in the
// search order of LibrarySearchFolders, and within one folder librfc32.dll
// before sapnwrfc.dll: the first that loads wins, so that the NetWeaver SDK
// installed beside the executable wins over an old classic library in a
// system folder, and a library of the wrong bitness or one that lacks a DLL
// does not hide a fitting one further on. ",NWRFC" looks for sapnwrfc.dll
// only.
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

// The library file the run uses: the first that load (LoadLibraryFile)
// loads, else the first found, refused with its reason; nothing when no
// folder holds one.
std::optional<ChosenLibrary> ChooseRfcLibrary(
    const std::vector<std::string>& folders, bool netWeaverOnly,
    const std::function<SharedLibrary(const std::string& path)>& load);

// Finds, loads and resolves the library in the folders and makes its
// session the bound one. "" when bound, else the message of the error
// document: 1009 when none is found or none can be loaded (naming the first
// found, and the DLL it lacks where one is found missing), 1010 when the
// library loaded lacks a function, each naming the file.
std::string BindRfcLibraryFrom(const std::vector<std::string>& folders,
                               const std::string& parameterString, TextForm rowTexts);

}  // namespace vendralith

#endif
