// Speed buttons (graphic controls, never focused) and bitmap buttons.
#pragma once
#include <memory>

#include "platform/vcl/stdctrls.h"

enum TButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };

// Draws its glyph (the glyph's bottom-left pixel colour is transparent)
// and caption; a flat button draws no face, so what lies beneath shows
// through. Buttons of one GroupIndex on one parent are radio buttons: the
// one pressed stays Down; with AllowAllUp a second press lets it up.
class TSpeedButton : public TGraphicControl {
 public:
  explicit TSpeedButton(TComponent* owner);

  bool GetFlat() const { return flat_; }
  void SetFlat(bool v) { flat_ = v, update(); }
  TBitmap* GetGlyph() const { return glyph_.get(); }
  void SetGlyph(TBitmap* b) { glyph_->Assign(b); }
  int GetNumGlyphs() const { return numGlyphs_; }
  void SetNumGlyphs(int n) { numGlyphs_ = std::max(1, std::min(4, n)), update(); }
  int GetGroupIndex() const { return groupIndex_; }
  void SetGroupIndex(int g) { groupIndex_ = g; }
  bool GetDown() const { return down_; }
  void SetDown(bool v);
  bool GetAllowAllUp() const { return allowAllUp_; }
  void SetAllowAllUp(bool v) { allowAllUp_ = v; }
  TButtonLayout GetLayout() const { return layout_; }
  void SetLayout(TButtonLayout l) { layout_ = l, update(); }
  int GetSpacing() const { return spacing_; }
  void SetSpacing(int s) { spacing_ = s, update(); }
  int GetMargin() const { return margin_; }
  void SetMargin(int m) { margin_ = m, update(); }

  VCL_PROPERTY(TSpeedButton, bool, Flat);
  VCL_PROPERTY(TSpeedButton, TBitmap*, Glyph);
  VCL_PROPERTY(TSpeedButton, int, NumGlyphs);
  VCL_PROPERTY(TSpeedButton, int, GroupIndex);
  VCL_PROPERTY(TSpeedButton, bool, Down);
  VCL_PROPERTY(TSpeedButton, bool, AllowAllUp);
  VCL_PROPERTY(TSpeedButton, TButtonLayout, Layout);
  VCL_PROPERTY(TSpeedButton, int, Spacing);
  VCL_PROPERTY(TSpeedButton, int, Margin);

  // Presses the button as a click does.
  void Click() override;

 protected:
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseMove(TShiftState shift, int x, int y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
  void paintEvent(QPaintEvent* e) override;
  void enterEvent(QEnterEvent* e) override;
  void leaveEvent(QEvent* e) override;

 private:
  std::unique_ptr<TBitmap> glyph_;
  bool flat_ = false;
  int numGlyphs_ = 1;
  int groupIndex_ = 0;
  bool down_ = false;
  bool allowAllUp_ = false;
  TButtonLayout layout_ = blGlyphLeft;
  int spacing_ = 4;
  int margin_ = -1;
  bool pressing_ = false;  // the left button is held on it
  bool inside_ = false;    // the pointer is over it
};

enum TBitBtnKind { bkCustom, bkOK, bkCancel, bkHelp, bkYes, bkNo, bkClose, bkAbort, bkRetry, bkIgnore, bkAll };

// A push button with a glyph. Kind gives the caption and modal result of
// the stock buttons (bkClose closes the form).
class TBitBtn : public TButton {
 public:
  explicit TBitBtn(TComponent* owner);

  TBitmap* GetGlyph() const { return glyph_.get(); }
  void SetGlyph(TBitmap* b) { glyph_->Assign(b); }
  TBitBtnKind GetKind() const { return kind_; }
  void SetKind(TBitBtnKind k);
  int GetNumGlyphs() const { return numGlyphs_; }
  void SetNumGlyphs(int n) { numGlyphs_ = std::max(1, std::min(4, n)), update(); }

  VCL_PROPERTY(TBitBtn, TBitmap*, Glyph);
  VCL_PROPERTY(TBitBtn, TBitBtnKind, Kind);
  VCL_PROPERTY(TBitBtn, int, NumGlyphs);

  void Click() override;

 protected:
  void PaintContent(QPainter& p, const QRect& r) override;

 private:
  std::unique_ptr<TBitmap> glyph_;
  TBitBtnKind kind_ = bkCustom;
  int numGlyphs_ = 1;
};

namespace vcl {
// The glyph's first image with its bottom-left pixel colour made
// transparent (the library's glyph convention).
QImage GlyphImage(TBitmap* glyph, int numGlyphs);
}  // namespace vcl
