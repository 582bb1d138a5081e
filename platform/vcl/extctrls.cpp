#include "platform/vcl/extctrls.h"

#include <QCoreApplication>
#include <QPaintEvent>
#include <QPainter>
#include <QPointer>
#include <QThread>

#include "platform/vcl/events.h"
#include "platform/vcl/forms.h"
#include "platform/vcl/paint_util.h"
#include "platform/win/window_text.h"

// ---- TPanel ----

TPanel::TPanel(TComponent* owner) : TWinControl(owner) {
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void TPanel::Publish() const {
  published_ = true;
  win::PublishWindowText(const_cast<TPanel*>(this), GetCaption());
}

HWND TPanel::GetHandle() const {
  if (!published_) Publish();
  return TWinControl::GetHandle();
}

void TPanel::showEvent(QShowEvent* e) {
  TWinControl::showEvent(e);
  // The native window is made once the form has its own, so the form's
  // flags are settled by then.
  if (!published_) Publish();
}

void TPanel::TextChanged() {
  if (published_) Publish();
  update();
}

void TPanel::Relayout() {
  AlignControls();
  update();
}

TRect TPanel::AlignRect() const {
  int inset = borderWidth_ + (bevelOuter_ != bvNone ? bevelWidth_ : 0) + (bevelInner_ != bvNone ? bevelWidth_ : 0) +
              (borderStyle_ == bsSingle ? 2 : 0);
  TRect r = GetClientRect();
  return TRect(r.Left + inset, r.Top + inset, std::max(r.Left + inset, r.Right - inset),
               std::max(r.Top + inset, r.Bottom - inset));
}

void TPanel::paintEvent(QPaintEvent*) {
  QPainter p(this);
  QRect r = rect();
  p.fillRect(r, vcl::QtColour(GetColor()));
  if (borderStyle_ == bsSingle) {
    vcl::Frame3D(p, r, clBtnShadow, clBtnHighlight, 1);
    vcl::Frame3D(p, r, cl3DDkShadow, cl3DLight, 1);
  }
  auto bevel = [&](TBevelCut cut) {
    if (cut == bvRaised) vcl::Frame3D(p, r, clBtnHighlight, clBtnShadow, bevelWidth_);
    if (cut == bvLowered) vcl::Frame3D(p, r, clBtnShadow, clBtnHighlight, bevelWidth_);
    if (cut == bvSpace) r.adjust(bevelWidth_, bevelWidth_, -bevelWidth_, -bevelWidth_);
  };
  bevel(bevelOuter_);
  r.adjust(borderWidth_, borderWidth_, -borderWidth_, -borderWidth_);
  bevel(bevelInner_);
  const int h = alignment_ == taLeftJustify ? Qt::AlignLeft : alignment_ == taRightJustify ? Qt::AlignRight : Qt::AlignHCenter;
  vcl::DrawCaption(p, r, GetCaption(), GetFont(), h | Qt::AlignVCenter | Qt::TextSingleLine);
}

// ---- TImage ----

TImage::TImage(TComponent* owner) : TGraphicControl(owner), picture_(std::make_unique<TPicture>()) {
  picture_->OnChange = [this](TObject*) { PictureChanged(); };
}

TImage::~TImage() { picture_->OnChange = nullptr; }

TCanvas* TImage::GetCanvas() const {
  TGraphic* g = picture_->GetGraphic();
  if (g && !dynamic_cast<TBitmap*>(g)) throw EInvalidOperation("Can only modify an image if it contains a bitmap");
  if (!g) {
    TBitmap* b = picture_->GetBitmap();
    b->SetSize(width(), height());
  }
  return picture_->GetBitmap()->GetCanvas();
}

void TImage::SetAutoSize(bool v) {
  autoSize_ = v;
  PictureChanged();
}

void TImage::PictureChanged() {
  // Drawing on the picture may happen on a worker thread.
  QCoreApplication* app = QCoreApplication::instance();
  if (app && QThread::currentThread() != app->thread()) {
    QPointer<QWidget> self(this);
    QMetaObject::invokeMethod(this, [self] { if (self) self->update(); }, Qt::QueuedConnection);
    return;
  }
  if (autoSize_ && picture_->GetWidth() > 0 && picture_->GetHeight() > 0 &&
      (picture_->GetWidth() != width() || picture_->GetHeight() != height()))
    SetBounds(GetLeft(), GetTop(), picture_->GetWidth(), picture_->GetHeight());
  update();
}

void TImage::paintEvent(QPaintEvent* e) {
  TGraphic* g = picture_->GetGraphic();
  if (!g || g->GetEmpty()) return;
  const QImage image = g->ToImage();
  if (image.isNull()) return;
  QPainter p(this);
  if (stretch_) {
    p.drawImage(rect(), image);
    return;
  }
  QPoint at(0, 0);
  if (center_) at = QPoint((width() - image.width()) / 2, (height() - image.height()) / 2);
  // Only what is exposed: a picture strip may be 105000 pixels high.
  const QRect exposed = e->rect() & QRect(at, image.size());
  if (!exposed.isEmpty()) p.drawImage(exposed.topLeft(), image, exposed.translated(-at));
}

// ---- TTimer ----

TTimer::TTimer(TComponent* owner) : TComponent(owner) {
  QObject::connect(&timer_, &QTimer::timeout, [this] { vcl::Fire(onTimer_, static_cast<TObject*>(this)); });
  Update();
}

void TTimer::Update() {
  if (enabled_ && interval_ > 0 && onTimer_)
    timer_.start(int(interval_));
  else
    timer_.stop();
}
