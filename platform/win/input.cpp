#include "platform/win/input.h"

#include "platform/win/detail/x11.h"

#include <X11/XKBlib.h>
#include <X11/keysym.h>

#include <algorithm>

namespace {

using namespace win::x11;

bool KeyDown(Display* d, const char keys[32], KeySym sym) {
  KeyCode code = XKeysymToKeycode(d, sym);
  return code && (keys[code / 8] & (1 << (code % 8)));
}

SHORT State(int vk) {
  Display* d = Dpy();
  if (!d) return 0;
  struct Key {
    int vk;
    KeySym left, right;
  };
  static const Key kKeys[] = {
      {VK_SHIFT, XK_Shift_L, XK_Shift_R},
      {VK_CONTROL, XK_Control_L, XK_Control_R},
      {VK_MENU, XK_Alt_L, XK_Alt_R},
      {VK_CAPITAL, XK_Caps_Lock, XK_Caps_Lock},
  };
  static const struct {
    int vk;
    unsigned mask;
  } kButtons[] = {{VK_LBUTTON, Button1Mask}, {VK_MBUTTON, Button2Mask}, {VK_RBUTTON, Button3Mask}};
  for (auto& b : kButtons) {
    if (b.vk != vk) continue;
    Window root = 0, child = 0;
    int rx, ry, x, y;
    unsigned mask = 0;
    XQueryPointer(d, Root(), &root, &child, &rx, &ry, &x, &y, &mask);
    return (mask & b.mask) ? SHORT(0x8000) : 0;
  }
  for (auto& k : kKeys) {
    if (k.vk != vk) continue;
    char keys[32] = {};
    XQueryKeymap(d, keys);
    SHORT s = (KeyDown(d, keys, k.left) || KeyDown(d, keys, k.right)) ? SHORT(0x8000) : 0;
    if (vk == VK_CAPITAL) {
      XkbStateRec st{};
      if (XkbGetState(d, XkbUseCoreKbd, &st) == Success && (st.locked_mods & LockMask)) s |= 1;
    }
    return s;
  }
  return 0;
}

}  // namespace

BOOL SetCursorPos(int x, int y) {
  Display* d = Dpy();
  if (!d) return FALSE;
  Screen* s = DefaultScreenOfDisplay(d);
  x = std::clamp(x, 0, WidthOfScreen(s) - 1);
  y = std::clamp(y, 0, HeightOfScreen(s) - 1);
  XWarpPointer(d, 0, Root(), 0, 0, 0, 0, x, y);
  XFlush(d);
  return TRUE;
}

BOOL GetCursorPos(POINT* p) {
  Display* d = Dpy();
  if (!d || !p) return FALSE;
  Window root = 0, child = 0;
  int rx = 0, ry = 0, x, y;
  unsigned mask;
  if (!XQueryPointer(d, Root(), &root, &child, &rx, &ry, &x, &y, &mask)) return FALSE;
  p->x = rx;
  p->y = ry;
  return TRUE;
}

SHORT GetKeyState(int vk) { return State(vk); }
SHORT GetAsyncKeyState(int vk) { return State(vk); }
