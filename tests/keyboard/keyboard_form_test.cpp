// The keyboard form inside the test process, on a real X server: what it
// holds that no other process sees (fonts, style, pictures, timer), the
// modifier display following keys held on the server, the Ctrl and Esc
// group across their key windows, the hit test, the exception display.
#include <QFile>
#include <QFontInfo>
#include <QFontMetrics>

#include "keyboard/exception_display.h"
#include "keyboard/keyboard_form.h"
#include "platform/text/gbk.h"
#include "platform/vcl/jpeg.h"
#include "platform/win/messages.h"
#include "platform/win/window_style.h"
#include "tests/platform/vcl/vcl_test.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

constexpr TColor kKeyColour = TColor(0xC16C20);

class KeyboardForm : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    Application->Initialize();
    Application->Title = "tappel";
    Application->CreateForm(Form1);
    Form1->Show();
  }
  void SetUp() override {
    ASSERT_TRUE(test::Shown(Form1));
    Form1->Timer1->Enabled = true;
  }

  static TPanel* PanelOf(char code) {
    for (auto& k : Form1->KeyWindows)
      if (k.key->code == code) return k.panel;
    return nullptr;
  }
  static TSpeedButton* ButtonOf(char code) {
    for (auto& k : Form1->KeyWindows)
      if (k.key->code == code) return k.button;
    return nullptr;
  }
  // A real click at the centre of the key.
  static void Click(char code) {
    TPanel* p = PanelOf(code);
    TPoint c = p->ClientToScreen(Point(p->Width / 2, p->Height / 2));
    test::Xdo("mousemove " + std::to_string(c.X) + " " + std::to_string(c.Y) + " click 1");
  }
  // Waits until the X server has answered everything asked so far and the
  // form has handled what came back.
  static void Settle() { test::Pump(150); }
};

std::string Boxes(const std::string& log) {
  QFile f(QString::fromStdString(log));
  return f.open(QIODevice::ReadOnly) ? f.readAll().toStdString() : std::string();
}

}  // namespace

TEST_F(KeyboardForm, HoldsWhatItsDescriptionSays) {
  EXPECT_EQ(Form1->ClientWidth(), 396);
  EXPECT_EQ(Form1->ClientHeight(), 137);
  EXPECT_EQ(Form1->Color(), clSkyBlue);
  EXPECT_EQ(Form1->BorderStyle(), bsNone);
  EXPECT_EQ(Form1->FormStyle(), fsStayOnTop);
  // The application window's style is replaced, not added to.
  EXPECT_EQ(GetWindowLong(Application->Handle, GWL_EXSTYLE), LONG(WS_EX_TOOLWINDOW));
  EXPECT_TRUE(Form1->Timer1->Enabled());
  EXPECT_EQ(Form1->Timer1->Interval(), 100u);

  // The title strip is a JPEG picture of its own size; the close glyph a bitmap.
  auto* title = dynamic_cast<TJPEGImage*>(Form1->Image2->Picture->Graphic());
  ASSERT_NE(title, nullptr);
  EXPECT_EQ(title->Width(), 395);
  EXPECT_EQ(title->Height(), 17);
  EXPECT_EQ(Form1->Image2->GetBoundsRect(), Bounds(0, 0, 395, 17));
  EXPECT_FALSE(Form1->SpeedButton1->Glyph->Empty());
  EXPECT_TRUE(Form1->SpeedButton1->Flat());

  // Label fonts: name, height, colour; buttons take their key window's font.
  struct Case {
    char code;
    const char* name;
    int height;
  } cases[] = {{'q', "MS Sans Serif", -11}, {'`', "MS Sans Serif", -13}, {'=', "MS Sans Serif", -13},
               {'-', "宋体", -11},          {'G', "楷体_GB2312", -12},    {'H', "MS Sans Serif", -11}};
  for (const Case& c : cases) {
    TPanel* p = PanelOf(c.code);
    ASSERT_NE(p, nullptr) << c.code;
    EXPECT_EQ(p->Font->Name(), c.name) << c.code;
    EXPECT_EQ(p->Font->Height(), c.height) << c.code;
    EXPECT_EQ(p->Font->Color(), kKeyColour) << c.code;
    EXPECT_EQ(p->BevelOuter(), bvRaised) << c.code;
  }
  for (auto& k : Form1->KeyWindows) {
    EXPECT_EQ(k.button->Font->Name(), k.panel->Font->Name()) << k.key->code;
    EXPECT_EQ(k.button->Font->Height(), k.panel->Font->Height()) << k.key->code;
  }
  // The space bar keeps the form's font and shows no label.
  EXPECT_EQ(PanelOf(' ')->Font->Color(), Form1->Font->Color());
  EXPECT_EQ(ButtonOf(' ')->Caption(), "");
  EXPECT_EQ(ButtonOf('7')->Caption(), "7 &&");  // one ampersand shown
  EXPECT_EQ(Form1->Panel56->BevelOuter(), bvNone);
  EXPECT_EQ(Form1->Panel56->Color(), clSkyBlue);
  EXPECT_EQ(Form1->Panel99->Color(), clSkyBlue);
}

