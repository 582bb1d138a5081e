// A 16-bit screen: the depth the toolbar asks about, and read-back there.
#include "platform/win/screen.h"
#include "tests/platform/win/test_support.h"

#include <gtest/gtest.h>

TEST(Screen16, ReportsSixteenBitsPerPixel) {
  test::App();
  EXPECT_EQ(win::ScreenBitsPerPixel(), 16);
  EXPECT_EQ(win::ScreenCaps(BITSPIXEL), 16);
}

TEST(Screen16, CaptureConvertsToRgb32) {
  test::App();
  test::Peer peer({"--top", "white", "--geom", "20", "20", "30", "30"});
  QImage shot;
  ASSERT_TRUE(test::WaitFor([&] {
    shot = win::CaptureScreen({0, 0, 100, 100});
    return !shot.isNull() && shot.pixel(30, 30) == 0xFFFFFFFFu;
  }));
  EXPECT_EQ(shot.format(), QImage::Format_RGB32);
  EXPECT_EQ(shot.pixel(5, 5), 0xFF000000u);
}
