// The lesson manager, its password prompt and its change dialog, inside the
// test program with the forms the program's own start-up makes. The
// settings file is read back by Python's INI reader; the prompt and the
// change dialog are worked with real X input while the manager is modal.
#include <QDir>
#include <QFile>
#include <QListWidget>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>

#include "board/lessons.h"
#include "board/password.h"
#include "board/password_change.h"
#include "board/password_code.h"
#include "platform/fs/path.h"
#include "tests/board/board_test.h"
#include "tests/board/ini_reader.h"
#include "tests/board/modal_script.h"
#include "tests/board/unwritable_file.h"

#include <gtest/gtest.h>

using namespace boardtest;
using Keys = std::map<std::string, std::string>;

namespace {

std::string Read(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(f), {});
}

void Write(const std::string& path, const std::string& bytes) { std::ofstream(path, std::ios::binary) << bytes; }

std::string SettingsPath() { return winpath::ToLinux(Form6->SettingsFile()); }
initest::Sections Settings() { return initest::ReadWithPython(SettingsPath()); }

std::string DrivePath(char letter) { return winpath::DrivesRoot() + "/" + letter; }

template <class Box>
std::vector<std::string> Items(Box* box) {
  std::vector<std::string> out;
  for (int i = 0; i < box->Items->Count; ++i) out.push_back((*box->Items)[i]);
  return out;
}

// The person picks entry i of the teacher list.
void Select(int i) {
  Form6->ListBox1->ItemIndex = i;
  Form6->ListBox1Click(Form6->ListBox1);
}

// The person types into the name box.
void Type(const std::string& name) { Form6->Edit1->Text = name; }

// The message boxes shown, "caption<TAB>text" a line (the log is UTF-8;
// the colour dialogs' lines left out).
std::string Boxes() {
  std::istringstream log(Read("boxes.log"));
  std::string boxes;
  for (std::string line; std::getline(log, line);)
    if (line.find("\tCOLOR\t") == std::string::npos) boxes += line + "\n";
  return gbk::FromUtf8(boxes);
}

// Answers for the message boxes: OK, many times over.
std::string Oks() {
  std::string ok;
  for (int i = 0; i < 40; ++i) ok += "OK\n";
  return ok;
}

// The colour dialogs' answers ("COLOR <colour>" lines), then the boxes' OKs.
void ColourAnswers(const std::string& lines) { Write("answers", lines + Oks()); }

class Manager : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    setenv("QUARVEL_MSGBOX_LOG", "boxes.log", 1);
    setenv("QUARVEL_MSGBOX_ANSWERS", "answers", 1);
    StartUp();
  }
  void SetUp() override {
    Write("answers", Oks());
    Write("boxes.log", "");
    DrawMode = kPen;
  }
  // The program as it starts with this settings file (none for ""), and the
  // manager as the board's settings button leaves it.
  static void Restart(const std::string& settings) {
    if (settings.empty())
      remove(SettingsPath().c_str());
    else
      Write(SettingsPath(), settings);
    Form6->FormCreate(Form6);
    Form6->TeacherUnlocked = 0;
    Form6->FormShow(Form6);
    Form6->Edit1->Text = "";
  }
};

const char kThreeTeachers[] =
    "[tec]\r\nmum=3\r\nte1=A\r\nte2=B\r\nte3=C\r\n"
    "[A]\r\nce=2\r\n[B]\r\nce=3\r\nfrn=65280\r\n[C]\r\nke=4\r\n";

// ---- driving the modal manager with real input ----

// The manager and its password box, driven through their modal loops.
struct Script : ModalScript {
  explicit Script(std::vector<Step> steps) : ModalScript({Form7, Form6}, std::move(steps)) {}
};

std::string ClickOnRow(TListBox* list, int row) {
  const QRect r = list->Inner()->visualItemRect(list->Inner()->item(row));
  const QPoint p = list->Inner()->viewport()->mapToGlobal(r.center());
  return " mousemove " + std::to_string(p.x()) + " " + std::to_string(p.y()) + " click 1 sleep 0.05";
}

// Clicks on the digit buttons of a pad.
std::string Digits(const DigitPad& pad, const std::string& digits) {
  static const int kButtonOf[] = {1, 2, 3, 4, 10, 9, 8, 5, 6, 7};  // digit -> SpeedButton number
  std::string cmd;
  for (char d : digits) cmd += ClickOn(pad.button[kButtonOf[d - '0']]);
  return cmd;
}

bool Up(TForm* f) { return f->isVisible() && f->windowHandle() && f->windowHandle()->isExposed(); }

}  // namespace

// ---- start-up ----

