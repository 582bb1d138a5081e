// A scanned picture as the source manager hands it on: rows top-down, each
// padded to 4 bytes, samples in TWAIN order (red, green, blue); 1-bit rows are
// chocolate (0 is black). The packed DIB and BMP file forms of it.
#pragma once
#include "platform/windef.h"
#include "twain/twain.h"

#include <cstddef>
#include <cstdint>
#include <limits>
#include <new>
#include <string>
#include <vector>

namespace twain_dsm {

struct Picture {
  int width = 0;
  int height = 0;
  TW_UINT16 pixelType = TWPT_GRAY;  // TWPT_BW (1 bpp), TWPT_GRAY (8) or TWPT_RGB (24)
  double xResolution = 0;           // dots per inch
  double yResolution = 0;
  std::vector<uint8_t> rows;

  int BitsPerPixel() const { return pixelType == TWPT_BW ? 1 : pixelType == TWPT_RGB ? 24 : 8; }
  size_t Stride() const { return StrideOf(width, BitsPerPixel()); }
  const uint8_t* Row(int y) const { return rows.data() + size_t(y) * Stride(); }
  uint8_t* Row(int y) { return rows.data() + size_t(y) * Stride(); }
  // Sizes zeroed rows for width x height; false when that is no sane
  // picture or memory is short.
  bool Allocate(int w, int h, TW_UINT16 type) {
    if (w <= 0 || h <= 0 || w > 1 << 20 || h > 1 << 20) return false;
    pixelType = type;
    width = w;
    height = h;
    if (Stride() > std::numeric_limits<size_t>::max() / size_t(h)) return false;
    try {
      rows.assign(Stride() * size_t(h), 0);
    } catch (const std::bad_alloc&) {
      return false;
    }
    return true;
  }

  static size_t StrideOf(int width, int bitsPerPixel) { return ((size_t(width) * bitsPerPixel + 31) / 32) * 4; }
};

// Colour-table entries a picture's DIB carries: 2 for 1 bpp (black, white),
// 256 for grey, none for RGB.
int DibColours(const Picture& p);

// BITMAPINFOHEADER, colour table, rows bottom-up in B, G, R order.
size_t PackedDibSize(const Picture& p);
void WritePackedDib(const Picture& p, uint8_t* out);

// A BMP file: the 14-byte file header, then the packed DIB.
std::string BmpFile(const Picture& p);

}  // namespace twain_dsm
