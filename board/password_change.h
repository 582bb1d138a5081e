// The password change TForm8 (Unit8).
#pragma once
#include "platform/vcl/forms.h"

class TForm8 : public TForm {
 public:
  explicit TForm8(TComponent* owner);
};

extern TForm8* Form8;
