// Stroke records parsed into outlines: the worked records, the invariants
// after every parse, the loaders, and damaged or missing records.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "engine_data.h"
#include "merrodataengine/outline/out_line.h"
#include "platform/text/gbk.h"

using namespace engine_test;
namespace fs = std::filesystem;

namespace {

std::vector<int> VertexIndices(COutLine& o) {
  std::vector<int> out;
  for (int i = 0; i < o.GetVertexPointCount(); ++i) out.push_back(int(o.GetVertexPointIndex(i)));
  return out;
}

std::vector<POINT> CtrlPoints(COutLine& o) {
  std::vector<POINT> out;
  for (int i = 0; i < o.GetCtrlPointCount(); ++i) out.push_back(o.GetCtrlPoint(i));
  return out;
}

std::vector<std::pair<int, int>> Cuts(COutLine& o) {
  std::vector<std::pair<int, int>> out;
  int a, b;
  for (int i = 0; o.GetZheCut(i, a, b); ++i) out.push_back({a, b});
  return out;
}

RECT Box(COutLine& o) {
  RECT* r = nullptr;
  EXPECT_EQ(o.GetRect(&r), 1);
  return *r;
}

// What every successful parse guarantees.
void ExpectInvariants(COutLine& o, const std::string& what) {
  SCOPED_TRACE(what);
  const int s = o.GetStrokes();
  ASSERT_GT(s, 0);
  for (int n = 1; n <= s; ++n) {
    EXPECT_NE(o.GetStrokeName(n - 1), 0) << "code of stroke " << n;
    EXPECT_GT(o.GetStrokeRecordLength(n - 1), 0u);
    const DWORD first = o.GetStartIndexOfStroke(n), last = o.GetEndIndexOfStroke(n);
    ASSERT_NE(first, 0xFFFFFFFFu);
    ASSERT_NE(last, 0xFFFFFFFFu);
    EXPECT_EQ(last + 1, n < s ? o.GetStartIndexOfStroke(n + 1) : DWORD(o.GetPointCount()));
    EXPECT_EQ(o.GetPointOnLineOrg(int(first)), o.GetPointOnLineOrg(int(last))) << "stroke " << n << " closed";
    EXPECT_GT(o.GetVertexNumOfStroke(n - 1), 0);
    EXPECT_GT(o.GetCtrlNumOfStroke(n - 1), 0);
  }
  EXPECT_EQ(o.GetStrokeName(s), 0);
  EXPECT_EQ(o.GetStartIndexOfStroke(s + 1), 0xFFFFFFFFu);
  // The box is the smallest one holding every point.
  RECT box = Box(o), tight{INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN};
  for (const POINT& p : Points(o)) {
    tight.left = std::min(tight.left, p.x), tight.top = std::min(tight.top, p.y);
    tight.right = std::max(tight.right, p.x), tight.bottom = std::max(tight.bottom, p.y);
  }
  EXPECT_EQ(box, tight);
}

void ExpectEmpty(COutLine& o, const std::string& what) {
  SCOPED_TRACE(what);
  EXPECT_EQ(o.GetStrokes(), 0);
  EXPECT_EQ(o.GetPointCount(), 0);
  EXPECT_EQ(o.GetVertexPointCount(), 0);
  EXPECT_EQ(o.GetCtrlPointCount(), 0);
  EXPECT_EQ(o.GetZhePointCount(), 0);
  EXPECT_EQ(o.GetStartIndexOfStroke(1), 0xFFFFFFFFu);
  EXPECT_EQ(o.GetPointNumOfStroke(0), 0);
  EXPECT_EQ(o.GetStrokeName(0), 0);
  CString name = "untouched";
  EXPECT_EQ(o.On_Get_Stroke_Name(1, name), 0);
  EXPECT_EQ(name, "untouched");
  EXPECT_EQ(Box(o), (RECT{0, 0, 0, 0}));
  EXPECT_EQ(o.GetHanzi(), "");
}

// Writes `bytes` as the plain test record of `hanzi`.
void WriteTestRecord(const CString& hanzi, const std::string& bytes) {
  fs::create_directories("test");
  std::ofstream("test/" + gbk::ToUtf8(static_cast<LPCTSTR>(hanzi)) + ".zhe.dat", std::ios::binary) << bytes;
}

class OutlineTest : public ::testing::Test {
 protected:
  DataFolder data{kFixtures};
  COutLine outline;
};

}  // namespace

