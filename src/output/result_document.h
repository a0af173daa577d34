// The result document that the monitoring host reads on standard output.
#ifndef VENDRALITH_OUTPUT_RESULT_DOCUMENT_H
#define VENDRALITH_OUTPUT_RESULT_DOCUMENT_H

#include <string>
#include <string_view>

namespace vendralith {

// The document dialect. Tamvelo and Marsoke write the same XML as ExeXml;
// Quorrane and Pindrel are line forms.
enum class OutputMode { ExeXml, Tamvelo, Marsoke, Quorrane, Pindrel };

// The levels at which the monitoring host is to warn and alert on a per-cent
// channel: the host takes them from the channel when it creates it. 0: not given.
struct ChannelLimits {
  int maxWarning = 0;
  int maxError = 0;
};

// The levels of hours left below which the monitoring host is to warn and
// alert: the error level is the lower.
struct HourLimits {
  int minWarning = 24;
  int minError = 4;
  bool operator==(const HourLimits&) const = default;
};

// The document's text, written in phases by the run drivers and printed by
// them between the phases. In the XML dialects every text that comes from
// outside (names, values, units, messages) is escaped; fixed pieces are not.
class ResultDocument {
 public:
  // parameterString is the upper-cased parameter text that "CH=" is searched in.
  ResultDocument(OutputMode mode, std::string parameterString);

  void OpenDocument();
  void OpenText();
  // Appends caller text inside the text element.
  void AppendText(std::string_view text);
  void CloseText();
  void CloseDocument();
  void WriteChannel(std::string_view name, std::string_view value, std::string_view unit);
  // A channel of hours with one decimal: in the XML dialects with the unit
  // of hours and its limits, in the line dialects with the unit "h".
  void WriteHoursChannel(std::string_view name, std::string_view value, HourLimits limits);
  // Replaces the whole document with the error document (same bytes in every dialect).
  void MakeErrorDocument(std::string_view message);
  // Appends the error flag and message to an XML document whose opening was
  // already printed, so that the host still receives one well-formed answer.
  void AppendErrorToOpenDocument(std::string_view message);

  void Clear() { text_.clear(); }
  const std::string& Text() const { return text_; }
  bool IsXml() const;

  // The parameters can change once, when a multi-system run adopts the
  // sensor's own parameters from the listing.
  void SetParameterString(std::string parameterString) {
    parameterString_ = std::move(parameterString);
  }
  // The limits that every per-cent channel of the XML dialects carries from
  // here on; none given, none written.
  void SetChannelLimits(ChannelLimits limits) { limits_ = limits; }

 private:
  std::string Outside(std::string_view text) const;

  OutputMode mode_;
  std::string parameterString_;
  ChannelLimits limits_;
  std::string text_;
  int channelCounter_ = 0;  // counts every WriteChannel call of the process
};

// Text for the XML document, in UTF-8: text that is UTF-8 as it stands, any
// other text read in the ANSI code page (AnsiToUtf8). Then "&", "<" and ">"
// replaced by their XML entities, and the characters that XML does not allow
// (control characters below a blank but tab, line feed and carriage return,
// U+FFFE and U+FFFF) replaced by "?".
std::string EscapeXml(std::string_view text);

// The Quorrane channel key: separators and the first dot replaced by "_".
std::string ChannelKey(std::string_view name);

// How the line dialects show a unit: "" as "#", "PerCent" as "%".
std::string UnitDisplay(std::string_view unit);

// The channel number that "CH=" selects in the parameters; 0 selects none.
int SelectedChannel(std::string_view parameterString);

}  // namespace vendralith

#endif
