// Bitmaps made in memory, scaled drawing into them, and the encoders.
#include <QBuffer>
#include <QPainter>
#include <cstring>
#include <vector>

#include "platform/fs/path.h"
#include "platform/gdi/file_bytes.h"
#include "platform/gdi/bmp.h"
#include "platform/gdiplus/gdiplus.h"

namespace Gdiplus {
namespace {

struct Encoder {
  const char* mimeType;
  CLSID clsid;
};
const Encoder kEncoders[] = {
    {"image/bmp", {0x557CF400, 0x1A04, 0x11D3, {0x9A, 0x73, 0x00, 0x00, 0xF8, 0x1E, 0xF3, 0x2E}}},
    {"image/png", {0x557CF406, 0x1A04, 0x11D3, {0x9A, 0x73, 0x00, 0x00, 0xF8, 0x1E, 0xF3, 0x2E}}},
};

const Encoder* EncoderOf(const CLSID* clsid) {
  if (!clsid) return nullptr;
  for (const Encoder& e : kEncoders)
    if (e.clsid == *clsid) return &e;
  return nullptr;
}

// Premultiplied pixels are the picture composed over black: their colour
// bytes as they stand, the alpha dropped. A view of the pixels, valid while
// `premultiplied` is.
gdi::Bitmap OverBlack(const QImage& premultiplied) {
  return gdi::Bitmap(QImage(premultiplied.constBits(), premultiplied.width(), premultiplied.height(),
                            premultiplied.bytesPerLine(), QImage::Format_RGB32));
}

}  // namespace

bool CLSID::operator==(const CLSID& o) const {
  return Data1 == o.Data1 && Data2 == o.Data2 && Data3 == o.Data3 && memcmp(Data4, o.Data4, sizeof Data4) == 0;
}

bool GetEncoderClsid(const char* mimeType, CLSID* clsid) {
  if (!mimeType || !clsid) return false;
  for (const Encoder& e : kEncoders)
    if (strcmp(e.mimeType, mimeType) == 0) {
      *clsid = e.clsid;
      return true;
    }
  return false;
}

Status Image::Save(const std::string& fileName, const CLSID* encoder) const {
  const Encoder* e = EncoderOf(encoder);
  if (!e || pixels_.isNull()) return InvalidParameter;
  // What the encoders write is read back at once (a resampling round trip),
  // so it is put in place whole but not flushed to disk first.
  const std::string path = winpath::ToLinux(fileName);
  if (path.empty()) return GenericError;
  if (strcmp(e->mimeType, "image/bmp") == 0) return gdi::SaveBmpFile(OverBlack(pixels_), 32, path) ? Ok : GenericError;
  QByteArray png;
  QBuffer buffer(&png);
  buffer.open(QIODevice::WriteOnly);
  if (!pixels_.convertToFormat(QImage::Format_ARGB32).save(&buffer, "PNG")) return GenericError;
  return gdi::WriteFileBytes(path, std::vector<BYTE>(png.constData(), png.constData() + png.size())) ? Ok
                                                                                                     : GenericError;
}

Bitmap::Bitmap(int width, int height, PixelFormat format) {
  if (format != PixelFormat32bppARGB || width <= 0 || height <= 0) {
    status_ = InvalidParameter;
    return;
  }
  pixels_ = QImage(width, height, QImage::Format_ARGB32_Premultiplied);
  if (pixels_.isNull()) {
    status_ = OutOfMemory;
    return;
  }
  std::memset(pixels_.bits(), 0, size_t(pixels_.sizeInBytes()));  // transparent black
}

Status Graphics::SetInterpolationMode(InterpolationMode mode) {
  if (mode < InterpolationModeDefault || mode > InterpolationModeHighQualityBicubic) return InvalidParameter;
  interpolation_ = mode;
  return Ok;
}

Status Graphics::DrawImage(Image* image, const RectF& dest, REAL srcX, REAL srcY, REAL srcWidth, REAL srcHeight,
                           Unit srcUnit) {
  if (!bitmap_ || bitmap_->Target().isNull() || !image || image->Pixels().isNull() || srcUnit != UnitPixel ||
      !(srcWidth > 0) || !(srcHeight > 0) || !(dest.Width > 0) || !(dest.Height > 0))
    return InvalidParameter;
  // Only the part of the source inside the picture is drawn, onto the part
  // of the destination it maps to.
  const QRectF source(srcX, srcY, srcWidth, srcHeight);
  const QRectF inside = source & QRectF(image->Pixels().rect());
  if (inside.isEmpty()) return Ok;
  const qreal sx = dest.Width / srcWidth, sy = dest.Height / srcHeight;
  const QRectF target(dest.X + (inside.x() - srcX) * sx, dest.Y + (inside.y() - srcY) * sy, inside.width() * sx,
                      inside.height() * sy);
  QPainter painter(&bitmap_->Target());
  painter.setRenderHint(QPainter::SmoothPixmapTransform, interpolation_ != InterpolationModeNearestNeighbor);
  painter.drawImage(target, image->Pixels(), inside);
  return Ok;
}

}  // namespace Gdiplus
