// The text and web panel in the real quarvel program, driven from outside:
// page files left by an earlier run go at start-up (and only the instance
// that stays clears them), a note typed on the board becomes its page's
// rich text file, the web engine is loaded only for the first web page, and
// the program ends cleanly with a web page shown.
#include "tests/board/quarvel_run.h"

#include <gtest/gtest.h>

using namespace e2e;

namespace {

constexpr int kToolbarLeft = 1024 - 436;
constexpr int kCommands = 1023 - 722;  // the board's command buttons begin here
bool Has(const std::string& s, const std::string& part) { return s.find(part) != std::string::npos; }

void Type(const std::string& text) { Shell("xdotool type --delay 30 '" + text + "'"); }

}  // namespace

TEST(PanelProgram, StartUpClearsThePageFilesOfAnEarlierRunButASecondInstanceDoesNot) {
  const std::string folder = ProgramFolder();
  for (const char* n : {"1", "50", "99", "100", "abc", "1.txt"}) fclose(fopen((folder + n).c_str(), "w"));
  Quarvel first;
  ASSERT_NE(Toolbar(), 0u);
  for (const char* n : {"1", "50", "99"}) EXPECT_FALSE(Exists(folder + n)) << n;
  for (const char* n : {"100", "abc", "1.txt"}) EXPECT_TRUE(Exists(folder + n)) << n;

  // A note of the running program stays when a second one starts and ends.
  fclose(fopen((folder + "3").c_str(), "w"));
  Quarvel second;
  EXPECT_TRUE(second.Ended());
  EXPECT_TRUE(Exists(folder + "3"));
  EXPECT_TRUE(first.Running());
  for (const char* n : {"3", "100", "abc", "1.txt"}) remove((folder + n).c_str());
}

TEST(PanelProgram, ANoteTypedOnTheBoardIsItsPagesRichTextFileAndTheProgramEndsWithAWebPageShown) {
  const std::string folder = ProgramFolder();
  {
    FILE* f = fopen((folder + "page.htm").c_str(), "w");
    fputs("<html><body style=\"margin:0;background:#00ff00\"></body></html>", f);
    fclose(f);
  }
  Quarvel q;
  ASSERT_NE(Toolbar(), 0u);
  // No page has shown a web view yet: the engine is not loaded.
  for (const char* library : {"libQt6WebEngineCore", "libQt6Quick", "libQt6Qml", "libplatform_vcl_webengine"})
    EXPECT_FALSE(q.HasLoaded(library)) << library;
  Click(kToolbarLeft + 19, 20);  // 书写板
  ASSERT_TRUE(WaitFor([] { return VisibleWindow(u8"白板") != 0; }));
  Click(kCommands + 477 + 19, 28);  // 导入
  // The panel at (0, 41) with its strip; the note below it.
  ASSERT_TRUE(WaitFor([] { return ScreenPixel(200, 300) == 0xA5A5A5 || ScreenPixel(200, 300) == 0x808080; }));
  Click(100, 200);
  Type("board note");
  Click(343 + 9, 41 + 9);  // close
  ASSERT_TRUE(WaitFor([&] { return Has(ReadAll(folder + "1"), "board note"); })) << ReadAll(folder + "1");
  EXPECT_EQ(ReadAll(folder + "1").rfind("{\\rtf1\\ansi\\ansicpg936", 0), 0u);

  // Open again, then the media button with a page of the program folder.
  Click(kCommands + 477 + 19, 28);  // 导入
  Answer("FILE " + folder + "page.htm\n");
  ASSERT_TRUE(WaitFor([] { return ScreenPixel(200, 300) != -1; }));
  Click(129 + 10, 41 + 13);  // media
  EXPECT_TRUE(WaitFor([] { return ScreenPixel(200, 300) == 0x00FF00; }, 30000));
  EXPECT_TRUE(q.HasLoaded("libQt6WebEngineCore"));

  // Back to the desktop, and out through the exit button.
  Click(kCommands + 684 + 19, 20);  // 操作演示
  ASSERT_TRUE(WaitFor([] { return VisibleWindow("Form1") != 0; }));
  Answer("YES\n");
  Click(kToolbarLeft + 267 + 19, 20);  // 退出
  EXPECT_TRUE(q.Ended(30000));
  EXPECT_FALSE(Exists(folder + "1"));
  remove((folder + "page.htm").c_str());
}
