#include "board/curtain.h"

#include "board/annotate.h"
#include "board/board.h"
#include "board/glyphs.h"
#include "board/toolbar.h"

TForm5* Form5 = nullptr;

namespace {
constexpr int kButtonSize = 33;
}  // namespace

TForm5::TForm5(TComponent* owner) : TForm(owner) {
  Caption = "Form5";
  BorderStyle = bsNone;
  FormStyle = fsStayOnTop;
  Color = clBlack;
  ClientWidth = 688;
  ClientHeight = 448;
  WindowState = wsMaximized;

  SpeedButton1 = new TSpeedButton(this);
  SpeedButton1->Parent = this;
  SpeedButton1->SetBounds(655, 0, kButtonSize, kButtonSize);
  SpeedButton1->Flat = true;
  LoadGlyph(SpeedButton1, "cu_back");
  SpeedButton1->OnClick = [this](TObject* s) { SpeedButton1Click(s); };

  OnShow = [this](TObject* s) { FormShow(s); };
  OnMouseDown = [this](TObject* s, TMouseButton b, TShiftState sh, int x, int y) { FormMouseDown(s, b, sh, x, y); };
}

void TForm5::FormShow(TObject*) { SpeedButton1->Left = Screen->Width - kButtonSize; }

void TForm5::FormMouseDown(TObject*, TMouseButton, TShiftState, int, int) { Lift(); }

void TForm5::SpeedButton1Click(TObject*) { Lift(); }

void TForm5::Lift() {
  Form1->PaintSource = 1;
  Form1->Timer1->Enabled = true;
  Hide();
  if (Form2->Visible)
    Form2->Canvas->Draw(0, 0, Form3->ScratchBitmap.get());
  else if (Form3->Visible)
    Form3->Canvas->Draw(0, 0, Form3->Pages[Form3->CurrentPage].get());
}
