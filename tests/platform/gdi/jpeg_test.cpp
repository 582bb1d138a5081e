// JPEG pictures made by ImageMagick, decoded through libjpeg.
#include "platform/gdi/jpeg.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/gdi/bmp.h"
#include "platform/gdi/file_bytes.h"
#include "tool.h"

using gdi::Bitmap;

namespace {

// A picture made by ImageMagick; `format` forces the file format whatever
// the name says.
std::string Make(const std::string& name, const std::string& options, const std::string& format = "") {
  const std::string path = gdi_test::TestDir() + "/" + name;
  bool ok = false;
  gdi_test::Run("convert " + options + " " + format + "'" + path + "'", &ok);
  EXPECT_TRUE(ok) << name;
  return path;
}

std::vector<BYTE> Bytes(const std::string& path) {
  std::vector<BYTE> b;
  EXPECT_TRUE(gdi::ReadFileBytes(path, 1 << 26, &b)) << path;
  return b;
}

void ExpectNear(COLORREF got, int r, int g, int b, int tolerance, const std::string& what) {
  EXPECT_LE(std::abs(GetRValue(got) - r), tolerance) << what;
  EXPECT_LE(std::abs(GetGValue(got) - g), tolerance) << what;
  EXPECT_LE(std::abs(GetBValue(got) - b), tolerance) << what;
}

}  // namespace

TEST(Jpeg, DecodesSizeAndColourOfEachKind) {
  // Left half one colour, right half another, so orientation shows too.
  const std::string picture = "-size 40x30 xc:'rgb(200,30,60)' -fill 'rgb(20,90,210)' -draw 'rectangle 20,0 39,29'";
  const std::string grey = "-size 40x30 xc:gray80 -fill gray20 -draw 'rectangle 20,0 39,29' -colorspace Gray";
  const struct {
    const char* name;
    std::string options;
    const char* format;
    int left[3], right[3];
  } kinds[] = {
      {"baseline.jpg", picture + " -quality 95", "", {200, 30, 60}, {20, 90, 210}},
      {"progressive.jpg", picture + " -quality 95 -interlace JPEG", "", {200, 30, 60}, {20, 90, 210}},
      {"subsampled.jpg", picture + " -quality 90 -sampling-factor 2x2", "", {200, 30, 60}, {20, 90, 210}},
      {"cmyk.jpg", picture + " -colorspace CMYK -quality 95", "", {200, 30, 60}, {20, 90, 210}},
      {"grey.jpg", grey + " -quality 95", "", {204, 204, 204}, {51, 51, 51}},
      {"w0.jt", picture + " -quality 95", "jpeg:", {200, 30, 60}, {20, 90, 210}},  // clip art: by content
  };
  for (const auto& k : kinds) {
    const std::string path = Make(k.name, k.options, k.format);
    Bitmap b;
    ASSERT_TRUE(gdi::LoadJpegFile(path, &b)) << k.name;
    EXPECT_EQ(b.Width(), 40) << k.name;
    EXPECT_EQ(b.Height(), 30) << k.name;
    ExpectNear(b.GetPixel(8, 15), k.left[0], k.left[1], k.left[2], 12, k.name);
    ExpectNear(b.GetPixel(32, 15), k.right[0], k.right[1], k.right[2], 12, k.name);
  }
  // A JPEG is not read as a BMP, whatever it is called.
  Bitmap b;
  EXPECT_FALSE(gdi::LoadBmpFile(gdi_test::TestDir() + "/w0.jt", &b));
}

TEST(Jpeg, FromMemory) {
  const std::vector<BYTE> data = Bytes(Make("memory.jpg", "-size 9x7 xc:'rgb(0,128,255)' -quality 100"));
  Bitmap b;
  ASSERT_TRUE(gdi::DecodeJpeg(data.data(), data.size(), &b));
  EXPECT_EQ(b.Width(), 9);
  ExpectNear(b.GetPixel(4, 3), 0, 128, 255, 6, "memory");
}

TEST(Jpeg, DamagedPicturesAreRefused) {
  const std::vector<BYTE> good = Bytes(Make("good.jpg", "-size 64x48 plasma:fractal -seed 3 -quality 90"));
  ASSERT_GT(good.size(), 500u);
  Bitmap untouched(3, 3);
  // Truncated anywhere: header, tables, scan data.
  for (size_t n : {size_t(0), size_t(2), size_t(20), size_t(200), good.size() / 2, good.size() - 30, good.size() - 2}) {
    Bitmap b = untouched;
    EXPECT_FALSE(gdi::DecodeJpeg(good.data(), n, &b)) << n;
    EXPECT_EQ(b.Width(), 3) << n;
  }
  // Garbage after the start marker, and bytes flipped inside the scan.
  std::vector<BYTE> garbage = {0xFF, 0xD8};
  for (int i = 0; i < 400; ++i) garbage.push_back(BYTE(i * 37 + 11));
  Bitmap b = untouched;
  EXPECT_FALSE(gdi::DecodeJpeg(garbage.data(), garbage.size(), &b));
  std::vector<BYTE> flipped = good;
  for (size_t i = flipped.size() / 2; i < flipped.size() / 2 + 40; ++i) flipped[i] = 0xFF;
  EXPECT_FALSE(gdi::DecodeJpeg(flipped.data(), flipped.size(), &b));
  EXPECT_EQ(b.Width(), 3);
  // Another format is not a JPEG.
  std::vector<BYTE> bmp;
  ASSERT_TRUE(gdi::WriteBmp(Bitmap(4, 4), 24, &bmp));
  EXPECT_FALSE(gdi::DecodeJpeg(bmp.data(), bmp.size(), &b));
  EXPECT_FALSE(gdi::DecodeJpeg(nullptr, 10, &b));
  EXPECT_FALSE(gdi::LoadJpegFile(gdi_test::TestDir() + "/missing.jt", &b));
  // The decoder is still sound afterwards.
  ASSERT_TRUE(gdi::DecodeJpeg(good.data(), good.size(), &b));
  EXPECT_EQ(b.Width(), 64);
}
