// The memory bitmap a fill draws into and copies to the host window, the
// stroke order pictures and BMP files.
#include <algorithm>
#include <mutex>
#include <new>
#include <string>
#include <vector>

#include "merrodataengine/outline/out_line.h"
#include "platform/fs/files.h"
#include "platform/mfc/wnd.h"

namespace {

// Copy records are kept for the life of the library: a code 9 still waiting
// in a host's queue when its outline goes must not point to freed memory.
// An outline that goes hands its record back (cleared) for the next one.
struct CopyRecords {
  std::mutex mutex;
  std::vector<std::unique_ptr<COutLine::CopyRecord>> all;
  std::vector<COutLine::CopyRecord*> idle;
};

CopyRecords& Records() {
  static CopyRecords records;
  return records;
}

COutLine::CopyRecord* TakeRecord() {
  CopyRecords& r = Records();
  std::lock_guard<std::mutex> lock(r.mutex);
  if (!r.idle.empty()) {
    COutLine::CopyRecord* record = r.idle.back();
    r.idle.pop_back();
    return record;
  }
  try {
    r.all.push_back(std::make_unique<COutLine::CopyRecord>(COutLine::CopyRecord{nullptr, {0, 0, 0, 0}}));
    // Room for every record to come back without an allocation, grown as
    // `all` grows (geometrically), not by one each time.
    if (r.idle.capacity() < r.all.size()) r.idle.reserve(r.all.capacity());
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
  return r.all.back().get();
}

void GiveBack(COutLine::CopyRecord* record) {
  if (!record) return;
  CopyRecords& r = Records();
  std::lock_guard<std::mutex> lock(r.mutex);
  *record = COutLine::CopyRecord{nullptr, {0, 0, 0, 0}};
  r.idle.push_back(record);
}

bool operator!=(const RECT& a, const RECT& b) {
  return a.left != b.left || a.top != b.top || a.right != b.right || a.bottom != b.bottom;
}

void PutLE(std::string& out, uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) out += char((v >> (8 * i)) & 0xFF);
}

// A memory DC with a w x h bitmap of its own selected, filled with a colour.
struct Canvas {
  CDC dc;
  CBitmap bitmap;
  bool ok;
  Canvas(int w, int h, COLORREF fill)
      : ok(dc.CreateCompatibleDC(nullptr) && bitmap.CreateCompatibleBitmap(&dc, w, h) && dc.SelectObject(&bitmap)) {
    if (ok) dc.FillSolidRect(RECT{0, 0, std::max(w, 1), std::max(h, 1)}, fill);
  }
};

}  // namespace

// ---- memory DC -------------------------------------------------------------

int COutLine::On_Init_MemDc() {
  m_pMemDC.reset(new (std::nothrow) CDC);
  m_pMemBitmap.reset(new (std::nothrow) CBitmap);
  if (m_pMemDC && m_pMemBitmap && m_pMemDC->CreateCompatibleDC(nullptr) &&
      m_pMemBitmap->CreateCompatibleBitmap(m_pMemDC.get(), 1, 1) && m_pMemDC->SelectObject(m_pMemBitmap.get())) {
    m_pMemDC->SetBkMode(TRANSPARENT);
  } else {
    m_pMemDC.reset();
    m_pMemBitmap.reset();
  }
  m_rcFrame = RECT{0, 0, 1, 1};
  m_pCopyRecord = TakeRecord();
  return 1;
}

int COutLine::On_UnInit_MemDc() {
  m_pMemDC.reset();  // lets go of the bitmap first
  m_pMemBitmap.reset();
  GiveBack(m_pCopyRecord);
  m_pCopyRecord = nullptr;
  return 1;
}

int COutLine::DrawMemDc(int x, int y, unsigned long colour) {
  if (m_pMemDC) {
    const POINT p = WithOffset(POINT{x, y});
    m_pMemDC->SetPixel(p.x, p.y, colour);
  }
  return 1;
}

