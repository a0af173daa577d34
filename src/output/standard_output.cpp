#include "output/standard_output.h"

#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <optional>
#include <utility>

namespace vendralith {

namespace {

struct OutputState {
  std::mutex lock;
  std::condition_variable endingSet;
  std::optional<DeadlineEnding> ending;
  EndingHolds holds = EndingHolds::UntilReplaced;
  OutputRedirection redirection;
};

// Never destroyed: the watchdog may still wait on it while the process exits.
OutputState& State() {
  static OutputState& state = *new OutputState;
  return state;
}

void Write(const OutputState& state, std::string_view text) {
  if (state.redirection.write) {
    state.redirection.write(text);
    return;
  }
  // A failed write to standard output has nowhere to be reported: the host
  // sees an incomplete answer either way.
  (void)std::fwrite(text.data(), 1, text.size(), stdout);
  (void)std::fflush(stdout);
}

void Replace(OutputState& state, DeadlineEnding ending, EndingHolds holds) {
  if (state.redirection.ending) state.redirection.ending(ending);
  state.ending = std::move(ending);
  state.holds = holds;
  state.endingSet.notify_all();
}

}  // namespace

void WriteOut(std::string_view text) {
  OutputState& state = State();
  const std::lock_guard<std::mutex> hold(state.lock);
  Write(state, text);
  if (state.holds == EndingHolds::UntilNextWrite) {
    state.ending.reset();
    state.holds = EndingHolds::UntilReplaced;
  }
}

void SetDeadlineEnding(DeadlineEnding ending, EndingHolds holds) {
  OutputState& state = State();
  const std::lock_guard<std::mutex> hold(state.lock);
  Replace(state, std::move(ending), holds);
}

void WriteOutThen(std::string_view text, DeadlineEnding ending) {
  OutputState& state = State();
  const std::lock_guard<std::mutex> hold(state.lock);
  Write(state, text);
  Replace(state, std::move(ending), EndingHolds::UntilReplaced);
}

void WriteLastOut(std::string_view text, ExitCode code) { WriteOutThen(text, {"", code}); }

void RedirectOutput(OutputRedirection redirection) {
  OutputState& state = State();
  const std::lock_guard<std::mutex> hold(state.lock);
  state.redirection = std::move(redirection);
}

void EndAtDeadline() {
  OutputState& state = State();
  std::unique_lock<std::mutex> hold(state.lock);
  state.endingSet.wait(hold, [&state] { return state.ending.has_value(); });
  Write(state, state.ending->text);
  EndProcessAtOnce(state.ending->code);
}

}  // namespace vendralith
