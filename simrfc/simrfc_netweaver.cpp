// The NetWeaver face of the simulated RFC library: the functions of
// rfc/netweaver_library.h over the same landscape engine as the classic
// face, whose functions it calls. The engine keeps its 8-bit texts: this
// face turns them into UTF-16 (UTF-8 when they are, else Windows-1252) and
// the caller's UTF-16 into UTF-8. Its error messages carry,
// as lines, what the classic face writes to its trace for the same failure.
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

constexpr unsigned kVersionMajor = 7;
constexpr unsigned kVersionMinor = 50;
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

// ---- containers

struct Table;

enum class Kind { Function, Structure, Table, Row };

}  // namespace

// The handles of this face point to these.
struct vendralith::nw::RfcConnection {
  RFC_HANDLE handle = 0;
};

struct vendralith::nw::RfcFunctionDesc {
  std::string name;
};

struct vendralith::nw::RfcDataContainer {
  Kind kind = Kind::Function;
  std::string name;
  std::string image;                                     // a structure's or a row's bytes
  ITAB_H table = nullptr;                                // a table's lines
  unsigned row = 0;                                      // a table's cursor, from 1
  std::vector<std::unique_ptr<RfcDataContainer>> parts;  // what a function owns
  std::unique_ptr<RfcDataContainer> current;             // a table's current row
};

namespace {

using Container = nw::RfcDataContainer;

struct Layout {
  std::string name;
  unsigned offset;
  unsigned length;
};

std::vector<Layout> LayoutOf(const Container& container) {
  std::vector<Layout> layout;
  unsigned offset = 0;
  if (container.name == "RFCSI_EXPORT") {
    for (const simrfc::RfcsiField& field : simrfc::kRfcsiFields) {
      layout.push_back({field.name, offset, field.length});
      offset += field.length;
    }
  } else {
    layout.push_back({"R1", 0, simrfc::kLabelWidth});
    layout.push_back({"R2", simrfc::kLabelWidth, simrfc::kValueWidth});
  }
  return layout;
}

RFC_TYPEHANDLE rfcsiType = 0;
RFC_TYPEHANDLE adaShowType = 0;

bool Install(const char* name, const std::vector<std::pair<std::string, unsigned>>& fields,
             RFC_TYPEHANDLE& type) {
  if (type != 0) return true;
  std::vector<RFC_TYPE_ELEMENT> elements;
  elements.reserve(fields.size());
  for (const auto& [field, length] : fields) {
    // The classic declaration takes a char*; the library only reads it.
    elements.push_back({const_cast<char*>(field.c_str()), TYPC, length, 0, 0});
  }
  return RfcInstallStructure(name, elements.data(), static_cast<unsigned>(elements.size()),
                             &type) == 0;
}

// "00" to "99" as a number; -1, which matches no system, for anything else.
int SystemNumber(const std::string& text) {
  if (text.empty() || text.size() > 2) return text.empty() ? 0 : -1;
  int number = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return -1;
    number = number * 10 + (c - '0');
  }
  return number;
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
             "nw::RFC_INVALID_PARAMETER", "Field " + wanted + " not found");
    return nw::RFC_INVALID_PARAMETER;
  }
  *part = found;
  SetOk(error);
  return nw::RFC_OK;
}

nw::RfcRc MoveTo(nw::RfcTableHandle table, unsigned row, nw::RfcErrorInfo* error) {
  if (table == nullptr || table->kind != Kind::Table) {
    SetError(error, nw::RFC_INVALID_HANDLE, nw::EXTERNAL_RUNTIME_FAILURE, "nw::RFC_INVALID_HANDLE",
             "An invalid handle was passed to the API call");
    return nw::RFC_INVALID_HANDLE;
  }
  if (row == 0 || row > ItFill(table->table)) {
    const nw::RfcRc code = row == 0 ? nw::RFC_TABLE_MOVE_BOF : nw::RFC_TABLE_MOVE_EOF;
    SetError(error, code, nw::EXTERNAL_RUNTIME_FAILURE,
             code == nw::RFC_TABLE_MOVE_BOF ? "nw::RFC_TABLE_MOVE_BOF" : "nw::RFC_TABLE_MOVE_EOF",
             "No row there");
    return code;
  }
  table->row = row;
  SetOk(error);
  return nw::RFC_OK;
}

}  // namespace

