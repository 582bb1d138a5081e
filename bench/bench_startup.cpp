// Start-up: Quarvel from its start to a visible toolbar, beside OpenBoard
// (Debian's openboard, installed by scripts/install-bench-deps) from its
// start to its first window, both on the same X server. Each start is timed
// from the fork to the X server's MapNotify of the program's first
// top-level window; the resident memory (counter rss_MiB) is the program's
// and its child processes', taken two seconds after that window showed.
// Goals: Quarvel within 0.6 of OpenBoard's time and 0.5 of its memory.
//
// Started without QUARVEL_BENCH_SCREEN, the program runs itself under
// scripts/test-env with an Xvfb of its own (a fresh home folder, so both
// programs start as on a new account; one start each comes first, untimed).
#include <benchmark/benchmark.h>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "bench/screens.h"

namespace {

constexpr const char* kScreen = "1024x768";
constexpr std::chrono::seconds kSettle(2);

// The pid an X client gave its window (_NET_WM_PID), 0 when none.
long WindowPid(Display* d, Window w) {
  Atom type;
  int format;
  unsigned long n = 0, after = 0;
  unsigned char* data = nullptr;
  long pid = 0;
  if (XGetWindowProperty(d, w, XInternAtom(d, "_NET_WM_PID", False), 0, 1, False, XA_CARDINAL, &type, &format, &n,
                         &after, &data) == Success &&
      data && n == 1 && format == 32)
    pid = long(*reinterpret_cast<unsigned long*>(data));
  if (data) XFree(data);
  return pid;
}

long RssKiB(pid_t pid) {
  std::ifstream in("/proc/" + std::to_string(pid) + "/status");
  std::string line;
  while (std::getline(in, line))
    if (line.rfind("VmRSS:", 0) == 0) return atol(line.c_str() + 6);
  return 0;
}

// The process and all its descendants.
std::set<pid_t> Tree(pid_t root) {
  std::set<pid_t> tree{root};
  for (bool grew = true; grew;) {
    grew = false;
    DIR* proc = opendir("/proc");
    while (dirent* e = proc ? readdir(proc) : nullptr) {
      const pid_t pid = atoi(e->d_name);
      if (pid <= 0 || tree.count(pid)) continue;
      std::ifstream stat(std::string("/proc/") + e->d_name + "/stat");
      std::string all((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
      const size_t close = all.rfind(')');
      if (close == std::string::npos) continue;
      char state;
      int ppid = 0;
      if (sscanf(all.c_str() + close + 1, " %c %d", &state, &ppid) == 2 && tree.count(ppid)) {
        tree.insert(pid);
        grew = true;
      }
    }
    if (proc) closedir(proc);
  }
  return tree;
}

struct Start {
  bool shown = false;
  double seconds = 0;
  double rssMiB = 0;
};

// Starts the program in a process group of its own, waits for its first
// window, measures, and ends the group.
Start Run(const std::vector<std::string>& argv, const std::string& dir) {
  Start result;
  Display* d = XOpenDisplay(nullptr);
  if (!d) return result;
  XSelectInput(d, DefaultRootWindow(d), SubstructureNotifyMask);
  XSync(d, False);
  const auto begin = std::chrono::steady_clock::now();
  const pid_t pid = fork();
  if (pid == 0) {
    setpgid(0, 0);
    if (chdir(dir.c_str()) != 0) _exit(127);
    const int null = open("/dev/null", O_WRONLY);
    dup2(null, STDOUT_FILENO), dup2(null, STDERR_FILENO);
    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    execv(args[0], args.data());
    _exit(127);
  }
  setpgid(pid, pid);
  const auto deadline = begin + std::chrono::seconds(60);
  while (!result.shown && std::chrono::steady_clock::now() < deadline) {
    if (!XPending(d)) {
      pollfd p{ConnectionNumber(d), POLLIN, 0};
      poll(&p, 1, 100);
      if (waitpid(pid, nullptr, WNOHANG) == pid) break;  // it ended without a window
      continue;
    }
    XEvent e;
    XNextEvent(d, &e);
    if (e.type != MapNotify || e.xmap.event != DefaultRootWindow(d)) continue;
    XWindowAttributes a;
    if (!XGetWindowAttributes(d, e.xmap.window, &a) || a.width <= 10 || a.height <= 10) continue;
    if (WindowPid(d, e.xmap.window) != pid) continue;
    result.shown = true;
    result.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
  }
  XCloseDisplay(d);
  if (result.shown) {
    std::this_thread::sleep_for(kSettle);
    long kib = 0;
    for (pid_t p : Tree(pid)) kib += RssKiB(p);
    result.rssMiB = double(kib) / 1024.0;
  }
  kill(-pid, SIGTERM);
  for (int i = 0; i < 50 && waitpid(pid, nullptr, WNOHANG) != pid; ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  kill(-pid, SIGKILL);
  waitpid(pid, nullptr, 0);
  return result;
}

void Measure(benchmark::State& state, const std::vector<std::string>& argv, const std::string& dir) {
  if (access(argv[0].c_str(), X_OK) != 0) {
    state.SkipWithError((argv[0] + " is not there (scripts/install-bench-deps installs OpenBoard)").c_str());
    return;
  }
  if (!Run(argv, dir).shown) {  // first start on a new account: not timed
    state.SkipWithError("no window came up");
    return;
  }
  double rss = 0;
  for (auto _ : state) {
    const Start s = Run(argv, dir);
    if (!s.shown) {
      state.SkipWithError("no window came up");
      return;
    }
    state.SetIterationTime(s.seconds);
    rss += s.rssMiB;
  }
  state.counters["rss_MiB"] = rss / double(state.iterations());
}

// $QUARVEL_BENCH_BIN names another program folder to measure (another
// build, to compare).
void BM_QuarvelToolbar(benchmark::State& state) {
  const char* other = getenv("QUARVEL_BENCH_BIN");
  const std::string folder = other && *other ? other : QUARVEL_BIN_DIR;
  Measure(state, {folder + "/quarvel"}, folder);
}

void BM_OpenBoardFirstWindow(benchmark::State& state) {
  const char* home = getenv("HOME");
  Measure(state, {"/usr/bin/OpenBoard"}, home ? home : "/tmp");
}

BENCHMARK(BM_QuarvelToolbar)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(5);
BENCHMARK(BM_OpenBoardFirstWindow)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(5);

}  // namespace

int main(int argc, char** argv) {
  const std::string at = std::string("@") + kScreen;
  const std::string quarvel = "BM_QuarvelToolbar/iterations:5/manual_time" + at;
  const std::string openBoard = "BM_OpenBoardFirstWindow/iterations:5/manual_time" + at;
  return bench::RunOnScreens(argc, argv, {kScreen}, QUARVEL_TEST_ENV,
                             {{"Quarvel toolbar / OpenBoard first window", quarvel, {openBoard}, 0.6},
                              {"Quarvel memory / OpenBoard memory", quarvel + "#rss_MiB", {openBoard + "#rss_MiB"}, 0.5}});
}
