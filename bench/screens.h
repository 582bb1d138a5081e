// Shared by the benchmarks that measure on screens of given sizes: the
// program runs itself again on an Xvfb of each size, through the test
// environment, and measures there.
#pragma once
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <initializer_list>
#include <string>
#include <unistd.h>

namespace bench {

// On the screen QUARVEL_BENCH_SCREEN names, runs the benchmarks; else runs
// this program once a size (WxH) through `testEnv`, passing its arguments on.
// 1 when any run failed.
inline int RunOnScreens(int argc, char** argv, std::initializer_list<const char*> sizes, const char* testEnv) {
  if (getenv("QUARVEL_BENCH_SCREEN")) {
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
  }
  char self[4096];
  const ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
  if (n <= 0) return 1;
  self[n] = 0;
  int failed = 0;
  for (const char* size : sizes) {
    std::string cmd = std::string("QUARVEL_BENCH_SCREEN=") + size + " " + testEnv + " --xvfb " + size + "x24 -- '" +
                      self + "'";
    for (int i = 1; i < argc; ++i) cmd += std::string(" '") + argv[i] + "'";
    failed |= system(cmd.c_str());
  }
  return failed ? 1 : 0;
}

}  // namespace bench
