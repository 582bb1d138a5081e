#include "platform/gdi/bitmap.h"

#include <QPainter>
#include <algorithm>
#include <cstdint>

#include "platform/gdi/colour.h"

namespace gdi {
namespace {

QImage Rgb32(const QImage& image) {
  if (image.isNull() || image.format() == QImage::Format_RGB32) return image;
  // Straight conversion keeps the colour bytes of every pixel whatever its
  // alpha (ARGB32 to RGB32 only sets the fourth byte).
  QImage straight = image.hasAlphaChannel() ? image.convertToFormat(QImage::Format_ARGB32) : image;
  return straight.convertToFormat(QImage::Format_RGB32);
}

// Far beyond the system's largest pictures (a 3840 x 2160 page, the
// 100 x 105000 strip); larger requests are refused rather than left to
// exhaust memory.
constexpr int64_t kMaxPixels = int64_t(1) << 27;

QImage NewImage(int width, int height, COLORREF fill) {
  if (width <= 0 || height <= 0 || int64_t(width) * height > kMaxPixels) return QImage();
  QImage image(width, height, QImage::Format_RGB32);
  if (!image.isNull()) image.fill(ToPixel(fill));
  return image;
}

}  // namespace

Bitmap::Bitmap(int width, int height) : image_(NewImage(width, height, RGB(0, 0, 0))) {}

Bitmap::Bitmap(const QImage& image) : image_(Rgb32(image)) {}

Bitmap::Bitmap(const Bitmap& other) : Surface() {
  std::lock_guard<std::mutex> lock(other.mutex_);
  image_ = other.image_;
}

Bitmap& Bitmap::operator=(const Bitmap& other) {
  if (this == &other) return *this;
  QImage copy = other.Image();
  std::lock_guard<std::mutex> lock(mutex_);
  image_ = copy;
  return *this;
}

int Bitmap::Width() const { return Size().width(); }
int Bitmap::Height() const { return Size().height(); }

QSize Bitmap::Size() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return image_.isNull() ? QSize(0, 0) : image_.size();
}

bool Bitmap::SetSize(int width, int height, COLORREF fill) {
  if (width < 0 || height < 0) return false;
  std::lock_guard<std::mutex> lock(mutex_);
  if (width == image_.width() && height == image_.height()) return true;
  if (width == 0 || height == 0) {
    image_ = QImage();
    return true;
  }
  QImage resized = NewImage(width, height, fill);
  if (resized.isNull()) return false;
  const int rows = std::min(height, image_.height());
  const size_t bytes = size_t(std::min(width, image_.width())) * 4;
  for (int y = 0; y < rows; ++y) std::copy_n(image_.constScanLine(y), bytes, resized.scanLine(y));
  image_ = resized;
  return true;
}

void Bitmap::SetImage(const QImage& image) {
  QImage converted = Rgb32(image);
  std::lock_guard<std::mutex> lock(mutex_);
  image_ = converted;
}

COLORREF Bitmap::GetPixel(int x, int y) const {
  std::lock_guard<std::mutex> lock(mutex_);
  if (!image_.valid(x, y)) return CLR_INVALID;
  return FromPixel(reinterpret_cast<const QRgb*>(image_.constScanLine(y))[x]);
}

void Bitmap::SetPixel(int x, int y, COLORREF colour) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!image_.valid(x, y)) return;
    reinterpret_cast<QRgb*>(image_.scanLine(y))[x] = ToPixel(colour);
  }
  if (changed_) changed_(QRect(x, y, 1, 1));
}

QImage Bitmap::Image() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return image_;
}

void Bitmap::SetChangeHandler(std::function<void(const QRect&)> handler) { changed_ = std::move(handler); }

void Bitmap::Draw(const std::function<QRect(QImage&)>& draw) {
  QRect changed;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (image_.isNull()) return;
    changed = draw(image_) & image_.rect();
  }
  if (changed_ && !changed.isEmpty()) changed_(changed);
}

QImage Bitmap::Read(const QRect& area) const {
  std::lock_guard<std::mutex> lock(mutex_);
  // The whole picture is shared, not copied (a page drawn on the screen);
  // it is copied only if the bitmap changes while the reader holds it.
  if (area == image_.rect()) return image_;
  return image_.copy(area);
}

}  // namespace gdi
