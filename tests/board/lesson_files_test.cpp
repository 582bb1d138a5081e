// Lessons saved from the board and opened into it through the lesson
// manager's buttons, inside the test program with the forms the program's
// own start-up makes. The files are read back by other tools: ImageMagick
// for the pictures, Python's INI reader for the index and the panels; the
// notes are compared byte for byte. One test kills a second test program in
// the middle of a save.
#include <QDir>
#include <QFile>
#include <QImage>

#include <fcntl.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>

#include "board/lesson_files.h"
#include "board/lessons.h"
#include "board/password_change.h"
#include "platform/fs/path.h"
#include "tests/board/board_test.h"
#include "tests/board/ini_reader.h"
#include "tests/board/unwritable_file.h"

#include <gtest/gtest.h>

using namespace boardtest;
using Keys = std::map<std::string, std::string>;

namespace {

const int W = 1024, H = 768;

std::string Read(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(f), {});
}

void Write(const std::string& path, const std::string& bytes) { std::ofstream(path, std::ios::binary) << bytes; }

bool Exists(const std::string& path) { return QFile::exists(QString::fromStdString(path)); }

std::string Sh(const std::string& cmd) { return Shell(cmd + " 2>/dev/null"); }

std::string TestDir() { return getenv("QUARVEL_TEST_DIR"); }

// The message boxes shown, "caption<TAB>text" a line (the log is UTF-8).
std::string Boxes() { return gbk::FromUtf8(Read("boxes.log")); }

// The data folder of a drive, on disk; a name in it (GBK) on disk.
std::string Data(char drive = 'C') { return winpath::ToLinux(LessonDataFolder(drive)); }
std::string InData(const std::string& name, char drive = 'C') { return Data(drive) + gbk::ToUtf8(name); }

// The program folder's note of a page (the test program's own folder).
std::string Note(int page) { return Form3->ProgramFolder + std::to_string(page); }

// The files of a folder, name -> bytes (temporary files of a save included).
std::map<std::string, std::string> Files(const std::string& folder) {
  std::map<std::string, std::string> out;
  for (const QFileInfo& f : QDir(QString::fromStdString(folder)).entryInfoList(QDir::Files | QDir::Hidden))
    out[f.fileName().toStdString()] = Read(f.absoluteFilePath().toStdString());
  return out;
}

// A page of its own: the background, coloured blocks placed by the seed and
// a gradient, so that a shifted row or a swapped channel shows.
void Paint(int page, int seed) {
  if (!Form3->Pages[page]) Form3->Pages[page] = TForm3::NewPageBitmap();
  Form3->Pages[page]->Pixels().Draw([seed](QImage& image) {
    for (int y = 0; y < image.height(); ++y) {
      QRgb* row = reinterpret_cast<QRgb*>(image.scanLine(y));
      for (int x = 0; x < image.width(); ++x) row[x] = qRgb(128, 128, 128);
    }
    for (int b = 0; b < 6; ++b) {
      const QRect r(60 + (seed * 37 + b * 151) % 800, 60 + (seed * 53 + b * 97) % 600, 90, 60);
      for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
          reinterpret_cast<QRgb*>(image.scanLine(y))[x] = qRgb((seed * 40 + b * 30) & 255, (x + seed) & 255, y & 255);
    }
    return image.rect();
  });
  Form3->PageState[page] = 2;
}

// A folder's files as they were.
void Restore(const std::string& folder, const std::map<std::string, std::string>& files) {
  QDir(QString::fromStdString(folder)).removeRecursively();
  QDir().mkpath(QString::fromStdString(folder));
  for (const auto& [name, bytes] : files) Write(folder + name, bytes);
}

// A board of pages 1..count, each painted with seed + page.
void Board(int count, int seed) {
  for (int n = 1; n <= count; ++n) {
    Paint(n, seed + n);
    Form3->SetPanelKind(n, 0);
    Form3->PanelLeft[n] = 0, Form3->PanelTop[n] = 41, Form3->PanelWidth[n] = 368, Form3->PanelHeight[n] = H - 45;
    Form3->PanelOnPage[n] = 0;
  }
  Form3->PageCount = count;
  Form3->CurrentPage = 1;
}

QImage Page(int n) { return Form3->Pages[n]->ToImage().copy(); }

bool Same(const QImage& a, const QImage& b) { return a.size() == b.size() && !Changed(a, b).isValid(); }

// A picture file as ImageMagick reads it, RGB32.
QImage Picture(const std::string& path) {
  const std::string size = Sh("identify -format '%w %h' '" + path + "'");
  int w = 0, h = 0;
  if (sscanf(size.c_str(), "%d %d", &w, &h) != 2) return QImage();
  const std::string rgb = Sh("convert '" + path + "' -depth 8 rgb:-");
  if (rgb.size() != size_t(w) * size_t(h) * 3) return QImage();
  QImage out(w, h, QImage::Format_RGB32);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const unsigned char* p = reinterpret_cast<const unsigned char*>(rgb.data()) + (size_t(y) * w + x) * 3;
      out.setPixel(x, y, qRgb(p[0], p[1], p[2]));
    }
  return out;
}

// The teacher unlocked, with the volume and lesson chosen.
void Lesson(const std::string& teacher, const char* volume, const char* lesson, char drive = 'C') {
  Form6->Unlock(teacher);
  Form6->Edit2->Text = volume;
  Form6->Edit3->Text = lesson;
  Form6->DriveComboBox1->Drive = drive;
}

