#include "platform/win/window_pos.h"

#include <QApplication>
#include <QMouseEvent>
#include <QWidget>
#include <QWindow>

#include "platform/win/detail/x11.h"
#include "platform/win/input.h"

#include <X11/Xutil.h>

namespace {

using namespace win::x11;

QWidget* WidgetOf(QWindow* qw) {
  if (!qw || !qobject_cast<QApplication*>(QCoreApplication::instance())) return nullptr;
  for (QWidget* w : QApplication::topLevelWidgets())
    if (w->windowHandle() == qw) return w;
  return nullptr;
}

Window RootChildOf(Window w) {
  Window root = Root();
  for (;;) {
    Window parent = Parent(w);
    if (!parent || parent == root) return parent ? w : 0;
    w = parent;
  }
}

bool Viewable(Window w) {
  XWindowAttributes a;
  return GetAttributes(w, &a) && a.map_state == IsViewable;
}

// Without a window manager nothing keeps a window's transients (its
// dialogs and message boxes) above it: raised, it takes them along, in
// their order.
void RaiseWithTransients(Window self, HWND top) {
  Display* d = Dpy();
  XRaiseWindow(d, self);
  const Atom transientFor = AtomOf("WM_TRANSIENT_FOR");
  for (Window w : Children(Root())) {
    Property p;
    if (w != self && Viewable(w) && GetProperty(w, transientFor, &p) && p.format == 32 && p.items == 1 &&
        Window(*reinterpret_cast<const long*>(p.bytes.data())) == top)
      XRaiseWindow(d, w);
  }
}

void Restack(HWND top, HWND after) {
  Display* d = Dpy();
  bool ewmh = EwmhWm();
  Atom above = AtomOf("_NET_WM_STATE_ABOVE"), below = AtomOf("_NET_WM_STATE_BELOW");
  // Without a window manager the window to restack is the root's child.
  Window self = ewmh ? top : RootChildOf(top);
  if (after == HWND_TOPMOST) {
    if (ewmh) {
      ChangeNetWmState(top, false, below);
      ChangeNetWmState(top, true, above);
    } else {
      RaiseWithTransients(self, top);
    }
  } else if (after == HWND_NOTOPMOST) {
    if (ewmh) ChangeNetWmState(top, false, above);
  } else if (after == HWND_TOP) {
    if (ewmh) {
      ChangeNetWmState(top, false, below);
      XRaiseWindow(d, self);
    } else {
      RaiseWithTransients(self, top);
    }
  } else if (after == HWND_BOTTOM) {
    if (ewmh) {
      ChangeNetWmState(top, false, above);
      ChangeNetWmState(top, true, below);
    } else {
      XLowerWindow(d, self);
    }
  } else {
    XWindowChanges c{};
    c.sibling = after;
    c.stack_mode = Below;
    XReconfigureWMWindow(d, top, DefaultScreen(d), CWSibling | CWStackMode, &c);
  }
}

// A widget or a window of this process, which Qt shows the same way.
template <class Shown>
void ShowOwn(Shown* w, int cmd) {
  switch (cmd) {
    case SW_HIDE: w->hide(); break;
    case SW_MINIMIZE: case SW_SHOWMINIMIZED: w->showMinimized(); break;
    case SW_SHOWMAXIMIZED: w->showMaximized(); break;
    case SW_SHOWNORMAL: case SW_RESTORE: w->showNormal(); break;
    default: w->show(); break;
  }
}

void Show(HWND h, int cmd) {
  Display* d = Dpy();
  QWindow* own = OwnWindow(h);
  QWidget* widget = WidgetOf(own);
  if (widget) {
    ShowOwn(widget, cmd);
  } else if (own) {
    ShowOwn(own, cmd);
  } else {
    switch (cmd) {
      case SW_HIDE: XWithdrawWindow(d, h, DefaultScreen(d)); break;
      case SW_MINIMIZE: case SW_SHOWMINIMIZED: XIconifyWindow(d, h, DefaultScreen(d)); break;
      case SW_SHOWMAXIMIZED:
        ChangeNetWmState(h, true, AtomOf("_NET_WM_STATE_MAXIMIZED_VERT"), AtomOf("_NET_WM_STATE_MAXIMIZED_HORZ"));
        XMapWindow(d, h);
        break;
      default: XMapWindow(d, h); break;
    }
    XFlush(d);
  }
}

// Without a window manager: the window keeps the offset between its corner
// and the pointer until the button goes up. The press already grabbed the
// pointer for this client, so the moves arrive even outside the window.
class MoveFollower : public QObject {
 public:
  MoveFollower(QWindow* w, QPoint offset) : QObject(w), window_(w), offset_(offset) {}
  bool eventFilter(QObject*, QEvent* ev) override {
    if (ev->type() == QEvent::MouseMove) {
      auto* me = static_cast<QMouseEvent*>(ev);
      window_->setFramePosition(me->globalPosition().toPoint() - offset_);
      return true;
    }
    // The widgets see the release. Off the window at once: moves already
    // queued behind the release (a new press's) are not the move's.
    if (ev->type() == QEvent::MouseButtonRelease) {
      window_->removeEventFilter(this);
      deleteLater();
    }

    return false;
  }

