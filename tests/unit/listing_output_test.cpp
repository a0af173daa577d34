#include "run/listing_output.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "output/standard_output.h"

namespace vendralith {
namespace {

// What the output prints, and what the deadline would print after it.
class Printed {
 public:
  Printed() {
    RedirectOutput({[this](std::string_view text) { text_ += text; },
                    [this](const DeadlineEnding& ending) { ending_ = ending; }});
  }
  ~Printed() { RedirectOutput({}); }
  Printed(const Printed&) = delete;
  Printed& operator=(const Printed&) = delete;

  std::string Take() { return std::exchange(text_, ""); }
  const DeadlineEnding& Ending() const { return ending_; }

 private:
  std::string text_;
  DeadlineEnding ending_;
};

RunSettings Settings(OutputMode mode, bool console, int timeoutSeconds) {
  RunSettings settings;
  settings.outputMode = mode;
  settings.consoleMode = console;
  settings.timeoutSeconds = timeoutSeconds;
  settings.consoleLine = "* 10:00:00 banner";
  settings.clockTime = "10:00:00";
  return settings;
}

Listing Systems(const char* serverList) {
  Listing listing;
  listing.serverList = serverList;
  listing.itemName = "LogPages";
  return listing;
}

// The output of a run over the listed systems, its opening printed and taken.
struct Opened {
  Opened(OutputMode mode, const char* serverList, bool console, int timeoutSeconds)
      : document(mode, ""),
        output(document, Settings(mode, console, timeoutSeconds), Systems(serverList)) {
    output.Open();
    (void)printed.Take();
  }
  Printed printed;
  ResultDocument document;
  ListingOutput output;
};

ScanReport Found(const char* channel, const char* value) {
  ScanReport report;
  report.kind = ScanReport::Kind::Found;
  report.found.scanned = true;
  report.found.found = true;
  report.found.channel = Channel{channel, value, "Pages"};
  return report;
}

ScanReport Kind(ScanReport::Kind kind) {
  ScanReport report;
  report.kind = kind;
  return report;
}

ScanReport Output(const char* text) {
  ScanReport report;
  report.text = text;
  return report;
}

TEST(ListingOutput, KeepsWhatALaterSystemReportsUntilTheOnesBeforeItAreComplete) {
  Opened run(OutputMode::Quorrane, "A#B#C#", true, 0);
  Printed& printed = run.printed;
  ListingOutput& output = run.output;
  std::vector<std::size_t> complete;
  output.WhenComplete([&complete](std::size_t system) { complete.push_back(system); });
  const std::size_t a = output.AddScanned("* A", true);
  const std::size_t b = output.AddScanned("* B", true);
  const std::size_t c = output.AddScanned("* C", true);

  // C and B answer first, C's process even ends: nothing of them yet.
  EXPECT_FALSE(output.Report(c, Output("* SapRfc.Ini.......: C<\n")));
  EXPECT_FALSE(output.Report(c, Found("C", "3")));
  EXPECT_FALSE(output.Report(c, Kind(ScanReport::Kind::Done)));
  EXPECT_FALSE(output.Report(b, Found("B", "2")));
  EXPECT_EQ(printed.Take(), "");
  // A prints as it reports; its completion lets B print what it has, and B's
  // completion C all of its part.
  EXPECT_FALSE(output.Report(a, Found("A", "1")));
  EXPECT_EQ(printed.Take(), "\n\nMessage.A: A (Pages)\nStatistic.A: 1");
  EXPECT_FALSE(output.Report(a, Kind(ScanReport::Kind::Done)));
  EXPECT_EQ(printed.Take(), "\n* A State=Processed\n\n\nMessage.B: B (Pages)\nStatistic.B: 2");
  EXPECT_FALSE(output.Report(b, Kind(ScanReport::Kind::Done)));
  EXPECT_EQ(printed.Take(),
            "\n* B State=Processed\n* SapRfc.Ini.......: C<\n\n\nMessage.C: C (Pages)\n"
            "Statistic.C: 3\n* C State=Processed\n");
  EXPECT_EQ(complete, (std::vector<std::size_t>{a, b, c}));
  EXPECT_TRUE(output.AllComplete());
  // Later reports of a complete system change nothing.
  EXPECT_FALSE(output.Report(c, Kind(ScanReport::Kind::Ended)));
  EXPECT_EQ(printed.Take(), "");
}

TEST(ListingOutput, GivesTheRunEndingOfTheSystemWhoseTurnItIs) {
  Opened run(OutputMode::ExeXml, "A#B#C#", false, 0);
  ListingOutput& output = run.output;
  const std::size_t a = output.AddScanned("", true);
  const std::size_t b = output.AddScanned("", true);
  ScanReport ends = Kind(ScanReport::Kind::Found);
  ends.found.runEnding = "Error 1018: DataBase mismatch !";
  ends.found.connection = 7;
  // B's ending waits for A.
  EXPECT_FALSE(output.Report(b, ends));
  EXPECT_FALSE(output.Report(a, Found("A", "1")));
  const std::optional<RunEnding> ending = output.Report(a, Kind(ScanReport::Kind::Done));
  ASSERT_TRUE(ending.has_value());
  EXPECT_EQ(ending->system, b);
  EXPECT_EQ(ending->message, "Error 1018: DataBase mismatch !");
  EXPECT_EQ(ending->connection, 7);
  EXPECT_EQ(ending->code, ExitCode::ErrorDocument);

  // A scan process that ends in the middle of its RFC error report ends the run with it.
  const std::size_t c = output.AddScanned("", true);
  ScanReport reporting = Kind(ScanReport::Kind::Ending);
  reporting.ending = {"", ExitCode::RfcError};
  ScanReport ended = Kind(ScanReport::Kind::Ended);
  ended.exitCode = 1;
  (void)output.Report(b, Found("B", "2"));
  (void)output.Report(b, Kind(ScanReport::Kind::Done));
  EXPECT_FALSE(output.Report(c, reporting));
  const std::optional<RunEnding> report = output.Report(c, ended);
  ASSERT_TRUE(report.has_value());
  EXPECT_EQ(report->message, "");
  EXPECT_EQ(report->code, ExitCode::RfcError);
}

TEST(ListingOutput, AScanThatEndsWithoutAResultCountsAsFailed) {
  Opened run(OutputMode::ExeXml, "A#", true, 0);
  Printed& printed = run.printed;
  ListingOutput& output = run.output;
  ScanReport ended = Kind(ScanReport::Kind::Ended);
  ended.exitCode = -1;
  EXPECT_FALSE(output.Report(output.AddScanned("* A", true), ended));
  output.PrintSummary();
  const std::string text = printed.Take();
  EXPECT_EQ(text.substr(0, 24), "\n* A State=Rfc Failure\n\n");
  EXPECT_NE(text.find("NoSystems=1, Processed=0, Failed=1"), std::string::npos) << text;
}

TEST(ListingOutput, ConsoleNotesMoreChannelsThanPrtgShows) {
  const std::string note =
      "\n* 51 channels: PRTG shows at most 50 channels per sensor, split the listing into two "
      "sensors\n";
  struct Case {
    OutputMode mode;
    bool console;
    int channels;
    bool noted;
    const char* why;
  } cases[] = {
      {OutputMode::ExeXml, true, 51, true, "one more than PRTG shows"},
      {OutputMode::Tamvelo, true, 51, true, "the same XML"},
      {OutputMode::ExeXml, true, 50, false, "as many as PRTG shows"},
      {OutputMode::ExeXml, false, 51, false, "only on the console"},
      {OutputMode::Pindrel, true, 51, false, "not a document for PRTG"},
  };
  for (const Case& c : cases) {
    const std::string serverList(static_cast<std::size_t>(c.channels) + 1, '#');
    Opened run(c.mode, serverList.c_str(), c.console, 0);
    ListingOutput& output = run.output;
    for (int system = 0; system < c.channels; ++system) {
      const std::size_t number = output.AddScanned("* S", true);
      (void)output.Report(number, Found("S", "1"));
      (void)output.Report(number, Kind(ScanReport::Kind::Done));
    }
    (void)output.AddScanned("* T", true);  // one more system, without a channel
    (void)output.Report(c.channels, Kind(ScanReport::Kind::Done));
    // The deadline's answer never carries the note.
    EXPECT_EQ(output.AtDeadline().text.find("channels:"), std::string::npos) << c.why;
    (void)run.printed.Take();
    output.PrintSummary();
    const std::string text = run.printed.Take();
    const bool noted = text.find(" channels: PRTG") != std::string::npos;
    EXPECT_EQ(noted, c.noted) << c.why;
    if (!noted) continue;
    const std::size_t at = text.find("\n* ");
    // After the document, before the line that closes the run.
    EXPECT_EQ(text.substr(at, note.size()), note) << c.why;
    EXPECT_EQ(text.substr(at - 9, 9), "</Prtg>\n\n") << c.why;
    const std::string rest = text.substr(at + note.size());
    EXPECT_EQ(rest.substr(0, 3), "\n* ") << c.why;
    EXPECT_EQ(rest.substr(11), " SAP Vendralith now processed...\n") << c.why;
  }
}

TEST(ListingOutput, AtTheDeadlinePrintsWhatFinishedInListingOrder) {
  Opened run(OutputMode::ExeXml, "A#B#C#D#E#F#", true, 5);
  Printed& printed = run.printed;
  ListingOutput& output = run.output;
  const std::size_t a = output.AddScanned("* A", true);
  const std::size_t b = output.AddScanned("* B", true);
  const std::size_t c = output.AddScanned("* C", true);
  const std::size_t d = output.AddScanned("* D", true);
  output.AddSkipped();  // E: no profile
  // A hangs after its console line; B finished; C would end the run; D is
  // under way with its channel printed.
  (void)output.Report(a, Output("* SapRfc.Ini.......: A<\n"));
  (void)output.Report(b, Found("B", "2"));
  (void)output.Report(b, Kind(ScanReport::Kind::Done));
  ScanReport ends = Kind(ScanReport::Kind::Found);
  ends.found.runEnding = "Error 1018: DataBase mismatch !";
  (void)output.Report(c, ends);
  (void)output.Report(d, Found("D", "4"));
  EXPECT_EQ(printed.Take(), "* SapRfc.Ini.......: A<\n");
  const DeadlineEnding ending = output.AtDeadline();
  EXPECT_EQ(ending.code, ExitCode::Success);
  EXPECT_EQ(ending.text,
            "\n* A State=Timeout\n"
            "\n<Result><Channel>B</Channel>\n<Unit>Custom</Unit>\n<CustomUnit>Pages</CustomUnit>"
            "\n<Value>2</Value></Result>\n\n* B State=Processed\n"
            // C is left out: the run would have ended there.
            "\n<Result><Channel>D</Channel>\n<Unit>Custom</Unit>\n<CustomUnit>Pages</CustomUnit>"
            "\n<Value>4</Value></Result>\n\n* D State=Timeout\n"
            // F was not started: failed, as A, C and D.
            "\n<Text>(***) LogPages: NoSystems=6, Processed=1, Failed=4</Text>\n\n</Prtg>\n\n");
  // Each print keeps the deadline's answer up to date.
  EXPECT_EQ(printed.Ending().text, ending.text);

  // An RFC error report under way in the first system's turn: its rest is the answer.
  ScanReport reporting = Kind(ScanReport::Kind::Ending);
  reporting.ending = {"* Programm aborted...\n", ExitCode::RfcError};
  (void)output.Report(a, reporting);
  EXPECT_EQ(output.AtDeadline().text, "* Programm aborted...\n");
  EXPECT_EQ(output.AtDeadline().code, ExitCode::RfcError);
}

}  // namespace
}  // namespace vendralith
