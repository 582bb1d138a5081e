// The password change TForm8 (Unit8), shown modeless by the lesson manager:
// a teacher's password (ChangeMode 1) or the administrator's (2).
#pragma once
#include <string>

#include "board/digit_pad.h"
#include "platform/vcl/buttons.h"
#include "platform/vcl/forms.h"
#include "platform/vcl/stdctrls.h"

class TForm8 : public TForm {
 public:
  explicit TForm8(TComponent* owner);

  // 1 a teacher's password, 2 the administrator's.
  int ChangeMode = 0;
  // The teacher whose password changes, as the manager had it unlocked when
  // the dialog opened.
  std::string Teacher;

  TLabel *Label1, *Label2, *Label3, *Label4;
  TEdit* Edit1;  // old password
  TEdit* Edit2;  // new password
  TEdit* Edit3;  // new password again
  // SpeedButton1..SpeedButton10: the digit pad, for the box with the focus
  // (Edit1, else Edit2, else Edit3).
  DigitPad Pad;
  TBitBtn* BitBtn1;  // "确定"
  TBitBtn* BitBtn2;  // "取消"

  // DataFolder + "sxut.dll" of the manager.
  std::string AdminFile() const;

  void FormShow(TObject* Sender);
  void Digit(char digit);  // a pad button's click
  void BitBtn1Click(TObject* Sender);
  void BitBtn2Click(TObject* Sender);

 private:
  bool ChangeTeacherPassword();
  bool ChangeAdminPassword();
};

extern TForm8* Form8;
