// CDC: the class library's device context over platform/gdi: a memory DC
// drawing on a selected bitmap, or a window's DC (CWnd::GetDC) drawing on
// the window's surface, with GDI's conventions (see platform/gdi/dc.h).
//
// SelectObject returns the object selected before, so that it can be put
// back; a new DC starts with its own black pen, white brush, default font
// and (memory DCs) 1 x 1 bitmap. Selected pens and brushes are copied into the DC, so
// they may be deleted while selected. A DC is used by one thread at a time.
#pragma once
#include <memory>
#include <string_view>

#include "platform/gdi/dc.h"
#include "platform/mfc/cstring.h"
#include "platform/mfc/gdi_objects.h"

class CDC : public CObject {
 public:
  CDC();
  ~CDC() override;

  // The layer's device context (windef.h), made and freed by this object.
  HDC m_hDC = nullptr;
  HDC GetSafeHdc() const { return m_hDC; }
  operator HDC() const { return m_hDC; }
  // The CDC that made the handle; NULL for NULL and for a DC no CDC made
  // (a form's canvas).
  static CDC* FromHandle(HDC dc);

  // A memory DC (any DC, or none, is compatible: every bitmap has the
  // screen's 32 bits). FALSE when this object holds a DC already.
  BOOL CreateCompatibleDC(const CDC* dc);
  // A DC drawing on the surface, which it keeps alive.
  BOOL CreateSurfaceDC(std::shared_ptr<gdi::Surface> surface);
  BOOL DeleteDC();

  // NULL, nothing changed, for an object that holds nothing; a bitmap goes
  // into memory DCs only, and into one DC at a time.
  CPen* SelectObject(CPen* pen);
  CBrush* SelectObject(CBrush* brush);
  CBitmap* SelectObject(CBitmap* bitmap);
  CFont* SelectObject(CFont* font);

  int SetBkMode(int mode);
  COLORREF SetBkColor(COLORREF colour);
  COLORREF SetTextColor(COLORREF colour);
  UINT SetTextAlign(UINT align);
  // A copy of the region becomes the clip region (device coordinates);
  // NULL removes it. The new clip region's kind, ERROR without a DC.
  int SelectClipRgn(const CRgn* region);

  POINT MoveTo(int x, int y);
  BOOL LineTo(int x, int y);
  BOOL Ellipse(int left, int top, int right, int bottom);
  BOOL Rectangle(int left, int top, int right, int bottom);
  void FillSolidRect(const RECT& rect, COLORREF colour);
  COLORREF SetPixel(int x, int y, COLORREF colour);
  COLORREF GetPixel(int x, int y) const;
  int DrawText(const CString& text, LPRECT rect, UINT format);
  // GBK text placed at (x, y) by the text alignment, in the selected font.
  BOOL TextOut(int x, int y, const CString& text);
  BOOL GetTextMetrics(TEXTMETRIC* metrics) const;
  // With the DC's brush.
  BOOL PaintRgn(const CRgn* region);
  BOOL FillRgn(const CRgn* region, const CBrush* brush);
  // SRCCOPY only.
  BOOL BitBlt(int x, int y, int width, int height, const CDC* source, int sx, int sy, DWORD rop);

 private:
  void LetGoOfBitmap();

  bool m_bMemory = false;
  HBITMAP m_hBitmap = nullptr;               // selected into a memory DC
  std::shared_ptr<gdi::Surface> m_surface;   // what a window DC draws on

  CPen m_penStock;
  CBrush m_brushStock;
  CBitmap m_bitmapStock;
  CFont m_fontStock;
  CPen* m_pPen;
  CBrush* m_pBrush;
  CBitmap* m_pBitmap = nullptr;
  CFont* m_pFont;
};
