// The picture-folder import TForm12 inside the test program: thumbnails of
// pictures ImageMagick wrote, folder and single-file imports into the
// gallery's tall picture, the folder list clicked with real X input, the
// single-file dialog answered by script, and the default folder in the
// settings file.
#include <QAbstractItemView>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QTimer>

#include <atomic>
#include <fstream>
#include <thread>

#include "board/lessons.h"
#include "board/picture_import.h"
#include "board/teachers.h"
#include "platform/fs/inifile.h"
#include "platform/fs/path.h"
#include "tests/board/pages_test.h"

#include <gtest/gtest.h>

using namespace boardtest;
using namespace pagestest;

namespace {

std::string Drive(const std::string& folder) { return winpath::DrivesRoot() + "/C/" + folder + "/"; }

bool Picture(const std::string& path, const std::string& size, const std::string& colour) {
  QDir().mkpath(QFileInfo(QString::fromStdString(path)).path());
  return Shell("convert -size " + size + " xc:" + colour + " '" + path + "' && echo ok") == "ok\n";
}

void Write(const char* path, const std::string& text) { std::ofstream(path) << text; }

COLORREF GalleryPixel(int x, int y) { return Form3->Image26->Picture->Bitmap->Pixels().GetPixel(x, y); }

// Whether the form's canvas shows something other than its colour in the
// rectangle (a progress line drawn there).
bool Written(TForm* form, const TRect& r) {
  const COLORREF ground = ColorToRGB(form->Color);
  for (int y = r.Top; y < r.Bottom; ++y)
    for (int x = r.Left; x < r.Right; ++x)
      if (COLORREF(form->Canvas->Pixels[x][y]) != ground) return true;
  return false;
}

class Import : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    ASSERT_TRUE(ResetBoard());
    setenv("QUARVEL_MSGBOX_LOG", "boxes.log", 1);
    setenv("QUARVEL_MSGBOX_ANSWERS", "answers", 1);
    // The gallery's picture as its tab prepares it.
    Form3->Image26->Tag = 0;
    Form3->SpeedButton32Click(nullptr);
    TIniFile(Form6->SettingsFile()).WriteString(kDefaultTeacherSection, "dcu", "");
    Form3->BitBtn3Click(nullptr);
    Form3->SpeedButton33Click(nullptr);
  }
  void SetUp() override {
    Form6->Edit1->Text = "";
    Form12->CheckBox1->Checked = false;
    Form12->Show();
    ASSERT_TRUE(Shown(Form12));
  }
  void TearDown() override { Form12->Hide(); }
};

}  // namespace

// As a teacher meets it: the folder list is on the drive the drive box
// shows, choosing that drive again leads to its root, and the folder ticked
// as the default is stored as the drive's path.
TEST_F(Import, TheFoldersStayOnTheDriveBoxsDriveAndTheDefaultIsADrivePath) {
  EXPECT_EQ(Form12->DriveComboBox1->Drive, 'C');
  EXPECT_EQ(Form12->DirectoryListBox1->Drive, 'C');
  EXPECT_EQ(Form12->DirectoryListBox1->Items->Strings[0](), "C:\\");
  ASSERT_TRUE(Picture(Drive(u8"图片/深处") + "x.png", "10x10", "red"));
  Form12->DirectoryListBox1->Directory = "C:\\图片\\深处";

  // The drive box, chosen again with the keyboard: back to the root.
  QComboBox* box = Form12->DriveComboBox1->Inner();
  const QPoint b = box->mapToGlobal(box->rect().center());
  ASSERT_TRUE(Xdo(At(b.x(), b.y()) + " click 1"));
  ASSERT_TRUE(WaitFor([box] { return box->view()->isVisible(); }));
  ASSERT_TRUE(Xdo("key Return"));
  EXPECT_TRUE(WaitFor([] { return Form12->DirectoryListBox1->Directory == "C:\\"; }));

  QListWidget* list = Form12->DirectoryListBox1->Inner();
  const int row = Form12->DirectoryListBox1->Items->IndexOf("图片");
  ASSERT_GT(row, 0);
  const QPoint at = list->viewport()->mapToGlobal(list->visualItemRect(list->item(row)).center());
  ASSERT_TRUE(Xdo(At(at.x(), at.y()) + " click 1"));
  ASSERT_TRUE(WaitFor([] { return Form12->DirectoryListBox1->Directory == "C:\\图片"; }));
  Form12->CheckBox1->Checked = true;
  ASSERT_TRUE(Click(Form12->BitBtn3, [] { return !Form12->Visible(); }));
  EXPECT_EQ(TIniFile(Form6->SettingsFile()).ReadString(kDefaultTeacherSection, "dcu", ""), "C:\\图片");
}

