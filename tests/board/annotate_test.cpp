// The annotation overlay inside the test program, over a desktop of another
// X client's window, drawn on with real X input; what it shows is read back
// from the X server.
#include <QFile>
#include <QFileInfo>

#include <cstdlib>
#include <fstream>

#include "board/annotate.h"
#include "board/curtain.h"
#include "board/writing_panel.h"
#include "tests/board/board_test.h"
#include "tests/platform/win/test_support.h"

#include <gtest/gtest.h>

using namespace boardtest;

namespace {

constexpr COLORREF kBlack = RGB(0, 0, 0), kWhite = RGB(255, 255, 255);
constexpr COLORREF kPenColour = RGB(255, 128, 0);  // 33023
// The desktop: a white window on the black root.
const QRect kWindow(100, 150, 400, 300);

COLORREF Desktop(int x, int y) { return kWindow.contains(x, y) ? kWhite : kBlack; }

int Bar() { return Screen->Width - 436; }                   // the collapsed bar
int FullBar() { return Screen->Width - 589; }               // the full bar
QPoint Collapsed(int i) { return QPoint(Bar() + 1 + 38 * i + 19, 20); }  // its i-th button
QPoint Full(TSpeedButton* b) {
  const TPoint p = b->ClientToScreen(Point(b->Width / 2, b->Height / 2));
  return QPoint(p.X, p.Y);
}

int releases = 0;

// Press, moves and release with the left button on the overlay; returns once
// the overlay has handled the release.
bool Stroke(std::initializer_list<QPoint> points) {
  const int before = releases;
  std::string cmd;
  bool first = true;
  for (QPoint p : points) {
    cmd += At(p.x(), p.y());
    if (first) cmd += " mousedown 1";
    first = false;
  }
  return Xdo(cmd + " mouseup 1") && WaitFor([&] { return releases > before; });
}

bool Press(QPoint p, const std::function<bool()>& done) { return Xdo(At(p.x(), p.y()) + " click 1") && WaitFor(done); }

QImage Picture() { return Form3->ScratchBitmap->ToImage().copy(); }
COLORREF PicturePixel(int x, int y) { return Form3->ScratchBitmap->Pixels().GetPixel(x, y); }

class Overlay : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    setenv("QUARVEL_MSGBOX_ANSWERS", "answers", 1);
    StartUp();
    desktop_ = new test::Peer({"--top", "desk", "--geom", QString::number(kWindow.x()), QString::number(kWindow.y()),
                               QString::number(kWindow.width()), QString::number(kWindow.height())});
    auto handled = Form2->OnMouseUp;
    Form2->OnMouseUp = [handled](TObject* s, TMouseButton b, TShiftState sh, int x, int y) {
      handled(s, b, sh, x, y);
      ++releases;
    };
    // The zoom's files go to a program folder of the test's own.
    Form3->ProgramFolder = std::string(getenv("QUARVEL_TEST_DIR")) + "/";
  }
  static void TearDownTestSuite() { delete desktop_; }

  void SetUp() override {
    ASSERT_EQ(desktop_->ids.size(), 1u);
    // As the toolbar opens the overlay: the toolbar goes first.
    Form1->Show();
    ASSERT_TRUE(Shown(Form1));
    Form1->Hide();
    Form2->Show();
    ASSERT_TRUE(Shown(Form2));
    ASSERT_TRUE(WaitFor([] { return ScreenPixel(kWindow.x() + 5, kWindow.y() + 5) == kWhite; }));
  }
  void TearDown() override {
    if (Form2->Visible) Form2->SpeedButton3->Click();  // back to the desktop
    if (Form3->Visible) Form3->Close();
    if (!Form2->Panel2->Visible) Form2->SpeedButton18->Click();
    Form2->SpeedButton4->Click();  // the pen
  }
  static test::Peer* desktop_;
};

test::Peer* Overlay::desktop_ = nullptr;

}  // namespace

