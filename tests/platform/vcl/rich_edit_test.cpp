// The rich edit control on a real X server: the whole font and the
// selection's attributes, files as rich and plain text, real keys and
// pointer, the clipboard of another X client, the input method it asks for.
#include <QApplication>
#include <QInputMethodEvent>
#include <QProcess>
#include <QTextBlock>
#include <QTextCursor>
#include <QWindow>

#include <algorithm>
#include <fstream>
#include <sys/stat.h>

#include "platform/fs/files.h"
#include "platform/fs/path.h"
#include "platform/text/gbk.h"
#include "platform/vcl/input_method.h"
#include "platform/vcl/rich_edit.h"
#include "tests/platform/vcl/vcl_test.h"

#include <gtest/gtest.h>

namespace {

// A borderless form at the top left holding a note as the board has one.
class TNote : public TForm {
 public:
  explicit TNote(TComponent* owner) : TForm(owner) {
    BorderStyle = bsNone;
    SetBounds(0, 0, 500, 300);
    RichEdit1 = new TRichEdit(this);
    RichEdit1->Parent = this;
    RichEdit1->SetBounds(0, 20, 400, 200);
    RichEdit1->BorderStyle = bsNone;
    RichEdit1->Color = TColor(0xA5A5A5);
    RichEdit1->Font->Name = "隶书";
    RichEdit1->Font->Height = -48;
    RichEdit1->Font->Charset = GB2312_CHARSET;
    RichEdit1->Font->Color = clBlack;
    RichEdit1->OnMouseDown = [this](TObject*, TMouseButton, TShiftState, int x, int y) { downs.push_back({x, y}); };
    RichEdit1->OnMouseMove = [this](TObject*, TShiftState, int x, int y) { moves.push_back({x, y}); };
  }
  TRichEdit* RichEdit1;
  std::vector<TPoint> downs, moves;
};

struct Look {
  AnsiString name;
  int height;
  TColor colour;
  bool bold;
};

// The look of character `at` through the control's own selection.
Look LookAt(TRichEdit* e, int at) {
  QTextCursor c = e->Inner()->textCursor();
  const QTextCursor saved = c;
  c.setPosition(at);
  c.setPosition(at + 1, QTextCursor::KeepAnchor);
  e->Inner()->setTextCursor(c);
  TFont f;
  f.Assign(e->SelAttributes);
  e->Inner()->setTextCursor(saved);
  return {f.Name(), f.Height(), f.Color(), f.Style().Contains(fsBold)};
}

void Select(TRichEdit* e, int from, int to) {
  QTextCursor c = e->Inner()->textCursor();
  c.setPosition(from);
  c.setPosition(to, QTextCursor::KeepAnchor);
  e->Inner()->setTextCursor(c);
}

std::string Bytes(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(f), {});
}

class RichEdit : public ::testing::Test {
 protected:
  void SetUp() override {
    test::App();
    form = new TNote(Application);
    form->Show();
    ASSERT_TRUE(test::Shown(form));
  }
  void TearDown() override { delete form; }
  bool Focus() {
    form->windowHandle()->requestActivate();
    if (!test::WaitFor([&] { return form->isActiveWindow(); })) return false;
    form->RichEdit1->SetFocus();
    return test::WaitFor([&] { return form->RichEdit1->Inner()->hasFocus(); });
  }
  TNote* form = nullptr;
};

}  // namespace

