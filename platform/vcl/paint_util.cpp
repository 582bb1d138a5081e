#include "platform/vcl/paint_util.h"

#include "platform/text/gbk.h"
#include "platform/vcl/controls.h"

namespace vcl {

void Frame3D(QPainter& p, QRect& r, TColor topLeft, TColor bottomRight, int width) {
  const QColor tl = QtColour(topLeft), br = QtColour(bottomRight);
  for (int i = 0; i < width && r.width() > 0 && r.height() > 0; ++i) {
    p.fillRect(QRect(r.left(), r.top(), r.width(), 1), tl);
    p.fillRect(QRect(r.left(), r.top(), 1, r.height()), tl);
    p.fillRect(QRect(r.left(), r.bottom(), r.width(), 1), br);
    p.fillRect(QRect(r.right(), r.top(), 1, r.height()), br);
    r.adjust(1, 1, -1, -1);
  }
}

void DrawCaption(QPainter& p, const QRect& r, const AnsiString& text, TFont* font, int flags) {
  if (text.empty() || !font) return;
  p.setFont(font->ToQFont());
  p.setPen(QtColour(font->GetColor()));
  p.drawText(r, flags | Qt::TextShowMnemonic, gbk::ToQString(text));
}


void StyleInner(QWidget* inner, TControl* c, bool base) {
  inner->setFont(c->GetFont()->ToQFont());
  QPalette p = inner->palette();
  p.setColor(base ? QPalette::Base : QPalette::Window, vcl::QtColour(c->GetColor()));
  p.setColor(base ? QPalette::Text : QPalette::WindowText, vcl::QtColour(c->GetFont()->GetColor()));
  inner->setPalette(p);
}

}  // namespace vcl
