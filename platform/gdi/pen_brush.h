// Pens and brushes are plain values: a device context keeps a copy of the
// one selected into it.
#pragma once
#include "platform/windef.h"

namespace gdi {

// Width 0 and 1 draw one-pixel lines in the style; a wider pen is geometric
// (round ends and joins) and draws solid whatever its style. PS_NULL draws
// nothing; PS_INSIDEFRAME draws as PS_SOLID.
struct Pen {
  int style = PS_SOLID;
  int width = 1;
  COLORREF colour = RGB(0, 0, 0);

  bool IsNull() const { return style == PS_NULL; }
  bool IsWide() const { return width > 1; }
};

// BS_SOLID fills with the colour; BS_NULL (clear) fills nothing.
struct Brush {
  int style = BS_SOLID;
  COLORREF colour = RGB(255, 255, 255);

  bool IsNull() const { return style == BS_NULL; }
};

inline Pen SolidPen(COLORREF colour, int width = 1) { return Pen{PS_SOLID, width, colour}; }
inline Brush SolidBrush(COLORREF colour) { return Brush{BS_SOLID, colour}; }
inline Brush NullBrush() { return Brush{BS_NULL, RGB(0, 0, 0)}; }

}  // namespace gdi