TEST_F(RichEdit, TheFontIsTheWholeTextsAndSelAttributesTheSelections) {
  TRichEdit* e = form->RichEdit1;
  e->Text = "我们的黑板";
  for (int at = 0; at < 5; ++at) {
    const Look l = LookAt(e, at);
    EXPECT_EQ(l.name, "隶书") << at;
    EXPECT_EQ(l.height, -48) << at;
    EXPECT_EQ(l.colour, clBlack) << at;
  }
  TFont other;
  other.Name = "宋体";
  other.Height = -20;
  other.Color = clBlue;
  other.Style = TFontStyles{fsBold};
  Select(e, 1, 3);
  e->SelAttributes->Assign(&other);
  EXPECT_EQ(LookAt(e, 0).height, -48);
  EXPECT_EQ(LookAt(e, 1).name, "宋体");
  EXPECT_EQ(LookAt(e, 2).height, -20);
  EXPECT_EQ(LookAt(e, 2).colour, clBlue);
  EXPECT_TRUE(LookAt(e, 2).bold);
  EXPECT_EQ(LookAt(e, 3).height, -48);
  // The attributes read are those of the selection's first character.
  Select(e, 2, 5);
  EXPECT_EQ(e->SelAttributes->Name(), "宋体");
  EXPECT_EQ(e->SelAttributes->Size(), 15);
  e->SelAttributes->Color = clRed;
  EXPECT_EQ(LookAt(e, 4).colour, clRed);
  EXPECT_EQ(LookAt(e, 1).colour, clBlue);

  // A new Font restyles everything.
  other.Name = "黑体";
  other.Height = -30;
  other.Color = clGreen;
  other.Style = TFontStyles{};
  e->Font->Assign(&other);
  for (int at = 0; at < 5; ++at) {
    const Look l = LookAt(e, at);
    EXPECT_EQ(l.name, "黑体") << at;
    EXPECT_EQ(l.height, -30) << at;
    EXPECT_EQ(l.colour, clGreen) << at;
    EXPECT_FALSE(l.bold) << at;
  }
  EXPECT_EQ(e->Text(), "我们的黑板");
}

TEST_F(RichEdit, KeysTypedTakeTheAttributesSetAtTheCaretAndThePointerReportsNoteCoordinates) {
  TRichEdit* e = form->RichEdit1;
  e->Lines->Clear();
  ASSERT_TRUE(Focus());
  ASSERT_TRUE(test::XdoWhileRunning("type --delay 20 ab"));
  ASSERT_TRUE(test::WaitFor([&] { return e->Text() == "ab"; })) << e->Text();
  TFont bold;
  bold.Assign(e->Font);
  bold.Style = TFontStyles{fsBold};
  e->SelAttributes->Assign(&bold);
  ASSERT_TRUE(test::XdoWhileRunning("type --delay 20 cd"));
  ASSERT_TRUE(test::WaitFor([&] { return e->Text() == "abcd"; })) << e->Text();
  EXPECT_FALSE(LookAt(e, 1).bold);
  EXPECT_TRUE(LookAt(e, 2).bold);
  EXPECT_TRUE(LookAt(e, 3).bold);
  ASSERT_TRUE(test::XdoWhileRunning("key Return"));
  EXPECT_TRUE(test::WaitFor([&] { return e->Text() == "abcd\r\n"; })) << e->Text();
  // Chinese comes as the input method hands it over: composed, then committed.
  QInputMethodEvent compose(QString::fromUtf8(u8"zhong"), {});
  QCoreApplication::sendEvent(QApplication::focusWidget(), &compose);
  QInputMethodEvent commit;
  commit.setCommitString(QString::fromUtf8(u8"中文"));
  QCoreApplication::sendEvent(QApplication::focusWidget(), &commit);
  EXPECT_EQ(e->Text(), "abcd\r\n中文");
  EXPECT_TRUE(e->Inner()->testAttribute(Qt::WA_InputMethodEnabled));

  form->moves.clear();
  ASSERT_TRUE(test::XdoWhileRunning("mousemove 390 210 mousemove 395 215"));
  ASSERT_TRUE(test::WaitFor([&] { return !form->moves.empty() && form->moves.back() == TPoint(395, 195); }));
  ASSERT_TRUE(test::XdoWhileRunning("click 1"));
  ASSERT_TRUE(test::WaitFor([&] { return !form->downs.empty() && form->downs.back() == TPoint(395, 195); }));
  // The text area shows the control's cursor, the I-beam for crDefault.
  e->Cursor = crSizeNWSE;
  EXPECT_EQ(e->Inner()->viewport()->cursor().shape(), Qt::SizeFDiagCursor);
  e->Cursor = crIBeam;
  EXPECT_EQ(e->Inner()->viewport()->cursor().shape(), Qt::IBeamCursor);
  e->Cursor = crSizeWE;
  EXPECT_EQ(e->Inner()->viewport()->cursor().shape(), Qt::SizeHorCursor);
  e->Cursor = crDefault;
  EXPECT_EQ(e->Inner()->viewport()->cursor().shape(), Qt::IBeamCursor);
}