// Every label, in the face the installed fonts give for its font, fits
// inside its key's raised edges (two pixels each side), "CapsLock" in its
// 50 pixels included.
TEST_F(KeyboardForm, EveryLabelFitsInsideItsKey) {
  for (auto& k : Form1->KeyWindows) {
    const AnsiString caption = k.button->Caption();
    if (caption.empty()) continue;
    const QFont font = k.button->Font->ToQFont();
    const QRect ink = QFontMetrics(font).boundingRect(QRect(0, 0, 1000, 100), Qt::AlignCenter | Qt::TextShowMnemonic,
                                                     gbk::ToQString(caption));
    EXPECT_LE(ink.width(), k.button->Width - 4)
        << caption << " in " << QFontInfo(font).family().toStdString() << " on a key " << k.button->Width << " wide";
  }
}

TEST_F(KeyboardForm, ModifierButtonsFollowTheKeysHeldOnTheServer) {
  struct Case {
    const char* key;
    TSpeedButton* button;
  } cases[] = {{"Shift_L", Form1->SpeedButton44},   {"Shift_R", Form1->SpeedButton44},
               {"Control_L", Form1->SpeedButton63}, {"Control_R", Form1->SpeedButton63},
               {"Alt_L", Form1->SpeedButton57}};
  for (const Case& c : cases) {
    EXPECT_FALSE(c.button->Down()) << c.key;
    test::Xdo(std::string("keydown ") + c.key);
    EXPECT_TRUE(test::WaitFor([&] { return c.button->Down(); })) << c.key;
    test::Xdo(std::string("keyup ") + c.key);
    EXPECT_TRUE(test::WaitFor([&] { return !c.button->Down(); })) << c.key;
  }

  // A click toggles the button, until the next tick shows the key again.
  Form1->Timer1->Enabled = false;
  Click('F');
  ASSERT_TRUE(test::WaitFor([] { return Form1->SpeedButton44->Down(); }));
  Click('F');
  ASSERT_TRUE(test::WaitFor([] { return !Form1->SpeedButton44->Down(); }));
  Click('F');
  ASSERT_TRUE(test::WaitFor([] { return Form1->SpeedButton44->Down(); }));
  Form1->Timer1->Enabled = true;
  EXPECT_TRUE(test::WaitFor([] { return !Form1->SpeedButton44->Down(); }));
}

TEST_F(KeyboardForm, CapsLockColoursItsLabelRedWhileOn) {
  ASSERT_EQ(Form1->SpeedButton31->Font->Color(), kKeyColour);
  test::Xdo("key Caps_Lock");
  EXPECT_TRUE(test::WaitFor([] { return Form1->SpeedButton31->Font->Color() == clRed; }));
  // Only the label changes: the button never stays down.
  EXPECT_FALSE(Form1->SpeedButton31->Down());
  EXPECT_EQ(PanelOf('D')->Font->Color(), kKeyColour);
  test::Xdo("key Caps_Lock");
  EXPECT_TRUE(test::WaitFor([] { return Form1->SpeedButton31->Font->Color() == kKeyColour; }));
}

