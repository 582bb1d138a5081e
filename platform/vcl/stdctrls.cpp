#include "platform/vcl/stdctrls.h"

#include <QKeyEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QProxyStyle>
#include <QStyle>

#include "platform/text/gbk.h"
#include "platform/vcl/events.h"
#include "platform/vcl/forms.h"
#include "platform/vcl/paint_util.h"

namespace {

// The edit's password character, as the system chose it.
class PasswordStyle : public QProxyStyle {
 public:
  explicit PasswordStyle(QChar c) : c_(c) {}
  int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                QStyleHintReturn* ret) const override {
    if (hint == SH_LineEdit_PasswordCharacter) return c_.unicode();
    return QProxyStyle::styleHint(hint, option, widget, ret);
  }

 private:
  QChar c_;
};

}  // namespace

// ---- TEdit ----

TEdit::TEdit(TComponent* owner) : TWinControl(owner), edit_(new QLineEdit(this)) {
  SetColor(clWindow);
  setFocusProxy(edit_);
  setFocusPolicy(Qt::StrongFocus);
  ForwardMouseOf(edit_);
  QObject::connect(edit_, &QLineEdit::textChanged, [this](const QString&) {
    vcl::Fire(OnChange, static_cast<TObject*>(this));
  });
  QObject::connect(edit_, &QLineEdit::textEdited, [this](const QString&) { Edited(); });
  resize(121, 21);
  ColorChanged();
  FontChanged();
}

AnsiString TEdit::GetText() const { return gbk::FromQString(edit_->text()); }

void TEdit::SetText(const AnsiString& t) { edit_->setText(gbk::ToQString(t)); }

void TEdit::Edited() {
  if (maxLength_ <= 0) return;
  // Typing stops at MaxLength bytes of GBK, whole characters only.
  QString text = edit_->text();
  if (int(gbk::FromQString(text).size()) <= maxLength_) return;
  int cursor = edit_->cursorPosition();
  while (!text.isEmpty() && int(gbk::FromQString(text).size()) > maxLength_) {
    int at = std::max(0, std::min(cursor, int(text.size())) - 1);
    text.remove(at, 1);
    cursor = at;
  }
  edit_->setText(text);
  edit_->setCursorPosition(cursor);
}

void TEdit::SetPasswordChar(char c) {
  passwordChar_ = c;
  if (!c) {
    edit_->setEchoMode(QLineEdit::Normal);
    return;
  }
  edit_->setStyle(new PasswordStyle(QChar(uchar(c))));
  edit_->setEchoMode(QLineEdit::Password);
}

void TEdit::SetFocus() {
  TWinControl::SetFocus();
  edit_->setFocus(Qt::OtherFocusReason);
}

int TEdit::GetSelStart() const {
  return edit_->hasSelectedText() ? edit_->selectionStart() : edit_->cursorPosition();
}
void TEdit::SetSelStart(int s) { edit_->setCursorPosition(s); }
int TEdit::GetSelLength() const { return edit_->selectedText().size(); }
void TEdit::SetSelLength(int n) { edit_->setSelection(GetSelStart(), n); }
AnsiString TEdit::GetSelText() const { return gbk::FromQString(edit_->selectedText()); }

void TEdit::resizeEvent(QResizeEvent* e) {
  TWinControl::resizeEvent(e);
  edit_->setGeometry(rect());
}

void TEdit::ColorChanged() {
  QPalette p = edit_->palette();
  p.setColor(QPalette::Base, vcl::QtColour(GetColor()));
  p.setColor(QPalette::Text, vcl::QtColour(GetFont()->GetColor()));
  edit_->setPalette(p);
}

void TEdit::FontChanged() {
  edit_->setFont(GetFont()->ToQFont());
  ColorChanged();
}

// ---- TLabel ----

TLabel::TLabel(TComponent* owner) : TGraphicControl(owner) {
  SetParentColor(true);
  resize(65, 13);
}

void TLabel::Fit() {
  if (!autoSize_ || GetCaption().empty()) return;
  QFontMetrics m(GetFont()->ToQFont());
  QRect r = m.boundingRect(QRect(0, 0, wordWrap_ ? width() : 100000, 100000),
                           (wordWrap_ ? Qt::TextWordWrap : 0) | Qt::TextShowMnemonic, gbk::ToQString(GetCaption()));
  SetBounds(GetLeft(), GetTop(), wordWrap_ ? width() : r.width(), r.height());
}

void TLabel::paintEvent(QPaintEvent*) {
  QPainter p(this);
  if (!transparent_) p.fillRect(rect(), vcl::QtColour(GetColor()));
  int flags = alignment_ == taLeftJustify ? Qt::AlignLeft : alignment_ == taRightJustify ? Qt::AlignRight : Qt::AlignHCenter;
  flags |= layout_ == tlTop ? Qt::AlignTop : layout_ == tlBottom ? Qt::AlignBottom : Qt::AlignVCenter;
  if (wordWrap_) flags |= Qt::TextWordWrap;
  if (!isEnabled()) {
    p.setPen(vcl::QtColour(clGrayText));
  }
  vcl::DrawCaption(p, rect(), GetCaption(), GetFont(), flags);
}

// ---- TButton ----

TButton::TButton(TComponent* owner) : TWinControl(owner) {
  setFocusPolicy(Qt::StrongFocus);
  resize(75, 25);
}

void TButton::Click() {
  if (TForm* f = ParentForm(); f && modalResult_ != mrNone) f->ModalResult = modalResult_;
  TWinControl::Click();
}

void TButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  if (button == mbLeft) {
    pressing_ = inside_ = true;
    setFocus(Qt::MouseFocusReason);
    update();
  }
  TWinControl::MouseDown(button, shift, x, y);
}

