#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QPainter>
#include <QPointer>
#include <QScreen>
#include <QWindow>

#include "platform/gdi/colour.h"
#include "platform/text/gbk.h"
#include "platform/vcl/events.h"
#include "platform/vcl/forms.h"
#include "platform/vcl/stdctrls.h"
#include "platform/win/messages.h"
#include "platform/win/window_pos.h"
#include "platform/win/window_text.h"

namespace {
// Posted to a form: its collected invalid region is to be painted; a
// Visible set while the form was being made is to be carried out.
const QEvent::Type kPaintRequest = QEvent::Type(QEvent::User + 0x51);
const QEvent::Type kShowRequest = QEvent::Type(QEvent::User + 0x52);

QRgb Pixel(TColor c) { return gdi::ToPixel(ColorToRGB(c)); }
}  // namespace

TForm::TForm(TComponent* owner)
    : TWinControl(owner), surface_(this), canvas_(std::make_unique<TCanvas>(&surface_)),
      brush_(std::make_unique<TBrush>()) {
  visible_ = false;
  setAttribute(Qt::WA_OpaquePaintEvent);
  setAttribute(Qt::WA_NoSystemBackground);
  // Hints show over every form, the floating toolbar too, active or not.
  setAttribute(Qt::WA_AlwaysShowToolTips);
  SetParentFont(false);
  brush_->Color = GetColor();
  canvas_->Brush->Color = GetColor();
  canvas_->Font->Assign(GetFont());
  ApplyFlags();
  win::SetOwnWindowText(this, "");  // untitled, not named after the program
  resize(320, 240);
  surface_.Resize(size(), Pixel(GetColor()));
  Screen->AddForm(this);
}

TForm::~TForm() {
  DetachWindowProc();
  if (modalLoop_) modalLoop_->quit();
  Screen->RemoveForm(this);
  if (Application->MainForm == this) Application->SetMainForm(nullptr);
}

void TForm::DoCreate() {
  created_ = true;
  vcl::Fire(OnCreate, static_cast<TObject*>(this));
}

// ---- the message map ----

void TForm::Dispatch(TMessage& message) {
  switch (message.Msg) {
    case WM_CLOSE:
      message.Result = 0;
      Close();
      break;
    case WM_NCHITTEST: message.Result = HTCLIENT; break;
    default: message.Result = 0; break;
  }
}

LRESULT TForm::Deliver(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT result) {
  TMessage m{msg, wParam, lParam, result};
  const std::function<void()> dispatch = [&] { Dispatch(m); };
  vcl::Fire(dispatch);
  return m.Result;
}

bool TForm::CaptionPress(const QPoint& global) {
  if (Deliver(WM_NCHITTEST, 0, MAKELPARAM(WORD(global.x()), WORD(global.y())), HTCLIENT) != HTCAPTION) return false;
  // A caption press belongs to the move, even when the button is up again
  // before the move could start.
  win::StartWindowMove(Handle);
  return true;
}

void TForm::AttachWindowProc() {
  QWindow* w = windowHandle();
  if (!w || w == procWindow_) return;
  DetachWindowProc();
  procWindow_ = w;
  procHandle_ = HWND(w->winId());
  RegisterWindowProc(procHandle_, [this](UINT msg, WPARAM wParam, LPARAM lParam) { return Deliver(msg, wParam, lParam); });
}

void TForm::DetachWindowProc() {
  if (procHandle_) UnregisterWindowProc(procHandle_);
  procWindow_ = nullptr;
  procHandle_ = 0;
}

bool TForm::DialogKey(WORD key) {
  for (QWidget* w : findChildren<QWidget*>())
    if (auto* b = dynamic_cast<TButton*>(w); b && b->isVisible() && b->isEnabled() && (key == 0x0D ? b->Default() : b->Cancel())) {
      b->Click();
      return true;
    }
  return false;
}

// ---- window kind and placement ----

