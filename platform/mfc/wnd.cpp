// CWnd: creation, geometry, shape, capture, focus and painting requests.
// The message map and the default handling are in wnd_messages.cpp.
#include "platform/mfc/wnd.h"

#include <QApplication>
#include <QPointer>
#include <QThread>
#include <QWidget>
#include <QWindow>
#include <algorithm>
#include <unordered_map>

#include "platform/mfc/detail/window_widget.h"
#include "platform/text/gbk.h"
#include "platform/win/capture.h"
#include "platform/win/messages.h"

using mfc::detail::WindowSurface;
using mfc::detail::WindowWidget;

namespace {

bool OnGuiThread() {
  QCoreApplication* app = QCoreApplication::instance();
  return app && QThread::currentThread() == app->thread();
}

// The windows this library made, by handle (looked up from any thread).
std::mutex g_windowsMutex;
std::unordered_map<HWND, CWnd*> g_windows;

// The class library's focus window (GUI thread).
HWND g_focus = 0;

}  // namespace

CWnd::CWnd() = default;

CWnd::~CWnd() { DestroyWindow(); }

CWnd* CWnd::FromHandle(HWND h) {
  std::lock_guard<std::mutex> lock(g_windowsMutex);
  auto it = g_windows.find(h);
  return it == g_windows.end() ? nullptr : it->second;
}

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
  WindowWidget* widget =
      new WindowWidget(child ? parent->m_pNative->widget.data() : nullptr, surface, parentSurface, this);
  native->widget = widget;
  m_strText = windowName ? windowName : "";
  if (!child) {
    if (style & WS_POPUP) widget->setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    widget->setWindowTitle(gbk::ToQString(m_strText));
  }
  widget->setAttribute(Qt::WA_NativeWindow);
  widget->setGeometry(rect.left, rect.top, width, height);
  widget->winId();
  QWindow* window = widget->windowHandle();
  if (!window || !window->winId()) {
    widget->Release();
    return FALSE;
  }
  surface->ShowChanges(widget);

  m_hWnd = HWND(window->winId());
  m_nID = id;
  m_dwStyle = style & ~(WS_VISIBLE | WS_DISABLED);
  m_pNative = std::move(native);
  {
    std::lock_guard<std::mutex> lock(m_surfaceMutex);
    m_pSurface = surface;
  }
  {
    std::lock_guard<std::mutex> lock(g_windowsMutex);
    g_windows[m_hWnd] = this;
  }
  RegisterWindowProc(m_hWnd, [this](UINT msg, WPARAM w, LPARAM l) { return Dispatch(msg, w, l); });
  if (child) {
    m_pParent = parent;
    parent->m_children.push_back(this);
  }

  PreSubclassWindow();
  CREATESTRUCT cs{nullptr,       nullptr,        nullptr,         child ? parent->m_hWnd : 0, height,  width,
                  int(rect.top), int(rect.left), LONG(m_dwStyle), m_strText.c_str(),          nullptr, 0};
  if (SendMessage(WM_CREATE, 0, LPARAM(&cs)) == -1) {
    DestroyWindow();
    return FALSE;
  }
  if (style & WS_DISABLED) EnableWindow(FALSE);
  if (style & WS_VISIBLE) ShowWindow(SW_SHOW);
  return TRUE;
}

BOOL CWnd::DestroyWindow() {
  if (!m_hWnd || !OnGuiThread()) return FALSE;
  for (CWnd* c : std::vector<CWnd*>(m_children)) c->DestroyWindow();
  if (::GetCapture() == m_hWnd) ::ReleaseCapture();
  if (g_focus == m_hWnd) g_focus = 0;
  UnregisterWindowProc(m_hWnd);
  {
    std::lock_guard<std::mutex> lock(g_windowsMutex);
    g_windows.erase(m_hWnd);
  }
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
  if (m_pNative->widget) m_pNative->widget->Release();
  m_pNative.reset();
  ::DeleteObject(m_hWndRgn);
  m_hWndRgn = nullptr;
  m_hWnd = 0;
  return TRUE;
}

BOOL CWnd::ShowWindow(int cmd) {
  if (!m_pNative || !m_pNative->widget || !OnGuiThread()) return FALSE;
  const BOOL was = m_pNative->widget->isVisible();
  m_pNative->widget->setVisible(cmd != SW_HIDE);
  m_dwStyle = cmd != SW_HIDE ? (m_dwStyle | WS_VISIBLE) : (m_dwStyle & ~WS_VISIBLE);
  if (cmd != SW_HIDE && !was) InvalidateRect(nullptr, TRUE);
  return was;
}

BOOL CWnd::IsWindowVisible() const {
  return m_pNative && m_pNative->widget && OnGuiThread() && m_pNative->widget->isVisible();
}

