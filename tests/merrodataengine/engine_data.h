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
