#include "board/password_change.h"

TForm8* Form8 = nullptr;

TForm8::TForm8(TComponent* owner) : TForm(owner) { Caption = "Form8"; }
