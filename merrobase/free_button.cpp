// CFreeButton: the window, its shape, mouse tracking, the state pictures
// and their drawing, the context menu, the colour and border commands and
// the tooltip. The stroke-placing game is in free_button_game.cpp.
#include "merrobase/free_button.h"

#include "platform/mfc/color_dialog.h"
#include "platform/win/appearance.h"
#include "platform/win/capture.h"

namespace {

// Menu commands.
enum : UINT {
  kSelectedColor = 3030,
  kHoverColor = 3031,
  kNormalColor = 3032,
  kDisabledColor = 3033,
  kTip = 3034,
  kMoveable = 3035,
  kBorder1 = 3036,
  kBorder3 = 3037,
  kBorder5 = 3038,
};

// The bands of the 3-D frame, painted in this order, each the part of the
// region not covered by the region moved by (offset, offset): positive
// offsets give the top-left edge, negative ones the bottom-right edge.
struct Band {
  int offset;
  int colour;         // not pressed
  int pressedColour;  // pressed
  int border;         // drawn only for this border value (0: for any but 2; -1: always)
};
const Band kBands[] = {
    {+2, COLOR_BTNHIGHLIGHT, COLOR_3DDKSHADOW, 2},  {-2, COLOR_BTNSHADOW, COLOR_3DLIGHT, 2},
    {+1, COLOR_3DLIGHT, COLOR_BTNSHADOW, 2},        {+1, COLOR_BTNHIGHLIGHT, COLOR_3DDKSHADOW, 0},
    {-1, COLOR_3DDKSHADOW, COLOR_BTNHIGHLIGHT, -1},
};

bool Drawn(const Band& b, int border) { return b.border == -1 || (b.border == 2 ? border == 2 : border != 2); }

}  // namespace

CFreeButton::CFreeButton()
    : m_crNormal(GetSysColor(COLOR_BTNFACE)),
      m_crSelected(GetSysColor(COLOR_BTNFACE)),
      m_crHover(GetSysColor(COLOR_BTNFACE)),
      m_crDisabled(GetSysColor(COLOR_BTNFACE)),
      m_pMenu(new CMenu) {}

CFreeButton::~CFreeButton() {
  DestroyWindow();  // while the object is whole: the window's last messages reach it
  delete m_pMenu;
  delete m_pbmNormal;
  delete m_pbmSelected;
  delete m_pbmHover;
  delete m_pbmDisabled;
  if (m_ToolTip.IsCreated()) m_ToolTip.DestroyWindow();
  if (m_hRgn) ::DeleteObject(m_hRgn);  // never handed to a window
}

// ---- creation ---------------------------------------------------------------

BOOL CFreeButton::Create(const char* caption, DWORD style, CPoint point, HRGN region, CWnd* parent, UINT id) {
  if (!region) return FALSE;
  if (m_hRgn) ::DeleteObject(m_hRgn);
  m_hRgn = ::CreateRectRgn(0, 0, 0, 0);
  if (!m_hRgn || ::CombineRgn(m_hRgn, region, nullptr, RGN_COPY) == ERROR) return FALSE;
  CRect box;
  ::GetRgnBox(m_hRgn, &box);
  ::OffsetRgn(m_hRgn, -box.left, -box.top);
  box.OffsetRect(-box.left, -box.top);
  m_ptCentre = POINT{(box.right - box.left) / 2 + box.left, (box.bottom - box.top) / 2 + box.top};
  box.OffsetRect(point);
  return CButton::Create(caption, style, box, parent, id);
}

BOOL CFreeButton::Create(const char* caption, DWORD style, CPoint point, HRGN region, CWnd* parent, UINT id,
                         COLORREF colour) {
  m_crSelected = colour;
  m_crHover = colour;
  return Create(caption, style, point, region, parent, id);
}

BOOL CFreeButton::Create(const char* caption, DWORD style, CPoint point, HRGN region, CWnd* parent, UINT id,
                         UINT border, COLORREF normal, COLORREF selected, COLORREF hover, COLORREF disabled) {
  m_nBorder = int(border);
  m_crNormal = normal;
  m_crSelected = selected;
  m_crHover = hover;
  m_crDisabled = disabled;
  return Create(caption, style, point, region, parent, id);
}

