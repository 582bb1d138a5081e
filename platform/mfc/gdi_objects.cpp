#include "platform/mfc/gdi_objects.h"

#include <cstring>
#include <new>

#include "platform/gdi/bmp.h"

BOOL DeleteObject(HGDIOBJ object) {
  if (!object) return FALSE;
  if (HBITMAP b = dynamic_cast<HBITMAP>(object); b && b->selectedInto) return FALSE;
  if (HFONT f = dynamic_cast<HFONT>(object); f && f->stock) return FALSE;
  delete object;
  return TRUE;
}

HGDIOBJ GetStockObject(int index) {
  static HFONT__* guiFont = [] {
    auto* f = new HFONT__;
    f->stock = true;
    return f;
  }();
  return index == DEFAULT_GUI_FONT ? guiFont : nullptr;
}

int GetObject(HGDIOBJ object, int size, void* out) {
  HFONT font = dynamic_cast<HFONT>(object);
  if (!font || !out || size < int(sizeof(LOGFONT))) return 0;
  const LOGFONT lf = font->font.ToLogFont();
  memcpy(out, &lf, sizeof lf);
  return int(sizeof lf);
}

// ---- regions by handle ------------------------------------------------------

HRGN CreateRectRgn(int left, int top, int right, int bottom) {
  HRGN rgn = new (std::nothrow) HRGN__;
  if (rgn) rgn->region.SetRect(left, top, right, bottom);
  return rgn;
}

int CombineRgn(HRGN dest, HRGN a, HRGN b, int mode) {
  if (!dest || !a || (!b && mode != RGN_COPY)) return ERROR;
  return dest->region.Combine(a->region, b ? b->region : a->region, mode);
}

int OffsetRgn(HRGN rgn, int dx, int dy) { return rgn ? rgn->region.Offset(dx, dy) : ERROR; }
int GetRgnBox(HRGN rgn, LPRECT rect) { return rgn ? rgn->region.GetBox(rect) : ERROR; }
BOOL PtInRegion(HRGN rgn, int x, int y) { return rgn && rgn->region.Contains(x, y); }

// ---- CGdiObject -------------------------------------------------------------

CGdiObject::~CGdiObject() {
  if (!m_hObject) return;
  if (HBITMAP b = dynamic_cast<HBITMAP>(m_hObject); b && b->selectedInto)
    b->unowned = true;  // the DC frees it when it lets go
  else
    delete m_hObject;
}

BOOL CGdiObject::Attach(HGDIOBJ object) {
  if (m_hObject || !object) return FALSE;
  m_hObject = object;
  return TRUE;
}

HGDIOBJ CGdiObject::Detach() {
  HGDIOBJ h = m_hObject;
  m_hObject = nullptr;
  return h;
}

BOOL CGdiObject::DeleteObject() {
  if (!::DeleteObject(m_hObject)) return FALSE;
  m_hObject = nullptr;
  return TRUE;
}

// ---- pens and brushes -------------------------------------------------------

BOOL CPen::CreatePen(int style, int width, COLORREF colour) {
  if (m_hObject) return FALSE;
  HPEN pen = new (std::nothrow) HPEN__;
  if (!pen) return FALSE;
  pen->pen = gdi::Pen{style, width < 0 ? 0 : width, colour & 0xFFFFFF};
  return Attach(pen);
}

const gdi::Pen* CPen::Pen() const {
  HPEN pen = *this;
  return pen ? &pen->pen : nullptr;
}

BOOL CBrush::CreateSolidBrush(COLORREF colour) {
  if (m_hObject) return FALSE;
  HBRUSH brush = new (std::nothrow) HBRUSH__;
  if (!brush) return FALSE;
  brush->brush = gdi::SolidBrush(colour & 0xFFFFFF);
  return Attach(brush);
}

const gdi::Brush* CBrush::Brush() const {
  HBRUSH brush = *this;
  return brush ? &brush->brush : nullptr;
}

// ---- regions ----------------------------------------------------------------

