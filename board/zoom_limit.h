// How large a zoom step may make the floating picture. Each step resamples
// the whole picture and brings it back through a BMP file, so the time and
// memory grow with its area: past a few screens a step freezes the board for
// many seconds and risks running out of memory, with every unsaved page in
// it, while what shows on the screen no longer changes (a larger picture is
// centred). Such a step is refused before any work is done.
#pragma once
#include <algorithm>
#include <cstdint>

#include "platform/gdi/bmp.h"

// The area of this many screens at most.
constexpr double kZoomScreens = 4;

// Whether a picture of `width` x `height` (before rounding, so that any
// factor is safe to test) may be made by a zoom step on a screen of
// `screenWidth` x `screenHeight`.
inline bool ZoomFits(double width, double height, int screenWidth, int screenHeight) {
  const double most = std::min(kZoomScreens * std::max(screenWidth, 1) * std::max(screenHeight, 1),
                               double(gdi::kMaxBmpPixels));
  return width * height <= most;
}