TEST_F(OutlineTest, PolylineRecord) {
  data.Load(outline, kRect);
  EXPECT_EQ(outline.GetHanzi(), data.Char(kRect));
  EXPECT_EQ(Points(outline), Pts({{10, 20}, {200, 20}, {200, 40}, {10, 40}, {10, 20}}));
  EXPECT_EQ(VertexIndices(outline), (std::vector<int>{0, 1, 2, 3, 4}));
  EXPECT_EQ(CtrlPoints(outline), Pts({{10, 20}, {200, 20}, {200, 40}, {10, 40}}));
  EXPECT_EQ(outline.GetStrokes(), 1);
  EXPECT_EQ(outline.GetStrokeName(0), '1');
  EXPECT_EQ(outline.GetStrokeRecordLength(0), 12u);
  EXPECT_EQ(outline.GetRecordLength(), 13);
  EXPECT_EQ(Box(outline), (RECT{10, 20, 200, 40}));
  EXPECT_EQ(outline.GetZhePointCount(), 0);
}

// Odd strokes put their start point first; odd segments their count.
TEST_F(OutlineTest, FieldOrderAlternates) {
  data.Load(outline, kShi);
  EXPECT_EQ(outline.GetStrokes(), 2);
  EXPECT_EQ(outline.GetStrokeName(0), '1');
  EXPECT_EQ(outline.GetStrokeName(1), '2');
  EXPECT_EQ(outline.GetStartIndexOfStroke(1), 0u);
  EXPECT_EQ(outline.GetStartIndexOfStroke(2), 5u);
  EXPECT_EQ(outline.GetEndIndexOfStroke(1), 4u);
  EXPECT_EQ(outline.GetEndIndexOfStroke(2), 9u);
  POINT* pts = nullptr;
  ASSERT_EQ(outline.GetPointOfStroke(1, &pts), 5);
  EXPECT_EQ(std::vector<POINT>(pts, pts + 5), Pts({{117, 20}, {137, 20}, {137, 235}, {117, 235}, {117, 20}}));
  delete[] pts;
  EXPECT_EQ(Box(outline), (RECT{20, 20, 230, 235}));
  EXPECT_EQ(outline.GetStrokeRecordLength(0), 12u);
  EXPECT_EQ(outline.GetStrokeRecordLength(1), 12u);

  data.Load(outline, kTwoSeg);
  EXPECT_EQ(Points(outline), Pts({{10, 10}, {20, 10}, {20, 200}, {10, 200}, {10, 10}}));
}

TEST_F(OutlineTest, SplinesFlattenToEightPointsPerPiece) {
  data.Load(outline, kCurve);
  EXPECT_EQ(Points(outline),
            Pts({{0, 0}, {15, 1}, {28, 4}, {39, 9}, {48, 16}, {55, 25}, {60, 36}, {63, 49}, {64, 64}, {0, 0}}));
  EXPECT_EQ(VertexIndices(outline), (std::vector<int>{0, 0, 9}));
  EXPECT_EQ(CtrlPoints(outline), Pts({{0, 0}, {64, 0}, {64, 64}}));
  EXPECT_EQ(Box(outline), (RECT{0, 0, 64, 64}));

  // Truncation of the fixed-point midpoints shows in the short curve.
  data.Load(outline, kShortCurve);
  EXPECT_EQ(Points(outline),
            Pts({{0, 0}, {2, 0}, {4, 0}, {6, 1}, {7, 2}, {8, 3}, {9, 5}, {9, 7}, {10, 10}, {0, 0}}));

  // Three points: two pieces meeting at the midpoint of the first two.
  data.Load(outline, kCurve3);
  std::vector<POINT> expected = Pts({{0, 0},  {0, 23},  {3, 43},  {7, 60},  {12, 75}, {19, 85},
                                     {28, 93}, {38, 98}, {50, 100}, {61, 98}, {71, 93}, {80, 85},
                                     {87, 75}, {92, 60}, {96, 43},  {99, 23}, {100, 0}, {0, 0}});
  EXPECT_EQ(Points(outline), expected);
  EXPECT_EQ(VertexIndices(outline), (std::vector<int>{0, 0, 8, 17}));
}