BOOL CFreeButton::Create(const char* caption, DWORD style, CPoint point, HRGN region, CWnd* parent, UINT id,
                         UINT border, long extra, COLORREF normal, COLORREF selected, COLORREF hover,
                         COLORREF disabled) {
  m_lCreateExtra = extra;
  return Create(caption, style, point, region, parent, id, border, normal, selected, hover, disabled);
}

void CFreeButton::PreSubclassWindow() {
  ModifyStyle(0, BS_OWNERDRAW);
  CButton::PreSubclassWindow();
}

int CFreeButton::OnCreate(LPCREATESTRUCT create) {
  if (CButton::OnCreate(create) == -1) return -1;
  m_bRebuild = 1;
  SetWindowRgn(m_hRgn, TRUE);
  m_hRgn = nullptr;  // the window's now
  return 0;
}

LRESULT CFreeButton::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_LBUTTONDBLCLK) message = WM_LBUTTONDOWN;
  return CButton::DefWindowProc(message, wParam, lParam);
}

// ---- setters ----------------------------------------------------------------

void CFreeButton::SetStrokeNo(int n) { m_nStrokeNo = n < 1 ? 0 : n; }
int CFreeButton::GetStrokeNo() { return m_nStrokeNo; }
void CFreeButton::SetStrokeName(char code) { m_chStrokeCode = code; }
void CFreeButton::SetStrokeName(CString name) { m_strStrokeName = name; }
void CFreeButton::SetHanzi(CString ch) { m_strHanzi = ch; }
void CFreeButton::SetToolTipText(CString text) { m_strToolTip = text; }
void CFreeButton::SetToolTip(bool on) { m_bToolTip = on; }
void CFreeButton::SetDwkClass(CWnd* wnd) { m_pDwkWnd = wnd; }

// ---- mouse ------------------------------------------------------------------

int CFreeButton::HitTest(CPoint pt) {
  CRgn region;
  CRect client;
  GetClientRect(&client);
  region.CreateRectRgn(0, 0, client.Width(), client.Height());  // without a shape: the rectangle
  GetWindowRgn(region);
  CRect box;
  region.GetRgnBox(&box);
  return box.PtInRect(pt) && region.PtInRegion(pt) ? 1 : 0;
}

void CFreeButton::Redraw() {
  Invalidate(TRUE);
  UpdateWindow();
}

void CFreeButton::CheckHover(CPoint pt) {
  if (!HitTest(pt)) {
    if (m_bCapture) {
      ::ReleaseCapture();
      m_bCapture = 0;
    }
    m_bHover = 0;
    Redraw();
    return;
  }
  if (!m_bCapture) {
    SetCapture();
    m_bCapture = 1;
  }
  if (!m_bHover) {
    m_bHover = 1;
    Redraw();
  }
}

BOOL CFreeButton::OnEraseBkgnd(CDC*) { return TRUE; }

void CFreeButton::OnMouseMove(UINT flags, CPoint point) {
  if (!m_bPressed) CheckHover(point);
  CButton::OnMouseMove(flags, point);
}

void CFreeButton::OnLButtonDown(UINT flags, CPoint point) {
  m_bPressed = 1;
  if (!m_bCapture) {
    SetCapture();
    m_bCapture = 1;
  }
  CButton::OnLButtonDown(flags, point);
}

void CFreeButton::OnLButtonUp(UINT flags, CPoint point) {
  CButton::OnLButtonUp(flags, point);
  m_bPressed = 0;
  if (m_bCapture) {
    ::ReleaseCapture();
    m_bCapture = 0;
  }
  CheckHover(point);
}

LRESULT CFreeButton::OnNcHitTest(CPoint point) {
  if (m_nGameState == 1 || m_bMoveable) {
    Redraw();
    return HTCAPTION;  // dragged by its body
  }
  return CButton::OnNcHitTest(point);
}

// ---- painting ---------------------------------------------------------------

