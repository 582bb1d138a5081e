// The help window inside the test program: its form, the page it is sent
// to at every showing, and its OK button pressed with real X input, also
// over the annotation overlay.
#include <QTimer>
#include <QWebEngineView>

#include <thread>

#include "board/annotate.h"
#include "board/help.h"
#include "platform/fs/folders.h"
#include "tests/board/board_test.h"

#include <gtest/gtest.h>

using namespace boardtest;

namespace {

class Help : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { StartUp(); }
  void TearDown() override {
    if (Form4->Visible) Form4->Hide();
    if (Form2->Visible) Form2->Close();
  }
};

TPoint Middle(TControl* c) { return c->ClientToScreen(Point(c->Width / 2, c->Height / 2)); }

// Presses the help window's OK button with real input as soon as it is up
// (also inside its modal loop).
struct PressOkWhenUp {
  PressOkWhenUp() {
    QObject::connect(&timer, &QTimer::timeout, [this] {
      if (!Form4->isVisible() || pressing) return;
      pressing = true;
      modal = Form4->Modal();
      const TPoint p = Middle(Form4->BitBtn1);
      clicker = std::thread([p] { Shell("xdotool" + At(p.X, p.Y) + " click 1"); });
    });
    timer.start(50);
  }
  ~PressOkWhenUp() {
    if (clicker.joinable()) clicker.join();
  }
  QTimer timer;
  bool pressing = false, modal = false;
  std::thread clicker;
};

}  // namespace

TEST_F(Help, TheFormAsDescribedGoesToTheHelpPageAtEveryShowing) {
  EXPECT_EQ(Form4->Caption(), "帮助");
  EXPECT_EQ(Form4->ClientWidth(), 792);
  EXPECT_EQ(Form4->ClientHeight(), 516);
  EXPECT_EQ(Form4->Color(), TColor(4227327));
  EXPECT_EQ(Form4->BorderStyle(), bsNone);
  EXPECT_EQ(Form4->FormStyle(), fsStayOnTop);
  EXPECT_EQ(Form4->WebBrowser1->BoundsRect, Bounds(0, 46, 791, 389));
  EXPECT_EQ(Form4->BitBtn1->BoundsRect, Bounds(353, 484, 81, 29));
  EXPECT_EQ(Form4->BitBtn1->Caption(), "确定");
  EXPECT_EQ(Form4->BitBtn1->ModalResult(), mrOk);

  Form4->Show();
  ASSERT_TRUE(Shown(Form4));
  EXPECT_EQ(Form4->Left(), (Screen->Width - 792) / 2);
  EXPECT_EQ(Form4->Top(), (Screen->Height - 516) / 2);
  const QUrl page = QUrl::fromLocalFile(QString::fromStdString(GetProgramFolder() + "qvlhelp.mht"));
  ASSERT_NE(Form4->WebBrowser1->View(), nullptr);
  EXPECT_TRUE(WaitFor([&] { return Form4->WebBrowser1->View()->url() == page; }, 30000))
      << Form4->WebBrowser1->View()->url().toString().toStdString();
  // Sent elsewhere, it is back on the help page at the next showing.
  Form4->WebBrowser1->Navigate("about:blank");
  EXPECT_TRUE(WaitFor([] { return Form4->WebBrowser1->View()->url() == QUrl("about:blank"); }, 30000));
  Form4->Hide();
  Form4->Show();
  EXPECT_TRUE(WaitFor([&] { return Form4->WebBrowser1->View()->url() == page; }, 30000));

  Form1->PaintSource = 0;
  const TPoint ok = Middle(Form4->BitBtn1);
  ASSERT_TRUE(Xdo(At(ok.X, ok.Y) + " click 1"));
  EXPECT_TRUE(WaitFor([] { return !Form4->Visible(); }));
  EXPECT_EQ(Form1->PaintSource, 1);
}

TEST_F(Help, OverTheOverlayItIsModalAndTheOverlayIsDrawnAgainWhenItCloses) {
  Form1->Hide();
  Form2->Show();
  ASSERT_TRUE(Shown(Form2));
  const COLORREF picture = Form3->ScratchBitmap->Pixels().GetPixel(Screen->Width / 2, Screen->Height / 2);
  // Something on the overlay's screen that its picture does not hold.
  Form2->Canvas->Brush->Color = clRed;
  Form2->Canvas->FillRect(Rect(0, Screen->Height - 40, Screen->Width, Screen->Height));
  Form2->Canvas->Brush->Style = bsClear;
  PressOkWhenUp ok;
  const TPoint help = Middle(Form2->SpeedButton19);
  ASSERT_TRUE(Xdo(At(help.X, help.Y) + " click 1"));
  EXPECT_TRUE(WaitFor([&] { return ok.pressing && !Form4->Visible(); }, 30000));
  EXPECT_TRUE(ok.modal);
  EXPECT_TRUE(Form2->Visible);
  EXPECT_EQ(Form2->Canvas->Pixels[10][Screen->Height - 10],
            TColor(Form3->ScratchBitmap->Pixels().GetPixel(10, Screen->Height - 10)));
  EXPECT_EQ(Form3->ScratchBitmap->Pixels().GetPixel(Screen->Width / 2, Screen->Height / 2), picture);
}
