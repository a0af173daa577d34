#include "output/result_document.h"

#include "output/decimal_text.h"
#include "system/code_page.h"
#include "system/utf8_text.h"

namespace vendralith {

namespace {

// U+FFFE or U+FFFF, in UTF-8, at text[at].
bool IsNonCharacter(std::string_view text, std::size_t at) {
  return text.substr(at, 3) == "\xEF\xBF\xBE" || text.substr(at, 3) == "\xEF\xBF\xBF";
}

// The limit elements of a per-cent channel: none when no limit is given.
std::string LimitElements(const ChannelLimits& limits) {
  if (limits.maxWarning == 0 && limits.maxError == 0) return "";
  std::string elements = "\n<LimitMode>1</LimitMode>";
  if (limits.maxWarning != 0) {
    elements += "\n<LimitMaxWarning>" + std::to_string(limits.maxWarning) + "</LimitMaxWarning>";
  }
  if (limits.maxError != 0) {
    elements += "\n<LimitMaxError>" + std::to_string(limits.maxError) + "</LimitMaxError>";
  }
  return elements;
}

}  // namespace

ResultDocument::ResultDocument(OutputMode mode, std::string parameterString)
    : mode_(mode), parameterString_(std::move(parameterString)) {}

bool ResultDocument::IsXml() const {
  return mode_ == OutputMode::ExeXml || mode_ == OutputMode::Tamvelo ||
         mode_ == OutputMode::Marsoke;
}

std::string ResultDocument::Outside(std::string_view text) const {
  return IsXml() ? EscapeXml(text) : std::string(text);
}

void ResultDocument::OpenDocument() { text_ = IsXml() ? "\n<Prtg>\n" : ""; }

void ResultDocument::OpenText() { text_ += IsXml() ? "\n<Text>" : "\n# "; }

void ResultDocument::AppendText(std::string_view text) { text_ += Outside(text); }

void ResultDocument::CloseText() {
  if (IsXml()) {
    text_ += "</Text>\n";
  } else if (mode_ == OutputMode::Pindrel && parameterString_.find("CH=") != std::string::npos) {
    // One selected value is the whole answer: the text part goes.
    text_.clear();
  }
}

void ResultDocument::CloseDocument() { text_ += IsXml() ? "\n</Prtg>\n" : "\n"; }

void ResultDocument::WriteChannel(std::string_view name, std::string_view value,
                                  std::string_view unit) {
  ++channelCounter_;
  switch (mode_) {
    case OutputMode::Quorrane: {
      if (channelCounter_ > 10) return;  // the dialect carries at most ten channels
      const std::string key = ChannelKey(name);
      text_ += "\n\nMessage." + key + ": " + std::string(name) + " (" + UnitDisplay(unit) + ")";
      text_ += "\nStatistic." + key + ": " + std::string(value);
      return;
    }
    case OutputMode::Pindrel:
      if (parameterString_.find("CH=") != std::string::npos) {
        if (SelectedChannel(parameterString_) == channelCounter_) text_ += value;
      } else {
        text_ += "\n> " + std::string(name) + ": " + std::string(value) + " " + UnitDisplay(unit);
      }
      return;
    case OutputMode::ExeXml:
    case OutputMode::Tamvelo:
    case OutputMode::Marsoke:
      text_ += "\n<Result><Channel>" + EscapeXml(name) + "</Channel>";
      if (!unit.empty()) {
        text_ += "\n<Unit>Custom</Unit>\n<CustomUnit>" + EscapeXml(unit) + "</CustomUnit>";
      }
      if (unit == "PerCent") text_ += LimitElements(limits_);
      text_ += "\n<Value>" + EscapeXml(value) + "</Value></Result>\n";
      return;
  }
}

void ResultDocument::WriteHoursChannel(std::string_view name, std::string_view value,
                                       HourLimits limits) {
  if (!IsXml()) {
    WriteChannel(name, value, "h");
    return;
  }
  ++channelCounter_;
  text_ += "\n<Result><Channel>" + EscapeXml(name) + "</Channel>";
  text_ += "\n<Unit>TimeHours</Unit>\n<Float>1</Float>\n<LimitMode>1</LimitMode>";
  text_ += "\n<LimitMinWarning>" + std::to_string(limits.minWarning) + "</LimitMinWarning>";
  text_ += "\n<LimitMinError>" + std::to_string(limits.minError) + "</LimitMinError>";
  text_ += "\n<Value>" + EscapeXml(value) + "</Value></Result>\n";
}

void ResultDocument::MakeErrorDocument(std::string_view message) {
  text_ = "<Prtg>\n<Error>1</Error>\n<Text>" + EscapeXml(message) + "</Text>\n</Prtg>\n";
}

void ResultDocument::AppendErrorToOpenDocument(std::string_view message) {
  text_ += "\n<Error>1</Error>\n<Text>" + EscapeXml(message) + "</Text>\n</Prtg>\n";
}

std::string EscapeXml(std::string_view text) {
  // The document declares no encoding, so the host reads it as UTF-8.
  std::string converted;
  std::string_view utf8 = text;
  if (!IsUtf8(text)) {
    converted = AnsiToUtf8(text);
    utf8 = converted;
  }
  std::string escaped;
  escaped.reserve(utf8.size());
  for (std::size_t at = 0; at < utf8.size(); ++at) {
    const char c = utf8[at];
    switch (c) {
      case '&':
        escaped += "&amp;";
        break;
      case '<':
        escaped += "&lt;";
        break;
      case '>':
        escaped += "&gt;";
        break;
      default:
        // XML allows no other control characters and neither U+FFFE nor
        // U+FFFF: one from a damaged file would make the whole document
        // unreadable for the monitoring host.
        if (IsNonCharacter(utf8, at)) {
          escaped += '?';
          at += 2;
        } else {
          escaped +=
              static_cast<unsigned char>(c) < 0x20 && c != '\t' && c != '\n' && c != '\r' ? '?' : c;
        }
    }
  }
  return escaped;
}

std::string ChannelKey(std::string_view name) {
  std::string key(name);
  for (char& c : key) {
    if (std::string_view(" /\\[]*():-").find(c) != std::string_view::npos) c = '_';
  }
  if (const auto dot = key.find('.'); dot != std::string::npos) key[dot] = '_';
  return key;
}

std::string UnitDisplay(std::string_view unit) {
  if (unit.empty()) return "#";
  if (unit == "PerCent") return "%";
  if (unit == "TimeResponse") return "mSec";
  return std::string(unit);
}

int SelectedChannel(std::string_view parameterString) {
  const auto at = parameterString.find("CH=");
  if (at == std::string_view::npos) return 0;
  std::string_view digits = parameterString.substr(at + 3, 3);
  digits = digits.substr(0, digits.find(','));
  return static_cast<int>(ParseDecimal(digits));
}

}  // namespace vendralith
