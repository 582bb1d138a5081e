#include "platform/gdi/dc.h"

#include <QPainter>
#include <algorithm>
#include <cstdint>
#include <utility>
#include <vector>

#include "platform/gdi/colour.h"
#include "platform/gdi/dc_paint.h"
#include "platform/gdi/line_steps.h"
#include "platform/gdi/polygon_fill.h"

namespace gdi {
namespace {

// Dash patterns of one-pixel pens: lengths in pixels, on first.
struct Dashes {
  int style;
  std::vector<int> lengths;
};
const Dashes kDashes[] = {
    {PS_DASH, {18, 6}},
    {PS_DOT, {3, 3}},
    {PS_DASHDOT, {9, 6, 3, 6}},
    {PS_DASHDOTDOT, {9, 3, 3, 3, 3, 3}},
};

const std::vector<int>* DashesOf(int style) {
  for (const Dashes& d : kDashes)
    if (d.style == style) return &d.lengths;
  return nullptr;
}

// True when position `step` of the pattern is drawn (not a gap).
bool DashOn(const std::vector<int>& lengths, int64_t step) {
  int period = 0;
  for (int l : lengths) period += l;
  int64_t at = step % period;
  for (size_t i = 0; i < lengths.size(); ++i) {
    if (at < lengths[i]) return i % 2 == 0;
    at -= lengths[i];
  }
  return false;
}

int64_t Clamp(int64_t v) { return std::clamp<int64_t>(v, -kCoordinateLimit, kCoordinateLimit); }

// left..right-1 x top..bottom-1 with swapped corners put right.
QRect Normalised(int64_t left, int64_t top, int64_t right, int64_t bottom) {
  left = Clamp(left), top = Clamp(top), right = Clamp(right), bottom = Clamp(bottom);
  if (right < left) std::swap(left, right);
  if (bottom < top) std::swap(top, bottom);
  return QRect(int(left), int(top), int(right - left), int(bottom - top));
}

QRect PointsBox(const POINT* points, int count) {
  int64_t l = INT64_MAX, t = INT64_MAX, r = INT64_MIN, b = INT64_MIN;
  for (int i = 0; i < count; ++i) {
    l = std::min<int64_t>(l, Clamp(points[i].x));
    t = std::min<int64_t>(t, Clamp(points[i].y));
    r = std::max<int64_t>(r, Clamp(points[i].x));
    b = std::max<int64_t>(b, Clamp(points[i].y));
  }
  return count > 0 ? QRect(int(l), int(t), int(r - l + 1), int(b - t + 1)) : QRect();
}

// Clips the segment a-b to the box (Liang-Barsky); false when it misses.
bool ClipSegment(QPointF& a, QPointF& b, const QRectF& box) {
  double t0 = 0, t1 = 1;
  const double dx = b.x() - a.x(), dy = b.y() - a.y();
  const double p[4] = {-dx, dx, -dy, dy};
  const double q[4] = {a.x() - box.left(), box.right() - a.x(), a.y() - box.top(), box.bottom() - a.y()};
  for (int i = 0; i < 4; ++i) {
    if (p[i] == 0) {
      if (q[i] < 0) return false;
      continue;
    }
    const double t = q[i] / p[i];
    if (p[i] < 0)
      t0 = std::max(t0, t);
    else
      t1 = std::min(t1, t);
    if (t0 > t1) return false;
  }
  const QPointF from = a;
  a = from + QPointF(dx, dy) * t0;
  b = from + QPointF(dx, dy) * t1;
  return true;
}

}  // namespace

// ---- state ----

Surface* DC::SelectSurface(Surface* surface) {
  Surface* old = surface_;
  surface_ = surface;
  return old;
}

Pen DC::SelectPen(const Pen& pen) { return std::exchange(pen_, pen); }
Brush DC::SelectBrush(const Brush& brush) { return std::exchange(brush_, brush); }
Font DC::SelectFont(const Font& font) { return std::exchange(font_, font); }
COLORREF DC::SetTextColor(COLORREF colour) { return std::exchange(textColour_, colour & 0xFFFFFF); }
COLORREF DC::SetBkColor(COLORREF colour) { return std::exchange(bkColour_, colour & 0xFFFFFF); }
UINT DC::SetTextAlign(UINT align) { return std::exchange(textAlign_, align); }

int DC::SetBkMode(int mode) {
  if (mode != OPAQUE && mode != TRANSPARENT) return 0;
  return std::exchange(bkMode_, mode);
}

int DC::SetPolyFillMode(int mode) {
  if (mode != ALTERNATE && mode != WINDING) return 0;
  return std::exchange(polyFillMode_, mode);
}

int DC::SelectClipRgn(const Region* region) {
  if (!region) {
    clip_.reset();
    return SIMPLEREGION;
  }
  clip_ = region->Pixels();
  return region->Kind();
}

bool DC::GetClipRgn(Region* region) const {
  if (!clip_) return false;
  if (region) *region = Region(*clip_);
  return true;
}

POINT DC::MoveTo(int x, int y) {
  dashPhase_ = 0;
  return std::exchange(pos_, POINT{x, y});
}

// ---- where drawing may land ----

QRect DC::VisibleBox(const QRect& area) const {
  if (!surface_) return QRect();
  QRect box = area & surface_->Bounds();
  if (clip_) box &= clip_->boundingRect();
  return box;
}

bool DC::Visible(int x, int y) const {
  if (!surface_ || !surface_->Bounds().contains(x, y)) return false;
  return !clip_ || clip_->contains(QPoint(x, y));
}

void DC::FillPixels(QImage& image, const QRect& area, COLORREF colour) const {
  const QRgb pixel = ToPixel(colour);
  ForEachVisibleRect(area & image.rect(), [&](const QRect& r) {
    for (int y = r.top(); y <= r.bottom(); ++y) std::fill_n(PixelRow(image, y) + r.left(), r.width(), pixel);
  });
}

void DC::FillRegionPixels(const QRegion& pixels, COLORREF colour) {
  Paint(pixels.boundingRect(), [&](QImage& image, const QRect& visible) {
    const QRgb pixel = ToPixel(colour);
    QRegion area = pixels & visible;
    if (clip_) area &= *clip_;
    for (const QRect& r : area)
      for (int y = r.top(); y <= r.bottom(); ++y) std::fill_n(PixelRow(image, y) + r.left(), r.width(), pixel);
    return area.boundingRect();
  });
}

// ---- lines ----

void DC::ThinLines(const POINT* points, int count, bool closed, int64_t* phase) {
  const int segments = closed ? count : count - 1;
  if (segments <= 0) return;
  const std::vector<int>* dashes = DashesOf(pen_.style);
  const QRgb ink = ToPixel(pen_.colour), gap = ToPixel(bkColour_);
  const bool paintGaps = bkMode_ == OPAQUE;
  Paint(PointsBox(points, count), [&](QImage& image, const QRect& visible) {
    uchar* const bits = image.bits();
    const qsizetype stride = image.bytesPerLine();
    const QRegion* clip = clip_ ? &*clip_ : nullptr;
    QRect changed;
    for (int i = 0; i < segments; ++i) {
      const POINT& a = points[i];
      const POINT& b = points[(i + 1) % count];
      const int64_t base = *phase;
      *phase += StepLine(Clamp(a.x), Clamp(a.y), Clamp(b.x), Clamp(b.y), visible, [&](int x, int y, int64_t step) {
        if (clip && !clip->contains(QPoint(x, y))) return;
        const bool on = !dashes || DashOn(*dashes, base + step);
        if (!on && !paintGaps) return;
        reinterpret_cast<QRgb*>(bits + y * stride)[x] = on ? ink : gap;
      }, &changed);
    }
    return changed;
  });
}

void DC::WideLines(const POINT* points, int count, bool closed) {
  const int segments = closed ? count : count - 1;
  if (segments <= 0) return;
  const int width = pen_.width;
  // Round ends and joins: the stroke is the union of round-capped segments,
  // so each segment may be clipped to the visible box widened by the pen.
  QRect area = PointsBox(points, count).adjusted(-width, -width, width, width);
  Paint(area, [&](QImage& image, const QRect& visible) {
    const QRectF reach = QRectF(visible).adjusted(-width, -width, width, width);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing, false);
    if (clip_) painter.setClipRegion(*clip_);
    painter.setPen(QPen(ToQColor(pen_.colour), width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    QRect changed;
    for (int i = 0; i < segments; ++i) {
      const POINT& a = points[i];
      const POINT& b = points[(i + 1) % count];
      if (a.x == b.x && a.y == b.y) continue;
      // Pixel (x, y) is the square whose centre is (x + 0.5, y + 0.5).
      QPointF from(Clamp(a.x) + 0.5, Clamp(a.y) + 0.5), to(Clamp(b.x) + 0.5, Clamp(b.y) + 0.5);
      if (!ClipSegment(from, to, reach)) continue;
      painter.drawLine(QLineF(from, to));
      changed |= QRectF(from, to).normalized().toAlignedRect().adjusted(-width, -width, width, width);
    }
    return changed;
  });
}

void DC::Outline(const POINT* points, int count, bool closed, int64_t* phase) {
  if (pen_.IsNull() || count <= 0) return;
  if (pen_.IsWide())
    WideLines(points, count, closed);
  else
    ThinLines(points, count, closed, phase);
}

BOOL DC::LineTo(int x, int y) {
  const POINT line[2] = {pos_, POINT{x, y}};
  pos_ = line[1];
  if (!surface_) return FALSE;
  Outline(line, 2, false, &dashPhase_);
  return TRUE;
}

BOOL DC::Polyline(const POINT* points, int count) {
  if (!surface_ || !points || count < 0) return FALSE;
  int64_t phase = 0;
  Outline(points, count, false, &phase);
  return TRUE;
}

BOOL DC::Polygon(const POINT* points, int count) {
  if (!surface_ || !points || count < 0) return FALSE;
  if (!brush_.IsNull()) {
    QRegion pixels;
    if (!PolygonPixels(points, count, polyFillMode_, &pixels)) return FALSE;
    FillRegionPixels(pixels, brush_.colour);
  }
  int64_t phase = 0;
  Outline(points, count, true, &phase);
  return TRUE;
}

// ---- shapes ----

BOOL DC::Rectangle(int left, int top, int right, int bottom) {
  if (!surface_) return FALSE;
  const QRect box = Normalised(left, top, right, bottom);
  if (box.isEmpty()) return TRUE;
  if (!brush_.IsNull()) {
    // The interior; with no pen the fill stops one pixel short of the right
    // and bottom edges, as GDI's does.
    const QRect inside = pen_.IsNull() ? box.adjusted(0, 0, -1, -1) : box.adjusted(1, 1, -1, -1);
    Paint(inside, [&](QImage& image, const QRect& visible) {
      FillPixels(image, visible, brush_.colour);
      return visible;
    });
  }
  const POINT corners[4] = {{box.left(), box.top()},
                            {box.right(), box.top()},
                            {box.right(), box.bottom()},
                            {box.left(), box.bottom()}};
  int64_t phase = 0;
  Outline(corners, 4, true, &phase);
  return TRUE;
}

BOOL DC::Ellipse(int left, int top, int right, int bottom) {
  if (!surface_) return FALSE;
  const QRect box = Normalised(left, top, right, bottom);
  if (box.isEmpty()) return TRUE;
  const bool wide = pen_.IsWide() && !pen_.IsNull();
  // The curve through the centres of the box's outermost pixels.
  const QRectF curve = QRectF(box).adjusted(0.5, 0.5, -0.5, -0.5);
  const int reach = wide ? pen_.width : 0;
  Paint(box.adjusted(-reach, -reach, reach, reach), [&](QImage& image, const QRect& visible) {
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing, false);
    if (clip_) painter.setClipRegion(*clip_);
    if (!wide) painter.setClipRect(box, clip_ ? Qt::IntersectClip : Qt::ReplaceClip);
    if (!brush_.IsNull()) {
      painter.setPen(Qt::NoPen);
      painter.setBrush(ToQColor(brush_.colour));
      painter.drawEllipse(pen_.IsNull() ? curve.adjusted(0, 0, -1, -1) : curve);
    }
    if (!pen_.IsNull()) {
      painter.setBrush(Qt::NoBrush);
      QPen pen(ToQColor(pen_.colour), wide ? pen_.width : 0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
      if (!wide) {
        if (const std::vector<int>* dashes = DashesOf(pen_.style)) {
          pen.setDashPattern(QList<qreal>(dashes->begin(), dashes->end()));
          if (bkMode_ == OPAQUE) {
            painter.setBackgroundMode(Qt::OpaqueMode);
            painter.setBackground(ToQColor(bkColour_));
          }
        }
      }
      painter.setPen(pen);
      painter.drawEllipse(curve);
    }
    return box.adjusted(-reach, -reach, reach, reach) & visible;
  });
  return TRUE;
}

BOOL DC::FillRect(const RECT& rect, const Brush& brush) {
  if (!surface_) return FALSE;
  if (brush.IsNull()) return TRUE;
  Paint(Normalised(rect.left, rect.top, rect.right, rect.bottom), [&](QImage& image, const QRect& visible) {
    FillPixels(image, visible, brush.colour);
    return visible;
  });
  return TRUE;
}

BOOL DC::FrameRect(const RECT& rect, const Brush& brush) {
  if (!surface_) return FALSE;
  const QRect box = Normalised(rect.left, rect.top, rect.right, rect.bottom);
  if (brush.IsNull() || box.isEmpty()) return TRUE;
  const QRect sides[4] = {QRect(box.left(), box.top(), box.width(), 1), QRect(box.left(), box.bottom(), box.width(), 1),
                          QRect(box.left(), box.top(), 1, box.height()),
                          QRect(box.right(), box.top(), 1, box.height())};
  for (const QRect& side : sides)
    Paint(side, [&](QImage& image, const QRect& visible) {
      FillPixels(image, visible, brush.colour);
      return visible;
    });
  return TRUE;
}

COLORREF DC::SetPixel(int x, int y, COLORREF colour) {
  if (!Visible(x, y)) return CLR_INVALID;
  colour &= 0xFFFFFF;
  Paint(QRect(x, y, 1, 1), [&](QImage& image, const QRect& visible) {
    if (visible.isEmpty()) return QRect();
    PixelRow(image, y)[x] = ToPixel(colour);
    return visible;
  });
  return colour;
}

COLORREF DC::GetPixel(int x, int y) const {
  if (!Visible(x, y)) return CLR_INVALID;
  const QImage pixel = surface_->Read(QRect(x, y, 1, 1));
  if (pixel.isNull()) return CLR_INVALID;
  return FromPixel(pixel.pixel(0, 0));
}

// ---- regions ----

BOOL DC::PaintRgn(const Region& region) { return FillRgn(region, brush_); }

BOOL DC::FillRgn(const Region& region, const Brush& brush) {
  if (!surface_) return FALSE;
  if (!brush.IsNull()) FillRegionPixels(region.Pixels(), brush.colour);
  return TRUE;
}

BOOL DC::FrameRgn(const Region& region, const Brush& brush, int width, int height) {
  if (!surface_ || width < 1 || height < 1) return FALSE;
  width = std::min<int>(width, kCoordinateLimit), height = std::min<int>(height, kCoordinateLimit);
  const QRegion& r = region.Pixels();
  const QRegion inner = r & r.translated(width, 0) & r.translated(-width, 0) & r.translated(0, height) &
                        r.translated(0, -height);
  if (!brush.IsNull()) FillRegionPixels(r - inner, brush.colour);
  return TRUE;
}

}  // namespace gdi
