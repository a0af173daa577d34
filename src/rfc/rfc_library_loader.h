// Binding the RFC library by loading it when the program runs.
#ifndef VENDRALITH_RFC_RFC_LIBRARY_LOADER_H
#define VENDRALITH_RFC_RFC_LIBRARY_LOADER_H

#include <string>

#include "rfc/rfc_functions.h"

namespace vendralith {

struct RfcLibraryBinding {
  RfcFunctions functions;
  std::string error;  // the message of the error document; empty when bound
};

// Loads the library file (see LoadSharedLibrary for where it is looked for)
// and resolves the twelve functions. The messages name kRfcLibraryName, the
// file that users install, whatever path is given here.
RfcLibraryBinding LoadRfcLibrary(const std::string& file);

}  // namespace vendralith

#endif
