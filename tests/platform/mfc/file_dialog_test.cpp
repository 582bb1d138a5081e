// CFileDialog over the layer's file dialog: GBK texts and the '|' filter form
// in, the system's path out; answered through the environment or by a person.
#include "platform/mfc/file_dialog.h"

#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QTimer>

#include "platform/fs/path.h"
#include "platform/text/gbk.h"
#include "tests/platform/win/answered_test.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace {

using test::Read;

class FileDialogTest : public test::AnsweredTest {
 protected:
  FileDialogTest() : AnsweredTest("dialogs.log") {}
  void SetUp() override {
    AnsweredTest::SetUp();
    data_ = winpath::DrivesRoot() + "/D/data";
    std::filesystem::create_directories(data_);
  }
  std::string data_;
};

}  // namespace

TEST_F(FileDialogTest, OpenAndSaveTakeTheFilterFormAndGiveTheSystemsPath) {
  std::ofstream(data_ + "/a.txt") << "a";
  Answers("FILE " + data_ + u8"/笔记.txt\nCANCEL\n");
  // "文本文件" and "笔记" are GBK here, as the system passes them.
  CFileDialog open(TRUE, "txt", "D:\\data\\a.txt", OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST,
                   "文本文件 (*.txt)|*.txt;*.text|所有文件|*.*||", NULL);
  EXPECT_EQ(open.GetPathName(), "");
  ASSERT_EQ(open.DoModal(), IDOK);
  EXPECT_EQ(open.GetPathName(), "D:\\data\\笔记.txt");  // a drive's file as the system names it
  CFileDialog save(FALSE, "txt", "new.txt", OFN_OVERWRITEPROMPT, NULL, NULL);
  EXPECT_EQ(save.DoModal(), IDCANCEL);
  EXPECT_EQ(save.GetPathName(), "");

  std::string log = Read(dir_ + "dialogs.log");
  const std::string open_line = log.substr(0, log.find('\n'));
  EXPECT_NE(open_line.find("\tOPEN\t" + data_ + "/a.txt\t" +
                           u8"文本文件 (*.txt) (*.txt *.text);;所有文件 (*)"),
            std::string::npos)
      << open_line;
  EXPECT_NE(log.find("\tSAVE\t" + dir_ + "new.txt\t"), std::string::npos) << log;
}

TEST_F(FileDialogTest, APersonTypesANameAndTheDefaultExtensionIsAdded) {
  Answers("");
  std::function<void()> person = [&] {
    auto* d = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    if (!d || !d->isVisible()) {
      QTimer::singleShot(10, person);
      return;
    }
    d->findChild<QLineEdit*>("fileNameEdit")->setText("report");
    static_cast<QDialog*>(d)->accept();
    QTimer::singleShot(5000, d, [d] { static_cast<QDialog*>(d)->reject(); });  // refused: do not hang
  };
  QTimer::singleShot(10, person);
  CFileDialog save(FALSE, ".txt", "D:\\data\\", OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, "Text|*.txt||");
  ASSERT_EQ(save.DoModal(), IDOK);
  EXPECT_EQ(save.GetPathName(), "D:\\data\\report.txt");
}

TEST_F(FileDialogTest, AnOwnerIsRefusedWithoutADialog) {
  Answers("FILE /tmp/x\n");
  CFileDialog open(TRUE, NULL, NULL, OFN_HIDEREADONLY, NULL, reinterpret_cast<CWnd*>(8));
  EXPECT_EQ(open.DoModal(), IDCANCEL);
  EXPECT_EQ(Read(dir_ + "answers"), "FILE /tmp/x\n");
  EXPECT_EQ(Read(dir_ + "dialogs.log"), "");
}
