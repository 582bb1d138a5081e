// Scale and offset, stroke regions, bend pieces and what painting them sets
// on a memory bitmap, checked against the geometry of the fixtures.
#include <gtest/gtest.h>

#include <cmath>

#include "engine_data.h"
#include "merrodataengine/outline/out_line.h"
#include "pixels.h"

using namespace engine_test;

namespace {

RECT Box(const CRgn& r) {
  RECT box{-1, -1, -1, -1};
  r.GetRgnBox(&box);
  return box;
}

// The region of stroke n scaled plus offset.
PixelSet StrokePixels(COutLine& o, unsigned long n, int w, int h) {
  CRgn r;
  EXPECT_EQ(o.DrawStrokeRgn(n, &r), 1) << "stroke " << n;
  return RegionPixels(r, w, h);
}

class RegionTest : public ::testing::Test {
 protected:
  DataFolder data{kFixtures};
  COutLine outline;
};

}  // namespace

TEST_F(RegionTest, ScaleThatFitsTheBox) {
  data.Load(outline, kRect);  // box {10, 20, 200, 40}
  EXPECT_NEAR(outline.On_Get_Scale(RECT{0, 0, 200, 100}), 200.0 / 190.0 * 0.9, 1e-12);
  EXPECT_EQ(outline.GetTargetRect(), (RECT{0, 0, 200, 100}));
  EXPECT_EQ(outline.GetXScale(), 1.0);
  EXPECT_EQ(outline.GetYScale(), 1.0);
  EXPECT_EQ(outline.GetOffset(), (POINT{0, 0}));
  EXPECT_NEAR(outline.On_Get_Scale(RECT{300, 400, 100, 200}), 200.0 / 190.0 * 0.9, 1e-12) << "corners swapped";
  EXPECT_EQ(outline.GetTargetRect(), (RECT{0, 0, -200, -200}));

  data.Load(outline, kBars);  // box {0, 0, 100, 200}
  EXPECT_DOUBLE_EQ(outline.On_Get_Scale(RECT{0, 0, 100, 200}), 0.9);
  EXPECT_DOUBLE_EQ(outline.On_Get_Scale(RECT{0, 0, 50, 200}), 0.45);
}

// The box mapped onto a rectangle; the offset is added to, not replaced.
TEST_F(RegionTest, ScaleAndOffsetSetters) {
  data.Load(outline, kRect);
  outline.On_Set_Scale(RECT{50, 60, 250, 160});
  EXPECT_DOUBLE_EQ(outline.GetXScale(), 200.0 / 190.0);
  EXPECT_DOUBLE_EQ(outline.GetYScale(), 5.0);
  EXPECT_EQ(outline.GetOffset(), (POINT{40, -40}));
  outline.On_Set_Scale(RECT{50, 60, 250, 160});
  EXPECT_EQ(outline.GetOffset(), (POINT{80, -80}));
  // From offset 0 the box's corner lands on the rectangle's.
  outline.On_Set_Offset(0, 0);
  outline.On_Set_Scale(RECT{50, 60, 250, 160});
  CRgn r;
  ASSERT_EQ(outline.DrawStrokeRgn(1, &r), 1);
  EXPECT_EQ(Box(r), (RECT{50, 60, 250, 160}));

  outline.On_Set_Scale(-2.5);
  EXPECT_EQ(outline.GetXScale(), 2.5);
  EXPECT_EQ(outline.GetYScale(), 2.5);
  outline.On_Set_Scale(-1.5, 3.0);
  EXPECT_EQ(outline.GetXScale(), 1.5);
  EXPECT_EQ(outline.GetYScale(), 3.0);
  outline.On_Set_Offset(-7, 9);
  EXPECT_EQ(outline.GetOffset(), (POINT{-7, 9}));
}

