#include "profile/profile_reader.h"

#include <array>

#include "system/secret_text.h"
#include "system/text_helpers.h"
#include "system/utf8_text.h"

namespace vendralith {

namespace {

constexpr std::size_t kLabelLength = 12;
constexpr std::size_t kValueColumn = 13;  // 0-based: column 13 is a separator
constexpr std::size_t kMaxValue = 60;

struct Setting {
  const char* label;
  std::string SystemEntry::*field;
  std::size_t width;      // capacity including the terminator of the stored form
  std::size_t minLength;  // what validation demands
};

// In table order: validation reports the first short field of this order.
const std::array<Setting, 11> kSettings = {{
    {"Extcompany.:", &SystemEntry::extcompany, 64, 2},
    {"Destination:", &SystemEntry::destination, 12, 3},
    {"Client.....:", &SystemEntry::client, 12, 3},
    {"User.......:", &SystemEntry::user, 48, 2},
    {"Password...:", &SystemEntry::password, 32, 2},
    {"Language...:", &SystemEntry::language, 32, 1},
    {"Mode.......:", &SystemEntry::mode, 32, 3},
    {"Hostname...:", &SystemEntry::hostname, 48, 2},
    {"Sysnr......:", &SystemEntry::sysnr, 32, 2},
    {"Gwhost.....:", &SystemEntry::gwhost, 62, 2},
    {"Gwservice..:", &SystemEntry::gwservice, 32, 2},
}};

std::string Message(const char* beginning, const std::string& name, const char* end) {
  return std::string(beginning) + name + end;
}

}  // namespace

ProfileReadResult ReadProfileText(std::string_view text, Reading reading,
                                  const std::string& profileName, const ProfileKey& key,
                                  CredentialLines credentialLines) {
  ProfileReadResult result;
  SystemEntry& entry = result.entry;
  const bool credentialsRequired = credentialLines == CredentialLines::Required;
  const auto isCredential = [](const Setting& setting) {
    return setting.field == &SystemEntry::user || setting.field == &SystemEntry::password;
  };
  const std::size_t lineChars = reading == Reading::Strict ? 159 : 199;
  for (std::string line : ReadPieces(text, lineChars)) {
    DropTrailing(line, '\n');
    DropTrailing(line, '\r');
    if (line.size() < kLabelLength) continue;
    const std::string_view label = std::string_view(line).substr(0, kLabelLength);
    const std::string value =
        line.size() > kValueColumn
            ? std::string(Utf8Prefix(std::string_view(line).substr(kValueColumn), kMaxValue))
            : std::string();
    for (const Setting& setting : kSettings) {
      if (label != setting.label) continue;
      if (!credentialsRequired && isCredential(setting)) break;
      if (setting.field == &SystemEntry::user) {
        entry.user = UpperCase(value);
      } else if (setting.field == &SystemEntry::password) {
        if (value.empty()) {
          ClearSecret(entry.password);
          break;
        }
        DecodedPassword decoded = DecodePassword(value, key);
        if (decoded.result == PasswordResult::Ok) {
          ClearSecret(entry.password);
          entry.password.swap(decoded.clear);
          result.storedPassword = value;
        } else if (reading == Reading::Lenient) {
          result.valid = false;
        } else {
          result.valid = false;
          result.error =
              decoded.result == PasswordResult::Invalid
                  ? Message("Error 1004: Invalid Password in Profile ", profileName, " found...")
                  : Message("Error 1005: Wrong Password in Profile ", profileName, " found...");
          return result;
        }
      } else {
        entry.*setting.field = value;
        if (setting.field == &SystemEntry::hostname) entry.displayHost = value;
      }
      break;
    }
  }

  std::string defect;
  if (credentialsRequired && entry.user.empty()) {
    defect = Message("Error 1006: Username in Profile ", profileName, " is missing...");
  } else if (credentialsRequired && entry.password.empty()) {
    defect = Message("Error 1007: Password in Profile ", profileName, " is missing...");
  } else {
    for (const Setting& setting : kSettings) {
      if (!credentialsRequired && isCredential(setting)) continue;
      const std::size_t length = (entry.*setting.field).size();
      // A value too long for its field is a defect too: cut, a destination
      // or client would name another system.
      if (length < setting.minLength || length >= setting.width) {
        defect = Message("Error 1003: Invalid Parameter(s) at ", profileName, " found...");
        break;
      }
    }
  }
  if (!defect.empty()) {
    result.valid = false;
    if (reading == Reading::Strict) result.error = defect;
  }
  return result;
}

std::string EntrySummary(const std::string& time, const std::string& profileName,
                         const SystemEntry& entry) {
  return "* " + time + " " + profileName + ", " + entry.displayHost + ", " + entry.destination +
         ", " + entry.sysnr + ", " + entry.client;
}

}  // namespace vendralith
