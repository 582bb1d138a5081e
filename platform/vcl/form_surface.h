// The picture a form shows: an RGB32 image of the client size that the
// form's paint event copies to the window. Drawing on it shows the changed
// rectangle at once (a synchronous repaint of that rectangle, so a handler
// that never returns to the event loop is still seen); reading it answers
// with what the window shows there, the child controls included.
#pragma once
#include <QImage>
#include <QPointer>
#include <QRegion>
#include <QWidget>
#include <mutex>

#include "platform/gdi/surface.h"

namespace vcl {

class FormSurface : public gdi::Surface {
 public:
  explicit FormSurface(QWidget* form) : form_(form) {}

  QSize Size() const override;
  // From another thread the change is shown through the GUI thread.
  void Draw(const std::function<QRect(QImage&)>& draw) override;
  // Only the children over `area` are rendered, and none when no visible
  // child lies there (then it is a copy of the surface's own pixels).
  QImage Read(const QRect& area) const override;

  // New size; kept top-left, new pixels get `fill` (RGB32).
  void Resize(QSize size, QRgb fill);
  void Fill(const QRegion& region, QRgb fill);
  // Copies the region of the surface to the painter (the paint event).
  void PaintOn(QPainter& painter, const QRegion& region) const;
  // Between Begin and End, changes are collected instead of shown; End
  // returns them.
  void BeginBatch();
  QRegion EndBatch();

 private:
  void Show(const QRect& r);

  QPointer<QWidget> form_;
  mutable std::mutex mutex_;
  QImage image_;
  int batch_ = 0;
  QRegion batched_;
};

}  // namespace vcl
