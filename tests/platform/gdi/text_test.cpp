// Text through Qt's font system: GBK strings, Chinese faces, placement.
#include <gtest/gtest.h>

#include <QFontInfo>
#include <QGuiApplication>

#include "pixels.h"
#include "platform/gdi/dc.h"

using gdi::Bitmap;
using gdi::DC;
using gdi_test::PixelSet;

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255), kText = RGB(0, 0, 0), kBack = RGB(0, 200, 0);

gdi::Font Face(const char* face, int height, int charSet = GB2312_CHARSET) {
  gdi::Font f;
  f.face = face;
  f.height = height;
  f.charSet = charSet;
  return f;
}

QRect BoxOf(const PixelSet& s) {
  QRect r;
  for (auto [x, y] : s) r |= QRect(x, y, 1, 1);
  return r;
}

}  // namespace

TEST(Font, ChineseFacesFallBackToWenQuanYi) {
  for (const char* face : {"宋体", "隶书", "楷体_GB2312", "黑体"}) {
    const QFontInfo info(Face(face, -16).ToQFont());
    EXPECT_EQ(info.family(), "WenQuanYi Micro Hei") << face;
  }
  const QFontInfo latin(Face("MS Sans Serif", -11, ANSI_CHARSET).ToQFont());
  EXPECT_FALSE(latin.family().isEmpty());
}

TEST(Font, NegativeHeightIsTheEmPositiveTheCell) {
  Bitmap b(10, 10);
  DC dc(&b);
  TEXTMETRICA em, cell;
  dc.SelectFont(Face("宋体", -16));
  ASSERT_TRUE(dc.GetTextMetrics(&em));
  EXPECT_EQ(Face("宋体", -16).ToQFont().pixelSize(), 16);
  EXPECT_GT(em.tmHeight, 16);  // the cell holds the leading above the em
  EXPECT_EQ(em.tmHeight, em.tmAscent + em.tmDescent);
  EXPECT_EQ(em.tmInternalLeading, em.tmHeight - 16);
  dc.SelectFont(Face("宋体", 16));
  ASSERT_TRUE(dc.GetTextMetrics(&cell));
  EXPECT_NEAR(cell.tmHeight, 16, 1);
  EXPECT_LT(cell.tmHeight, em.tmHeight);
}

TEST(Font, LogFontRoundTripKeepsWholeGbkCharacters) {
  gdi::Font f = Face("楷体_GB2312", -12);
  f.weight = FW_BOLD;
  f.italic = true;
  const gdi::Font back = gdi::Font::FromLogFont(f.ToLogFont());
  EXPECT_EQ(back, f);
  // A face longer than the field is cut before a character, never inside one.
  gdi::Font longFace = Face("宋体宋体宋体宋体宋体宋体宋体宋体宋体宋体", -12);
  const LOGFONTA lf = longFace.ToLogFont();
  EXPECT_EQ(std::string(lf.lfFaceName).size(), 30u);
  EXPECT_EQ(lf.lfFaceName[31], '\0');
}

TEST(TextOut, GbkTextDrawsInChineseFaces) {
  for (auto [face, height] : {std::pair{"宋体", -16}, std::pair{"隶书", -48}}) {
    Bitmap b = gdi_test::Filled(300, 80, kWhite);
    DC dc(&b);
    dc.SelectFont(Face(face, height));
    dc.SetBkMode(TRANSPARENT);
    dc.SetTextColor(kText);
    ASSERT_TRUE(dc.TextOut(10, 5, "提示信息"));
    const PixelSet ink = gdi_test::PixelsNot(b, kWhite);
    ASSERT_GT(ink.size(), 40u) << face;
    const SIZE extent = dc.GetTextExtent("提示信息");
    // Four characters, each about one em wide.
    EXPECT_NEAR(extent.cx, 4 * -height, 4) << face;
    const QRect box = BoxOf(ink);
    EXPECT_GE(box.left(), 10) << face;
    EXPECT_GE(box.top(), 5) << face;
    EXPECT_LE(box.right(), 10 + extent.cx) << face;
    EXPECT_LE(box.bottom(), 5 + extent.cy) << face;
  }
  // Real glyphs, not one missing-glyph box for every character.
  auto inkOf = [](const char* text) {
    Bitmap b = gdi_test::Filled(40, 40, kWhite);
    DC dc(&b);
    dc.SelectFont(Face("宋体", -24));
    dc.TextOut(2, 2, text);
    return gdi_test::PixelsNot(b, kWhite);
  };
  EXPECT_NE(inkOf("提"), inkOf("示"));
  EXPECT_NE(inkOf("信"), inkOf("息"));
}

