#include "landscape.h"

#include <algorithm>
#include <cctype>
#include <set>

namespace simrfc {

namespace {

constexpr std::string_view kBlanks = " \t";

// Operations that have an "abort" point, and those that can be refused.
constexpr std::array<const char*, 8> kAbortOperations = {
    "RfcOpen",    "RfcOpenEx", "RfcInstallStructure", "RfcCall",
    "RfcReceive", "ItCreate",  "ItGetLine",           "ItDelete"};
constexpr std::array<const char*, 4> kRefuseOperations = {"RfcInstallStructure", "ItCreate",
                                                          "ItGetLine", "ItDelete"};

// Longest delay a system may add: anything longer is a typing error.
constexpr long kMaxLatencyMs = 3600000;
constexpr long kMaxFaultCode = 9999;

std::string_view TrimLeft(std::string_view text) {
  const std::size_t start = text.find_first_not_of(kBlanks);
  return start == std::string_view::npos ? std::string_view() : text.substr(start);
}

std::string_view TrimRight(std::string_view text) {
  const std::size_t end = text.find_last_not_of(kBlanks);
  return end == std::string_view::npos ? std::string_view() : text.substr(0, end + 1);
}

std::string_view Trim(std::string_view text) { return TrimRight(TrimLeft(text)); }

std::string Lower(std::string_view text) {
  std::string result(text);
  for (char& c : result) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return result;
}

std::vector<std::string_view> SplitBlanks(std::string_view text) {
  std::vector<std::string_view> words;
  for (text = TrimLeft(text); !text.empty(); text = TrimLeft(text)) {
    const std::size_t end = std::min(text.find_first_of(kBlanks), text.size());
    words.push_back(text.substr(0, end));
    text.remove_prefix(end);
  }
  return words;
}

// A decimal number of digits only (with a leading '-' when allowed), within max.
std::optional<long> Number(std::string_view text, long max, bool allow_sign) {
  bool negative = false;
  if (allow_sign && !text.empty() && text.front() == '-') {
    negative = true;
    text.remove_prefix(1);
  }
  if (text.empty() || text.size() > 9) return std::nullopt;
  long value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
  }
  if (value > max) return std::nullopt;
  return negative ? -value : value;
}

template <std::size_t N>
const char* CanonicalOperation(const std::array<const char*, N>& operations,
                               std::string_view name) {
  for (const char* operation : operations) {
    if (EqualNoCase(operation, name)) return operation;
  }
  return nullptr;
}

template <std::size_t N>
std::string OperationList(const std::array<const char*, N>& operations) {
  std::string list;
  for (const char* operation : operations)
    list += (list.empty() ? "" : ", ") + std::string(operation);
  return list;
}

// The fault of a "fail" value, or a message saying what is wrong with it.
std::string ParseFault(std::string_view value, Fault& fault) {
  const std::vector<std::string_view> words = SplitBlanks(value);
  if (words.empty()) return "empty fail value";
  const std::string kind = Lower(words[0]);
  auto code = [&](std::string_view text) -> std::string {
    const std::optional<long> number = Number(text, kMaxFaultCode, true);
    if (!number || *number == 0) return "bad result code '" + std::string(text) + "'";
    fault.code = static_cast<int>(*number);
    return {};
  };
  if (kind == "unreachable") {
    if (words.size() != 1) return "expected 'fail = unreachable'";
    fault.kind = FaultKind::kUnreachable;
    return {};
  }
  if (kind == "call") {
    if (words.size() != 3) return "expected 'fail = call FUNCTION CODE'";
    fault.kind = FaultKind::kCall;
    fault.target = words[1];
    return code(words[2]);
  }
  if (kind == "receive") {
    if (words.size() != 3 && words.size() != 4) {
      return "expected 'fail = receive FUNCTION CODE [EXCEPTION]'";
    }
    fault.kind = FaultKind::kReceive;
    fault.target = words[1];
    if (std::string error = code(words[2]); !error.empty()) return error;
    const bool raises = fault.code == 2 || fault.code == 3;
    if (raises && words.size() != 4) return "result code 2 and 3 need an exception name";
    if (!raises && words.size() == 4) return "an exception name goes with result code 2 or 3 only";
    if (raises) fault.exception = words[3];
    return {};
  }
  if (kind == "abort") {
    const char* operation =
        words.size() == 2 ? CanonicalOperation(kAbortOperations, words[1]) : nullptr;
    if (operation == nullptr) {
      return "expected 'fail = abort OPERATION' with one of " + OperationList(kAbortOperations);
    }
    fault.kind = FaultKind::kAbort;
    fault.target = operation;
    return {};
  }
  if (kind == "refuse") {
    const char* operation = words.size() == 2 || words.size() == 3
                                ? CanonicalOperation(kRefuseOperations, words[1])
                                : nullptr;
    if (operation == nullptr) {
      return "expected 'fail = refuse OPERATION [NAME]' with one of " +
             OperationList(kRefuseOperations);
    }
    fault.kind = FaultKind::kRefuse;
    fault.target = operation;
    if (words.size() == 3) fault.object = words[2];
    return {};
  }
  if (kind == "hang") {
    if (words.size() != 2 || !EqualNoCase(words[1], "RfcClose")) {
      return "expected 'fail = hang RfcClose'";
    }
    fault.kind = FaultKind::kHangClose;
    return {};
  }
  return "unknown fault '" + std::string(words[0]) +
         "' (expected unreachable, call, receive, abort, refuse or hang)";
}

// The two fields of "NAME WIDTH|NAME WIDTH", or a message saying what is
// wrong with the value.
std::string ParseRowFields(std::string_view value, std::vector<StructureField>& fields) {
  const std::size_t bar = value.find('|');
  if (bar == std::string_view::npos) return "expected NAME WIDTH|NAME WIDTH";
  std::vector<StructureField> parsed;
  for (const std::string_view part : {value.substr(0, bar), value.substr(bar + 1)}) {
    const std::vector<std::string_view> words = SplitBlanks(part);
    if (words.size() != 2) return "expected NAME WIDTH|NAME WIDTH";
    const bool named = std::all_of(words[0].begin(), words[0].end(), [](char c) {
      return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '_';
    });
    if (!named) return "a field name of letters, digits and '_' only";
    const std::optional<long> width = Number(words[1], kMaxFieldWidth, false);
    if (!width || *width == 0) return "expected a width of 1 to 262143 characters";
    parsed.push_back({std::string(words[0]), static_cast<unsigned>(*width)});
  }
  if (parsed[0].name == parsed[1].name) return "two fields of one name";
  fields = parsed;
  return {};
}

// Applies one key line to the system; a message when the line is wrong.
// raw is everything after the '=' (only the line end removed).
std::string ApplyKey(System& system, std::string_view key_as_written, std::string_view raw,
                     std::set<std::string>& seen) {
  const std::string key = Lower(key_as_written);
  const std::string_view value = Trim(raw);
  auto once = [&](const std::string& name) -> std::string {
    if (!seen.insert(name).second) return "key '" + name + "' given twice for system " + system.sid;
    return {};
  };
  auto bad = [&](std::string_view why) {
    return "bad value '" + std::string(value) + "' for key '" + std::string(key_as_written) +
           "': " + std::string(why);
  };
  // A single word: host names, services, logon data.
  auto word = [&](std::string& target) -> std::string {
    if (value.empty()) return bad("empty");
    if (value.find_first_of(kBlanks) != std::string_view::npos) return bad("contains blanks");
    if (std::string error = once(key); !error.empty()) return error;
    target = value;
    return {};
  };

  if (key == "host") return word(system.host);
  if (key == "gwhost") return word(system.gwhost);
  if (key == "gwserv") return word(system.gwserv);
  if (key == "mshost") return word(system.mshost);
  if (key == "msserv") return word(system.msserv);
  if (key == "group") return word(system.group);
  if (key == "client") return word(system.client);
  if (key == "saprouter") return word(system.saprouter);
  if (key == "user") return word(system.user);
  // Passwords and SNC names may hold blanks; only the ends are trimmed.
  auto text = [&](std::string& target) -> std::string {
    if (value.empty()) return bad("empty");
    if (std::string error = once(key); !error.empty()) return error;
    target = value;
    return {};
  };
  if (key == "password") {
    if (value.size() > kMaxPassword) return bad("longer than 40 characters");
    return text(system.password);
  }
  if (key == "snc_partnername") return text(system.snc_partnername);
  if (key == "snc_myname") return text(system.snc_myname);
  if (key == "sysnr") {
    const std::optional<long> number = value.size() <= 2 ? Number(value, 99, false) : std::nullopt;
    if (!number) return bad("expected a system number 00 to 99");
    if (std::string error = once(key); !error.empty()) return error;
    system.sysnr = static_cast<int>(*number);
    return {};
  }
  if (key == "latency_ms") {
    const std::optional<long> number = Number(value, kMaxLatencyMs, false);
    if (!number) return bad("expected milliseconds 0 to 3600000");
    if (std::string error = once(key); !error.empty()) return error;
    system.latency_ms = static_cast<int>(*number);
    return {};
  }
  if (key == "trace") {
    if (!EqualNoCase(value, "on") && !EqualNoCase(value, "off")) return bad("expected on or off");
    if (std::string error = once(key); !error.empty()) return error;
    system.trace = EqualNoCase(value, "on");
    return {};
  }
  if (key == "error") {
    std::vector<std::string> parts;
    std::string_view rest = value;
    for (int i = 0; i < 3; ++i) {
      const std::size_t bar = rest.find('|');
      if (bar == std::string_view::npos) return bad("expected key|status|message|internal status");
      parts.emplace_back(Trim(rest.substr(0, bar)));
      rest.remove_prefix(bar + 1);
    }
    if (std::string error = once(key); !error.empty()) return error;
    system.error = ErrorTexts{parts[0], parts[1], parts[2], std::string(Trim(rest))};
    return {};
  }
  if (key == "statlog" || key == "monilog") {
    // Kept verbatim: the labels carry meaningful inner and trailing blanks.
    const std::string_view row = TrimLeft(raw);
    const std::size_t bar = row.find('|');
    if (bar == std::string_view::npos) return bad("expected label|value");
    (key == "statlog" ? system.statlog : system.monilog)
        .push_back({std::string(row.substr(0, bar)), std::string(row.substr(bar + 1))});
    return {};
  }
  if (key == "fail") {
    Fault fault;
    if (std::string error = ParseFault(value, fault); !error.empty()) return bad(error);
    system.faults.push_back(fault);
    return {};
  }
  if (key == "ada_show") {
    std::vector<StructureField> fields;
    if (std::string error = ParseRowFields(value, fields); !error.empty()) return bad(error);
    if (std::string error = once(key); !error.empty()) return error;
    system.row_fields = fields;
    return {};
  }
  for (const std::string_view prefix : {"rfcsi.", "rfcsi_width."}) {
    if (key.rfind(prefix, 0) != 0) continue;
    std::string field(key_as_written.substr(prefix.size()));
    for (char& c : field) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (FindRfcsiField(field) == nullptr) {
      return "unknown RFCSI field '" + std::string(key_as_written.substr(prefix.size())) + "'";
    }
    const std::optional<long> width = Number(value, kMaxFieldWidth, false);
    if (prefix != "rfcsi." && (!width || *width == 0)) {
      return bad("expected a width of 1 to 262143 characters");
    }
    if (std::string error = once(std::string(prefix) + field); !error.empty()) return error;
    if (prefix == "rfcsi.") {
      system.rfcsi.emplace_back(field, value);
    } else {
      system.rfcsi_widths.emplace_back(field, static_cast<unsigned>(*width));
    }
    return {};
  }
  return "unknown key '" + std::string(key_as_written) + "'";
}

}  // namespace

