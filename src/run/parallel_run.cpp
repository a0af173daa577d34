#include "run/parallel_run.h"

#include <charconv>
#include <condition_variable>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>

#include "output/standard_output.h"
#include "rfc/call_log.h"
#include "rfc/connection.h"
#include "rfc/scan_locks.h"
#include "rfc/trace_scan.h"
#include "run/error_ending.h"
#include "run/run_deadline.h"
#include "run/scan_messages.h"
#include "system/child_process.h"
#include "system/folders.h"
#include "system/platform.h"
#include "system/process_end.h"
#include "system/secret_text.h"
#include "system/text_file.h"

namespace vendralith {

namespace {

constexpr std::string_view kParallelKeyword = ",PARALLEL=";
constexpr int kMaxParallelScans = 16;
// In the run's folder: a folder per run that scans in parallel, named by
// its process number, and in it a working folder per system.
constexpr const char* kScansFolder = "Vendralith.Scans";

using Clock = std::chrono::steady_clock;
// How long the run waits for the scans it stops to end.
constexpr std::chrono::seconds kStopWait{5};

// What a reader thread hands the run: a piece of a scan process's output,
// or its end.
struct Arrival {
  std::size_t system = 0;
  std::string bytes;
  bool ended = false;
  int exitCode = 0;
};

class Arrivals {
 public:
  void Push(Arrival arrival) {
    {
      const std::lock_guard<std::mutex> hold(lock_);
      queue_.push_back(std::move(arrival));
    }
    arrived_.notify_one();
  }

  // The next arrival; nothing when the deadline passes first.
  std::optional<Arrival> Wait(const std::optional<Clock::time_point>& deadline) {
    std::unique_lock<std::mutex> hold(lock_);
    const auto any = [this] { return !queue_.empty(); };
    if (deadline) {
      if (!arrived_.wait_until(hold, *deadline, any)) return std::nullopt;
    } else {
      arrived_.wait(hold, any);
    }
    Arrival arrival = std::move(queue_.front());
    queue_.pop_front();
    return arrival;
  }

 private:
  std::mutex lock_;
  std::condition_variable arrived_;
  std::deque<Arrival> queue_;
};

// One scan process and what the run knows of it.
struct Scan {
  std::string folder;  // its working folder
  std::unique_ptr<ChildProcess> process;
  std::thread reader;
  ReportReader reports;
  bool ended = false;    // its process has ended
  bool printed = false;  // its system's part is printed: its trace is the run's
};

class ParallelScans {
 public:
  ParallelScans(RunContext& run, ListingOutput& output, ListedSystems& systems)
      : run_(run), output_(output), systems_(systems) {
    if (run.settings.timeoutSeconds > 0) {
      deadline_ = run.started + std::chrono::seconds(run.settings.timeoutSeconds);
    }
    output_.WhenComplete([this](std::size_t system) { Printed(system); });
  }
  ~ParallelScans() { output_.WhenComplete(nullptr); }
  ParallelScans(const ParallelScans&) = delete;
  ParallelScans& operator=(const ParallelScans&) = delete;

  // This run's folder below kScansFolder, after removing those of runs that
  // ended without removing theirs. False when it cannot be made.
  bool OpenArea();
  // Removes this run's folder.
  void CloseArea();

  // Starts the system's scan process. False when it cannot be started.
  bool Start(ListedSystem& system);

  // Takes the rest of the systems and prints them all as their scans report,
  // then the summary; ends the process.
  [[noreturn]] void Run();

 private:
  std::string FolderOf(std::size_t system) const { return area_ + "\\" + std::to_string(system); }
  bool PrepareFolder(const ListedSystem& system, const std::string& folder);
  bool ReplaceDestinationFile(std::size_t system, const std::string& content);
  void RestoreDestinationFile(std::size_t lastSystem);
  void Take(const Arrival& arrival);
  void Act(std::optional<RunEnding> ending);
  void Printed(std::size_t system);
  void AppendTrace(const Scan& scan);
  void ForgetWhenDone(std::size_t system);
  void StopScans();
  void WaitForScansToEnd();
  [[noreturn]] void EndRun(const RunEnding& ending);
  [[noreturn]] void AnswerAtDeadline();

