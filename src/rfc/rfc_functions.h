// The twelve operations of the RFC library that the sensor calls, as a table
// of function addresses bound once per process.
//
// The Windows program loads librfc32.dll on its first RFC operation; the
// workbench build has the simulated library linked in. Either way every call
// goes through Rfc(), so the rest of the program does not know which.
#ifndef VENDRALITH_RFC_RFC_FUNCTIONS_H
#define VENDRALITH_RFC_RFC_FUNCTIONS_H

#include <functional>
#include <string>

#include "rfc/rfc_library.h"

namespace vendralith {

inline constexpr const char* kRfcLibraryName = "librfc32.dll";

struct RfcFunctions {
  decltype(&::RfcEnvironment) RfcEnvironment = nullptr;
  decltype(&::RfcOpen) RfcOpen = nullptr;
  decltype(&::RfcOpenEx) RfcOpenEx = nullptr;
  decltype(&::RfcInstallStructure) RfcInstallStructure = nullptr;
  decltype(&::RfcCall) RfcCall = nullptr;
  decltype(&::RfcReceive) RfcReceive = nullptr;
  decltype(&::RfcLastError) RfcLastError = nullptr;
  decltype(&::RfcClose) RfcClose = nullptr;
  decltype(&::ItCreate) ItCreate = nullptr;
  decltype(&::ItFill) ItFill = nullptr;
  decltype(&::ItGetLine) ItGetLine = nullptr;
  decltype(&::ItDelete) ItDelete = nullptr;
};

// The name under which a __stdcall export may also be found: "_RfcOpenEx@8"
// for RfcOpenEx with its 8 bytes of arguments.
std::string DecoratedName(const char* name, unsigned argumentBytes);

// The address of an export by name; null when there is none.
using ExportLookup = std::function<void*(const std::string& name)>;

// An export by its plain name, else by its decorated name; null when neither.
void* ResolveExport(const ExportLookup& lookup, const char* name, unsigned argumentBytes);

// Binds members of a function table one by one through ResolveExport and
// keeps the name of the first that is found under neither name.
class ExportBinder {
 public:
  ExportBinder(const ExportLookup& lookup, std::string& missing)
      : lookup_(lookup), missing_(missing) {}

  template <typename Function>
  void operator()(Function& member, const char* name, unsigned argumentBytes) {
    void* address = ResolveExport(lookup_, name, argumentBytes);
    if (address == nullptr && missing_.empty()) missing_ = name;
    member = reinterpret_cast<Function>(address);
  }

 private:
  const ExportLookup& lookup_;
  std::string& missing_;
};

struct RfcResolution {
  RfcFunctions functions;
  // The first function found under neither name, in the order of the table;
  // empty when all are found.
  std::string missing;
};

// Each function by its plain name, else by its decorated name.
RfcResolution ResolveRfcFunctions(const ExportLookup& lookup);

// Binds the process's RFC library on first use and returns "" when it is
// bound, else the message of the error document (1009 or 1010). The later
// calls return the first answer.
const std::string& BindRfcLibrary();

// The bound functions: only valid once BindRfcLibrary() returned "".
const RfcFunctions& Rfc();

// Makes these the functions that Rfc() gives: how BindRfcLibrary binds them.
void UseRfcFunctions(const RfcFunctions& functions);

}  // namespace vendralith

#endif
