// Drawing on the board with real X pointer input: strokes and their commit,
// the tools' pens and cursors, erasers, undo, colours, the range selection
// and the floating picture's commits. The page bitmaps are read directly;
// the screen as ImageMagick reads it.
#include <QFile>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "board/lessons.h"
#include "platform/win/cursor.h"
#include "tests/board/board_test.h"

#include <gtest/gtest.h>

using namespace boardtest;

namespace {

const int W = 1024, H = 768;
const COLORREF kRed = RGB(255, 0, 0), kBlue = RGB(0, 0, 255);

std::string ReadAll(const char* path) {
  std::ifstream f(path);
  return std::string(std::istreambuf_iterator<char>(f), {});
}

void Write(const char* path, const std::string& text) { std::ofstream(path) << text; }

// The message boxes logged, "caption<TAB>text" a line: the log without the
// colour dialogs' lines.
std::string Boxes() {
  std::istringstream log(ReadAll("boxes.log"));
  std::string boxes;
  for (std::string line; std::getline(log, line);)
    if (line.find("\tCOLOR\t") == std::string::npos) boxes += line + "\n";
  return boxes;
}

COLORREF Background() { return COLORREF(Form3->RCP->Color()); }
COLORREF PenSwatch() { return COLORREF(Form3->LCP->Color()); }

// Colour on the page and on the screen alike (as a committed stroke would
// leave it).
void Paint(const QRect& r, COLORREF colour) {
  const TRect t(r.left(), r.top(), r.right() + 1, r.bottom() + 1);
  TCanvas* page = Form3->Pages[1]->Canvas;
  page->Brush->Color = TColor(colour);
  page->FillRect(t);
  TCanvas* screen = Form3->Canvas;
  screen->Brush->Color = TColor(colour);
  screen->FillRect(t);
  screen->Brush->Style = bsClear;
}

// The page equals the screen over r.
::testing::AssertionResult PageShown(const QRect& r) {
  const QImage shot = ScreenShot(r), page = PageImage(1).copy(r);
  if (shot.size() != r.size()) return ::testing::AssertionFailure() << "no screen shot";
  const QRect d = Changed(shot, page);
  if (!d.isValid()) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "page and screen differ in " << d.x() + r.x() << "," << d.y() + r.y() << " "
                                       << d.width() << "x" << d.height();
}

bool Inside(const QRect& r, const QRect& within) { return !r.isValid() || within.contains(r); }

class Draw : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    // The tools' cursor files, in the current folder as the program has them.
    for (const char* f : {"Text_Hnd.cut", "Sonic cross2.cut", "Sonic cross3.cut", "prcs_mox1.cut", "Altr_Fsh.cut",
                          "prcs_mox2.cut"})
      QFile::copy(QString::fromStdString(std::string(getenv("QUARVEL_BIN")) + "/" + f), f);
    setenv("QUARVEL_MSGBOX_LOG", "boxes.log", 1);
    setenv("QUARVEL_MSGBOX_ANSWERS", "answers", 1);
    ASSERT_TRUE(BoardUp());
  }
  // A fresh page in the start-up colours, the pen armed.
  void SetUp() override {
    ASSERT_TRUE(Shown(Form3));
    Form3->Image2->Visible = false;
    Form3->PendingStamp = 0;
    Form3->FloatIsPicture = 0;
    Form3->Edit1->Text = "2";
    Form3->RCP->Color = TColor(4194304);
    Form3->LCP->Color = TColor(33023);
    Form3->FillPage(1, Form3->RCP->Color);
    Form3->PageState[1] = 1;
    Form3->Repaint();
    remove("boxes.log");
    ASSERT_TRUE(Click(Form3->SpeedButton3, [] { return DrawMode == kPen && Form3->Canvas->Pen->Width == 2; }));
  }
};

}  // namespace