TEST_F(Overlay, CoversTheScreenWithTheDesktopAsCapturedWithoutTheToolbar) {
  EXPECT_EQ(Form2->BoundsRect, Rect(0, 0, Screen->Width, Screen->Height));
  EXPECT_EQ(Form2->FormStyle(), fsStayOnTop);
  const QImage shown = ScreenShot(QRect(0, 0, Screen->Width, Screen->Height));
  const QImage picture = Picture();
  ASSERT_EQ(picture.size(), QSize(Screen->Width, Screen->Height));
  for (QPoint p : {QPoint(0, 0), QPoint(kWindow.x() + 1, kWindow.y() + 1), QPoint(Screen->Width - 1, 60),
                   QPoint(Screen->Width - 100, 10), QPoint(Screen->Width / 2, Screen->Height - 1)})
    EXPECT_EQ(PicturePixel(p.x(), p.y()), Desktop(p.x(), p.y())) << p.x() << "," << p.y();
  // Where the toolbar was, the capture holds the desktop.
  EXPECT_EQ(PicturePixel(Form1->Left + 200, 20), kBlack);
  EXPECT_EQ(Form2->DesktopSnapshot->ToImage(), picture);
  EXPECT_EQ(Form2->AnnotUndo->ToImage(), picture);
  // The collapsed bar at the toolbar's place; the full one hidden.
  EXPECT_TRUE(Form2->Panel2->Visible);
  EXPECT_FALSE(Form2->Panel1->Visible);
  EXPECT_EQ(Form2->Panel2->BoundsRect, Bounds(Bar(), 0, 343, 41));
  EXPECT_EQ(Form2->Panel1->BoundsRect, Bounds(FullBar(), 0, 591, 40));
  EXPECT_EQ(gdi::FromPixel(shown.pixel(Bar() + 100, 40)), COLORREF(clSkyBlue));
  EXPECT_EQ(gdi::FromPixel(shown.pixel(kWindow.x() + 1, kWindow.y() + 1)), kWhite);
}

TEST_F(Overlay, APenStrokeIsDrawnAndCommittedAndUndoGivesThePictureBeforeItTwice) {
  const QImage before = Picture();
  // Moves may reach the overlay merged: the points lie on one line.
  ASSERT_TRUE(Stroke({QPoint(150, 200), QPoint(200, 200), QPoint(250, 200)}));
  EXPECT_TRUE(WaitFor([] { return ScreenPixel(200, 200) == kPenColour; }));
  EXPECT_EQ(PicturePixel(200, 200), kPenColour);
  EXPECT_EQ(PicturePixel(240, 200), kPenColour);
  // Pen width 3 at start.
  EXPECT_EQ(PicturePixel(200, 201), kPenColour);
  EXPECT_EQ(PicturePixel(200, 203), kWhite);
  EXPECT_EQ(Form2->AnnotUndo->ToImage(), before);
  // Only the stroke's box widened by 10 changed.
  EXPECT_TRUE(QRect(140, 190, 121, 21).contains(Changed(before, Picture())));

  ASSERT_TRUE(Press(Collapsed(1), [&] { return Picture() == before; }));  // 撤销
  EXPECT_TRUE(WaitFor([] { return ScreenPixel(200, 200) == kWhite; }));
  // The full bar's undo, once more: the same picture.
  Form2->SpeedButton23->Click();
  ASSERT_TRUE(Shown(Form2));
  const int undos = releases;
  ASSERT_TRUE(Xdo(At(Full(Form2->SpeedButton24).x(), 20) + " click 1"));
  EXPECT_EQ(releases, undos);  // the press went to the bar, not the picture
  EXPECT_EQ(Picture(), before);
  EXPECT_EQ(ScreenPixel(200, 200), kWhite);
}

