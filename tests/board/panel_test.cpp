// The board's text and web panel inside the test program, with the forms
// made by the program's own start-up and driven by real X input: the note
// and its page file, moving and sizing, closing and flattening, the web and
// media view, and what page turning and the settings do with the panel.
#include <QApplication>
#include <QClipboard>
#include <QCoreApplication>
#include <QFile>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QTimer>
#include <QWebEngineView>
#include <QWindow>

#include <sys/stat.h>

#include <cstdlib>
#include <fstream>

#include "board/lessons.h"
#include "platform/fs/path.h"
#include "platform/text/gbk.h"
#include "tests/board/board_test.h"
#include "tests/board/own_program_folder.h"

#include <gtest/gtest.h>

using namespace boardtest;

namespace {

const int W = 1024, H = 768;

std::string Bytes(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(f), {});
}

std::string Cwd() { return Shell("pwd | tr -d '\\n'"); }

// The page file of page n, as a Linux path.
std::string NoteFile(int n) { return winpath::ToLinux(Form3->PanelFile(n)); }

TRect Bounds(TControl* c) { return c->BoundsRect; }

// The first difference between the page and the screen inside r, or none.
bool PageShowsOnScreen(int page, const QRect& r) {
  const QImage shot = ScreenShot(r);
  const QImage pageImage = PageImage(page).copy(r);
  return !shot.isNull() && !Changed(shot, pageImage).isValid();
}

class Panel : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    setenv("QUARVEL_MSGBOX_LOG", (Cwd() + "/boxes.log").c_str(), 1);
    setenv("QUARVEL_MSGBOX_ANSWERS", (Cwd() + "/answers").c_str(), 1);
    StartUp();
  }

  // A fresh page 1 of one colour with the panel closed, and nothing else.
  void SetUp() override {
    Form3->RCP->Color = background;
    ASSERT_TRUE(BoardUp());
    Form3->Panel4->Hide();
    Form3->Image1->Hide();
    Form3->RichEdit1->Show();
    Form3->RichEdit1->Lines->Clear();
    for (int p = 2; p <= kMaxPages; ++p) Form3->Pages[p].reset();
    Form3->CurrentPage = 1;
    Form3->PageCount = 1;
    Form3->SetPanelKind(1, 0);
    Form3->PageState[1] = 1;
    Form3->PanelOnPage[1] = 0;
    Form3->LayerActive = 0;
    Form3->PageBackupPage = 0;
    Form3->PanelLeft[1] = 0, Form3->PanelTop[1] = 41, Form3->PanelWidth[1] = 368, Form3->PanelHeight[1] = H - 45;
    Form3->FillPage(1, background);
    Form3->Canvas->Draw(0, 0, Form3->Pages[1].get());
    remove(NoteFile(1).c_str());
    remove(NoteFile(2).c_str());
    remove("boxes.log");
    remove("answers");
  }

  // The 导入 button, and the panel up.
  bool Open() {
    return Click(Form3->SpeedButton18, [] { return Form3->Panel4->isVisible(); }) && Settled();
  }
  // The panel's window on the screen where the program put it, before the
  // pointer goes there.
  static bool Settled() {
    QCoreApplication::processEvents();
    return WaitFor([] {
      QWindow* w = Form3->Panel4->windowHandle();
      return !Form3->Panel4->isVisible() || (w && w->isExposed());
    });
  }
  // A real click on a button of the panel.
  static bool Press(TControl* c, const std::function<bool()>& done) { return Settled() && Click(c, done); }
  // Typing into the note: Chinese as the input method hands it over (its
  // commit), then Latin letters with real keys.
  bool Type(const char* chinese, const std::string& latin, const AnsiString& expected) {
    Form3->windowHandle()->requestActivate();
    if (!WaitFor([] { return Form3->isActiveWindow(); })) return false;
    const TPoint p = Form3->RichEdit1->ClientToScreen(Point(40, 60));
    if (!Xdo(At(p.X, p.Y) + " click 1")) return false;
    if (!WaitFor([] { return Form3->RichEdit1->Inner()->hasFocus(); })) return false;
    Form3->RichEdit1->Inner()->moveCursor(QTextCursor::End);
    QInputMethodEvent commit;
    commit.setCommitString(QString::fromUtf8(chinese));
    QCoreApplication::sendEvent(QApplication::focusWidget(), &commit);
    return Xdo("type --delay 30 '" + latin + "'") &&
           WaitFor([&] { return Form3->RichEdit1->Text().find(expected) != AnsiString::npos; });
  }
  // A second page, as page turning makes it, now the current one.
  void TurnToNewPage() {
    if (Form3->Panel4->Visible()) Form3->LeavePanel();
    Form3->CurrentPage = 2;
    Form3->PageCount = std::max(Form3->PageCount, 2);
    Form3->Pages[2] = TForm3::NewPageBitmap();
    Form3->FillPage(2, TColor(0x00FF00));
    Form3->NewPagePanel(2);
    Form3->Canvas->Draw(0, 0, Form3->Pages[2].get());
  }

  const TColor background = TColor(0x804020);
};

}  // namespace

