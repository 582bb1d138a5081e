#include "platform/mfc/detail/window_widget.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QRubberBand>
#include <QScreen>
#include <QStyleHints>
#include <algorithm>

#include "platform/mfc/wnd.h"
#include "platform/win/capture.h"

namespace mfc::detail {
namespace {

const COLORREF kBackground = RGB(255, 255, 255);

// Events being handled by any window widget: a widget released meanwhile
// (and its parent with it) is deleted only once they have all ended.
int g_inEvents = 0;
struct InEvent {
  InEvent() { ++g_inEvents; }
  ~InEvent() { --g_inEvents; }
};

struct MouseKind {
  QEvent::Type type;
  Qt::MouseButton button;
  UINT client;
  UINT nonClient;
};
const MouseKind kMouseKinds[] = {
    {QEvent::MouseMove, Qt::NoButton, WM_MOUSEMOVE, WM_NCMOUSEMOVE},
    {QEvent::MouseButtonPress, Qt::LeftButton, WM_LBUTTONDOWN, WM_NCLBUTTONDOWN},
    {QEvent::MouseButtonRelease, Qt::LeftButton, WM_LBUTTONUP, WM_NCLBUTTONUP},
    // Qt gives the second press of a double click as this event alone.
    {QEvent::MouseButtonDblClick, Qt::LeftButton, WM_LBUTTONDBLCLK, WM_NCLBUTTONDBLCLK},
    {QEvent::MouseButtonPress, Qt::RightButton, WM_RBUTTONDOWN, WM_NCRBUTTONDOWN},
    {QEvent::MouseButtonRelease, Qt::RightButton, WM_RBUTTONUP, WM_NCRBUTTONUP},
    {QEvent::MouseButtonDblClick, Qt::RightButton, WM_RBUTTONDBLCLK, WM_NCRBUTTONDBLCLK},
    {QEvent::MouseButtonPress, Qt::MiddleButton, WM_MBUTTONDOWN, WM_NCMBUTTONDOWN},
    {QEvent::MouseButtonRelease, Qt::MiddleButton, WM_MBUTTONUP, WM_NCMBUTTONUP},
    {QEvent::MouseButtonDblClick, Qt::MiddleButton, WM_MBUTTONDOWN, WM_NCMBUTTONDOWN},
};

const MouseKind* KindOf(QEvent::Type type, Qt::MouseButton button) {
  for (const MouseKind& k : kMouseKinds)
    if (k.type == type && k.button == button) return &k;
  return nullptr;
}

struct KeyFlag {
  Qt::MouseButton button;
  Qt::KeyboardModifier modifier;
  WPARAM flag;
};
const KeyFlag kKeyFlags[] = {
    {Qt::LeftButton, Qt::NoModifier, MK_LBUTTON},    {Qt::RightButton, Qt::NoModifier, MK_RBUTTON},
    {Qt::MiddleButton, Qt::NoModifier, MK_MBUTTON},  {Qt::NoButton, Qt::ShiftModifier, MK_SHIFT},
    {Qt::NoButton, Qt::ControlModifier, MK_CONTROL},
};

WPARAM KeysOf(const QMouseEvent* e) {
  WPARAM keys = 0;
  for (const KeyFlag& k : kKeyFlags)
    if ((k.button != Qt::NoButton && (e->buttons() & k.button)) ||
        (k.modifier != Qt::NoModifier && (e->modifiers() & k.modifier)))
      keys |= k.flag;
  return keys;
}

LPARAM PointParam(QPoint p) { return MAKELPARAM(WORD(p.x()), WORD(p.y())); }

QPoint Clamped(QPoint p, const QRect& limits) {
  return QPoint(std::clamp(p.x(), limits.left(), limits.right()), std::clamp(p.y(), limits.top(), limits.bottom()));
}

}  // namespace

// ---- WindowSurface ----------------------------------------------------------

WindowSurface::WindowSurface(int width, int height) : gdi::Bitmap(width, height) {
  gdi::DC(this).FillRect(RECT{0, 0, width, height}, gdi::SolidBrush(kBackground));
}

void WindowSurface::ShowChanges(QWidget* widget) {
  widget_ = widget;
  std::weak_ptr<WindowSurface> self = shared_from_this();
  SetChangeHandler([self](const QRect& r) {
    if (auto s = self.lock()) s->Changed(r);
  });
}

void WindowSurface::SetChild(const Child& child) {
  std::lock_guard<std::mutex> lock(childMutex_);
  for (Child& c : children_)
    if (c.key == child.key) {
      c = child;
      return;
    }
  children_.push_back(child);
}

void WindowSurface::RemoveChild(const void* key) {
  std::lock_guard<std::mutex> lock(childMutex_);
  children_.erase(std::remove_if(children_.begin(), children_.end(), [key](const Child& c) { return c.key == key; }),
                  children_.end());
}

QImage WindowSurface::Read(const QRect& area) const {
  QImage image = gdi::Bitmap::Read(area);
  std::lock_guard<std::mutex> lock(childMutex_);
  for (const Child& c : children_) {  // later children lie on top
    std::shared_ptr<gdi::Surface> s = c.surface.lock();
    if (!c.visible || !s) continue;
    const QRect part = QRect(c.position, s->Size()) & area;
    if (part.isEmpty()) continue;
    QRegion clip(part.translated(-area.topLeft()));
    if (c.shape) clip &= c.shape->translated(c.position - area.topLeft());
    QPainter painter(&image);
    painter.setClipRegion(clip);
    painter.drawImage(part.topLeft() - area.topLeft(), s->Read(part.translated(-c.position)));
  }
  return image;
}

void WindowSurface::Changed(const QRect& r) {
  {
    std::lock_guard<std::mutex> lock(pendingMutex_);
    pending_ |= r;
    if (posted_) return;
    posted_ = true;
  }
  QCoreApplication* app = QCoreApplication::instance();
  if (!app) return;
  std::weak_ptr<WindowSurface> self = shared_from_this();
  QMetaObject::invokeMethod(
      app,
      [self] {
        auto s = self.lock();
        if (!s) return;
        QRect area;
        {
          std::lock_guard<std::mutex> lock(s->pendingMutex_);
          area = std::exchange(s->pending_, QRect());
          s->posted_ = false;
        }
        if (s->widget_) s->widget_->update(area);
      },
      Qt::QueuedConnection);
}

// ---- WindowWidget -----------------------------------------------------------

WindowWidget::WindowWidget(QWidget* parent, std::shared_ptr<WindowSurface> surface,
                           std::shared_ptr<WindowSurface> parentSurface, CWnd* owner)
    : QWidget(parent), surface_(std::move(surface)), parentSurface_(std::move(parentSurface)), owner_(owner) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setAttribute(Qt::WA_NoSystemBackground);
  setMouseTracking(true);
}

