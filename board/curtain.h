// The projection curtain TForm5 (Unit5).
#pragma once
#include "platform/vcl/forms.h"

class TForm5 : public TForm {
 public:
  explicit TForm5(TComponent* owner);
};

extern TForm5* Form5;
