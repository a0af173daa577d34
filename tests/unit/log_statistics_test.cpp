#include <gtest/gtest.h>

#include "queries/log_statistics_query.h"
#include "run/listed_systems.h"

namespace vendralith {
namespace {

// A 66-byte table line, blank-padded.
std::string Line(const std::string& label, const std::string& value) {
  std::string line = label + std::string(40 - label.size(), ' ');
  return line + value + std::string(26 - value.size(), ' ');
}

const std::vector<StatisticsRow> kRows = {
    {"LOG PAGES", "1250000"},         {"USED     LOG PAGES", "462500"},
    {"USED     LOG PAGES (%)", "37"}, {"NOT SAVED LOG PAGES", "12000"},
    {"NOT SAVED LOG PAGES (%)", "1"}, {"SAVEPOINTS", "1523"},
    {"CHECKPOINTS", "1490"},          {"LOG IO", "5"},
};

TEST(RowFromLine, StripsTrailingBlanksOnly) {
  const StatisticsRow row = RowFromLine(Line("USED     LOG PAGES", "  42").c_str());
  EXPECT_EQ(row.label, "USED     LOG PAGES");
  EXPECT_EQ(row.value, "  42");  // leading blanks stay
  const std::string blanks(66, ' ');
  EXPECT_EQ(RowFromLine(blanks.c_str()).label, "");
  std::string withNul = Line("SAVEPOINTS", "9");
  withNul[5] = '\0';
  EXPECT_EQ(RowFromLine(withNul.c_str()).label, "SAVEP");  // a NUL ends the field
}

TEST(LogFillOf, TakesPagesElsePerCentOfThem) {
  struct Case {
    std::vector<StatisticsRow> rows;
    std::optional<LogFill> fill;
    const char* why;
  } cases[] = {
      {kRows, LogFill{1250000, 462500, 1523}, "the pages row, whatever the per cent says"},
      {{{"LOG PAGES", "64000"}, {"USED     LOG PAGES (%)", "37"}, {"SAVEPOINTS", "12"}},
       LogFill{64000, 23680, 12},
       "no pages row: the per cent of the log pages"},
      {{{"LOG PAGES", "999"}, {"USED     LOG PAGES (%)", "50"}},
       LogFill{999, 499, 0},
       "cut down; no savepoints row: 0"},
      {{{"LOG PAGES", "  64000"}, {"USED     LOG PAGES", "100"}, {"USED     LOG PAGES", "200"}},
       LogFill{64000, 200, 0},
       "leading blanks; the last row counts"},
      {{{"USED     LOG PAGES", "100"}}, std::nullopt, "no log pages"},
      {{{"LOG PAGES", "0"}, {"USED     LOG PAGES", "0"}}, std::nullopt, "a log area of no pages"},
      {{{"LOG PAGES", "64000"}}, std::nullopt, "no used pages"},
      {{{"LOG PAGES", "64000"}, {"USED     LOG PAGES", "x"}}, std::nullopt, "not a number"},
      {{{"LOG PAGES", "-5"}, {"USED     LOG PAGES", "1"}}, std::nullopt, "negative"},
      {{{"LOG PAGES", "64000"}, {"USED     LOG PAGES (%)", "101"}},
       std::nullopt,
       "no true per cent"},
      {{}, std::nullopt, "no rows"},
  };
  for (const Case& c : cases) EXPECT_EQ(LogFillOf(c.rows), c.fill) << c.why;
}

TEST(LogStateText, FiguresAreGroupedUnsigned) {
  EXPECT_EQ(LogStateText("PRD", kRows),
            "(PRD) LogStates: Sizing=1.250.000 Pages, Usage=37%, SavePoints=1.523");
  EXPECT_EQ(LogStateText("PRD", {}), "(PRD) LogStates: Sizing=0 Pages, Usage=0%, SavePoints=0");
  EXPECT_EQ(LogStateText("X", {{"LOG PAGES", "-1"}, {"SAVEPOINTS", "x"}, {"SAVEPOINTS", "5"}}),
            "(X) LogStates: Sizing=4294.967.295 Pages, Usage=0%, SavePoints=5");
}

TEST(SingleSystemChannels, PercentChoosesTheRows) {
  using Channels = std::vector<std::string>;
  auto describe = [](const std::vector<Channel>& channels) {
    Channels text;
    for (const Channel& c : channels) text.push_back(c.name + "=" + c.value + " " + c.unit);
    return text;
  };
  EXPECT_EQ(describe(SingleSystemChannels(kRows, false)),
            (Channels{"LogPages=1250000 Pages", "UsedPages=462500 Pages", "NotSaved=12000 Pages",
                      "SavePoints=1523 ", "CheckPoints=1490 "}));
  EXPECT_EQ(describe(SingleSystemChannels(kRows, true)),
            (Channels{"LogPages=1250000 Pages", "LogUsage=37 PerCent", "NotSaved=1 PerCent",
                      "SavePoints=1523 ", "CheckPoints=1490 "}));
  // Other inner blanks or case do not match; a label twice gives two channels.
  EXPECT_EQ(
      describe(SingleSystemChannels(
          {{"USED    LOG PAGES", "1"}, {"log pages", "2"}, {"LOG PAGES", "3"}, {"LOG PAGES", "4"}},
          false)),
      (Channels{"LogPages=3 Pages", "LogPages=4 Pages"}));
}

TEST(ListingChannel, TheItemSelectsOneRow) {
  struct Case {
    const char* item;
    bool percent;
    const char* value;  // nullptr: no channel
    const char* unit;
  } cases[] = {
      {"LogUsage", true, "37", "PerCent"},     // per-cent row
      {"LogUsage", false, nullptr, ""},        // without PERCENT the row does not count
      {"NotSaved", false, "12000", "Pages"},   //
      {"SavePoints", false, "1523", "Pages"},  // Pages in a multi-system run
      {"savepoints", false, nullptr, ""},      // exact case
  };
  for (const Case& c : cases) {
    const auto channel = ListingChannel(kRows, c.percent, c.item, "PRD");
    ASSERT_EQ(channel.has_value(), c.value != nullptr) << c.item;
    if (!channel) continue;
    EXPECT_EQ(channel->name, "PRD");
    EXPECT_EQ(channel->value, c.value);
    EXPECT_EQ(channel->unit, c.unit);
  }
}

TEST(SystemDisplayName, ByNamingRule) {
  SystemEntry entry;
  entry.hostname = "sapprd";
  entry.destination = "PRD";
  EXPECT_EQ(SystemDisplayName('1', "PRD.P00", entry), "PRD.P00");
  EXPECT_EQ(SystemDisplayName('2', "PRD.P00", entry), "PRD");
  EXPECT_EQ(SystemDisplayName('2', "AB", entry), "AB");  // too short for a suffix
  EXPECT_EQ(SystemDisplayName('2',
                              "A\xE2\x82\xAC"
                              "xyz",
                              entry),
            "A");  // the four bytes dropped end inside a character
  EXPECT_EQ(SystemDisplayName('3', "PRD.P00", entry), "sapprd");
  EXPECT_EQ(SystemDisplayName('4', "PRD.P00", entry), "PRD");
}

}  // namespace
}  // namespace vendralith
