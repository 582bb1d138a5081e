// The class library's drawing objects over platform/gdi: pens, brushes,
// regions and bitmaps, each a CGdiObject owning a handle; a handle is the
// gdi value it stands for (HPEN__ a gdi::Pen, HRGN__ a gdi::Region ...).
//
// Bitmaps are 32 bits per pixel, as on the screen the layer offers. A bitmap
// selected into a device context is not deleted while it is selected (as
// GDI refuses to): DeleteObject gives FALSE, and a bitmap whose CBitmap is
// destroyed meanwhile is freed when the context lets go of it.
#pragma once
#include "platform/gdi/bitmap.h"
#include "platform/gdi/font.h"
#include "platform/gdi/pen_brush.h"
#include "platform/gdi/region.h"
#include "platform/mfc/object.h"
#include "platform/windef.h"

struct HGDIOBJ__ {
  virtual ~HGDIOBJ__() = default;
};
typedef HGDIOBJ__* HGDIOBJ;

struct HPEN__ : HGDIOBJ__ {
  gdi::Pen pen;
};
struct HBRUSH__ : HGDIOBJ__ {
  gdi::Brush brush;
};
struct HRGN__ : HGDIOBJ__ {
  gdi::Region region;
};
struct HFONT__ : HGDIOBJ__ {
  gdi::Font font;
  bool stock = false;  // GetStockObject's: never deleted
};
struct HBITMAP__ : HGDIOBJ__ {
  gdi::Bitmap bitmap;
  HDC selectedInto = nullptr;  // the memory DC drawing on it
  bool unowned = false;           // its CBitmap is gone: freed once deselected
};
typedef HPEN__* HPEN;
typedef HBRUSH__* HBRUSH;
typedef HRGN__* HRGN;
typedef HBITMAP__* HBITMAP;
typedef HFONT__* HFONT;

// Frees the object; FALSE for NULL, a stock object and a bitmap selected
// into a DC.
BOOL DeleteObject(HGDIOBJ object);
// DEFAULT_GUI_FONT: the layer's default face (宋体, 12-pixel characters);
// NULL for another index.
HGDIOBJ GetStockObject(int index);
// A font's LOGFONT (size at least sizeof(LOGFONT)); returns the bytes
// written, 0 for another object or a smaller size.
int GetObject(HGDIOBJ object, int size, void* out);

// Regions by handle, as the CRgn members below. A new empty region for
// CreateRectRgn(0, 0, 0, 0); CombineRgn's b may be NULL for RGN_COPY.
HRGN CreateRectRgn(int left, int top, int right, int bottom);
int CombineRgn(HRGN dest, HRGN a, HRGN b, int mode);
int OffsetRgn(HRGN rgn, int dx, int dy);
int GetRgnBox(HRGN rgn, LPRECT rect);
BOOL PtInRegion(HRGN rgn, int x, int y);

class CGdiObject : public CObject {
 public:
  CGdiObject() = default;
  ~CGdiObject() override;

  HGDIOBJ m_hObject = nullptr;
  HGDIOBJ GetSafeHandle() const { return m_hObject; }
  operator HGDIOBJ() const { return m_hObject; }

  // Takes ownership of the handle; FALSE when one is held already.
  BOOL Attach(HGDIOBJ object);
  HGDIOBJ Detach();
  // Frees the held object; FALSE when there is none or it cannot go yet.
  BOOL DeleteObject();
};

class CPen : public CGdiObject {
 public:
  CPen() = default;
  CPen(int style, int width, COLORREF colour) { CreatePen(style, width, colour); }
  // PS_ style; width 0 or 1 is one pixel. FALSE when a pen is held already.
  BOOL CreatePen(int style, int width, COLORREF colour);
  operator HPEN() const { return dynamic_cast<HPEN>(m_hObject); }
  // The pen's value; NULL when none is created.
  const gdi::Pen* Pen() const;
};

class CBrush : public CGdiObject {
 public:
  CBrush() = default;
  explicit CBrush(COLORREF colour) { CreateSolidBrush(colour); }
  BOOL CreateSolidBrush(COLORREF colour);
  operator HBRUSH() const { return dynamic_cast<HBRUSH>(m_hObject); }
  const gdi::Brush* Brush() const;
};

class CRgn : public CGdiObject {
 public:
  operator HRGN() const { return dynamic_cast<HRGN>(m_hObject); }

  // The pixels of the polygon under ALTERNATE or WINDING (the fill rule of
  // platform/gdi's polygon_fill.h: a rectangle polygon is exactly its
  // rectangle, right and bottom edges left out). FALSE when a region is held
  // already, for a bad mode or a polygon too large.
  BOOL CreatePolygonRgn(const POINT* points, int count, int fillMode);
  // The pixels left..right-1 x top..bottom-1.
  BOOL CreateRectRgn(int left, int top, int right, int bottom);
  // this := a op b (RGN_AND, RGN_OR, RGN_XOR, RGN_DIFF, RGN_COPY); this
  // must hold a region. The result's kind, or ERROR.
  int CombineRgn(const CRgn* a, const CRgn* b, int mode);
  int OffsetRgn(int dx, int dy);
  // Bounding box, right and bottom exclusive; the region's kind, ERROR
  // without a region.
  int GetRgnBox(LPRECT rect) const;
  BOOL PtInRegion(int x, int y) const;
  BOOL PtInRegion(POINT p) const { return PtInRegion(p.x, p.y); }
  // The region's pixels; NULL when none is created.
  const gdi::Region* Region() const;
};

class CFont : public CGdiObject {
 public:
  operator HFONT() const { return dynamic_cast<HFONT>(m_hObject); }
  // FALSE for NULL or when a font is held already.
  BOOL CreateFontIndirect(const LOGFONT* lf);
  // sizeof(LOGFONT), or 0 without a font.
  int GetLogFont(LOGFONT* lf) const;
  // The font's value; NULL when none is created.
  const gdi::Font* Font() const;
};

class CBitmap : public CGdiObject {
 public:
  operator HBITMAP() const { return dynamic_cast<HBITMAP>(m_hObject); }

  // A black 32-bpp bitmap (the screen's depth, whatever the DC); a zero
  // width or height gives a 1 x 1 bitmap. FALSE for a negative or refused
  // size, or when a bitmap is held already.
  BOOL CreateCompatibleBitmap(const class CDC* dc, int width, int height);
  // Width, height, bytes per row, planes 1, 32 bits per pixel, no bits
  // pointer. 0 without a bitmap, else sizeof(BITMAP).
  int GetBitmap(BITMAP* info) const;
  // The pixels; NULL when none is created.
  gdi::Bitmap* Pixels() const;
};

// The rows start..start+lines-1 (row 0 is the bottom one) of the bitmap as
// a bottom-up DIB of info's width and 24 or 32 bits per pixel (B, G, R[, 0],
// rows padded to 4 bytes). With bits NULL only the header is filled in (the
// bitmap's size, 32 bits, BI_RGB, the image size). Returns the rows copied;
// 0 for a size other than the bitmap's (top-down DIBs are not offered),
// another depth or format.
int GetDIBits(HDC dc, HBITMAP bitmap, UINT start, UINT lines, void* bits, BITMAPINFO* info, UINT usage);
