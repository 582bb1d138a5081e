#include "board/lessons.h"

TForm6* Form6 = nullptr;

TForm6::TForm6(TComponent* owner) : TForm(owner) { Caption = "Form6"; }
