#include <QPaintEvent>
#include <QPainter>
#include <QResizeEvent>

#include "platform/text/gbk.h"
#include "platform/vcl/events.h"
#include "platform/vcl/paint_util.h"
#include "platform/vcl/stdctrls.h"

// ---- TCheckBox / TRadioButton ----

TCheckBox::TCheckBox(TComponent* owner) : TWinControl(owner), box_(new QCheckBox(this)) {
  setFocusProxy(box_);
  QObject::connect(box_, &QCheckBox::clicked, [this] { vcl::Fire(OnClick, static_cast<TObject*>(this)); });
  resize(97, 17);
  ColorChanged();
}

void TCheckBox::SetChecked(bool v) {
  if (v == box_->isChecked()) return;
  box_->setChecked(v);
  vcl::Fire(OnClick, static_cast<TObject*>(this));
}

void TCheckBox::TextChanged() { box_->setText(gbk::ToQString(GetCaption())); }
void TCheckBox::ColorChanged() {
  box_->setAutoFillBackground(true);
  vcl::StyleInner(box_, this, false);
}
void TCheckBox::FontChanged() { vcl::StyleInner(box_, this, false); }
void TCheckBox::resizeEvent(QResizeEvent* e) {
  TWinControl::resizeEvent(e);
  box_->setGeometry(rect());
}

TRadioButton::TRadioButton(TComponent* owner) : TWinControl(owner), button_(new QRadioButton(this)) {
  setFocusProxy(button_);
  button_->setAutoExclusive(false);
  QObject::connect(button_, &QRadioButton::clicked, [this] {
    button_->setChecked(true);
    SetChecked(true);
    vcl::Fire(OnClick, static_cast<TObject*>(this));
  });
  resize(113, 17);
}

void TRadioButton::SetChecked(bool v) {
  button_->setChecked(v);
  if (!v || !parentWidget()) return;
  for (QObject* o : parentWidget()->children())
    if (auto* r = dynamic_cast<TRadioButton*>(o); r && r != this) r->button_->setChecked(false);
}

void TRadioButton::TextChanged() { button_->setText(gbk::ToQString(GetCaption())); }
void TRadioButton::FontChanged() { vcl::StyleInner(button_, this, false); }
void TRadioButton::resizeEvent(QResizeEvent* e) {
  TWinControl::resizeEvent(e);
  button_->setGeometry(rect());
}

// ---- TGroupBox ----

TGroupBox::TGroupBox(TComponent* owner) : TWinControl(owner) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  resize(185, 105);
}

TRect TGroupBox::AlignRect() const {
  QFontMetrics m(GetFont()->ToQFont());
  return TRect(2, m.height(), std::max(2, width() - 2), std::max(m.height(), height() - 2));
}

void TGroupBox::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.fillRect(rect(), vcl::QtColour(GetColor()));
  QFontMetrics m(GetFont()->ToQFont());
  QRect frame = rect().adjusted(0, m.height() / 2, 0, 0);
  vcl::Frame3D(p, frame, clBtnShadow, clBtnHighlight, 1);
  vcl::Frame3D(p, frame, clBtnHighlight, clBtnShadow, 1);
  if (GetCaption().empty()) return;
  const QString text = gbk::ToQString(GetCaption());
  QRect caption(8, 0, m.horizontalAdvance(text) + 4, m.height());
  p.fillRect(caption, vcl::QtColour(GetColor()));
  vcl::DrawCaption(p, caption, GetCaption(), GetFont(), Qt::AlignCenter | Qt::TextSingleLine);
}
