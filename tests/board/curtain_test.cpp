// The projection curtain, opened from the board and from the toolbar and
// lifted with real X input (built for 1024 x 768 and for a 1920-wide screen).
#include "board/curtain.h"
#include "platform/win/input.h"
#include "tests/board/board_test.h"

#include <gtest/gtest.h>

using namespace boardtest;

namespace {

constexpr COLORREF kMark = RGB(255, 0, 0);

class Curtain : public ::testing::Test {
 protected:
  void SetUp() override {
    StartUp();
    if (!Form1->Visible) Form1->Show();
  }
  void TearDown() override {
    if (Form5->Visible) Form5->Hide();
    if (Form3->Visible) Form3->Close();
    Form1->Show();
  }
};

bool CurtainUp() {
  return Shown(Form5) && WaitFor([] { return ScreenPixel(Screen->Width / 2, Screen->Height / 2) == RGB(0, 0, 0); });
}

}  // namespace

TEST_F(Curtain, CoversTheWholeScreenInBlackWithItsButtonInTheTopRightCorner) {
  ASSERT_TRUE(Shown(Form1));
  ASSERT_TRUE(Click(Form1->SpeedButton10, [] { return Form5->isVisible(); }));
  ASSERT_TRUE(CurtainUp());
  EXPECT_EQ(Form5->BoundsRect, Rect(0, 0, Screen->Width, Screen->Height));
  EXPECT_EQ(Form5->SpeedButton1->Left, Screen->Width - 33);
  if (Screen->Width == 1920) {
    EXPECT_EQ(Form5->SpeedButton1->Left, 1887);
  }
  EXPECT_EQ(Form5->SpeedButton1->Top, 0);
  EXPECT_EQ(Form5->SpeedButton1->Width, 33);
  EXPECT_EQ(ScreenPixel(0, Screen->Height - 1), RGB(0, 0, 0));
  // The curtain lies over the toolbar, which left the top layer.
  EXPECT_EQ(ScreenPixel(Form1->Left + 200, 5), RGB(0, 0, 0));

  // Its button lifts it and the toolbar's keep-on-top timer runs again.
  ASSERT_FALSE(Form1->Timer1->Enabled);
  Form1->PaintSource = 0;
  const TPoint b = Form5->SpeedButton1->ClientToScreen(Point(16, 16));
  ASSERT_TRUE(Xdo(At(b.X, b.Y) + " click 1"));
  EXPECT_TRUE(WaitFor([] { return !Form5->Visible(); }));
  EXPECT_TRUE(Form1->Timer1->Enabled);
  EXPECT_EQ(Form1->PaintSource, 1);
  EXPECT_TRUE(WaitFor([] { return ScreenPixel(Form1->Left + 200, 5) == clSkyBlue; }));
}

TEST_F(Curtain, APressAnywhereWhileTheBoardIsShownDrawsTheCurrentPageAgain) {
  ASSERT_TRUE(BoardUp());
  const COLORREF page = PagePixel(Form3->CurrentPage, 300, 300);
  // A mark on the board's screen that the page does not hold.
  Form3->Canvas->Brush->Color = TColor(kMark);
  Form3->Canvas->FillRect(Rect(280, 280, 320, 320));
  Form3->Canvas->Brush->Style = bsClear;
  ASSERT_TRUE(WaitFor([] { return ScreenPixel(300, 300) == kMark; }));

  ASSERT_TRUE(Click(Form3->SpeedButton2, [] { return Form5->isVisible(); }));
  ASSERT_TRUE(CurtainUp());
  POINT p{};
  EXPECT_TRUE(WaitFor([&] { return GetCursorPos(&p) && p.x == Screen->Width - 1 && p.y == 50; }));
  ASSERT_TRUE(Xdo(At(Screen->Width / 3, Screen->Height - 40) + " click 1"));
  EXPECT_TRUE(WaitFor([] { return !Form5->Visible(); }));
  EXPECT_TRUE(WaitFor([&] { return ScreenPixel(300, 300) == page; }));
  EXPECT_EQ(Form3->Canvas->Pixels[300][300], TColor(page));
  EXPECT_TRUE(Form3->Visible);
}