void Save() { Form6->SpeedButton2Click(Form6->SpeedButton2); }
void Open() { Form6->SpeedButton1Click(Form6->SpeedButton1); }

class LessonFiles : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    setenv("QUARVEL_MSGBOX_LOG", "boxes.log", 1);
    setenv("QUARVEL_MSGBOX_ANSWERS", "answers", 1);
    StartUp();
    // Notes of the test's own, away from the build's program folder.
    Form3->ProgramFolder = TestDir() + "/prog/";
    QDir().mkpath(QString::fromStdString(Form3->ProgramFolder));
  }
  void SetUp() override {
    ASSERT_TRUE(BoardUp());
    std::string ok;
    for (int i = 0; i < 20; ++i) ok += "OK\n";
    Write("answers", ok);
    Write("boxes.log", "");
    // The manager as it stands over the board when its buttons are pressed.
    Form6->Show();
    ASSERT_TRUE(Shown(Form6));
  }
  void TearDown() override {
    Form6->Hide();
    Form6->Lock();
  }
};

}  // namespace

// ---- saving ----

TEST_F(LessonFiles, ASaveWritesTheIndexAfterAPictureAPanelAndANotePerPage) {
  Board(3, 10);
  Form3->SetPanelKind(2, 1);
  Form3->PanelLeft[2] = 20, Form3->PanelTop[2] = 60, Form3->PanelWidth[2] = 300, Form3->PanelHeight[2] = 400;
  Form3->SetPanelKind(3, 2);
  Form3->CurrentPage = 2;
  const std::string note1 = "{\\rtf1\\ansi\\ansicpg936 \\'d7\\'d6 one}", note2 = "plain note of page 2";
  Write(Note(1), note1);
  Write(Note(2), note2);
  remove(Note(3).c_str());
  // What an earlier save of this lesson left: a note page 3 no longer has,
  // and a panel file with a key of another program's.
  QDir().mkpath(QString::fromStdString(Data()));
  Write(InData("A123.te"), "old note");
  Write(InData("A122.sec"), "[edit]\r\nvis=0\r\n[other]\r\nkept=1\r\n");
  Lesson("A", "1", "2");
  const std::vector<QImage> pages = {QImage(), Page(1), Page(2), Page(3)};

  // The manager's button "保存", clicked.
  ASSERT_EQ(Form6->SpeedButton2->Caption(), "保存");
  ASSERT_TRUE(Click(Form6->SpeedButton2, [] { return !Form6->isVisible(); }));
  EXPECT_EQ(Boxes(), "");
  EXPECT_FALSE(Form6->Visible());
  EXPECT_EQ(Form6->DataFolder, "C:\\Program files\\Quarvel\\data\\");
  EXPECT_EQ(initest::ReadWithPython(InData("datb.sec")), (initest::Sections{{"A12", {{"pag", "3"}}}}));
  for (int n = 1; n <= 3; ++n) {
    const std::string base = InData("A12" + std::to_string(n));
    EXPECT_EQ(Sh("identify -format '%m %w %h' '" + base + ".pte'"), "PNG 1024 768") << n;
    EXPECT_TRUE(Same(Picture(base + ".pte"), pages[size_t(n)])) << n;
  }
  const initest::Sections sec1 = initest::ReadWithPython(InData("A121.sec")),
                          sec2 = initest::ReadWithPython(InData("A122.sec")),
                          sec3 = initest::ReadWithPython(InData("A123.sec"));
  EXPECT_EQ(sec1, (initest::Sections{
                      {"edit", {{"vis", "0"}, {"left", "0"}, {"top", "41"}, {"width", "368"}, {"height", "723"}}}}));
  EXPECT_EQ(sec2, (initest::Sections{
                      {"edit", {{"vis", "1"}, {"left", "20"}, {"top", "60"}, {"width", "300"}, {"height", "400"}}},
                      {"other", {{"kept", "1"}}}}));
  EXPECT_EQ(sec3.at("edit").at("vis"), "2");
  EXPECT_EQ(Read(InData("A121.te")), note1);
  EXPECT_EQ(Read(InData("A122.te")), note2);
  // Exactly these files: no old note, nothing temporary.
  std::vector<std::string> names;
  for (const auto& [name, bytes] : Files(Data())) names.push_back(name);
  EXPECT_EQ(names, (std::vector<std::string>{"A121.pte", "A121.sec", "A121.te", "A122.pte", "A122.sec", "A122.te",
                                             "A123.pte", "A123.sec", "datb.sec"}));
  // The board is back on its current page.
  EXPECT_EQ(Form3->Edit2->Text(), "2");
  EXPECT_EQ(Form3->CurrentPage, 2);
  const QRect below(0, 40, W, H - 40);
  EXPECT_TRUE(WaitFor([&] { return Same(ScreenShot(below), Page(2).copy(below)); }));
}