TEST(PanelColour, TheNoteIsNeverBlackOnBlack) {
  const struct {
    TColor background, note;
  } cases[] = {
      {TColor(0x000000), TColor(0x626262)}, {TColor(0x000040), TColor(0x626262)},
      {TColor(0x400040), TColor(0x626262)}, {TColor(0x808080), TColor(0xA5A5A5)},
      {TColor(0x000041), TColor(0x000041)}, {TColor(0x804020), TColor(0x804020)},
      {TColor(0xFFFFFF), TColor(0xFFFFFF)},
  };
  for (const auto& k : cases) EXPECT_EQ(TForm3::NoteColourFor(k.background), k.note) << std::hex << k.background;
  StartUp();
  // The teacher's grey background already gives the lighter grey.
  EXPECT_EQ(Form3->NoteColour(), TColor(0xA5A5A5));
  Form3->NoteColour = TForm3::NoteColourFor(clBlack);
  EXPECT_EQ(Form3->RichEdit1->Color(), TColor(0x626262));
}

TEST_F(Panel, OpenGivesAnEmptyNoteWhoseTextComesBackFromItsRichTextFile) {
  ASSERT_TRUE(Open());
  EXPECT_EQ(Bounds(Form3->Panel4), Rect(0, 41, 368, 41 + H - 45));
  EXPECT_TRUE(Form3->Image1->Visible());
  EXPECT_TRUE(Form3->RichEdit1->Visible());
  EXPECT_EQ(Form3->PanelKind(1), 1);
  EXPECT_EQ(Form3->PageState[1], 2);
  EXPECT_EQ(Form3->RichEdit1->Text(), "");
  EXPECT_EQ(Form3->RichEdit1->Font->Name(), "隶书");
  EXPECT_EQ(Form3->RichEdit1->Font->Height(), -48);
  EXPECT_FALSE(QFile::exists(QString::fromStdString(NoteFile(1))));

  ASSERT_TRUE(Type(u8"黑板", " note", "黑板 note"));
  ASSERT_TRUE(Press(Form3->SpeedButton19, [] { return !Form3->Panel4->isVisible(); }));
  EXPECT_FALSE(Form3->Image1->Visible());
  EXPECT_EQ(Form3->PanelKind(1), 0);
  EXPECT_EQ(Form1->PaintSource, 1);
  EXPECT_EQ(Form3->PanelHeight[1], H - 45);
  // The page file: rich text in code page 936, the note's GBK bytes in it.
  const std::string file = Bytes(NoteFile(1));
  EXPECT_EQ(file.rfind("{\\rtf1\\ansi\\ansicpg936", 0), 0u) << file;
  EXPECT_NE(file.find("\\'ba\\'da\\'b0\\'e5 note"), std::string::npos) << file;
  // The board shows the page where the panel was.
  EXPECT_TRUE(WaitFor([] { return PageShowsOnScreen(1, QRect(0, 41, 368, 400)); }));

  Form3->RichEdit1->Lines->Clear();
  ASSERT_TRUE(Open());
  EXPECT_EQ(Form3->RichEdit1->Text(), "黑板 note");
  EXPECT_EQ(Form3->PanelKind(1), 1);
}

TEST_F(Panel, TurningToTheNextPageKeepsTheNoteWithItsPageAndStartsTheNewOneEmpty) {
  ASSERT_TRUE(Open());
  ASSERT_TRUE(Type(u8"黑板", " one", "黑板 one"));
  ASSERT_TRUE(Click(Form3->SpeedButton12, [] { return Form3->CurrentPage == 2; }));
  EXPECT_FALSE(Form3->Panel4->Visible());
  EXPECT_EQ(Form3->RichEdit1->Text(), "");
  EXPECT_EQ(Form3->PanelKind(2), 0);
  EXPECT_EQ(Bounds(Form3->Panel4), Rect(0, 41, 368, 41 + H - 45));
  EXPECT_EQ(Form3->PanelHeight[2], Form3->PanelHeight[1]);
  EXPECT_NE(Bytes(NoteFile(1)).find("\\'ba\\'da\\'b0\\'e5 one"), std::string::npos);
  EXPECT_FALSE(QFile::exists(QString::fromStdString(NoteFile(2))));
  // Back on page 1 (as the page strip reaches it), its note comes back.
  Form3->CurrentPage = 1;
  Form3->ArrivePanel(1);
  EXPECT_TRUE(Form3->Panel4->Visible());
  EXPECT_EQ(Form3->RichEdit1->Text(), "黑板 one");
}

