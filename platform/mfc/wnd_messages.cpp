// CWnd's message map (messages to virtual handlers) and the system's
// default handling of the messages it offers.
#include "platform/mfc/detail/window_widget.h"
#include "platform/mfc/wnd.h"

namespace {

// The screen point of a client point of the window.
CPoint ScreenPoint(const CWnd& w, CPoint client) {
  w.ClientToScreen(&client);
  return client;
}

}  // namespace

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  struct Entry {
    UINT message;
    LRESULT (*handle)(CWnd& w, WPARAM wParam, LPARAM lParam);
  };
  static const Entry kMap[] = {
      {WM_CREATE, [](CWnd& w, WPARAM, LPARAM l) -> LRESULT { return w.OnCreate(reinterpret_cast<LPCREATESTRUCT>(l)); }},
      {WM_PAINT, [](CWnd& w, WPARAM, LPARAM) -> LRESULT { return w.OnPaint(), 0; }},
      {WM_ERASEBKGND, [](CWnd& w, WPARAM p, LPARAM) -> LRESULT { return w.OnEraseBkgnd(CDC::FromHandle(HDC(p))); }},
      {WM_MOVE, [](CWnd& w, WPARAM, LPARAM l) -> LRESULT { return w.OnMove(GET_X_LPARAM(l), GET_Y_LPARAM(l)), 0; }},
      {WM_MOUSEMOVE, [](CWnd& w, WPARAM p, LPARAM l) -> LRESULT { return w.OnMouseMove(UINT(p), CPoint(l)), 0; }},
      {WM_LBUTTONDOWN, [](CWnd& w, WPARAM p, LPARAM l) -> LRESULT { return w.OnLButtonDown(UINT(p), CPoint(l)), 0; }},
      {WM_LBUTTONUP, [](CWnd& w, WPARAM p, LPARAM l) -> LRESULT { return w.OnLButtonUp(UINT(p), CPoint(l)), 0; }},
      {WM_LBUTTONDBLCLK,
       [](CWnd& w, WPARAM p, LPARAM l) -> LRESULT { return w.OnLButtonDblClk(UINT(p), CPoint(l)), 0; }},
      {WM_RBUTTONUP, [](CWnd& w, WPARAM p, LPARAM l) -> LRESULT { return w.OnRButtonUp(UINT(p), CPoint(l)), 0; }},
      {WM_NCHITTEST, [](CWnd& w, WPARAM, LPARAM l) -> LRESULT { return w.OnNcHitTest(CPoint(l)); }},
      {WM_NCRBUTTONUP, [](CWnd& w, WPARAM p, LPARAM l) -> LRESULT { return w.OnNcRButtonUp(UINT(p), CPoint(l)), 0; }},
      {WM_CONTEXTMENU,
       [](CWnd& w, WPARAM p, LPARAM l) -> LRESULT { return w.OnContextMenu(FromHandle(HWND(p)), CPoint(l)), 0; }},
      {WM_TIMER, [](CWnd& w, WPARAM p, LPARAM) -> LRESULT { return w.OnTimer(UINT_PTR(p)), 0; }},
      {WM_COMMAND, [](CWnd& w, WPARAM p, LPARAM l) -> LRESULT { return w.OnCommand(p, l) ? 0 : w.Default(); }},
  };
  for (const Entry& e : kMap)
    if (e.message == message) return e.handle(*this, wParam, lParam);
  return DefWindowProc(message, wParam, lParam);
}

LRESULT CWnd::Default() { return DefWindowProc(m_current.message, m_current.wParam, m_current.lParam); }

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  struct Entry {
    UINT message;
    LRESULT (*handle)(CWnd& w, WPARAM wParam, LPARAM lParam);
  };
  static const Entry kDefaults[] = {
      {WM_CLOSE, [](CWnd& w, WPARAM, LPARAM) -> LRESULT { return w.DestroyWindow(), 0; }},
      {WM_PAINT,
       [](CWnd& w, WPARAM, LPARAM) -> LRESULT {
         PAINTSTRUCT ps;
         w.BeginPaint(&ps);
         w.EndPaint(&ps);
         return 0;
       }},
      {WM_ERASEBKGND,
       [](CWnd& w, WPARAM p, LPARAM) -> LRESULT {
         CDC* dc = CDC::FromHandle(HDC(p));
         if (!dc) return 0;
         RECT client;
         w.GetClientRect(&client);
         dc->FillSolidRect(client, RGB(255, 255, 255));  // within the DC's clip: what needs painting
         return 1;
       }},
      {WM_NCHITTEST, [](CWnd& w, WPARAM, LPARAM l) -> LRESULT { return w.DefaultHitTest(CPoint(l)); }},
      {WM_RBUTTONUP,
       [](CWnd& w, WPARAM, LPARAM l) -> LRESULT {
         const CPoint at = ScreenPoint(w, CPoint(l));
         w.SendMessage(WM_CONTEXTMENU, WPARAM(w.m_hWnd), MAKELPARAM(WORD(at.x), WORD(at.y)));
         return 0;
       }},
      {WM_CONTEXTMENU,
       [](CWnd& w, WPARAM p, LPARAM l) -> LRESULT {
         return w.m_pParent ? w.m_pParent->SendMessage(WM_CONTEXTMENU, p, l) : 0;
       }},
      {WM_NCLBUTTONDOWN,
       [](CWnd& w, WPARAM p, LPARAM l) -> LRESULT {
         if (LRESULT(p) == HTCAPTION && w.m_pNative && w.m_pNative->widget) w.m_pNative->widget->BeginMove(CPoint(l));
         return 0;
       }},
  };
  for (const Entry& e : kDefaults)
    if (e.message == message) return e.handle(*this, wParam, lParam);
  return 0;
}

BOOL CWnd::OnCommand(WPARAM, LPARAM) { return FALSE; }
int CWnd::OnCreate(LPCREATESTRUCT) { return int(Default()); }
void CWnd::OnPaint() { Default(); }
BOOL CWnd::OnEraseBkgnd(CDC*) { return BOOL(Default()); }
void CWnd::OnMove(int, int) { Default(); }
void CWnd::OnMouseMove(UINT, CPoint) { Default(); }
void CWnd::OnLButtonDown(UINT, CPoint) { Default(); }
void CWnd::OnLButtonUp(UINT, CPoint) { Default(); }
void CWnd::OnLButtonDblClk(UINT, CPoint) { Default(); }
void CWnd::OnRButtonUp(UINT, CPoint) { Default(); }
LRESULT CWnd::OnNcHitTest(CPoint) { return Default(); }
void CWnd::OnNcRButtonUp(UINT, CPoint) { Default(); }
void CWnd::OnContextMenu(CWnd*, CPoint) { Default(); }
void CWnd::OnTimer(UINT_PTR) { Default(); }