TEST_F(LessonFiles, ASaveThatCannotWriteSaysSoAndLeavesTheLessonAsItWas) {
  Board(2, 20);
  Lesson("A", "1", "4");
  Save();
  ASSERT_EQ(Boxes(), "");
  const std::map<std::string, std::string> before = Files(Data());

  Board(3, 30);
  Form3->CurrentPage = 3;
  {
    filetest::Unwritable guard(Data());
    if (!guard.Made()) GTEST_SKIP() << "the data folder cannot be made unwritable here";
    Save();
  }
  EXPECT_EQ(Boxes(), "Quarvel\t课程保存失败！\n");
  EXPECT_TRUE(Form6->Visible());  // the manager is back to choose again
  EXPECT_EQ(Files(Data()), before);
  EXPECT_EQ(Form3->Edit2->Text(), "3");

  // A drive where the data folder cannot be made: said so before anything.
  QDir().mkpath(QString::fromStdString(winpath::DrivesRoot() + "/D"));
  Write(winpath::DrivesRoot() + "/D/Program files", "a file, not a folder");
  Write("boxes.log", "");
  Lesson("A", "1", "4", 'D');
  ASSERT_EQ(Form6->DriveComboBox1->Drive, 'D');
  Save();
  EXPECT_EQ(Boxes(), "Quarvel\t课程保存失败！\n");
  EXPECT_TRUE(Form6->Visible());
  EXPECT_EQ(Form6->DataFolder, "D:\\Program files\\Quarvel\\data\\");
  QDir(QString::fromStdString(winpath::DrivesRoot() + "/D")).removeRecursively();
}

// ---- opening ----

TEST_F(LessonFiles, OpeningTakesThePagesFromTheirFilesWhateverCoversTheBoard) {
  // The lesson: two pages, the second with a text panel and a note.
  Board(2, 40);
  Form3->SetPanelKind(2, 1);
  Form3->PanelLeft[2] = 30, Form3->PanelTop[2] = 70, Form3->PanelWidth[2] = 250, Form3->PanelHeight[2] = 300;
  Write(Note(2), "{\\rtf1 lesson note}");
  remove(Note(1).c_str());
  Lesson("A", "1", "3");
  Save();
  ASSERT_EQ(Boxes(), "");
  const QImage page1 = Page(1), page2 = Page(2);

  // Another board: six pages on page 5, with state the lesson must not keep,
  // and the strip, the gallery, the floating picture, the text panel and the
  // change dialog over it.
  Board(6, 50);
  for (int n = 1; n <= 6; ++n) {
    Form3->SetPanelKind(n, 1);
    Form3->PanelOnPage[n] = 1;
    Write(Note(n), "note of the other board " + std::to_string(n));
  }
  Form3->CurrentPage = 5;
  Form3->LayerActive = 1;
  Form3->ScrollBar1->SetParams(5, 1, 6);
  Form3->Panel5->Show();
  Form3->Panel9->Show();
  Form3->Panel4->SetBounds(0, 40, 368, 500);
  Form3->Panel4->Show();
  Form3->Image2->SetBounds(300, 200, 200, 200);
  Form3->Image2->Show();
  Form8->Show();
  ASSERT_TRUE(Shown(Form8));
  Form6->Show();

  Open();
  EXPECT_EQ(Boxes(), "");
  EXPECT_FALSE(Form6->Visible());
  EXPECT_TRUE(Same(Page(1), page1));
  EXPECT_TRUE(Same(Page(2), page2));
  EXPECT_EQ(Form3->PageCount, 2);
  EXPECT_EQ(Form3->CurrentPage, 2);  // never above the page count
  EXPECT_EQ(Form3->Edit2->Text(), "2");
  for (int n = 1; n <= 2; ++n) {
    EXPECT_EQ(Form3->PageState[n], 2) << n;
    EXPECT_EQ(Form3->PanelOnPage[n], 0) << n;
  }
  EXPECT_EQ(Form3->PanelKind(1), 0);
  EXPECT_EQ(Form3->PanelKind(2), 1);
  EXPECT_EQ(Form3->PanelLeft[2], 30);
  EXPECT_EQ(Form3->PanelTop[2], 70);
  EXPECT_EQ(Form3->PanelWidth[2], 250);
  EXPECT_EQ(Form3->PanelHeight[2], 300);
  for (int n = 3; n <= 6; ++n) {
    EXPECT_EQ(Form3->PageState[n], 0) << n;
    EXPECT_EQ(Form3->PanelKind(n), 0) << n;
    EXPECT_EQ(Form3->PanelOnPage[n], 0) << n;
  }
  EXPECT_EQ(Form3->LayerActive, 0);
  EXPECT_EQ(Form3->ScrollBar1->Max(), 2);
  // The notes: the lesson's, and none of another lesson or of the pages
  // that are gone.
  EXPECT_FALSE(Exists(Note(1)));
  EXPECT_EQ(Read(Note(2)), "{\\rtf1 lesson note}");
  for (int n = 3; n <= 6; ++n) EXPECT_FALSE(Exists(Note(n))) << n;
  // The current page's text panel in its place, shown.
  EXPECT_TRUE(Form3->Panel4->Visible());
  EXPECT_EQ(Form3->Panel4->Left(), 30);
  EXPECT_EQ(Form3->Panel4->Top(), 70);
  EXPECT_EQ(Form3->Panel4->Width(), 250);
  EXPECT_TRUE(Form3->RichEdit1->Visible());
  EXPECT_EQ(Form3->RichEdit1->Text(), "lesson note");

  Form8->Hide();
  Form3->Panel5->Hide();
  Form3->Panel9->Hide();
  Form3->Panel4->Hide();
  Form3->Image2->Hide();
}

