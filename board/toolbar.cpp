#include "board/toolbar.h"

#include "board/annotate.h"
#include "board/board.h"
#include "board/curtain.h"
#include "board/glyphs.h"
#include "board/help.h"
#include "board/writing_panel.h"
#include "platform/fs/folders.h"
#include "platform/pakrim/pakrim.h"
#include "platform/win/application.h"
#include "platform/win/input.h"
#include "platform/win/messages.h"
#include "platform/win/msgbox.h"
#include "platform/win/process.h"
#include "platform/win/screen.h"
#include "platform/win/window_pos.h"
#include "platform/win/window_style.h"
#include "platform/win/window_text.h"
#include "platform/win/window_walk.h"

TForm1* Form1 = nullptr;

namespace {

// The toolbar's width and where it sits: its right end 93 pixels short of
// the screen's right edge.
constexpr int kFromRight = 436;

using Handler = void (TForm1::*)(TObject*);

struct ButtonSpec {
  TSpeedButton* TForm1::*button;
  int left, top, size;
  const char* hint;
  const char* glyph;
  Handler click;
};

// SpeedButton7 sits on Panel2; the restore button comes last so that it lies
// above the board button in the shrunk square.
const ButtonSpec kButtons[] = {
    {&TForm1::SpeedButton4, 0, 1, 38, "书写板", "tb_board", &TForm1::SpeedButton4Click},
    {&TForm1::SpeedButton3, 38, 1, 38, "标注", "tb_annotate", &TForm1::SpeedButton3Click},
    {&TForm1::SpeedButton7, 0, 0, 38, nullptr, "tb_lock", &TForm1::SpeedButton7Click},
    {&TForm1::SpeedButton8, 114, 1, 38, nullptr, "tb_keyboard", &TForm1::SpeedButton8Click},
    {&TForm1::SpeedButton9, 153, 1, 38, "书写练习", "tb_write", &TForm1::SpeedButton9Click},
    {&TForm1::SpeedButton10, 191, 1, 38, "消隐投影", "tb_curtain", &TForm1::SpeedButton10Click},
    {&TForm1::SpeedButton2, 229, 1, 38, "帮助", "tb_help", &TForm1::SpeedButton2Click},
    {&TForm1::SpeedButton1, 267, 1, 38, "退出", "tb_exit", &TForm1::SpeedButton1Click},
    {&TForm1::SpeedButton5, 305, 1, 38, "微缩", "tb_shrink", &TForm1::SpeedButton5Click},
    {&TForm1::SpeedButton6, 0, 0, 16, "恢复", "tb_restore", &TForm1::SpeedButton6Click},
};

// Every top-level window's text, read into a buffer of `size` bytes as the
// walk goes from the top of the z-order down; windows without a text are
// skipped.
template <class Visit>
void WalkTopLevels(HWND from, int size, Visit visit) {
  std::vector<char> buffer(static_cast<size_t>(size));
  for (HWND h = GetWindow(from, GW_HWNDFIRST); h; h = GetWindow(h, GW_HWNDNEXT)) {
    if (GetWindowText(h, buffer.data(), size) == 0) continue;
    visit(h, std::string(buffer.data()));
  }
}

// WM_CLOSE to every top-level window whose text, read into `size` bytes, is
// one of the texts; true when there was one.
bool CloseWindowsTitled(HWND from, int size, std::initializer_list<std::string> titles) {
  bool found = false;
  WalkTopLevels(from, size, [&](HWND h, const std::string& text) {
    for (const std::string& t : titles)
      if (text == t) {
        SendMessage(h, WM_CLOSE, 0, 0);
        found = true;
        return;
      }
  });
  return found;
}

void LockKeys() {
  if (Form1->KeysLocked != 0) return;
  Form1->KeysLocked = 1;
  DisableTaskKeys(1, 23);
}

}  // namespace

TForm1::TForm1(TComponent* owner) : TForm(owner) {
  Caption = "Form1";
  BorderStyle = bsNone;
  FormStyle = fsStayOnTop;
  ClientWidth = 343;
  ClientHeight = 39;
  Color = TColor(33023);
  ShowHint = true;

  Panel1 = new TPanel(this);
  Panel1->Parent = this;
  Panel1->BevelOuter = bvNone;
  Panel1->Align = alClient;
  Panel1->Color = clSkyBlue;
  Panel1->Font->Color = clSkyBlue;
  Panel1->Caption = "%*Z";
  Panel2 = new TPanel(this);
  Panel2->Parent = Panel1;
  Panel2->SetBounds(76, 1, 38, 37);
  Panel2->BevelOuter = bvNone;
  Panel2->Color = clSkyBlue;
  Panel2->Font->Color = clSkyBlue;
  Panel2->Caption = "  @&*";
  for (const ButtonSpec& s : kButtons) {
    auto* b = new TSpeedButton(this);
    b->Parent = s.button == &TForm1::SpeedButton7 ? Panel2 : Panel1;
    b->SetBounds(s.left, s.top, s.size, s.size);
    b->Flat = true;
    if (s.hint) b->Hint = s.hint;
    LoadGlyph(b, s.glyph);
    b->OnClick = [this, f = s.click](TObject* sender) { (this->*f)(sender); };
    this->*s.button = b;
  }
  SpeedButton6->Visible = false;

  Timer1 = new TTimer(this);
  Timer1->Interval = 1000;
  Timer1->OnTimer = [this](TObject* s) { Timer1Timer(s); };

  OnCreate = [this](TObject* s) { FormCreate(s); };
  OnCloseQuery = [this](TObject* s, bool& canClose) { FormCloseQuery(s, canClose); };
}

