// One-pixel and wide lines.
#include <gtest/gtest.h>

#include <cmath>

#include "platform/gdi/dc.h"
#include "pixels.h"

using gdi::Bitmap;
using gdi::DC;
using gdi_test::PixelSet;

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255), kInk = RGB(200, 0, 0), kBack = RGB(0, 0, 200);

PixelSet DrawLine(int w, int h, int x0, int y0, int x1, int y1, gdi::Pen pen = gdi::SolidPen(kInk)) {
  Bitmap b = gdi_test::Filled(w, h, kWhite);
  DC dc(&b);
  dc.SelectPen(pen);
  dc.MoveTo(x0, y0);
  dc.LineTo(x1, y1);
  return gdi_test::PixelsNot(b, kWhite);
}

double DistanceToSegment(double px, double py, double x0, double y0, double x1, double y1) {
  const double dx = x1 - x0, dy = y1 - y0, len2 = dx * dx + dy * dy;
  double t = len2 == 0 ? 0 : ((px - x0) * dx + (py - y0) * dy) / len2;
  t = std::clamp(t, 0.0, 1.0);
  return std::hypot(px - (x0 + t * dx), py - (y0 + t * dy));
}

}  // namespace

TEST(LineTo, LeavesOutTheEndPixelAndMovesThePosition) {
  struct Case {
    int x0, y0, x1, y1;
    PixelSet expected;
  } cases[] = {
      {2, 5, 8, 5, gdi_test::RectPixels(2, 5, 8, 6)},        // right
      {8, 5, 2, 5, gdi_test::RectPixels(3, 5, 9, 6)},        // left: 8 down to 3
      {4, 1, 4, 7, gdi_test::RectPixels(4, 1, 5, 7)},        // down
      {4, 7, 4, 1, gdi_test::RectPixels(4, 2, 5, 8)},        // up
      {1, 1, 5, 5, {{1, 1}, {2, 2}, {3, 3}, {4, 4}}},        // 45 degrees
      {6, 6, 6, 6, {}},                                      // no length, nothing
  };
  for (const Case& c : cases) {
    EXPECT_EQ(DrawLine(12, 10, c.x0, c.y0, c.x1, c.y1), c.expected)
        << c.x0 << "," << c.y0 << " -> " << c.x1 << "," << c.y1;
  }
  Bitmap b(10, 10);
  DC dc(&b);
  dc.MoveTo(1, 2);
  dc.LineTo(7, 3);
  EXPECT_EQ(dc.GetCurrentPosition().x, 7);
  EXPECT_EQ(dc.GetCurrentPosition().y, 3);
}

TEST(LineTo, SlantedLinesStepOnePixelPerColumnAlongTheLine) {
  const struct {
    int x0, y0, x1, y1;
  } lines[] = {{0, 0, 17, 5}, {3, 19, 15, 2}, {18, 1, 1, 7}, {9, 0, 2, 19}, {0, 10, 19, 11}};
  for (const auto& l : lines) {
    const PixelSet got = DrawLine(20, 20, l.x0, l.y0, l.x1, l.y1);
    const bool xMajor = std::abs(l.x1 - l.x0) >= std::abs(l.y1 - l.y0);
    const int steps = xMajor ? std::abs(l.x1 - l.x0) : std::abs(l.y1 - l.y0);
    EXPECT_EQ(int(got.size()), steps);
    EXPECT_TRUE(got.count({l.x0, l.y0}));
    EXPECT_FALSE(got.count({l.x1, l.y1}));
    std::set<int> majors;
    for (auto [x, y] : got) {
      majors.insert(xMajor ? x : y);
      // Each pixel is the line's nearest one on its column (row).
      EXPECT_LE(DistanceToSegment(x, y, l.x0, l.y0, l.x1, l.y1), 0.5 + 1e-9) << x << "," << y;
    }
    EXPECT_EQ(int(majors.size()), steps);
  }
}

TEST(LineTo, JoinedSegmentsDrawEveryJointOnce) {
  // A closed path of joined segments covers its outline, corners included.
  Bitmap b = gdi_test::Filled(20, 20, kWhite);
  DC dc(&b);
  dc.SelectPen(gdi::SolidPen(kInk));
  dc.MoveTo(2, 3);
  dc.LineTo(12, 3);
  dc.LineTo(12, 9);
  dc.LineTo(2, 9);
  dc.LineTo(2, 3);
  PixelSet border;
  for (int x = 2; x <= 12; ++x) border.insert({x, 3}), border.insert({x, 9});
  for (int y = 3; y <= 9; ++y) border.insert({2, y}), border.insert({12, y});
  EXPECT_EQ(gdi_test::PixelsNot(b, kWhite), border);
}

TEST(LineTo, PartlyVisibleLinesMatchTheSameLineOnALargerBitmap) {
  // Clipping must not change which pixels a line takes.
  const struct {
    int x0, y0, x1, y1;
  } lines[] = {{-500, -300, 700, 650}, {650, -420, -300, 330}, {-40, 90, 130, -15},
               {55, -900, 45, 1000},   {-900, 60, 1000, 40},   {120, 130, -30, -17}};
  const int ox = 1000, oy = 1000;
  for (const auto& l : lines) {
    const PixelSet small = DrawLine(100, 100, l.x0, l.y0, l.x1, l.y1);
    const PixelSet large = DrawLine(2100, 2100, l.x0 + ox, l.y0 + oy, l.x1 + ox, l.y1 + oy);
    PixelSet window;
    for (auto [x, y] : large)
      if (x >= ox && x < ox + 100 && y >= oy && y < oy + 100) window.insert({x - ox, y - oy});
    EXPECT_EQ(small, window) << l.x0 << "," << l.y0 << " -> " << l.x1 << "," << l.y1;
    EXPECT_FALSE(small.empty());
  }
}

