// The password prompt TForm7 (Unit7): shown modally by the lesson manager
// for a teacher with a password; the right code unlocks the teacher.
#pragma once
#include <string>

#include "board/digit_pad.h"
#include "platform/vcl/buttons.h"
#include "platform/vcl/forms.h"
#include "platform/vcl/stdctrls.h"

class TForm7 : public TForm {
 public:
  explicit TForm7(TComponent* owner);

  // 1: a teacher's password.
  int PromptMode = 0;
  // The list entry the prompt unlocks, set with each showing.
  std::string Teacher;

  TLabel* Label1;
  TEdit* Edit1;  // the entry, shown as '*'
  // SpeedButton1..SpeedButton10: the digit pad.
  DigitPad Pad;
  TBitBtn* BitBtn1;  // "确定"
  TBitBtn* BitBtn2;  // "取消"

  void Digit(char digit);  // a pad button's click
  void Edit1Click(TObject* Sender);
  void BitBtn1Click(TObject* Sender);
  void BitBtn2Click(TObject* Sender);
};

extern TForm7* Form7;
