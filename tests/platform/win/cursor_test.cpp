// Cursor files: written, read back by us and by ImageMagick, loaded by name
// from the current folder.
#include <QDir>
#include <QPixmap>

#include "platform/text/gbk.h"
#include "platform/win/cursor.h"
#include "tests/platform/win/test_support.h"

#include <gtest/gtest.h>

#include <fstream>

namespace {

QImage Arrow() {
  QImage img(32, 32, QImage::Format_ARGB32);
  img.fill(Qt::transparent);
  for (int i = 0; i < 20; ++i) {
    img.setPixel(i, i, 0xFF000000);
    img.setPixel(0, i, 0xFFFFFFFF);
  }
  return img;
}

}  // namespace

TEST(Cursor, FileRoundTrip) {
  test::App();
  ASSERT_TRUE(win::WriteCursorFile("Text_Hnd.cut", Arrow(), {5, 7}));
  EXPECT_EQ(test::Shell("identify -format '%m %wx%h %[hotspot]' Text_Hnd.cut"), "PNG 32x32 5,7");
  HCURSOR c = LoadCursorFromFile("Text_Hnd.cut");
  ASSERT_NE(c, nullptr);
  EXPECT_EQ(win::CursorHotSpot(c).x, 5);
  EXPECT_EQ(win::CursorHotSpot(c).y, 7);
  QCursor q = win::CursorOf(c);
  EXPECT_EQ(q.hotSpot(), QPoint(5, 7));
  QImage back = q.pixmap().toImage().convertToFormat(QImage::Format_ARGB32);
  EXPECT_EQ(back.pixel(10, 10), 0xFF000000u);
  EXPECT_EQ(back.pixel(0, 15), 0xFFFFFFFFu);
  EXPECT_EQ(qAlpha(back.pixel(20, 5)), 0);
  EXPECT_TRUE(DestroyCursor(c));
}

TEST(Cursor, NamesWithBlanksFoldersAndChineseLetters) {
  test::App();
  QDir().mkpath("sub");
  ASSERT_TRUE(win::WriteCursorFile("Sonic cross2.cut", Arrow(), {16, 16}));
  ASSERT_TRUE(win::WriteCursorFile(gbk::ToUtf8("sub/光标.cut"), Arrow(), {1, 2}));
  HCURSOR a = LoadCursorFromFile("Sonic cross2.cut");
  HCURSOR b = LoadCursorFromFile("sub\\光标.cut");
  ASSERT_NE(a, nullptr);
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(win::CursorHotSpot(b).y, 2);
  DestroyCursor(a);
  DestroyCursor(b);
}

TEST(Cursor, WhatIsNoCursorFileGivesZero) {
  test::App();
  std::ofstream("garbage.cut") << "not a picture";
  ASSERT_TRUE(Arrow().save("picture.bmp", "BMP"));
  QImage empty;
  EXPECT_EQ(LoadCursorFromFile("missing.cut"), nullptr);
  EXPECT_EQ(LoadCursorFromFile("garbage.cut"), nullptr);
  EXPECT_EQ(LoadCursorFromFile("picture.bmp"), nullptr);
  EXPECT_EQ(LoadCursorFromFile(""), nullptr);
  EXPECT_EQ(LoadCursorFromFile(nullptr), nullptr);
  EXPECT_FALSE(win::WriteCursorFile("empty.cut", empty, {0, 0}));
  EXPECT_FALSE(QFile::exists("empty.cut"));
  EXPECT_FALSE(DestroyCursor(nullptr));
  EXPECT_EQ(win::CursorOf(nullptr).shape(), Qt::ArrowCursor);
}

TEST(Cursor, HotSpotsOutsideOrMissingAreMadeSafe) {
  test::App();
  ASSERT_TRUE(win::WriteCursorFile("far.cut", Arrow(), {100, -4}));
  HCURSOR far = LoadCursorFromFile("far.cut");
  ASSERT_NE(far, nullptr);
  EXPECT_EQ(win::CursorHotSpot(far).x, 31);
  EXPECT_EQ(win::CursorHotSpot(far).y, 0);
  ASSERT_TRUE(Arrow().save("plain.cut", "PNG"));  // a PNG without the text chunk
  HCURSOR plain = LoadCursorFromFile("plain.cut");
  ASSERT_NE(plain, nullptr);
  EXPECT_EQ(win::CursorHotSpot(plain).x, 0);
  DestroyCursor(far);
  DestroyCursor(plain);
}
