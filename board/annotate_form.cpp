// The overlay's form description: the floating selection, the two tool bars
// with their buttons, hints, pictures and handlers.
#include "board/annotate.h"
#include "board/glyphs.h"

namespace {

using Handler = void (TForm2::*)(TObject*);

enum Bar { kFull, kCollapsed };

struct ButtonSpec {
  TSpeedButton* TForm2::*button;
  Bar bar;
  int left, top, width, height;
  const char* hint;
  const char* glyph;  // picture in the program folder's "pic" folder
  int group;          // the tools of each bar are a radio group of that bar
  Handler click;
};

// Left to right as the bars show them; the full bar's last pixels lie
// beyond the screen's right edge.
const ButtonSpec kButtons[] = {
    {&TForm2::SpeedButton9, kFull, 1, 1, 36, 38, "笔画颜色", nullptr, 0, &TForm2::SpeedButton9Click},
    {&TForm2::SpeedButton7, kFull, 65, 0, 38, 19, "笔画增粗", "bd_thicker", 0, &TForm2::SpeedButton7Click},
    {&TForm2::SpeedButton8, kFull, 65, 20, 38, 19, "笔画变细", "bd_thinner", 0, &TForm2::SpeedButton8Click},
    {&TForm2::SpeedButton5, kFull, 103, 1, 38, 38, "清除", "bd_clear", 0, &TForm2::SpeedButton5Click},
    {&TForm2::SpeedButton24, kFull, 141, 1, 38, 38, "撤销", "bd_undo", 0, &TForm2::SpeedButton17Click},
    {&TForm2::SpeedButton2, kFull, 179, 1, 38, 38, "擦除", "bd_areaerase", 1, &TForm2::SpeedButton2Click},
    {&TForm2::SpeedButton4, kFull, 217, 1, 38, 38, "书写", "bd_pen", 1, &TForm2::SpeedButton4Click},
    {&TForm2::SpeedButton26, kFull, 255, 1, 36, 38, "画直线", "bd_line", 1, &TForm2::SpeedButton26Click},
    {&TForm2::SpeedButton15, kFull, 291, 1, 38, 38, "选择范围", "bd_select", 1, &TForm2::SpeedButton15Click},
    {&TForm2::SpeedButton13, kFull, 329, 0, 38, 19, "截取画面到书写板当前页", "an_capture", 0,
     &TForm2::SpeedButton13Click},
    {&TForm2::SpeedButton14, kFull, 329, 20, 38, 19, "截取画面添加到书写板下一页", "an_capnext", 0,
     &TForm2::SpeedButton14Click},
    {&TForm2::SpeedButton11, kFull, 367, 0, 38, 19, "对选取画面放大", "bd_zoomin", 0, &TForm2::SpeedButton11Click},
    {&TForm2::SpeedButton12, kFull, 367, 20, 38, 19, "恢复原始大小", "bd_zoomreset", 0, &TForm2::SpeedButton12Click},
    {&TForm2::SpeedButton6, kFull, 405, 1, 38, 38, "书写板", "tb_board", 0, &TForm2::SpeedButton6Click},
    {&TForm2::SpeedButton10, kFull, 443, 1, 38, 38, "消隐投影", "bd_curtain", 0, &TForm2::SpeedButton10Click},
    {&TForm2::SpeedButton1, kFull, 481, 1, 38, 38, "帮助", "tb_help", 0, &TForm2::SpeedButton1Click},
    {&TForm2::SpeedButton18, kFull, 519, 1, 31, 38, "缩减", "an_collapse", 0, &TForm2::SpeedButton18Click},
    {&TForm2::SpeedButton3, kFull, 550, 1, 38, 38, "操作演示", "bd_desktop", 0, &TForm2::SpeedButton3Click},
    {&TForm2::SpeedButton20, kCollapsed, 1, 1, 38, 38, "清除", "bd_clear", 0, &TForm2::SpeedButton20Click},
    {&TForm2::SpeedButton17, kCollapsed, 39, 1, 38, 38, "撤销", "bd_undo", 0, &TForm2::SpeedButton17Click},
    {&TForm2::SpeedButton21, kCollapsed, 77, 1, 38, 38, "擦除", "bd_areaerase", 1, &TForm2::SpeedButton2Click},
    {&TForm2::SpeedButton25, kCollapsed, 115, 1, 38, 38, "书写", "bd_pen", 1, &TForm2::SpeedButton4Click},
    {&TForm2::SpeedButton27, kCollapsed, 153, 1, 38, 38, "画直线", "bd_line", 1, &TForm2::SpeedButton26Click},
    {&TForm2::SpeedButton23, kCollapsed, 191, 1, 38, 38, "展开", "an_expand", 0, &TForm2::SpeedButton23Click},
    {&TForm2::SpeedButton22, kCollapsed, 229, 1, 38, 38, "消隐投影", "bd_curtain", 0, &TForm2::SpeedButton10Click},
    {&TForm2::SpeedButton19, kCollapsed, 267, 1, 38, 38, "帮助", "tb_help", 0, &TForm2::SpeedButton19Click},
    {&TForm2::SpeedButton16, kCollapsed, 305, 1, 38, 38, "操作演示", "bd_desktop", 0, &TForm2::SpeedButton16Click},
};

TPanel* MakeBar(TForm2* form, int width, int height) {
  auto* p = new TPanel(form);
  p->Parent = form;
  p->SetBounds(0, 0, width, height);
  p->BevelOuter = bvNone;
  p->Color = clSkyBlue;
  return p;
}

}  // namespace

