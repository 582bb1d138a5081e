#include "board/annotate.h"

TForm2* Form2 = nullptr;

TForm2::TForm2(TComponent* owner) : TForm(owner) { Caption = "Form2"; }