TEST_F(Draw, APenStrokeChangesThePageOnlyInsideItsBoxAndMarksIt) {
  // Drawn on the screen only, away from the stroke: never part of the page.
  Form3->Canvas->Brush->Color = clLime;
  Form3->Canvas->FillRect(Rect(500, 500, 510, 510));
  Form3->Canvas->Brush->Style = bsClear;
  const QImage before = PageImage(1);
  ASSERT_TRUE(Drag({{100, 100}, {160, 104}, {230, 112}, {300, 120}}));
  const QRect changed = Changed(before, PageImage(1));
  EXPECT_TRUE(changed.isValid());
  EXPECT_TRUE(Inside(changed, QRect(90, 90, 220, 40))) << changed.x() << "," << changed.y() << " " << changed.width()
                                                       << "x" << changed.height();
  EXPECT_EQ(Form3->PageState[1], 2);
  EXPECT_EQ(StrokeLeft, 100);
  EXPECT_EQ(StrokeTop, 100);
  EXPECT_EQ(StrokeRight, 300);
  EXPECT_EQ(StrokeBottom, 120);
  EXPECT_EQ(PagePixel(1, 230, 112), PenSwatch());
  EXPECT_TRUE(PageShown(QRect(90, 90, 220, 40)));
  EXPECT_EQ(PagePixel(1, 505, 505), Background());
  // The undo snapshot is the page as it was before the release.
  EXPECT_FALSE(Changed(before, Form3->ScratchBitmap->ToImage()).isValid());
}

TEST_F(Draw, AStrokeDraggedIntoTheToolStripRunsAlongItsEdge) {
  const QImage before = PageImage(1);
  ASSERT_TRUE(Drag({{100, 100}, {150, 10}, {220, 5}, {300, 10}}));
  EXPECT_EQ(StrokeTop, 40);
  for (int x = 160; x <= 290; x += 10) {
    EXPECT_EQ(PagePixel(1, x, 40), PenSwatch()) << x;
    EXPECT_EQ(ScreenPixel(x, 40), PenSwatch()) << x;
  }
  // The commit takes nothing of the strip's picture into the page.
  EXPECT_FALSE(Changed(before.copy(0, 0, W, 40), PageImage(1).copy(0, 0, W, 40)).isValid());
}

TEST_F(Draw, TheSizeReadoutShowsHalfTheDragInTenths) {
  ASSERT_TRUE(Click(Form3->SpeedButton14, [] { return DrawMode == kLine; }));
  const struct {
    int dx, dy;
    const char* text;
  } cases[] = {{200, 100, "10，5"}, {205, 100, "10.2，5"}, {-3, 0, "-0.1，0"}, {-1, 0, "0，0"}, {21, 21, "1，1"},
               {-205, -101, "-10.2，-5"}};
  for (const auto& c : cases) {
    ASSERT_TRUE(Drag({{400, 300}, {400 + c.dx / 2, 300 + c.dy / 2}, {400 + c.dx, 300 + c.dy}}));
    EXPECT_EQ(Form3->Panel3->Caption(), c.text) << c.dx << "," << c.dy;
  }
  // The pen tool empties the readout.
  ASSERT_TRUE(Click(Form3->SpeedButton3, [] { return Form3->Panel3->Caption().empty(); }));
}

TEST_F(Draw, ARubberBandLeavesOnlyTheLastFrame) {
  ASSERT_TRUE(Click(Form3->SpeedButton15, [] { return DrawMode == kRectangle; }));
  ASSERT_TRUE(Drag({{300, 300}, {500, 450}, {600, 500}, {400, 350}}));
  // The outline of (300, 300, 400, 350), nothing of the larger frames.
  EXPECT_EQ(PagePixel(1, 350, 300), PenSwatch());
  EXPECT_EQ(PagePixel(1, 399, 320), PenSwatch());
  EXPECT_EQ(PagePixel(1, 350, 325), Background());  // a clear brush
  for (QPoint p : {QPoint(499, 400), QPoint(550, 499), QPoint(450, 449), QPoint(599, 480)})
    EXPECT_EQ(PagePixel(1, p.x(), p.y()), Background()) << p.x() << "," << p.y();
  EXPECT_TRUE(PageShown(QRect(290, 290, 320, 220)));
}