void TForm2::BuildForm() {
  Caption = "Form2";
  FormStyle = fsStayOnTop;
  ShowHint = true;

  Image1 = new TImage(this);
  Image1->Parent = this;
  Image1->Visible = false;
  Image1->Cursor = crSizeAll;
  Image1->OnMouseDown = [this](TObject* s, TMouseButton b, TShiftState sh, int x, int y) {
    Image1MouseDown(s, b, sh, x, y);
  };
  Image1->OnMouseMove = [this](TObject* s, TShiftState sh, int x, int y) { Image1MouseMove(s, sh, x, y); };
  Image1->OnMouseUp = [this](TObject* s, TMouseButton b, TShiftState sh, int x, int y) {
    Image1MouseUp(s, b, sh, x, y);
  };

  // Placed at the screen's top right by FormCreate.
  Panel1 = MakeBar(this, 591, 40);
  Panel1->Visible = false;
  Panel2 = MakeBar(this, 343, 41);

  // The pen colour's swatch, inside its button; a press on either runs the
  // colour step.
  LCP = new TPanel(this);
  LCP->Parent = Panel1;
  LCP->SetBounds(6, 12, 26, 16);
  LCP->BevelOuter = bvNone;
  LCP->Color = TColor(33023);
  LCP->Hint = "笔画颜色";
  LCP->OnClick = [this](TObject* s) { LCPClick(s); };
  Edit1 = new TEdit(this);
  Edit1->Parent = Panel1;
  Edit1->SetBounds(39, 1, 26, 38);
  Edit1->ReadOnly = true;
  Edit1->Enabled = false;
  Edit1->Font->Color = clRed;
  Edit1->Font->Height = -31;
  Edit1->Text = "3";
  Edit1->Hint = "笔画粗细";

  TPanel* bars[] = {Panel1, Panel2};
  for (const ButtonSpec& s : kButtons) {
    auto* b = new TSpeedButton(this);
    b->Parent = bars[s.bar];
    b->SetBounds(s.left, s.top, s.width, s.height);
    b->Flat = true;
    b->Hint = s.hint;
    if (s.glyph) LoadGlyph(b, s.glyph);
    b->GroupIndex = s.group;
    b->OnClick = [this, f = s.click](TObject* sender) { (this->*f)(sender); };
    this->*s.button = b;
  }
  SpeedButton4->Down = true;
  SpeedButton25->Down = true;

  LCD = new TColorDialog(this);

  OnCreate = [this](TObject* s) { FormCreate(s); };
  OnShow = [this](TObject* s) { FormShow(s); };
  OnPaint = [this](TObject* s) { FormPaint(s); };
  OnMouseDown = [this](TObject* s, TMouseButton b, TShiftState sh, int x, int y) { FormMouseDown(s, b, sh, x, y); };
  OnMouseMove = [this](TObject* s, TShiftState sh, int x, int y) { FormMouseMove(s, sh, x, y); };
  OnMouseUp = [this](TObject* s, TMouseButton b, TShiftState sh, int x, int y) { FormMouseUp(s, b, sh, x, y); };
}