const RfcsiField* FindRfcsiField(std::string_view name) {
  for (const RfcsiField& field : kRfcsiFields) {
    if (name == field.name) return &field;
  }
  return nullptr;
}

LandscapeResult ParseLandscape(std::string_view text, std::string_view file_name) {
  LandscapeResult result;
  std::set<std::string> seen_keys;
  std::set<std::string> seen_sids;
  if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);  // editors' UTF-8 mark
  int line_number = 0;
  while (!text.empty()) {
    ++line_number;
    const std::size_t end = std::min(text.find('\n'), text.size());
    std::string_view line = text.substr(0, end);
    text.remove_prefix(std::min(end + 1, text.size()));
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);

    auto fail = [&](const std::string& message) {
      result.systems.clear();
      result.error = std::string(file_name) + ":" + std::to_string(line_number) + ": " + message;
      return result;
    };
    const std::string_view trimmed = Trim(line);
    if (trimmed.empty() || trimmed.front() == ';' || trimmed.front() == '#') continue;

    if (trimmed.front() == '[') {
      if (trimmed.back() != ']') return fail("malformed section line, expected [system SID]");
      const std::vector<std::string_view> words =
          SplitBlanks(trimmed.substr(1, trimmed.size() - 2));
      if (words.size() != 2 || !EqualNoCase(words[0], "system")) {
        return fail("malformed section line, expected [system SID]");
      }
      if (!seen_sids.insert(std::string(words[1])).second) {
        return fail("system " + std::string(words[1]) + " described twice");
      }
      result.systems.emplace_back();
      result.systems.back().sid = words[1];
      seen_keys.clear();
      continue;
    }

    const std::size_t equals = line.find('=');
    const std::string_view key =
        equals == std::string_view::npos ? std::string_view() : Trim(line.substr(0, equals));
    if (key.empty()) return fail("malformed line, expected 'key = value' or [system SID]");
    if (result.systems.empty()) {
      return fail("key '" + std::string(key) + "' before the first [system SID] line");
    }
    const std::string error =
        ApplyKey(result.systems.back(), key, line.substr(equals + 1), seen_keys);
    if (!error.empty()) return fail(error);
  }
  return result;
}

