// Forms on a real X server: geometry as other clients see it, panels as
// windows, real pointer input through xdotool, the canvas on the screen,
// the paint cycle, modal loops, cursors, close requests, exception display.
#include <QFile>
#include <QToolTip>

#include <thread>

#include <unistd.h>

#include "platform/vcl/buttons.h"
#include "platform/vcl/extctrls.h"
#include "platform/vcl/screen_dc.h"
#include "platform/vcl/stdctrls.h"
#include "platform/win/cursor.h"
#include "platform/win/input.h"
#include "platform/win/messages.h"
#include "platform/win/window_text.h"
#include "platform/win/window_walk.h"
#include "tests/platform/vcl/vcl_test.h"

#include <gtest/gtest.h>

namespace {

std::string Info(HWND h) { return test::Shell("xwininfo -id " + test::Hex(h)); }
bool Has(const std::string& s, const std::string& part) { return s.find(part) != std::string::npos; }

// A small borderless form with a panel holding a speed button, and a
// record of what its handlers saw.
class TBoard : public TForm {
 public:
  explicit TBoard(TComponent* owner) : TForm(owner) {
    BorderStyle = bsNone;
    FormStyle = fsStayOnTop;
    Color = clWhite;
    SetBounds(100, 50, 300, 200);
    Panel1 = new TPanel(this);
    Panel1->Parent = this;
    Panel1->SetBounds(200, 0, 100, 40);
    Panel1->Caption = "%*Z";
    Panel1->Color = clSkyBlue;
    Panel1->BevelOuter = bvNone;
    SpeedButton1 = new TSpeedButton(this);
    SpeedButton1->Parent = Panel1;
    SpeedButton1->SetBounds(10, 5, 30, 30);
    SpeedButton1->Flat = true;
    SpeedButton1->OnClick = [this](TObject*) { ++clicks; };
    OnMouseDown = [this](TObject*, TMouseButton b, TShiftState s, int x, int y) {
      downs.push_back({b, s, x, y, paints});
    };
    OnMouseMove = [this](TObject*, TShiftState s, int x, int y) {
      if (s.Contains(ssLeft)) moves.push_back({mbLeft, s, x, y, paints});
    };
    OnMouseUp = [this](TObject*, TMouseButton b, TShiftState s, int x, int y) { ups.push_back({b, s, x, y, paints}); };
    OnPaint = [this](TObject*) {
      ++paints;
      clip = Canvas->ClipRect;
    };
  }
  struct Mouse {
    TMouseButton button;
    TShiftState shift;
    int x, y;
    int paintsBefore;
  };
  TPanel* Panel1;
  TSpeedButton* SpeedButton1;
  int clicks = 0, paints = 0;
  TRect clip;
  std::vector<Mouse> downs, moves, ups;
};

class Forms : public ::testing::Test {
 protected:
  void SetUp() override {
    test::App();
    board = new TBoard(Application);
    board->Show();
    ASSERT_TRUE(test::Shown(board));
    test::Pump(50);
  }
  void TearDown() override { delete board; }
  TBoard* board = nullptr;
};

}  // namespace

TEST_F(Forms, FramelessStayOnTopFormSitsWhereItsPropertiesSay) {
  board->ClientWidth = 343;
  board->ClientHeight = 39;
  board->Left = 588;  // moves keep the size
  board->Top = 0;
  EXPECT_EQ(board->Width(), 343);
  EXPECT_EQ(board->Height(), 39);
  ASSERT_TRUE(test::WaitFor([&] { return Has(Info(board->Handle), "Absolute upper-left X:  588"); }));
  std::string info = Info(board->Handle);
  EXPECT_TRUE(Has(info, "Absolute upper-left Y:  0")) << info;
  EXPECT_TRUE(Has(info, "Width: 343")) << info;
  EXPECT_TRUE(Has(info, "Height: 39")) << info;
  EXPECT_TRUE(Has(test::Shell("xprop -id " + test::Hex(board->Handle) + " _NET_WM_STATE"), "_NET_WM_STATE_ABOVE"));
  // The surface follows the client size.
  EXPECT_EQ(board->Surface()->Size(), QSize(343, 39));

  TForm* big = new TForm(Application);
  big->BorderStyle = bsNone;
  big->WindowState = wsMaximized;
  EXPECT_EQ(big->ClientWidth(), Screen->Width());
  EXPECT_EQ(big->ClientHeight(), Screen->Height());
  big->Show();
  ASSERT_TRUE(test::Shown(big));
  EXPECT_TRUE(test::WaitFor([&] { return Has(Info(big->Handle), "Width: 1024"); }));
  info = Info(big->Handle);
  EXPECT_TRUE(Has(info, "Absolute upper-left X:  0") && Has(info, "Absolute upper-left Y:  0")) << info;
  EXPECT_TRUE(Has(info, "Height: 768")) << info;
  EXPECT_EQ(big->ClientToScreen(Point(0, 0)), Point(0, 0));
  delete big;
}

