// Turning the board's pages and zooming the floating picture, with real X
// pointer input where the board's buttons are pressed. The page bitmaps are
// read directly, the screen as ImageMagick reads it, and "tmp.bmt" by
// ImageMagick too.
#include <QFile>

#include "tests/board/pages_test.h"

#include <gtest/gtest.h>

using namespace boardtest;
using namespace pagestest;

namespace {

const int W = 1024, H = 768;

// A picture of one colour floating at (x, y) as a placed stamp would.
void FloatPicture(int x, int y, int w, int h, COLORREF colour) {
  Form3->FloatBitmap->SetSize(w, h);
  Form3->FloatBitmap->Canvas->Brush->Color = TColor(colour);
  Form3->FloatBitmap->Canvas->FillRect(Rect(0, 0, w, h));
  Form3->PendingStamp = 2;
  StartX = x, StartY = y;
  Form3->PlaceStamp();
}

class Turn : public ::testing::Test {
 protected:
  // A board of one page that was never drawn on, the pen armed.
  void SetUp() override {
    ASSERT_TRUE(ResetBoard());
    ASSERT_TRUE(Click(Form3->SpeedButton3, [] { return DrawMode == kPen; }));
  }
};

}  // namespace

TEST_F(Turn, PagesAreMadeOnlyAfterContentAndTurnedBackAndForth) {
  // A fresh board: the next page is refused.
  ASSERT_TRUE(Click(Form3->SpeedButton12, [] { return true; }));
  EXPECT_EQ(Form3->CurrentPage, 1);
  EXPECT_EQ(Form3->PageCount, 1);
  EXPECT_EQ(Form3->Edit2->Text, "1");
  EXPECT_FALSE(Form3->Pages[2]);

  // One stroke, then the next page: page 2, in the background colour.
  Form3->PanelLeft[1] = 0, Form3->PanelTop[1] = 41, Form3->PanelWidth[1] = 368, Form3->PanelHeight[1] = H - 45;
  ASSERT_TRUE(Drag({{100, 100}, {200, 110}, {300, 120}}));
  ASSERT_EQ(Form3->PageState[1], 2);
  const QImage page1 = PageImage(1);
  StrokeRight = 300;
  ASSERT_TRUE(Click(Form3->SpeedButton12, [] { return Form3->CurrentPage == 2; }));
  EXPECT_EQ(Form3->PageCount, 2);
  EXPECT_EQ(Form3->Edit2->Text, "2");
  EXPECT_EQ(Form3->ScrollBar1->Max, 2);
  EXPECT_FALSE(Form3->Panel4->Visible);
  EXPECT_EQ(Form3->PanelKind(2), 0);
  EXPECT_EQ(Form3->PageState[2], 0);
  EXPECT_EQ(PagePixel(2, 200, 110), Background());
  EXPECT_EQ(PagePixel(2, W - 1, H - 1), Background());
  EXPECT_EQ(Form3->PanelTop[2], 41);
  EXPECT_EQ(Form3->PanelHeight[2], H - 45);
  EXPECT_EQ(Form3->PanelWidth[2], 368);
  EXPECT_EQ(StrokeRight, -10);  // undo has nothing left to restore
  EXPECT_TRUE(WaitFor([] { return ScreenPixel(200, 110) == Background(); }));

  // Back to page 1 as it was committed; forward to page 2 again (1 < 2),
  // but no page 3 from the empty page 2.
  ASSERT_TRUE(Click(Form3->SpeedButton11, [] { return Form3->CurrentPage == 1; }));
  EXPECT_EQ(Form3->Edit2->Text, "1");
  EXPECT_FALSE(Changed(page1, PageImage(1)).isValid());
  EXPECT_TRUE(WaitFor([] { return ScreenPixel(200, 110) == COLORREF(Form3->LCP->Color()); }));
  ASSERT_TRUE(Click(Form3->SpeedButton12, [] { return Form3->CurrentPage == 2; }));
  ASSERT_TRUE(Click(Form3->SpeedButton12, [] { return true; }));
  EXPECT_EQ(Form3->CurrentPage, 2);
  EXPECT_EQ(Form3->PageCount, 2);
  EXPECT_FALSE(Form3->Pages[3]);

  // Page 1 is the lower limit.
  ASSERT_TRUE(Click(Form3->SpeedButton11, [] { return Form3->CurrentPage == 1; }));
  ASSERT_TRUE(Click(Form3->SpeedButton11, [] { return true; }));
  EXPECT_EQ(Form3->CurrentPage, 1);
  EXPECT_EQ(Form3->Edit2->Text, "1");
}