TEST_F(Overlay, TheEraserBringsBackTheDesktopInTheRectangleDraggedWidenedBy10) {
  Form2->SpeedButton26->Click();  // lines across the area
  for (int y = 170; y < 300; y += 20) ASSERT_TRUE(Stroke({QPoint(120, y), QPoint(400, y)}));
  ASSERT_EQ(PicturePixel(150, 190), kPenColour);
  ASSERT_TRUE(Press(Collapsed(2), [] { return Form2->AnnotMode == kAnnotErase; }));  // 擦除
  EXPECT_EQ(Form2->Canvas->Pen->Style, psDot);
  ASSERT_TRUE(Stroke({QPoint(200, 200), QPoint(250, 230), QPoint(300, 250)}));
  for (int y = 170; y < 300; y += 20)
    for (int x = 120; x < 400; x += 7) {
      const bool erased = QRect(190, 190, 120, 70).contains(x, y);
      ASSERT_EQ(PicturePixel(x, y), erased ? kWhite : kPenColour) << x << "," << y;
    }
  EXPECT_TRUE(WaitFor([] { return ScreenPixel(250, 250) == kWhite && ScreenPixel(150, 250) == kPenColour; }));
}

TEST_F(Overlay, ClearOnTheFullBarBringsBackTheWholeDesktopAndOnTheCollapsedOneOnlyTheSelection) {
  Form2->SpeedButton26->Click();
  for (int y = 170; y < 300; y += 20) ASSERT_TRUE(Stroke({QPoint(120, y), QPoint(400, y)}));
  // A selection, moved away, then the bar collapsed: the clear still
  // restores the rectangle that was selected.
  Form2->SpeedButton15->Click();
  ASSERT_TRUE(Stroke({QPoint(200, 180), QPoint(260, 220), QPoint(300, 240)}));
  ASSERT_TRUE(Form2->Image1->Visible);
  ASSERT_TRUE(Xdo(At(250, 210) + " mousedown 1" + At(260, 300) + At(270, 380) + " mouseup 1"));
  ASSERT_TRUE(WaitFor([] { return Form2->Image1->Top == 350; }));
  Form2->SpeedButton23->Click();  // expand
  ASSERT_TRUE(Shown(Form2));
  ASSERT_TRUE(Press(Full(Form2->SpeedButton18), [] { return Form2->Panel2->Visible(); }));  // 缩减
  ASSERT_TRUE(Press(Collapsed(0), [] { return PicturePixel(250, 190) == kWhite; }));     // 清除
  for (QPoint p : {QPoint(201, 190), QPoint(299, 230), QPoint(250, 210)}) EXPECT_EQ(PicturePixel(p.x(), p.y()), kWhite);
  for (QPoint p : {QPoint(199, 190), QPoint(301, 230), QPoint(250, 250), QPoint(150, 170)})
    EXPECT_EQ(PicturePixel(p.x(), p.y()), kPenColour) << p.x() << "," << p.y();

  Form2->SpeedButton23->Click();
  ASSERT_TRUE(Press(Full(Form2->SpeedButton5), [] { return PicturePixel(150, 170) == kWhite; }));  // 清除
  EXPECT_EQ(Picture(), Form2->DesktopSnapshot->ToImage());
  EXPECT_FALSE(Form2->Image1->Visible);
  EXPECT_TRUE(WaitFor([] { return ScreenPixel(150, 170) == kWhite; }));
}

TEST_F(Overlay, ASelectionFloatsMovesAndIsPutDownByTheNextPress) {
  Form2->SpeedButton26->Click();
  ASSERT_TRUE(Stroke({QPoint(210, 200), QPoint(280, 200)}));
  Form2->SpeedButton15->Click();
  ASSERT_TRUE(Stroke({QPoint(200, 180), QPoint(300, 240)}));
  EXPECT_EQ(Form2->AnnotSelected, 1);
  EXPECT_EQ(Form2->Image1->BoundsRect, Rect(200, 180, 300, 240));
  EXPECT_EQ(Form2->SelectionBitmap->Width, 100);
  EXPECT_EQ(Form2->SelectionBitmap->Pixels().GetPixel(30, 20), kPenColour);
  // Dragged 100 to the right and 150 down.
  ASSERT_TRUE(Xdo(At(250, 200) + " mousedown 1" + At(300, 280) + At(350, 350) + " mouseup 1"));
  ASSERT_TRUE(WaitFor([] { return Form2->Image1->Left == 300 && Form2->Image1->Top == 330; }));
  EXPECT_EQ(PicturePixel(330, 350), kWhite);  // not in the picture yet
  EXPECT_TRUE(WaitFor([] { return ScreenPixel(330, 350) == kPenColour; }));
  // The next press on the overlay puts it down, without its outermost pixels.
  ASSERT_TRUE(Stroke({QPoint(600, 600)}));
  EXPECT_FALSE(Form2->Image1->Visible);
  EXPECT_EQ(PicturePixel(330, 350), kPenColour);
  EXPECT_EQ(PicturePixel(230, 200), kPenColour);  // the place it came from is as it was
  EXPECT_EQ(Form2->AnnotSelected, 0);             // that press selected nothing
}

