// The animated fill: a worker thread per fill sweeps the strokes into the
// memory bitmap and reports to the host window by posted messages.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <new>
#include <system_error>

#include "merrodataengine/outline/out_line.h"
#include "platform/mfc/wnd.h"
#include "platform/win/messages.h"
#include "platform/win/window_walk.h"

namespace {

// Milliseconds of a delay field: its value truncated, `fallback` for a
// negative one (or one that is not a number).
long Delay(double ms, long fallback) {
  if (!(ms >= 0)) return fallback;
  return long(std::min(std::trunc(ms), double(INT32_MAX)));
}

// Progress codes.
enum : unsigned int {
  kAsked = 0,
  kMiddle = 1,
  kDone = 2,
  kStrokeDone = 3,
  kStart = 4,
  kRefused = 5,
  kStopped = 6,
  kNoRegion = 7,
  kStrokeStart = 8,
};

}  // namespace

unsigned int On_Fill_Thread(COutLine* o, const EngineParams& p, HWND wnd, CDC* dc, bool claimed) {
  const unsigned long strokes = (unsigned long)o->GetStrokes();
  const unsigned long first = p.nSlot04 <= 0 ? 1 : (unsigned long)p.nSlot04;
  const unsigned long last = p.nSlot08 <= 0 ? strokes : (unsigned long)p.nSlot08;
  if (last < first) {
    delete dc;
    if (claimed) o->m_nDoing = 0;
    return 1;
  }
  o->Fill(wnd, dc, p.nSlot00, first, last, (unsigned long)p.nSlot2C,
          (unsigned long)atol(p.strSlot38), std::max(p.nSlot0C, 0), std::max(p.nSlot30, 0),
          p.dSlot10 >= 0 ? p.dSlot10 : 1.0, Delay(p.dSlot18, 10), Delay(p.dSlot20, 60), claimed);
  return 1;
}

void COutLine::On_Set_Parent(CWnd* parent) { m_hParent = parent ? parent->GetSafeHwnd() : HWND(0); }

void COutLine::On_Send_Msg_To_ParentWnd(unsigned int message, unsigned int wParam, long lParam) {
  if (HWND parent = m_hParent) ::PostMessage(parent, message, wParam, lParam);
}

namespace {

// The handle of a host window and a DC of it, taken while the host's CWnd
// is sure to be there.
struct Target {
  HWND wnd = 0;
  CDC* dc = nullptr;
  explicit Target(CWnd* w) {
    if (!w || !IsWindow(w->GetSafeHwnd())) return;
    wnd = w->GetSafeHwnd();
    dc = w->GetDC();
  }
};

bool IsEmpty(const RECT& r) { return r.right <= r.left || r.bottom <= r.top; }

}  // namespace

int COutLine::On_Fill() {
  if (IsEmpty(m_rcTarget)) return 0;
  m_nExit = 0;
  m_FillThreads.erase(std::remove_if(m_FillThreads.begin(), m_FillThreads.end(),
                                     [](const std::unique_ptr<FillThread>& t) {
                                       if (!t->done) return false;
                                       t->thread.join();
                                       return true;
                                     }),
                      m_FillThreads.end());
  // Busy from here on, so that no caller takes the outline from under the
  // fill before its thread runs; a running fill keeps the flag, and the new
  // thread refuses.
  int idle = 0;
  const bool claimed = m_nDoing.compare_exchange_strong(idle, 1);
  std::unique_ptr<FillThread> t(new (std::nothrow) FillThread);
  if (t) {
    FillThread* self = t.get();
    const EngineParams params = m_FillParams;
    const Target target(reinterpret_cast<CWnd*>(params.pSlot28));
    try {
      t->thread = std::thread([this, self, params, target, claimed] {
        On_Fill_Thread(this, params, target.wnd, target.dc, claimed);
        self->done = true;
      });
      m_FillThreads.push_back(std::move(t));
      return 1;
    } catch (const std::system_error&) {
      delete target.dc;
    }
  }
  if (claimed) m_nDoing = 0;
  return 0;
}

int COutLine::On_Fill_Stroke(CWnd* wnd, int outline, unsigned long first, unsigned long last, unsigned long colour,
                             unsigned long background, int x, int y, double scale, long fillDelay, long strokeDelay) {
  const Target target(wnd);
  return Fill(target.wnd, target.dc, outline, first, last, colour, background, x, y, scale, fillDelay, strokeDelay,
              false);
}

