// The class library's device contexts and drawing objects over gdi: memory
// DCs and what SelectObject hands back, regions, bitmaps and their DIB rows.
#include "platform/mfc/dc.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <utility>
#include <vector>

namespace {

using PixelSet = std::set<std::pair<int, int>>;

PixelSet PixelsOf(const CDC& dc, int w, int h, COLORREF c) {
  PixelSet s;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      if (dc.GetPixel(x, y) == c) s.insert({x, y});
  return s;
}

PixelSet RegionPixels(const CRgn& r, int w, int h) {
  PixelSet s;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      if (r.PtInRegion(x, y)) s.insert({x, y});
  return s;
}

PixelSet RectPixels(int l, int t, int r, int b) {
  PixelSet s;
  for (int y = t; y < b; ++y)
    for (int x = l; x < r; ++x) s.insert({x, y});
  return s;
}

// A white w x h memory DC with its own bitmap selected.
struct MemoryDC {
  CDC dc;
  CBitmap bitmap;
  MemoryDC(int w, int h) {
    EXPECT_TRUE(dc.CreateCompatibleDC(nullptr));
    EXPECT_TRUE(bitmap.CreateCompatibleBitmap(&dc, w, h));
    EXPECT_NE(dc.SelectObject(&bitmap), nullptr);
    dc.FillSolidRect(RECT{0, 0, w, h}, RGB(255, 255, 255));
  }
};

}  // namespace

TEST(CDC, SelectObjectHandsBackWhatWasSelected) {
  CDC dc;
  EXPECT_EQ(dc.SelectObject(static_cast<CPen*>(nullptr)), nullptr);
  ASSERT_TRUE(dc.CreateCompatibleDC(nullptr));
  EXPECT_FALSE(dc.CreateCompatibleDC(nullptr));
  CPen red(PS_SOLID, 1, RGB(255, 0, 0)), none;
  CBrush blue(RGB(0, 0, 255));
  CPen* stockPen = dc.SelectObject(&red);
  ASSERT_NE(stockPen, nullptr);
  EXPECT_EQ(dc.SelectObject(&none), nullptr) << "a pen that holds nothing is refused";
  EXPECT_EQ(dc.SelectObject(stockPen), &red);
  CBrush* stockBrush = dc.SelectObject(&blue);
  ASSERT_NE(stockBrush, nullptr);
  EXPECT_EQ(dc.SelectObject(stockBrush), &blue);
  // The stock objects are GDI's: black pen, white brush.
  CBitmap bitmap;
  ASSERT_TRUE(bitmap.CreateCompatibleBitmap(&dc, 20, 20));
  CBitmap* stockBitmap = dc.SelectObject(&bitmap);
  ASSERT_NE(stockBitmap, nullptr);
  dc.FillSolidRect(RECT{0, 0, 20, 20}, RGB(0, 128, 0));
  EXPECT_TRUE(dc.Rectangle(2, 2, 10, 10));
  EXPECT_EQ(dc.GetPixel(2, 5), RGB(0, 0, 0));
  EXPECT_EQ(dc.GetPixel(5, 5), RGB(255, 255, 255));
  EXPECT_EQ(dc.SelectObject(stockBitmap), &bitmap);
  BITMAP info{};
  EXPECT_EQ(stockBitmap->GetBitmap(&info), int(sizeof info));
  EXPECT_EQ(info.bmWidth, 1);
}

// A bitmap goes into one DC at a time and is not deleted while selected; one
// whose object goes meanwhile stays drawable and is freed by the DC.
TEST(CDC, BitmapsSelectedIntoADC) {
  CDC a, b;
  ASSERT_TRUE(a.CreateCompatibleDC(nullptr));
  ASSERT_TRUE(b.CreateCompatibleDC(&a));
  CBitmap shared;
  ASSERT_TRUE(shared.CreateCompatibleBitmap(&a, 8, 8));
  ASSERT_NE(a.SelectObject(&shared), nullptr);
  EXPECT_EQ(b.SelectObject(&shared), nullptr);
  EXPECT_FALSE(shared.DeleteObject());
  {
    CBitmap gone;
    ASSERT_TRUE(gone.CreateCompatibleBitmap(&b, 8, 8));
    ASSERT_NE(b.SelectObject(&gone), nullptr);
  }
  EXPECT_EQ(b.SetPixel(3, 3, RGB(1, 2, 3)), RGB(1, 2, 3));
  EXPECT_EQ(b.GetPixel(3, 3), RGB(1, 2, 3));
  EXPECT_TRUE(b.DeleteDC());
  EXPECT_TRUE(a.DeleteDC());
  EXPECT_TRUE(shared.DeleteObject());
  // A window-less DC without a surface draws nothing.
  CDC plain;
  EXPECT_FALSE(plain.LineTo(5, 5));
  CBitmap never;
  EXPECT_FALSE(never.CreateCompatibleBitmap(nullptr, -1, 4));
  EXPECT_TRUE(never.CreateCompatibleBitmap(nullptr, 0, 4));
  BITMAP info{};
  never.GetBitmap(&info);
  EXPECT_EQ(info.bmWidth * info.bmHeight, 1);
}

