// A test program of the workbench: the simulated RFC library's NetWeaver
// face is linked in, so that every end-to-end case also runs through the
// NetWeaver binding natively. Never shipped.
#include "rfc/netweaver_linked.h"
#include "rfc/netweaver_session.h"

namespace vendralith {

const std::string& BindRfcLibrary(const std::string& /*parameterString*/, TextForm rowTexts) {
  static const std::string error = [rowTexts] {
    UseSession(MakeNetWeaverSession(LinkedNetWeaverFunctions(), "sapnwrfc.dll of simrfc, linked in",
                                    rowTexts));
    return std::string();
  }();
  return error;
}

}  // namespace vendralith
