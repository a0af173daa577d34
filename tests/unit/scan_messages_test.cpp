#include "run/scan_messages.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vendralith {
namespace {

ScanAssignment Assignment() {
  ScanAssignment assignment;
  assignment.callLogPath = "C:\\Sensors\\Vendralith.log";
  assignment.outputMode = OutputMode::Quorrane;
  assignment.request = {",SYSLOG,HOST=X", true,     "LogUsage",
                        "PRD.P00",        {48, 12}, "C:\\Sensors\\Vendralith.Trend"};
  assignment.entry.destination = "PRD";
  assignment.entry.password = "with:colons 12:x";  // lengths, not separators, delimit fields
  assignment.entry.displayHost = "";
  return assignment;
}

TEST(ScanAssignment, TravelsWhole) {
  const std::optional<ScanAssignment> decoded = DecodeAssignment(EncodeAssignment(Assignment()));
  ASSERT_TRUE(decoded.has_value());
  EXPECT_EQ(decoded->callLogPath, "C:\\Sensors\\Vendralith.log");
  EXPECT_EQ(decoded->outputMode, OutputMode::Quorrane);
  EXPECT_EQ(decoded->request.parameterString, ",SYSLOG,HOST=X");
  EXPECT_TRUE(decoded->request.consoleMode);
  EXPECT_EQ(decoded->request.itemName, "LogUsage");
  EXPECT_EQ(decoded->request.displayName, "PRD.P00");
  EXPECT_EQ(decoded->request.trendHours, (HourLimits{48, 12}));
  EXPECT_EQ(decoded->request.trendFolder, "C:\\Sensors\\Vendralith.Trend");
  EXPECT_EQ(decoded->entry.destination, "PRD");
  EXPECT_EQ(decoded->entry.password, "with:colons 12:x");
}

TEST(ScanAssignment, CarriesTheHostsPasswordAndTheSingleSignOnMark) {
  const struct {
    std::string password;
    bool singleSignOn;
    bool utf8Credentials;
  } cases[] = {
      {"Forty-Characters-0123456789-abcdefghijkl", false, false},  // the most SAP takes
      {"", true, false},                                           // neither user nor password
      {"\xC5\x81\xC3\xB3"
       "d\xC5\xBA",
       false, true},  // exact text as Windows holds it
  };
  for (const auto& c : cases) {
    ScanAssignment assignment = Assignment();
    assignment.entry.password = c.password;
    assignment.entry.singleSignOn = c.singleSignOn;
    assignment.entry.utf8Credentials = c.utf8Credentials;
    const std::optional<ScanAssignment> decoded = DecodeAssignment(EncodeAssignment(assignment));
    ASSERT_TRUE(decoded.has_value());
    EXPECT_EQ(decoded->entry.password, c.password);
    EXPECT_EQ(decoded->entry.singleSignOn, c.singleSignOn);
    EXPECT_EQ(decoded->entry.utf8Credentials, c.utf8Credentials);
  }
}

TEST(ScanAssignment, AnythingElseIsNone) {
  const std::string whole = EncodeAssignment(Assignment());
  struct Case {
    std::string text;
    const char* why;
  } cases[] = {
      {"", "nothing, as from a terminal that was closed"},
      {whole.substr(0, whole.size() - 1), "cut short"},
      {whole + "x", "more than one assignment"},
      {"O5:hello", "a report, not an assignment"},
      {"A7:3:abc", "too few fields"},
      {"A999999999:", "a length beyond any"},
  };
  for (const Case& c : cases) EXPECT_FALSE(DecodeAssignment(c.text).has_value()) << c.why;
}

TEST(ReportReader, GivesEachReportOnceWholeWhateverThePieces) {
  ScanReport output;
  output.text = "* SapRfc.Ini.......: PRD<\n";
  ScanReport ending;
  ending.kind = ScanReport::Kind::Ending;
  ending.ending = {"* Programm aborted...\n", ExitCode::RfcError};
  ScanReport found;
  found.kind = ScanReport::Kind::Found;
  found.found.scanned = true;
  found.found.found = true;
  found.found.channel = Channel{"PRD", "37", "PerCent"};
  found.found.connection = 3;
  found.found.tablesHeld = true;
  ScanReport ends;
  ends.kind = ScanReport::Kind::Found;
  ends.found.runEnding = "Error 1018: DataBase mismatch !";
  ScanReport done;
  done.kind = ScanReport::Kind::Done;
  const std::string stream = ReportFrame(output) + ReportFrame(ending) + ReportFrame(found) +
                             ReportFrame(ends) + ReportFrame(done);

  for (const std::size_t piece : {std::size_t{1}, std::size_t{7}, stream.size()}) {
    ReportReader reader;
    std::vector<ScanReport> reports;
    for (std::size_t at = 0; at < stream.size(); at += piece) {
      reader.Add(std::string_view(stream).substr(at, piece));
      while (std::optional<ScanReport> report = reader.Next()) reports.push_back(*report);
    }
    ASSERT_EQ(reports.size(), 5u) << piece;
    EXPECT_FALSE(reader.Broken());
    EXPECT_EQ(reports[0].kind, ScanReport::Kind::Output);
    EXPECT_EQ(reports[0].text, output.text);
    EXPECT_EQ(reports[1].kind, ScanReport::Kind::Ending);
    EXPECT_EQ(reports[1].ending.text, ending.ending.text);
    EXPECT_EQ(reports[1].ending.code, ExitCode::RfcError);
    EXPECT_EQ(reports[2].kind, ScanReport::Kind::Found);
    EXPECT_TRUE(reports[2].found.scanned && reports[2].found.found && reports[2].found.tablesHeld);
    ASSERT_TRUE(reports[2].found.channel.has_value());
    EXPECT_EQ(reports[2].found.channel->name, "PRD");
    EXPECT_EQ(reports[2].found.channel->value, "37");
    EXPECT_EQ(reports[2].found.channel->unit, "PerCent");
    EXPECT_EQ(reports[2].found.connection, 3);
    EXPECT_FALSE(reports[3].found.channel.has_value());
    EXPECT_EQ(reports[3].found.runEnding, "Error 1018: DataBase mismatch !");
    EXPECT_EQ(reports[4].kind, ScanReport::Kind::Done);
  }
}

TEST(ReportReader, KeepsWhetherAChannelIsOneOfHours) {
  const struct {
    std::optional<HourLimits> limits;
    const char* why;
  } cases[] = {
      {HourLimits{48, 12}, "LogFullIn: its limits travel with it"},
      {std::nullopt, "any other channel: none"},
  };
  for (const auto& c : cases) {
    ScanReport found;
    found.kind = ScanReport::Kind::Found;
    found.found.channel = Channel{"PRD", "12.5", "", c.limits};
    ReportReader reader;
    reader.Add(ReportFrame(found));
    const std::optional<ScanReport> report = reader.Next();
    ASSERT_TRUE(report.has_value() && report->found.channel.has_value()) << c.why;
    EXPECT_EQ(report->found.channel->hourLimits, c.limits) << c.why;
    EXPECT_EQ(report->found.channel->value, "12.5") << c.why;
  }
}

TEST(ReportReader, StopsAtWhatIsNoReport) {
  struct Case {
    const char* stream;
    const char* why;
  } cases[] = {
      {"X3:abc", "an unknown tag"},
      {"Ox:abc", "no length"},
      {"O1234567890", "digits beyond any length"},
      {"D1:x", "a done report with a payload"},
      {"E8:1:93:abc", "an exit code the program has not"},
      {"F3:1:1", "too few fields"},
      {"RFC error\n", "what the library would print itself"},
  };
  for (const Case& c : cases) {
    ReportReader reader;
    reader.Add(c.stream);
    EXPECT_FALSE(reader.Next().has_value()) << c.why;
    EXPECT_TRUE(reader.Broken()) << c.why;
    // Nothing after it counts either.
    reader.Add("D0:");
    EXPECT_FALSE(reader.Next().has_value()) << c.why;
  }
}

}  // namespace
}  // namespace vendralith
