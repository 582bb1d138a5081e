// The walk over other processes' windows, their texts, close requests,
// z-order and WindowFromPoint, on an X server without a window manager.
#include <QWidget>
#include <QWindow>

#include "platform/text/gbk.h"
#include "platform/win/hidden_window.h"
#include "platform/win/messages.h"
#include "platform/win/window_pos.h"
#include "platform/win/window_text.h"
#include "platform/win/window_walk.h"
#include "tests/platform/win/test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <thread>

using test::Peer;

namespace {

using test::Position;
using test::TopLevels;

std::string Text(HWND h, int n) {
  std::vector<char> buf(size_t(n) + 1, 'X');
  int len = GetWindowText(h, buf.data(), n);
  EXPECT_EQ(size_t(len), strlen(buf.data()));
  return std::string(buf.data(), size_t(len));
}

QString U(const char* gbkText) { return QString::fromStdString(gbk::ToUtf8(gbkText)); }

bool Mapped(HWND h) { return test::Shell("xwininfo -id " + test::Hex(h)).find("IsViewable") != std::string::npos; }

class Walk : public ::testing::Test {
 protected:
  void SetUp() override { test::App().SetTitle("Quarvel"); }
};

}  // namespace

TEST_F(Walk, FindsEveryTopLevelInStackingOrderUnmappedIncluded) {
  Peer peer({"--top", "xTouchMon", "--top", "xTouchMonABC", "--top", "Quarvel", "--unmapped"});
  ASSERT_EQ(peer.ids.size(), 3u);
  std::vector<HWND> walk = TopLevels();
  int first = Position(walk, peer.ids[0]), second = Position(walk, peer.ids[1]), third = Position(walk, peer.ids[2]);
  ASSERT_GE(first, 0);
  ASSERT_GE(second, 0);
  ASSERT_GE(third, 0);
  // Each new window goes on top of its siblings.
  EXPECT_LT(third, second);
  EXPECT_LT(second, first);
  EXPECT_GE(Position(walk, test::App().Handle()), 0);

  // The start-up walk of the toolbar: a 12-byte buffer compares 11 bytes.
  int quarvels = 0;
  std::vector<HWND> closeThese;
  for (HWND h : walk) {
    std::string t = Text(h, 12);
    if (t == "Quarvel") ++quarvels;
    if (t == "xTouchMon") closeThese.push_back(h);
  }
  EXPECT_EQ(quarvels, 2);  // ours and the unmapped one of the peer
  EXPECT_EQ(closeThese, std::vector<HWND>{peer.ids[0]});
  EXPECT_EQ(Text(peer.ids[1], 12), "xTouchMonAB");
  EXPECT_EQ(GetWindowText(peer.ids[1], std::vector<char>(12).data(), 12), 11);
}

TEST_F(Walk, StepsAndEnds) {
  Peer peer({"--top", "one"});
  HWND first = GetWindow(peer.ids[0], GW_HWNDFIRST);
  EXPECT_EQ(first, GetWindow(test::App().Handle(), GW_HWNDFIRST));
  HWND last = GetWindow(peer.ids[0], GW_HWNDLAST);
  EXPECT_EQ(GetWindow(last, GW_HWNDNEXT), 0u);
  EXPECT_EQ(GetWindow(first, GW_HWNDPREV), 0u);
  EXPECT_EQ(GetWindow(0, GW_HWNDFIRST), 0u);
  EXPECT_EQ(GetWindow(0x7fffff0, GW_HWNDFIRST), 0u);  // no such window
}

