// The page strip with real X pointer input: opening and placing it, its
// views, scrolling, picking a page and the note panel around it. The strip's
// picture area and the pages are read directly, "tmp.bmt" by ImageMagick.
#include <QFile>

#include "tests/board/pages_test.h"

#include <gtest/gtest.h>

using namespace boardtest;
using namespace pagestest;

namespace {

const int W = 1024, H = 768;
const COLORREF kYellow = RGB(255, 255, 0);

COLORREF AreaPixel(int x, int y) { return Form3->Image3->Picture->Bitmap->Pixels().GetPixel(x, y); }

// A release on the strip's picture area at (x, y) of the area.
bool PickAt(int x, int y) {
  const TPoint p = Form3->Image3->ClientToScreen(Point(x, y));
  return Xdo(At(p.X, p.Y) + " click 1") && WaitFor([] { return !Form3->Panel5->Visible(); });
}

bool Open() {
  return Click(Form3->SpeedButton1, [] { return Form3->Panel5->Visible() && Shown(Form3); });
}

class Strip : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(ResetBoard());
    Form3->Panel6->Height = 1;
    Form3->ScrollBar1->SmallChange = 2;
    Form3->ScrollBar1->Position = 1;
  }
  void TearDown() override { Form3->Panel5->Hide(); }
};

}  // namespace

// First in the file: the strip used before the note panel was ever shown.
// The strip comes after the panel in the form, so it covers it where they
// meet.
TEST_F(Strip, CoversTheNotePanelWhereTheyMeetWhicheverWasShownFirst) {
  MakePages({kYellow});
  ASSERT_TRUE(Open());
  Form3->SpeedButton30Click(Form3->SpeedButton30);  // closed again
  ASSERT_FALSE(Form3->Panel5->Visible());
  Form3->SetPanelKind(1, 1);
  Form3->RichEdit1->Show();
  Form3->RichEdit1->Lines->Clear();
  Form3->Panel4->SetBounds(100, 300, 200, 300);
  Form3->Panel4->Show();
  const COLORREF note = ColorToRGB(Form3->RichEdit1->Color);
  ASSERT_TRUE(WaitFor([=] { return ScreenPixel(150, 320) == note; }));
  Form3->Panel5->Show();
  // Where they meet, the strip's picture area shows.
  const TPoint inStrip = Form3->Image3->ClientToScreen(Point(150, 150));
  ASSERT_TRUE(QRect(100, 300, 200, 300).contains(inStrip.X, inStrip.Y));
  ASSERT_NE(AreaPixel(150, 150), note);
  EXPECT_TRUE(WaitFor([=] { return ScreenPixel(inStrip.X, inStrip.Y) == AreaPixel(150, 150); }))
      << std::hex << ScreenPixel(inStrip.X, inStrip.Y);
  Form3->Panel4->Hide();
}

TEST_F(Strip, OpensBelowTheMiddleWithItsRowAndShowsTwoPagesResampled) {
  MakePages({kYellow, kGreen});
  Form3->CurrentPage = 2;
  Form3->Repaint();
  remove((Folder() + "tmp.bmt").c_str());
  ASSERT_TRUE(Open());
  EXPECT_EQ(Form3->Panel5->BoundsRect(), Bounds(0, 366, W, 402));
  EXPECT_EQ(Form3->Panel6->Height, 18);
  EXPECT_EQ(Form3->Image3->Top, 18);
  EXPECT_EQ(Form3->Image3->Height, H / 2);
  EXPECT_EQ(Form3->ScrollBar1->Position, 2);
  EXPECT_EQ(Form3->Edit3->Text, " 2");
  EXPECT_TRUE(Form3->SpeedButton37->Visible());
  EXPECT_FALSE(Form3->SpeedButton38->Visible());
  // Page 2 on the left, page 3 on the right, resampled to half size.
  EXPECT_EQ(AreaPixel(100, 100), kYellow);
  EXPECT_EQ(AreaPixel(900, 300), kGreen);
  EXPECT_EQ(AreaPixel(512, 200), RGB(0, 0, 0));
  EXPECT_EQ(Identify(Folder() + "tmp.bmt"), "BMP3 512x384");

  // Pressed again while open: only the row is toggled.
  ASSERT_TRUE(Click(Form3->SpeedButton1, [] { return Form3->Panel6->Height == 1; }));
  EXPECT_TRUE(Form3->Panel5->Visible());
  EXPECT_EQ(Form3->Panel5->BoundsRect(), Bounds(0, 384, W, 384));
  EXPECT_EQ(Form3->Image3->Top, 0);
}