TEST_F(Import, ThumbnailsAreFittedIntoTheirSquareAndCentred) {
  const std::string dir = Drive("shapes");
  ASSERT_TRUE(Picture(dir + "land.png", "300x150", "red"));
  ASSERT_TRUE(Picture(dir + "port.png", "150x300", "blue"));
  ASSERT_TRUE(Picture(dir + "square.bmp", "80x80", "lime"));
  ASSERT_TRUE(Form12->ThumbnailInto("C:\\shapes\\land.png", 0));
  ASSERT_TRUE(Form12->ThumbnailInto("C:\\shapes\\port.png", 1));
  ASSERT_TRUE(Form12->ThumbnailInto("C:\\shapes\\square.bmp", 2));
  // 100 x 50 at y 25 of row 0; 50 x 100 at x 25 of row 1; row 2 filled.
  for (int y : {25, 50, 74}) EXPECT_EQ(GalleryPixel(50, y), kRed) << y;
  for (int y : {0, 23, 76, 99}) EXPECT_EQ(GalleryPixel(50, y), RGB(0, 0, 0)) << y;
  for (int x : {25, 50, 74}) EXPECT_EQ(GalleryPixel(x, 155), kBlue) << x;
  for (int x : {0, 23, 76, 99}) EXPECT_EQ(GalleryPixel(x, 155), RGB(0, 0, 0)) << x;
  for (int x : {1, 50, 98}) EXPECT_EQ(GetGValue(GalleryPixel(x, 260)), 255) << x;
  EXPECT_EQ(Identify(Folder() + "tmp.bmt"), "BMP3 100x100");

  // No picture: the row is emptied, so no older thumbnail shows there.
  Write("notes.txt", "not a picture");
  EXPECT_FALSE(Form12->ThumbnailInto(Folder() + "notes.txt", 0));
  EXPECT_EQ(GalleryPixel(50, 50), RGB(255, 255, 255));
}

TEST_F(Import, AFolderImportNamesEveryFileButTakes999) {
  const std::string dir = Drive("many");
  ASSERT_TRUE(Picture(dir + "p0000.png", "4x3", "blue"));
  for (int i = 1; i < 1200; ++i) {
    char name[32];
    snprintf(name, sizeof name, "p%04d.png", i);
    ASSERT_TRUE(QFile::copy(QString::fromStdString(dir + "p0000.png"), QString::fromStdString(dir + name)));
  }
  Form12->DirectoryListBox1->Directory = "C:\\many";
  ASSERT_EQ(Form12->FileListBox1->Items->Count, 1200);
  Form3->Image26->Tag = 1;
  Form12->BitBtn2Click(nullptr);
  EXPECT_EQ(Form3->Image26->Height, 104895);
  ASSERT_EQ(Form12->ListBox1->Items->Count, 999);
  EXPECT_EQ(Form12->ListBox1->Items->Strings[998](), "C:\\many\\p0998.png");
  EXPECT_EQ(GalleryPixel(50, 998 * 105 + 50), kBlue);
  EXPECT_TRUE(Written(Form12, Rect(6, 220, 200, 234)));
  EXPECT_TRUE(Written(Form12, Rect(6, 236, 200, 250)));

  // An empty folder: no rows, no paths, and the bar's line says so.
  QDir().mkpath(QString::fromStdString(Drive("empty")));
  Form12->DirectoryListBox1->Directory = "C:\\empty";
  Form13->Show();
  ASSERT_TRUE(Shown(Form13));
  Form12->BitBtn2Click(nullptr);
  EXPECT_EQ(Form3->Image26->Height, 0);
  EXPECT_EQ(Form12->ListBox1->Items->Count, 0);
  EXPECT_TRUE(Written(Form13, Rect(3, 25, 120, 36)));
  Form13->Hide();
}

