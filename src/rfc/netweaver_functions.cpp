#include "rfc/netweaver_functions.h"

namespace vendralith {

NetWeaverResolution ResolveNetWeaverFunctions(const ExportLookup& lookup) {
  NetWeaverResolution resolution;
  ExportBinder bind(lookup, resolution.missing);
  NetWeaverFunctions& table = resolution.functions;
  bind(table.RfcOpenConnection, "RfcOpenConnection", 12);
  bind(table.RfcCloseConnection, "RfcCloseConnection", 8);
  bind(table.RfcGetFunctionDesc, "RfcGetFunctionDesc", 12);
  bind(table.RfcCreateFunction, "RfcCreateFunction", 8);
  bind(table.RfcInvoke, "RfcInvoke", 12);
  bind(table.RfcDestroyFunction, "RfcDestroyFunction", 8);
  bind(table.RfcGetStructure, "RfcGetStructure", 16);
  bind(table.RfcGetTable, "RfcGetTable", 16);
  bind(table.RfcGetRowCount, "RfcGetRowCount", 12);
  bind(table.RfcMoveToFirstRow, "RfcMoveToFirstRow", 8);
  bind(table.RfcMoveToNextRow, "RfcMoveToNextRow", 8);
  bind(table.RfcGetCurrentRow, "RfcGetCurrentRow", 8);
  bind(table.RfcGetChars, "RfcGetChars", 20);
  bind(table.RfcGetVersion, "RfcGetVersion", 12);
  bind(table.RfcGetCharsByIndex, "RfcGetCharsByIndex", 20);
  return resolution;
}

}  // namespace vendralith
