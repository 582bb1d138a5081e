#include "board/password.h"

#include "board/lessons.h"
#include "board/password_code.h"
#include "platform/fs/inifile.h"

TForm7* Form7 = nullptr;

TForm7::TForm7(TComponent* owner) : TForm(owner) {
  Caption = "Form7";
  BorderStyle = bsNone;
  FormStyle = fsStayOnTop;
  Position = poDesktopCenter;
  ClientWidth = 419;
  ClientHeight = 202;
  Font->Name = "宋体";
  Font->Height = -14;
  Font->Charset = GB2312_CHARSET;

  Label1 = new TLabel(this);
  Label1->Parent = this;
  Label1->SetBounds(24, 18, 0, 0);
  Label1->Caption = "请输入任课教师个人密码：";
  Edit1 = new TEdit(this);
  Edit1->Parent = this;
  Edit1->SetBounds(24, 42, 371, 24);
  Edit1->ReadOnly = true;
  Edit1->PasswordChar = '*';
  Edit1->OnClick = [this](TObject* s) { Edit1Click(s); };
  Pad = MakeDigitPad(this, this, 116, 80, [this](char d) { Digit(d); });

  const struct {
    TBitBtn* TForm7::*button;
    int left;
    const char* caption;
    void (TForm7::*click)(TObject*);
  } buttons[] = {{&TForm7::BitBtn1, 96, "确定", &TForm7::BitBtn1Click},
                 {&TForm7::BitBtn2, 228, "取消", &TForm7::BitBtn2Click}};
  for (const auto& s : buttons) {
    TBitBtn* b = new TBitBtn(this);
    b->Parent = this;
    b->SetBounds(s.left, 152, 96, 32);
    b->Caption = s.caption;
    // Both end the prompt once their handler has run.
    b->ModalResult = mrOk;
    b->OnClick = [this, f = s.click](TObject* sender) { (this->*f)(sender); };
    this->*s.button = b;
  }
  BitBtn1->Default = true;
}

void TForm7::Digit(char digit) { Edit1->Text = Edit1->Text + AnsiString(1, digit); }

void TForm7::Edit1Click(TObject*) { Edit1->Text = ""; }

void TForm7::BitBtn1Click(TObject*) {
  const std::string stored = TIniFile(Form6->SettingsFile()).ReadString(Teacher, "ma", "0");
  if (EncodePassword(Edit1->Text) != stored) {
    ShowPlainMessage("密码错误！");
    Form6->Lock();
    Form6->ClearTeacher();
    Form6->ListBox1->ItemIndex = -1;
    return;
  }
  Form6->Unlock(Teacher);
  Form6->ShowTeacher(Teacher);
  Hide();
}

void TForm7::BitBtn2Click(TObject*) {
  Form6->Lock();
  Form6->ClearTeacher();
  Form6->ListBox1->ItemIndex = -1;
}