// The stored cuts (0,3), (1,4) become (0,0), (1,4), (3,3).
TEST_F(OutlineTest, BendStrokeCuts) {
  data.Load(outline, kBend);
  EXPECT_EQ(Points(outline), Pts({{20, 20}, {200, 20}, {200, 200}, {180, 200}, {180, 40}, {20, 40}, {20, 20}}));
  EXPECT_EQ(Cuts(outline), (std::vector<std::pair<int, int>>{{0, 0}, {1, 4}, {3, 3}}));
  EXPECT_EQ(outline.GetZhePointCount(), 3);
  int next = 7;
  EXPECT_EQ(outline.GetStartZheIndex(1, next), 0);
  EXPECT_EQ(next, -1);
  EXPECT_EQ(outline.GetStartZheIndex(2, next), -1);
  EXPECT_EQ(outline.GetZheStartFlag(1), 1);
  EXPECT_EQ(outline.GetStrokeRecordLength(0), 34u);
}

// Cut lists of several bend strokes: each stroke's entries run up to the
// next bend stroke's first entry; a bend block without cuts adds none.
TEST(OutlineBend, CutListsOfSeveralStrokes) {
  DataFolder data(R"(
char 啊
stroke A 0 0 flag 0
cut 0 2
line 10 0 10 10
stroke 1 0 20
line 10 20 10 30
stroke Y 0 40 flag 1
line 10 40 10 50
stroke M 0 60 flag 1
cut 0 4
cut 1 3
cut 2 2
line 10 60 10 70 0 70
)");
  COutLine o;
  data.Load(o, 0);
  ASSERT_EQ(o.GetStrokes(), 4);
  EXPECT_EQ(Cuts(o), (std::vector<std::pair<int, int>>{{0, 0}, {2, 2}, {0, 0}, {1, 3}, {2, 2}, {4, 4}}));
  int next;
  EXPECT_EQ(o.GetStartZheIndex(1, next), 0);
  EXPECT_EQ(next, 2);
  EXPECT_EQ(o.GetStartZheIndex(2, next), -1);
  EXPECT_EQ(o.GetStartZheIndex(3, next), -1);
  EXPECT_EQ(o.GetStartZheIndex(4, next), 2);
  EXPECT_EQ(next, -1);
  EXPECT_EQ(o.GetZheStartFlag(1), 0);
  EXPECT_EQ(o.GetZheStartFlag(2), -1);
  EXPECT_EQ(o.GetZheStartFlag(3), 1);
  EXPECT_EQ(o.GetZheStartFlag(4), 1);
  ExpectInvariants(o, "several bends");
}

TEST_F(OutlineTest, InvariantsHoldForEveryFixture) {
  for (size_t i = 0; i < data.Description().characters.size(); ++i) {
    data.Load(outline, i);
    ExpectInvariants(outline, "fixture " + std::to_string(i));
  }
}

