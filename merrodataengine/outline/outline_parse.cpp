// The stroke record parser.
//
// Record (little-endian, coordinates one unsigned byte each):
//   S:u8, then S stroke blocks; block i:
//     head      code x y (even i) or x y code (odd i)
//     bend      flag:u8 N:u8 (first:i32 second:i32) x N   (bend codes, when read)
//     G:u8, then G segments; segment k: type count (even k) or count type
//     (odd k), then count points x y
//   type 1: polyline; type 2: quadratic B-spline (the last point on the
//   curve); other types: control points only.
//
// Every read is checked against the end of the record, and every count
// against the bytes left, so a damaged record ends the parse (result 0,
// empty outline) instead of being read past its end.
#include <algorithm>

#include "merrodataengine/outline/out_line.h"

class COutLine::Reader {
 public:
  Reader(const BYTE* data, size_t size) : data_(data), size_(data ? size : 0) {}

  bool Byte(BYTE& out) {
    if (pos_ >= size_) return false;
    out = data_[pos_++];
    return true;
  }
  bool Int32(int& out) {
    if (Left() < 4) return false;
    const BYTE* p = data_ + pos_;
    out = int(DWORD(p[0]) | (DWORD(p[1]) << 8) | (DWORD(p[2]) << 16) | (DWORD(p[3]) << 24));
    pos_ += 4;
    return true;
  }
  // True when `count` items of `size` bytes each can still follow.
  bool Fits(size_t count, size_t size) const { return count * size <= Left(); }
  size_t Left() const { return size_ - pos_; }
  size_t Position() const { return pos_; }

 private:
  const BYTE* data_;
  size_t size_;
  size_t pos_ = 0;
};

namespace {

// Smallest number of bytes a stroke block and a segment take.
constexpr size_t kMinStroke = 4;   // head and segment count
constexpr size_t kMinSegment = 2;  // type and count

int32_t ToFixed(FIXED f) { return int32_t(uint32_t(uint16_t(f.value)) << 16 | f.fract); }
FIXED FromFixed(int32_t v) { return FIXED{WORD(v & 0xFFFF), int16_t(v >> 16)}; }
POINTFX ToPointFX(const POINT& p) { return POINTFX{FIXED{0, int16_t(p.x)}, FIXED{0, int16_t(p.y)}}; }

}  // namespace

POINTFX COutLine::AvgPointsFX(POINTFX a, POINTFX b) {
  // Whole 16.16 numbers added and halved, truncating toward zero.
  return POINTFX{FromFixed((ToFixed(a.x) + ToFixed(b.x)) / 2), FromFixed((ToFixed(a.y) + ToFixed(b.y)) / 2)};
}

bool COutLine::QSpline(POINTFX a, POINTFX b, POINTFX c, int depth) {
  // Three halvings: each quadratic piece becomes 8 points, the last being c.
  if (depth + 1 >= m_nSplineDepth) {
    AddPointToArray(c.x.value, c.y.value, 2);
    return true;
  }
  const POINTFX ab = AvgPointsFX(a, b), bc = AvgPointsFX(b, c), m = AvgPointsFX(ab, bc);
  const bool first = QSpline(a, ab, m, depth + 1);
  const bool second = QSpline(m, bc, c, depth + 1);
  return first && second;
}

bool COutLine::ParseSegment(Reader& in, int k, POINT& current) {
  AddCtrlIndexToArray();
  BYTE a, b;
  if (!in.Byte(a) || !in.Byte(b)) return false;
  const BYTE type = (k % 2 == 0) ? a : b;
  const BYTE count = (k % 2 == 0) ? b : a;
  if (!in.Fits(count, 2)) return false;
  std::vector<POINT> points(count);
  for (POINT& p : points) {
    BYTE x = 0, y = 0;
    in.Byte(x), in.Byte(y);
    p = POINT{x, y};
    m_CtrlPoints.push_back(p);
  }
  if (type == 1) {
    for (const POINT& p : points) {
      AddPointToArray(p.x, p.y, 2);
      AddVertexPointToArray();
    }
    if (count > 0) current = points.back();
  } else if (type == 2 && count >= 2) {
    POINTFX prev = ToPointFX(current);
    for (int j = 0; j + 1 < count; ++j) {
      AddVertexPointToArray();
      const POINTFX control = ToPointFX(points[j]);
      const POINTFX end = (j + 2 == count) ? ToPointFX(points[j + 1]) : AvgPointsFX(control, ToPointFX(points[j + 1]));
      QSpline(prev, control, end, 0);
      prev = end;
    }
    current = points.back();
  }
  return true;
}

bool COutLine::ParseStroke(Reader& in, int i, bool readBends) {
  const size_t begin = in.Position();
  BYTE h0, h1, h2;
  if (!in.Byte(h0) || !in.Byte(h1) || !in.Byte(h2)) return false;
  const BYTE code = (i % 2 == 0) ? h0 : h2;
  const POINT start = (i % 2 == 0) ? POINT{h1, h2} : POINT{h0, h1};
  m_StrokeCodes.push_back(code);

  if (readBends && On_Is_Zhe(code)) {
    BYTE flag, n;
    if (!in.Byte(flag) || !in.Byte(n) || !in.Fits(n, 8)) return false;
    m_ZheFlags.push_back({i + 1, flag});
    // The first stored cut joins the start tip and the end tip: it becomes
    // the degenerate cut at the start tip, and one at the end tip closes
    // the list, so the N stored cuts bound N pieces.
    int endTip = 0;
    for (int j = 0; j < n; ++j) {
      Cut cut{0, 0};
      in.Int32(cut.first), in.Int32(cut.second);
      if (j == 0) {
        m_ZheStarts.push_back({i + 1, int(m_ZheCuts.size())});
        endTip = cut.second;
        cut.second = cut.first;
      }
      m_ZheCuts.push_back(cut);
    }
    if (n > 0) m_ZheCuts.push_back({endTip, endTip});
  }

  AddPointToArray(start.x, start.y, 6);
  AddVertexPointToArray();
  AddStartPointOfStroke();
  AddStartVertex();
  m_CtrlPoints.push_back(start);
  AddStartCtrlToArray();

  BYTE segments;
  if (!in.Byte(segments) || !in.Fits(segments, kMinSegment)) return false;
  POINT current = start;
  for (int k = 0; k < segments; ++k)
    if (!ParseSegment(in, k, current)) return false;

  AddPointToArray(start.x, start.y, 1);
  AddVertexPointToArray();
  m_StrokeBufLens.push_back(DWORD(in.Position() - begin));
  return true;
}

int COutLine::GetPoint(int readBends) {
  Reader in(m_pWordBuf, size_t(std::max(m_nBufLen, 0)));
  BYTE strokes = 0;
  bool ok = m_pWordBuf != NULL && in.Byte(strokes) && strokes > 0 && in.Fits(strokes, kMinStroke);
  for (int i = 0; ok && i < strokes; ++i) ok = ParseStroke(in, i, readBends != 0);
  if (!ok) {
    KillAll();
    return 0;
  }
  m_nStrokes = strokes;
  return 1;
}