TEST_F(Manager, WithoutSettingsFileTheDefaultTeacherIsRedOnGreyAndOneTeacherIsListed) {
  // As the program's start-up left it (this is the first test).
  EXPECT_EQ(Form6->SettingsFolder, "C:\\Program files\\Common files\\system\\");
  EXPECT_TRUE(QDir(QString::fromStdString(DrivePath('C') + "/Program files/Common files/system")).exists());
  EXPECT_EQ(Items(Form6->ListBox1), (std::vector<std::string>{"默认", "教师1"}));
  EXPECT_EQ(Items(Form6->ListBox2), std::vector<std::string>{"1"});
  EXPECT_EQ(Items(Form6->ListBox3), std::vector<std::string>{"1"});
  EXPECT_EQ(Form6->LCP->Color(), 255);
  EXPECT_EQ(Form6->RCP->Color(), 8421504);
  EXPECT_EQ(Form6->Edit4->Text(), "2");
  EXPECT_EQ(Form6->Edit2->Text(), "1");
  EXPECT_EQ(Form6->Edit3->Text(), "1");
  EXPECT_EQ(Form6->TeacherUnlocked, 0);
  EXPECT_EQ(Form6->DataFolder, "");
  EXPECT_EQ(Items(Form6->DriveComboBox1), std::vector<std::string>{"C:"});
  EXPECT_EQ(Form6->DriveComboBox1->Drive, 'C');
  EXPECT_FALSE(QFile::exists(QString::fromStdString(SettingsPath())));  // reading writes nothing

  EXPECT_EQ(Form3->LCP->Color(), 255);
  EXPECT_EQ(Form3->RCP->Color(), 8421504);
  EXPECT_EQ(Form3->Edit1->Text(), "2");
  EXPECT_EQ(Form3->Canvas->Pen->Color(), 255);
  EXPECT_EQ(Form3->Canvas->Pen->Width(), 2);
  EXPECT_EQ(Form3->Color(), 8421504);
  EXPECT_EQ(Form3->NoteColour, TColor(0xA5A5A5));

  // The forms: sizes, borders, entries shown as stars, buttons that end a modal showing.
  EXPECT_EQ(Form6->ClientWidth(), 560);
  EXPECT_EQ(Form6->ClientHeight(), 364);
  EXPECT_EQ(Form6->BorderStyle(), bsNone);
  EXPECT_EQ(Form6->FormStyle(), fsStayOnTop);
  EXPECT_EQ(Form7->ClientWidth(), 419);
  EXPECT_EQ(Form7->ClientHeight(), 202);
  EXPECT_EQ(Form8->ClientWidth(), 404);
  EXPECT_EQ(Form8->ClientHeight(), 220);
  EXPECT_EQ(Form7->Edit1->PasswordChar(), '*');
  EXPECT_TRUE(Form7->Edit1->ReadOnly());
  for (TEdit* e : {Form8->Edit1, Form8->Edit2, Form8->Edit3}) {
    EXPECT_EQ(e->PasswordChar(), '*');
    EXPECT_TRUE(e->ReadOnly());
  }
  EXPECT_EQ(Form6->BitBtn1->Caption(), "确定");
  EXPECT_EQ(Form6->BitBtn1->ModalResult(), mrOk);
  EXPECT_EQ(Form7->BitBtn1->ModalResult(), mrOk);
  EXPECT_EQ(Form7->BitBtn2->ModalResult(), mrOk);
}

TEST_F(Manager, TheSettingsDriveIsEWhenFixedElseDElseC) {
  const struct {
    std::vector<char> drives;
    char settings;
  } cases[] = {{{'D'}, 'D'}, {{'D', 'E'}, 'E'}, {{'E'}, 'E'}, {{}, 'C'}};
  for (const auto& c : cases) {
    for (char d : {'D', 'E'}) QDir(QString::fromStdString(DrivePath(d))).removeRecursively();
    for (char d : c.drives) QDir().mkpath(QString::fromStdString(DrivePath(d)));
    Restart("");
    EXPECT_EQ(Form6->SettingsFolder, std::string(1, c.settings) + ":\\Program files\\Common files\\system\\");
    EXPECT_TRUE(QDir(QString::fromStdString(DrivePath(c.settings) + "/Program files/Common files/system")).exists());
    EXPECT_EQ(Form6->DriveComboBox1->Drive, c.settings);  // no drive key: the settings drive
  }
  // The stored drive when it is there; the settings drive when it is not,
  // or when the key is empty.
  QDir().mkpath(QString::fromStdString(DrivePath('F')));
  const struct {
    const char* key;
    char drive;
  } drives[] = {{"F", 'F'}, {"f", 'F'}, {"Fxyz", 'F'}, {"Q", 'C'}, {"", 'C'}};
  for (const auto& d : drives) {
    Restart(std::string("[tec]\r\ndrive=") + d.key + "\r\n");
    EXPECT_EQ(Form6->DriveComboBox1->Drive, d.drive) << d.key;
  }
  EXPECT_EQ(Items(Form6->DriveComboBox1), (std::vector<std::string>{"C:", "F:"}));
  QDir(QString::fromStdString(DrivePath('F'))).removeRecursively();
  Restart("");
}

