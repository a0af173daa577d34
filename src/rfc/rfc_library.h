// The classic RFC client API, as far as the sensor uses it.
//
// This is the one header of the RFC client library that the program includes.
// On the monitoring host the operations come from the vendor's librfc32; on
// the workbench and in every test they come from the simulated library in
// simrfc/, which implements exactly these declarations.
#ifndef VENDRALITH_RFC_RFC_LIBRARY_H
#define VENDRALITH_RFC_RFC_LIBRARY_H

#include <cstdint>

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
typedef void(RFC_ERROR_HANDLER)(char* operation);
typedef void*(RFC_ALLOCATE)(void* old_pointer, std::uint32_t size);

typedef struct {
  RFC_ERROR_HANDLER* errorhandler;
  RFC_ALLOCATE* allocate;
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

// One element of a structure description.
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

void RfcEnvironment(RFC_ENV* environment);
RFC_HANDLE RfcOpen(RFC_OPTIONS* options);
RFC_HANDLE RfcOpenEx(const char* connect_string, RFC_ERROR_INFO_EX* error);
int RfcInstallStructure(const char* name, RFC_TYPE_ELEMENT* elements, unsigned entries,
                        RFC_TYPEHANDLE* type_handle);
RFC_RC RfcCall(RFC_HANDLE handle, const char* function, RFC_PARAMETER* exporting,
               RFC_TABLE* tables);
RFC_RC RfcReceive(RFC_HANDLE handle, RFC_PARAMETER* importing, RFC_TABLE* tables, char** exception);
int RfcLastError(RFC_ERROR_INFO* error_info);
void RfcClose(RFC_HANDLE handle);

ITAB_H ItCreate(const char* name, unsigned line_length, unsigned occurs, unsigned memsize);
unsigned ItFill(ITAB_H table);
void* ItGetLine(ITAB_H table, unsigned line);
int ItDelete(ITAB_H table);

}  // extern "C"

#endif
