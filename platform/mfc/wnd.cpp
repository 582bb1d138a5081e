#include "platform/mfc/wnd.h"

#include <QApplication>
#include <QPaintEvent>
#include <QPainter>
#include <QPointer>
#include <QThread>
#include <QWidget>
#include <QWindow>
#include <algorithm>

#include "platform/text/gbk.h"
#include "platform/win/messages.h"

namespace {

const COLORREF kBackground = RGB(255, 255, 255);

bool OnGuiThread() {
  QCoreApplication* app = QCoreApplication::instance();
  return app && QThread::currentThread() == app->thread();
}

// A window's pixels. Changes are shown by repainting the widget on the GUI
// thread (one queued repaint gathers the changes made before it runs);
// reads see the visible child windows over the window's own pixels.
class WindowSurface : public gdi::Bitmap, public std::enable_shared_from_this<WindowSurface> {
 public:
  WindowSurface(int width, int height) : gdi::Bitmap(width, height) {
    gdi::DC(this).FillRect(RECT{0, 0, width, height}, gdi::SolidBrush(kBackground));
  }

  void ShowChanges(QWidget* widget) {
    widget_ = widget;
    std::weak_ptr<WindowSurface> self = shared_from_this();
    SetChangeHandler([self](const QRect& r) {
      if (auto s = self.lock()) s->Changed(r);
    });
  }
  void StopShowing() { widget_ = nullptr; }

  struct Child {
    const void* key;
    std::weak_ptr<gdi::Surface> surface;
    QPoint position;
    bool visible;
  };
  void SetChild(const Child& child) {
    std::lock_guard<std::mutex> lock(childMutex_);
    for (Child& c : children_)
      if (c.key == child.key) {
        c = child;
        return;
      }
    children_.push_back(child);
  }
  void RemoveChild(const void* key) {
    std::lock_guard<std::mutex> lock(childMutex_);
    children_.erase(std::remove_if(children_.begin(), children_.end(), [key](const Child& c) { return c.key == key; }),
                    children_.end());
  }

  QImage Read(const QRect& area) const override {
    QImage image = gdi::Bitmap::Read(area);
    std::lock_guard<std::mutex> lock(childMutex_);
    for (const Child& c : children_) {  // later children lie on top
      std::shared_ptr<gdi::Surface> s = c.surface.lock();
      if (!c.visible || !s) continue;
      const QRect part = QRect(c.position, s->Size()) & area;
      if (part.isEmpty()) continue;
      QPainter painter(&image);
      painter.drawImage(part.topLeft() - area.topLeft(), s->Read(part.translated(-c.position)));
    }
    return image;
  }

 private:
  void Changed(const QRect& r) {
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

  QPointer<QWidget> widget_;  // GUI thread only
  std::mutex pendingMutex_;
  QRect pending_;
  bool posted_ = false;
  mutable std::mutex childMutex_;
  std::vector<Child> children_;
};

// The Qt widget of a CWnd: paints the surface, keeps it the widget's size
// and tells the parent's surface where it is.
class SurfaceWidget : public QWidget {
 public:
  SurfaceWidget(QWidget* parent, std::shared_ptr<WindowSurface> surface, std::shared_ptr<WindowSurface> parentSurface)
      : QWidget(parent), surface_(std::move(surface)), parentSurface_(std::move(parentSurface)) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
  }
  ~SurfaceWidget() override {
    if (parentSurface_) parentSurface_->RemoveChild(this);
  }

 protected:
  void paintEvent(QPaintEvent* e) override {
    QPainter painter(this);
    const QImage image = surface_->Image();
    painter.drawImage(e->rect(), image, e->rect());
  }
  void resizeEvent(QResizeEvent*) override {
    surface_->SetSize(width(), height(), kBackground);
    Tell(isVisible());
  }
  void moveEvent(QMoveEvent*) override { Tell(isVisible()); }
  void showEvent(QShowEvent*) override { Tell(true); }
  void hideEvent(QHideEvent*) override { Tell(false); }

 private:
  void Tell(bool visible) {
    if (parentSurface_) parentSurface_->SetChild({this, surface_, pos(), visible});
  }
  std::shared_ptr<WindowSurface> surface_;
  std::shared_ptr<WindowSurface> parentSurface_;
};

}  // namespace

struct CWnd::Native {
  QPointer<SurfaceWidget> widget;
  std::shared_ptr<WindowSurface> surface;
};

CWnd::CWnd() = default;

CWnd::~CWnd() { DestroyWindow(); }

std::shared_ptr<gdi::Surface> CWnd::SurfaceOf() const {
  std::lock_guard<std::mutex> lock(m_surfaceMutex);
  return m_pSurface;
}