TEST(TextOut, OpaqueFillsTheCellTransparentLeavesIt) {
  Bitmap b = gdi_test::Filled(200, 40, kWhite);
  DC dc(&b);
  dc.SelectFont(Face("宋体", -12));
  dc.SetTextColor(kText);
  dc.SetBkColor(kBack);
  ASSERT_TRUE(dc.TextOut(5, 5, "10，5  "));  // trailing blanks erase an older, longer text
  const SIZE extent = dc.GetTextExtent("10，5  ");
  const PixelSet back = gdi_test::PixelsOf(b, kBack);
  EXPECT_EQ(BoxOf(back), QRect(5, 5, extent.cx, extent.cy));
  EXPECT_GT(back.size(), size_t(extent.cx * extent.cy / 2));
  dc.SetBkMode(TRANSPARENT);
  Bitmap c = gdi_test::Filled(200, 40, kWhite);
  dc.SelectSurface(&c);
  dc.TextOut(5, 5, "10，5  ");
  EXPECT_TRUE(gdi_test::PixelsOf(c, kBack).empty());
}

TEST(TextOut, AlignmentPlacesTheCell) {
  Bitmap b = gdi_test::Filled(200, 100, kWhite);
  DC dc(&b);
  dc.SelectFont(Face("宋体", -16));
  dc.SetBkColor(kBack);
  const SIZE extent = dc.GetTextExtent("木字");
  dc.SetTextAlign(TA_CENTER | TA_BOTTOM);
  dc.TextOut(100, 60, "木字");
  EXPECT_EQ(BoxOf(gdi_test::PixelsOf(b, kBack)) | BoxOf(gdi_test::PixelsOf(b, kText)),
            QRect(100 - extent.cx / 2, 60 - extent.cy, extent.cx, extent.cy));
  // With TA_UPDATECP the text goes at the position and moves it on.
  dc.SetTextAlign(TA_UPDATECP);
  dc.MoveTo(3, 70);
  dc.TextOut(0, 0, "木");
  EXPECT_EQ(dc.GetCurrentPosition().x, 3 + dc.GetTextExtent("木").cx);
  EXPECT_EQ(b.GetPixel(3, 70), kBack);
  dc.SetTextAlign(TA_RIGHT | TA_BASELINE);
  EXPECT_TRUE(dc.TextOut(INT32_MAX, INT32_MIN, "木"));  // clipped away, no overflow
}

TEST(DrawText, CentredInItsBoxAndMeasured) {
  Bitmap b = gdi_test::Filled(60, 60, kWhite);
  DC dc(&b);
  dc.SelectFont(Face("宋体", -12));
  dc.SetBkMode(TRANSPARENT);
  RECT box{15, 15, 45, 45};
  EXPECT_GT(dc.DrawText("12", &box, DT_CENTER | DT_VCENTER | DT_SINGLELINE), 0);
  const QRect ink = BoxOf(gdi_test::PixelsNot(b, kWhite));
  ASSERT_FALSE(ink.isEmpty());
  EXPECT_TRUE(QRect(15, 15, 30, 30).contains(ink));
  EXPECT_NEAR(ink.center().x(), 30, 2);
  EXPECT_NEAR(ink.center().y(), 30, 3);
  // DT_CALCRECT measures without drawing.
  Bitmap c = gdi_test::Filled(60, 60, kWhite);
  dc.SelectSurface(&c);
  RECT calc{5, 5, 6, 6};
  const int h = dc.DrawText("提示信息", &calc, DT_CALCRECT | DT_SINGLELINE);
  EXPECT_EQ(calc.right - calc.left, dc.GetTextExtent("提示信息").cx);
  EXPECT_EQ(calc.bottom - calc.top, h);
  EXPECT_TRUE(gdi_test::PixelsNot(c, kWhite).empty());
  // The text is clipped to the box unless DT_NOCLIP.
  RECT narrow{0, 0, 10, 20};
  dc.DrawText("提示信息", &narrow, DT_LEFT | DT_SINGLELINE);
  EXPECT_LE(BoxOf(gdi_test::PixelsNot(c, kWhite)).right(), 9);
  RECT huge{INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX};
  dc.DrawText("x", &huge, DT_CENTER);
}

int main(int argc, char** argv) {
  // Fonts need a GUI application; no display is needed for drawing on bitmaps.
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