 private:
  QWindow* window_;
  QPoint offset_;
};

}  // namespace

namespace win {

BOOL StartWindowMove(HWND h) {
  QWindow* own = OwnWindow(h);
  while (own && own->parent()) own = own->parent();
  if (!own || GetAsyncKeyState(VK_LBUTTON) >= 0) return FALSE;
  if (own->startSystemMove()) return TRUE;
  POINT p{};
  if (!GetCursorPos(&p)) return FALSE;
  // Filters of the window see its events before the widgets do.
  own->installEventFilter(new MoveFollower(own, QPoint(p.x, p.y) - own->framePosition()));
  return TRUE;
}

}  // namespace win

BOOL SetWindowPos(HWND h, HWND after, int x, int y, int cx, int cy, UINT flags) {
  Display* d = Dpy();
  if (!d || !Exists(h)) return FALSE;
  ErrorTrap trap;
  bool move = !(flags & SWP_NOMOVE), size = !(flags & SWP_NOSIZE);
  if (move || size) {
    QWindow* own = OwnWindow(h);
    if (QWidget* widget = WidgetOf(own)) {
      if (move) widget->move(x, y);
      if (size) widget->resize(cx, cy);
    } else if (own) {
      if (move) own->setFramePosition(QPoint(x, y));
      if (size) own->resize(cx, cy);
    } else {
      XWindowChanges c{};
      c.x = x;
      c.y = y;
      c.width = cx > 0 ? cx : 1;
      c.height = cy > 0 ? cy : 1;
      XConfigureWindow(d, h, (move ? CWX | CWY : 0) | (size ? CWWidth | CWHeight : 0), &c);
    }
  }
  if (!(flags & SWP_NOZORDER)) {
    HWND top = TopLevelOf(h);
    if (top == h) {
      Restack(top, after);
    } else if (after == HWND_TOP || after == HWND_TOPMOST) {
      XRaiseWindow(d, h);  // a child among its siblings
    } else if (after == HWND_BOTTOM) {
      XLowerWindow(d, h);
    }
  }
  if (flags & SWP_HIDEWINDOW) Show(h, SW_HIDE);
  if (flags & SWP_SHOWWINDOW) Show(h, SW_SHOW);
  XFlush(d);
  return trap.Failed() ? FALSE : TRUE;
}

BOOL ShowWindow(HWND h, int cmd) {
  if (!Dpy() || !Exists(h)) return FALSE;
  bool was = Viewable(h);
  ErrorTrap trap;
  Show(h, cmd);
  return was ? TRUE : FALSE;
}

BOOL SetForegroundWindow(HWND h) {
  Display* d = Dpy();
  HWND top = d ? TopLevelOf(h) : 0;
  if (!top) return FALSE;
  ErrorTrap trap;
  if (EwmhWm()) {
    SendRootMessage(top, AtomOf("_NET_ACTIVE_WINDOW"), 2, CurrentTime, 0);
  } else {
    XRaiseWindow(d, RootChildOf(top));
    if (Viewable(top)) XSetInputFocus(d, top, RevertToParent, CurrentTime);
  }
  XFlush(d);
  return trap.Failed() ? FALSE : TRUE;
}
