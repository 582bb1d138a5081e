// BitBlt, StretchBlt, CopyRect, and what surfaces see of them.
#include <gtest/gtest.h>

#include "platform/gdi/dc.h"
#include "pixels.h"

using gdi::Bitmap;
using gdi::DC;
using gdi_test::PixelSet;

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);

// Every pixel a different colour, so copies can be traced.
COLORREF Code(int x, int y) { return RGB(x & 0xFF, y & 0xFF, 0x80 | ((x >> 8) & 0xF) | (((y >> 8) & 0x7) << 4)); }

Bitmap Coded(int w, int h) {
  QImage image(w, h, QImage::Format_RGB32);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const COLORREF c = Code(x, y);
      image.setPixel(x, y, qRgb(GetRValue(c), GetGValue(c), GetBValue(c)));
    }
  return Bitmap(image);
}

// A window-like surface: reads answer with what it "shows" (its own pixels
// with a child window painted over a part), and changed rectangles are
// recorded.
class ShowingSurface : public gdi::Surface {
 public:
  ShowingSurface(int w, int h, QRect child) : own_(gdi_test::Filled(w, h, kWhite)), child_(child) {}
  QSize Size() const override { return own_.Size(); }
  void Draw(const std::function<QRect(QImage&)>& draw) override {
    own_.Draw([&](QImage& image) {
      const QRect r = draw(image);
      changed.push_back(r);
      return r;
    });
  }
  QImage Read(const QRect& area) const override {
    QImage shown = own_.Read(area);
    for (int y = 0; y < area.height(); ++y)
      for (int x = 0; x < area.width(); ++x)
        if (child_.contains(area.left() + x, area.top() + y)) shown.setPixel(x, y, qRgb(1, 2, 3));
    return shown;
  }
  Bitmap own_;
  QRect child_;
  std::vector<QRect> changed;
};

}  // namespace

TEST(BitBlt, ExactCopyClippedToBothSurfaces) {
  Bitmap source = Coded(30, 20);
  DC from(&source);
  struct Case {
    int x, y, w, h, sx, sy;
  } cases[] = {{2, 3, 10, 8, 5, 4}, {-4, -2, 10, 8, 0, 0}, {35, 15, 10, 8, 0, 0}, {0, 0, 10, 8, 25, 15},
               {0, 0, 10, 8, -5, -3}};
  for (const Case& c : cases) {
    Bitmap dest = gdi_test::Filled(40, 25, kWhite);
    DC to(&dest);
    EXPECT_TRUE(to.BitBlt(c.x, c.y, c.w, c.h, &from, c.sx, c.sy, SRCCOPY));
    for (int y = 0; y < 25; ++y)
      for (int x = 0; x < 40; ++x) {
        const int sx = x - c.x + c.sx, sy = y - c.y + c.sy;
        const bool copied = x >= c.x && x < c.x + c.w && y >= c.y && y < c.y + c.h && sx >= 0 && sx < 30 &&
                            sy >= 0 && sy < 20;
        ASSERT_EQ(dest.GetPixel(x, y), copied ? Code(sx, sy) : kWhite) << x << "," << y;
      }
  }
}

TEST(BitBlt, OverlappingCopyWithinOneBitmap) {
  Bitmap b = Coded(20, 20);
  DC dc(&b);
  EXPECT_TRUE(dc.BitBlt(3, 2, 10, 10, &dc, 0, 0, SRCCOPY));
  for (int y = 2; y < 12; ++y)
    for (int x = 3; x < 13; ++x) ASSERT_EQ(b.GetPixel(x, y), Code(x - 3, y - 2));
}

TEST(BitBlt, OtherRasterOperationsAreRefused) {
  Bitmap source = Coded(5, 5), dest = gdi_test::Filled(5, 5, kWhite);
  DC from(&source), to(&dest);
  const DWORD kSrcAnd = 0x008800C6, kSrcInvert = 0x00660046;
  EXPECT_FALSE(to.BitBlt(0, 0, 5, 5, &from, 0, 0, kSrcAnd));
  EXPECT_FALSE(to.StretchBlt(0, 0, 5, 5, &from, 0, 0, 5, 5, kSrcInvert));
  EXPECT_FALSE(to.BitBlt(0, 0, 5, 5, nullptr, 0, 0, SRCCOPY));
  EXPECT_TRUE(gdi_test::PixelsNot(dest, kWhite).empty());
}

