// A DIB section: a device-independent bitmap whose pixel rows the program
// writes itself, laid out as its header says (rows padded to 4 bytes, the
// bottom row first for a positive height), with its colour table. The rows
// stay in that form; ToBitmap gives the picture as the screen shows it.
#pragma once
#include <cstddef>
#include <memory>
#include <vector>

#include "platform/gdi/bitmap.h"
#include "platform/windef.h"

namespace gdi {

class DibSection {
 public:
  // CreateDIBSection with DIB_RGB_COLORS: `colours` holds biClrUsed entries
  // (for 8 bits or fewer, 2^biBitCount when biClrUsed is 0). The rows start
  // zeroed. Nothing for a header it cannot hold: other than BI_RGB, one
  // plane and 1, 4, 8, 24 or 32 bits; an empty or oversized picture (the
  // BMP reader's limit); more colours than the depth has; memory short.
  static std::unique_ptr<DibSection> Create(const BITMAPINFOHEADER& header, const RGBQUAD* colours);

  int Width() const { return Header().biWidth; }
  int Height() const;  // rows, whatever their order
  int BitsPerPixel() const { return Header().biBitCount; }
  size_t Stride() const;
  int ColourCount() const { return colours_; }
  const RGBQUAD* Colours() const;
  const BITMAPINFOHEADER& Header() const { return *reinterpret_cast<const BITMAPINFOHEADER*>(dib_.data()); }

  // All rows, as stored.
  BYTE* Bits() { return dib_.data() + rowsAt_; }
  const BYTE* Bits() const { return dib_.data() + rowsAt_; }
  size_t ImageBytes() const { return dib_.size() - rowsAt_; }

  Bitmap ToBitmap() const;

 private:
  DibSection() = default;

  std::vector<BYTE> dib_;  // packed: header, colour table, rows
  size_t rowsAt_ = 0;
  int colours_ = 0;
};

}  // namespace gdi
