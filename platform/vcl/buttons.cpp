#include "platform/vcl/buttons.h"

#include "platform/text/gbk.h"

#include <QPaintEvent>
#include <QPainter>

#include "platform/vcl/events.h"
#include "platform/vcl/forms.h"
#include "platform/vcl/paint_util.h"

namespace vcl {

QImage GlyphImage(TBitmap* glyph, int numGlyphs) {
  if (!glyph || glyph->GetEmpty()) return QImage();
  QImage all = glyph->ToImage();
  const int w = all.width() / std::max(1, numGlyphs);
  QImage first = all.copy(0, 0, std::max(1, w), all.height()).convertToFormat(QImage::Format_ARGB32);
  const QRgb clear = all.pixel(0, all.height() - 1) | 0xFF000000u;
  for (int y = 0; y < first.height(); ++y) {
    QRgb* row = reinterpret_cast<QRgb*>(first.scanLine(y));
    for (int x = 0; x < first.width(); ++x)
      if ((row[x] | 0xFF000000u) == clear) row[x] = 0;
  }
  return first;
}

namespace {

// Glyph and caption laid out in r as the library does: the pair centred,
// the glyph on the side the layout names.
void PaintGlyphAndCaption(QPainter& p, const QRect& r, const QImage& glyph, const AnsiString& caption, TFont* font,
                          TButtonLayout layout, int spacing, bool enabled) {
  if (!enabled) p.setOpacity(0.5);
  if (glyph.isNull()) {
    DrawCaption(p, r, caption, font, Qt::AlignCenter | Qt::TextSingleLine);
    return;
  }
  if (caption.empty()) {
    p.drawImage(r.x() + (r.width() - glyph.width()) / 2, r.y() + (r.height() - glyph.height()) / 2, glyph);
    return;
  }
  QFontMetrics m(font->ToQFont());
  const QSize text = m.size(Qt::TextShowMnemonic | Qt::TextSingleLine, gbk::ToQString(caption));
  const bool across = layout == blGlyphLeft || layout == blGlyphRight;
  const int total = across ? glyph.width() + spacing + text.width() : glyph.height() + spacing + text.height();
  QPoint g, t;
  if (across) {
    const int x = r.x() + (r.width() - total) / 2;
    const int first = x, second = x + (layout == blGlyphLeft ? glyph.width() : text.width()) + spacing;
    g = QPoint(layout == blGlyphLeft ? first : second, r.y() + (r.height() - glyph.height()) / 2);
    t = QPoint(layout == blGlyphLeft ? second : first, r.y() + (r.height() - text.height()) / 2);
  } else {
    const int y = r.y() + (r.height() - total) / 2;
    const int first = y, second = y + (layout == blGlyphTop ? glyph.height() : text.height()) + spacing;
    g = QPoint(r.x() + (r.width() - glyph.width()) / 2, layout == blGlyphTop ? first : second);
    t = QPoint(r.x() + (r.width() - text.width()) / 2, layout == blGlyphTop ? second : first);
  }
  p.drawImage(g, glyph);
  DrawCaption(p, QRect(t, text), caption, font, Qt::AlignCenter | Qt::TextSingleLine);
}

}  // namespace
}  // namespace vcl

// ---- TSpeedButton ----

TSpeedButton::TSpeedButton(TComponent* owner) : TGraphicControl(owner), glyph_(std::make_unique<TBitmap>()) {
  glyph_->OnChange = [this](TObject*) { update(); };
  resize(23, 22);
}

void TSpeedButton::SetDown(bool v) {
  if (groupIndex_ == 0) v = false;
  if (v == down_) return;
  if (down_ && !v && !allowAllUp_) return;  // one of a radio group stays down
  down_ = v;
  if (v && parentWidget())
    for (QObject* o : parentWidget()->children())
      if (auto* b = dynamic_cast<TSpeedButton*>(o); b && b != this && b->groupIndex_ == groupIndex_ && b->down_) {
        b->down_ = false;
        b->update();
      }
  update();
}

