// Exit through the toolbar's button with five pages in use: the page files
// 1..5 of the program folder go, the keyboard and the writing program are
// asked to close, and the program ends.
#include <QFile>

#include <cstdlib>
#include <fstream>

#include "board/writing_panel.h"
#include "tests/board/board_test.h"
#include "tests/platform/win/test_support.h"

#include <gtest/gtest.h>

using namespace boardtest;

TEST(Exit, DeletesThePageFilesOfThePagesInUseAndClosesKeyboardAndWritingProgram) {
  setenv("QUARVEL_WRITING_CAPTION", u8"写字 Writing 0123456789", 1);
  setenv("QUARVEL_MSGBOX_ANSWERS", "answers", 1);
  std::ofstream("answers") << "YES\n";
  StartUp();
  ASSERT_EQ(WritingWindowCaption(), "写字 Writing 0123456789");
  test::Peer others({"--top", "%*Y", "--top", u8"写字 Writing 0123456789", "--top", "%*Y "});
  ASSERT_EQ(others.ids.size(), 3u);

  // A program folder of the test's own: the build's is every test program's.
  const std::string folder = std::string(getenv("QUARVEL_TEST_DIR")) + "/";
  Form3->ProgramFolder = folder;
  for (int n = 1; n <= 6; ++n) std::ofstream(folder + std::to_string(n)) << "note " << n;
  for (int n = 2; n <= 5; ++n) Form3->Pages[n] = TForm3::NewPageBitmap();
  Form3->PageCount = 5;  // as page turning leaves it
  Form1->Show();
  ASSERT_TRUE(Shown(Form1));
  ASSERT_TRUE(Click(Form1->SpeedButton1, [] { return Application->Terminated(); }));
  for (int n = 1; n <= 5; ++n) EXPECT_FALSE(QFile::exists(QString::fromStdString(folder + std::to_string(n)))) << n;
  EXPECT_TRUE(QFile::exists(QString::fromStdString(folder + "6")));
  EXPECT_TRUE(others.WaitClosed(0));
  EXPECT_TRUE(others.WaitClosed(1));
  EXPECT_FALSE(Form1->Visible());
}
