// Windows: the child is this program's own file, started in the job object
// of the parent's children, which kills them when its last handle closes
// (JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE): the parent holds it to its end, and
// the system closes it then, however the parent ends. The parent puts itself
// into that job before its first child, so that every child is in it from
// its creation on: a child assigned to it after CreateProcess would outlive
// a parent that ends in between, and stay for ever (started suspended, it
// would never run). A child also checks at its start that its parent still
// runs (FollowParent): Wine ends only the job's processes that have begun to
// run, not one that is still starting.
#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "system/child_process.h"
#include "system/secret_text.h"

namespace vendralith {

namespace {

// The environment variable that marks a child: the parent's process number.
constexpr const char* kMarker = "VENDRALITH_SCAN_PARENT";
// The exit code of a child this process ended: no code of the program's own.
constexpr UINT kKilledCode = 0xFFFFFFFFu;

void CloseQuietly(HANDLE& handle) {
  if (handle != nullptr && handle != INVALID_HANDLE_VALUE) (void)CloseHandle(handle);
  handle = nullptr;
}

// The job of this process and every child it starts; null when the system
// gives none (a system that cannot nest jobs, when this process is in a job
// already).
HANDLE ChildrenJob() {
  static const HANDLE job = [] {
    HANDLE created = CreateJobObjectA(nullptr, nullptr);
    if (created == nullptr) return created;
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    if (SetInformationJobObject(created, JobObjectExtendedLimitInformation, &limits,
                                sizeof limits) == 0 ||
        AssignProcessToJobObject(created, GetCurrentProcess()) == 0) {
      CloseQuietly(created);
    }
    return created;
  }();
  return job;
}

std::string OwnProgram() {
  std::vector<char> path(MAX_PATH);
  for (;;) {
    const DWORD length = GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return "";
    if (length < path.size()) return std::string(path.data(), length);
    path.resize(path.size() * 2);
  }
}

// Whether the entry "NAME=value" sets the variable name, in any case.
bool Sets(const char* entry, const std::string& name) {
  return _strnicmp(entry, name.c_str(), name.size()) == 0 && entry[name.size()] == '=';
}

// This environment without the variables left out, with the marker naming
// this process, as CreateProcess takes it: "NAME=value" entries, each ending
// in NUL, then one more NUL. The system's copy of the environment is
// overwritten before it is freed: it holds what was left out.
std::string ChildEnvironment(const std::vector<std::string>& leftOut) {
  std::string block;
  if (char* entries = GetEnvironmentStringsA()) {
    const char* entry = entries;
    for (; *entry != '\0'; entry += std::char_traits<char>::length(entry) + 1) {
      bool keep = !Sets(entry, kMarker);
      for (const std::string& name : leftOut) keep = keep && !Sets(entry, name);
      if (keep) block.append(entry).push_back('\0');
    }
    ClearSecret(entries, static_cast<std::size_t>(entry - entries));
    (void)FreeEnvironmentStringsA(entries);
  }
  block.append(std::string(kMarker) + "=" + std::to_string(GetCurrentProcessId())).push_back('\0');
  block.push_back('\0');
  return block;
}

bool WriteAll(HANDLE file, std::string_view bytes) {
  while (!bytes.empty()) {
    DWORD written = 0;
    if (WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) == 0 ||
        written == 0) {
      return false;
    }
    bytes.remove_prefix(written);
  }
  return true;
}

}  // namespace

struct ChildProcess::Handles {
  HANDLE process = nullptr;
  HANDLE output = nullptr;  // the parent's end of the child's standard output
};

ChildProcess::ChildProcess(std::unique_ptr<Handles> handles) : handles_(std::move(handles)) {}

