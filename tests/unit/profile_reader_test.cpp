#include "profile/profile_reader.h"

#include <gtest/gtest.h>

namespace vendralith {
namespace {

const ProfileKey kKey = BuildProfileKey();

std::string StoredPassword(const std::string& clear) {
  return *ScramblePassword(clear, 4, std::string(20 - clear.size(), 'p'), kKey);
}

// A complete, valid profile; each line can be replaced by a case.
std::string Profile(const std::string& extra = "", const std::string& without = "") {
  const std::string lines[] = {
      "Extcompany.: Example Corp",
      "Destination: PRD",
      "Client.....: 100",
      "User.......: monitor",
      "Password...: " + StoredPassword("Secret1"),
      "Language...: E",
      "Mode.......: R/3",
      "Hostname...: sapprd",
      "Sysnr......: 00",
      "Gwhost.....: sapprd",
      "Gwservice..: sapgw00",
  };
  std::string text = "; comment line\n";
  for (const std::string& line : lines) {
    if (without.empty() || line.rfind(without, 0) != 0) text += line + "\n";
  }
  return text + extra;
}

TEST(ReadProfileText, ReadsAGoodProfile) {
  const ProfileReadResult result = ReadProfileText(Profile(), Reading::Strict, "PRD.P00", kKey);
  EXPECT_EQ(result.error, "");
  EXPECT_TRUE(result.valid);
  EXPECT_EQ(result.entry.extcompany, "Example Corp");
  EXPECT_EQ(result.entry.destination, "PRD");
  EXPECT_EQ(result.entry.user, "MONITOR");  // upper case
  EXPECT_EQ(result.entry.password, "Secret1");
  EXPECT_EQ(result.entry.hostname, "sapprd");
  EXPECT_EQ(result.entry.displayHost, "sapprd");
  EXPECT_EQ(result.entry.gwservice, "sapgw00");
}

TEST(ReadProfileText, LineRules) {
  struct Case {
    std::string extra;
    std::string SystemEntry::*field;
    std::string value;
    const char* why;
  } cases[] = {
      {"Client.....:1000\n", &SystemEntry::client, "000", "column 13 is always skipped"},
      {"client.....: 200\n", &SystemEntry::client, "100", "lower-case label is no setting"},
      {"Client....: 200\n", &SystemEntry::client, "100", "a dot fewer is no setting"},
      {" Client.....: 200\n", &SystemEntry::client, "100", "a blank before is no setting"},
      {"Sysnr......: 00  \n", &SystemEntry::sysnr, "00  ", "trailing blanks stay"},
      {"Gwhost.....: " + std::string(70, 'g') + "\n", &SystemEntry::gwhost, std::string(60, 'g'),
       "values end after 60 characters"},
      {"Gwhost.....: " + std::string(59, 'g') + "\xC3\xBC\n", &SystemEntry::gwhost,
       std::string(59, 'g'), "a value never ends inside a UTF-8 character"},
      {"User.......: first\nUser.......: second\n", &SystemEntry::user, "SECOND", "last wins"},
      {"Language...: D\r\n", &SystemEntry::language, "D", "carriage return dropped"},
      {"Language...: F\r", &SystemEntry::language, "F", "last line's carriage return dropped"},
      {"Language...: D", &SystemEntry::language, "D", "no line end at the end"},
  };
  for (const Case& c : cases) {
    const ProfileReadResult result =
        ReadProfileText(Profile(c.extra), Reading::Strict, "PRD.P00", kKey);
    EXPECT_EQ(result.error, "") << c.why;
    EXPECT_EQ(result.entry.*c.field, c.value) << c.why;
  }
}

TEST(ReadProfileText, StrictReadingErrors) {
  const std::string bad = "Password...: " + std::string(24, 'x') + "\n";
  std::string wrong = StoredPassword("Secret1");
  wrong[0] = static_cast<char>(((wrong[0] ^ kKey[0]) == '9' ? '0' : (wrong[0] ^ kKey[0]) + 1) ^
                               kKey[0]);  // another check digit
  struct Case {
    std::string text;
    const char* error;
  } cases[] = {
      {Profile(bad), "Error 1004: Invalid Password in Profile PRD.P00 found..."},
      {Profile("Password...: short\n"), "Error 1004: Invalid Password in Profile PRD.P00 found..."},
      {Profile("Password...: " + wrong + "\n"),
       "Error 1005: Wrong Password in Profile PRD.P00 found..."},
      // The first bad password line wins, although a later one is good.
      {bad + Profile(), "Error 1004: Invalid Password in Profile PRD.P00 found..."},
      {"", "Error 1006: Username in Profile PRD.P00 is missing..."},
      {Profile("", "User"), "Error 1006: Username in Profile PRD.P00 is missing..."},
      {Profile("Password...:\n"), "Error 1007: Password in Profile PRD.P00 is missing..."},
      {Profile("", "Gwservice"), "Error 1003: Invalid Parameter(s) at PRD.P00 found..."},
      {Profile("Mode.......: R3\n"), "Error 1003: Invalid Parameter(s) at PRD.P00 found..."},
      {Profile("Language...: \n"), "Error 1003: Invalid Parameter(s) at PRD.P00 found..."},
      // Too long for its field: a cut destination would name another system.
      {Profile("Destination: PRDPRDPRDPRD\n"),
       "Error 1003: Invalid Parameter(s) at PRD.P00 found..."},
      {Profile("Client.....: 123456789012\n"),
       "Error 1003: Invalid Parameter(s) at PRD.P00 found..."},
  };
  for (const Case& c : cases) {
    const ProfileReadResult result = ReadProfileText(c.text, Reading::Strict, "PRD.P00", kKey);
    EXPECT_EQ(result.error, c.error) << c.text;
    EXPECT_FALSE(result.valid);
  }
}

TEST(ReadProfileText, LenientReadingMarksDefects) {
  const ProfileReadResult bad = ReadProfileText(
      Profile("Password...: " + std::string(24, 'x') + "\n"), Reading::Lenient, "PRD.P00", kKey);
  EXPECT_FALSE(bad.valid);
  EXPECT_EQ(bad.error, "");
  EXPECT_EQ(bad.entry.password, "Secret1");   // the earlier good one stays
  EXPECT_EQ(bad.entry.gwservice, "sapgw00");  // and the rest of the file is read

  EXPECT_FALSE(ReadProfileText(Profile("", "Mode"), Reading::Lenient, "X", kKey).valid);
  EXPECT_TRUE(ReadProfileText(Profile(), Reading::Lenient, "X", kKey).valid);
}

TEST(ReadProfileText, CredentialLinesFromElsewhereAreNeitherRequiredNorRead) {
  const std::string damaged = "Password...: " + std::string(24, 'x') + "\n";
  struct Case {
    std::string text;
    const char* error;  // strict reading
    const char* why;
  } cases[] = {
      {Profile("", "User"), "", "no User line"},
      {Profile("", "Password"), "", "no Password line"},
      {Profile(damaged), "", "a damaged stored password is no error"},
      {damaged + Profile(), "", "not even before a good one"},
      {Profile("User.......: m\n"), "", "a user too short for the profile's way"},
      {Profile("", "Gwservice"), "Error 1003: Invalid Parameter(s) at PRD.P00 found...",
       "every other setting is required as ever"},
  };
  for (const Case& c : cases) {
    const ProfileReadResult strict =
        ReadProfileText(c.text, Reading::Strict, "PRD.P00", kKey, CredentialLines::NotRequired);
    EXPECT_EQ(strict.error, c.error) << c.why;
    const ProfileReadResult lenient =
        ReadProfileText(c.text, Reading::Lenient, "PRD.P00", kKey, CredentialLines::NotRequired);
    EXPECT_EQ(lenient.valid, *c.error == '\0') << c.why;
    // Neither is the logon's: the profile's are not even read.
    EXPECT_EQ(lenient.entry.user, "") << c.why;
    EXPECT_EQ(lenient.entry.password, "") << c.why;
    EXPECT_EQ(lenient.entry.destination, "PRD") << c.why;
  }
}

TEST(ReadProfileText, LineLengthsOfTheTwoReadings) {
  // A 180-character line: lenient reading reads it whole; strict reading reads
  // 159 characters and then the rest as a line of its own, which here is a setting.
  const std::string line = std::string(159, '.') + "Mode.......: R/2\n";
  EXPECT_EQ(ReadProfileText(Profile(line), Reading::Lenient, "X", kKey).entry.mode, "R/3");
  EXPECT_EQ(ReadProfileText(Profile(line), Reading::Strict, "X", kKey).entry.mode, "R/2");
}

TEST(EntrySummary, ShowsTheEntry) {
  SystemEntry entry;
  entry.displayHost = "sapprd";
  entry.destination = "PRD";
  entry.sysnr = "00";
  entry.client = "100";
  EXPECT_EQ(EntrySummary("14:05:09", "PRD.P00", entry), "* 14:05:09 PRD.P00, sapprd, PRD, 00, 100");
}

}  // namespace
}  // namespace vendralith