TEST_F(Manager, ASettingsFileWrittenOnWindowsLoadsAndOkKeepsItAWindowsFile) {
  QDir().mkpath(QString::fromStdString(DrivePath('F')));
  const std::string windows =
      "[tec]\r\nmum=2\r\nte1=张老师\r\nte2=Li\r\nte0=教师0\r\ndrive=F\r\n"
      "[教师0]\r\nce=3\r\nke=2\r\nfrn=16711680\r\nblk=65280\r\nbh=5\r\n"
      "[张老师]\r\nce=1\r\nke=1\r\nfrn=255\r\nblk=8421504\r\nbh=2\r\nma=12278\r\ndcu=E:\\图片\r\n";
  Restart(windows);
  EXPECT_EQ(Items(Form6->ListBox1), (std::vector<std::string>{"默认", "张老师", "Li"}));
  EXPECT_EQ(Items(Form6->ListBox2), (std::vector<std::string>{"1", "2", "3"}));
  EXPECT_EQ(Items(Form6->ListBox3), (std::vector<std::string>{"1", "2"}));
  EXPECT_EQ(Form6->LCP->Color(), 16711680);
  EXPECT_EQ(Form6->RCP->Color(), 65280);
  EXPECT_EQ(Form6->Edit4->Text(), "5");
  EXPECT_EQ(Form6->DriveComboBox1->Drive, 'F');
  EXPECT_EQ(Form3->Canvas->Pen->Width(), 5);
  EXPECT_EQ(Form3->Canvas->Pen->Color(), 16711680);
  EXPECT_EQ(Form3->Color(), 65280);
  EXPECT_EQ(Form3->NoteColour, 65280);
  EXPECT_EQ(Form3->Edit1->Text(), "5");

  Form6->BitBtn1Click(Form6->BitBtn1);
  const std::string bytes = Read(SettingsPath());
  // The teacher OK did not touch keeps its bytes; every line ends CR LF.
  EXPECT_NE(bytes.find("[张老师]\r\nce=1\r\nke=1\r\nfrn=255\r\nblk=8421504\r\nbh=2\r\nma=12278\r\ndcu=E:\\图片\r\n"),
            std::string::npos);
  for (size_t at = bytes.find('\n'); at != std::string::npos; at = bytes.find('\n', at + 1))
    ASSERT_EQ(bytes[at - 1], '\r') << at;
  EXPECT_NE(bytes.substr(0, 3), "\xEF\xBB\xBF");
  const initest::Sections s = Settings();
  EXPECT_EQ(s.at("tec"), (Keys{{"mum", "2"}, {"te1", "张老师"}, {"te2", "Li"}, {"te0", "教师0"}, {"drive", "F"}}));
  EXPECT_EQ(s.at("教师0"), (Keys{{"ce", "3"}, {"ke", "2"}, {"frn", "16711680"}, {"blk", "65280"}, {"bh", "5"}}));
  QDir(QString::fromStdString(DrivePath('F'))).removeRecursively();
}

// ---- OK ----

TEST_F(Manager, OkWithNobodySelectedStoresTheDefaultTeacher) {
  Restart("");
  Form1->PaintSource = 0;
  Form3->Image26->Tag = 1;
  Form6->BitBtn1Click(Form6->BitBtn1);
  EXPECT_EQ(Settings(), (initest::Sections{
                            {"tec", {{"mum", "1"}, {"te1", "教师1"}, {"te0", "教师0"}, {"drive", "C"}}},
                            {"教师0", {{"ce", "1"}, {"ke", "1"}, {"frn", "255"}, {"blk", "8421504"}, {"bh", "2"}}},
                        }));
  EXPECT_EQ(Form1->PaintSource, 1);
  EXPECT_EQ(Form3->Image26->Tag, -1);
  EXPECT_EQ(Form6->Edit1->Text(), "");
  EXPECT_EQ(Boxes(), "");
}

TEST_F(Manager, OkForAnUnlockedTeacherStoresItsSectionOnly) {
  Restart("[tec]\r\nmum=2\r\nte1=A\r\nte2=B\r\n[A]\r\nbh=4\r\n");
  Select(1);
  ASSERT_EQ(Form6->TeacherUnlocked, 1);
  EXPECT_EQ(Form6->Edit1->Text(), "A");
  EXPECT_EQ(Form6->Edit4->Text(), "4");
  Form6->Button3Click(nullptr);  // a second volume
  Form6->Button4Click(nullptr);
  Form6->Button4Click(nullptr);  // three lessons
  Form6->SpeedButton7Click(nullptr);
  ColourAnswers("COLOR 16711680\nCOLOR 65535\n");
  Form6->LCPClick(Form6->LCP);
  Form6->RCPClick(Form6->RCP);
  EXPECT_EQ(Form6->LCP->Color(), 16711680);
  EXPECT_EQ(Form6->RCP->Color(), 65535);
  Form6->DriveComboBox1->Drive = 'C';
  Form6->BitBtn1Click(Form6->BitBtn1);
  EXPECT_EQ(Settings(), (initest::Sections{
                            {"tec", {{"mum", "2"}, {"te1", "A"}, {"te2", "B"}, {"drive", "C"}}},
                            {"A", {{"ce", "2"}, {"ke", "3"}, {"frn", "16711680"}, {"blk", "65535"}, {"bh", "5"}}},
                        }));
  EXPECT_EQ(Form3->LCP->Color(), 16711680);
  EXPECT_EQ(Form3->Edit1->Text(), "5");
  EXPECT_EQ(Form6->TeacherSection(), "A");
  EXPECT_EQ(Boxes(), "");
}

TEST_F(Manager, OkLeavesTheErasersColourAlone) {
  Restart("");
  ColourAnswers("COLOR 16711680\nCOLOR 255\n");
  Form6->LCPClick(Form6->LCP);
  DrawMode = kEraser;
  Form3->Canvas->Pen->Color = 8421504;  // the eraser paints the background
  Form6->BitBtn1Click(Form6->BitBtn1);
  EXPECT_EQ(Form3->Canvas->Pen->Color(), 8421504);
  EXPECT_EQ(Form3->LCP->Color(), 16711680);  // the swatch takes it for later
  DrawMode = kPen;
  Form6->LCPClick(Form6->LCP);
  Form6->BitBtn1Click(Form6->BitBtn1);
  EXPECT_EQ(Form3->Canvas->Pen->Color(), 255);
}