TEST_F(LessonFiles, ALessonSavedOnWindowsOpensUnchanged) {
  // As the program wrote it there: GBK text with CR LF, names that are GBK
  // on Windows (UTF-8 on this disk), pictures of another screen's size or
  // with alpha, a panel file without some keys.
  QDir().mkpath(QString::fromStdString(Data()));
  Write(InData("datb.sec"), "[教师0]\r\n[张老师12]\r\npag=2\r\n[张老师11]\r\npag=9\r\n");
  ASSERT_EQ(Sh("convert -size 1024x768 gradient:yellow-blue -fill green -draw 'rectangle 400,300 599,449' PNG32:'" +
               InData("张老师121.pte") + "' && echo ok"),
            "ok\n");
  ASSERT_EQ(Sh("convert -size 800x600 gradient:red-white PNG24:'" + InData("张老师122.pte") + "' && echo ok"), "ok\n");
  Write(InData("张老师121.sec"), "[edit]\r\nvis=1\r\nleft=10\r\ntop=50\r\nwidth=300\r\nheight=500\r\n");
  Write(InData("张老师122.sec"), "[EDIT]\r\nVis=2\r\nleft=5\r\n");
  const std::string rtf = "{\\rtf1\\ansi\\ansicpg936\\deff0{\\fonttbl{\\f0\\fnil\\fcharset134 \\'c1\\'a5\\'ca\\'e9;}}\r\n"
                          "\\f0\\fs96 \\'ba\\'ba\\'d7\\'d6\\par\r\n}\r\n";
  Write(InData("张老师121.te"), rtf);
  remove(Note(2).c_str());
  Board(1, 60);
  Lesson("张老师", "1", "2");

  // The manager's button "打开", clicked.
  ASSERT_EQ(Form6->SpeedButton1->Caption(), "打开");
  ASSERT_TRUE(Click(Form6->SpeedButton1, [] { return !Form6->isVisible(); }));
  EXPECT_EQ(Boxes(), "");
  EXPECT_EQ(Form3->PageCount, 2);
  EXPECT_TRUE(Same(Page(1), Picture(InData("张老师121.pte"))));
  // The smaller picture at the top left, the board's background beyond it.
  const QImage small = Picture(InData("张老师122.pte")), page2 = Page(2);
  EXPECT_TRUE(Same(page2.copy(0, 0, 800, 600), small));
  const COLORREF background = COLORREF(Form3->RCP->Color());
  for (QPoint p : {QPoint(800, 0), QPoint(1023, 767), QPoint(0, 600), QPoint(900, 300)})
    EXPECT_EQ(gdi::FromPixel(page2.pixel(p)), background) << p.x() << "," << p.y();
  EXPECT_EQ(Form3->PanelKind(1), 1);
  EXPECT_EQ(Form3->PanelLeft[1], 10);
  EXPECT_EQ(Form3->PanelTop[1], 50);
  EXPECT_EQ(Form3->PanelWidth[1], 300);
  EXPECT_EQ(Form3->PanelHeight[1], 500);
  // Missing keys take their defaults.
  EXPECT_EQ(Form3->PanelKind(2), 2);
  EXPECT_EQ(Form3->PanelLeft[2], 5);
  EXPECT_EQ(Form3->PanelTop[2], 40);
  EXPECT_EQ(Form3->PanelWidth[2], 368);
  EXPECT_EQ(Form3->PanelHeight[2], H - 40);
  EXPECT_EQ(Read(Note(1)), rtf);
  EXPECT_FALSE(Exists(Note(2)));
  EXPECT_EQ(Form3->CurrentPage, 1);
  EXPECT_TRUE(Form3->Panel4->Visible());
  // A web or media view is no part of a lesson: its page shows no panel.
  Form3->CurrentPage = 2;
  Open();
  EXPECT_FALSE(Form3->Panel4->Visible());
}

TEST_F(LessonFiles, AMissingIndexOrLessonIsSaidAndLeavesTheBoardAsItIs) {
  QDir().mkpath(QString::fromStdString(winpath::DrivesRoot() + "/E"));
  const struct {
    const char* index;  // nullptr: no index file
    const char* lesson;
  } cases[] = {
      {nullptr, "1"},                     // no index in the data folder (nor the folder)
      {"[B15]\r\npag=3\r\n", "6"},        // the index without the lesson
      {"[B16]\r\npag=0\r\n", "6"},        // a lesson of no pages
      {"[B16]\r\npag=-3\r\n", "6"},
      {"[B16]\r\npag=three\r\n", "6"},
  };
  for (const auto& c : cases) {
    QDir(QString::fromStdString(Data('E'))).removeRecursively();
    if (c.index) {
      QDir().mkpath(QString::fromStdString(Data('E')));
      Write(InData("datb.sec", 'E'), c.index);
    }
    Board(4, 70);
    Form3->CurrentPage = 3;
    Form3->LayerActive = 1;
    const QImage page3 = Page(3);
    Write("boxes.log", "");
    Lesson("B", "1", c.lesson, 'E');
    Open();
    EXPECT_EQ(Boxes(), "Quarvel\t系统找不到指定的文件！\n") << c.lesson;
    EXPECT_TRUE(Form6->Visible());
    EXPECT_EQ(Form3->PageCount, 4);
    EXPECT_EQ(Form3->CurrentPage, 3);
    EXPECT_EQ(Form3->PageState[4], 2);
    EXPECT_EQ(Form3->LayerActive, 1);
    EXPECT_TRUE(Same(Page(3), page3));
  }
  Form3->LayerActive = 0;
  QDir(QString::fromStdString(winpath::DrivesRoot() + "/E")).removeRecursively();
}

