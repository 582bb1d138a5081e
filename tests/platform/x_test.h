// Shared by the tests of the window and form facilities: waiting for
// conditions while the GUI thread runs, command-line tools, and reparenting
// EWMH window managers for the tests that run under one.
#pragma once
#include <QCoreApplication>
#include <QProcess>
#include <QThread>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>

namespace test {

// Polls `done`, letting the GUI thread run, until it holds or `ms` passed.
inline bool WaitFor(const std::function<bool()>& done, int ms = 10000) {
  auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  while (!done()) {
    if (std::chrono::steady_clock::now() > end) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    QThread::msleep(2);
  }
  return true;
}

// Output of a shell command.
inline std::string Shell(const std::string& cmd) {
  std::string out;
  if (FILE* p = popen(cmd.c_str(), "r")) {
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
    pclose(p);
  }
  return out;
}

inline std::string Hex(unsigned long id) {
  char buf[32];
  snprintf(buf, sizeof buf, "0x%lx", id);
  return buf;
}

// A window manager on the test's X server for as long as the object lives:
// openbox (the default), xfwm4, metacity or icewm, without compositing, as
// school desktops run them. xfwm4 and metacity want a session bus: their
// tests run under dbus-run-session.
class WindowManager {
 public:
  // Ready once it has taken the screen and `mapsWindows` holds: a window
  // manager may drop the map requests made while it starts up, so the probe
  // asks it to map a window and says whether it got mapped.
  explicit WindowManager(const std::function<bool()>& mapsWindows, const std::string& name = "openbox") {
    static const struct {
      const char* name;
      QStringList args;
    } kCommands[] = {
        {"openbox", {"--sm-disable"}},
        {"xfwm4", {"--compositor=off"}},
        {"metacity", {"--sm-disable", "--no-composite"}},
        {"icewm", {}},
    };
    for (const auto& c : kCommands)
      if (name == c.name) proc_.start(c.name, c.args);
    if (!proc_.waitForStarted(10000)) return;
    WaitFor([] { return Shell("xprop -root _NET_SUPPORTING_WM_CHECK").find("window id") != std::string::npos; });
    WaitFor(mapsWindows);
  }
  ~WindowManager() {
    proc_.kill();
    proc_.waitForFinished(5000);
  }
  bool Running() const { return proc_.state() == QProcess::Running; }

 private:
  QProcess proc_;
};

// The screen pixel at (x, y) as another X client reads it (ImageMagick),
// as $BBGGRR; -1 when unreadable.
inline long ScreenPixel(int x, int y) {
  std::string out = Shell("import -window root -crop 1x1+" + std::to_string(x) + "+" + std::to_string(y) +
                          " -depth 8 txt:- 2>/dev/null");
  size_t hash = out.find('#', out.find('\n'));
  if (hash == std::string::npos || hash + 7 > out.size()) return -1;
  unsigned long rgb = strtoul(out.substr(hash + 1, 6).c_str(), nullptr, 16);
  return long(((rgb >> 16) & 0xFF) | (rgb & 0xFF00) | ((rgb & 0xFF) << 16));
}

}  // namespace test
