// The quarvel program's main flows as a teacher meets them on a desktop:
// under the window manager QUARVEL_TEST_WM names (openbox, xfwm4, metacity,
// icewm: one that is missing fails the test) or, without it, on a bare X
// server. Driven from outside with real pointer and key input, another
// program's window beside it; what a person sees is read back from the
// screen and from the window stacking.
#include <QDir>

#include <sys/stat.h>

#include <sstream>
#include <thread>

#include "tests/board/quarvel_run.h"

#include <gtest/gtest.h>

using namespace e2e;

namespace {

constexpr int kLeft = 1024 - 436;  // the toolbar's place at start
int ToolbarButton(int left) { return kLeft + left + 19; }
// The board's command strip ends one pixel short of the screen's right.
int BoardButton(int left) { return 1023 - 722 + left + 19; }
int CollapsedButton(int i) { return kLeft + 1 + 38 * i + 19; }
int FullButton(int left) { return 1024 - 589 + left + 19; }

constexpr long kSkyBlue = 0xF0CAA6, kBackground = 8421504, kBlack = 0, kWhite = 0xFFFFFF, kPen = 33023;

bool Has(const std::string& s, const std::string& part) { return s.find(part) != std::string::npos; }

std::string Wm() {
  const char* wm = getenv("QUARVEL_TEST_WM");
  return wm ? wm : "";
}

void Drag(int x0, int y0, int x1, int y1) {
  Shell("xdotool mousemove " + std::to_string(x0) + " " + std::to_string(y0) + " mousedown 1 mousemove " +
        std::to_string((x0 + x1) / 2) + " " + std::to_string((y0 + y1) / 2) + " mousemove " + std::to_string(x1) +
        " " + std::to_string(y1) + " mouseup 1");
}

// The program's windows and the other program's, bottom first, as the
// window manager stacks them (without one: the root's children).
std::vector<unsigned long> Stacking() {
  std::vector<unsigned long> ids;
  if (!Wm().empty()) {
    const std::string out = Shell("xprop -root -notype _NET_CLIENT_LIST_STACKING");
    for (size_t at = out.find("0x"); at != std::string::npos; at = out.find("0x", at + 2))
      ids.push_back(std::stoul(out.substr(at), nullptr, 16));
    return ids;
  }
  const std::string tree = Shell("xwininfo -root -children 2>/dev/null");
  for (size_t at = tree.find("\n     0x"); at != std::string::npos; at = tree.find("\n     0x", at + 1))
    ids.insert(ids.begin(), std::stoul(tree.substr(at + 6), nullptr, 16));
  return ids;
}

// True when `upper` is stacked above `lower`.
bool Above(unsigned long upper, unsigned long lower) {
  const std::vector<unsigned long> s = Stacking();
  auto u = std::find(s.begin(), s.end(), upper), l = std::find(s.begin(), s.end(), lower);
  return u != s.end() && l != s.end() && u > l;
}

// The window with the keyboard focus (the client window, under a
// reparenting window manager too).
unsigned long Focus() {
  const std::string out = Shell("xdotool getwindowfocus 2>/dev/null");
  return out.empty() ? 0 : std::stoul(out);
}

std::string State(unsigned long id) { return Shell("xprop -id " + Hex(id) + " _NET_WM_STATE"); }

// The screen is the board's, the whole of it: full screen for the window
// manager, panels and taskbars under it.
void ExpectCoversTheScreen(unsigned long id) {
  EXPECT_TRUE(WaitFor([&] { return GeometryOf(id) == (Geometry{0, 0, 1024, 768}); }))
      << GeometryOf(id).width << "x" << GeometryOf(id).height;
  if (!Wm().empty()) EXPECT_TRUE(Has(State(id), "_NET_WM_STATE_FULLSCREEN")) << State(id);
}

class QuarvelUnderWm : public ::testing::Test {
 public:
  static void SetUpTestSuite() {
    App();
    if (Wm().empty()) return;
    wm_ = new test::WindowManager(
        [] {
          Peer probe({"--top", "probe", "--geom", "10", "10", "50", "50"});
          return !probe.ids.empty() &&
                 WaitFor([&] { return Has(Shell("xwininfo -id " + Hex(probe.ids[0])), "IsViewable"); }, 1000);
        },
        Wm());
  }
  static void TearDownTestSuite() {
    delete wm_;
    wm_ = nullptr;
  }

