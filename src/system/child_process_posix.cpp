// Linux: the child is this program's own file (/proc/self/exe), started with
// posix_spawn; it asks for SIGKILL when its parent ends (PR_SET_PDEATHSIG).
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "system/child_process.h"
#include "system/platform.h"

extern char** environ;

namespace vendralith {

namespace {

// The environment variable that marks a child: the parent's process number.
constexpr const char* kMarker = "VENDRALITH_SCAN_PARENT";
constexpr const char* kOwnProgram = "/proc/self/exe";

bool WriteAll(int file, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t written = write(file, bytes.data(), bytes.size());
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
  return true;
}

void CloseQuietly(int file) {
  if (file >= 0) (void)close(file);  // a pipe end: nothing written is lost
}

// Whether the entry "NAME=value" sets the variable name.
bool Sets(const char* entry, const std::string& name) {
  return std::strncmp(entry, name.c_str(), name.size()) == 0 && entry[name.size()] == '=';
}

// This environment without the variables left out, with the marker naming
// this process, for a child. A variable left out is never copied.
std::vector<std::string> ChildEnvironment(const std::vector<std::string>& leftOut) {
  std::vector<std::string> entries;
  for (char** entry = environ; entry != nullptr && *entry != nullptr; ++entry) {
    bool keep = !Sets(*entry, kMarker);
    for (const std::string& name : leftOut) keep = keep && !Sets(*entry, name);
    if (keep) entries.emplace_back(*entry);
  }
  entries.push_back(std::string(kMarker) + "=" + std::to_string(getpid()));
  return entries;
}

std::string OwnProgramName() {
  std::string path(4096, '\0');
  const ssize_t length = readlink(kOwnProgram, path.data(), path.size());
  if (length <= 0 || static_cast<std::size_t>(length) >= path.size()) return kOwnProgram;
  path.resize(static_cast<std::size_t>(length));
  return path;
}

class SpawnSettings {
 public:
  SpawnSettings() {
    ready_ =
        posix_spawn_file_actions_init(&actions_) == 0 && posix_spawnattr_init(&attributes_) == 0;
  }
  ~SpawnSettings() {
    (void)posix_spawn_file_actions_destroy(&actions_);
    (void)posix_spawnattr_destroy(&attributes_);
  }
  SpawnSettings(const SpawnSettings&) = delete;
  SpawnSettings& operator=(const SpawnSettings&) = delete;

  // Standard input and output from the pipes, the folder, and SIGPIPE as
  // the default: the parent ignores it.
  bool Prepare(int input, int output, const std::string& folder) {
    sigset_t defaults;
    return ready_ && posix_spawn_file_actions_adddup2(&actions_, input, STDIN_FILENO) == 0 &&
           posix_spawn_file_actions_adddup2(&actions_, output, STDOUT_FILENO) == 0 &&
           posix_spawn_file_actions_addchdir_np(&actions_, folder.c_str()) == 0 &&
           sigemptyset(&defaults) == 0 && sigaddset(&defaults, SIGPIPE) == 0 &&
           posix_spawnattr_setsigdefault(&attributes_, &defaults) == 0 &&
           posix_spawnattr_setflags(&attributes_, POSIX_SPAWN_SETSIGDEF) == 0;
  }

  const posix_spawn_file_actions_t* Actions() const { return &actions_; }
  const posix_spawnattr_t* Attributes() const { return &attributes_; }

