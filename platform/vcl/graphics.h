// Colours, pens, brushes, fonts, canvases, bitmaps and pictures of the form
// library, over the gdi facility. A canvas is a gdi device context on a
// surface: a bitmap's pixels, or a form's surface (forms.h).
#pragma once
#include <QImage>
#include <memory>
#include <string>
#include <vector>

#include "platform/gdi/bitmap.h"
#include "platform/gdi/dc.h"
#include "platform/vcl/classes.h"

// $00BBGGRR, or a system colour ($800000nn, nn = the system colour index).
typedef int32_t TColor;

constexpr TColor clBlack = 0x000000, clMaroon = 0x000080, clGreen = 0x008000, clOlive = 0x008080,
                 clNavy = 0x800000, clPurple = 0x800080, clTeal = 0x808000, clGray = 0x808080,
                 clSilver = 0xC0C0C0, clRed = 0x0000FF, clLime = 0x00FF00, clYellow = 0x00FFFF,
                 clBlue = 0xFF0000, clFuchsia = 0xFF00FF, clAqua = 0xFFFF00, clWhite = 0xFFFFFF,
                 clLtGray = 0xC0C0C0, clDkGray = 0x808080, clMoneyGreen = 0xC0DCC0, clSkyBlue = 0xF0CAA6,
                 clCream = 0xF0FBFF, clMedGray = 0xA4A0A0;
constexpr TColor clNone = 0x1FFFFFFF, clDefault = 0x20000000;
// System colours; ColorToRGB gives the values this system shows them in.
constexpr TColor clScrollBar = TColor(0x80000000), clBackground = TColor(0x80000001),
                 clActiveCaption = TColor(0x80000002), clInactiveCaption = TColor(0x80000003),
                 clMenu = TColor(0x80000004), clWindow = TColor(0x80000005), clWindowFrame = TColor(0x80000006),
                 clMenuText = TColor(0x80000007), clWindowText = TColor(0x80000008),
                 clCaptionText = TColor(0x80000009), clHighlight = TColor(0x8000000D),
                 clHighlightText = TColor(0x8000000E), clBtnFace = TColor(0x8000000F),
                 clBtnShadow = TColor(0x80000010), clGrayText = TColor(0x80000011),
                 clBtnText = TColor(0x80000012), clBtnHighlight = TColor(0x80000014),
                 cl3DDkShadow = TColor(0x80000015), cl3DLight = TColor(0x80000016), clInfoText = TColor(0x80000017),
                 clInfoBk = TColor(0x80000018);
constexpr TColor clGradientActiveCaption = TColor(0x8000001B);

// The $00BBGGRR value of a colour (system colours resolved; clNone and
// clDefault give white).
COLORREF ColorToRGB(TColor colour);

class TCanvas;

// Pens, brushes and fonts call OnChange after every change.
class TGraphicsObject : public TPersistent {
 public:
  TNotifyEvent OnChange;

 protected:
  void Changed();
};

enum TPenStyle { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame };
enum TPenMode { pmBlack, pmWhite, pmNop, pmNot, pmCopy, pmNotCopy, pmMergePenNot, pmMaskPenNot, pmMergeNotPen,
                pmMaskNotPen, pmMerge, pmNotMerge, pmMask, pmNotMask, pmXor, pmNotXor };

class TPen : public TGraphicsObject {
 public:
  TPen() = default;
  void Assign(TPersistent* source) override;

  TColor GetColor() const { return colour_; }
  void SetColor(TColor c);
  int GetWidth() const { return width_; }
  void SetWidth(int w);
  TPenStyle GetStyle() const { return style_; }
  void SetStyle(TPenStyle s);
  // Only pmCopy draws; the others are kept but draw as pmCopy (no code of
  // the system uses raster modes).
  TPenMode GetMode() const { return mode_; }
  void SetMode(TPenMode m);

  VCL_PROPERTY(TPen, TColor, Color);
  VCL_PROPERTY(TPen, int, Width);
  VCL_PROPERTY(TPen, TPenStyle, Style);
  VCL_PROPERTY(TPen, TPenMode, Mode);

  gdi::Pen ToGdi() const;

