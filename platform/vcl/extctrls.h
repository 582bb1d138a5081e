// Panels, images and timers.
#pragma once
#include <QTimer>
#include <memory>

#include "platform/vcl/controls.h"

enum TBevelCut { bvNone, bvLowered, bvRaised, bvSpace };

// A window whose window text is its Caption, readable by other processes
// (a native X child window); the caption is drawn centred in the font
// colour inside the bevels.
class TPanel : public TWinControl {
 public:
  explicit TPanel(TComponent* owner);

  HWND GetHandle() const override;
  TBevelCut GetBevelOuter() const { return bevelOuter_; }
  void SetBevelOuter(TBevelCut b) { bevelOuter_ = b, Relayout(); }
  TBevelCut GetBevelInner() const { return bevelInner_; }
  void SetBevelInner(TBevelCut b) { bevelInner_ = b, Relayout(); }
  int GetBevelWidth() const { return bevelWidth_; }
  void SetBevelWidth(int w) { bevelWidth_ = std::max(1, w), Relayout(); }
  int GetBorderWidth() const { return borderWidth_; }
  void SetBorderWidth(int w) { borderWidth_ = std::max(0, w), Relayout(); }
  TBorderStyle GetBorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TBorderStyle s) { borderStyle_ = s, Relayout(); }
  TAlignment GetAlignment() const { return alignment_; }
  void SetAlignment(TAlignment a) { alignment_ = a, update(); }

  VCL_PROPERTY(TPanel, TBevelCut, BevelOuter);
  VCL_PROPERTY(TPanel, TBevelCut, BevelInner);
  VCL_PROPERTY(TPanel, int, BevelWidth);
  VCL_PROPERTY(TPanel, int, BorderWidth);
  VCL_PROPERTY(TPanel, TBorderStyle, BorderStyle);
  VCL_PROPERTY(TPanel, TAlignment, Alignment);

 protected:
  TRect AlignRect() const override;
  void TextChanged() override;
  void paintEvent(QPaintEvent* e) override;
  void showEvent(QShowEvent* e) override;

 private:
  void Relayout();
  void Publish() const;

  TBevelCut bevelOuter_ = bvRaised;
  TBevelCut bevelInner_ = bvNone;
  int bevelWidth_ = 1;
  int borderWidth_ = 0;
  TBorderStyle borderStyle_ = bsNone;
  TAlignment alignment_ = taCenter;
  mutable bool published_ = false;
};

// Shows its picture at natural size from its top-left corner (or
// stretched / centred when asked). Canvas is the picture's bitmap; a
// picture-less image gets a bitmap of its size at the first use, which
// keeps that size when the image is resized later.
class TImage : public TGraphicControl {
 public:
  explicit TImage(TComponent* owner);
  ~TImage() override;

  TPicture* GetPicture() const { return picture_.get(); }
  void SetPicture(TPicture* p) { picture_->Assign(p); }
  // EInvalidOperation "Can only modify an image if it contains a bitmap"
  // for a picture holding another kind of graphic.
  TCanvas* GetCanvas() const;
  bool GetStretch() const { return stretch_; }
  void SetStretch(bool v) { stretch_ = v, update(); }
  bool GetCenter() const { return center_; }
  void SetCenter(bool v) { center_ = v, update(); }
  bool GetTransparent() const { return transparent_; }
  void SetTransparent(bool v) { transparent_ = v, update(); }
  bool GetAutoSize() const { return autoSize_; }
  void SetAutoSize(bool v);

  VCL_PROPERTY(TImage, TPicture*, Picture);
  VCL_READONLY(TImage, TCanvas*, Canvas);
  VCL_PROPERTY(TImage, bool, Stretch);
  VCL_PROPERTY(TImage, bool, Center);
  VCL_PROPERTY(TImage, bool, Transparent);
  VCL_PROPERTY(TImage, bool, AutoSize);

 protected:
  void paintEvent(QPaintEvent* e) override;

 private:
  void PictureChanged();

  std::unique_ptr<TPicture> picture_;
  bool stretch_ = false;
  bool center_ = false;
  bool transparent_ = false;
  bool autoSize_ = false;
};

// OnTimer every Interval milliseconds while Enabled, on the GUI thread;
// it ticks inside modal loops and message boxes too.
class TTimer : public TComponent {
 public:
  explicit TTimer(TComponent* owner);

  bool GetEnabled() const { return enabled_; }
  void SetEnabled(bool v) { enabled_ = v, Update(); }
  UINT GetInterval() const { return interval_; }
  void SetInterval(UINT ms) { interval_ = ms, Update(); }
  TNotifyEvent GetOnTimer() const { return onTimer_; }
  void SetOnTimer(const TNotifyEvent& e) { onTimer_ = e, Update(); }

  VCL_PROPERTY(TTimer, bool, Enabled);
  VCL_PROPERTY(TTimer, UINT, Interval);
  VCL_PROPERTY(TTimer, TNotifyEvent, OnTimer);

 private:
  void Update();
  QTimer timer_;
  bool enabled_ = true;
  UINT interval_ = 1000;
  TNotifyEvent onTimer_;
};