void COutLine::On_CopyToDC(CDC* dc) {
  if (!dc || !m_pMemDC) return;
  const RECT f = m_rcFrame;
  dc->BitBlt(f.left, f.top, f.right - f.left, f.bottom - f.top, m_pMemDC.get(), 0, 0, SRCCOPY);
  if (!m_pCopyRecord) return;
  // Written only when it changes: during a fill the host reads it while the
  // next lines are drawn.
  if (m_pCopyRecord->pMemDC != m_pMemDC.get() || m_pCopyRecord->rcFrame != f)
    *m_pCopyRecord = CopyRecord{m_pMemDC.get(), f};
  Post(9, long(reinterpret_cast<intptr_t>(m_pCopyRecord)));
}

void COutLine::ResetMemDC(unsigned long background, int grid, int invalidate) {
  if (invalidate == 1)
    if (CWnd* parent = CWnd::FromHandle(m_hParent)) parent->InvalidateRect(&m_rcFrame, TRUE);
  const POINT corner = Scaled(POINT{m_rcBox.left, m_rcBox.top}), far = Scaled(POINT{m_rcBox.right, m_rcBox.bottom});
  const POINT origin = WithOffset(corner), end = WithOffset(far);
  m_nBoxX = origin.x;
  m_nBoxY = origin.y;
  m_nBoxW = far.x - corner.x;
  m_nBoxH = far.y - corner.y;
  // The bitmap's pixel (x, y) is the window's (x, y): the character lands
  // where it is drawn at this scale and offset, and the bitmap reaches as
  // far as it does (its outline touches the box's far edges too), held to
  // what a bitmap can be.
  const RECT& t = m_rcTarget;
  constexpr LONG kMaxSide = 1 << 15;
  const LONG w = std::clamp<LONG>(std::max<LONG>(t.right - t.left, end.x + 1), 1, kMaxSide);
  const LONG h = std::clamp<LONG>(std::max<LONG>(t.bottom - t.top, end.y + 1), 1, kMaxSide);
  m_rcFrame = RECT{t.left, t.top, t.left + w, t.top + h};
  if (!m_pMemDC || !m_pMemBitmap) return;
  // The bitmap stays the one selected (a host may be reading from the DC);
  // it gets the new size.
  if (gdi::Bitmap* pixels = m_pMemBitmap->Pixels()) pixels->SetSize(w, h);
  m_pMemDC->FillSolidRect(RECT{0, 0, w, h}, background);
  if (grid != 1) return;
  CPen pen(PS_DASHDOT, 1,
           RGB(255 - GetRValue(background), 255 - GetGValue(background), 255 - GetBValue(background)));
  CPen* old = m_pMemDC->SelectObject(&pen);
  CDC& dc = *m_pMemDC;
  const LONG l = t.left, r = t.right, top = t.top, b = t.bottom;
  dc.MoveTo(l, top), dc.LineTo(r, b);
  dc.MoveTo(r - 1, top), dc.LineTo(l - 1, b);
  dc.MoveTo((l + r) / 2, top), dc.LineTo((l + r) / 2, b);
  dc.MoveTo(l, (top + b) / 2), dc.LineTo(r, (top + b) / 2);
  dc.MoveTo(l, top), dc.LineTo(r - 1, top), dc.LineTo(r - 1, b - 1), dc.LineTo(l, b - 1), dc.LineTo(l, top);
  if (old) m_pMemDC->SelectObject(old);
}

// ---- stroke order pictures -------------------------------------------------

void COutLine::PaintStrokes(CDC* dc, unsigned long last, unsigned long colour) {
  for (unsigned long k = 1; k <= last; ++k) DrawStrokeRgn(dc, k, colour);
}

int COutLine::On_Stroke_Order(CString file, int cellHeight, unsigned long background, unsigned long colour) {
  const int strokes = m_nStrokes;
  const LONG boxWidth = m_rcBox.right - m_rcBox.left, boxHeight = m_rcBox.bottom - m_rcBox.top;
  if (strokes < 1 || boxHeight <= 0 || cellHeight <= 0) return 0;
  int idle = 0;
  if (!m_nDoing.compare_exchange_strong(idle, 1)) return 0;  // a fill reads scale and offset
  const double s = double(cellHeight) / boxHeight;
  m_dXScale = m_dYScale = s;
  const int w = int(std::min(boxWidth * s, double(INT32_MAX / 2)));
  const int64_t stripWidth = int64_t(w + 10) * strokes;
  int result = 0;
  if (stripWidth <= INT32_MAX && cellHeight < INT32_MAX - 4) {
    Canvas strip(int(stripWidth), cellHeight + 4, background);
    Canvas cell(w, cellHeight, background);
    // The cells show the box from its corner, whatever offset the outline has.
    const POINT offset = GetOffset(), corner = Scaled(POINT{m_rcBox.left, m_rcBox.top});
    On_Set_Offset(-corner.x, -corner.y);
    for (int i = 1; strip.ok && cell.ok && i <= strokes; ++i) {
      cell.dc.FillSolidRect(RECT{0, 0, w, cellHeight}, background);
      PaintStrokes(&cell.dc, (unsigned long)i, colour);
      strip.dc.BitBlt((i - 1) * (w + 10), 2, w, cellHeight, &cell.dc, 0, 0, SRCCOPY);
    }
    On_Set_Offset(offset.x, offset.y);
    result = strip.ok && cell.ok ? On_Save_bmp(file, &strip.dc, &strip.bitmap) : 0;
  }
  m_nDoing = 0;
  return result;
}