// A box without height (a stroke along one line) or without anything.
TEST(RegionScale, BoxWithoutExtent) {
  DataFolder data(R"(
char 啊
stroke 1 10 50
line 110 50
)");
  COutLine o;
  data.Load(o, 0);
  ASSERT_EQ(o.GetStrokes(), 1);
  EXPECT_DOUBLE_EQ(o.On_Get_Scale(RECT{0, 0, 200, 100}), 1.8) << "only the width counts";
  o.On_Set_Scale(3.0);
  o.On_Set_Scale(RECT{0, 0, 200, 100});
  EXPECT_DOUBLE_EQ(o.GetXScale(), 2.0);
  EXPECT_DOUBLE_EQ(o.GetYScale(), 3.0) << "kept";
  COutLine empty;
  EXPECT_EQ(empty.On_Get_Scale(RECT{0, 0, 200, 100}), 0.0);
  empty.On_Set_Scale(RECT{0, 0, 200, 100});
  EXPECT_EQ(empty.GetXScale(), 1.0);
}

TEST_F(RegionTest, StrokeRegion) {
  data.Load(outline, kRect);
  CRgn rgn;
  CRgn* out = &rgn;
  ASSERT_EQ(outline.GetStrokeRgn(1, 30, 40, 1.0, &out), 1);
  EXPECT_EQ(Box(rgn), (RECT{10, 20, 200, 40})) << "without the offset";
  for (POINT in : {POINT{10, 20}, POINT{199, 39}, POINT{100, 30}}) EXPECT_TRUE(rgn.PtInRegion(in)) << in;
  for (POINT off : {POINT{200, 30}, POINT{100, 40}, POINT{9, 30}, POINT{100, 19}}) EXPECT_FALSE(rgn.PtInRegion(off)) << off;
  EXPECT_EQ(outline.GetOffset(), (POINT{30, 40}));
  EXPECT_EQ(outline.On_Get_Doing(), 0);

  // Refusals change neither scale nor offset.
  CRgn fresh;
  CRgn* none = nullptr;
  out = &fresh;
  EXPECT_EQ(outline.GetStrokeRgn(0, 1, 1, 2.0, &out), 0);
  EXPECT_EQ(outline.GetStrokeRgn(2, 1, 1, 2.0, &out), 0);
  EXPECT_EQ(outline.GetStrokeRgn(1, 1, 1, 2.0, nullptr), 0);
  EXPECT_EQ(outline.GetStrokeRgn(1, 1, 1, 2.0, &none), 0);
  out = &rgn;
  EXPECT_EQ(outline.GetStrokeRgn(1, 1, 1, 2.0, &out), 0) << "holds a region already";
  outline.m_nDoing = 1;
  out = &fresh;
  EXPECT_EQ(outline.GetStrokeRgn(1, 1, 1, 2.0, &out), 0) << "busy";
  outline.m_nDoing = 0;
  EXPECT_EQ(outline.GetOffset(), (POINT{30, 40}));
  EXPECT_EQ(outline.GetXScale(), 1.0);
  EXPECT_EQ(fresh.GetSafeHandle(), nullptr);
}

TEST_F(RegionTest, RegionBoxOfEachStroke) {
  data.Load(outline, kBars);
  const RECT expected[] = {{0, 0, 50, 10}, {0, 45, 50, 55}, {0, 90, 50, 100}};
  for (unsigned long n = 1; n <= 3; ++n) {
    CRgn rgn;
    CRgn* out = &rgn;
    ASSERT_EQ(outline.GetStrokeRgn(n, 7, 9, 0.5, &out), 1);
    EXPECT_EQ(Box(rgn), expected[n - 1]);
    CRgn moved;
    ASSERT_EQ(outline.DrawStrokeRgn(n, &moved), 1);
    const RECT& e = expected[n - 1];
    EXPECT_EQ(Box(moved), (RECT{e.left + 7, e.top + 9, e.right + 7, e.bottom + 9})) << "with the offset";
  }
  data.Load(outline, kShi);
  CRgn second;
  CRgn* out = &second;
  ASSERT_EQ(outline.GetStrokeRgn(2, 0, 0, 1.0, &out), 1);
  EXPECT_EQ(Box(second), (RECT{117, 20, 137, 235}));
}