TEST_F(Strip, OnTheLastPageTheRightHalfIsBackgroundAndTheSeparatorStandsOut) {
  const struct {
    COLORREF page, separator;
  } cases[] = {{RGB(0, 0, 0), RGB(255, 255, 255)}, {kYellow, RGB(0, 0, 0)}};
  for (const auto& c : cases) {
    MakePages({c.page});
    Form3->CurrentPage = 2;
    Form3->Repaint();
    ASSERT_TRUE(Open());
    EXPECT_EQ(AreaPixel(200, 200), c.page);
    EXPECT_EQ(AreaPixel(800, 200), c.page);  // the background beside it
    for (int y : {0, 100, 383}) EXPECT_EQ(AreaPixel(512, y), c.separator) << y;
    // The fast view of the two-page button shows the same.
    ASSERT_TRUE(Click(Form3->SpeedButton27, [] { return true; }));
    EXPECT_EQ(AreaPixel(800, 200), c.page);
    EXPECT_EQ(AreaPixel(512, 100), c.separator);
    ASSERT_TRUE(Click(Form3->SpeedButton30, [] { return !Form3->Panel5->Visible(); }));
  }
}

TEST_F(Strip, TheOnePageViewShowsTheLowerHalfOfThePage) {
  MakePages({kYellow});
  Paint(2, QRect(0, H / 2, W, H / 2), kBlue);
  Form3->CurrentPage = 2;
  ASSERT_TRUE(Open());
  ASSERT_TRUE(Click(Form3->SpeedButton28, [] { return Form3->ScrollBar1->SmallChange == 1; }));
  EXPECT_EQ(AreaPixel(10, 10), kBlue);
  EXPECT_EQ(AreaPixel(1000, 380), kBlue);
  // The view survives closing and opening.
  ASSERT_TRUE(Click(Form3->SpeedButton30, [] { return !Form3->Panel5->Visible(); }));
  Paint(2, QRect(0, H / 2, W, H / 2), kGreen);
  ASSERT_TRUE(Open());
  EXPECT_EQ(Form3->ScrollBar1->SmallChange, 1);
  EXPECT_EQ(AreaPixel(500, 200), kGreen);
}

TEST_F(Strip, ScrollingRedrawsAtOnceAndResamplesWhenTheScrollEnds) {
  MakePages({kYellow, kGreen, kBlue});
  ASSERT_TRUE(Open());
  // A change of position: the stretched pages at once.
  Form3->ScrollBar1->Position = 3;
  EXPECT_EQ(Form3->Edit3->Text, " 3");
  EXPECT_EQ(AreaPixel(100, 100), kGreen);
  EXPECT_EQ(AreaPixel(900, 100), kBlue);

  // An arrow press steps by the view (two pages); its end resamples.
  Form3->ScrollBar1->Position = 1;
  remove((Folder() + "tmp.bmt").c_str());
  TScrollBar* bar = Form3->ScrollBar1;
  const TPoint arrow = bar->ClientToScreen(Point(bar->Width - 4, bar->Height / 2));
  ASSERT_TRUE(Xdo(At(arrow.X, arrow.Y) + " click 1"));
  ASSERT_TRUE(WaitFor([] { return QFile::exists(QString::fromStdString(Folder() + "tmp.bmt")); }));
  EXPECT_EQ(Form3->ScrollBar1->Position, 3);
  EXPECT_EQ(Form3->Edit3->Text, " 3");
  EXPECT_EQ(AreaPixel(100, 100), kGreen);
  EXPECT_EQ(AreaPixel(900, 100), kBlue);
  // A drag of the thumb: the pages follow it, and are resampled when it ends.
  Form3->ScrollBar1->Position = 1;
  remove((Folder() + "tmp.bmt").c_str());
  const TPoint thumb = bar->ClientToScreen(Point(24, bar->Height / 2));
  const TPoint end = bar->ClientToScreen(Point(bar->Width - 20, bar->Height / 2));
  ASSERT_TRUE(Xdo(At(thumb.X, thumb.Y) + " mousedown 1 sleep 0.05" + At((thumb.X + end.X) / 2, end.Y) +
                  " sleep 0.05" + At(end.X, end.Y) + " sleep 0.05"));
  EXPECT_TRUE(WaitFor([] { return Form3->ScrollBar1->Position == 4; }));
  EXPECT_FALSE(QFile::exists(QString::fromStdString(Folder() + "tmp.bmt")));
  ASSERT_TRUE(Xdo("mouseup 1"));
  ASSERT_TRUE(WaitFor([] { return QFile::exists(QString::fromStdString(Folder() + "tmp.bmt")); }));
  EXPECT_EQ(Form3->Edit3->Text, " 4");
  EXPECT_EQ(AreaPixel(100, 100), kBlue);
  // The position never passes the last page.
  Form3->ScrollBar1->Position = 10;
  EXPECT_EQ(Form3->ScrollBar1->Position, 4);
}

