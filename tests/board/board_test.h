// Shared by the board tests that run Quarvel's forms inside the test
// program: the start-up as the program does it, real X input with xdotool,
// and what the screen shows as another X client reads it.
#pragma once
#include <QApplication>
#include <QCoreApplication>
#include <QImage>
#include <QThread>
#include <QWindow>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "board/board.h"
#include "board/startup.h"
#include "board/toolbar.h"
#include "platform/gdi/colour.h"
#include "tests/platform/x_test.h"

namespace boardtest {

using test::Shell;
inline bool WaitFor(const std::function<bool()>& done, int ms = 15000) { return test::WaitFor(done, ms); }

// Runs xdotool while the GUI thread goes on handling events, so that each
// step arrives on its own.
inline bool Xdo(const std::string& args) {
  std::atomic<bool> done{false};
  std::thread t([&] {
    Shell("xdotool " + args + " 2>&1");
    done = true;
  });
  bool ok = WaitFor([&] { return done.load(); }, 30000);
  t.join();
  return ok;
}

inline std::string At(int x, int y) { return " mousemove " + std::to_string(x) + " " + std::to_string(y); }

// Whether a form is up and painted.
inline bool Shown(TForm* f) {
  return WaitFor([f] { return f->isVisible() && f->windowHandle() && f->windowHandle()->isExposed(); });
}

// Mouse releases handed to the program's controls so far.
inline int Releases() {
  struct Counter : QObject {
    int n = 0;
    bool eventFilter(QObject* o, QEvent* e) override {
      if (e->type() == QEvent::MouseButtonRelease && qobject_cast<QWidget*>(o)) ++n;
      return false;
    }
  };
  static Counter* counter = [] {
    auto* c = new Counter;
    qApp->installEventFilter(c);
    return c;
  }();
  return counter->n;
}

// A press, moves through the points and a release with the left button, each
// step given time to arrive on its own (a pointer moved faster has its moves
// merged); it returns once the board has handled the release.
inline bool Drag(const std::vector<QPoint>& points) {
  static int releases = 0;
  static bool counting = [] {
    auto handled = Form3->OnMouseUp;
    Form3->OnMouseUp = [handled](TObject* s, TMouseButton b, TShiftState sh, int x, int y) {
      handled(s, b, sh, x, y);
      ++releases;
    };
    return true;
  }();
  (void)counting;
  const int before = releases;
  std::string cmd;
  bool first = true;
  for (QPoint p : points) {
    if (!first) cmd += " sleep 0.03";
    cmd += At(p.x(), p.y());
    if (first) cmd += " mousedown 1";
    first = false;
  }
  cmd += " mouseup 1";
  return Xdo(cmd) && WaitFor([&] { return releases > before; });
}

// A left click in the middle of a control (with real input); `done` tells
// when its effect is there.
inline bool Click(TControl* c, const std::function<bool()>& done) {
  const TPoint p = c->ClientToScreen(Point(c->Width / 2, c->Height / 2));
  const int before = Releases();
  return Xdo(At(p.X, p.Y) + " click 1") && WaitFor([&] { return Releases() > before && done(); });
}

// The program started as its start-up block does it, once per test program.
inline void StartUp() {
  static bool done = [] {
    QuarvelStartUp();
    return true;
  }();
  (void)done;
}

// The board shown by the toolbar's board button.
inline bool BoardUp() {
  StartUp();
  if (Form3->Visible && Shown(Form3)) return true;
  Form1->Show();
  if (!Shown(Form1)) return false;
  return Click(Form1->SpeedButton4, [] { return Form3->isVisible(); }) && Shown(Form3) &&
         WaitFor([] { return Form3->ProbeColour() == Form3->RCP->Color(); });
}

// The screen's pixels in r, read by another X client (ImageMagick).
inline QImage ScreenShot(const QRect& r) {
  std::string png = Shell("import -window root -crop " + std::to_string(r.width()) + "x" + std::to_string(r.height()) +
                          "+" + std::to_string(r.x()) + "+" + std::to_string(r.y()) + " png:- 2>/dev/null");
  QImage img;
  img.loadFromData(reinterpret_cast<const uchar*>(png.data()), int(png.size()), "PNG");
  return img.convertToFormat(QImage::Format_RGB32);
}

inline COLORREF ScreenPixel(int x, int y) {
  QImage one = ScreenShot(QRect(x, y, 1, 1));
  return one.isNull() ? CLR_INVALID : gdi::FromPixel(one.pixel(0, 0));
}

inline QImage PageImage(int page) { return Form3->Pages[page]->ToImage().copy(); }

// Pixels where a and b differ, as their bounding box (empty when equal).
inline QRect Changed(const QImage& a, const QImage& b) {
  QRect box;
  for (int y = 0; y < a.height(); ++y) {
    const QRgb* p = reinterpret_cast<const QRgb*>(a.constScanLine(y));
    const QRgb* q = reinterpret_cast<const QRgb*>(b.constScanLine(y));
    for (int x = 0; x < a.width(); ++x)
      if ((p[x] | 0xFF000000u) != (q[x] | 0xFF000000u)) box |= QRect(x, y, 1, 1);
  }
  return box;
}

inline COLORREF PagePixel(int page, int x, int y) { return Form3->Pages[page]->Pixels().GetPixel(x, y); }

}  // namespace boardtest
