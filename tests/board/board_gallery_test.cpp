// The picture gallery with real X pointer input: opening it, its tabs, the
// clip-art stamps, the teacher's pictures imported from the folder of the
// teacher's settings, and picking them. Pictures are written by ImageMagick;
// the gallery's picture and the floating picture are read directly.
#include <QDir>
#include <QFile>

#include <fstream>

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

const int W = 1024, H = 768;

std::string ReadAll(const char* path) {
  std::ifstream f(path);
  return std::string(std::istreambuf_iterator<char>(f), {});
}

// The folder of drive C where the teacher's pictures lie.
std::string Pictures() { return winpath::DrivesRoot() + "/C/pics/"; }

bool Picture(const std::string& name, const std::string& size, const std::string& colour) {
  return Shell("convert -size " + size + " xc:" + colour + " '" + Pictures() + name + "' && echo ok") == "ok\n";
}

COLORREF GalleryPixel(int x, int y) { return Form3->Image26->Picture->Bitmap->Pixels().GetPixel(x, y); }

// A release on the gallery's picture at y of the picture.
bool PickRow(int y) {
  Form3->ScrollBox1->VertScrollBar->Position = 0;
  const TPoint p = Form3->Image26->ClientToScreen(Point(50, y));
  const int before = Releases();
  return Xdo(At(p.X, p.Y) + " click 1") && WaitFor([&] { return Releases() > before; });
}

// The gallery's button is on the text panel's handle strip: the panel
// opened with its strip showing.
void OpenTextPanel() {
  Form3->SpeedButton18Click(nullptr);
  if (!Form3->Image1->Visible()) Form3->SpeedButton18Click(nullptr);
}

class Gallery : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    ASSERT_TRUE(ResetBoard());
    // The clip-art folder of the program folder the board takes.
    QFile::link(QString::fromStdString(std::string(getenv("QUARVEL_BIN")) + "/db"),
                QString::fromStdString(Folder() + "db"));
    setenv("QUARVEL_MSGBOX_LOG", "boxes.log", 1);
    setenv("QUARVEL_MSGBOX_ANSWERS", "answers", 1);
    QDir().mkpath(QString::fromStdString(Pictures()));
    ASSERT_TRUE(Picture("a.png", "300x150", "red"));
    ASSERT_TRUE(Picture("b.png", "150x300", "blue"));
    ASSERT_TRUE(Picture("c.jpg", "200x200", "lime"));
    ASSERT_TRUE(Picture("d.png", "1024x700", "yellow"));
    ASSERT_TRUE(Picture("e.png", "2048x1001", "cyan"));
    ASSERT_TRUE(Picture("f.png", "1023x700", "magenta"));
    TIniFile(Form6->SettingsFile()).WriteString(kDefaultTeacherSection, "dcu", "C:\\pics");
    Form6->Edit1->Text = "";
  }
  void SetUp() override {
    ASSERT_TRUE(ResetBoard());
    remove("boxes.log");
    std::ofstream("answers") << "OK\n";
    OpenTextPanel();
    ASSERT_TRUE(Click(Form3->SpeedButton32, [] { return Form3->Panel9->Visible(); }));
  }
  void TearDown() override { Form3->SpeedButton33Click(nullptr); }
};

}  // namespace

TEST_F(Gallery, OpensAtTheLeftWithThePhysicsTab) {
  EXPECT_EQ(Form3->Panel9->BoundsRect(), Bounds(0, 40, 138, H - 40));
  EXPECT_EQ(Form3->ScrollBox1->Top, 22);
  EXPECT_EQ(Form3->ScrollBox1->Height, H - 40 - 65);
  EXPECT_EQ(Form3->SpeedButton33->Left, 115);
  EXPECT_EQ(Form13->Left, 3);
  EXPECT_EQ(Form13->Top, H - 40 - 65 + 62);
  EXPECT_TRUE(Form3->Panel8->Visible());
  EXPECT_FALSE(Form3->Panel10->Visible());
  EXPECT_FALSE(Form3->Image26->Visible());
  EXPECT_EQ(Form3->GalleryFolder, Folder() + "db\\pic\\");
  // The text panel it was opened from is closed, its note kept in its file.
  EXPECT_FALSE(Form3->Panel4->Visible());
  EXPECT_EQ(Form3->PanelKind(1), 0);
  EXPECT_TRUE(QFile::exists(QString::fromStdString(Folder() + "1")));

  ASSERT_TRUE(Click(Form3->BitBtn2, [] { return Form3->Panel10->Visible(); }));
  EXPECT_FALSE(Form3->Panel8->Visible());
  ASSERT_TRUE(Click(Form3->BitBtn1, [] { return Form3->Panel8->Visible(); }));
  EXPECT_FALSE(Form3->Panel10->Visible());
  EXPECT_FALSE(Form13->Visible());
  ASSERT_TRUE(Click(Form3->SpeedButton33, [] { return !Form3->Panel9->Visible(); }));
}

