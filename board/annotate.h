// The annotation overlay TForm2 (Unit2).
#pragma once
#include "platform/vcl/forms.h"

class TForm2 : public TForm {
 public:
  explicit TForm2(TComponent* owner);
};

extern TForm2* Form2;