void TButton::MouseMove(TShiftState shift, int x, int y) {
  if (pressing_ && inside_ != rect().contains(x, y)) {
    inside_ = !inside_;
    update();
  }
  TWinControl::MouseMove(shift, x, y);
}

void TButton::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  if (button == mbLeft) {
    pressing_ = false;
    update();
  }
  TWinControl::MouseUp(button, shift, x, y);
}

void TButton::keyPressEvent(QKeyEvent* e) {
  if (e->key() == Qt::Key_Space && !e->isAutoRepeat()) {
    Click();
    return;
  }
  TWinControl::keyPressEvent(e);
}

void TButton::paintEvent(QPaintEvent*) {
  QPainter p(this);
  QRect r = rect();
  p.fillRect(r, vcl::QtColour(clBtnFace));
  const bool down = pressing_ && inside_;
  if (default_ || hasFocus()) vcl::Frame3D(p, r, clBlack, clBlack, 1);
  if (down) {
    vcl::Frame3D(p, r, clBtnShadow, clBtnShadow, 1);
  } else {
    vcl::Frame3D(p, r, clBtnHighlight, cl3DDkShadow, 1);
    vcl::Frame3D(p, r, cl3DLight, clBtnShadow, 1);
  }
  PaintContent(p, down ? r.translated(1, 1) : r);
}

void TButton::PaintContent(QPainter& p, const QRect& r) {
  vcl::DrawCaption(p, r, GetCaption(), GetFont(), Qt::AlignCenter | Qt::TextSingleLine);
}

// ---- TScrollBar ----

TScrollBar::TScrollBar(TComponent* owner) : TWinControl(owner), bar_(new QScrollBar(Qt::Horizontal, this)) {
  bar_->installEventFilter(this);
  ForwardMouseOf(bar_);
  QObject::connect(bar_, &QAbstractSlider::actionTriggered, [this](int action) { Action(action); });
  QObject::connect(bar_, &QAbstractSlider::valueChanged, [this](int v) {
    if (syncing_ || v == position_) return;
    position_ = v;
    vcl::Fire(OnChange, static_cast<TObject*>(this));
  });
  QObject::connect(bar_, &QAbstractSlider::sliderReleased, [this] {
    Scroll(scPosition, bar_->value());
    Scroll(scEndScroll, position_);
    stepped_ = false;
  });
  resize(121, 17);
  Sync();
}

void TScrollBar::SetKind(TScrollBarKind k) {
  kind_ = k;
  bar_->setOrientation(k == sbVertical ? Qt::Vertical : Qt::Horizontal);
}

int TScrollBar::TopPosition() const { return std::max(min_, max_ - std::max(0, pageSize_ - 1)); }

void TScrollBar::SetParams(int position, int min, int max) {
  if (max < min) max = min;
  min_ = min, max_ = max;
  const int old = position_;
  position_ = std::clamp(position, min_, TopPosition());
  Sync();
  if (position_ != old) vcl::Fire(OnChange, static_cast<TObject*>(this));
}

void TScrollBar::SetPageSize(int v) {
  pageSize_ = std::max(0, v);
  SetParams(position_, min_, max_);
}

void TScrollBar::SetSmallChange(int v) {
  smallChange_ = v;
  Sync();
}

void TScrollBar::SetLargeChange(int v) {
  largeChange_ = v;
  Sync();
}

void TScrollBar::Sync() {
  syncing_ = true;
  bar_->setRange(min_, TopPosition());
  bar_->setSingleStep(std::max(1, smallChange_));
  bar_->setPageStep(std::max(1, largeChange_));
  bar_->setValue(position_);
  syncing_ = false;
}

void TScrollBar::Scroll(TScrollCode code, int pos) {
  int scrollPos = pos;
  vcl::Fire(OnScroll, static_cast<TObject*>(this), code, scrollPos);
  if (code == scEndScroll) return;
  scrollPos = std::clamp(scrollPos, min_, TopPosition());
  if (bar_->sliderPosition() != scrollPos) bar_->setSliderPosition(scrollPos);
  if (code == scPosition && bar_->value() != scrollPos) bar_->setValue(scrollPos);
}

void TScrollBar::Action(int action) {
  struct Code {
    int action;
    TScrollCode code;
  };
  static const Code kCodes[] = {
      {QAbstractSlider::SliderSingleStepAdd, scLineDown}, {QAbstractSlider::SliderSingleStepSub, scLineUp},
      {QAbstractSlider::SliderPageStepAdd, scPageDown},   {QAbstractSlider::SliderPageStepSub, scPageUp},
      {QAbstractSlider::SliderToMinimum, scTop},          {QAbstractSlider::SliderToMaximum, scBottom},
      {QAbstractSlider::SliderMove, scTrack},
  };
  for (const Code& c : kCodes)
    if (c.action == action) {
      if (c.code != scTrack) stepped_ = true;
      Scroll(c.code, bar_->sliderPosition());
      return;
    }
}

bool TScrollBar::eventFilter(QObject* watched, QEvent* e) {
  if (watched == bar_ && stepped_ && !bar_->isSliderDown() &&
      (e->type() == QEvent::MouseButtonRelease || e->type() == QEvent::KeyRelease)) {
    // The end of a run of arrow, page or key steps. (A drag ends in
    // sliderReleased.)
    stepped_ = false;
    QMetaObject::invokeMethod(bar_, [this] { Scroll(scEndScroll, position_); }, Qt::QueuedConnection);
  }
  return TWinControl::eventFilter(watched, e);
}

void TScrollBar::resizeEvent(QResizeEvent* e) {
  TWinControl::resizeEvent(e);
  bar_->setGeometry(rect());
}
