// Drawing outlines, strokes and their points into device contexts.
#include <cstdio>

#include "merrodataengine/outline/out_line.h"
#include "platform/mfc/dc.h"

namespace {

const int kMarkRadius = 5;
const int kNumberBox = 30;

// Selects the drawing pen (when there is one) for the life of the object;
// it puts the DC's own pen back unless told to leave the drawing pen in.
class PenSelection {
 public:
  PenSelection(HDC dc, CPen* pen) : dc_(dc) {
    if (pen && pen->Pen()) old_ = dc_->SelectPen(*pen->Pen()), selected_ = true;
  }
  ~PenSelection() {
    if (selected_ && restore_) dc_->SelectPen(old_);
  }
  void Keep() { restore_ = false; }

 private:
  HDC dc_;
  gdi::Pen old_;
  bool selected_ = false, restore_ = true;
};

bool RestoresPen(int penMode) { return penMode >= 0 && penMode <= 3; }

}  // namespace

void COutLine::TraceOutline(HDC dc, bool withOffset) {
  for (unsigned long n = 1; n <= (unsigned long)m_nStrokes; ++n) {
    size_t s, e;
    if (!StrokeSpan(n, s, e)) continue;
    for (size_t i = s; i <= e; ++i) {
      const POINT p = withOffset ? WithOffset(Scaled(m_Points[i])) : Scaled(m_Points[i]);
      if (i == s)
        dc->MoveTo(p.x, p.y);
      else
        dc->LineTo(p.x, p.y);
    }
  }
}

int COutLine::DrawOutLine(CDC* dc, unsigned long colour) {
  if (!dc || !dc->m_hDC) return 0;
  CPen pen(PS_SOLID, 0, colour);
  CPen* old = dc->SelectObject(&pen);
  TraceOutline(dc->m_hDC, true);
  if (old) dc->SelectObject(old);
  return 1;
}

void COutLine::MarkPoints(HDC dc, const std::vector<POINT>& points, int numbered) {
  for (size_t i = 0; i < points.size(); ++i) {
    const POINT p = Scaled(points[i]);
    DrawPoint(dc, p.x, p.y, 0, kMarkRadius);
    if (numbered != 1) continue;
    char number[16];
    snprintf(number, sizeof number, "%d", int(i + 1));
    RECT box{p.x - kNumberBox / 2, p.y - kNumberBox / 2, p.x + kNumberBox / 2, p.y + kNumberBox / 2};
    dc->DrawText(number, &box, DT_CENTER);
  }
}

int COutLine::DrawOutLine(HDC dc, int lines, int numbered) {
  if (!dc) return 0;
  if (lines == 1) {
    TraceOutline(dc, false);
  } else {
    for (const POINT& point : m_Points) {
      const POINT p = Scaled(point);
      dc->SetPixel(p.x, p.y, RGB(255, 0, 0));
    }
  }
  if (numbered == 1) {
    std::vector<POINT> vertices;
    for (DWORD index : m_VertexIndices)
      if (index < m_Points.size()) vertices.push_back(m_Points[index]);
    MarkPoints(dc, vertices, 1);
  }
  return 1;
}

int COutLine::DrawOutLine(HDC dc, unsigned long from, unsigned long to, int penMode) {
  if (!dc || from >= m_Points.size() || to >= m_Points.size()) return 0;
  if (from + 1 == m_Points.size()) return 1;
  PenSelection pen(dc, m_pPen);
  if (!RestoresPen(penMode)) pen.Keep();
  POINT p = Scaled(m_Points[from]);
  dc->MoveTo(p.x, p.y);
  for (unsigned long i = from; i < to; ++i) {
    p = Scaled(m_Points[i]);
    dc->LineTo(p.x, p.y);
  }
  return 1;
}

void COutLine::DrawStroke(HDC dc, unsigned long n, int penMode) {
  size_t s, e;
  if (!dc || !StrokeSpan(n, s, e)) return;
  PenSelection pen(dc, m_pPen);
  if (!RestoresPen(penMode)) pen.Keep();
  POINT p = Scaled(m_Points[s]);
  dc->MoveTo(p.x, p.y);
  for (size_t i = s; i <= e; ++i) {
    p = Scaled(m_Points[i]);
    dc->LineTo(p.x, p.y);
  }
}

void COutLine::DrawCtrlPoint(HDC dc, int numbered) {
  if (dc) MarkPoints(dc, m_CtrlPoints, numbered);
}

void COutLine::DrawVertexPoint(HDC dc, int numbered) {
  if (!dc) return;
  PenSelection pen(dc, m_pPen);
  std::vector<POINT> vertices;
  for (DWORD index : m_VertexIndices)
    if (index < m_Points.size()) vertices.push_back(m_Points[index]);
  MarkPoints(dc, vertices, numbered);
}

void COutLine::DrawPoint(HDC dc, int x, int y, int, int r) {
  if (dc) dc->Ellipse(x - r, y + r, x + r, y - r);
}
