// What a device context draws on: a bitmap in client memory, or a window's
// surface (the form library implements those). Every drawing operation runs
// through Draw, under whatever guard the surface needs, and reports the
// rectangle it changed so that a window can show that part at once. Reads go
// through Read, so that a window can answer with what it shows on screen
// (its own pixels composited with its visible child windows).
#pragma once
#include <QImage>
#include <QRect>
#include <QSize>
#include <functional>

namespace gdi {

class Surface {
 public:
  virtual ~Surface() = default;

  // Width and height in pixels; drawing and reads are clipped to them.
  virtual QSize Size() const = 0;
  // Runs one drawing operation on the pixels (QImage::Format_RGB32, of
  // Size()). The operation returns the rectangle it changed (may be empty).
  // Draw must not be called from inside another Draw or Read of the surface.
  virtual void Draw(const std::function<QRect(QImage&)>& draw) = 0;
  // The pixels shown in `area`, which lies inside Size(): an RGB32 image of
  // area's size.
  virtual QImage Read(const QRect& area) const = 0;

  QRect Bounds() const { return QRect(QPoint(0, 0), Size()); }
};

}  // namespace gdi
