// Message boxes answered through the environment, as a test drives the
// programs.
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include "platform/text/gbk.h"
#include "platform/win/msgbox.h"
#include "tests/platform/win/answered_test.h"

#include <gtest/gtest.h>

#include <thread>

namespace {

using test::Read;

class MsgBox : public test::AnsweredTest {
 protected:
  MsgBox() : AnsweredTest("boxes.log") {}
};

}  // namespace

TEST_F(MsgBox, AnswersAreTakenInOrderAndEveryBoxIsLogged) {
  Answers("YES\nno\n\n ok \nmaybe\nCancel\n");
  EXPECT_EQ(MessageBox(0, "确实要退出系统吗？", "提示信息", MB_YESNO | MB_ICONQUESTION), IDYES);
  EXPECT_EQ(Read(dir_ + "answers"), "no\n\n ok \nmaybe\nCancel\n");
  EXPECT_EQ(MessageBox(0, "您的系统颜色质量设置低于24位，是否调整?", "提示信息", MB_YESNO), IDNO);
  EXPECT_EQ(MessageBox(0, "请选择任课教师！", "Quarvel", MB_OK), IDOK);  // blank line skipped
  EXPECT_EQ(MessageBox(0, "two\nlines\tand \\", nullptr, MB_OKCANCEL), IDCANCEL);  // "maybe": Escape
  EXPECT_EQ(MessageBox(0, "x", "y", MB_OKCANCEL | MB_ICONWARNING), IDCANCEL);
  EXPECT_EQ(Read(dir_ + "answers"), "");
  std::string want = gbk::ToUtf8("提示信息\t确实要退出系统吗？\n") +
                     gbk::ToUtf8("提示信息\t您的系统颜色质量设置低于24位，是否调整?\n") +
                     gbk::ToUtf8("Quarvel\t请选择任课教师！\n") + "Error\ttwo\\nlines\\tand \\\\\n" + "y\tx\n";
  EXPECT_EQ(Read(dir_ + "boxes.log"), want);
}

TEST_F(MsgBox, WithoutAnswersTheBoxWaitsAndBelongsToItsOwner) {
  Answers("");
  QWidget toolbar;
  toolbar.show();
  HWND owner = toolbar.windowHandle()->winId();
  QWidget* parent = nullptr;
  QString text;
  // A person (here a timer) answers the box on screen.
  std::function<void()> answer = [&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box || !box->isVisible()) {
      QTimer::singleShot(10, answer);
      return;
    }
    parent = box->parentWidget();
    text = box->text();
    box->button(QMessageBox::Yes)->click();
  };
  QTimer::singleShot(10, answer);
  EXPECT_EQ(MessageBox(owner, "确实要退出系统吗？", "提示信息", MB_YESNO), IDYES);
  EXPECT_EQ(parent, &toolbar);
  EXPECT_EQ(text, gbk::ToQString("确实要退出系统吗？"));
}

TEST_F(MsgBox, AWorkerThreadsBoxRunsOnTheGuiThread) {
  Answers("OK\n");
  std::atomic<int> r{0};
  std::thread t([&] { r = MessageBox(0, "wave", "sound i/o", MB_OK); });
  ASSERT_TRUE(test::WaitFor([&] { return r.load() != 0; }));
  t.join();
  EXPECT_EQ(r.load(), IDOK);
  EXPECT_EQ(Read(dir_ + "boxes.log"), "sound i/o\twave\n");
}
