#include "board/writing_panel.h"

#include <cstdlib>

#include "platform/text/gbk.h"

TForm14* Form14 = nullptr;

namespace {
// The title the outside writing program gives its main window, unless the
// environment names another.
constexpr char kWritingWindowCaption[] = "Chinese Characters 2.0";
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

  Label1 = new TLabel(this);
  Label1->Parent = this;
  Label1->AutoSize = false;
  Label1->SetBounds(8, 132, 395, 13);
  Label1->Caption = "提示：为了保证正常运行，请在点击[停止]按钮前，完成最后一笔笔画。";
  Label1->Font->Name = "宋体";
  Label1->Font->Height = -12;
  SpeedButton3 = new TSpeedButton(this);
  SpeedButton3->Parent = this;
  SpeedButton3->SetBounds(517, 80, 31, 30);
  Timer1 = new TTimer(this);
  Timer1->Interval = 100;
  Timer1->Enabled = false;
}
