#include "platform/gdiplus/gdiplus.h"

#include <QBuffer>
#include <QImageReader>
#include <QPainter>

#include "platform/fs/files.h"
#include "platform/gdi/bmp.h"
#include "platform/gdi/jpeg.h"

#include <cstring>

namespace Gdiplus {

Image::Image(const std::string& fileName) {
  const std::optional<std::string> bytes = ReadWholeFile(fileName);
  if (!bytes) {
    status_ = FileNotFound;
    return;
  }
  Decode(bytes->data(), bytes->size());
}

Image::Image(const void* data, size_t size) { Decode(static_cast<const char*>(data), data ? size : 0); }

namespace {

bool Starts(const char* bytes, size_t size, const char* magic) {
  const size_t n = strlen(magic);
  return size >= n && memcmp(bytes, magic, n) == 0;
}

bool RunLengthBmp(const char* bytes, size_t size) {
  if (size < 34) return false;
  const unsigned char* c = reinterpret_cast<const unsigned char*>(bytes) + 30;
  const uint32_t compression = c[0] | c[1] << 8 | c[2] << 16 | uint32_t(c[3]) << 24;
  return compression == 1 || compression == 2;
}

// The picture, or a null image when it does not decode completely. Qt's
// readers fill what a short BMP or GIF lacks with black and call it a
// success: BMP goes through the strict reader of the gdi facility (Qt only
// for the run-length kinds, which that one refuses), and a GIF must reach
// its trailer byte.
QImage Decoded(const char* bytes, size_t size) {
  gdi::Bitmap decoded;
  if (Starts(bytes, size, "\xFF\xD8")) return gdi::DecodeJpeg(bytes, size, &decoded) ? decoded.Image() : QImage();
  if (Starts(bytes, size, "BM") && !RunLengthBmp(bytes, size))
    return gdi::ReadBmp(bytes, size, &decoded) ? decoded.Image() : QImage();
  if (Starts(bytes, size, "GIF8") && bytes[size - 1] != 0x3B) return QImage();
  QByteArray data = QByteArray::fromRawData(bytes, qsizetype(size));
  QBuffer buffer(&data);
  QImageReader reader(&buffer);
  reader.setDecideFormatFromContent(true);
  // The pixels as stored, not turned by an orientation tag.
  reader.setAutoTransform(false);
  // A reader that fails may still leave an image of the full size, with
  // whatever the memory held where the data ended.
  QImage read;
  return reader.read(&read) ? read : QImage();
}

}  // namespace

void Image::Decode(const char* bytes, size_t size) {
  const QImage read = Decoded(bytes, size);
  if (read.isNull()) {
    status_ = UnknownImageFormat;
    return;
  }
  pixels_ = read.convertToFormat(QImage::Format_ARGB32_Premultiplied);
  if (pixels_.isNull()) status_ = OutOfMemory;
}

Status Graphics::DrawImage(Image* image, int x, int y) {
  if (!image || image->Pixels().isNull() || !dc_ || !dc_->GetSurface()) return InvalidParameter;
  gdi::Region clip;
  const bool clipped = dc_->GetClipRgn(&clip);
  const QImage& pixels = image->Pixels();
  const QRect placed(x, y, pixels.width(), pixels.height());
  dc_->GetSurface()->Draw([&](QImage& target) {
    QRect changed = placed & target.rect();
    if (clipped) changed &= clip.Pixels().boundingRect();
    if (changed.isEmpty()) return QRect();
    QPainter painter(&target);
    if (clipped) painter.setClipRegion(clip.Pixels());
    painter.drawImage(placed.topLeft(), pixels);
    return changed;
  });
  return Ok;
}

}  // namespace Gdiplus