TEST_F(Walk, TextsAreGbkAndCutByBytesWithoutSplittingACharacter) {
  Peer peer({"--top", U("教师名列表中"), "--top", U("a教b"), "--top", "caf\xC3\xA9", "--latin1", "--top", ""});
  struct Case {
    int window, n;
    std::string want;
  } cases[] = {
      {0, 12, "教师名列表"},    // 11 bytes would end inside 中
      {0, 13, "教师名列表中"},  // 12 bytes and the NUL
      {0, 2, ""},
      {0, 1, ""},
      {1, 3, "a"},
      {1, 4, "a教"},
      {1, 100, "a教b"},
      {2, 12, "caf\xA8\xA6"},  // Latin-1 WM_NAME, é in GBK
      {3, 12, ""},
  };
  for (const Case& c : cases) EXPECT_EQ(Text(peer.ids[c.window], c.n), c.want) << c.window << " " << c.n;
  char untouched[4] = "abc";
  EXPECT_EQ(GetWindowText(peer.ids[0], untouched, 0), 0);
  EXPECT_STREQ(untouched, "abc");
  EXPECT_EQ(GetWindowText(peer.ids[0], nullptr, 10), 0);
  EXPECT_EQ(win::WindowText(peer.ids[0]), "教师名列表中");
}

TEST_F(Walk, FindWindowByClassAndExactText) {
  Peer peer({"--top", "xTouchMon", "--class", "peer", "PeerClass", "--top", "other"});
  EXPECT_EQ(FindWindow(nullptr, "xTouchMon"), peer.ids[0]);
  EXPECT_EQ(FindWindow("peerclass", nullptr), peer.ids[0]);
  EXPECT_EQ(FindWindow("PEER", "xTouchMon"), peer.ids[0]);
  EXPECT_EQ(FindWindow("peerclass", "other"), 0u);
  EXPECT_EQ(FindWindow(nullptr, "xTouchMo"), 0u);
  EXPECT_EQ(FindWindow("shell_traywnd", nullptr), 0u);
}

TEST_F(Walk, HiddenWindowsAreFoundByTheirClass) {
  HWND plain = win::CreateHiddenWindow("TwainLink");
  HWND classed = win::CreateHiddenWindow("TwainLink", "TWAINLINK_VIRTUALWINDOW");
  ASSERT_NE(classed, 0u);
  EXPECT_EQ(FindWindow("twainlink_virtualwindow", nullptr), classed);
  EXPECT_EQ(FindWindow("TWAINLINK_VIRTUALWINDOW", "TwainLink"), classed);
  EXPECT_TRUE(DestroyWindow(classed));
  EXPECT_EQ(FindWindow("TWAINLINK_VIRTUALWINDOW", nullptr), 0u);
  EXPECT_TRUE(DestroyWindow(plain));
}

TEST_F(Walk, CloseRequestsReachOtherProcessesOnlyWhenTheyTakeThem) {
  Peer peer({"--top", "keeps", "--nodelete", "--top", "%*Y", "--top", "%*Y"});
  EXPECT_EQ(SendMessage(peer.ids[0], WM_CLOSE, 0, 0), 0);
  EXPECT_EQ(SendMessage(peer.ids[1], WM_USER, 0, 0), 0);  // ignored
  // Every window whose text is "%*Y" gets WM_CLOSE, the walk going on.
  for (HWND h : TopLevels())
    if (Text(h, 12) == "%*Y") SendMessage(h, WM_CLOSE, 0, 0);
  ASSERT_TRUE(peer.WaitClosed(1));
  ASSERT_TRUE(peer.WaitClosed(2));
  EXPECT_FALSE(IsWindow(peer.ids[1]));
  EXPECT_TRUE(IsWindow(peer.ids[0]));  // asked before the others, never told
}

TEST_F(Walk, PostedCloseFromAWorkerThreadClosesAForeignWindow) {
  Peer peer({"--top", "xTouchMon"});
  BOOL posted = FALSE;
  std::thread t([&] { posted = PostMessage(peer.ids[0], WM_CLOSE, 0, 0); });
  t.join();
  EXPECT_TRUE(posted);
  EXPECT_TRUE(peer.WaitClosed(0));
  EXPECT_TRUE(peer.WaitExited());
}

