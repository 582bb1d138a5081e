#include "platform/mfc/dc.h"

#include <new>

CDC::CDC() : m_penStock(PS_SOLID, 1, RGB(0, 0, 0)), m_brushStock(RGB(255, 255, 255)) {
  const LOGFONT lf = gdi::Font().ToLogFont();
  m_fontStock.CreateFontIndirect(&lf);
  m_pPen = &m_penStock;
  m_pBrush = &m_brushStock;
  m_pFont = &m_fontStock;
}

CDC* CDC::FromHandle(HDC dc) { return dc ? dc->owner : nullptr; }

CDC::~CDC() { DeleteDC(); }

BOOL CDC::CreateCompatibleDC(const CDC*) {
  if (m_hDC) return FALSE;
  if (!m_bitmapStock.GetSafeHandle() && !m_bitmapStock.CreateCompatibleBitmap(this, 1, 1)) return FALSE;
  m_hDC = new (std::nothrow) HDC__;
  if (!m_hDC) return FALSE;
  m_hDC->owner = this;
  m_hDC->memory = true;
  SelectObject(&m_bitmapStock);
  return TRUE;
}

BOOL CDC::CreateSurfaceDC(std::shared_ptr<gdi::Surface> surface) {
  if (m_hDC || !surface) return FALSE;
  m_hDC = new (std::nothrow) HDC__;
  if (!m_hDC) return FALSE;
  m_hDC->owner = this;
  m_hDC->keepAlive = std::move(surface);
  m_hDC->dc.SelectSurface(m_hDC->keepAlive.get());
  return TRUE;
}

BOOL CDC::DeleteDC() {
  if (!m_hDC) return FALSE;
  LetGoOfBitmap();
  delete m_hDC;
  m_hDC = nullptr;
  m_pPen = &m_penStock;
  m_pBrush = &m_brushStock;
  m_pFont = &m_fontStock;
  m_pBitmap = nullptr;
  return TRUE;
}

void CDC::LetGoOfBitmap() {
  HBITMAP current = m_hDC->bitmap;
  if (!current) return;
  current->selectedInto = nullptr;
  if (current->unowned) delete current;
  m_hDC->bitmap = nullptr;
  m_hDC->dc.SelectSurface(nullptr);
}

CPen* CDC::SelectObject(CPen* pen) {
  if (!m_hDC || !pen || !pen->Pen()) return nullptr;
  m_hDC->dc.SelectPen(*pen->Pen());
  CPen* old = m_pPen;
  m_pPen = pen;
  return old;
}

CBrush* CDC::SelectObject(CBrush* brush) {
  if (!m_hDC || !brush || !brush->Brush()) return nullptr;
  m_hDC->dc.SelectBrush(*brush->Brush());
  CBrush* old = m_pBrush;
  m_pBrush = brush;
  return old;
}

CBitmap* CDC::SelectObject(CBitmap* bitmap) {
  if (!m_hDC || !m_hDC->memory || !bitmap) return nullptr;
  HBITMAP h = *bitmap;
  if (!h || (h->selectedInto && h->selectedInto != m_hDC)) return nullptr;
  if (h != m_hDC->bitmap) {
    LetGoOfBitmap();
    h->selectedInto = m_hDC;
    m_hDC->bitmap = h;
    m_hDC->dc.SelectSurface(&h->bitmap);
  }
  CBitmap* old = m_pBitmap;
  m_pBitmap = bitmap;
  return old;
}

CFont* CDC::SelectObject(CFont* font) {
  if (!m_hDC || !font || !font->Font()) return nullptr;
  m_hDC->dc.SelectFont(*font->Font());
  CFont* old = m_pFont;
  m_pFont = font;
  return old;
}

int CDC::SetBkMode(int mode) { return m_hDC ? m_hDC->dc.SetBkMode(mode) : 0; }
COLORREF CDC::SetBkColor(COLORREF colour) { return m_hDC ? m_hDC->dc.SetBkColor(colour) : CLR_INVALID; }
COLORREF CDC::SetTextColor(COLORREF colour) { return m_hDC ? m_hDC->dc.SetTextColor(colour) : CLR_INVALID; }
UINT CDC::SetTextAlign(UINT align) { return m_hDC ? m_hDC->dc.SetTextAlign(align) : 0; }

int CDC::SelectClipRgn(const CRgn* region) {
  if (!m_hDC) return ERROR;
  return m_hDC->dc.SelectClipRgn(region ? region->Region() : nullptr);
}

POINT CDC::MoveTo(int x, int y) { return m_hDC ? m_hDC->dc.MoveTo(x, y) : POINT{0, 0}; }
BOOL CDC::LineTo(int x, int y) { return m_hDC && m_hDC->dc.LineTo(x, y); }
BOOL CDC::Ellipse(int l, int t, int r, int b) { return m_hDC && m_hDC->dc.Ellipse(l, t, r, b); }
BOOL CDC::Rectangle(int l, int t, int r, int b) { return m_hDC && m_hDC->dc.Rectangle(l, t, r, b); }

void CDC::FillSolidRect(const RECT& rect, COLORREF colour) {
  if (m_hDC) m_hDC->dc.FillRect(rect, gdi::SolidBrush(colour & 0xFFFFFF));
}

COLORREF CDC::SetPixel(int x, int y, COLORREF colour) { return m_hDC ? m_hDC->dc.SetPixel(x, y, colour) : CLR_INVALID; }
COLORREF CDC::GetPixel(int x, int y) const { return m_hDC ? m_hDC->dc.GetPixel(x, y) : CLR_INVALID; }

int CDC::DrawText(const CString& text, LPRECT rect, UINT format) {
  if (!m_hDC || !rect) return 0;
  return m_hDC->dc.DrawText(std::string_view(static_cast<LPCTSTR>(text), size_t(text.GetLength())), rect, format);
}

BOOL CDC::TextOut(int x, int y, const CString& text) {
  return m_hDC && m_hDC->dc.TextOut(x, y, std::string_view(static_cast<LPCTSTR>(text), size_t(text.GetLength())));
}

BOOL CDC::GetTextMetrics(TEXTMETRIC* metrics) const { return m_hDC && metrics && m_hDC->dc.GetTextMetrics(metrics); }

BOOL CDC::FillRgn(const CRgn* region, const CBrush* brush) {
  const gdi::Region* r = region ? region->Region() : nullptr;
  const gdi::Brush* b = brush ? brush->Brush() : nullptr;
  return m_hDC && r && b && m_hDC->dc.FillRgn(*r, *b);
}

BOOL CDC::PaintRgn(const CRgn* region) {
  const gdi::Region* r = region ? region->Region() : nullptr;
  return m_hDC && r && m_hDC->dc.PaintRgn(*r);
}

BOOL CDC::BitBlt(int x, int y, int width, int height, const CDC* source, int sx, int sy, DWORD rop) {
  if (!m_hDC || !source || !source->m_hDC) return FALSE;
  return m_hDC->dc.BitBlt(x, y, width, height, &source->m_hDC->dc, sx, sy, rop);
}