BOOL CWnd::EnableWindow(BOOL enable) {
  if (!m_pNative || !m_pNative->widget || !OnGuiThread()) return FALSE;
  const BOOL wasDisabled = (m_dwStyle & WS_DISABLED) != 0;
  if (wasDisabled == !enable) return wasDisabled;
  m_dwStyle = enable ? (m_dwStyle & ~WS_DISABLED) : (m_dwStyle | WS_DISABLED);
  m_pNative->widget->setEnabled(enable != FALSE);
  SendMessage(WM_ENABLE, enable != FALSE, 0);
  return wasDisabled;
}

BOOL CWnd::IsWindowEnabled() const { return m_hWnd && !(m_dwStyle & WS_DISABLED); }

BOOL CWnd::ModifyStyle(DWORD remove, DWORD add, UINT) {
  if (!m_hWnd) return FALSE;
  m_dwStyle = (m_dwStyle & ~remove) | add;
  return TRUE;
}

void CWnd::SetWindowText(LPCTSTR text) {
  m_strText = text ? text : "";
  if (m_pNative && m_pNative->widget && m_pNative->widget->isWindow())
    m_pNative->widget->setWindowTitle(gbk::ToQString(m_strText));
}

void CWnd::GetWindowText(CString& text) const { text = m_strText.c_str(); }

// ---- geometry ---------------------------------------------------------------

void CWnd::GetClientRect(LPRECT rect) const {
  if (!rect) return;
  std::shared_ptr<gdi::Surface> s = SurfaceOf();
  const QSize size = s ? s->Size() : QSize(0, 0);
  *rect = RECT{0, 0, size.width(), size.height()};
}

void CWnd::GetWindowRect(LPRECT rect) const {
  if (!rect) return;
  *rect = RECT{0, 0, 0, 0};
  if (!m_pNative || !m_pNative->widget || !OnGuiThread()) return;
  const QWidget* w = m_pNative->widget;
  const QPoint at = w->mapToGlobal(QPoint(0, 0));
  *rect = RECT{at.x(), at.y(), at.x() + w->width(), at.y() + w->height()};
}

void CWnd::MoveWindow(int x, int y, int width, int height, BOOL repaint) {
  if (!m_pNative || !m_pNative->widget || !OnGuiThread()) return;
  WindowWidget* w = m_pNative->widget;
  width = std::max(width, 1);
  height = std::max(height, 1);
  const bool moved = w->pos() != QPoint(x, y);
  w->setGeometry(x, y, width, height);
  m_pNative->surface->SetSize(width, height, RGB(255, 255, 255));  // at once, also while hidden
  if (moved) SendMessage(WM_MOVE, 0, MAKELPARAM(WORD(x), WORD(y)));
  if (repaint && m_hWnd) InvalidateRect(nullptr, TRUE);
}

void CWnd::MoveWindow(LPCRECT rect, BOOL repaint) {
  if (rect) MoveWindow(rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top, repaint);
}

void CWnd::ClientToScreen(LPPOINT point) const {
  if (!point || !m_pNative || !m_pNative->widget || !OnGuiThread()) return;
  const QPoint p = m_pNative->widget->mapToGlobal(QPoint(point->x, point->y));
  *point = POINT{p.x(), p.y()};
}

void CWnd::ClientToScreen(LPRECT rect) const {
  if (!rect) return;
  ClientToScreen(reinterpret_cast<LPPOINT>(&rect->left));
  ClientToScreen(reinterpret_cast<LPPOINT>(&rect->right));
}

void CWnd::ScreenToClient(LPPOINT point) const {
  if (!point || !m_pNative || !m_pNative->widget || !OnGuiThread()) return;
  const QPoint p = m_pNative->widget->mapFromGlobal(QPoint(point->x, point->y));
  *point = POINT{p.x(), p.y()};
}

void CWnd::ScreenToClient(LPRECT rect) const {
  if (!rect) return;
  ScreenToClient(reinterpret_cast<LPPOINT>(&rect->left));
  ScreenToClient(reinterpret_cast<LPPOINT>(&rect->right));
}

// ---- shape ------------------------------------------------------------------

int CWnd::SetWindowRgn(HRGN region, BOOL redraw) {
  if (!m_pNative || !m_pNative->widget || !OnGuiThread()) return 0;
  if (region != m_hWndRgn) ::DeleteObject(std::exchange(m_hWndRgn, region));
  m_pNative->widget->SetShape(region ? std::optional<QRegion>(region->region.Pixels()) : std::nullopt);
  if (redraw) InvalidateRect(nullptr, TRUE);
  return 1;
}

int CWnd::GetWindowRgn(HRGN region) const {
  if (!m_hWndRgn || !region) return ERROR;
  return ::CombineRgn(region, m_hWndRgn, nullptr, RGN_COPY);
}

// ---- capture and focus ------------------------------------------------------

CWnd* CWnd::SetCapture() { return FromHandle(::SetCapture(m_hWnd)); }

CWnd* CWnd::GetCapture() { return FromHandle(::GetCapture()); }

