// Regions: one pixel set for painting, hit testing and boxes.
#include "platform/gdi/region.h"

#include <gtest/gtest.h>

#include <chrono>
#include <random>
#include <vector>

#include "platform/gdi/dc.h"
#include "pixels.h"

using gdi::Region;
using gdi_test::PixelSet;

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255), kInk = RGB(0, 0, 0);

// Geometry: pixel (x, y) is the point (x, y); a point on an edge counts when
// the inside is to its right (below, for a horizontal edge). Shifting the
// point right by e and down by e*e, e tiny, decides both.
bool Inside(const std::vector<POINT>& poly, int px, int py, int mode) {
  const double x = px + 1e-4, y = py + 1e-9;
  int winding = 0, crossings = 0;
  for (size_t i = 0; i < poly.size(); ++i) {
    const POINT a = poly[i], b = poly[(i + 1) % poly.size()];
    if ((a.y <= y) == (b.y <= y)) continue;
    const double t = (y - a.y) / double(b.y - a.y);
    if (a.x + t * (b.x - a.x) > x) {
      winding += b.y > a.y ? 1 : -1;
      ++crossings;
    }
  }
  return mode == WINDING ? winding != 0 : (crossings & 1) != 0;
}

PixelSet Geometric(const std::vector<POINT>& poly, int mode, int lo, int hi) {
  PixelSet s;
  for (int y = lo; y < hi; ++y)
    for (int x = lo; x < hi; ++x)
      if (Inside(poly, x, y, mode)) s.insert({x, y});
  return s;
}

PixelSet HitTest(const Region& r, int lo, int hi) {
  PixelSet s;
  for (int y = lo; y < hi; ++y)
    for (int x = lo; x < hi; ++x)
      if (r.Contains(x, y)) s.insert({x, y});
  return s;
}

// The region painted on a bitmap whose origin is at (lo, lo).
PixelSet Painted(const Region& r, int lo, int hi) {
  gdi::Bitmap b = gdi_test::Filled(hi - lo, hi - lo, kWhite);
  gdi::DC dc(&b);
  dc.SelectBrush(gdi::SolidBrush(kInk));
  Region shifted = r;
  shifted.Offset(-lo, -lo);
  dc.PaintRgn(shifted);
  PixelSet s;
  for (auto [x, y] : gdi_test::PixelsOf(b, kInk)) s.insert({x + lo, y + lo});
  return s;
}

RECT BoxOf(const PixelSet& s) {
  if (s.empty()) return RECT{0, 0, 0, 0};
  RECT r{INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN};
  for (auto [x, y] : s)
    r.left = std::min<LONG>(r.left, x), r.top = std::min<LONG>(r.top, y), r.right = std::max<LONG>(r.right, x + 1),
    r.bottom = std::max<LONG>(r.bottom, y + 1);
  return r;
}

bool operator==(const RECT& a, const RECT& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

// Painting, hit testing and the box agree with each other and with geometry.
void ExpectOneRule(const std::vector<POINT>& poly, int mode, int lo = -5, int hi = 45) {
  Region r;
  ASSERT_TRUE(r.SetPolygon(poly.data(), int(poly.size()), mode));
  const PixelSet expected = Geometric(poly, mode, lo, hi);
  EXPECT_EQ(HitTest(r, lo, hi), expected) << gdi_test::Describe(expected);
  EXPECT_EQ(Painted(r, lo, hi), expected);
  RECT box;
  const int kind = r.GetBox(&box);
  EXPECT_TRUE(box == BoxOf(expected)) << box.left << "," << box.top << "," << box.right << "," << box.bottom;
  EXPECT_EQ(kind == NULLREGION, expected.empty());
  EXPECT_EQ(kind == SIMPLEREGION, !expected.empty() && expected == gdi_test::RectPixels(box.left, box.top, box.right, box.bottom));
  // A filled polygon takes the same pixels.
  gdi::Bitmap b = gdi_test::Filled(hi - lo, hi - lo, kWhite);
  gdi::DC dc(&b);
  dc.SelectPen(gdi::Pen{PS_NULL, 1, kInk});
  dc.SelectBrush(gdi::SolidBrush(kInk));
  dc.SetPolyFillMode(mode);
  std::vector<POINT> moved = poly;
  for (POINT& p : moved) p.x -= lo, p.y -= lo;
  dc.Polygon(moved.data(), int(moved.size()));
  PixelSet filled;
  for (auto [x, y] : gdi_test::PixelsOf(b, kInk)) filled.insert({x + lo, y + lo});
  EXPECT_EQ(filled, expected);
}

}  // namespace