TEST_F(Forms, APanelIsAWindowWhoseTextIsItsCaptionAndButtonsAreNot) {
  HWND panel = board->Panel1->Handle;
  ASSERT_NE(panel, 0u);
  EXPECT_NE(panel, board->Handle());
  EXPECT_TRUE(Has(test::Shell("xprop -id " + test::Hex(panel) + " WM_NAME"), "\"%*Z\""));
  board->Panel1->Caption = "  @&*";
  EXPECT_EQ(win::WindowText(panel), "  @&*");
  // The speed button is drawn on the panel: the point over it is the panel's.
  TPoint p = board->SpeedButton1->ClientToScreen(Point(15, 15));
  EXPECT_EQ(WindowFromPoint(POINT{p.X, p.Y}), panel);
  EXPECT_EQ(GetWindow(panel, GW_CHILD), 0u);
}

TEST_F(Forms, ARealClickOnASpeedButtonRunsItsOnClick) {
  TPoint p = board->SpeedButton1->ClientToScreen(Point(15, 15));
  test::Xdo("mousemove " + std::to_string(p.X) + " " + std::to_string(p.Y) + " click 1");
  EXPECT_TRUE(test::WaitFor([&] { return board->clicks == 1; }));
  // A press that leaves the button before the release is no click.
  test::Xdo("mousedown 1 mousemove " + std::to_string(p.X + 100) + " " + std::to_string(p.Y + 100) + " mouseup 1");
  test::Pump(200);
  EXPECT_EQ(board->clicks, 1);
  // Wheel buttons give no press.
  size_t downs = board->downs.size();
  test::Xdo("mousemove 150 150 click 4 click 5");
  test::Pump(200);
  EXPECT_EQ(board->downs.size(), downs);
}

TEST_F(Forms, PressMoveReleaseReachTheFormInClientCoordinatesEvenOutsideIt) {
  // Form at (100, 50): press at client (10, 20), move to (30, 40), then to
  // screen (600, 500), well outside, and release there.
  test::XdoWhileRunning("mousemove 110 70 mousedown 1 sleep 0.1 mousemove 130 90 sleep 0.1 mousemove 600 500 "
                        "sleep 0.1 mouseup 1");
  ASSERT_TRUE(test::WaitFor([&] { return !board->ups.empty(); }));
  ASSERT_EQ(board->downs.size(), 1u);
  EXPECT_EQ(board->downs[0].button, mbLeft);
  EXPECT_TRUE(board->downs[0].shift.Contains(ssLeft));
  EXPECT_EQ(board->downs[0].x, 10);
  EXPECT_EQ(board->downs[0].y, 20);
  ASSERT_GE(board->moves.size(), 2u);
  EXPECT_EQ(board->moves.front().x, 30);
  EXPECT_EQ(board->moves.front().y, 40);
  EXPECT_EQ(board->moves.back().x, 500);  // captured: still this form's
  EXPECT_EQ(board->moves.back().y, 450);
  EXPECT_EQ(board->ups[0].x, 500);
  EXPECT_EQ(board->ups[0].y, 450);
  EXPECT_FALSE(board->ups[0].shift.Contains(ssLeft));

  // A right press is a press too; a pending paint runs before it arrives.
  board->Invalidate();
  int paints = board->paints;
  test::Xdo("mousemove 120 80 click 3");
  ASSERT_TRUE(test::WaitFor([&] { return board->downs.size() == 2; }));
  EXPECT_EQ(board->downs[1].button, mbRight);
  EXPECT_EQ(board->downs[1].paintsBefore, paints + 1);
}

