#include "board/help.h"

TForm4* Form4 = nullptr;

TForm4::TForm4(TComponent* owner) : TForm(owner) { Caption = "帮助"; }
