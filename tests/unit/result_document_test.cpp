#include "output/result_document.h"

#include <gtest/gtest.h>

namespace vendralith {
namespace {

TEST(ResultDocument, ExeXmlSingleSystemDocument) {
  for (OutputMode mode : {OutputMode::ExeXml, OutputMode::Tamvelo, OutputMode::Marsoke}) {
    ResultDocument document(mode, "");
    document.OpenDocument();
    document.OpenText();
    document.AppendText("(PRD) LogStates");
    document.CloseText();
    document.WriteChannel("LogPages", "12345", "Pages");
    document.WriteChannel("SavePoints", "17", "");
    document.CloseDocument();
    EXPECT_EQ(document.Text(),
              "\n<Prtg>\n\n<Text>(PRD) LogStates</Text>\n"
              "\n<Result><Channel>LogPages</Channel>\n<Unit>Custom</Unit>\n"
              "<CustomUnit>Pages</CustomUnit>\n<Value>12345</Value></Result>\n"
              "\n<Result><Channel>SavePoints</Channel>\n<Value>17</Value></Result>\n"
              "\n</Prtg>\n");
  }
}

TEST(ResultDocument, QuorraneWritesMessageAndStatisticLines) {
  ResultDocument document(OutputMode::Quorrane, "");
  document.OpenDocument();
  document.OpenText();
  document.AppendText("text & more");
  document.CloseText();
  document.WriteChannel("LogPages", "12345", "Pages");
  document.WriteChannel("Log Usage", "37", "PerCent");
  document.WriteChannel("SavePoints", "9", "");
  document.CloseDocument();
  EXPECT_EQ(document.Text(),
            "\n# text & more"
            "\n\nMessage.LogPages: LogPages (Pages)\nStatistic.LogPages: 12345"
            "\n\nMessage.Log_Usage: Log Usage (%)\nStatistic.Log_Usage: 37"
            "\n\nMessage.SavePoints: SavePoints (#)\nStatistic.SavePoints: 9\n");
}

TEST(ResultDocument, QuorraneStopsAfterTenChannelsOfTheProcess) {
  ResultDocument document(OutputMode::Quorrane, "");
  for (int i = 1; i <= 10; ++i) document.WriteChannel("C", std::to_string(i), "");
  const std::string tenChannels = document.Text();
  document.WriteChannel("C", "11", "");
  document.Clear();
  document.WriteChannel("C", "12", "");
  EXPECT_NE(tenChannels.find("Statistic.C: 10"), std::string::npos);
  EXPECT_EQ(document.Text(), "");
}

TEST(ResultDocument, PindrelLines) {
  ResultDocument document(OutputMode::Pindrel, "PERCENT");
  document.OpenDocument();
  document.OpenText();
  document.AppendText("state");
  document.CloseText();
  document.WriteChannel("LogPages", "12345", "Pages");
  document.WriteChannel("LogUsage", "37", "PerCent");
  document.WriteChannel("SavePoints", "9", "");
  document.CloseDocument();
  EXPECT_EQ(document.Text(),
            "\n# state\n> LogPages: 12345 Pages\n> LogUsage: 37 %\n> SavePoints: 9 #\n");
}

TEST(ResultDocument, PindrelChannelSelection) {
  EXPECT_EQ(SelectedChannel("CH=2"), 2);
  EXPECT_EQ(SelectedChannel("A,CH=1,B"), 1);
  EXPECT_EQ(SelectedChannel("CH="), 0);
  EXPECT_EQ(SelectedChannel("CH=12345"), 123);
  EXPECT_EQ(SelectedChannel("CH= 7"), 7);
  EXPECT_EQ(SelectedChannel("NONE"), 0);

  ResultDocument document(OutputMode::Pindrel, "CH=2");
  document.OpenDocument();
  document.OpenText();
  document.AppendText("state");
  document.CloseText();  // empties the text part
  document.WriteChannel("LogPages", "12345", "Pages");
  document.WriteChannel("UsedPages", "462500", "Pages");
  document.WriteChannel("NotSaved", "12", "Pages");
  document.CloseDocument();
  EXPECT_EQ(document.Text(), "462500\n");
}

TEST(ResultDocument, ErrorDocumentIsTheSameInEveryDialect) {
  for (OutputMode mode : {OutputMode::ExeXml, OutputMode::Tamvelo, OutputMode::Marsoke,
                          OutputMode::Quorrane, OutputMode::Pindrel}) {
    ResultDocument document(mode, "");
    document.OpenDocument();
    document.WriteChannel("LogPages", "1", "Pages");
    document.MakeErrorDocument("Error 1001: Parameter for Profile-Name is missing !");
    EXPECT_EQ(document.Text(),
              "<Prtg>\n<Error>1</Error>\n<Text>Error 1001: Parameter for Profile-Name is missing "
              "!</Text>\n</Prtg>\n");
  }
}

TEST(ResultDocument, PerCentChannelsCarryTheLimits) {
  const std::string percentHead =
      "\n<Result><Channel>LogUsage</Channel>\n<Unit>Custom</Unit>\n<CustomUnit>PerCent</"
      "CustomUnit>";
  const std::string percentTail = "\n<Value>37</Value></Result>\n";
  struct Case {
    OutputMode mode;
    const char* unit;
    ChannelLimits limits;
    std::string text;
    const char* why;
  } cases[] = {
      {OutputMode::ExeXml,
       "PerCent",
       {80, 95},
       percentHead +
           "\n<LimitMode>1</LimitMode>\n<LimitMaxWarning>80</LimitMaxWarning>"
           "\n<LimitMaxError>95</LimitMaxError>" +
           percentTail,
       "both, between the unit and the value"},
      {OutputMode::ExeXml,
       "PerCent",
       {1, 0},
       percentHead + "\n<LimitMode>1</LimitMode>\n<LimitMaxWarning>1</LimitMaxWarning>" +
           percentTail,
       "the warning alone"},
      {OutputMode::Marsoke,
       "PerCent",
       {0, 100},
       percentHead + "\n<LimitMode>1</LimitMode>\n<LimitMaxError>100</LimitMaxError>" + percentTail,
       "the error alone, in another XML dialect"},
      {OutputMode::ExeXml, "PerCent", {}, percentHead + percentTail, "none given: none written"},
      {OutputMode::ExeXml,
       "Pages",
       {80, 95},
       "\n<Result><Channel>LogUsage</Channel>\n<Unit>Custom</Unit>\n<CustomUnit>Pages</"
       "CustomUnit>" +
           percentTail,
       "pages carry none"},
      {OutputMode::ExeXml,
       "percent",
       {80, 95},
       "\n<Result><Channel>LogUsage</Channel>\n<Unit>Custom</Unit>\n<CustomUnit>percent</"
       "CustomUnit>" +
           percentTail,
       "only the unit PerCent exactly"},
      {OutputMode::ExeXml,
       "",
       {80, 95},
       "\n<Result><Channel>LogUsage</Channel>" + percentTail,
       "no unit, none"},
      {OutputMode::Quorrane,
       "PerCent",
       {80, 95},
       "\n\nMessage.LogUsage: LogUsage (%)\nStatistic.LogUsage: 37",
       "a line dialect carries none"},
      {OutputMode::Pindrel, "PerCent", {80, 95}, "\n> LogUsage: 37 %", "nor the other"},
  };
  for (const Case& c : cases) {
    ResultDocument document(c.mode, "");
    document.SetChannelLimits(c.limits);
    document.WriteChannel("LogUsage", "37", c.unit);
    EXPECT_EQ(document.Text(), c.text) << c.why;
  }
  // The error document stays as it is.
  ResultDocument document(OutputMode::ExeXml, "");
  document.SetChannelLimits({80, 95});
  document.MakeErrorDocument("Error 1018: DataBase mismatch !");
  EXPECT_EQ(document.Text(),
            "<Prtg>\n<Error>1</Error>\n<Text>Error 1018: DataBase mismatch !</Text>\n</Prtg>\n");
}

TEST(ResultDocument, HoursChannelsCarryTheirUnitAndLowerLimits) {
  struct Case {
    OutputMode mode;
    const char* parameterString;
    std::string text;
    const char* why;
  } cases[] = {
      {OutputMode::ExeXml, "",
       "\n<Result><Channel>LogFullIn</Channel>\n<Unit>TimeHours</Unit>\n<Float>1</Float>"
       "\n<LimitMode>1</LimitMode>\n<LimitMinWarning>48</LimitMinWarning>"
       "\n<LimitMinError>12</LimitMinError>\n<Value>12.5</Value></Result>\n",
       "XML: hours, a float, both limits"},
      {OutputMode::Tamvelo, "",
       "\n<Result><Channel>LogFullIn</Channel>\n<Unit>TimeHours</Unit>\n<Float>1</Float>"
       "\n<LimitMode>1</LimitMode>\n<LimitMinWarning>48</LimitMinWarning>"
       "\n<LimitMinError>12</LimitMinError>\n<Value>12.5</Value></Result>\n",
       "every XML dialect alike"},
      {OutputMode::Quorrane, "", "\n\nMessage.LogFullIn: LogFullIn (h)\nStatistic.LogFullIn: 12.5",
       "a line dialect: the unit h"},
      {OutputMode::Pindrel, "", "\n> LogFullIn: 12.5 h", "the other"},
      {OutputMode::Pindrel, ",CH=2", "12.5", "counted as a channel: the second selected"},
  };
  for (const Case& c : cases) {
    ResultDocument document(c.mode, c.parameterString);
    document.SetChannelLimits({80, 95});  // the per-cent limits are not these
    document.WriteChannel("LogPages", "64000", "Pages");
    document.Clear();
    document.WriteHoursChannel("LogFullIn", "12.5", {48, 12});
    EXPECT_EQ(document.Text(), c.text) << c.why;
  }
}

TEST(ResultDocument, OutsideTextIsEscapedInXmlOnly) {
  ResultDocument xml(OutputMode::ExeXml, "");
  xml.OpenText();
  xml.AppendText("(A&B) <x>");
  xml.CloseText();
  xml.WriteChannel("R&D <1>", "5 > 4", "m&m");
  EXPECT_EQ(xml.Text(),
            "\n<Text>(A&amp;B) &lt;x&gt;</Text>\n"
            "\n<Result><Channel>R&amp;D &lt;1&gt;</Channel>\n<Unit>Custom</Unit>\n"
            "<CustomUnit>m&amp;m</CustomUnit>\n<Value>5 &gt; 4</Value></Result>\n");
  xml.MakeErrorDocument("Error 1002: Profile A&B.P00 is missing...");
  EXPECT_EQ(xml.Text(),
            "<Prtg>\n<Error>1</Error>\n<Text>Error 1002: Profile A&amp;B.P00 is "
            "missing...</Text>\n</Prtg>\n");

  // Control characters XML does not allow become "?"; tab, LF and CR stay.
  xml.MakeErrorDocument(
      "a\x01"
      "b\x1b\tc\rd\x7f");
  EXPECT_EQ(xml.Text(), "<Prtg>\n<Error>1</Error>\n<Text>a?b?\tc\rd\x7f</Text>\n</Prtg>\n");

  ResultDocument lines(OutputMode::Pindrel, "");
  lines.WriteChannel("R&D", "<1>", "");
  EXPECT_EQ(lines.Text(), "\n> R&D: <1> #");
}

TEST(EscapeXml, WritesUtf8WhateverBytesComeIn) {
  struct Case {
    std::string text;
    std::string xml;
    const char* why;
  } cases[] = {
      {"Pr\xC3\xBC"
       "fung & \xE2\x82\xAC",
       "Pr\xC3\xBC"
       "fung &amp; \xE2\x82\xAC",
       "UTF-8 as it stands"},
      {"Pr\xFC"
       "fung & \x80",
       "Pr\xC3\xBC"
       "fung &amp; \xE2\x82\xAC",
       "other text in the ANSI code page, here Windows-1252"},
      {"\xC3\xBC \xFC", "\xC3\x83\xC2\xBC \xC3\xBC", "one byte that is no UTF-8: the whole text"},
      {"a\x81"
       "b",
       "a?b", "a byte without a character in the code page"},
      {"x\x01\xFC", "x?\xC3\xBC", "control characters after the conversion too"},
      {"a\xEF\xBF\xBF"
       "b\xEF\xBF\xBE",
       "a?b?", "U+FFFF and U+FFFE, which XML does not allow"},
      {"\xEF\xBF\xBD\xC2\x85", "\xEF\xBF\xBD\xC2\x85", "U+FFFD and C1 controls are allowed"},
  };
  for (const Case& c : cases) EXPECT_EQ(EscapeXml(c.text), c.xml) << c.why;
}

TEST(ResultDocument, LineDialectsWriteBytesAsTheyCome) {
  ResultDocument lines(OutputMode::Quorrane, "");
  lines.OpenText();
  lines.AppendText(
      "Pr\xFC"
      "fung");
  lines.WriteChannel("C\xFC", "1\xFC", "");
  EXPECT_EQ(lines.Text(),
            "\n# Pr\xFC"
            "fung\n\nMessage.C\xFC: C\xFC (#)\nStatistic.C\xFC: 1\xFC");
  // The error document is XML in every dialect.
  lines.MakeErrorDocument(
      "Error 1002: Profile Pr\xFC"
      "fung.P00 is missing...");
  EXPECT_EQ(lines.Text(),
            "<Prtg>\n<Error>1</Error>\n<Text>Error 1002: Profile Pr\xC3\xBC"
            "fung.P00 is missing...</Text>\n</Prtg>\n");
}

TEST(ResultDocument, ErrorCompletesAnOpenDocument) {
  ResultDocument document(OutputMode::ExeXml, "");
  document.AppendErrorToOpenDocument("Error 1018: DataBase mismatch !");
  EXPECT_EQ(document.Text(),
            "\n<Error>1</Error>\n<Text>Error 1018: DataBase mismatch !</Text>\n</Prtg>\n");
}

TEST(ChannelKey, ReplacesSeparatorsAndTheFirstDot) {
  struct Case {
    const char* name;
    const char* key;
  } cases[] = {
      {"LogPages", "LogPages"},                // nothing to replace
      {"Disk (C:)/Log-1", "Disk__C___Log_1"},  // every separator, never removed
      {"a.b.c", "a_b.c"},                      // only the first dot
      {"Log [A] x*y", "Log__A__x_y"},          //
      {"C:\\Logs", "C__Logs"},                 //
  };
  for (const Case& c : cases) EXPECT_EQ(ChannelKey(c.name), c.key);
}

TEST(UnitDisplay, ShowsUnitsOfTheLineDialects) {
  EXPECT_EQ(UnitDisplay(""), "#");
  EXPECT_EQ(UnitDisplay("PerCent"), "%");
  EXPECT_EQ(UnitDisplay("TimeResponse"), "mSec");
  EXPECT_EQ(UnitDisplay("Pages"), "Pages");
  EXPECT_EQ(UnitDisplay("percent"), "percent");  // exact match only
}

}  // namespace
}  // namespace vendralith
