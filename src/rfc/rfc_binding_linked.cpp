// The workbench program: the simulated RFC library is linked in.
#include "rfc/rfc_functions.h"

namespace vendralith {

const std::string& BindRfcLibrary() {
  static const std::string error = [] {
    UseRfcFunctions({::RfcEnvironment, ::RfcOpen, ::RfcOpenEx, ::RfcInstallStructure, ::RfcCall,
                     ::RfcReceive, ::RfcLastError, ::RfcClose, ::ItCreate, ::ItFill, ::ItGetLine,
                     ::ItDelete});
    return std::string();
  }();
  return error;
}

}  // namespace vendralith