TEST_F(OutlineTest, PerStrokeArraysAndScaledCopies) {
  data.Load(outline, kBars);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(outline.GetPointNumOfStroke(i), 5);
    EXPECT_EQ(outline.GetVertexNumOfStroke(i), 5);
    EXPECT_EQ(outline.GetCtrlNumOfStroke(i), 4);
    POINT* v = nullptr;
    ASSERT_EQ(outline.GetVertexPointOfStroke(i, &v), 5);
    EXPECT_EQ(v[2], (POINT{100, 90 * i + 20}));
    delete[] v;
    POINT* c = nullptr;
    ASSERT_EQ(outline.GetCtrlPointOfStroke(i, &c), 4);
    EXPECT_EQ(c[0], (POINT{0, 90 * i}));
    delete[] c;
  }
  EXPECT_EQ(outline.IsStartPointOfStroke(10), 1);
  EXPECT_EQ(outline.IsStartPointOfStroke(9), 0);
  POINT* none = reinterpret_cast<POINT*>(1);
  EXPECT_EQ(outline.GetPointOfStroke(3, &none), 0);
  EXPECT_EQ(none, nullptr);
  EXPECT_EQ(outline.GetPointNumOfStroke(-1), 0);
  EXPECT_EQ(outline.GetEndIndexOfStroke(0), 0xFFFFFFFFu);
  EXPECT_EQ(outline.GetEndIndexOfStroke(4), 0xFFFFFFFFu);
  EXPECT_EQ(outline.GetPointOnLine(15), (POINT{0, 0}));
  EXPECT_EQ(outline.GetVertexPoint(-1), (POINT{0, 0}));
  EXPECT_EQ(outline.GetCtrlPoint(12), (POINT{0, 0}));
  outline.On_SetRectEmpty();
  EXPECT_EQ(Box(outline), (RECT{0, 0, 0, 0}));
}

TEST(OutlineNames, CodesAndNames) {
  struct Case {
    unsigned char code;
    const char* name;
    int bend;
  } cases[] = {{'1', "横", 0}, {'2', "竖", 0}, {'3', "撇", 0}, {'4', "点", 0},   {'5', "折", 1},
               {'A', "折", 1}, {'M', "折", 1}, {'O', "折", 1}, {'X', "提", 0},   {'Y', "竖勾", 1},
               {'Z', "捺", 0}, {'6', "", 0},   {'P', "", 0},   {'@', "", 0},     {0, "", 0}};
  for (const Case& c : cases) {
    CString name = "x";
    EXPECT_EQ(COutLine::GetStrokeName(c.code, name), 1);
    EXPECT_EQ(name, c.name) << c.code;
    EXPECT_EQ(COutLine::On_Is_Zhe(c.code), c.bend) << c.code;
  }
}

TEST(OutlineNames, NameOfAStroke) {
  DataFolder data(R"(
char 啊
stroke 1 0 0
line 9 0 9 9
stroke 6 0 0
line 9 0 9 9
)");
  COutLine o;
  data.Load(o, 0);
  CString name;
  EXPECT_EQ(o.On_Get_Stroke_Name(1, name), 1);
  EXPECT_EQ(name, "横");
  EXPECT_EQ(o.On_Get_Stroke_Name(2, name), 1);
  EXPECT_EQ(name, "未知");
  for (long n : {0L, 3L, -1L}) {
    name = "kept";
    EXPECT_EQ(o.On_Get_Stroke_Name(n, name), 0) << n;
    EXPECT_EQ(name, "kept");
  }
}

// The same character, "", or a busy outline change nothing.
TEST_F(OutlineTest, LoadsOnlyANewCharacterWhileIdle) {
  data.Load(outline, kShi);
  const std::vector<POINT> before = Points(outline);
  outline.On_Set_Hanzi(data.Char(kShi), 0, 13, 1);  // the rectangle's slice, same character
  EXPECT_EQ(Points(outline), before);
  outline.On_Set_Hanzi("", 0, 13, 1);
  EXPECT_EQ(Points(outline), before);
  outline.m_nDoing = 1;
  data.Load(outline, kRect);
  EXPECT_EQ(Points(outline), before);
  EXPECT_EQ(outline.GetHanzi(), data.Char(kShi));
  outline.m_nDoing = 0;
  data.Load(outline, kRect);
  EXPECT_EQ(outline.GetPointCount(), 5);
}

