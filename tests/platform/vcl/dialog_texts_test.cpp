// Qt's standard dialogs speak Chinese, as the rest of the interface does:
// what each one shows on a real X server, read from its widgets.
#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QFileDialog>
#include <QLabel>

#include <functional>

#include "platform/text/gbk.h"
#include "platform/vcl/dialogs.h"
#include "platform/win/file_dialog.h"
#include "platform/win/msgbox.h"
#include "tests/platform/vcl/vcl_test.h"

#include <gtest/gtest.h>

namespace {

// Every button and label text of a dialog, accelerator marks and all.
QStringList Texts(QDialog* d) {
  QStringList texts;
  for (QAbstractButton* b : d->findChildren<QAbstractButton*>())
    if (b->isVisible()) texts << b->text();
  for (QLabel* l : d->findChildren<QLabel*>())
    if (l->isVisible()) texts << l->text();
  return texts;
}

struct Case {
  const char* name;
  std::function<void()> run;
  QStringList chinese;  // texts that must be there (UTF-8)
};

}  // namespace

TEST(DialogTexts, StandardDialogsAreChineseAndTheGivenTextsStay) {
  test::App();
  unsetenv("QUARVEL_MSGBOX_ANSWERS");
  TFontDialog font(Application);
  TColorDialog colour(Application);
  TOpenDialog open(Application);
  const Case cases[] = {
      {"message box",
       [] { MessageBox(0, "确实要退出系统吗？", "提示信息", MB_YESNOCANCEL); },
       {u8"是(&Y)", u8"否(&N)", u8"取消", u8"确实要退出系统吗？"}},
      {"font", [&] { font.Execute(); }, {u8"字体(&F)", u8"取消", u8"颜色..."}},
      {"colour", [&] { colour.Execute(); }, {u8"取消"}},
      {"open", [&] { open.Execute(); }, {u8"取消", u8"查找范围："}},
      {"folder",
       [] {
         win::RunFileDialog([](QFileDialog& d) {
           d.setFileMode(QFileDialog::Directory);
           d.setOption(QFileDialog::ShowDirsOnly);
         });
       },
       {u8"取消"}},
  };
  const QStringList english = {"OK", "&OK", "Cancel", "&Cancel", "&Yes", "&No", "&Open", "Font", "&Font"};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    test::DialogWatch<QDialog> watch;
    QStringList shown;
    watch.whenUp = [&](QDialog* d) {
      shown = Texts(d);
      d->reject();
    };
    c.run();
    ASSERT_EQ(watch.shown, 1);
    for (const QString& want : c.chinese)
      EXPECT_TRUE(shown.contains(want)) << want.toStdString() << " not in: " << shown.join(" | ").toStdString();
    for (const QString& en : english) EXPECT_FALSE(shown.contains(en)) << en.toStdString();
  }
}