TEST_F(LessonFiles, ALessonOfMoreThan99PagesOpensItsFirst99AndAMissingPictureLeavesAPlainPage) {
  QDir(QString::fromStdString(Data())).removeRecursively();
  QDir().mkpath(QString::fromStdString(Data()));
  Write(InData("datb.sec"), "[A17]\r\npag=120\r\n");
  ASSERT_EQ(Sh("convert -size 1024x768 xc:'rgb(10,200,30)' PNG:'" + InData("A171.pte") + "' && echo ok"), "ok\n");
  Write(InData("A172.pte"), "not a picture");
  Board(1, 80);
  Lesson("A", "1", "7");
  Open();
  // Only the picture that is there but no picture is named.
  EXPECT_EQ(Boxes(), "Quarvel\t第2页的图像无法读取！\n");
  EXPECT_EQ(Form3->PageCount, 99);
  EXPECT_EQ(PagePixel(1, 500, 500), RGB(10, 200, 30));
  EXPECT_EQ(Form3->PageState[1], 2);
  for (int n : {2, 3, 99}) {
    ASSERT_TRUE(Form3->Pages[n]) << n;
    EXPECT_EQ(Form3->Pages[n]->Width(), W);
    EXPECT_EQ(PagePixel(n, 500, 500), COLORREF(Form3->RCP->Color())) << n;
    EXPECT_EQ(Form3->PageState[n], 1) << n;  // cleared to the background, nothing on it
  }
  EXPECT_EQ(Form3->ScrollBar1->Max(), 99);
  // Leave a small board for the tests after.
  for (int n = 2; n <= kMaxPages; ++n) Form3->Pages[n].reset();
  Board(1, 81);
}

// Each file of a lesson cut short at several places or overwritten with
// random bytes: the open says what it could not read, shows nothing of what
// did not decode, keeps what did, and changes no file of the data folder.
TEST_F(LessonFiles, ADamagedFileOfALessonIsSaidAndNothingUndecodedIsShown) {
  QDir(QString::fromStdString(Data())).removeRecursively();
  for (int n = 1; n <= 99; ++n) remove(Note(n).c_str());
  // Another lesson, and this one: three pages, a rich-text note on page 2.
  Board(1, 200);
  Lesson("B", "1", "1");
  Save();
  Board(3, 210);
  Form3->SetPanelKind(2, 1);
  Form3->PanelLeft[2] = 20, Form3->PanelTop[2] = 60, Form3->PanelWidth[2] = 300, Form3->PanelHeight[2] = 400;
  const std::string note = "{\\rtf1\\ansi\\ansicpg936{\\fonttbl{\\f0\\fnil\\fcharset134 SimSun;}}\\f0\\fs32 "
                           "\\'d7\\'d6 first line\\par second line\\par}";
  Write(Note(2), note);
  Lesson("A", "1", "8");
  Save();
  ASSERT_EQ(Boxes(), "");
  const std::vector<QImage> pages = {QImage(), Page(1), Page(2), Page(3)};
  const std::map<std::string, std::string> whole = Files(Data());

  const QImage plain = [] {
    QImage p(W, H, QImage::Format_RGB32);
    p.fill(QColor(GetRValue(Form3->RCP->Color()), GetGValue(Form3->RCP->Color()), GetBValue(Form3->RCP->Color())));
    return p;
  }();
  const std::string noIndex = "Quarvel\t系统找不到指定的文件！\n";
  const struct {
    const char* file;
    const char* said;  // "" when nothing can tell it is damaged
    bool pictureGone, noteGone;
  } kinds[] = {{"A182.pte", "Quarvel\t第2页的图像无法读取！\n", true, false},
               {"A182.sec", "", false, false},
               {"A182.te", "Quarvel\t第2页的注释无法读取！\n", false, true},
               {"datb.sec", noIndex.c_str(), false, false}};
  for (const auto& k : kinds) {
    const std::string bytes = whole.at(k.file);
    // Nothing left, the first bytes, half, all but the end, the same size
    // of random bytes.
    struct Damage {
      std::string name, bytes;
    };
    std::vector<Damage> damages;
    const size_t end = bytes.size() > 80 ? 40 : 3;  // a PNG's last 16 bytes are no pixels
    for (size_t cut : {size_t(0), std::min(bytes.size() - 1, size_t(20)), bytes.size() / 2, bytes.size() - end})
      damages.push_back({"cut at " + std::to_string(cut), bytes.substr(0, cut)});
    damages.push_back({"random", Sh("head -c " + std::to_string(bytes.size()) + " /dev/urandom")});
    for (const Damage& d : damages) {
      const std::string at = std::string(k.file) + " " + d.name;
      Restore(Data(), whole);
      Write(InData(k.file), d.bytes);
      const std::map<std::string, std::string> damaged = Files(Data());
      Write("boxes.log", "");
      Board(5, 220);
      const QImage before5 = Page(5);
      Open();
      EXPECT_EQ(Files(Data()), damaged) << at;
      const std::string boxes = Boxes();
      const bool index = std::string(k.file) == "datb.sec";
      if (index) {
        // The index tells the page count: anything else than the lesson
        // whole, or said that it is not there.
        if (boxes == noIndex) {
          EXPECT_EQ(Form3->PageCount, 5) << at;
          EXPECT_TRUE(Same(Page(5), before5)) << at;
          continue;
        }
        ASSERT_EQ(boxes, "") << at;
      } else if (std::string(k.file) == "A182.te" && d.name != "random") {
        // Rich text cut short reads as far as it goes.
        EXPECT_EQ(boxes, "") << at;
      } else {
        EXPECT_EQ(boxes, k.said) << at;
      }
      ASSERT_EQ(Form3->PageCount, 3) << at;
      for (int n = 1; n <= 3; ++n)
        EXPECT_TRUE(Same(Page(n), n == 2 && k.pictureGone ? plain : pages[size_t(n)])) << at << " page " << n;
      EXPECT_EQ(Form3->PageState[2], k.pictureGone ? 1 : 2) << at;
      EXPECT_GE(Form3->PanelKind(2), 0) << at;
      EXPECT_LE(Form3->PanelKind(2), 2) << at;
      if (k.noteGone && d.name == "random") EXPECT_FALSE(Exists(Note(2))) << at;
      if (!k.noteGone && !index && std::string(k.file) != "A182.te") EXPECT_EQ(Read(Note(2)), note) << at;
    }
  }
  // The other lesson never changed.
  for (const auto& [name, bytes] : Files(Data()))
    if (name.rfind("B11", 0) == 0) EXPECT_EQ(bytes, whole.at(name)) << name;
  Restore(Data(), whole);
}

