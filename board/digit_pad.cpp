#include "board/digit_pad.h"

namespace {

struct Key {
  int number;  // SpeedButton<number>
  char digit;
  int row, column;
};

const Key kKeys[] = {
    {2, '1', 0, 0}, {3, '2', 0, 1}, {4, '3', 0, 2}, {10, '4', 0, 3}, {9, '5', 0, 4},
    {8, '6', 1, 0}, {5, '7', 1, 1}, {6, '8', 1, 2}, {7, '9', 1, 3},  {1, '0', 1, 4},
};

constexpr int kWidth = 31, kHeight = 25, kGap = 8;

}  // namespace

DigitPad MakeDigitPad(TComponent* owner, TWinControl* parent, int left, int top, std::function<void(char)> digit) {
  DigitPad pad;
  for (const Key& k : kKeys) {
    auto* b = new TSpeedButton(owner);
    b->Parent = parent;
    b->SetBounds(left + k.column * (kWidth + kGap), top + k.row * (kHeight + kGap / 2), kWidth, kHeight);
    b->Caption = AnsiString(1, k.digit);
    b->Font->Color = clBlue;
    b->Font->Height = -16;
    b->Font->Style = TFontStyles() << fsBold;
    b->OnClick = [digit, d = k.digit](TObject*) { digit(d); };
    pad.button[k.number] = b;
  }
  return pad;
}