 protected:
  void SetUp() override {
    if (!Wm().empty()) ASSERT_TRUE(wm_->Running()) << Wm() << " is not installed (scripts/install-deps)";
  }
  // The toolbar up, then another program's window over its place and
  // focused, as a teacher's desktop has it.
  void StartWithAWindowOverTheToolbar() {
    q_ = std::make_unique<Quarvel>();
    bar_ = Toolbar();
    ASSERT_NE(bar_, 0u);
    other_ = std::make_unique<Peer>(std::vector<std::string>{"--top", "other", "--geom", "450", "0", "500", "100"});
    ASSERT_EQ(other_->ids.size(), 1u);
    const unsigned long other = other_->ids[0];
    ASSERT_TRUE(WaitFor([&] { return Has(Shell("xwininfo -id " + Hex(other)), "IsViewable"); }));
    if (Wm().empty())
      Shell("xdotool windowraise " + std::to_string(other) + " windowfocus --sync " + std::to_string(other));
    else
      Shell("xdotool windowactivate --sync " + std::to_string(other));
    // The toolbar comes back over it (at once or on its next second).
    ASSERT_TRUE(WaitFor([&] { return Above(bar_, other) && ScreenPixel(kLeft + 200, 0) == kSkyBlue; }));
  }
  unsigned long OpenBoard() {
    Click(ToolbarButton(0), 20);  // 书写板
    unsigned long board = 0;
    EXPECT_TRUE(WaitFor([&] { return (board = VisibleWindow(u8"白板")) != 0; }));
    EXPECT_TRUE(WaitFor([] { return ScreenPixel(512, 400) == kBackground && ScreenPixel(0, 767) == kBackground; }));
    return board;
  }

  static test::WindowManager* wm_;
  std::unique_ptr<Quarvel> q_;
  std::unique_ptr<Peer> other_;
  unsigned long bar_ = 0;
};
test::WindowManager* QuarvelUnderWm::wm_ = nullptr;

}  // namespace

TEST_F(QuarvelUnderWm, TheToolbarStaysOverAnotherProgramAndStartsAndClosesTheKeyboard) {
  StartWithAWindowOverTheToolbar();

  Click(ToolbarButton(114), 20);  // 键盘
  // The keyboard's own window (its key windows carry the same text).
  const auto keyboardAbove = [&] {
    const std::vector<unsigned long> stacking = Stacking();
    std::istringstream ids(Shell("xdotool search --onlyvisible --name '^%\\*Y$' 2>/dev/null"));
    for (unsigned long id; ids >> id;)
      if (std::find(stacking.begin(), stacking.end(), id) != stacking.end()) return Above(id, other_->ids[0]);
    return false;
  };
  EXPECT_TRUE(WaitFor(keyboardAbove));
  // The toolbar still takes the press that closes it.
  Click(ToolbarButton(114), 20);
  EXPECT_TRUE(WaitFor([] { return VisibleWindow("%\\*Y") == 0; }));
  EXPECT_TRUE(q_->Running());
}

