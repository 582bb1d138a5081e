// The board's form description: every control with its place, hint,
// picture and handler. Controls of tools that come later are made here with
// their places too and stay hidden or without a handler until then.
#include "board/board.h"
#include "board/glyphs.h"

namespace {

using Handler = void (TForm3::*)(TObject*);

// Which container a button sits on.
enum Holder { kCommands, kTextPanel, kStripRow, kGallery };

struct ButtonSpec {
  TSpeedButton* TForm3::*button;
  Holder holder;
  int left, top, width, height;
  const char* hint;
  const char* glyph;  // picture in the program folder's "pic" folder
  int group;          // the drawing tools are one radio group
  Handler click;
};

const ButtonSpec kButtons[] = {
    // The tool strip's command buttons.
    {&TForm3::SpeedButton9, kCommands, 1, 0, 36, 19, "笔画颜色", nullptr, 0, &TForm3::SpeedButton9Click},
    {&TForm3::SpeedButton7, kCommands, 65, 0, 38, 19, "笔画增粗", "bd_thicker", 0, &TForm3::SpeedButton7Click},
    {&TForm3::SpeedButton8, kCommands, 65, 20, 38, 19, "笔画变细", "bd_thinner", 0, &TForm3::SpeedButton8Click},
    {&TForm3::SpeedButton5, kCommands, 103, 1, 38, 38, "清屏", "bd_clear", 0, &TForm3::SpeedButton5Click},
    {&TForm3::SpeedButton4, kCommands, 141, 1, 38, 38, "撤销", "bd_undo", 0, &TForm3::SpeedButton4Click},
    {&TForm3::SpeedButton10, kCommands, 179, 1, 38, 38, "板擦", "bd_eraser", 1, &TForm3::SpeedButton10Click},
    {&TForm3::SpeedButton13, kCommands, 218, 1, 38, 38, "擦除", "bd_areaerase", 1, &TForm3::SpeedButton13Click},
    {&TForm3::SpeedButton3, kCommands, 255, 1, 38, 38, "书写", "bd_pen", 1, &TForm3::SpeedButton3Click},
    {&TForm3::SpeedButton14, kCommands, 293, 1, 36, 38, "画直线", "bd_line", 1, &TForm3::SpeedButton14Click},
    {&TForm3::SpeedButton15, kCommands, 329, 1, 36, 38, "画矩形", "bd_rect", 1, &TForm3::SpeedButton15Click},
    {&TForm3::SpeedButton17, kCommands, 365, 1, 36, 38, "画圆或椭圆", "bd_ellipse", 1, &TForm3::SpeedButton17Click},
    {&TForm3::SpeedButton25, kCommands, 401, 1, 38, 38, "范围选择", "bd_select", 1, &TForm3::SpeedButton25Click},
    {&TForm3::SpeedButton35, kCommands, 439, 0, 38, 19, "对选取画面放大", "bd_zoomin", 0, nullptr},
    {&TForm3::SpeedButton36, kCommands, 439, 19, 38, 19, "恢复原始大小", "bd_zoomreset", 0, nullptr},
    {&TForm3::SpeedButton1, kCommands, 477, 0, 38, 19, "缩略图查看", "bd_strip", 0, nullptr},
    {&TForm3::SpeedButton18, kCommands, 477, 19, 38, 19, "导入", "bd_import", 0, nullptr},
    {&TForm3::SpeedButton11, kCommands, 516, 1, 31, 38, "左翻页", "bd_prev", 0, nullptr},
    {&TForm3::SpeedButton12, kCommands, 578, 1, 29, 38, "右翻页", "bd_next", 0, &TForm3::SpeedButton12Click},
    {&TForm3::SpeedButton6, kCommands, 608, 1, 38, 38, "设置", "bd_settings", 0, &TForm3::SpeedButton6Click},
    {&TForm3::SpeedButton2, kCommands, 646, 1, 38, 38, "消隐投影", "bd_curtain", 0, &TForm3::SpeedButton2Click},
    {&TForm3::SpeedButton40, kCommands, 684, 1, 38, 38, "操作演示", "bd_desktop", 0, &TForm3::SpeedButton40Click},
    // The text panel's strip.
    {&TForm3::SpeedButton16, kTextPanel, 9, 2, 19, 18, nullptr, nullptr, 0, nullptr},
    {&TForm3::SpeedButton22, kTextPanel, 30, 0, 20, 20, nullptr, nullptr, 0, nullptr},
    {&TForm3::SpeedButton21, kTextPanel, 91, 0, 22, 20, nullptr, nullptr, 0, nullptr},
    {&TForm3::SpeedButton26, kTextPanel, 129, 6, 20, 14, nullptr, nullptr, 0, nullptr},
    {&TForm3::SpeedButton34, kTextPanel, 154, 4, 20, 18, nullptr, nullptr, 0, &TForm3::SpeedButton34Click},
    {&TForm3::SpeedButton32, kTextPanel, 177, 4, 20, 18, nullptr, nullptr, 0, nullptr},
    {&TForm3::SpeedButton23, kTextPanel, 201, 4, 22, 16, nullptr, nullptr, 0, nullptr},
    {&TForm3::SpeedButton31, kTextPanel, 239, 1, 22, 18, nullptr, nullptr, 0, nullptr},
    {&TForm3::SpeedButton41, kTextPanel, 265, 1, 22, 18, nullptr, nullptr, 0, nullptr},
    {&TForm3::SpeedButton20, kTextPanel, 292, 0, 17, 20, nullptr, nullptr, 0, nullptr},
    {&TForm3::SpeedButton24, kTextPanel, 325, 0, 18, 18, nullptr, nullptr, 0, nullptr},
    {&TForm3::SpeedButton19, kTextPanel, 343, 0, 19, 18, nullptr, nullptr, 0, nullptr},
    // The page strip's scroll row.
    {&TForm3::SpeedButton28, kStripRow, 12, -2, 25, 20, nullptr, nullptr, 0, nullptr},
    {&TForm3::SpeedButton27, kStripRow, 40, -2, 29, 20, nullptr, nullptr, 0, nullptr},
    {&TForm3::SpeedButton37, kStripRow, 82, -5, 23, 23, nullptr, nullptr, 0, nullptr},
    {&TForm3::SpeedButton38, kStripRow, 82, -5, 23, 23, nullptr, nullptr, 0, nullptr},
    {&TForm3::SpeedButton39, kStripRow, 154, 0, 19, 19, nullptr, nullptr, 0, nullptr},
    {&TForm3::SpeedButton29, kStripRow, 197, -2, 18, 19, nullptr, nullptr, 0, nullptr},
    {&TForm3::SpeedButton30, kStripRow, 214, -2, 20, 19, nullptr, nullptr, 0, nullptr},
    // The gallery's close button (its left follows the gallery's width).
    {&TForm3::SpeedButton33, kGallery, 115, 0, 22, 20, nullptr, nullptr, 0, nullptr},
};

struct ClipArtSpec {
  TImage* TForm3::*image;
  bool chemistry;
  int left, top;
  const char* file;  // in the clip-art folder; the preview is "pic\<name>.png"
};

const ClipArtSpec kClipArt[] = {
    {&TForm3::Image5, false, 5, 1, "w0"},     {&TForm3::Image13, false, 62, 1, "w1"},
    {&TForm3::Image6, false, 5, 63, "w2"},    {&TForm3::Image14, false, 62, 63, "w3"},
    {&TForm3::Image7, false, 5, 125, "w4"},   {&TForm3::Image15, false, 62, 125, "w5"},
    {&TForm3::Image8, false, 5, 187, "w6"},   {&TForm3::Image16, false, 62, 187, "w7"},
    {&TForm3::Image9, false, 5, 249, "w8"},   {&TForm3::Image17, false, 62, 249, "w9"},
    {&TForm3::Image10, false, 5, 311, "w10"}, {&TForm3::Image18, false, 62, 311, "w11"},
    {&TForm3::Image11, false, 5, 373, "w12"}, {&TForm3::Image19, false, 65, 373, "w13"},
    {&TForm3::Image12, false, 5, 436, "w14"}, {&TForm3::Image20, false, 62, 436, "w15"},
    {&TForm3::Image21, false, 5, 493, "w16"}, {&TForm3::Image22, false, 63, 496, "w17"},
    {&TForm3::Image23, false, 5, 553, "w18"}, {&TForm3::Image24, false, 63, 556, "w19"},
    {&TForm3::Image25, false, 5, 603, "w20"}, {&TForm3::Image29, true, 3, 1, "h1"},
    {&TForm3::Image37, true, 60, 1, "h2"},    {&TForm3::Image30, true, 3, 63, "h3"},
    {&TForm3::Image38, true, 60, 63, "h4"},   {&TForm3::Image31, true, 3, 125, "h5"},
    {&TForm3::Image39, true, 60, 125, "h6"},  {&TForm3::Image32, true, 3, 187, "h7"},
    {&TForm3::Image40, true, 61, 185, "h8"},  {&TForm3::Image33, true, 3, 250, "h9"},
    {&TForm3::Image41, true, 62, 250, "h10"}, {&TForm3::Image42, true, 3, 309, "h13"},
    {&TForm3::Image43, true, 61, 308, "h14"}, {&TForm3::Image44, true, 3, 367, "h15"},
    {&TForm3::Image45, true, 63, 370, "h18"},
};

template <class T>
T* Make(TForm3* form, TWinControl* parent, int left, int top, int width, int height) {
  T* c = new T(form);
  c->Parent = parent;
  c->SetBounds(left, top, width, height);
  return c;
}

TPanel* MakePanel(TForm3* form, TWinControl* parent, int left, int top, int width, int height, TColor colour) {
  TPanel* p = Make<TPanel>(form, parent, left, top, width, height);
  p->BevelOuter = bvNone;
  p->Color = colour;
  return p;
}

// A read-only number display with a red font.
TEdit* MakeDisplay(TForm3* form, TWinControl* parent, int left, int top, int width, int height, int fontHeight,
                   const char* text) {
  TEdit* e = Make<TEdit>(form, parent, left, top, width, height);
  e->ReadOnly = true;
  e->Font->Color = clRed;
  e->Font->Height = fontHeight;
  e->Text = text;
  return e;
}

}  // namespace

