// The pictures the keyboard form holds, drawn at build time by
// make_resources: the title strip (a JPEG file) and the close button's
// glyph (a BMP file).
#pragma once
#include <cstddef>

namespace tappel {

extern const unsigned char kTitlePicture[];
extern const size_t kTitlePictureSize;
extern const unsigned char kCloseGlyph[];
extern const size_t kCloseGlyphSize;

}  // namespace tappel
