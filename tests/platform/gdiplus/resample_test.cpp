// The resampling round trip: pictures from memory, bitmaps made in memory,
// scaled drawing with the nearest and the smooth modes, and the BMP and PNG
// encoders, whose files ImageMagick reads back.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "platform/gdi/bitmap.h"
#include "platform/gdi/bmp.h"
#include "platform/gdi/colour.h"
#include "platform/gdiplus/gdiplus.h"

namespace {

std::string Sh(const std::string& cmd) {
  std::string out;
  if (FILE* p = popen((cmd + " 2>/dev/null").c_str(), "r")) {
    char buf[512];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
    pclose(p);
  }
  return out;
}

// 8 x 6: column x has red 10 * x, row y has green 10 * y, blue 200.
gdi::Bitmap Ramp() {
  gdi::Bitmap b(8, 6);
  for (int y = 0; y < 6; ++y)
    for (int x = 0; x < 8; ++x) b.SetPixel(x, y, RGB(10 * x, 10 * y, 200));
  return b;
}

// The ramp as a BMP image in memory, as a bitmap saved into a stream.
std::vector<BYTE> RampBmp() {
  std::vector<BYTE> bytes;
  EXPECT_TRUE(gdi::WriteBmp(Ramp(), 32, &bytes));
  return bytes;
}

QRgb At(const Gdiplus::Image& i, int x, int y) { return i.Pixels().pixel(x, y); }

}  // namespace

TEST(GdiplusMemory, APictureFromTheBytesOfABitmapStream) {
  const std::vector<BYTE> bytes = RampBmp();
  Gdiplus::Image image(bytes.data(), bytes.size());
  ASSERT_EQ(image.GetLastStatus(), Gdiplus::Ok);
  EXPECT_EQ(image.GetWidth(), 8u);
  EXPECT_EQ(image.GetHeight(), 6u);
  EXPECT_EQ(At(image, 3, 5), qRgb(30, 50, 200));

  const char junk[] = "not a picture";
  Gdiplus::Image bad(junk, sizeof junk);
  EXPECT_EQ(bad.GetLastStatus(), Gdiplus::UnknownImageFormat);
  Gdiplus::Image none(nullptr, 0);
  EXPECT_EQ(none.GetLastStatus(), Gdiplus::UnknownImageFormat);
  EXPECT_EQ(none.GetWidth(), 0u);
}

TEST(GdiplusBitmap, StartsTransparentBlackAndRefusesWhatItCannotBe) {
  Gdiplus::Bitmap b(5, 3, Gdiplus::PixelFormat32bppARGB);
  ASSERT_EQ(b.GetLastStatus(), Gdiplus::Ok);
  EXPECT_EQ(b.GetWidth(), 5u);
  EXPECT_EQ(At(b, 4, 2), 0u);
  const struct {
    int w, h, format;
  } refused[] = {{0, 3, Gdiplus::PixelFormat32bppARGB}, {5, -1, Gdiplus::PixelFormat32bppARGB}, {5, 3, 0x21808}};
  for (const auto& r : refused) {
    Gdiplus::Bitmap bad(r.w, r.h, r.format);
    EXPECT_EQ(bad.GetLastStatus(), Gdiplus::InvalidParameter) << r.w << "x" << r.h;
    EXPECT_EQ(bad.GetWidth(), 0u);
  }
}