// A save into a file system that is full: said, and the lesson as it was,
// with nothing temporary left. The test mounts a small tmpfs as drive F
// when it may; otherwise a file size limit stands in for the full disk.
TEST_F(LessonFiles, ASaveIntoAFullFileSystemSaysSoAndLeavesTheLessonAsItWas) {
  const std::string drive = winpath::DrivesRoot() + "/F";
  QDir().mkpath(QString::fromStdString(drive));
  const bool mounted = mount("tmpfs", drive.c_str(), "tmpfs", 0, "size=1m") == 0;
  Board(2, 300);
  Lesson("A", "2", "1", 'F');
  Save();
  ASSERT_EQ(Boxes(), "");
  const std::map<std::string, std::string> before = Files(Data('F'));
  ASSERT_EQ(before.size(), 5u);

  // Pages of noise, which no encoder makes small: more than the disk holds.
  Board(3, 310);
  for (int n = 1; n <= 3; ++n)
    Form3->Pages[n]->Pixels().Draw([n](QImage& image) {
      uint32_t x = 2463534242u * uint32_t(n);
      for (int y = 0; y < image.height(); ++y) {
        QRgb* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int i = 0; i < image.width(); ++i) {
          x ^= x << 13, x ^= x >> 17, x ^= x << 5;
          row[i] = 0xFF000000u | (x & 0xFFFFFFu);
        }
      }
      return image.rect();
    });
  struct rlimit old {};
  getrlimit(RLIMIT_FSIZE, &old);
  if (!mounted) {
    signal(SIGXFSZ, SIG_IGN);
    struct rlimit limit = old;
    limit.rlim_cur = 1 << 20;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limit), 0);
  }
  Save();
  if (!mounted) setrlimit(RLIMIT_FSIZE, &old);
  EXPECT_EQ(Boxes(), "Quarvel\t课程保存失败！\n");
  EXPECT_TRUE(Form6->Visible());
  EXPECT_EQ(Files(Data('F')), before);

  Board(1, 320);
  Open();
  EXPECT_EQ(Form3->PageCount, 2);
  if (mounted) umount(drive.c_str());
  QDir(QString::fromStdString(drive)).removeRecursively();
}

TEST_F(LessonFiles, ALockedManagerNeitherOpensNorSaves) {
  Board(2, 90);
  Form6->Lock();
  const std::map<std::string, std::string> before = Files(Data());
  Save();
  Open();
  EXPECT_EQ(Boxes(), "Quarvel\t请选择任课教师！\nQuarvel\t请选择任课教师！\n");
  EXPECT_EQ(Files(Data()), before);
  EXPECT_EQ(Form3->PageCount, 2);
  EXPECT_TRUE(Form6->Visible());
}

TEST_F(LessonFiles, APaintOfALessonPictureTakesThePictureNotWhatCoversTheBoard) {
  ASSERT_EQ(system("convert -size 1024x768 gradient:yellow-blue PNG:lesson.pte"), 0);
  Form3->Pages[3] = TForm3::NewPageBitmap();
  Form3->Panel9->Show();
  Form3->Panel5->Show();
  Form6->LessonImage = std::make_unique<Gdiplus::Image>("lesson.pte");
  Form6->LessonGraphics = std::make_unique<Gdiplus::Graphics>(Form3->Canvas->Handle);
  Form6->LoadingPage = 3;
  Form1->PaintSource = 2;
  Form3->Repaint();
  EXPECT_EQ(Form1->PaintSource, 0);
  EXPECT_TRUE(Same(Page(3), QImage("lesson.pte").convertToFormat(QImage::Format_RGB32)));
  Form6->LessonGraphics.reset();
  Form6->LessonImage.reset();
  Form3->Pages[3].reset();
  Form3->Panel9->Hide();
  Form3->Panel5->Hide();
}

