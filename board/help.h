// The help window TForm4 (Unit4).
#pragma once
#include "platform/vcl/forms.h"

class TForm4 : public TForm {
 public:
  explicit TForm4(TComponent* owner);
};

extern TForm4* Form4;
