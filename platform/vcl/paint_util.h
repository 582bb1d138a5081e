// Drawing helpers the controls share: 3-D frames, captions with '&'
// mnemonics, colours as Qt has them.
#pragma once
#include <QPainter>
#include <QRect>

#include "platform/gdi/colour.h"
#include "platform/vcl/graphics.h"

class QWidget;
class TControl;

namespace vcl {

inline QColor QtColour(TColor c) { return gdi::ToQColor(ColorToRGB(c)); }

// A frame `width` pixels wide just inside r: top and left in `topLeft`,
// bottom and right in `bottomRight`; r shrinks to what is inside it.
void Frame3D(QPainter& p, QRect& r, TColor topLeft, TColor bottomRight, int width);

// GBK text in the rectangle with Qt alignment flags; "&x" underlines x and
// "&&" is a single '&'.
void DrawCaption(QPainter& p, const QRect& r, const AnsiString& text, TFont* font, int flags);

}  // namespace vcl

namespace vcl {
// Font and colours of a control applied to the Qt widget inside it (Base and
// Text for edits and lists, Window and WindowText for buttons).
void StyleInner(QWidget* inner, TControl* c, bool base);
}  // namespace vcl
