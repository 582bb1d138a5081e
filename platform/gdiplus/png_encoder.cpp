#include "platform/gdiplus/png_encoder.h"

#include <png.h>
#include <zlib.h>

#include <csetjmp>

namespace Gdiplus {
namespace {

void Append(png_structp png, png_bytep data, png_size_t n) {
  static_cast<std::string*>(png_get_io_ptr(png))->append(reinterpret_cast<const char*>(data), n);
}

void NoFlush(png_structp) {}

// libpng's messages are no concern of the caller's: an error ends the
// encoding (back at the setjmp below), a warning is dropped.
[[noreturn]] void OnError(png_structp png, png_const_charp) { png_longjmp(png, 1); }
void OnWarning(png_structp, png_const_charp) {}

// Only trivially destructible locals here: an error jumps out of libpng
// into the setjmp, past anything made in between.
bool WriteRows(png_structp png, png_infop info, const QImage& image, std::string* out) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_set_write_fn(png, out, Append, NoFlush);
  png_set_IHDR(png, info, png_uint_32(image.width()), png_uint_32(image.height()), 8, PNG_COLOR_TYPE_RGB,
               PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  // Pages are mostly runs of one colour with strokes across them: rows
  // taken as the difference to the row above and compressed as runs encode
  // about four times as fast as libpng's defaults, for files a sixth larger.
  png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_UP);
  png_set_compression_strategy(png, Z_RLE);
  png_write_info(png, info);
  // An RGB32 pixel is the 32-bit value 0xffRRGGBB: B, G, R, filler in memory
  // on this little-endian machine.
  png_set_bgr(png);
  png_set_filler(png, 0, PNG_FILLER_AFTER);
  for (int y = 0; y < image.height(); ++y) png_write_row(png, const_cast<png_bytep>(image.constScanLine(y)));
  png_write_end(png, info);
  return true;
}

}  // namespace

Status EncodePng(const gdi::Bitmap& bitmap, std::string* png) {
  const QImage image = bitmap.Image();
  if (image.isNull()) return InvalidParameter;
  png_structp writer = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, OnError, OnWarning);
  png_infop info = writer ? png_create_info_struct(writer) : nullptr;
  std::string bytes;
  // Board pages are mostly one colour and compress far below their size.
  bytes.reserve(size_t(image.sizeInBytes()) / 16);
  const bool ok = info && WriteRows(writer, info, image, &bytes);
  png_destroy_write_struct(&writer, &info);
  if (!ok) return OutOfMemory;
  png->swap(bytes);
  return Ok;
}

}  // namespace Gdiplus
