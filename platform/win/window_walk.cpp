#include "platform/win/window_walk.h"

#include "platform/win/detail/x11.h"
#include "platform/win/messages.h"
#include "platform/win/window_text.h"

#include <X11/Xutil.h>

#include <algorithm>
#include <strings.h>
#include <vector>

namespace {

std::vector<HWND> g_walk;  // the last look at the top-level windows, top first

const std::vector<HWND>& FreshWalk() {
  g_walk.clear();
  Window root = win::x11::Root();
  if (!root) return g_walk;
  bool lookThrough = win::x11::WmRedirects();
  std::vector<Window> kids = win::x11::Children(root);
  for (auto it = kids.rbegin(); it != kids.rend(); ++it)
    g_walk.push_back(win::x11::ClientOfRootChild(*it, lookThrough));
  return g_walk;
}

// Siblings of h, top first: the walk for a top-level, else the children of
// its parent.
std::vector<HWND> LevelOf(HWND h, bool fresh) {
  const std::vector<HWND>& walk = fresh ? FreshWalk() : g_walk;
  if (std::find(walk.begin(), walk.end(), h) != walk.end()) return walk;
  if (!fresh) return LevelOf(h, true);
  Window parent = win::x11::Parent(h);
  if (!parent) return {};
  std::vector<Window> kids = win::x11::Children(parent);
  return std::vector<HWND>(kids.rbegin(), kids.rend());
}

bool SameIgnoringCase(const char* a, const char* b) { return a && b && strcasecmp(a, b) == 0; }

}  // namespace

HWND GetWindow(HWND h, UINT cmd) {
  if (!h || !win::x11::Dpy()) return 0;
  if (cmd == GW_CHILD) {
    std::vector<Window> kids = win::x11::Children(h);
    return kids.empty() ? 0 : kids.back();
  }
  bool fresh = cmd == GW_HWNDFIRST || cmd == GW_HWNDLAST;
  std::vector<HWND> level = LevelOf(h, fresh);
  auto at = std::find(level.begin(), level.end(), h);
  if (at == level.end()) return 0;
  switch (cmd) {
    case GW_HWNDFIRST: return level.front();
    case GW_HWNDLAST: return level.back();
    case GW_HWNDNEXT: return at + 1 == level.end() ? 0 : *(at + 1);
    case GW_HWNDPREV: return at == level.begin() ? 0 : *(at - 1);
    default: return 0;
  }
}

HWND FindWindow(LPCSTR className, LPCSTR windowName) {
  Display* d = win::x11::Dpy();
  if (!d) return 0;
  std::vector<HWND> walk = FreshWalk();
  for (HWND h : walk) {
    if (className) {
      XClassHint hint{};
      bool match = false;
      {
        win::x11::ErrorTrap trap;
        if (XGetClassHint(d, h, &hint)) {
          match = SameIgnoringCase(hint.res_name, className) || SameIgnoringCase(hint.res_class, className);
          XFree(hint.res_name);
          XFree(hint.res_class);
        }
      }
      if (!match) continue;
    }
    if (windowName && win::WindowText(h) != windowName) continue;
    return h;
  }
  return 0;
}

HWND WindowFromPoint(POINT p) {
  Display* d = win::x11::Dpy();
  if (!d) return 0;
  Window root = win::x11::Root();
  win::x11::ErrorTrap trap;
  std::vector<Window> path;
  Window at = root;
  for (;;) {
    int x = 0, y = 0;
    Window child = 0;
    if (!XTranslateCoordinates(d, root, at, p.x, p.y, &x, &y, &child) || !child) break;
    path.push_back(child);
    at = child;
  }
  if (path.empty()) return 0;
  Window client = win::x11::ClientOfRootChild(path.front(), win::x11::WmRedirects());
  // Below the client the deepest window wins; on the frame itself, the client.
  return std::find(path.begin(), path.end(), client) != path.end() ? path.back() : client;
}

BOOL IsWindow(HWND h) {
  if (!h) return FALSE;
  if (!win::x11::Dpy()) return win::HasWindowProc(h) ? TRUE : FALSE;
  return win::x11::Exists(h) ? TRUE : FALSE;
}