TEST_F(Manager, ANewBackgroundRefillsTheCurrentPageOnlyWhileItIsEmpty) {
  Restart("");
  const int page = Form3->CurrentPage;
  Form3->FillPage(page, 8421504);
  Form3->PageState[page] = 2;
  ColourAnswers("COLOR 65280\nCOLOR 16711680\n");
  Form6->RCPClick(Form6->RCP);
  Form6->BitBtn1Click(Form6->BitBtn1);
  EXPECT_EQ(Form3->RCP->Color(), 65280);
  EXPECT_EQ(Form3->Color(), 8421504);
  EXPECT_EQ(PagePixel(page, 500, 400), COLORREF(8421504));
  EXPECT_EQ(Form3->NoteColour, TColor(0xA5A5A5));

  // With the eraser in hand, which then paints the new background.
  Form3->PageState[page] = 1;
  Form3->LayerActive = 1;
  DrawMode = kEraser;
  Form3->Canvas->Pen->Color = 8421504;
  Form6->RCPClick(Form6->RCP);
  Form1->PaintSource = 1;
  Form6->BitBtn1Click(Form6->BitBtn1);
  EXPECT_EQ(Form3->Canvas->Pen->Color(), 16711680);
  EXPECT_EQ(Form3->LayerActive, 0);
  EXPECT_EQ(Form3->RCP->Color(), 16711680);
  EXPECT_EQ(Form3->Color(), 16711680);
  EXPECT_EQ(PagePixel(page, 0, 0), COLORREF(16711680));
  EXPECT_EQ(PagePixel(page, 1023, 767), COLORREF(16711680));
  EXPECT_EQ(Form3->NoteColour, 16711680);
  EXPECT_EQ(Form1->PaintSource, 0);
  Form3->PageState[page] = 0;
}

// ---- the teacher list ----

TEST_F(Manager, DeletingTheMiddleTeacherKeepsTheLastAndMakesNoPhantom) {
  Restart(kThreeTeachers);
  Select(2);
  ASSERT_EQ(Form6->UnlockedTeacher, "B");
  Form6->Button5Click(nullptr);
  EXPECT_EQ(Items(Form6->ListBox1), (std::vector<std::string>{"默认", "A", "C"}));
  EXPECT_EQ(Form6->Edit1->Text(), "");
  EXPECT_EQ(Form6->TeacherUnlocked, 0);
  EXPECT_EQ(Form6->ListBox1->ItemIndex, -1);
  // At once, before OK.
  initest::Sections s = Settings();
  EXPECT_EQ(s.at("tec"), (Keys{{"mum", "2"}, {"te1", "A"}, {"te2", "C"}}));
  EXPECT_EQ(s.count("B"), 0u);
  Form6->BitBtn1Click(Form6->BitBtn1);
  s = Settings();
  EXPECT_EQ(s.at("tec"), (Keys{{"mum", "2"}, {"te1", "A"}, {"te2", "C"}, {"te0", "教师0"}, {"drive", "C"}}));
  EXPECT_EQ(s.at("C"), (Keys{{"ke", "4"}}));
  Restart(Read(SettingsPath()));
  EXPECT_EQ(Items(Form6->ListBox1), (std::vector<std::string>{"默认", "A", "C"}));
}

TEST_F(Manager, DeletingTheLastOfThreeLeavesTheOthersAsTheyWere) {
  Restart(kThreeTeachers);
  Select(3);
  Form6->Button5Click(nullptr);
  Form6->BitBtn1Click(Form6->BitBtn1);
  const initest::Sections s = Settings();
  EXPECT_EQ(s.at("tec").at("mum"), "2");
  EXPECT_EQ(s.at("tec").at("te1"), "A");
  EXPECT_EQ(s.at("tec").at("te2"), "B");
  EXPECT_EQ(s.at("tec").count("te3"), 0u);
  EXPECT_EQ(s.count("C"), 0u);
  EXPECT_EQ(s.at("B"), (Keys{{"ce", "3"}, {"frn", "65280"}}));
}

TEST_F(Manager, AddedTeachersReachTheFileWhateverIsSelectedAtOk) {
  Restart(kThreeTeachers);
  Type("D");
  Form6->Button1Click(nullptr);
  Select(0);  // the default teacher: the name box is emptied
  EXPECT_EQ(Form6->Edit1->Text(), "");
  Form6->BitBtn1Click(Form6->BitBtn1);
  const initest::Sections s = Settings();
  EXPECT_EQ(s.at("tec").at("mum"), "4");
  EXPECT_EQ(s.at("tec").at("te4"), "D");
  EXPECT_EQ(s.count("D"), 0u);  // its settings are the defaults until it is used
  Restart(Read(SettingsPath()));
  EXPECT_EQ(Items(Form6->ListBox1), (std::vector<std::string>{"默认", "A", "B", "C", "D"}));
}

TEST_F(Manager, RenamingMovesTheUnlockedTeacherToItsNewName) {
  Restart("[tec]\r\nmum=2\r\nte1=A\r\nte2=B\r\n[A]\r\nce=2\r\nma=0\r\ndcu=C:\\pictures\r\n");
  Select(1);
  Type("A2");
  EXPECT_EQ(Form6->TeacherUnlocked, 0);  // typing locks the lessons
  Form6->Button2Click(nullptr);
  EXPECT_EQ(Items(Form6->ListBox1), (std::vector<std::string>{"默认", "A2", "B"}));
  EXPECT_EQ(Form6->TeacherUnlocked, 1);
  EXPECT_EQ(Form6->UnlockedTeacher, "A2");
  initest::Sections s = Settings();
  EXPECT_EQ(s.at("A2"), (Keys{{"ce", "2"}, {"ke", "1"}, {"frn", "255"}, {"blk", "8421504"}, {"bh", "2"},
                              {"ma", "0"}, {"dcu", "C:\\pictures"}}));
  EXPECT_EQ(s.at("A").at("ce"), "2");  // the old section stays
  EXPECT_EQ(s.at("tec").at("te1"), "A");  // until OK writes the list
  Form6->BitBtn1Click(Form6->BitBtn1);
  s = Settings();
  EXPECT_EQ(s.at("tec").at("te1"), "A2");
  EXPECT_EQ(s.at("tec").at("te2"), "B");

  // A rename needs the teacher unlocked and still selected.
  Restart(Read(SettingsPath()));
  Type("X");
  Form6->Button2Click(nullptr);
  Select(0);
  Type("X");
  Form6->Button2Click(nullptr);
  EXPECT_EQ(Boxes(), "Quarvel\t请选择任课教师！\nQuarvel\t请选择任课教师！\n");
  EXPECT_EQ(Items(Form6->ListBox1), (std::vector<std::string>{"默认", "A2", "B"}));
}

