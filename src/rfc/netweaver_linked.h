// The function table of the simulated library's NetWeaver face when it is
// linked into the program: for the workbench's test program and the tests.
#ifndef VENDRALITH_RFC_NETWEAVER_LINKED_H
#define VENDRALITH_RFC_NETWEAVER_LINKED_H

#include "rfc/netweaver_functions.h"

namespace vendralith {

inline NetWeaverFunctions LinkedNetWeaverFunctions() {
  return {nw::RfcOpenConnection, nw::RfcCloseConnection, nw::RfcGetFunctionDesc,
          nw::RfcCreateFunction, nw::RfcInvoke,          nw::RfcDestroyFunction,
          nw::RfcGetStructure,   nw::RfcGetTable,        nw::RfcGetRowCount,
          nw::RfcMoveToFirstRow, nw::RfcMoveToNextRow,   nw::RfcGetCurrentRow,
          nw::RfcGetChars,       nw::RfcGetVersion,      nw::RfcGetCharsByIndex};
}

}  // namespace vendralith

#endif
