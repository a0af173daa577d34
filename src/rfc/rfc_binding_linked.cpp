// The workbench program: the simulated RFC library's classic face is linked in.
#include "rfc/classic_session.h"
#include "rfc/rfc_functions.h"

namespace vendralith {

const std::string& BindRfcLibrary(const std::string& /*parameterString*/, TextForm /*rowTexts*/) {
  static const std::string error = [] {
    UseRfcFunctions({::RfcEnvironment, ::RfcOpen, ::RfcOpenEx, ::RfcInstallStructure, ::RfcCall,
                     ::RfcReceive, ::RfcLastError, ::RfcClose, ::ItCreate, ::ItFill, ::ItGetLine,
                     ::ItDelete});
    UseSession(MakeClassicSession("librfc32.dll of simrfc, linked in"));
    return std::string();
  }();
  return error;
}

}  // namespace vendralith
