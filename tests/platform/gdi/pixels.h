// Test helpers: pixel sets of a bitmap, compared with sets derived from
// geometry.
#pragma once
#include <gtest/gtest.h>

#include <QColor>
#include <QImage>
#include <set>
#include <string>
#include <utility>

#include "platform/gdi/bitmap.h"

namespace gdi_test {

using PixelSet = std::set<std::pair<int, int>>;  // (x, y)

inline gdi::Bitmap Filled(int w, int h, COLORREF c) {
  QImage image(w, h, QImage::Format_RGB32);
  image.fill(QColor(GetRValue(c), GetGValue(c), GetBValue(c)));
  return gdi::Bitmap(image);
}

// Pixels of the bitmap that have colour c.
inline PixelSet PixelsOf(const gdi::Bitmap& b, COLORREF c) {
  PixelSet s;
  for (int y = 0; y < b.Height(); ++y)
    for (int x = 0; x < b.Width(); ++x)
      if (b.GetPixel(x, y) == c) s.insert({x, y});
  return s;
}

// Pixels of the bitmap that differ from colour c.
inline PixelSet PixelsNot(const gdi::Bitmap& b, COLORREF c) {
  PixelSet s;
  for (int y = 0; y < b.Height(); ++y)
    for (int x = 0; x < b.Width(); ++x)
      if (b.GetPixel(x, y) != c) s.insert({x, y});
  return s;
}

inline PixelSet RectPixels(int l, int t, int r, int b) {
  PixelSet s;
  for (int y = t; y < b; ++y)
    for (int x = l; x < r; ++x) s.insert({x, y});
  return s;
}

inline std::string Describe(const PixelSet& s) {
  std::string out;
  int n = 0;
  for (auto& p : s) {
    if (++n > 40) {
      out += " ...";
      break;
    }
    out += " (" + std::to_string(p.first) + "," + std::to_string(p.second) + ")";
  }
  return "{" + out + " } size " + std::to_string(s.size());
}

}  // namespace gdi_test
