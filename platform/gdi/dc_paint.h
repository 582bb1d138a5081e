// Private to the DC's sources: how an operation reaches the pixels.
#pragma once
#include <QImage>

#include "platform/gdi/dc.h"

namespace gdi {

// Runs `draw(image, visible)` on the surface when some of `area` can be
// seen; `visible` is area within the surface and the clip region's box, and
// `draw` returns the rectangle it changed.
template <class Draw>
void DC::Paint(const QRect& area, Draw draw) {
  if (!surface_) return;
  const QRect visible = VisibleBox(area);
  if (visible.isEmpty()) return;
  surface_->Draw([&](QImage& image) -> QRect { return draw(image, visible & image.rect()); });
}

// Calls fill(rect) for each rectangle of `area` that may be drawn on: the
// area itself, or its parts inside the clip region.
template <class Fill>
void DC::ForEachVisibleRect(const QRect& area, Fill fill) const {
  if (area.isEmpty()) return;
  if (!clip_) {
    fill(area);
    return;
  }
  for (const QRect& r : *clip_) {
    const QRect part = r & area;
    if (!part.isEmpty()) fill(part);
  }
}

inline QRgb* PixelRow(QImage& image, int y) { return reinterpret_cast<QRgb*>(image.scanLine(y)); }

}  // namespace gdi