TEST_F(Turn, Page99IsTheLastEvenWithContent) {
  for (int p = 1; p <= 98; ++p) {
    Form3->PageState[Form3->CurrentPage] = 2;
    Form3->SpeedButton12Click(nullptr);
    ASSERT_EQ(Form3->CurrentPage, p + 1);
  }
  EXPECT_EQ(Form3->PageCount, 99);
  EXPECT_EQ(Form3->Edit2->Text, "99");
  EXPECT_EQ(Form3->ScrollBar1->Max, 99);
  Form3->PageState[99] = 2;
  Form3->SpeedButton12Click(nullptr);
  EXPECT_EQ(Form3->CurrentPage, 99);
  EXPECT_EQ(Form3->PageCount, 99);

  // A page number out of step with the text shown never runs past the
  // store.
  Form3->Edit2->Text = "98";
  Form3->SpeedButton12Click(nullptr);
  EXPECT_EQ(Form3->CurrentPage, 99);
}

TEST_F(Turn, TheEraserTakesTheBackgroundOfThePageReached) {
  Form3->Pages[2] = TForm3::NewPageBitmap();
  Form3->FillPage(2, clYellow);
  Form3->PageCount = 2;
  Form3->ScrollBar1->Max = 2;
  ASSERT_TRUE(Click(Form3->SpeedButton10, [] { return DrawMode == kEraser; }));
  ASSERT_TRUE(Click(Form3->SpeedButton12, [] { return Form3->CurrentPage == 2; }));
  EXPECT_EQ(Form3->Canvas->Pen->Color(), clYellow);
  EXPECT_TRUE(WaitFor([] { return ScreenPixel(500, 500) == COLORREF(clYellow); }));
  ASSERT_TRUE(Click(Form3->SpeedButton11, [] { return Form3->CurrentPage == 1; }));
  EXPECT_EQ(COLORREF(Form3->Canvas->Pen->Color()), Background());
  // Another tool keeps its pen colour over a turn.
  ASSERT_TRUE(Click(Form3->SpeedButton3, [] { return DrawMode == kPen; }));
  ASSERT_TRUE(Click(Form3->SpeedButton12, [] { return Form3->CurrentPage == 2; }));
  EXPECT_EQ(Form3->Canvas->Pen->Color(), Form3->LCP->Color());
}

TEST_F(Turn, APageReachedShowsThePanelItsKindSays) {
  for (int p = 2; p <= 4; ++p) {
    Form3->Pages[p] = TForm3::NewPageBitmap();
    Form3->FillPage(p, Form3->RCP->Color);
    Form3->PanelLeft[p] = 10 * p, Form3->PanelTop[p] = 50 + p, Form3->PanelWidth[p] = 300, Form3->PanelHeight[p] = 200;
  }
  Form3->PageCount = 4;
  Form3->SetPanelKind(2, 1);
  Form3->SetPanelKind(3, 2);
  Form3->SetPanelKind(4, 0);
  // The note of page 2 in its file; page 3 is a web view.
  Shell("printf 'page two' > '" + Folder() + "2'");
  const struct {
    int page;
    bool shown;
    bool note;
  } arrivals[] = {{2, true, true}, {3, true, false}, {4, false, false}};
  for (const auto& a : arrivals) {
    Form3->SpeedButton12Click(nullptr);
    ASSERT_EQ(Form3->CurrentPage, a.page);
    EXPECT_EQ(Form3->Panel4->Visible(), a.shown) << a.page;
    EXPECT_EQ(Form3->RichEdit1->Visible(), a.note) << a.page;
    EXPECT_EQ(Form3->RichEdit1->Text(), a.note ? "page two" : "") << a.page;
    if (a.shown) {
      EXPECT_EQ(Form3->Panel4->BoundsRect(), Bounds(10 * a.page, 50 + a.page, 300, 200)) << a.page;
    }
  }

  // Leaving a page with its panel shown keeps where the panel stood.
  Form3->SpeedButton11Click(nullptr);
  ASSERT_EQ(Form3->CurrentPage, 3);
  Form3->Panel4->SetBounds(120, 130, 250, 150);
  Form3->SpeedButton11Click(nullptr);
  EXPECT_EQ(Form3->PanelLeft[3], 120);
  EXPECT_EQ(Form3->PanelTop[3], 130);
  EXPECT_EQ(Form3->PanelWidth[3], 250);
  EXPECT_EQ(Form3->PanelHeight[3], 150);
  EXPECT_EQ(Form3->Panel4->BoundsRect(), Bounds(20, 52, 300, 200));
  Form3->SpeedButton11Click(nullptr);
  EXPECT_FALSE(Form3->Panel4->Visible);  // page 1: kind 0
}

