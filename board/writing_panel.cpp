#include "board/writing_panel.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "board/glyphs.h"
#include "platform/fs/folders.h"
#include "platform/text/gbk.h"
#include "platform/win/messages.h"
#include "platform/win/process.h"
#include "platform/win/screen.h"
#include "platform/win/timing.h"
#include "platform/win/window_pos.h"
#include "platform/win/window_text.h"
#include "platform/win/window_walk.h"

TForm14* Form14 = nullptr;

namespace {
// The title the outside writing program gives its main window, unless the
// environment names another.
constexpr char kWritingWindowCaption[] = "Chinese Characters 2.0";
// Any title beginning with this is the writing program's too, for the timer.
constexpr char kWritingTitlePrefix[] = "Chinese Chara";

bool StartsWith(const std::string& text, const std::string& prefix) {
  return text.compare(0, prefix.size(), prefix) == 0;
}

// Visits every top-level window from the top of the z-order down with the
// beginning of its title, long enough to compare with both titles above;
// the walk stops when `visit` returns false.
template <class Visit>
void WalkTitles(HWND from, Visit visit) {
  const size_t size = std::max(WritingWindowCaption().size(), sizeof kWritingTitlePrefix - 1) + 1;
  std::vector<char> buffer(size);
  for (HWND h = GetWindow(from, GW_HWNDFIRST); h; h = GetWindow(h, GW_HWNDNEXT)) {
    GetWindowText(h, buffer.data(), int(size));
    if (!visit(h, std::string(buffer.data()))) return;
  }
}

void ShowTaskbar(int cmd) { ShowWindow(FindWindow("shell_traywnd", nullptr), cmd); }
}  // namespace

const std::string& WritingWindowCaption() {
  static const std::string caption = [] {
    const char* set = getenv("QUARVEL_WRITING_CAPTION");
    return set && *set ? gbk::FromUtf8(set) : std::string(kWritingWindowCaption);
  }();
  return caption;
}

TForm14::TForm14(TComponent* owner) : TForm(owner) {
  Caption = "Form14";
  BorderStyle = bsNone;
  FormStyle = fsStayOnTop;
  ClientWidth = 551;
  ClientHeight = 154;
  Color = clBtnFace;
  Font->Name = "MS Sans Serif";
  Font->Height = -11;

  Memo1 = new TMemo(this);
  Memo1->Parent = this;
  Memo1->SetBounds(0, 0, 513, 125);
  Memo1->Font->Name = "宋体";
  Memo1->Font->Height = -15;
  Memo1->ScrollBars = ssVertical;
  Memo1->TabStop = false;
  for (const char* line : {"可以在本栏内输入多行文字", "拖动下面的放大镜图标选中任意一行可改变待书写框内容",
                           "也可以直接在待书写框内输入文字"})
    Memo1->Lines->Add(line);

  Label1 = new TLabel(this);
  Label1->Parent = this;
  Label1->AutoSize = false;
  Label1->SetBounds(8, 132, 395, 13);
  Label1->Caption = "提示：为了保证正常运行，请在点击[停止]按钮前，完成最后一笔笔画。";
  Label1->Font->Name = "宋体";
  Label1->Font->Height = -12;
  Label1->Color = clGradientActiveCaption;

  const struct {
    TSpeedButton* TForm14::*button;
    int top;
    bool flat;
    const char* glyph;
    void (TForm14::*click)(TObject*);
  } buttons[] = {
      {&TForm14::SpeedButton1, 7, true, "wp_exit", &TForm14::SpeedButton1Click},
      {&TForm14::SpeedButton2, 42, false, "wp_open", &TForm14::SpeedButton2Click},
      {&TForm14::SpeedButton3, 80, false, "wp_save", &TForm14::SpeedButton3Click},
  };
  for (const auto& s : buttons) {
    auto* b = new TSpeedButton(this);
    b->Parent = this;
    b->SetBounds(517, s.top, 31, 30);
    b->Flat = s.flat;
    LoadGlyph(b, s.glyph);
    if (s.click) b->OnClick = [this, f = s.click](TObject* sender) { (this->*f)(sender); };
    this->*s.button = b;
  }
  SpeedButton1->Hint = "退出";
  SpeedButton1->ShowHint = true;

  Timer1 = new TTimer(this);
  Timer1->Interval = 100;
  Timer1->Enabled = false;
  Timer1->OnTimer = [this](TObject* s) { Timer1Timer(s); };
  OpenDialog1 = new TOpenDialog(this);
  OpenDialog1->Filter = "*.txt|*.txt";
  SaveDialog1 = new TSaveDialog(this);
  SaveDialog1->Filter = "*.txt|*.txt";

  OnCreate = [this](TObject* s) { FormCreate(s); };
  OnShow = [this](TObject* s) { FormShow(s); };
}

void TForm14::FormCreate(TObject*) { WinExec((GetProgramFolder() + "auto-ip.cmd").c_str(), SW_HIDE); }

void TForm14::FormShow(TObject*) {
  // The toolbar shows the panel before it starts the timer: a show with the
  // timer stopped begins a practice run (the board's return only shows the
  // panel again).
  if (!Timer1->Enabled) {
    PracticeStart = GetTickCount();
    WritingSeen = 0;
  }
  SystemParametersInfo(SPI_SETSCREENSAVERRUNNING, 1, nullptr, 0);
  ShowTaskbar(SW_HIDE);
}

void TForm14::Timer1Timer(TObject*) {
  const std::string& caption = WritingWindowCaption();
  HWND writing = 0;
  WalkTitles(Handle, [&](HWND h, const std::string& title) {
    if (StartsWith(title, caption) || StartsWith(title, kWritingTitlePrefix)) writing = h;
    return writing == 0;
  });
  if (writing) {
    WritingSeen = 1;
    SetWindowPos(writing, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    return;
  }
  // The program is gone once its window, seen before, has disappeared; a
  // program that never shows a window is given up after the grace period
  // (a tick right after the start would otherwise end practice before the
  // program has made its window).
  if (WritingSeen || GetTickCount() - PracticeStart >= kWritingStartGrace) EndPractice();
}

void TForm14::SpeedButton1Click(TObject*) {
  const std::string& caption = WritingWindowCaption();
  WalkTitles(Handle, [&](HWND h, const std::string& title) {
    if (StartsWith(title, caption)) SendMessage(h, WM_CLOSE, 0, 0);
    return true;
  });
  EndPractice();
}

void TForm14::SpeedButton2Click(TObject*) {
  if (OpenDialog1->Execute()) Memo1->Lines->LoadFromFile(OpenDialog1->FileName);
}

void TForm14::SpeedButton3Click(TObject*) {
  if (SaveDialog1->Execute()) Memo1->Lines->SaveToFile(SaveDialog1->FileName);
}

void TForm14::EndPractice() {
  Hide();
  Timer1->Enabled = false;
  Tag = 0;
  ShowTaskbar(SW_RESTORE);
  SystemParametersInfo(SPI_SETSCREENSAVERRUNNING, 0, nullptr, 0);
}
