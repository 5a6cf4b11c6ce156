// Runs a command as a child process several times and prints its best wall
// time and its peak resident set size, both measured from outside:
//   bench_run REPEATS COMMAND [ARGS...]
// prints "<best wall ms> <median wall ms> <peak RSS KiB>" on stdout.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

struct Sample {
  double wallMs = 0;
  long peakKiB = 0;
};

// One run of argv; false when it could not start or did not exit with 0.
bool RunOnce(char** argv, Sample& sample) {
  const auto start = std::chrono::steady_clock::now();
  const pid_t child = fork();
  if (child < 0) return false;
  if (child == 0) {
    execv(argv[0], argv);
    std::perror(argv[0]);
    _exit(127);
  }
  int status = 0;
  rusage usage{};
  if (wait4(child, &status, 0, &usage) != child) return false;
  const auto end = std::chrono::steady_clock::now();
  sample.wallMs = std::chrono::duration<double, std::milli>(end - start).count();
  sample.peakKiB = usage.ru_maxrss;
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace

int main(int argc, char** argv) {
  const int repeats = argc > 2 ? std::atoi(argv[1]) : 0;
  if (repeats < 1) {
    std::fprintf(stderr, "usage: %s REPEATS COMMAND [ARGS...]\n", argv[0]);
    return 2;
  }
  std::vector<double> walls;
  long peakKiB = 0;
  for (int i = 0; i < repeats; ++i) {
    Sample sample;
    if (!RunOnce(argv + 2, sample)) {
      std::fprintf(stderr, "%s failed\n", argv[2]);
      return 1;
    }
    walls.push_back(sample.wallMs);
    peakKiB = std::max(peakKiB, sample.peakKiB);
  }
  std::sort(walls.begin(), walls.end());
  std::printf("%.1f %.1f %ld\n", walls.front(), walls[walls.size() / 2], peakKiB);
  return 0;
}
