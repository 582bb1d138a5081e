// The writing-practice panel inside the test program: its timer and exit
// button against the windows of another X client standing in for the
// writing program and the taskbar.
#include <cstdlib>
#include <fstream>

#include "board/writing_panel.h"
#include "platform/fs/path.h"
#include "platform/text/gbk.h"
#include "platform/win/timing.h"
#include "platform/win/window_walk.h"
#include "tests/board/board_test.h"
#include "tests/platform/win/test_support.h"

#include <gtest/gtest.h>

using namespace boardtest;

namespace {

const std::string kCaption = "Chinese Characters 2.0";

bool Mapped(unsigned long id) {
  return Shell("xwininfo -id " + test::Hex(id) + " 2>/dev/null").find("IsViewable") != std::string::npos;
}

std::string Read(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(f), {});
}

// The bottom of the stacking order, unmapped windows included.
HWND Bottom() { return GetWindow(GetWindow(Form14->Handle, GW_HWNDFIRST), GW_HWNDLAST); }

void Raise(unsigned long id) { Shell("xdotool windowraise " + std::to_string(id)); }

class WritingPanel : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    setenv("QUARVEL_MSGBOX_LOG", "boxes.log", 1);
    setenv("QUARVEL_MSGBOX_ANSWERS", "answers", 1);
    StartUp();
  }
  void SetUp() override { ASSERT_EQ(WritingWindowCaption(), kCaption); }
  void TearDown() override {
    Form14->Timer1->Enabled = false;
    Form14->Hide();
    Form14->Tag = 0;
  }
  // Practice as the toolbar starts it.
  void Start() {
    Form14->Show();
    Form14->Tag = 1;
    Form14->Timer1->Enabled = true;
    ASSERT_TRUE(Shown(Form14));
  }
};

}  // namespace

TEST_F(WritingPanel, TheFormAsDescribed) {
  EXPECT_EQ(Form14->ClientWidth(), 551);
  EXPECT_EQ(Form14->ClientHeight(), 154);
  EXPECT_EQ(Form14->BorderStyle(), bsNone);
  EXPECT_EQ(Form14->FormStyle(), fsStayOnTop);
  EXPECT_EQ(Form14->Timer1->Interval(), 100u);
  EXPECT_FALSE(Form14->Timer1->Enabled());
  EXPECT_EQ(Form14->SpeedButton1->BoundsRect, Bounds(517, 7, 31, 30));
  EXPECT_EQ(Form14->SpeedButton2->BoundsRect, Bounds(517, 42, 31, 30));
  EXPECT_EQ(Form14->SpeedButton3->BoundsRect, Bounds(517, 80, 31, 30));
  EXPECT_EQ(Form14->SpeedButton1->Hint(), "退出");
  EXPECT_EQ(Form14->Label1->BoundsRect, Bounds(8, 132, 395, 13));
  EXPECT_EQ(Form14->Memo1->BoundsRect, Bounds(0, 0, 513, 125));
  EXPECT_EQ(Form14->Memo1->ScrollBars(), ssVertical);
  EXPECT_FALSE(Form14->Memo1->TabStop());
  EXPECT_EQ(Form14->Memo1->Font->Name(), "宋体");
  EXPECT_EQ(Form14->Memo1->Font->Height(), -15);
  ASSERT_EQ(Form14->Memo1->Lines->Count(), 3);
  EXPECT_EQ(Form14->Memo1->Lines->Strings[1], "拖动下面的放大镜图标选中任意一行可改变待书写框内容");
  EXPECT_EQ(Form14->OpenDialog1->Filter(), "*.txt|*.txt");
  EXPECT_EQ(Form14->SaveDialog1->Filter(), "*.txt|*.txt");
}

TEST_F(WritingPanel, TheMemoGoesToATextFileAndComesBackByteForByte) {
  Start();
  const std::string saved = winpath::ToLinux("C:\\练习.txt");
  std::ofstream("answers") << "FILE " << saved << "\n";
  ASSERT_TRUE(Click(Form14->SpeedButton3, [&] { return Read("answers").empty() && !Read(saved).empty(); }));
  const std::string bytes = Read(saved);
  EXPECT_EQ(bytes, gbk::FromUtf8(u8"可以在本栏内输入多行文字\r\n拖动下面的放大镜图标选中任意一行可改变待书写框内容\r\n"
                                 u8"也可以直接在待书写框内输入文字\r\n"));

  std::ofstream(winpath::ToLinux("C:\\词.txt"), std::ios::binary) << gbk::FromUtf8(u8"天地人\r\n\r\n日月\r\n");
  std::ofstream("answers") << "FILE " << winpath::ToLinux("C:\\词.txt") << "\n";
  ASSERT_TRUE(Click(Form14->SpeedButton2, [] { return Form14->Memo1->Lines->Count() == 3; }));
  EXPECT_EQ(Form14->Memo1->Lines->Strings[0], "天地人");
  EXPECT_EQ(Form14->Memo1->Lines->Strings[1], "");
  EXPECT_EQ(Form14->Memo1->Lines->Strings[2], "日月");
  std::ofstream("answers") << "FILE " << saved << "\n";
  ASSERT_TRUE(Click(Form14->SpeedButton3, [&] { return Read("answers").empty() && Read(saved) != bytes; }));
  EXPECT_EQ(Read(saved), Read(winpath::ToLinux("C:\\词.txt")));

  // Cancelled, nothing changes.
  std::ofstream("answers") << "CANCEL\n";
  ASSERT_TRUE(Click(Form14->SpeedButton2, [] { return Read("answers").empty(); }));
  EXPECT_EQ(Form14->Memo1->Lines->Strings[0], "天地人");
}

