#include "board/curtain.h"

TForm5* Form5 = nullptr;

TForm5::TForm5(TComponent* owner) : TForm(owner) { Caption = "Form5"; }
