// The NetWeaver face of the simulated RFC library: the functions of
// rfc/netweaver_library.h over the same landscape engine as the classic
// face, whose functions it calls. The engine keeps its 8-bit texts: this
// face turns them into UTF-16 (UTF-8 when they are, else Windows-1252) and
// the caller's UTF-16 into UTF-8. Its error messages carry, as lines, what
// the classic face would write to its trace for the same failure; it writes
// no trace file. Structures have the field names and widths of the system,
// which the caller does not describe.
#include <algorithm>
#include <cctype>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "landscape.h"
#include "rfc/netweaver_library.h"
#include "rfc/rfc_library.h"
#include "simrfc_engine.h"

namespace nw = vendralith::nw;

namespace {

using nw::SapUc;

// The release as one number (7500 for 7.50), as the vendor's library gives it.
constexpr unsigned kVersionMajor = 7500;
constexpr unsigned kVersionMinor = 0;
constexpr unsigned kVersionPatch = 3;

// ---- texts
// The system side's own conversions, kept apart from the sensor's in
// src/system on purpose, as the RFCSI layout is: a fault shared by both sides
// would pass every test.

// Windows-1252 from 0x80 to 0x9F; 0 where the code page has no character.
constexpr char16_t kWindows1252High[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 80-87
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,       // 88-8F
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90-97
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,  // 98-9F
};

// The length of the UTF-8 sequence at text[at]; 0 when none starts there.
std::size_t SequenceLength(std::string_view text, std::size_t at) {
  const auto lead = static_cast<unsigned char>(text[at]);
  const std::size_t length = lead < 0x80    ? 1
                             : lead >= 0xF5 ? 0
                             : lead >= 0xF0 ? 4
                             : lead >= 0xE0 ? 3
                             : lead >= 0xC2 ? 2
                                            : 0;
  if (length == 0 || at + length > text.size()) return 0;
  for (std::size_t i = 1; i < length; ++i) {
    if ((static_cast<unsigned char>(text[at + i]) & 0xC0) != 0x80) return 0;
  }
  return length;
}

// The engine's text as UTF-16: UTF-8 when the whole text is, else every byte
// a character of Windows-1252, as a host with that code page reads it.
std::u16string FromEngine(std::string_view text) {
  bool utf8 = true;
  for (std::size_t at = 0; utf8 && at < text.size();) {
    const std::size_t length = SequenceLength(text, at);
    utf8 = length != 0;
    at += length;
  }
  std::u16string result;
  for (std::size_t at = 0; at < text.size();) {
    const auto lead = static_cast<unsigned char>(text[at]);
    if (!utf8) {
      const char16_t high = lead >= 0x80 && lead <= 0x9F ? kWindows1252High[lead - 0x80] : lead;
      result += high == 0 ? u'?' : high;
      ++at;
      continue;
    }
    const std::size_t length = SequenceLength(text, at);
    char32_t code = length == 1 ? lead : lead & (0x7F >> length);
    for (std::size_t i = 1; i < length; ++i) code = (code << 6) | (text[at + i] & 0x3F);
    if (code >= 0x10000) {
      result += static_cast<char16_t>(0xD800 + ((code - 0x10000) >> 10));
      result += static_cast<char16_t>(0xDC00 + ((code - 0x10000) & 0x3FF));
    } else {
      result += static_cast<char16_t>(code);
    }
    at += length;
  }
  return result;
}

std::string ToEngine(std::u16string_view text) {
  std::string result;
  for (std::size_t at = 0; at < text.size(); ++at) {
    char32_t code = text[at];
    if (code >= 0xD800 && code <= 0xDBFF && at + 1 < text.size()) {
      code = 0x10000 + ((code - 0xD800) << 10) + (text[++at] - 0xDC00);
    }
    if (code < 0x80) {
      result += static_cast<char>(code);
    } else if (code < 0x800) {
      result += static_cast<char>(0xC0 | (code >> 6));
      result += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
      result += static_cast<char>(0xE0 | (code >> 12));
      result += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
      result += static_cast<char>(0x80 | (code & 0x3F));
    } else {
      result += static_cast<char>(0xF0 | (code >> 18));
      result += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
      result += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
      result += static_cast<char>(0x80 | (code & 0x3F));
    }
  }
  return result;
}

std::string ToEngine(const SapUc* text) {
  if (text == nullptr) return {};
  std::size_t length = 0;
  while (text[length] != u'\0') ++length;
  return ToEngine(std::u16string_view(text, length));
}

template <std::size_t N>
void CopyUnits(SapUc (&target)[N], std::string_view text) {
  const std::u16string units = FromEngine(text);
  const std::size_t length = std::min(units.size(), N - 1);
  std::copy_n(units.begin(), length, target);
  target[length] = u'\0';
}

// ---- errors

void SetError(nw::RfcErrorInfo* error, nw::RfcRc code, nw::RfcErrorGroup group,
              std::string_view key, std::string_view message) {
  if (error == nullptr) return;
  *error = nw::RfcErrorInfo{};
  error->code = code;
  error->group = group;
  CopyUnits(error->key, key);
  CopyUnits(error->message, message);
}

void SetOk(nw::RfcErrorInfo* error) { SetError(error, nw::RFC_OK, nw::OK, "", ""); }

// The engine's last failure as the error of an operation that failed with code.
void SetEngineError(nw::RfcErrorInfo* error, nw::RfcRc code) {
  const simrfc::LastFailure failure = SimRfcLastFailure();
  nw::RfcErrorGroup group = nw::EXTERNAL_RUNTIME_FAILURE;
  if (code == nw::RFC_ABAP_EXCEPTION) group = nw::ABAP_APPLICATION_FAILURE;
  if (code == nw::RFC_ABAP_RUNTIME_FAILURE) group = nw::ABAP_RUNTIME_FAILURE;
  if (code == nw::RFC_COMMUNICATION_FAILURE) group = nw::COMMUNICATION_FAILURE;
  if (code == nw::RFC_LOGON_FAILURE) group = nw::LOGON_FAILURE;
  SetError(error, code, group, failure.texts.key, failure.traceLines);
}

// The code of a classic call or receive result.
nw::RfcRc CodeOfResult(RFC_RC result) {
  switch (result) {
    case RFC_FAILURE:
      return nw::RFC_COMMUNICATION_FAILURE;
    case RFC_EXCEPTION:
      return nw::RFC_ABAP_EXCEPTION;
    case RFC_SYS_EXCEPTION:
      return nw::RFC_ABAP_RUNTIME_FAILURE;
    default:
      return nw::RFC_UNKNOWN_ERROR;
  }
}

void SetInvalidHandle(nw::RfcErrorInfo* error) {
  SetError(error, nw::RFC_INVALID_HANDLE, nw::EXTERNAL_RUNTIME_FAILURE, "RFC_INVALID_HANDLE",
           "An invalid handle was passed to the API call");
}

// ---- containers

enum class Kind { Function, Structure, Table, Row };

// A character field of a structure or a table's rows: where it lies in the
// engine's bytes.
struct Field {
  std::string name;
  unsigned offset = 0;
  unsigned width = 0;
};

using Layout = std::vector<Field>;

Layout LayoutOf(const std::vector<simrfc::StructureField>& fields) {
  Layout layout;
  layout.reserve(fields.size());
  unsigned offset = 0;
  for (const simrfc::StructureField& field : fields) {
    layout.push_back({field.name, offset, field.width});
    offset += field.width;
  }
  return layout;
}

unsigned LengthOf(const Layout& layout) {
  return layout.empty() ? 0 : layout.back().offset + layout.back().width;
}

// RFCSI and the statistics rows as the system has them; the standard
// layouts when no system is known.
Layout RfcsiLayout(const simrfc::System* system) {
  std::vector<simrfc::StructureField> fields;
  fields.reserve(simrfc::kRfcsiFields.size());
  for (const simrfc::RfcsiField& field : simrfc::kRfcsiFields) {
    fields.push_back(
        {field.name, system != nullptr ? simrfc::RfcsiWidth(*system, field) : field.length});
  }
  return LayoutOf(fields);
}

Layout RowLayout(const simrfc::System* system) {
  return LayoutOf(system != nullptr ? system->row_fields : simrfc::System{}.row_fields);
}

}  // namespace

