#include "platform/win/messages.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QThread>
#include <QTimer>
#include <QWindow>

#include "platform/win/detail/x11.h"

#include <X11/Xutil.h>

#include <map>
#include <memory>
#include <mutex>
#include <unordered_map>

namespace {

// Procedures are looked up from any thread (PostMessage) and called on the
// GUI thread outside the lock, so a procedure may unregister itself.
std::mutex g_procMutex;
std::unordered_map<HWND, std::shared_ptr<WindowProc>> g_procs;

std::shared_ptr<WindowProc> ProcOf(HWND h) {
  std::lock_guard<std::mutex> lock(g_procMutex);
  auto it = g_procs.find(h);
  return it == g_procs.end() ? nullptr : it->second;
}

std::map<std::pair<HWND, UINT_PTR>, QTimer*>& Timers() {
  static std::map<std::pair<HWND, UINT_PTR>, QTimer*> t;
  return t;
}

bool OnGuiThread() {
  QCoreApplication* app = QCoreApplication::instance();
  return app && QThread::currentThread() == app->thread();
}

// A close request the way a window manager makes it, for windows that take it.
void RequestClose(HWND h) {
  Display* d = win::x11::Dpy();
  if (!d) return;
  Atom del = win::x11::AtomOf("WM_DELETE_WINDOW");
  Atom* protocols = nullptr;
  int n = 0;
  bool takesDelete = false;
  {
    win::x11::ErrorTrap trap;
    if (XGetWMProtocols(d, h, &protocols, &n)) {
      for (int i = 0; i < n; ++i) takesDelete |= protocols[i] == del;
      XFree(protocols);
    }
  }
  if (!takesDelete) return;
  XEvent ev{};
  ev.xclient.type = ClientMessage;
  ev.xclient.window = h;
  ev.xclient.message_type = win::x11::AtomOf("WM_PROTOCOLS");
  ev.xclient.format = 32;
  ev.xclient.data.l[0] = long(del);
  ev.xclient.data.l[1] = CurrentTime;
  win::x11::ErrorTrap trap;
  XSendEvent(d, h, False, NoEventMask, &ev);
  XFlush(d);
}

LRESULT Deliver(HWND h, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (auto proc = ProcOf(h)) return (*proc)(msg, wParam, lParam);
  if (msg != WM_CLOSE) return 0;
  if (QWindow* own = win::x11::OwnWindow(h)) {
    if (own->isTopLevel()) own->close();  // a child of a form is not closed on its own
  } else {
    RequestClose(h);
  }
  return 0;
}

}  // namespace

void RegisterWindowProc(HWND h, WindowProc proc) {
  if (!h || !proc) return;
  std::lock_guard<std::mutex> lock(g_procMutex);
  g_procs[h] = std::make_shared<WindowProc>(std::move(proc));
}

void UnregisterWindowProc(HWND h) {
  {
    std::lock_guard<std::mutex> lock(g_procMutex);
    g_procs.erase(h);
  }
  if (!OnGuiThread()) return;
  auto& timers = Timers();
  for (auto it = timers.lower_bound({h, 0}); it != timers.end() && it->first.first == h;) {
    it->second->stop();
    it->second->deleteLater();
    it = timers.erase(it);
  }
}

LRESULT SendMessage(HWND h, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (!h) return 0;
  if (OnGuiThread()) return Deliver(h, msg, wParam, lParam);
  QCoreApplication* app = QCoreApplication::instance();
  if (!app) return 0;
  LRESULT r = 0;
  QMetaObject::invokeMethod(
      app, [&] { r = Deliver(h, msg, wParam, lParam); }, Qt::BlockingQueuedConnection);
  return r;
}

bool win::HasWindowProc(HWND h) { return h && ProcOf(h) != nullptr; }

BOOL PostMessage(HWND h, UINT msg, WPARAM wParam, LPARAM lParam) {
  QCoreApplication* app = QCoreApplication::instance();
  if (!h || !app) return FALSE;
  if (OnGuiThread() && !ProcOf(h) && !win::x11::Exists(h) && !win::x11::OwnWindow(h)) return FALSE;
  QMetaObject::invokeMethod(
      app, [=] { Deliver(h, msg, wParam, lParam); }, Qt::QueuedConnection);
  return TRUE;
}

UINT_PTR SetTimer(HWND h, UINT_PTR id, UINT ms, void* unusedTimerProc) {
  if (!OnGuiThread() || !id || unusedTimerProc || !ProcOf(h)) return 0;
  QTimer*& timer = Timers()[{h, id}];
  if (!timer) {
    timer = new QTimer(QCoreApplication::instance());
    QObject::connect(timer, &QTimer::timeout, [h, id] {
      if (auto proc = ProcOf(h)) (*proc)(WM_TIMER, id, 0);
    });
  }
  timer->start(int(ms));
  return id;
}

BOOL KillTimer(HWND h, UINT_PTR id) {
  if (!OnGuiThread()) return FALSE;
  auto it = Timers().find({h, id});
  if (it == Timers().end()) return FALSE;
  it->second->stop();
  it->second->deleteLater();
  Timers().erase(it);
  return TRUE;
}