void CFreeButton::DrawItem(LPDRAWITEMSTRUCT item) {
  CDC* dc = CDC::FromHandle(item->hDC);
  if (!dc) return;
  CRect rect;
  GetClientRect(&rect);
  if (m_bRebuild) PrepareStateBitmaps(dc, &rect);
  DrawButton(dc, &rect, item->itemState);
}

void CFreeButton::PrepareStateBitmaps(CDC* dc, CRect* rect) {
  CDC memDC;
  memDC.CreateCompatibleDC(dc);
  PrepareNormalState(dc, &memDC, rect);
  PrepareSelectedState(dc, &memDC, rect);
  PrepareHoverState(dc, &memDC, rect);
  PrepareDisabledState(dc, &memDC, rect);
  memDC.DeleteDC();
  m_bRebuild = 0;
}

void CFreeButton::PrepareNormalState(CDC* dc, CDC* memDC, CRect* rect) {
  RepaintState(dc, memDC, m_pbmNormal, m_crNormal, rect, TRUE, FALSE);
}

void CFreeButton::PrepareSelectedState(CDC* dc, CDC* memDC, CRect* rect) {
  RepaintState(dc, memDC, m_pbmSelected, m_crSelected, rect, TRUE, TRUE);
}

void CFreeButton::PrepareHoverState(CDC* dc, CDC* memDC, CRect* rect) {
  RepaintState(dc, memDC, m_pbmHover, m_crHover, rect, TRUE, FALSE);
}

void CFreeButton::PrepareDisabledState(CDC* dc, CDC* memDC, CRect* rect) {
  RepaintState(dc, memDC, m_pbmDisabled, m_crDisabled, rect, FALSE, FALSE);
}

// A state's picture is made afresh on a bitmap of its own.
void CFreeButton::RepaintState(CDC* dc, CDC* memDC, CBitmap*& bitmap, COLORREF colour, CRect* rect, BOOL active,
                               BOOL pressed) {
  delete bitmap;
  bitmap = new CBitmap;
  PaintRgn(dc, memDC, bitmap, colour, rect, active, pressed);
}

void CFreeButton::PaintRgn(CDC* dc, CDC* memDC, CBitmap* bitmap, COLORREF colour, CRect* rect, BOOL active,
                           BOOL pressed) {
  bitmap->CreateCompatibleBitmap(dc, rect->Width(), rect->Height());
  CBitmap* old = memDC->SelectObject(bitmap);
  CRgn region;
  region.CreateRectRgn(0, 0, rect->Width(), rect->Height());  // without a shape: the rectangle
  GetWindowRgn(region);
  memDC->FillSolidRect(*rect, RGB(0, 0, 0));
  CBrush brush(colour);
  memDC->FillRgn(&region, &brush);
  DrawButtonCaption(memDC->GetSafeHdc(), rect, active, pressed);
  FrameRgn3D(memDC->GetSafeHdc(), region, pressed);
  region.DeleteObject();
  memDC->SelectObject(old);
}

void CFreeButton::DrawButtonCaption(HDC hdc, CRect*, BOOL active, BOOL pressed) {
  CDC* dc = CDC::FromHandle(hdc);
  if (!dc) return;
  const int oldMode = dc->SetBkMode(TRANSPARENT);
  CString text;
  GetWindowText(text);
  // The parent's font; without one the layer's default face.
  HGDIOBJ parentFont = GetParent() ? reinterpret_cast<HGDIOBJ>(GetParent()->SendMessage(WM_GETFONT)) : nullptr;
  LOGFONT lf{};
  if (!parentFont || !::GetObject(parentFont, sizeof lf, &lf))
    ::GetObject(::GetStockObject(DEFAULT_GUI_FONT), sizeof lf, &lf);
  CFont font;
  font.CreateFontIndirect(&lf);
  CFont* oldFont = dc->SelectObject(&font);
  TEXTMETRIC tm{};
  dc->GetTextMetrics(&tm);
  int x = m_ptCentre.x, y = m_ptCentre.y + tm.tmHeight / 2;
  if (pressed) {
    x += m_nBorder;
    y += m_nBorder;
  }
  if (active) {
    dc->SetTextColor(GetSysColor(COLOR_BTNTEXT));
    dc->SetTextAlign(TA_CENTER | TA_BOTTOM);
    dc->TextOut(x, y, text);
  } else {
    // Etched; the alignment is what painting the earlier states left.
    dc->SetTextColor(GetSysColor(COLOR_BTNHIGHLIGHT));
    dc->TextOut(x + 1, y + 1, text);
    dc->SetTextColor(GetSysColor(COLOR_BTNSHADOW));
    dc->TextOut(x, y, text);
  }
  if (oldFont) dc->SelectObject(oldFont);
  dc->SetBkMode(oldMode);
}

