// Shared by the window tests of the class library: the application, waiting
// while the GUI thread runs, the screen's pixels and real pointer input
// through xdotool.
#pragma once
#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QThread>
#include <algorithm>
#include <atomic>
#include <cstdio>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "platform/mfc/wnd.h"
#include "platform/win/screen.h"

namespace test {

inline QApplication* App() {
  static int argc = 1;
  static char name[] = "wnd_test";
  static char* argv[] = {name, nullptr};
  static QApplication* app = new QApplication(argc, argv);
  return app;
}

// Runs the event loop until `done` holds (false after `ms`).
inline bool WaitFor(const std::function<bool()>& done, int ms = 10000) {
  QElapsedTimer t;
  t.start();
  while (!done()) {
    if (t.elapsed() > ms) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    QThread::msleep(5);
  }
  return true;
}

// Lets the GUI thread run for a while (for what must NOT happen).
inline void RunFor(int ms) {
  QElapsedTimer t;
  t.start();
  while (t.elapsed() < ms) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    QThread::msleep(5);
  }
}

inline COLORREF ScreenPixel(int x, int y) {
  const QImage shot = win::CaptureScreen(RECT{x, y, x + 1, y + 1});
  if (shot.isNull()) return CLR_INVALID;
  const QRgb p = shot.pixel(0, 0);
  return RGB(qRed(p), qGreen(p), qBlue(p));
}

// The screen's pixels in the rectangle, row by row.
inline std::vector<COLORREF> ScreenPixels(const RECT& r) {
  std::vector<COLORREF> out;
  const QImage shot = win::CaptureScreen(r);
  if (shot.isNull()) return out;
  for (int y = 0; y < shot.height(); ++y)
    for (int x = 0; x < shot.width(); ++x) {
      const QRgb p = shot.pixel(x, y);
      out.push_back(RGB(qRed(p), qGreen(p), qBlue(p)));
    }
  return out;
}

// Runs xdotool with the arguments while the GUI thread goes on handling
// events, so that each step arrives as the X server sends it.
inline bool Xdo(const std::string& args) {
  std::atomic<bool> done{false};
  int rc = -1;
  std::thread t([&] {
    rc = system(("xdotool " + args + " >/dev/null 2>&1").c_str());
    done = true;
  });
  const bool ok = WaitFor([&] { return done.load(); }, 30000);
  t.join();
  QCoreApplication::processEvents();
  return ok && rc == 0;
}

inline std::string At(int x, int y) { return "mousemove " + std::to_string(x) + " " + std::to_string(y); }

// The screen point of client point (x, y) of w.
inline POINT OnScreen(const CWnd& w, int x, int y) {
  POINT p{x, y};
  w.ClientToScreen(&p);
  return p;
}

// A move to client point (x, y) of w.
inline std::string At(const CWnd& w, int x, int y) {
  const POINT p = OnScreen(w, x, y);
  return At(p.x, p.y);
}

// A window that keeps the messages it gets.
template <class Base = CWnd>
struct Recorder : Base {
  struct Got {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
  };
  std::vector<Got> got;
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
    got.push_back({message, wParam, lParam});
    return Base::WindowProc(message, wParam, lParam);
  }
  size_t Count(UINT m) const {
    return size_t(std::count_if(got.begin(), got.end(), [m](const Got& g) { return g.message == m; }));
  }
  const Got* Last(UINT m) const {
    for (auto it = got.rbegin(); it != got.rend(); ++it)
      if (it->message == m) return &*it;
    return nullptr;
  }
  // The messages among `which`, in order.
  std::vector<UINT> Sequence(const std::vector<UINT>& which) const {
    std::vector<UINT> out;
    for (const Got& g : got)
      if (std::find(which.begin(), which.end(), g.message) != which.end()) out.push_back(g.message);
    return out;
  }
};

}  // namespace test
