#include "platform/vcl/form_surface.h"

#include <QCoreApplication>
#include <QPainter>
#include <QThread>

namespace vcl {
namespace {
bool OnGuiThread() {
  QCoreApplication* app = QCoreApplication::instance();
  return app && QThread::currentThread() == app->thread();
}
}  // namespace

QSize FormSurface::Size() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return image_.isNull() ? QSize(0, 0) : image_.size();
}

void FormSurface::Draw(const std::function<QRect(QImage&)>& draw) {
  QRect changed;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (image_.isNull()) return;
    changed = draw(image_) & image_.rect();
  }
  if (!changed.isEmpty()) Show(changed);
}

void FormSurface::Show(const QRect& r) {
  if (!OnGuiThread()) {
    QPointer<QWidget> form = form_;
    if (form)
      QMetaObject::invokeMethod(form, [form, r] { if (form) form->update(r); }, Qt::QueuedConnection);
    return;
  }
  if (batch_ > 0) {
    batched_ += r;
    return;
  }
  if (form_ && form_->isVisible()) form_->repaint(r);
}

QImage FormSurface::Read(const QRect& area) const {
  QImage out;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    out = image_.copy(area);
  }
  if (out.isNull() || !form_ || !OnGuiThread()) return out;
  QPainter* painter = nullptr;
  for (QObject* o : form_->children()) {
    auto* w = qobject_cast<QWidget*>(o);
    if (!w || w->isWindow() || !w->isVisible()) continue;
    const QRect part = w->geometry() & area;
    if (part.isEmpty()) continue;
    if (!painter) painter = new QPainter(&out);
    // Each child paints its own background; graphic controls that paint
    // none (flat buttons) let the surface and lower siblings show.
    w->render(painter, part.topLeft() - area.topLeft(), QRegion(part.translated(-w->pos())),
              QWidget::DrawChildren);
  }
  delete painter;
  return out;
}

void FormSurface::Resize(QSize size, QRgb fill) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (!image_.isNull() && image_.size() == size) return;
  if (size.isEmpty()) {
    image_ = QImage();
    return;
  }
  QImage resized(size, QImage::Format_RGB32);
  if (resized.isNull()) return;
  resized.fill(fill);
  if (!image_.isNull()) {
    const int rows = std::min(size.height(), image_.height());
    const size_t bytes = size_t(std::min(size.width(), image_.width())) * 4;
    for (int y = 0; y < rows; ++y) memcpy(resized.scanLine(y), image_.constScanLine(y), bytes);
  }
  image_ = resized;
}

void FormSurface::Fill(const QRegion& region, QRgb fill) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (image_.isNull()) return;
  for (QRect r : region) {
    r &= image_.rect();
    for (int y = r.top(); y <= r.bottom(); ++y)
      std::fill_n(reinterpret_cast<QRgb*>(image_.scanLine(y)) + r.left(), r.width(), fill);
  }
}

void FormSurface::PaintOn(QPainter& painter, const QRegion& region) const {
  std::lock_guard<std::mutex> lock(mutex_);
  if (image_.isNull()) return;
  painter.setCompositionMode(QPainter::CompositionMode_Source);
  for (const QRect& r : region) painter.drawImage(r.topLeft(), image_, r);
}

void FormSurface::BeginBatch() { ++batch_; }

QRegion FormSurface::EndBatch() {
  if (--batch_ > 0) return QRegion();
  QRegion r = batched_;
  batched_ = QRegion();
  return r;
}

}  // namespace vcl
