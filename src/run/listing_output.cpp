#include "run/listing_output.h"

#include <algorithm>
#include <string_view>
#include <utility>

#include "system/clock.h"
#include "system/text_helpers.h"

namespace vendralith {

namespace {

// The sensor parameters as the start line shows them.
std::string ShownSensorParameters(const std::string& parameterText) {
  const std::string shown = ColonsToBlanks(parameterText);
  return shown.substr(0, shown.find(" @"));
}

// The number of systems the run will take off the list.
unsigned ListedSystems(std::string_view serverList) {
  if (serverList.empty()) return 0;
  const auto ends = std::count(serverList.begin(), serverList.end(), '#');
  return static_cast<unsigned>(ends) + (serverList.back() == '#' ? 0 : 1);
}

// The summary text and the closing of the document, as printed.
std::string SummaryPart(ResultDocument& document, const std::string& itemName, unsigned systems,
                        unsigned processed, unsigned failed) {
  // Nothing a failed query left behind may stand before the summary.
  document.Clear();
  document.OpenText();
  document.AppendText("(***) " + itemName + ": NoSystems=" + std::to_string(systems) +
                      ", Processed=" + std::to_string(processed) +
                      ", Failed=" + std::to_string(failed));
  document.CloseText();
  document.CloseDocument();
  return document.Text() + "\n";
}

// The console's note on a document with more channels than the monitoring
// host shows for one sensor.
std::string TooManyChannelsLine(unsigned channels) {
  return "\n* " + std::to_string(channels) + " channels: PRTG shows at most " +
         std::to_string(kMostHostChannels) +
         " channels per sensor, split the listing into two sensors\n";
}

// The channel's part of the document.
std::string ChannelPart(ResultDocument& document, const Channel& channel) {
  document.Clear();
  if (channel.hourLimits) {
    document.WriteHoursChannel(channel.name, channel.value, *channel.hourLimits);
  } else {
    document.WriteChannel(channel.name, channel.value, channel.unit);
  }
  std::string text = document.Text();
  document.Clear();
  return text;
}

}  // namespace

ListingOutput::ListingOutput(ResultDocument& document, const RunSettings& settings,
                             const Listing& listing)
    : document_(document),
      consoleMode_(settings.consoleMode),
      deadline_(settings.timeoutSeconds > 0),
      itemName_(listing.itemName),
      listed_(ListedSystems(listing.serverList)) {
  if (consoleMode_) {
    consoleStart_ = settings.consoleLine + "\n* " + settings.clockTime + " " +
                    ShownSensorParameters(settings.parameterText) + " State=Executing\n";
  }
}

void ListingOutput::Open() {
  if (!consoleStart_.empty()) WriteOut(consoleStart_);
  document_.OpenDocument();
  Print(document_.Text() + "\n");
  document_.Clear();
}

void ListingOutput::AddSkipped() {
  ++count_.systems;
  ++count_.skipped;
  Print("");
}

std::size_t ListingOutput::AddScanned(std::string consoleLine, bool profileValid) {
  ++count_.systems;
  Pending system;
  system.number = added_;
  system.consoleLine = std::move(consoleLine);
  system.profileValid = profileValid;
  pending_.push_back(std::move(system));
  // The deadline would now find it unfinished.
  if (consoleMode_) Print("");
  return added_++;
}

void ListingOutput::PrintLine(const std::string& text) { Print(text); }

std::optional<RunEnding> ListingOutput::Report(std::size_t system, ScanReport report) {
  if (pending_.empty() || system < pending_.front().number ||
      system - pending_.front().number >= pending_.size()) {
    return std::nullopt;  // complete already, or never added
  }
  Pending& reporting = pending_[system - pending_.front().number];
  if (&reporting != &pending_.front()) {
    reporting.kept.push_back(std::move(report));
    // The deadline would print it.
    Print("");
    return std::nullopt;
  }
  if (std::optional<RunEnding> ending = Apply(report)) return ending;
  // Each system it completed lets the next print what it reported meanwhile.
  while (!pending_.empty() && !pending_.front().kept.empty()) {
    const std::size_t number = pending_.front().number;
    std::vector<ScanReport> kept = std::move(pending_.front().kept);
    pending_.front().kept.clear();
    for (ScanReport& next : kept) {
      if (std::optional<RunEnding> ending = Apply(next)) return ending;
      // Complete: whatever it reported after that changes nothing.
      if (pending_.empty() || pending_.front().number != number) break;
    }
  }
  return std::nullopt;
}

std::optional<RunEnding> ListingOutput::Apply(ScanReport& report) {
  Pending& system = pending_.front();
  switch (report.kind) {
    case ScanReport::Kind::Output:
      Print(report.text);
      break;
    case ScanReport::Kind::Ending:
      system.reportEnding = std::move(report.ending);
      Print("");
      break;
    case ScanReport::Kind::Found:
      if (!report.found.runEnding.empty()) {
        return RunEnding{system.number, report.found.runEnding, report.found.connection,
                         ExitCode::ErrorDocument};
      }
      system.found = std::move(report.found);
      if (system.found.channel) {
        ++channels_;
        Print(ChannelPart(document_, *system.found.channel));
      }
      break;
    case ScanReport::Kind::Done: {
      const std::string line = StateLine(system, Counted(system, system.found, count_));
      Complete();
      Print(line);
      break;
    }
    case ScanReport::Kind::Ended: {
      // The end of an RFC error report that the scan process printed.
      if (system.reportEnding) return RunEnding{system.number, "", 0, system.reportEnding->code};
      // Ended without a result: none is coming.
      ++count_.failed;
      const std::string line = StateLine(system, "Rfc Failure");
      Complete();
      Print(line);
      break;
    }
  }
  return std::nullopt;
}

void ListingOutput::Complete() {
  const std::size_t number = pending_.front().number;
  pending_.pop_front();
  if (complete_) complete_(number);
}

const char* ListingOutput::Counted(const Pending& system, const SystemFound& found,
                                   Counters& count) {
  const bool scanned = system.profileValid && found.scanned;
  if (scanned && found.found) {
    ++count.processed;
  } else {
    ++count.failed;
  }
  return !scanned ? "Rfc Failure" : found.found ? "Processed" : "Not Found";
}

std::string ListingOutput::StateLine(const Pending& system, const char* state) const {
  return consoleMode_ ? "\n" + system.consoleLine + " State=" + state + "\n" : std::string();
}

void ListingOutput::PrintSummary() {
  WriteLastOut(SummaryPart(document_, itemName_, count_.systems, count_.processed, count_.failed),
               ExitCode::Success);
  if (consoleMode_) {
    // The limit is PRTG's, which reads the XML dialects.
    if (document_.IsXml() && channels_ > kMostHostChannels) {
      WriteOut(TooManyChannelsLine(channels_));
    }
    WriteOut("\n* " + ClockTime() + " SAP " + std::string(kProgramWord) + " now processed...\n");
  }
}

DeadlineEnding ListingOutput::AtDeadline() const {
  Counters count = count_;
  ResultDocument document = document_;
  std::string text;
  for (const Pending& system : pending_) {
    if (&system == &pending_.front()) {
      // Its part so far is printed: the rest of its report, or its end.
      if (system.reportEnding) return *system.reportEnding;
      text += StateLine(system, "Timeout");
      continue;
    }
    // A later system: what it reported meanwhile, on copies, since a system
    // that would end the run is left out.
    ResultDocument ownDocument = document;
    Counters ownCount = count;
    std::string part;
    SystemFound found;
    bool done = false;
    bool endsRun = false;   // what it found, or its RFC error report, would end the run
    bool vanished = false;  // its scan ended without a result
    for (const ScanReport& report : system.kept) {
      switch (report.kind) {
        case ScanReport::Kind::Output:
          part += report.text;
          break;
        case ScanReport::Kind::Ending:
          endsRun = true;
          break;
        case ScanReport::Kind::Found:
          endsRun = endsRun || !report.found.runEnding.empty();
          found = report.found;
          if (found.channel) part += ChannelPart(ownDocument, *found.channel);
          break;
        case ScanReport::Kind::Done:
          part += StateLine(system, Counted(system, found, ownCount));
          done = true;
          break;
        case ScanReport::Kind::Ended:
          vanished = !done;
          break;
      }
      if (endsRun || done) break;
    }
    // The run would have ended there, had every system before it finished:
    // like a system not started, it counts as failed and shows nothing.
    if (endsRun) continue;
    if (!done) part += StateLine(system, vanished ? "Rfc Failure" : "Timeout");
    text += part;
    document = std::move(ownDocument);
    count = ownCount;
  }
  // The systems still listed, unfinished, left out or not started, count as failed.
  text += SummaryPart(document, itemName_, listed_, count.processed,
                      listed_ - count.processed - count.skipped);
  return {std::move(text), ExitCode::Success};
}

void ListingOutput::Print(const std::string& text) {
  if (deadline_) {
    if (text.empty()) {
      SetDeadlineEnding(AtDeadline());
    } else {
      WriteOutThen(text, AtDeadline());
    }
  } else if (!text.empty()) {
    WriteOut(text);
  }
}

}  // namespace vendralith