TEST(LineTo, ExtremeCoordinatesAreHarmless) {
  EXPECT_EQ(DrawLine(10, 10, INT32_MIN, 5, INT32_MAX, 5), gdi_test::RectPixels(0, 5, 10, 6));
  DrawLine(10, 10, INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX);
  DrawLine(10, 10, INT32_MAX, INT32_MIN, INT32_MIN, INT32_MAX, gdi::SolidPen(kInk, 9));
  EXPECT_TRUE(DrawLine(10, 10, 100, 100, 200, 300).empty());
}

TEST(LineTo, DottedPenLeavesGapsTransparentOrPaintsThemOpaque) {
  for (int style : {PS_DOT, PS_DASH, PS_DASHDOT, PS_DASHDOTDOT}) {
    const PixelSet solid = DrawLine(200, 4, 0, 1, 199, 1);
    for (int mode : {TRANSPARENT, OPAQUE}) {
      Bitmap b = gdi_test::Filled(200, 4, kWhite);
      DC dc(&b);
      dc.SelectPen(gdi::Pen{style, 1, kInk});
      dc.SetBkMode(mode);
      dc.SetBkColor(kBack);
      dc.MoveTo(0, 1);
      dc.LineTo(199, 1);
      const PixelSet ink = gdi_test::PixelsOf(b, kInk), gaps = gdi_test::PixelsOf(b, kBack);
      EXPECT_GT(ink.size(), 20u) << style;
      EXPECT_LT(ink.size(), solid.size()) << style;
      PixelSet both = ink;
      both.insert(gaps.begin(), gaps.end());
      if (mode == OPAQUE)
        EXPECT_EQ(both, solid) << style;
      else
        EXPECT_TRUE(gaps.empty()) << style;
    }
  }
}

TEST(LineTo, WidePensAreSolidWithRoundEnds) {
  const int w = 9;
  const double r = w / 2.0;
  const PixelSet solid = DrawLine(60, 40, 15, 20, 45, 12, gdi::SolidPen(kInk, w));
  // Wider than one pixel, the style does not matter.
  EXPECT_EQ(DrawLine(60, 40, 15, 20, 45, 12, gdi::Pen{PS_DOT, w, kInk}), solid);
  // Pixel (x, y) is the square around (x + 0.5, y + 0.5); the stroke is
  // every point within w/2 of the segment between pixel centres.
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 60; ++x) {
      const double d = DistanceToSegment(x + 0.5, y + 0.5, 15.5, 20.5, 45.5, 12.5);
      if (d < r - 0.75) {
        EXPECT_TRUE(solid.count({x, y})) << x << "," << y;
      } else if (d > r + 0.75) {
        EXPECT_FALSE(solid.count({x, y})) << x << "," << y;
      }
    }
  // The end is drawn with its cap.
  EXPECT_TRUE(solid.count({45 + 3, 12}));
  EXPECT_TRUE(solid.count({15 - 3, 20}));
}

TEST(LineTo, NullPenOnlyMoves) {
  Bitmap b = gdi_test::Filled(10, 10, kWhite);
  DC dc(&b);
  dc.SelectPen(gdi::Pen{PS_NULL, 1, kInk});
  dc.MoveTo(0, 0);
  EXPECT_TRUE(dc.LineTo(9, 9));
  EXPECT_TRUE(gdi_test::PixelsNot(b, kWhite).empty());
  EXPECT_EQ(dc.GetCurrentPosition().x, 9);
}

TEST(Polyline, DrawsThroughThePointsLeavingOutTheLast) {
  Bitmap b = gdi_test::Filled(12, 12, kWhite);
  DC dc(&b);
  dc.SelectPen(gdi::SolidPen(kInk));
  const POINT pts[] = {{1, 1}, {6, 1}, {6, 5}};
  dc.MoveTo(9, 9);
  EXPECT_TRUE(dc.Polyline(pts, 3));
  PixelSet expected = gdi_test::RectPixels(1, 1, 7, 2);
  for (int y = 1; y < 5; ++y) expected.insert({6, y});
  EXPECT_EQ(gdi_test::PixelsNot(b, kWhite), expected);
  EXPECT_EQ(dc.GetCurrentPosition().x, 9);
}

TEST(LineTo, ClipRegionLimitsTheLine) {
  Bitmap b = gdi_test::Filled(20, 5, kWhite);
  DC dc(&b);
  dc.SelectPen(gdi::SolidPen(kInk));
  gdi::Region clip;
  clip.SetRect(5, 0, 10, 5);
  dc.SelectClipRgn(&clip);
  dc.MoveTo(0, 2);
  dc.LineTo(20, 2);
  EXPECT_EQ(gdi_test::PixelsNot(b, kWhite), gdi_test::RectPixels(5, 2, 10, 3));
  dc.SelectClipRgn(nullptr);
  dc.MoveTo(0, 3);
  dc.LineTo(20, 3);
  EXPECT_EQ(gdi_test::PixelsOf(b, kInk).size(), 5u + 20u);
}
