// The pixels of a one-pixel line from (x0, y0) towards (x1, y1), the end
// pixel left out (so joined segments draw every joint once). Along the major
// axis each step moves one pixel; the minor coordinate is the line's value
// rounded to the nearest pixel. Only the steps that can land inside `bounds`
// are visited, so a long segment mostly outside costs what its visible part
// costs.
#pragma once
#include <QRect>
#include <algorithm>
#include <cstdint>
#include <cstdlib>

namespace gdi {

// Calls plot(x, y, step) for the visible steps of the line; `step` counts
// from 0 at (x0, y0) (for dash patterns). Returns the number of steps of the
// whole line (the end pixel not counted); `visited`, when given, grows by
// the box of the pixels passed to plot.
template <class Plot>
int64_t StepLine(int64_t x0, int64_t y0, int64_t x1, int64_t y1, const QRect& bounds, Plot plot,
                 QRect* visited = nullptr) {
  const int64_t dx = x1 - x0, dy = y1 - y0;
  const bool xMajor = std::llabs(dx) >= std::llabs(dy);
  // Major axis u, minor axis v.
  const int64_t u0 = xMajor ? x0 : y0, v0 = xMajor ? y0 : x0;
  const int64_t du = std::llabs(xMajor ? dx : dy), dv = std::llabs(xMajor ? dy : dx);
  const int64_t su = (xMajor ? dx : dy) < 0 ? -1 : 1, sv = (xMajor ? dy : dx) < 0 ? -1 : 1;
  const int64_t uLo = xMajor ? bounds.left() : bounds.top(), uHi = xMajor ? bounds.right() : bounds.bottom();
  const int64_t vLo = xMajor ? bounds.top() : bounds.left(), vHi = xMajor ? bounds.bottom() : bounds.right();
  if (du == 0 || bounds.isEmpty()) return du;

  // Minor offset after i steps: m(i) = floor((2*i*dv + du) / (2*du)).
  // Steps range [first, last] whose pixels may be visible.
  int64_t first = 0, last = du - 1;
  auto clampSteps = [&](int64_t lo, int64_t hi) {  // steps where u0 + su*i lies in [lo, hi]
    int64_t a = su > 0 ? lo - u0 : u0 - hi, b = su > 0 ? hi - u0 : u0 - lo;
    first = std::max(first, a);
    last = std::min(last, b);
  };
  clampSteps(uLo, uHi);
  if (dv > 0) {
    // Offsets m with v0 + sv*m in [vLo, vHi].
    const int64_t mLo = sv > 0 ? vLo - v0 : v0 - vHi, mHi = sv > 0 ? vHi - v0 : v0 - vLo;
    // m(i) >= mLo  <=>  i >= ceil((2*du*mLo - du) / (2*dv));  m(i) <= mHi  <=>  i < ceil((2*du*(mHi+1) - du) / (2*dv)).
    auto ceilDiv = [](int64_t n, int64_t d) { return n / d + ((n % d != 0 && n > 0) ? 1 : 0); };
    first = std::max(first, ceilDiv(2 * du * mLo - du, 2 * dv));
    last = std::min(last, ceilDiv(2 * du * (mHi + 1) - du, 2 * dv) - 1);
  } else if (v0 < vLo || v0 > vHi) {
    return du;
  }
  if (first > last) return du;

  auto minorAt = [&](int64_t i) { return (2 * i * dv + du) / (2 * du); };
  if (visited) {
    const int64_t ua = u0 + su * first, va = v0 + sv * minorAt(first);
    const int64_t ub = u0 + su * last, vb = v0 + sv * minorAt(last);
    const QPoint a = xMajor ? QPoint(int(ua), int(va)) : QPoint(int(va), int(ua));
    const QPoint b = xMajor ? QPoint(int(ub), int(vb)) : QPoint(int(vb), int(ub));
    *visited |= QRect(a, b).normalized();
  }
  int64_t m = minorAt(first);
  int64_t rest = (2 * first * dv + du) - m * 2 * du;  // in [0, 2*du)
  for (int64_t i = first; i <= last; ++i) {
    const int64_t u = u0 + su * i, v = v0 + sv * m;
    if (xMajor)
      plot(int(u), int(v), i);
    else
      plot(int(v), int(u), i);
    rest += 2 * dv;
    if (rest >= 2 * du) {
      rest -= 2 * du;
      ++m;
    }
  }
  return du;
}

}  // namespace gdi
