// Extended window styles. Only WS_EX_TOOLWINDOW has an effect on X11: the
// window carries _NET_WM_STATE_SKIP_TASKBAR and _NET_WM_STATE_SKIP_PAGER.
// Set on the application's window, it applies to every top-level window of
// the program, those shown now and those shown later.
#pragma once
#include "platform/windef.h"

// GWL_EXSTYLE only: returns the previous style; any other index, or h = 0,
// changes nothing and returns 0.
LONG SetWindowLong(HWND h, int index, LONG value);
LONG GetWindowLong(HWND h, int index);