TEST_F(Turn, ANewPageReplacesABitmapLeftAboveALoweredPageCount) {
  // A lesson of two pages gave way to one: page 2's old bitmap is still there.
  Form3->Pages[2] = TForm3::NewPageBitmap();
  Paint(2, QRect(0, 0, W, H), kRed);
  Form3->SetPanelKind(2, 1);
  const TBitmap* old = Form3->Pages[2].get();
  Form3->PageState[1] = 2;
  Form3->SpeedButton12Click(nullptr);
  ASSERT_EQ(Form3->CurrentPage, 2);
  EXPECT_NE(Form3->Pages[2].get(), old);
  EXPECT_EQ(Form3->PanelKind(2), 0);
  EXPECT_EQ(PagePixel(2, 500, 500), Background());
  EXPECT_FALSE(Form3->Panel4->Visible);
}

TEST_F(Turn, TheNoteTakesAReadableColourForThePageBackground) {
  Form3->Pages[2] = TForm3::NewPageBitmap();
  Form3->PageCount = 2;
  const struct {
    TColor rcp, page, note;
  } cases[] = {
      {TColor(0x808080), clYellow, TColor(0xA5A5A5)},      // the grey board: always the lighter grey
      {TColor(4194304), TColor(0x123456), TColor(0x123456)},  // the page's own background
      {TColor(4194304), clBlack, TColor(0x626262)},           // never black on black
      {TColor(4194304), TColor(0x808080), TColor(0xA5A5A5)},
  };
  for (const auto& c : cases) {
    Form3->RCP->Color = c.rcp;
    Form3->FillPage(2, c.page);
    Form3->SpeedButton12Click(nullptr);
    ASSERT_EQ(Form3->CurrentPage, 2);
    EXPECT_EQ(Form3->NoteColour, c.note) << std::hex << c.page;
    Form3->SpeedButton11Click(nullptr);
  }
  // A refused turn sets the colour too.
  Form3->RCP->Color = TColor(0x808080);
  Form3->SpeedButton11Click(nullptr);
  EXPECT_EQ(Form3->NoteColour, TColor(0xA5A5A5));
}

TEST_F(Turn, EveryTurnCommitsTheFloatingPictureWithoutItsRim) {
  FloatPicture(300, 300, 20, 20, kBlue);
  ASSERT_TRUE(Form3->Image2->Visible());
  Form1->PaintSource = 0;
  ASSERT_TRUE(Click(Form3->SpeedButton12, [] { return !Form3->Image2->Visible(); }));  // refused, still commits
  EXPECT_EQ(Form1->PaintSource, 1);
  EXPECT_EQ(PagePixel(1, 301, 301), kBlue);
  EXPECT_EQ(PagePixel(1, 318, 318), kBlue);
  for (QPoint p : {QPoint(300, 300), QPoint(319, 310), QPoint(310, 319)})
    EXPECT_EQ(PagePixel(1, p.x(), p.y()), Background()) << p.x() << "," << p.y();

  // A press commits the whole picture.
  Form3->FillPage(1, Form3->RCP->Color);
  Form3->Repaint();
  FloatPicture(300, 300, 20, 20, kBlue);
  ASSERT_TRUE(Drag({{800, 600}}));
  EXPECT_FALSE(Form3->Image2->Visible());
  for (QPoint p : {QPoint(300, 300), QPoint(319, 319), QPoint(310, 310)})
    EXPECT_EQ(PagePixel(1, p.x(), p.y()), kBlue) << p.x() << "," << p.y();

  // A tall scan's lower part floats over the page it continues on.
  Form3->PageState[1] = 2;
  FloatPicture(-5, 35, 40, 40, kRed);
  Form3->FloatIsPicture = 0;
  Form3->Image2->Tag = 2;
  ASSERT_TRUE(Click(Form3->SpeedButton12, [] { return Form3->CurrentPage == 2 && Form3->Image2->Visible(); }));
  EXPECT_EQ(PagePixel(1, 10, 50), kRed);
  EXPECT_EQ(Form3->Image2->Top, 90 - H);
  EXPECT_EQ(Form3->Image2->Tag, 0);
}

