// The password prompt TForm7 (Unit7).
#pragma once
#include "platform/vcl/forms.h"

class TForm7 : public TForm {
 public:
  explicit TForm7(TComponent* owner);
};

extern TForm7* Form7;