TEST_F(RichEdit, LinesAreSavedAsRichTextAndReadAsRichOrPlainText) {
  TRichEdit* e = form->RichEdit1;
  e->Text = "第一行\r\n第二行 bold";
  Select(e, 8, 12);
  TFont bold;
  bold.Assign(e->Font);
  bold.Style = TFontStyles{fsBold};
  e->SelAttributes->Assign(&bold);
  const std::string file = test::Shell("pwd | tr -d '\\n'") + "/7";
  e->Lines->SaveToFile(winpath::FromLinux(file));
  const std::string rtf = Bytes(file);
  EXPECT_EQ(rtf.rfind("{\\rtf1\\ansi\\ansicpg936", 0), 0u) << rtf;
  EXPECT_NE(rtf.find("\\fcharset134 \\'c1\\'a5\\'ca\\'e9;"), std::string::npos) << rtf;
  EXPECT_NE(rtf.find("\\b bold"), std::string::npos) << rtf;

  e->Lines->Clear();
  EXPECT_EQ(e->Text(), "");
  e->Lines->LoadFromFile(winpath::FromLinux(file));
  EXPECT_EQ(e->Text(), "第一行\r\n第二行 bold");
  EXPECT_TRUE(LookAt(e, 9).bold);
  EXPECT_FALSE(LookAt(e, 7).bold);
  EXPECT_EQ(LookAt(e, 0).name, "隶书");
  EXPECT_EQ(LookAt(e, 0).height, -48);

  // A file that is no rich text is plain GBK text, in the control's font.
  std::ofstream(file, std::ios::binary) << gbk::FromUtf8(u8"纯文本\r\n第二\n第三\r末");
  e->Lines->LoadFromFile(winpath::FromLinux(file));
  EXPECT_EQ(e->Text(), "纯文本\r\n第二\r\n第三\r\n末");
  EXPECT_EQ(LookAt(e, 1).name, "隶书");
  EXPECT_EQ(LookAt(e, 1).height, -48);
  EXPECT_FALSE(LookAt(e, 1).bold);

  // In plain-text mode both ways are plain text.
  e->PlainText = true;
  e->Lines->SaveToFile(winpath::FromLinux(file));
  EXPECT_EQ(Bytes(file), gbk::FromUtf8(u8"纯文本\r\n第二\r\n第三\r\n末"));
  std::ofstream(file, std::ios::binary) << "{\\rtf1 x}";
  e->Lines->LoadFromFile(winpath::FromLinux(file));
  EXPECT_EQ(e->Text(), "{\\rtf1 x}");
  e->PlainText = false;

  EXPECT_THROW(e->Lines->LoadFromFile("C:\\nothing\\here"), EFOpenError);
  EXPECT_THROW(e->Lines->SaveToFile("C:\\no folder\\7"), EFCreateError);
  EXPECT_EQ(Bytes(file), "{\\rtf1 x}");  // untouched by the failed save
}

