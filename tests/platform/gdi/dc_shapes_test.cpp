// Rectangles, ellipses, fills, pixels, polygons.
#include <gtest/gtest.h>

#include "platform/gdi/dc.h"
#include "pixels.h"

using gdi::Bitmap;
using gdi::DC;
using gdi_test::PixelSet;
using gdi_test::RectPixels;

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255), kPen = RGB(200, 0, 0), kFill = RGB(0, 150, 0);

PixelSet Border(int l, int t, int r, int b) {
  PixelSet s = RectPixels(l, t, r, b);
  for (auto p : RectPixels(l + 1, t + 1, r - 1, b - 1)) s.erase(p);
  return s;
}

struct Canvas {
  Bitmap bitmap = gdi_test::Filled(40, 30, kWhite);
  DC dc{&bitmap};
  Canvas(gdi::Pen pen, gdi::Brush brush) {
    dc.SelectPen(pen);
    dc.SelectBrush(brush);
  }
};

}  // namespace

TEST(Rectangle, OutlineInsideTheBoxRightAndBottomExclusive) {
  // Any order of the corners gives the same rectangle (rubber bands dragged
  // up or left).
  const RECT boxes[] = {{5, 4, 15, 12}, {15, 4, 5, 12}, {5, 12, 15, 4}, {15, 12, 5, 4}};
  for (const RECT& r : boxes) {
    Canvas clear(gdi::SolidPen(kPen), gdi::NullBrush());
    EXPECT_TRUE(clear.dc.Rectangle(r.left, r.top, r.right, r.bottom));
    EXPECT_EQ(gdi_test::PixelsNot(clear.bitmap, kWhite), Border(5, 4, 15, 12));

    Canvas filled(gdi::SolidPen(kPen), gdi::SolidBrush(kFill));
    filled.dc.Rectangle(r.left, r.top, r.right, r.bottom);
    EXPECT_EQ(gdi_test::PixelsOf(filled.bitmap, kPen), Border(5, 4, 15, 12));
    EXPECT_EQ(gdi_test::PixelsOf(filled.bitmap, kFill), RectPixels(6, 5, 14, 11));
  }
}

TEST(Rectangle, WithoutPenTheFillStopsOnePixelShort) {
  Canvas c(gdi::Pen{PS_NULL, 1, kPen}, gdi::SolidBrush(kFill));
  c.dc.Rectangle(5, 4, 15, 12);
  EXPECT_EQ(gdi_test::PixelsNot(c.bitmap, kWhite), RectPixels(5, 4, 14, 11));
}

TEST(Rectangle, DottedOutlineStaysOnTheBorderAndWidePenCoversIt) {
  Canvas dotted(gdi::Pen{PS_DOT, 1, kPen}, gdi::NullBrush());
  dotted.dc.SetBkMode(TRANSPARENT);
  dotted.dc.Rectangle(2, 2, 30, 20);
  const PixelSet dots = gdi_test::PixelsNot(dotted.bitmap, kWhite);
  const PixelSet border = Border(2, 2, 30, 20);
  EXPECT_LT(dots.size(), border.size());
  EXPECT_GT(dots.size(), border.size() / 4);
  for (auto p : dots) EXPECT_TRUE(border.count(p));

  Canvas wide(gdi::SolidPen(kPen, 5), gdi::NullBrush());
  wide.dc.Rectangle(10, 8, 30, 22);
  const PixelSet ink = gdi_test::PixelsOf(wide.bitmap, kPen);
  for (auto p : Border(10, 8, 30, 22)) EXPECT_TRUE(ink.count(p));
  EXPECT_TRUE(ink.count({8, 15}));   // 2 outside the left edge
  EXPECT_FALSE(ink.count({20, 15}));  // interior left alone
}

