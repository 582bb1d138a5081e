// Scale and offset, and the polygon regions of strokes and stroke pieces.
#include <algorithm>
#include <cmath>
#include <cstdint>

#include "merrodataengine/outline/out_line.h"
#include "platform/mfc/dc.h"

namespace {

// |to| / |from|, or nothing when `from` has no extent.
bool Ratio(LONG to, LONG from, double* out) {
  if (from == 0) return false;
  *out = std::fabs(double(to)) / std::fabs(double(from));
  return true;
}

LONG Saturate(int64_t v) { return LONG(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX)); }

}  // namespace

// ---- scale and offset --------------------------------------------------------

void COutLine::On_Set_Scale(double s) { m_dXScale = m_dYScale = std::fabs(s); }

void COutLine::On_Set_Scale(double x, double y) {
  m_dXScale = std::fabs(x);
  m_dYScale = std::fabs(y);
}

void COutLine::On_Set_Scale(RECT r) {
  Ratio(r.right - r.left, m_rcBox.right - m_rcBox.left, &m_dXScale);
  Ratio(r.bottom - r.top, m_rcBox.bottom - m_rcBox.top, &m_dYScale);
  const POINT corner = Scaled(POINT{m_rcBox.left, m_rcBox.top});
  m_nOffsetX = Saturate(int64_t(m_nOffsetX) + r.left - corner.x);
  m_nOffsetY = Saturate(int64_t(m_nOffsetY) + r.top - corner.y);
}

void COutLine::On_Set_Offset(int x, int y) {
  m_nOffsetX = x;
  m_nOffsetY = y;
}

double COutLine::On_Get_Scale(RECT r) {
  m_rcTarget = RECT{0, 0, Saturate(int64_t(r.right) - r.left), Saturate(int64_t(r.bottom) - r.top)};
  double sx = 0, sy = 0;
  const bool hasX = Ratio(r.right - r.left, m_rcBox.right - m_rcBox.left, &sx);
  const bool hasY = Ratio(r.bottom - r.top, m_rcBox.bottom - m_rcBox.top, &sy);
  sx *= m_dMargin;
  sy *= m_dMargin;
  if (hasX && hasY) return sx < sy ? sx : sy;
  return hasX ? sx : hasY ? sy : 0.0;
}

void COutLine::On_Set_Pen(CPen* pen) { m_pPen = pen; }

POINT COutLine::WithOffset(const POINT& scaled) const {
  return POINT{Saturate(int64_t(scaled.x) + m_nOffsetX), Saturate(int64_t(scaled.y) + m_nOffsetY)};
}

// ---- region points -------------------------------------------------------------

bool COutLine::StrokeSpan(unsigned long n, size_t& first, size_t& last) const {
  size_t count;
  if (n < 1 || n > (unsigned long)m_nStrokes || !StrokeRange(m_StrokeStarts, m_Points.size(), int(n - 1), first, count) ||
      count == 0)
    return false;
  last = first + count - 1;
  return true;
}

bool COutLine::GetStrokeRgnData(unsigned long n) {
  m_RgnPoints.clear();
  size_t s, e;
  if (!StrokeSpan(n, s, e)) return true;
  for (size_t i = s; i <= e; ++i) m_RgnPoints.push_back(Scaled(m_Points[i]));
  return true;
}

bool COutLine::GetStrokeRgnData(unsigned long n, unsigned long a, unsigned long b, unsigned long c, unsigned long d) {
  m_RgnPoints.clear();
  size_t s, e;
  if (!StrokeSpan(n, s, e)) return false;
  const size_t length = e - s;
  if (a > length || b > length || c > length || d > length) return false;
  // Forward along the closed outline from `from` to `to`, past its end
  // back to its start when `to` lies before `from`.
  auto arc = [&](size_t from, size_t to) {
    if (to > from) {
      for (size_t i = from; i <= to; ++i) m_RgnPoints.push_back(Scaled(m_Points[i]));
    } else if (to < from) {
      for (size_t i = from; i <= e; ++i) m_RgnPoints.push_back(Scaled(m_Points[i]));
      for (size_t i = s; i <= to; ++i) m_RgnPoints.push_back(Scaled(m_Points[i]));
    }
  };
  arc(s + a, s + c);
  arc(s + d, s + b);
  return true;
}

