// The scan dialog TForm11 (Unit11).
#pragma once
#include "platform/vcl/forms.h"

class TForm11 : public TForm {
 public:
  explicit TForm11(TComponent* owner);
};

extern TForm11* Form11;
