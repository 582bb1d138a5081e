// The picture-folder import TForm12 (Unit12) and the gallery's small
// settings bar TForm13 (Unit13).
#pragma once
#include "platform/vcl/forms.h"

class TForm12 : public TForm {
 public:
  explicit TForm12(TComponent* owner);
};

class TForm13 : public TForm {
 public:
  explicit TForm13(TComponent* owner);
};

extern TForm12* Form12;
extern TForm13* Form13;
