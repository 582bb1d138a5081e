// A device context: draws on a Surface (a Bitmap, a window's surface) with
// GDI's conventions. Right and bottom edges of rectangles are exclusive;
// LineTo leaves out its end pixel; a rectangle or ellipse is drawn inside
// its box, corners normalised when given inverted; everything is clipped to
// the surface and the clip region, so no coordinate can make it crash.
// Work is proportional to what an operation touches, not to the surface.
#pragma once
#include <QRegion>
#include <optional>
#include <string_view>

#include "platform/gdi/font.h"
#include "platform/gdi/pen_brush.h"
#include "platform/gdi/region.h"
#include "platform/gdi/surface.h"
#include "platform/windef.h"

namespace gdi {

class DC {
 public:
  // A DC with GDI's initial state: black one-pixel pen, white brush, black
  // text, white OPAQUE background, position (0, 0), no clip region.
  explicit DC(Surface* surface = nullptr) : surface_(surface) {}

  // The surface drawn on (a DC without one draws nothing). Returns the
  // previous one.
  Surface* SelectSurface(Surface* surface);
  Surface* GetSurface() const { return surface_; }

  // Selected objects are copies; each call returns the previous one.
  Pen SelectPen(const Pen& pen);
  Brush SelectBrush(const Brush& brush);
  Font SelectFont(const Font& font);
  const Pen& GetPen() const { return pen_; }
  const Brush& GetBrush() const { return brush_; }
  const Font& GetFont() const { return font_; }

  COLORREF SetTextColor(COLORREF colour);
  COLORREF SetBkColor(COLORREF colour);
  int SetBkMode(int mode);        // OPAQUE or TRANSPARENT; 0 for another value
  UINT SetTextAlign(UINT align);  // TA_ flags
  int SetPolyFillMode(int mode);  // ALTERNATE or WINDING; 0 for another value
  COLORREF GetTextColor() const { return textColour_; }
  COLORREF GetBkColor() const { return bkColour_; }
  int GetBkMode() const { return bkMode_; }
  UINT GetTextAlign() const { return textAlign_; }
  int GetPolyFillMode() const { return polyFillMode_; }

  // A copy of the region becomes the clip region (device coordinates);
  // nullptr removes it. Returns the kind of the new clip region.
  int SelectClipRgn(const Region* region);
  // False when no clip region is selected.
  bool GetClipRgn(Region* region) const;

  POINT MoveTo(int x, int y);  // returns the previous position
  POINT GetCurrentPosition() const { return pos_; }
  // From the current position up to, not including, (x, y); moves there.
  BOOL LineTo(int x, int y);
  // Lines through the points, the last point left out; position unchanged.
  BOOL Polyline(const POINT* points, int count);
  // The polygon filled with the brush (same pixels as a polygon region under
  // the fill mode) and outlined with the pen.
  BOOL Polygon(const POINT* points, int count);
  BOOL Rectangle(int left, int top, int right, int bottom);
  BOOL Ellipse(int left, int top, int right, int bottom);
  // Fills left..right-1 x top..bottom-1 (normalised); a clear brush fills
  // nothing.
  BOOL FillRect(const RECT& rect, const Brush& brush);
  // The one-pixel border of the rectangle, in the brush.
  BOOL FrameRect(const RECT& rect, const Brush& brush);
  // Returns the colour set, or CLR_INVALID when the pixel is not drawable.
  COLORREF SetPixel(int x, int y, COLORREF colour);
  // What the surface shows at the pixel; CLR_INVALID outside it or the clip.
  COLORREF GetPixel(int x, int y) const;

  BOOL PaintRgn(const Region& region);
  BOOL FillRgn(const Region& region, const Brush& brush);
  // The region's pixels within width / height of its edge, in the brush.
  BOOL FrameRgn(const Region& region, const Brush& brush, int width, int height);

  // Only SRCCOPY is offered; another raster operation is refused (FALSE).
  // The source is read through its surface (a window answers with what it
  // shows); the part of the source rectangle outside the source surface
  // copies nothing.
  BOOL BitBlt(int x, int y, int width, int height, const DC* source, int sx, int sy, DWORD rop);
  // Nearest-pixel scaling. A negative extent spans the pixels just before
  // its origin; when a destination extent and its source extent differ in
  // sign the picture is mirrored along that axis. An empty extent copies
  // nothing.
  BOOL StretchBlt(int x, int y, int width, int height, const DC* source, int sx, int sy, int sw, int sh,
                  DWORD rop);
  // The form library's copy: rectangles as (left, top, right, bottom); equal
  // sizes copy 1:1, others stretch; both rectangles inverted the same way
  // copy the area they span; an empty rectangle copies nothing.
  BOOL CopyRect(const RECT& dest, const DC& source, const RECT& sourceRect);

  // GBK text at (x, y) (or at the current position with TA_UPDATECP),
  // placed by the text alignment; OPAQUE fills the text's cell with the
  // background colour first. FALSE without a QGuiApplication.
  BOOL TextOut(int x, int y, std::string_view text);
  // GBK text formatted in the rectangle with DT_ flags; returns the text's
  // height (0 on failure). DT_CALCRECT only measures, setting rect's right
  // and bottom.
  int DrawText(std::string_view text, RECT* rect, UINT format);
  SIZE GetTextExtent(std::string_view text) const;
  BOOL GetTextMetrics(TEXTMETRICA* metrics) const;

 private:
  template <class Draw>
  void Paint(const QRect& area, Draw draw);
  QRect VisibleBox(const QRect& area) const;
  template <class Fill>
  void ForEachVisibleRect(const QRect& area, Fill fill) const;
  bool Visible(int x, int y) const;
  void FillPixels(QImage& image, const QRect& area, COLORREF colour) const;
  void FillRegionPixels(const QRegion& pixels, COLORREF colour);
  // One-pixel lines through the points (closed: back to the first); the
  // dash phase starts at and returns through `phase`.
  void ThinLines(const POINT* points, int count, bool closed, int64_t* phase);
  void WideLines(const POINT* points, int count, bool closed);
  void Outline(const POINT* points, int count, bool closed, int64_t* phase);
  BOOL Blit(QRect dest, const Surface& source, QRect sourceRect, bool mirrorX, bool mirrorY);

  Surface* surface_ = nullptr;
  Pen pen_;
  Brush brush_;
  Font font_;
  COLORREF textColour_ = RGB(0, 0, 0);
  COLORREF bkColour_ = RGB(255, 255, 255);
  int bkMode_ = OPAQUE;
  UINT textAlign_ = TA_LEFT | TA_TOP;
  int polyFillMode_ = ALTERNATE;
  POINT pos_{0, 0};
  int64_t dashPhase_ = 0;
  std::optional<QRegion> clip_;
};

}  // namespace gdi
