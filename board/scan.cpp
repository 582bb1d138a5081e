#include "board/scan.h"

TForm11* Form11 = nullptr;

TForm11::TForm11(TComponent* owner) : TForm(owner) { Caption = "Form11"; }