TEST_F(Draw, ThePenWidthStepsAndTheEraserIsTenTimesWiderButFifteenAtOne) {
  ASSERT_TRUE(Click(Form3->SpeedButton10, [] { return DrawMode == kEraser; }));
  EXPECT_EQ(Form3->Canvas->Pen->Width(), 20);
  EXPECT_EQ(COLORREF(Form3->Canvas->Pen->Color()), Background());
  ASSERT_TRUE(Click(Form3->SpeedButton8, [] { return Form3->Edit1->Text() == "1"; }));
  EXPECT_EQ(Form3->Canvas->Pen->Width(), 15);
  ASSERT_TRUE(Click(Form3->SpeedButton8, [] { return true; }));  // at "1": nothing
  EXPECT_EQ(Form3->Edit1->Text(), "1");
  const int widths[] = {0, 15, 20, 30, 40, 50, 60, 70, 80, 90};
  for (int n = 2; n <= 9; ++n) {
    ASSERT_TRUE(Click(Form3->SpeedButton7, [n] { return Form3->Edit1->Text() == std::to_string(n); })) << n;
    EXPECT_EQ(Form3->Canvas->Pen->Width(), widths[n]) << n;
  }
  ASSERT_TRUE(Click(Form3->SpeedButton7, [] { return true; }));  // at "9": nothing
  EXPECT_EQ(Form3->Edit1->Text(), "9");
  EXPECT_EQ(Form3->Canvas->Pen->Width(), 90);

  // A 90-pixel eraser over red: all it wipes goes into the page, far beyond
  // the stroke box and its margin.
  Paint(QRect(150, 200, 300, 200), kRed);
  ASSERT_TRUE(Drag({{200, 300}, {300, 300}, {400, 300}}));
  EXPECT_EQ(PagePixel(1, 300, 300), Background());
  EXPECT_EQ(PagePixel(1, 300, 262), Background());
  EXPECT_EQ(PagePixel(1, 300, 338), Background());
  EXPECT_EQ(PagePixel(1, 300, 399), kRed);
  EXPECT_EQ(PagePixel(1, 300, 201), kRed);
  EXPECT_TRUE(PageShown(QRect(150, 200, 300, 200)));
  EXPECT_EQ(Form3->PageState[1], 1);  // erasing is no content

  // Back to the pen: the width shown.
  ASSERT_TRUE(Click(Form3->SpeedButton3, [] { return DrawMode == kPen; }));
  EXPECT_EQ(Form3->Canvas->Pen->Width(), 9);
}

TEST_F(Draw, AreaEraseFillsExactlyTheBoxItsDragVisited) {
  Paint(QRect(150, 150, 300, 200), kRed);
  ASSERT_TRUE(Click(Form3->SpeedButton13, [] { return DrawMode == kAreaErase; }));
  EXPECT_EQ(Form3->Canvas->Pen->Width(), 1);
  EXPECT_EQ(Form3->Canvas->Pen->Style(), psDot);
  ASSERT_TRUE(Drag({{200, 200}, {300, 260}, {400, 300}, {300, 250}}));
  const QImage page = PageImage(1);
  for (int y = 190; y < 310; ++y)
    for (int x = 190; x < 410; ++x) {
      const bool erased = x >= 200 && x < 400 && y >= 200 && y < 300;
      ASSERT_EQ(gdi::FromPixel(page.pixel(x, y)), erased ? Background() : kRed) << x << "," << y;
    }
  EXPECT_TRUE(PageShown(QRect(190, 190, 220, 120)));
  // Armed again for the next area.
  EXPECT_EQ(Form3->Canvas->Pen->Style(), psDot);
  EXPECT_EQ(Form3->Canvas->Brush->Style(), bsClear);
}