BOOL CRgn::CreatePolygonRgn(const POINT* points, int count, int fillMode) {
  if (m_hObject) return FALSE;
  HRGN rgn = new (std::nothrow) HRGN__;
  if (!rgn) return FALSE;
  if (!rgn->region.SetPolygon(points, count, fillMode)) {
    delete rgn;
    return FALSE;
  }
  return Attach(rgn);
}

BOOL CRgn::CreateRectRgn(int left, int top, int right, int bottom) {
  if (m_hObject) return FALSE;
  HRGN rgn = new (std::nothrow) HRGN__;
  if (!rgn) return FALSE;
  rgn->region.SetRect(left, top, right, bottom);
  return Attach(rgn);
}

const gdi::Region* CRgn::Region() const {
  HRGN rgn = *this;
  return rgn ? &rgn->region : nullptr;
}

int CRgn::CombineRgn(const CRgn* a, const CRgn* b, int mode) {
  return ::CombineRgn(*this, a ? HRGN(*a) : nullptr, b ? HRGN(*b) : nullptr, mode);
}

int CRgn::OffsetRgn(int dx, int dy) { return ::OffsetRgn(*this, dx, dy); }
int CRgn::GetRgnBox(LPRECT rect) const { return ::GetRgnBox(*this, rect); }
BOOL CRgn::PtInRegion(int x, int y) const { return ::PtInRegion(*this, x, y); }

// ---- fonts ------------------------------------------------------------------

BOOL CFont::CreateFontIndirect(const LOGFONT* lf) {
  if (m_hObject || !lf) return FALSE;
  HFONT font = new (std::nothrow) HFONT__;
  if (!font) return FALSE;
  font->font = gdi::Font::FromLogFont(*lf);
  return Attach(font);
}

int CFont::GetLogFont(LOGFONT* lf) const { return ::GetObject(m_hObject, sizeof(LOGFONT), lf); }

const gdi::Font* CFont::Font() const {
  HFONT font = *this;
  return font ? &font->font : nullptr;
}

// ---- bitmaps ----------------------------------------------------------------

BOOL CBitmap::CreateCompatibleBitmap(const CDC*, int width, int height) {
  if (m_hObject || width < 0 || height < 0) return FALSE;
  if (width == 0 || height == 0) width = height = 1;
  HBITMAP bitmap = new (std::nothrow) HBITMAP__;
  if (!bitmap) return FALSE;
  bitmap->bitmap = gdi::Bitmap(width, height);
  if (bitmap->bitmap.IsEmpty()) {
    delete bitmap;
    return FALSE;
  }
  return Attach(bitmap);
}

gdi::Bitmap* CBitmap::Pixels() const {
  HBITMAP bitmap = *this;
  return bitmap ? &bitmap->bitmap : nullptr;
}

int CBitmap::GetBitmap(BITMAP* info) const {
  const gdi::Bitmap* b = Pixels();
  if (!b || !info) return 0;
  *info = BITMAP{0, b->Width(), b->Height(), LONG(gdi::DibStride(b->Width(), 32)), 1, 32, nullptr};
  return int(sizeof(BITMAP));
}

int GetDIBits(HDC, HBITMAP bitmap, UINT start, UINT lines, void* bits, BITMAPINFO* info, UINT usage) {
  if (!bitmap || !info || usage != DIB_RGB_COLORS) return 0;
  BITMAPINFOHEADER& h = info->bmiHeader;
  const gdi::Bitmap& b = bitmap->bitmap;
  if (!bits) {
    h.biWidth = b.Width();
    h.biHeight = b.Height();
    h.biPlanes = 1;
    h.biBitCount = 32;
    h.biCompression = BI_RGB;
    h.biSizeImage = DWORD(gdi::DibStride(b.Width(), 32) * b.Height());
    return b.Height();
  }
  if (h.biWidth != b.Width() || h.biHeight != b.Height() || h.biCompression != BI_RGB ||
      (h.biBitCount != 24 && h.biBitCount != 32) || start > UINT(INT32_MAX) || lines > UINT(INT32_MAX))
    return 0;
  return gdi::GetDibRows(b, int(start), int(lines), h.biBitCount, bits);
}