TEST(StretchBlt, NearestPixelScalingAndMirroring) {
  Bitmap source = Coded(6, 4);
  DC from(&source);
  // Doubling makes each pixel a 2 x 2 block.
  Bitmap big = gdi_test::Filled(12, 8, kWhite);
  DC toBig(&big);
  EXPECT_TRUE(toBig.StretchBlt(0, 0, 12, 8, &from, 0, 0, 6, 4, SRCCOPY));
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 12; ++x) ASSERT_EQ(big.GetPixel(x, y), Code(x / 2, y / 2));
  // Halving the doubled picture gives the original back.
  Bitmap back = gdi_test::Filled(6, 4, kWhite);
  DC toBack(&back);
  toBack.StretchBlt(0, 0, 6, 4, &toBig, 0, 0, 12, 8, SRCCOPY);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 6; ++x) ASSERT_EQ(back.GetPixel(x, y), Code(x, y));
  // A negative destination width mirrors; a negative height flips.
  Bitmap mirrored = gdi_test::Filled(6, 4, kWhite);
  DC toMirrored(&mirrored);
  toMirrored.StretchBlt(6, 4, -6, -4, &from, 0, 0, 6, 4, SRCCOPY);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 6; ++x) ASSERT_EQ(mirrored.GetPixel(x, y), Code(5 - x, 3 - y));
  // Both extents negative: no mirror, the spanned pixels are copied.
  Bitmap both = gdi_test::Filled(6, 4, kWhite);
  DC toBoth(&both);
  toBoth.StretchBlt(6, 4, -6, -4, &from, 6, 4, -6, -4, SRCCOPY);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 6; ++x) ASSERT_EQ(both.GetPixel(x, y), Code(x, y));
}

TEST(StretchBlt, SourceOutsideItsBitmapCopiesNothing) {
  Bitmap source = Coded(4, 4);
  DC from(&source);
  Bitmap dest = gdi_test::Filled(8, 8, kWhite);
  DC to(&dest);
  // Source (-4..4) x (0..4) scaled to 8 x 8: the left half has no source.
  to.StretchBlt(0, 0, 8, 8, &from, -4, 0, 8, 4, SRCCOPY);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) ASSERT_EQ(dest.GetPixel(x, y), x < 4 ? kWhite : Code(x - 4, y / 2)) << x << "," << y;
}

TEST(CopyRect, EqualSizesCopyInvertedOnesCopyTheSpannedAreaEmptyOnesNothing) {
  Bitmap source = Coded(20, 20);
  DC from(&source);
  auto copy = [&](RECT d, RECT s) {
    Bitmap dest = gdi_test::Filled(20, 20, kWhite);
    DC to(&dest);
    EXPECT_TRUE(to.CopyRect(d, from, s));
    return dest;
  };
  Bitmap plain = copy({4, 5, 10, 9}, {1, 2, 7, 6});
  for (int y = 5; y < 9; ++y)
    for (int x = 4; x < 10; ++x) ASSERT_EQ(plain.GetPixel(x, y), Code(x - 3, y - 3));
  EXPECT_EQ(gdi_test::PixelsNot(plain, kWhite).size(), 24u);
  // Both inverted the same way: the same copy.
  Bitmap inverted = copy({10, 9, 4, 5}, {7, 6, 1, 2});
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 20; ++x) ASSERT_EQ(inverted.GetPixel(x, y), plain.GetPixel(x, y));
  // Empty rectangles copy nothing.
  EXPECT_TRUE(gdi_test::PixelsNot(copy({4, 5, 4, 9}, {1, 2, 1, 6}), kWhite).empty());
  EXPECT_TRUE(gdi_test::PixelsNot(copy({4, 5, 10, 9}, {1, 2, 1, 2}), kWhite).empty());
  // A degenerate floating picture: an empty bitmap's (1,1,-1,-1) into the
  // page takes nothing from outside it.
  Bitmap empty;
  DC fromEmpty(&empty);
  Bitmap page = gdi_test::Filled(20, 20, kWhite);
  DC toPage(&page);
  EXPECT_TRUE(toPage.CopyRect(RECT{11, 11, 9, 9}, fromEmpty, RECT{1, 1, -1, -1}));
  EXPECT_TRUE(gdi_test::PixelsNot(page, kWhite).empty());
  // Extreme rectangles are clipped, never a crash.
  copy({INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX}, {INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN});
}