// One fill rule: painting a region sets exactly the pixels it hit-tests,
// and a rectangle polygon is its rectangle without right and bottom edges.
TEST(CRgn, PolygonsPaintWhatTheyHitTest) {
  const std::vector<std::vector<POINT>> polygons = {
      {{10, 20}, {50, 20}, {50, 40}, {10, 40}},
      {{5, 5}, {60, 12}, {30, 55}, {5, 5}},
      {{0, 0}, {60, 60}, {60, 0}, {0, 60}},                          // bow tie
      {{10, 10}, {50, 10}, {50, 50}, {10, 50}, {10, 10}, {10, 10}},  // repeated closing points
  };
  for (size_t i = 0; i < polygons.size(); ++i) {
    MemoryDC m(64, 64);
    CRgn rgn;
    ASSERT_TRUE(rgn.CreatePolygonRgn(polygons[i].data(), int(polygons[i].size()), WINDING));
    EXPECT_FALSE(rgn.CreatePolygonRgn(polygons[i].data(), 3, WINDING)) << "holds a region already";
    CBrush black(RGB(0, 0, 0));
    CBrush* old = m.dc.SelectObject(&black);
    EXPECT_TRUE(m.dc.PaintRgn(&rgn));
    m.dc.SelectObject(old);
    const PixelSet painted = PixelsOf(m.dc, 64, 64, RGB(0, 0, 0));
    EXPECT_EQ(painted, RegionPixels(rgn, 64, 64)) << "polygon " << i;
    RECT box;
    EXPECT_NE(rgn.GetRgnBox(&box), ERROR);
    int l = 64, t = 64, r = 0, b = 0;
    for (auto& p : painted) l = std::min(l, p.first), t = std::min(t, p.second), r = std::max(r, p.first + 1),
                            b = std::max(b, p.second + 1);
    EXPECT_EQ(std::vector<LONG>({box.left, box.top, box.right, box.bottom}), std::vector<LONG>({l, t, r, b}));
    if (i == 0) {
      EXPECT_EQ(painted, RectPixels(10, 20, 50, 40));
    }
  }
}

TEST(CRgn, CombineOffsetAndBoxes) {
  CRgn a, b, sum, none;
  ASSERT_TRUE(a.CreateRectRgn(0, 0, 10, 10));
  ASSERT_TRUE(b.CreateRectRgn(5, 5, 20, 20));
  EXPECT_EQ(sum.CombineRgn(&a, &b, RGN_OR), ERROR) << "the target must hold a region";
  ASSERT_TRUE(sum.CreateRectRgn(0, 0, 0, 0));
  EXPECT_EQ(sum.CombineRgn(&a, &b, RGN_OR), COMPLEXREGION);
  EXPECT_TRUE(sum.PtInRegion(15, 15));
  EXPECT_FALSE(sum.PtInRegion(15, 2));
  EXPECT_EQ(sum.CombineRgn(&a, &b, RGN_AND), SIMPLEREGION);
  RECT box;
  sum.GetRgnBox(&box);
  EXPECT_EQ(std::vector<LONG>({box.left, box.top, box.right, box.bottom}), std::vector<LONG>({5, 5, 10, 10}));
  EXPECT_EQ(sum.CombineRgn(&a, &a, RGN_XOR), NULLREGION);
  EXPECT_EQ(sum.CombineRgn(&a, nullptr, RGN_COPY), SIMPLEREGION);
  EXPECT_EQ(sum.CombineRgn(&a, &none, RGN_OR), ERROR);
  EXPECT_EQ(sum.OffsetRgn(3, -2), SIMPLEREGION);
  sum.GetRgnBox(&box);
  EXPECT_EQ(std::vector<LONG>({box.left, box.top, box.right, box.bottom}), std::vector<LONG>({3, -2, 13, 8}));
  EXPECT_EQ(none.GetRgnBox(&box), ERROR);
  EXPECT_FALSE(none.PtInRegion(0, 0));
  // A region handed over keeps its pixels.
  CRgn taken;
  EXPECT_TRUE(taken.Attach(sum.Detach()));
  EXPECT_TRUE(taken.PtInRegion(3, -2));
  EXPECT_EQ(sum.GetSafeHandle(), nullptr);
}