TEST_F(Panel, AFileThatIsNoRichTextOpensAsPlainTextAndASecondOpenOnlyTogglesTheStrip) {
  std::ofstream(NoteFile(1), std::ios::binary) << gbk::FromUtf8(u8"第一行\r\n第二行");
  ASSERT_TRUE(Open());
  EXPECT_EQ(Form3->RichEdit1->Text(), "第一行\r\n第二行");
  EXPECT_TRUE(Form3->Image1->Visible());

  // Open again: the page's rectangle and the strip toggled, the note as it is.
  Form3->RichEdit1->Text = "changed";
  Form3->Panel4->SetBounds(100, 100, 200, 200);
  Form3->PanelLeft[1] = 10;
  ASSERT_TRUE(Click(Form3->SpeedButton18, [] { return !Form3->Image1->Visible(); }));
  EXPECT_EQ(Bounds(Form3->Panel4), Rect(10, 41, 378, 41 + H - 45));
  EXPECT_EQ(Form3->RichEdit1->Text(), "changed");
  ASSERT_TRUE(Click(Form3->SpeedButton18, [] { return Form3->Image1->Visible(); }));
  EXPECT_EQ(Form3->RichEdit1->Text(), "changed");
}

TEST_F(Panel, WidenAddsTwentyMaximiseCoversTheScreenRestoreGivesTheStandardSize) {
  ASSERT_TRUE(Open());
  Form3->Panel4->SetBounds(50, 60, 340, 400);
  for (int n = 1; n <= 3; ++n) {
    ASSERT_TRUE(Press(Form3->SpeedButton20, [n] { return Form3->Panel4->Width() == 340 + 20 * n; })) << n;
    EXPECT_EQ(Bounds(Form3->Panel4), Rect(50, 60, 50 + 340 + 20 * n, 460));
  }
  ASSERT_TRUE(Press(Form3->SpeedButton21, [] { return Form3->Panel4->Width() == W; }));
  EXPECT_EQ(Bounds(Form3->Panel4), Rect(0, 60, W, 60 + H));
  EXPECT_EQ(Form3->PageBackupPage, 1);
  ASSERT_TRUE(Press(Form3->SpeedButton22, [] { return Form3->Panel4->Width() == 368; }));
  EXPECT_EQ(Bounds(Form3->Panel4), Rect(0, 60, 368, 60 + H - 40));
  EXPECT_EQ(Form1->PaintSource, 1);
}

TEST_F(Panel, RestoreGivesBackOnlyTheBackupThisPagesMaximiseTook) {
  ASSERT_TRUE(Open());
  // Maximised on page 1, then ink drawn into the page (as a commit does):
  // restore brings the page back as it was at the maximise, once.
  ASSERT_TRUE(Press(Form3->SpeedButton21, [] { return Form3->Panel4->Width() == W; }));
  const QImage atMaximise = PageImage(1);
  Form3->Pages[1]->Canvas->Brush->Color = clRed;
  Form3->Pages[1]->Canvas->FillRect(Rect(600, 300, 700, 400));
  ASSERT_TRUE(Press(Form3->SpeedButton22, [] { return Form3->Panel4->Width() == 368; }));
  EXPECT_FALSE(Changed(PageImage(1), atMaximise).isValid());
  EXPECT_EQ(Form3->PanelKind(1), 1);  // the page's own panel kind stays
  EXPECT_TRUE(WaitFor([] { return ScreenPixel(650, 350) == COLORREF(0x804020); }));
  Form3->Pages[1]->Canvas->FillRect(Rect(600, 300, 700, 400));
  Form3->Panel4->Width = 500;
  ASSERT_TRUE(Press(Form3->SpeedButton22, [] { return Form3->Panel4->Width() == 368; }));
  EXPECT_EQ(PagePixel(1, 650, 350), RGB(255, 0, 0));

  // Maximised on page 1, restored on page 2: page 2 keeps what it has.
  ASSERT_TRUE(Press(Form3->SpeedButton21, [] { return Form3->Panel4->Width() == W; }));
  TurnToNewPage();
  Form3->SetPanelKind(2, 1);
  Form3->ArrivePanel(2);
  Form3->Image1->Show();  // as a press in the note shows it
  const QImage page2 = PageImage(2);
  ASSERT_TRUE(Press(Form3->SpeedButton22, [] { return Form3->Panel4->Width() == 368; }));
  EXPECT_FALSE(Changed(PageImage(2), page2).isValid());
  EXPECT_EQ(Bounds(Form3->Panel4), Rect(0, Form3->Panel4->Top(), 368, Form3->Panel4->Top() + H - 40));

  // Opened, never maximised: restore only resizes.
  Form3->SetPanelKind(2, 0);
  Form3->Panel4->Hide();
  Form3->Image1->Hide();
  ASSERT_TRUE(Open());
  Form3->Pages[2]->Canvas->Brush->Color = clBlue;
  Form3->Pages[2]->Canvas->FillRect(Rect(600, 300, 700, 400));
  ASSERT_TRUE(Press(Form3->SpeedButton22, [] { return Form3->Panel4->Width() == 368; }));
  EXPECT_EQ(PagePixel(2, 650, 350), RGB(0, 0, 255));
}