TEST_F(QuarvelUnderWm, TheBoardAndItsCurtainCoverTheWholeScreenAndTheCurtainLiftsOnAClick) {
  StartWithAWindowOverTheToolbar();
  const unsigned long board = OpenBoard();
  ASSERT_NE(board, 0u);
  ExpectCoversTheScreen(board);
  EXPECT_EQ(ScreenPixel(1023, 767), kBackground);
  EXPECT_TRUE(WaitFor([&] { return Focus() == board; })) << "focus " << Hex(Focus()) << ", board " << Hex(board);
  Drag(200, 300, 400, 300);
  EXPECT_TRUE(WaitFor([] { return ScreenPixel(300, 300) != kBackground; }));
  const long stroke = ScreenPixel(300, 300);

  Click(BoardButton(646), 20);  // 消隐投影
  unsigned long curtain = 0;
  ASSERT_TRUE(WaitFor([&] { return (curtain = VisibleWindow("Form5")) != 0; }));
  EXPECT_TRUE(WaitFor([] {
    return ScreenPixel(512, 400) == kBlack && ScreenPixel(0, 767) == kBlack && ScreenPixel(300, 300) == kBlack &&
           ScreenPixel(BoardButton(608), 20) == kBlack;
  }));
  ExpectCoversTheScreen(curtain);
  EXPECT_TRUE(Above(curtain, board));
  Click(500, 500);
  EXPECT_TRUE(WaitFor([] { return VisibleWindow("Form5") == 0; }));
  EXPECT_TRUE(WaitFor([&] { return ScreenPixel(300, 300) == stroke && ScreenPixel(512, 400) == kBackground; }));
  EXPECT_TRUE(WaitFor([&] { return Focus() == board; })) << "focus " << Hex(Focus()) << ", board " << Hex(board);
}

TEST_F(QuarvelUnderWm, TheToolbarsCurtainCoversTheToolbarToo) {
  StartWithAWindowOverTheToolbar();
  Click(ToolbarButton(191), 20);  // 消隐投影
  unsigned long curtain = 0;
  ASSERT_TRUE(WaitFor([&] { return (curtain = VisibleWindow("Form5")) != 0; }));
  EXPECT_TRUE(WaitFor([] { return ScreenPixel(kLeft + 200, 0) == kBlack && ScreenPixel(0, 767) == kBlack; }));
  ExpectCoversTheScreen(curtain);
  EXPECT_TRUE(Above(curtain, bar_));
  Click(500, 500);
  EXPECT_TRUE(WaitFor([] { return VisibleWindow("Form5") == 0 && ScreenPixel(kLeft + 200, 0) == kSkyBlue; }));
}

TEST_F(QuarvelUnderWm, TheBoardsSettingsComeUpOverItTakeTypingAndGiveTheBoardBackItsFocus) {
  StartWithAWindowOverTheToolbar();
  const unsigned long board = OpenBoard();
  ASSERT_NE(board, 0u);
  Click(BoardButton(608), 20);  // 设置
  unsigned long manager = 0;
  ASSERT_TRUE(WaitFor([&] { return (manager = VisibleWindow("Form6")) != 0; }));
  EXPECT_TRUE(WaitFor([&] { return Above(manager, board) && Focus() == manager; }));
  const Geometry g = GeometryOf(manager);
  ASSERT_EQ(g, (Geometry{232, 202, 560, 364}));
  // Its own face where the board would show.
  EXPECT_TRUE(WaitFor([&] { return ScreenPixel(g.x + 280, g.y + 4) != kBackground; }));
  Click(g.x + 8 + 10 + 90, g.y + 8 + 198 + 10);  // the teacher's name
  Shell("xdotool type --delay 20 Wang");
  Click(g.x + 8 + 10 + 28, g.y + 8 + 228 + 10);  // 添加
  Click(g.x + 464 + 44, g.y + 322 + 16);          // 确定
  ASSERT_TRUE(WaitFor([] { return VisibleWindow("Form6") == 0; }));
  const std::string settings =
      ReadAll(std::string(getenv("QUARVEL_DRIVES")) + "/C/Program files/Common files/system/datb.sec");
  EXPECT_TRUE(Has(settings, "=Wang\r\n")) << settings;
  EXPECT_TRUE(WaitFor([&] { return Focus() == board; })) << "focus " << Hex(Focus()) << ", board " << Hex(board);
  EXPECT_TRUE(WaitFor([&] { return Above(board, other_->ids[0]); }));
}