TEST(Ellipse, DrawnInsideItsBoxTouchingEverySide) {
  const RECT boxes[] = {{4, 3, 31, 22}, {31, 22, 4, 3}, {4, 22, 31, 3}};
  PixelSet first;
  for (const RECT& r : boxes) {
    Canvas c(gdi::SolidPen(kPen), gdi::SolidBrush(kFill));
    EXPECT_TRUE(c.dc.Ellipse(r.left, r.top, r.right, r.bottom));
    const PixelSet outline = gdi_test::PixelsOf(c.bitmap, kPen);
    const PixelSet all = gdi_test::PixelsNot(c.bitmap, kWhite);
    int minX = 99, maxX = -1, minY = 99, maxY = -1;
    for (auto [x, y] : all) minX = std::min(minX, x), maxX = std::max(maxX, x), minY = std::min(minY, y), maxY = std::max(maxY, y);
    EXPECT_EQ(minX, 4);
    EXPECT_EQ(maxX, 30);
    EXPECT_EQ(minY, 3);
    EXPECT_EQ(maxY, 21);
    EXPECT_EQ(c.bitmap.GetPixel(17, 12), kFill);  // centre filled
    EXPECT_EQ(c.bitmap.GetPixel(4, 3), kWhite);   // corners not
    EXPECT_EQ(c.bitmap.GetPixel(30, 21), kWhite);
    if (first.empty()) first = all;
    EXPECT_EQ(all, first);
    EXPECT_FALSE(outline.empty());
  }
  Canvas clear(gdi::SolidPen(kPen), gdi::NullBrush());
  clear.dc.Ellipse(4, 3, 31, 22);
  EXPECT_EQ(clear.bitmap.GetPixel(17, 12), kWhite);
  // A small point mark as the engine draws it: Ellipse(x-r, y+r, x+r, y-r).
  Canvas mark(gdi::SolidPen(kPen), gdi::NullBrush());
  mark.dc.Ellipse(20 - 5, 15 + 5, 20 + 5, 15 - 5);
  for (auto [x, y] : gdi_test::PixelsNot(mark.bitmap, kWhite)) {
    EXPECT_GE(x, 15);
    EXPECT_LT(x, 25);
    EXPECT_GE(y, 10);
    EXPECT_LT(y, 20);
  }
}

TEST(FillRect, RightAndBottomExclusiveClippedAndNormalised) {
  struct Case {
    RECT r;
    PixelSet expected;
  } cases[] = {
      {{3, 2, 9, 7}, RectPixels(3, 2, 9, 7)},
      {{9, 7, 3, 2}, RectPixels(3, 2, 9, 7)},
      {{-5, -5, 4, 3}, RectPixels(0, 0, 4, 3)},
      {{35, 25, 100, 100}, RectPixels(35, 25, 40, 30)},
      {{INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX}, RectPixels(0, 0, 40, 30)},
      {{5, 5, 5, 20}, {}},
      {{50, 50, 60, 60}, {}},
  };
  for (const Case& c : cases) {
    Bitmap b = gdi_test::Filled(40, 30, kWhite);
    DC dc(&b);
    EXPECT_TRUE(dc.FillRect(c.r, gdi::SolidBrush(kFill)));
    EXPECT_EQ(gdi_test::PixelsOf(b, kFill), c.expected) << c.r.left << "," << c.r.top << "," << c.r.right << "," << c.r.bottom;
  }
  Bitmap b = gdi_test::Filled(40, 30, kWhite);
  DC dc(&b);
  dc.FillRect(RECT{0, 0, 40, 30}, gdi::NullBrush());
  EXPECT_TRUE(gdi_test::PixelsNot(b, kWhite).empty());
}

TEST(FrameRect, OnePixelBorderInTheBrush) {
  Bitmap b = gdi_test::Filled(40, 30, kWhite);
  DC dc(&b);
  dc.FrameRect(RECT{3, 4, 20, 10}, gdi::SolidBrush(kFill));
  EXPECT_EQ(gdi_test::PixelsNot(b, kWhite), Border(3, 4, 20, 10));
}