TEST_F(Panel, CloseAndFlattenLeavesThePanelsScreenImageInThePage) {
  ASSERT_TRUE(Open());
  Form3->RichEdit1->Text = "印在页上";
  Form3->NoteColour = TColor(0x00FFFF);
  ASSERT_TRUE(WaitFor([] { return ScreenPixel(200, 500) == COLORREF(0x00FFFF); }));
  // The button hides the strip first: the picture taken is the panel without it.
  Form3->Image1->Hide();
  ASSERT_TRUE(WaitFor([] { return ScreenPixel(200, 50) == COLORREF(0x00FFFF); }));
  const QRect r(0, 41, 368, H - 45);
  const QImage shown = ScreenShot(QRect(0, 41, 368, H - 41));
  Form3->SpeedButton41Click(Form3->SpeedButton41);
  EXPECT_FALSE(Form3->Panel4->Visible());
  const QImage page = PageImage(1);
  // The panel's picture, note and text, is in the page where it was.
  EXPECT_FALSE(Changed(page.copy(QRect(0, 41, 368, H - 41)), shown).isValid());
  EXPECT_EQ(PagePixel(1, 200, 500), RGB(255, 255, 0));
  EXPECT_EQ(PagePixel(1, 600, 500), COLORREF(background));
  EXPECT_TRUE(WaitFor([&] { return PageShowsOnScreen(1, r); }));
  EXPECT_EQ(Form3->PanelKind(1), 0);
  EXPECT_EQ(Form3->LayerActive, 0);
  EXPECT_TRUE(QFile::exists(QString::fromStdString(NoteFile(1))));
}

TEST_F(Panel, FlattenIntoALayerKeepsTheNoteWithThePageAndTheLayerForTheErasers) {
  ASSERT_TRUE(Open());
  ASSERT_TRUE(Type("", "layer text", "layer text"));
  Form3->NoteColour = TColor(0xFFFF00);
  ASSERT_TRUE(WaitFor([] { return ScreenPixel(200, 500) == COLORREF(0xFFFF00); }));
  ASSERT_TRUE(Press(Form3->SpeedButton31, [] { return !Form3->Panel4->isVisible(); }));
  EXPECT_EQ(Form3->LayerActive, 1);
  EXPECT_EQ(Form3->PanelKind(1), 1);
  EXPECT_EQ(PagePixel(1, 200, 500), RGB(0, 255, 255));
  ASSERT_EQ(Form3->LayerBitmap->Width(), W);
  EXPECT_EQ(Form3->LayerBitmap->Pixels().GetPixel(200, 500), RGB(0, 255, 255));
  EXPECT_EQ(Form3->LayerBitmap->Pixels().GetPixel(600, 500), COLORREF(background));
  // The note went into its page file, as close writes it.
  EXPECT_NE(Bytes(NoteFile(1)).find("layer text"), std::string::npos);

  // To a new page (which empties the note) and back: the note is there.
  TurnToNewPage();
  EXPECT_EQ(Form3->RichEdit1->Text(), "");
  Form3->CurrentPage = 1;
  Form3->ArrivePanel(1);
  EXPECT_TRUE(Form3->Panel4->Visible());
  EXPECT_EQ(Form3->RichEdit1->Text(), "layer text");

  // Close after a flatten puts the panel's area back from the backup of the open.
  Form3->LayerActive = 1;
  Form3->Image1->Show();
  ASSERT_TRUE(Press(Form3->SpeedButton19, [] { return !Form3->Panel4->isVisible(); }));
  EXPECT_EQ(Form3->LayerActive, 0);
  EXPECT_EQ(PagePixel(1, 200, 500), COLORREF(background));
}

