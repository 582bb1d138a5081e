#include "platform/vcl/graphics.h"

#include <cmath>

namespace {

// What this system shows the system colours in.
struct SystemColour {
  int index;
  COLORREF rgb;
};
const SystemColour kSystemColours[] = {
    {0x00, 0xC8C8C8}, {0x01, 0x000000}, {0x02, 0xD1B499}, {0x03, 0xDBCDBF}, {0x04, 0xF0F0F0},
    {0x05, 0xFFFFFF}, {0x06, 0x646464}, {0x07, 0x000000}, {0x08, 0x000000}, {0x09, 0x000000},
    {0x0D, 0xD77800}, {0x0E, 0xFFFFFF}, {0x0F, 0xF0F0F0}, {0x10, 0xA0A0A0}, {0x11, 0x6D6D6D},
    {0x12, 0x000000}, {0x14, 0xFFFFFF}, {0x15, 0x696969}, {0x16, 0xE3E3E3}, {0x17, 0x000000},
    {0x18, 0xE1FFFF},
    {0x1B, 0xEAD1B9},
};

struct PenStyle {
  TPenStyle style;
  int gdi;
};
const PenStyle kPenStyles[] = {
    {psSolid, PS_SOLID}, {psDash, PS_DASH},   {psDot, PS_DOT},
    {psDashDot, PS_DASHDOT}, {psDashDotDot, PS_DASHDOTDOT}, {psClear, PS_NULL}, {psInsideFrame, PS_INSIDEFRAME},
};

}  // namespace

COLORREF ColorToRGB(TColor colour) {
  if (colour == clNone || colour == clDefault) return 0xFFFFFF;
  if ((uint32_t(colour) & 0xFF000000u) == 0x80000000u) {
    int index = int(uint32_t(colour) & 0xFF);
    for (const SystemColour& s : kSystemColours)
      if (s.index == index) return s.rgb;
    return 0;
  }
  return COLORREF(uint32_t(colour) & 0xFFFFFF);
}

void TGraphicsObject::Changed() {
  if (OnChange) OnChange(this);
}

// ---- TPen ----

void TPen::Assign(TPersistent* source) {
  auto* p = dynamic_cast<TPen*>(source);
  if (!p) return TPersistent::Assign(source);
  colour_ = p->colour_, width_ = p->width_, style_ = p->style_, mode_ = p->mode_;
  Changed();
}

void TPen::SetColor(TColor c) {
  colour_ = c;
  Changed();
}
void TPen::SetWidth(int w) {
  width_ = w < 0 ? 0 : w;
  Changed();
}
void TPen::SetStyle(TPenStyle s) {
  style_ = s;
  Changed();
}
void TPen::SetMode(TPenMode m) {
  mode_ = m;
  Changed();
}

gdi::Pen TPen::ToGdi() const {
  int style = PS_SOLID;
  for (const PenStyle& s : kPenStyles)
    if (s.style == style_) style = s.gdi;
  return gdi::Pen{style, width_, ColorToRGB(colour_)};
}

// ---- TBrush ----

void TBrush::Assign(TPersistent* source) {
  auto* b = dynamic_cast<TBrush*>(source);
  if (!b) return TPersistent::Assign(source);
  colour_ = b->colour_, style_ = b->style_;
  Changed();
}

void TBrush::SetColor(TColor c) {
  colour_ = c;
  if (style_ == bsClear) style_ = bsSolid;
  Changed();
}

void TBrush::SetStyle(TBrushStyle s) {
  style_ = s;
  Changed();
}

gdi::Brush TBrush::ToGdi() const {
  return gdi::Brush{style_ == bsClear ? BS_NULL : BS_SOLID, ColorToRGB(colour_)};
}

// ---- TFont ----

void TFont::Assign(TPersistent* source) {
  auto* f = dynamic_cast<TFont*>(source);
  if (!f) return TPersistent::Assign(source);
  name_ = f->name_, height_ = f->height_, colour_ = f->colour_, style_ = f->style_, charset_ = f->charset_;
  Changed();
}

void TFont::SetName(const AnsiString& n) {
  name_ = n;
  Changed();
}
void TFont::SetHeight(int h) {
  height_ = h;
  Changed();
}
int TFont::GetSize() const { return int(std::lround(-height_ * 72.0 / 96.0)); }
void TFont::SetSize(int points) {
  height_ = -int(std::lround(points * 96.0 / 72.0));
  Changed();
}
void TFont::SetColor(TColor c) {
  colour_ = c;
  Changed();
}
void TFont::SetStyle(const TFontStyles& s) {
  style_ = s;
  Changed();
}
void TFont::SetCharset(TFontCharset c) {
  charset_ = c;
  Changed();
}

gdi::Font TFont::ToGdi() const {
  gdi::Font f;
  f.face = name_;
  f.height = height_;
  f.weight = style_.Contains(fsBold) ? FW_BOLD : FW_NORMAL;
  f.italic = style_.Contains(fsItalic);
  f.underline = style_.Contains(fsUnderline);
  f.strikeOut = style_.Contains(fsStrikeOut);
  f.charSet = charset_;
  return f;
}

