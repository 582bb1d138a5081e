#include "platform/mfc/button.h"

#include "platform/win/capture.h"

BOOL CButton::Create(LPCTSTR caption, DWORD style, const RECT& rect, CWnd* parent, UINT id) {
  return CWnd::Create("BUTTON", caption, style, rect, parent, id);
}

void CButton::DrawItem(LPDRAWITEMSTRUCT) {}

UINT CButton::State() const {
  UINT state = 0;
  if (m_bPushed) state |= ODS_SELECTED;
  if (!IsWindowEnabled()) state |= ODS_DISABLED;
  if (GetFocus() == this) state |= ODS_FOCUS;
  return state;
}

void CButton::Draw(UINT action, CDC* dc) {
  if (!OwnerDrawn() || !m_hWnd) return;
  CDC* own = dc ? nullptr : GetDC();
  CDC* target = dc ? dc : own;
  if (!target) return;
  DRAWITEMSTRUCT item{ODT_BUTTON, GetDlgCtrlID(), 0, action, State(), m_hWnd, target->m_hDC, {0, 0, 0, 0}, 0};
  GetClientRect(&item.rcItem);
  DrawItem(&item);
  ReleaseDC(own);
}

void CButton::Press() {
  SetFocus();
  SetCapture();
  m_bTracking = true;
  SetPushed(true);
}

void CButton::SetPushed(bool pushed) {
  if (m_bPushed == pushed) return;
  m_bPushed = pushed;
  Draw(ODA_SELECT);
}

void CButton::Notify(WORD code) {
  if (CWnd* parent = GetParent())
    parent->SendMessage(WM_COMMAND, MAKEWPARAM(WORD(GetDlgCtrlID()), code), LPARAM(m_hWnd));
}

LRESULT CButton::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  struct Entry {
    UINT message;
    LRESULT (*handle)(CButton& b, WPARAM wParam, LPARAM lParam);
  };
  static const Entry kButton[] = {
      {WM_LBUTTONDOWN, [](CButton& b, WPARAM, LPARAM) -> LRESULT { return b.Press(), 0; }},
      {WM_LBUTTONDBLCLK,
       [](CButton& b, WPARAM, LPARAM) -> LRESULT {
         b.OwnerDrawn() ? b.Notify(BN_DOUBLECLICKED) : b.Press();
         return 0;
       }},
      {WM_MOUSEMOVE,
       [](CButton& b, WPARAM, LPARAM l) -> LRESULT {
         if (b.m_bTracking && ::GetCapture() == b.m_hWnd) {
           RECT client;
           b.GetClientRect(&client);
           b.SetPushed(CRect(client).PtInRect(CPoint(l)));
         }
         return 0;
       }},
      {WM_LBUTTONUP,
       [](CButton& b, WPARAM, LPARAM) -> LRESULT {
         if (!b.m_bTracking) return 0;
         b.m_bTracking = false;
         const bool clicked = b.m_bPushed;
         b.SetPushed(false);
         if (::GetCapture() == b.m_hWnd) ::ReleaseCapture();
         if (clicked) b.Notify(BN_CLICKED);
         return 0;
       }},
      {WM_CAPTURECHANGED,
       [](CButton& b, WPARAM, LPARAM l) -> LRESULT {
         if (b.m_bTracking && HWND(l) != b.m_hWnd) {  // the press ends without a click
           b.m_bTracking = false;
           b.SetPushed(false);
         }
         return 0;
       }},
      {WM_PAINT,
       [](CButton& b, WPARAM w, LPARAM l) -> LRESULT {
         if (!b.OwnerDrawn()) return b.CWnd::DefWindowProc(WM_PAINT, w, l);
         PAINTSTRUCT ps;
         if (CDC* dc = b.BeginPaint(&ps)) b.Draw(ODA_DRAWENTIRE, dc);
         b.EndPaint(&ps);
         return 0;
       }},
      {WM_SETFOCUS, [](CButton& b, WPARAM, LPARAM) -> LRESULT { return b.Draw(ODA_FOCUS), 0; }},
      {WM_KILLFOCUS, [](CButton& b, WPARAM, LPARAM) -> LRESULT { return b.Draw(ODA_FOCUS), 0; }},
      {WM_ENABLE, [](CButton& b, WPARAM, LPARAM) -> LRESULT { return b.Draw(ODA_DRAWENTIRE), 0; }},
      {WM_SETFONT,
       [](CButton& b, WPARAM w, LPARAM l) -> LRESULT {
         b.m_hFont = HFONT(w);
         if (l) b.Invalidate();
         return 0;
       }},
      {WM_GETFONT, [](CButton& b, WPARAM, LPARAM) -> LRESULT { return LRESULT(b.m_hFont); }},
  };
  for (const Entry& e : kButton)
    if (e.message == message) return e.handle(*this, wParam, lParam);
  return CWnd::DefWindowProc(message, wParam, lParam);
}