void CFreeButton::FrameRgn3D(HDC hdc, HRGN region, BOOL pressed) {
  CDC* dc = CDC::FromHandle(hdc);
  if (!dc || !region) return;
  CRgn whole, moved, band;
  whole.CreateRectRgn(0, 0, 0, 0);
  moved.CreateRectRgn(0, 0, 0, 0);
  band.CreateRectRgn(0, 0, 0, 0);
  ::CombineRgn(whole, region, nullptr, RGN_COPY);
  for (const Band& b : kBands) {
    if (!Drawn(b, m_nBorder)) continue;
    moved.CombineRgn(&whole, nullptr, RGN_COPY);
    moved.OffsetRgn(b.offset, b.offset);
    band.CombineRgn(&whole, &moved, RGN_DIFF);
    CBrush brush(GetSysColor(pressed ? b.pressedColour : b.colour));
    dc->FillRgn(&band, &brush);
  }
}

void CFreeButton::DrawButton(CDC* dc, CRect* rect, UINT state) {
  CBitmap* picture = (state & ODS_DISABLED)   ? m_pbmDisabled
                     : (state & ODS_SELECTED) ? m_pbmSelected
                     : m_bHover               ? m_pbmHover
                                              : m_pbmNormal;
  if (!picture) return;
  CDC memDC;
  memDC.CreateCompatibleDC(dc);
  CBitmap* old = memDC.SelectObject(picture);
  CRgn region;
  region.CreateRectRgn(0, 0, 0, 0);
  const bool shaped = GetWindowRgn(region) != ERROR;
  if (shaped) dc->SelectClipRgn(&region);
  dc->BitBlt(0, 0, rect->Width(), rect->Height(), &memDC, 0, 0, SRCCOPY);
  if (shaped) dc->SelectClipRgn(nullptr);
  memDC.SelectObject(old);
  memDC.DeleteDC();
}

// ---- commands ---------------------------------------------------------------

BOOL CFreeButton::OnCommand(WPARAM wParam, LPARAM lParam) {
  struct Command {
    UINT id;
    void (CFreeButton::*handle)();
  };
  static const Command kCommands[] = {
      {kSelectedColor, &CFreeButton::OnSelectedColor},
      {kHoverColor, &CFreeButton::OnHoverColor},
      {kNormalColor, &CFreeButton::OnNormalColor},
      {kDisabledColor, &CFreeButton::OnDisabledColor},
      {kTip, &CFreeButton::OnTip},
      {kMoveable, &CFreeButton::OnMoveable},
      {kBorder1, &CFreeButton::OnBorder1},
      {kBorder3, &CFreeButton::OnBorder3},
      {kBorder5, &CFreeButton::OnBorder5},
  };
  for (const Command& c : kCommands)
    if (c.id == LOWORD(wParam)) {
      (this->*c.handle)();
      return TRUE;
    }
  return CButton::OnCommand(wParam, lParam);
}

void CFreeButton::OnSelectedColor() { PrepareState(kSelectedColor); }
void CFreeButton::OnHoverColor() { PrepareState(kHoverColor); }
void CFreeButton::OnNormalColor() { PrepareState(kNormalColor); }
void CFreeButton::OnDisabledColor() { PrepareState(kDisabledColor); }
void CFreeButton::OnTip() { m_bToolTip = !m_bToolTip; }
void CFreeButton::OnMoveable() { m_bMoveable = !m_bMoveable; }
void CFreeButton::OnBorder1() { OnBorder(kBorder1); }
void CFreeButton::OnBorder3() { OnBorder(kBorder3); }
void CFreeButton::OnBorder5() { OnBorder(kBorder5); }