// The handles of this face point to these.
struct vendralith::nw::RfcConnection {
  RFC_HANDLE handle = 0;
};

struct vendralith::nw::RfcFunctionDesc {
  std::string name;
  Layout fields;  // of RFCSI_EXPORT, or of the rows of the tables
};

struct vendralith::nw::RfcDataContainer {
  Kind kind = Kind::Function;
  std::string name;
  Layout fields;            // a structure's, a row's or a table's rows'
  std::string image;        // a structure's or a row's bytes
  ITAB_H table = nullptr;   // a table's lines
  unsigned row = 0;         // a table's cursor, from 1
  RFC_TYPEHANDLE type = 0;  // the engine's structure of the fields
  std::vector<std::unique_ptr<RfcDataContainer>> parts;  // what a function owns
  std::unique_ptr<RfcDataContainer> current;             // a table's current row
};

namespace {

using Container = nw::RfcDataContainer;

// What the face keeps for the process, as the library's caches do; forgotten
// with the engine's state.
struct Caches {
  std::map<std::string, RFC_TYPEHANDLE> installed;                           // by name and layout
  std::map<std::string, std::unique_ptr<nw::RfcFunctionDesc>> descriptions;  // by name and layout
};

Caches& TheCaches() {
  static Caches caches;
  return caches;
}

std::string Signature(const std::string& name, const Layout& fields) {
  std::string signature = name;
  for (const Field& field : fields) {
    signature += " " + field.name + " " + std::to_string(field.width);
  }
  return signature;
}

// The engine's structures, installed once for each layout.
bool Install(const char* name, const Layout& fields, RFC_TYPEHANDLE& type) {
  RFC_TYPEHANDLE& known = TheCaches().installed[Signature(name, fields)];
  if (known == 0) {
    std::vector<RFC_TYPE_ELEMENT> elements;
    elements.reserve(fields.size());
    for (const Field& field : fields) {
      // The classic declaration takes a char*; the library only reads it.
      elements.push_back({const_cast<char*>(field.name.c_str()), TYPC, field.width, 0, 0});
    }
    if (RfcInstallStructure(name, elements.data(), static_cast<unsigned>(elements.size()),
                            &known) != 0) {
      known = 0;
      return false;
    }
  }
  type = known;
  return true;
}

Container* Part(Container& function, const std::string& name) {
  for (const auto& part : function.parts) {
    if (part->name == name) return part.get();
  }
  return nullptr;
}

nw::RfcRc GetPart(nw::RfcDataContainer* container, const nw::SapUc* name, Kind kind,
                  nw::RfcDataContainer** part, nw::RfcErrorInfo* error) {
  const std::string wanted = ToEngine(name);
  Container* found = container != nullptr ? Part(*container, wanted) : nullptr;
  if (found == nullptr || found->kind != kind || part == nullptr) {
    SetError(error, nw::RFC_INVALID_PARAMETER, nw::EXTERNAL_RUNTIME_FAILURE,
             "RFC_INVALID_PARAMETER", "field '" + wanted + "' not found");
    return nw::RFC_INVALID_PARAMETER;
  }
  *part = found;
  SetOk(error);
  return nw::RFC_OK;
}

nw::RfcRc MoveTo(nw::RfcTableHandle table, unsigned row, nw::RfcErrorInfo* error) {
  if (table == nullptr || table->kind != Kind::Table) {
    SetInvalidHandle(error);
    return nw::RFC_INVALID_HANDLE;
  }
  if (row == 0 || row > ItFill(table->table)) {
    const nw::RfcRc code = row == 0 ? nw::RFC_TABLE_MOVE_BOF : nw::RFC_TABLE_MOVE_EOF;
    SetError(error, code, nw::EXTERNAL_RUNTIME_FAILURE,
             code == nw::RFC_TABLE_MOVE_BOF ? "RFC_TABLE_MOVE_BOF" : "RFC_TABLE_MOVE_EOF",
             "No row there");
    return code;
  }
  table->row = row;
  SetOk(error);
  return nw::RFC_OK;
}

// The field's characters into the caller's buffer, blank-padded; refused,
// as the vendor's library refuses it, when the buffer is narrower than the
// field.
nw::RfcRc GetChars(const Container& container, const Field& field, nw::SapUc* buffer,
                   unsigned length, nw::RfcErrorInfo* error) {
  if (length < field.width) {
    SetError(error, nw::RFC_BUFFER_TOO_SMALL, nw::EXTERNAL_RUNTIME_FAILURE, "RFC_BUFFER_TOO_SMALL",
             "field '" + field.name + "' has " + std::to_string(field.width) +
                 " characters, the buffer " + std::to_string(length));
    return nw::RFC_BUFFER_TOO_SMALL;
  }
  std::string bytes = container.image.substr(field.offset, field.width);
  bytes.erase(bytes.find_last_not_of(' ') + 1);
  const std::u16string units = FromEngine(bytes);
  std::fill_n(buffer, length, u' ');
  std::copy_n(units.begin(), std::min<std::size_t>(units.size(), length), buffer);
  SetOk(error);
  return nw::RFC_OK;
}

bool HoldsFields(const Container* container, const nw::SapUc* buffer) {
  return container != nullptr &&
         (container->kind == Kind::Structure || container->kind == Kind::Row) && buffer != nullptr;
}

}  // namespace

