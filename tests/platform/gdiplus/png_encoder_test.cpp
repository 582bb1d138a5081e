// PNG files made by the encoder, read back by ImageMagick.
#include "platform/gdiplus/png_encoder.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "platform/gdi/colour.h"
#include "platform/gdi/dc.h"
#include "tests/platform/x_test.h"

namespace {

using test::Shell;

void Write(const std::string& path, const std::string& bytes) { std::ofstream(path, std::ios::binary) << bytes; }

// A picture with a different colour in every pixel, so that a swapped
// channel or a shifted row shows.
gdi::Bitmap Pattern(int width, int height, int seed) {
  gdi::Bitmap b(width, height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) b.SetPixel(x, y, RGB((x * 7 + seed) & 255, (y * 13 + seed) & 255, (x + y) & 255));
  return b;
}

// The picture's pixels as ImageMagick reads the file: R, G, B bytes.
std::string Rgb(const gdi::Bitmap& b) {
  std::string out;
  for (int y = 0; y < b.Height(); ++y)
    for (int x = 0; x < b.Width(); ++x) {
      const COLORREF c = b.GetPixel(x, y);
      out += char(GetRValue(c));
      out += char(GetGValue(c));
      out += char(GetBValue(c));
    }
  return out;
}

}  // namespace

TEST(PngEncoder, WritesTheBitmapsColoursAsAnRgbPngWithoutAlpha) {
  gdi::Bitmap picture = Pattern(37, 21, 5);
  // The fourth byte of a pixel holds anything; it never reaches the file.
  gdi::DC dc(&picture);
  picture.Draw([](QImage& image) {
    reinterpret_cast<QRgb*>(image.scanLine(3))[4] &= 0x00FFFFFFu;
    return QRect(4, 3, 1, 1);
  });
  std::string png = "left over";
  ASSERT_EQ(Gdiplus::EncodePng(picture, &png), Gdiplus::Ok);
  Write("pattern.png", png);
  EXPECT_EQ(Shell("identify -format '%m %w %h %[channels] %z' pattern.png"), "PNG 37 21 srgb 8");
  EXPECT_EQ(Shell("convert pattern.png -depth 8 rgb:-"), Rgb(picture));
  // Board pages are mostly one colour: such a page is a small file.
  gdi::Bitmap plain(1920, 1080);
  dc.SelectSurface(&plain);
  dc.FillRect(RECT{0, 0, 1920, 1080}, gdi::SolidBrush(RGB(128, 128, 128)));
  ASSERT_EQ(Gdiplus::EncodePng(plain, &png), Gdiplus::Ok);
  EXPECT_LT(png.size(), 64u * 1024);
  Write("plain.png", png);
  EXPECT_EQ(Shell("identify -format '%w %h %[fx:p{1919,1079}.r*255]' plain.png"), "1920 1080 128");
}

TEST(PngEncoder, AnEmptyBitmapIsRefused) {
  std::string png = "kept";
  EXPECT_EQ(Gdiplus::EncodePng(gdi::Bitmap(), &png), Gdiplus::InvalidParameter);
  EXPECT_EQ(png, "kept");
}

TEST(PngEncoder, PagesEncodedOnManyThreadsAtOnceGiveTheSameFilesAsOneByOne) {
  std::vector<gdi::Bitmap> pages;
  for (int i = 0; i < 16; ++i) pages.push_back(Pattern(300, 200, i * 11));
  std::vector<std::string> alone(pages.size()), together(pages.size());
  for (size_t i = 0; i < pages.size(); ++i) ASSERT_EQ(Gdiplus::EncodePng(pages[i], &alone[i]), Gdiplus::Ok);
  std::vector<std::thread> threads;
  for (size_t i = 0; i < pages.size(); ++i)
    threads.emplace_back([&, i] { Gdiplus::EncodePng(pages[i], &together[i]); });
  for (std::thread& t : threads) t.join();
  for (size_t i = 0; i < pages.size(); ++i) EXPECT_EQ(together[i], alone[i]) << i;
}