void CFreeButton::PrepareState(int id) {
  struct Target {
    int id;
    COLORREF CFreeButton::*colour;
  };
  static const Target kTargets[] = {{kSelectedColor, &CFreeButton::m_crSelected},
                                    {kHoverColor, &CFreeButton::m_crHover},
                                    {kNormalColor, &CFreeButton::m_crNormal},
                                    {kDisabledColor, &CFreeButton::m_crDisabled}};
  CColorDialog dialog(0, 0, nullptr);
  if (dialog.DoModal() != IDOK) return;
  for (const Target& t : kTargets)
    if (t.id == id) this->*t.colour = dialog.GetColor();
  PrepareState();
}

void CFreeButton::PrepareState() {
  if (!m_bCapture) {
    SetCapture();
    m_bCapture = 1;
  }
  CDC* dc = GetDC();
  CRect rect;
  GetClientRect(&rect);
  if (dc) PrepareStateBitmaps(dc, &rect);
  ReleaseDC(dc);
  if (m_bCapture) {
    ::ReleaseCapture();
    m_bCapture = 0;
  }
  if (!m_bHover) {
    m_bHover = 1;
    Redraw();
  }
}

void CFreeButton::OnBorder(int id) {
  struct Value {
    int id;
    int border;
  };
  static const Value kBorders[] = {{kBorder1, 1}, {kBorder3, 3}, {kBorder5, 5}};
  for (const Value& v : kBorders)
    if (v.id == id) m_nBorder = v.border;
  PrepareState();
}

// ---- context menu -----------------------------------------------------------

void CFreeButton::OnContextMenu(CWnd* wnd, CPoint point) {
  if (wnd != this) {
    CButton::OnContextMenu(wnd, point);
    return;
  }
  CMenu colours;
  m_pMenu->CreatePopupMenu();
  colours.CreatePopupMenu();
  colours.AppendMenu(MF_STRING, kNormalColor, "正常");
  colours.AppendMenu(MF_STRING, kHoverColor, "经过");
  colours.AppendMenu(MF_STRING, kSelectedColor, "选中");
  colours.AppendMenu(MF_STRING, kDisabledColor, "禁用");
  m_pMenu->AppendMenu(MF_POPUP, UINT_PTR(colours.m_hMenu), "颜色");
  m_pMenu->AppendMenu(MF_STRING | (m_bToolTip ? MF_CHECKED : MF_UNCHECKED), kTip, "提示");
  m_pMenu->AppendMenu(MF_STRING | (m_bMoveable ? MF_CHECKED : MF_UNCHECKED), kMoveable, "移动");
  m_pMenu->AppendMenu(MF_SEPARATOR);
  m_pMenu->TrackPopupMenu(TPM_LEFTALIGN | TPM_RIGHTBUTTON, point.x, point.y, this);
  m_pMenu->DestroyMenu();
  colours.DestroyMenu();
}

void CFreeButton::OnNcRButtonUp(UINT hitTest, CPoint point) {
  CButton::OnNcRButtonUp(hitTest, point);
  OnContextMenu(this, point);
}

// ---- tooltip ----------------------------------------------------------------

BOOL CFreeButton::PreTranslateMessage(MSG* msg) {
  if (m_bToolTip) {
    if (!m_ToolTip.IsCreated()) {
      m_ToolTip.Create(this);
      m_ToolTip.Activate(TRUE);
      m_ToolTip.SetFont(reinterpret_cast<HFONT>(SendMessage(WM_GETFONT)), TRUE);
      if (m_strToolTip.IsEmpty())
        m_strToolTip.Format("%s: 第%d笔[%s]", LPCTSTR(m_strHanzi), m_nStrokeNo, LPCTSTR(m_strStrokeName));
      m_ToolTip.AddTool(this, m_strToolTip);
    }
    m_ToolTip.RelayEvent(msg);
  }
  return CButton::PreTranslateMessage(msg);
}
