// DIB sections: rows written in DIB form come out as the picture they
// describe; headers no section can hold are refused.
#include "platform/gdi/dib_section.h"

#include <gtest/gtest.h>

#include <cstring>

using gdi::DibSection;

namespace {

BITMAPINFOHEADER Header(int w, int h, int bits, DWORD colours = 0) {
  BITMAPINFOHEADER b{};
  b.biSize = sizeof b;
  b.biWidth = w;
  b.biHeight = h;
  b.biPlanes = 1;
  b.biBitCount = WORD(bits);
  b.biCompression = BI_RGB;
  b.biClrUsed = colours;
  return b;
}

}  // namespace

TEST(DibSection, BottomUpRowsWithAColourTableShowAsDescribed) {
  // 1 bit, white for 0 and black for 1 (a vanilla picture), 3 x 2.
  const RGBQUAD vanilla[2] = {{255, 255, 255, 0}, {0, 0, 0, 0}};
  auto s = DibSection::Create(Header(3, 2, 1, 2), vanilla);
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(s->Stride(), 4u);
  EXPECT_EQ(s->ImageBytes(), 8u);
  EXPECT_EQ(s->ColourCount(), 2);
  EXPECT_EQ(s->Bits()[0], 0);  // zeroed
  s->Bits()[4] = 0xA0;         // memory row 1 = the top row: 1 0 1
  gdi::Bitmap b = s->ToBitmap();
  ASSERT_EQ(b.Width(), 3);
  ASSERT_EQ(b.Height(), 2);
  EXPECT_EQ(b.GetPixel(0, 0), RGB(0, 0, 0));
  EXPECT_EQ(b.GetPixel(1, 0), RGB(255, 255, 255));
  EXPECT_EQ(b.GetPixel(2, 0), RGB(0, 0, 0));
  EXPECT_EQ(b.GetPixel(0, 1), RGB(255, 255, 255));

  // 24 bits: blue, green, red in memory.
  auto rgb = DibSection::Create(Header(2, 1, 24), nullptr);
  ASSERT_NE(rgb, nullptr);
  EXPECT_EQ(rgb->Stride(), 8u);
  const BYTE px[6] = {10, 20, 30, 40, 50, 60};
  memcpy(rgb->Bits(), px, sizeof px);
  EXPECT_EQ(rgb->ToBitmap().GetPixel(0, 0), RGB(30, 20, 10));
  EXPECT_EQ(rgb->ToBitmap().GetPixel(1, 0), RGB(60, 50, 40));

  // 8 bits without a count: the full 256 entries are taken.
  RGBQUAD grey[256];
  for (int i = 0; i < 256; ++i) grey[i] = {BYTE(i), BYTE(i), BYTE(i), 0};
  auto g = DibSection::Create(Header(1, -1, 8), grey);  // top-down
  ASSERT_NE(g, nullptr);
  EXPECT_EQ(g->ColourCount(), 256);
  EXPECT_EQ(g->Height(), 1);
  g->Bits()[0] = 77;
  EXPECT_EQ(g->ToBitmap().GetPixel(0, 0), RGB(77, 77, 77));
}

TEST(DibSection, HeadersNoSectionHoldsAreRefused) {
  RGBQUAD table[256] = {};
  struct Case {
    const char* what;
    BITMAPINFOHEADER header;
  } cases[] = {
      {"48 bits", Header(2, 2, 48)},
      {"16 bits", Header(2, 2, 16)},
      {"no width", Header(0, 2, 8)},
      {"no height", Header(2, 0, 8)},
      {"negative width", Header(-2, 2, 8)},
      {"more colours than 1 bit has", Header(2, 2, 1, 16)},
      {"more than 256 colours", Header(2, 2, 24, 300)},
      {"beyond the reader's size", Header(10000, 10000, 8)},
  };
  for (const Case& c : cases) EXPECT_EQ(DibSection::Create(c.header, table), nullptr) << c.what;
  BITMAPINFOHEADER fields = Header(2, 2, 32);
  fields.biCompression = BI_BITFIELDS;
  EXPECT_EQ(DibSection::Create(fields, table), nullptr);
  BITMAPINFOHEADER planes = Header(2, 2, 8);
  planes.biPlanes = 2;
  EXPECT_EQ(DibSection::Create(planes, table), nullptr);
  EXPECT_EQ(DibSection::Create(Header(2, 2, 8, 4), nullptr), nullptr);  // colours said, none given
}
