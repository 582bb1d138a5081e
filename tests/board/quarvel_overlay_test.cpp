// The annotation overlay and the writing-practice panel of the real quarvel
// program, opened from its toolbar and worked with real pointer input; the
// screen read back with ImageMagick, the windows with xdotool.
#include <sys/stat.h>

#include "tests/board/quarvel_run.h"

#include <gtest/gtest.h>

using namespace e2e;

namespace {

constexpr int kLeft = 1024 - 436;  // the toolbar, and the overlay's collapsed bar
int ToolbarButton(int left) { return kLeft + left + 19; }
int CollapsedButton(int i) { return kLeft + 1 + 38 * i + 19; }
int FullButton(int left) { return 1024 - 589 + left + 19; }

constexpr long kWhite = 0xFFFFFF, kBlack = 0, kPen = 33023;

void Drag(int x0, int y0, int x1, int y1) {
  Shell("xdotool mousemove " + std::to_string(x0) + " " + std::to_string(y0) + " mousedown 1 mousemove " +
        std::to_string((x0 + x1) / 2) + " " + std::to_string((y0 + y1) / 2) + " mousemove " + std::to_string(x1) +
        " " + std::to_string(y1) + " mouseup 1");
}

// The bottom of the root's children (xwininfo lists them from the top).
unsigned long Bottom() {
  const std::string tree = Shell("xwininfo -root -children 2>/dev/null");
  size_t at = tree.rfind("\n     0x");
  return at == std::string::npos ? 0 : std::stoul(tree.substr(at + 6), nullptr, 16);
}

void Script(const std::string& path, const std::string& body) {
  FILE* f = fopen(path.c_str(), "w");
  fprintf(f, "#!/bin/sh\n%s\n", body.c_str());
  fclose(f);
  chmod(path.c_str(), 0755);
}

}  // namespace

TEST(QuarvelOverlay, AnnotatesAFrozenDesktopAndGoesBackToIt) {
  Peer desk({"--top", "desk", "--geom", "100", "150", "400", "300"});
  ASSERT_EQ(desk.ids.size(), 1u);
  Quarvel q;
  ASSERT_NE(Toolbar(), 0u);
  Click(ToolbarButton(38), 20);  // 标注
  ASSERT_TRUE(WaitFor([] { return VisibleWindow("Form2") != 0; }));
  EXPECT_EQ(VisibleWindow("Form1"), 0u);
  // Where the toolbar was, the desktop shows, under the overlay's own bar.
  EXPECT_TRUE(WaitFor([] { return ScreenPixel(kLeft + 200, 45) == kBlack; }));
  EXPECT_EQ(ScreenPixel(300, 300), kWhite);

  Drag(150, 200, 350, 200);
  EXPECT_TRUE(WaitFor([] { return ScreenPixel(250, 200) == kPen; }));
  Click(CollapsedButton(8), 20);  // 操作演示
  EXPECT_TRUE(WaitFor([] { return VisibleWindow("Form2") == 0 && VisibleWindow("Form1") != 0; }));
  EXPECT_TRUE(WaitFor([] { return ScreenPixel(250, 200) == kWhite; }));
  EXPECT_TRUE(q.Running());
}

TEST(QuarvelOverlay, TheAnnotatedScreenCapturedGoesOntoTheBoard) {
  Peer desk({"--top", "desk", "--geom", "100", "150", "400", "300"});
  ASSERT_EQ(desk.ids.size(), 1u);
  Quarvel q;
  ASSERT_NE(Toolbar(), 0u);
  Click(ToolbarButton(38), 20);  // 标注
  ASSERT_TRUE(WaitFor([] { return VisibleWindow("Form2") != 0 && ScreenPixel(300, 300) == kWhite; }));
  Drag(150, 200, 350, 200);
  ASSERT_TRUE(WaitFor([] { return ScreenPixel(250, 200) == kPen; }));
  Click(CollapsedButton(5), 20);                                    // 展开
  ASSERT_TRUE(WaitFor([] { return ScreenPixel(1023, 30) != kBlack; }));  // the full bar
  Click(FullButton(329), 9);                                        // 截取画面到书写板当前页
  Click(FullButton(405), 20);                                       // 书写板
  ASSERT_TRUE(WaitFor([] { return VisibleWindow(u8"白板") != 0 && VisibleWindow("Form2") == 0; }));
  // The board's page is the annotated desktop (below its tool strip).
  EXPECT_TRUE(WaitFor([] { return ScreenPixel(250, 200) == kPen; }));
  EXPECT_EQ(ScreenPixel(300, 300), kWhite);
  EXPECT_EQ(ScreenPixel(50, 600), kBlack);
  // The page's background probe is the desktop's, not the overlay's bar.
  EXPECT_EQ(ScreenPixel(1023, 38), kBlack);
}

