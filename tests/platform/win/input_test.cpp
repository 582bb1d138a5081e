// Pointer and key state from the X server, screen facts and read-back, on a
// 24-bit screen of 1024 x 768.
#include "platform/win/input.h"
#include "platform/win/screen.h"
#include "tests/platform/win/test_support.h"

#include <gtest/gtest.h>

namespace {
void Xdotool(const std::string& args) { ASSERT_EQ(system(("xdotool " + args).c_str()), 0) << args; }
bool Down(SHORT s) { return (s & 0xF000) != 0; }
}  // namespace

TEST(Input, CursorPositionIsClampedToTheScreen) {
  test::App();
  ASSERT_TRUE(SetCursorPos(300, 200));
  POINT p{};
  ASSERT_TRUE(GetCursorPos(&p));
  EXPECT_EQ(p.x, 300);
  EXPECT_EQ(p.y, 200);
  // The curtain sends the pointer to (screen width, 50).
  ASSERT_TRUE(SetCursorPos(win::ScreenWidth(), 50));
  ASSERT_TRUE(GetCursorPos(&p));
  EXPECT_EQ(p.x, 1023);
  EXPECT_EQ(p.y, 50);
  ASSERT_TRUE(SetCursorPos(-5, 99999));
  ASSERT_TRUE(GetCursorPos(&p));
  EXPECT_EQ(p.x, 0);
  EXPECT_EQ(p.y, 767);
  EXPECT_FALSE(GetCursorPos(nullptr));
}

TEST(Input, ModifierKeysAreReadFromTheServerWithoutFocus) {
  test::App();
  struct Case {
    const char* key;
    int vk;
  } cases[] = {{"Shift_L", VK_SHIFT}, {"Shift_R", VK_SHIFT}, {"Control_L", VK_CONTROL}, {"Alt_L", VK_MENU}};
  for (const Case& c : cases) {
    EXPECT_FALSE(Down(GetKeyState(c.vk))) << c.key;
    Xdotool(std::string("keydown ") + c.key);
    EXPECT_TRUE(Down(GetKeyState(c.vk))) << c.key;
    EXPECT_LT(GetKeyState(c.vk), 0) << c.key;
    Xdotool(std::string("keyup ") + c.key);
    EXPECT_FALSE(Down(GetKeyState(c.vk))) << c.key;
  }
}

TEST(Input, CapsLockToggleIsTheLowBit) {
  test::App();
  EXPECT_EQ(GetKeyState(VK_CAPITAL) & 0x0F, 0);
  Xdotool("key Caps_Lock");
  EXPECT_NE(GetKeyState(VK_CAPITAL) & 0x0F, 0);
  EXPECT_FALSE(Down(GetKeyState(VK_CAPITAL)));
  Xdotool("key Caps_Lock");
  EXPECT_EQ(GetKeyState(VK_CAPITAL) & 0x0F, 0);
}

TEST(Input, LeftButton) {
  test::App();
  EXPECT_GE(GetAsyncKeyState(VK_LBUTTON), 0);
  Xdotool("mousedown 1");
  EXPECT_LT(GetAsyncKeyState(VK_LBUTTON), 0);
  EXPECT_GE(GetAsyncKeyState(VK_RBUTTON), 0);
  Xdotool("mouseup 1");
  EXPECT_GE(GetAsyncKeyState(VK_LBUTTON), 0);
  EXPECT_EQ(GetKeyState(0x41), 0);  // keys not kept
}

TEST(Screen, SizeDepthAndSettingsThatCannotChange) {
  test::App();
  EXPECT_EQ(win::ScreenWidth(), 1024);
  EXPECT_EQ(win::ScreenHeight(), 768);
  EXPECT_GE(win::ScreenBitsPerPixel(), 24);  // no question at start-up
  EXPECT_EQ(win::ScreenCaps(BITSPIXEL), win::ScreenBitsPerPixel());
  EXPECT_EQ(win::ScreenCaps(HORZRES), 1024);
  DEVMODE mode{};
  mode.dmSize = sizeof mode;
  mode.dmBitsPerPel = 24;
  mode.dmFields = DM_BITSPERPEL;
  EXPECT_EQ(ChangeDisplaySettings(&mode, 0), DISP_CHANGE_FAILED);
  EXPECT_FALSE(SystemParametersInfo(SPI_SETSCREENSAVERRUNNING, 0, nullptr, 0));
}

TEST(Screen, CaptureReadsBackAnotherProcessesWindow) {
  test::App();
  test::Peer peer({"--top", "white", "--geom", "100", "100", "50", "40"});
  // Root background is black on Xvfb; the peer's window is white.
  QImage shot;
  ASSERT_TRUE(test::WaitFor([&] {
    shot = win::CaptureScreen({90, 95, 160, 150});
    return !shot.isNull() && shot.pixel(15, 10) == 0xFFFFFFFFu;
  }));
  EXPECT_EQ(shot.size(), QSize(70, 55));
  EXPECT_EQ(shot.format(), QImage::Format_RGB32);
  EXPECT_EQ(shot.pixel(5, 2), 0xFF000000u);
  EXPECT_EQ(shot.pixel(59, 44), 0xFFFFFFFFu);  // (149, 139): last pixel of the window
  EXPECT_EQ(shot.pixel(60, 45), 0xFF000000u);
  EXPECT_EQ(win::CaptureScreen({1000, 700, 2000, 2000}).size(), QSize(24, 68));
  EXPECT_TRUE(win::CaptureScreen({10, 10, 10, 20}).isNull());
}

TEST(Input, PressingABorderlessFormDragsIt) {
  test::App();
  test::DraggedForm form;
  form.setGeometry(100, 100, 396, 137);
  form.show();
  ASSERT_TRUE(test::WaitFor([&] { return form.windowHandle()->isExposed(); }));
  EXPECT_TRUE(test::DragMoves(form, {110, 110}, {300, 200}, {290, 190}));
  EXPECT_FALSE(win::StartWindowMove(form.windowHandle()->winId()));  // button up
  EXPECT_FALSE(win::StartWindowMove(0x7fffff0));
}
