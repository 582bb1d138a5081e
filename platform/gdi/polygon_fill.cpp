#include "platform/gdi/polygon_fill.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace gdi {
namespace {

// Work limits: rows stepped one at a time, and rectangles held.
constexpr int64_t kMaxRows = int64_t(1) << 22;
constexpr size_t kMaxRects = size_t(1) << 22;

struct Edge {
  int64_t xTop, yTop, xBottom, yBottom;  // yTop < yBottom; the edge covers rows yTop..yBottom-1
  int direction;                         // +1 downwards in the outline's order, -1 upwards
};

struct Crossing {
  int64_t x;  // first pixel column at or right of the edge on this row
  int direction;
  bool operator<(const Crossing& o) const { return x < o.x; }
};

int64_t Clamp(LONG v) { return std::clamp<int64_t>(v, -kCoordinateLimit, kCoordinateLimit); }

int64_t CeilDiv(int64_t num, int64_t den) {  // den > 0
  int64_t q = num / den;
  return (num % den != 0 && num > 0) ? q + 1 : q;
}

// Column of the first pixel whose point is at or right of the edge on row y.
int64_t CrossingX(const Edge& e, int64_t y) {
  const int64_t den = e.yBottom - e.yTop;
  return CeilDiv(e.xTop * den + (y - e.yTop) * (e.xBottom - e.xTop), den);
}

using Spans = std::vector<int64_t>;  // pairs [begin, end) in ascending order

void RowSpans(const std::vector<const Edge*>& active, int64_t y, bool winding, std::vector<Crossing>& crossings,
              Spans& spans) {
  crossings.clear();
  for (const Edge* e : active) crossings.push_back({CrossingX(*e, y), e->direction});
  std::sort(crossings.begin(), crossings.end());
  spans.clear();
  int count = 0;
  for (size_t i = 0; i + 1 < crossings.size(); ++i) {
    count += winding ? crossings[i].direction : 1;
    const bool inside = winding ? count != 0 : (count & 1) != 0;
    const int64_t begin = crossings[i].x, end = crossings[i + 1].x;
    if (!inside || end <= begin) continue;
    if (!spans.empty() && spans.back() >= begin) {
      spans.back() = std::max(spans.back(), end);
    } else {
      spans.push_back(begin);
      spans.push_back(end);
    }
  }
}

}  // namespace

bool PolygonPixels(const POINT* points, int count, int fillMode, QRegion* out) {
  if (fillMode != ALTERNATE && fillMode != WINDING) return false;
  if (!points || count < 3) {
    *out = QRegion();
    return true;
  }
  std::vector<Edge> edges;
  edges.reserve(count);
  for (int i = 0; i < count; ++i) {
    const POINT& a = points[i];
    const POINT& b = points[(i + 1) % count];
    const int64_t ax = Clamp(a.x), ay = Clamp(a.y), bx = Clamp(b.x), by = Clamp(b.y);
    if (ay == by) continue;  // horizontal edges cross no row
    if (ay < by)
      edges.push_back({ax, ay, bx, by, +1});
    else
      edges.push_back({bx, by, ax, ay, -1});
  }
  std::sort(edges.begin(), edges.end(), [](const Edge& l, const Edge& r) { return l.yTop < r.yTop; });

  const bool winding = fillMode == WINDING;
  std::vector<QRect> rects;
  std::vector<const Edge*> active;
  std::vector<Crossing> crossings;
  Spans spans, bandSpans;
  int64_t bandTop = 0, bandBottom = 0;
  int64_t steppedRows = 0;

  auto flushBand = [&]() -> bool {
    for (size_t i = 0; i < bandSpans.size(); i += 2)
      rects.push_back(QRect(int(bandSpans[i]), int(bandTop), int(bandSpans[i + 1] - bandSpans[i]),
                            int(bandBottom - bandTop)));
    bandSpans.clear();
    return rects.size() <= kMaxRects;
  };

  size_t next = 0;
  int64_t y = edges.empty() ? 0 : edges.front().yTop;
  while (next < edges.size() || !active.empty()) {
    while (next < edges.size() && edges[next].yTop <= y) active.push_back(&edges[next++]);
    active.erase(std::remove_if(active.begin(), active.end(), [y](const Edge* e) { return e->yBottom <= y; }),
                 active.end());
    if (active.empty()) {
      if (next == edges.size()) break;
      y = edges[next].yTop;
      continue;
    }
    // Rows up to the next vertex keep the same edges; when they are all
    // vertical the rows are alike and are taken in one step.
    int64_t until = next < edges.size() ? edges[next].yTop : INT64_MAX;
    bool vertical = true;
    for (const Edge* e : active) {
      until = std::min(until, e->yBottom);
      vertical = vertical && e->xTop == e->xBottom;
    }
    const int64_t rows = vertical ? until - y : 1;
    if (!vertical && ++steppedRows > kMaxRows) return false;

    RowSpans(active, y, winding, crossings, spans);
    if (spans.empty() || spans != bandSpans || bandBottom != y) {
      if (!flushBand()) return false;
      bandSpans = spans;
      bandTop = y;
    }
    bandBottom = y + rows;
    y += rows;
  }
  if (!flushBand()) return false;

  QRegion region;
  if (!rects.empty()) region.setRects(rects.data(), int(rects.size()));
  *out = region;
  return true;
}

}  // namespace gdi
