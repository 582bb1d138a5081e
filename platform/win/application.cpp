#include "platform/win/application.h"

#include <QApplication>
#include <QPointer>
#include <QSet>
#include <QWindow>

#include "platform/text/gbk.h"
#include "platform/win/detail/x11.h"
#include "platform/win/hidden_window.h"
#include "platform/win/window_pos.h"

#include <unistd.h>

#include <cstdlib>

namespace win {
namespace {
Application* g_instance = nullptr;

// QApplication keeps references to argc and argv for its whole life.
int g_argc = 1;
std::string g_argv0;
char* g_argv[2] = {nullptr, nullptr};
}  // namespace

Application::Application() {
  if (!g_instance) g_instance = this;
}

Application::~Application() {
  if (handle_) DestroyWindow(handle_);
  if (ownsQApp_) delete qApp;
  if (g_instance == this) g_instance = nullptr;
}

Application* Application::Instance() { return g_instance; }

namespace {

// A window going away hands the input back to the window it is transient
// for (the form or dialog it came up over), as the system's owned windows
// do: left alone, a window manager may focus another program's window,
// which then covers the program's own. Asked once while the window is still
// up (so that its unmapping leaves the window manager no focus to pass on)
// and once when it is gone (for one that passed it on all the same).
class FocusReturn : public QObject {
 public:
  bool eventFilter(QObject* obj, QEvent* ev) override {
    // Every event of the program passes here: the cheap test first.
    if (ev->type() != QEvent::Show && ev->type() != QEvent::Hide) return false;
    auto* w = qobject_cast<QWindow*>(obj);
    if (!w || !w->isTopLevel()) return false;
    if (ev->type() == QEvent::Show && !watched_.contains(w)) {
      watched_.insert(w);
      connect(w, &QWindow::visibleChanged, this, [this, w](bool visible) {
        if (!visible) Return(w);
      });
      connect(w, &QObject::destroyed, this, [this, w] { watched_.remove(w); });
    } else if (ev->type() == QEvent::Hide) {
      Return(w);
    }
    return false;
  }

 private:
  // Only from a window that has the focus (another program's stays); as a
  // pager asks: no timestamp to lose against the window manager's own choice.
  static void Return(QWindow* w) {
    QWindow* over = w->transientParent();
    if (over && over->isVisible() && QGuiApplication::focusWindow() == w) SetForegroundWindow(HWND(over->winId()));
  }
  QSet<QWindow*> watched_;
};

}  // namespace

void Application::Initialize() {
  if (!QCoreApplication::instance()) {
    // The cross-process window contract is X11's.
    if (!getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "xcb", 1);
    char buf[4096];
    ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
    g_argv0 = n > 0 ? std::string(buf, size_t(n)) : "quarvel";
    g_argv[0] = g_argv0.data();
    new QApplication(g_argc, g_argv);
    ownsQApp_ = true;
  }
  if (auto* gui = qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
    gui->setQuitOnLastWindowClosed(false);
    static QPointer<FocusReturn> filter;
    if (!filter) {
      filter = new FocusReturn;
      filter->setParent(gui);
      gui->installEventFilter(filter);
    }
  }
  if (!handle_) handle_ = CreateHiddenWindow(title_);
}

void Application::SetTitle(std::string_view gbk) {
  title_ = std::string(gbk);
  if (handle_) x11::WriteName(handle_, gbk::ToUtf8(title_));
}

bool Application::FirstOfTitle() {
  Display* d = x11::Dpy();
  if (first_ >= 0) return first_ == 1;
  if (!d || !handle_ || title_.empty()) return true;
  const Atom selection = x11::AtomOf(("_WIN_APPLICATION " + gbk::ToUtf8(title_)).c_str());
  // Taken only while nobody holds it, with no other client in between.
  XGrabServer(d);
  if (XGetSelectionOwner(d, selection) == None) XSetSelectionOwner(d, selection, handle_, CurrentTime);
  first_ = XGetSelectionOwner(d, selection) == handle_ ? 1 : 0;
  XUngrabServer(d);
  XFlush(d);
  return first_ == 1;
}

void Application::Terminate() {
  terminated_ = true;
  if (running_) QCoreApplication::exit(0);
}

int Application::Run() {
  if (terminated_ || !QCoreApplication::instance()) return 0;
  running_ = true;
  int r = QCoreApplication::exec();
  running_ = false;
  return r;
}

}  // namespace win