TEST_F(Forms, CanvasDrawingIsOnTheScreenAtOnceAndReadsBackWithTheChildren) {
  TCanvas* c = board->Canvas;
  c->Pen->Color = clBlue;
  c->Pen->Width = 3;
  c->MoveTo(20, 100);
  c->LineTo(120, 100);
  // No event is processed between the drawing and another client's look.
  EXPECT_EQ(test::ScreenPixel(100 + 60, 50 + 100), long(clBlue));

  // The surface under a panel is not what the window shows there.
  c->Brush->Color = clYellow;
  c->FillRect(Rect(150, 0, 300, 60));
  EXPECT_EQ(test::ScreenPixel(100 + 290, 50 + 5), long(clSkyBlue));  // the panel stays above
  TBitmap b;
  b.Width = 100;
  b.Height = 60;
  b.Canvas->CopyRect(Rect(0, 0, 100, 60), c, Rect(150, 0, 250, 60));
  EXPECT_EQ(TColor(b.Canvas->Pixels[10][10]), clYellow);   // form (160, 10): surface
  EXPECT_EQ(TColor(b.Canvas->Pixels[95][5]), clSkyBlue);  // form (245, 5): the panel
  EXPECT_EQ(TColor(b.Canvas->Pixels[90][50]), clYellow);   // below the panel
  EXPECT_EQ(TColor(c->Pixels[290][5]), clSkyBlue);
  EXPECT_EQ(TColor(c->Pixels[60][100]), clBlue);
}

TEST_F(Forms, AWorkerThreadMayDrawOnTheFormSurface) {
  std::thread worker([&] {
    gdi::DC dc(board->Surface());
    dc.FillRect(RECT{10, 150, 60, 190}, gdi::SolidBrush(RGB(0, 128, 0)));
  });
  worker.join();
  EXPECT_EQ(TColor(board->Canvas->Pixels[30][170]), clGreen);
  // Shown through the GUI thread.
  EXPECT_TRUE(test::WaitFor([] { return test::ScreenPixel(100 + 30, 50 + 170) == long(clGreen); }));
}

TEST_F(Forms, InvalidateIsDeferredAndCoalescedRepaintIsAtOnce) {
  test::Pump(100);
  const int before = board->paints;
  board->Invalidate();
  board->Invalidate();
  board->InvalidateRegion(QRegion(0, 0, 10, 10));
  EXPECT_EQ(board->paints, before);
  ASSERT_TRUE(test::WaitFor([&] { return board->paints == before + 1; }));
  test::Pump(100);
  EXPECT_EQ(board->paints, before + 1);

  // Drawn and not committed: a paint erases it with the form colour.
  board->Canvas->Brush->Color = clRed;
  board->Canvas->FillRect(Rect(10, 10, 50, 50));
  board->Repaint();
  EXPECT_EQ(board->paints, before + 2);
  EXPECT_EQ(TColor(board->Canvas->Pixels[20][20]), clWhite);
  EXPECT_EQ(test::ScreenPixel(100 + 20, 50 + 20), long(clWhite));

  // Only the invalid region is painted, and the canvas is clipped to it.
  board->Canvas->FillRect(Rect(10, 10, 50, 50));
  board->InvalidateRegion(QRegion(0, 0, 30, 30));
  ASSERT_TRUE(test::WaitFor([&] { return board->paints == before + 3; }));
  EXPECT_EQ(board->clip, Rect(0, 0, 30, 30));
  EXPECT_EQ(TColor(board->Canvas->Pixels[20][20]), clWhite);
  EXPECT_EQ(TColor(board->Canvas->Pixels[40][40]), clRed);

  // A clear form brush paints without erasing.
  board->Brush->Style = bsClear;
  board->Repaint();
  EXPECT_EQ(TColor(board->Canvas->Pixels[40][40]), clRed);

  // Hiding a picture on the form repaints the form where it was.
  TImage* image = new TImage(board);
  image->SetBounds(60, 60, 20, 20);
  image->Parent = board;
  test::Pump(50);
  const int now = board->paints;
  image->Visible = false;
  ASSERT_TRUE(test::WaitFor([&] { return board->paints == now + 1; }));
  EXPECT_EQ(board->clip, Rect(60, 60, 80, 80));
}