void TForm::ApplyFlags() {
  Qt::WindowFlags f = Qt::Window;
  switch (borderStyle_) {
    case bsNone: f |= Qt::FramelessWindowHint; break;
    case bsDialog:
      f = Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint;
      break;
    case bsSingle:
    case bsToolWindow:
      f |= Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
           Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint;
      break;
    default: break;
  }
  if (formStyle_ == fsStayOnTop) f |= Qt::WindowStaysOnTopHint;
  // Window managers keep a window above the one it is transient for, and Qt
  // writes WM_TRANSIENT_FOR only for dialog-like windows.
  if (over_ && (f & Qt::WindowType_Mask) == Qt::Window) f = (f & ~Qt::WindowType_Mask) | Qt::Dialog;
  if (f == windowFlags()) return;
  // New flags may make a new X window: set them before the first show.
  const bool shown = isVisible();
  setWindowFlags(f);
  if (shown) QWidget::show();
}

void TForm::SetBorderStyle(TFormBorderStyle s) {
  borderStyle_ = s;
  ApplyFlags();
}

void TForm::SetFormStyle(TFormStyle s) {
  formStyle_ = s;
  ApplyFlags();
}

void TForm::SetWindowState(TWindowState s) {
  windowState_ = s;
  ApplyPlacement();
}

void TForm::ApplyPlacement() {
  QScreen* screen = QGuiApplication::primaryScreen();
  const QRect whole = screen ? screen->geometry() : QRect(0, 0, Screen->Width, Screen->Height);
  // A borderless maximised form covers the screen: a full-screen window, so
  // that a window manager gives it the whole screen (panels included) and
  // its full-screen layer; sized to the screen too, for a bare server.
  const bool full = windowState_ == wsMaximized && !Framed();
  if (bool(windowState() & Qt::WindowFullScreen) != full) setWindowState(windowState() ^ Qt::WindowFullScreen);
  if (windowState_ == wsMaximized) {
    if (full) {
      move(whole.topLeft());
      Resized(whole.size());
    } else {
      setWindowState(Qt::WindowMaximized);
    }
    return;
  }
  if (windowState_ == wsMinimized) {
    setWindowState(Qt::WindowMinimized);
    return;
  }
  if (position_ == poScreenCenter || position_ == poDesktopCenter || position_ == poMainFormCenter ||
      position_ == poOwnerFormCenter)
    move(whole.x() + (whole.width() - GetWidth()) / 2, whole.y() + (whole.height() - GetHeight()) / 2);
}

int TForm::GetWidth() const {
  if (!Framed()) return width();
  return isVisible() ? frameGeometry().width() : width() + frameExtra_.width();
}

int TForm::GetHeight() const {
  if (!Framed()) return height();
  return isVisible() ? frameGeometry().height() : height() + frameExtra_.height();
}

void TForm::SetBounds(int left, int top, int w, int h) {
  const QSize extra = Framed() ? (isVisible() ? frameGeometry().size() - size() : frameExtra_) : QSize(0, 0);
  move(left, top);
  Resized(QSize(std::max(0, w - extra.width()), std::max(0, h - extra.height())));
}

void TForm::SetClientWidth(int v) { Resized(QSize(std::max(0, v), height())); }

void TForm::SetClientHeight(int v) { Resized(QSize(width(), std::max(0, v))); }

void TForm::Resized(QSize client) {
  if (client == size()) return;
  resize(client);
  surface_.Resize(size(), Pixel(GetColor()));
  if (!isVisible()) AlignControls();  // a shown form does it in its resize event
}

void TForm::SetText(const AnsiString& t) {
  TWinControl::SetText(t);
  win::SetOwnWindowText(this, t);
}

HWND TForm::GetHandle() const {
  const_cast<TForm*>(this)->winId();
  return windowHandle() ? HWND(windowHandle()->winId()) : 0;
}

void TForm::BringToFront() { raise(); }
void TForm::SendToBack() { lower(); }

void TForm::SetFocus() {
  activateWindow();
  raise();
}