int COutLine::Fill(HWND wnd, CDC* dc, int outline, unsigned long first, unsigned long last, unsigned long colour,
                   unsigned long background, int x, int y, double scale, long fillDelay, long strokeDelay,
                   bool claimed) {
  // The window DC goes first, and the busy flag is let go as the fill's
  // last touch of the outline.
  std::unique_ptr<CDC> windowDC(dc);
  auto end = [&](int result) {
    windowDC.reset();
    if (claimed) m_nDoing = 0;
    return result;
  };
  if (!wnd || !IsWindow(wnd) || IsEmpty(m_rcTarget)) return end(0);
  if (!claimed) {
    int idle = 0;
    claimed = m_nDoing.compare_exchange_strong(idle, 1);
  }
  if (!claimed) {
    // Another fill runs: its window keeps its messages.
    ::PostMessage(wnd, kFillMessage, kAsked, 0);
    ::PostMessage(wnd, kFillMessage, kRefused, 0);
    return 0;
  }
  m_hParent = wnd;
  Post(kAsked);
  const unsigned long strokes = (unsigned long)m_nStrokes;
  if (first < 1 || last < 1 || first > strokes || last > strokes || fillDelay < 0 || strokeDelay < 0 ||
      first > last || scale == 0) {
    Post(kRefused);
    return end(0);
  }
  if (m_nExit == 1) {
    Post(kStopped);
    return end(0);
  }
  std::unique_ptr<CRgn> rgn(new (std::nothrow) CRgn);
  if (!rgn) {
    Post(kNoRegion);
    return end(0);
  }
  m_dXScale = m_dYScale = scale;
  m_nOffsetX = x;
  m_nOffsetY = y;
  m_nFillDelay = int(std::min(fillDelay, long(INT32_MAX)));
  m_nStrokeDelay = int(std::min(strokeDelay, long(INT32_MAX)));
  // A fill from a later stroke on adds to the picture of the one before.
  if (first == 1) {
    ResetMemDC(background, 1, 0);
    if (outline == 1) DrawOutLine(m_pMemDC.get(), colour);
  }
  Post(kStart, long(strokes));
  FillStrokes(windowDC.get(), rgn.get(), first, last, colour);
  rgn.reset();
  windowDC.reset();
  if (m_nExit == 0) Post(kDone);
  m_hParent = 0;
  return end(1);
}

void COutLine::FillStrokes(CDC* dc, CRgn* rgn, unsigned long first, unsigned long last, unsigned long colour) {
  for (unsigned long k = first; k <= last; ++k) {
    if (m_nExit == 1) {
      Post(kStopped);
      return;
    }
    if (k == (first + last) / 2) Post(kMiddle);
    Post(kStrokeStart, long(k));
    m_cCode = GetStrokeName(int(k - 1));
    if (On_Is_Zhe(m_cCode)) {
      FillBendStroke(dc, rgn, k, colour);
    } else {
      GetStrokeRgnData(k);
      if (m_RgnPoints.empty()) continue;  // nothing to fill: no report, no pause
      if (MakeRgn(rgn, false)) {
        On_Write_Stroke(dc, rgn, m_cCode, colour);
        rgn->DeleteObject();
      }
    }
    Post(kStrokeDone, long(k));
    Pause(m_nStrokeDelay);
  }
  // Stopped while the last stroke was swept: that is a stop as well.
  if (m_nExit == 1) Post(kStopped);
}

void COutLine::FillBendStroke(CDC* dc, CRgn* rgn, unsigned long n, unsigned long colour) {
  m_nZheFlag = std::max(GetZheStartFlag(int(n)), 0);
  m_nPieceCount = 0;
  int next = -1;
  const bool cut = GetStartZheIndex(int(n), next) >= 0;
  std::vector<StrokePiece> pieces;
  GetStrokePieces(n, pieces);
  const DWORD start = GetStartIndexOfStroke(int(n));
  for (const StrokePiece& piece : pieces) {
    if (!GetPieceRgn(n, piece, rgn)) continue;  // an empty piece leaves the orientation
    if (cut) {
      const DWORD indices[4] = {start + DWORD(piece.a), start + DWORD(piece.c), start + DWORD(piece.b),
                                start + DWORD(piece.d)};
      std::copy(indices, indices + 4, m_nPieceIndex);
      On_Write_Stroke(dc, rgn, colour);
      ++m_nPieceCount;
      m_nZheFlag = m_nZheFlag == 1 ? 0 : 1;
    } else {
      // A bend stroke without cut lines (font records have none) is swept
      // whole, from the top.
      SweepRegion(dc, rgn, Sweep::kRowsDown, colour);
    }
    rgn->DeleteObject();
  }
}

