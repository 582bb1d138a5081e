// Shared by the tests that drive the scripted source manager: pictures that
// tell their pixels apart, the two sources most tests start with, and
// overrides of one triplet.
#pragma once
#include "platform/twain_dsm/script.h"

#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

namespace scripttest {

// An 8-bit grey picture counting up from `first`, row by row.
inline twain_dsm::Picture Grey(int w, int h, uint8_t first) {
  twain_dsm::Picture p;
  p.Allocate(w, h, TWPT_GRAY);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) p.Row(y)[x] = uint8_t(first + y * w + x);
  return p;
}

// "Scanner A" (by default with two grey pictures, ready when enabled) and
// "Camera B" (ready when told).
inline std::vector<twain_script::Source> ScannerAndCamera(
    std::vector<twain_dsm::Picture> pictures = {Grey(3, 2, 10), Grey(2, 2, 100)}) {
  twain_script::Source a, b;
  a.product = "Scanner A";
  a.pictures = std::move(pictures);
  b.product = "Camera B";
  b.readyOnEnable = false;
  return {a, b};
}

// An override that answers one triplet with `rc` (the manager runs it first
// with passOn).
inline twain_script::Override Answer(TW_UINT32 dg, TW_UINT16 dat, TW_UINT16 msg, std::optional<TW_UINT16> rc,
                                     bool passOn = false) {
  twain_script::Override o;
  o.dg = dg;
  o.dat = dat;
  o.msg = msg;
  o.rc = rc;
  o.passOn = passOn;
  return o;
}

}  // namespace scripttest