TEST_F(Forms, ShowModalEndsWithTheButtonsModalResultWhileTimersTick) {
  TForm* dialog = new TForm(Application);
  dialog->BorderStyle = bsDialog;
  dialog->Position = poScreenCenter;
  dialog->ClientWidth = 200;
  dialog->ClientHeight = 100;
  TButton* ok = new TButton(dialog);
  ok->Parent = dialog;
  ok->SetBounds(10, 10, 80, 30);
  ok->Caption = "OK";
  ok->ModalResult = mrOk;
  int clicks = 0, ticks = 0;
  bool boardDisabled = false;
  ok->OnClick = [&](TObject*) { ++clicks; };
  TTimer* timer = new TTimer(dialog);
  timer->Interval = 30;
  timer->OnTimer = [&](TObject*) {
    if (++ticks != 3) return;
    boardDisabled = !board->Enabled;
    // A real click on the button, while the modal loop runs.
    TPoint p = ok->ClientToScreen(Point(40, 15));
    test::Xdo("mousemove " + std::to_string(p.X) + " " + std::to_string(p.Y) + " click 1");
  };
  EXPECT_EQ(dialog->ShowModal(), mrOk);
  EXPECT_EQ(dialog->Left(), (1024 - dialog->Width()) / 2);  // centred at show
  EXPECT_EQ(clicks, 1);
  EXPECT_GE(ticks, 3);
  EXPECT_TRUE(boardDisabled);
  EXPECT_TRUE(board->Enabled);
  EXPECT_FALSE(dialog->Visible);

  // Closing ends the loop with mrCancel; a form shown during the loop is
  // not disabled; a modal form may be hidden while its loop runs.
  TForm* later = new TForm(Application);
  bool laterEnabled = false;
  timer->Interval = 20;
  ticks = 0;
  timer->OnTimer = [&](TObject*) {
    ++ticks;
    if (ticks == 1) later->Show();
    if (ticks == 2) laterEnabled = later->Enabled, dialog->Hide();
    if (ticks == 4) dialog->Close();
  };
  EXPECT_EQ(dialog->ShowModal(), mrCancel);
  EXPECT_TRUE(laterEnabled);
  EXPECT_EQ(ticks, 4);
  EXPECT_THROW(later->ShowModal(), EInvalidOperation);  // already visible
  delete later;
  delete dialog;
}

TEST_F(Forms, CursorSlotTwoChangesTheShownCursorWhenReassigned) {
  QImage a(16, 16, QImage::Format_ARGB32), b(16, 16, QImage::Format_ARGB32);
  a.fill(Qt::black);
  b.fill(Qt::white);
  ASSERT_TRUE(win::WriteCursorFile("a.cut", a, POINT{1, 1}));
  ASSERT_TRUE(win::WriteCursorFile("b.cut", b, POINT{2, 2}));
  Screen->Cursors[2] = LoadCursorFromFile("a.cut");
  board->Cursor = 2;
  auto shown = [&] { return board->cursor().pixmap().toImage().pixel(5, 5); };
  EXPECT_EQ(shown(), QColor(Qt::black).rgb());
  Screen->Cursors[2] = LoadCursorFromFile("b.cut");  // same slot, form still at 2
  EXPECT_EQ(shown(), QColor(Qt::white).rgb());
  EXPECT_EQ(board->cursor().hotSpot(), QPoint(2, 2));
  Screen->Cursors[2] = LoadCursorFromFile("missing.cut");  // 0: the slot is emptied
  EXPECT_EQ(board->cursor().shape(), Qt::ArrowCursor);
  EXPECT_EQ(HCURSOR(Screen->Cursors[2]), nullptr);
  board->Cursor = crSizeAll;
  EXPECT_EQ(board->cursor().shape(), Qt::SizeAllCursor);
  EXPECT_EQ(board->Cursor(), crSizeAll);
}

