// CColorDialog: the standard colour chooser over the win facility's
// (color_dialog.h: Qt's QColorDialog, answered and logged for tests like
// the message boxes).
#pragma once
#include "platform/mfc/object.h"
#include "platform/windef.h"

class CWnd;

class CColorDialog : public CObject {
 public:
  // The chooser starts on `initial`; the flags (CC_ values) are not used;
  // the dialogs of this system have no owner, so `parent` is ignored.
  explicit CColorDialog(COLORREF initial = 0, DWORD flags = 0, CWnd* parent = nullptr);

  // IDOK once a colour is chosen, else IDCANCEL (also without a Qt
  // application to show it).
  virtual INT_PTR DoModal();
  // The chosen colour; the initial one before an IDOK.
  COLORREF GetColor() const { return m_color; }

 private:
  COLORREF m_color;
};
