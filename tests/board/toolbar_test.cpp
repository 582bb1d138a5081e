// The toolbar's buttons that open other forms, pressed with real X input
// inside the test program (built twice: for 1024 x 768 and 800 x 600).
#include <QTimer>

#include "board/annotate.h"
#include "board/curtain.h"
#include "board/help.h"
#include "board/writing_panel.h"
#include "platform/win/input.h"
#include "tests/board/board_test.h"
#include "tests/platform/win/test_support.h"

#include <gtest/gtest.h>

using namespace boardtest;

namespace {

class Toolbar : public ::testing::Test {
 protected:
  void SetUp() override {
    StartUp();
    if (!Form1->Visible) Form1->Show();
    ASSERT_TRUE(Shown(Form1));
  }
};

// Ends the modal loop of `form` once it is up, noting that it was modal.
struct CloseWhenUp {
  explicit CloseWhenUp(TForm* form) {
    QObject::connect(&timer, &QTimer::timeout, [this, form] {
      if (!form->isVisible()) return;
      modal = form->Modal();
      form->ModalResult = mrCancel;
      timer.stop();
    });
    timer.start(20);
  }
  QTimer timer;
  bool modal = false;
};

}  // namespace

TEST_F(Toolbar, StartsAtTheTopRight) {
  EXPECT_EQ(Form1->Left(), Screen->Width - 436);
  EXPECT_EQ(Form1->Top(), 0);
  EXPECT_EQ(Form1->ClientWidth(), 343);
  EXPECT_EQ(Form1->ClientHeight(), 39);
  EXPECT_TRUE(Form1->Timer1->Enabled());
  EXPECT_EQ(Form1->Timer1->Interval(), 1000u);
}

TEST_F(Toolbar, WritingPracticePlacesAndShowsThePanelAndGoesOnWithoutTheWritingProgram) {
  // There is no "ani.dll" beside the test programs: nothing starts, nothing
  // is said, the panel's timer still runs.
  ASSERT_TRUE(Click(Form1->SpeedButton9, [] { return Form14->isVisible(); }));
  EXPECT_EQ(Form14->Tag, 1);
  EXPECT_TRUE(Form14->Timer1->Enabled());
  EXPECT_EQ(Form14->Left(), (Screen->Width - 552) / 2);
  if (Screen->Height == 600) {
    EXPECT_EQ(Form14->Left(), 124);
    EXPECT_EQ(Form14->Top(), 40);
    EXPECT_EQ(Form14->Height(), 103);
    EXPECT_EQ(Form14->Memo1->Height(), 86);
    EXPECT_EQ(Form14->Label1->Top(), 88);
    EXPECT_EQ(Form14->SpeedButton3->Top(), 72);
  } else {
    EXPECT_EQ(Form14->Left(), 236);
    EXPECT_EQ(Form14->Top(), 72);
    EXPECT_EQ(Form14->Height(), 154);
  }
  // The board hides the panel and leaves its Tag; leaving the board shows it.
  ASSERT_TRUE(Click(Form1->SpeedButton4, [] { return Form3->isVisible(); }));
  EXPECT_FALSE(Form14->Visible());
  EXPECT_EQ(Form14->Tag, 1);
  ASSERT_TRUE(Shown(Form3));
  ASSERT_TRUE(Click(Form3->SpeedButton40, [] { return Form1->isVisible(); }));
  EXPECT_TRUE(Form14->Visible());
  Form14->Hide();
  Form14->Tag = 0;
  Form14->Timer1->Enabled = false;
}

TEST_F(Toolbar, TheCurtainTakesTheToolbarOutOfTheTopLayerAndStopsItsTimer) {
  ASSERT_TRUE(Click(Form1->SpeedButton10, [] { return Form5->isVisible(); }));
  EXPECT_FALSE(Form1->Timer1->Enabled());
  POINT p{};
  EXPECT_TRUE(WaitFor([&] { return GetCursorPos(&p) && p.x == Screen->Width - 1 && p.y == 50; }));
  Form5->Hide();
  Form1->Timer1->Enabled = true;
}

TEST_F(Toolbar, HelpShowsTheHelpWindowModally) {
  CloseWhenUp help(Form4);
  ASSERT_TRUE(Click(Form1->SpeedButton2, [&] { return help.modal && !Form4->isVisible(); }));
  EXPECT_TRUE(Form1->Visible());
}

TEST_F(Toolbar, AnnotateNotesTheWindowUnderTheMiddleAndShowsTheOverlayModally) {
  test::Peer under({"--top", "under", "--geom", "450", "300", "100", "100"});
  ASSERT_EQ(under.ids.size(), 1u);
  CloseWhenUp overlay(Form2);
  ASSERT_TRUE(Click(Form1->SpeedButton3, [&] { return overlay.modal && !Form2->isVisible(); }));
  EXPECT_EQ(Form1->ReturnWindow, under.ids[0]);
  EXPECT_FALSE(Form1->Timer1->Enabled());
  EXPECT_FALSE(Form1->Visible());
  // The overlay brings the toolbar back when it ends (not built yet here).
  Form1->Show();
  Form1->Timer1->Enabled = true;
}