CWnd* CWnd::SetFocus() {
  if (!m_hWnd || !OnGuiThread()) return nullptr;
  CWnd* old = GetFocus();
  if (old != this) {
    g_focus = m_hWnd;
    if (old) old->SendMessage(WM_KILLFOCUS, WPARAM(m_hWnd), 0);
    SendMessage(WM_SETFOCUS, WPARAM(old ? old->m_hWnd : 0), 0);
  }
  return old;
}

CWnd* CWnd::GetFocus() { return OnGuiThread() ? FromHandle(g_focus) : nullptr; }

// ---- drawing and painting ---------------------------------------------------

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
  RECT client;
  GetClientRect(&client);
  RECT area = client;
  if (rect)
    area = RECT{std::max(rect->left, client.left), std::max(rect->top, client.top), std::min(rect->right, client.right),
                std::min(rect->bottom, client.bottom)};
  if (area.right <= area.left || area.bottom <= area.top) return;
  bool post = false;
  {
    std::lock_guard<std::mutex> lock(m_paintMutex);
    if (m_bDirty)
      area = RECT{std::min(area.left, m_rcDirty.left), std::min(area.top, m_rcDirty.top),
                  std::max(area.right, m_rcDirty.right), std::max(area.bottom, m_rcDirty.bottom)};
    m_rcDirty = area;
    m_bDirty = true;
    ++m_nInvalidations;
    m_bErase = m_bErase || erase;
    post = !std::exchange(m_bPaintPosted, true);
  }
  if (post && !::PostMessage(m_hWnd, WM_PAINT, 0, 0)) {
    std::lock_guard<std::mutex> lock(m_paintMutex);
    m_bPaintPosted = false;
  }
}

void CWnd::UpdateWindow() {
  if (!m_hWnd || !OnGuiThread()) return;
  bool dirty;
  {
    std::lock_guard<std::mutex> lock(m_paintMutex);
    dirty = m_bDirty;
  }
  if (dirty) SendMessage(WM_PAINT);
}

CDC* CWnd::BeginPaint(PAINTSTRUCT* paint) {
  if (!paint) return nullptr;
  RECT area;
  bool erase;
  {
    std::lock_guard<std::mutex> lock(m_paintMutex);
    area = m_bDirty ? m_rcDirty : RECT{0, 0, 0, 0};
    erase = m_bDirty && m_bErase;
    m_bDirty = m_bErase = false;
  }
  *paint = PAINTSTRUCT{nullptr, FALSE, area};
  CDC* dc = GetDC();
  if (!dc) return nullptr;
  CRgn clip;
  clip.CreateRectRgn(area.left, area.top, area.right, area.bottom);
  dc->SelectClipRgn(&clip);
  paint->hdc = dc->m_hDC;
  paint->fErase = erase && !SendMessage(WM_ERASEBKGND, WPARAM(dc->m_hDC), 0);
  return dc;
}

void CWnd::EndPaint(const PAINTSTRUCT* paint) {
  if (paint) delete CDC::FromHandle(paint->hdc);
}

BOOL CWnd::PostMessage(UINT msg, WPARAM wParam, LPARAM lParam) { return ::PostMessage(m_hWnd, msg, wParam, lParam); }

LRESULT CWnd::SendMessage(UINT msg, WPARAM wParam, LPARAM lParam) { return ::SendMessage(m_hWnd, msg, wParam, lParam); }

UINT_PTR CWnd::SetTimer(UINT_PTR id, UINT ms, void* unusedTimerProc) {
  return ::SetTimer(m_hWnd, id, ms, unusedTimerProc);
}

BOOL CWnd::KillTimer(UINT_PTR id) { return ::KillTimer(m_hWnd, id); }

BOOL CWnd::PreTranslateMessage(MSG*) { return FALSE; }

LRESULT CWnd::Dispatch(UINT message, WPARAM wParam, LPARAM lParam) {
  uint64_t invalidations = 0;
  if (message == WM_PAINT) {
    std::lock_guard<std::mutex> lock(m_paintMutex);
    m_bPaintPosted = false;
    if (!m_bDirty) return 0;  // painted since it was asked for
    invalidations = m_nInvalidations;
  }
  const Message outer = std::exchange(m_current, Message{message, wParam, lParam});
  const LRESULT result = WindowProc(message, wParam, lParam);
  m_current = outer;
  if (message == WM_PAINT) {
    // A handler that did not paint leaves nothing waiting, unless more was
    // asked for meanwhile (that has its own WM_PAINT on the way).
    std::lock_guard<std::mutex> lock(m_paintMutex);
    if (m_nInvalidations == invalidations) m_bDirty = m_bErase = false;
  }
  return result;
}

// Used by the default handling (wnd_messages.cpp).
LRESULT CWnd::DefaultHitTest(CPoint screen) const {
  if (!m_pNative || !m_pNative->widget) return HTNOWHERE;
  const QPoint local = m_pNative->widget->mapFromGlobal(QPoint(screen.x, screen.y));
  return m_pNative->widget->InShape(local) ? HTCLIENT : HTNOWHERE;
}
