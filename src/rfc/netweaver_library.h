// The NetWeaver RFC client API (sapnwrfc.dll), as far as the sensor uses it:
// our own declarations of its published binary interface.
//
// Texts are UTF-16 code units (SAP_UC), zero-terminated unless stated; on
// Windows that is wchar_t, here char16_t, the same two bytes. Every export
// uses __stdcall on 32-bit Windows; x64 has one convention. Handles are
// opaque pointers. The declarations live in a namespace of their own, so
// that the classic library's RFC_ERROR_INFO and RFC_RC keep their meaning;
// the functions keep their C names.
#ifndef VENDRALITH_RFC_NETWEAVER_LIBRARY_H
#define VENDRALITH_RFC_NETWEAVER_LIBRARY_H

#include "rfc/rfc_library.h"  // RFC_STDCALL: the same convention as the classic library

namespace vendralith::nw {

using SapUc = char16_t;

enum RfcRc : int {
  RFC_OK = 0,
  RFC_COMMUNICATION_FAILURE = 1,
  RFC_LOGON_FAILURE = 2,
  RFC_ABAP_RUNTIME_FAILURE = 3,
  RFC_ABAP_MESSAGE = 4,
  RFC_ABAP_EXCEPTION = 5,
  RFC_CLOSED = 6,
  RFC_CANCELED = 7,
  RFC_TIMEOUT = 8,
  RFC_MEMORY_INSUFFICIENT = 9,
  RFC_VERSION_MISMATCH = 10,
  RFC_INVALID_PROTOCOL = 11,
  RFC_SERIALIZATION_FAILURE = 12,
  RFC_INVALID_HANDLE = 13,
  RFC_RETRY = 14,
  RFC_EXTERNAL_FAILURE = 15,
  RFC_EXECUTED = 16,
  RFC_NOT_FOUND = 17,
  RFC_NOT_SUPPORTED = 18,
  RFC_ILLEGAL_STATE = 19,
  RFC_INVALID_PARAMETER = 20,
  RFC_CODEPAGE_CONVERSION_FAILURE = 21,
  RFC_CONVERSION_FAILURE = 22,
  RFC_BUFFER_TOO_SMALL = 23,
  RFC_TABLE_MOVE_BOF = 24,
  RFC_TABLE_MOVE_EOF = 25,
  RFC_START_SAPGUI_FAILURE = 26,
  RFC_ABAP_CLASS_EXCEPTION = 27,
  RFC_UNKNOWN_ERROR = 28,
  RFC_AUTHORIZATION_FAILURE = 29,
};

enum RfcErrorGroup : int {
  OK = 0,
  ABAP_APPLICATION_FAILURE = 1,
  ABAP_RUNTIME_FAILURE = 2,
  LOGON_FAILURE = 3,
  COMMUNICATION_FAILURE = 4,
  EXTERNAL_RUNTIME_FAILURE = 5,
  EXTERNAL_APPLICATION_FAILURE = 6,
  EXTERNAL_AUTHORIZATION_FAILURE = 7,
};

struct RfcErrorInfo {
  RfcRc code;
  RfcErrorGroup group;
  SapUc key[128];
  SapUc message[512];
  SapUc abapMsgClass[21];
  SapUc abapMsgType[2];
  SapUc abapMsgNumber[4];
  SapUc abapMsgV1[51];
  SapUc abapMsgV2[51];
  SapUc abapMsgV3[51];
  SapUc abapMsgV4[51];
};
// The same on both architectures: 1750 bytes of members, padded to 4.
static_assert(sizeof(RfcErrorInfo) == 1752);
static_assert(sizeof(RfcRc) == 4 && sizeof(RfcErrorGroup) == 4);

// Parameter names are not case-sensitive.
struct RfcConnectionParameter {
  const SapUc* name;
  const SapUc* value;
};
static_assert(sizeof(RfcConnectionParameter) == 2 * sizeof(void*));

struct RfcConnection;
struct RfcFunctionDesc;
struct RfcDataContainer;  // a function, a structure or a table
using RfcConnectionHandle = RfcConnection*;
using RfcFunctionDescHandle = RfcFunctionDesc*;
using RfcFunctionHandle = RfcDataContainer*;
using RfcStructureHandle = RfcDataContainer*;
using RfcTableHandle = RfcDataContainer*;

extern "C" {

// Null on failure. [12]
RfcConnectionHandle RFC_STDCALL RfcOpenConnection(const RfcConnectionParameter* parameters,
                                                  unsigned count, RfcErrorInfo* error);
RfcRc RFC_STDCALL RfcCloseConnection(RfcConnectionHandle connection, RfcErrorInfo* error);  // [8]
// Null on failure. [12]
RfcFunctionDescHandle RFC_STDCALL RfcGetFunctionDesc(RfcConnectionHandle connection,
                                                     const SapUc* name, RfcErrorInfo* error);
// Null on failure. [8]
RfcFunctionHandle RFC_STDCALL RfcCreateFunction(RfcFunctionDescHandle description,
                                                RfcErrorInfo* error);
RfcRc RFC_STDCALL RfcInvoke(RfcConnectionHandle connection, RfcFunctionHandle function,
                            RfcErrorInfo* error);                                       // [12]
RfcRc RFC_STDCALL RfcDestroyFunction(RfcFunctionHandle function, RfcErrorInfo* error);  // [8]
RfcRc RFC_STDCALL RfcGetStructure(RfcDataContainer* container, const SapUc* name,
                                  RfcStructureHandle* structure, RfcErrorInfo* error);  // [16]
RfcRc RFC_STDCALL RfcGetTable(RfcDataContainer* container, const SapUc* name, RfcTableHandle* table,
                              RfcErrorInfo* error);  // [16]
RfcRc RFC_STDCALL RfcGetRowCount(RfcTableHandle table, unsigned* count,
                                 RfcErrorInfo* error);                           // [12]
RfcRc RFC_STDCALL RfcMoveToFirstRow(RfcTableHandle table, RfcErrorInfo* error);  // [8]
RfcRc RFC_STDCALL RfcMoveToNextRow(RfcTableHandle table, RfcErrorInfo* error);   // [8]
// Null on failure. [8]
RfcStructureHandle RFC_STDCALL RfcGetCurrentRow(RfcTableHandle table, RfcErrorInfo* error);
// Fills length units, blank-padded, with no terminator; RFC_BUFFER_TOO_SMALL
// when the field is wider than length, RFC_INVALID_PARAMETER for a name the
// container lacks. [20]
RfcRc RFC_STDCALL RfcGetChars(RfcDataContainer* container, const SapUc* name, SapUc* buffer,
                              unsigned length, RfcErrorInfo* error);
// The same for the field at index (from 0) in the container's layout. [20]
RfcRc RFC_STDCALL RfcGetCharsByIndex(RfcDataContainer* container, unsigned index, SapUc* buffer,
                                     unsigned length, RfcErrorInfo* error);
// The version text; the three numbers through the pointers: the release as
// one number (7500 for 7.50), 0, and the patch level. [12]
const SapUc* RFC_STDCALL RfcGetVersion(unsigned* major, unsigned* minor, unsigned* patch);

}  // extern "C"

}  // namespace vendralith::nw

#endif
