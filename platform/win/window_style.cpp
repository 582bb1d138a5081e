#include "platform/win/window_style.h"

#include <QCoreApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QPlatformSurfaceEvent>
#include <QWindow>

#include "platform/win/application.h"
#include "platform/win/detail/x11.h"
#include "platform/win/hidden_window.h"

#include <algorithm>
#include <unordered_map>

namespace {

std::unordered_map<HWND, LONG>& Styles() {
  static std::unordered_map<HWND, LONG> s;
  return s;
}

void SetSkipTaskbar(HWND h, bool on) {
  win::x11::ChangeNetWmState(h, on, win::x11::AtomOf("_NET_WM_STATE_SKIP_TASKBAR"),
                             win::x11::AtomOf("_NET_WM_STATE_SKIP_PAGER"));
}

bool Skips(HWND h) {
  win::x11::Property p;
  if (!win::x11::GetProperty(h, win::x11::AtomOf("_NET_WM_STATE"), &p) || p.format != 32) return false;
  const long* atoms = reinterpret_cast<const long*>(p.bytes.data());
  long taskbar = long(win::x11::AtomOf("_NET_WM_STATE_SKIP_TASKBAR"));
  long pager = long(win::x11::AtomOf("_NET_WM_STATE_SKIP_PAGER"));
  return std::find(atoms, atoms + p.items, taskbar) != atoms + p.items &&
         std::find(atoms, atoms + p.items, pager) != atoms + p.items;
}

// Qt writes _NET_WM_STATE of its own when it maps a window, keeping atoms it
// does not manage; it may also make a new X window for the same QWindow (new
// flags), and a window manager drops the property when a window is
// withdrawn. So the states go on at every creation and every show of a
// top-level window, before Qt maps it, and are checked again whenever the
// window is exposed, which follows every map.
class SkipTaskbarFilter : public QObject {
 public:
  bool eventFilter(QObject* obj, QEvent* ev) override {
    auto* w = qobject_cast<QWindow*>(obj);
    if (!w || !w->isTopLevel() || !w->handle()) return false;
    bool created = ev->type() == QEvent::PlatformSurface &&
                   static_cast<QPlatformSurfaceEvent*>(ev)->surfaceEventType() ==
                       QPlatformSurfaceEvent::SurfaceCreated;
    if (created || ev->type() == QEvent::Show || (ev->type() == QEvent::Expose && !Skips(w->winId())))
      SetSkipTaskbar(w->winId(), true);
    return false;
  }
};

SkipTaskbarFilter* g_filter = nullptr;

void SetProgramSkipsTaskbar(bool on) {
  QCoreApplication* app = QCoreApplication::instance();
  if (!app) return;
  if (on && !g_filter) {
    g_filter = new SkipTaskbarFilter;
    g_filter->setParent(app);
    app->installEventFilter(g_filter);
  } else if (!on && g_filter) {
    app->removeEventFilter(g_filter);
    delete g_filter;
    g_filter = nullptr;
  }
  if (qobject_cast<QGuiApplication*>(app))
    for (QWindow* w : QGuiApplication::topLevelWindows())
      if (w->handle()) SetSkipTaskbar(w->winId(), on);
  for (HWND h : win::HiddenWindows()) SetSkipTaskbar(h, on);
}

}  // namespace

LONG SetWindowLong(HWND h, int index, LONG value) {
  if (!h || index != GWL_EXSTYLE || !win::x11::Dpy()) return 0;
  LONG& style = Styles()[h];
  LONG old = style;
  style = value;
  bool tool = value & WS_EX_TOOLWINDOW;
  if (bool(old & WS_EX_TOOLWINDOW) != tool) {
    win::Application* app = win::Application::Instance();
    if (app && h == app->Handle())
      SetProgramSkipsTaskbar(tool);
    else
      SetSkipTaskbar(h, tool);
  }
  return old;
}

LONG GetWindowLong(HWND h, int index) {
  if (!h || index != GWL_EXSTYLE) return 0;
  auto it = Styles().find(h);
  return it == Styles().end() ? 0 : it->second;
}