void TForm1::FormCreate(TObject*) {
  KeysLocked = 0;
  if (win::ScreenCaps(BITSPIXEL) < 24 &&
      ::MessageBox(Handle, "您的系统颜色质量设置低于24位，是否调整?", "提示信息", MB_YESNO) == IDYES) {
    DEVMODE mode{};
    mode.dmSize = sizeof mode;
    mode.dmFields = DM_BITSPERPEL;
    mode.dmBitsPerPel = 24;
    ChangeDisplaySettings(&mode, 0);
  }
  int running = 0;
  // Of two started at once (each seeing the other), the first to claim the
  // title stays.
  const bool first = Application->Win().FirstOfTitle();
  WalkTopLevels(Handle, 12, [&](HWND h, const std::string& text) {
    // One instance only: a second ends as soon as its message loop starts.
    if (text == "Quarvel" && ++running > 1 && !first) Application->Terminate();
    if (text == "xTouchMon") SendMessage(h, WM_CLOSE, 0, 0);
  });
  SetWindowLong(Application->Handle, GWL_EXSTYLE, WS_EX_TOOLWINDOW);
  Top = 0;
  Left = Screen->Width - kFromRight;
  KeysLocked = 1;
  DisableTaskKeys(1, 23);
}

void TForm1::FormCloseQuery(TObject*, bool&) {
  CloseWindowsTitled(Handle, 25, {"%*Y", WritingWindowCaption()});
}

void TForm1::Timer1Timer(TObject*) {
  SetWindowPos(Handle, HWND_TOPMOST, Left, Top, Width, Height, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void TForm1::SpeedButton1Click(TObject*) {
  if (::MessageBox(Handle, "确实要退出系统吗？", "提示信息", MB_YESNO) != IDYES) return;
  ShowWindow(FindWindow("shell_traywnd", nullptr), SW_RESTORE);
  SystemParametersInfo(SPI_SETSCREENSAVERRUNNING, 0, nullptr, 0);
  for (int page = 1; page <= Form3->PageCount; ++page) DeleteFile(Form3->ProgramFolder + IntToStr(page));
  Close();
}

void TForm1::SpeedButton2Click(TObject*) { Form4->ShowModal(); }

void TForm1::SpeedButton3Click(TObject*) {
  ReturnWindow = WindowFromPoint(POINT{500, 360});
  Timer1->Enabled = false;
  Hide();
  Form2->ShowModal();
}

void TForm1::SpeedButton4Click(TObject*) {
  if (Form14->Visible) Form14->Hide();
  Timer1->Enabled = false;
  Hide();
  const int page = Form3->CurrentPage;
  if (Form3->PageState[page] < 1) {
    Form3->FillPage(page, Form3->RCP->Color);
    Form3->InvalidateUndo();
  } else {
    PaintSource = 1;
  }
  Form3->Show();
}

void TForm1::SpeedButton5Click(TObject*) {
  Height = 16;
  Width = 16;
  Left = Left + 275;
  Panel1->Height = 16;
  Panel1->Width = 16;
  SpeedButton6->Show();
  SpeedButton3->Hide();
}

void TForm1::SpeedButton6Click(TObject*) {
  Panel1->Height = 40;
  Panel1->Width = 351;
  ClientWidth = 342;
  Left = Screen->Width - kFromRight;
  Height = 40;
  SpeedButton3->Show();
  SpeedButton6->Hide();
}

void TForm1::SpeedButton7Click(TObject*) { LockKeys(); }

void TForm1::SpeedButton8Click(TObject*) {
  LockKeys();
  if (!CloseWindowsTitled(Handle, 12, {"%*Y"})) WinExec("tappel.dll", SW_SHOW);
}

void TForm1::SpeedButton9Click(TObject*) {
  Form14->Left = (Screen->Width - 552) / 2;
  if (Screen->Height == 600) {
    Form14->Top = 40;
    Form14->Height = 103;
    Form14->Memo1->Height = 86;
    Form14->Label1->Top = 88;
    Form14->SpeedButton3->Top = 72;
  } else {
    Form14->Top = (Screen->Height - 424) / 2 - 100;
  }
  Form14->Show();
  Form14->Tag = 1;
  try {
    WinExec((GetProgramFolder() + "ani.dll").c_str(), SW_SHOW);
  } catch (...) {
    // A writing program that does not start is no concern of the toolbar's.
  }
  Form14->Timer1->Enabled = true;
}

void TForm1::SpeedButton10Click(TObject*) {
  SetWindowPos(Handle, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  Timer1->Enabled = false;
  Form5->Show();
  SetCursorPos(Screen->Width, 50);
}
