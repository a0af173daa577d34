// Processes of this program started for a task of their own: a multi-system
// run starts itself again to scan one system. The child gets a working
// folder, a pipe on its standard input that carries its task and is closed
// after it, and a pipe on its standard output for what it reports; its
// standard error is the parent's. No child outlives its parent: on Windows
// every child is in a job object that kills its processes when the last
// handle to it closes, which the system does when the parent ends, however
// it ends; on Linux each child asks the system to kill it when its parent
// ends (FollowParent). CMake picks child_process_posix.cpp or
// child_process_win32.cpp.
#ifndef VENDRALITH_SYSTEM_CHILD_PROCESS_H
#define VENDRALITH_SYSTEM_CHILD_PROCESS_H

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace vendralith {

class ChildProcess {
 public:
  // Starts this program again in folder (an absolute path), marked as a
  // child in its environment, and writes input to its standard input. Its
  // environment is this process's without the variables named in leftOut
  // (on Windows without regard to case, as Windows names them). Null when it
  // cannot be started. Call it from the thread that lives as long as the
  // process (on Linux a child is killed when the thread that started it
  // ends).
  static std::unique_ptr<ChildProcess> Start(const std::string& folder, std::string_view input,
                                             const std::vector<std::string>& leftOut);

  // Kills the child unless it has ended, and releases it.
  ~ChildProcess();
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  // Blocks until the child writes to its standard output: the bytes read, at
  // most size; 0 at the end of its output.
  std::size_t Read(char* into, std::size_t size);

  // Blocks until the child has ended: its exit code, or -1 when it did not
  // exit by itself (killed, crashed). The ended child stays known until the
  // object goes, so that Kill never reaches another process.
  int WaitForEnd();

  // Ends the child at once, unless it has ended. From any thread.
  void Kill();

  struct Handles;  // the platform's own

 private:
  explicit ChildProcess(std::unique_ptr<Handles> handles);
  std::unique_ptr<Handles> handles_;
};

// Whether this process was started by ChildProcess::Start.
bool StartedAsChild();

// In a child: arranges to be killed when the parent ends. False when the
// parent has ended already.
bool FollowParent();

// In a child: its task, read from standard input to the end.
std::string ReadParentInput();

// In a child: writes the bytes to standard output as they stand (no "\r\n"
// for "\n" on Windows), at once. False when they cannot be written.
bool WriteToParent(std::string_view bytes);

// Whether a process with this number runs.
bool ProcessRuns(unsigned long id);

}  // namespace vendralith

#endif
