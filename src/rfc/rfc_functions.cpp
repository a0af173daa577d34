#include "rfc/rfc_functions.h"

namespace vendralith {

namespace {

RfcFunctions& BoundFunctions() {
  static RfcFunctions functions;
  return functions;
}

}  // namespace

std::string DecoratedName(const char* name, unsigned argumentBytes) {
  return "_" + std::string(name) + "@" + std::to_string(argumentBytes);
}

void* ResolveExport(const ExportLookup& lookup, const char* name, unsigned argumentBytes) {
  void* address = lookup(name);
  return address != nullptr ? address : lookup(DecoratedName(name, argumentBytes));
}

RfcResolution ResolveRfcFunctions(const ExportLookup& lookup) {
  RfcResolution resolution;
  ExportBinder bind(lookup, resolution.missing);
  RfcFunctions& table = resolution.functions;
  bind(table.RfcEnvironment, "RfcEnvironment", 4);
  bind(table.RfcOpen, "RfcOpen", 4);
  bind(table.RfcOpenEx, "RfcOpenEx", 8);
  bind(table.RfcInstallStructure, "RfcInstallStructure", 16);
  bind(table.RfcCall, "RfcCall", 16);
  bind(table.RfcReceive, "RfcReceive", 16);
  bind(table.RfcLastError, "RfcLastError", 4);
  bind(table.RfcClose, "RfcClose", 4);
  bind(table.ItCreate, "ItCreate", 16);
  bind(table.ItFill, "ItFill", 4);
  bind(table.ItGetLine, "ItGetLine", 8);
  bind(table.ItDelete, "ItDelete", 4);
  return resolution;
}

const RfcFunctions& Rfc() { return BoundFunctions(); }

void UseRfcFunctions(const RfcFunctions& functions) { BoundFunctions() = functions; }

}  // namespace vendralith