TEST_F(Strip, APickMakesThePageReleasedOnCurrent) {
  MakePages({kYellow, kGreen});
  Form3->SetPanelKind(2, 2);
  Form3->PanelLeft[2] = 30, Form3->PanelTop[2] = 60, Form3->PanelWidth[2] = 300, Form3->PanelHeight[2] = 200;
  const struct {
    int position;
    int x;
    int view;
    int page;
  } picks[] = {
      {1, 700, 2, 2},  // right half: the next page
      {1, 300, 2, 1},  // left half: the page of the position
      {3, 700, 2, 3},  // right of the last page: the last page
      {1, 700, 1, 1},  // the one-page view shows one page only
  };
  for (const auto& p : picks) {
    ASSERT_TRUE(Open());
    Form3->ScrollBar1->SmallChange = p.view;
    Form3->ScrollBar1->Position = p.position;
    StrokeRight = 300;
    Form3->LayerActive = 1;
    Form3->Panel3->Caption = "1，1";
    const int row = Form3->Panel6->Height;
    ASSERT_TRUE(PickAt(p.x, 100)) << p.position << " " << p.x;
    EXPECT_EQ(Form3->CurrentPage, p.page) << p.position << " " << p.x;
    EXPECT_EQ(Form3->Edit2->Text, IntToStr(p.page));
    EXPECT_EQ(StrokeRight, -10);
    EXPECT_EQ(Form3->LayerActive, 0);
    EXPECT_EQ(Form3->Panel3->Caption, "");
    EXPECT_EQ(Form3->Panel6->Height, row == 18 ? 1 : 18);
    // Page 2's web panel is shown by the same rule as page turning's.
    EXPECT_EQ(Form3->Panel4->Visible(), p.page == 2);
    if (p.page == 2) {
      EXPECT_EQ(Form3->Panel4->BoundsRect(), Bounds(30, 60, 300, 200));
    }
  }
  EXPECT_TRUE(WaitFor([] { return ScreenPixel(600, 500) == Background(); }));  // page 1 on the board
}

TEST_F(Strip, APickCommitsTheFloatingPictureAndGivesTheEraserThePageBackground) {
  MakePages({kYellow});
  Form3->FloatBitmap->SetSize(20, 20);
  Form3->FloatBitmap->Canvas->Brush->Color = TColor(kBlue);
  Form3->FloatBitmap->Canvas->FillRect(Rect(0, 0, 20, 20));
  Form3->PendingStamp = 2;
  StartX = 100, StartY = 100;
  Form3->PlaceStamp();
  ASSERT_TRUE(Click(Form3->SpeedButton10, [] { return DrawMode == kEraser; }));
  ASSERT_TRUE(Open());
  ASSERT_TRUE(PickAt(700, 100));
  EXPECT_EQ(Form3->CurrentPage, 2);
  EXPECT_FALSE(Form3->Image2->Visible());
  EXPECT_EQ(PagePixel(1, 101, 101), kBlue);  // into the page that was current
  EXPECT_EQ(PagePixel(1, 100, 100), Background());
  EXPECT_EQ(COLORREF(Form3->Canvas->Pen->Color()), kYellow);
  EXPECT_EQ(Form3->NoteColour, TColor(kYellow));
  EXPECT_TRUE(WaitFor([] { return ScreenPixel(600, 500) == kYellow; }));
  DrawMode = kPen;
}