TEST_F(Manager, UnsafeOrRepeatedNamesAreRefusedByAddAndRename) {
  Restart(kThreeTeachers);
  const std::string before = Read(SettingsPath());
  const char* refused[] = {"", " D", "D ", "tec", "TEC", "教师0", "D[1]", "D=1", "D\r\nE", "D\\E", "D/E",
                           "D:E", "D*", "D?", "\"D\"", "<D>", "D|E", "默认", "a", "c"};
  for (const char* name : refused) {
    Type(name);
    Form6->Button1Click(nullptr);
  }
  Select(2);
  for (const char* name : refused) {
    Type(name);
    Form6->Button2Click(nullptr);
  }
  EXPECT_EQ(Items(Form6->ListBox1), (std::vector<std::string>{"默认", "A", "B", "C"}));
  EXPECT_EQ(Read(SettingsPath()), before);
  const std::string boxes = Boxes();
  int count = 0;
  for (size_t at = boxes.find('\n'); at != std::string::npos; at = boxes.find('\n', at + 1)) ++count;
  EXPECT_EQ(count, 2 * int(std::size(refused)));
  for (const char* message : {"请输入教师姓名！", "教师姓名的首尾不能有空格！", "该名称为系统保留，请输入其它教师姓名！",
                              "教师名列表中已存在！"})
    EXPECT_NE(boxes.find(message), std::string::npos) << message;
  // "B" may take another case of its own name.
  Type("b");
  Form6->Button2Click(nullptr);
  EXPECT_EQ(Items(Form6->ListBox1), (std::vector<std::string>{"默认", "A", "b", "C"}));
}

// ---- the lock ----

TEST_F(Manager, TheNameBoxCannotOpenAnotherTeachersLessonsOrSettings) {
  Restart("[tec]\r\nmum=2\r\nte1=A\r\nte2=B\r\n[B]\r\nce=3\r\nma=12\r\n");
  const std::string before = Read(SettingsPath());
  Select(1);  // A has no password
  ASSERT_EQ(Form6->TeacherUnlocked, 1);
  EXPECT_EQ(Form6->LessonKey(), "A11");
  Type("B");
  EXPECT_EQ(Form6->TeacherUnlocked, 0);
  EXPECT_EQ(Form6->LessonKey(), "A11");  // never B's lessons
  for (auto handler : {&TForm6::Button3Click, &TForm6::Button4Click, &TForm6::Button6Click, &TForm6::Button7Click,
                       &TForm6::Button5Click, &TForm6::Button8Click})
    (Form6->*handler)(nullptr);
  EXPECT_FALSE(Form8->Visible());
  EXPECT_EQ(Items(Form6->ListBox2), std::vector<std::string>{"1"});
  EXPECT_EQ(Read(SettingsPath()), before);
  // OK stores what is shown for A, never for B.
  Form6->BitBtn1Click(Form6->BitBtn1);
  const initest::Sections s = Settings();
  EXPECT_EQ(s.at("B"), (Keys{{"ce", "3"}, {"ma", "12"}}));
  EXPECT_EQ(s.at("A").at("ce"), "1");
  EXPECT_EQ(Form6->Edit1->Text(), "A");
  std::string expected;
  for (int i = 0; i < 6; ++i) expected += "Quarvel\t请选择任课教师！\n";
  EXPECT_EQ(Boxes(), expected);
}

TEST_F(Manager, TheDefaultTeacherShowsItsSettingsButStaysLocked) {
  Restart("[tec]\r\nmum=1\r\nte1=A\r\n[教师0]\r\nce=2\r\nfrn=65280\r\n[A]\r\nke=3\r\n");
  Select(1);
  Select(0);
  EXPECT_EQ(Form6->TeacherUnlocked, 0);
  EXPECT_EQ(Form6->UnlockedTeacher, "");
  EXPECT_EQ(Form6->Edit1->Text(), "");
  EXPECT_EQ(Items(Form6->ListBox2), (std::vector<std::string>{"1", "2"}));
  EXPECT_EQ(Items(Form6->ListBox3), std::vector<std::string>{"1"});
  EXPECT_EQ(Form6->LCP->Color(), 65280);
  EXPECT_EQ(Form6->TeacherSection(), "教师0");
  Form6->Button3Click(nullptr);
  Form6->Button2Click(nullptr);
  EXPECT_EQ(Boxes(), "Quarvel\t请选择任课教师！\nQuarvel\t请选择任课教师！\n");
}

