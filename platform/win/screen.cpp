#include "platform/win/screen.h"

#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>

#include "platform/win/detail/x11.h"

#include <algorithm>

namespace win {

int ScreenWidth() {
  Display* d = x11::Dpy();
  return d ? DisplayWidth(d, DefaultScreen(d)) : 0;
}

int ScreenHeight() {
  Display* d = x11::Dpy();
  return d ? DisplayHeight(d, DefaultScreen(d)) : 0;
}

int ScreenBitsPerPixel() {
  Display* d = x11::Dpy();
  if (!d) return 0;
  int depth = DefaultDepth(d, DefaultScreen(d));
  int n = 0, bpp = depth;
  if (XPixmapFormatValues* f = XListPixmapFormats(d, &n)) {
    for (int i = 0; i < n; ++i)
      if (f[i].depth == depth) bpp = f[i].bits_per_pixel;
    XFree(f);
  }
  return bpp;
}

int ScreenCaps(int index) {
  switch (index) {
    case BITSPIXEL: return ScreenBitsPerPixel();
    case HORZRES: return ScreenWidth();
    case VERTRES: return ScreenHeight();
    default: return 0;
  }
}

QImage CaptureScreen(const RECT& r) {
  int left = std::max<int>(r.left, 0), top = std::max<int>(r.top, 0);
  int right = std::min<int>(r.right, ScreenWidth()), bottom = std::min<int>(r.bottom, ScreenHeight());
  QScreen* screen = x11::Dpy() ? QGuiApplication::primaryScreen() : nullptr;
  if (!screen || right <= left || bottom <= top) return {};
  // Window 0 is the root window: Qt reads it back with GetImage. Pending
  // drawing of this process goes out first.
  XSync(x11::Dpy(), False);
  QPixmap shot = screen->grabWindow(0, left, top, right - left, bottom - top);
  return shot.toImage().convertToFormat(QImage::Format_RGB32);
}

}  // namespace win

LONG ChangeDisplaySettings(DEVMODE*, DWORD) { return DISP_CHANGE_FAILED; }

BOOL SystemParametersInfo(UINT, UINT, void*, UINT) { return FALSE; }
