// GDI+ as the board uses it: pictures read from files by content, whatever
// their extension, and drawn into device contexts. Over Qt image I/O (PNG,
// BMP, GIF, TIFF) and libjpeg (JPEG, through the gdi facility).
#pragma once
#include <QImage>
#include <string>

#include "platform/gdi/bitmap.h"
#include "platform/gdi/dc.h"
#include "platform/windef.h"

namespace Gdiplus {

// The status codes of the GDI+ calls that exist here.
enum Status {
  Ok = 0,
  GenericError = 1,
  InvalidParameter = 2,
  OutOfMemory = 3,
  FileNotFound = 10,
  UnknownImageFormat = 13,
};

class Image {
 public:
  // The picture in the file (a GBK Windows path). A file that is missing
  // gives FileNotFound, one that holds no picture UnknownImageFormat; the
  // image is then empty (0 x 0).
  explicit Image(const std::string& fileName);
  Image(const Image&) = delete;
  Image& operator=(const Image&) = delete;
  virtual ~Image() = default;

  Status GetLastStatus() const { return status_; }
  UINT GetWidth() const { return UINT(pixels_.width()); }
  UINT GetHeight() const { return UINT(pixels_.height()); }

  // ARGB32 premultiplied; null for an empty image.
  const QImage& Pixels() const { return pixels_; }

 private:
  QImage pixels_;
  Status status_ = Ok;
};

// A drawing surface on a device context: it draws on what the DC draws on,
// inside the DC's clip region at the time of each call. The DC must outlive
// it.
class Graphics {
 public:
  explicit Graphics(gdi::DC* dc) : dc_(dc) {}
  Graphics(const Graphics&) = delete;
  Graphics& operator=(const Graphics&) = delete;

  // The whole image with its top-left corner at (x, y) in its natural size:
  // one image pixel on one device pixel, whatever resolution the file
  // records. Transparent parts let the destination show through.
  // InvalidParameter (nothing drawn) for no image, an empty one, or a DC
  // without a surface.
  Status DrawImage(Image* image, int x, int y);

 private:
  gdi::DC* dc_;
};

}  // namespace Gdiplus
