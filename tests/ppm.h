// Pictures as scanimage writes them, for comparing scans with what SANE
// itself reads from the same device.
#pragma once
#include <cctype>
#include <cstdint>
#include <string>

#include "platform/windef.h"
#include "tests/platform/x_test.h"

namespace test {

struct Ppm {
  int width = 0, height = 0;
  std::string data;
  static Ppm Parse(const std::string& s) {
    // "P6", width, height, maxval, each after blanks and "#" comment lines,
    // then one blank and the samples.
    size_t i = 2;
    auto number = [&] {
      for (;;) {
        while (i < s.size() && isspace((unsigned char)s[i])) ++i;
        if (i < s.size() && s[i] == '#')
          while (i < s.size() && s[i] != '\n') ++i;
        else
          break;
      }
      int v = 0;
      while (i < s.size() && isdigit((unsigned char)s[i])) v = v * 10 + (s[i++] - '0');
      return v;
    };
    Ppm p;
    if (s.compare(0, 2, "P6") != 0) return p;
    p.width = number();
    p.height = number();
    if (number() != 255 || i + 1 + size_t(p.width) * size_t(p.height) * 3 > s.size()) return {};
    p.data = s.substr(i + 1);
    return p;
  }
  COLORREF At(int x, int y) const {
    const auto* px = reinterpret_cast<const uint8_t*>(data.data()) + (size_t(y) * width + x) * 3;
    return RGB(px[0], px[1], px[2]);
  }
  // The pixels within `r` of (x, y) all have one colour.
  bool Flat(int x, int y, int r) const {
    if (x - r < 0 || y - r < 0 || x + r >= width || y + r >= height) return false;
    for (int v = y - r; v <= y + r; ++v)
      for (int u = x - r; u <= x + r; ++u)
        if (At(u, v) != At(x, y)) return false;
    return true;
  }
};

// What scanimage reads with `args`, as PNM. The tool itself now and then
// never returns from SANE's test backend: it gets 30 s, and after a hang one
// more go.
inline std::string Scanimage(const std::string& args) {
  std::string out;
  for (int attempt = 0; attempt < 2 && out.empty(); ++attempt)
    out = Shell("timeout -s KILL 30 scanimage --format=pnm " + args + " 2>/dev/null");
  return out;
}

}  // namespace test
