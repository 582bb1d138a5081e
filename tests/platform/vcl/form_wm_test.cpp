// Forms under a reparenting EWMH window manager (openbox): borderless and
// maximised forms keep their places and sizes, framed ones their client
// size, and a modal loop still takes a real click.
#include "platform/vcl/extctrls.h"
#include "platform/vcl/stdctrls.h"
#include "tests/platform/vcl/vcl_test.h"

#include <gtest/gtest.h>

#include <regex>

namespace {

bool Has(const std::string& s, const std::string& part) { return s.find(part) != std::string::npos; }

long Info(HWND h, const std::string& label) {
  std::string out = test::Shell("xwininfo -id " + test::Hex(h));
  std::smatch m;
  if (!std::regex_search(out, m, std::regex(label + ":\\s+(-?[0-9]+)"))) return -1;
  return std::stol(m[1].str());
}

class FormsUnderWm : public ::testing::Test {
 public:
  static void SetUpTestSuite() {
    test::App();
    wm_ = new test::WindowManager([] {
      TForm probe(nullptr);
      probe.Show();
      return test::WaitFor([&] { return probe.windowHandle()->isExposed(); }, 1000);
    });
  }
  static void TearDownTestSuite() { delete wm_; }

 protected:
  void SetUp() override {
    ASSERT_TRUE(wm_->Running()) << "openbox is not installed (scripts/install-deps)";
  }
  static test::WindowManager* wm_;
};
test::WindowManager* FormsUnderWm::wm_ = nullptr;

}  // namespace

TEST_F(FormsUnderWm, BorderlessAndMaximisedFormsKeepTheirGeometry) {
  TForm bar(nullptr);
  bar.BorderStyle = bsNone;
  bar.FormStyle = fsStayOnTop;
  bar.ClientWidth = 343;
  bar.ClientHeight = 39;
  bar.Left = Screen->Width - 436;
  bar.Top = 0;
  bar.Show();
  ASSERT_TRUE(test::Shown(&bar));
  EXPECT_TRUE(test::WaitFor([&] { return Info(bar.Handle, "Absolute upper-left X") == 588; }));
  EXPECT_EQ(Info(bar.Handle, "Absolute upper-left Y"), 0);
  EXPECT_EQ(Info(bar.Handle, "Width"), 343);
  EXPECT_EQ(Info(bar.Handle, "Height"), 39);
  EXPECT_TRUE(test::WaitFor(
      [&] { return Has(test::Shell("xprop -id " + test::Hex(bar.Handle) + " _NET_WM_STATE"), "_NET_WM_STATE_ABOVE"); }));
  EXPECT_EQ(bar.Left(), 588);

  TForm board(nullptr);
  board.BorderStyle = bsNone;
  board.WindowState = wsMaximized;
  board.Show();
  ASSERT_TRUE(test::Shown(&board));
  EXPECT_TRUE(test::WaitFor([&] { return Info(board.Handle, "Width") == 1024 && Info(board.Handle, "Height") == 768; }));
  EXPECT_EQ(Info(board.Handle, "Absolute upper-left X"), 0);
  EXPECT_EQ(Info(board.Handle, "Absolute upper-left Y"), 0);
  EXPECT_EQ(board.ClientWidth(), 1024);
  EXPECT_TRUE(Has(test::Shell("xprop -id " + test::Hex(board.Handle) + " _NET_WM_STATE"), "_NET_WM_STATE_FULLSCREEN"));
}

// Over a full-screen form (a focused one is above the stay-on-top layer),
// a form shown from it is transient for it, a modal one carries the modal
// state; each takes the focus and gives it back to the board when it goes.
TEST_F(FormsUnderWm, FormsShownOverAFullScreenFormBelongToItAndGiveItBackTheFocus) {
  TForm board(nullptr);
  board.BorderStyle = bsNone;
  board.WindowState = wsMaximized;
  board.Show();
  ASSERT_TRUE(test::Shown(&board));
  ASSERT_TRUE(test::WaitFor([&] { return board.isActiveWindow(); }));
  auto transientFor = [](HWND h) { return test::Shell("xprop -id " + test::Hex(h) + " WM_TRANSIENT_FOR"); };

  TForm curtain(nullptr);
  curtain.BorderStyle = bsNone;
  curtain.FormStyle = fsStayOnTop;
  curtain.SetBounds(100, 100, 200, 100);
  curtain.Show();
  ASSERT_TRUE(test::Shown(&curtain));
  EXPECT_TRUE(Has(transientFor(curtain.Handle), test::Hex(board.Handle))) << transientFor(curtain.Handle);
  EXPECT_TRUE(test::WaitFor([&] { return curtain.isActiveWindow(); }));
  curtain.Hide();
  EXPECT_TRUE(test::WaitFor([&] { return board.isActiveWindow(); }));

  TForm dialog(nullptr);
  dialog.BorderStyle = bsNone;
  dialog.SetBounds(100, 100, 200, 100);
  std::string state, owner;
  bool active = false;
  TTimer* timer = new TTimer(&dialog);
  timer->Interval = 100;
  timer->OnTimer = [&](TObject*) {
    if (!dialog.windowHandle()->isExposed()) return;
    state = test::Shell("xprop -id " + test::Hex(dialog.Handle) + " _NET_WM_STATE");
    owner = transientFor(dialog.Handle);
    if (!(active = dialog.isActiveWindow())) return;
    timer->Enabled = false;
    dialog.ModalResult = mrOk;
  };
  EXPECT_EQ(dialog.ShowModal(), mrOk);
  EXPECT_TRUE(Has(state, "_NET_WM_STATE_MODAL")) << state;
  EXPECT_TRUE(Has(owner, test::Hex(board.Handle))) << owner;
  EXPECT_TRUE(active);
  EXPECT_TRUE(test::WaitFor([&] { return board.isActiveWindow(); }));
}

TEST_F(FormsUnderWm, AFramedDialogKeepsItsClientSizeAndTakesARealClickWhileModal) {
  TForm dialog(nullptr);
  dialog.BorderStyle = bsDialog;
  dialog.Position = poDesktopCenter;
  dialog.ClientWidth = 450;
  dialog.ClientHeight = 251;
  TButton* ok = new TButton(&dialog);
  ok->Parent = &dialog;
  ok->SetBounds(20, 200, 80, 30);
  ok->ModalResult = mrOk;
  TTimer* timer = new TTimer(&dialog);
  timer->Interval = 200;
  timer->OnTimer = [&](TObject*) {
    if (!dialog.windowHandle()->isExposed()) return;
    timer->Enabled = false;
    TPoint p = ok->ClientToScreen(Point(40, 15));
    test::Xdo("mousemove " + std::to_string(p.X) + " " + std::to_string(p.Y) + " click 1");
  };
  EXPECT_EQ(dialog.ShowModal(), mrOk);
  EXPECT_EQ(dialog.ClientWidth(), 450);
  EXPECT_EQ(dialog.ClientHeight(), 251);
  EXPECT_GE(dialog.Width(), 450);  // with the window manager's frame
}