TEST_F(Overlay, ZoomingInThreeTimesAndOutThreeTimesGivesTheSelectionsOwnSizeAgain) {
  Form2->SpeedButton15->Click();
  ASSERT_TRUE(Stroke({QPoint(150, 200), QPoint(250, 260)}));
  ASSERT_EQ(Form2->Image1->BoundsRect, Bounds(150, 200, 100, 60));
  const struct {
    TSpeedButton* button;
    int w, h;
    const char* file;
  } steps[] = {{Form2->SpeedButton11, 150, 90, "tmp.bmt"},  {Form2->SpeedButton11, 225, 135, "tmp.bmt"},
               {Form2->SpeedButton11, 338, 202, "tmp.bmt"}, {Form2->SpeedButton12, 225, 135, "tmp.bmp"},
               {Form2->SpeedButton12, 150, 90, "tmp.bmp"},  {Form2->SpeedButton12, 100, 60, "tmp.bmp"}};
  for (const auto& s : steps) {
    s.button->Click();
    EXPECT_EQ(Form2->Image1->Width, s.w);
    EXPECT_EQ(Form2->Image1->Height, s.h);
    EXPECT_EQ(Form2->Image1->Picture->Width, s.w);
    const std::string file = Form3->ProgramFolder + s.file;
    EXPECT_EQ(QImage(QString::fromStdString(file)).size(), QSize(s.w, s.h)) << file;
  }
  EXPECT_EQ(Form2->AnnotZoomFactor, 1.0f);
  EXPECT_EQ(Form2->AnnotZoomCached, 1);
  // Drawn from the source less 2 pixels on every side: the dotted frame of
  // the selection is gone, the white inside fills the picture.
  const QImage back = Form2->Image1->Picture->Graphic->ToImage();
  EXPECT_EQ(gdi::FromPixel(back.pixel(0, 0)), kWhite);
  EXPECT_EQ(gdi::FromPixel(back.pixel(99, 59)), kWhite);
}

TEST_F(Overlay, AZoomPastTheScreenEdgeCentresTheSelectionAndNoSelectionMeansNoZoom) {
  Form2->SpeedButton11->Click();  // nothing floats: nothing happens
  EXPECT_EQ(Form2->AnnotZoomFactor, 1.0f);
  Form2->SpeedButton15->Click();
  ASSERT_TRUE(Stroke({QPoint(550, 300), QPoint(1000, 420)}));
  const int w0 = Form2->Image1->Width;
  for (int i = 0; i < 3; ++i) Form2->SpeedButton11->Click();
  const int w = Form2->Image1->Width;
  ASSERT_EQ(w0, 450);
  ASSERT_EQ(w, 1519);
  ASSERT_GT(w, Screen->Width);
  EXPECT_EQ(Form2->Image1->Left, (Screen->Width - w) / 2);
  EXPECT_LT(Form2->Image1->Left, 0);
}