namespace vendralith::nw {

extern "C" {

RfcConnectionHandle RFC_STDCALL RfcOpenConnection(const RfcConnectionParameter* parameters,
                                                  unsigned count, RfcErrorInfo* error) {
  std::map<std::string, std::string> given;
  for (unsigned i = 0; parameters != nullptr && i < count; ++i) {
    std::string name = ToEngine(parameters[i].name);
    for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    given[name] = ToEngine(parameters[i].value);
  }
  RFC_HANDLE handle = 0;
  if (!given["mshost"].empty()) {
    // The classic face's connect string carries a load-balanced logon.
    std::string connect = "MSHOST=" + given["mshost"] + " R3NAME=" + given["sysid"] +
                          " GROUP=" + given["group"] + " CLIENT=" + given["client"] +
                          " USER=" + given["user"] + " PASSWD=" + given["passwd"];
    if (!given["msserv"].empty()) connect += " MSSERV=" + given["msserv"];
    RFC_ERROR_INFO_EX ignored{};
    handle = RfcOpenEx(connect.c_str(), &ignored);
  } else {
    RFC_CONNOPT_R3 server{};
    server.hostname = given["ashost"].data();
    server.sysnr = SystemNumber(given["sysnr"]);
    RFC_OPTIONS options{};
    options.destination = given["dest"].data();
    options.mode = RFC_MODE_R3ONLY;
    options.connopt = &server;
    options.client = given["client"].data();
    options.user = given["user"].data();
    options.password = given["passwd"].data();
    options.language = given["lang"].data();
    handle = RfcOpen(&options);
  }
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
    SetError(error, RFC_INVALID_HANDLE, EXTERNAL_RUNTIME_FAILURE, "RFC_INVALID_HANDLE",
             "An invalid handle was passed to the API call");
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
    SetError(error, RFC_INVALID_HANDLE, EXTERNAL_RUNTIME_FAILURE, "RFC_INVALID_HANDLE",
             "An invalid handle was passed to the API call");
    return nullptr;
  }
  // Descriptions live as long as the process, as the library's cache keeps them.
  static std::map<std::string, std::unique_ptr<RfcFunctionDesc>> descriptions;
  std::string function = ToEngine(name);
  for (char& c : function) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  auto& description = descriptions[function];
  if (!description) description = std::make_unique<RfcFunctionDesc>(RfcFunctionDesc{function});
  SetOk(error);
  return description.get();
}

RfcFunctionHandle RFC_STDCALL RfcCreateFunction(RfcFunctionDescHandle description,
                                                RfcErrorInfo* error) {
  if (description == nullptr) {
    SetError(error, RFC_INVALID_HANDLE, EXTERNAL_RUNTIME_FAILURE, "RFC_INVALID_HANDLE",
             "An invalid handle was passed to the API call");
    return nullptr;
  }
  auto function = std::make_unique<RfcDataContainer>();
  function->kind = Kind::Function;
  function->name = description->name;
  // The classic face's structures and tables stand behind the containers.
  bool ready = true;
  if (function->name == "RFC_SYSTEM_INFO") {
    std::vector<std::pair<std::string, unsigned>> fields;
    fields.reserve(simrfc::kRfcsiFields.size());
    for (const simrfc::RfcsiField& field : simrfc::kRfcsiFields) {
      fields.emplace_back(field.name, field.length);
    }
    ready = Install("RFCSI", fields, rfcsiType);
    auto structure = std::make_unique<RfcDataContainer>();
    structure->kind = Kind::Structure;
    structure->name = "RFCSI_EXPORT";
    function->parts.push_back(std::move(structure));
  } else if (function->name == "ADA_LOG_STATISTICS") {
    for (const char* name : {"SHOWMONILOG", "SHOWSTATLOG"}) {
      auto table = std::make_unique<RfcDataContainer>();
      table->kind = Kind::Table;
      table->name = name;
      table->table =
          ready ? ItCreate(name, simrfc::kLabelWidth + simrfc::kValueWidth, 0, 0) : nullptr;
      ready = ready && table->table != nullptr;
      function->parts.push_back(std::move(table));
    }
    ready = ready && Install("ADA_SHOW", {{"R1", simrfc::kLabelWidth}, {"R2", simrfc::kValueWidth}},
                             adaShowType);
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
    SetError(error, RFC_INVALID_HANDLE, EXTERNAL_RUNTIME_FAILURE, "RFC_INVALID_HANDLE",
             "An invalid handle was passed to the API call");
    return RFC_INVALID_HANDLE;
  }
  std::vector<RFC_TABLE> tables;
  for (const auto& part : function->parts) {
    if (part->kind != Kind::Table) continue;
    tables.push_back({part->name.data(), static_cast<unsigned>(part->name.size()), adaShowType, 0,
                      part->table, 0, 0});
  }
  tables.push_back({});
  RFC_PARAMETER none[1] = {};
  RFC_RC result = RfcCall(connection->handle, function->name.c_str(), none, tables.data());
  if (result == RFC_OK) {
    std::vector<RFC_PARAMETER> importing;
    Container* rfcsi = Part(*function, "RFCSI_EXPORT");
    if (rfcsi != nullptr) {
      rfcsi->image.assign(200, ' ');
      importing.push_back({rfcsi->name.data(), static_cast<unsigned>(rfcsi->name.size()), rfcsiType,
                           200, rfcsi->image.data()});
    }
    importing.push_back({});
    char* exception = nullptr;
    result = RfcReceive(connection->handle, importing.data(), tables.data(), &exception);
  }
  if (result != RFC_OK) {
    SetEngineError(error, CodeOfResult(result));
    return error != nullptr ? error->code : CodeOfResult(result);
  }
  SetOk(error);
  return RFC_OK;
}

RfcRc RFC_STDCALL RfcDestroyFunction(RfcFunctionHandle function, RfcErrorInfo* error) {
  if (function == nullptr || function->kind != Kind::Function) {
    SetError(error, RFC_INVALID_HANDLE, EXTERNAL_RUNTIME_FAILURE, "RFC_INVALID_HANDLE",
             "An invalid handle was passed to the API call");
    return RFC_INVALID_HANDLE;
  }
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
    SetError(error, RFC_INVALID_HANDLE, EXTERNAL_RUNTIME_FAILURE, "RFC_INVALID_HANDLE",
             "An invalid handle was passed to the API call");
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
    SetError(error, RFC_INVALID_HANDLE, EXTERNAL_RUNTIME_FAILURE, "RFC_INVALID_HANDLE",
             "An invalid handle was passed to the API call");
    return nullptr;
  }
  const void* line = ItGetLine(table->table, table->row);
  if (line == nullptr) {
    SetEngineError(error, RFC_EXTERNAL_FAILURE);
    return nullptr;
  }
  if (!table->current) table->current = std::make_unique<RfcDataContainer>();
  table->current->kind = Kind::Row;
  table->current->name = table->name;
  table->current->image.assign(static_cast<const char*>(line),
                               simrfc::kLabelWidth + simrfc::kValueWidth);
  SetOk(error);
  return table->current.get();
}