// Painting a stroke sets exactly the pixels its region hit-tests; a
// rectangle stroke paints exactly its rectangle.
TEST_F(RegionTest, PaintingCoversWhatHitTestsAccept) {
  for (size_t f = 0; f < data.Description().characters.size(); ++f) {
    data.Load(outline, f);
    outline.On_Set_Scale(1.3);
    outline.On_Set_Offset(3, 4);
    for (unsigned long n = 1; n <= (unsigned long)outline.GetStrokes(); ++n) {
      MemoryDC m(340, 340);
      ASSERT_EQ(outline.DrawStrokeRgn(&m.dc, n, RGB(0, 0, 0)), 1);
      const PixelSet painted = m.Of(RGB(0, 0, 0));
      EXPECT_EQ(painted, StrokePixels(outline, n, 340, 340)) << "fixture " << f << " stroke " << n;
      EXPECT_EQ(painted, m.NotWhite()) << "nothing else drawn";
    }
  }
  data.Load(outline, kRect);
  outline.On_Set_Scale(1.0);
  outline.On_Set_Offset(3, 4);
  MemoryDC m(260, 80);
  outline.DrawStrokeRgn(&m.dc, 1, RGB(0, 0, 255));
  EXPECT_EQ(m.Of(RGB(0, 0, 255)), RectPixels(13, 24, 203, 44));
  // The DC keeps its own brush.
  m.dc.FillSolidRect(RECT{0, 0, 260, 80}, RGB(255, 255, 255));
  CRgn all;
  all.CreateRectRgn(0, 0, 5, 5);
  m.dc.PaintRgn(&all);
  EXPECT_EQ(m.dc.GetPixel(2, 2), RGB(255, 255, 255));
}

// A bend stroke yields one piece per cut interval; the pieces share no pixel
// and together are the stroke.
TEST_F(RegionTest, BendStrokePieces) {
  data.Load(outline, kBend);
  std::vector<COutLine::StrokePiece> pieces;
  ASSERT_EQ(outline.GetStrokePieces(1, pieces), 2);
  EXPECT_EQ((std::vector<unsigned long>{pieces[0].a, pieces[0].b, pieces[0].c, pieces[0].d}),
            (std::vector<unsigned long>{0, 0, 1, 4}));
  EXPECT_EQ((std::vector<unsigned long>{pieces[1].a, pieces[1].b, pieces[1].c, pieces[1].d}),
            (std::vector<unsigned long>{1, 4, 3, 3}));
  CRgn bar, post;
  ASSERT_EQ(outline.GetPieceRgn(1, pieces[0], &bar), 1);
  ASSERT_EQ(outline.GetPieceRgn(1, pieces[1], &post), 1);
  EXPECT_TRUE(bar.PtInRegion(100, 30));
  EXPECT_FALSE(bar.PtInRegion(190, 100));
  EXPECT_TRUE(post.PtInRegion(190, 100));
  EXPECT_FALSE(post.PtInRegion(100, 30));
  const PixelSet a = RegionPixels(bar, 256, 256), b = RegionPixels(post, 256, 256);
  PixelSet both, shared;
  both.insert(a.begin(), a.end());
  both.insert(b.begin(), b.end());
  for (auto& p : a)
    if (b.count(p)) shared.insert(p);
  EXPECT_TRUE(shared.empty()) << Describe(shared);
  EXPECT_EQ(both, StrokePixels(outline, 1, 256, 256));
  // Painting a piece uses the DC's brush, without the offset.
  outline.On_Set_Offset(50, 50);
  MemoryDC m(256, 256);
  CBrush green(RGB(0, 160, 0));
  m.dc.SelectObject(&green);
  EXPECT_EQ(outline.DrawStrokeRgn(&m.dc, 1, 0, 0, 1, 4), 1);
  EXPECT_EQ(m.Of(RGB(0, 160, 0)), a);

  // A plain stroke is one piece: the whole stroke.
  data.Load(outline, kRect);
  ASSERT_EQ(outline.GetStrokePieces(1, pieces), 1);
  CRgn whole;
  ASSERT_EQ(outline.GetPieceRgn(1, pieces[0], &whole), 1);
  outline.On_Set_Offset(0, 0);
  EXPECT_EQ(RegionPixels(whole, 256, 256), StrokePixels(outline, 1, 256, 256));
}

