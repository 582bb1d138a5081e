// The on-screen digit pad of the password forms, so that a password can be
// given with a pen on a projected screen: two rows of five 31 x 25 buttons
// with blue digits, the same buttons for the same digits in both forms.
#pragma once
#include <functional>

#include "platform/vcl/buttons.h"

// SpeedButton1..SpeedButton10 of a form, by number.
struct DigitPad {
  TSpeedButton* button[11] = {};
};

// The pad's top-left corner at (left, top) of the parent; each button's
// click hands its digit to `digit`.
DigitPad MakeDigitPad(TComponent* owner, TWinControl* parent, int left, int top, std::function<void(char)> digit);
