#include "platform/win/hidden_window.h"

#include "platform/text/gbk.h"
#include "platform/win/detail/x11.h"
#include "platform/win/messages.h"

#include <X11/Xutil.h>

#include <set>
#include <string>

namespace win {
namespace {
std::set<HWND>& Hidden() {
  static std::set<HWND> s;
  return s;
}
}  // namespace

HWND CreateHiddenWindow(std::string_view gbkTitle, std::string_view className) {
  Display* d = x11::Dpy();
  if (!d) return 0;
  XSetWindowAttributes a{};
  a.override_redirect = False;
  Window w = XCreateWindow(d, x11::Root(), 10, 10, 100, 100, 0, CopyFromParent, InputOutput, CopyFromParent,
                           CWOverrideRedirect, &a);
  if (!w) return 0;
  x11::WriteName(w, gbk::ToUtf8(gbkTitle));
  if (!className.empty()) {
    std::string name(className);
    XClassHint hint{name.data(), name.data()};
    XSetClassHint(d, w, &hint);
  }
  XFlush(d);
  Hidden().insert(w);
  return w;
}

std::vector<HWND> HiddenWindows() { return {Hidden().begin(), Hidden().end()}; }

}  // namespace win

BOOL DestroyWindow(HWND h) {
  Display* d = win::x11::Dpy();
  if (!d || !win::Hidden().erase(h)) return FALSE;
  UnregisterWindowProc(h);
  win::x11::ErrorTrap trap;
  XDestroyWindow(d, h);
  return trap.Failed() ? FALSE : TRUE;
}
