// Pictures written by ImageMagick, read by content and drawn into a bitmap
// through a device context.
#include "platform/gdiplus/gdiplus.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/gdi/bitmap.h"
#include "platform/gdi/colour.h"

namespace {

bool Sh(const std::string& cmd) { return system((cmd + " >/dev/null 2>&1").c_str()) == 0; }

// A 10 x 8 bitmap in one colour, with a DC on it.
struct Target {
  gdi::Bitmap bitmap{10, 8};
  gdi::DC dc{&bitmap};
  explicit Target(COLORREF ground = RGB(0, 0, 255)) { dc.FillRect(RECT{0, 0, 10, 8}, gdi::SolidBrush(ground)); }
};

}  // namespace

TEST(GdiplusImage, ReadsPicturesByContentAndDrawsThemPixelForPixel) {
  // Red, green / white, half-transparent black; a PNG stored as ".pte", at 300 dpi.
  ASSERT_TRUE(Sh("convert -size 2x2 xc:red -fill lime -draw 'point 1,0' -fill white -draw 'point 0,1' "
                 "-alpha set -fill 'rgba(0,0,0,0.5)' -draw 'color 1,1 point' -units PixelsPerInch -density 300 "
                 "PNG32:page.pte"));
  Gdiplus::Image png("page.pte");
  ASSERT_EQ(png.GetLastStatus(), Gdiplus::Ok);
  EXPECT_EQ(png.GetWidth(), 2u);
  EXPECT_EQ(png.GetHeight(), 2u);

  Target t(RGB(0, 0, 200));
  Gdiplus::Graphics g(&t.dc);
  EXPECT_EQ(g.DrawImage(&png, 3, 4), Gdiplus::Ok);
  EXPECT_EQ(t.bitmap.GetPixel(3, 4), RGB(255, 0, 0));
  EXPECT_EQ(t.bitmap.GetPixel(4, 4), RGB(0, 255, 0));
  EXPECT_EQ(t.bitmap.GetPixel(3, 5), RGB(255, 255, 255));
  // Half of the ground shows through the half-transparent pixel.
  const COLORREF mixed = t.bitmap.GetPixel(4, 5);
  EXPECT_NEAR(GetBValue(mixed), 100, 2);
  EXPECT_EQ(GetRValue(mixed), 0);
  // Nothing beyond the picture's own pixels, whatever its resolution.
  EXPECT_EQ(t.bitmap.GetPixel(5, 4), RGB(0, 0, 200));
  EXPECT_EQ(t.bitmap.GetPixel(3, 6), RGB(0, 0, 200));

  // A BMP under another name, and a JPEG through libjpeg.
  ASSERT_TRUE(Sh("convert -size 3x1 xc:yellow BMP3:tmp.bmt && convert -size 4x4 xc:'rgb(0,0,255)' -quality 100 JPEG:pic.jt"));
  Gdiplus::Image bmp("tmp.bmt"), jpeg("pic.jt");
  ASSERT_EQ(bmp.GetLastStatus(), Gdiplus::Ok);
  ASSERT_EQ(jpeg.GetLastStatus(), Gdiplus::Ok);
  EXPECT_EQ(bmp.GetWidth(), 3u);
  EXPECT_EQ(jpeg.GetHeight(), 4u);
  g.DrawImage(&bmp, 0, 0);
  g.DrawImage(&jpeg, 6, 0);
  EXPECT_EQ(t.bitmap.GetPixel(2, 0), RGB(255, 255, 0));
  EXPECT_GT(GetBValue(t.bitmap.GetPixel(7, 1)), 240);
  EXPECT_LT(GetRValue(t.bitmap.GetPixel(7, 1)), 16);
}

TEST(GdiplusGraphics, DrawsOnlyInsideTheClipRegionAndTheSurface) {
  ASSERT_TRUE(Sh("convert -size 6x6 xc:red clip.png"));
  Gdiplus::Image red("clip.png");
  Target t;
  gdi::Region clip;
  clip.SetRect(2, 2, 4, 4);
  t.dc.SelectClipRgn(&clip);
  Gdiplus::Graphics g(&t.dc);
  // Partly off the surface too: no crash, only what lies inside is drawn.
  EXPECT_EQ(g.DrawImage(&red, -1, -1), Gdiplus::Ok);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 10; ++x)
      EXPECT_EQ(t.bitmap.GetPixel(x, y), clip.Contains(x, y) ? RGB(255, 0, 0) : RGB(0, 0, 255)) << x << "," << y;
  // The clip region is read at each call.
  t.dc.SelectClipRgn(nullptr);
  g.DrawImage(&red, 8, 6);
  EXPECT_EQ(t.bitmap.GetPixel(9, 7), RGB(255, 0, 0));
}

