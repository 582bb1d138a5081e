#include "platform/gdi/bmp.h"

#include <QBuffer>
#include <QByteArray>
#include <QImageReader>
#include <fcntl.h>
#include <limits.h>
#include <sys/stat.h>
#include <sys/uio.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>

#include "platform/gdi/file_bytes.h"

namespace gdi {
namespace {

constexpr int64_t kMaxPixels = kMaxBmpPixels;
constexpr size_t kMaxFileBytes = size_t(1) << 30;
constexpr size_t kFileHeader = 14;
// Rows up to this size are written a piece of rows at a time (the pieces of
// WriteFileBytes are larger).
constexpr size_t kPieceRowBytes = size_t(64) << 10;

uint16_t Le16(const BYTE* p) { return uint16_t(p[0] | (p[1] << 8)); }
uint32_t Le32(const BYTE* p) { return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24); }
void Put16(BYTE* p, uint16_t v) { p[0] = BYTE(v), p[1] = BYTE(v >> 8); }
void Put32(BYTE* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = BYTE(v >> (8 * i));
}

// Where the parts of a DIB lie, from its header; the header is checked here
// so that the decoder underneath only ever sees complete pictures.
struct DibLayout {
  size_t infoBytes = 0;    // info header and bit-field masks
  size_t headerBytes = 0;  // the same and the colour table
  size_t pixelBytes = 0;
  int width = 0, height = 0, bits = 0;
  bool topDown = false;
  uint32_t compression = BI_RGB;
};

bool ParseDib(const BYTE* p, size_t size, DibLayout* layout) {
  if (size < 4) return false;
  const uint32_t headerSize = Le32(p);
  int64_t width, height;
  int planes, bits;
  uint32_t compression = BI_RGB, colourCount = 0;
  size_t entryBytes = 4, maskBytes = 0;
  if (headerSize == 12) {
    if (size < 12) return false;
    width = Le16(p + 4), height = Le16(p + 6), planes = Le16(p + 8), bits = Le16(p + 10);
    entryBytes = 3;
  } else if (headerSize == 40 || headerSize == 108 || headerSize == 124) {
    if (size < headerSize) return false;
    width = int32_t(Le32(p + 4)), height = int32_t(Le32(p + 8)), planes = Le16(p + 12), bits = Le16(p + 14);
    compression = Le32(p + 16), colourCount = Le32(p + 32);
    if (compression == BI_BITFIELDS && headerSize == 40) maskBytes = 12;
  } else {
    return false;
  }
  layout->topDown = height < 0;
  height = std::abs(height);  // negative: rows top-down
  const bool depthOk = bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
  const bool compressionOk = compression == BI_RGB || (compression == BI_BITFIELDS && (bits == 16 || bits == 32));
  if (planes != 1 || !depthOk || !compressionOk) return false;
  if (width <= 0 || height <= 0 || width > kMaxPixels || height > kMaxPixels || width * height > kMaxPixels)
    return false;
  if (bits <= 8) {
    if (colourCount == 0) colourCount = 1u << bits;
    if (colourCount > (1u << bits)) return false;
  } else if (colourCount > 256) {
    return false;
  }
  layout->infoBytes = headerSize + maskBytes;
  layout->headerBytes = layout->infoBytes + size_t(colourCount) * entryBytes;
  layout->pixelBytes = size_t(DibStride(width, bits) * height);
  layout->width = int(width), layout->height = int(height), layout->bits = bits;
  layout->compression = compression;
  return true;
}

// Pixel rows are copied in blocks of a fixed number of pixels, which the
// compiler turns into vector instructions.
constexpr int kBlock = 16;

// A 32-bpp BI_RGB DIB's rows are RGB32 pixels but for the fourth byte,
// which this sets.
void MakeOpaque(QRgb* row, int width) {
  int x = 0;
  for (; x + kBlock <= width; x += kBlock)
    for (int j = 0; j < kBlock; ++j) row[x + j] |= 0xFF000000u;
  for (; x < width; ++x) row[x] |= 0xFF000000u;
}

// The rows as they are, made opaque, and no decoder in between.
void ReadRgbRows(const BYTE* rows, const DibLayout& layout, QImage* image) {
  const size_t stride = size_t(layout.width) * 4;
  for (int y = 0; y < layout.height; ++y) {
    QRgb* out = reinterpret_cast<QRgb*>(image->scanLine(y));
    std::memcpy(out, rows + size_t(layout.topDown ? y : layout.height - 1 - y) * stride, stride);
    MakeOpaque(out, layout.width);
  }
}

// The 14-byte file header and the 40-byte info header of a BMP file of
// BI_RGB rows, bottom-up, pixels from offset 54.
void PutHeaders(BYTE* h, int width, int height, int bitsPerPixel, size_t imageBytes) {
  std::memset(h, 0, 54);
  h[0] = 'B', h[1] = 'M';
  Put32(h + 2, uint32_t(54 + imageBytes));
  Put32(h + 10, 54);
  Put32(h + 14, 40);
  Put32(h + 18, uint32_t(width));
  Put32(h + 22, uint32_t(height));
  Put16(h + 26, 1);
  Put16(h + 28, uint16_t(bitsPerPixel));
  Put32(h + 30, BI_RGB);
  Put32(h + 34, uint32_t(imageBytes));
}

// Reads a 32-bpp BI_RGB file with a 40-byte info header from the file
// straight into the rows of the picture. False when the file is of another
// kind, damaged or short: the caller then reads it the general way, which
// refuses what is not right.
bool ReadRgbFile(int fd, size_t fileSize, Bitmap* out) {
  BYTE head[54];
  if (fileSize < sizeof head || ::pread(fd, head, sizeof head, 0) != ssize_t(sizeof head) || head[0] != 'B' ||
      head[1] != 'M')
    return false;
  DibLayout layout;
  if (!ParseDib(head + kFileHeader, sizeof head - kFileHeader, &layout) || layout.bits != 32 ||
      layout.compression != BI_RGB || layout.infoBytes != 40)
    return false;
  const size_t pixelOffset = Le32(head + 10);
  if (kFileHeader + layout.headerBytes > fileSize || pixelOffset < kFileHeader + layout.infoBytes ||
      pixelOffset > fileSize || fileSize - pixelOffset < layout.pixelBytes)
    return false;
  QImage image(layout.width, layout.height, QImage::Format_RGB32);
  if (image.isNull()) return false;
  const size_t stride = size_t(layout.width) * 4;
  // File rows in order, each into its row of the picture.
  std::vector<iovec> rows(size_t(std::min(layout.height, IOV_MAX)));
  for (int first = 0; first < layout.height; first += int(rows.size())) {
    const int count = std::min(layout.height - first, int(rows.size()));
    for (int i = 0; i < count; ++i) {
      const int r = first + i;
      rows[size_t(i)] = {image.scanLine(layout.topDown ? r : layout.height - 1 - r), stride};
    }
    const size_t want = stride * size_t(count);
    if (::preadv(fd, rows.data(), count, off_t(pixelOffset + stride * size_t(first))) != ssize_t(want)) return false;
  }
  for (int y = 0; y < layout.height; ++y) MakeOpaque(reinterpret_cast<QRgb*>(image.scanLine(y)), layout.width);
  out->SetImage(image);
  return true;
}

bool Decode(const QByteArray& file, Bitmap* out) {
  QBuffer buffer;
  buffer.setData(file);
  if (!buffer.open(QIODevice::ReadOnly)) return false;
  QImageReader reader(&buffer, "bmp");
  reader.setAllocationLimit(int(kMaxPixels * 4 / (1024 * 1024)) + 1);
  const QImage image = reader.read();
  if (image.isNull()) return false;
  out->SetImage(image);
  return true;
}

}  // namespace

