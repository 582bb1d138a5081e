// Pixel sets of memory DCs and regions, for checks against geometry.
#pragma once
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <utility>

#include "platform/gdi/colour.h"
#include "platform/mfc/dc.h"
#include "tests/platform/gdi/pixels.h"

namespace engine_test {

using gdi_test::PixelSet;
using gdi_test::RectPixels;

// A memory DC with a white w x h bitmap selected.
struct MemoryDC {
  CDC dc;
  CBitmap bitmap;
  int w, h;
  MemoryDC(int width, int height) : w(width), h(height) {
    EXPECT_TRUE(dc.CreateCompatibleDC(nullptr));
    EXPECT_TRUE(bitmap.CreateCompatibleBitmap(&dc, w, h));
    dc.SelectObject(&bitmap);
    dc.FillSolidRect(RECT{0, 0, w, h}, RGB(255, 255, 255));
  }
  PixelSet Of(COLORREF c) const { return Matching(c, true); }
  PixelSet NotWhite() const { return Matching(RGB(255, 255, 255), false); }

 private:
  PixelSet Matching(COLORREF c, bool equal) const {
    const QImage image = bitmap.Pixels()->Image();
    PixelSet s;
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x)
        if ((gdi::FromPixel(image.pixel(x, y)) == c) == equal) s.insert({x, y});
    return s;
  }
};

inline PixelSet RegionPixels(const CRgn& r, int w, int h) {
  PixelSet s;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      if (r.PtInRegion(x, y)) s.insert({x, y});
  return s;
}

inline std::string Describe(const PixelSet& s) {
  std::string out = std::to_string(s.size()) + " pixels:";
  int n = 0;
  for (auto& p : s) {
    if (++n > 20) return out + " ...";
    out += " (" + std::to_string(p.first) + "," + std::to_string(p.second) + ")";
  }
  return out;
}

}  // namespace engine_test
