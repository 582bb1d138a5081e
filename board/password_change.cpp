#include "board/password_change.h"

#include "board/lessons.h"
#include "board/password_code.h"
#include "platform/fs/inifile.h"

TForm8* Form8 = nullptr;

namespace {

TLabel* MakeLabel(TForm8* form, int left, int top, const char* caption) {
  auto* l = new TLabel(form);
  l->Parent = form;
  l->SetBounds(left, top, 0, 0);
  l->Caption = caption;
  return l;
}

// Read-only, shown as '*'; a click empties it.
TEdit* MakeEntry(TForm8* form, int top) {
  auto* e = new TEdit(form);
  e->Parent = form;
  e->SetBounds(132, top, 150, 22);
  e->ReadOnly = true;
  e->PasswordChar = '*';
  e->OnClick = [e](TObject*) { e->Text = ""; };
  return e;
}

}  // namespace

TForm8::TForm8(TComponent* owner) : TForm(owner) {
  Caption = "Form8";
  BorderStyle = bsNone;
  FormStyle = fsStayOnTop;
  Position = poDesktopCenter;
  ClientWidth = 404;
  ClientHeight = 220;
  Font->Name = "宋体";
  Font->Height = -14;
  Font->Charset = GB2312_CHARSET;

  Label1 = MakeLabel(this, 24, 20, "请输入原密码：");
  Edit1 = MakeEntry(this, 16);
  Label2 = MakeLabel(this, 292, 20, "初始密码：无");
  Label3 = MakeLabel(this, 24, 52, "请设置新密码：");
  Edit2 = MakeEntry(this, 48);
  Label4 = MakeLabel(this, 24, 84, "再次输新密码：");
  Edit3 = MakeEntry(this, 80);
  Pad = MakeDigitPad(this, this, 108, 114, [this](char d) { Digit(d); });

  const struct {
    TBitBtn* TForm8::*button;
    int left;
    const char* caption;
    void (TForm8::*click)(TObject*);
  } buttons[] = {{&TForm8::BitBtn1, 96, "确定", &TForm8::BitBtn1Click},
                 {&TForm8::BitBtn2, 218, "取消", &TForm8::BitBtn2Click}};
  for (const auto& s : buttons) {
    TBitBtn* b = new TBitBtn(this);
    b->Parent = this;
    b->SetBounds(s.left, 178, 90, 32);
    b->Caption = s.caption;
    b->OnClick = [this, f = s.click](TObject* sender) { (this->*f)(sender); };
    this->*s.button = b;
  }
  OnShow = [this](TObject* s) { FormShow(s); };
}

std::string TForm8::AdminFile() const { return Form6->DataFolder + "sxut.dll"; }

// The digits go to the old password first.
void TForm8::FormShow(TObject*) { ActiveControl = Edit1; }

void TForm8::Digit(char digit) {
  TControl* focused = ActiveControl;
  TEdit* box = focused == Edit1 ? Edit1 : focused == Edit2 ? Edit2 : Edit3;
  box->Text = box->Text + AnsiString(1, digit);
}

void TForm8::BitBtn1Click(TObject*) {
  if (ChangeMode == 1 ? ChangeTeacherPassword() : ChangeAdminPassword()) Hide();
}

void TForm8::BitBtn2Click(TObject*) { Hide(); }

bool TForm8::ChangeTeacherPassword() {
  // Only while the teacher the dialog was opened for is still unlocked.
  if (Teacher.empty() || Form6->TeacherUnlocked != 1 || Form6->UnlockedTeacher != Teacher) {
    ShowPlainMessage("请选择任课教师！");
    return false;
  }
  TIniFile ini(Form6->SettingsFile());
  const std::string stored = ini.ReadString(Teacher, "ma", "0");
  if (EncodePassword(Edit1->Text) != stored && stored.substr(0, 1) != " ") {
    ShowPlainMessage("原密码错误！");
    return false;
  }
  if (Edit2->Text != Edit3->Text) {
    ShowPlainMessage("两次输入的新密码不一致！");
    return false;
  }
  if (!ini.WriteString(Teacher, "ma", EncodePassword(Edit2->Text))) {
    ShowPlainMessage("密码保存失败！");
    return false;
  }
  return true;
}

bool TForm8::ChangeAdminPassword() {
  const std::string stored = ReadAdminRecord(AdminFile());
  if (AdminRecordOf(Edit1->Text) != stored && stored.substr(0, 1) != " ") {
    ShowPlainMessage("原密码错误！");
    return false;
  }
  if (Edit2->Text != Edit3->Text) {
    ShowPlainMessage("两次输入的新密码不一致！");
    return false;
  }
  if (!WriteAdminRecord(AdminFile(), AdminRecordOf(Edit2->Text))) {
    ShowPlainMessage("管理密码保存失败！");
    return false;
  }
  return true;
}
