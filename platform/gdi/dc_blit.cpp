// Copies between surfaces: BitBlt, StretchBlt and the form library's
// CopyRect, all SRCCOPY.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include "platform/gdi/dc.h"
#include "platform/gdi/dc_paint.h"
#include "platform/gdi/polygon_fill.h"

namespace gdi {
namespace {

int64_t Clamp(int64_t v) { return std::clamp<int64_t>(v, -kCoordinateLimit, kCoordinateLimit); }

// The pixels an origin and a signed extent span: [origin, origin + extent)
// or, for a negative extent, [origin + extent, origin).
void Span(int64_t origin, int64_t extent, int64_t* begin, int64_t* end) {
  const int64_t a = Clamp(origin), b = Clamp(origin + extent);
  *begin = std::min(a, b);
  *end = std::max(a, b);
}

QRect Spanned(int x, int y, int width, int height) {
  int64_t l, r, t, b;
  Span(x, width, &l, &r);
  Span(y, height, &t, &b);
  return QRect(int(l), int(t), int(r - l), int(b - t));
}

// For each destination pixel offset 0..count-1 along one axis, the source
// pixel offset (nearest, sampled at pixel centres), or -1 when it falls
// outside the readable source part [readBegin, readEnd).
std::vector<int> AxisMap(int64_t destBegin, int64_t destSize, int64_t from, int64_t count, int64_t sourceSize,
                         bool mirror, int64_t readBegin, int64_t readEnd) {
  std::vector<int> map(size_t(std::max<int64_t>(count, 0)));
  for (int64_t i = 0; i < count; ++i) {
    const int64_t d = from + i - destBegin;
    int64_t s = ((2 * d + 1) * sourceSize) / (2 * destSize);
    if (mirror) s = sourceSize - 1 - s;
    map[size_t(i)] = (s >= readBegin && s < readEnd) ? int(s - readBegin) : -1;
  }
  return map;
}

}  // namespace

BOOL DC::Blit(QRect dest, const Surface& source, QRect sourceRect, bool mirrorX, bool mirrorY) {
  if (dest.isEmpty() || sourceRect.isEmpty()) return TRUE;
  const QRect readable = sourceRect & source.Bounds();
  if (readable.isEmpty()) return TRUE;
  const bool straight = dest.size() == sourceRect.size() && !mirrorX && !mirrorY;
  // A 1:1 copy changes only the destination of the readable part.
  const QRect target = straight ? readable.translated(dest.topLeft() - sourceRect.topLeft()) : dest;
  const QRect visible = VisibleBox(target);
  if (visible.isEmpty()) return TRUE;
  // Read before drawing: source and destination may be the same surface.
  const QImage pixels = source.Read(readable);
  if (pixels.isNull()) return FALSE;

  if (straight) {
    const QPoint shift = -target.topLeft();  // destination -> offset in `pixels`
    Paint(visible, [&](QImage& image, const QRect& area) {
      // A picture that covers the whole surface unclipped (a page drawn on
      // the board) is shared: the copy waits until one side changes.
      if (!clip_ && area == image.rect() && pixels.size() == image.size() && shift.isNull() &&
          pixels.format() == image.format()) {
        image = pixels;
        return area;
      }
      ForEachVisibleRect(area, [&](const QRect& r) {
        for (int y = r.top(); y <= r.bottom(); ++y)
          std::memcpy(PixelRow(image, y) + r.left(),
                      reinterpret_cast<const QRgb*>(pixels.constScanLine(y + shift.y())) + r.left() + shift.x(),
                      size_t(r.width()) * sizeof(QRgb));
      });
      return area;
    });
    return TRUE;
  }

  // Offsets into `pixels` for each visible destination column and row.
  const int readX = readable.left() - sourceRect.left(), readY = readable.top() - sourceRect.top();
  const std::vector<int> columns = AxisMap(dest.left(), dest.width(), visible.left(), visible.width(),
                                           sourceRect.width(), mirrorX, readX, readX + readable.width());
  const std::vector<int> rows = AxisMap(dest.top(), dest.height(), visible.top(), visible.height(),
                                        sourceRect.height(), mirrorY, readY, readY + readable.height());
  Paint(visible, [&](QImage& image, const QRect& area) {
    ForEachVisibleRect(area, [&](const QRect& r) {
      for (int y = r.top(); y <= r.bottom(); ++y) {
        const int sy = rows[size_t(y - visible.top())];
        if (sy < 0) continue;
        const QRgb* in = reinterpret_cast<const QRgb*>(pixels.constScanLine(sy));
        QRgb* out = PixelRow(image, y);
        for (int x = r.left(); x <= r.right(); ++x) {
          const int sx = columns[size_t(x - visible.left())];
          if (sx >= 0) out[x] = in[sx];
        }
      }
    });
    return area;
  });
  return TRUE;
}

BOOL DC::BitBlt(int x, int y, int width, int height, const DC* source, int sx, int sy, DWORD rop) {
  if (rop != SRCCOPY || !source || !source->surface_ || !surface_) return FALSE;
  if (width <= 0 || height <= 0) return TRUE;
  return Blit(Spanned(x, y, width, height), *source->surface_, Spanned(sx, sy, width, height), false, false);
}

BOOL DC::StretchBlt(int x, int y, int width, int height, const DC* source, int sx, int sy, int sw, int sh,
                    DWORD rop) {
  if (rop != SRCCOPY || !source || !source->surface_ || !surface_) return FALSE;
  if (width == 0 || height == 0 || sw == 0 || sh == 0) return TRUE;
  return Blit(Spanned(x, y, width, height), *source->surface_, Spanned(sx, sy, sw, sh), (width < 0) != (sw < 0),
              (height < 0) != (sh < 0));
}

BOOL DC::CopyRect(const RECT& dest, const DC& source, const RECT& sourceRect) {
  const int l = int(Clamp(dest.left)), t = int(Clamp(dest.top)), r = int(Clamp(dest.right)), b = int(Clamp(dest.bottom));
  const int sl = int(Clamp(sourceRect.left)), st = int(Clamp(sourceRect.top)), sr = int(Clamp(sourceRect.right)),
            sb = int(Clamp(sourceRect.bottom));
  return StretchBlt(l, t, r - l, b - t, &source, sl, st, sr - sl, sb - st, SRCCOPY);
}

}  // namespace gdi