// The teacher's pictures scrolled to their end, then the physics tab: its
// panel (a window of its own) stays inside the box and the tabs above it
// still take clicks.
TEST_F(Gallery, TheClipArtAfterTheTallPictureStaysInsideItsBox) {
  TScrollBox* box = Form3->ScrollBox1;
  ASSERT_TRUE(Click(Form3->BitBtn3, [] { return Form3->Image26->Visible(); }));
  Form3->Image26->Height = 1000 * 105;
  box->VertScrollBar->Position = 1000 * 105;
  ASSERT_TRUE(WaitFor([&] { return box->VertScrollBar->Position > 100000; }));
  // Closed and opened again: the physics tab.
  ASSERT_TRUE(Click(Form3->SpeedButton33, [] { return !Form3->Panel9->Visible(); }));
  OpenTextPanel();
  ASSERT_TRUE(Click(Form3->SpeedButton32, [] { return Form3->Panel9->Visible(); }));
  ASSERT_TRUE(Form3->Panel8->Visible());
  ASSERT_TRUE(Click(Form3->BitBtn3, [] { return Form3->Image26->Visible(); }));
  Form3->Image26->Tag = -1;
  ASSERT_TRUE(Click(Form3->BitBtn2, [] { return Form3->Panel10->Visible(); }));
  ASSERT_TRUE(Click(Form3->BitBtn1, [] { return Form3->Panel8->Visible(); }));
}

TEST_F(Gallery, AClipArtItemArmsOnceAndTheNextClickPlacesIt) {
  Form3->StampJpeg->LoadFromFile(Form3->GalleryFolder + "w3.jt");
  const int w = Form3->StampJpeg->Width, h = Form3->StampJpeg->Height;
  Form3->StampJpeg->LoadFromFile(Form3->GalleryFolder + "w0.jt");
  ASSERT_TRUE(Click(Form3->Image14, [] { return Form3->PendingStamp == 1; }));  // "w3.jt"
  ASSERT_TRUE(Click(Form3->Image14, [] { return Form3->PendingStamp == 1; }));
  EXPECT_EQ(Form3->StampJpeg->Width, w);
  ASSERT_TRUE(Drag({{300, 200}}));
  EXPECT_TRUE(Form3->Image2->Visible());
  EXPECT_EQ(Form3->Image2->BoundsRect(), Bounds(300, 200, w, h));
  EXPECT_EQ(Form3->FloatIsPicture, 1);
  EXPECT_EQ(Form3->PendingStamp, 0);
  // Once: the next click commits it and places nothing.
  ASSERT_TRUE(Drag({{700, 500}}));
  EXPECT_FALSE(Form3->Image2->Visible());

  // The chemistry item h1 arms on its click, not on its press.
  ASSERT_TRUE(Click(Form3->BitBtn2, [] { return Form3->Panel10->Visible(); }));
  const TPoint p = Form3->Image29->ClientToScreen(Point(25, 25));
  ASSERT_TRUE(Xdo(At(p.X, p.Y) + " mousedown 1"));
  ASSERT_TRUE(WaitFor([] { return QApplication::mouseButtons() != Qt::NoButton; }));
  EXPECT_EQ(Form3->PendingStamp, 0);
  ASSERT_TRUE(Xdo("mouseup 1"));
  EXPECT_TRUE(WaitFor([] { return Form3->PendingStamp == 1; }));
}

TEST_F(Gallery, AMissingClipArtFileIsReportedAndLeavesTheArmedStampArmed) {
  Form3->GalleryFolder = Folder() + "nowhere\\";
  Form3->PendingStamp = 2;
  // The press's release goes to the box that shows the error, not to a
  // control, so the box itself is waited for.
  const TPoint p = Form3->Image5->ClientToScreen(Point(25, 25));
  ASSERT_TRUE(Xdo(At(p.X, p.Y) + " click 1"));
  ASSERT_TRUE(WaitFor([] { return QFile::exists("boxes.log") && ReadAll("answers").empty(); }));
  EXPECT_NE(ReadAll("boxes.log").find("w0.jt"), std::string::npos) << ReadAll("boxes.log");
  EXPECT_EQ(Form3->PendingStamp, 2);
}