TEST_F(Import, OneChosenFileGoesIntoTheRowAfterTheLastPath) {
  const std::string dir = Drive("two");
  ASSERT_TRUE(Picture(dir + "a.png", "60x60", "red"));
  ASSERT_TRUE(Picture(dir + "b.png", "60x60", "red"));
  ASSERT_TRUE(Picture(Drive("one") + "green.png", "50x20", "lime"));
  Form12->DirectoryListBox1->Directory = "C:\\two";
  Form12->BitBtn2Click(nullptr);
  ASSERT_EQ(Form12->ListBox1->Items->Count, 2);

  Write("answers", "FILE " + Drive("one") + "green.png\n");
  ASSERT_TRUE(Click(Form12->BitBtn1, [] { return Form12->ListBox1->Items->Count == 3; }));
  EXPECT_EQ(Form12->ListBox1->Items->Strings[2](), "C:\\one\\green.png");
  EXPECT_EQ(Form3->Image26->Height, 2 * 105 + 100);
  EXPECT_EQ(GalleryPixel(50, 2 * 105 + 50), kGreen);

  // Cancelled: nothing changes.
  Write("answers", "CANCEL\n");
  ASSERT_TRUE(Click(Form12->BitBtn1, [] { return true; }));
  ASSERT_TRUE(WaitFor([] { return QFile(QString("answers")).size() == 0; }));
  EXPECT_EQ(Form12->ListBox1->Items->Count, 3);
  EXPECT_EQ(Form3->Image26->Height, 2 * 105 + 100);

  // An empty folder after them: the next file is row 0 and path 0.
  QDir().mkpath(QString::fromStdString(Drive("none")));
  Form12->DirectoryListBox1->Directory = "C:\\none";
  Form12->BitBtn2Click(nullptr);
  Write("answers", "FILE " + Drive("one") + "green.png\n");
  ASSERT_TRUE(Click(Form12->BitBtn1, [] { return Form12->ListBox1->Items->Count == 1; }));
  EXPECT_EQ(Form3->Image26->Height, 100);
  EXPECT_EQ(GalleryPixel(50, 50), kGreen);

  // With every row of the picture taken, no dialog: a refusal.
  while (Form12->ListBox1->Items->Count < 1000) Form12->ListBox1->Items->Add("C:\\one\\green.png");
  remove("boxes.log");
  Write("answers", "OK\n");
  const TPoint p = Form12->BitBtn1->ClientToScreen(Point(40, 17));
  ASSERT_TRUE(Xdo(At(p.X, p.Y) + " click 1"));
  ASSERT_TRUE(WaitFor([] { return QFile::exists("boxes.log") && QFile(QString("answers")).size() == 0; }));
  EXPECT_EQ(Form12->ListBox1->Items->Count, 1000);
  std::ifstream log("boxes.log");
  std::string line;
  std::getline(log, line);
  EXPECT_EQ(line, u8"提示信息\t图片已满，不能再导入！");
}

