#include "platform/twain_dsm/sane_frames.h"

#include <algorithm>
#include <cstring>

namespace twain_dsm {

namespace {

// Sample k of a row, scaled to 8 bits. A 1-bit sample is full intensity
// when set (in colour frames; grey 1-bit rows are handled as bits).
uint8_t Sample(const uint8_t* row, int k, int depth) {
  switch (depth) {
    case 16: {
      uint16_t v;
      memcpy(&v, row + 2 * size_t(k), sizeof v);  // SANE sends the machine's byte order
      return uint8_t(v >> 8);
    }
    case 1:
      return (row[k >> 3] >> (7 - (k & 7))) & 1 ? 255 : 0;
    default:
      return row[k];
  }
}

int Channel(SANE_Frame f) { return f == SANE_FRAME_RED ? 0 : f == SANE_FRAME_GREEN ? 1 : 2; }

int CompleteRows(const SaneFrame& f) {
  const SANE_Parameters& p = f.params;
  if (p.bytes_per_line <= 0) return 0;
  size_t rows = f.data.size() / size_t(p.bytes_per_line);
  if (p.lines > 0) rows = std::min(rows, size_t(p.lines));
  return int(std::min<size_t>(rows, 1 << 20));
}

bool RowFits(const SANE_Parameters& p, int samplesPerPixel) {
  const int64_t bits = int64_t(p.pixels_per_line) * samplesPerPixel * p.depth;
  return p.pixels_per_line > 0 && (bits + 7) / 8 <= p.bytes_per_line;
}

}  // namespace

bool AssembleFrames(const std::vector<SaneFrame>& frames, Picture* out) {
  if (frames.empty()) return false;
  const SANE_Parameters& first = frames[0].params;
  const int depth = first.depth;
  if (depth != 1 && depth != 8 && depth != 16) return false;
  const int width = first.pixels_per_line;

  if (first.format == SANE_FRAME_GRAY || first.format == SANE_FRAME_RGB) {
    const bool rgb = first.format == SANE_FRAME_RGB;
    if (!RowFits(first, rgb ? 3 : 1)) return false;
    const int height = CompleteRows(frames[0]);
    if (!out->Allocate(width, height, rgb ? TWPT_RGB : depth == 1 ? TWPT_BW : TWPT_GRAY)) return false;
    for (int y = 0; y < height; ++y) {
      const uint8_t* src = frames[0].data.data() + size_t(y) * size_t(first.bytes_per_line);
      uint8_t* dst = out->Row(y);
      if (out->pixelType == TWPT_BW) {
        // SANE's 1-bit grey is 1 for black; chocolate rows are 0 for black.
        const int bytes = (width + 7) / 8;
        for (int i = 0; i < bytes; ++i) dst[i] = uint8_t(~src[i]);
        if (width % 8) dst[bytes - 1] &= uint8_t(0xFF << (8 - width % 8));
      } else {
        const int samples = rgb ? 3 * width : width;
        for (int k = 0; k < samples; ++k) dst[k] = Sample(src, k, depth);
      }
    }
    return true;
  }

  // One frame per channel: all three, each the size of the first.
  const SaneFrame* planes[3] = {nullptr, nullptr, nullptr};
  int height = 1 << 20;
  for (const SaneFrame& f : frames) {
    const SANE_Parameters& p = f.params;
    if (p.format != SANE_FRAME_RED && p.format != SANE_FRAME_GREEN && p.format != SANE_FRAME_BLUE) return false;
    if (p.depth != depth || p.pixels_per_line != width || !RowFits(p, 1)) return false;
    planes[Channel(p.format)] = &f;
    height = std::min(height, CompleteRows(f));
  }
  if (!planes[0] || !planes[1] || !planes[2]) return false;
  if (!out->Allocate(width, height, TWPT_RGB)) return false;
  for (int c = 0; c < 3; ++c) {
    const SaneFrame& f = *planes[c];
    for (int y = 0; y < height; ++y) {
      const uint8_t* src = f.data.data() + size_t(y) * size_t(f.params.bytes_per_line);
      uint8_t* dst = out->Row(y);
      for (int x = 0; x < width; ++x) dst[3 * x + c] = Sample(src, x, depth);
    }
  }
  return true;
}

}  // namespace twain_dsm
