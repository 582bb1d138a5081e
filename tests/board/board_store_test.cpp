// The board's page store and paint, inside the test program with the forms
// made by the program's own start-up, driven by real X input. The program
// folder here (the test programs' folder) has no pictures and the current
// folder no cursor files: the forms must come up without them, silently.
#include <QFile>
#include <QTimer>

#include <cstdlib>
#include <fstream>

#include "board/curtain.h"
#include "board/lessons.h"
#include "board/writing_panel.h"
#include "platform/win/cursor.h"
#include "platform/win/input.h"
#include "tests/board/board_test.h"

#include <gtest/gtest.h>

using namespace boardtest;

namespace {

const int W = 1024, H = 768;

class Store : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    setenv("QUARVEL_MSGBOX_LOG", "boxes.log", 1);
    StartUp();
  }
};

std::string Boxes() {
  std::ifstream f("boxes.log");
  return std::string(std::istreambuf_iterator<char>(f), {});
}

}  // namespace

TEST_F(Store, StartUpMakesEveryFormInOrderAndAnEmptyFirstPage) {
  const char* order[] = {"Form1", "Form2", "白板", "帮助", "Form5", "Form6", "Form7", "Form8", "Form11",
                         "导入图片", "Form13", "Form14"};
  ASSERT_EQ(Screen->FormCount(), 12);
  for (int i = 0; i < 12; ++i) EXPECT_EQ(Screen->Forms(i)->Caption(), order[i]) << i;
  EXPECT_EQ(Application->MainForm(), Form1);
  EXPECT_EQ(Application->Title(), "Quarvel");

  EXPECT_EQ(Form3->PageCount, 1);
  EXPECT_EQ(Form3->CurrentPage, 1);
  EXPECT_EQ(Form3->PageState[1], 0);
  EXPECT_EQ(Form3->PanelLeft[1], 0);
  EXPECT_EQ(Form3->PanelTop[1], 41);
  EXPECT_EQ(Form3->PanelWidth[1], 368);
  EXPECT_EQ(Form3->PanelHeight[1], H - 45);
  EXPECT_EQ(Form3->Panel4->Height(), H - 45);
  for (int slot : {0, 1}) {
    ASSERT_TRUE(Form3->Pages[slot]) << slot;
    EXPECT_EQ(Form3->Pages[slot]->Width(), W);
    EXPECT_EQ(Form3->Pages[slot]->Height(), H);
  }
  EXPECT_EQ(Form3->ScratchBitmap.get(), Form3->Pages[0].get());
  EXPECT_FALSE(Form3->Pages[2]);
  EXPECT_EQ(Form3->PanelKind(1), 0);
  EXPECT_EQ(DrawMode, kPen);
  // The default teacher's colours (no settings file: red on grey), which
  // the lesson manager applies as it is made.
  EXPECT_EQ(Form3->LCP->Color(), TColor(255));
  EXPECT_EQ(Form3->RCP->Color(), TColor(8421504));
  EXPECT_EQ(Form3->Edit1->Text(), "2");
  EXPECT_EQ(Form3->Edit2->Text(), "1");
  EXPECT_TRUE(Form3->SpeedButton3->Down());
  EXPECT_EQ(Form3->ProgramFolder, GetProgramFolder());
  EXPECT_EQ(Form1->KeysLocked, 1);
  EXPECT_EQ(Form1->Left(), W - 436);
  EXPECT_EQ(Form1->Top(), 0);

  // No cursor file and no pictures here: the default cursor, empty buttons,
  // and nothing said about it.
  EXPECT_EQ(Form3->Cursor(), 2);
  EXPECT_EQ(static_cast<HCURSOR>(Screen->Cursors[2]), nullptr);
  EXPECT_TRUE(Form3->SpeedButton3->Glyph->Empty());
  EXPECT_TRUE(Form1->SpeedButton4->Glyph->Empty());
  EXPECT_EQ(Boxes(), "");
}

TEST_F(Store, TheBoardButtonFillsTheNeverFilledPageAndThePaintShowsIt) {
  ASSERT_TRUE(BoardUp());
  EXPECT_FALSE(Form1->Visible());
  EXPECT_FALSE(Form1->Timer1->Enabled());
  const COLORREF background = COLORREF(Form3->RCP->Color());
  const QImage page = PageImage(1);
  for (int y = 0; y < H; ++y)
    for (int x = 0; x < W; ++x)
      ASSERT_EQ(gdi::FromPixel(page.pixel(x, y)), background) << x << "," << y;
  EXPECT_EQ(Form3->PageState[1], 0);  // filled, but never drawn on
  // The tool strip leaves the last column to the page: the probe pixel.
  EXPECT_EQ(Form3->Panel2->Width(), W - 1);
  EXPECT_EQ(Form3->Panel1->Left() + Form3->Panel1->Width(), W - 1);
  EXPECT_EQ(ScreenPixel(W - 1, 38), background);
  EXPECT_EQ(ScreenPixel(500, 400), background);
  EXPECT_EQ(COLORREF(Form3->ProbeColour()), background);
  EXPECT_EQ(COLORREF(Form3->ProbeColour(1)), background);
}

