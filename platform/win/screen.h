// The screen: its size and pixel depth, reading it back, and the display
// settings the programs ask for but X11 does not let a client change.
#pragma once
#include "platform/windef.h"

#include <QImage>

namespace win {

// Size of the X screen (the root window); 0 without a display.
int ScreenWidth();
int ScreenHeight();
// Bits per pixel of the root window's pixmap format: 16 on a 16-bit screen,
// 32 on a 24-bit one.
int ScreenBitsPerPixel();
// GetDeviceCaps of the screen: BITSPIXEL, HORZRES, VERTRES; 0 otherwise.
int ScreenCaps(int index);

// The screen's pixels in the rectangle (right and bottom exclusive), clipped
// to the screen, as RGB32; a null image when nothing is left or there is no
// display.
QImage CaptureScreen(const RECT& r);

}  // namespace win

// A display-mode record with the fields the programs fill in.
struct DEVMODE {
  WORD dmSize;
  DWORD dmFields;
  DWORD dmBitsPerPel;
  DWORD dmPelsWidth;
  DWORD dmPelsHeight;
  DWORD dmDisplayFrequency;
};

// X11 has no client request for a new screen depth: nothing changes and the
// result is DISP_CHANGE_FAILED.
LONG ChangeDisplaySettings(DEVMODE* mode, DWORD flags);

// No system parameter is kept on X11 (the screen saver belongs to the
// session): nothing changes and the result is FALSE.
BOOL SystemParametersInfo(UINT action, UINT uiParam, void* pvParam, UINT winIni);