TEST_F(Draw, UndoRestoresTheBoxFromTheSnapshotOnceAndNeverTakesInAPanel) {
  const QImage before = PageImage(1);
  ASSERT_TRUE(Drag({{100, 100}, {200, 110}, {300, 120}}));
  ASSERT_TRUE(Changed(before, PageImage(1)).isValid());
  ASSERT_TRUE(Click(Form3->SpeedButton4, [&] { return !Changed(before, PageImage(1)).isValid(); }));
  EXPECT_TRUE(PageShown(QRect(90, 90, 220, 40)));
  ASSERT_TRUE(Click(Form3->SpeedButton4, [] { return true; }));
  EXPECT_FALSE(Changed(before, PageImage(1)).isValid());

  // A panel opened over the stroke since: undo leaves it out of the page.
  ASSERT_TRUE(Drag({{100, 100}, {200, 110}, {300, 120}}));
  const COLORREF stroke = gdi::FromPixel(PageImage(1).pixel(200, 110));
  Form3->Panel4->Show();
  struct Hide {
    ~Hide() { Form3->Panel4->Hide(); }
  } hide;
  ASSERT_TRUE(WaitFor([&] { return ScreenPixel(200, 110) != stroke; }));
  ASSERT_TRUE(Click(Form3->SpeedButton4, [&] { return !Changed(before, PageImage(1)).isValid(); }));
}

TEST_F(Draw, UndoHasNothingToRestoreOnceTheSnapshotOrTheWholePageWasReplaced) {
  // The snapshot replaced (as the annotation overlay does with the desktop).
  ASSERT_TRUE(Drag({{100, 100}, {200, 110}, {300, 120}}));
  const QImage drawn = PageImage(1);
  auto desktop = TForm3::NewPageBitmap();
  desktop->Canvas->Brush->Color = clLime;
  desktop->Canvas->FillRect(Rect(0, 0, W, H));
  Form3->SetScratchBitmap(std::move(desktop));
  ASSERT_TRUE(Click(Form3->SpeedButton4, [] { return true; }));
  EXPECT_FALSE(Changed(drawn, PageImage(1)).isValid());

  // The page cleared.
  ASSERT_TRUE(Drag({{100, 200}, {200, 210}, {300, 220}}));
  ASSERT_TRUE(Click(Form3->SpeedButton5, [] { return Form3->PageState[1] == 1; }));
  const QImage cleared = PageImage(1);
  ASSERT_TRUE(Click(Form3->SpeedButton4, [] { return true; }));
  EXPECT_FALSE(Changed(cleared, PageImage(1)).isValid());
  EXPECT_EQ(PagePixel(1, 200, 210), Background());

  // The page refilled with a new background.
  ASSERT_TRUE(Drag({{100, 300}, {200, 310}, {300, 320}}));
  Write("answers", "COLOR $808080\nYES\n");  // the colour, then the question
  ASSERT_TRUE(Click(Form3->RCP, [] { return PagePixel(1, 200, 310) == RGB(128, 128, 128); }));
  ASSERT_TRUE(Click(Form3->SpeedButton4, [] { return true; }));
  EXPECT_EQ(PagePixel(1, 200, 310), RGB(128, 128, 128));
}

TEST_F(Draw, TheBackgroundDialogRefillsThePageAsksFirstOnContentAndColoursTheNote) {
  // Cancel and an unchanged colour change nothing.
  Write("answers", "CANCEL\nCOLOR 4194304\n");
  ASSERT_TRUE(Click(Form3->RCP, [] { return ReadAll("answers") == "COLOR 4194304\n"; }));
  ASSERT_TRUE(Click(Form3->RCP, [] { return ReadAll("answers").empty(); }));
  EXPECT_EQ(Background(), COLORREF(4194304));
  EXPECT_EQ(ScreenPixel(W - 1, 37), COLORREF(4194304));

  // On an empty page no question: the page takes the colour; the note
  // follows by its table.
  const struct {
    COLORREF chosen, note;
  } notes[] = {{0x000000, 0x626262}, {0x000040, 0x626262}, {0x400040, 0x626262},
               {0x808080, 0xA5A5A5}, {0x123456, 0x123456}, {0x400000, 0x400000}};
  for (const auto& n : notes) {
    Write("answers", "COLOR " + std::to_string(n.chosen) + "\n");
    ASSERT_TRUE(Click(Form3->RCP, [&] { return Background() == n.chosen; })) << n.chosen;
    EXPECT_EQ(COLORREF(Form3->NoteColour), n.note) << n.chosen;
    EXPECT_EQ(PagePixel(1, 500, 400), n.chosen);
    EXPECT_TRUE(WaitFor([&] { return ScreenPixel(500, 400) == n.chosen; }));
    EXPECT_EQ(Form3->PageState[1], 1);
  }
  EXPECT_EQ(Boxes(), "");

  // On a page with content the question comes; No keeps the page's look
  // and gives the colour to the pages to come.
  ASSERT_TRUE(Drag({{100, 100}, {200, 110}, {300, 120}}));
  const QImage drawn = PageImage(1);
  Write("answers", "COLOR $00FF00\nNO\n");
  ASSERT_TRUE(Click(Form3->RCP, [] { return Background() == 0x00FF00; }));
  EXPECT_EQ(Boxes(), u8"提示信息\t是否清除本页内容？\n");
  EXPECT_FALSE(Changed(drawn, PageImage(1)).isValid());
  EXPECT_EQ(Form3->PageState[1], 2);
  EXPECT_EQ(ScreenPixel(W - 1, 37), COLORREF(0x400000));
}