bool COutLine::MakeRgn(CRgn* rgn, bool withOffset) const {
  if (!rgn || rgn->GetSafeHandle() || m_RgnPoints.empty()) return false;
  if (!withOffset) return rgn->CreatePolygonRgn(m_RgnPoints.data(), int(m_RgnPoints.size()), WINDING);
  std::vector<POINT> moved;
  for (const POINT& p : m_RgnPoints) moved.push_back(WithOffset(p));
  return rgn->CreatePolygonRgn(moved.data(), int(moved.size()), WINDING);
}

// ---- regions -------------------------------------------------------------------

int COutLine::GetStrokeRgn(unsigned long n, int x, int y, double scale, CRgn** out) {
  size_t s, e;
  if (!out || !*out || (*out)->GetSafeHandle() || !StrokeSpan(n, s, e)) return 0;
  int idle = 0;
  if (!m_nDoing.compare_exchange_strong(idle, 1)) return 0;
  m_dXScale = m_dYScale = scale;
  m_nOffsetX = x;
  m_nOffsetY = y;
  GetStrokeRgnData(n);
  const bool made = MakeRgn(*out, false);
  m_nDoing = 0;
  return made ? 1 : 0;
}

int COutLine::DrawStrokeRgn(unsigned long n, CRgn* rgn) {
  GetStrokeRgnData(n);
  return MakeRgn(rgn, true) ? 1 : 0;
}

int COutLine::DrawStrokeRgn(CDC* dc, unsigned long n, unsigned long colour) {
  if (!dc || !dc->m_hDC) return 0;
  GetStrokeRgnData(n);
  CRgn rgn;
  if (!MakeRgn(&rgn, true)) return 0;
  CBrush brush(colour);
  CBrush* old = dc->SelectObject(&brush);
  dc->PaintRgn(&rgn);
  if (old) dc->SelectObject(old);
  return 1;
}

int COutLine::DrawStrokeRgn(CDC* dc, unsigned long n, unsigned long a, unsigned long b, unsigned long c,
                            unsigned long d) {
  CRgn rgn;
  if (!dc || !dc->m_hDC || !GetStrokeRgnData(n, a, b, c, d) || !MakeRgn(&rgn, false)) return 0;
  dc->PaintRgn(&rgn);
  return 1;
}

int COutLine::GetStrokePieces(unsigned long n, std::vector<StrokePiece>& pieces) {
  pieces.clear();
  size_t s, e;
  if (!StrokeSpan(n, s, e)) return 0;
  int next = -1;
  const int first = GetStartZheIndex(int(n), next);
  if (first < 0) {
    // The whole stroke: from the start point forward to the closing point.
    pieces.push_back(StrokePiece{0, 0, (unsigned long)(e - s), 0});
    return 1;
  }
  const size_t end = next < 0 ? m_ZheCuts.size() : size_t(next);
  const long length = long(e - s);
  auto inside = [length](int i) { return i >= 0 && i <= length; };
  for (size_t j = size_t(first) + 1; j < end && j < m_ZheCuts.size(); ++j) {
    const Cut& prev = m_ZheCuts[j - 1];
    const Cut& cut = m_ZheCuts[j];
    if (inside(prev.first) && inside(prev.second) && inside(cut.first) && inside(cut.second))
      pieces.push_back(StrokePiece{(unsigned long)prev.first, (unsigned long)prev.second, (unsigned long)cut.first,
                                   (unsigned long)cut.second});
  }
  return int(pieces.size());
}

int COutLine::GetPieceRgn(unsigned long n, const StrokePiece& piece, CRgn* rgn) {
  return GetStrokeRgnData(n, piece.a, piece.b, piece.c, piece.d) && MakeRgn(rgn, false) ? 1 : 0;
}