// The font files hold the same records (without bend blocks).
TEST_F(OutlineTest, FontFileGivesTheSameOutline) {
  COutLine font;
  font.SetUserFontFile("data\\user.dat", "data\\user.idx");
  font.LoadFontFile(false);
  for (size_t i = 0; i < data.Description().characters.size(); ++i) {
    SCOPED_TRACE(i);
    data.Load(outline, i);
    font.On_Set_HZ(int(i), nullptr);
    ExpectInvariants(font, "font record");
    EXPECT_EQ(Points(font), Points(outline));
    EXPECT_EQ(VertexIndices(font), VertexIndices(outline));
    EXPECT_EQ(CtrlPoints(font), CtrlPoints(outline));
    EXPECT_EQ(Box(font), Box(outline));
    EXPECT_EQ(font.GetStrokes(), outline.GetStrokes());
    EXPECT_EQ(font.GetZhePointCount(), 0);
    EXPECT_EQ(font.GetRecordLength(), int(data.Record(i, false).size()));
  }
  font.On_Set_HZ(int(data.Description().characters.size()), nullptr);
  ExpectEmpty(font, "index beyond the font");
  font.On_Set_HZ(-1, nullptr);
  ExpectEmpty(font, "negative index");
}

TEST(OutlineFont, UserIndexSumsTheLengths) {
  std::ofstream("lengths.idx", std::ios::binary).write("\x0a\0\0\0\x14\0\0\0\x1e\0\0\0\x07\0", 14);
  COutLine o;
  o.SetUserFontFile("missing.dat", "lengths.idx");
  o.LoadFontFile(false);
  unsigned long offset = 0, length = 0;
  EXPECT_EQ(o.GetUserIndex(2, &offset, &length), 1);
  EXPECT_EQ(offset, 30u);
  EXPECT_EQ(length, 30u);
  EXPECT_EQ(o.GetUserIndex(3, &offset, &length), 0) << "the trailing two bytes are no length";
  EXPECT_EQ(o.GetUserIndex(-1, &offset, &length), 0);
  EXPECT_EQ(o.GetSysIndex(0, &offset, &length), 0);
}

TEST_F(OutlineTest, FontFilesThatCannotBeRead) {
  COutLine font;
  font.SetUserFontFile("data\\user.dat", "data\\user.idx");
  font.LoadFontFile(false);
  font.On_Set_HZ(kRect, nullptr);
  ASSERT_EQ(font.GetStrokes(), 1);
  // A failed load leaves no font to read from.
  font.SetUserFontFile("data\\nothing.dat", "data\\user.idx");
  font.LoadFontFile(false);
  font.On_Set_HZ(kRect, nullptr);
  ExpectEmpty(font, "font file missing");
  // The system font file is read but has no index.
  std::ofstream("ttf.dll", std::ios::binary) << data.Record(kRect, false);
  font.LoadFontFile(true);
  font.On_Set_HZ(0, nullptr);
  ExpectEmpty(font, "system font");
  // A record the lengths place beyond the file's end.
  std::ofstream("short.dat", std::ios::binary) << data.Record(kRect, false).substr(0, 5);
  std::ofstream("short.idx", std::ios::binary).write("\x0d\0\0\0", 4);
  font.SetUserFontFile("short.dat", "short.idx");
  font.LoadFontFile(false);
  font.On_Set_HZ(0, nullptr);
  ExpectEmpty(font, "record past the end");
}

TEST_F(OutlineTest, TestRecordFile) {
  WriteTestRecord(data.Char(kBend), data.Record(kBend));
  outline.On_Set_Hanzi_TEST(data.Char(kBend));
  EXPECT_EQ(outline.GetPointCount(), 7);
  EXPECT_EQ(outline.GetZhePointCount(), 3);
  outline.On_Set_Hanzi_TEST(data.Char(kRect));
  ExpectEmpty(outline, "no test file");
}

