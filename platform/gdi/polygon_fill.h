// The pixels of a polygon, one rule for every user (painting a polygon
// region, hit tests, region boxes, filled polygons): pixel (x, y) belongs to
// the polygon when the point (x, y) lies inside it under the fill mode; a
// point on an edge belongs to it when the inside lies to its right, or below
// it on a horizontal edge (the top-left rule). So the rectangle polygon
// (l,t),(r,t),(r,b),(l,b) is exactly the pixels l..r-1, t..b-1, and polygons
// sharing an edge share no pixel.
#pragma once
#include <QRegion>

#include "platform/windef.h"

namespace gdi {

// Coordinates are clamped to +-2^27 (the range of device coordinates).
inline constexpr LONG kCoordinateLimit = 1 << 27;

// The pixel set of the polygon (closed implicitly; repeated points and
// zero-area parts are harmless) under ALTERNATE or WINDING. Fewer than three
// points give an empty set. False, `out` untouched, for a bad fill mode or a
// polygon too large to hold as a pixel set.
bool PolygonPixels(const POINT* points, int count, int fillMode, QRegion* out);

}  // namespace gdi
