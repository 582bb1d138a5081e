// The screen's device context: GetDC(0) wrapped in a canvas reads what the
// screen shows (win::CaptureScreen); drawing on it changes nothing. A
// window's device context is its form's Canvas->Handle.
#pragma once
#include "platform/windef.h"

// A new device context on the screen for h = 0; 0 for any other window.
HDC GetDC(HWND h);
// Frees a device context GetDC made; 1 when it did.
int ReleaseDC(HWND h, HDC dc);
// BITSPIXEL, HORZRES, VERTRES of the screen (any device context answers
// for the screen); 0 for other indexes.
int GetDeviceCaps(HDC dc, int index);
