#include "platform/mfc/dc.h"

#include <mutex>
#include <new>
#include <unordered_map>

namespace {

// The CDC of each DC a CDC made, for FromHandle (DCs are used on several
// threads, one DC on one thread at a time).
std::mutex g_ownersMutex;
std::unordered_map<HDC, CDC*> g_owners;

void SetOwner(HDC dc, CDC* owner) {
  std::lock_guard<std::mutex> lock(g_ownersMutex);
  if (owner)
    g_owners[dc] = owner;
  else
    g_owners.erase(dc);
}

}  // namespace

CDC::CDC() : m_penStock(PS_SOLID, 1, RGB(0, 0, 0)), m_brushStock(RGB(255, 255, 255)) {
  const LOGFONT lf = gdi::Font().ToLogFont();
  m_fontStock.CreateFontIndirect(&lf);
  m_pPen = &m_penStock;
  m_pBrush = &m_brushStock;
  m_pFont = &m_fontStock;
}


CDC* CDC::FromHandle(HDC dc) {
  std::lock_guard<std::mutex> lock(g_ownersMutex);
  auto it = g_owners.find(dc);
  return it == g_owners.end() ? nullptr : it->second;
}

CDC::~CDC() { DeleteDC(); }

BOOL CDC::CreateCompatibleDC(const CDC*) {
  if (m_hDC) return FALSE;
  if (!m_bitmapStock.GetSafeHandle() && !m_bitmapStock.CreateCompatibleBitmap(this, 1, 1)) return FALSE;
  m_hDC = new (std::nothrow) gdi::DC;
  if (!m_hDC) return FALSE;
  SetOwner(m_hDC, this);
  m_bMemory = true;
  SelectObject(&m_bitmapStock);
  return TRUE;
}

BOOL CDC::CreateSurfaceDC(std::shared_ptr<gdi::Surface> surface) {
  if (m_hDC || !surface) return FALSE;
  m_hDC = new (std::nothrow) gdi::DC;
  if (!m_hDC) return FALSE;
  SetOwner(m_hDC, this);
  m_surface = std::move(surface);
  m_hDC->SelectSurface(m_surface.get());
  return TRUE;
}

BOOL CDC::DeleteDC() {
  if (!m_hDC) return FALSE;
  LetGoOfBitmap();
  SetOwner(m_hDC, nullptr);
  delete m_hDC;
  m_hDC = nullptr;
  m_bMemory = false;
  m_surface.reset();
  m_pPen = &m_penStock;
  m_pBrush = &m_brushStock;
  m_pFont = &m_fontStock;
  m_pBitmap = nullptr;
  return TRUE;
}

void CDC::LetGoOfBitmap() {
  HBITMAP current = m_hBitmap;
  if (!current) return;
  current->selectedInto = nullptr;
  if (current->unowned) delete current;
  m_hBitmap = nullptr;
  m_hDC->SelectSurface(nullptr);
}

CPen* CDC::SelectObject(CPen* pen) {
  if (!m_hDC || !pen || !pen->Pen()) return nullptr;
  m_hDC->SelectPen(*pen->Pen());
  CPen* old = m_pPen;
  m_pPen = pen;
  return old;
}

CBrush* CDC::SelectObject(CBrush* brush) {
  if (!m_hDC || !brush || !brush->Brush()) return nullptr;
  m_hDC->SelectBrush(*brush->Brush());
  CBrush* old = m_pBrush;
  m_pBrush = brush;
  return old;
}

CBitmap* CDC::SelectObject(CBitmap* bitmap) {
  if (!m_hDC || !m_bMemory || !bitmap) return nullptr;
  HBITMAP h = *bitmap;
  if (!h || (h->selectedInto && h->selectedInto != m_hDC)) return nullptr;
  if (h != m_hBitmap) {
    LetGoOfBitmap();
    h->selectedInto = m_hDC;
    m_hBitmap = h;
    m_hDC->SelectSurface(&h->bitmap);
  }
  CBitmap* old = m_pBitmap;
  m_pBitmap = bitmap;
  return old;
}

CFont* CDC::SelectObject(CFont* font) {
  if (!m_hDC || !font || !font->Font()) return nullptr;
  m_hDC->SelectFont(*font->Font());
  CFont* old = m_pFont;
  m_pFont = font;
  return old;
}

int CDC::SetBkMode(int mode) { return m_hDC ? m_hDC->SetBkMode(mode) : 0; }
COLORREF CDC::SetBkColor(COLORREF colour) { return m_hDC ? m_hDC->SetBkColor(colour) : CLR_INVALID; }
COLORREF CDC::SetTextColor(COLORREF colour) { return m_hDC ? m_hDC->SetTextColor(colour) : CLR_INVALID; }
UINT CDC::SetTextAlign(UINT align) { return m_hDC ? m_hDC->SetTextAlign(align) : 0; }

int CDC::SelectClipRgn(const CRgn* region) {
  if (!m_hDC) return ERROR;
  return m_hDC->SelectClipRgn(region ? region->Region() : nullptr);
}

POINT CDC::MoveTo(int x, int y) { return m_hDC ? m_hDC->MoveTo(x, y) : POINT{0, 0}; }
BOOL CDC::LineTo(int x, int y) { return m_hDC && m_hDC->LineTo(x, y); }
BOOL CDC::Ellipse(int l, int t, int r, int b) { return m_hDC && m_hDC->Ellipse(l, t, r, b); }
BOOL CDC::Rectangle(int l, int t, int r, int b) { return m_hDC && m_hDC->Rectangle(l, t, r, b); }

void CDC::FillSolidRect(const RECT& rect, COLORREF colour) {
  if (m_hDC) m_hDC->FillRect(rect, gdi::SolidBrush(colour & 0xFFFFFF));
}

COLORREF CDC::SetPixel(int x, int y, COLORREF colour) { return m_hDC ? m_hDC->SetPixel(x, y, colour) : CLR_INVALID; }
COLORREF CDC::GetPixel(int x, int y) const { return m_hDC ? m_hDC->GetPixel(x, y) : CLR_INVALID; }

int CDC::DrawText(const CString& text, LPRECT rect, UINT format) {
  if (!m_hDC || !rect) return 0;
  return m_hDC->DrawText(std::string_view(static_cast<LPCTSTR>(text), size_t(text.GetLength())), rect, format);
}

BOOL CDC::TextOut(int x, int y, const CString& text) {
  return m_hDC && m_hDC->TextOut(x, y, std::string_view(static_cast<LPCTSTR>(text), size_t(text.GetLength())));
}

BOOL CDC::GetTextMetrics(TEXTMETRIC* metrics) const { return m_hDC && metrics && m_hDC->GetTextMetrics(metrics); }

BOOL CDC::FillRgn(const CRgn* region, const CBrush* brush) {
  const gdi::Region* r = region ? region->Region() : nullptr;
  const gdi::Brush* b = brush ? brush->Brush() : nullptr;
  return m_hDC && r && b && m_hDC->FillRgn(*r, *b);
}

BOOL CDC::PaintRgn(const CRgn* region) {
  const gdi::Region* r = region ? region->Region() : nullptr;
  return m_hDC && r && m_hDC->PaintRgn(*r);
}

BOOL CDC::BitBlt(int x, int y, int width, int height, const CDC* source, int sx, int sy, DWORD rop) {
  if (!m_hDC || !source || !source->m_hDC) return FALSE;
  return m_hDC->BitBlt(x, y, width, height, source->m_hDC, sx, sy, rop);
}