int GetDibRows(const Bitmap& bitmap, int first, int count, int bitsPerPixel, void* bits) {
  if ((bitsPerPixel != 24 && bitsPerPixel != 32) || !bits) return 0;
  const QImage image = bitmap.Image();
  const int height = image.isNull() ? 0 : image.height(), width = image.isNull() ? 0 : image.width();
  const int64_t begin = std::max<int64_t>(first, 0), end = std::min<int64_t>(int64_t(first) + count, height);
  if (begin >= end) return 0;
  const size_t stride = size_t(DibStride(width, bitsPerPixel));
  const int bytesPerPixel = bitsPerPixel / 8;
  BYTE* out = static_cast<BYTE*>(bits) + size_t(begin - first) * stride;
  for (int64_t scan = begin; scan < end; ++scan, out += stride) {
    const QRgb* row = reinterpret_cast<const QRgb*>(image.constScanLine(int(height - 1 - scan)));
    if (bytesPerPixel == 4) {
      // An RGB32 pixel is B, G, R, 0xFF in memory: the row as it is, with
      // the fourth byte cleared (through a block: the rows of a file image
      // need not be aligned).
      int x = 0;
      for (; x + kBlock <= width; x += kBlock) {
        uint32_t block[kBlock];
        for (int j = 0; j < kBlock; ++j) block[j] = row[x + j] & 0x00FFFFFFu;
        std::memcpy(out + size_t(x) * 4, block, sizeof block);
      }
      for (; x < width; ++x) {
        const uint32_t px = row[x] & 0x00FFFFFFu;
        std::memcpy(out + size_t(x) * 4, &px, 4);
      }
      continue;
    }
    std::memset(out, 0, stride);
    for (int x = 0; x < width; ++x) {
      BYTE* px = out + size_t(x) * bytesPerPixel;
      px[0] = BYTE(qBlue(row[x])), px[1] = BYTE(qGreen(row[x])), px[2] = BYTE(qRed(row[x]));
    }
  }
  return int(end - begin);
}

