// Shared by the benchmarks that measure on screens of given sizes: the
// program runs itself again on an Xvfb of each size, through the test
// environment, and measures there; the first process prints the ratios of
// all runs together.
#pragma once
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <initializer_list>
#include <string>
#include <unistd.h>
#include <vector>

#include "bench/ratios.h"

namespace bench {

// On the screen QUARVEL_BENCH_SCREEN names, runs the benchmarks; else runs
// this program once a size (WxH) through `testEnv`, passing its arguments on.
// 1 when any run failed.
inline int RunOnScreens(int argc, char** argv, std::initializer_list<const char*> sizes, const char* testEnv,
                        const std::vector<Ratio>& ratios = {}) {
  if (getenv("QUARVEL_BENCH_SCREEN")) return RunWithRatios(argc, argv, ratios);
  char self[4096];
  const ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
  if (n <= 0) return 1;
  self[n] = 0;
  const char* tmp = getenv("TMPDIR");
  std::string results = std::string(tmp && *tmp ? tmp : "/tmp") + "/bench_times.XXXXXX";
  const int fd = mkstemp(results.data());
  if (fd < 0) return 1;
  close(fd);
  int failed = 0;
  for (const char* size : sizes) {
    std::string cmd = std::string(kResultsVariable) + "='" + results + "' QUARVEL_BENCH_SCREEN=" + size + " " +
                      testEnv + " --xvfb " + size + "x24 -- '" + self + "'";
    for (int i = 1; i < argc; ++i) cmd += std::string(" '") + argv[i] + "'";
    failed |= system(cmd.c_str());
  }
  Times times;
  ReadTimes(results, &times);
  unlink(results.c_str());
  PrintRatios(times, ratios);
  return failed ? 1 : 0;
}

}  // namespace bench
