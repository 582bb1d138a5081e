#include "platform/mfc/message_box.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>

#include "platform/text/gbk.h"

// Without a Qt application the box is a line on stderr, answered by its
// default button.
TEST(AfxMessageBox, WithoutApplicationWritesStderr) {
  testing::internal::CaptureStderr();
  EXPECT_EQ(AfxMessageBox("db\\\xCE\xC4\xBC\xFE.dat"), IDOK);  // 文件
  EXPECT_EQ(AfxMessageBox("q", MB_YESNO | MB_ICONQUESTION), IDYES);
  std::string err = testing::internal::GetCapturedStderr();
  EXPECT_NE(err.find(u8"db\\文件.dat\n"), std::string::npos) << err;
  EXPECT_NE(err.find(": q\n"), std::string::npos) << err;
}

// With one it is a modal QMessageBox holding the text; the test answers it.
// The application is the host's own, and Qt's buttons speak Chinese in it.
TEST(AfxMessageBox, WithApplicationShowsQMessageBox) {
  int argc = 1;
  char name[] = "test_mfc_message_box";
  char* argv[] = {name, nullptr};
  QApplication app(argc, argv);
  QString shown, no;
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, [&] {
    if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
      shown = box->text();
      no = box->button(QMessageBox::No)->text();
      box->button(QMessageBox::No)->click();
    }
  });
  poll.start(10);
  EXPECT_EQ(AfxMessageBox("\xB1\xA3\xB4\xE6?", MB_YESNO), IDNO);  // 保存?
  EXPECT_EQ(shown, QString::fromUtf8(u8"保存?"));
  EXPECT_EQ(no, QString::fromUtf8(u8"否(&N)"));
}