  RunContext& run_;
  ListingOutput& output_;
  ListedSystems& systems_;
  std::optional<Clock::time_point> deadline_;
  std::string scansRoot_;  // kScansFolder in the run's folder
  std::string area_;       // this run's folder in it
  std::string callLogPath_;
  Arrivals arrivals_;
  std::map<std::size_t, Scan> scans_;  // by system: the scans not yet done with
  std::size_t running_ = 0;
  bool listDone_ = false;
  // SapRfc.ini of the run's folder as it was, and each system's destination
  // file written over it, in listing order.
  bool destinationRead_ = false;
  std::optional<std::string> originalDestination_;
  std::vector<std::pair<std::size_t, std::string>> destinationsWritten_;
};

bool ParallelScans::OpenArea() {
  const std::string runFolder = CurrentFolder();
  if (runFolder.empty()) return false;
  callLogPath_ = runFolder + "\\" + kCallLogFile;
  scansRoot_ = runFolder + "\\" + kScansFolder;
  const std::string own = std::to_string(CurrentProcessId());
  area_ = scansRoot_ + "\\" + own;
  // Another run may remove the empty common folder just after this one made it.
  constexpr int kTries = 3;
  for (int attempt = 0; attempt < kTries; ++attempt) {
    (void)CreateFolder(scansRoot_);
    // A run that was killed left its folder: it goes once its process has
    // ended. One under this run's own number is such a leftover too.
    for (const std::string& name : FolderEntries(scansRoot_)) {
      unsigned long process = 0;
      const auto [end, error] = std::from_chars(name.data(), name.data() + name.size(), process);
      if (name.empty() || end != name.data() + name.size() || error != std::errc()) {
        continue;  // not a run's
      }
      if (name == own || !ProcessRuns(process)) RemoveFolderTree(scansRoot_ + "\\" + name);
    }
    if (CreateFolder(area_)) return true;
  }
  return false;
}

void ParallelScans::CloseArea() {
  RemoveFolderTree(area_);
  RemoveEmptyFolder(scansRoot_);
}

bool ParallelScans::ReplaceDestinationFile(std::size_t system, const std::string& content) {
  bool written = false;
  {
    // Another scan of the folder may be between its own copy and its logon.
    // The read too: on Windows a file open for reading cannot be replaced,
    // so another scan's copy would fail meanwhile.
    const DestinationFileLock lock(FolderScanLocks());
    if (!destinationRead_) {
      originalDestination_ = ReadFileBytes(kLibraryDestinationFile);
      destinationRead_ = true;
    }
    written = WriteFileReplacing(kLibraryDestinationFile, content);
  }
  if (written) destinationsWritten_.emplace_back(system, content);
  return written;
}

void ParallelScans::RestoreDestinationFile(std::size_t lastSystem) {
  if (destinationsWritten_.empty() || destinationsWritten_.back().first <= lastSystem) return;
  std::optional<std::string> content = originalDestination_;
  for (const auto& [system, written] : destinationsWritten_) {
    if (system <= lastSystem) content = written;
  }
  // An old SapRfc.ini that could not be read stays as the later logon left it.
  if (!content) return;
  const DestinationFileLock lock(FolderScanLocks());
  (void)WriteFileReplacing(kLibraryDestinationFile, *content);
}

bool ParallelScans::PrepareFolder(const ListedSystem& system, const std::string& folder) {
  if (!CreateFolder(folder)) return false;
  const SystemEntry& entry = system.profile.entry;
  const std::optional<std::string> destination = ReadDestinationFile(entry);
  if (!destination) return true;
  // SapRfc.ini of the run's folder changes as it would with the logon in
  // this process; the scan's library reads its own copy.
  const bool written = ReplaceDestinationFile(system.number, *destination);
  if (!WriteFileReplacing(folder + "\\SapRfc." + entry.destination, *destination)) return false;
  // Where the run's SapRfc.ini cannot be written, neither can the scan's:
  // the logon fails as it would here.
  return written || CreateFolder(folder + "\\" + kLibraryDestinationFile);
}

bool ParallelScans::Start(ListedSystem& system) {
  (void)systems_.ReachLibrary();
  const std::string folder = FolderOf(system.number);
  ScanAssignment assignment;
  assignment.callLogPath = callLogPath_;
  assignment.outputMode = run_.settings.outputMode;
  assignment.request = system.request;
  assignment.entry = system.profile.entry;
  std::unique_ptr<ChildProcess> process;
  if (PrepareFolder(system, folder)) {
    std::string task = EncodeAssignment(assignment);
    // The host's credentials went in the task, if they are the logon's:
    // none of the host's variables goes to the scan process.
    process = ChildProcess::Start(folder, task, HostCredentialVariables());
    ClearSecret(task);
  }
  ClearSecret(assignment.entry.password);
  if (!process) {
    RemoveFolderTree(folder);
    return false;
  }
  // The password went with the task: this run keeps none.
  ClearSecret(system.profile.entry.password);
  Scan& scan = scans_[system.number];
  scan.folder = folder;
  scan.process = std::move(process);
  try {
    scan.reader = std::thread([this, number = system.number, child = scan.process.get()] {
      char buffer[4096];
      while (const std::size_t got = child->Read(buffer, sizeof buffer)) {
        arrivals_.Push({number, std::string(buffer, got), false, 0});
      }
      arrivals_.Push({number, "", true, child->WaitForEnd()});
    });
  } catch (const std::system_error&) {
    scans_.erase(system.number);  // the process goes with it
    RemoveFolderTree(folder);
    return false;
  }
  ++running_;
  return true;
}

void ParallelScans::Run() {
  const std::size_t limit = static_cast<std::size_t>(run_.settings.parallelScans);
  for (;;) {
    while (running_ < limit && !listDone_) {
      std::optional<ListedSystem> next = systems_.Next();
      if (!next) {
        listDone_ = true;
      } else if (!Start(*next)) {
        // No scan process for it: it counts as failed.
        ClearSecret(next->profile.entry.password);
        ScanReport ended;
        ended.kind = ScanReport::Kind::Ended;
        ended.exitCode = -1;
        Act(output_.Report(next->number, std::move(ended)));
      }
    }
    if (listDone_ && (output_.AllComplete() || running_ == 0)) break;
    std::optional<Arrival> arrival = arrivals_.Wait(deadline_);
    if (!arrival) AnswerAtDeadline();
    Take(*arrival);
  }
  output_.PrintSummary();
  // The answer is out: the scans still closing their connections end, by
  // the deadline at the latest.
  WaitForScansToEnd();
  CloseArea();
  EndProcess(ExitCode::Success);
}

void ParallelScans::Take(const Arrival& arrival) {
  const auto found = scans_.find(arrival.system);
  if (found == scans_.end()) return;
  Scan& scan = found->second;
  if (!arrival.ended) {
    scan.reports.Add(arrival.bytes);
    while (std::optional<ScanReport> report = scan.reports.Next()) {
      Act(output_.Report(arrival.system, std::move(*report)));
    }
    return;
  }
  scan.reader.join();
  scan.ended = true;
  --running_;
  ScanReport ended;
  ended.kind = ScanReport::Kind::Ended;
  ended.exitCode = arrival.exitCode;
  Act(output_.Report(arrival.system, std::move(ended)));
  ForgetWhenDone(arrival.system);
}

void ParallelScans::Act(std::optional<RunEnding> ending) {
  if (ending) EndRun(*ending);
}

void ParallelScans::Printed(std::size_t system) {
  const auto found = scans_.find(system);
  if (found == scans_.end()) return;
  AppendTrace(found->second);
  found->second.printed = true;
  ForgetWhenDone(system);
}

void ParallelScans::AppendTrace(const Scan& scan) {
  // The blocks of the scan's own failures, whole, in listing order.
  if (const auto trace = ReadFileBytes(scan.folder + "\\" + kTraceFile); trace && !trace->empty()) {
    (void)AppendBytesAtOnce(LocalPath(kTraceFile), *trace);
  }
}

void ParallelScans::ForgetWhenDone(std::size_t system) {
  const auto found = scans_.find(system);
  if (found == scans_.end() || !found->second.ended || !found->second.printed) return;
  RemoveFolderTree(found->second.folder);
  scans_.erase(found);
}

void ParallelScans::StopScans() {
  for (auto& [system, scan] : scans_) {
    if (!scan.ended) scan.process->Kill();
  }
  // Each end arrives once the scan's pipe closes. Should another process
  // hold that pipe open, its reader would wait for ever: the run waits a
  // while, then goes on without it, and the end of the process takes it.
  const auto until = Clock::now() + kStopWait;
  while (running_ > 0) {
    const std::optional<Arrival> arrival = arrivals_.Wait(until);
    if (!arrival) break;
    const auto found = scans_.find(arrival->system);
    if (!arrival->ended || found == scans_.end()) continue;
    found->second.reader.join();
    found->second.ended = true;
    --running_;
  }
  for (auto& [system, scan] : scans_) {
    if (scan.reader.joinable()) scan.reader.detach();
    scan.ended = true;
  }
  running_ = 0;
}

void ParallelScans::WaitForScansToEnd() {
  while (running_ > 0) {
    std::optional<Arrival> arrival = arrivals_.Wait(deadline_);
    if (!arrival) break;
    Take(*arrival);
  }
  StopScans();
}

void ParallelScans::EndRun(const RunEnding& ending) {
  if (!ending.message.empty()) {
    PrintOpenDocumentError(run_.document, ending.message, ending.connection);
  }
  // What later systems found is not the run's.
  StopScans();
  if (const auto found = scans_.find(ending.system); found != scans_.end()) {
    AppendTrace(found->second);
  }
  RestoreDestinationFile(ending.system);
  CloseArea();
  EndProcess(ending.code);
}

void ParallelScans::AnswerAtDeadline() {
  LogDeadlinePassed(run_.settings.timeoutSeconds);
  const DeadlineEnding ending = output_.AtDeadline();
  WriteLastOut(ending.text, ending.code);
  StopScans();
  for (auto& [system, scan] : scans_) {
    if (!scan.printed) AppendTrace(scan);
  }
  CloseArea();
  EndProcess(ending.code);
}

}  // namespace

NumberKeyword ReadParallel(std::string_view parameterString) {
  return ReadNumberKeyword(parameterString, kParallelKeyword, kMaxParallelScans);
}

ListedSystem ScanInParallel(RunContext& run, ListingOutput& output, ListedSystems& systems,
                            ListedSystem first) {
  ParallelScans scans(run, output, systems);
  if (scans.OpenArea()) {
    if (scans.Start(first)) scans.Run();
    scans.CloseArea();
  }
  return first;
}

}  // namespace vendralith