TEST_F(Forms, CloseRequestsRunTheFormsClose) {
  int queries = 0, closes = 0;
  bool allow = false;
  board->OnCloseQuery = [&](TObject*, bool& canClose) {
    ++queries;
    canClose = allow;
  };
  board->OnClose = [&](TObject*, TCloseAction&) { ++closes; };
  SendMessage(board->Handle, WM_CLOSE, 0, 0);
  EXPECT_EQ(queries, 1);
  EXPECT_EQ(closes, 0);
  EXPECT_TRUE(board->Visible);
  allow = true;
  SendMessage(board->Handle, WM_CLOSE, 0, 0);
  EXPECT_EQ(closes, 1);
  EXPECT_FALSE(board->Visible);  // not the main form: hidden, alive

  // Another process's WM_CLOSE: a WM_DELETE_WINDOW request.
  board->Show();
  ASSERT_TRUE(test::Shown(board));
  char exe[4096] = {};
  ASSERT_GT(readlink("/proc/self/exe", exe, sizeof exe - 1), 0);
  std::string peer = std::string(exe).substr(0, std::string(exe).rfind('/') + 1) + "win_peer";
  test::Shell(peer + " --send-close " + std::to_string(board->Handle()));
  EXPECT_TRUE(test::WaitFor([&] { return closes == 2; }));
  EXPECT_EQ(queries, 3);
  EXPECT_FALSE(board->Visible);
}

TEST_F(Forms, CaptionIsTheWindowText) {
  board->Caption = "白板";
  EXPECT_EQ(win::WindowText(board->Handle), "白板");
  char buf[12];
  EXPECT_EQ(GetWindowText(board->Handle, buf, sizeof buf), 4);
}

TEST_F(Forms, AnExceptionInAHandlerIsShownAndEndsTheHandler) {
  std::string log = std::string(getenv("QUARVEL_TEST_DIR")) + "/boxes.log";
  std::string answers = std::string(getenv("QUARVEL_TEST_DIR")) + "/answers";
  setenv("QUARVEL_MSGBOX_LOG", log.c_str(), 1);
  setenv("QUARVEL_MSGBOX_ANSWERS", answers.c_str(), 1);
  test::Shell("echo OK > " + answers);
  bool rest = false;
  board->SpeedButton1->OnClick = [&](TObject*) {
    throw EFOpenError("db\\pic\\w9.jt");
    rest = true;
  };
  board->SpeedButton1->Click();
  EXPECT_FALSE(rest);
  QFile f(QString::fromStdString(log));
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  EXPECT_EQ(f.readAll().toStdString(), "VclTest\tCannot open file db\\\\pic\\\\w9.jt\n");
  unsetenv("QUARVEL_MSGBOX_LOG");
  unsetenv("QUARVEL_MSGBOX_ANSWERS");
}

TEST_F(Forms, HintsShowOnHoverAndTextHasTheFormsColourBehindIt) {
  board->SpeedButton1->Hint = "书写板";
  board->SpeedButton1->ShowHint = true;
  TPoint p = board->SpeedButton1->ClientToScreen(Point(15, 15));
  test::Xdo("mousemove " + std::to_string(p.X - 40) + " " + std::to_string(p.Y + 60));
  test::Pump(50);
  test::Xdo("mousemove " + std::to_string(p.X) + " " + std::to_string(p.Y));
  EXPECT_TRUE(test::WaitFor([] { return QToolTip::isVisible() && QToolTip::text() == QStringLiteral("书写板"); }));
  board->Canvas->Font->Color = clBlack;
  board->Canvas->Brush->Color = clYellow;
  board->Color = clSilver;  // the form's colour is the canvas brush's too
  board->Canvas->TextOut(3, 150, "已导入 12 个文件。  ");
  EXPECT_EQ(TColor(board->Canvas->Pixels[3][151]), clSilver);
  int w = board->Canvas->TextWidth("已导入 12 个文件。  ");
  EXPECT_GT(w, 60);
  // Drawing a bitmap at a place copies it 1:1.
  TBitmap page;
  page.Width = 10;
  page.Height = 10;
  page.Canvas->Brush->Color = clTeal;
  page.Canvas->FillRect(Rect(0, 0, 10, 10));
  board->Canvas->Draw(50, 120, &page);
  EXPECT_EQ(TColor(board->Canvas->Pixels[59][129]), clTeal);
  EXPECT_EQ(TColor(board->Canvas->Pixels[60][129]), clWhite);
  test::Pump(100);  // the colour change repaints the form
  EXPECT_EQ(TColor(board->Canvas->Pixels[60][129]), clSilver);
}