TEST_F(Panel, TheNotesEdgeClearsOnlyAStampedCopyAndTheHandleMovesAndWidens) {
  ASSERT_TRUE(Open());
  Form3->Panel4->SetBounds(100, 100, 300, 300);
  // Ink under the panel, not stamped there by the page strip.
  Form3->Pages[1]->Canvas->Brush->Color = clRed;
  Form3->Pages[1]->Canvas->FillRect(Rect(150, 150, 250, 250));
  const QImage before = PageImage(1);
  Form3->PanelDragWidth = 0;
  const TPoint edge = Form3->RichEdit1->ClientToScreen(Point(Form3->RichEdit1->Width() - 2, 100));
  ASSERT_TRUE(Xdo(At(edge.X, edge.Y) + " click 1"));
  ASSERT_TRUE(WaitFor([] { return Form3->PanelDragWidth == 300; }));
  EXPECT_FALSE(Changed(PageImage(1), before).isValid());

  // Stamped by the strip: the press on the edge clears the stamped copy.
  Form3->PanelOnPage[1] = 1;
  Form3->PanelDragWidth = 0;
  ASSERT_TRUE(Xdo(At(edge.X, edge.Y) + " click 1"));
  ASSERT_TRUE(WaitFor([] { return Form3->PanelDragWidth == 300; }));
  EXPECT_EQ(PagePixel(1, 200, 200), COLORREF(background));
  EXPECT_EQ(Form3->PanelOnPage[1], 1);

  // The handle strip drags the panel; the board shows the page where it was.
  Form3->Pages[1]->Canvas->Brush->Color = clRed;
  Form3->Pages[1]->Canvas->FillRect(Rect(150, 150, 250, 250));
  Form3->PanelOnPage[1] = 0;
  Form3->Panel4->Width = 400;  // the strip's right end clear of its buttons
  Form3->Image1->Show();
  ASSERT_TRUE(Settled());
  const TPoint grip = Form3->Image1->ClientToScreen(Point(70, 10));
  ASSERT_TRUE(Xdo(At(grip.X, grip.Y) + " mousedown 1" + At(grip.X + 20, grip.Y + 10) + At(grip.X + 200, grip.Y + 150) +
                  " mouseup 1"));
  EXPECT_TRUE(WaitFor([] { return Form3->Panel4->Left() == 300 && Form3->Panel4->Top() == 250; }))
      << Form3->Panel4->Left() << "," << Form3->Panel4->Top();
  EXPECT_EQ(Form3->Panel4->Width(), 400);
  EXPECT_EQ(Form1->PaintSource, 1);
  EXPECT_TRUE(WaitFor([] { return ScreenPixel(200, 200) == RGB(255, 0, 0); }));
  EXPECT_TRUE(WaitFor([] { return ScreenPixel(120, 120) == COLORREF(0x804020); }));

  // Near its right end it widens.
  const TPoint end = Form3->Image1->ClientToScreen(Point(Form3->Image1->Width() - 2, 10));
  ASSERT_TRUE(Xdo(At(end.X - 10, end.Y) + At(end.X, end.Y) + " mousedown 1" + At(end.X + 20, end.Y) +
                  At(end.X + 50, end.Y + 30) + " mouseup 1"));
  EXPECT_TRUE(WaitFor([] { return Form3->Panel4->Width() == 450; })) << Form3->Panel4->Width();
  EXPECT_EQ(Form3->Image1->Cursor(), crSizeWE);
  EXPECT_EQ(Form3->Panel4->Left(), 300);
  EXPECT_EQ(Form3->Panel4->Height(), 300);

  // The note's corner resizes both ways.
  const TPoint corner =
      Form3->RichEdit1->ClientToScreen(Point(Form3->RichEdit1->Width() - 2, Form3->RichEdit1->Height() - 2));
  ASSERT_TRUE(Xdo(At(corner.X - 1, corner.Y - 1) + At(corner.X, corner.Y) + " mousedown 1" +
                  At(corner.X - 10, corner.Y - 10) + At(corner.X - 50, corner.Y - 40) + " mouseup 1"));
  EXPECT_TRUE(WaitFor([] { return Form3->Panel4->Width() == 400 && Form3->Panel4->Height() == 260; }))
      << Form3->Panel4->Width() << "x" << Form3->Panel4->Height();
}

