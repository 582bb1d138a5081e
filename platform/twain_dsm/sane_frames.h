// The frames SANE delivers for one picture, made into a Picture: grey or
// colour in one frame, colour in three (one per channel), 1, 8 or 16 bits per
// sample (16-bit samples keep their upper byte), a length known beforehand
// or only from the data (hand scanners).
#pragma once
#include "platform/twain_dsm/picture.h"

#include <sane/sane.h>

#include <vector>

namespace twain_dsm {

struct SaneFrame {
  SANE_Parameters params{};
  std::vector<uint8_t> data;
};

// False for frames that make no picture (an unknown format or depth, no
// whole row, a channel missing).
bool AssembleFrames(const std::vector<SaneFrame>& frames, Picture* out);

}  // namespace twain_dsm
