// The quarvel program on a 1024 x 768 x 24 X server, looked at and driven
// only from outside: its windows by their texts, real pointer input, the
// screen as ImageMagick reads it, and the windows of another X client.
#include <sys/stat.h>

#include <algorithm>
#include <memory>

#include "tests/board/quarvel_run.h"

#include <gtest/gtest.h>

using namespace e2e;

namespace {

constexpr int kLeft = 1024 - 436;  // the toolbar's place at start
// The middle of toolbar button at `left` (38 x 38 at top 1).
int ButtonX(int left) { return kLeft + left + 19; }
constexpr int kButtonY = 20;

constexpr long kSkyBlue = 0xF0CAA6;
constexpr long kBackground = 8421504;  // the default teacher's background, without a settings file

bool Has(const std::string& s, const std::string& part) { return s.find(part) != std::string::npos; }

}  // namespace

TEST(Quarvel, TheToolbarSitsTopRightAsAToolWindowAndShrinksAndRestores) {
  Quarvel q;
  const unsigned long bar = Toolbar();
  ASSERT_NE(bar, 0u);
  EXPECT_TRUE(WaitFor([&] { return GeometryOf(bar) == Geometry{kLeft, 0, 343, 39}; }));
  const std::string state = Shell("xprop -id " + Hex(bar) + " _NET_WM_STATE");
  EXPECT_TRUE(Has(state, "_NET_WM_STATE_ABOVE")) << state;
  EXPECT_TRUE(Has(state, "_NET_WM_STATE_SKIP_TASKBAR")) << state;
  // The strip and the key-lock panel publish their window texts.
  EXPECT_NE(Shell("xdotool search --name '^%\\*Z$'"), "");
  EXPECT_NE(Shell("xdotool search --name '^  @&\\*$'"), "");
  EXPECT_EQ(ScreenPixel(kLeft + 200, 0), kSkyBlue);
  EXPECT_EQ(Boxes(), "");  // a 24-bit screen: no question

  Click(ButtonX(305), kButtonY);  // 微缩
  EXPECT_TRUE(WaitFor([&] { return GeometryOf(bar) == Geometry{kLeft + 275, 0, 16, 16}; })) << GeometryOf(bar).x;
  Click(kLeft + 275 + 8, 8);  // 恢复
  EXPECT_TRUE(WaitFor([&] { return GeometryOf(bar) == Geometry{kLeft, 0, 342, 40}; })) << GeometryOf(bar).width;
  EXPECT_TRUE(q.Running());
}

TEST(Quarvel, ASecondInstanceEndsQuietlyWhileTheFirstStays) {
  Quarvel first;
  ASSERT_NE(Toolbar(), 0u);
  Quarvel second;
  EXPECT_TRUE(second.Ended());
  EXPECT_TRUE(first.Running());
  EXPECT_NE(VisibleWindow("Form1"), 0u);
  EXPECT_EQ(Shell("xdotool search --onlyvisible --name '^Form1$' | wc -l"), "1\n");
  EXPECT_EQ(Boxes(), "");
}

TEST(Quarvel, OfFourStartedAtOnceExactlyOneStays) {
  for (int round = 0; round < 3; ++round) {
    std::vector<std::unique_ptr<Quarvel>> runs;
    for (int i = 0; i < 4; ++i) runs.push_back(std::make_unique<Quarvel>());
    const auto running = [&] {
      return std::count_if(runs.begin(), runs.end(), [](const std::unique_ptr<Quarvel>& q) { return q->Running(); });
    };
    // The others end by themselves once each has seen the rest.
    EXPECT_TRUE(WaitFor([&] { return running() <= 1; }, 60000)) << running();
    EXPECT_EQ(running(), 1) << "round " << round;
    EXPECT_TRUE(WaitFor([] { return Shell("xdotool search --onlyvisible --name '^Form1$' | wc -l") == "1\n"; }));
    EXPECT_EQ(Boxes(), "");
  }
}

TEST(Quarvel, StartUpClosesTheWindowTitledXTouchMonAndNoOther) {
  Peer peer({"--top", "xTouchMonABC", "--top", "xTouchMon", "--top", "xTouchMo", "--top", "xTouchMonA"});
  ASSERT_EQ(peer.ids.size(), 4u);
  Quarvel q;
  ASSERT_NE(Toolbar(), 0u);
  EXPECT_TRUE(WaitFor([&] { return peer.WasClosed(1); }));
  // The start-up walk is over once the toolbar is up.
  EXPECT_EQ(peer.Closed(), std::vector<int>{1});
}

