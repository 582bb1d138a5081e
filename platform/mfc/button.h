// CButton: the class library's push button over CWnd, with the button
// behaviour the system gives it: a left press takes the focus and the
// capture and shows the button pushed while the pointer stays inside it; a
// release inside sends BN_CLICKED (WM_COMMAND, id in the low word, the
// button's handle in lParam) to the parent. It keeps the font given by
// WM_SETFONT for WM_GETFONT.
//
// Only owner-drawn buttons (BS_OWNERDRAW) draw: the layer calls DrawItem for
// every paint and every change of the pushed, focus or disabled state, with
// a DC on the button and the state in ODS_ bits. A double click on an
// owner-drawn button is BN_DOUBLECLICKED to the parent and no press (on any
// other button it is a press). Other kinds draw nothing of their own.
#pragma once
#include "platform/mfc/wnd.h"

class CButton : public CWnd {
 public:
  // A "BUTTON" window (CWnd::Create) with the caption as its text.
  virtual BOOL Create(LPCTSTR caption, DWORD style, const RECT& rect, CWnd* parent, UINT id);
  // Draws an owner-drawn button; the base draws nothing.
  virtual void DrawItem(LPDRAWITEMSTRUCT item);

 protected:
  // The button behaviour, then CWnd's default handling.
  LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  bool OwnerDrawn() const { return (GetStyle() & BS_TYPEMASK) == BS_OWNERDRAW; }
  UINT State() const;
  void Draw(UINT action, CDC* dc = nullptr);
  void Press();
  void SetPushed(bool pushed);
  void Notify(WORD code);

  bool m_bTracking = false;  // a left press is being followed
  bool m_bPushed = false;
  HFONT m_hFont = nullptr;
};
