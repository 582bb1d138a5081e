#include "platform/gdiplus/gdiplus.h"

#include <QBuffer>
#include <QImageReader>
#include <QPainter>

#include "platform/fs/files.h"
#include "platform/gdi/jpeg.h"

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

void Image::Decode(const char* bytes, size_t size) {
  QImage read;
  if (size >= 2 && (unsigned char)bytes[0] == 0xFF && (unsigned char)bytes[1] == 0xD8) {
    gdi::Bitmap decoded;
    if (gdi::DecodeJpeg(bytes, size, &decoded)) read = decoded.Image();
  } else {
    QByteArray data = QByteArray::fromRawData(bytes, qsizetype(size));
    QBuffer buffer(&data);
    QImageReader reader(&buffer);
    reader.setDecideFormatFromContent(true);
    // The pixels as stored, not turned by an orientation tag.
    reader.setAutoTransform(false);
    reader.read(&read);
  }
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