int COutLine::On_Stroke_Offset(CString file, RECT rect, unsigned long background, unsigned long colour) {
  if (m_nStrokes < 1) return 0;
  int idle = 0;
  if (!m_nDoing.compare_exchange_strong(idle, 1)) return 0;
  const int64_t w = int64_t(rect.right) - rect.left + 1, h = int64_t(rect.bottom) - rect.top + 1;
  int result = 0;
  if (w > 0 && h > 0 && w <= INT32_MAX && h <= INT32_MAX) {
    // The box fitted into the rectangle, the rectangle's corner at the
    // bitmap's: the offset does not pile up from call to call.
    const POINT offset = GetOffset();
    On_Set_Offset(0, 0);
    On_Set_Scale(rect);
    On_Set_Offset(m_nOffsetX - rect.left, m_nOffsetY - rect.top);
    Canvas picture(int(w), int(h), background);
    if (picture.ok) {
      PaintStrokes(&picture.dc, 1, colour);
      result = On_Save_bmp(file, &picture.dc, &picture.bitmap);
    }
    On_Set_Offset(offset.x, offset.y);
  }
  m_nDoing = 0;
  return result;
}

int COutLine::On_Save_bmp(CString file, CDC* dc, CBitmap* bitmap) {
  BITMAP bm{};
  if (!bitmap || !bitmap->GetBitmap(&bm) || bm.bmWidth <= 0 || bm.bmHeight <= 0) return 0;
  // Rows as GetDIBits writes them: padded to 4 bytes.
  const uint64_t stride = (uint64_t(bm.bmWidth) * bm.bmBitsPixel + 31) / 32 * 4;
  const uint64_t image = stride * uint64_t(bm.bmHeight);
  if (image > UINT32_MAX - 54) return 0;
  std::vector<BYTE> pixels;
  try {
    pixels.resize(size_t(image));
  } catch (const std::bad_alloc&) {
    return 0;
  }
  BITMAPINFO info{};
  BITMAPINFOHEADER& h = info.bmiHeader;
  h.biSize = sizeof(BITMAPINFOHEADER);
  h.biWidth = bm.bmWidth;
  h.biHeight = bm.bmHeight;
  h.biPlanes = 1;
  h.biBitCount = bm.bmBitsPixel;
  h.biCompression = BI_RGB;
  h.biSizeImage = DWORD(image);
  if (GetDIBits(dc ? dc->m_hDC : nullptr, *bitmap, 0, UINT(bm.bmHeight), pixels.data(), &info, DIB_RGB_COLORS) !=
      bm.bmHeight)
    return 0;
  std::string out = "BM";
  PutLE(out, uint32_t(image + 54), 4);
  PutLE(out, 0, 4);  // two reserved words
  PutLE(out, 54, 4);
  for (uint32_t v : {uint32_t(40), uint32_t(bm.bmWidth), uint32_t(bm.bmHeight)}) PutLE(out, v, 4);
  PutLE(out, 1, 2);
  PutLE(out, bm.bmBitsPixel, 2);
  for (uint32_t v : {uint32_t(BI_RGB), uint32_t(image), 0u, 0u, 0u, 0u}) PutLE(out, v, 4);
  out.append(reinterpret_cast<const char*>(pixels.data()), pixels.size());
  return WriteWholeFile(static_cast<LPCTSTR>(file), out) ? 1 : 0;
}