TEST_F(Import, AClickOnAFolderOpensIt) {
  ASSERT_TRUE(Picture(Drive("tree/inner") + "x.png", "10x10", "red"));
  Form12->DirectoryListBox1->Directory = "C:\\tree";
  QListWidget* list = Form12->DirectoryListBox1->Inner();
  ASSERT_EQ(list->count(), 3);  // "C:\", "tree", "inner"
  const QPoint at = list->viewport()->mapToGlobal(list->visualItemRect(list->item(2)).center());
  ASSERT_TRUE(Xdo(At(at.x(), at.y()) + " click 1"));
  EXPECT_TRUE(WaitFor([] { return Form12->DirectoryListBox1->Directory == "C:\\tree\\inner"; }));
  EXPECT_EQ(Form12->FileListBox1->Items->Count, 1);
  // The open folder is the one selected, on the screen too.
  EXPECT_EQ(Form12->DirectoryListBox1->ItemIndex, 2);
  ASSERT_EQ(list->selectedItems().size(), 1);
  EXPECT_EQ(list->row(list->selectedItems().first()), 2);
}

TEST_F(Import, OkStoresTheFolderAsTheTeachersDefaultOnlyWhenTicked) {
  QDir().mkpath(QString::fromStdString(Drive("mine")));
  Form12->DirectoryListBox1->Directory = "C:\\mine";
  TIniFile settings(Form6->SettingsFile());
  settings.WriteString(kDefaultTeacherSection, "dcu", "");
  ASSERT_TRUE(Click(Form12->BitBtn3, [] { return !Form12->Visible(); }));
  EXPECT_EQ(settings.ReadString(kDefaultTeacherSection, "dcu", "?"), "");

  Form12->Show();
  ASSERT_TRUE(Shown(Form12));
  Form12->CheckBox1->Checked = true;
  ASSERT_TRUE(Click(Form12->BitBtn3, [] { return !Form12->Visible(); }));
  EXPECT_EQ(settings.ReadString(kDefaultTeacherSection, "dcu", ""), "C:\\mine");

  // The teacher unlocked in the manager gets it in the teacher's own
  // section; a name only typed into the name box gets nothing.
  Form6->Unlock("王老师");
  Form12->Show();
  ASSERT_TRUE(Shown(Form12));
  ASSERT_TRUE(Click(Form12->BitBtn3, [] { return !Form12->Visible(); }));
  EXPECT_EQ(settings.ReadString("王老师", "dcu", ""), "C:\\mine");
  Form6->Lock();
  Form6->Edit1->Text = "李老师";
  Form12->DirectoryListBox1->Directory = "C:\\";
  Form12->Show();
  ASSERT_TRUE(Shown(Form12));
  ASSERT_TRUE(Click(Form12->BitBtn3, [] { return !Form12->Visible(); }));
  EXPECT_EQ(settings.ReadString("李老师", "dcu", "?"), "?");
  EXPECT_EQ(settings.ReadString(kDefaultTeacherSection, "dcu", ""), "C:\\");
}

// The bar's "设置" shows the dialog modally; its OK ends the modal loop.
TEST_F(Import, TheBarsButtonShowsTheDialogUntilOk) {
  Form12->Hide();
  Form13->Show();
  ASSERT_TRUE(Shown(Form13));
  bool modal = false;
  std::atomic<bool> closed{false};
  std::thread clicker;
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, [&] {
    if (!Form12->isVisible() || !Form12->windowHandle() || !Form12->windowHandle()->isExposed()) return;
    poll.stop();
    // Modal, with the bar it was opened from disabled meanwhile.
    modal = Form12->Modal() && !Form13->isEnabled();
    const TPoint p = Form12->BitBtn3->ClientToScreen(Point(40, 17));
    clicker = std::thread([p, &closed] {
      closed = Shell("xdotool" + At(p.X, p.Y) + " click 1 && echo ok") == "ok\n";
    });
  });
  poll.start(20);
  const bool shown = Click(Form13->SpeedButton1, [&] { return closed && !Form12->Visible(); });
  poll.stop();
  if (clicker.joinable()) clicker.join();
  ASSERT_TRUE(shown);
  EXPECT_TRUE(modal);
  Form13->Hide();
}