TEST(PolygonRegion, RectanglePolygonIsExactlyTheRectangle) {
  const std::vector<std::vector<POINT>> shapes = {
      {{3, 4}, {17, 4}, {17, 12}, {3, 12}},            // clockwise
      {{3, 4}, {3, 12}, {17, 12}, {17, 4}},            // counter-clockwise
      {{17, 12}, {3, 12}, {3, 4}, {17, 4}},            // other start
      {{3, 4}, {17, 4}, {17, 12}, {3, 12}, {3, 4}},    // closing point repeated
      {{3, 4}, {10, 4}, {17, 4}, {17, 12}, {3, 12}},   // point on an edge
  };
  Region rect;
  rect.SetRect(3, 4, 17, 12);
  for (const auto& s : shapes)
    for (int mode : {ALTERNATE, WINDING}) {
      Region r;
      ASSERT_TRUE(r.SetPolygon(s.data(), int(s.size()), mode));
      EXPECT_TRUE(r.Equals(rect));
      EXPECT_EQ(r.Kind(), SIMPLEREGION);
      RECT box;
      r.GetBox(&box);
      EXPECT_TRUE(box == (RECT{3, 4, 17, 12}));
      EXPECT_TRUE(r.Contains(3, 4));
      EXPECT_TRUE(r.Contains(16, 11));
      EXPECT_FALSE(r.Contains(17, 11));
      EXPECT_FALSE(r.Contains(16, 12));
    }
}

TEST(PolygonRegion, PaintingHitTestAndBoxAgreeWithGeometry) {
  const std::vector<std::vector<POINT>> shapes = {
      {{0, 0}, {20, 0}, {0, 20}},                                   // triangle
      {{2, 30}, {18, 3}, {33, 37}},                                 // slanted triangle
      {{5, 5}, {35, 5}, {35, 12}, {14, 12}, {14, 35}, {5, 35}},     // concave L
      {{20, 2}, {38, 38}, {20, 25}, {2, 38}},                       // arrow head
      {{20, 0}, {32, 36}, {1, 13}, {39, 13}, {8, 36}},              // self-intersecting star
      {{4, 4}, {4, 4}, {30, 9}, {30, 9}, {12, 33}, {4, 4}},         // repeated points
      {{5, 5}, {25, 5}, {25, 5}, {25, 25}, {25, 25}, {5, 25}},      // zero-length edges
      {{10, 10}, {30, 10}, {20, 10}, {20, 30}},                     // zero-area spike
  };
  for (const auto& s : shapes)
    for (int mode : {ALTERNATE, WINDING}) ExpectOneRule(s, mode);
}

TEST(PolygonRegion, StarCentreFilledOnlyUnderWinding) {
  const std::vector<POINT> star = {{20, 0}, {32, 36}, {1, 13}, {39, 13}, {8, 36}};
  Region winding, alternate;
  ASSERT_TRUE(winding.SetPolygon(star.data(), 5, WINDING));
  ASSERT_TRUE(alternate.SetPolygon(star.data(), 5, ALTERNATE));
  EXPECT_TRUE(winding.Contains(20, 20));
  EXPECT_FALSE(alternate.Contains(20, 20));
  EXPECT_TRUE(winding.Contains(20, 5) && alternate.Contains(20, 5));  // a tip
  Region centre;
  EXPECT_NE(centre.Combine(winding, alternate, RGN_DIFF), NULLREGION);
  EXPECT_TRUE(centre.Contains(20, 20));
}

