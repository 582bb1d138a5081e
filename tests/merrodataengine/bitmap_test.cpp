// Stroke order strips and BMP files, read back by ImageMagick.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

#include "engine_data.h"
#include "merrodataengine/outline/out_line.h"
#include "picture.h"
#include "pixels.h"

using namespace engine_test;
namespace fs = std::filesystem;

namespace {

std::string Hex(const std::string& bytes) {
  std::string out;
  char two[4];
  for (unsigned char c : bytes) {
    snprintf(two, sizeof two, "%02x ", c);
    out += two;
  }
  return out.empty() ? out : out.substr(0, out.size() - 1);
}

class BitmapTest : public ::testing::Test {
 protected:
  DataFolder data{kFixtures};
  COutLine outline;
};

const COLORREF kWhite = RGB(255, 255, 255), kInk = RGB(0, 0, 255);

}  // namespace

TEST_F(BitmapTest, BmpFileOfABitmap) {
  MemoryDC m(10, 10);
  m.dc.SetPixel(0, 0, RGB(255, 0, 0));
  m.dc.SetPixel(9, 9, RGB(0, 0, 255));
  ASSERT_EQ(outline.On_Save_bmp("ten.bmp", &m.dc, &m.bitmap), 1);
  const std::string file = Slurp("ten.bmp");
  ASSERT_EQ(file.size(), 454u);
  EXPECT_EQ(Hex(file.substr(0, 54)),
            "42 4d c6 01 00 00 00 00 00 00 36 00 00 00 "                                // file header
            "28 00 00 00 0a 00 00 00 0a 00 00 00 01 00 20 00 00 00 00 00 90 01 00 00 "  // info header
            "00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00");
  EXPECT_EQ(Hex(file.substr(54 + 9 * 40, 4)), "00 00 ff 00") << "rows bottom-up, B G R 0";
  const Picture p("ten.bmp");
  EXPECT_EQ(p.w, 10);
  EXPECT_EQ(p.At(0, 0), RGB(255, 0, 0));
  EXPECT_EQ(p.At(9, 9), RGB(0, 0, 255));
  EXPECT_EQ(p.At(5, 5), kWhite);
  CBitmap none;
  EXPECT_EQ(outline.On_Save_bmp("none.bmp", &m.dc, &none), 0);
  EXPECT_EQ(outline.On_Save_bmp("nofolder\\x.bmp", &m.dc, &m.bitmap), 0);
  EXPECT_FALSE(fs::exists("none.bmp"));
}

// Cell i shows strokes 1..i; cells are the box's width at the scale, 10
// pixels apart, 2 from the top.
TEST_F(BitmapTest, StrokeOrderStrip) {
  data.Load(outline, kBars);
  ASSERT_EQ(outline.On_Stroke_Order("order.bmp", 100, kWhite, kInk), 1);
  EXPECT_EQ(fs::file_size("order.bmp"), 54u + 180u * 104u * 4u);
  EXPECT_EQ(outline.GetXScale(), 0.5);
  const Picture p("order.bmp");
  ASSERT_EQ(p.w, 180);
  ASSERT_EQ(p.h, 104);
  struct Area {
    int l, t, r, b;
    COLORREF c;
  } areas[] = {
      {0, 2, 50, 12, kInk},      {60, 2, 110, 12, kInk},   {120, 2, 170, 12, kInk},  // stroke 1 in every cell
      {60, 47, 110, 57, kInk},   {120, 47, 170, 57, kInk},                          // stroke 2 from cell 2 on
      {120, 92, 170, 102, kInk},                                                     // stroke 3 in cell 3
      {0, 47, 50, 57, kWhite},   {60, 92, 110, 102, kWhite}, {0, 12, 50, 47, kWhite},
      {0, 0, 180, 2, kWhite},    {0, 102, 180, 104, kWhite}, {50, 0, 60, 104, kWhite}, {170, 0, 180, 104, kWhite},
  };
  for (const Area& a : areas)
    EXPECT_TRUE(p.All(a.l, a.t, a.r, a.b, a.c)) << a.l << "," << a.t << " " << a.r << "," << a.b;
}

