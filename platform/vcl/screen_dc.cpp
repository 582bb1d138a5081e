#include "platform/vcl/screen_dc.h"

#include <mutex>
#include <set>

#include "platform/gdi/dc.h"
#include "platform/win/screen.h"

namespace {

// The screen's pixels as a surface: reads capture the screen, drawing is
// not this program's to do.
class ScreenSurface : public gdi::Surface {
 public:
  QSize Size() const override { return QSize(win::ScreenWidth(), win::ScreenHeight()); }
  void Draw(const std::function<QRect(QImage&)>&) override {}
  QImage Read(const QRect& area) const override {
    QImage shot = win::CaptureScreen(RECT{area.left(), area.top(), area.right() + 1, area.bottom() + 1});
    if (shot.isNull()) {
      shot = QImage(area.size(), QImage::Format_RGB32);
      shot.fill(0xFF000000u);
    }
    return shot;
  }
};

ScreenSurface g_screen;
std::mutex g_mutex;
std::set<HDC> g_made;

}  // namespace

HDC GetDC(HWND h) {
  if (h) return nullptr;
  HDC dc = new gdi::DC(&g_screen);
  std::lock_guard<std::mutex> lock(g_mutex);
  g_made.insert(dc);
  return dc;
}

int ReleaseDC(HWND, HDC dc) {
  std::lock_guard<std::mutex> lock(g_mutex);
  if (!g_made.erase(dc)) return 0;
  delete dc;
  return 1;
}

int GetDeviceCaps(HDC, int index) { return win::ScreenCaps(index); }