TControl* TForm::GetActiveControl() const {
  // A control of the form's, never the form itself.
  for (QWidget* w = focusWidget(); w && w != this; w = w->parentWidget())
    if (auto* c = dynamic_cast<TControl*>(w)) return c;
  return nullptr;
}

void TForm::SetActiveControl(TControl* c) {
  if (auto* w = dynamic_cast<TWinControl*>(c)) w->SetFocus();
}

// ---- showing, hiding, closing ----

void TForm::SetVisible(bool v) {
  if (!v) {
    visible_ = false;
    QWidget::hide();
    return;
  }
  if (!created_ && !isVisible()) {
    // Made visible while being built: shown once its maker is done.
    visible_ = true;
    QCoreApplication::postEvent(this, new QEvent(kShowRequest));
    return;
  }
  Show();
}

TForm* TForm::OverOnShow() const {
  // The main form is the program's own window, over no other.
  if (this == Application->MainForm) return nullptr;
  TForm* over = nullptr;
  for (TForm* f : Screen->AllForms())
    if (f != this && f->isVisible() && !f->Leaving() && (!over || f->shownAt_ > over->shownAt_)) over = f;
  for (TForm* f = over; f; f = f->over_)
    if (f == this) return nullptr;
  return over;
}

void TForm::Show() {
  static unsigned shows = 0;
  created_ = true;
  visible_ = true;
  if (!isVisible()) {
    // A form comes up over the one the program showed last: the window
    // manager keeps it above that one (a full-screen board included) and
    // gives it the focus; the focus goes back when it hides.
    over_ = OverOnShow();
    shownAt_ = ++shows;
    ApplyFlags();
    winId();
    windowHandle()->setTransientParent(over_ ? over_->windowHandle() : nullptr);
    ApplyPlacement();
    QWidget::show();
    activateWindow();
  }
  raise();
}

void TForm::showEvent(QShowEvent* e) {
  AttachWindowProc();
  QWidget::showEvent(e);
  if (e->spontaneous()) return;
  visible_ = true;
  vcl::Fire(OnShow, static_cast<TObject*>(this));
  InvalidateRegion(rect());
}

void TForm::hideEvent(QHideEvent* e) {
  QWidget::hideEvent(e);
  if (e->spontaneous()) return;
  visible_ = false;
  vcl::Fire(OnHide, static_cast<TObject*>(this));
}

// The window manager's close request comes here; closing is the message
// map's, Qt only hides.
void TForm::closeEvent(QCloseEvent* e) {
  e->ignore();
  Deliver(WM_CLOSE, 0, 0);
}

bool TForm::CloseQuery() {
  bool canClose = true;
  if (!vcl::Fire(OnCloseQuery, static_cast<TObject*>(this), canClose)) return false;
  return canClose;
}

void TForm::Close() {
  if (closing_) return;
  if (modal_) {
    SetModalResult(mrCancel);
    return;
  }
  if (!CloseQuery()) return;
  TCloseAction action = caHide;
  closing_ = true;
  const bool ok = vcl::Fire(OnClose, static_cast<TObject*>(this), action);
  closing_ = false;
  if (!ok || action == caNone) return;
  if (this == Application->MainForm) {
    Hide();
    Application->Terminate();
    return;
  }
  if (action == caMinimize) {
    showMinimized();
    return;
  }
  Hide();
  if (action == caFree) deleteLater();
}

void TForm::SetModalResult(TModalResult r) {
  modalResult_ = r;
  if (modal_ && r != mrNone && modalLoop_) modalLoop_->quit();
}