// A box that does not start at the origin fills its cells all the same, and
// the outline's offset plays no part.
TEST_F(BitmapTest, StrokeOrderOfABoxAwayFromTheOrigin) {
  data.Load(outline, kRect);  // box {10, 20, 200, 40}
  outline.On_Set_Offset(7, 9);
  ASSERT_EQ(outline.On_Stroke_Order("rect.bmp", 20, kWhite, kInk), 1);
  EXPECT_EQ(outline.GetOffset(), (POINT{7, 9}));
  const Picture p("rect.bmp");
  ASSERT_EQ(p.w, 200);
  ASSERT_EQ(p.h, 24);
  EXPECT_TRUE(p.All(0, 2, 190, 22, kInk));
  EXPECT_TRUE(p.All(190, 0, 200, 24, kWhite));
  EXPECT_TRUE(p.All(0, 0, 200, 2, kWhite));
}

TEST_F(BitmapTest, StrokeOrderRefusals) {
  EXPECT_EQ(outline.On_Stroke_Order("empty.bmp", 100, kWhite, kInk), 0) << "no character";
  data.Load(outline, kBars);
  EXPECT_EQ(outline.On_Stroke_Order("zero.bmp", 0, kWhite, kInk), 0);
  EXPECT_EQ(outline.On_Stroke_Order("nofolder\\x.bmp", 100, kWhite, kInk), 0);
  EXPECT_FALSE(fs::exists("empty.bmp") || fs::exists("zero.bmp"));
  COutLine flat;  // a character of one horizontal line has no height
  DataFolder line("char 啊\nstroke 1 0 0\nline 50 0 0 0", "line");
  line.Load(flat, 0);
  ASSERT_EQ(flat.GetStrokes(), 1);
  EXPECT_EQ(flat.On_Stroke_Order("flat.bmp", 100, kWhite, kInk), 0);
}

// The first stroke fitted into a rectangle, the rectangle's corner at the
// picture's.
TEST_F(BitmapTest, FirstStrokePicture) {
  data.Load(outline, kBars);
  for (RECT r : {RECT{0, 0, 99, 49}, RECT{20, 30, 119, 79}, RECT{20, 30, 119, 79}}) {
    ASSERT_EQ(outline.On_Stroke_Offset("first.bmp", r, kWhite, kInk), 1);
    const Picture p("first.bmp");
    ASSERT_EQ(p.w, 100);
    ASSERT_EQ(p.h, 50);
    EXPECT_TRUE(p.All(0, 0, 99, 4, kInk)) << r.left;
    EXPECT_TRUE(p.All(0, 4, 100, 50, kWhite)) << r.left;
    EXPECT_EQ(outline.GetOffset(), (POINT{0, 0}));
  }
  COutLine empty;
  EXPECT_EQ(empty.On_Stroke_Offset("none.bmp", RECT{0, 0, 9, 9}, kWhite, kInk), 0);
}

// A real character's strip: every cell holds its strokes inside the cell,
// and the last cell the whole character.
TEST_F(BitmapTest, StrokeOrderOfARealCharacter) {
  DataFolder real(kCharacters, "real");
  real.Load(outline, kJing);
  RECT* box = nullptr;
  ASSERT_TRUE(outline.GetRect(&box));
  const RECT b = *box;
  ASSERT_EQ(outline.On_Stroke_Order("jing.bmp", 100, kWhite, kInk), 1);
  const int w = int((b.right - b.left) * (100.0 / (b.bottom - b.top)));
  const Picture p("jing.bmp");
  ASSERT_EQ(p.w, (w + 10) * 12);
  ASSERT_EQ(p.h, 104);
  for (int cell = 0; cell < 12; ++cell) {
    const int x = cell * (w + 10);
    EXPECT_FALSE(p.All(x, 2, x + w, 102, kWhite)) << "cell " << cell << " has ink";
    EXPECT_TRUE(p.All(x + w, 0, x + w + 10, 104, kWhite)) << "nothing spills past cell " << cell;
  }
  // The last cell is the character painted at the strip's scale into a box
  // that starts at the cell's corner.
  MemoryDC m(w, 100);
  outline.On_Set_Offset(-int(b.left * 100.0 / (b.bottom - b.top)), -int(b.top * 100.0 / (b.bottom - b.top)));
  for (unsigned long k = 1; k <= 12; ++k) outline.DrawStrokeRgn(&m.dc, k, 0);
  const int last = 11 * (w + 10);
  int same = 0;
  for (int y = 0; y < 100; ++y)
    for (int x = 0; x < w; ++x) same += (p.At(last + x, y + 2) == kInk) == (m.dc.GetPixel(x, y) == RGB(0, 0, 0));
  EXPECT_EQ(same, w * 100);
}
