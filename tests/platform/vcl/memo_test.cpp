// The memo on a real X server: its lines and its text, text files in GBK
// with their line breaks, typing into it, and the save dialog answered as
// tests answer it.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>

#include "platform/fs/path.h"
#include "platform/text/gbk.h"
#include "platform/vcl/dialogs.h"
#include "platform/vcl/stdctrls.h"
#include "tests/platform/vcl/vcl_test.h"

#include <gtest/gtest.h>

namespace {

std::string Read(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(f), {});
}

void Write(const std::string& path, const std::string& bytes) { std::ofstream(path, std::ios::binary) << bytes; }

std::vector<std::string> Lines(TStrings* s) {
  std::vector<std::string> out;
  for (int i = 0; i < s->Count; ++i) out.push_back(s->Strings[i]);
  return out;
}

class TNote : public TForm {
 public:
  explicit TNote(TComponent* owner) : TForm(owner) {
    BorderStyle = bsNone;
    SetBounds(0, 0, 300, 200);
    Edit1 = new TEdit(this);
    Edit1->Parent = this;
    Edit1->SetBounds(0, 150, 100, 24);
    Memo1 = new TMemo(this);
    Memo1->Parent = this;
    Memo1->SetBounds(10, 10, 280, 120);
    Edit2 = new TEdit(this);
    Edit2->Parent = this;
    Edit2->SetBounds(150, 150, 100, 24);
  }
  TEdit* Edit1;
  TMemo* Memo1;
  TEdit* Edit2;
};

class Memo : public ::testing::Test {
 protected:
  void SetUp() override {
    test::App();
    form = new TNote(Application);
  }
  void TearDown() override { delete form; }
  TNote* form = nullptr;
};

}  // namespace

TEST_F(Memo, LinesAreTheTextSplitAtItsBreaks) {
  TStrings* lines = form->Memo1->Lines;
  EXPECT_EQ(lines->Count, 0);
  lines->Add("可以在本栏内输入多行文字");
  lines->Add("abc");
  EXPECT_EQ(form->Memo1->Inner()->toPlainText(), QString(u8"可以在本栏内输入多行文字\nabc"));
  lines->Insert(1, "");
  lines->Strings[2] = "xyz";
  EXPECT_EQ(Lines(lines), (std::vector<std::string>{"可以在本栏内输入多行文字", "", "xyz"}));
  // An empty last line stays a line.
  lines->Add("");
  EXPECT_EQ(lines->Count, 4);
  EXPECT_EQ(lines->Strings[3], "");
  lines->Delete(0);
  EXPECT_EQ(Lines(lines), (std::vector<std::string>{"", "xyz", ""}));
  EXPECT_THROW(lines->Delete(3), EListError);
  EXPECT_THROW((void)lines->Get(-1), EListError);
  // Text typed with a break at its end has no line after it.
  form->Memo1->Inner()->setPlainText("one\ntwo\n");
  EXPECT_EQ(Lines(lines), (std::vector<std::string>{"one", "two"}));
  lines->Clear();
  EXPECT_EQ(lines->Count, 0);
}

TEST_F(Memo, TextFilesInGbkComeBackByteForByte) {
  TStrings* lines = form->Memo1->Lines;
  const std::string crlf = gbk::FromUtf8(u8"第一行\r\n\r\n拖动下面的放大镜图标\r\nabc\r\n");
  Write("crlf.txt", crlf);
  lines->LoadFromFile("crlf.txt");
  EXPECT_EQ(Lines(lines), (std::vector<std::string>{"第一行", "", "拖动下面的放大镜图标", "abc"}));
  EXPECT_TRUE(form->Memo1->Inner()->toPlainText().startsWith(QString(u8"第一行\n\n拖动")));
  lines->SaveToFile("back.txt");
  EXPECT_EQ(Read("back.txt"), crlf);

  // LF, CR and no break at the end read the same; saving writes CR LF.
  const struct {
    const char* bytes;
    std::vector<std::string> lines;
  } cases[] = {{"a\nb\n", {"a", "b"}},     {"a\rb", {"a", "b"}},         {"a\r\n\r\n", {"a", ""}},
               {"\r\n", {""}},             {"", {}},                     {"x\n\ry", {"x", "", "y"}}};
  for (const auto& c : cases) {
    Write("case.txt", c.bytes);
    lines->LoadFromFile("case.txt");
    EXPECT_EQ(Lines(lines), c.lines) << c.bytes;
  }
  lines->SaveToFile("case.txt");
  EXPECT_EQ(Read("case.txt"), "x\r\n\r\ny\r\n");

  // Folders by the system's names.
  ASSERT_EQ(system(("mkdir -p '" + winpath::ToLinux("C:\\练习") + "'").c_str()), 0);
  lines->SaveToFile("C:\\练习\\字.txt");
  EXPECT_EQ(Read(winpath::ToLinux("C:\\练习\\字.txt")), "x\r\n\r\ny\r\n");
}

