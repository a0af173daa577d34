// The classic RFC client API, as far as the sensor uses it: the binary
// interface of the vendor's non-Unicode librfc32.dll.
//
// This is the one header of the RFC client library that the program includes.
// On the monitoring host the Windows program loads librfc32.dll when it runs
// (rfc/rfc_functions.h); on the workbench the simulated library in simrfc/,
// which implements exactly these declarations, is linked in. The simulated
// library is also built as a drop-in librfc32.dll for the Windows tests.
//
// The library's interface on 32-bit Windows: every export and the error
// handler use __stdcall, texts are 8-bit char*, handles are 32-bit unsigned,
// and no structure is packed. On x64 there is one calling convention and the
// export names are plain; texts and handles are as on 32-bit, pointers and
// ITAB_H take 8 bytes and every structure its natural layout. The sizes of
// both are pinned below.
#ifndef VENDRALITH_RFC_RFC_LIBRARY_H
#define VENDRALITH_RFC_RFC_LIBRARY_H

#include <cstdint>

// The calling convention of the library's exports and of the error handler.
#if defined(_WIN32) && !defined(_WIN64)
#define RFC_STDCALL __stdcall
#else
#define RFC_STDCALL
#endif

extern "C" {

// A connection handle; 0 means "no connection".
typedef std::uint32_t RFC_HANDLE;

// Result codes of the remote-call operations (the program's QueryStatus).
typedef int RFC_RC;
enum {
  RFC_OK = 0,             // success
  RFC_FAILURE = 1,        // communication failure
  RFC_EXCEPTION = 2,      // the function module raised an exception
  RFC_SYS_EXCEPTION = 3,  // system exception
};

// Type codes of parameter and structure elements.
typedef unsigned RFC_TYPEHANDLE;
enum {
  TYPC = 0,   // characters, blank-padded, no terminator
  TYPINT = 8  // 4-byte integer
};

// The library calls this with one text naming the failed operation.
typedef void(RFC_STDCALL* RFC_ERROR_HANDLER)(char* operation);
typedef void*(RFC_STDCALL* RFC_ALLOCATE)(void* old_pointer, std::uint32_t size);

typedef struct {
  RFC_ERROR_HANDLER errorhandler;
  RFC_ALLOCATE allocate;
} RFC_ENV;

// R/2 connection: the gateway.
typedef struct {
  char* gateway_host;
  char* gateway_service;
} RFC_CONNOPT_R2;

// R/3 connection: application server and system number.
typedef struct {
  char* hostname;
  std::int32_t sysnr;
  char* gateway_host;
  char* gateway_service;
} RFC_CONNOPT_R3;

enum { RFC_MODE_R3ONLY = 0, RFC_MODE_CPIC = 1 };

typedef struct {
  char* destination;
  std::int32_t mode;  // RFC_MODE_CPIC (1) for R/2, else RFC_MODE_R3ONLY (0)
  void* connopt;      // RFC_CONNOPT_R2* or RFC_CONNOPT_R3*, by mode
  char* client;
  char* user;
  char* password;
  char* language;
  std::int32_t trace;
} RFC_OPTIONS;

// Four zero-terminated texts, in this order.
typedef struct {
  char key[33];
  char status[128];
  char message[256];
  char intstat[128];
} RFC_ERROR_INFO;

// The error record of RfcOpenEx (the program never reads it).
typedef struct {
  int group;
  char key[33];
  char message[513];
} RFC_ERROR_INFO_EX;

// One element of a structure description. The library does not read the
// fifth member; the sensor leaves it 0.
typedef struct {
  char* name;
  unsigned type;
  unsigned length;
  unsigned decimals;
  unsigned offset;
} RFC_TYPE_ELEMENT;

// An importing or exporting parameter; a list ends with name == nullptr.
typedef struct {
  void* name;
  unsigned nlen;
  unsigned type;  // a type code, or an installed type handle
  unsigned leng;  // value length in bytes
  void* addr;
} RFC_PARAMETER;

// An internal table of fixed-length lines.
typedef void* ITAB_H;

enum { RFC_ITMODE_BYREFERENCE = 0 };

// A table parameter; a list ends with name == nullptr. The program sets
// name, nlen, type and ithandle; the other members are not set.
typedef struct {
  void* name;
  unsigned nlen;
  RFC_TYPEHANDLE type;
  unsigned leng;
  ITAB_H ithandle;
  int itmode;
  int newitab;
} RFC_TABLE;

void RFC_STDCALL RfcEnvironment(RFC_ENV* environment);
RFC_HANDLE RFC_STDCALL RfcOpen(RFC_OPTIONS* options);
RFC_HANDLE RFC_STDCALL RfcOpenEx(const char* connect_string, RFC_ERROR_INFO_EX* error);
int RFC_STDCALL RfcInstallStructure(const char* name, RFC_TYPE_ELEMENT* elements, unsigned entries,
                                    RFC_TYPEHANDLE* type_handle);
RFC_RC RFC_STDCALL RfcCall(RFC_HANDLE handle, const char* function, RFC_PARAMETER* exporting,
                           RFC_TABLE* tables);
RFC_RC RFC_STDCALL RfcReceive(RFC_HANDLE handle, RFC_PARAMETER* importing, RFC_TABLE* tables,
                              char** exception);
int RFC_STDCALL RfcLastError(RFC_ERROR_INFO* error_info);
void RFC_STDCALL RfcClose(RFC_HANDLE handle);

ITAB_H RFC_STDCALL ItCreate(const char* name, unsigned line_length, unsigned occurs,
                            unsigned memsize);
unsigned RFC_STDCALL ItFill(ITAB_H table);
void* RFC_STDCALL ItGetLine(ITAB_H table, unsigned line);
int RFC_STDCALL ItDelete(ITAB_H table);

}  // extern "C"

