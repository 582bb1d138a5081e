// BMP files and device-independent bitmap rows. Reading is by content (a
// "tmp.bmt" is a BMP like any other); a damaged, short or unsupported file is
// refused and leaves the output untouched.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/gdi/bitmap.h"
#include "platform/windef.h"

namespace gdi {

// The most pixels a BMP file may hold to be read (an 8192 x 8192 bitmap
// takes 256 MB).
constexpr int64_t kMaxBmpPixels = int64_t(1) << 26;

// Bytes per DIB row: rows are padded to 4 bytes.
inline int64_t DibStride(int64_t width, int bitsPerPixel) { return ((width * bitsPerPixel + 31) / 32) * 4; }

// GetDIBits: `count` rows from scan line `first` (scan 0 is the bottom
// row), as 24-bpp (B, G, R) or 32-bpp (B, G, R, 0) pixels, each row padded
// to DibStride; rows outside the bitmap are not copied. Returns the number
// of rows copied, 0 for another depth.
int GetDibRows(const Bitmap& bitmap, int first, int count, int bitsPerPixel, void* bits);

// A BMP file image: 14-byte file header ("BM", size, pixel offset 54),
// 40-byte info header, no colour table, 24 or 32 bpp rows bottom-up. False
// for another depth or an empty bitmap.
bool WriteBmp(const Bitmap& bitmap, int bitsPerPixel, std::vector<BYTE>* out);
bool SaveBmpFile(const Bitmap& bitmap, int bitsPerPixel, const std::string& path);

// A BMP file image of 1, 4, 8, 16, 24 or 32 bpp, BI_RGB or BI_BITFIELDS,
// bottom-up or top-down, with a core (12-byte), info (40), version 4 (108)
// or version 5 (124) header. Run-length compressed files are refused.
bool ReadBmp(const void* data, size_t size, Bitmap* out);
bool LoadBmpFile(const std::string& path, Bitmap* out);
// A packed DIB as CreateDIBitmap takes it: info header, colour table (or
// bit-field masks), rows.
bool ReadDib(const void* data, size_t size, Bitmap* out);

}  // namespace gdi
