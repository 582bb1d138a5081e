#include <QImage>

#include "platform/win/cursor.h"
#include "tests/platform/win/test_support.h"

#include <gtest/gtest.h>

#include <fstream>

namespace {
int MakeCursor(const std::string& picture, const std::string& out) {
  std::ofstream("picture.txt") << picture;
  std::string tool = std::string(getenv("QUARVEL_BIN")) + "/make_cursor";
  return system((tool + " picture.txt " + out + " 2>/dev/null").c_str());
}
}  // namespace

TEST(MakeCursor, DrawnPictureBecomesACursorFile) {
  test::App();
  ASSERT_EQ(MakeCursor("; a small cross\nhotspot 2 1\n..#\n.o#o\n..#\n", "cross.cut"), 0);
  HCURSOR c = LoadCursorFromFile("cross.cut");
  ASSERT_NE(c, nullptr);
  EXPECT_EQ(win::CursorHotSpot(c).x, 2);
  EXPECT_EQ(win::CursorHotSpot(c).y, 1);
  QImage img = win::CursorOf(c).pixmap().toImage().convertToFormat(QImage::Format_ARGB32);
  EXPECT_EQ(img.size(), QSize(4, 3));
  EXPECT_EQ(img.pixel(2, 0), 0xFF000000u);
  EXPECT_EQ(img.pixel(1, 1), 0xFFFFFFFFu);
  EXPECT_EQ(qAlpha(img.pixel(0, 0)), 0);
  EXPECT_EQ(qAlpha(img.pixel(3, 2)), 0);  // short row
  DestroyCursor(c);
}

TEST(MakeCursor, RefusesBadPictures) {
  test::App();
  EXPECT_NE(MakeCursor("hotspot x\n#\n", "a.cut"), 0);
  EXPECT_NE(MakeCursor("#?#\n", "b.cut"), 0);
  EXPECT_NE(MakeCursor("; nothing\n", "c.cut"), 0);
  EXPECT_NE(MakeCursor("#\n", "no/such/folder/d.cut"), 0);
  EXPECT_EQ(LoadCursorFromFile("a.cut"), nullptr);
}
