// The board's next-page turn, inside the test program with the board shown.
#include "board/toolbar.h"
#include "tests/board/board_test.h"

#include <gtest/gtest.h>

using namespace boardtest;

namespace {

class NextPage : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { StartUp(); }
  void SetUp() override {
    ASSERT_TRUE(BoardUp());
    // Back to a board of one page that was never drawn on.
    for (int p = 2; p <= kMaxPages; ++p) Form3->Pages[p].reset(), Form3->PageState[p] = 0;
    Form3->PageCount = 1;
    Form3->CurrentPage = 1;
    Form3->PageState[1] = 0;
    Form3->Edit2->Text = "1";
    Form3->FillPage(1, Form3->RCP->Color);
    Form3->Image2->Hide();
    Form3->Image2->Tag = 0;
  }
};

// A floating picture of 20 x 20 in one colour at (x, y).
void Float(int x, int y, TColor colour) {
  TBitmap b;
  b.SetSize(20, 20);
  b.Canvas->Brush->Color = colour;
  b.Canvas->FillRect(Rect(0, 0, 20, 20));
  Form3->Image2->Picture->Assign(&b);
  Form3->Image2->SetBounds(x, y, 20, 20);
  Form3->Image2->Show();
}

}  // namespace

TEST_F(NextPage, AFreshBoardOnlyCommitsTheFloatingPicture) {
  Float(100, 100, clRed);
  Form1->PaintSource = 0;
  ASSERT_TRUE(Click(Form3->SpeedButton12, [] { return !Form3->Image2->Visible; }));  // 右翻页
  EXPECT_EQ(Form3->CurrentPage, 1);
  EXPECT_EQ(Form3->PageCount, 1);
  EXPECT_EQ(Form3->Edit2->Text, "1");
  EXPECT_EQ(Form1->PaintSource, 1);
  // Committed without its outermost pixels.
  EXPECT_EQ(PagePixel(1, 101, 101), COLORREF(clRed));
  EXPECT_EQ(PagePixel(1, 118, 118), COLORREF(clRed));
  EXPECT_EQ(PagePixel(1, 100, 105), COLORREF(Form3->RCP->Color));
  EXPECT_EQ(PagePixel(1, 119, 105), COLORREF(Form3->RCP->Color));
}

TEST_F(NextPage, AfterContentItMakesTheNextPageFilledWithTheBackground) {
  Form3->PageState[1] = 2;
  Form3->PanelLeft[1] = 12, Form3->PanelTop[1] = 50, Form3->PanelWidth[1] = 300, Form3->PanelHeight[1] = 200;
  Form3->Canvas->Pen->Color = clRed;
  StrokeRight = 100;  // an undo that would have something to restore
  Form3->SpeedButton12Click(nullptr);
  EXPECT_EQ(Form3->CurrentPage, 2);
  EXPECT_EQ(Form3->PageCount, 2);
  EXPECT_EQ(Form3->Edit2->Text, "2");
  EXPECT_EQ(Form3->ScrollBar1->Max, 2);
  ASSERT_TRUE(Form3->Pages[2]);
  EXPECT_EQ(Form3->PanelKind(2), 0);
  EXPECT_EQ(Form3->PageState[2], 0);
  EXPECT_EQ(Form3->ProbeColour(2), Form3->RCP->Color);
  EXPECT_EQ(PagePixel(2, 500, 500), COLORREF(Form3->RCP->Color));
  EXPECT_EQ(StrokeRight, -10);
  EXPECT_FALSE(Form3->Panel4->Visible);
  EXPECT_EQ(Form3->PanelLeft[2], 12);
  EXPECT_EQ(Form3->PanelTop[2], 50);
  EXPECT_EQ(Form3->PanelWidth[2], 300);
  EXPECT_EQ(Form3->PanelHeight[2], 200);
  EXPECT_EQ(Form3->Canvas->Pen->Color, clRed);  // not the eraser: the pen keeps its colour

  // The empty page 2 makes no page 3.
  Form3->SpeedButton12Click(nullptr);
  EXPECT_EQ(Form3->CurrentPage, 2);
  EXPECT_EQ(Form3->PageCount, 2);
}

TEST_F(NextPage, AnExistingPageIsShownAsItWasAndTheEraserTakesItsBackground) {
  Form3->Pages[2] = TForm3::NewPageBitmap();
  Form3->FillPage(2, clYellow);
  Form3->PageCount = 2;
  DrawMode = kEraser;
  const TColor background = Form3->RCP->Color;
  Form3->RCP->Color = clNavy;  // not the grey the note panel lightens
  Form3->SpeedButton12Click(nullptr);
  Form3->RCP->Color = background;
  EXPECT_EQ(Form3->CurrentPage, 2);
  EXPECT_EQ(Form3->PageCount, 2);
  EXPECT_EQ(Form3->Canvas->Pen->Color, clYellow);
  EXPECT_EQ(Form3->NoteColour, clYellow);
  EXPECT_TRUE(WaitFor([] { return ScreenPixel(500, 500) == COLORREF(clYellow); }));
  DrawMode = kPen;
}

TEST_F(NextPage, OnPage99ItDoesNotTurn) {
  for (int p = 2; p <= 99; ++p) Form3->Pages[p] = TForm3::NewPageBitmap();
  Form3->PageCount = 99;
  Form3->CurrentPage = 99;
  Form3->PageState[99] = 2;
  Form3->Edit2->Text = "99";
  Form3->SpeedButton12Click(nullptr);
  EXPECT_EQ(Form3->CurrentPage, 99);
  EXPECT_EQ(Form3->PageCount, 99);
}

TEST_F(NextPage, AGreyBackgroundGivesTheNotePanelItsLighterGrey) {
  const TColor old = Form3->RCP->Color;
  Form3->RCP->Color = TColor(0x808080);
  Form3->SpeedButton12Click(nullptr);
  EXPECT_EQ(Form3->NoteColour, TColor(0xA5A5A5));
  Form3->RCP->Color = old;
}

TEST_F(NextPage, TheRestOfATallScanFloatsOverThePageItContinuesOn) {
  Form3->PageState[1] = 2;
  Float(-5, 35, clBlue);
  Form3->Image2->Tag = 2;
  Form3->SpeedButton12Click(nullptr);
  // The first part went into page 1; the rest floats over page 2.
  EXPECT_EQ(PagePixel(1, 0, 40), COLORREF(clBlue));
  EXPECT_TRUE(Form3->Image2->Visible);
  EXPECT_EQ(Form3->Image2->Top, 90 - Screen->Height);
  EXPECT_EQ(Form3->Image2->Tag, 0);
}
