// The open dialog on a real X server: the filter of pairs, the folder and
// name it opens on, masks that ignore case, and the answers tests give it.
#include <QApplication>
#include <QFileDialog>
#include <QListView>
#include <QTimer>
#include <QWindow>

#include <cstdlib>
#include <fstream>

#include "platform/fs/path.h"
#include "platform/vcl/dialogs.h"
#include "tests/platform/vcl/vcl_test.h"

#include <gtest/gtest.h>

namespace {

constexpr char kFilter[] = "swf files (*.swf)|*.SWF|htm files(*.htm)|*.HTM|*.pps|*.pps|*.ppt|*.ppt";

std::string Read(const char* path) {
  std::ifstream f(path);
  return std::string(std::istreambuf_iterator<char>(f), {});
}

class OpenDialog : public ::testing::Test {
 protected:
  void SetUp() override {
    test::App();
    setenv("QUARVEL_MSGBOX_LOG", "dialogs.log", 1);
    setenv("QUARVEL_MSGBOX_ANSWERS", "answers", 1);
    folder = winpath::ToLinux("C:\\课件");
    const std::string make = "mkdir -p '" + folder + "' && cd '" + folder + "' && touch a.swf b.SWF c.htm d.pps 'dream[1].swf'";
    ASSERT_EQ(system(make.c_str()), 0);
    dialog = new TOpenDialog(Application);
    dialog->Filter = kFilter;
    dialog->FileName = "dream[1].swf";
    dialog->InitialDir = "C:\\课件\\";
  }
  void TearDown() override {
    delete dialog;
    remove("dialogs.log");
    remove("answers");
  }
  std::string folder;
  TOpenDialog* dialog = nullptr;
};

}  // namespace

TEST_F(OpenDialog, OpensOnItsFolderAndNameWithThePairsAsFiltersAndGivesTheChoice) {
  std::ofstream("answers") << "FILE " << folder << "/d.pps\nCANCEL\n";
  ASSERT_TRUE(dialog->Execute());
  EXPECT_EQ(winpath::ToLinux(dialog->FileName()), folder + "/d.pps");
  EXPECT_EQ(Read("dialogs.log"), u8"打开\tOPEN\t" + folder + "/dream[1].swf\tswf files (*.swf) (*.SWF);;"
                                 "htm files(*.htm) (*.HTM);;*.pps (*.pps);;*.ppt (*.ppt)\n");
  // Cancelled, the name stays.
  EXPECT_FALSE(dialog->Execute());
  EXPECT_EQ(winpath::ToLinux(dialog->FileName()), folder + "/d.pps");
}

TEST_F(OpenDialog, MasksMatchNamesIgnoringCase) {
  unsetenv("QUARVEL_MSGBOX_ANSWERS");
  QStringList listed;
  QTimer look;
  QObject::connect(&look, &QTimer::timeout, [&] {
    for (QWidget* top : QApplication::topLevelWidgets())
      if (auto* d = qobject_cast<QFileDialog*>(top); d && d->isVisible())
        if (auto* view = d->findChild<QListView*>("listView")) {
          QStringList names;
          for (int r = 0; r < view->model()->rowCount(view->rootIndex()); ++r)
            names << view->model()->index(r, 0, view->rootIndex()).data().toString();
          if (names.size() >= 3) {
            listed = names;
            d->reject();
          }
        }
  });
  look.start(20);
  EXPECT_FALSE(dialog->Execute());
  listed.sort();
  EXPECT_EQ(listed, (QStringList{"a.swf", "b.SWF", "dream[1].swf"}));
}