// ---- a save killed half way ----

// The second program: a board of LESSON_SAVER_PAGES pages (painted from
// LESSON_SAVER_SEED) saved as teacher A's volume 1, lesson 5, with the
// notes that its program folder LESSON_SAVER_FOLDER holds. With
// LESSON_SAVER_TRACED it says "ready" in that folder and saves only once a
// tracer is attached, which then kills it at an exact system call.
TEST(LessonSaveKilled, Saver) {
  const char* folder = getenv("LESSON_SAVER_FOLDER");
  if (!folder) GTEST_SKIP() << "run by the LessonFiles tests that kill a save";
  StartUp();
  Form3->ProgramFolder = folder;
  Board(atoi(getenv("LESSON_SAVER_PAGES")), atoi(getenv("LESSON_SAVER_SEED")));
  Lesson("A", "1", "5");
  if (getenv("LESSON_SAVER_TRACED")) {
    prctl(PR_SET_PTRACER, PR_SET_PTRACER_ANY);
    Write(std::string(folder) + "ready", "");
    // The tracer's attachment is the start signal, not a time.
    auto traced = [] {
      std::ifstream status("/proc/self/status");
      for (std::string line; std::getline(status, line);)
        if (line.rfind("TracerPid:", 0) == 0) return atoi(line.c_str() + 10) != 0;
      return false;
    };
    // Given up after a minute, so that a test that failed leaves no program.
    for (int i = 0; !traced(); ++i) {
      if (i == 30000) FAIL() << "no tracer came";
      usleep(2000);
    }
  }
  Save();
  EXPECT_EQ(Read(std::string(folder) + "boxes.log"), "");
  EXPECT_FALSE(Form6->Visible()) << "the save failed";
}

namespace {

// The saver started with its own program folder (and message log there).
pid_t StartSaver(const std::string& folder, int pages, int seed, bool traced) {
  char self[4096];
  const ssize_t len = readlink("/proc/self/exe", self, sizeof self - 1);
  if (len <= 0) return -1;
  self[len] = 0;
  std::vector<std::string> env = {"LESSON_SAVER_FOLDER=" + folder, "LESSON_SAVER_PAGES=" + std::to_string(pages),
                                  "LESSON_SAVER_SEED=" + std::to_string(seed), "QUARVEL_MSGBOX_LOG=" + folder + "boxes.log"};
  if (traced) env.push_back("LESSON_SAVER_TRACED=1");
  for (char** e = environ; *e; ++e)
    if (strncmp(*e, "QUARVEL_MSGBOX_LOG=", 19) != 0) env.push_back(*e);
  std::vector<char*> envp;
  for (std::string& e : env) envp.push_back(e.data());
  envp.push_back(nullptr);
  const pid_t pid = fork();
  if (pid == 0) {
    execle(self, self, "--gtest_filter=LessonSaveKilled.Saver", nullptr, envp.data());
    _exit(127);
  }
  return pid;
}

// The program's exit status.
int Reap(pid_t pid) {
  int status = 0;
  return waitpid(pid, &status, 0) == pid ? status : -1;
}

bool Temporary(const std::string& name) { return name.rfind(".quarvel-", 0) == 0; }

}  // namespace

TEST_F(LessonFiles, KilledHalfWayThroughASaveTheLessonStaysAsItWas) {
  Board(3, 100);
  Lesson("A", "1", "5");
  Save();
  ASSERT_EQ(Boxes(), "");
  const QImage pages[] = {Page(1), Page(2), Page(3)};
  const std::map<std::string, std::string> before = Files(Data());

  // The saver's note of page 20 never comes (a FIFO nobody writes), so its
  // save stops half way, with the pictures of other pages in the data
  // folder under temporary names, until it is killed.
  const std::string folder = TestDir() + "/saver/", fifo = folder + "20";
  QDir().mkpath(QString::fromStdString(folder));
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  const pid_t saver = StartSaver(folder, 40, 500, false);
  ASSERT_GT(saver, 0);
  int fd = -1;
  const std::string mine = ".quarvel-" + std::to_string(saver) + "-";
  auto temporaries = [&] {
    int n = 0;
    for (const auto& [name, bytes] : Files(Data())) n += name.rfind(mine, 0) == 0;
    return n;
  };
  const bool halfWay = WaitFor([&] { return (fd >= 0 || (fd = open(fifo.c_str(), O_WRONLY | O_NONBLOCK)) >= 0) &&
                                            temporaries() >= 10; },
                               60000);
  kill(saver, SIGKILL);
  const int status = Reap(saver);
  if (fd >= 0) close(fd);
  ASSERT_TRUE(halfWay);
  ASSERT_TRUE(WIFSIGNALED(status));

  // Every file of the lesson as it was; the killed saver's temporary files
  // are gone with the next open.
  Board(6, 110);
  Open();
  EXPECT_EQ(Boxes(), "");
  EXPECT_EQ(Files(Data()), before);
  EXPECT_EQ(Form3->PageCount, 3);
  for (int n = 1; n <= 3; ++n) EXPECT_TRUE(Same(Page(n), pages[n - 1])) << n;
}