TEST_F(Draw, ThePenColourDialogSetsTheSwatchAndThePenButNotTheEraser) {
  Form1->PaintSource = 0;
  Write("answers", "COLOR $00FF00\n");
  ASSERT_TRUE(Click(Form3->SpeedButton9, [] { return PenSwatch() == 0x00FF00; }));
  EXPECT_EQ(COLORREF(Form3->Canvas->Pen->Color()), COLORREF(0x00FF00));
  EXPECT_EQ(Form1->PaintSource, 1);
  ASSERT_TRUE(Click(Form3->SpeedButton10, [] { return DrawMode == kEraser; }));
  Write("answers", "COLOR $FF0000\n");
  ASSERT_TRUE(Click(Form3->LCP, [] { return PenSwatch() == 0xFF0000; }));
  EXPECT_EQ(COLORREF(Form3->Canvas->Pen->Color()), Background());
  Form1->PaintSource = 0;
  Write("answers", "CANCEL\n");
  ASSERT_TRUE(Click(Form3->LCP, [] { return Form1->PaintSource == 1; }));
  EXPECT_EQ(PenSwatch(), COLORREF(0xFF0000));
}

TEST_F(Draw, EachToolArmsItsPenAndItsCursor) {
  const struct {
    TSpeedButton* TForm3::*button;
    int mode;
    int width;
    TPenStyle style;
    const char* cursor;
  } tools[] = {
      {&TForm3::SpeedButton14, kLine, 2, psSolid, "Sonic cross2.cut"},
      {&TForm3::SpeedButton15, kRectangle, 2, psSolid, "Sonic cross3.cut"},
      {&TForm3::SpeedButton17, kEllipse, 2, psSolid, "prcs_mox1.cut"},
      {&TForm3::SpeedButton10, kEraser, 20, psSolid, "Altr_Fsh.cut"},
      {&TForm3::SpeedButton13, kAreaErase, 1, psDot, "prcs_mox2.cut"},
      {&TForm3::SpeedButton25, kRangeSelect, 1, psDot, "prcs_mox2.cut"},
      {&TForm3::SpeedButton3, kPen, 2, psSolid, "Text_Hnd.cut"},
  };
  for (const auto& t : tools) {
    TSpeedButton* b = Form3->*t.button;
    ASSERT_TRUE(Click(b, [&] { return DrawMode == t.mode; })) << t.cursor;
    EXPECT_TRUE(b->Down());
    EXPECT_EQ(Form3->Canvas->Pen->Width(), t.width) << t.cursor;
    EXPECT_EQ(Form3->Canvas->Pen->Style(), t.style) << t.cursor;
    EXPECT_EQ(Form3->Cursor(), 2);
    HCURSOR file = LoadCursorFromFile(t.cursor);
    ASSERT_NE(file, nullptr) << t.cursor;
    EXPECT_EQ(win::CursorOf(Screen->Cursors[2]).pixmap().toImage(), win::CursorOf(file).pixmap().toImage())
        << t.cursor;
    DestroyCursor(file);
  }
}

