#include "platform/mfc/color_dialog.h"

#include "platform/win/color_dialog.h"

CColorDialog::CColorDialog(COLORREF initial, DWORD, CWnd*) : m_color(initial & 0xFFFFFF) {}

INT_PTR CColorDialog::DoModal() {
  std::optional<COLORREF> chosen = win::RunColorDialog(m_color);
  if (!chosen) return IDCANCEL;
  m_color = *chosen;
  return IDOK;
}