TEST_F(QuarvelUnderWm, TheColourDialogComesUpOverTheBoardAndGivesItBackItsFocus) {
  StartWithAWindowOverTheToolbar();
  const unsigned long board = OpenBoard();
  ASSERT_NE(board, 0u);
  Click(320, 10);  // the pen colour swatch
  unsigned long dialog = 0;
  ASSERT_TRUE(WaitFor([&] {
    const unsigned long f = Focus();
    return f != board && f != 0 && Above(dialog = f, board);
  }));
  Shell("xdotool key Escape");
  EXPECT_TRUE(WaitFor([&] { return Focus() == board; })) << Hex(Focus()) << " board " << Hex(board) << " dialog " << Hex(dialog) << " other " << Hex(other_->ids[0]) << Shell("xprop -root _NET_ACTIVE_WINDOW");
  // Nothing else came over the board.
  EXPECT_TRUE(WaitFor([&] { return Above(board, other_->ids[0]); }));
  EXPECT_EQ(ScreenPixel(1023, 767), kBackground);
}

TEST_F(QuarvelUnderWm, TheExitQuestionIsReadableAboveTheToolbar) {
  StartWithAWindowOverTheToolbar();
  Click(ToolbarButton(267), 20);  // 退出
  unsigned long box = 0;
  ASSERT_TRUE(WaitFor([&] { return (box = VisibleWindow(u8"提示信息")) != 0; }));
  EXPECT_TRUE(Has(Boxes(), u8"提示信息\t确实要退出系统吗？"));
  EXPECT_TRUE(WaitFor([&] { return Above(box, bar_) && Focus() == box; }))
      << Above(box, bar_) << " focus " << Hex(Focus()) << " box " << Hex(box);
  // Still so after the toolbar's every-second trip to the top.
  std::this_thread::sleep_for(std::chrono::milliseconds(2500));
  EXPECT_TRUE(Above(box, bar_));
  const Geometry g = GeometryOf(box);
  EXPECT_NE(ScreenPixel(g.x + g.width / 2, g.y + 10), kSkyBlue);
  Shell("xdotool key Escape");  // 否
  EXPECT_TRUE(WaitFor([] { return VisibleWindow(u8"提示信息") == 0; }));
  EXPECT_TRUE(q_->Running());
  Click(ToolbarButton(267), 20);
  ASSERT_TRUE(WaitFor([&] { return (box = VisibleWindow(u8"提示信息")) != 0 && Focus() == box; }));
  Shell("xdotool key Return");  // 是, the default
  EXPECT_TRUE(q_->Ended());
}

TEST_F(QuarvelUnderWm, TheAnnotatedScreenIsCapturedIntoTheBoard) {
  Peer desk({"--top", "desk", "--geom", "100", "150", "400", "300"});
  ASSERT_EQ(desk.ids.size(), 1u);
  Quarvel q;
  ASSERT_NE(Toolbar(), 0u);
  // Where the window manager put it.
  Geometry d;
  ASSERT_TRUE(WaitFor([&] { return (d = GeometryOf(desk.ids[0])).width == 400; }));
  const int y = d.y + 100, x0 = d.x + 50, x1 = d.x + 250;
  ASSERT_TRUE(WaitFor([&] { return ScreenPixel(x0 + 100, y) == kWhite; }));
  Click(ToolbarButton(38), 20);  // 标注
  unsigned long overlay = 0;
  ASSERT_TRUE(WaitFor([&] { return (overlay = VisibleWindow("Form2")) != 0; }));
  ExpectCoversTheScreen(overlay);
  EXPECT_TRUE(WaitFor([&] { return Focus() == overlay; }));
  Drag(x0, y, x1, y);
  ASSERT_TRUE(WaitFor([&] { return ScreenPixel(x0 + 100, y) == kPen; }));
  Click(CollapsedButton(5), 20);                                         // 展开
  ASSERT_TRUE(WaitFor([] { return ScreenPixel(1023, 30) != kBlack; }));  // the full bar
  Click(FullButton(329), 9);                                             // 截取画面到书写板当前页
  Click(FullButton(405), 20);                                            // 书写板
  unsigned long board = 0;
  ASSERT_TRUE(WaitFor([&] { return (board = VisibleWindow(u8"白板")) != 0 && VisibleWindow("Form2") == 0; }));
  ExpectCoversTheScreen(board);
  EXPECT_TRUE(WaitFor([&] { return ScreenPixel(x0 + 100, y) == kPen; }));
  EXPECT_EQ(ScreenPixel(x0 + 100, y + 50), kWhite);
}