TEST(Pixels, SetAndGetThroughTheDcClipAndBounds) {
  Bitmap b = gdi_test::Filled(10, 10, kWhite);
  DC dc(&b);
  EXPECT_EQ(dc.SetPixel(3, 4, RGB(1, 2, 3)), RGB(1, 2, 3));
  EXPECT_EQ(dc.GetPixel(3, 4), RGB(1, 2, 3));
  EXPECT_EQ(dc.SetPixel(10, 4, RGB(1, 2, 3)), CLR_INVALID);  // the engine's sweep may land outside
  EXPECT_EQ(dc.GetPixel(-1, 0), CLR_INVALID);
  gdi::Region clip;
  clip.SetRect(0, 0, 5, 5);
  dc.SelectClipRgn(&clip);
  EXPECT_EQ(dc.SetPixel(7, 7, RGB(1, 2, 3)), CLR_INVALID);
  EXPECT_EQ(b.GetPixel(7, 7), kWhite);
  DC none;
  EXPECT_EQ(none.GetPixel(0, 0), CLR_INVALID);
  EXPECT_FALSE(none.FillRect(RECT{0, 0, 1, 1}, gdi::SolidBrush(kFill)));
}

TEST(Polygon, FillsThePolygonPixelsAndOutlinesThem) {
  const POINT square[] = {{5, 5}, {25, 5}, {25, 20}, {5, 20}};
  Canvas c(gdi::Pen{PS_NULL, 1, kPen}, gdi::SolidBrush(kFill));
  EXPECT_TRUE(c.dc.Polygon(square, 4));
  EXPECT_EQ(gdi_test::PixelsNot(c.bitmap, kWhite), RectPixels(5, 5, 25, 20));
  Canvas outlined(gdi::SolidPen(kPen), gdi::NullBrush());
  outlined.dc.Polygon(square, 4);
  PixelSet border = Border(5, 5, 26, 21);
  EXPECT_EQ(gdi_test::PixelsNot(outlined.bitmap, kWhite), border);
}

TEST(AllOperations, ExtremeCoordinatesNeverCrash) {
  const int lo = INT32_MIN, hi = INT32_MAX;
  for (int width : {1, 9}) {
    Canvas c(gdi::SolidPen(kPen, width), gdi::SolidBrush(kFill));
    DC& dc = c.dc;
    dc.Rectangle(lo, lo, hi, hi);
    dc.Rectangle(hi, 5, lo, 6);
    dc.Ellipse(lo, lo, hi, hi);
    dc.Ellipse(-100000000, 10, 100000000, 20);
    const POINT poly[] = {{lo, lo}, {hi, 0}, {0, hi}, {lo, hi}};
    dc.Polygon(poly, 4);
    dc.Polyline(poly, 4);
    dc.FrameRect(RECT{lo, lo, hi, hi}, gdi::SolidBrush(kPen));
    gdi::Region r;
    r.SetPolygon(poly, 4, WINDING);
    dc.PaintRgn(r);
    dc.FrameRgn(r, gdi::SolidBrush(kPen), hi, hi);
    dc.BitBlt(lo, lo, hi, hi, &dc, hi, lo, SRCCOPY);
    dc.StretchBlt(hi, hi, lo, lo, &dc, lo, lo, hi, hi, SRCCOPY);
    dc.SetPixel(lo, hi, kPen);
    dc.TextOut(hi, lo, "x");
  }
}

TEST(TextWithoutGuiApplication, RefusesHonestly) {
  Bitmap b = gdi_test::Filled(40, 30, kWhite);
  DC dc(&b);
  EXPECT_FALSE(dc.TextOut(1, 1, "abc"));
  EXPECT_EQ(dc.GetTextExtent("abc").cx, 0);
  RECT r{0, 0, 40, 30};
  EXPECT_EQ(dc.DrawText("abc", &r, DT_CENTER), 0);
  TEXTMETRICA tm;
  EXPECT_FALSE(dc.GetTextMetrics(&tm));
  EXPECT_TRUE(gdi_test::PixelsNot(b, kWhite).empty());
}
