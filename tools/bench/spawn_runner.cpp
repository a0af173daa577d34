// Starts one program many times, each the same way (posix_spawn, standard
// input and output on /dev/null, wait4), and prints one line per run:
// "wall_us peak_rss_kib cpu_us exit_code" (exit_code -1 when the run was
// killed). The bench script takes the medians.
//
//   bench-runner RUNS FOLDER PROGRAM [ARGUMENT...]
//
// Written with the C library only and linked statically: on exec the kernel
// folds the parent's memory high-water mark into the child's, so the runner
// must stay smaller than anything it measures.
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <ctime>

extern char** environ;

namespace {

long NowMicros() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return now.tv_sec * 1000000L + now.tv_nsec / 1000;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 4) {
    std::fputs("usage: bench-runner RUNS FOLDER PROGRAM [ARGUMENT...]\n", stderr);
    return 64;
  }
  const int runs = std::atoi(argv[1]);
  if (runs < 1) {
    std::fputs("bench-runner: RUNS must be a positive number\n", stderr);
    return 64;
  }
  if (chdir(argv[2]) != 0) {
    std::perror(argv[2]);
    return 66;
  }
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);

  for (int run = 0; run < runs; ++run) {
    const long start = NowMicros();
    pid_t child = 0;
    const int failed = posix_spawn(&child, argv[3], &actions, nullptr, argv + 3, environ);
    if (failed != 0) {
      errno = failed;
      std::perror(argv[3]);
      return 69;
    }
    int status = 0;
    rusage usage{};
    while (wait4(child, &status, 0, &usage) < 0) {
      if (errno != EINTR) {
        std::perror("wait4");
        return 70;
      }
    }
    const long wall = NowMicros() - start;
    const long cpu = usage.ru_utime.tv_sec * 1000000L + usage.ru_utime.tv_usec +
                     usage.ru_stime.tv_sec * 1000000L + usage.ru_stime.tv_usec;
    std::printf("%ld %ld %ld %d\n", wall, usage.ru_maxrss, cpu,
                WIFEXITED(status) ? WEXITSTATUS(status) : -1);
  }
  posix_spawn_file_actions_destroy(&actions);
  return 0;
}