TEST_F(Manager, WidthButtonsStopAtNineAndOneAndRemovingKeepsTheSelection) {
  Restart("[教师0]\r\nbh=8\r\n[tec]\r\nmum=1\r\nte1=A\r\n[A]\r\nce=3\r\n");
  for (int i = 0; i < 3; ++i) Form6->SpeedButton7Click(nullptr);
  EXPECT_EQ(Form6->Edit4->Text(), "9");
  for (int i = 0; i < 10; ++i) Form6->SpeedButton8Click(nullptr);
  EXPECT_EQ(Form6->Edit4->Text(), "1");
  Select(1);
  Form6->ListBox2->ItemIndex = 2;
  Form6->ListBox2Click(nullptr);
  EXPECT_EQ(Form6->Edit2->Text(), "3");
  Form6->Button6Click(nullptr);
  EXPECT_EQ(Items(Form6->ListBox2), (std::vector<std::string>{"1", "2"}));
  EXPECT_EQ(Form6->ListBox2->ItemIndex, -1);
  EXPECT_EQ(Form6->Edit2->Text(), "3");
  Form6->ListBox2->ItemIndex = 0;
  Form6->Button6Click(nullptr);
  EXPECT_EQ(Form6->ListBox2->ItemIndex, 0);
  Form6->Button6Click(nullptr);
  Form6->Button6Click(nullptr);  // empty: nothing happens
  EXPECT_TRUE(Items(Form6->ListBox2).empty());
  EXPECT_EQ(Boxes(), "");
}

// ---- the password prompt, with real input ----

TEST_F(Manager, ThePromptUnlocksOnlyWithTheRightCode) {
  Restart("[tec]\r\nmum=2\r\nte1=A\r\nte2=B\r\n[B]\r\nce=3\r\nfrn=65280\r\nma=12278417556\r\n");
  struct {
    bool nested = false;
    std::string edit1, teacher, password;
    int unlocked = -1, selected = 0, volumes = 0, highlighted = -1;
    TColor pen = 0;
  } wrong, cancelled, right;
  auto note = [](auto& n) {
    n.edit1 = Form6->Edit1->Text;
    n.teacher = Form6->UnlockedTeacher;
    n.password = Form6->TeacherPassword;
    n.unlocked = Form6->TeacherUnlocked;
    n.selected = Form6->ListBox1->ItemIndex;
    // The rows shown selected, not just Qt's current row.
    n.highlighted = int(Form6->ListBox1->Inner()->selectedItems().size());
    n.volumes = Form6->ListBox2->Items->Count;
    n.pen = Form6->LCP->Color;
  };
  Script* script = nullptr;
  Script s({
      {[] { return Up(Form6); }, [&] { script->Input(ClickOnRow(Form6->ListBox1, 2)); }},
      {[] { return Up(Form7) && Form7->Modal(); },
       [&] {
         wrong.nested = Form6->Modal() && !Form6->isEnabled();
         script->Input(Digits(Form7->Pad, "123") + ClickOn(Form7->BitBtn1));
       }},
      {[] { return !Form7->isVisible() && Boxes().find("密码错误！") != std::string::npos; },
       [&] {
         note(wrong);
         script->Input(ClickOnRow(Form6->ListBox1, 2));
       }},
      {[] { return Up(Form7); }, [&] { script->Input(Digits(Form7->Pad, "12") + ClickOn(Form7->BitBtn2)); }},
      {[] { return !Form7->isVisible(); },
       [&] {
         note(cancelled);
         script->Input(ClickOnRow(Form6->ListBox1, 2));
       }},
      // A click on the entry empties it.
      {[] { return Up(Form7); },
       [&] { script->Input(Digits(Form7->Pad, "99") + ClickOn(Form7->Edit1) + Digits(Form7->Pad, "1234")); }},
      {[] { return Form7->Edit1->Text() == "1234"; }, [&] { script->Input(ClickOn(Form7->BitBtn1)); }},
      {[] { return !Form7->isVisible() && Form6->TeacherUnlocked == 1; },
       [&] {
         note(right);
         script->Input(ClickOn(Form6->BitBtn1));
       }},
  });
  script = &s;
  Form3->SpeedButton6Click(Form3->SpeedButton6);  // the board's settings button: the manager, modal
  ASSERT_TRUE(s.Finished()) << s.Stuck();

  EXPECT_TRUE(wrong.nested);
  EXPECT_EQ(wrong.unlocked, 0);
  EXPECT_EQ(wrong.teacher, "");
  EXPECT_EQ(wrong.edit1, "");
  EXPECT_EQ(wrong.selected, -1);
  EXPECT_EQ(wrong.highlighted, 0);
  EXPECT_EQ(cancelled.highlighted, 0);
  EXPECT_EQ(right.highlighted, 1);
  EXPECT_EQ(wrong.volumes, 1);  // nothing of B shown
  EXPECT_EQ(cancelled.unlocked, 0);
  EXPECT_EQ(cancelled.selected, -1);
  EXPECT_EQ(cancelled.edit1, "");
  EXPECT_EQ(right.unlocked, 1);
  EXPECT_EQ(right.teacher, "B");
  EXPECT_EQ(right.edit1, "B");
  EXPECT_EQ(right.selected, 2);
  EXPECT_EQ(right.volumes, 3);
  EXPECT_EQ(right.pen, 65280);
  EXPECT_EQ(right.password, "12278417556");
  EXPECT_EQ(Boxes(), "Quarvel\t密码错误！\n");
  EXPECT_FALSE(Form6->Visible());
  EXPECT_EQ(Settings().at("B"), (Keys{{"ce", "3"}, {"ke", "1"}, {"frn", "65280"}, {"blk", "8421504"}, {"bh", "2"},
                                      {"ma", "12278417556"}}));
}

