// Shared by the stroke button tests: a host window, stroke regions, a button
// whose inner state the tests may look at, and drags with real input.
#pragma once
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "merrobase/free_button.h"
#include "tests/platform/mfc/wnd_support.h"

namespace test {

// The host's window the buttons live on, painted a colour no button uses.
const COLORREF kHostColour = RGB(0, 0, 128);

struct Host : Recorder<> {
  BOOL Make(int width, int height) {
    if (!Create(nullptr, "host", WS_POPUP | WS_VISIBLE, RECT{0, 0, width, height}, nullptr, 0)) return FALSE;
    UpdateWindow();
    CDC* dc = GetDC();
    dc->FillSolidRect(RECT{0, 0, width, height}, kHostColour);
    ReleaseDC(dc);
    return WaitFor([] { return ScreenPixel(1, 1) == kHostColour; });
  }
  size_t Clicks(UINT id, WORD code = BN_CLICKED) const {
    size_t n = 0;
    for (const auto& g : got) n += g.message == WM_COMMAND && g.wParam == MAKEWPARAM(WORD(id), code);
    return n;
  }
};

// A button that lets the tests see what it keeps, and records its
// messages and when its moves came.
struct Probe : CFreeButton {
  using CFreeButton::m_bCapture;
  using CFreeButton::m_bHover;
  using CFreeButton::m_bMoveable;
  using CFreeButton::m_bToolTip;
  using CFreeButton::m_crNormal;
  using CFreeButton::m_crSelected;
  using CFreeButton::m_nBorder;
  using CFreeButton::m_ptCentre;
  using CFreeButton::m_rcCorrect;
  using CFreeButton::m_rcCurrent;
  using CFreeButton::m_rcOrig;
  using CFreeButton::m_strToolTip;

  std::vector<UINT> got;
  std::vector<std::chrono::steady_clock::time_point> moves;
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
    got.push_back(message);
    if (message == WM_MOVE) moves.push_back(std::chrono::steady_clock::now());
    return CFreeButton::WindowProc(message, wParam, lParam);
  }
  size_t Count(UINT m) const { return size_t(std::count(got.begin(), got.end(), m)); }

  // The state pictures: 0 normal, 1 selected, 2 hover, 3 disabled.
  const gdi::Bitmap* Picture(int which) const {
    const CBitmap* const pictures[] = {m_pbmNormal, m_pbmSelected, m_pbmHover, m_pbmDisabled};
    return pictures[which] ? pictures[which]->Pixels() : nullptr;
  }
  // The button's place in its parent's client area.
  CRect Place() const {
    RECT r;
    GetWindowRect(&r);
    GetParent()->ScreenToClient(&r);
    return r;
  }
  POINT Screen(int x, int y) const { return test::OnScreen(*this, x, y); }
  std::string At(int x, int y) const { return test::At(*this, x, y); }
};

// A region of the pixels left..right-1 x top..bottom-1.
inline HRGN RectRegion(int left, int top, int right, int bottom) { return ::CreateRectRgn(left, top, right, bottom); }

inline HRGN PolygonRegion(const std::vector<POINT>& points) {
  CRgn r;
  if (!r.CreatePolygonRgn(points.data(), int(points.size()), ALTERNATE)) return nullptr;
  return HRGN(r.Detach());
}

// Presses on the button's client point, moves the pointer by (dx, dy) in
// steps and releases, with xdotool, while the GUI thread runs.
inline bool Drag(const Probe& b, POINT from, int dx, int dy) {
  const POINT s = b.Screen(from.x, from.y);
  return Xdo(At(s.x, s.y) + " mousedown 1 sleep 0.1 " + At(s.x + dx / 2, s.y + dy / 2) + " sleep 0.1 " +
             At(s.x + dx, s.y + dy) + " sleep 0.1 mouseup 1");
}

}  // namespace test

// Readable failures.
inline void PrintTo(const CRect& r, std::ostream* os) {
  *os << "(" << r.left << "," << r.top << ")-(" << r.right << "," << r.bottom << ")";
}
inline void PrintTo(const CPoint& p, std::ostream* os) { *os << "(" << p.x << "," << p.y << ")"; }
