// JPEG pictures through libjpeg (IJG API, library version 62), by content
// whatever the file's extension (clip art comes as ".jt"). A damaged or
// truncated picture is refused; libjpeg's errors come back here, never
// ending the process.
#pragma once
#include <cstddef>
#include <string>

#include "platform/gdi/bitmap.h"

namespace gdi {

// Grey, YCbCr/RGB and CMYK pictures. False, `out` untouched, on any error
// or corrupt-data warning, or beyond 64 M pixels.
bool DecodeJpeg(const void* data, size_t size, Bitmap* out);
bool LoadJpegFile(const std::string& path, Bitmap* out);

}  // namespace gdi