// The manager closed and opened again by the board's settings button, as a
// teacher works: OK then stores a teacher's settings only under the teacher
// they were loaded for, and only while it is unlocked; what an empty name
// box shows is the default teacher's.
TEST_F(Manager, OkAfterTheManagerIsOpenedAgainNeverStoresATeachersSettingsElsewhere) {
  Restart("[tec]\r\nmum=2\r\nte1=A\r\nte2=B\r\n[教师0]\r\nce=1\r\nke=1\r\nbh=2\r\n[A]\r\nbh=9\r\n"
          "[B]\r\nma=12278417556\r\n");
  Select(1);
  ASSERT_EQ(Form6->TeacherUnlocked, 1);
  Form6->Button3Click(nullptr);  // a second volume
  Form6->Button4Click(nullptr);
  Form6->Button4Click(nullptr);  // three lessons
  Form6->BitBtn1Click(Form6->BitBtn1);
  const Keys a = {{"ce", "2"}, {"ke", "3"}, {"frn", "255"}, {"blk", "8421504"}, {"bh", "9"}};
  const Keys defaults = {{"ce", "1"}, {"ke", "1"}, {"bh", "2"}};
  ASSERT_EQ(Settings().at("A"), a);
  ASSERT_EQ(Settings().at("教师0"), defaults);

  // Opened again: A is locked, its settings still shown under its name. A
  // wider pen and OK change the board, but neither A's section nor the
  // default teacher's.
  struct {
    std::string edit1;
    int volumes = 0;
  } reopened, afterWrongCode;
  Script* script = nullptr;
  Script s({
      {[] { return Up(Form6); },
       [&] {
         reopened = {Form6->Edit1->Text(), Form6->ListBox2->Items->Count};
         Form6->SpeedButton8Click(nullptr);
         script->Input(ClickOn(Form6->BitBtn1));
       }},
  });
  script = &s;
  Form3->SpeedButton6Click(Form3->SpeedButton6);
  ASSERT_TRUE(s.Finished()) << s.Stuck();
  EXPECT_EQ(reopened.edit1, "A");
  EXPECT_EQ(reopened.volumes, 2);
  EXPECT_EQ(Form3->Edit1->Text(), "8");
  EXPECT_EQ(Settings().at("A"), a);
  EXPECT_EQ(Settings().at("教师0"), defaults);
  EXPECT_EQ(Form6->Edit1->Text(), "A");

  // Opened again, B picked with a wrong code: the empty name box shows the
  // default teacher's settings, and OK stores those for it.
  Script wrong({
      {[] { return Up(Form6); }, [&] { wrong.Input(ClickOnRow(Form6->ListBox1, 2)); }},
      {[] { return Up(Form7) && Form7->Modal(); },
       [&] { wrong.Input(Digits(Form7->Pad, "9") + ClickOn(Form7->BitBtn1)); }},
      {[] { return !Form7->isVisible() && Boxes().find("密码错误！") != std::string::npos; },
       [&] {
         afterWrongCode = {Form6->Edit1->Text(), Form6->ListBox2->Items->Count};
         wrong.Input(ClickOn(Form6->BitBtn1));
       }},
  });
  Form3->SpeedButton6Click(Form3->SpeedButton6);
  ASSERT_TRUE(wrong.Finished()) << wrong.Stuck();
  EXPECT_EQ(afterWrongCode.edit1, "");
  EXPECT_EQ(afterWrongCode.volumes, 1);
  EXPECT_EQ(Form3->Edit1->Text(), "2");
  const initest::Sections after = Settings();
  EXPECT_EQ(after.at("A"), a);
  EXPECT_EQ(after.at("教师0"), (Keys{{"ce", "1"}, {"ke", "1"}, {"bh", "2"}, {"frn", "255"}, {"blk", "8421504"}}));
  EXPECT_EQ(after.at("B"), (Keys{{"ma", "12278417556"}}));
}

// ---- the change dialog ----

TEST_F(Manager, ATeachersPasswordChangesOnlyWithTheOldOneAndTwoEqualNewOnes) {
  Restart("[tec]\r\nmum=2\r\nte1=A\r\nte2=B\r\n");
  Select(1);
  Form6->Button8Click(nullptr);
  ASSERT_TRUE(Form8->Visible());
  EXPECT_EQ(Form8->ChangeMode, 1);
  EXPECT_EQ(Form8->Teacher, "A");
  ASSERT_TRUE(Shown(Form8));

  // No password yet: an empty old entry is right. The digits go to the
  // box with the focus, the old one first.
  ASSERT_TRUE(Xdo(Digits(Form8->Pad, "12") + ClickOn(Form8->Edit2) + Digits(Form8->Pad, "1234") +
                  ClickOn(Form8->Edit3) + Digits(Form8->Pad, "1234")));
  ASSERT_TRUE(WaitFor([] { return Form8->Edit3->Text() == "1234"; }));
  EXPECT_EQ(Form8->Edit1->Text(), "12");
  EXPECT_EQ(Form8->Edit2->Text(), "1234");
  Form8->Edit1->Text = "";
  ASSERT_TRUE(Click(Form8->BitBtn1, [] { return !Form8->isVisible(); }));
  EXPECT_EQ(Settings().at("A").at("ma"), "12278417556");
  EXPECT_EQ(Boxes(), "");

  // Wrong old password, then new ones that differ: nothing written, the
  // dialog stays.
  Form6->Button8Click(nullptr);
  const std::string before = Read(SettingsPath());
  Form8->Edit1->Text = "123";
  Form8->Edit2->Text = "5";
  Form8->Edit3->Text = "5";
  Form8->BitBtn1Click(nullptr);
  Form8->Edit1->Text = "1234";
  Form8->Edit3->Text = "6";
  Form8->BitBtn1Click(nullptr);
  EXPECT_TRUE(Form8->Visible());
  EXPECT_EQ(Read(SettingsPath()), before);
  EXPECT_EQ(Boxes(), "Quarvel\t原密码错误！\nQuarvel\t两次输入的新密码不一致！\n");

  // Both new boxes empty: no password again.
  Form8->Edit2->Text = "";
  Form8->Edit3->Text = "";
  Form8->BitBtn1Click(nullptr);
  EXPECT_FALSE(Form8->Visible());
  EXPECT_EQ(Settings().at("A").at("ma"), "0");
  // The manager's code is the one it read at the selection.
  EXPECT_EQ(Form6->TeacherPassword, "0");
}