TEST_F(Panel, TheFontButtonStylesTheSelectionAndApplyTheWholeNoteAndThePageFont) {
  ASSERT_TRUE(Open());
  Form3->RichEdit1->Text = "abcdef";
  QTextCursor c = Form3->RichEdit1->Inner()->textCursor();
  c.setPosition(1);
  c.setPosition(3, QTextCursor::KeepAnchor);
  Form3->RichEdit1->Inner()->setTextCursor(c);
  std::ofstream("answers") << u8"APPLY -20 $FF0000 - 黑体\nFONT -32 $0000FF B 宋体\n";
  Form1->PaintSource = 0;
  ASSERT_TRUE(Press(Form3->SpeedButton16, [] { return Bytes("answers").find("FONT") == std::string::npos; }));
  ASSERT_TRUE(WaitFor([] { return Form1->PaintSource == 1; }));
  auto look = [](int at) {
    QTextCursor k = Form3->RichEdit1->Inner()->textCursor();
    k.setPosition(at);
    k.setPosition(at + 1, QTextCursor::KeepAnchor);
    Form3->RichEdit1->Inner()->setTextCursor(k);
    TFont f;
    f.Assign(Form3->RichEdit1->SelAttributes);
    return f.Name() + " " + std::to_string(f.Height()) + " " + std::to_string(f.Color());
  };
  // The Apply gave the whole note and the page's canvas 黑体; OK the selection 宋体.
  EXPECT_EQ(look(0), "黑体 -20 16711680");
  EXPECT_EQ(look(1), "宋体 -32 255");
  EXPECT_EQ(look(2), "宋体 -32 255");
  EXPECT_EQ(look(3), "黑体 -20 16711680");
  EXPECT_EQ(Form3->RichEdit1->Font->Name(), "黑体");
  EXPECT_EQ(Form3->Pages[1]->Canvas->Font->Name(), "黑体");
  EXPECT_EQ(Form3->Pages[1]->Canvas->Font->Height(), -20);
}

// The font dialog's Apply restyles the note, which shows its text at once:
// the close-and-flatten right after it stamps the text into the page, and
// so does the flatten into a layer.
TEST_F(Panel, AfterApplyTheNoteShowsItsTextAndEveryFlattenStampsIt) {
  auto dark = [](const QImage& image) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
      for (int x = 0; x < image.width(); ++x) n += qGray(image.pixel(x, y)) < 60;
    return n;
  };
  const QRect area(0, 41, 368, 200);
  for (auto flatten : {&TForm3::SpeedButton41Click, &TForm3::SpeedButton31Click}) {
    ASSERT_TRUE(Open());
    Form3->RichEdit1->Text = "测试应用";
    Form3->NoteColour = TColor(0x00FFFF);
    Form3->FontDialog1->Font->Name = "隶书";
    Form3->FontDialog1->Font->Height = -40;
    Form3->FontDialog1->Font->Color = clBlack;
    Form3->FontDialog1Apply(Form3->FontDialog1, 0);
    Form3->Image1->Hide();
    (Form3->*flatten)(nullptr);
    EXPECT_GT(dark(PageImage(1).copy(area)), 100);
    Form3->LayerActive = 0;
    Form3->FillPage(1, Form3->RCP->Color);
  }
}

TEST_F(Panel, PasteShowsTheNoteWithTheClipboardsTextAndBlanksTheView) {
  ASSERT_TRUE(Open());
  Form3->RichEdit1->Hide();
  Form3->SetPanelKind(1, 2);
  QGuiApplication::clipboard()->setText(QString::fromUtf8(u8"剪贴板"));
  ASSERT_TRUE(Press(Form3->SpeedButton23, [] { return Form3->RichEdit1->Visible(); }));
  EXPECT_EQ(Form3->RichEdit1->Text(), "剪贴板");
  EXPECT_EQ(Form3->PanelKind(1), 1);
  ASSERT_NE(Form3->WebBrowser1->View(), nullptr);
  EXPECT_TRUE(WaitFor([] { return Form3->WebBrowser1->View()->url() == QUrl("about:blank"); }));
}