TEST_F(Walk, ChildWindowsOfOtherProcessesHaveTextsAndAreFoundAtAPoint) {
  Peer peer({"--top", "%*Y", "--geom", "100", "100", "300", "200", "--child", "%*q", "10", "10", "50", "30",
             "--child", "%* ", "100", "10", "50", "30"});
  HWND host = peer.ids[0], q = peer.ids[1], space = peer.ids[2];
  EXPECT_EQ(Text(q, 12), "%*q");
  EXPECT_EQ(WindowFromPoint({115, 115}), q);
  EXPECT_EQ(WindowFromPoint({205, 115}), space);
  EXPECT_EQ(WindowFromPoint({300, 250}), host);
  EXPECT_EQ(WindowFromPoint({900, 700}), 0u);  // only the root there
  // Siblings of a child, topmost first.
  EXPECT_EQ(GetWindow(q, GW_HWNDFIRST), space);
  EXPECT_EQ(GetWindow(space, GW_HWNDNEXT), q);
  EXPECT_EQ(GetWindow(host, GW_CHILD), space);
}

TEST_F(Walk, PublishedChildTextsAreReadByOtherProcesses) {
  QWidget form;
  form.setGeometry(400, 300, 343, 39);
  auto* panel1 = new QWidget(&form);
  panel1->setGeometry(0, 0, 343, 39);
  auto* panel2 = new QWidget(panel1);
  panel2->setGeometry(76, 1, 38, 37);
  win::PublishWindowText(panel1, "%*Z");
  win::PublishWindowText(panel2, "  @&*");
  form.show();
  ASSERT_TRUE(test::WaitFor([&] { return form.windowHandle() && Mapped(form.windowHandle()->winId()); }));
  HWND p1 = panel1->windowHandle()->winId(), p2 = panel2->windowHandle()->winId();
  std::string xprop = test::Shell("xprop -id " + test::Hex(p1) + " WM_NAME _NET_WM_NAME");
  EXPECT_NE(xprop.find("WM_NAME(STRING) = \"%*Z\""), std::string::npos) << xprop;
  EXPECT_NE(xprop.find("_NET_WM_NAME(UTF8_STRING) = \"%*Z\""), std::string::npos) << xprop;
  EXPECT_EQ(Text(p2, 25), "  @&*");
  EXPECT_EQ(WindowFromPoint({400 + 80, 300 + 5}), p2);
  EXPECT_EQ(WindowFromPoint({400 + 5, 300 + 5}), p1);

  // SetWindowText on a published child changes what is published.
  EXPECT_TRUE(SetWindowText(p2, "提示"));
  EXPECT_EQ(Text(panel2->windowHandle()->winId(), 25), "提示");

  // Moved to another form, the panel keeps its text.
  QWidget other;
  other.setGeometry(100, 500, 200, 50);
  other.show();
  panel2->setParent(&other);
  panel2->move(10, 5);
  panel2->show();
  ASSERT_TRUE(test::WaitFor([&] { return Mapped(panel2->windowHandle()->winId()); }));
  EXPECT_TRUE(test::WaitFor([&] { return Text(panel2->windowHandle()->winId(), 25) == "提示"; }));
  EXPECT_EQ(WindowFromPoint({100 + 15, 500 + 10}), HWND(panel2->windowHandle()->winId()));
}

