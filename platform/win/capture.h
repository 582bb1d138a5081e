// Mouse capture for the windows of this process: while a window holds it,
// every mouse event goes to that window (a Qt mouse grab underneath), even
// outside it. The class library's windows turn those events into client
// messages without a hit test, as captured input is.
#pragma once
#include "platform/windef.h"

// h (a native Qt window of this process, on the GUI thread) takes the
// capture; the window losing it gets WM_CAPTURECHANGED (lParam = h). Returns
// the window that held it, 0 for none or when h cannot take it.
HWND SetCapture(HWND h);
// FALSE when no window of this process holds the capture.
BOOL ReleaseCapture();
// The window holding the capture, 0 for none.
HWND GetCapture();
