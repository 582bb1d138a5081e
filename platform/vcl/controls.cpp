#include "platform/vcl/controls.h"

#include <QApplication>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QToolTip>
#include <QWindow>
#include <algorithm>

#include "platform/text/gbk.h"
#include "platform/vcl/events.h"
#include "platform/vcl/forms.h"

namespace {

bool ButtonOf(Qt::MouseButton b, TMouseButton* out) {
  switch (b) {
    case Qt::LeftButton: *out = mbLeft; return true;
    case Qt::RightButton: *out = mbRight; return true;
    case Qt::MiddleButton: *out = mbMiddle; return true;
    default: return false;  // wheel and extra buttons give no press or release
  }
}

struct KeyCode {
  int qt;
  WORD vk;
};
const KeyCode kKeys[] = {
    {Qt::Key_Backspace, 0x08}, {Qt::Key_Tab, 0x09},     {Qt::Key_Return, 0x0D},   {Qt::Key_Enter, 0x0D},
    {Qt::Key_Shift, 0x10},     {Qt::Key_Control, 0x11}, {Qt::Key_Alt, 0x12},      {Qt::Key_Pause, 0x13},
    {Qt::Key_CapsLock, 0x14},  {Qt::Key_Escape, 0x1B},  {Qt::Key_Space, 0x20},    {Qt::Key_PageUp, 0x21},
    {Qt::Key_PageDown, 0x22},  {Qt::Key_End, 0x23},     {Qt::Key_Home, 0x24},     {Qt::Key_Left, 0x25},
    {Qt::Key_Up, 0x26},        {Qt::Key_Right, 0x27},   {Qt::Key_Down, 0x28},     {Qt::Key_Insert, 0x2D},
    {Qt::Key_Delete, 0x2E},
};

}  // namespace

namespace vcl {

TShiftState ShiftOf(Qt::KeyboardModifiers modifiers, Qt::MouseButtons buttons) {
  TShiftState s;
  if (modifiers & Qt::ShiftModifier) s << ssShift;
  if (modifiers & Qt::AltModifier) s << ssAlt;
  if (modifiers & Qt::ControlModifier) s << ssCtrl;
  if (buttons & Qt::LeftButton) s << ssLeft;
  if (buttons & Qt::RightButton) s << ssRight;
  if (buttons & Qt::MiddleButton) s << ssMiddle;
  return s;
}

WORD VirtualKeyOf(int qtKey) {
  if ((qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9) || (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z)) return WORD(qtKey);
  if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F24) return WORD(0x70 + (qtKey - Qt::Key_F1));
  for (const KeyCode& k : kKeys)
    if (k.qt == qtKey) return k.vk;
  return 0;
}

}  // namespace vcl

// ---- TControl ----

TControl::TControl(TComponent* owner) : TComponent(owner), QWidget(nullptr), font_(std::make_unique<TFont>()) {
  setMouseTracking(true);  // moves arrive with no button held, as the library has them
  font_->OnChange = [this](TObject*) {
    if (!adopting_) parentFont_ = false;
    FontChanged();
    if (auto* w = dynamic_cast<TWinControl*>(this))
      for (QObject* o : w->ChildHost()->children())
        if (auto* c = dynamic_cast<TControl*>(o); c && c->parentFont_) c->AdoptParentFont();
  };
}

TControl::~TControl() { font_->OnChange = nullptr; }

void TControl::SetBounds(int left, int top, int width, int height) {
  const QRect old = geometry(), now(left, top, std::max(0, width), std::max(0, height));
  if (old == now) return;
  setGeometry(now);
  // A hidden widget hears of its new size only when shown; the library
  // lays out its aligned children at once.
  if (auto* w = dynamic_cast<TWinControl*>(this); w && !isVisible() && old.size() != now.size()) w->AlignControls();
  if (IsGraphic() && visible_) InvalidateOnForm(QRegion(old).united(now).boundingRect());
  if (align_ != alNone) RequestAlign();
  if (parent_) parent_->ChildChanged();
}