 private:
  bool ready_ = false;
  posix_spawn_file_actions_t actions_{};
  posix_spawnattr_t attributes_{};
};

}  // namespace

struct ChildProcess::Handles {
  pid_t process = -1;
  int output = -1;  // the parent's end of the child's standard output
};

ChildProcess::ChildProcess(std::unique_ptr<Handles> handles) : handles_(std::move(handles)) {}

std::unique_ptr<ChildProcess> ChildProcess::Start(const std::string& folder, std::string_view input,
                                                  const std::vector<std::string>& leftOut) {
  // A child that ends before reading its task must not end the parent.
  (void)signal(SIGPIPE, SIG_IGN);
  int toChild[2] = {-1, -1};
  int fromChild[2] = {-1, -1};
  if (pipe2(toChild, O_CLOEXEC) != 0) return nullptr;
  if (pipe2(fromChild, O_CLOEXEC) != 0) {
    CloseQuietly(toChild[0]);
    CloseQuietly(toChild[1]);
    return nullptr;
  }
  auto handles = std::make_unique<Handles>();
  handles->output = fromChild[0];
  SpawnSettings settings;
  std::vector<std::string> environment = ChildEnvironment(leftOut);
  std::vector<char*> environmentPointers;
  environmentPointers.reserve(environment.size() + 1);
  for (std::string& entry : environment) environmentPointers.push_back(entry.data());
  environmentPointers.push_back(nullptr);
  // Named as the file it is, so that the system's process list shows it so.
  std::string program = OwnProgramName();
  char* arguments[] = {program.data(), nullptr};
  const bool started =
      settings.Prepare(toChild[0], fromChild[1], LocalPath(folder)) &&
      posix_spawn(&handles->process, kOwnProgram, settings.Actions(), settings.Attributes(),
                  arguments, environmentPointers.data()) == 0;
  CloseQuietly(toChild[0]);
  CloseQuietly(fromChild[1]);
  if (!started) {
    CloseQuietly(toChild[1]);
    CloseQuietly(fromChild[0]);
    return nullptr;
  }
  // A child that cannot take its task finds its input ended; the parent sees its end.
  (void)WriteAll(toChild[1], input);
  CloseQuietly(toChild[1]);
  return std::unique_ptr<ChildProcess>(new ChildProcess(std::move(handles)));
}

ChildProcess::~ChildProcess() {
  (void)kill(handles_->process, SIGKILL);  // an ended child is not yet released: no other process
  while (waitpid(handles_->process, nullptr, 0) < 0 && errno == EINTR) {
  }
  CloseQuietly(handles_->output);
}

std::size_t ChildProcess::Read(char* into, std::size_t size) {
  for (;;) {
    const ssize_t got = read(handles_->output, into, size);
    if (got >= 0) return static_cast<std::size_t>(got);
    if (errno != EINTR) return 0;
  }
}

int ChildProcess::WaitForEnd() {
  siginfo_t ended{};
  // WNOWAIT: ended, but not released, so its number is not given to another process.
  while (waitid(P_PID, static_cast<id_t>(handles_->process), &ended, WEXITED | WNOWAIT) != 0) {
    if (errno != EINTR) return -1;
  }
  return ended.si_code == CLD_EXITED ? ended.si_status : -1;
}

void ChildProcess::Kill() { (void)kill(handles_->process, SIGKILL); }

bool StartedAsChild() { return std::getenv(kMarker) != nullptr; }

bool FollowParent() {
  if (prctl(PR_SET_PDEATHSIG, SIGKILL) != 0) return false;
  // Had the parent ended before, this process would have another parent now.
  const char* parent = std::getenv(kMarker);
  return parent != nullptr && std::to_string(getppid()) == parent;
}

std::string ReadParentInput() {
  std::string input;
  char buffer[4096];
  for (;;) {
    const ssize_t got = read(STDIN_FILENO, buffer, sizeof buffer);
    if (got > 0) {
      input.append(buffer, static_cast<std::size_t>(got));
    } else if (got == 0 || errno != EINTR) {
      return input;
    }
  }
}

bool WriteToParent(std::string_view bytes) { return WriteAll(STDOUT_FILENO, bytes); }

bool ProcessRuns(unsigned long id) {
  // 0 and what does not fit would name a group of processes.
  if (id == 0 || id > static_cast<unsigned long>(std::numeric_limits<pid_t>::max())) return false;
  return kill(static_cast<pid_t>(id), 0) == 0 || errno == EPERM;
}

}  // namespace vendralith