TEST_F(Overlay, AZoomStepPastFourScreensIsRefusedBeforeAnyWork) {
  Form2->SpeedButton15->Click();
  ASSERT_TRUE(Stroke({QPoint(150, 200), QPoint(250, 260)}));
  const std::string roundTrip = Form3->ProgramFolder + "tmp.bmt";
  const double most = 4.0 * Screen->Width * Screen->Height;
  int steps = 0;
  for (;; ++steps) {
    ASSERT_LT(steps, 20);
    const TRect before = Form2->Image1->BoundsRect;
    const float factor = Form2->AnnotZoomFactor;
    remove(roundTrip.c_str());
    Form2->SpeedButton11->Click();
    if (Form2->Image1->BoundsRect == before) {
      EXPECT_EQ(Form2->AnnotZoomFactor, factor);
      EXPECT_EQ(Form2->Image1->Picture->Width, before.Width());
      EXPECT_FALSE(QFile::exists(QString::fromStdString(roundTrip)));
      EXPECT_GT(100 * factor * 1.5 * 60 * factor * 1.5, most);
      break;
    }
    EXPECT_LE(double(Form2->Image1->Width) * Form2->Image1->Height, most);
  }
  EXPECT_GE(steps, 5);
  const int w = Form2->Image1->Width;
  Form2->SpeedButton12->Click();
  EXPECT_NEAR(Form2->Image1->Width, w / 1.5, 1);
}

TEST_F(Overlay, CaptureWithoutASelectionPutsTheAnnotatedScreenWithoutTheBarsIntoTheCurrentPage) {
  Form3->CurrentPage = 1;
  Form3->PageState[1] = 0;
  ASSERT_TRUE(Stroke({QPoint(150, 300), QPoint(300, 300)}));
  Form2->SpeedButton23->Click();  // the full bar covers the probe column
  ASSERT_TRUE(Shown(Form2));
  ASSERT_TRUE(Press(Full(Form2->SpeedButton13), [] { return Form3->PageState[1] == 2; }));
  EXPECT_EQ(PageImage(1), Picture());
  EXPECT_EQ(PagePixel(1, 200, 300), kPenColour);
  EXPECT_EQ(Form3->ProbeColour(1), TColor(kBlack));
  EXPECT_EQ(Form2->AnnotSelected, 0);
}

TEST_F(Overlay, CaptureWithASelectionLeavesItFloatingOnTheBoardWithTheRangeSelectToolChosen) {
  Form3->CurrentPage = 1;
  Form3->PageState[1] = 1;
  Form3->FillPage(1, clGreen);
  ZoomFactor = 2.25f;  // left from a zoom on the board
  Form3->Image2->Tag = 2;  // and the rest of a tall scan owed to page 2
  Form2->SpeedButton15->Click();
  ASSERT_TRUE(Stroke({QPoint(150, 200), QPoint(250, 260)}));
  Form2->SpeedButton13->Click();
  TImage* f = Form3->Image2;
  EXPECT_TRUE(f->Visible);
  EXPECT_EQ(f->BoundsRect, Bounds(150, 200, 100, 60));
  EXPECT_EQ(f->Picture->Width, 100);
  EXPECT_EQ(Form3->FloatBitmap->Width, 100);
  EXPECT_TRUE(Form3->SpeedButton25->Down);
  EXPECT_EQ(ZoomFactor, 1.0f);
  EXPECT_EQ(f->Tag, 0);
  EXPECT_EQ(Form3->PageState[1], 2);
  EXPECT_EQ(Form2->AnnotSelected, 0);
  EXPECT_FALSE(Form2->Image1->Visible);
  // The page itself kept its background; the board places the picture.
  EXPECT_EQ(PagePixel(1, 200, 230), COLORREF(clGreen));
  f->Hide();
}

TEST_F(Overlay, AClickInSelectModeSelectsNothingSoTheCaptureTakesTheWholePicture) {
  Form3->CurrentPage = 1;
  Form3->PageState[1] = 0;
  Form2->SpeedButton15->Click();
  ASSERT_TRUE(Stroke({QPoint(300, 300)}));
  EXPECT_EQ(Form2->AnnotSelected, 0);
  EXPECT_FALSE(Form2->Image1->Visible);
  Form2->SpeedButton13->Click();
  EXPECT_FALSE(Form3->Image2->Visible);
  EXPECT_EQ(PageImage(1), Picture());
}