TEST_F(Walk, ZOrderWithoutAWindowManager) {
  Peer peer({"--top", "low", "--geom", "50", "50", "200", "200", "--top", "high", "--geom", "100", "100", "200", "200",
             "--top", "hidden", "--unmapped", "--geom", "120", "120", "50", "50"});
  HWND low = peer.ids[0], high = peer.ids[1], hidden = peer.ids[2];
  const UINT kKeep = SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE;
  ASSERT_EQ(kKeep, 19u);
  EXPECT_EQ(WindowFromPoint({150, 150}), high);
  EXPECT_TRUE(SetWindowPos(low, HWND_TOPMOST, 0, 0, 0, 0, kKeep));
  EXPECT_EQ(WindowFromPoint({150, 150}), low);
  EXPECT_LT(Position(TopLevels(), low), Position(TopLevels(), high));
  EXPECT_TRUE(SetWindowPos(low, HWND_BOTTOM, 0, 0, 0, 0, kKeep));
  EXPECT_EQ(WindowFromPoint({150, 150}), high);
  EXPECT_EQ(GetWindow(low, GW_HWNDLAST), low);
  EXPECT_TRUE(SetWindowPos(low, HWND_TOP, 0, 0, 0, 0, kKeep));
  EXPECT_EQ(WindowFromPoint({150, 150}), low);

  // Re-asserting the layer never maps a hidden window; SWP_SHOWWINDOW does.
  EXPECT_TRUE(SetWindowPos(hidden, HWND_TOPMOST, 0, 0, 0, 0, kKeep));
  EXPECT_FALSE(Mapped(hidden));
  EXPECT_TRUE(SetWindowPos(hidden, HWND_TOPMOST, 0, 0, 0, 0, kKeep | SWP_SHOWWINDOW));
  EXPECT_TRUE(Mapped(hidden));
  EXPECT_EQ(WindowFromPoint({130, 130}), hidden);
  EXPECT_TRUE(ShowWindow(hidden, SW_HIDE));  // it was visible
  EXPECT_FALSE(Mapped(hidden));
  EXPECT_FALSE(ShowWindow(hidden, SW_RESTORE));
  EXPECT_TRUE(Mapped(hidden));

  // Moving and sizing a foreign window.
  EXPECT_TRUE(SetWindowPos(hidden, HWND_TOP, 500, 400, 60, 40, SWP_NOACTIVATE));
  EXPECT_EQ(WindowFromPoint({530, 420}), hidden);

  EXPECT_FALSE(SetWindowPos(0x7fffff0, HWND_TOPMOST, 0, 0, 0, 0, kKeep));
  EXPECT_FALSE(ShowWindow(0x7fffff0, SW_SHOW));
}

// What a window manager does for transients, done without one: a window
// kept on top takes its own dialogs along, above it.
TEST_F(Walk, AWindowRaisedWithoutAWindowManagerKeepsItsTransientsAboveIt) {
  QWidget bar;
  bar.setWindowFlags(Qt::FramelessWindowHint);
  bar.setGeometry(300, 0, 340, 40);
  bar.show();
  QWidget box(&bar, Qt::Dialog);
  box.setGeometry(350, 0, 190, 70);
  box.show();
  const HWND b = HWND(bar.windowHandle()->winId()), d = HWND(box.windowHandle()->winId());
  ASSERT_TRUE(test::WaitFor([&] { return Mapped(b) && Mapped(d); }));
  ASSERT_TRUE(test::Shell("xprop -id " + test::Hex(d) + " WM_TRANSIENT_FOR").find(test::Hex(b)) != std::string::npos);
  for (int i = 0; i < 2; ++i) {
    EXPECT_TRUE(SetWindowPos(b, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE));
    EXPECT_LT(Position(TopLevels(), d), Position(TopLevels(), b));
    EXPECT_EQ(WindowFromPoint({400, 20}), d);
  }
}

TEST_F(Walk, SetForegroundWindowFocusesExistingWindowsOnly) {
  Peer peer({"--top", "front", "--geom", "10", "10", "100", "100"});
  EXPECT_FALSE(SetForegroundWindow(0x7fffff0));
  EXPECT_FALSE(SetForegroundWindow(0));
  EXPECT_TRUE(SetForegroundWindow(peer.ids[0]));
  std::string focus = test::Shell("xdotool getwindowfocus");
  EXPECT_EQ(std::stoul(focus), peer.ids[0]);
}

TEST_F(Walk, SetWindowTextOfOwnFormsAndForeignWindows) {
  QWidget form;
  form.show();
  HWND h = form.windowHandle()->winId();
  EXPECT_TRUE(SetWindowText(h, "%*Y"));
  EXPECT_EQ(form.windowTitle(), "%*Y");
  EXPECT_TRUE(test::WaitFor([&] { return Text(h, 12) == "%*Y"; }));
  EXPECT_EQ(FindWindow(nullptr, "%*Y"), h);
  Peer peer({"--top", "old"});
  EXPECT_TRUE(SetWindowText(peer.ids[0], "新的"));
  EXPECT_EQ(Text(peer.ids[0], 12), "新的");
  EXPECT_FALSE(SetWindowText(0x7fffff0, "x"));
}
