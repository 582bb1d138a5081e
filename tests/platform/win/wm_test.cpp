// The same contract under a reparenting EWMH window manager (openbox): the
// walk looks through frames, layers and activation are asked of the window
// manager, and the program's windows stay off the taskbar.
#include <QWidget>
#include <QWindow>

#include "platform/win/messages.h"
#include "platform/win/window_pos.h"
#include "platform/win/window_style.h"
#include "platform/win/window_text.h"
#include "platform/win/window_walk.h"
#include "tests/platform/win/test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <regex>

namespace {

bool Has(const std::string& s, const std::string& part) { return s.find(part) != std::string::npos; }
std::string State(HWND h) { return test::Shell("xprop -id " + test::Hex(h) + " _NET_WM_STATE"); }

// A number that xwininfo prints after `label`.
long Info(HWND h, const std::string& label, const char* options = "") {
  std::string out = test::Shell(std::string("xwininfo ") + options + " -id " + test::Hex(h));
  std::smatch m;
  if (!std::regex_search(out, m, std::regex(label + ":\\s+(0x[0-9a-f]+|-?[0-9]+)"))) return -1;
  return std::stol(m[1].str(), nullptr, 0);
}

using test::Position;
using test::TopLevels;

class Wm : public ::testing::Test {
 public:
  static void SetUpTestSuite() {
    test::App().SetTitle("Quarvel");
    wm_ = new test::WindowManager([] { return !test::Peer({"--top", "probe"}, 1000).ids.empty(); });
  }
  static void TearDownTestSuite() { delete wm_; }

 protected:
  void SetUp() override {
    ASSERT_TRUE(wm_->Running()) << "openbox is not installed (scripts/install-deps)";
  }
  static test::WindowManager* wm_;
};
test::WindowManager* Wm::wm_ = nullptr;

}  // namespace

TEST_F(Wm, WalkLooksThroughFrames) {
  test::Peer peer({"--top", "xTouchMon", "--top", "xTouchMonABC", "--top", "Quarvel", "--unmapped"});
  ASSERT_EQ(peer.ids.size(), 3u);
  long root = Info(peer.ids[2], "Root window id", "-tree");
  ASSERT_GT(root, 0);
  EXPECT_NE(Info(peer.ids[0], "Parent window id", "-tree"), root);  // framed
  EXPECT_EQ(Info(peer.ids[2], "Parent window id", "-tree"), root);
  std::vector<HWND> walk = TopLevels();
  int first = Position(walk, peer.ids[0]), second = Position(walk, peer.ids[1]);
  ASSERT_GE(first, 0);
  ASSERT_GE(second, 0);
  EXPECT_LT(second, first);  // mapped later, stacked higher
  EXPECT_GE(Position(walk, peer.ids[2]), 0);
  EXPECT_GE(Position(walk, test::App().Handle()), 0);
  int quarvels = 0;
  for (HWND h : walk) {
    char buf[12];
    GetWindowText(h, buf, 12);
    quarvels += std::string(buf) == "Quarvel";
  }
  EXPECT_EQ(quarvels, 2);
  EXPECT_EQ(FindWindow(nullptr, "xTouchMonABC"), peer.ids[1]);

  SendMessage(peer.ids[0], WM_CLOSE, 0, 0);
  EXPECT_TRUE(peer.WaitClosed(0));
}

TEST_F(Wm, WindowFromPointGivesTheClientOnItsFrame) {
  test::Peer peer({"--top", "%*Y", "--geom", "200", "200", "300", "150", "--child", "%*q", "10", "10", "50", "30"});
  HWND top = peer.ids[0], key = peer.ids[1];
  // The window manager may still be placing the frame: ask where it is now.
  auto at = [&](int dx, int dy) {
    long x = Info(top, "Absolute upper-left X"), y = Info(top, "Absolute upper-left Y");
    return WindowFromPoint({LONG(x + dx), LONG(y + dy)});
  };
  EXPECT_TRUE(test::WaitFor([&] { return at(20, 20) == key; }))
      << "key " << test::Hex(key) << ", found " << test::Hex(at(20, 20)) << " in\n"
      << test::Shell("xwininfo -root -tree");
  EXPECT_EQ(at(200, 100), top);
  if (Info(top, "Relative upper-left Y") >= 5) {
    EXPECT_EQ(at(100, -3), top);  // the frame's title bar
  }
}