TEST_F(WritingPanel, AFileThatCannotBeReadIsReportedAndTheMemoStays) {
  Start();
  const int lines = Form14->Memo1->Lines->Count();
  const std::string missing = winpath::ToLinux("C:\\none.txt");
  std::ofstream("answers") << "FILE " << missing << "\nOK\n";
  remove("boxes.log");
  ASSERT_TRUE(Click(Form14->SpeedButton2, [] { return Read("boxes.log").find("Cannot open file") != std::string::npos; }));
  EXPECT_NE(Read("boxes.log").find("Quarvel\tCannot open file"), std::string::npos) << Read("boxes.log");
  EXPECT_EQ(Form14->Memo1->Lines->Count(), lines);
  EXPECT_TRUE(Form14->Visible());
}

TEST_F(WritingPanel, TheTimerKeepsTheWritingWindowAtTheBottomAndExitClosesItAndTheOtherMatch) {
  test::Peer writing({"--top", QString::fromStdString(kCaption + " X"), "--top", "Chinese Characters 2.",
                      "--top", QString::fromStdString(kCaption)});
  ASSERT_EQ(writing.ids.size(), 3u);
  Start();
  // The topmost match goes down at each tick; both matches take turns.
  EXPECT_TRUE(WaitFor([&] { return Bottom() == writing.ids[2] || Bottom() == writing.ids[0]; }));
  for (unsigned long id : {writing.ids[0], writing.ids[2]}) {
    Raise(id);
    EXPECT_TRUE(WaitFor([&] { return Bottom() == id; })) << id;
  }
  EXPECT_TRUE(Form14->Visible());
  EXPECT_EQ(Form14->WritingSeen, 1);

  ASSERT_TRUE(Click(Form14->SpeedButton1, [] { return !Form14->Visible(); }));
  EXPECT_TRUE(writing.WaitClosed(0));
  EXPECT_TRUE(writing.WaitClosed(2));
  EXPECT_FALSE(Form14->Timer1->Enabled());
  EXPECT_EQ(Form14->Tag, 0);
  // The shorter title is no match: it stays.
  test::WaitFor([] { return false; }, 300);
  EXPECT_TRUE(Mapped(writing.ids[1]));
}

TEST_F(WritingPanel, ATitleBeginningChineseCharaIsLoweredButNotClosed) {
  test::Peer other({"--top", "Chinese Charades"});
  ASSERT_EQ(other.ids.size(), 1u);
  Start();
  Raise(other.ids[0]);
  EXPECT_TRUE(WaitFor([&] { return Bottom() == other.ids[0]; }));
  ASSERT_TRUE(Click(Form14->SpeedButton1, [] { return !Form14->Visible(); }));
  test::WaitFor([] { return false; }, 300);
  EXPECT_TRUE(Mapped(other.ids[0]));
}

TEST_F(WritingPanel, PracticeHidesTheTaskbarAndEndsWhenTheWritingWindowHasGone) {
  test::Peer tray({"--top", "", "--class", "shell_traywnd", "Shell_TrayWnd"});
  ASSERT_EQ(tray.ids.size(), 1u);
  auto writing = std::make_unique<test::Peer>(QStringList{"--top", QString::fromStdString(kCaption)});
  ASSERT_EQ(writing->ids.size(), 1u);
  Start();
  EXPECT_TRUE(WaitFor([&] { return !Mapped(tray.ids[0]); }));
  EXPECT_TRUE(WaitFor([] { return Form14->WritingSeen == 1; }));
  // Hidden by the board, the panel goes on watching.
  Form14->Hide();
  ASSERT_TRUE(Form14->Timer1->Enabled());
  writing.reset();
  EXPECT_TRUE(WaitFor([] { return !Form14->Timer1->Enabled(); }));
  EXPECT_EQ(Form14->Tag, 0);
  EXPECT_FALSE(Form14->Visible());
  EXPECT_TRUE(WaitFor([&] { return Mapped(tray.ids[0]); }));
}

TEST_F(WritingPanel, AWritingProgramThatNeverShowsAWindowIsGivenUpOnlyAfterTheGracePeriod) {
  Start();
  // Ticks without the writing window, within the grace period.
  test::WaitFor([] { return false; }, 600);
  EXPECT_TRUE(Form14->Visible());
  EXPECT_TRUE(Form14->Timer1->Enabled());
  EXPECT_EQ(Form14->Tag, 1);
  Form14->PracticeStart = GetTickCount() - kWritingStartGrace;
  EXPECT_TRUE(WaitFor([] { return !Form14->Timer1->Enabled(); }));
  EXPECT_FALSE(Form14->Visible());
  EXPECT_EQ(Form14->Tag, 0);
}

TEST_F(WritingPanel, ShowingThePanelAgainDuringPracticeKeepsTheRun) {
  Start();
  Form14->WritingSeen = 1;
  const DWORD started = Form14->PracticeStart;
  Form14->Hide();
  Form14->Show();  // the board's return to the desktop
  EXPECT_EQ(Form14->PracticeStart, started);
  EXPECT_EQ(Form14->WritingSeen, 1);
}