// The layouts of the library's structures, pinned per architecture. The
// declarations above are the same for both: on 32-bit Windows pointers take
// 4 bytes, on x64 (and on the 64-bit workbench, which builds the simulated
// library from them) 8 bytes with their natural alignment; RFC_HANDLE and the
// type codes stay 32-bit unsigned, and nothing is packed.
struct RfcLayout {
  unsigned environment;
  unsigned options;
  unsigned connopt_r3;
  unsigned connopt_r2;
  unsigned error_info_ex;
  unsigned parameter;
  unsigned table;
  unsigned type_element;
};
inline constexpr RfcLayout kRfcLayout32 = {8, 32, 16, 8, 552, 20, 28, 20};
inline constexpr RfcLayout kRfcLayout64 = {16, 64, 32, 16, 552, 32, 40, 24};

static_assert(sizeof(void*) == 4 || sizeof(void*) == 8);
inline constexpr RfcLayout kRfcLayout = sizeof(void*) == 4 ? kRfcLayout32 : kRfcLayout64;
static_assert(sizeof(RFC_HANDLE) == 4);
static_assert(sizeof(RFC_TYPEHANDLE) == 4);
static_assert(sizeof(RFC_ENV) == kRfcLayout.environment);
static_assert(sizeof(RFC_OPTIONS) == kRfcLayout.options);
static_assert(sizeof(RFC_CONNOPT_R3) == kRfcLayout.connopt_r3);
static_assert(sizeof(RFC_CONNOPT_R2) == kRfcLayout.connopt_r2);
static_assert(sizeof(RFC_ERROR_INFO) == 33 + 128 + 256 + 128);
static_assert(sizeof(RFC_ERROR_INFO_EX) == kRfcLayout.error_info_ex);
static_assert(sizeof(RFC_PARAMETER) == kRfcLayout.parameter);
static_assert(sizeof(RFC_TABLE) == kRfcLayout.table);
static_assert(sizeof(RFC_TYPE_ELEMENT) == kRfcLayout.type_element);

#endif
