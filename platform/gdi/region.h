// A region: a set of pixels in device coordinates (a QRegion underneath).
// Painting a region sets exactly its pixels, PtInRegion is true exactly for
// them and its box is their bounding box, whatever made the region.
#pragma once
#include <QRegion>

#include "platform/windef.h"

namespace gdi {

class Region {
 public:
  Region() = default;
  explicit Region(const QRegion& pixels) : pixels_(pixels) {}

  // The pixels left..right-1 x top..bottom-1; inverted corners are swapped.
  void SetRect(int left, int top, int right, int bottom);
  void SetRect(const RECT& r) { SetRect(r.left, r.top, r.right, r.bottom); }
  // The pixels of the polygon under ALTERNATE or WINDING (see
  // polygon_fill.h). False, region unchanged, for a bad mode or a polygon
  // too large to hold.
  bool SetPolygon(const POINT* points, int count, int fillMode);

  // *this := a op b with RGN_AND, RGN_OR, RGN_XOR, RGN_DIFF or RGN_COPY (a);
  // the result's kind, or ERROR (region unchanged) for another mode.
  int Combine(const Region& a, const Region& b, int mode);
  int Offset(int dx, int dy);
  // Bounding box, right/bottom exclusive; all zero for an empty region.
  int GetBox(RECT* box) const;
  bool Contains(int x, int y) const { return pixels_.contains(QPoint(x, y)); }
  bool Equals(const Region& other) const { return (pixels_ ^ other.pixels_).isEmpty(); }
  // NULLREGION, SIMPLEREGION (one rectangle) or COMPLEXREGION.
  int Kind() const;

  const QRegion& Pixels() const { return pixels_; }

 private:
  QRegion pixels_;
};

}  // namespace gdi
