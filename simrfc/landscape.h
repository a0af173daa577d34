// The simulated SAP landscape: which systems answer, how they accept a
// logon, what they report and which faults they show. The simulated RFC
// library reads it from an INI file (see README.md); the parser works on text
// so that tests can drive it from strings.
#ifndef VENDRALITH_SIMRFC_LANDSCAPE_H
#define VENDRALITH_SIMRFC_LANDSCAPE_H

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace simrfc {

// One character field of the RFCSI structure.
struct RfcsiField {
  const char* name;
  unsigned length;
};

// The RFCSI fields in layout order: 200 bytes back to back. The system side's
// own copy of the layout, kept apart from the sensor's on purpose: a shared
// table would let a wrong layout in the sensor pass every test.
inline constexpr std::array<RfcsiField, 18> kRfcsiFields = {{
    {"RFCPROTO", 3},
    {"RFCCHARTYP", 4},
    {"RFCINTTYP", 3},
    {"RFCFLOTYP", 3},
    {"RFCDEST", 32},
    {"RFCHOST", 8},
    {"RFCSYSID", 8},
    {"RFCDATABS", 8},
    {"RFCDBHOST", 32},
    {"RFCDBSYS", 10},
    {"RFCSAPRL", 4},
    {"RFCMACH", 5},
    {"RFCOPSYS", 10},
    {"RFCTZONE", 6},
    {"RFCDAYST", 1},
    {"RFCIPADDR", 15},
    {"RFCKERNRL", 4},
    {"RFCSI_RESV", 44},
}};

// Widths of a statistics table line (ADA_SHOW: R1 and R2).
inline constexpr std::size_t kLabelWidth = 40;
inline constexpr std::size_t kValueWidth = 26;

// The longest character field a structure of the system may have: ABAP's
// longest type c.
inline constexpr unsigned kMaxFieldWidth = 262143;

// A character field of a structure as the system has it.
struct StructureField {
  std::string name;
  unsigned width = 0;
};

// The field of that name (exact, upper case), or null.
const RfcsiField* FindRfcsiField(std::string_view name);

// One row of SHOWSTATLOG or SHOWMONILOG, as written in the file.
struct LogRow {
  std::string label;
  std::string value;
};

// The four texts of RfcLastError.
struct ErrorTexts {
  std::string key;
  std::string status;
  std::string message;
  std::string intstat;
};

enum class FaultKind { kUnreachable, kCall, kReceive, kAbort, kRefuse, kHangClose };

// One "fail = ..." line.
struct Fault {
  FaultKind kind = FaultKind::kUnreachable;
  std::string target;     // function (call, receive) or operation (abort, refuse)
  int code = 0;           // result of call and receive faults
  std::string exception;  // receive faults with code 2 or 3
  std::string object;     // refuse: table or structure name, empty for any
};

struct System {
  std::string sid;
  std::string host;
  int sysnr = 0;
  std::string gwhost;
  std::string gwserv;
  std::string mshost;  // the message server of a load-balanced logon
  std::string msserv;  // empty: any message server service
  std::string group;   // empty: PUBLIC
  std::string client;  // empty: any client, user or password is accepted
  std::string user;
  std::string password;
  std::vector<std::pair<std::string, std::string>> rfcsi;  // field name, value as given
  // RFCSI fields wider or narrower than the standard layout, as this
  // system's release has them: field name, width.
  std::vector<std::pair<std::string, unsigned>> rfcsi_widths;
  // The two fields of the rows of SHOWSTATLOG and SHOWMONILOG (ADA_SHOW).
  std::vector<StructureField> row_fields = {{"R1", kLabelWidth}, {"R2", kValueWidth}};
  std::string saprouter;        // the route a logon must come through; empty: none
  std::string snc_partnername;  // the SNC name a logon must name; empty: no SNC needed
  // The caller's SNC name that the system maps to its user, for a logon by
  // SNC single sign-on (no user, no password); empty: none is mapped.
  std::string snc_myname;
  std::vector<LogRow> statlog;
  std::vector<LogRow> monilog;
  int latency_ms = 0;
  bool trace = true;
  std::optional<ErrorTexts> error;
  std::vector<Fault> faults;
};

// The systems, or the first error as "FILE:LINE: what is wrong".
struct LandscapeResult {
  std::vector<System> systems;
  std::string error;
  bool Ok() const { return error.empty(); }
};

LandscapeResult ParseLandscape(std::string_view text, std::string_view file_name);

// An RFCSI field of the system, unpadded: its rfcsi.NAME line or the default.
std::string RfcsiValue(const System& system, std::string_view field);

// The width of an RFCSI field in the system's release: its rfcsi_width.NAME
// line or the standard layout's.
unsigned RfcsiWidth(const System& system, const RfcsiField& field);

// The longest password an SAP system takes.
inline constexpr std::size_t kMaxPassword = 40;

// ASCII comparison without regard to case.
bool EqualNoCase(std::string_view a, std::string_view b);

// text blank-padded or cut to exactly width characters.
std::string PadOrCut(std::string_view text, std::size_t width);

}  // namespace simrfc

#endif