void TForm3::BuildForm() {
  Caption = "白板";
  Font->Name = "宋体";
  Font->Height = -16;
  Font->Charset = GB2312_CHARSET;
  ShowHint = true;

  Image2 = Make<TImage>(this, this, 0, 0, 0, 0);
  Image2->Visible = false;
  Image2->Cursor = crSizeAll;

  // The tool strip; its width follows the screen (FormCreate, FormResize).
  Panel2 = MakePanel(this, this, 0, 0, 1023, 40, clGray);
  Panel3 = MakePanel(this, Panel2, 3, 6, 82, 28, TColor(2713492));
  Panel3->Font->Color = clWhite;
  Panel3->Font->Height = -13;
  Panel1 = MakePanel(this, Panel2, 301, 0, 722, 40, clSkyBlue);
  Panel1->Align = alRight;

  // The text panel, the page strip and the gallery.
  Panel4 = MakePanel(this, this, 0, 40, 368, 189, TColor(0x808000));
  Panel4->Visible = false;
  Image1 = Make<TImage>(this, Panel4, 0, 0, 368, 20);
  Image1->Align = alTop;
  Image1->Cursor = crSizeAll;
  Image1->Visible = false;

  Panel5 = MakePanel(this, this, 0, 384, 1024, 384, clBtnFace);
  Panel5->BorderStyle = bsSingle;
  Panel5->Visible = false;
  Image3 = Make<TImage>(this, Panel5, 0, 0, 1024, 384);
  Panel6 = MakePanel(this, Panel5, 0, 0, 1024, 18, clBtnFace);
  Panel6->Align = alTop;
  Panel7 = MakePanel(this, Panel6, 790, 0, 234, 18, clBtnFace);
  Panel7->Align = alRight;
  Image4 = Make<TImage>(this, Panel7, 0, 0, 234, 18);
  Image4->Align = alClient;
  ScrollBar1 = Make<TScrollBar>(this, Panel6, 0, 0, 790, 18);
  ScrollBar1->Align = alClient;
  ScrollBar1->SetParams(1, 1, 1);
  ScrollBar1->PageSize = 1;
  ScrollBar1->SmallChange = 2;  // the strip's view mode: two pages side by side
  Edit3 = MakeDisplay(this, Panel7, 118, 0, 19, 21, -12, " 1");

  Panel9 = MakePanel(this, this, 0, 40, 138, 728, clBtnFace);
  Panel9->Visible = false;
  const struct {
    TBitBtn* TForm3::*tab;
    int left;
    const char* caption;
  } tabs[] = {{&TForm3::BitBtn1, 0, "物理"}, {&TForm3::BitBtn2, 38, "化学"}, {&TForm3::BitBtn3, 76, "其它"}};
  for (const auto& t : tabs) {
    TBitBtn* b = Make<TBitBtn>(this, Panel9, t.left, 0, 37, 21);
    b->Caption = t.caption;
    b->Font->Name = "宋体";
    b->Font->Height = -12;
    this->*t.tab = b;
  }
  // The gallery's scroll area: the clip-art panels and the teacher's
  // pictures.
  ScrollBox1 = Make<TScrollBox>(this, Panel9, 0, 22, 138, 663);
  ScrollBox1->VertScrollBar->Tracking = true;
  Panel8 = MakePanel(this, ScrollBox1, 0, 0, 116, 700, clBtnFace);
  Panel10 = MakePanel(this, ScrollBox1, 0, 0, 116, 650, clBtnFace);
  Panel10->Visible = false;
  Image26 = Make<TImage>(this, ScrollBox1, 10, 0, 100, 100);
  Image26->Visible = false;
  for (const ClipArtSpec& c : kClipArt) {
    TImage* image = Make<TImage>(this, c.chemistry ? Panel10 : Panel8, c.left, c.top, 50, 50);
    LoadPicture(image->Picture, c.file);
    this->*c.image = image;
    // Every item arms on its press, but one on its click.
    const AnsiString file = AnsiString(c.file) + ".jt";
    if (c.image == &TForm3::Image29)
      image->OnClick = [this, file](TObject*) { ArmClipArt(file); };
    else
      image->OnMouseDown = [this, file](TObject*, TMouseButton, TShiftState, int, int) { ArmClipArt(file); };
  }

  TWinControl* holders[] = {Panel1, Panel4, Panel7, Panel9};
  for (const ButtonSpec& s : kButtons) {
    TSpeedButton* b = Make<TSpeedButton>(this, holders[s.holder], s.left, s.top, s.width, s.height);
    b->Flat = true;
    if (s.hint) b->Hint = s.hint;
    if (s.glyph) LoadGlyph(b, s.glyph);
    b->GroupIndex = s.group;
    if (s.click) b->OnClick = [this, f = s.click](TObject* sender) { (this->*f)(sender); };
    this->*s.button = b;
  }
  SpeedButton3->Down = true;
  SpeedButton38->Visible = false;

  // The colour swatches and the displays among the buttons.
  LCP = MakePanel(this, Panel1, 1, 5, 35, 9, TColor(33023));
  LCP->OnClick = [this](TObject* s) { LCPClick(s); };
  LCP->Hint = "笔画颜色";
  RCP = MakePanel(this, Panel1, 0, 20, 38, 20, TColor(4194304));
  RCP->OnClick = [this](TObject* s) { RCPClick(s); };
  RCP->Hint = "背景颜色";
  Edit1 = MakeDisplay(this, Panel1, 39, 1, 26, 39, -31, "2");
  Edit1->Hint = "笔画粗细";
  Edit2 = MakeDisplay(this, Panel1, 546, 0, 32, 38, -24, "1");
  Edit2->Hint = "页号";

  LCD = new TColorDialog(this);
  RCD = new TColorDialog(this);

  BuildPanel();

  OnCreate = [this](TObject* s) { FormCreate(s); };
  OnResize = [this](TObject* s) { FormResize(s); };
  OnPaint = [this](TObject* s) { FormPaint(s); };
  OnMouseDown = [this](TObject* s, TMouseButton b, TShiftState sh, int x, int y) { FormMouseDown(s, b, sh, x, y); };
  OnMouseMove = [this](TObject* s, TShiftState sh, int x, int y) { FormMouseMove(s, sh, x, y); };
  OnMouseUp = [this](TObject* s, TMouseButton b, TShiftState sh, int x, int y) { FormMouseUp(s, b, sh, x, y); };
  WirePageControls();
}
