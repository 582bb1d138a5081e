// Stroke codes and names, and the accessors of the parsed arrays.
#include <algorithm>
#include <cmath>
#include <new>

#include "merrodataengine/outline/out_line.h"

namespace {

// A scaled coordinate: truncated toward zero, kept within 32 bits.
LONG Truncate(double v) {
  if (!(v == v)) return 0;  // NaN
  return LONG(std::clamp(std::trunc(v), double(INT32_MIN), double(INT32_MAX)));
}

const POINT kNoPoint{0, 0};
const DWORD kNoIndex = 0xFFFFFFFF;

}  // namespace

// ---- codes and names -------------------------------------------------------

int COutLine::On_Is_Zhe(unsigned char code) { return code == '5' || (code >= 'A' && code <= 'O') || code == 'Y'; }

int COutLine::GetStrokeName(unsigned char code, CString& name) {
  struct Entry {
    unsigned char code;
    const char* name;
  };
  static const Entry kNames[] = {{'1', "横"}, {'2', "竖"}, {'3', "撇"}, {'4', "点"},
                                 {'X', "提"}, {'Y', "竖勾"}, {'Z', "捺"}};
  name = "";
  if (code == '5' || (code >= 'A' && code <= 'O')) name = "折";
  for (const Entry& e : kNames)
    if (e.code == code) name = e.name;
  return 1;
}

unsigned char COutLine::GetStrokeName(int index) {
  return index >= 0 && index < m_nStrokes && size_t(index) < m_StrokeCodes.size() ? m_StrokeCodes[index] : 0;
}

int COutLine::On_Get_Stroke_Name(long n, CString& name) {
  if (n < 1 || n > m_nStrokes || size_t(n) > m_StrokeCodes.size()) return 0;
  CString known;
  GetStrokeName(m_StrokeCodes[n - 1], known);
  name = known.IsEmpty() ? CString("未知") : known;
  return 1;
}

// ---- counts and per-stroke ranges -----------------------------------------

int COutLine::GetStrokes() { return m_nStrokes; }
int COutLine::GetPointCount() { return int(m_Points.size()); }
int COutLine::GetZhePointCount() { return int(m_ZheCuts.size()); }
int COutLine::GetVertexPointCount() { return int(m_VertexIndices.size()); }
int COutLine::GetCtrlPointCount() { return int(m_CtrlPoints.size()); }

DWORD COutLine::GetStrokeRecordLength(int index) const {
  return index >= 0 && size_t(index) < m_StrokeBufLens.size() ? m_StrokeBufLens[index] : 0;
}

bool COutLine::StrokeRange(const std::vector<DWORD>& starts, size_t total, int index, size_t& first,
                           size_t& count) const {
  if (index < 0 || index >= m_nStrokes || size_t(index) >= starts.size()) return false;
  const size_t begin = starts[index];
  const size_t end = size_t(index) + 1 < starts.size() ? starts[index + 1] : total;
  if (begin > end || end > total) return false;
  first = begin;
  count = end - begin;
  return true;
}

DWORD COutLine::GetStartIndexOfStroke(int n) {
  size_t first, count;
  return StrokeRange(m_StrokeStarts, m_Points.size(), n - 1, first, count) ? DWORD(first) : kNoIndex;
}

DWORD COutLine::GetEndIndexOfStroke(int n) {
  size_t first, count;
  return StrokeRange(m_StrokeStarts, m_Points.size(), n - 1, first, count) && count > 0 ? DWORD(first + count - 1)
                                                                                         : kNoIndex;
}

int COutLine::IsStartPointOfStroke(int index) {
  return index >= 0 && std::find(m_StrokeStarts.begin(), m_StrokeStarts.end(), DWORD(index)) != m_StrokeStarts.end();
}

int COutLine::GetPointNumOfStroke(int index) {
  size_t first, count;
  return StrokeRange(m_StrokeStarts, m_Points.size(), index, first, count) ? int(count) : 0;
}

int COutLine::GetVertexNumOfStroke(int index) {
  size_t first, count;
  return StrokeRange(m_StartVertices, m_VertexIndices.size(), index, first, count) ? int(count) : 0;
}

int COutLine::GetCtrlNumOfStroke(int index) {
  size_t first, count;
  return StrokeRange(m_StartCtrls, m_CtrlPoints.size(), index, first, count) ? int(count) : 0;
}

// ---- points ----------------------------------------------------------------