TEST(PolygonRegion, PolygonsSharingAnEdgeShareNoPixel) {
  // Two triangles making a square, and four around a centre point.
  const std::vector<std::vector<std::vector<POINT>>> tilings = {
      {{{0, 0}, {23, 0}, {23, 17}}, {{0, 0}, {23, 17}, {0, 17}}},
      {{{0, 0}, {30, 0}, {13, 11}}, {{30, 0}, {30, 30}, {13, 11}}, {{30, 30}, {0, 30}, {13, 11}},
       {{0, 30}, {0, 0}, {13, 11}}},
  };
  for (const auto& tiles : tilings) {
    Region all;
    size_t total = 0;
    for (const auto& t : tiles) {
      Region r;
      ASSERT_TRUE(r.SetPolygon(t.data(), int(t.size()), ALTERNATE));
      Region overlap;
      EXPECT_EQ(overlap.Combine(all, r, RGN_AND), NULLREGION);
      total += HitTest(r, -2, 40).size();
      all.Combine(all, r, RGN_OR);
    }
    RECT box;
    all.GetBox(&box);
    Region square;
    square.SetRect(box);
    EXPECT_TRUE(all.Equals(square));
    EXPECT_EQ(total, size_t((box.right - box.left) * (box.bottom - box.top)));
  }
}

TEST(PolygonRegion, RandomPolygonsFollowTheRule) {
  std::mt19937 random(7);
  std::uniform_int_distribution<int> coord(-3, 33), count(3, 9);
  for (int i = 0; i < 300; ++i) {
    std::vector<POINT> poly(count(random));
    for (POINT& p : poly) p = POINT{coord(random), coord(random)};
    Region r;
    const int mode = i % 2 ? WINDING : ALTERNATE;
    ASSERT_TRUE(r.SetPolygon(poly.data(), int(poly.size()), mode));
    ASSERT_EQ(HitTest(r, -5, 40), Geometric(poly, mode, -5, 40)) << "polygon " << i;
  }
}

TEST(PolygonRegion, DegenerateAndHostileInput) {
  const POINT two[] = {{0, 0}, {5, 5}};
  Region r;
  r.SetRect(0, 0, 3, 3);
  EXPECT_TRUE(r.SetPolygon(two, 2, WINDING));
  EXPECT_EQ(r.Kind(), NULLREGION);
  EXPECT_TRUE(r.SetPolygon(nullptr, 0, WINDING));
  EXPECT_EQ(r.Kind(), NULLREGION);
  const POINT tri[] = {{0, 0}, {5, 0}, {0, 5}};
  EXPECT_FALSE(r.SetPolygon(tri, 3, 7));  // no such fill mode
  // Huge coordinates are clamped to the device range.
  const POINT huge[] = {{INT32_MIN, INT32_MIN}, {INT32_MAX, INT32_MIN}, {INT32_MAX, INT32_MAX}, {INT32_MIN, INT32_MAX}};
  ASSERT_TRUE(r.SetPolygon(huge, 4, ALTERNATE));
  EXPECT_EQ(r.Kind(), SIMPLEREGION);
  EXPECT_TRUE(r.Contains(0, 0));
  // A slanted polygon too tall to hold as a pixel set is refused at once.
  Region before;
  before.SetRect(1, 1, 2, 2);
  Region tall = before;
  const POINT sliver[] = {{0, INT32_MIN}, {3, INT32_MAX}, {0, INT32_MAX}};
  const auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(tall.SetPolygon(sliver, 3, WINDING));
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20));
  EXPECT_TRUE(tall.Equals(before));
}