QFont TFont::ToQFont() const { return ToGdi().ToQFont(); }

// ---- TCanvas ----

TCanvas::TCanvas(gdi::Surface* surface)
    : pen_(std::make_unique<TPen>()), brush_(std::make_unique<TBrush>()), font_(std::make_unique<TFont>()),
      own_(surface) {}

TCanvas::~TCanvas() = default;

void TCanvas::SetSurface(gdi::Surface* surface) { own_.SelectSurface(surface); }

void TCanvas::SetHandle(gdi::DC* dc) { dc_ = dc ? dc : &own_; }

void TCanvas::SetClipRegion(const QRegion* region) {
  if (!region) {
    own_.SelectClipRgn(nullptr);
    return;
  }
  gdi::Region r(*region);
  own_.SelectClipRgn(&r);
}

gdi::DC* TCanvas::Sync() {
  dc_->SelectPen(pen_->ToGdi());
  gdi::Brush brush = brush_->ToGdi();
  dc_->SelectBrush(brush);
  dc_->SetBkColor(brush.colour);
  dc_->SetBkMode(brush.IsNull() ? TRANSPARENT : OPAQUE);
  gdi::Font font = font_->ToGdi();
  if (font != dc_->GetFont()) dc_->SelectFont(font);
  dc_->SetTextColor(ColorToRGB(font_->GetColor()));
  return dc_;
}

TPoint TCanvas::GetPenPos() const { return TPoint(dc_->GetCurrentPosition()); }

void TCanvas::MoveTo(int x, int y) { dc_->MoveTo(x, y); }
void TCanvas::LineTo(int x, int y) { Sync()->LineTo(x, y); }
void TCanvas::Rectangle(int left, int top, int right, int bottom) { Sync()->Rectangle(left, top, right, bottom); }
void TCanvas::Ellipse(int left, int top, int right, int bottom) { Sync()->Ellipse(left, top, right, bottom); }

void TCanvas::Polyline(const std::vector<TPoint>& points) {
  std::vector<POINT> p(points.begin(), points.end());
  Sync()->Polyline(p.data(), int(p.size()));
}

void TCanvas::Polygon(const std::vector<TPoint>& points) {
  std::vector<POINT> p(points.begin(), points.end());
  Sync()->Polygon(p.data(), int(p.size()));
}

void TCanvas::FillRect(const TRect& r) { Sync()->FillRect(r, brush_->ToGdi()); }
void TCanvas::FrameRect(const TRect& r) { Sync()->FrameRect(r, brush_->ToGdi()); }

void TCanvas::CopyRect(const TRect& dest, TCanvas* source, const TRect& sourceRect) {
  if (!source || copyMode_ != cmSrcCopy) return;
  Sync()->CopyRect(dest, *source->dc_, sourceRect);
}

void TCanvas::Draw(int x, int y, TGraphic* graphic) {
  if (graphic && !graphic->GetEmpty()) graphic->Draw(this, Bounds(x, y, graphic->GetWidth(), graphic->GetHeight()));
}

void TCanvas::StretchDraw(const TRect& dest, TGraphic* graphic) {
  if (graphic && !graphic->GetEmpty()) graphic->Draw(this, dest);
}

void TCanvas::TextOut(int x, int y, const AnsiString& text) { Sync()->TextOut(x, y, text); }

void TCanvas::TextRect(const TRect& r, int x, int y, const AnsiString& text) {
  gdi::DC* dc = Sync();
  gdi::Region old;
  bool hadClip = dc->GetClipRgn(&old);
  gdi::Region box;
  box.SetRect(r);
  gdi::Region clip;
  clip.Combine(hadClip ? old : box, box, RGN_AND);
  dc->SelectClipRgn(&clip);
  if (!brush_->ToGdi().IsNull()) dc->FillRect(r, brush_->ToGdi());
  dc->TextOut(x, y, text);
  dc->SelectClipRgn(hadClip ? &old : nullptr);
}

TPoint TCanvas::TextExtent(const AnsiString& text) {
  SIZE s = Sync()->GetTextExtent(text);
  return TPoint(s.cx, s.cy);
}
int TCanvas::TextWidth(const AnsiString& text) { return TextExtent(text).X; }
int TCanvas::TextHeight(const AnsiString& text) { return TextExtent(text).Y; }

TRect TCanvas::GetClipRect() const {
  gdi::Region clip;
  if (dc_->GetClipRgn(&clip)) {
    RECT box;
    clip.GetBox(&box);
    return box;
  }
  gdi::Surface* s = dc_->GetSurface();
  return s ? TRect(0, 0, s->Size().width(), s->Size().height()) : TRect();
}

TCanvas::PixelRef::operator TColor() const {
  COLORREF c = c_->dc_->GetPixel(x_, y_);
  return c == CLR_INVALID ? TColor(-1) : TColor(c);
}

TCanvas::PixelRef& TCanvas::PixelRef::operator=(TColor colour) {
  c_->dc_->SetPixel(x_, y_, ColorToRGB(colour));
  return *this;
}