TEST_F(Memo, FilesThatCannotBeReadOrWrittenRaiseTheFileErrors) {
  TStrings* lines = form->Memo1->Lines;
  lines->Add("kept");
  try {
    lines->LoadFromFile("missing.txt");
    FAIL() << "no error";
  } catch (const EFOpenError& e) {
    EXPECT_EQ(e.Message(), "Cannot open file missing.txt");
  }
  EXPECT_EQ(Lines(lines), std::vector<std::string>{"kept"});
  EXPECT_THROW(lines->SaveToFile("no\\such\\folder\\x.txt"), EFCreateError);
  Write("old.txt", "old\r\n");
  chmod(".", 0555);
  const bool refused = [&] {
    try {
      lines->SaveToFile("old.txt");
      return false;
    } catch (const EFCreateError&) {
      return true;
    }
  }();
  chmod(".", 0755);
  if (geteuid() != 0) EXPECT_TRUE(refused);
  if (refused) EXPECT_EQ(Read("old.txt"), "old\r\n");
}

TEST_F(Memo, TypedLinesAndTheTabStop) {
  form->Memo1->ScrollBars = ssVertical;
  EXPECT_EQ(form->Memo1->Inner()->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
  form->Memo1->TabStop = false;
  form->Show();
  ASSERT_TRUE(test::Shown(form));
  ASSERT_TRUE(test::XdoWhileRunning("mousemove 100 50 click 1"));
  ASSERT_TRUE(test::WaitFor([&] { return form->Memo1->Inner()->hasFocus(); }));
  ASSERT_TRUE(test::XdoWhileRunning("type --delay 20 'ab'"));
  ASSERT_TRUE(test::XdoWhileRunning("key Return"));
  ASSERT_TRUE(test::XdoWhileRunning("type --delay 20 'cd'"));
  EXPECT_TRUE(test::WaitFor([&] { return form->Memo1->Lines->Count == 2; }));
  EXPECT_EQ(Lines(form->Memo1->Lines), (std::vector<std::string>{"ab", "cd"}));
  // Tab from the first edit goes past the memo to the second one.
  form->Edit1->SetFocus();
  ASSERT_TRUE(test::WaitFor([&] { return form->Edit1->Focused(); }));
  ASSERT_TRUE(test::XdoWhileRunning("key Tab"));
  EXPECT_TRUE(test::WaitFor([&] { return form->Edit2->Inner()->hasFocus(); }));
}

TEST(SaveDialog, OffersItsFolderAndNameAndGivesTheChoiceOrNothing) {
  test::App();
  setenv("QUARVEL_MSGBOX_LOG", "dialogs.log", 1);
  setenv("QUARVEL_MSGBOX_ANSWERS", "answers", 1);
  const std::string folder = winpath::ToLinux("C:\\练习");
  ASSERT_EQ(system(("mkdir -p '" + folder + "'").c_str()), 0);
  TSaveDialog dialog(Application);
  dialog.Filter = "*.txt|*.txt";
  dialog.InitialDir = "C:\\练习";
  dialog.FileName = "字.txt";
  Write("answers", "FILE " + folder + "/new.txt\nCANCEL\n");
  ASSERT_TRUE(dialog.Execute());
  EXPECT_EQ(winpath::ToLinux(dialog.FileName()), folder + "/new.txt");
  EXPECT_EQ(Read("dialogs.log"), u8"另存为\tSAVE\t" + folder + u8"/字.txt\t*.txt (*.txt)\n");
  EXPECT_FALSE(dialog.Execute());
  EXPECT_EQ(winpath::ToLinux(dialog.FileName()), folder + "/new.txt");
}