TEST_F(Wm, LayersAreAskedOfTheWindowManager) {
  test::Peer peer({"--top", "writer", "--top", "hidden", "--unmapped"});
  HWND h = peer.ids[0];
  const UINT kKeep = SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE;
  auto above = [&] { return Has(State(h), "_NET_WM_STATE_ABOVE"); };
  auto below = [&] { return Has(State(h), "_NET_WM_STATE_BELOW"); };
  EXPECT_TRUE(SetWindowPos(h, HWND_TOPMOST, 0, 0, 0, 0, kKeep));
  EXPECT_TRUE(test::WaitFor(above));
  EXPECT_TRUE(SetWindowPos(h, HWND_BOTTOM, 0, 0, 0, 0, kKeep));
  EXPECT_TRUE(test::WaitFor([&] { return below() && !above(); }));
  EXPECT_TRUE(SetWindowPos(h, HWND_TOPMOST, 0, 0, 0, 0, kKeep));
  EXPECT_TRUE(test::WaitFor([&] { return above() && !below(); }));
  EXPECT_TRUE(SetWindowPos(h, HWND_NOTOPMOST, 0, 0, 0, 0, kKeep));
  EXPECT_TRUE(test::WaitFor([&] { return !above() && !below(); }));

  // An unmanaged window gets the state it will be mapped with, and stays hidden.
  EXPECT_TRUE(SetWindowPos(peer.ids[1], HWND_TOPMOST, 0, 0, 0, 0, kKeep));
  EXPECT_TRUE(Has(State(peer.ids[1]), "_NET_WM_STATE_ABOVE"));
  EXPECT_TRUE(Has(test::Shell("xwininfo -id " + test::Hex(peer.ids[1])), "IsUnMapped"));
}

TEST_F(Wm, ForegroundThroughActiveWindowRequest) {
  test::Peer peer({"--top", "one", "--top", "two"});
  for (HWND h : {peer.ids[0], peer.ids[1]}) {
    EXPECT_TRUE(SetForegroundWindow(h));
    EXPECT_TRUE(test::WaitFor([&] {
      return Has(test::Shell("xprop -root _NET_ACTIVE_WINDOW"), "window id # " + test::Hex(h));
    }));
  }
}

TEST_F(Wm, OwnWindowsStayOffTheTaskbarAndKeepTheirLayer) {
  win::Application& app = test::App();
  QWidget toolbar;
  toolbar.setWindowFlags(Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
  toolbar.resize(343, 39);
  toolbar.show();
  ASSERT_TRUE(test::WaitFor([&] { return toolbar.windowHandle()->isExposed(); }));
  HWND h = toolbar.windowHandle()->winId();
  auto skips = [](HWND w) {
    std::string s = State(w);
    return Has(s, "_NET_WM_STATE_SKIP_TASKBAR") && Has(s, "_NET_WM_STATE_SKIP_PAGER");
  };
  SetWindowLong(app.Handle(), GWL_EXSTYLE, WS_EX_TOOLWINDOW);
  EXPECT_TRUE(test::WaitFor([&] { return skips(h); }));
  EXPECT_TRUE(test::WaitFor([&] { return Has(State(h), "_NET_WM_STATE_ABOVE"); }));

  QWidget board;
  board.show();
  ASSERT_TRUE(test::WaitFor([&] { return board.windowHandle()->isExposed(); }));
  EXPECT_TRUE(test::WaitFor([&] { return skips(board.windowHandle()->winId()); }));
  board.hide();
  board.show();
  EXPECT_TRUE(test::WaitFor([&] { return board.windowHandle()->isExposed() && skips(board.windowHandle()->winId()); }));

  // The curtain takes the toolbar out of the top layer; its close puts it back.
  const UINT kKeep = SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE;
  EXPECT_TRUE(SetWindowPos(h, HWND_NOTOPMOST, 0, 0, 0, 0, kKeep));
  EXPECT_TRUE(test::WaitFor([&] { return !Has(State(h), "_NET_WM_STATE_ABOVE"); }));
  EXPECT_TRUE(SetWindowPos(h, HWND_TOPMOST, 0, 0, 0, 0, kKeep));
  EXPECT_TRUE(test::WaitFor([&] { return Has(State(h), "_NET_WM_STATE_ABOVE"); }));
  EXPECT_TRUE(skips(h));

  // Re-asserting the layer of a hidden toolbar does not show it.
  toolbar.hide();
  EXPECT_TRUE(SetWindowPos(h, HWND_TOPMOST, 0, 0, 0, 0, kKeep));
  EXPECT_FALSE(toolbar.isVisible());
  EXPECT_TRUE(Has(test::Shell("xwininfo -id " + test::Hex(h)), "IsUnMapped"));
  SetWindowLong(app.Handle(), GWL_EXSTYLE, 0);
}

TEST_F(Wm, PressingABorderlessFormDragsItThroughTheWindowManager) {
  test::DraggedForm form;
  form.setGeometry(100, 100, 396, 137);
  form.show();
  ASSERT_TRUE(test::WaitFor([&] { return form.windowHandle()->isExposed(); }));
  QPoint start = form.windowHandle()->framePosition();
  QPoint press = start + QPoint(10, 10);
  EXPECT_TRUE(test::DragMoves(form, press, press + QPoint(150, 80), start + QPoint(150, 80)));
}