void SimRfcForgetNetWeaverFace() { TheCaches() = Caches{}; }

namespace vendralith::nw {

extern "C" {

RfcConnectionHandle RFC_STDCALL RfcOpenConnection(const RfcConnectionParameter* parameters,
                                                  unsigned count, RfcErrorInfo* error) {
  const simrfc::UntracedCalls untraced;
  std::map<std::string, std::string> given;
  for (unsigned i = 0; parameters != nullptr && i < count; ++i) {
    std::string name = ToEngine(parameters[i].name);
    for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    given[name] = ToEngine(parameters[i].value);
  }
  const RFC_HANDLE handle = SimRfcOpenConnection(given);
  if (handle == 0) {
    const int group = SimRfcLastFailure().group;
    SetEngineError(error, group == simrfc::kCommunication ? RFC_COMMUNICATION_FAILURE
                          : group == simrfc::kLogon       ? RFC_LOGON_FAILURE
                                                          : RFC_EXTERNAL_FAILURE);
    return nullptr;
  }
  SetOk(error);
  return new RfcConnection{handle};
}

RfcRc RFC_STDCALL RfcCloseConnection(RfcConnectionHandle connection, RfcErrorInfo* error) {
  if (connection == nullptr) {
    SetInvalidHandle(error);
    return RFC_INVALID_HANDLE;
  }
  RfcClose(connection->handle);
  delete connection;
  SetOk(error);
  return RFC_OK;
}

RfcFunctionDescHandle RFC_STDCALL RfcGetFunctionDesc(RfcConnectionHandle connection,
                                                     const SapUc* name, RfcErrorInfo* error) {
  if (connection == nullptr) {
    SetInvalidHandle(error);
    return nullptr;
  }
  std::string function = ToEngine(name);
  for (char& c : function) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  // The structures as the connection's system has them.
  const simrfc::System* system = SimRfcConnectionSystem(connection->handle);
  Layout fields = function == "RFC_SYSTEM_INFO"      ? RfcsiLayout(system)
                  : function == "ADA_LOG_STATISTICS" ? RowLayout(system)
                                                     : Layout();
  // Descriptions live as long as the process, as the library's cache keeps them.
  auto& description = TheCaches().descriptions[Signature(function, fields)];
  if (!description) {
    description = std::make_unique<RfcFunctionDesc>(RfcFunctionDesc{function, std::move(fields)});
  }
  SetOk(error);
  return description.get();
}

RfcFunctionHandle RFC_STDCALL RfcCreateFunction(RfcFunctionDescHandle description,
                                                RfcErrorInfo* error) {
  if (description == nullptr) {
    SetInvalidHandle(error);
    return nullptr;
  }
  const simrfc::UntracedCalls untraced;
  auto function = std::make_unique<RfcDataContainer>();
  function->kind = Kind::Function;
  function->name = description->name;
  // The classic face's structures and tables stand behind the containers.
  bool ready = true;
  if (function->name == "RFC_SYSTEM_INFO") {
    auto structure = std::make_unique<RfcDataContainer>();
    structure->kind = Kind::Structure;
    structure->name = "RFCSI_EXPORT";
    structure->fields = description->fields;
    ready = Install("RFCSI", structure->fields, structure->type);
    function->parts.push_back(std::move(structure));
  } else if (function->name == "ADA_LOG_STATISTICS") {
    RFC_TYPEHANDLE rows = 0;
    for (const char* name : {"SHOWMONILOG", "SHOWSTATLOG"}) {
      auto table = std::make_unique<RfcDataContainer>();
      table->kind = Kind::Table;
      table->name = name;
      table->fields = description->fields;
      table->table = ready ? ItCreate(name, LengthOf(table->fields), 0, 0) : nullptr;
      ready = ready && table->table != nullptr;
      function->parts.push_back(std::move(table));
    }
    ready = ready && Install("ADA_SHOW", description->fields, rows);
    for (const auto& table : function->parts) table->type = rows;
  }
  if (!ready) {
    for (const auto& part : function->parts) {
      if (part->table != nullptr) (void)ItDelete(part->table);
    }
    SetEngineError(error, RFC_MEMORY_INSUFFICIENT);
    return nullptr;
  }
  SetOk(error);
  return function.release();
}

RfcRc RFC_STDCALL RfcInvoke(RfcConnectionHandle connection, RfcFunctionHandle function,
                            RfcErrorInfo* error) {
  if (connection == nullptr || function == nullptr || function->kind != Kind::Function) {
    SetInvalidHandle(error);
    return RFC_INVALID_HANDLE;
  }
  const simrfc::UntracedCalls untraced;
  std::vector<RFC_TABLE> tables;
  for (const auto& part : function->parts) {
    if (part->kind != Kind::Table) continue;
    tables.push_back({part->name.data(), static_cast<unsigned>(part->name.size()), part->type, 0,
                      part->table, 0, 0});
  }
  tables.push_back({});
  RFC_PARAMETER none[1] = {};
  RFC_RC result = RfcCall(connection->handle, function->name.c_str(), none, tables.data());
  char* exception = nullptr;
  if (result == RFC_OK) {
    std::vector<RFC_PARAMETER> importing;
    Container* rfcsi = Part(*function, "RFCSI_EXPORT");
    if (rfcsi != nullptr) {
      const unsigned length = LengthOf(rfcsi->fields);
      rfcsi->image.assign(length, ' ');
      importing.push_back({rfcsi->name.data(), static_cast<unsigned>(rfcsi->name.size()),
                           rfcsi->type, length, rfcsi->image.data()});
    }
    importing.push_back({});
    result = RfcReceive(connection->handle, importing.data(), tables.data(), &exception);
  }
  if (result != RFC_OK) {
    SetEngineError(error, CodeOfResult(result));
    // An ABAP exception is known by its name (none when the call raised it
    // unnamed).
    if (error != nullptr && result == RFC_EXCEPTION) {
      CopyUnits(error->key, exception != nullptr ? exception : "");
    }
    return CodeOfResult(result);
  }
  SetOk(error);
  return RFC_OK;
}

RfcRc RFC_STDCALL RfcDestroyFunction(RfcFunctionHandle function, RfcErrorInfo* error) {
  if (function == nullptr || function->kind != Kind::Function) {
    SetInvalidHandle(error);
    return RFC_INVALID_HANDLE;
  }
  const simrfc::UntracedCalls untraced;
  const std::unique_ptr<RfcDataContainer> owned(function);
  bool deleted = true;
  for (const auto& part : function->parts) {
    if (part->table != nullptr && ItDelete(part->table) != 0) deleted = false;
  }
  if (!deleted) {
    SetEngineError(error, RFC_EXTERNAL_FAILURE);
    return RFC_EXTERNAL_FAILURE;
  }
  SetOk(error);
  return RFC_OK;
}

RfcRc RFC_STDCALL RfcGetStructure(RfcDataContainer* container, const SapUc* name,
                                  RfcStructureHandle* structure, RfcErrorInfo* error) {
  return GetPart(container, name, Kind::Structure, structure, error);
}

RfcRc RFC_STDCALL RfcGetTable(RfcDataContainer* container, const SapUc* name, RfcTableHandle* table,
                              RfcErrorInfo* error) {
  return GetPart(container, name, Kind::Table, table, error);
}

RfcRc RFC_STDCALL RfcGetRowCount(RfcTableHandle table, unsigned* count, RfcErrorInfo* error) {
  if (table == nullptr || table->kind != Kind::Table || count == nullptr) {
    SetInvalidHandle(error);
    return RFC_INVALID_HANDLE;
  }
  *count = ItFill(table->table);
  SetOk(error);
  return RFC_OK;
}

RfcRc RFC_STDCALL RfcMoveToFirstRow(RfcTableHandle table, RfcErrorInfo* error) {
  return MoveTo(table, 1, error);
}

RfcRc RFC_STDCALL RfcMoveToNextRow(RfcTableHandle table, RfcErrorInfo* error) {
  return MoveTo(table, table != nullptr ? table->row + 1 : 0, error);
}

RfcStructureHandle RFC_STDCALL RfcGetCurrentRow(RfcTableHandle table, RfcErrorInfo* error) {
  if (table == nullptr || table->kind != Kind::Table || table->row == 0) {
    SetInvalidHandle(error);
    return nullptr;
  }
  const simrfc::UntracedCalls untraced;
  const void* line = ItGetLine(table->table, table->row);
  if (line == nullptr) {
    SetEngineError(error, RFC_EXTERNAL_FAILURE);
    return nullptr;
  }
  if (!table->current) table->current = std::make_unique<RfcDataContainer>();
  table->current->kind = Kind::Row;
  table->current->name = table->name;
  table->current->fields = table->fields;
  table->current->image.assign(static_cast<const char*>(line), LengthOf(table->fields));
  SetOk(error);
  return table->current.get();
}

RfcRc RFC_STDCALL RfcGetChars(RfcDataContainer* container, const SapUc* name, SapUc* buffer,
                              unsigned length, RfcErrorInfo* error) {
  if (!HoldsFields(container, buffer)) {
    SetInvalidHandle(error);
    return RFC_INVALID_HANDLE;
  }
  const std::string wanted = ToEngine(name);
  for (const Field& field : container->fields) {
    if (field.name == wanted) return GetChars(*container, field, buffer, length, error);
  }
  SetError(error, RFC_INVALID_PARAMETER, EXTERNAL_RUNTIME_FAILURE, "RFC_INVALID_PARAMETER",
           "field '" + wanted + "' not found");
  return RFC_INVALID_PARAMETER;
}

RfcRc RFC_STDCALL RfcGetCharsByIndex(RfcDataContainer* container, unsigned index, SapUc* buffer,
                                     unsigned length, RfcErrorInfo* error) {
  if (!HoldsFields(container, buffer)) {
    SetInvalidHandle(error);
    return RFC_INVALID_HANDLE;
  }
  if (index >= container->fields.size()) {
    SetError(error, RFC_INVALID_PARAMETER, EXTERNAL_RUNTIME_FAILURE, "RFC_INVALID_PARAMETER",
             "field index " + std::to_string(index) + " out of range");
    return RFC_INVALID_PARAMETER;
  }
  return GetChars(*container, container->fields[index], buffer, length, error);
}

const SapUc* RFC_STDCALL RfcGetVersion(unsigned* major, unsigned* minor, unsigned* patch) {
  if (major != nullptr) *major = kVersionMajor;
  if (minor != nullptr) *minor = kVersionMinor;
  if (patch != nullptr) *patch = kVersionPatch;
  return u"7500, patch 3, simrfc";
}

}  // extern "C"

}  // namespace vendralith::nw