void TControl::SetVisible(bool v) {
  if (visible_ == v) return;
  visible_ = v;
  // The focus inside a control that hides goes to its parent, as the form
  // library has it; Qt would pass it on to the next control of the tab order.
  if (QWidget* focus = QApplication::focusWidget(); !v && parent_ && focus && (focus == this || isAncestorOf(focus)))
    static_cast<QWidget*>(parent_)->setFocus(Qt::OtherFocusReason);
  if (parent_) setVisible(v);
  if (v && parent_ && internalWinId()) KeepFormOrder();
  if (IsGraphic()) InvalidateOnForm(geometry());
  if (align_ != alNone) RequestAlign();
  if (parent_) parent_->ChildChanged();
}

// A control's X window is made when it is first shown, above its siblings,
// and mapped again where it was: shown, it goes over the siblings before it
// in the form and those after it go back over it, in their order, so that
// the form's order decides whichever was shown first.
void TControl::KeepFormOrder() {
  const QObjectList siblings = parentWidget()->children();
  raise();
  for (qsizetype i = siblings.indexOf(this) + 1; i > 0 && i < siblings.size(); ++i)
    if (auto* w = qobject_cast<QWidget*>(siblings[i]); w && !w->isWindow()) w->raise();
}

void TControl::SetAlign(TAlign a) {
  if (align_ == a) return;
  align_ = a;
  RequestAlign();
}

void TControl::RequestAlign() const {
  if (parent_) parent_->AlignControls();
}

void TControl::SetCursor(TCursor c) {
  cursor_ = c;
  ApplyCursor();
}

void TControl::ApplyCursor() {
  if (cursor_ == crDefault)
    unsetCursor();
  else
    setCursor(Screen->QtCursor(cursor_));
}

void TControl::SetColor(TColor c) {
  parentColour_ = false;
  if (colour_ == c) return;
  colour_ = c;
  ColorChanged();
}

void TControl::SetParentColor(bool v) {
  parentColour_ = v;
  if (v) AdoptParentColor();
}

void TControl::AdoptParentColor() {
  if (!parent_) return;
  TColor c = parent_->GetColor();
  if (c != colour_) {
    colour_ = c;
    ColorChanged();
  }
}

void TControl::SetParentFont(bool v) {
  parentFont_ = v;
  if (v) AdoptParentFont();
}

void TControl::AdoptParentFont() {
  if (!parent_) return;
  adopting_ = true;
  font_->Assign(parent_->GetFont());
  adopting_ = false;
}

void TControl::SetParent(TWinControl* p) {
  if (p == parent_) return;
  TWinControl* old = parent_;
  if (IsGraphic() && visible_ && old) InvalidateOnForm(geometry());
  parent_ = p;
  setParent(p ? p->ChildHost() : nullptr);
  if (p) {
    setVisible(visible_);
    if (parentColour_) AdoptParentColor();
    if (parentFont_) AdoptParentFont();
    if (IsGraphic() && visible_) InvalidateOnForm(geometry());
  }
  ParentChanged();
  if (old) old->AlignControls(), old->ChildChanged();
  if (p) p->AlignControls(), p->ChildChanged();
}

void TControl::SetText(const AnsiString& t) {
  if (t == text_) return;
  text_ = t;
  TextChanged();
}

void TControl::BringToFront() {
  raise();
  if (IsGraphic()) InvalidateOnForm(geometry());
}

void TControl::SendToBack() {
  lower();
  if (IsGraphic()) InvalidateOnForm(geometry());
}

void TControl::Invalidate() { update(); }
void TControl::Repaint() { repaint(); }

TPoint TControl::ClientToScreen(const TPoint& p) const {
  QPoint g = mapToGlobal(QPoint(p.X, p.Y));
  return TPoint(g.x(), g.y());
}

TPoint TControl::ScreenToClient(const TPoint& p) const {
  QPoint l = mapFromGlobal(QPoint(p.X, p.Y));
  return TPoint(l.x(), l.y());
}

TForm* TControl::ParentForm() const {
  for (const TControl* c = this; c; c = c->parent_)
    if (auto* f = dynamic_cast<const TForm*>(c)) return const_cast<TForm*>(f);
  return nullptr;
}

void TControl::InvalidateOnForm(const QRect& r) const {
  if (!parent_) return;
  if (auto* form = dynamic_cast<TForm*>(parent_)) form->InvalidateRegion(QRegion(r));
}

