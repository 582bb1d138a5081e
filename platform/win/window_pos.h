// Z-order, showing and activation of windows of every process. With an EWMH
// window manager the stacking layers are asked of it (_NET_WM_STATE_ABOVE and
// _NET_WM_STATE_BELOW); without one the windows are raised and lowered
// directly. Nothing here activates a window except SetForegroundWindow, and
// nothing maps a hidden window except the show requests.
#pragma once
#include "platform/windef.h"

// after: HWND_TOPMOST (above layer; without a window manager: raised, and
// the windows transient for it raised again over it),
// HWND_NOTOPMOST (leaves the above layer; without one: nothing), HWND_TOP,
// HWND_BOTTOM (below layer with one; lowered without), or a window to go
// below. Flags SWP_NOMOVE, SWP_NOSIZE, SWP_NOZORDER, SWP_NOACTIVATE,
// SWP_SHOWWINDOW, SWP_HIDEWINDOW. FALSE when h is no window.
BOOL SetWindowPos(HWND h, HWND after, int x, int y, int cx, int cy, UINT flags);

// SW_HIDE, SW_SHOW, SW_SHOWNORMAL, SW_RESTORE, SW_MINIMIZE, SW_SHOWMAXIMIZED.
// Returns whether the window was visible before.
BOOL ShowWindow(HWND h, int cmd);

// Raises and activates h's top-level window: through _NET_ACTIVE_WINDOW with
// an EWMH window manager, else raise and input focus. FALSE when h is no
// window.
BOOL SetForegroundWindow(HWND h);

namespace win {

// Lets the pointer drag a window of this process while the left button that
// was just pressed on it stays down (a press on a borderless window's own
// surface moves it). A window manager that offers _NET_WM_MOVERESIZE does the
// move; without one the window follows the pointer until the release. FALSE
// when h is no Qt window of this process or the button is not down.
BOOL StartWindowMove(HWND h);

}  // namespace win