TEST(GdiplusGraphics, DrawsASourceRectangleScaledIntoTheDestination) {
  const std::vector<BYTE> bytes = RampBmp();
  Gdiplus::Image image(bytes.data(), bytes.size());
  // The source (2, 2, 4 x 2) doubled, pixel for pixel.
  Gdiplus::Bitmap target(10, 6, Gdiplus::PixelFormat32bppARGB);
  Gdiplus::Graphics g(&target);
  ASSERT_EQ(g.SetInterpolationMode(Gdiplus::InterpolationModeNearestNeighbor), Gdiplus::Ok);
  ASSERT_EQ(g.DrawImage(&image, Gdiplus::RectF(0, 0, 8, 4), 2, 2, 4, 2, Gdiplus::UnitPixel), Gdiplus::Ok);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 8; ++x)
      ASSERT_EQ(At(target, x, y), qRgb(10 * (2 + x / 2), 10 * (2 + y / 2), 200)) << x << "," << y;
  EXPECT_EQ(At(target, 8, 0), 0u);  // outside the destination: untouched
  EXPECT_EQ(At(target, 0, 4), 0u);

  // Smooth scaling keeps a flat colour flat and stays inside the destination.
  Gdiplus::Bitmap flat(3, 3, Gdiplus::PixelFormat32bppARGB);
  Gdiplus::Graphics f(&flat);
  f.SetInterpolationMode(Gdiplus::InterpolationModeHighQualityBicubic);
  ASSERT_EQ(f.DrawImage(&image, Gdiplus::RectF(0, 0, 2.5f, 2.5f), 0, 0, 8, 6, Gdiplus::UnitPixel), Gdiplus::Ok);
  EXPECT_EQ(qBlue(At(flat, 0, 0)), 200);
  EXPECT_EQ(qAlpha(At(flat, 0, 0)), 255);

  // A source reaching past the picture draws only the picture's part.
  Gdiplus::Bitmap part(4, 4, Gdiplus::PixelFormat32bppARGB);
  Gdiplus::Graphics p(&part);
  p.SetInterpolationMode(Gdiplus::InterpolationModeNearestNeighbor);
  ASSERT_EQ(p.DrawImage(&image, Gdiplus::RectF(0, 0, 4, 4), 6, 4, 4, 4, Gdiplus::UnitPixel), Gdiplus::Ok);
  EXPECT_EQ(At(part, 1, 1), qRgb(70, 50, 200));
  EXPECT_EQ(At(part, 2, 1), 0u);
  EXPECT_EQ(At(part, 1, 2), 0u);

  EXPECT_EQ(p.DrawImage(&image, Gdiplus::RectF(0, 0, 4, 4), 0, 0, 0, 4, Gdiplus::UnitPixel),
            Gdiplus::InvalidParameter);
  EXPECT_EQ(p.DrawImage(&image, Gdiplus::RectF(0, 0, 4, 4), 0, 0, 4, 4, Gdiplus::UnitDisplay),
            Gdiplus::InvalidParameter);
  EXPECT_EQ(p.DrawImage(nullptr, Gdiplus::RectF(0, 0, 4, 4), 0, 0, 4, 4, Gdiplus::UnitPixel),
            Gdiplus::InvalidParameter);
}

TEST(GdiplusEncoders, BmpFilesComposeOverBlackAndPngFilesKeepTheAlpha) {
  Gdiplus::CLSID bmp{}, png{}, unknown{};
  ASSERT_TRUE(Gdiplus::GetEncoderClsid("image/bmp", &bmp));
  ASSERT_TRUE(Gdiplus::GetEncoderClsid("image/png", &png));
  EXPECT_FALSE(Gdiplus::GetEncoderClsid("image/gif", &unknown));
  EXPECT_FALSE(bmp == png);

  const std::vector<BYTE> bytes = RampBmp();
  Gdiplus::Image image(bytes.data(), bytes.size());
  Gdiplus::Bitmap b(4, 2, Gdiplus::PixelFormat32bppARGB);
  Gdiplus::Graphics g(&b);
  g.SetInterpolationMode(Gdiplus::InterpolationModeNearestNeighbor);
  ASSERT_EQ(g.DrawImage(&image, Gdiplus::RectF(0, 0, 2, 2), 1, 1, 2, 2, Gdiplus::UnitPixel), Gdiplus::Ok);

  ASSERT_EQ(b.Save("tmp.bmt", &bmp), Gdiplus::Ok);
  EXPECT_EQ(Sh("identify -format '%m %wx%h %z' tmp.bmt"), "BMP3 4x2 8");
  EXPECT_EQ(Sh("convert tmp.bmt -format '%[pixel:p{1,1}] %[pixel:p{3,0}]' info:"), "srgb(20,20,200) srgb(0,0,0)");
  gdi::Bitmap back;
  ASSERT_TRUE(gdi::LoadBmpFile("tmp.bmt", &back));
  EXPECT_EQ(back.GetPixel(0, 0), RGB(10, 10, 200));
  EXPECT_EQ(back.GetPixel(2, 1), RGB(0, 0, 0));

  ASSERT_EQ(b.Save("page.pte", &png), Gdiplus::Ok);
  EXPECT_EQ(Sh("convert page.pte -format '%[pixel:p{0,1}] %[pixel:p{3,1}]' info:"), "srgba(10,20,200,1) srgba(0,0,0,0)");

  Gdiplus::Bitmap empty(0, 0, Gdiplus::PixelFormat32bppARGB);
  EXPECT_EQ(empty.Save("empty.bmt", &bmp), Gdiplus::InvalidParameter);
  EXPECT_EQ(b.Save("x.bmt", &unknown), Gdiplus::InvalidParameter);
  EXPECT_EQ(b.Save("no\\such\\folder\\x.bmt", &bmp), Gdiplus::GenericError);
}