TEST(GdiplusImage, MissingOrForeignFilesGiveAStatusAndDrawNothing) {
  Gdiplus::Image missing("no such picture.png");
  EXPECT_EQ(missing.GetLastStatus(), Gdiplus::FileNotFound);
  EXPECT_EQ(missing.GetWidth(), 0u);
  FILE* f = fopen("notes.txt", "w");
  ASSERT_TRUE(f);
  fputs("not a picture\n", f);
  fclose(f);
  Gdiplus::Image text("notes.txt");
  EXPECT_EQ(text.GetLastStatus(), Gdiplus::UnknownImageFormat);
  // A JPEG cut short is refused too.
  ASSERT_TRUE(Sh("convert -size 64x64 plasma:fractal cut.jpg && head -c 300 cut.jpg > short.jpg"));
  EXPECT_EQ(Gdiplus::Image("short.jpg").GetLastStatus(), Gdiplus::UnknownImageFormat);

  Target t;
  Gdiplus::Graphics g(&t.dc);
  EXPECT_EQ(g.DrawImage(&missing, 0, 0), Gdiplus::InvalidParameter);
  EXPECT_EQ(g.DrawImage(&text, 0, 0), Gdiplus::InvalidParameter);
  EXPECT_EQ(g.DrawImage(nullptr, 0, 0), Gdiplus::InvalidParameter);
  gdi::DC nowhere;
  EXPECT_EQ(Gdiplus::Graphics(&nowhere).DrawImage(&missing, 0, 0), Gdiplus::InvalidParameter);
  EXPECT_EQ(t.bitmap.GetPixel(0, 0), RGB(0, 0, 255));
}

// A picture cut short anywhere, or with its data overwritten by random
// bytes, is refused as a whole, from a file and from memory alike: nothing
// of it, and nothing of what the memory held before, can be drawn.
TEST(GdiplusImage, APictureThatDoesNotDecodeCompletelyIsRefused) {
  ASSERT_TRUE(Sh("convert -size 300x200 plasma:fractal -depth 8 PNG24:whole.png && convert whole.png BMP3:whole.bmp "
                 "&& convert whole.png whole.gif && convert whole.png -quality 90 whole.jpg"));
  for (const char* name : {"whole.png", "whole.bmp", "whole.gif", "whole.jpg"}) {
    Gdiplus::Image whole(name);
    ASSERT_EQ(whole.GetLastStatus(), Gdiplus::Ok) << name;
    FILE* f = fopen(name, "rb");
    ASSERT_TRUE(f);
    std::string bytes(size_t(1) << 20, '\0');
    bytes.resize(fread(bytes.data(), 1, bytes.size(), f));
    fclose(f);
    // Cut after the header, in the middle, in the last of the pixel data.
    for (size_t cut : {size_t(100), bytes.size() / 2, bytes.size() - 40}) {
      const std::string part = bytes.substr(0, cut);
      Gdiplus::Image memory(part.data(), part.size());
      EXPECT_EQ(memory.GetLastStatus(), Gdiplus::UnknownImageFormat) << name << " cut at " << cut;
      EXPECT_EQ(memory.GetWidth(), 0u) << name << " cut at " << cut;
      FILE* out = fopen("cut.pte", "wb");
      fwrite(part.data(), 1, part.size(), out);
      fclose(out);
      Gdiplus::Image file("cut.pte");
      EXPECT_EQ(file.GetLastStatus(), Gdiplus::UnknownImageFormat) << name << " cut at " << cut;
      Target t;
      EXPECT_EQ(Gdiplus::Graphics(&t.dc).DrawImage(&file, 0, 0), Gdiplus::InvalidParameter);
      EXPECT_EQ(t.bitmap.GetPixel(0, 0), RGB(0, 0, 255));
    }
  }
  // A PNG whose picture data is random: its header still reads.
  ASSERT_TRUE(Sh("cp whole.png noise.png && head -c 5000 /dev/urandom | dd of=noise.png bs=1 seek=200 conv=notrunc"));
  EXPECT_EQ(Gdiplus::Image("noise.png").GetLastStatus(), Gdiplus::UnknownImageFormat);
}
