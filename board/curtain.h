// The projection curtain TForm5 (Unit5): a black, full-screen, stay-on-top
// form that blanks the projection until it is clicked, then has the form it
// covered (the overlay or the board) draw its picture again.
#pragma once
#include "platform/vcl/buttons.h"
#include "platform/vcl/forms.h"

class TForm5 : public TForm {
 public:
  explicit TForm5(TComponent* owner);

  TSpeedButton* SpeedButton1;

  void FormShow(TObject* Sender);
  void FormMouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
  void SpeedButton1Click(TObject* Sender);

 private:
  // The curtain's end, whichever way it is clicked.
  void Lift();
};

extern TForm5* Form5;