TEST_F(Gallery, TheTeachersTabImportsTheTeachersFolderOnceAndPicksByRow) {
  Form3->Image26->Tag = 0;
  ASSERT_TRUE(Click(Form3->BitBtn3, [] { return Form3->Image26->Tag == 1; }));
  EXPECT_TRUE(Form3->Image26->Visible());
  EXPECT_TRUE(Form13->Visible());
  EXPECT_FALSE(Form3->Panel8->Visible());
  ASSERT_EQ(Form3->Image26->Picture->Bitmap->Height, 105000);
  EXPECT_EQ(Form3->Image26->Picture->Bitmap->Width, 100);
  EXPECT_EQ(Form3->Image26->Height, 6 * 105);
  ASSERT_EQ(Form12->ListBox1->Items->Count, 6);
  EXPECT_EQ(Form12->ListBox1->Items->Strings[0](), "C:\\pics\\a.png");
  EXPECT_EQ(Form12->ListBox1->Items->Strings[5](), "C:\\pics\\f.png");
  // Landscape and portrait fitted and centred; the square fills its row;
  // the gap below a row keeps the window colour.
  EXPECT_EQ(GalleryPixel(50, 50), kRed);
  EXPECT_EQ(GalleryPixel(50, 10), RGB(0, 0, 0));
  EXPECT_EQ(GalleryPixel(50, 102), RGB(255, 255, 255));
  EXPECT_EQ(GalleryPixel(50, 155), kBlue);
  EXPECT_EQ(GalleryPixel(10, 155), RGB(0, 0, 0));
  // The square is a JPEG: green within its error.
  const COLORREF square = GalleryPixel(50, 260);
  EXPECT_TRUE(GetRValue(square) < 8 && GetGValue(square) > 247 && GetBValue(square) < 8) << std::hex << square;
  EXPECT_GT(GetGValue(GalleryPixel(3, 213)), 200);

  // Row 0 from its gap, row 1 from its top: a picture narrower than the
  // screen floats at the click at its own size.
  ASSERT_TRUE(PickRow(104));
  EXPECT_EQ(Form3->PendingStamp, 2);
  EXPECT_EQ(Form3->FloatBitmap->Width, 300);
  ASSERT_TRUE(PickRow(105));
  EXPECT_EQ(Form3->PendingStamp, 2);
  EXPECT_EQ(Form3->FloatBitmap->Width, 150);
  EXPECT_EQ(Form3->FloatBitmap->Pixels().GetPixel(75, 150), kBlue);
  EXPECT_EQ(Identify(Folder() + "tmp.bmt"), "BMP3 150x300");
  ASSERT_TRUE(Drag({{400, 300}}));
  EXPECT_EQ(Form3->Image2->BoundsRect(), Bounds(400, 300, 150, 300));
  EXPECT_EQ(Form3->FloatIsPicture, 1);

  // As wide as the screen or wider: fitted to its width, placed below the
  // tool strip; one pixel narrower: its own size.
  const struct {
    int y;
    int w, h;
    int armed;
  } picks[] = {{3 * 105 + 50, 1024, 700, 3}, {4 * 105 + 50, 1024, 500, 3}, {5 * 105 + 50, 1023, 700, 2}};
  for (const auto& p : picks) {
    ASSERT_TRUE(PickRow(p.y)) << p.y;
    EXPECT_EQ(Form3->PendingStamp, p.armed) << p.y;
    EXPECT_EQ(Form3->FloatBitmap->Width, p.w) << p.y;
    EXPECT_EQ(Form3->FloatBitmap->Height, p.h) << p.y;
  }
  ASSERT_TRUE(PickRow(4 * 105 + 50));
  ASSERT_EQ(Form3->PendingStamp, 3);
  ASSERT_TRUE(Drag({{600, 400}}));
  EXPECT_EQ(Form3->Image2->BoundsRect(), Bounds(0, 35, 1024, 500));
}

