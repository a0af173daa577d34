#include "run/startup.h"

#include <gtest/gtest.h>

#include "run/parallel_run.h"
#include "run/run_deadline.h"
#include "run/single_system_run.h"

namespace vendralith {
namespace {

TEST(ReadCommandLine, NoProfileName) {
  const StartupResult result = ReadCommandLine({"vendralith"}, "14:05:09");
  EXPECT_EQ(result.error, "Error 1001: Parameter for Profile-Name is missing !");
  EXPECT_EQ(result.settings.consoleLine, "* 14:05:09 SAP Vendralith Vers 4.3 / 29.08.22");
}

TEST(ReadCommandLine, Arguments) {
  struct Case {
    std::vector<std::string> arguments;
    std::string profileName, parameterString, parameterText, itemName;
    bool listingMode, consoleMode;
    const char* why;
  } cases[] = {
      {{"v", "PRD"}, "PRD", "", "", "", false, false, "only a profile name"},
      {{"v", "PRD", "a", "b", "c"}, "PRD", "A B", "a b", "", false, false, "argument 4 ignored"},
      {{"v", "PRD", "item=Log:Pages,PERCENT"},
       "Kelvaron.Prf",
       "ITEM=LOG:PAGES,PERCENT",
       "item=Log:Pages,PERCENT",
       "Log Pages",
       true,
       false,
       "item mode keeps the case typed"},
      {{"v", "C:\\x\\PRD", "ITEM= x"},
       "Kelvaron.Prf",
       "ITEM= X",
       "ITEM= x",
       "",
       true,
       false,
       "item value ends at a blank"},
      {{"v", "PRD", "ITEM=,X"},
       "Kelvaron.Prf",
       "ITEM=,X",
       "ITEM=,X",
       "",
       true,
       false,
       "item value ends at a comma"},
      {{"v", "PRD", "x%y"}, "PRD", "X%Y", "x%y", "", false, true, "% anywhere: console"},
      {{"v", "PRD", "#"}, "PRD", "#", "#", "", false, true, "# console"},
      {{"v", "PRD", "@"}, "PRD", "@", "@", "", false, true, "@ console"},
      {{"v", "PRD", "a", "$"}, "PRD", "A $", "a $", "", false, true, "$ in argument 3"},
  };
  for (const Case& c : cases) {
    const StartupResult result = ReadCommandLine(c.arguments, "00:00:00");
    EXPECT_EQ(result.error, "") << c.why;
    EXPECT_EQ(result.settings.profileName, c.profileName) << c.why;
    EXPECT_EQ(result.settings.parameterString, c.parameterString) << c.why;
    EXPECT_EQ(result.settings.parameterText, c.parameterText) << c.why;
    EXPECT_EQ(result.settings.itemName, c.itemName) << c.why;
    EXPECT_EQ(result.settings.listingMode, c.listingMode) << c.why;
    EXPECT_EQ(result.settings.consoleMode, c.consoleMode) << c.why;
  }
}

TEST(ReadCommandLine, ParametersLongerThan127CharactersAreRejected) {
  EXPECT_EQ(ReadCommandLine({"v", "PRD", std::string(63, 'a'), std::string(63, 'b')}, "").error,
            "");  // 127 with the blank between
  EXPECT_EQ(ReadCommandLine({"v", "PRD", std::string(64, 'a'), std::string(63, 'b')}, "").error,
            "Error 1008: Parameter-String too long !");
}

TEST(ReadCommandLine, Timeout) {
  struct Case {
    std::vector<std::string> arguments;
    int timeoutSeconds;
    const char* error;
  } cases[] = {
      {{"v", "PRD"}, 0, ""},                                // no deadline
      {{"v", "PRD", "PERCENT", ",timeout=45"}, 45, ""},     // any case, in argument 3
      {{"v", "PRD", ",TIMEOUT=0"}, 0, kTimeoutError},       // refused, never ignored
      {{"v", "x", "ITEM=LogPages,TIMEOUT=9"}, 9, ""},       // item mode
      {{"v", "PRD", std::string(120, 'a') + ",TIMEOUT=0"},  // too long comes first
       0,
       "Error 1008: Parameter-String too long !"},
  };
  for (const Case& c : cases) {
    const StartupResult result = ReadCommandLine(c.arguments, "00:00:00");
    EXPECT_EQ(result.error, c.error) << c.arguments.back();
    EXPECT_EQ(result.settings.timeoutSeconds, c.timeoutSeconds) << c.arguments.back();
  }
}

TEST(ReadCommandLine, Parallel) {
  struct Case {
    std::vector<std::string> arguments;
    int parallelScans;
    const char* error;
    const char* why;
  } cases[] = {
      {{"v", "global", "LOGSENS"}, 1, "", "no keyword: one system after another"},
      {{"v", "global", "LOGSENS ,parallel=8"}, 8, "", "any case"},
      {{"v", "C:\\x\\GLOBAL", "LOGSENS", ",PARALLEL=16"}, 16, "", "a global name with a folder"},
      {{"v", "x", "ITEM=LogPages,PARALLEL=2"}, 2, "", "item mode"},
      {{"v", "global", "LOGSENS ,PARALLEL="}, 1, kParallelError, "missing"},
      {{"v", "global", "LOGSENS ,PARALLEL=17"}, 1, kParallelError, "out of range"},
      {{"v", "x", "ITEM=LogPages,PARALLEL=0"}, 1, kParallelError, "out of range, item mode"},
      {{"v", "PRD", ",PARALLEL=99"}, 1, "", "a single-system run does not check it"},
      {{"v", "global", ",TIMEOUT=0,PARALLEL=0"}, 1, kTimeoutError, "the deadline is checked first"},
  };
  for (const Case& c : cases) {
    const StartupResult result = ReadCommandLine(c.arguments, "00:00:00");
    EXPECT_EQ(result.error, c.error) << c.why;
    EXPECT_EQ(result.settings.parallelScans, c.parallelScans) << c.why;
  }
}

TEST(OutputModeFromProgramName, NamesTheDialect) {
  struct Case {
    const char* programName;
    OutputMode mode;
  } cases[] = {
      {"vendralith", OutputMode::ExeXml},                            // default
      {"/opt/x/vendralith-quorrane", OutputMode::Quorrane},          // path dropped
      {"C:\\Sensors\\VENDRALITH_PINDREL.EXE", OutputMode::Pindrel},  // any case, .exe dropped
      {"vendralith-Tamvelo.exe", OutputMode::Tamvelo},               //
      {"sensor_marsoke", OutputMode::Marsoke},                       // "_" as separator
      {"vendralithquorrane", OutputMode::ExeXml},                    // no separator
      {"quorrane", OutputMode::ExeXml},                              // nothing before it
      {"vendralith-quorrane.bin", OutputMode::ExeXml},               // only .exe is dropped
      {"", OutputMode::ExeXml},                                      //
  };
  for (const Case& c : cases)
    EXPECT_EQ(OutputModeFromProgramName(c.programName), c.mode) << c.programName;
}

TEST(ShownParameters, CutsAndNamesEmptyParameters) {
  struct Case {
    const char* text;
    const char* shown;
  } cases[] = {
      {"", "(No Parameters)"},               // nothing given
      {"PERCENT", "PERCENT"},                //
      {"PERCENT #", "PERCENT "},             // cut at "#"
      {"a@b #c", "a"},                       // then at "@"
      {"(No #5", "(No Parameters)"},         // "(No " alone counts as empty
      {"(Parameters #", "(No Parameters)"},  //
      {"#", "(No Parameters)"},              //
  };
  for (const Case& c : cases) EXPECT_EQ(ShownParameters(c.text), c.shown) << c.text;
}

}  // namespace
}  // namespace vendralith