BOOL CWnd::Create(LPCTSTR, LPCTSTR windowName, DWORD style, const RECT& rect, CWnd* parent, UINT id) {
  if (m_hWnd || !OnGuiThread() || !qobject_cast<QApplication*>(QCoreApplication::instance())) return FALSE;
  const bool child = (style & WS_CHILD) != 0;
  if (child && (!parent || !parent->m_pNative || !parent->m_pNative->widget)) return FALSE;
  const int width = std::max<int>(rect.right - rect.left, 1), height = std::max<int>(rect.bottom - rect.top, 1);
  auto surface = std::make_shared<WindowSurface>(width, height);
  if (surface->IsEmpty()) return FALSE;

  auto native = std::make_unique<Native>();
  native->surface = surface;
  std::shared_ptr<WindowSurface> parentSurface = child ? parent->m_pNative->surface : nullptr;
  SurfaceWidget* widget = new SurfaceWidget(child ? parent->m_pNative->widget.data() : nullptr, surface, parentSurface);
  native->widget = widget;
  if (!child) {
    if (style & WS_POPUP) widget->setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    widget->setWindowTitle(gbk::ToQString(windowName ? windowName : ""));
  }
  widget->setAttribute(Qt::WA_NativeWindow);
  widget->setGeometry(rect.left, rect.top, width, height);
  widget->winId();
  QWindow* window = widget->windowHandle();
  if (!window || !window->winId()) {
    delete widget;
    return FALSE;
  }
  surface->ShowChanges(widget);

  m_hWnd = HWND(window->winId());
  m_nID = id;
  m_pNative = std::move(native);
  {
    std::lock_guard<std::mutex> lock(m_surfaceMutex);
    m_pSurface = surface;
  }
  RegisterWindowProc(m_hWnd, [this](UINT msg, WPARAM w, LPARAM l) { return WindowProc(msg, w, l); });
  if (child) {
    m_pParent = parent;
    parent->m_children.push_back(this);
  }
  if (style & WS_VISIBLE) widget->show();
  return TRUE;
}

BOOL CWnd::DestroyWindow() {
  if (!m_hWnd || !OnGuiThread()) return FALSE;
  for (CWnd* c : std::vector<CWnd*>(m_children)) c->DestroyWindow();
  UnregisterWindowProc(m_hWnd);
  if (m_pParent) {
    auto& siblings = m_pParent->m_children;
    siblings.erase(std::remove(siblings.begin(), siblings.end(), this), siblings.end());
    m_pParent = nullptr;
  }
  {
    std::lock_guard<std::mutex> lock(m_surfaceMutex);
    m_pSurface.reset();  // DCs still out keep it alive
  }
  m_pNative->surface->StopShowing();
  delete m_pNative->widget.data();
  m_pNative.reset();
  m_hWnd = 0;
  return TRUE;
}

BOOL CWnd::ShowWindow(int cmd) {
  if (!m_pNative || !m_pNative->widget || !OnGuiThread()) return FALSE;
  const BOOL was = m_pNative->widget->isVisible();
  m_pNative->widget->setVisible(cmd != SW_HIDE);
  return was;
}

BOOL CWnd::IsWindowVisible() const {
  return m_pNative && m_pNative->widget && OnGuiThread() && m_pNative->widget->isVisible();
}

void CWnd::GetClientRect(LPRECT rect) const {
  if (!rect) return;
  std::shared_ptr<gdi::Surface> s = SurfaceOf();
  const QSize size = s ? s->Size() : QSize(0, 0);
  *rect = RECT{0, 0, size.width(), size.height()};
}

CDC* CWnd::GetDC() {
  std::shared_ptr<gdi::Surface> s = SurfaceOf();
  if (!s) return nullptr;
  CDC* dc = new (std::nothrow) CDC;
  if (dc && !dc->CreateSurfaceDC(std::move(s))) {
    delete dc;
    dc = nullptr;
  }
  return dc;
}

int CWnd::ReleaseDC(CDC* dc) {
  if (!dc) return 0;
  delete dc;
  return 1;
}

void CWnd::InvalidateRect(LPCRECT rect, BOOL erase) {
  std::shared_ptr<gdi::Surface> s = SurfaceOf();
  if (!s) return;
  if (erase) {
    const QSize size = s->Size();
    gdi::DC dc(s.get());
    dc.FillRect(rect ? *rect : RECT{0, 0, size.width(), size.height()}, gdi::SolidBrush(kBackground));
  }
  ::PostMessage(m_hWnd, WM_PAINT, 0, 0);
}

BOOL CWnd::PostMessage(UINT msg, WPARAM wParam, LPARAM lParam) { return ::PostMessage(m_hWnd, msg, wParam, lParam); }

LRESULT CWnd::SendMessage(UINT msg, WPARAM wParam, LPARAM lParam) { return ::SendMessage(m_hWnd, msg, wParam, lParam); }

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) { return DefWindowProc(message, wParam, lParam); }

LRESULT CWnd::DefWindowProc(UINT message, WPARAM, LPARAM) {
  if (message == WM_CLOSE) DestroyWindow();
  return 0;
}
