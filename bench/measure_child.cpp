// Runs a program and writes what it cost to a file:
//
//   measure_child REPORT_FILE PROGRAM [ARGS...]
//
// REPORT_FILE gets one line: wall seconds, CPU seconds (user + system), peak
// resident bytes and the exit status. The child's standard streams are this
// program's. A child's peak resident size counts the pages of whoever forked
// it, so the benchmark measures through this small program rather than from
// the far larger Python interpreter.

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: %s REPORT_FILE PROGRAM [ARGS...]\n", argv[0]);
    return 2;
  }
  const auto start = std::chrono::steady_clock::now();
  const pid_t child = fork();
  if (child < 0) {
    std::perror("fork");
    return 2;
  }
  if (child == 0) {
    execvp(argv[2], argv + 2);
    std::perror(argv[2]);
    _exit(127);
  }
  int status = 0;
  struct rusage usage {};
  if (wait4(child, &status, 0, &usage) != child) {
    std::perror("wait4");
    return 2;
  }
  const double wall = std::chrono::duration<double>(
                          std::chrono::steady_clock::now() - start)
                          .count();
  const double cpu = static_cast<double>(usage.ru_utime.tv_sec) +
                     static_cast<double>(usage.ru_stime.tv_sec) +
                     1e-6 * static_cast<double>(usage.ru_utime.tv_usec +
                                                usage.ru_stime.tv_usec);
  std::FILE* report = std::fopen(argv[1], "w");
  if (report == nullptr) {
    std::perror(argv[1]);
    return 2;
  }
  // Linux reports ru_maxrss in kilobytes.
  std::fprintf(report, "%.6f %.6f %ld %d\n", wall, cpu, usage.ru_maxrss * 1024L,
               WIFEXITED(status) ? WEXITSTATUS(status) : -1);
  return std::fclose(report) == 0 ? 0 : 2;
}