// ---- the floating picture's drag and zoom ----

TEST_F(Turn, ZoomStepsResampleTheCutAndComeBackToItsExactSize) {
  Paint(1, QRect(150, 150, 300, 200), kRed);
  Form3->Repaint();
  ASSERT_TRUE(Click(Form3->SpeedButton25, [] { return DrawMode == kRangeSelect; }));
  ASSERT_TRUE(Drag({{200, 200}, {260, 240}, {301, 261}}));
  ASSERT_TRUE(Form3->Image2->Visible());
  ASSERT_EQ(Form3->Image2->BoundsRect(), Bounds(200, 200, 101, 61));
  remove((Folder() + "tmp.bmt").c_str());

  const COLORREF frame = COLORREF(Form3->LCP->Color());
  auto framed = [&](int w, int h) {
    const QImage pic = Form3->Image2->Picture->Bitmap->ToImage();
    int top = 0, right = 0, outside = 0;
    for (int x = 0; x < w; ++x) top += gdi::FromPixel(pic.pixel(x, 0)) == frame;
    for (int y = 0; y < h; ++y) right += gdi::FromPixel(pic.pixel(w - 2, y)) == frame;
    for (int y = 0; y < h; ++y) outside += gdi::FromPixel(pic.pixel(w - 1, y)) == frame;
    return top > w / 4 && right > h / 4 && outside == 0;
  };
  const struct {
    TSpeedButton* TForm3::*button;
    int w, h;
    float factor;
    bool frame;
  } steps[] = {
      {&TForm3::SpeedButton35, 152, 92, 1.5f, true},  {&TForm3::SpeedButton35, 227, 137, 2.25f, true},
      {&TForm3::SpeedButton36, 152, 92, 1.5f, true},  {&TForm3::SpeedButton36, 101, 61, 1.0f, true},
      {&TForm3::SpeedButton36, 67, 41, 1.0f / 1.5f, false},
  };
  for (const auto& s : steps) {
    ASSERT_TRUE(Click(Form3->*s.button, [&] { return Form3->Image2->Width == s.w; })) << s.w;
    EXPECT_EQ(Form3->Image2->Height, s.h);
    EXPECT_EQ(ZoomFactor, s.factor) << s.w;
    EXPECT_EQ(ZoomImageCached, 1);
    EXPECT_EQ(Form3->ZoomImage->GetWidth(), 101u);  // always from the cut as it was
    EXPECT_EQ(framed(s.w, s.h), s.frame) << s.w;
    EXPECT_EQ(Identify(Folder() + "tmp.bmt"), "BMP3 " + std::to_string(s.w) + "x" + std::to_string(s.h));
    EXPECT_EQ(Form3->Image2->Picture->Bitmap->Pixels().GetPixel(s.w / 2, s.h / 2), kRed);
  }
  EXPECT_EQ(Form3->Image2->BoundsRect(), Bounds(200, 200, 67, 41));

  // Reduced below 1, a press commits it with two pixels left out on every side.
  ASSERT_TRUE(Drag({{800, 600}}));
  EXPECT_FALSE(Form3->Image2->Visible());
  EXPECT_EQ(ZoomImageCached, 0);
  EXPECT_EQ(PagePixel(1, 202, 202), kRed);
  EXPECT_EQ(PagePixel(1, 264, 238), kRed);
  for (QPoint p : {QPoint(201, 220), QPoint(220, 201), QPoint(265, 220), QPoint(220, 239)})
    EXPECT_EQ(PagePixel(1, p.x(), p.y()), Background()) << p.x() << "," << p.y();
}

