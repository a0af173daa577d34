#include "rfc/trace_scan.h"

#include <gtest/gtest.h>

namespace vendralith {
namespace {

TEST(TraceNote, FindsTheLastErrorMessage) {
  struct Case {
    std::optional<std::string> text;
    const char* note;
    const char* why;
  } cases[] = {
      {std::nullopt, " - Look for Trace-File", "no trace file"},
      {"", " - Please Check Trace-File !", "empty trace file"},
      {"**** ERROR file opened at 20261210 041503 UTC\n"
       "T:4711 ======> Name or password is incorrect\n",
       " - Name or password is incorrect", "the library's arrow line"},
      {"**** ERROR file opened at 20261210 041503 UTC\n"
       "T:4711 ======> Connect to SAP gateway failed\n"
       "LOCATION    CPIC (TCP/IP) on local host\n"
       "ERROR       partner 'sapprd:sapgw00' not reached\n"
       "\n"
       "TIME        Thu Dec 10 04:15:03 2026\n",
       " - partner 'sapprd:sapgw00' not reached", "a later ERROR line wins"},
      {"T:4711 ======> first\n**** ERROR file opened at x\n", " - Please Check Trace-File !",
       "a new error block clears the message"},
      {"ERROR       text\n", " - text", "from the 13th character, without the line end"},
      {"ERROR \n", " - Please Check Trace-File !", "ERROR alone gives an empty message"},
      {"T:47 ======> x\n", " - Please Check Trace-File !", "arrow at the wrong place"},
      {"T:4711 ======> \n", " - Please Check Trace-File !", "arrow line without text"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(TraceNote(c.text), c.note) << c.why;
  }
  // A line over 99 characters is read in pieces; the first piece holds the message.
  EXPECT_EQ(TraceNote("ERROR       " + std::string(120, 'm') + "\n"), " - " + std::string(87, 'm'));
  // The piece ends before a UTF-8 character that it would split.
  EXPECT_EQ(TraceNote("ERROR       " + std::string(86, 'm') + "\xC3\xBC\n"),
            " - " + std::string(86, 'm'));
}

// Read as a stream, in parts of any size, a trace gives the note of the whole text.
TEST(TraceScanner, GivesTheSameNoteInPartsOfAnySize) {
  const std::string longLine = "ERROR       " + std::string(300, 'm') + "\n";
  const std::string cutCharacter = std::string(97, 'a') + "\xC3\xBC" + "ERROR       late\n";
  const std::string texts[] = {
      "**** ERROR file opened at x\nT:4711 ======> first\nERROR       second\n\n",
      longLine,                                 // the message in the first of three pieces
      longLine + "**** ERROR next block\n",     // cleared by a later block
      cutCharacter,                             // a piece that ends before a UTF-8 character
      std::string(250, 'x') + "ERROR       z",  // a long last line without a line end
      std::string("ERROR       ab\0cd\n", 19),  // a NUL ends the piece
  };
  for (const std::string& text : texts) {
    const std::string whole = TraceNote(text);
    for (std::size_t part = 1; part <= text.size(); ++part) {
      TraceScanner scanner;
      for (std::size_t at = 0; at < text.size(); at += part) scanner.Add(text.substr(at, part));
      ASSERT_EQ(scanner.Finish(), whole) << "parts of " << part << " of " << text;
    }
  }
}

}  // namespace
}  // namespace vendralith
