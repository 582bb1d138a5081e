// The writing-practice panel TForm14 (Unit14), a stay-on-top strip over the
// outside handwriting-practice program: while practice runs it hides the
// taskbar, keeps that program's window at the bottom of the z-order and
// ends practice when the program's window has gone.
#pragma once
#include <string>

#include "platform/vcl/buttons.h"
#include "platform/vcl/dialogs.h"
#include "platform/vcl/extctrls.h"
#include "platform/vcl/forms.h"
#include "platform/vcl/stdctrls.h"

class TForm14 : public TForm {
 public:
  explicit TForm14(TComponent* owner);

  TMemo* Memo1;
  TLabel* Label1;
  TSpeedButton* SpeedButton1;  // 退出
  TSpeedButton* SpeedButton2;  // open a text file into the memo
  TSpeedButton* SpeedButton3;  // save the memo
  TTimer* Timer1;
  TOpenDialog* OpenDialog1;
  TSaveDialog* SaveDialog1;

  // When the running practice began (GetTickCount), and 1 once the writing
  // program's window has been seen since then.
  DWORD PracticeStart = 0;
  int WritingSeen = 0;

  void FormCreate(TObject* Sender);
  void FormShow(TObject* Sender);
  void Timer1Timer(TObject* Sender);
  void SpeedButton1Click(TObject* Sender);
  // The memo's lines from a text file, and into one (the system's 8-bit
  // code page, one line per line).
  void SpeedButton2Click(TObject* Sender);
  void SpeedButton3Click(TObject* Sender);

 private:
  // Panel hidden, timer stopped, Tag 0, taskbar back.
  void EndPractice();
};

extern TForm14* Form14;

// The exact title of the outside writing program's main window (22
// characters): $QUARVEL_WRITING_CAPTION (UTF-8) when set, else the built-in
// one. GBK.
const std::string& WritingWindowCaption();

// How long a practice run waits for the writing program's window to appear
// before it counts the program as gone.
constexpr DWORD kWritingStartGrace = 30000;