TEST_F(Strip, TheNoteShownWhenTheStripOpensIsStampedIntoItsPageAndKeptWhenAPageIsPicked) {
  MakePages({kYellow});
  Form3->SetPanelKind(1, 1);
  Form3->RichEdit1->Show();
  Form3->RichEdit1->Lines->Clear();
  Form3->Panel4->SetBounds(100, 100, 200, 150);
  Form3->Panel4->Show();
  const COLORREF note = ColorToRGB(Form3->RichEdit1->Color);
  ASSERT_NE(note, Background());
  ASSERT_TRUE(WaitFor([=] { return ScreenPixel(150, 150) == note; }));
  ASSERT_TRUE(Open());
  EXPECT_TRUE(Form3->Panel4->Visible());
  EXPECT_EQ(Form3->PanelOnPage[1], 1);
  EXPECT_EQ(Form3->PanelLeft[1], 100);
  EXPECT_EQ(Form3->PanelHeight[1], 150);
  EXPECT_EQ(PagePixel(1, 150, 150), note);  // the panel's picture
  EXPECT_EQ(PagePixel(1, 99, 150), Background());
  EXPECT_EQ(AreaPixel(100, 80), note);  // and so in the half-size page

  // Moved and written on while the strip is open, the panel keeps its new
  // place and its text for page 1.
  Form3->Panel4->SetBounds(120, 110, 200, 150);
  Form3->RichEdit1->Text = "note of page one";
  ASSERT_TRUE(PickAt(700, 100));
  EXPECT_EQ(Form3->CurrentPage, 2);
  EXPECT_EQ(Form3->PanelLeft[1], 120);
  EXPECT_EQ(Form3->PanelTop[1], 110);
  EXPECT_FALSE(Form3->Panel4->Visible());  // page 2 has none
  EXPECT_EQ(Form3->RichEdit1->Text().find("note of page one"), std::string::npos);
  EXPECT_NE(Shell("cat '" + Folder() + "1'").find("note of page one"), std::string::npos);

  // Picked back, page 1 shows its note again at its place.
  ASSERT_TRUE(Open());
  Form3->ScrollBar1->Position = 1;
  ASSERT_TRUE(PickAt(100, 100));
  EXPECT_EQ(Form3->CurrentPage, 1);
  EXPECT_TRUE(Form3->Panel4->Visible());
  EXPECT_EQ(Form3->Panel4->BoundsRect(), Bounds(120, 110, 200, 150));
  EXPECT_NE(Form3->RichEdit1->Text().find("note of page one"), std::string::npos);
}

TEST_F(Strip, TheButtonsMoveCollapseAndCloseTheStrip) {
  MakePages({kYellow});
  ASSERT_TRUE(Open());
  ASSERT_TRUE(Click(Form3->SpeedButton37, [] { return Form3->Panel5->Top == 41; }));
  EXPECT_TRUE(Form3->SpeedButton38->Visible());
  EXPECT_FALSE(Form3->SpeedButton37->Visible());
  ASSERT_TRUE(Click(Form3->SpeedButton38, [] { return Form3->Panel5->Top == H / 2 - 18; }));
  EXPECT_TRUE(Form3->SpeedButton37->Visible());
  EXPECT_FALSE(Form3->SpeedButton38->Visible());
  Form1->PaintSource = 0;
  ASSERT_TRUE(Click(Form3->SpeedButton29, [] { return Form3->Panel6->Height == 1; }));
  EXPECT_EQ(Form3->Panel5->BoundsRect(), Bounds(0, H / 2 - 18, W, H / 2));
  EXPECT_EQ(Form3->Image3->Top, 0);
  EXPECT_EQ(Form1->PaintSource, 1);
  EXPECT_TRUE(Form3->Panel5->Visible());
  // The row is down now: the toolbar button shows it again.
  ASSERT_TRUE(Click(Form3->SpeedButton1, [] { return Form3->Panel6->Height == 18; }));
  Form1->PaintSource = 0;
  ASSERT_TRUE(Click(Form3->SpeedButton30, [] { return !Form3->Panel5->Visible(); }));
  EXPECT_EQ(Form3->Panel5->BoundsRect(), Bounds(0, H / 2, W, H / 2));
  EXPECT_EQ(Form3->Panel6->Height, 1);
  EXPECT_EQ(Form3->Image3->Top, 0);
  EXPECT_EQ(Form1->PaintSource, 1);
  EXPECT_TRUE(WaitFor([] { return ScreenPixel(600, 600) == Background(); }));
}
