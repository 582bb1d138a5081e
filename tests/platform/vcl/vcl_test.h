// Shared by the form library tests: the application, waiting for
// conditions, the screen as another X client sees it, and X input.
#pragma once
#include <QApplication>
#include <QCoreApplication>
#include <QTimer>
#include <QThread>
#include <QWindow>

#include "platform/vcl/forms.h"
#include "tests/end_application.h"
#include "tests/platform/x_test.h"

#include <atomic>
#include <chrono>
#include <thread>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>

namespace test {

inline void App() {
  static bool done = [] {
    Application->Initialize();
    Application->Title = "VclTest";
    return true;
  }();
  (void)done;
}

// Watches for dialogs of one kind coming onto the screen (exposed): counts
// them, runs onShown at once and whenUp from the dialog's own loop.
template <class Dialog>
class DialogWatch : public QObject {
 public:
  DialogWatch() { qApp->installEventFilter(this); }
  ~DialogWatch() override { qApp->removeEventFilter(this); }
  bool eventFilter(QObject* o, QEvent* e) override {
    if (e->type() == QEvent::Expose)
      if (auto* w = qobject_cast<QWindow*>(o); w && w->isExposed())
        for (QWidget* top : QApplication::topLevelWidgets())
          if (auto* d = qobject_cast<Dialog*>(top); d && d->windowHandle() == w && d != last) {
            last = d;
            ++shown;
            if (onShown) onShown(d);
            if (whenUp) QTimer::singleShot(0, d, [this, d] { whenUp(d); });
          }
    return false;
  }
  int shown = 0;
  Dialog* last = nullptr;
  std::function<void(Dialog*)> onShown, whenUp;
};

// Lets the GUI thread run for a while (for things that must NOT happen).
inline void Pump(int ms) {
  WaitFor([] { return false; }, ms);
}

// Runs xdotool with the arguments (synchronously: the X server queues
// what our process has not read yet).
inline void Xdo(const std::string& args) { Shell("xdotool " + args + " 2>&1"); }

// Runs xdotool while the GUI thread goes on handling events, so that
// each step arrives on its own (not compressed with the next).
inline bool XdoWhileRunning(const std::string& args) {
  std::atomic<bool> done{false};
  std::thread t([&] {
    Shell("xdotool " + args + " 2>&1");
    done = true;
  });
  bool ok = WaitFor([&] { return done.load(); }, 20000);
  t.join();
  return ok;
}

// Waits until the form is mapped and its first paint has run.
inline bool Shown(TForm* f) {
  return WaitFor([f] { return f->isVisible() && f->windowHandle() && f->windowHandle()->isExposed(); });
}

}  // namespace test