// Fault mended: a failed load used to keep the previous stroke count over
// empty arrays, and was not tried again for the same character.
TEST_F(OutlineTest, FailedLoadLeavesAnEmptyOutlineAndIsRetried) {
  DataFolder missing(R"(
char 啊 file 7
stroke 1 10 20
line 200 20 200 40 10 40
char 阿
stroke 1 0 0
line 9 0 9 9
index 0 0 1
)",
                     "other");
  fs::rename("other/Merro0007.dat", "other/kept.dat");
  data.Load(outline, kBars);
  ASSERT_EQ(outline.GetStrokes(), 3);
  missing.Load(outline, 0);
  ExpectEmpty(outline, "stroke file missing");
  // Asked again once the file is there, the same character loads.
  fs::rename("other/kept.dat", "other/Merro0007.dat");
  missing.Load(outline, 0);
  EXPECT_EQ(outline.GetStrokes(), 1);
  EXPECT_EQ(outline.GetHanzi(), missing.Char(0));
  // An empty record (length 0) is no character either.
  missing.Load(outline, 1);
  ExpectEmpty(outline, "empty record");
}

// An index record pointing past the end of the stroke file's data.
TEST_F(OutlineTest, SliceOutsideTheStrokeFile) {
  const engine_fixture::IndexValues& v = data.Placed(kBars);
  const engine_fixture::IndexValues& last = data.Placed(data.Description().characters.size() - 1);
  const unsigned long end = last.offset + last.length;
  outline.On_Set_Hanzi_File("data");
  for (auto [offset, length] : {std::pair<unsigned long, unsigned long>{end - v.length + 1, v.length},
                                {v.offset + 1000, v.length},
                                {0xFFFFFFFFul, v.length},
                                {v.offset, 0xFFFFFFF0ul}}) {
    outline.On_Set_Hanzi(data.Char(kBars), offset, length, 1);
    ExpectEmpty(outline, std::to_string(offset) + " " + std::to_string(length));
  }
}

// Fault mended: the parser stops at the end of the record. Every proper
// prefix of a record is refused, and so are counts larger than the bytes
// that follow.
TEST_F(OutlineTest, TruncatedAndCorruptRecordsAreRefused) {
  const CString ch = data.Char(kRect);
  for (size_t f = 0; f < data.Description().characters.size(); ++f) {
    const std::string record = data.Record(f);
    for (size_t n = 0; n < record.size(); ++n) {
      WriteTestRecord(ch, record.substr(0, n));
      outline.On_Set_Hanzi_TEST(ch);
      ExpectEmpty(outline, "fixture " + std::to_string(f) + " cut to " + std::to_string(n));
    }
    WriteTestRecord(ch, record);
    outline.On_Set_Hanzi_TEST(ch);
    ExpectInvariants(outline, "whole record " + std::to_string(f));
    outline.On_Set_Hanzi_TEST(data.Char(kBend));  // another character, so the next one loads again
  }
  const std::string corrupt[] = {
      std::string("\xff\x31\x0a\x14\x01\x01\x03\xc8\x14\xc8\x28\x0a\x28", 13),  // 255 strokes
      std::string("\x01\x31\x0a\x14\xc8\x01\x03\xc8\x14\xc8\x28\x0a\x28", 13),  // 200 segments
      std::string("\x01\x31\x0a\x14\x01\x01\x64\xc8\x14\xc8\x28\x0a\x28", 13),  // 100 points
      std::string("\x01\x35\x14\x14\x01\x32\x00\x00\x00\x00\x03\x00\x00\x00\x01\x01\x01\x00\x00", 19),  // 50 cuts
      std::string("\x00", 1),                                                    // no strokes
  };
  for (const std::string& bytes : corrupt) {
    WriteTestRecord(ch, bytes);
    outline.On_Set_Hanzi_TEST(ch);
    ExpectEmpty(outline, "corrupt record");
  }
}
