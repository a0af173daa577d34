// The fifteen operations of the NetWeaver RFC library that the sensor
// calls, as a table of function addresses, resolved as the classic table is.
#ifndef VENDRALITH_RFC_NETWEAVER_FUNCTIONS_H
#define VENDRALITH_RFC_NETWEAVER_FUNCTIONS_H

#include "rfc/netweaver_library.h"
#include "rfc/rfc_functions.h"

namespace vendralith {

inline constexpr const char* kNetWeaverLibraryName = "sapnwrfc.dll";

struct NetWeaverFunctions {
  decltype(&nw::RfcOpenConnection) RfcOpenConnection = nullptr;
  decltype(&nw::RfcCloseConnection) RfcCloseConnection = nullptr;
  decltype(&nw::RfcGetFunctionDesc) RfcGetFunctionDesc = nullptr;
  decltype(&nw::RfcCreateFunction) RfcCreateFunction = nullptr;
  decltype(&nw::RfcInvoke) RfcInvoke = nullptr;
  decltype(&nw::RfcDestroyFunction) RfcDestroyFunction = nullptr;
  decltype(&nw::RfcGetStructure) RfcGetStructure = nullptr;
  decltype(&nw::RfcGetTable) RfcGetTable = nullptr;
  decltype(&nw::RfcGetRowCount) RfcGetRowCount = nullptr;
  decltype(&nw::RfcMoveToFirstRow) RfcMoveToFirstRow = nullptr;
  decltype(&nw::RfcMoveToNextRow) RfcMoveToNextRow = nullptr;
  decltype(&nw::RfcGetCurrentRow) RfcGetCurrentRow = nullptr;
  decltype(&nw::RfcGetChars) RfcGetChars = nullptr;
  decltype(&nw::RfcGetVersion) RfcGetVersion = nullptr;
  decltype(&nw::RfcGetCharsByIndex) RfcGetCharsByIndex = nullptr;
};

struct NetWeaverResolution {
  NetWeaverFunctions functions;
  std::string missing;  // the first function found under neither name
};

// Each function by its plain name, else by its decorated __stdcall name.
NetWeaverResolution ResolveNetWeaverFunctions(const ExportLookup& lookup);

}  // namespace vendralith

#endif