// The saver killed by strace at the n-th call of a system call, in every
// phase of the save: while the files are written under temporary names,
// while the journal is put in place, between the renames, before the old
// note goes and before the journal goes. After what a start-up does, the
// data folder holds the old lesson or the new one byte for byte, with
// nothing temporary, and it opens pixel for pixel.
TEST_F(LessonFiles, KilledAtAnyCallOfASaveTheLessonOpensOldOrNewWhole) {
  if (Sh("strace -V") .empty()) GTEST_SKIP() << "strace is not installed";
  const std::string folder = TestDir() + "/traced/";
  QDir(QString::fromStdString(folder)).removeRecursively();
  QDir().mkpath(QString::fromStdString(folder));
  // The new lesson: six pages, notes on pages 1, 2 and 4.
  for (int n : {1, 2, 4}) Write(folder + std::to_string(n), "new note " + std::to_string(n));
  Board(6, 700);
  std::vector<QImage> newPages = {QImage()};
  for (int n = 1; n <= 6; ++n) newPages.push_back(Page(n));
  // The old lesson: four pages, notes on pages 2 and 3 (the new page 3 has
  // none, so its old note goes).
  QDir(QString::fromStdString(Data())).removeRecursively();
  for (int n = 1; n <= 99; ++n) remove(Note(n).c_str());
  Write(Note(2), "old note 2");
  Write(Note(3), "old note 3");
  Board(4, 600);
  std::vector<QImage> oldPages = {QImage()};
  for (int n = 1; n <= 4; ++n) oldPages.push_back(Page(n));
  Lesson("A", "1", "5");
  Save();
  ASSERT_EQ(Boxes(), "");
  const std::map<std::string, std::string> oldFiles = Files(Data());

  // The new lesson as a save that runs to its end leaves it.
  const pid_t whole = StartSaver(folder, 6, 700, false);
  ASSERT_GT(whole, 0);
  const int wholeStatus = Reap(whole);
  ASSERT_TRUE(WIFEXITED(wholeStatus) && WEXITSTATUS(wholeStatus) == 0) << wholeStatus;
  const std::map<std::string, std::string> newFiles = Files(Data());
  ASSERT_EQ(newFiles.size(), 6u * 2 + 3 + 1);
  ASSERT_NE(newFiles, oldFiles);

  // The calls are counted per thread. The workers write and flush the
  // pages' files (two or three each); the program's own thread then flushes
  // the index, puts the journal in place (rename 1), renames the 16 files
  // (renames 2 to 17), removes the old note of page 3 (unlink 1) and the
  // journal (unlink 2).
  const struct {
    const char* call;
    int nth;
    bool becomesNew;
  } kills[] = {{"fsync", 1, false},  {"fsync", 2, false}, {"rename", 1, false}, {"rename", 2, true},
               {"rename", 9, true}, {"rename", 17, true}, {"unlink", 1, true},  {"unlink", 2, true}};
  for (const auto& k : kills) {
    const std::string at = std::string(k.call) + " " + std::to_string(k.nth);
    Restore(Data(), oldFiles);
    remove((folder + "ready").c_str());
    const pid_t saver = StartSaver(folder, 6, 700, true);
    ASSERT_GT(saver, 0);
    if (!WaitFor([&] { return Exists(folder + "ready"); }, 60000)) {
      kill(saver, SIGKILL);
      Reap(saver);
      FAIL() << at << ": the saver never got ready";
    }
    const pid_t tracer = fork();
    if (tracer == 0) {
      const std::string pid = std::to_string(saver), inject = std::string(k.call) + ":signal=SIGKILL:when=" +
                                                              std::to_string(k.nth);
      execlp("strace", "strace", "-f", "-qq", "-o", "/dev/null", "-e", ("trace=" + std::string(k.call)).c_str(), "-e",
             ("inject=" + inject).c_str(), "-p", pid.c_str(), nullptr);
      _exit(127);
    }
    // strace ends with the program it traces, or at once when it may not
    // trace it here.
    const int traced = Reap(tracer);
    int status = 0;
    if (!WaitFor([&] { return waitpid(saver, &status, WNOHANG) == saver; }, 10000)) {
      kill(saver, SIGKILL);
      Reap(saver);
      GTEST_SKIP() << "strace cannot trace another program here (" << traced << ")";
    }
    ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << at << ": " << status;

    // What the next start-up does.
    RecoverLessonFolders();
    const std::map<std::string, std::string> after = Files(Data());
    for (const auto& [name, bytes] : after) EXPECT_FALSE(Temporary(name)) << at << ": " << name;
    EXPECT_TRUE(after == (k.becomesNew ? newFiles : oldFiles)) << at;

    Board(1, 900);
    Open();
    EXPECT_EQ(Boxes(), "") << at;
    const std::vector<QImage>& expected = k.becomesNew ? newPages : oldPages;
    ASSERT_EQ(Form3->PageCount, int(expected.size()) - 1) << at;
    for (int n = 1; n < int(expected.size()); ++n) EXPECT_TRUE(Same(Page(n), expected[size_t(n)])) << at << " page " << n;
    EXPECT_EQ(Read(Note(3)), k.becomesNew ? "" : "old note 3") << at;
  }
  for (int n = 1; n <= 99; ++n) remove(Note(n).c_str());
}