RfcRc RFC_STDCALL RfcGetChars(RfcDataContainer* container, const SapUc* name, SapUc* buffer,
                              unsigned length, RfcErrorInfo* error) {
  const std::string field = ToEngine(name);
  if (container == nullptr ||
      (container->kind != Kind::Structure && container->kind != Kind::Row) || buffer == nullptr) {
    SetError(error, RFC_INVALID_HANDLE, EXTERNAL_RUNTIME_FAILURE, "RFC_INVALID_HANDLE",
             "An invalid handle was passed to the API call");
    return RFC_INVALID_HANDLE;
  }
  for (const Layout& layout : LayoutOf(*container)) {
    if (layout.name != field) continue;
    // The engine's bytes of the field, as characters, blank-padded to length.
    std::string bytes = container->image.substr(layout.offset, layout.length);
    bytes.erase(bytes.find_last_not_of(' ') + 1);
    const std::u16string units = FromEngine(bytes);
    std::fill_n(buffer, length, u' ');
    std::copy_n(units.begin(), std::min<std::size_t>(units.size(), length), buffer);
    SetOk(error);
    return RFC_OK;
  }
  SetError(error, RFC_INVALID_PARAMETER, EXTERNAL_RUNTIME_FAILURE, "RFC_INVALID_PARAMETER",
           "Field " + field + " not found");
  return RFC_INVALID_PARAMETER;
}

const SapUc* RFC_STDCALL RfcGetVersion(unsigned* major, unsigned* minor, unsigned* patch) {
  if (major != nullptr) *major = kVersionMajor;
  if (minor != nullptr) *minor = kVersionMinor;
  if (patch != nullptr) *patch = kVersionPatch;
  return u"750, patch 3, simrfc";
}

}  // extern "C"

}  // namespace vendralith::nw