TEST(QuarvelPractice, TheStartUpCommandRunsOnceAndTheWritingProgramIsWatchedAndClosed) {
  const std::string folder = ProgramFolder();
  const std::string ran = TestDir() + "/auto-ip.log";
  Script(folder + "auto-ip.cmd", "echo ran >> '" + ran + "'");
  // The writing program: a window with its title (a longer title matches too).
  Script(folder + "ani", "exec '" + Bin() + "/../tests/win_peer' --top 'Chinese Characters 2.0 Pro'");
  Quarvel q;
  ASSERT_NE(Toolbar(), 0u);
  EXPECT_TRUE(WaitFor([&] { return ReadAll(ran) == "ran\n"; }));

  Click(ToolbarButton(153), 20);  // 书写练习
  unsigned long writing = 0;
  ASSERT_TRUE(WaitFor([&] { return (writing = VisibleWindow("Chinese Characters 2.0 Pro")) != 0; }));
  const unsigned long panel = VisibleWindow("Form14");
  ASSERT_NE(panel, 0u);
  EXPECT_TRUE(GeometryOf(panel) == (Geometry{236, 72, 551, 154}));
  // Raised, the writing window goes back to the bottom: the panel shows above it.
  Shell("xdotool windowraise " + std::to_string(writing));
  EXPECT_TRUE(WaitFor([&] { return Bottom() == writing; })) << Bottom();

  Click(236 + 517 + 15, 72 + 7 + 15);  // 退出
  EXPECT_TRUE(WaitFor([] { return VisibleWindow("Chinese Characters 2.0 Pro") == 0; }));
  EXPECT_TRUE(WaitFor([] { return VisibleWindow("Form14") == 0; }));
  EXPECT_EQ(ReadAll(ran), "ran\n");
  EXPECT_TRUE(q.Running());
  remove((folder + "ani").c_str());
  remove((folder + "auto-ip.cmd").c_str());
}

TEST(QuarvelHelp, TheToolbarsHelpButtonShowsTheHelpPageCentredUntilOk) {
  Quarvel q;
  ASSERT_NE(Toolbar(), 0u);
  Click(ToolbarButton(229), 20);  // 帮助
  unsigned long help = 0;
  ASSERT_TRUE(WaitFor([&] { return (help = VisibleWindow(u8"帮助")) != 0; }));
  EXPECT_TRUE(WaitFor([&] { return GeometryOf(help) == (Geometry{116, 126, 792, 516}); }));
  // The page's heading, in its own colour (#d05000), inside the browser.
  const auto headingShown = [] {
    const std::string txt = Shell("import -window root -crop 791x120+116+172 -depth 8 txt:- 2>/dev/null");
    for (size_t at = txt.find('#'); at != std::string::npos; at = txt.find('#', at + 1)) {
      const unsigned long rgb = strtoul(txt.substr(at + 1, 6).c_str(), nullptr, 16);
      const int r = int(rgb >> 16), g = int((rgb >> 8) & 0xFF), b = int(rgb & 0xFF);
      if (r > 180 && g > 50 && g < 110 && b < 40) return true;
    }
    return false;
  };
  EXPECT_TRUE(WaitFor(headingShown, 60000));
  Click(116 + 353 + 40, 126 + 484 + 14);  // 确定
  EXPECT_TRUE(WaitFor([] { return VisibleWindow(u8"帮助") == 0; }));
  EXPECT_TRUE(q.Running());
}