TEST(CombineRgn, ResultsAndKinds) {
  Region a, b, touching, far;
  a.SetRect(0, 0, 10, 10);
  b.SetRect(5, 5, 15, 15);
  touching.SetRect(10, 0, 20, 10);
  far.SetRect(30, 30, 40, 40);
  struct Case {
    const Region& x;
    const Region& y;
    int mode, kind;
    RECT box;
    int pixels;
  } cases[] = {
      {a, b, RGN_AND, SIMPLEREGION, {5, 5, 10, 10}, 25},
      {a, far, RGN_AND, NULLREGION, {0, 0, 0, 0}, 0},
      {a, b, RGN_OR, COMPLEXREGION, {0, 0, 15, 15}, 175},
      {a, touching, RGN_OR, SIMPLEREGION, {0, 0, 20, 10}, 200},
      {a, b, RGN_XOR, COMPLEXREGION, {0, 0, 15, 15}, 150},
      {a, a, RGN_XOR, NULLREGION, {0, 0, 0, 0}, 0},
      {a, b, RGN_DIFF, COMPLEXREGION, {0, 0, 10, 10}, 75},
      {a, touching, RGN_DIFF, SIMPLEREGION, {0, 0, 10, 10}, 100},
      {b, far, RGN_COPY, SIMPLEREGION, {5, 5, 15, 15}, 100},
  };
  for (const Case& c : cases) {
    Region r;
    EXPECT_EQ(r.Combine(c.x, c.y, c.mode), c.kind) << c.mode;
    RECT box;
    EXPECT_EQ(r.GetBox(&box), c.kind);
    EXPECT_TRUE(box == c.box) << c.mode;
    EXPECT_EQ(HitTest(r, -1, 41).size(), size_t(c.pixels)) << c.mode;
  }
  Region r = a;
  EXPECT_EQ(r.Combine(a, b, 99), ERROR);
  EXPECT_TRUE(r.Equals(a));
  // In place, as the class library's bands are built.
  Region band = a;
  Region moved = a;
  moved.Offset(2, 2);
  EXPECT_EQ(band.Combine(band, moved, RGN_DIFF), COMPLEXREGION);
  EXPECT_EQ(HitTest(band, -1, 15).size(), size_t(100 - 64));
}

TEST(Region, OffsetBoxesAndEquality) {
  Region r;
  r.SetRect(10, 20, 3, 5);  // inverted corners are swapped
  RECT box;
  EXPECT_EQ(r.GetBox(&box), SIMPLEREGION);
  EXPECT_TRUE(box == (RECT{3, 5, 10, 20}));
  EXPECT_EQ(r.Offset(-3, 10), SIMPLEREGION);
  r.GetBox(&box);
  EXPECT_TRUE(box == (RECT{0, 15, 7, 30}));
  EXPECT_TRUE(r.Contains(0, 15));
  EXPECT_FALSE(r.Contains(7, 15));
  // Same pixels made two ways are equal.
  Region left, right, joined, whole;
  left.SetRect(0, 15, 4, 30);
  right.SetRect(4, 15, 7, 30);
  joined.Combine(left, right, RGN_OR);
  EXPECT_TRUE(joined.Equals(r));
  whole.SetRect(0, 15, 8, 30);
  EXPECT_FALSE(whole.Equals(r));
  Region empty;
  EXPECT_EQ(empty.GetBox(&box), NULLREGION);
  EXPECT_TRUE(box == (RECT{0, 0, 0, 0}));
  EXPECT_EQ(empty.Offset(5, 5), NULLREGION);
  r.Offset(INT32_MAX, INT32_MAX);  // kept in range, no overflow
  EXPECT_EQ(r.Kind(), SIMPLEREGION);
}

TEST(FrameRgn, BandsAlongTheEdges) {
  gdi::Bitmap b = gdi_test::Filled(30, 30, kWhite);
  gdi::DC dc(&b);
  Region r;
  r.SetRect(5, 5, 25, 20);
  EXPECT_TRUE(dc.FrameRgn(r, gdi::SolidBrush(kInk), 2, 1));
  PixelSet expected = gdi_test::RectPixels(5, 5, 25, 20);
  for (auto p : gdi_test::RectPixels(7, 6, 23, 19)) expected.erase(p);
  EXPECT_EQ(gdi_test::PixelsOf(b, kInk), expected);
  EXPECT_FALSE(dc.FrameRgn(r, gdi::SolidBrush(kInk), 0, 1));
  // FillRgn with a clear brush paints nothing.
  gdi::Bitmap c = gdi_test::Filled(30, 30, kWhite);
  gdi::DC dc2(&c);
  EXPECT_TRUE(dc2.FillRgn(r, gdi::NullBrush()));
  EXPECT_TRUE(gdi_test::PixelsNot(c, kWhite).empty());
}
