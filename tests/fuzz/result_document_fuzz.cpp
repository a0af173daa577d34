// The channel writer in every dialect: statistics table lines of any bytes
// turned into the log-state text and channels, and written into the result
// document with any parameters and channel limits, error messages included.
// Every document of an XML dialect, and the error document of every dialect,
// must be UTF-8 that an XML parser accepts, whatever bytes came in.
#include <array>
#include <cstdio>
#include <string>
#include <vector>

#include "fuzz_input.h"
#include "output/result_document.h"
#include "queries/log_statistics_query.h"
#include "system/text_helpers.h"
#include "xml_check.h"

using vendralith::fuzz::FuzzInput;
using vendralith::fuzz::Require;
using vendralith::fuzz::XmlProblem;

namespace {

constexpr std::size_t kTableLine = 66;

constexpr std::array<vendralith::OutputMode, 5> kModes = {
    vendralith::OutputMode::ExeXml, vendralith::OutputMode::Tamvelo,
    vendralith::OutputMode::Marsoke, vendralith::OutputMode::Quorrane,
    vendralith::OutputMode::Pindrel};

void RequireWellFormed(const std::string& document) {
  const std::string problem = XmlProblem(document);
  if (!problem.empty()) std::fprintf(stderr, "%s in:\n%s\n", problem.c_str(), document.c_str());
  Require(problem.empty(), "the document is well-formed UTF-8");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzInput input(data, size);
  const std::uint8_t choice = input.Byte();
  const vendralith::OutputMode mode = kModes[choice % kModes.size()];
  const bool percent = (choice & 0x08) != 0;
  const bool listing = (choice & 0x10) != 0;
  const bool error = (choice & 0x20) != 0;
  // The per-cent channels' limits: either, both or none.
  const vendralith::ChannelLimits limits{(choice & 0x40) != 0 ? 1 + choice % 99 : 0,
                                         (choice & 0x80) != 0 ? 100 : 0};
  const std::string parameters = vendralith::UpperCase(input.Text());
  const std::string destination(input.Text());
  const std::string itemName(input.Text());
  const std::string lines(input.Rest());

  // Table lines as the library hands them out: 66 bytes each, NULs possible,
  // no terminator; each on the heap on its own, so that a read past it shows.
  std::vector<vendralith::StatisticsRow> rows;
  for (std::size_t at = 0; at < lines.size(); at += kTableLine) {
    std::vector<char> line(kTableLine, ' ');
    lines.copy(line.data(), kTableLine, at);
    rows.push_back(vendralith::RowFromLine(line.data()));
  }

  vendralith::ResultDocument document(mode, parameters);
  document.SetChannelLimits(limits);
  document.OpenDocument();
  document.OpenText();
  const std::string stateText = vendralith::LogStateText(destination, rows);
  document.AppendText(stateText);
  document.CloseText();
  if (listing) {
    if (const auto channel = vendralith::ListingChannel(rows, percent, itemName, destination)) {
      document.WriteChannel(channel->name, channel->value, channel->unit);
    }
  } else {
    for (const auto& channel : vendralith::SingleSystemChannels(rows, percent)) {
      document.WriteChannel(channel.name, channel.value, channel.unit);
    }
  }
  if (error) {
    document.AppendErrorToOpenDocument(destination);
  } else {
    document.CloseDocument();
  }

  if (document.IsXml()) RequireWellFormed(document.Text());
  // In XML no outside text can look like an element: any is the writer's own.
  Require(!document.IsXml() || document.Text().find("<LimitMode>") == std::string::npos ||
              limits.maxWarning != 0 || limits.maxError != 0,
          "limits are written only when given");

  const int selected = vendralith::SelectedChannel(parameters);
  Require(selected >= -99 && selected <= 999, "a channel number has at most three digits");
  vendralith::ChannelKey(itemName);
  vendralith::UnitDisplay(itemName);

  document.MakeErrorDocument(destination);
  Require(document.Text().rfind("<Prtg>\n<Error>1</Error>\n<Text>", 0) == 0,
          "the error document is the same in every dialect");
  RequireWellFormed(document.Text());
  return 0;
}