TEST_F(RichEdit, PasteTakesAnotherClientsClipboardOverTheSelection) {
  TRichEdit* e = form->RichEdit1;
  e->Text = "abc黑板";
  // Another X client owns the clipboard while the paste reads it.
  QProcess owner;
  owner.start("python3", {"-c",
                          "import sys, tkinter\n"
                          "r = tkinter.Tk(); r.withdraw(); r.clipboard_clear()\n"
                          "r.clipboard_append(sys.argv[1]); r.update()\n"
                          "print('ready', flush=True)\n"
                          "r.after(20000, r.destroy); r.mainloop()\n",
                          QString::fromUtf8(u8"粘贴的字")});
  ASSERT_TRUE(owner.waitForReadyRead(10000));
  ASSERT_TRUE(owner.readAll().startsWith("ready"));
  Select(e, 1, 3);
  e->PasteFromClipboard();
  EXPECT_EQ(e->Text(), "a粘贴的字黑板");
  EXPECT_EQ(LookAt(e, 2).name, "隶书");
  owner.kill();
  owner.waitForFinished();
}

TEST_F(RichEdit, TheFocusAsksForTheNamedInputMethodOfTheDesktopsFramework) {
  // Stand-ins for the frameworks' commands, recording how they were called.
  const std::string bin = test::Shell("pwd | tr -d '\\n'") + "/im-bin";
  const std::string log = bin + "/calls";
  mkdir(bin.c_str(), 0755);
  auto tool = [&](const char* name) {
    const std::string path = bin + "/" + name;
    std::ofstream(path) << "#!/bin/sh\necho \"$(basename \"$0\") $*\" >> '" << log << "'\n";
    chmod(path.c_str(), 0755);
  };
  tool("ibus");
  tool("fcitx-remote");
  const std::string path = getenv("PATH");
  setenv("PATH", (bin + ":" + path).c_str(), 1);
  auto calls = [&](size_t n) {
    std::string text;
    test::WaitFor([&] {
      text = Bytes(log);
      return std::count(text.begin(), text.end(), '\n') >= long(n);
    }, 5000);
    return text;
  };

  unsetenv("QT_IM_MODULE");
  unsetenv("XMODIFIERS");
  EXPECT_FALSE(vcl::RequestInputMethod("手写"));
  setenv("XMODIFIERS", "@im=ibus", 1);
  EXPECT_FALSE(vcl::RequestInputMethod(""));
  EXPECT_TRUE(vcl::RequestInputMethod("手写"));
  EXPECT_EQ(calls(1), u8"ibus engine 手写\n");
  // Fcitx: its version 5 command is missing here, the older one is there.
  setenv("QT_IM_MODULE", "fcitx", 1);
  EXPECT_TRUE(vcl::RequestInputMethod("pinyin"));
  EXPECT_EQ(calls(2), u8"ibus engine 手写\nfcitx-remote -s pinyin\n");

  // The note asks whenever it gets the focus, and not without a name.
  setenv("QT_IM_MODULE", "ibus", 1);
  form->RichEdit1->ImeName = "手写输入";
  // Shown, the form took the focus and gave it to the note already.
  form->RichEdit1->Inner()->clearFocus();
  ASSERT_TRUE(Focus());
  EXPECT_EQ(calls(3), u8"ibus engine 手写\nfcitx-remote -s pinyin\nibus engine 手写输入\n");
  setenv("PATH", path.c_str(), 1);
  unsetenv("QT_IM_MODULE");
  unsetenv("XMODIFIERS");
}

// A new Font shows at once, whatever was shown before: the text drawn in it
// without waiting for a key or a new size.
TEST_F(RichEdit, ANewFontShowsTheTextAtOnce) {
  TRichEdit* e = form->RichEdit1;
  e->Text = "测试应用";
  auto inked = [e] {
    QApplication::processEvents();
    const QImage shot = e->Inner()->viewport()->grab().toImage();
    int dark = 0;
    for (int y = 0; y < shot.height(); ++y)
      for (int x = 0; x < shot.width(); ++x) dark += qGray(shot.pixel(x, y)) < 60;
    return dark;
  };
  ASSERT_GT(inked(), 50);
  for (int height : {-21, -60, -14}) {
    TFont f;
    f.Name = "隶书";
    f.Height = height;
    f.Color = clBlack;
    e->Font->Assign(&f);
    EXPECT_GT(inked(), 20) << height;
  }
}