std::string RfcsiValue(const System& system, std::string_view field) {
  for (const auto& [name, value] : system.rfcsi) {
    if (name == field) return value;
  }
  // R/2 systems have no application server: the gateway names them.
  const std::string& host = system.host.empty() ? system.gwhost : system.host;
  if (field == "RFCDBSYS") return "ADA";
  if (field == "RFCSYSID") return system.sid;
  if (field == "RFCHOST") return host;
  if (field == "RFCDEST") {
    const char digits[3] = {static_cast<char>('0' + system.sysnr / 10 % 10),
                            static_cast<char>('0' + system.sysnr % 10), '\0'};
    return host + "_" + system.sid + "_" + digits;
  }
  if (field == "RFCSAPRL") return "700";
  if (field == "RFCOPSYS") return "Linux";
  if (field == "RFCCHARTYP") return "4103";
  return {};
}

unsigned RfcsiWidth(const System& system, const RfcsiField& field) {
  for (const auto& [name, width] : system.rfcsi_widths) {
    if (name == field.name) return width;
  }
  return field.length;
}

bool EqualNoCase(std::string_view a, std::string_view b) {
  // Compared in place: system matching calls this for every system at every logon.
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) !=
        std::tolower(static_cast<unsigned char>(b[i]))) {
      return false;
    }
  }
  return true;
}

std::string PadOrCut(std::string_view text, std::size_t width) {
  std::string result(text.substr(0, width));
  result.resize(width, ' ');
  return result;
}

}  // namespace simrfc
