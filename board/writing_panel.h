// The writing-practice panel TForm14 (Unit14), a stay-on-top strip over the
// outside handwriting-practice program.
#pragma once
#include <string>

#include "platform/vcl/buttons.h"
#include "platform/vcl/extctrls.h"
#include "platform/vcl/forms.h"
#include "platform/vcl/stdctrls.h"

class TForm14 : public TForm {
 public:
  explicit TForm14(TComponent* owner);

  TLabel* Label1;
  TSpeedButton* SpeedButton3;
  TTimer* Timer1;
};

extern TForm14* Form14;

// The exact title of the outside writing program's main window (22
// characters): $QUARVEL_WRITING_CAPTION (UTF-8) when set, else the built-in
// one. GBK.
const std::string& WritingWindowCaption();
