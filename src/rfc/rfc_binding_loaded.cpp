// The Windows program: librfc32.dll or sapnwrfc.dll is loaded on the first RFC
// operation, so a run that ends before one never needs either.
#include "rfc/library_choice.h"
#include "system/shared_library.h"

namespace vendralith {

const std::string& BindRfcLibrary(const std::string& parameterString, TextForm rowTexts) {
  static const std::string error =
      BindRfcLibraryFrom(LibrarySearchFolders(), parameterString, rowTexts);
  return error;
}

}  // namespace vendralith
