// Files read back by other tools: a picture as ImageMagick reads it, and a
// file's bytes.
#pragma once
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

#include "platform/windef.h"
#include "tests/readback.h"

namespace engine_test {

using readback::Output;

inline std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// A picture as ImageMagick reads it: size, and RGB pixels row by row from
// the top.
struct Picture {
  int w = 0, h = 0;
  std::string rgb;
  explicit Picture(const std::string& file) {
    std::sscanf(Output("identify -format '%w %h' " + file).c_str(), "%d %d", &w, &h);
    rgb = Output("convert " + file + " -depth 8 rgb:-");
  }
  COLORREF At(int x, int y) const {
    const size_t i = (size_t(y) * size_t(w) + size_t(x)) * 3;
    if (i + 3 > rgb.size()) return CLR_INVALID;
    return RGB((unsigned char)rgb[i], (unsigned char)rgb[i + 1], (unsigned char)rgb[i + 2]);
  }
  // Whether every pixel of l..r-1 x t..b-1 has the colour.
  bool All(int l, int t, int r, int b, COLORREF c) const {
    for (int y = t; y < b; ++y)
      for (int x = l; x < r; ++x)
        if (At(x, y) != c) return false;
    return true;
  }
};

}  // namespace engine_test