TEST(Surface, ReadsGoThroughTheSurfaceAndDrawingReportsWhatChanged) {
  // A window's read-back shows its child window; copies and probes from its
  // DC see what it shows.
  ShowingSurface window(30, 20, QRect(10, 5, 5, 5));
  DC onWindow(&window);
  EXPECT_EQ(onWindow.GetPixel(12, 7), RGB(1, 2, 3));
  EXPECT_EQ(onWindow.GetPixel(2, 2), kWhite);
  Bitmap page = gdi_test::Filled(30, 20, RGB(9, 9, 9));
  DC toPage(&page);
  toPage.BitBlt(0, 0, 30, 20, &onWindow, 0, 0, SRCCOPY);
  EXPECT_EQ(gdi_test::PixelsOf(page, RGB(1, 2, 3)), gdi_test::RectPixels(10, 5, 15, 10));

  window.changed.clear();
  onWindow.SelectPen(gdi::SolidPen(RGB(0, 0, 0)));
  onWindow.MoveTo(3, 4);
  onWindow.LineTo(8, 4);
  onWindow.FillRect(RECT{25, 15, 60, 60}, gdi::SolidBrush(RGB(0, 0, 0)));
  onWindow.FillRect(RECT{40, 40, 60, 60}, gdi::SolidBrush(RGB(0, 0, 0)));  // nothing visible, no draw
  ASSERT_EQ(window.changed.size(), 2u);
  EXPECT_EQ(window.changed[0], QRect(3, 4, 5, 1));
  EXPECT_EQ(window.changed[1], QRect(25, 15, 5, 5));
}

TEST(Clip, RegionLimitsFillsAndCopies) {
  Bitmap b = gdi_test::Filled(20, 20, kWhite);
  DC dc(&b);
  gdi::Region a, c, clip;
  a.SetRect(0, 0, 5, 5);
  c.SetRect(10, 10, 15, 15);
  clip.Combine(a, c, RGN_OR);
  EXPECT_EQ(dc.SelectClipRgn(&clip), COMPLEXREGION);
  dc.FillRect(RECT{0, 0, 20, 20}, gdi::SolidBrush(RGB(1, 1, 1)));
  PixelSet expected = gdi_test::RectPixels(0, 0, 5, 5);
  for (auto p : gdi_test::RectPixels(10, 10, 15, 15)) expected.insert(p);
  EXPECT_EQ(gdi_test::PixelsOf(b, RGB(1, 1, 1)), expected);
  Bitmap source = Coded(20, 20);
  DC from(&source);
  dc.BitBlt(0, 0, 20, 20, &from, 0, 0, SRCCOPY);
  EXPECT_EQ(b.GetPixel(12, 12), Code(12, 12));
  EXPECT_EQ(b.GetPixel(7, 7), kWhite);
  gdi::Region got;
  EXPECT_TRUE(dc.GetClipRgn(&got));
  EXPECT_TRUE(got.Equals(clip));
  dc.SelectClipRgn(nullptr);
  EXPECT_FALSE(dc.GetClipRgn(&got));
}

// A whole-surface copy shares the pixels until one side changes: drawing on
// either afterwards leaves the other as it was, clipped copies still copy.
TEST(BitBlt, AWholeSurfaceCopyStaysApartFromItsSource) {
  Bitmap page = Coded(64, 48), screen = gdi_test::Filled(64, 48, kWhite);
  DC pageDc(&page), screenDc(&screen);
  ASSERT_TRUE(screenDc.BitBlt(0, 0, 64, 48, &pageDc, 0, 0, SRCCOPY));
  EXPECT_EQ(screen.GetPixel(63, 47), Code(63, 47));
  page.SetPixel(5, 5, kWhite);
  pageDc.FillRect(RECT{10, 10, 20, 20}, gdi::SolidBrush(RGB(1, 2, 3)));
  EXPECT_EQ(screen.GetPixel(5, 5), Code(5, 5));
  EXPECT_EQ(screen.GetPixel(15, 15), Code(15, 15));
  screenDc.FillRect(RECT{30, 30, 40, 40}, gdi::SolidBrush(RGB(9, 9, 9)));
  EXPECT_EQ(page.GetPixel(35, 35), Code(35, 35));
  EXPECT_EQ(screen.GetPixel(35, 35), RGB(9, 9, 9));

  gdi::Region clip;
  clip.SetRect(RECT{0, 0, 32, 48});
  Bitmap other = gdi_test::Filled(64, 48, kWhite);
  DC otherDc(&other);
  otherDc.SelectClipRgn(&clip);
  ASSERT_TRUE(otherDc.BitBlt(0, 0, 64, 48, &pageDc, 0, 0, SRCCOPY));
  EXPECT_EQ(other.GetPixel(31, 40), Code(31, 40));
  EXPECT_EQ(other.GetPixel(32, 40), kWhite);
}
