#include "platform/gdi/region.h"

#include <algorithm>

#include "platform/gdi/polygon_fill.h"

namespace gdi {
namespace {

int Clamp(int v) { return std::clamp<int>(v, -kCoordinateLimit, kCoordinateLimit); }

}  // namespace

void Region::SetRect(int left, int top, int right, int bottom) {
  left = Clamp(left), top = Clamp(top), right = Clamp(right), bottom = Clamp(bottom);
  if (right < left) std::swap(left, right);
  if (bottom < top) std::swap(top, bottom);
  pixels_ = QRegion(QRect(left, top, right - left, bottom - top));
}

bool Region::SetPolygon(const POINT* points, int count, int fillMode) {
  return PolygonPixels(points, count, fillMode, &pixels_);
}

int Region::Combine(const Region& a, const Region& b, int mode) {
  switch (mode) {
    case RGN_AND: pixels_ = a.pixels_ & b.pixels_; break;
    case RGN_OR: pixels_ = a.pixels_ | b.pixels_; break;
    case RGN_XOR: pixels_ = a.pixels_ ^ b.pixels_; break;
    case RGN_DIFF: pixels_ = a.pixels_ - b.pixels_; break;
    case RGN_COPY: pixels_ = a.pixels_; break;
    default: return ERROR;
  }
  return Kind();
}

int Region::Offset(int dx, int dy) {
  const QRect box = pixels_.boundingRect();
  if (!box.isEmpty()) {
    // Keep every pixel inside the coordinate range.
    dx = std::clamp<int>(dx, -kCoordinateLimit - box.left(), kCoordinateLimit - box.right());
    dy = std::clamp<int>(dy, -kCoordinateLimit - box.top(), kCoordinateLimit - box.bottom());
    pixels_.translate(dx, dy);
  }
  return Kind();
}

int Region::GetBox(RECT* box) const {
  const QRect r = pixels_.boundingRect();
  if (box) *box = r.isEmpty() ? RECT{0, 0, 0, 0} : RECT{r.left(), r.top(), r.right() + 1, r.bottom() + 1};
  return Kind();
}

int Region::Kind() const {
  if (pixels_.isEmpty()) return NULLREGION;
  return pixels_.rectCount() == 1 ? SIMPLEREGION : COMPLEXREGION;
}

}  // namespace gdi
