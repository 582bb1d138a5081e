#include "platform/win/hidden_window.h"

#include "platform/text/gbk.h"
#include "platform/win/detail/x11.h"
#include "platform/win/messages.h"

#include <set>

namespace win {
namespace {
std::set<HWND>& Hidden() {
  static std::set<HWND> s;
  return s;
}
}  // namespace

HWND CreateHiddenWindow(std::string_view gbkTitle) {
  Display* d = x11::Dpy();
  if (!d) return 0;
  XSetWindowAttributes a{};
  a.override_redirect = False;
  Window w = XCreateWindow(d, x11::Root(), 10, 10, 100, 100, 0, CopyFromParent, InputOutput, CopyFromParent,
                           CWOverrideRedirect, &a);
  if (!w) return 0;
  x11::WriteName(w, gbk::ToUtf8(gbkTitle));
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