bool WriteBmp(const Bitmap& bitmap, int bitsPerPixel, std::vector<BYTE>* out) {
  if ((bitsPerPixel != 24 && bitsPerPixel != 32) || bitmap.IsEmpty() || !out) return false;
  const int width = bitmap.Width(), height = bitmap.Height();
  const size_t imageBytes = size_t(DibStride(width, bitsPerPixel)) * size_t(height);
  if (imageBytes + 54 > 0xFFFFFFFFu) return false;
  std::vector<BYTE> file(54 + imageBytes);
  BYTE* h = file.data();
  PutHeaders(h, width, height, bitsPerPixel, imageBytes);
  if (GetDibRows(bitmap, 0, height, bitsPerPixel, h + 54) != height) return false;
  *out = std::move(file);
  return true;
}

bool SaveBmpFile(const Bitmap& bitmap, int bitsPerPixel, const std::string& path) {
  if ((bitsPerPixel != 24 && bitsPerPixel != 32) || bitmap.IsEmpty()) return false;
  const int width = bitmap.Width(), height = bitmap.Height();
  const size_t stride = size_t(DibStride(width, bitsPerPixel)), imageBytes = stride * size_t(height);
  if (imageBytes + 54 > 0xFFFFFFFFu) return false;
  if (stride > kPieceRowBytes) {  // rows too wide for a piece: made whole
    std::vector<BYTE> file;
    return WriteBmp(bitmap, bitsPerPixel, &file) && WriteFileBytes(path, file);
  }
  // The rows made a piece at a time, bottom-up, and written while the piece
  // is in the cache.
  int scan = -1;  // -1: the headers come first
  return WriteFileBytes(path, [&](BYTE* buffer, size_t capacity) -> long {
    size_t used = 0;
    if (scan < 0) {
      PutHeaders(buffer, width, height, bitsPerPixel, imageBytes);
      used = 54, scan = 0;
    }
    const int rows = int(std::min<size_t>(size_t(height - scan), (capacity - used) / stride));
    if (rows > 0 && GetDibRows(bitmap, scan, rows, bitsPerPixel, buffer + used) != rows) return -1;
    scan += rows;
    return long(used + size_t(rows) * stride);
  });
}

bool ReadBmp(const void* data, size_t size, Bitmap* out) {
  const BYTE* p = static_cast<const BYTE*>(data);
  if (!p || !out || size < kFileHeader || p[0] != 'B' || p[1] != 'M') return false;
  DibLayout layout;
  if (!ParseDib(p + kFileHeader, size - kFileHeader, &layout)) return false;
  const size_t pixelOffset = Le32(p + 10);
  // Colour table and rows must both lie inside the file.
  if (kFileHeader + layout.headerBytes > size || pixelOffset < kFileHeader + layout.infoBytes || pixelOffset > size ||
      size - pixelOffset < layout.pixelBytes)
    return false;
  if (layout.bits == 32 && layout.compression == BI_RGB && layout.infoBytes == 40) {
    QImage image(layout.width, layout.height, QImage::Format_RGB32);
    if (image.isNull()) return false;
    ReadRgbRows(p + pixelOffset, layout, &image);
    out->SetImage(image);
    return true;
  }
  return Decode(QByteArray::fromRawData(reinterpret_cast<const char*>(p), qsizetype(size)), out);
}

bool LoadBmpFile(const std::string& path, Bitmap* out) {
  if (!out) return false;
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  struct stat st;
  const bool plain = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && size_t(st.st_size) <= kMaxFileBytes;
  const bool read = plain && ReadRgbFile(fd, size_t(st.st_size), out);
  ::close(fd);
  if (read) return true;
  std::vector<BYTE> bytes;
  return ReadFileBytes(path, kMaxFileBytes, &bytes) && ReadBmp(bytes.data(), bytes.size(), out);
}

bool ReadDib(const void* data, size_t size, Bitmap* out) {
  const BYTE* p = static_cast<const BYTE*>(data);
  DibLayout layout;
  if (!p || !out || !ParseDib(p, size, &layout)) return false;
  if (layout.headerBytes > size || size - layout.headerBytes < layout.pixelBytes) return false;
  // The decoder reads BMP files: put a file header in front.
  const size_t used = layout.headerBytes + layout.pixelBytes;
  QByteArray file(qsizetype(kFileHeader + used), '\0');
  BYTE* f = reinterpret_cast<BYTE*>(file.data());
  f[0] = 'B', f[1] = 'M';
  Put32(f + 2, uint32_t(file.size()));
  Put32(f + 10, uint32_t(kFileHeader + layout.headerBytes));
  std::memcpy(f + kFileHeader, p, used);
  return Decode(file, out);
}

}  // namespace gdi