TEST_F(Turn, ACutCommittedByAPressLeavesItsFrameOut) {
  Paint(1, QRect(200, 200, 101, 61), kRed);
  Form3->Repaint();
  ASSERT_TRUE(Click(Form3->SpeedButton25, [] { return DrawMode == kRangeSelect; }));
  ASSERT_TRUE(Drag({{200, 200}, {260, 240}, {301, 261}}));
  ASSERT_TRUE(Click(Form3->SpeedButton35, [] { return Form3->Image2->Width == 152; }));
  ASSERT_TRUE(Drag({{800, 600}}));
  // (1, 1, W - 2, H - 2) of the picture: the frame's columns and the one beyond stay out.
  EXPECT_EQ(PagePixel(1, 201, 201), kRed);
  EXPECT_EQ(PagePixel(1, 349, 289), kRed);
  for (QPoint p : {QPoint(200, 250), QPoint(350, 250), QPoint(351, 250), QPoint(250, 290), QPoint(250, 291)})
    EXPECT_EQ(PagePixel(1, p.x(), p.y()), Background()) << p.x() << "," << p.y();
}

TEST_F(Turn, AZoomedPictureIsPushedInsideTheScreenOrCentredOnIt) {
  FloatPicture(100, 100, 800, 400, kBlue);
  ASSERT_TRUE(Click(Form3->SpeedButton35, [] { return Form3->Image2->Width == 1200; }));
  EXPECT_EQ(Form3->Image2->BoundsRect(), Bounds(-88, 100, 1200, 600));
  ASSERT_TRUE(Click(Form3->SpeedButton36, [] { return Form3->Image2->Width == 800; }));
  EXPECT_EQ(Form3->Image2->BoundsRect(), Bounds(0, 100, 800, 400));
  EXPECT_EQ(ZoomFactor, 1.0f);
  // Narrower than the screen: back inside its right and bottom edges.
  Form3->Image2->Left = 400;
  Form3->Image2->Top = 300;
  ASSERT_TRUE(Click(Form3->SpeedButton35, [] { return Form3->Image2->Width == 1200; }));
  EXPECT_EQ(Form3->Image2->BoundsRect(), Bounds(-88, 168, 1200, 600));
  // A placed picture has no frame: its corner keeps its colour.
  EXPECT_EQ(Form3->Image2->Picture->Bitmap->Pixels().GetPixel(0, 0), kBlue);
}

TEST_F(Turn, AZoomStepPastFourScreensIsRefusedBeforeAnyWork) {
  // 240 x 150 takes five steps (1823 x 1139 is under the area of four
  // 1024 x 768 screens); the sixth would not fit.
  FloatPicture(100, 100, 240, 150, kBlue);
  const std::string roundTrip = Folder() + "tmp.bmt";
  int steps = 0;
  for (;;) {
    const TRect before = Form3->Image2->BoundsRect();
    const float factor = ZoomFactor;
    const QImage picture = Form3->Image2->Picture->Bitmap->ToImage();
    remove(roundTrip.c_str());
    ASSERT_TRUE(Click(Form3->SpeedButton35, [] { return true; }));
    if (Form3->Image2->BoundsRect() == before) {
      // Nothing changed, nothing was written.
      EXPECT_EQ(ZoomFactor, factor);
      EXPECT_EQ(Form3->Image2->Picture->Bitmap->ToImage(), picture);
      EXPECT_FALSE(QFile::exists(QString::fromStdString(roundTrip)));
      EXPECT_GT(before.Width() * 1.5 * before.Height() * 1.5, 4.0 * W * H);
      break;
    }
    ++steps;
    ASSERT_LE(steps, 5);
    EXPECT_LE(double(Form3->Image2->Width) * Form3->Image2->Height, 4.0 * W * H);
  }
  EXPECT_EQ(steps, 5);
  EXPECT_EQ(ZoomFactor, 7.59375f);
  // Refusing changed nothing of the steps back.
  ASSERT_TRUE(Click(Form3->SpeedButton36, [] { return ZoomFactor == 5.0625f; }));
  EXPECT_EQ(Form3->Image2->Width, 1215);
  EXPECT_EQ(Form3->Image2->Height, 759);

  // A picture floating larger than the bound goes no larger, but smaller.
  ASSERT_TRUE(Click(Form3->SpeedButton14, [] { return !Form3->Image2->Visible(); }));
  FloatPicture(0, 0, 2100, 1600, kRed);
  remove(roundTrip.c_str());
  ASSERT_TRUE(Click(Form3->SpeedButton35, [] { return true; }));
  EXPECT_EQ(Form3->Image2->Width, 2100);
  EXPECT_EQ(ZoomImageCached, 0);  // not even the cache was made
  EXPECT_FALSE(QFile::exists(QString::fromStdString(roundTrip)));
  ASSERT_TRUE(Click(Form3->SpeedButton36, [] { return Form3->Image2->Width == 1400; }));
  EXPECT_EQ(Form3->Image2->Height, 1067);
}