// Font records carry no cuts: their bend strokes are one plain region.
TEST_F(RegionTest, BendStrokeWithoutCutsIsOnePiece) {
  COutLine font;
  font.SetUserFontFile("data\\user.dat", "data\\user.idx");
  font.LoadFontFile(false);
  font.On_Set_HZ(kBend, nullptr);
  ASSERT_EQ(font.GetStrokeName(0), '5');
  std::vector<COutLine::StrokePiece> pieces;
  ASSERT_EQ(font.GetStrokePieces(1, pieces), 1);
  CRgn whole;
  ASSERT_EQ(font.GetPieceRgn(1, pieces[0], &whole), 1);
  EXPECT_EQ(RegionPixels(whole, 256, 256), StrokePixels(font, 1, 256, 256));
}

// Fault mended: a cut index outside the stroke's points makes no piece.
TEST(RegionBend, CutsOutsideTheStrokeMakeNoPiece) {
  DataFolder data(R"(
char 啊                          # an inner cut past the closing point
stroke 5 20 20 flag 1
cut 0 3
cut 1 99
line 200 20 200 200 180 200 180 40 20 40
char 阿                          # a negative index
stroke 5 20 20 flag 1
cut 0 3
cut -1 4
line 200 20 200 200 180 200 180 40 20 40
char 埃                          # three cuts: three pieces
stroke M 0 60 flag 1
cut 0 4
cut 1 3
cut 2 2
line 10 60 10 70 0 70
)");
  COutLine o;
  std::vector<COutLine::StrokePiece> pieces;
  for (size_t i = 0; i < 2; ++i) {
    data.Load(o, i);
    ASSERT_EQ(o.GetStrokes(), 1);
    EXPECT_EQ(o.GetStrokePieces(1, pieces), 0) << i;
  }
  MemoryDC m(256, 256);
  EXPECT_EQ(o.DrawStrokeRgn(&m.dc, 1, 0, 0, 0xFFFFFFFFul, 4), 0);
  EXPECT_EQ(o.DrawStrokeRgn(&m.dc, 1, 0, 0, 7, 4), 0) << "7 is past the closing point 6";
  EXPECT_EQ(o.DrawStrokeRgn(&m.dc, 2, 0, 0, 1, 4), 0) << "no stroke 2";
  EXPECT_TRUE(m.NotWhite().empty());
  CRgn r;
  EXPECT_EQ(o.GetPieceRgn(1, COutLine::StrokePiece{0, 0, 6, 7}, &r), 0);
  data.Load(o, 2);
  EXPECT_EQ(o.GetStrokePieces(1, pieces), 3);
}

// After a failed load every stroke number is refused, whatever came before.
TEST_F(RegionTest, NoStrokesAfterAFailedLoad) {
  data.Load(outline, kBars);
  outline.On_Set_Hanzi(data.Char(kRect), 0, 5000, 1);  // past the end of the file
  ASSERT_EQ(outline.GetStrokes(), 0);
  MemoryDC m(256, 256);
  std::vector<COutLine::StrokePiece> pieces;
  for (unsigned long n = 0; n <= 3; ++n) {
    CRgn rgn, other;
    CRgn* out = &rgn;
    EXPECT_EQ(outline.GetStrokeRgn(n, 0, 0, 1.0, &out), 0);
    EXPECT_EQ(outline.DrawStrokeRgn(n, &other), 0);
    EXPECT_EQ(outline.DrawStrokeRgn(&m.dc, n, RGB(0, 0, 0)), 0);
    EXPECT_EQ(outline.GetStrokePieces(n, pieces), 0);
    outline.DrawStroke(m.dc, n, 0);
  }
  EXPECT_EQ(outline.DrawOutLine(&m.dc, RGB(0, 0, 0)), 1);
  EXPECT_TRUE(m.NotWhite().empty());
}

