#include <QApplication>
#include <QCursor>
#include <QToolTip>
#include <cstdlib>

#include "platform/fs/rewrite.h"
#include "platform/gdi/colour.h"
#include "platform/vcl/events.h"
#include "platform/vcl/forms.h"
#include "platform/win/cursor.h"
#include "platform/win/msgbox.h"
#include "platform/win/screen.h"

TApplication* Application = new TApplication;
TScreen* Screen = new TScreen;

namespace vcl {
void ShowExceptionMessage(const AnsiString& message) { Application->ShowException(message); }
}  // namespace vcl

namespace {

// The form a message box belongs to: the active one, else the main form,
// when it can take input.
HWND BoxOwner() {
  TForm* f = Screen->ActiveForm;
  if (!f || !f->isEnabled()) f = Application->MainForm;
  return f && f->isVisible() && f->isEnabled() ? f->Handle() : 0;
}

struct StockCursor {
  TCursor cursor;
  Qt::CursorShape shape;
};
const StockCursor kStockCursors[] = {
    {crDefault, Qt::ArrowCursor},     {crNone, Qt::BlankCursor},        {crArrow, Qt::ArrowCursor},
    {crCross, Qt::CrossCursor},       {crIBeam, Qt::IBeamCursor},       {crSizeNESW, Qt::SizeBDiagCursor},
    {crSizeNS, Qt::SizeVerCursor},    {crSizeNWSE, Qt::SizeFDiagCursor}, {crSizeWE, Qt::SizeHorCursor},
    {crUpArrow, Qt::UpArrowCursor},   {crHourGlass, Qt::WaitCursor},    {crDrag, Qt::DragCopyCursor},
    {crNoDrop, Qt::ForbiddenCursor},  {crHSplit, Qt::SplitHCursor},     {crVSplit, Qt::SplitVCursor},
    {crMultiDrag, Qt::DragCopyCursor}, {crSQLWait, Qt::WaitCursor},     {crNo, Qt::ForbiddenCursor},
    {crAppStart, Qt::BusyCursor},     {crHelp, Qt::WhatsThisCursor},    {crHandPoint, Qt::PointingHandCursor},
    {crSizeAll, Qt::SizeAllCursor},
};

}  // namespace

// ---- TApplication ----

TApplication::TApplication() : TComponent(nullptr) {}

// The forms go first, while Qt still runs: a web view's engine has to shut
// down before Qt's application does, or its threads outlive the libraries.
TApplication::~TApplication() {
  while (GetComponentCount() > 0) delete GetComponent(GetComponentCount() - 1);
}

void TApplication::Initialize() {
  // Form coordinates are screen pixels (a page bitmap is the screen's
  // size), so Qt must not scale windows on a high-density screen.
  if (!QCoreApplication::instance() && !getenv("QT_ENABLE_HIGHDPI_SCALING"))
    setenv("QT_ENABLE_HIGHDPI_SCALING", "0", 1);
  // A panel's native window must not make its sibling buttons windows too.
  QCoreApplication::setAttribute(Qt::AA_DontCreateNativeWidgetSiblings);
  win_.Initialize();
  // A file a crash left half overwritten in place is made whole before any
  // form reads it.
  rewrite::FinishInterruptedRewrites();
}

void TApplication::FormCreated(TForm* form) {
  if (!mainForm_) mainForm_ = form;
  form->DoCreate();
}

void TApplication::Run() {
  if (win_.Terminated()) return;
  if (mainForm_ && showMainForm_) mainForm_->Show();
  win_.Run();
}

void TApplication::Terminate() {
  win_.Terminate();
  for (TForm* f : Screen->AllForms())
    if (f->modalLoop_) f->modalLoop_->quit();
}

bool TApplication::GetTerminated() const { return win_.Terminated(); }

void TApplication::ProcessMessages() { QCoreApplication::processEvents(QEventLoop::AllEvents); }

int TApplication::MessageBox(const AnsiString& text, const AnsiString& caption, int flags) {
  return ::MessageBox(BoxOwner(), text.c_str(), caption.c_str(), UINT(flags));
}

void TApplication::ShowException(const AnsiString& message) {
  ::MessageBox(BoxOwner(), message.c_str(), GetTitle().c_str(), MB_OK | MB_ICONERROR);
}

AnsiString TApplication::GetTitle() const { return win_.Title(); }
void TApplication::SetTitle(const AnsiString& t) { win_.SetTitle(t); }
HWND TApplication::GetHandle() const { return win_.Handle(); }

void TApplication::SetHintColor(TColor c) {
  hintColour_ = c;
  if (!qobject_cast<QApplication*>(QCoreApplication::instance())) return;
  QPalette p = QToolTip::palette();
  p.setColor(QPalette::ToolTipBase, gdi::ToQColor(ColorToRGB(c)));
  QToolTip::setPalette(p);
}

// ---- TScreen ----

TScreen::TScreen() : TComponent(nullptr) {}

int TScreen::GetWidth() const { return win::ScreenWidth(); }
int TScreen::GetHeight() const { return win::ScreenHeight(); }

void TScreen::SetCursor(TCursor c) {
  if (!qobject_cast<QApplication*>(QCoreApplication::instance())) return;
  cursor_ = c;
  if (c == crDefault) {
    while (QApplication::overrideCursor()) QApplication::restoreOverrideCursor();
  } else if (QApplication::overrideCursor()) {
    QApplication::changeOverrideCursor(QtCursor(c));
  } else {
    QApplication::setOverrideCursor(QtCursor(c));
  }
}

TForm* TScreen::Forms(int i) const {
  if (i < 0 || i >= int(forms_.size())) throw EListError::IndexOutOfBounds(i);
  return forms_[size_t(i)];
}

TForm* TScreen::GetActiveForm() const {
  if (!qobject_cast<QApplication*>(QCoreApplication::instance())) return nullptr;
  return dynamic_cast<TForm*>(QApplication::activeWindow());
}

void TScreen::AddForm(TForm* f) { forms_.push_back(f); }

void TScreen::RemoveForm(TForm* f) { forms_.erase(std::remove(forms_.begin(), forms_.end(), f), forms_.end()); }

QCursor TScreen::QtCursor(TCursor c) const {
  if (c > 0) {
    for (const auto& [n, h] : slots_)
      if (n == c) return win::CursorOf(h);
    return QCursor(Qt::ArrowCursor);
  }
  for (const StockCursor& s : kStockCursors)
    if (s.cursor == c) return QCursor(s.shape);
  return QCursor(Qt::ArrowCursor);
}

void TScreen::SetSlot(int n, HCURSOR c) {
  auto it = std::find_if(slots_.begin(), slots_.end(), [n](const auto& s) { return s.first == n; });
  if (it != slots_.end()) {
    if (it->second == c) return;
    DestroyCursor(it->second);
    if (c)
      it->second = c;
    else
      slots_.erase(it);
  } else if (c) {
    slots_.emplace_back(n, c);
  }
  if (!qobject_cast<QApplication*>(QCoreApplication::instance())) return;
  for (QWidget* w : QApplication::allWidgets())
    if (auto* control = dynamic_cast<TControl*>(w); control && control->GetCursor() == n) control->ApplyCursor();
}

TScreen::CursorSlot& TScreen::CursorSlot::operator=(HCURSOR c) {
  if (n_ > 0) s_->SetSlot(n_, c);
  return *this;
}

TScreen::CursorSlot::operator HCURSOR() const {
  for (const auto& [n, h] : s_->slots_)
    if (n == n_) return h;
  return nullptr;
}