POINT COutLine::Scaled(const POINT& p) const { return POINT{Truncate(p.x * m_dXScale), Truncate(p.y * m_dYScale)}; }

int COutLine::CopyScaled(const std::vector<POINT>& points, size_t first, size_t count, POINT** out) const {
  if (!out) return 0;
  *out = NULL;
  if (count == 0) return 0;
  POINT* copy = new (std::nothrow) POINT[count];
  if (!copy) return 0;
  for (size_t i = 0; i < count; ++i) copy[i] = Scaled(points[first + i]);
  *out = copy;
  return int(count);
}

int COutLine::GetPointOfStroke(int index, POINT** out) {
  size_t first, count;
  if (!StrokeRange(m_StrokeStarts, m_Points.size(), index, first, count)) count = 0;
  return CopyScaled(m_Points, first, count, out);
}

int COutLine::GetVertexPointOfStroke(int index, POINT** out) {
  size_t first, count;
  if (!StrokeRange(m_StartVertices, m_VertexIndices.size(), index, first, count)) count = 0;
  std::vector<POINT> vertices;
  for (size_t i = 0; i < count; ++i) vertices.push_back(GetPointOnLineOrg(int(m_VertexIndices[first + i])));
  return CopyScaled(vertices, 0, count, out);
}

int COutLine::GetCtrlPointOfStroke(int index, POINT** out) {
  size_t first, count;
  if (!StrokeRange(m_StartCtrls, m_CtrlPoints.size(), index, first, count)) count = 0;
  return CopyScaled(m_CtrlPoints, first, count, out);
}

POINT COutLine::GetPointOnLineOrg(int i) {
  return i >= 0 && size_t(i) < m_Points.size() ? m_Points[i] : kNoPoint;
}

POINT COutLine::GetPointOnLine(int i) {
  return i >= 0 && size_t(i) < m_Points.size() ? Scaled(m_Points[i]) : kNoPoint;
}

DWORD COutLine::GetVertexPointIndex(int i) {
  return i >= 0 && size_t(i) < m_VertexIndices.size() ? m_VertexIndices[i] : kNoIndex;
}

POINT COutLine::GetVertexPoint(int i) {
  const DWORD index = GetVertexPointIndex(i);
  return index < m_Points.size() ? Scaled(m_Points[index]) : kNoPoint;
}

POINT COutLine::GetCtrlPoint(int i) {
  return i >= 0 && size_t(i) < m_CtrlPoints.size() ? Scaled(m_CtrlPoints[i]) : kNoPoint;
}

// ---- bend cuts and the box -------------------------------------------------

int COutLine::GetStartZheIndex(int n, int& next) {
  next = -1;
  if (n < 1 || n > m_nStrokes) return -1;
  for (size_t k = 0; k < m_ZheStarts.size(); ++k) {
    if (m_ZheStarts[k].stroke != n) continue;
    if (k + 1 < m_ZheStarts.size()) next = m_ZheStarts[k + 1].value;
    return m_ZheStarts[k].value;
  }
  return -1;
}

bool COutLine::GetZheCut(int i, int& first, int& second) {
  if (i < 0 || size_t(i) >= m_ZheCuts.size()) return false;
  first = m_ZheCuts[i].first;
  second = m_ZheCuts[i].second;
  return true;
}

int COutLine::GetZheStartFlag(int n) {
  for (const StrokeValue& f : m_ZheFlags)
    if (f.stroke == n) return f.value;
  return -1;
}

int COutLine::GetRect(RECT** out) {
  if (!out) return 0;
  *out = &m_rcBox;
  return 1;
}

void COutLine::On_SetRectEmpty() { m_rcBox = RECT{0, 0, 0, 0}; }

size_t COutLine::GetHeldBytes() const {
  auto bytes = [](const auto& v) { return v.capacity() * sizeof(v[0]); };
  return sizeof(*this) + size_t(std::max(m_nBufLen, 0)) + bytes(m_Points) + bytes(m_VertexIndices) +
         bytes(m_CtrlPoints) + bytes(m_StrokeCodes) + bytes(m_StrokeStarts) + bytes(m_StartVertices) +
         bytes(m_StartCtrls) + bytes(m_SegmentStarts) + bytes(m_ZheCuts) + bytes(m_ZheStarts) + bytes(m_ZheFlags) +
         bytes(m_StrokeBufLens) + bytes(m_RgnPoints) + bytes(m_FontBuf) + bytes(m_UserFontLens);
}