TEST_F(Turn, NoFloatingPictureNoZoom) {
  ZoomFactor = 1.5f;
  remove((Folder() + "tmp.bmt").c_str());
  ASSERT_TRUE(Click(Form3->SpeedButton35, [] { return true; }));
  ASSERT_TRUE(Click(Form3->SpeedButton36, [] { return true; }));
  EXPECT_EQ(ZoomFactor, 1.5f);
  EXPECT_FALSE(Form3->Image2->Visible());
  EXPECT_EQ(ZoomImageCached, 0);
  EXPECT_FALSE(QFile::exists(QString::fromStdString(Folder() + "tmp.bmt")));
  ZoomFactor = 1.0f;
}

TEST_F(Turn, AScanShownOverALeftoverCacheIsZoomedFromItsOwnPixels) {
  // A stamp zoomed, then committed by a tool button: its cache stays.
  FloatPicture(100, 100, 40, 20, kBlue);
  ASSERT_TRUE(Click(Form3->SpeedButton35, [] { return Form3->Image2->Width == 60; }));
  ASSERT_TRUE(Click(Form3->SpeedButton14, [] { return !Form3->Image2->Visible(); }));
  ASSERT_EQ(ZoomImageCached, 1);
  // A scan puts its picture up without a word to the zoom.
  TBitmap scan;
  scan.SetSize(100, 60);
  scan.Canvas->Brush->Color = TColor(kRed);
  scan.Canvas->FillRect(Rect(0, 0, 100, 60));
  Form3->Image2->Picture->Bitmap = &scan;
  Form3->Image2->SetBounds(-5, 35, 100, 60);
  Form3->Image2->Show();
  ASSERT_TRUE(Click(Form3->SpeedButton35, [] { return Form3->Image2->Width != 100; }));
  EXPECT_EQ(Form3->Image2->Width, 150);
  EXPECT_EQ(Form3->Image2->Height, 90);
  EXPECT_EQ(ZoomFactor, 1.5f);
  EXPECT_EQ(Form3->Image2->Picture->Bitmap->Pixels().GetPixel(75, 45), kRed);
}

TEST_F(Turn, DraggingThePictureMovesItWithoutCommittingIt) {
  FloatPicture(300, 300, 100, 80, kBlue);
  const QImage before = PageImage(1);
  Form1->PaintSource = 0;
  ASSERT_TRUE(Xdo(At(350, 340) + " mousedown 1" + At(380, 350) + " sleep 0.05" + At(450, 400) + " sleep 0.05" +
                  " mouseup 1"));
  ASSERT_TRUE(WaitFor([] { return Form3->Image2->Left == 400 && Form3->Image2->Top == 360; }));
  EXPECT_TRUE(Form3->Image2->Visible());
  EXPECT_EQ(Form1->PaintSource, 1);
  EXPECT_FALSE(Changed(before, PageImage(1)).isValid());
  EXPECT_TRUE(WaitFor([] { return ScreenPixel(420, 380) == kBlue && ScreenPixel(320, 320) == Background(); }));
}