TEST_F(Overlay, CaptureToTheNextPageTurnsAfterAPageWithContentAndStaysOnAnEmptyOne) {
  Form3->CurrentPage = 1;
  Form3->PageCount = 1;
  Form3->Edit2->Text = "1";
  Form3->PageState[1] = 0;
  Form3->PageState[2] = 0;
  // An empty current page takes the capture itself.
  Form2->SpeedButton14->Click();
  EXPECT_EQ(Form3->CurrentPage, 1);
  EXPECT_EQ(Form3->PageCount, 1);
  EXPECT_EQ(Form3->PageState[1], 2);
  EXPECT_EQ(PageImage(1), Picture());
  // Now page 1 has content: the next capture makes page 2 and lands there.
  const QImage first = PageImage(1);
  ASSERT_TRUE(Stroke({QPoint(150, 300), QPoint(300, 300)}));
  Form2->SpeedButton14->Click();
  EXPECT_EQ(Form3->CurrentPage, 2);
  EXPECT_EQ(Form3->PageCount, 2);
  EXPECT_EQ(Form3->Edit2->Text, "2");
  EXPECT_EQ(Form3->PageState[2], 2);
  EXPECT_EQ(PageImage(2), Picture());
  EXPECT_EQ(PageImage(1), first);
}

TEST_F(Overlay, CaptureToTheNextPageKeepsAPictureJustPutDownOnAnEmptyPage) {
  Form3->CurrentPage = 1;
  Form3->PageCount = 1;
  Form3->Edit2->Text = "1";
  Form3->PageState[1] = 1;  // cleared, then a stamp placed
  Form3->PageState[2] = 0;
  Form3->FillPage(1, clGreen);
  TBitmap stamp;
  stamp.SetSize(40, 40);
  stamp.Canvas->Brush->Color = clRed;
  stamp.Canvas->FillRect(Rect(0, 0, 40, 40));
  Form3->Image2->Picture->Assign(&stamp);
  Form3->Image2->SetBounds(600, 500, 40, 40);
  Form3->Image2->Show();
  Form2->SpeedButton14->Click();
  EXPECT_EQ(PagePixel(1, 620, 520), COLORREF(clRed));
  EXPECT_EQ(Form3->CurrentPage, 2);
  EXPECT_EQ(PageImage(2), Picture());
}

TEST_F(Overlay, OnPage99TheCaptureToTheNextPageLandsOnPage99) {
  for (int p = 2; p <= 99; ++p)
    if (!Form3->Pages[p]) Form3->Pages[p] = TForm3::NewPageBitmap();
  Form3->PageCount = 99;
  Form3->CurrentPage = 99;
  Form3->Edit2->Text = "99";
  Form3->PageState[99] = 2;
  Form2->SpeedButton14->Click();
  EXPECT_EQ(Form3->CurrentPage, 99);
  EXPECT_EQ(Form3->PageCount, 99);
  EXPECT_EQ(PageImage(99), Picture());
  Form3->PageCount = 2;
  Form3->CurrentPage = 1;
  Form3->Edit2->Text = "1";
  for (int p = 3; p <= 99; ++p) Form3->Pages[p].reset(), Form3->PageState[p] = 0;
}

TEST_F(Overlay, OpeningItAgainShowsTheCurrentDesktopWithoutTheEarlierAnnotations) {
  ASSERT_TRUE(Stroke({QPoint(150, 300), QPoint(300, 300)}));
  Form2->SpeedButton15->Click();
  ASSERT_TRUE(Stroke({QPoint(140, 280), QPoint(320, 320)}));
  ASSERT_TRUE(Form2->Image1->Visible);
  // To the board and back through the toolbar's path.
  ASSERT_TRUE(Press(Collapsed(8), [] { return !Form2->Visible; }));  // 操作演示
  EXPECT_TRUE(Form1->Visible);
  EXPECT_TRUE(Form1->Timer1->Enabled);
  Form1->Hide();
  Form2->Show();
  ASSERT_TRUE(Shown(Form2));
  EXPECT_EQ(PicturePixel(200, 300), kWhite);
  EXPECT_FALSE(Form2->Image1->Visible);
  EXPECT_TRUE(WaitFor([] { return ScreenPixel(200, 300) == kWhite; }));
  EXPECT_EQ(Form2->AnnotMode, kAnnotSelect);  // the tool stays
}