TEST_F(Manager, TheChangeDialogActsOnTheTeacherItWasOpenedForWhileItStaysUnlocked) {
  Restart("[tec]\r\nmum=2\r\nte1=A\r\nte2=B\r\n");
  Select(1);
  Form6->Button8Click(nullptr);
  const std::string before = Read(SettingsPath());
  Form8->Edit2->Text = "9";
  Form8->Edit3->Text = "9";
  for (int other : {2, 0, -1}) {  // another teacher, the default one, nobody
    Select(other);
    Form8->BitBtn1Click(nullptr);
    EXPECT_TRUE(Form8->Visible());
  }
  Select(1);
  Type("B");  // the name box does not choose the teacher either
  Form8->BitBtn1Click(nullptr);
  EXPECT_EQ(Read(SettingsPath()), before);
  std::string expected;
  for (int i = 0; i < 4; ++i) expected += "Quarvel\t请选择任课教师！\n";
  EXPECT_EQ(Boxes(), expected);
  // A selected again, the dialog may go on.
  Select(1);
  Form8->BitBtn1Click(nullptr);
  EXPECT_FALSE(Form8->Visible());
  const initest::Sections s = Settings();
  EXPECT_EQ(s.at("A").at("ma"), "1404");
  EXPECT_EQ(s.count("B"), 0u);
  EXPECT_EQ(s.count("默认"), 0u);
  Form8->BitBtn2Click(nullptr);
}

TEST_F(Manager, TheAdministratorPasswordIsTwelveBytesAtFiveThousandOfTheDataFoldersCopy) {
  Restart("");
  const std::string bin = std::string(getenv("QUARVEL_BIN")) + "/";
  const std::string master = Read(bin + "sxut.dll");
  ASSERT_GE(master.size(), 5012u);
  QDir().mkpath(QString::fromStdString(DrivePath('C') + "/Program files/Quarvel/data"));
  Form6->DataFolder = "C:\\Program files\\Quarvel\\data\\";
  const std::string copy = DrivePath('C') + "/Program files/Quarvel/data/sxut.dll";
  const std::string program = Form3->ProgramFolder;
  Form3->ProgramFolder = bin;

  // The master is copied once, when the data folder has none.
  Form6->Button9Click(nullptr);
  ASSERT_TRUE(Form8->Visible());
  EXPECT_EQ(Form8->ChangeMode, 2);
  EXPECT_EQ(Read(copy), master);
  // No administrator password: any old entry is right.
  Form8->Edit1->Text = "555";
  Form8->Edit2->Text = "123";
  Form8->Edit3->Text = "123";
  Form8->BitBtn1Click(nullptr);
  EXPECT_FALSE(Form8->Visible());
  std::string expected = master;
  expected.replace(5000, 12, "123         ");
  EXPECT_EQ(Read(copy), expected);

  Form6->Button9Click(nullptr);  // the copy stays as it is
  EXPECT_EQ(Read(copy), expected);
  Form8->Edit1->Text = "12";
  Form8->Edit2->Text = "";
  Form8->Edit3->Text = "";
  Form8->BitBtn1Click(nullptr);
  Form8->Edit1->Text = "123";
  Form8->Edit3->Text = "4";
  Form8->BitBtn1Click(nullptr);
  EXPECT_TRUE(Form8->Visible());
  EXPECT_EQ(Read(copy), expected);
  EXPECT_EQ(Boxes(), "Quarvel\t原密码错误！\nQuarvel\t两次输入的新密码不一致！\n");

  // Thirteen digits keep twelve; an empty new password stores blanks.
  Form8->Edit2->Text = "1234567890123";
  Form8->Edit3->Text = "1234567890123";
  Form8->BitBtn1Click(nullptr);
  expected.replace(5000, 12, "123456789012");
  EXPECT_EQ(Read(copy), expected);
  Form6->Button9Click(nullptr);
  Form8->Edit1->Text = "123456789012";
  Form8->BitBtn1Click(nullptr);
  expected.replace(5000, 12, std::string(12, ' '));
  EXPECT_EQ(Read(copy), expected);
  EXPECT_FALSE(Form8->Visible());

  // A copy that cannot be written: said so, the dialog stays.
  Write("boxes.log", "");
  Form6->Button9Click(nullptr);
  Form8->Edit2->Text = "7";
  Form8->Edit3->Text = "7";
  {
    filetest::Unwritable guard(copy);
    if (guard.Made()) {
      Form8->BitBtn1Click(nullptr);
      EXPECT_TRUE(Form8->Visible());
      EXPECT_EQ(Boxes(), "Quarvel\t管理密码保存失败！\n");
      EXPECT_EQ(Read(copy), expected);
    }
  }
  Form8->BitBtn2Click(nullptr);
  EXPECT_FALSE(Form8->Visible());

  // No copy and no master: nothing to check against.
  remove(copy.c_str());
  Form3->ProgramFolder = program;
  Write("boxes.log", "");
  Form6->Button9Click(nullptr);
  Form8->BitBtn1Click(nullptr);
  EXPECT_EQ(Boxes(), "Quarvel\t原密码错误！\n");
  EXPECT_FALSE(QFile::exists(QString::fromStdString(copy)));
  Form8->BitBtn2Click(nullptr);
  Form6->DataFolder = "";
}