void TSpeedButton::Click() { TGraphicControl::Click(); }

void TSpeedButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  if (button == mbLeft && isEnabled()) {
    pressing_ = inside_ = true;
    update();
  }
  TGraphicControl::MouseDown(button, shift, x, y);
}

void TSpeedButton::MouseMove(TShiftState shift, int x, int y) {
  const bool in = rect().contains(x, y);
  if (in != inside_) {
    inside_ = in;
    update();
  }
  TGraphicControl::MouseMove(shift, x, y);
}

void TSpeedButton::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  if (button == mbLeft && pressing_) {
    pressing_ = false;
    if (groupIndex_ != 0 && rect().contains(x, y)) SetDown(!(down_ && allowAllUp_));
    update();
  }
  TGraphicControl::MouseUp(button, shift, x, y);
}

void TSpeedButton::enterEvent(QEnterEvent* e) {
  inside_ = true;
  update();
  TGraphicControl::enterEvent(e);
}

void TSpeedButton::leaveEvent(QEvent* e) {
  if (!pressing_) inside_ = false;
  update();
  TGraphicControl::leaveEvent(e);
}

void TSpeedButton::paintEvent(QPaintEvent*) {
  QPainter p(this);
  QRect r = rect();
  const bool pushed = down_ || (pressing_ && inside_);
  if (!flat_) {
    p.fillRect(r, vcl::QtColour(clBtnFace));
    if (pushed) {
      vcl::Frame3D(p, r, clBtnShadow, clBtnHighlight, 1);
    } else {
      vcl::Frame3D(p, r, clBtnHighlight, cl3DDkShadow, 1);
      vcl::Frame3D(p, r, cl3DLight, clBtnShadow, 1);
    }
  } else if (pushed) {
    vcl::Frame3D(p, r, clBtnShadow, clBtnHighlight, 1);
  } else if (inside_ && isEnabled()) {
    vcl::Frame3D(p, r, clBtnHighlight, clBtnShadow, 1);
  }
  if (pushed) r.translate(1, 1);
  vcl::PaintGlyphAndCaption(p, r, vcl::GlyphImage(glyph_.get(), numGlyphs_), GetCaption(), GetFont(), layout_,
                            spacing_, isEnabled());
}

// ---- TBitBtn ----

namespace {
struct StockKind {
  TBitBtnKind kind;
  const char* caption;
  TModalResult result;
};
const StockKind kKinds[] = {
    {bkOK, "OK", mrOk},          {bkCancel, "Cancel", mrCancel}, {bkHelp, "&Help", mrNone},
    {bkYes, "&Yes", mrYes},      {bkNo, "&No", mrNo},            {bkClose, "&Close", mrNone},
    {bkAbort, "Abort", mrAbort}, {bkRetry, "&Retry", mrRetry},   {bkIgnore, "&Ignore", mrIgnore},
    {bkAll, "&All", mrAll},
};
}  // namespace

TBitBtn::TBitBtn(TComponent* owner) : TButton(owner), glyph_(std::make_unique<TBitmap>()) {
  glyph_->OnChange = [this](TObject*) { update(); };
}

void TBitBtn::SetKind(TBitBtnKind k) {
  kind_ = k;
  for (const StockKind& s : kKinds)
    if (s.kind == k) {
      SetCaption(s.caption);
      ModalResult = s.result;
    }
  if (k == bkOK) Default = true;
  if (k == bkCancel) Cancel = true;
}

void TBitBtn::Click() {
  if (kind_ == bkClose) {
    if (TForm* f = ParentForm()) f->Close();
    return;
  }
  TButton::Click();
}

void TBitBtn::PaintContent(QPainter& p, const QRect& r) {
  vcl::PaintGlyphAndCaption(p, r, vcl::GlyphImage(glyph_.get(), numGlyphs_), GetCaption(), GetFont(), blGlyphLeft,
                            4, isEnabled());
}