// The last rows of a full picture, far below any window height X allows,
// are scrolled into view, shown and picked.
TEST_F(Gallery, TheTallPictureScrollsToItsLastRows) {
  Form3->Image26->Tag = 0;
  ASSERT_TRUE(Click(Form3->BitBtn3, [] { return Form3->Image26->Tag == 1; }));
  TStrings* paths = Form12->ListBox1->Items;
  while (paths->Count < 1000) paths->Add("C:\\pics\\a.png");
  paths->Strings[998] = "C:\\pics\\b.png";
  ASSERT_TRUE(Form12->ThumbnailInto("C:\\pics\\b.png", 998));
  Form3->Image26->Height = 1000 * 105;
  TScrollBox* box = Form3->ScrollBox1;
  box->VertScrollBar->Position = 998 * 105;
  ASSERT_TRUE(WaitFor([&] { return box->VertScrollBar->Position > 998 * 105 - box->Height; }));
  // Row 998's middle, wherever the scroll stopped.
  const TPoint at = Form3->Image26->ClientToScreen(Point(50, 998 * 105 + 50));
  ASSERT_GT(at.Y, box->ClientToScreen(Point(0, 0)).Y);
  ASSERT_LT(at.Y, box->ClientToScreen(Point(0, box->Height)).Y);
  EXPECT_TRUE(WaitFor([&] { return ScreenPixel(at.X, at.Y) == kBlue; }));
  const int before = Releases();
  ASSERT_TRUE(Xdo(At(at.X, at.Y) + " click 1") && WaitFor([&] { return Releases() > before; }));
  EXPECT_EQ(Form3->PendingStamp, 2);
  EXPECT_EQ(Form3->FloatBitmap->Width, 150);
  // The next visit of the tab reads the folder again.
  Form3->Image26->Tag = -1;
}

TEST_F(Gallery, TheThumbnailsStayUntilTheTeacherSettingsAreConfirmed) {
  Form3->Image26->Tag = 0;
  ASSERT_TRUE(Click(Form3->BitBtn3, [] { return Form3->Image26->Tag == 1; }));
  const int before = Form12->ListBox1->Items->Count;
  ASSERT_TRUE(Picture("g.png", "40x40", "red"));
  // Reopened: the physics tab, the thumbnails as they were.
  ASSERT_TRUE(Click(Form3->SpeedButton33, [] { return !Form3->Panel9->Visible(); }));
  EXPECT_FALSE(Form13->Visible());
  OpenTextPanel();
  ASSERT_TRUE(Click(Form3->SpeedButton32, [] { return Form3->Panel9->Visible(); }));
  EXPECT_TRUE(Form3->Panel8->Visible());
  ASSERT_TRUE(Click(Form3->BitBtn3, [] { return Form3->Image26->Visible(); }));
  EXPECT_EQ(Form12->ListBox1->Items->Count, before);
  // Confirmed settings: the next visit reads the folder again.
  Form3->Image26->Tag = -1;
  ASSERT_TRUE(Click(Form3->BitBtn1, [] { return Form3->Panel8->Visible(); }));
  ASSERT_TRUE(Click(Form3->BitBtn3, [] { return Form3->Image26->Tag == 1; }));
  EXPECT_EQ(Form12->ListBox1->Items->Count, before + 1);
  QFile::remove(QString::fromStdString(Pictures() + "g.png"));

  // A teacher without a picture folder has no pictures.
  TIniFile(Form6->SettingsFile()).WriteString(kDefaultTeacherSection, "dcu", "");
  Form3->Image26->Tag = -1;
  ASSERT_TRUE(Click(Form3->BitBtn1, [] { return Form3->Panel8->Visible(); }));
  ASSERT_TRUE(Click(Form3->BitBtn3, [] { return Form3->Image26->Tag == 1; }));
  EXPECT_EQ(Form12->ListBox1->Items->Count, 0);
  EXPECT_EQ(Form3->Image26->Height, 0);
  TIniFile(Form6->SettingsFile()).WriteString(kDefaultTeacherSection, "dcu", "C:\\pics");
}

TEST_F(Gallery, AnUnreadableTeacherPictureArmsNothing) {
  Form3->Image26->Tag = 0;
  ASSERT_TRUE(Click(Form3->BitBtn3, [] { return Form3->Image26->Tag == 1; }));
  QDir().mkpath(QString::fromStdString(winpath::DrivesRoot() + "/C/other"));
  std::ofstream(winpath::DrivesRoot() + "/C/other/bad.png") << "no picture";
  const struct {
    const char* path;
    const char* box;
  } cases[] = {
      {"C:\\pics\\gone.png", u8"提示信息\t系统找不到指定的文件！\n"},
      {"C:\\other\\bad.png", u8"提示信息\t图像文件无法读取！\n"},
  };
  for (const auto& c : cases) {
    remove("boxes.log");
    std::ofstream("answers") << "OK\n";
    Form3->PendingStamp = 0;
    Form12->ListBox1->Items->Strings[0] = c.path;
    ASSERT_TRUE(PickRow(50)) << c.path;
    EXPECT_TRUE(WaitFor([] { return QFile::exists("boxes.log") && ReadAll("answers").empty(); })) << c.path;
    EXPECT_EQ(ReadAll("boxes.log"), c.box);
    EXPECT_EQ(Form3->PendingStamp, 0) << c.path;
  }
  Form12->ListBox1->Items->Strings[0] = "C:\\pics\\a.png";
}
