// Engine test data: fixture descriptions written as the engine's files into
// a folder of the test's temporary current folder.
#pragma once
#include <gtest/gtest.h>

#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

#include "merrodataengine/outline/out_line.h"
#include "tools/engine_fixture/fixture.h"

// Comparison and printing of the geometry types for the checks (global, so
// that argument-dependent lookup finds them).
inline bool operator==(const POINT& a, const POINT& b) { return a.x == b.x && a.y == b.y; }
inline bool operator==(const RECT& a, const RECT& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}
inline std::ostream& operator<<(std::ostream& os, const POINT& p) { return os << "(" << p.x << "," << p.y << ")"; }
inline std::ostream& operator<<(std::ostream& os, const RECT& r) {
  return os << "{" << r.left << "," << r.top << "," << r.right << "," << r.bottom << "}";
}

namespace engine_test {

// The worked records: a rectangle, a bend stroke, two strokes, two
// segments, a curve, three bars, a three-point curve and a short curve.
inline const char kFixtures[] = R"(
char 啊                 # rect
stroke 1 10 20
line 200 20 200 40 10 40
char 阿                 # bend: 横折 with one inner cut
stroke 5 20 20 flag 1
cut 0 3
cut 1 4
line 200 20 200 200 180 200 180 40 20 40
char 埃                 # shi: two strokes, the second with its start before its code
stroke 1 20 120
line 230 120 230 136 20 136
stroke 2 117 20
line 137 20 137 235 117 235
char 挨                 # twoseg: the second segment puts its count first
stroke 2 10 10
line 20 10
line 20 200 10 200
char 哎                 # curve
stroke 1 0 0
curve 64 0 64 64
char 唉                 # bars: box 100 x 200
stroke 1 0 0
line 100 0 100 20 0 20
stroke 1 0 90
line 100 90 100 110 0 110
stroke 1 0 180
line 100 180 100 200 0 200
char 哀                 # a spline of three points
stroke 1 0 0
curve 0 100 100 100 100 0
char 皑                 # a short spline
stroke 1 0 0
curve 10 0 10 10
)";

enum Fixture { kRect, kBend, kShi, kTwoSeg, kCurve, kBars, kCurve3, kShortCurve };

// Characters with the geometry of real ones: boxes well inside the design
// square, brush strokes with curved tips and curved 撇 and 点, bend strokes
// with their cuts, 12 strokes each (and a 3-stroke 口).
inline const char kCharacters[] = R"(
char 晶
brush 2 8  90 30  90 108
brush 5 8  90 30  166 30  166 108 flag 1
brush 1 7  94 68  162 68
brush 1 7  94 106  162 106
brush 2 8  34 130  34 222
brush 5 8  34 130  116 130  116 222 flag 1
brush 1 7  38 176  112 176
brush 1 7  38 220  112 220
brush 2 8  142 130  142 222
brush 5 8  142 130  224 130  224 222 flag 1
brush 1 7  146 176  220 176
brush 1 7  146 220  220 220
char 森
brush 1 7  80 56  176 56
brush 2 8  128 28  128 120
brush 3 7  124 62  q 110 92  78 112
brush 4 7  134 66  q 150 88  178 104
brush 1 7  30 160  118 160
brush 2 8  74 132  74 228
brush 3 7  70 166  q 58 196  30 216
brush 4 7  80 170  q 94 188  116 202
brush 1 7  138 160  226 160
brush 2 8  182 132  182 228
brush 3 7  178 166  q 166 196  138 216
brush 4 7  188 170  q 210 196  228 216
char 口
brush 2 8  60 50  60 200
brush 5 8  60 50  196 50  196 200 flag 1
brush 1 7  64 198  192 198
)";

enum Character { kJing, kSen, kKou };

// A data folder "data" in the current folder holding a description's files
// (stroke, font and dictionary files).
class DataFolder {
 public:
  explicit DataFolder(const std::string& description, const std::string& folder = "data") : folder_(folder) {
    std::filesystem::create_directories(folder_);
    std::string error;
    EXPECT_TRUE(engine_fixture::Parse(description, &d_, &error)) << error;
    EXPECT_TRUE(engine_fixture::WriteStrokeFiles(d_, folder_, &error, &placed_)) << error;
    EXPECT_TRUE(engine_fixture::WriteFontFiles(d_, folder_, &error)) << error;
    EXPECT_TRUE(engine_fixture::WriteDictionaryFiles(d_, folder_, &error)) << error;
  }

  const std::string& Folder() const { return folder_; }
  const engine_fixture::Description& Description() const { return d_; }
  CString Char(size_t i) const { return CString(d_.characters.at(i).gbk.c_str()); }
  std::string Record(size_t i, bool bends = true) const { return engine_fixture::Record(d_.characters.at(i), bends); }
  const engine_fixture::IndexValues& Placed(size_t i) const { return placed_.at(i); }

  // Loads character i into the outline through the stroke files.
  void Load(COutLine& outline, size_t i) const {
    outline.On_Set_Hanzi_File(folder_.c_str());
    const engine_fixture::IndexValues& v = placed_.at(i);
    outline.On_Set_Hanzi(Char(i), (unsigned long)v.offset, (unsigned long)v.length, v.file);
  }

 private:
  std::string folder_;
  engine_fixture::Description d_;
  std::vector<engine_fixture::IndexValues> placed_;
};

inline std::vector<POINT> Points(COutLine& o) {
  std::vector<POINT> out;
  for (int i = 0; i < o.GetPointCount(); ++i) out.push_back(o.GetPointOnLineOrg(i));
  return out;
}

inline std::vector<POINT> Pts(std::initializer_list<std::pair<int, int>> l) {
  std::vector<POINT> out;
  for (auto& p : l) out.push_back(POINT{p.first, p.second});
  return out;
}


}  // namespace engine_test
