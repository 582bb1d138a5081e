// The lesson manager's form description: three groups (teachers, volumes
// and lessons with the data drive, personal settings) and the OK button.
#include "board/lessons.h"

namespace {

template <class T>
T* Make(TForm6* form, TWinControl* parent, int left, int top, int width, int height) {
  T* c = new T(form);
  c->Parent = parent;
  c->SetBounds(left, top, width, height);
  return c;
}

TButton* MakeButton(TForm6* form, TWinControl* parent, int left, int top, int width, const char* caption,
                    void (TForm6::*click)(TObject*)) {
  TButton* b = Make<TButton>(form, parent, left, top, width, 25);
  b->Caption = caption;
  b->OnClick = [form, click](TObject* s) { (form->*click)(s); };
  return b;
}

TLabel* MakeLabel(TForm6* form, TWinControl* parent, int left, int top, const char* caption) {
  TLabel* l = Make<TLabel>(form, parent, left, top, 0, 0);
  l->Caption = caption;
  return l;
}

// A read-only number box: the chosen volume or lesson, the pen width.
TEdit* MakeNumber(TForm6* form, TWinControl* parent, int left, int top, int width, const char* text) {
  TEdit* e = Make<TEdit>(form, parent, left, top, width, 21);
  e->ReadOnly = true;
  e->Text = text;
  return e;
}

TPanel* MakeSwatch(TForm6* form, TWinControl* parent, int left, const char* hint, TColor colour,
                   void (TForm6::*click)(TObject*)) {
  TPanel* p = Make<TPanel>(form, parent, left, 24, 44, 26);
  p->BevelOuter = bvLowered;
  p->Color = colour;
  p->Hint = hint;
  p->OnClick = [form, click](TObject* s) { (form->*click)(s); };
  return p;
}

}  // namespace

void TForm6::BuildForm() {
  Caption = "Form6";
  BorderStyle = bsNone;
  FormStyle = fsStayOnTop;
  Position = poDesktopCenter;
  ClientWidth = 560;
  ClientHeight = 364;
  Font->Name = "宋体";
  Font->Height = -12;
  Font->Charset = GB2312_CHARSET;
  ShowHint = true;

  GroupBox1 = Make<TGroupBox>(this, this, 8, 8, 200, 348);
  GroupBox1->Caption = "任课教师";
  ListBox1 = Make<TListBox>(this, GroupBox1, 10, 20, 180, 170);
  ListBox1->OnClick = [this](TObject* s) { ListBox1Click(s); };
  Edit1 = Make<TEdit>(this, GroupBox1, 10, 198, 180, 21);
  Edit1->OnChange = [this](TObject* s) { Edit1Change(s); };
  Button1 = MakeButton(this, GroupBox1, 10, 228, 56, "添加", &TForm6::Button1Click);
  Button2 = MakeButton(this, GroupBox1, 72, 228, 56, "修改", &TForm6::Button2Click);
  Button5 = MakeButton(this, GroupBox1, 134, 228, 56, "删除", &TForm6::Button5Click);
  Button8 = MakeButton(this, GroupBox1, 10, 270, 180, "设置个人密码", &TForm6::Button8Click);
  Button9 = MakeButton(this, GroupBox1, 10, 306, 180, "设置管理密码", &TForm6::Button9Click);

  GroupBox2 = Make<TGroupBox>(this, this, 216, 8, 336, 222);
  GroupBox2->Caption = "课程选择";
  Label1 = MakeLabel(this, GroupBox2, 12, 26, "第");
  Edit2 = MakeNumber(this, GroupBox2, 30, 22, 50, "1");
  Label2 = MakeLabel(this, GroupBox2, 84, 26, "册");
  ListBox2 = Make<TListBox>(this, GroupBox2, 12, 50, 96, 130);
  ListBox2->OnClick = [this](TObject* s) { ListBox2Click(s); };
  Button3 = MakeButton(this, GroupBox2, 12, 186, 46, "添加", &TForm6::Button3Click);
  Button6 = MakeButton(this, GroupBox2, 62, 186, 46, "减少", &TForm6::Button6Click);
  Label3 = MakeLabel(this, GroupBox2, 120, 26, "第");
  Edit3 = MakeNumber(this, GroupBox2, 138, 22, 50, "1");
  Label4 = MakeLabel(this, GroupBox2, 192, 26, "课");
  ListBox3 = Make<TListBox>(this, GroupBox2, 120, 50, 96, 130);
  ListBox3->OnClick = [this](TObject* s) { ListBox3Click(s); };
  Button4 = MakeButton(this, GroupBox2, 120, 186, 46, "添加", &TForm6::Button4Click);
  Button7 = MakeButton(this, GroupBox2, 170, 186, 46, "减少", &TForm6::Button7Click);
  Label5 = MakeLabel(this, GroupBox2, 232, 26, "存储或");
  Label6 = MakeLabel(this, GroupBox2, 232, 44, "打开盘区：");
  DriveComboBox1 = Make<TDriveComboBox>(this, GroupBox2, 232, 64, 92, 22);
  SpeedButton1 = Make<TSpeedButton>(this, GroupBox2, 232, 120, 92, 28);
  SpeedButton1->Caption = "打开";
  SpeedButton2 = Make<TSpeedButton>(this, GroupBox2, 232, 156, 92, 28);
  SpeedButton2->Caption = "保存";
  SpeedButton1->OnClick = [this](TObject* s) { SpeedButton1Click(s); };
  SpeedButton2->OnClick = [this](TObject* s) { SpeedButton2Click(s); };

  GroupBox3 = Make<TGroupBox>(this, this, 216, 238, 336, 74);
  GroupBox3->Caption = "个性设置";
  LCP = MakeSwatch(this, GroupBox3, 14, "笔画颜色", clRed, &TForm6::LCPClick);
  // A flat button over the whole swatch, which shows through it.
  SpeedButton9 = Make<TSpeedButton>(this, LCP, 0, 0, 44, 26);
  SpeedButton9->Flat = true;
  SpeedButton9->Hint = "笔画颜色";
  SpeedButton9->OnClick = [this](TObject* s) { SpeedButton9Click(s); };
  RCP = MakeSwatch(this, GroupBox3, 72, "背景颜色", clGray, &TForm6::RCPClick);
  Edit4 = MakeNumber(this, GroupBox3, 134, 26, 30, "2");
  Edit4->Enabled = false;
  Edit4->Hint = "笔画粗细";
  SpeedButton7 = Make<TSpeedButton>(this, GroupBox3, 166, 24, 22, 13);
  SpeedButton7->Caption = "▲";
  SpeedButton7->OnClick = [this](TObject* s) { SpeedButton7Click(s); };
  SpeedButton8 = Make<TSpeedButton>(this, GroupBox3, 166, 37, 22, 13);
  SpeedButton8->Caption = "▼";
  SpeedButton8->OnClick = [this](TObject* s) { SpeedButton8Click(s); };

  BitBtn1 = Make<TBitBtn>(this, this, 464, 322, 88, 32);
  BitBtn1->Kind = bkOK;
  BitBtn1->Caption = "确定";
  BitBtn1->OnClick = [this](TObject* s) { BitBtn1Click(s); };

  OnCreate = [this](TObject* s) { FormCreate(s); };
  OnShow = [this](TObject* s) { FormShow(s); };
}