 private:
  TColor colour_ = clBlack;
  int width_ = 1;
  TPenStyle style_ = psSolid;
  TPenMode mode_ = pmCopy;
};

enum TBrushStyle { bsSolid, bsClear, bsHorizontal, bsVertical, bsFDiagonal, bsBDiagonal, bsCross, bsDiagCross };

class TBrush : public TGraphicsObject {
 public:
  TBrush() = default;
  void Assign(TPersistent* source) override;

  TColor GetColor() const { return colour_; }
  // A clear brush becomes solid, as the library does.
  void SetColor(TColor c);
  // Hatched styles fill solid.
  TBrushStyle GetStyle() const { return style_; }
  void SetStyle(TBrushStyle s);

  VCL_PROPERTY(TBrush, TColor, Color);
  VCL_PROPERTY(TBrush, TBrushStyle, Style);

  gdi::Brush ToGdi() const;

 private:
  TColor colour_ = clWhite;
  TBrushStyle style_ = bsSolid;
};

enum TFontStyle { fsBold, fsItalic, fsUnderline, fsStrikeOut };
typedef vcl::EnumSet<TFontStyle> TFontStyles;
typedef BYTE TFontCharset;

class TFont : public TGraphicsObject {
 public:
  TFont() = default;
  void Assign(TPersistent* source) override;

  AnsiString GetName() const { return name_; }
  void SetName(const AnsiString& n);
  // Negative: character height in pixels; positive: cell height.
  int GetHeight() const { return height_; }
  void SetHeight(int h);
  // Points at 96 pixels per inch: Size = -Height * 72 / 96.
  int GetSize() const;
  void SetSize(int points);
  TColor GetColor() const { return colour_; }
  void SetColor(TColor c);
  TFontStyles GetStyle() const { return style_; }
  void SetStyle(const TFontStyles& s);
  TFontCharset GetCharset() const { return charset_; }
  void SetCharset(TFontCharset c);

  VCL_PROPERTY(TFont, AnsiString, Name);
  VCL_PROPERTY(TFont, int, Height);
  VCL_PROPERTY(TFont, int, Size);
  VCL_PROPERTY(TFont, TColor, Color);
  VCL_PROPERTY(TFont, TFontStyles, Style);
  VCL_PROPERTY(TFont, TFontCharset, Charset);

  gdi::Font ToGdi() const;
  // The Qt font (needs a QGuiApplication).
  QFont ToQFont() const;

 private:
  AnsiString name_ = "MS Sans Serif";
  int height_ = -11;
  TColor colour_ = clWindowText;
  TFontStyles style_;
  TFontCharset charset_ = DEFAULT_CHARSET;
};

class TGraphic;

enum : DWORD { cmSrcCopy = SRCCOPY };
typedef DWORD TCopyMode;

// Drawing on a surface. Every call takes the current Pen, Brush and Font;
// a clear brush draws text and the gaps of dotted lines transparently.
class TCanvas : public TPersistent {
 public:
  explicit TCanvas(gdi::Surface* surface = nullptr);
  ~TCanvas() override;

  void MoveTo(int x, int y);
  void LineTo(int x, int y);
  void Rectangle(int left, int top, int right, int bottom);
  void Rectangle(const TRect& r) { Rectangle(r.Left, r.Top, r.Right, r.Bottom); }
  void Ellipse(int left, int top, int right, int bottom);
  void Ellipse(const TRect& r) { Ellipse(r.Left, r.Top, r.Right, r.Bottom); }
  void Polyline(const std::vector<TPoint>& points);
  void Polygon(const std::vector<TPoint>& points);
  void FillRect(const TRect& r);
  void FrameRect(const TRect& r);
  // Equal sizes copy 1:1, different sizes stretch (nearest pixel); both
  // rectangles inverted the same way copy the area they span.
  void CopyRect(const TRect& dest, TCanvas* source, const TRect& sourceRect);
  void Draw(int x, int y, TGraphic* graphic);
  void StretchDraw(const TRect& dest, TGraphic* graphic);
  void TextOut(int x, int y, const AnsiString& text);
  void TextRect(const TRect& r, int x, int y, const AnsiString& text);
  int TextWidth(const AnsiString& text);
  int TextHeight(const AnsiString& text);
  TPoint TextExtent(const AnsiString& text);  // X = width, Y = height