TEST_F(Panel, AnHtmlFileShowsInTheWebViewAndCloseBlanksIt) {
  const std::string page = winpath::ToLinux(Form3->ProgramFolder) + u8"课件.htm";
  std::ofstream(page) << "<html><body style=\"margin:0;background:#ff0000\"></body></html>";
  ASSERT_TRUE(Open());
  std::ofstream("answers") << "FILE " << page << "\n";
  ASSERT_TRUE(Press(Form3->SpeedButton26, [] { return Form3->PanelKind(1) == 2; }));
  EXPECT_FALSE(Form3->RichEdit1->Visible());
  const std::string filters = "swf files (*.swf) (*.SWF);;htm files(*.htm) (*.HTM);;*.pps (*.pps);;*.ppt (*.ppt)";
  EXPECT_NE(Bytes("boxes.log").find(u8"打开\tOPEN\t" + winpath::ToLinux(Form3->ProgramFolder) + "dream[1].swf\t" + filters),
            std::string::npos)
      << Bytes("boxes.log");
  EXPECT_TRUE(WaitFor([] { return ScreenPixel(200, 400) == RGB(255, 0, 0); }, 30000));
  // The view's picture is what the board's canvas reads there.
  EXPECT_EQ(TColor(Form3->Canvas->Pixels[200][400]), clRed);
  const QUrl url = QUrl::fromLocalFile(QString::fromStdString(page));
  EXPECT_TRUE(WaitFor([&] { return Form3->WebBrowser1->View()->url() == url; }));

  ASSERT_TRUE(Press(Form3->SpeedButton19, [] { return !Form3->Panel4->isVisible(); }));
  EXPECT_TRUE(WaitFor([] { return Form3->WebBrowser1->View()->url() == QUrl("about:blank"); }));
  EXPECT_EQ(Form3->PanelKind(1), 0);
  // A web view is no note of the page: no page file.
  EXPECT_FALSE(QFile::exists(QString::fromStdString(NoteFile(1))));
}

TEST_F(Panel, PresentationsGoToTheShellFromTheDesktopOnlyByTheirExactEnding) {
  // A stand-in for the desktop's opener, recording what it was given.
  const std::string bin = Cwd() + "/bin";
  mkdir(bin.c_str(), 0755);
  std::ofstream(bin + "/xdg-open") << "#!/bin/sh\necho \"$1\" >> '" << Cwd() << "/opened'\n";
  chmod((bin + "/xdg-open").c_str(), 0755);
  const std::string path = getenv("PATH");
  setenv("PATH", (bin + ":" + path).c_str(), 1);
  const std::string folder = winpath::ToLinux(Form3->ProgramFolder);
  for (const char* name : {"a.pps", "b.ppt", "c.PPS"}) std::ofstream(folder + name) << "x";

  auto reopen = [this] {
    Form3->Panel4->Hide();
    Form3->Image1->Hide();
    return BoardUp() && Open();
  };
  for (const char* name : {"a.pps", "b.ppt"}) {
    ASSERT_TRUE(reopen());
    std::ofstream("answers") << "FILE " << folder << name << "\n";
    ASSERT_TRUE(Press(Form3->SpeedButton26, [] { return !Form3->isVisible(); })) << name;
    EXPECT_TRUE(Form1->isVisible());
    EXPECT_TRUE(Form1->Timer1->Enabled());
    EXPECT_TRUE(WaitFor([&] { return Bytes("opened").find(folder + name) != std::string::npos; })) << name;
    EXPECT_NE(Form3->PanelKind(1), 2);
  }
  ASSERT_TRUE(reopen());
  std::ofstream("answers") << "FILE " << folder << "c.PPS\n";
  ASSERT_TRUE(Press(Form3->SpeedButton26, [] { return Form3->PanelKind(1) == 2; }));
  EXPECT_TRUE(Form3->isVisible());
  EXPECT_TRUE(WaitFor([&] {
    return Form3->WebBrowser1->View()->url() == QUrl::fromLocalFile(QString::fromStdString(folder + "c.PPS"));
  }));
  EXPECT_EQ(Bytes("opened").find("c.PPS"), std::string::npos);

  // A cancelled dialog changes nothing.
  Form3->SetPanelKind(1, 1);
  std::ofstream("answers") << "CANCEL\n";
  ASSERT_TRUE(Press(Form3->SpeedButton26, [] { return Bytes("answers").empty(); }));
  EXPECT_EQ(Form3->PanelKind(1), 1);
  setenv("PATH", path.c_str(), 1);
}

