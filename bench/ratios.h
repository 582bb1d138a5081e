// Each benchmark program states its goals as ratios of measured times: a
// measured benchmark against its floor (what it is made of, measured beside
// it in the same run). The runs' mean real times per iteration are kept as
// they are reported; after the run, one line per goal gives the ratio, the
// goal and whether it was met. A missed goal is reported, not an error: the
// program's exit code tells only whether the benchmarks ran.
//
// Programs that run themselves again on X servers of other sizes
// (screens.h) hand their times back to the first process through a file.
#pragma once
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace bench {

// measured / sum(floor) at most `goal` (times or counters), or, with kAtLeast,
// sum(floor) / measured at least `goal` (a speed against the floor's).
// goal 0: the ratio is shown without a goal.
struct Ratio {
  enum Kind { kAtMost, kAtLeast };
  std::string what;
  std::string measured;
  std::vector<std::string> floor;
  double goal = 0;
  Kind kind = kAtMost;
};

// Times by benchmark name ("BM_X" or, on a screen, "BM_X@1920x1080"), and
// counters ("BM_X#counter").
typedef std::map<std::string, double> Times;

inline const char* kResultsVariable = "QUARVEL_BENCH_RESULTS";

// The console reporter, keeping each run's mean real time in seconds.
class KeepingReporter : public benchmark::ConsoleReporter {
 public:
  explicit KeepingReporter(Times* times)
      : ConsoleReporter(isatty(STDOUT_FILENO) ? OO_ColorTabular : OO_Tabular), times_(times) {}
  bool Failed() const { return failed_; }
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    const char* screen = getenv("QUARVEL_BENCH_SCREEN");
    const char* file = getenv(kResultsVariable);
    for (const Run& r : runs) {
      if (r.error_occurred) failed_ = true;
      if (r.error_occurred || r.iterations <= 0 || r.run_type != Run::RT_Iteration) continue;
      std::string name = r.benchmark_name();
      if (screen) name += std::string("@") + screen;
      Times values{{name, r.real_accumulated_time / double(r.iterations)}};
      // Counters as "name#counter" (a memory figure, a speed).
      for (const auto& [key, counter] : r.counters) values[name + "#" + key] = counter.value;
      for (const auto& [key, value] : values) {
        (*times_)[key] = value;
        if (file) std::ofstream(file, std::ios::app) << key << ' ' << value << '\n';
      }
    }
  }

 private:
  Times* times_;
  bool failed_ = false;
};

inline void ReadTimes(const std::string& file, Times* times) {
  std::ifstream in(file);
  std::string name;
  double seconds;
  while (in >> name >> seconds) (*times)[name] = seconds;
}

inline void PrintRatios(const Times& times, const std::vector<Ratio>& ratios) {
  printf("---- ratios against the floors ----\n");
  for (const Ratio& r : ratios) {
    auto m = times.find(r.measured);
    double floor = 0;
    bool complete = m != times.end() && m->second > 0;
    for (const std::string& f : r.floor) {
      auto t = times.find(f);
      if (t == times.end()) complete = false;
      else floor += t->second;
    }
    if (!complete || floor <= 0) {
      printf("%-44s not measured (filtered out or failed)\n", r.what.c_str());
      continue;
    }
    const double ratio = r.kind == Ratio::kAtMost ? m->second / floor : floor / m->second;
    std::ostringstream line;
    line.precision(3);
    line << (r.kind == Ratio::kAtMost ? "x" : "speed x") << ratio;
    if (r.goal > 0) {
      const bool met = r.kind == Ratio::kAtMost ? ratio <= r.goal : ratio >= r.goal;
      line << "  goal " << (r.kind == Ratio::kAtMost ? "<= " : ">= ") << r.goal << (met ? "  met" : "  MISSED");
    }
    printf("%-44s %s\n", r.what.c_str(), line.str().c_str());
  }
  fflush(stdout);
}

// Runs the benchmarks in this process with the reporter above; the ratios
// are printed unless the times go back to a parent process.
inline int RunWithRatios(int argc, char** argv, const std::vector<Ratio>& ratios) {
  benchmark::Initialize(&argc, argv);
  Times times;
  KeepingReporter reporter(&times);
  const size_t ran = benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  if (!getenv(kResultsVariable)) PrintRatios(times, ratios);
  return ran > 0 && !reporter.Failed() ? 0 : 1;
}

}  // namespace bench
