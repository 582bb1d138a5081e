#include "platform/win/appearance.h"

namespace {

struct Value {
  int index;
  COLORREF colour;
};
const Value kColours[] = {
    {COLOR_BTNFACE, RGB(236, 233, 216)},    {COLOR_BTNSHADOW, RGB(172, 168, 153)},
    {COLOR_BTNTEXT, RGB(0, 0, 0)},          {COLOR_BTNHIGHLIGHT, RGB(255, 255, 255)},
    {COLOR_3DDKSHADOW, RGB(113, 111, 100)}, {COLOR_3DLIGHT, RGB(241, 239, 226)},
};

struct Metric {
  int index;
  int value;
};
const Metric kMetrics[] = {{SM_CXBORDER, 1}, {SM_CYBORDER, 1}};

}  // namespace

COLORREF GetSysColor(int index) {
  for (const Value& v : kColours)
    if (v.index == index) return v.colour;
  return 0;
}

int GetSystemMetrics(int index) {
  for (const Metric& m : kMetrics)
    if (m.index == index) return m.value;
  return 0;
}
