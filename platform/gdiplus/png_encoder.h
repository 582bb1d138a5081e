// The PNG encoder as the board saves its pages with it: a bitmap's pixels as
// the bytes of a PNG file, over libpng. It is reentrant (each call has its
// own libpng state), so the pages of a lesson can be encoded on several
// threads at once.
#pragma once
#include <string>

#include "platform/gdi/bitmap.h"
#include "platform/gdiplus/gdiplus.h"

namespace Gdiplus {

// The bitmap as a PNG file image in *png (replacing what it held): 8-bit
// RGB without alpha (the fourth byte of a pixel is never a colour), each row
// filtered against the row above and compressed as runs (what suits pictures
// of the board best: fast, and small for flat colour). InvalidParameter
// (*png untouched) for an empty bitmap, OutOfMemory when libpng gives up.
Status EncodePng(const gdi::Bitmap& bitmap, std::string* png);

}  // namespace Gdiplus