namespace {
// The keyboard's way of being dragged: its hit test answers HTCAPTION while
// the left button is down.
class TDragged : public TForm {
 public:
  explicit TDragged(TComponent* owner) : TForm(owner) {
    BorderStyle = bsNone;
    SetBounds(200, 200, 300, 100);
    Title = new TImage(this);
    Title->Parent = this;
    Title->SetBounds(0, 0, 300, 17);
    Title->OnMouseDown = [this](TObject*, TMouseButton, TShiftState, int, int) { ++titlePresses; };
    Key = new TPanel(this);
    Key->Parent = this;
    Key->SetBounds(10, 40, 40, 40);
    Key->OnMouseDown = [this](TObject*, TMouseButton, TShiftState, int, int) { ++keyPresses; };
  }
  void Dispatch(TMessage& m) override {
    if (m.Msg == WM_NCHITTEST) {
      ++hitTests;
      m.Result = GetAsyncKeyState(VK_LBUTTON) < 0 ? HTCAPTION : HTCLIENT;
      return;
    }
    TForm::Dispatch(m);
  }
  TImage* Title;
  TPanel* Key;
  int titlePresses = 0, keyPresses = 0, hitTests = 0;
};
}  // namespace

TEST_F(Forms, AHitTestAnsweringCaptionDragsTheFormFromItsOwnSurface) {
  TDragged* f = new TDragged(Application);
  f->Show();
  ASSERT_TRUE(test::Shown(f));
  test::Pump(50);
  // Press on the title picture (a graphic control), drag 100 right, 50 down.
  test::XdoWhileRunning("mousemove 250 205 mousedown 1 sleep 0.3 mousemove 300 230 sleep 0.2 mousemove 350 255 "
                        "sleep 0.3 mouseup 1");
  EXPECT_TRUE(test::WaitFor([&] { return f->Left() == 300 && f->Top() == 250; })) << f->Left() << "," << f->Top();
  EXPECT_EQ(f->titlePresses, 0);
  EXPECT_EQ(f->hitTests, 1);
  // A key is a window of its own: its press is its own.
  TPoint k = f->Key->ClientToScreen(Point(20, 20));
  test::XdoWhileRunning("mousemove " + std::to_string(k.X) + " " + std::to_string(k.Y) + " click 1");
  EXPECT_TRUE(test::WaitFor([&] { return f->keyPresses == 1; }));
  EXPECT_EQ(f->hitTests, 1);
  EXPECT_EQ(f->Left(), 300);
  delete f;
}

TEST_F(Forms, TheScreenCanvasReadsWhatTheScreenShows) {
  board->Canvas->Brush->Color = clMaroon;
  board->Canvas->FillRect(Rect(0, 100, 50, 150));
  TCanvas screen;
  screen.Handle = GetDC(0);
  EXPECT_EQ(GetDeviceCaps(screen.Handle, BITSPIXEL), 32);
  EXPECT_EQ(GetDeviceCaps(screen.Handle, HORZRES), 1024);
  TBitmap desk;
  desk.Width = Screen->Width;
  desk.Height = Screen->Height;
  desk.Canvas->CopyRect(Rect(0, 0, Screen->Width, Screen->Height), &screen, Rect(0, 0, Screen->Width, Screen->Height));
  EXPECT_EQ(TColor(desk.Canvas->Pixels[100 + 10][50 + 120]), clMaroon);
  EXPECT_EQ(TColor(screen.Pixels[100 + 10][50 + 120]), clMaroon);
  EXPECT_EQ(ReleaseDC(0, screen.Handle), 1);
  EXPECT_EQ(ReleaseDC(0, screen.Handle), 0);
  EXPECT_EQ(GetDC(board->Handle), nullptr);
}

TEST_F(Forms, AFormWithoutCaptionHasNoWindowText) {
  TForm* f = new TForm(Application);
  f->BorderStyle = bsNone;
  f->Show();
  ASSERT_TRUE(test::Shown(f));
  // Not the program's name: another instance would count it as its title.
  EXPECT_EQ(win::WindowText(f->Handle), "");
  f->Caption = "白板";
  EXPECT_EQ(win::WindowText(f->Handle), "白板");
  f->Caption = "";
  EXPECT_EQ(win::WindowText(f->Handle), "");
  delete f;
}