// Scaled accessors truncate toward zero, also for the negative scale a
// region build may set.
TEST_F(RegionTest, ScaledAccessors) {
  data.Load(outline, kRect);
  outline.On_Set_Scale(0.3);
  EXPECT_EQ(outline.GetPointOnLine(1), (POINT{60, 6}));
  EXPECT_EQ(outline.GetPointOnLineOrg(1), (POINT{200, 20}));
  EXPECT_EQ(outline.GetVertexPoint(3), (POINT{3, 12}));
  EXPECT_EQ(outline.GetCtrlPoint(2), (POINT{60, 12}));
  POINT* pts = nullptr;
  ASSERT_EQ(outline.GetPointOfStroke(0, &pts), 5);
  EXPECT_EQ(pts[0], (POINT{3, 6}));
  delete[] pts;
  CRgn rgn;
  CRgn* out = &rgn;
  ASSERT_EQ(outline.GetStrokeRgn(1, 0, 0, -0.45, &out), 1);
  EXPECT_EQ(outline.GetPointOnLine(0), (POINT{-4, -9}));
  RECT box;
  rgn.GetRgnBox(&box);
  EXPECT_EQ(box, (RECT{-90, -18, -4, -9}));
}

// Real characters: each stroke paints what its region hit-tests, its region
// box is its scaled box, and each bend stroke falls into two pieces (one per
// side of its corner) that share no pixel and together are the stroke.
TEST(RegionReal, StrokesAndBendPiecesOfRealCharacters) {
  DataFolder real(kCharacters, "real");
  COutLine o;
  for (Character c : {kJing, kSen, kKou}) {
    real.Load(o, c);
    o.On_Set_Offset(0, 0);
    o.On_Set_Scale(1.2);
    int bends = 0;
    for (unsigned long n = 1; n <= (unsigned long)o.GetStrokes(); ++n) {
      SCOPED_TRACE(std::to_string(c) + " stroke " + std::to_string(n));
      MemoryDC m(320, 320);
      ASSERT_EQ(o.DrawStrokeRgn(&m.dc, n, RGB(0, 0, 0)), 1);
      const PixelSet stroke = StrokePixels(o, n, 320, 320);
      EXPECT_EQ(m.Of(RGB(0, 0, 0)), stroke);
      std::vector<COutLine::StrokePiece> pieces;
      const int count = o.GetStrokePieces(n, pieces);
      if (o.GetStrokeName(int(n - 1)) != '5') {
        EXPECT_EQ(count, 1);
        continue;
      }
      ++bends;
      ASSERT_EQ(count, 2);
      CRgn first, second;
      ASSERT_EQ(o.GetPieceRgn(n, pieces[0], &first), 1);
      ASSERT_EQ(o.GetPieceRgn(n, pieces[1], &second), 1);
      PixelSet a = RegionPixels(first, 320, 320), b = RegionPixels(second, 320, 320), both = a;
      both.insert(b.begin(), b.end());
      EXPECT_EQ(both.size(), a.size() + b.size()) << "no pixel in both pieces";
      EXPECT_EQ(both, stroke);
      RECT ra, rb;
      first.GetRgnBox(&ra);
      second.GetRgnBox(&rb);
      EXPECT_GT(ra.right - ra.left, ra.bottom - ra.top) << "the first piece runs across";
      EXPECT_GT(rb.bottom - rb.top, rb.right - rb.left) << "the second runs down";
    }
    EXPECT_EQ(bends, c == kSen ? 0 : c == kJing ? 3 : 1);
  }
}