TEST(Quarvel, TheKeyboardButtonClosesEveryKeyboardWindowOrStartsTheKeyboard) {
  const std::string started = TestDir() + "/tappel.log";
  const std::string folder = ProgramFolder();
  {
    // A stand-in for the keyboard program, found by the bare name "tappel.dll".
    NewFile(folder + "tappel", "#!/bin/sh\necho started >> '" + started + "'\n");
    chmod((folder + "tappel").c_str(), 0755);
  }
  Peer peer({"--top", "%*Y", "--top", "%*YZ", "--top", "%*Y"});
  Quarvel q;
  ASSERT_NE(Toolbar(), 0u);
  Click(ButtonX(114), kButtonY);
  EXPECT_TRUE(WaitFor([&] { return peer.WasClosed(0) && peer.WasClosed(2); }));
  // No keyboard window left but "%*YZ": the next press starts the program.
  Click(ButtonX(114), kButtonY);
  EXPECT_TRUE(WaitFor([&] { return Exists(started); }));
  EXPECT_FALSE(peer.WasClosed(1));
  // Both presses ran once each: the first started nothing.
  EXPECT_TRUE(WaitFor([&] { return ReadAll(started) == "started\n"; }, 2000)) << ReadAll(started);
  remove((folder + "tappel").c_str());
}

TEST(Quarvel, TheToolbarComesBackOnTopEverySecondWithoutTakingTheFocus) {
  Quarvel q;
  const unsigned long bar = Toolbar();
  ASSERT_NE(bar, 0u);
  Peer cover({"--top", "cover", "--geom", "700", "0", "200", "60"});
  ASSERT_EQ(cover.ids.size(), 1u);
  Shell("xdotool windowfocus --sync " + std::to_string(cover.ids[0]));
  EXPECT_TRUE(WaitFor([] { return ScreenPixel(750, 0) == kSkyBlue; }, 5000));
  EXPECT_EQ(std::stoul(Shell("xdotool getwindowfocus")), cover.ids[0]);
}

TEST(Quarvel, TheBoardButtonShowsTheFilledBoardAndBackToTheDesktopShowsTheToolbar) {
  Quarvel q;
  ASSERT_NE(Toolbar(), 0u);
  Click(ButtonX(0), kButtonY);  // 书写板
  EXPECT_TRUE(WaitFor([] { return ScreenPixel(1023, 38) == kBackground; }));
  EXPECT_EQ(ScreenPixel(512, 400), kBackground);
  EXPECT_EQ(ScreenPixel(0, 767), kBackground);
  EXPECT_EQ(VisibleWindow("Form1"), 0u);
  const unsigned long board = VisibleWindow(u8"白板");
  ASSERT_NE(board, 0u);
  EXPECT_TRUE(GeometryOf(board) == (Geometry{0, 0, 1024, 768}));
  Click(1023 - 722 + 684 + 19, 20);  // 操作演示
  EXPECT_TRUE(WaitFor([] { return VisibleWindow("Form1") != 0 && VisibleWindow(u8"白板") == 0; }));
}

TEST(Quarvel, ExitAsksFirstThenDeletesThePageFilesAndClosesKeyboardAndWritingProgram) {
  const std::string folder = ProgramFolder();
  Peer peer({"--top", "%*Y", "--top", "Chinese Characters 2.0", "--top", "Chinese Characters 2"});
  Quarvel q;
  ASSERT_NE(Toolbar(), 0u);
  // Page files of this run (those of earlier runs go at start-up).
  for (const char* n : {"1", "2"}) fclose(fopen((folder + n).c_str(), "w"));
  // The first box is answered by hand (Escape is its No), so that the test
  // sees it go before the next click: a click while it is up is not the
  // toolbar's.
  Answer("");
  Click(ButtonX(267), kButtonY);  // 退出
  unsigned long box = 0;
  ASSERT_TRUE(WaitFor([&] { return (box = VisibleWindow(u8"提示信息")) != 0; }));
  EXPECT_TRUE(Has(Boxes(), u8"提示信息\t确实要退出系统吗？"));
  Shell("xdotool windowfocus --sync " + std::to_string(box) + " key Escape");
  EXPECT_TRUE(WaitFor([] { return Shell(u8"xdotool search --name '^提示信息$' 2>/dev/null").empty(); }));
  EXPECT_TRUE(q.Running());
  EXPECT_TRUE(Exists(folder + "1"));
  EXPECT_TRUE(peer.Closed().empty());

  Answer("YES\n");
  Click(ButtonX(267), kButtonY);
  EXPECT_TRUE(q.Ended());
  // One page in use: its file goes, the other stays.
  EXPECT_FALSE(Exists(folder + "1"));
  EXPECT_TRUE(Exists(folder + "2"));
  EXPECT_TRUE(WaitFor([&] { return peer.WasClosed(0) && peer.WasClosed(1); }));
  EXPECT_FALSE(peer.WasClosed(2));
  remove((folder + "2").c_str());
}

TEST(Quarvel, AClosingRequestFromOutsideEndsTheProgramAndClosesTheKeyboard) {
  Peer keyboard({"--top", "%*Y"});
  Quarvel q;
  const unsigned long bar = Toolbar();
  ASSERT_NE(bar, 0u);
  Shell(Bin() + "/../tests/win_peer --send-close " + Hex(bar));
  EXPECT_TRUE(q.Ended());
  EXPECT_TRUE(WaitFor([&] { return keyboard.WasClosed(0); }));
}
