#include "platform/gdi/dib_section.h"

#include <cstdlib>
#include <cstring>
#include <new>

#include "platform/gdi/bmp.h"

namespace gdi {
namespace {

// What the BMP reader takes, so that every section can be shown.
constexpr int64_t kMaxPixels = int64_t(1) << 26;

}  // namespace

std::unique_ptr<DibSection> DibSection::Create(const BITMAPINFOHEADER& header, const RGBQUAD* colours) {
  const int bits = header.biBitCount;
  const int64_t width = header.biWidth, height = std::llabs(int64_t(header.biHeight));
  const bool depthOk = bits == 1 || bits == 4 || bits == 8 || bits == 24 || bits == 32;
  if (header.biCompression != BI_RGB || header.biPlanes != 1 || !depthOk) return nullptr;
  if (width <= 0 || height <= 0 || width > kMaxPixels || height > kMaxPixels || width * height > kMaxPixels)
    return nullptr;
  int64_t count = header.biClrUsed;
  if (bits <= 8) {
    if (count == 0) count = int64_t(1) << bits;
    if (count > (int64_t(1) << bits)) return nullptr;
  } else if (count > 256) {
    return nullptr;
  }
  if (count > 0 && !colours) return nullptr;

  std::unique_ptr<DibSection> s(new (std::nothrow) DibSection);
  if (!s) return nullptr;
  const size_t table = size_t(count) * sizeof(RGBQUAD);
  s->rowsAt_ = sizeof(BITMAPINFOHEADER) + table;
  s->colours_ = int(count);
  try {
    s->dib_.assign(s->rowsAt_ + size_t(DibStride(width, bits) * height), 0);
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
  BITMAPINFOHEADER h = header;
  h.biSize = sizeof(BITMAPINFOHEADER);
  h.biClrUsed = DWORD(count);
  memcpy(s->dib_.data(), &h, sizeof h);
  if (table) memcpy(s->dib_.data() + sizeof h, colours, table);
  return s;
}

int DibSection::Height() const { return std::abs(Header().biHeight); }

size_t DibSection::Stride() const { return size_t(DibStride(Width(), BitsPerPixel())); }

const RGBQUAD* DibSection::Colours() const {
  return reinterpret_cast<const RGBQUAD*>(dib_.data() + sizeof(BITMAPINFOHEADER));
}

Bitmap DibSection::ToBitmap() const {
  Bitmap out;
  ReadDib(dib_.data(), dib_.size(), &out);
  return out;
}

}  // namespace gdi
