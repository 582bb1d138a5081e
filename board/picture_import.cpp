#include "board/picture_import.h"

TForm12* Form12 = nullptr;
TForm13* Form13 = nullptr;

TForm12::TForm12(TComponent* owner) : TForm(owner) { Caption = "Form12"; }

TForm13::TForm13(TComponent* owner) : TForm(owner) {
  Caption = "Form13";
  BorderStyle = bsNone;
  FormStyle = fsStayOnTop;
  ClientWidth = 130;
  ClientHeight = 48;
  Color = TColor(0x004080FF);
}