int COutLine::On_Write_Stroke(CDC* dc, CRgn* rgn, unsigned char code, unsigned long colour) {
  RECT box;
  if (On_Is_Zhe(code) || !dc || !rgn || rgn->GetRgnBox(&box) <= NULLREGION) return 0;
  struct Rule {
    unsigned char code;
    Sweep tall, wide;  // box at least as high as wide, and wider than high
  };
  static const Rule kRules[] = {
      {'1', Sweep::kColumnsRight, Sweep::kColumnsRight}, {'X', Sweep::kColumnsRight, Sweep::kColumnsRight},
      {'2', Sweep::kRowsDown, Sweep::kRowsDown},         {'3', Sweep::kRowsDown, Sweep::kColumnsLeft},
      {'4', Sweep::kRowsDown, Sweep::kColumnsRight},     {'Z', Sweep::kRowsDown, Sweep::kColumnsRight},
  };
  const bool tall = box.bottom - box.top >= box.right - box.left;
  for (const Rule& r : kRules)
    if (r.code == code) SweepRegion(dc, rgn, tall ? r.tall : r.wide, colour);
  return 1;
}

int COutLine::On_Write_Stroke(CDC* dc, CRgn* rgn, unsigned long colour) {
  if (!dc || !rgn || !rgn->GetSafeHandle()) return 0;
  Sweep sweep = Sweep::kNone;
  if (m_cCode == 'M') {
    sweep = m_nPieceCount == 0 ? Sweep::kRowsDown : m_nPieceCount == 1 ? Sweep::kRowsUp : Sweep::kNone;
  } else if (m_nPieceIndex[0] < m_Points.size() && m_nPieceIndex[1] < m_Points.size()) {
    // Each piece goes the way the stroke advances from its previous cut to
    // its next one.
    const POINT p = Scaled(m_Points[m_nPieceIndex[0]]), q = Scaled(m_Points[m_nPieceIndex[1]]);
    if (m_nZheFlag == 1)
      sweep = p.x < q.x ? Sweep::kColumnsRight : Sweep::kColumnsLeft;
    else
      sweep = p.y < q.y ? Sweep::kRowsDown : Sweep::kRowsUp;
  }
  SweepRegion(dc, rgn, sweep, colour);
  return 1;
}

void COutLine::SweepRegion(CDC* dc, CRgn* rgn, Sweep sweep, unsigned long colour) {
  switch (sweep) {
    case Sweep::kColumnsRight: return On_Fill_Rgn_Heng(dc, rgn, 1, colour);
    case Sweep::kColumnsLeft: return On_Fill_Rgn_Heng(dc, rgn, 0, colour);
    case Sweep::kRowsDown: return On_Fill_Rgn_Shu(dc, rgn, 1, colour);
    case Sweep::kRowsUp: return On_Fill_Rgn_Shu(dc, rgn, 0, colour);
    case Sweep::kNone: return;
  }
}

// The box's right and bottom edges are outside the region, so lines run up
// to them, not over them.
void COutLine::On_Fill_Rgn_Heng(CDC* dc, CRgn* rgn, int forward, unsigned long colour) {
  RECT b;
  if (m_nExit == 1 || !rgn || rgn->GetRgnBox(&b) == ERROR) return;
  for (long i = 0; i < long(b.right) - b.left && m_nExit == 0; ++i) {
    const int x = forward ? int(b.left + i) : int(b.right - 1 - i);
    for (int y = b.top; y < b.bottom && m_nExit == 0; ++y)
      if (rgn->PtInRegion(x, y)) DrawMemDc(x, y, colour);
    On_CopyToDC(dc);
    Pause(m_nFillDelay);
  }
}

void COutLine::On_Fill_Rgn_Shu(CDC* dc, CRgn* rgn, int forward, unsigned long colour) {
  RECT b;
  if (m_nExit == 1 || !rgn || rgn->GetRgnBox(&b) == ERROR) return;
  for (long i = 0; i < long(b.bottom) - b.top && m_nExit == 0; ++i) {
    const int y = forward ? int(b.top + i) : int(b.bottom - 1 - i);
    for (int x = b.left; x < b.right && m_nExit == 0; ++x)
      if (rgn->PtInRegion(x, y)) DrawMemDc(x, y, colour);
    On_CopyToDC(dc);
    Pause(m_nFillDelay);
  }
}

// A stop is seen within a few milliseconds, whatever the delay.
void COutLine::Pause(int ms) const {
  using Clock = std::chrono::steady_clock;
  const auto end = Clock::now() + std::chrono::milliseconds(ms);
  while (m_nExit == 0) {
    const auto now = Clock::now();
    if (now >= end) return;
    std::this_thread::sleep_for(std::min<Clock::duration>(end - now, std::chrono::milliseconds(5)));
  }
}