TModalResult TForm::ShowModal() {
  if (modal_ || isVisible()) throw EInvalidOperation("Cannot make a visible window modal");
  QPointer<QWidget> wasActive(QApplication::activeWindow());
  std::vector<QPointer<TForm>> disabled;
  for (TForm* f : Screen->AllForms())
    if (f != this && f->isVisible() && f->isEnabled()) {
      f->setEnabled(false);
      disabled.push_back(f);
    }
  modal_ = true;
  modalResult_ = mrNone;
  QPointer<TForm> self(this);
  // Modal for the window manager too (_NET_WM_STATE_MODAL), which then keeps
  // it above and focused.
  setWindowModality(Qt::ApplicationModal);
  Show();
  QEventLoop loop;
  modalLoop_ = &loop;
  for (;;) {
    if (modalResult_ == mrNone && !Application->Terminated) loop.exec();
    if (!self) break;
    if (Application->Terminated) {
      modalResult_ = mrCancel;
      break;
    }
    if (modalResult_ == mrNone) continue;
    // The library's modal close: the close query and OnClose may keep it.
    bool canClose = CloseQuery();
    TCloseAction action = caHide;
    if (canClose && (!vcl::Fire(OnClose, static_cast<TObject*>(this), action) || action == caNone)) canClose = false;
    if (canClose) break;
    modalResult_ = mrNone;
  }
  for (auto& f : disabled)
    if (f) f->setEnabled(true);
  if (!self) return mrCancel;
  modalLoop_ = nullptr;
  modal_ = false;
  Hide();
  setWindowModality(Qt::NonModal);
  // The window that was active before takes the input again (hiding gives
  // it to the form this one came up over: win::Application).
  if (!over_ && wasActive && wasActive != this && wasActive->isVisible()) wasActive->activateWindow();
  return modalResult_;
}

// ---- painting ----

void TForm::InvalidateRegion(const QRegion& region) {
  const QRegion r = region & rect();
  if (r.isEmpty()) return;
  pending_ += r;
  if (!paintPosted_) {
    paintPosted_ = true;
    QCoreApplication::postEvent(this, new QEvent(kPaintRequest), Qt::LowEventPriority);
  }
}

void TForm::Invalidate() { InvalidateRegion(rect()); }

void TForm::Repaint() {
  pending_ += rect();
  RunPaint();
}

void TForm::FlushPaint() {
  if (!pending_.isEmpty()) RunPaint();
}

void TForm::RunPaint() {
  const QRegion r = pending_ & rect();
  pending_ = QRegion();
  if (r.isEmpty() || !isVisible()) return;
  surface_.BeginBatch();
  if (brush_->Style != bsClear) surface_.Fill(r, Pixel(brush_->Color));
  canvas_->SetClipRegion(&r);
  vcl::Fire(OnPaint, static_cast<TObject*>(this));
  canvas_->SetClipRegion(nullptr);
  const QRegion changed = surface_.EndBatch() + r;
  repaint(changed);
}

void TForm::customEvent(QEvent* e) {
  if (e->type() == kPaintRequest) {
    paintPosted_ = false;
    RunPaint();
  } else if (e->type() == kShowRequest) {
    if (visible_ && !isVisible()) Show();
  }
}

void TForm::paintEvent(QPaintEvent* e) {
  QPainter painter(this);
  surface_.PaintOn(painter, e->region());
}

void TForm::resizeEvent(QResizeEvent* e) {
  surface_.Resize(size(), Pixel(GetColor()));
  TWinControl::resizeEvent(e);
  if (isVisible() && Framed()) frameExtra_ = frameGeometry().size() - size();
  vcl::Fire(OnResize, static_cast<TObject*>(this));
  Invalidate();
}

void TForm::changeEvent(QEvent* e) {
  QWidget::changeEvent(e);
  if (e->type() == QEvent::ActivationChange)
    vcl::Fire(isActiveWindow() ? OnActivate : OnDeactivate, static_cast<TObject*>(this));
}

void TForm::ColorChanged() {
  brush_->Color = GetColor();
  canvas_->Brush->Color = GetColor();
  TWinControl::ColorChanged();
  Invalidate();
}

void TForm::FontChanged() {
  canvas_->Font->Assign(GetFont());
  TWinControl::FontChanged();
}