  TPen* GetPen() const { return pen_.get(); }
  void SetPen(TPen* p) { pen_->Assign(p); }
  TBrush* GetBrush() const { return brush_.get(); }
  void SetBrush(TBrush* b) { brush_->Assign(b); }
  TFont* GetFont() const { return font_.get(); }
  void SetFont(TFont* f) { font_->Assign(f); }
  TPoint GetPenPos() const;
  void SetPenPos(const TPoint& p) { MoveTo(p.X, p.Y); }
  // The device context drawn through: the canvas's own, or one handed in
  // (a screen DC); nullptr hands back the canvas's own.
  gdi::DC* GetHandle() const { return dc_; }
  void SetHandle(gdi::DC* dc);
  TCopyMode GetCopyMode() const { return copyMode_; }
  void SetCopyMode(TCopyMode m) { copyMode_ = m; }
  // The box of the clip region while painting, else the whole surface.
  TRect GetClipRect() const;
  int GetTextFlags() const { return textFlags_; }
  void SetTextFlags(int f) { textFlags_ = f; }

  VCL_PROPERTY(TCanvas, TPen*, Pen);
  VCL_PROPERTY(TCanvas, TBrush*, Brush);
  VCL_PROPERTY(TCanvas, TFont*, Font);
  VCL_PROPERTY(TCanvas, TPoint, PenPos);
  VCL_PROPERTY(TCanvas, gdi::DC*, Handle);
  VCL_PROPERTY(TCanvas, TCopyMode, CopyMode);
  VCL_READONLY(TCanvas, TRect, ClipRect);
  VCL_PROPERTY(TCanvas, int, TextFlags);

  // Canvas->Pixels[x][y], read and written.
  class PixelRef {
   public:
    PixelRef(TCanvas* c, int x, int y) : c_(c), x_(x), y_(y) {}
    operator TColor() const;
    PixelRef& operator=(TColor colour);

   private:
    TCanvas* c_;
    int x_, y_;
  };
  class PixelColumn {
   public:
    PixelColumn(TCanvas* c, int x) : c_(c), x_(x) {}
    PixelRef operator[](int y) const { return PixelRef(c_, x_, y); }

   private:
    TCanvas* c_;
    int x_;
  };
  class PixelGrid {
   public:
    explicit PixelGrid(TCanvas* c) : c_(c) {}
    PixelColumn operator[](int x) const { return PixelColumn(c_, x); }

   private:
    TCanvas* c_;
  };
  PixelGrid Pixels{this};

  // For the owners of canvases: the surface drawn on, and the clip region
  // (device coordinates; nullptr: none).
  void SetSurface(gdi::Surface* surface);
  gdi::Surface* Surface() const { return own_.GetSurface(); }
  void SetClipRegion(const QRegion* region);

 private:
  gdi::DC* Sync();

  std::unique_ptr<TPen> pen_;
  std::unique_ptr<TBrush> brush_;
  std::unique_ptr<TFont> font_;
  gdi::DC own_;
  gdi::DC* dc_ = &own_;
  TCopyMode copyMode_ = cmSrcCopy;
  int textFlags_ = 0;
};

// ---- pictures ----

class EInvalidGraphic : public Exception {
  using Exception::Exception;
};

class TGraphic : public TPersistent {
 public:
  virtual int GetWidth() const = 0;
  virtual int GetHeight() const = 0;
  virtual void SetWidth(int w) = 0;
  virtual void SetHeight(int h) = 0;
  virtual bool GetEmpty() const { return GetWidth() == 0 || GetHeight() == 0; }
  // The picture drawn into the rectangle (stretched to it).
  virtual void Draw(TCanvas* canvas, const TRect& rect) = 0;
  virtual void LoadFromFile(const AnsiString& fileName) = 0;
  virtual void SaveToFile(const AnsiString& fileName) = 0;
  virtual void LoadFromStream(TStream* stream) = 0;
  virtual void SaveToStream(TStream* stream) = 0;
  // The picture's pixels (a null image when empty).
  virtual QImage ToImage() const = 0;