TEST_F(Store, BackToTheDesktopAndAgainShowsThePageAsCommittedWithoutRefilling) {
  ASSERT_TRUE(BoardUp());
  // Content committed into the page (as a stroke's release does).
  TCanvas* page = Form3->Pages[1]->Canvas;
  page->Brush->Color = clRed;
  page->FillRect(Rect(600, 300, 700, 400));
  Form3->PageState[1] = 2;
  Form3->Panel3->Caption = "10，5";
  Form14->Tag = 0;

  ASSERT_TRUE(Click(Form3->SpeedButton40, [] { return !Form3->isVisible() && Form1->isVisible(); }));
  EXPECT_EQ(Form3->Panel3->Caption(), "");
  EXPECT_TRUE(Form1->Timer1->Enabled());
  EXPECT_FALSE(Form14->Visible());
  ASSERT_TRUE(Shown(Form1));

  Form1->PaintSource = 0;
  ASSERT_TRUE(Click(Form1->SpeedButton4, [] { return Form3->isVisible(); }));
  ASSERT_TRUE(Shown(Form3));
  EXPECT_EQ(Form1->PaintSource, 1);
  EXPECT_TRUE(WaitFor([] { return ScreenPixel(650, 350) == RGB(255, 0, 0); }));
  EXPECT_EQ(ScreenPixel(500, 350), COLORREF(Form3->RCP->Color()));
  EXPECT_EQ(PagePixel(1, 650, 350), RGB(255, 0, 0));
}

TEST_F(Store, APaintWithALessonWaitingCapturesItIntoTheLoadingPage) {
  ASSERT_TRUE(BoardUp());
  // A lesson page as the lesson files hold it: a PNG written by another tool.
  ASSERT_EQ(system("convert -size 1024x768 gradient:yellow-blue -fill green -draw 'rectangle 400,300 599,449' PNG:"
                   "lesson.pte"),
            0);
  const QImage before = PageImage(1);
  Form3->Pages[3] = TForm3::NewPageBitmap();
  Form6->LessonImage = std::make_unique<Gdiplus::Image>("lesson.pte");
  Form6->LessonGraphics = std::make_unique<Gdiplus::Graphics>(Form3->Canvas->Handle);
  Form6->LoadingPage = 3;
  Form1->PaintSource = 2;
  Form3->Repaint();
  EXPECT_EQ(Form1->PaintSource, 0);

  QImage lesson("lesson.pte");
  lesson = lesson.convertToFormat(QImage::Format_RGB32);
  for (QPoint p : {QPoint(500, 350), QPoint(10, 100), QPoint(1023, 767), QPoint(700, 700), QPoint(1023, 38)})
    EXPECT_EQ(PagePixel(3, p.x(), p.y()), gdi::FromPixel(lesson.pixel(p))) << p.x() << "," << p.y();
  // What the screen showed then: the lesson, not the current page, which
  // stays as it was.
  EXPECT_EQ(ScreenPixel(500, 350), RGB(0, 128, 0));
  EXPECT_FALSE(Changed(before, PageImage(1)).isValid());
  // The next paint shows the current page again.
  Form3->Repaint();
  EXPECT_EQ(ScreenPixel(500, 350), PagePixel(1, 500, 350));
  Form6->LessonGraphics.reset();
  Form6->LessonImage.reset();
  Form3->Pages[3].reset();

  // A paint asked for without a lesson set up only shows the current page.
  Form1->PaintSource = 2;
  Form3->Repaint();
  EXPECT_EQ(Form1->PaintSource, 0);
  EXPECT_EQ(ScreenPixel(500, 350), PagePixel(1, 500, 350));
}

TEST_F(Store, SettingsStoresThePanelRectangleAndOpensTheManagerWithNoTeacherUnlocked) {
  ASSERT_TRUE(BoardUp());
  Form3->Panel4->SetBounds(20, 60, 300, 400);
  Form6->TeacherUnlocked = 1;
  bool wasModal = false;
  QTimer close;
  QObject::connect(&close, &QTimer::timeout, [&] {
    if (!Form6->isVisible()) return;
    wasModal = Form6->Modal();
    Form6->ModalResult = mrCancel;
  });
  close.start(20);
  ASSERT_TRUE(Click(Form3->SpeedButton6, [&] { return wasModal && !Form6->isVisible(); }));
  EXPECT_EQ(Form6->TeacherUnlocked, 0);
  EXPECT_EQ(Form3->PanelLeft[1], 20);
  EXPECT_EQ(Form3->PanelTop[1], 60);
  EXPECT_EQ(Form3->PanelWidth[1], 300);
  EXPECT_EQ(Form3->PanelHeight[1], 400);
  Form3->Panel4->SetBounds(0, 40, 368, H - 45);
}

TEST_F(Store, TheCurtainButtonShowsTheCurtainAndMovesThePointerToTheRightEdge) {
  ASSERT_TRUE(BoardUp());
  ASSERT_TRUE(Click(Form3->SpeedButton2, [] { return Form5->isVisible(); }));
  POINT p{};
  EXPECT_TRUE(WaitFor([&] { return GetCursorPos(&p) && p.x == W - 1 && p.y == 50; }));
  Form5->Hide();
}
