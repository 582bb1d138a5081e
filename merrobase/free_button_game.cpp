// The stroke-placing game of CFreeButton: the places a button keeps, the
// game states, and OnMove, which judges every move of the button (each drag
// of it is one move: the layer moves a dragged window once, at the drop).
//
// Places are the button's rectangle in the parent's client coordinates,
// the numbers MoveWindow takes, so a recorded place is exactly where the
// button goes back to. A drop hits the target (the drop zone when one is
// set, else the correct place) when the new top-left corner lies inside it.
#include <cstdint>
#include <cstdlib>

#include "merrobase/free_button.h"
#include "platform/win/timing.h"

namespace {

// How long a wrongly dropped button stays before it goes back.
const DWORD kReturnDelayMs = 300;
// RandomPos gives up (and leaves the button) after this many places that
// all fall on the target.
const int kRandomTries = 1000;

bool Inside(const RECT& r, int x, int y) { return x >= r.left && x < r.right && y >= r.top && y < r.bottom; }

// (rand() * 200) mod range, in 64 bits (the C library's rand() may reach
// 2^31 - 1); 0 for an empty range.
int RandomBelow(int range) { return range > 0 ? int(int64_t(rand()) * 200 % range) : 0; }

}  // namespace

void CFreeButton::SetParentWnd(CWnd* parent) { m_pParentWnd = parent; }
void CFreeButton::SetGame() { m_nGameState = 1; }
void CFreeButton::KillGame() { m_nGameState = 0; }
void CFreeButton::PauseGame() { m_nGameState = -1; }
int CFreeButton::GetGameState() { return m_nGameState; }
void CFreeButton::CreatePos(RECT rc) { m_rcCurrent = rc; }

void CFreeButton::SetOrigPos() {
  m_rcOrig = m_rcCurrent;
  m_bHasOrigPos = true;
}

void CFreeButton::KillOrigPos() { m_bHasOrigPos = false; }

void CFreeButton::SetCorrectPos() {
  m_rcCorrect = m_rcCurrent;
  m_bHasCorrectPos = true;
}

void CFreeButton::SetCorrectPos(RECT rc) {
  m_rcCorrectZone = rc;
  m_bCorrectZone = true;
}

void CFreeButton::KillCorrectPos() {
  m_bHasCorrectPos = false;
  m_bCorrectZone = false;
}

void CFreeButton::SetOrderLimit() { m_bOrderLimit = true; }
void CFreeButton::KillOrderLimit() { m_bOrderLimit = false; }
void CFreeButton::SetMoveState(bool moveable) { m_bMoveable = moveable; }
void CFreeButton::SetMakeHZ(bool makeHZ) { m_bMakeHZ = makeHZ; }
int CFreeButton::MoveMe() { return m_nMoveCount; }
void CFreeButton::ClearMoveRecord() { m_nMoveCount = 0; }
void CFreeButton::SetCorrectRgn() {}

RECT CFreeButton::PlaceInParent() const {
  RECT r;
  GetWindowRect(&r);
  m_pParentWnd->ScreenToClient(&r);
  return r;
}

// To the place's top-left corner, keeping the button's size (its pictures
// and shape are made for it).
void CFreeButton::MoveTo(const RECT& place) {
  RECT client;
  GetClientRect(&client);
  MoveWindow(place.left, place.top, client.right, client.bottom, TRUE);
}

void CFreeButton::GotoCorrectPos() {
  if (!m_bHasCorrectPos) return;
  Redraw();
  MoveTo(m_rcCorrect);
}

void CFreeButton::RandomPos() {
  if (!m_pParentWnd) return;
  RECT parent;
  m_pParentWnd->GetWindowRect(&parent);
  const int width = parent.right - parent.left, height = parent.bottom - parent.top;
  for (int i = 0; i < kRandomTries; ++i) {
    const int x = RandomBelow(width - 80);
    const int y = RandomBelow(height - 80);
    if (Inside(m_rcCorrect, x, y) || (m_bCorrectZone && Inside(m_rcCorrectZone, x, y))) continue;
    Redraw();
    MoveTo(RECT{x, y, x, y});
    return;
  }
}

void CFreeButton::OnLButtonDblClk(UINT flags, CPoint point) {
  if (m_nGameState != -1) GotoCorrectPos();
  CButton::OnLButtonDblClk(flags, point);  // a press, through DefWindowProc
}

void CFreeButton::OnMove(int x, int y) {
  CButton::OnMove(x, y);
  if (m_bMakeHZ || !m_pParentWnd) return;
  m_rcCurrent = PlaceInParent();
  const RECT& target = m_bCorrectZone ? m_rcCorrectZone : m_rcCorrect;
  const bool hit = Inside(target, x, y);
  const bool placeKnown = m_bHasOrigPos || m_bHasCorrectPos;
  const bool atStart = m_rcCurrent.left == m_rcOrig.left && m_rcCurrent.top == m_rcOrig.top;

  // The game ends (or the button stops being movable) before the snap: the
  // snap is a move too, and is judged as one. Judged inside the game, a snap
  // onto a correct place outside the drop zone would miss the zone and send
  // the button back to its start.
  if (m_nGameState == 1) {
    if (!placeKnown || m_bMoveable) return;
    ++m_nMoveCount;
    if (m_bHasCorrectPos && hit && (!m_bOrderLimit || m_nStrokeNo == 1)) {
      KillGame();
      GotoCorrectPos();
      return;
    }
    if (!m_bHasOrigPos || atStart) return;
  } else {
    if (!placeKnown || !m_bMoveable) return;
    if (m_bHasCorrectPos && hit) {
      m_bMoveable = false;
      GotoCorrectPos();
      return;
    }
    if (!m_bHasOrigPos || atStart) return;
  }
  Sleep(kReturnDelayMs);
  Redraw();
  MoveTo(m_rcOrig);
}