WindowWidget::~WindowWidget() {
  delete band_;
  if (parentSurface_) parentSurface_->RemoveChild(this);
}

void WindowWidget::SetShape(const std::optional<QRegion>& shape) {
  shape_ = shape;
  if (!shape)
    clearMask();
  else if (shape->isEmpty())
    setMask(QRegion(-1, -1, 1, 1));  // Qt takes an empty mask for none
  else
    setMask(*shape);
  Tell(isVisible());
}

bool WindowWidget::InShape(QPoint local) const {
  return rect().contains(local) && (!shape_ || shape_->contains(local));
}

void WindowWidget::Release() {
  owner_ = nullptr;
  moving_ = false;
  delete band_;
  if (g_inEvents > 0) {
    hide();
    deleteLater();
  } else {
    delete this;
  }
}

void WindowWidget::paintEvent(QPaintEvent* e) {
  QPainter painter(this);
  const QImage image = surface_->Image();
  painter.drawImage(e->rect(), image, e->rect());
}

void WindowWidget::resizeEvent(QResizeEvent*) {
  surface_->SetSize(width(), height(), kBackground);
  Tell(isVisible());
}

void WindowWidget::moveEvent(QMoveEvent*) { Tell(isVisible()); }
void WindowWidget::showEvent(QShowEvent*) { Tell(true); }
void WindowWidget::hideEvent(QHideEvent*) { Tell(false); }

void WindowWidget::Tell(bool visible) {
  if (parentSurface_) parentSurface_->SetChild({this, surface_, pos(), visible, shape_});
}

