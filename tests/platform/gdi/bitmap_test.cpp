#include "platform/gdi/bitmap.h"

#include <gtest/gtest.h>

#include <thread>

#include "platform/gdi/dc.h"
#include "pixels.h"

using gdi::Bitmap;
using gdi_test::Filled;

TEST(Bitmap, NewBitmapIsBlackAndPixelsAreColorrefs) {
  Bitmap b(4, 3);
  EXPECT_EQ(b.Width(), 4);
  EXPECT_EQ(b.Height(), 3);
  EXPECT_EQ(b.GetPixel(3, 2), RGB(0, 0, 0));
  b.SetPixel(1, 2, RGB(0x11, 0x22, 0x33));
  EXPECT_EQ(b.GetPixel(1, 2), COLORREF(0x332211));
  // $BBGGRR lands as red 0x11, green 0x22, blue 0x33 in the image.
  const QRgb p = b.Image().pixel(1, 2);
  EXPECT_EQ(qRed(p), 0x11);
  EXPECT_EQ(qGreen(p), 0x22);
  EXPECT_EQ(qBlue(p), 0x33);
}

TEST(Bitmap, OutsidePixelsAreInvalidAndIgnored) {
  Bitmap b = Filled(3, 3, RGB(9, 9, 9));
  for (auto [x, y] : {std::pair{-1, 0}, {0, -1}, {3, 0}, {0, 3}, {INT32_MIN, INT32_MAX}}) {
    EXPECT_EQ(b.GetPixel(x, y), CLR_INVALID);
    b.SetPixel(x, y, RGB(1, 1, 1));
  }
  EXPECT_EQ(gdi_test::PixelsOf(b, RGB(9, 9, 9)).size(), 9u);
  Bitmap empty;
  EXPECT_TRUE(empty.IsEmpty());
  EXPECT_EQ(empty.GetPixel(0, 0), CLR_INVALID);
}

TEST(Bitmap, SetSizeKeepsTheOverlapAndFillsTheRest) {
  Bitmap b = Filled(4, 4, RGB(10, 20, 30));
  b.SetPixel(3, 3, RGB(1, 2, 3));
  ASSERT_TRUE(b.SetSize(6, 2, RGB(255, 255, 255)));
  EXPECT_EQ(b.Width(), 6);
  EXPECT_EQ(b.Height(), 2);
  EXPECT_EQ(b.GetPixel(3, 1), RGB(10, 20, 30));
  EXPECT_EQ(b.GetPixel(4, 0), RGB(255, 255, 255));
  ASSERT_TRUE(b.SetSize(6, 5));
  EXPECT_EQ(b.GetPixel(0, 4), RGB(0, 0, 0));
  EXPECT_FALSE(b.SetSize(-1, 5));
  EXPECT_FALSE(b.SetSize(100000, 100000));  // 40 GB: refused, not attempted
  EXPECT_EQ(b.Width(), 6);
  EXPECT_TRUE(Bitmap(INT32_MAX, INT32_MAX).IsEmpty());
  ASSERT_TRUE(b.SetSize(0, 5));
  EXPECT_TRUE(b.IsEmpty());
}

TEST(Bitmap, CopiesAreIndependent) {
  Bitmap a = Filled(5, 5, RGB(1, 1, 1));
  Bitmap b = a;
  Bitmap c;
  c = a;
  gdi::DC dc(&b);
  dc.FillRect(RECT{0, 0, 5, 5}, gdi::SolidBrush(RGB(2, 2, 2)));
  c.SetPixel(0, 0, RGB(3, 3, 3));
  EXPECT_EQ(a.GetPixel(0, 0), RGB(1, 1, 1));
  EXPECT_EQ(a.GetPixel(4, 4), RGB(1, 1, 1));
  EXPECT_EQ(b.GetPixel(0, 0), RGB(2, 2, 2));
  EXPECT_EQ(c.GetPixel(0, 0), RGB(3, 3, 3));
  // Assigning back restores the old picture (the page backup pattern).
  b = a;
  EXPECT_EQ(b.GetPixel(4, 4), RGB(1, 1, 1));
}

TEST(Bitmap, AlphaOfAnImageIsDropped) {
  QImage argb(2, 1, QImage::Format_ARGB32);
  argb.setPixel(0, 0, qRgba(200, 100, 50, 0));
  argb.setPixel(1, 0, qRgba(10, 20, 30, 128));
  Bitmap b(argb);
  EXPECT_EQ(b.GetPixel(0, 0), RGB(200, 100, 50));
  EXPECT_EQ(b.GetPixel(1, 0), RGB(10, 20, 30));
  EXPECT_EQ(b.Image().format(), QImage::Format_RGB32);
}

TEST(Bitmap, SizesTheSystemUses) {
  // The picture strip (taller than an X pixmap may be) and a 4K page.
  Bitmap strip(100, 105000);
  ASSERT_EQ(strip.Height(), 105000);
  gdi::DC dc(&strip);
  EXPECT_TRUE(dc.FillRect(RECT{0, 0, 100, 105000}, gdi::SolidBrush(RGB(255, 255, 255))));
  dc.SelectPen(gdi::SolidPen(RGB(255, 0, 0), 9));
  dc.MoveTo(10, 104990);
  dc.LineTo(90, 104990);
  EXPECT_EQ(strip.GetPixel(50, 104990), RGB(255, 0, 0));
  EXPECT_EQ(strip.GetPixel(50, 104980), RGB(255, 255, 255));
  EXPECT_EQ(strip.GetPixel(99, 104999), RGB(255, 255, 255));
  Bitmap page(3840, 2160);
  EXPECT_EQ(page.Width(), 3840);
  EXPECT_EQ(page.GetPixel(3839, 2159), RGB(0, 0, 0));
}

TEST(Bitmap, ChangeHandlerHearsEachDrawing) {
  Bitmap b(20, 20);
  std::vector<QRect> changes;
  b.SetChangeHandler([&](const QRect& r) { changes.push_back(r); });
  gdi::DC dc(&b);
  dc.FillRect(RECT{15, 15, 40, 40}, gdi::SolidBrush(RGB(1, 2, 3)));
  dc.FillRect(RECT{30, 30, 40, 40}, gdi::SolidBrush(RGB(1, 2, 3)));  // off the bitmap: nothing changes
  b.SetPixel(2, 3, RGB(1, 1, 1));
  ASSERT_EQ(changes.size(), 2u);
  EXPECT_EQ(changes[0], QRect(15, 15, 5, 5));
  EXPECT_EQ(changes[1], QRect(2, 3, 1, 1));
}

TEST(Bitmap, DrawingAndCopyingFromTwoThreads) {
  // A fill thread draws while the interface thread copies the picture out.
  Bitmap b(64, 64);
  std::thread painter([&] {
    gdi::DC dc(&b);
    for (int i = 0; i < 2000; ++i) dc.SetPixel(i % 64, (i / 64) % 64, RGB(i % 256, 0, 0));
  });
  Bitmap target(64, 64);
  gdi::DC from(&b), to(&target);
  for (int i = 0; i < 200; ++i) {
    EXPECT_TRUE(to.BitBlt(0, 0, 64, 64, &from, 0, 0, SRCCOPY));
    Bitmap copy = b;
    EXPECT_EQ(copy.Width(), 64);
  }
  painter.join();
  EXPECT_EQ(b.GetPixel(1, 0), RGB(1, 0, 0));
}
