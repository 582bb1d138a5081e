#include "board/password.h"

TForm7* Form7 = nullptr;

TForm7::TForm7(TComponent* owner) : TForm(owner) { Caption = "Form7"; }