bool TControl::HintShown() const {
  if (!parentShowHint_) return showHint_;
  return parent_ ? parent_->HintShown() : showHint_;
}

void TControl::Click() { vcl::Fire(OnClick, static_cast<TObject*>(this)); }
void TControl::DblClick() { vcl::Fire(OnDblClick, static_cast<TObject*>(this)); }
void TControl::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  vcl::Fire(OnMouseDown, static_cast<TObject*>(this), button, shift, x, y);
}
void TControl::MouseMove(TShiftState shift, int x, int y) {
  vcl::Fire(OnMouseMove, static_cast<TObject*>(this), shift, x, y);
}
void TControl::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  vcl::Fire(OnMouseUp, static_cast<TObject*>(this), button, shift, x, y);
}

// Where the pointer is on the control as it stands now: an event made
// before the control's window moved (a panel dragged by its strip) is not
// taken relative to where the window was.
QPoint TControl::LocalPoint(const QMouseEvent* e) const { return mapFromGlobal(e->globalPosition().toPoint()); }

void TControl::mousePressEvent(QMouseEvent* e) {
  e->accept();
  TMouseButton b;
  if (!ButtonOf(e->button(), &b)) return;
  if (TForm* f = ParentForm()) f->FlushPaint();
  if (b == mbLeft && CaptionTook(e)) return;
  if (b == mbLeft) clicked_ = true;
  const QPoint p = LocalPoint(e);
  MouseDown(b, vcl::ShiftOf(e->modifiers(), e->buttons()), p.x(), p.y());
}

void TControl::mouseDoubleClickEvent(QMouseEvent* e) {
  e->accept();
  TMouseButton b;
  if (!ButtonOf(e->button(), &b)) return;
  if (TForm* f = ParentForm()) f->FlushPaint();
  if (b == mbLeft && CaptionTook(e)) return;
  const QPoint p = LocalPoint(e);
  // The second press of a double click is a press too: its release clicks.
  if (b == mbLeft) clicked_ = true, DblClick();
  MouseDown(b, vcl::ShiftOf(e->modifiers(), e->buttons()) << ssDouble, p.x(), p.y());
}

// A left press on the form's own surface (the form, or a graphic control
// on it) is first the form window's hit test.
bool TControl::CaptionTook(QMouseEvent* e) {
  TForm* form = ParentForm();
  return form && (form == this || (IsGraphic() && parent_ == form)) &&
         form->CaptionPress(e->globalPosition().toPoint());
}

void TControl::mouseMoveEvent(QMouseEvent* e) {
  e->accept();
  if (TForm* f = ParentForm()) f->FlushPaint();
  const QPoint p = LocalPoint(e);
  MouseMove(vcl::ShiftOf(e->modifiers(), e->buttons()), p.x(), p.y());
}

void TControl::mouseReleaseEvent(QMouseEvent* e) {
  e->accept();
  TMouseButton b;
  if (!ButtonOf(e->button(), &b)) return;
  if (TForm* f = ParentForm()) f->FlushPaint();
  const QPoint p = LocalPoint(e);
  const bool click = b == mbLeft && clicked_ && rect().contains(p);
  if (b == mbLeft) clicked_ = false;
  MouseUp(b, vcl::ShiftOf(e->modifiers(), e->buttons()), p.x(), p.y());
  if (click) Click();
}

bool TControl::event(QEvent* e) {
  if (e->type() == QEvent::ToolTip) {
    if (!hint_.empty() && HintShown() && Application->ShowHint) {
      QToolTip::showText(static_cast<QHelpEvent*>(e)->globalPos(), gbk::ToQString(hint_), this);
      return true;
    }
  }
  return QWidget::event(e);
}

void TControl::ForwardMouseOf(QWidget* inner) {
  inner->installEventFilter(this);
  inner->setMouseTracking(true);
}