  VCL_PROPERTY(TGraphic, int, Width);
  VCL_PROPERTY(TGraphic, int, Height);
  VCL_READONLY(TGraphic, bool, Empty);

  TNotifyEvent OnChange;

 protected:
  void Changed();
};

enum TPixelFormat { pfDevice, pf1bit, pf4bit, pf8bit, pf15bit, pf16bit, pf24bit, pf32bit, pfCustom };

// A bitmap in client memory; its canvas draws on it. Assign makes a deep
// copy (also of a JPEG picture, decoded, or of a picture's graphic) and
// keeps this bitmap's own canvas, with its TextFlags.
class TBitmap : public TGraphic {
 public:
  TBitmap();
  ~TBitmap() override;

  void Assign(TPersistent* source) override;
  // A size with a zero side keeps the other side for later.
  int GetWidth() const override { return bitmap_.IsEmpty() ? width_ : bitmap_.Width(); }
  int GetHeight() const override { return bitmap_.IsEmpty() ? height_ : bitmap_.Height(); }
  // The top-left content is kept; new pixels are white.
  void SetWidth(int w) override;
  void SetHeight(int h) override;
  void SetSize(int w, int h);
  void Draw(TCanvas* canvas, const TRect& rect) override;
  // BMP by content, whatever the file's extension. EFOpenError when the
  // file cannot be read, EInvalidGraphic "Bitmap image is not valid" when
  // it holds no BMP the layer reads.
  void LoadFromFile(const AnsiString& fileName) override;
  // A BMP of the pixel format's depth (24 bits for pf24bit, else 32),
  // through a temporary file; EFCreateError on failure.
  void SaveToFile(const AnsiString& fileName) override;
  // A complete BMP file image at the stream's position.
  void LoadFromStream(TStream* stream) override;
  void SaveToStream(TStream* stream) override;
  QImage ToImage() const override { return bitmap_.Image(); }

  TCanvas* GetCanvas() const;
  TPixelFormat GetPixelFormat() const { return pixelFormat_; }
  void SetPixelFormat(TPixelFormat f) { pixelFormat_ = f; }
  VCL_READONLY(TBitmap, TCanvas*, Canvas);
  VCL_PROPERTY(TBitmap, TPixelFormat, PixelFormat);

  gdi::Bitmap& Pixels() { return bitmap_; }
  const gdi::Bitmap& Pixels() const { return bitmap_; }
  void SetImage(const QImage& image);

 private:
  int BitsPerPixel() const { return pixelFormat_ == pf24bit ? 24 : 32; }

  gdi::Bitmap bitmap_;
  int width_ = 0, height_ = 0;  // asked for while a side is 0
  mutable std::unique_ptr<TCanvas> canvas_;
  TPixelFormat pixelFormat_ = pfDevice;
};

// A picture: a bitmap, a JPEG picture, or nothing. LoadFromFile decides by
// content: BMP, JPEG, PNG or GIF (PNG and GIF become bitmaps).
class TPicture : public TPersistent {
 public:
  TPicture();
  ~TPicture() override;

  void Assign(TPersistent* source) override;
  void LoadFromFile(const AnsiString& fileName);
  void SaveToFile(const AnsiString& fileName);

  TGraphic* GetGraphic() const { return graphic_.get(); }
  // A copy of the graphic, or none for nullptr.
  void SetGraphic(TGraphic* g);
  // The graphic as a bitmap; a picture holding something else (or nothing)
  // gets a new empty bitmap first.
  TBitmap* GetBitmap() const;
  void SetBitmap(TBitmap* b) { SetGraphic(b); }
  int GetWidth() const { return graphic_ ? graphic_->GetWidth() : 0; }
  int GetHeight() const { return graphic_ ? graphic_->GetHeight() : 0; }

  VCL_PROPERTY(TPicture, TGraphic*, Graphic);
  VCL_PROPERTY(TPicture, TBitmap*, Bitmap);
  VCL_READONLY(TPicture, int, Width);
  VCL_READONLY(TPicture, int, Height);

  TNotifyEvent OnChange;

 private:
  void Take(std::unique_ptr<TGraphic> g) const;
  void Changed() const;

  mutable std::unique_ptr<TGraphic> graphic_;
};