TEST_F(Draw, ARangeSelectionCutsIntoTheFloatingPictureAndThePressPutsItBack) {
  Paint(QRect(150, 150, 300, 200), kRed);
  Paint(QRect(250, 230, 5, 5), kBlue);
  ASSERT_TRUE(Click(Form3->SpeedButton25, [] { return DrawMode == kRangeSelect; }));
  Form1->PaintSource = 0;
  ASSERT_TRUE(Drag({{200, 200}, {260, 240}, {300, 260}}));
  ASSERT_TRUE(Form3->Image2->Visible());
  EXPECT_EQ(Form3->Image2->BoundsRect(), Rect(200, 200, 300, 260));
  EXPECT_EQ(Form3->FloatBitmap->Width(), 100);
  EXPECT_EQ(Form3->FloatBitmap->Height(), 60);
  EXPECT_EQ(Form3->FloatBitmap->Pixels().GetPixel(52, 32), kBlue);
  EXPECT_EQ(Form3->FloatBitmap->Pixels().GetPixel(20, 20), kRed);
  EXPECT_EQ(Form1->PaintSource, 1);
  EXPECT_EQ(SelectionEndX, 300);
  EXPECT_EQ(SelectionEndY, 260);
  for (QPoint p : {QPoint(200, 200), QPoint(299, 259), QPoint(252, 232)})
    EXPECT_EQ(PagePixel(1, p.x(), p.y()), Background()) << p.x() << "," << p.y();
  EXPECT_EQ(PagePixel(1, 199, 230), kRed);
  EXPECT_EQ(PagePixel(1, 300, 230), kRed);
  // The picture shows on the screen where it was cut.
  EXPECT_EQ(ScreenPixel(252, 232), kBlue);

  // The next press commits it without its frame (one pixel on each side,
  // and the column and row beyond).
  ASSERT_TRUE(Drag({{700, 600}}));
  EXPECT_FALSE(Form3->Image2->Visible());
  EXPECT_EQ(PagePixel(1, 252, 232), kBlue);
  EXPECT_EQ(PagePixel(1, 201, 201), kRed);
  EXPECT_EQ(PagePixel(1, 297, 257), kRed);
  EXPECT_EQ(PagePixel(1, 200, 230), Background());
  EXPECT_EQ(PagePixel(1, 298, 230), Background());
  EXPECT_EQ(PagePixel(1, 250, 258), Background());
  EXPECT_TRUE(WaitFor([] { return ScreenPixel(252, 232) == kBlue && ScreenPixel(200, 230) == Background(); }));
}

TEST_F(Draw, ASelectionOfLessThanThreePixelsFloatsNothing) {
  ASSERT_TRUE(Click(Form3->SpeedButton25, [] { return DrawMode == kRangeSelect; }));
  Paint(QRect(500, 400, 200, 200), kRed);
  const QImage before = PageImage(1);
  for (auto drag : {std::vector<QPoint>{{600, 500}}, std::vector<QPoint>{{600, 500}, {570, 470}, {550, 450}},
                    std::vector<QPoint>{{600, 500}, {601, 520}, {602, 540}},
                    std::vector<QPoint>{{600, 500}, {650, 501}, {700, 502}}}) {
    ASSERT_TRUE(Drag(drag));
    EXPECT_FALSE(Form3->Image2->Visible()) << drag.back().x() << "," << drag.back().y();
  }
  // Nothing floats and no frame is left; a tool button commits nothing.
  EXPECT_TRUE(PageShown(QRect(540, 440, 180, 120)));
  ASSERT_TRUE(Click(Form3->SpeedButton3, [] { return DrawMode == kPen; }));
  EXPECT_FALSE(Changed(before, PageImage(1)).isValid());
}