std::unique_ptr<ChildProcess> ChildProcess::Start(const std::string& folder, std::string_view input,
                                                  const std::vector<std::string>& leftOut) {
  const HANDLE job = ChildrenJob();
  const std::string program = OwnProgram();
  if (job == nullptr || program.empty()) return nullptr;
  SECURITY_ATTRIBUTES inherited{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  HANDLE childInput = nullptr, parentInput = nullptr, parentOutput = nullptr, childOutput = nullptr,
         childError = nullptr;
  // The input fits the pipe: writing it never waits for the child.
  const bool piped = CreatePipe(&childInput, &parentInput, &inherited,
                                static_cast<DWORD>(input.size()) + 4096) != 0 &&
                     CreatePipe(&parentOutput, &childOutput, &inherited, 0) != 0 &&
                     SetHandleInformation(parentInput, HANDLE_FLAG_INHERIT, 0) != 0 &&
                     SetHandleInformation(parentOutput, HANDLE_FLAG_INHERIT, 0) != 0;
  // Standard error is the parent's, as a handle the child inherits.
  const HANDLE error = GetStdHandle(STD_ERROR_HANDLE);
  if (error != nullptr && error != INVALID_HANDLE_VALUE) {
    (void)DuplicateHandle(GetCurrentProcess(), error, GetCurrentProcess(), &childError, 0, TRUE,
                          DUPLICATE_SAME_ACCESS);
  }
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = childInput;
  startup.hStdOutput = childOutput;
  startup.hStdError = childError;
  std::string commandLine = "\"" + program + "\"";
  std::string environment = ChildEnvironment(leftOut);
  PROCESS_INFORMATION started{};
  // In the job from its creation on, as this process is. Detached from any
  // console: its standard handles are the pipes, and a console of its own
  // would come with a console host process that inherits them and keeps the
  // child's output open after the child has ended.
  const bool running = piped && CreateProcessA(program.c_str(), commandLine.data(), nullptr,
                                               nullptr, TRUE, DETACHED_PROCESS, environment.data(),
                                               folder.c_str(), &startup, &started) != 0;
  CloseQuietly(started.hThread);
  CloseQuietly(childInput);
  CloseQuietly(childOutput);
  CloseQuietly(childError);
  if (!running) {
    CloseQuietly(parentInput);
    CloseQuietly(parentOutput);
    return nullptr;
  }
  (void)WriteAll(parentInput, input);
  CloseQuietly(parentInput);
  auto handles = std::make_unique<Handles>();
  handles->process = started.hProcess;
  handles->output = parentOutput;
  return std::unique_ptr<ChildProcess>(new ChildProcess(std::move(handles)));
}

ChildProcess::~ChildProcess() {
  (void)TerminateProcess(handles_->process, kKilledCode);  // no effect on an ended child
  (void)WaitForSingleObject(handles_->process, INFINITE);
  CloseQuietly(handles_->process);
  CloseQuietly(handles_->output);
}

std::size_t ChildProcess::Read(char* into, std::size_t size) {
  DWORD got = 0;
  // At the child's end the pipe is broken: 0, as at any failure.
  if (ReadFile(handles_->output, into, static_cast<DWORD>(size), &got, nullptr) == 0) return 0;
  return got;
}

int ChildProcess::WaitForEnd() {
  DWORD code = kKilledCode;
  if (WaitForSingleObject(handles_->process, INFINITE) != WAIT_OBJECT_0 ||
      GetExitCodeProcess(handles_->process, &code) == 0) {
    return -1;
  }
  // A crash ends a process with an exception code, far above the program's own.
  return code <= 255 ? static_cast<int>(code) : -1;
}

void ChildProcess::Kill() { (void)TerminateProcess(handles_->process, kKilledCode); }

bool StartedAsChild() { return GetEnvironmentVariableA(kMarker, nullptr, 0) != 0; }

bool FollowParent() {
  // The job ends this process with its parent from now on, but not a parent
  // that has ended already.
  char parent[16] = {};
  const DWORD length = GetEnvironmentVariableA(kMarker, parent, sizeof parent);
  if (length == 0 || length >= sizeof parent) return false;
  return ProcessRuns(std::strtoul(parent, nullptr, 10));
}

std::string ReadParentInput() {
  std::string input;
  char buffer[4096];
  DWORD got = 0;
  const HANDLE standardInput = GetStdHandle(STD_INPUT_HANDLE);
  while (ReadFile(standardInput, buffer, sizeof buffer, &got, nullptr) != 0 && got > 0) {
    input.append(buffer, got);
  }
  return input;
}

bool WriteToParent(std::string_view bytes) {
  return WriteAll(GetStdHandle(STD_OUTPUT_HANDLE), bytes);
}

bool ProcessRuns(unsigned long id) {
  HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, static_cast<DWORD>(id));
  if (process == nullptr) return GetLastError() == ERROR_ACCESS_DENIED;
  const bool runs = WaitForSingleObject(process, 0) == WAIT_TIMEOUT;
  CloseQuietly(process);
  return runs;
}

}  // namespace vendralith
