// A form's message map (TForm::Dispatch) on a real X server: what reaches
// it, the hit test of presses on the form's own surface, a caption answer
// moving the window with the pointer, and a borderless form keeping its
// size when moved.
#include "platform/vcl/extctrls.h"
#include "platform/vcl/forms.h"
#include "platform/win/messages.h"
#include "tests/platform/vcl/vcl_test.h"

#include <gtest/gtest.h>

namespace {

// A borderless form whose top 20 rows (a picture strip) answer HTCAPTION,
// with a child window in its lower half.
class TStrip : public TForm {
 public:
  explicit TStrip(TComponent* owner) : TForm(owner) {
    BorderStyle = bsNone;
    Color = clWhite;
    SetBounds(100, 100, 300, 120);
    Picture = new TImage(this);
    Picture->Parent = this;
    Picture->SetBounds(0, 0, 300, 20);
    Picture->OnMouseDown = [this](TObject*, TMouseButton, TShiftState, int, int) { ++picturePresses; };
    Panel1 = new TPanel(this);
    Panel1->Parent = this;
    Panel1->SetBounds(0, 60, 300, 60);
    Panel1->Caption = "child";
    Panel1->OnMouseDown = [this](TObject*, TMouseButton, TShiftState, int, int) { ++panelPresses; };
    OnMouseDown = [this](TObject*, TMouseButton, TShiftState, int x, int y) { formPresses.push_back(Point(x, y)); };
  }

  void Dispatch(TMessage& Message) override {
    seen.push_back(Message.Msg);
    switch (Message.Msg) {
      case WM_NCHITTEST: {
        TWMNCHitTest m(Message);
        hitTests.push_back(Point(m.XPos, m.YPos));
        m.Result = m.YPos - Top < 20 ? HTCAPTION : HTCLIENT;
        break;
      }
      case WM_CLOSE:
        if (keepOpen) break;
        TForm::Dispatch(Message);
        break;
      default: TForm::Dispatch(Message); break;
    }
  }

  TImage* Picture;
  TPanel* Panel1;
  std::vector<UINT> seen;
  std::vector<TPoint> hitTests, formPresses;
  int picturePresses = 0, panelPresses = 0;
  bool keepOpen = false;
};

class MessageMap : public ::testing::Test {
 protected:
  void SetUp() override {
    test::App();
    form = new TStrip(Application);
    form->Show();
    ASSERT_TRUE(test::Shown(form));
    test::Pump(50);
  }
  void TearDown() override { delete form; }

  // Presses at `from`, drags to `to` and releases there.
  static bool Drag(TPoint from, TPoint to) {
    auto at = [](TPoint p) { return std::to_string(p.X) + " " + std::to_string(p.Y); };
    return test::XdoWhileRunning("mousemove " + at(from) + " mousedown 1 sleep 0.3 mousemove " +
                                 at(Point((from.X + to.X) / 2, (from.Y + to.Y) / 2)) + " sleep 0.2 mousemove " +
                                 at(to) + " sleep 0.3 mouseup 1");
  }
  TStrip* form = nullptr;
};

}  // namespace

TEST_F(MessageMap, ACaptionAnswerMovesTheWindowAndOtherPressesReachTheForm) {
  // On the picture strip: the window follows the pointer, the picture
  // never sees the press.
  ASSERT_TRUE(Drag(Point(150, 110), Point(350, 310)));
  EXPECT_TRUE(test::WaitFor([&] { return form->Left == 300 && form->Top == 300; }))
      << form->Left() << "," << form->Top();
  ASSERT_EQ(form->hitTests.size(), 1u);
  EXPECT_EQ(form->hitTests[0], Point(150, 110));
  EXPECT_EQ(form->picturePresses, 0);
  EXPECT_TRUE(form->formPresses.empty());
  EXPECT_EQ(form->Width(), 300);
  EXPECT_EQ(form->Height(), 120);

  // Below the strip the answer is HTCLIENT: the press is the form's and
  // the window stays.
  ASSERT_TRUE(Drag(Point(350, 340), Point(450, 440)));
  ASSERT_TRUE(test::WaitFor([&] { return form->formPresses.size() == 1; }));
  EXPECT_EQ(form->formPresses[0], Point(50, 40));
  EXPECT_EQ(form->hitTests.size(), 2u);
  EXPECT_EQ(form->Left(), 300);
  EXPECT_EQ(form->Top(), 300);

  // A child window answers its own hit test: none reaches the form.
  test::Xdo("mousemove 350 390 click 1");
  ASSERT_TRUE(test::WaitFor([&] { return form->panelPresses == 1; }));
  EXPECT_EQ(form->hitTests.size(), 2u);
  // The right button asks nothing either.
  test::Xdo("mousemove 350 305 click 3");
  test::Pump(200);
  EXPECT_EQ(form->hitTests.size(), 2u);
  EXPECT_EQ(form->picturePresses, 1);
}

TEST_F(MessageMap, MessagesToTheHandleAndCloseRequestsGoThroughDispatch) {
  const HWND h = form->Handle;
  EXPECT_EQ(SendMessage(h, WM_NCHITTEST, 0, MAKELPARAM(150, 105)), HTCAPTION);
  EXPECT_EQ(SendMessage(h, WM_NCHITTEST, 0, MAKELPARAM(150, 125)), HTCLIENT);
  // Points left of or above the screen keep their sign.
  SendMessage(h, WM_NCHITTEST, 0, MAKELPARAM(WORD(-5), WORD(-7)));
  EXPECT_EQ(form->hitTests.back(), Point(-5, -7));
  EXPECT_EQ(SendMessage(h, WM_USER + 5, 1, 2), 0);
  ASSERT_TRUE(PostMessage(h, WM_USER + 6, 0, 0));
  EXPECT_TRUE(test::WaitFor([&] { return form->seen.back() == WM_USER + 6; }));

  // A form that handles WM_CLOSE itself stays; the inherited handling closes.
  form->keepOpen = true;
  SendMessage(h, WM_CLOSE, 0, 0);
  EXPECT_TRUE(form->Visible);
  form->close();  // Qt's close path, as a window manager's request takes it
  EXPECT_TRUE(form->Visible);
  EXPECT_EQ(std::count(form->seen.begin(), form->seen.end(), UINT(WM_CLOSE)), 2);
  form->keepOpen = false;
  SendMessage(h, WM_CLOSE, 0, 0);
  EXPECT_FALSE(form->Visible);  // not the main form: hidden
}

TEST(BorderlessForm, MovingItKeepsItsSize) {
  test::App();
  TForm form(Application);
  form.BorderStyle = bsNone;
  form.ClientWidth = 396;
  form.ClientHeight = 137;
  form.Left = 310;
  form.Top = 597;
  EXPECT_EQ(form.Width(), 396);
  EXPECT_EQ(form.Height(), 137);
  form.Show();
  ASSERT_TRUE(test::Shown(&form));
  form.Left = 20;
  form.Top = 30;
  EXPECT_EQ(form.Width(), 396);
  EXPECT_EQ(form.Height(), 137);
  EXPECT_EQ(form.GetBoundsRect(), Bounds(20, 30, 396, 137));
}