TEST_F(Draw, ClearingDeletesACutPictureOrElseEmptiesThePage) {
  Paint(QRect(150, 150, 300, 200), kRed);
  ASSERT_TRUE(Drag({{100, 500}, {200, 510}, {300, 520}}));
  ASSERT_EQ(Form3->PageState[1], 2);
  ASSERT_TRUE(Click(Form3->SpeedButton25, [] { return DrawMode == kRangeSelect; }));
  ASSERT_TRUE(Drag({{200, 200}, {260, 240}, {300, 260}}));
  ASSERT_TRUE(Form3->Image2->Visible());
  // A cut floats: clearing deletes it and nothing else.
  ASSERT_TRUE(Click(Form3->SpeedButton5, [] { return !Form3->Image2->Visible(); }));
  EXPECT_EQ(PagePixel(1, 250, 230), Background());
  EXPECT_EQ(PagePixel(1, 180, 230), kRed);
  EXPECT_EQ(PagePixel(1, 200, 510), PenSwatch());
  EXPECT_EQ(Form3->PageState[1], 2);
  EXPECT_EQ(SelectionEndX, StartX);

  // A stamp placed since floats on while the whole page is cleared.
  ASSERT_NO_THROW(Form3->StampJpeg->LoadFromFile(std::string(getenv("QUARVEL_BIN")) + "/db/pic/w0.jt"));
  Form3->PendingStamp = 1;
  ASSERT_TRUE(Drag({{600, 300}}));
  ASSERT_TRUE(Form3->Image2->Visible());
  ASSERT_TRUE(Click(Form3->SpeedButton5, [] { return Form3->PageState[1] == 1; }));
  EXPECT_TRUE(Form3->Image2->Visible());
  const QImage page = PageImage(1);
  for (QPoint p : {QPoint(180, 230), QPoint(200, 510), QPoint(610, 310), QPoint(1023, 767)})
    EXPECT_EQ(gdi::FromPixel(page.pixel(p)), Background()) << p.x() << "," << p.y();
  EXPECT_TRUE(WaitFor([] { return ScreenPixel(180, 230) == Background(); }));
  EXPECT_EQ(Form3->LayerActive, 0);
}

TEST_F(Draw, AStampIsPlacedAtTheClickAndCommittedWholeByAPressButWithoutItsRimByATool) {
  ASSERT_NO_THROW(Form3->StampJpeg->LoadFromFile(std::string(getenv("QUARVEL_BIN")) + "/db/pic/w3.jt"));
  const int w = Form3->StampJpeg->Width, h = Form3->StampJpeg->Height;
  ASSERT_GT(w, 10);
  Form3->PendingStamp = 1;
  ASSERT_TRUE(Drag({{300, 200}}));
  ASSERT_TRUE(Form3->Image2->Visible());
  EXPECT_EQ(Form3->Image2->BoundsRect(), Bounds(300, 200, w, h));
  EXPECT_EQ(Form3->PendingStamp, 0);
  EXPECT_EQ(Form3->FloatIsPicture, 1);
  const QImage stamp = Form3->FloatBitmap->ToImage().copy();
  ASSERT_EQ(stamp.size(), QSize(w, h));

  ASSERT_TRUE(Drag({{800, 600}}));  // a press elsewhere: all of it
  EXPECT_FALSE(Form3->Image2->Visible());
  EXPECT_FALSE(Changed(stamp, PageImage(1).copy(300, 200, w, h)).isValid());
  EXPECT_EQ(Form3->FloatIsPicture, 0);

  Form3->FillPage(1, Form3->RCP->Color);
  Form3->Repaint();
  Form3->PendingStamp = 1;
  ASSERT_TRUE(Drag({{300, 200}}));
  ASSERT_TRUE(Click(Form3->SpeedButton14, [] { return DrawMode == kLine && !Form3->Image2->Visible(); }));
  const QImage page = PageImage(1);
  EXPECT_FALSE(Changed(stamp.copy(1, 1, w - 2, h - 2), page.copy(301, 201, w - 2, h - 2)).isValid());
  for (QPoint p : {QPoint(300, 200), QPoint(300 + w - 1, 200 + h / 2), QPoint(300 + w / 2, 200 + h - 1)})
    EXPECT_EQ(gdi::FromPixel(page.pixel(p)), Background()) << p.x() << "," << p.y();
}