TEST(CDC, LinesEllipsesPixelsAndBlits) {
  MemoryDC m(40, 30);
  CPen red(PS_SOLID, 0, RGB(255, 0, 0));
  CPen* old = m.dc.SelectObject(&red);
  m.dc.MoveTo(2, 3);
  EXPECT_TRUE(m.dc.LineTo(12, 3));
  m.dc.SelectObject(old);
  EXPECT_EQ(PixelsOf(m.dc, 40, 30, RGB(255, 0, 0)), RectPixels(2, 3, 12, 4)) << "LineTo leaves out its end";
  // An ellipse given with its corners swapped is the same ellipse.
  MemoryDC e1(40, 30), e2(40, 30);
  e1.dc.Ellipse(10, 20, 20, 10);
  e2.dc.Ellipse(10, 10, 20, 20);
  EXPECT_EQ(PixelsOf(e1.dc, 40, 30, RGB(0, 0, 0)), PixelsOf(e2.dc, 40, 30, RGB(0, 0, 0)));
  EXPECT_FALSE(PixelsOf(e1.dc, 40, 30, RGB(0, 0, 0)).empty());
  EXPECT_EQ(m.dc.SetPixel(39, 29, RGB(9, 8, 7)), RGB(9, 8, 7));
  EXPECT_EQ(m.dc.SetPixel(40, 29, RGB(9, 8, 7)), CLR_INVALID);
  EXPECT_EQ(m.dc.SetBkMode(TRANSPARENT), OPAQUE);
  // BitBlt copies exactly, SRCCOPY only.
  MemoryDC copy(40, 30);
  EXPECT_TRUE(copy.dc.BitBlt(0, 0, 40, 30, &m.dc, 0, 0, SRCCOPY));
  EXPECT_EQ(copy.dc.GetPixel(39, 29), RGB(9, 8, 7));
  EXPECT_EQ(copy.dc.GetPixel(5, 3), RGB(255, 0, 0));
  EXPECT_FALSE(copy.dc.BitBlt(0, 0, 40, 30, &m.dc, 0, 0, 0x00EE0086));
  EXPECT_FALSE(copy.dc.BitBlt(0, 0, 40, 30, nullptr, 0, 0, SRCCOPY));
}

// DIB rows: bottom-up, B G R 0, rows padded to 4 bytes.
TEST(CBitmap, DibRows) {
  MemoryDC m(3, 2);
  m.dc.SetPixel(0, 0, RGB(0x11, 0x22, 0x33));  // top-left
  m.dc.SetPixel(2, 1, RGB(0x44, 0x55, 0x66));  // bottom-right
  BITMAP info{};
  ASSERT_EQ(m.bitmap.GetBitmap(&info), int(sizeof info));
  EXPECT_EQ(info.bmWidth, 3);
  EXPECT_EQ(info.bmHeight, 2);
  EXPECT_EQ(info.bmWidthBytes, 12);
  EXPECT_EQ(info.bmBitsPixel, 32);
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  EXPECT_EQ(GetDIBits(m.dc, m.bitmap, 0, 2, nullptr, &bi, DIB_RGB_COLORS), 2);
  EXPECT_EQ(bi.bmiHeader.biWidth, 3);
  EXPECT_EQ(bi.bmiHeader.biBitCount, 32);
  EXPECT_EQ(bi.bmiHeader.biSizeImage, 24u);
  std::vector<BYTE> bits(24);
  ASSERT_EQ(GetDIBits(m.dc, m.bitmap, 0, 2, bits.data(), &bi, DIB_RGB_COLORS), 2);
  EXPECT_EQ(std::vector<BYTE>(bits.begin() + 8, bits.begin() + 12), (std::vector<BYTE>{0x66, 0x55, 0x44, 0}));
  EXPECT_EQ(std::vector<BYTE>(bits.begin() + 12, bits.begin() + 16), (std::vector<BYTE>{0x33, 0x22, 0x11, 0}));
  bi.bmiHeader.biBitCount = 24;
  std::vector<BYTE> rgb(24);
  ASSERT_EQ(GetDIBits(m.dc, m.bitmap, 0, 2, rgb.data(), &bi, DIB_RGB_COLORS), 2);
  EXPECT_EQ(std::vector<BYTE>(rgb.begin() + 12, rgb.begin() + 15), (std::vector<BYTE>{0x33, 0x22, 0x11}));
  bi.bmiHeader.biHeight = -2;
  EXPECT_EQ(GetDIBits(m.dc, m.bitmap, 0, 2, rgb.data(), &bi, DIB_RGB_COLORS), 0) << "top-down is not offered";
  EXPECT_EQ(GetDIBits(m.dc, nullptr, 0, 2, rgb.data(), &bi, DIB_RGB_COLORS), 0);
}
