// File and folder dialogs answered through the environment, and by a person.
// Texts here are UTF-8 (u8 literals): they meet Qt and the log directly.
#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QTimer>

#include "platform/win/file_dialog.h"
#include "tests/platform/win/answered_test.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <thread>

namespace {

using test::Read;

class FileDialog : public test::AnsweredTest {
 protected:
  FileDialog() : AnsweredTest("dialogs.log") {}
};

auto OpenIn(const QString& folder) {
  return [folder](QFileDialog& d) {
    d.setWindowTitle(QString::fromUtf8(u8"打开"));
    d.setFileMode(QFileDialog::ExistingFile);
    d.setNameFilters({"Text (*.txt)", "All (*)"});
    d.setDirectory(folder);
  };
}

}  // namespace

TEST_F(FileDialog, ScriptedAnswersChooseOrCancelAndEveryDialogIsLogged) {
  const QString here = QDir::currentPath();
  QDir().mkdir("sub");
  Answers(u8"FILE /x/中文 名.txt\nfile a.txt\nCANCEL\nYES\nFILE \n");
  EXPECT_EQ(win::RunFileDialog(OpenIn(here)), QString::fromUtf8(u8"/x/中文 名.txt"));
  EXPECT_EQ(win::RunFileDialog([&](QFileDialog& d) {
              d.setAcceptMode(QFileDialog::AcceptSave);
              d.setDirectory(here + "/sub");
              d.selectFile("b.txt");
            }),
            here + "/sub/a.txt");  // relative: in the dialog's folder
  EXPECT_EQ(win::RunFileDialog([&](QFileDialog& d) {
              d.setFileMode(QFileDialog::Directory);
              d.setDirectory(here);
            }),
            std::nullopt);
  EXPECT_EQ(win::RunFileDialog(OpenIn(here)), std::nullopt);  // YES: not an answer for a file dialog
  EXPECT_EQ(win::RunFileDialog(OpenIn(here)), std::nullopt);  // FILE without a path
  EXPECT_EQ(Read(dir_ + "answers"), "");

  const std::string h = here.toStdString();
  std::istringstream log(Read(dir_ + "dialogs.log"));
  std::string line;
  std::vector<std::string> lines;
  while (std::getline(log, line)) lines.push_back(line);
  ASSERT_EQ(lines.size(), 5u);
  EXPECT_EQ(lines[0], u8"打开\tOPEN\t" + h + "\tText (*.txt);;All (*)");
  // Qt's own default filter, in Chinese as Qt's texts are.
  EXPECT_EQ(lines[1].substr(lines[1].find('\t')), "\tSAVE\t" + h + u8"/sub/b.txt\t所有文件 (*)");
  EXPECT_EQ(lines[2].substr(lines[2].find('\t')), "\tFOLDER\t" + h + u8"\t所有文件 (*)");
}

TEST_F(FileDialog, APersonChoosesInTheDialogOnScreen) {
  Answers("");
  std::ofstream("notes.txt") << "n";
  const QString file = QDir::current().absoluteFilePath("notes.txt");
  QString title;
  std::function<void()> person = [&] {
    auto* d = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    if (!d || !d->isVisible()) {
      QTimer::singleShot(10, person);
      return;
    }
    title = d->windowTitle();
    // Types the name and presses the dialog's Open button.
    d->findChild<QLineEdit*>("fileNameEdit")->setText("notes.txt");
    static_cast<QDialog*>(d)->accept();
    QTimer::singleShot(5000, d, [d] { static_cast<QDialog*>(d)->reject(); });  // refused: do not hang
  };
  QTimer::singleShot(10, person);
  EXPECT_EQ(win::RunFileDialog(OpenIn(QDir::currentPath())), file);
  EXPECT_EQ(title, QString::fromUtf8(u8"打开"));
}

TEST_F(FileDialog, AWorkerThreadsDialogRunsOnTheGuiThread) {
  Answers("FILE /tmp/w.bin\n");
  std::optional<QString> r;
  std::atomic<bool> done{false};
  std::thread t([&] {
    r = win::RunFileDialog([](QFileDialog& d) { d.setAcceptMode(QFileDialog::AcceptSave); });
    done = true;
  });
  ASSERT_TRUE(test::WaitFor([&] { return done.load(); }));
  t.join();
  EXPECT_EQ(r, QString("/tmp/w.bin"));
}
