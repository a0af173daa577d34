// Binding the RFC library by loading it when the program runs.
#ifndef VENDRALITH_RFC_RFC_LIBRARY_LOADER_H
#define VENDRALITH_RFC_RFC_LIBRARY_LOADER_H

#include <string>

#include "rfc/rfc_functions.h"
#include "system/shared_library.h"

namespace vendralith {

struct RfcLibraryBinding {
  RfcFunctions functions;
  std::string error;  // the message of the error document; empty when bound
};

// The 1009 message for a library file that was not loaded, naming it by
// file_name (the name users install, such as "librfc32.dll"), and the DLL it
// needs where one was found missing; empty when it was loaded.
std::string LibraryLoadError(const std::string& file_name, const SharedLibrary& library);

// The 1010 message for a loaded library that lacks the function.
std::string LibraryLacksError(const std::string& file_name, const std::string& function);

// Loads the library file (see LoadSharedLibrary for where it is looked for)
// and resolves the twelve functions. The messages name kRfcLibraryName, the
// file that users install, whatever path is given here.
RfcLibraryBinding LoadRfcLibrary(const std::string& file);

}  // namespace vendralith

#endif