TEST_F(Panel, OnlyAPagesOwnNoteIsWrittenAndANoteThatIsNotThePagesIsEmptied) {
  ASSERT_TRUE(Open());
  Form3->RichEdit1->Text = "page one";
  // Leaving page 1 for a new page 2: page 1's note goes into its file.
  TurnToNewPage();
  EXPECT_NE(Bytes(NoteFile(1)).find("page one"), std::string::npos);
  EXPECT_FALSE(Form3->Panel4->Visible());
  EXPECT_EQ(Form3->RichEdit1->Text(), "");
  EXPECT_EQ(Form3->PanelWidth[2], 368);
  EXPECT_EQ(Form3->PanelTop[2], 41);

  // Page 2 has no note: the settings button writes no file for it.
  Form3->RichEdit1->Text = "stray";
  bool closed = false;
  QTimer close;
  QObject::connect(&close, &QTimer::timeout, [&] {
    if (Form6->isVisible()) Form6->ModalResult = mrCancel, closed = true;
  });
  close.start(20);
  ASSERT_TRUE(Click(Form3->SpeedButton6, [&] { return closed && !Form6->isVisible(); }));
  EXPECT_FALSE(QFile::exists(QString::fromStdString(NoteFile(2))));

  // Back on page 1 (kind 1): its own note.
  Form3->CurrentPage = 1;
  Form3->ArrivePanel(1);
  EXPECT_TRUE(Form3->Panel4->Visible());
  EXPECT_TRUE(Form3->RichEdit1->Visible());
  EXPECT_EQ(Form3->RichEdit1->Text(), "page one");
  // The settings button writes page 1's note, the panel shown or not.
  Form3->RichEdit1->Text = "page one, later";
  Form3->Panel4->Hide();
  closed = false;
  ASSERT_TRUE(Click(Form3->SpeedButton6, [&] { return closed && !Form6->isVisible(); }));
  EXPECT_NE(Bytes(NoteFile(1)).find("page one, later"), std::string::npos);

  // Reaching a page of kind 2 or 0 empties the note.
  Form3->SetPanelKind(2, 2);
  Form3->CurrentPage = 2;
  Form3->ArrivePanel(2);
  EXPECT_TRUE(Form3->Panel4->Visible());
  EXPECT_FALSE(Form3->RichEdit1->Visible());
  EXPECT_EQ(Form3->RichEdit1->Text(), "");
  Form3->RichEdit1->Text = "stray";
  Form3->SetPanelKind(2, 0);
  Form3->ArrivePanel(2);
  EXPECT_FALSE(Form3->Panel4->Visible());
  EXPECT_EQ(Form3->RichEdit1->Text(), "");
  Form3->RichEdit1->Show();
}

TEST_F(Panel, ANoteThatCannotBeWrittenIsReportedAndThePanelStaysAsItWas) {
  ASSERT_TRUE(Open());
  Form3->RichEdit1->Text = "kept";
  // Where the file would go, a folder.
  mkdir(NoteFile(1).c_str(), 0755);
  std::ofstream("answers") << "OK\n";
  ASSERT_TRUE(Press(Form3->SpeedButton19, [] { return Bytes("boxes.log").find("Cannot create") != std::string::npos; }));
  EXPECT_NE(Bytes("boxes.log").find("Quarvel\tCannot create file " + Form3->PanelFile(1)), std::string::npos)
      << Bytes("boxes.log");
  EXPECT_EQ(Form3->PanelKind(1), 1);
  EXPECT_EQ(Form3->RichEdit1->Text(), "kept");
  rmdir(NoteFile(1).c_str());
}

// Closing the panel in any of its ways, the keys go to the board again, not
// to the next control (the read-only pen width).
TEST_F(Panel, ClosingThePanelGivesTheFocusBackToTheBoard) {
  const struct {
    const char* way;
    std::function<void()> close;
  } kWays[] = {
      {"close", [] { Form3->SpeedButton19Click(Form3->SpeedButton19); }},
      {"close and flatten", [] { Form3->SpeedButton41Click(Form3->SpeedButton41); }},
      {"gallery", [] { Form3->SpeedButton32Click(Form3->SpeedButton32); }},
  };
  for (const auto& w : kWays) {
    ASSERT_TRUE(Open()) << w.way;
    Form3->windowHandle()->requestActivate();
    ASSERT_TRUE(WaitFor([] { return Form3->isActiveWindow(); }));
    Form3->RichEdit1->SetFocus();
    ASSERT_TRUE(WaitFor([] { return Form3->RichEdit1->Inner()->hasFocus(); })) << w.way;
    w.close();
    EXPECT_FALSE(Form3->Panel4->Visible()) << w.way;
    EXPECT_TRUE(WaitFor([] { return QApplication::focusWidget() == Form3; }))
        << w.way << ": " << (QApplication::focusWidget() == Form3->Edit1 ? "the pen width" : "another control");
    Form3->SpeedButton33Click(Form3->SpeedButton33);
  }
}