TEST_F(Overlay, WidthAndColourOfThePen) {
  for (int i = 0; i < 8; ++i) Form2->SpeedButton7->Click();
  EXPECT_EQ(Form2->Edit1->Text, "9");
  EXPECT_EQ(Form2->Canvas->Pen->Width, 9);
  for (int i = 0; i < 9; ++i) Form2->SpeedButton8->Click();
  EXPECT_EQ(Form2->Edit1->Text, "1");
  EXPECT_EQ(Form2->Canvas->Pen->Width, 1);
  Form2->SpeedButton7->Click();
  Form2->SpeedButton7->Click();
  EXPECT_EQ(Form2->Edit1->Text, "3");

  std::ofstream("answers") << "COLOR $FF0000\nCANCEL\n";
  Form2->SpeedButton9->Click();
  EXPECT_EQ(Form2->LCP->Color, clBlue);
  EXPECT_EQ(Form2->Canvas->Pen->Color, clBlue);
  Form2->LCPClick(nullptr);
  EXPECT_EQ(Form2->Canvas->Pen->Color, clBlue);
  ASSERT_TRUE(Stroke({QPoint(150, 300), QPoint(300, 300)}));
  EXPECT_EQ(PicturePixel(200, 300), RGB(0, 0, 255));
  std::ofstream("answers") << "COLOR 33023\n";
  Form2->SpeedButton9->Click();
  EXPECT_EQ(Form2->Canvas->Pen->Color, TColor(33023));
}

TEST_F(Overlay, AToolChosenOnOneBarIsShownOnTheOther) {
  ASSERT_TRUE(Press(Collapsed(4), [] { return Form2->AnnotMode == kAnnotLine; }));  // 画直线
  EXPECT_TRUE(Form2->SpeedButton27->Down);
  EXPECT_TRUE(Form2->SpeedButton26->Down);
  EXPECT_FALSE(Form2->SpeedButton4->Down);
  ASSERT_TRUE(Stroke({QPoint(150, 300), QPoint(200, 320), QPoint(300, 300)}));
  EXPECT_EQ(PicturePixel(200, 300), kPenColour);  // a straight line, not the path
  EXPECT_EQ(PicturePixel(200, 320), kWhite);
}

TEST_F(Overlay, TheCurtainOverTheOverlayIsLiftedByAPressAndTheOverlayIsDrawnAgain) {
  Form2->Canvas->Brush->Color = clRed;
  Form2->Canvas->FillRect(Rect(300, 300, 340, 340));
  Form2->Canvas->Brush->Style = bsClear;
  ASSERT_TRUE(WaitFor([] { return ScreenPixel(320, 320) == RGB(255, 0, 0); }));
  ASSERT_TRUE(Press(Collapsed(6), [] { return Form5->isVisible(); }));  // 消隐投影
  EXPECT_FALSE(Form1->Timer1->Enabled);
  ASSERT_TRUE(Shown(Form5));
  EXPECT_TRUE(WaitFor([] { return ScreenPixel(320, 320) == kBlack; }));
  ASSERT_TRUE(Press(QPoint(500, 500), [] { return !Form5->Visible(); }));
  EXPECT_TRUE(WaitFor([] { return ScreenPixel(320, 320) == kWhite; }));
  EXPECT_TRUE(Form2->Visible);
}

TEST_F(Overlay, ToTheBoardHidesTheWritingPanelAndShowsTheBoard) {
  Form14->Show();
  ASSERT_TRUE(Shown(Form14));
  Form3->CurrentPage = 1;
  Form3->PageState[1] = 2;
  Form1->PaintSource = 0;
  Form2->SpeedButton23->Click();
  ASSERT_TRUE(Press(Full(Form2->SpeedButton6), [] { return Form3->isVisible(); }));  // 书写板
  EXPECT_FALSE(Form2->Visible);
  EXPECT_FALSE(Form14->Visible);
  EXPECT_EQ(Form1->PaintSource, 1);
  EXPECT_FALSE(Form1->Visible);
  Form2->SpeedButton18->Click();
}