QEvent::Type WindowWidget::TypeOf(const QMouseEvent* e) {
  // Qt takes a press anywhere in the program as the first click of a double
  // click; on Windows both clicks are on the same window.
  QEvent::Type type = e->type();
  if (type == QEvent::MouseButtonDblClick &&
      (lastPress_ != e->button() ||
       e->timestamp() - lastPressTime_ > ulong(QGuiApplication::styleHints()->mouseDoubleClickInterval())))
    type = QEvent::MouseButtonPress;
  if (type == QEvent::MouseButtonPress) {
    lastPress_ = e->button();
    lastPressTime_ = e->timestamp();
  } else if (type == QEvent::MouseButtonDblClick) {
    lastPress_ = Qt::NoButton;
  }
  return type;
}

void WindowWidget::Mouse(QMouseEvent* e) {
  e->accept();
  InEvent guard;
  const QEvent::Type type = TypeOf(e);
  if (moving_) {
    TrackMove(e);
    return;
  }
  CWnd* w = owner_;
  const MouseKind* kind = KindOf(type, e->button());
  if (!w || !kind) return;
  const QPoint local = e->position().toPoint(), global = e->globalPosition().toPoint();
  MSG msg{w->m_hWnd, kind->client, KeysOf(e), PointParam(local), DWORD(e->timestamp()), {global.x(), global.y()}};
  if (GetCapture() != w->m_hWnd) {
    // Qt goes on giving a pressed window the pointer's events; without the
    // capture they belong to whatever lies under the pointer.
    if (!InShape(local)) return;
    const LRESULT hit = w->SendMessage(WM_NCHITTEST, 0, PointParam(global));
    if (!owner_ || hit < HTCLIENT) return;  // HTNOWHERE, HTTRANSPARENT, HTERROR
    if (hit != HTCLIENT) {
      msg.message = kind->nonClient;
      msg.wParam = WPARAM(hit);
      msg.lParam = PointParam(global);
    }
  }
  for (CWnd* p = w; p && owner_; p = p->GetParent())
    if (p->PreTranslateMessage(&msg)) return;
  if (owner_) w->SendMessage(msg.message, msg.wParam, msg.lParam);
}

bool WindowWidget::BeginMove(POINT at) {
  CWnd* w = owner_;
  if (!w || moving_ || !(QGuiApplication::mouseButtons() & Qt::LeftButton)) return false;
  RECT r;
  w->GetWindowRect(&r);
  moveFrom_ = QPoint(at.x, at.y);
  moveStart_ = QRect(r.left, r.top, r.right - r.left, r.bottom - r.top);
  if (CWnd* parent = w->GetParent()) {
    RECT c;
    parent->GetClientRect(&c);
    parent->ClientToScreen(&c);
    moveLimits_ = QRect(c.left, c.top, c.right - c.left, c.bottom - c.top);
  } else {
    moveLimits_ = screen() ? screen()->geometry() : QRect(moveFrom_, QSize(1, 1));
  }
  band_ = new QRubberBand(QRubberBand::Rectangle);
  band_->setAttribute(Qt::WA_TransparentForMouseEvents);
  band_->setGeometry(moveStart_);
  band_->show();
  moving_ = true;
  return true;
}

void WindowWidget::TrackMove(QMouseEvent* e) {
  const QPoint delta = Clamped(e->globalPosition().toPoint(), moveLimits_) - moveFrom_;
  if (e->type() == QEvent::MouseMove && band_) band_->move(moveStart_.topLeft() + delta);
  if (e->type() == QEvent::MouseButtonRelease && e->button() == Qt::LeftButton) EndMove(delta);
}

void WindowWidget::EndMove(QPoint delta) {
  moving_ = false;
  delete band_;
  CWnd* w = owner_;
  if (!w || delta.isNull()) return;
  POINT to{moveStart_.left() + delta.x(), moveStart_.top() + delta.y()};
  if (CWnd* parent = w->GetParent()) parent->ScreenToClient(&to);
  w->MoveWindow(to.x, to.y, moveStart_.width(), moveStart_.height(), TRUE);
}

}  // namespace mfc::detail