bool TControl::eventFilter(QObject* watched, QEvent* e) {
  auto* inner = qobject_cast<QWidget*>(watched);
  if (!inner || inner == this) return false;
  QEvent::Type t = e->type();
  if (t == QEvent::KeyPress || t == QEvent::KeyRelease) {
    // Keys typed into an inner widget (an edit's line edit) go through the
    // control's key events first; a handler that clears the key keeps it.
    auto* win = dynamic_cast<TWinControl*>(this);
    auto* k = static_cast<QKeyEvent*>(e);
    WORD key = vcl::VirtualKeyOf(k->key());
    if (!win) return false;
    win->filteredKey_ = e;
    if (key && !(t == QEvent::KeyPress ? win->KeyDown(key, vcl::ShiftOf(k->modifiers(), {}))
                                        : win->KeyUp(key, vcl::ShiftOf(k->modifiers(), {}))))
      return true;
    if (t == QEvent::KeyPress) {
      std::string text = gbk::FromQString(k->text());
      if (text.size() == 1 && (unsigned char)text[0] >= ' ') {
        char c = text[0];
        if (TForm* f = ParentForm(); f && f->KeyPreview) vcl::Fire(f->OnKeyPress, static_cast<TObject*>(f), c);
        if (c) vcl::Fire(win->OnKeyPress, static_cast<TObject*>(this), c);
        if (!c) return true;
      }
    }
    return false;
  }
  if (t != QEvent::MouseButtonPress && t != QEvent::MouseButtonRelease && t != QEvent::MouseMove &&
      t != QEvent::MouseButtonDblClick)
    return false;
  auto* m = static_cast<QMouseEvent*>(e);
  const QPoint p = LocalPoint(m);
  TMouseButton b = mbLeft;
  const bool button = ButtonOf(m->button(), &b);
  const TShiftState shift = vcl::ShiftOf(m->modifiers(), m->buttons());
  if (TForm* f = ParentForm()) f->FlushPaint();
  if (t == QEvent::MouseMove) {
    MouseMove(shift, p.x(), p.y());
  } else if (button && t == QEvent::MouseButtonRelease) {
    const bool click = b == mbLeft && clicked_ && rect().contains(p);
    if (b == mbLeft) clicked_ = false;
    MouseUp(b, shift, p.x(), p.y());
    if (click) Click();
  } else if (button) {
    if (b == mbLeft) clicked_ = true;
    if (t == QEvent::MouseButtonDblClick && b == mbLeft) DblClick();
    MouseDown(b, t == QEvent::MouseButtonDblClick ? TShiftState(shift) << ssDouble : shift, p.x(), p.y());
  }
  return false;  // the inner widget does its own work too (editing, selection)
}

// ---- TWinControl ----

TWinControl::TWinControl(TComponent* owner) : TControl(owner) {}

HWND TWinControl::GetHandle() const {
  auto* self = const_cast<TWinControl*>(this);
  if (!isWindow()) self->setAttribute(Qt::WA_NativeWindow);
  self->winId();
  return windowHandle() ? HWND(windowHandle()->winId()) : 0;
}

void TWinControl::SetFocus() {
  if (QWidget* top = window(); top && !top->isActiveWindow()) top->activateWindow();
  setFocus(Qt::OtherFocusReason);
}

int TWinControl::GetControlCount() const {
  int n = 0;
  for (QObject* o : ChildHost()->children())
    if (dynamic_cast<TControl*>(o)) ++n;
  return n;
}

TControl* TWinControl::Controls(int i) const {
  int n = 0;
  for (QObject* o : ChildHost()->children())
    if (auto* c = dynamic_cast<TControl*>(o); c && n++ == i) return c;
  throw EListError::IndexOutOfBounds(i);
}