TEST_F(KeyboardForm, CtrlAndEscReleaseEachOtherAcrossTheirKeyWindows) {
  TSpeedButton *ctrl = Form1->SpeedButton63, *esc = Form1->SpeedButton56, *shift = Form1->SpeedButton44,
               *alt = Form1->SpeedButton57;
  ASSERT_NE(ctrl->Parent, esc->Parent);
  Form1->Timer1->Enabled = false;
  Click('T');
  ASSERT_TRUE(test::WaitFor([&] { return esc->Down(); }));
  Click('H');
  ASSERT_TRUE(test::WaitFor([&] { return ctrl->Down(); }));
  EXPECT_FALSE(esc->Down());
  Click('T');
  ASSERT_TRUE(test::WaitFor([&] { return esc->Down(); }));
  EXPECT_FALSE(ctrl->Down());
  // Other groups, and plain keys, are not touched.
  Click('F');
  Click('I');
  ASSERT_TRUE(test::WaitFor([&] { return shift->Down() && alt->Down(); }));
  EXPECT_TRUE(esc->Down());
  Click('q');
  Settle();
  for (auto& k : Form1->KeyWindows) {
    if (!k.key->group) {
      EXPECT_FALSE(k.button->Down()) << k.key->code;
    }
  }

  // Esc stays down through the ticks, until Ctrl goes down with its key.
  Form1->Timer1->Enabled = true;
  ASSERT_TRUE(test::WaitFor([&] { return !shift->Down() && !alt->Down(); }));
  EXPECT_TRUE(esc->Down());
  test::Xdo("keydown Control_L");
  EXPECT_TRUE(test::WaitFor([&] { return ctrl->Down() && !esc->Down(); }));
  test::Xdo("keyup Control_L");
  EXPECT_TRUE(test::WaitFor([&] { return !ctrl->Down(); }));
  EXPECT_FALSE(esc->Down());
}

TEST_F(KeyboardForm, TheHitTestAnswersCaptionOnlyWhileTheLeftButtonIsDown) {
  const LPARAM title = MAKELPARAM(WORD(Form1->Left + 100), WORD(Form1->Top + 8));
  EXPECT_EQ(SendMessage(Form1->Handle, WM_NCHITTEST, 0, title), HTCLIENT);
  test::Xdo("mousemove 5 5 mousedown 1");  // on the root window, far from the keyboard
  EXPECT_EQ(SendMessage(Form1->Handle, WM_NCHITTEST, 0, title), HTCAPTION);
  test::Xdo("mouseup 1");
  EXPECT_EQ(SendMessage(Form1->Handle, WM_NCHITTEST, 0, title), HTCLIENT);
  // Every other message has the form's inherited handling.
  EXPECT_EQ(SendMessage(Form1->Handle, WM_USER + 1, 0, 0), 0);
}

TEST_F(KeyboardForm, ExceptionsAreShownAndTheProgramGoesOn) {
  const std::string dir = getenv("QUARVEL_TEST_DIR"), log = dir + "/boxes.log", answers = dir + "/answers";
  setenv("QUARVEL_MSGBOX_LOG", log.c_str(), 1);
  setenv("QUARVEL_MSGBOX_ANSWERS", answers.c_str(), 1);
  test::Shell("printf 'OK\\nOK\\nOK\\n' > " + answers);
  int after = 0;
  auto handler = tappel::Guarded([&](TObject*, int kind) {
    if (kind == 0) throw EConvertError("'x' is not a valid integer value");
    if (kind == 1) throw std::runtime_error("not the library's");
    throw 7;
  });
  for (int kind = 0; kind < 3; ++kind) {
    handler(Form1, kind);
    ++after;
  }
  EXPECT_EQ(after, 3);
  // The library's exception with its message, the others with an empty one.
  EXPECT_EQ(Boxes(log), "tappel\t'x' is not a valid integer value\ntappel\t\ntappel\t\n");
  unsetenv("QUARVEL_MSGBOX_LOG");
  unsetenv("QUARVEL_MSGBOX_ANSWERS");
  EXPECT_TRUE(Form1->Visible);
  EXPECT_FALSE(Application->Terminated);
}