void TWinControl::AlignControls() {
  if (aligning_) return;
  aligning_ = true;
  TRect r = AlignRect();
  const TAlign order[] = {alTop, alBottom, alLeft, alRight, alClient};
  for (TAlign a : order) {
    std::vector<TControl*> list;
    for (QObject* o : ChildHost()->children())
      if (auto* c = dynamic_cast<TControl*>(o); c && c->align_ == a && c->visible_) list.push_back(c);
    // Of one kind, the one nearest its edge comes first.
    std::stable_sort(list.begin(), list.end(), [a](TControl* x, TControl* y) {
      switch (a) {
        case alTop: return x->GetTop() < y->GetTop();
        case alBottom: return x->GetTop() + x->GetHeight() > y->GetTop() + y->GetHeight();
        case alLeft: return x->GetLeft() < y->GetLeft();
        case alRight: return x->GetLeft() + x->GetWidth() > y->GetLeft() + y->GetWidth();
        default: return false;
      }
    });
    for (TControl* c : list) {
      const int w = c->GetWidth(), h = c->GetHeight();
      switch (a) {
        case alTop: c->SetBounds(r.Left, r.Top, r.Width(), h), r.Top += h; break;
        case alBottom: c->SetBounds(r.Left, r.Bottom - h, r.Width(), h), r.Bottom -= h; break;
        case alLeft: c->SetBounds(r.Left, r.Top, w, r.Height()), r.Left += w; break;
        case alRight: c->SetBounds(r.Right - w, r.Top, w, r.Height()), r.Right -= w; break;
        default: c->SetBounds(r.Left, r.Top, r.Width(), r.Height()); break;
      }
    }
  }
  aligning_ = false;
}

void TWinControl::resizeEvent(QResizeEvent* e) {
  QWidget::resizeEvent(e);
  AlignControls();
}

void TWinControl::ColorChanged() {
  update();
  for (QObject* o : ChildHost()->children())
    if (auto* c = dynamic_cast<TControl*>(o); c && c->parentColour_) c->AdoptParentColor();
}

void TWinControl::FontChanged() { update(); }

void TWinControl::focusInEvent(QFocusEvent* e) {
  QWidget::focusInEvent(e);
  vcl::Fire(OnEnter, static_cast<TObject*>(this));
}

void TWinControl::focusOutEvent(QFocusEvent* e) {
  QWidget::focusOutEvent(e);
  vcl::Fire(OnExit, static_cast<TObject*>(this));
}

bool TWinControl::KeyDown(WORD& key, TShiftState shift) {
  if (TForm* f = ParentForm(); f && f != this && f->KeyPreview) f->KeyDown(key, shift);
  if (key) vcl::Fire(OnKeyDown, static_cast<TObject*>(this), key, shift);
  return key != 0;
}

bool TWinControl::KeyUp(WORD& key, TShiftState shift) {
  if (TForm* f = ParentForm(); f && f != this && f->KeyPreview) f->KeyUp(key, shift);
  if (key) vcl::Fire(OnKeyUp, static_cast<TObject*>(this), key, shift);
  return key != 0;
}

void TWinControl::keyPressEvent(QKeyEvent* e) {
  WORD key = vcl::VirtualKeyOf(e->key());
  if (e == filteredKey_) {  // passed on by the inner widget: its events ran already
    filteredKey_ = nullptr;
    if (TForm* f = ParentForm(); f && (key == 0x0D || key == 0x1B) && f->DialogKey(key)) return;
    QWidget::keyPressEvent(e);
    return;
  }
  if (key && !KeyDown(key, vcl::ShiftOf(e->modifiers(), {}))) return;
  if (TForm* f = ParentForm(); f && (key == 0x0D || key == 0x1B) && f->DialogKey(key)) return;
  std::string text = gbk::FromQString(e->text());
  if (text.size() == 1 && (unsigned char)text[0] >= ' ') {
    char c = text[0];
    if (TForm* f = ParentForm(); f && f != this && f->KeyPreview) vcl::Fire(f->OnKeyPress, static_cast<TObject*>(f), c);
    if (c) vcl::Fire(OnKeyPress, static_cast<TObject*>(this), c);
    if (!c) return;
  }
  QWidget::keyPressEvent(e);
}

void TWinControl::keyReleaseEvent(QKeyEvent* e) {
  WORD key = vcl::VirtualKeyOf(e->key());
  if (e == filteredKey_) {
    filteredKey_ = nullptr;
    QWidget::keyReleaseEvent(e);
    return;
  }
  if (key && !KeyUp(key, vcl::ShiftOf(e->modifiers(), {}))) return;
  QWidget::keyReleaseEvent(e);
}

// ---- TGraphicControl ----

TGraphicControl::TGraphicControl(TComponent* owner) : TControl(owner) { setFocusPolicy(Qt::NoFocus); }
