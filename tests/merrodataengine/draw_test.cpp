// Drawing outlines, strokes and points: on memory bitmaps, checked against
// the fixtures' geometry, and on a real window's surface (under Xvfb).
#include <gtest/gtest.h>

#include <QApplication>

#include "engine_data.h"
#include "merrodataengine/outline/out_line.h"
#include "pixels.h"
#include "platform/mfc/wnd.h"
#include "platform/win/screen.h"
#include "tests/platform/mfc/wnd_support.h"

using namespace engine_test;

namespace {

using test::App;
using test::WaitFor;

// The pixels of the closed rectangle outline l..r x t..b (both inclusive).
PixelSet Frame(int l, int t, int r, int b) {
  PixelSet s;
  for (int x = l; x <= r; ++x) s.insert({x, t}), s.insert({x, b});
  for (int y = t; y <= b; ++y) s.insert({l, y}), s.insert({r, y});
  return s;
}

class DrawTest : public ::testing::Test {
 protected:
  void SetUp() override { App(); }
  DataFolder data{kFixtures};
  COutLine outline;
};

}  // namespace

// Every point of the outline lies on the drawn outline; a rectangle's outline
// is its frame.
TEST_F(DrawTest, OutlineThroughEveryPoint) {
  for (size_t f = 0; f < data.Description().characters.size(); ++f) {
    data.Load(outline, f);
    outline.On_Set_Scale(1.5);
    outline.On_Set_Offset(6, 2);
    MemoryDC m(400, 400);
    ASSERT_EQ(outline.DrawOutLine(&m.dc, RGB(200, 0, 0)), 1);
    const PixelSet drawn = m.Of(RGB(200, 0, 0));
    for (int i = 0; i < outline.GetPointCount(); ++i) {
      const POINT p = outline.GetPointOnLine(i);
      EXPECT_TRUE(drawn.count({p.x + 6, p.y + 2})) << "fixture " << f << " point " << i;
    }
    EXPECT_EQ(drawn, m.NotWhite());
  }
  data.Load(outline, kRect);
  outline.On_Set_Scale(1.0);
  outline.On_Set_Offset(0, 0);
  MemoryDC m(260, 80);
  outline.DrawOutLine(&m.dc, RGB(0, 0, 0));
  EXPECT_EQ(m.NotWhite(), Frame(10, 20, 200, 40));
  // The DC's pen is back afterwards.
  m.dc.MoveTo(0, 70);
  m.dc.LineTo(5, 70);
  EXPECT_EQ(m.dc.GetPixel(0, 70), RGB(0, 0, 0));
}

TEST_F(DrawTest, PointsAsPixels) {
  data.Load(outline, kCurve);
  outline.On_Set_Scale(3.0);
  outline.On_Set_Offset(40, 40);  // not used by the HDC members
  MemoryDC m(256, 256);
  EXPECT_EQ(outline.DrawOutLine(m.dc, 0, 0), 1);
  PixelSet expected;
  for (int i = 0; i < outline.GetPointCount(); ++i) {
    const POINT p = outline.GetPointOnLine(i);
    expected.insert({p.x, p.y});
  }
  EXPECT_EQ(m.Of(RGB(255, 0, 0)), expected);
  EXPECT_EQ(m.NotWhite(), expected);
  EXPECT_EQ(outline.DrawOutLine(static_cast<HDC>(nullptr), 0, 0), 0);
}

// The range and stroke members draw with the drawing pen and put the DC's
// pen back only for pen modes 0..3.
TEST_F(DrawTest, RangesAndStrokesWithTheDrawingPen) {
  data.Load(outline, kShi);
  CPen blue(PS_SOLID, 1, RGB(0, 0, 255));
  outline.On_Set_Pen(&blue);
  MemoryDC m(256, 256);
  outline.DrawStroke(m.dc, 2, 0);
  EXPECT_EQ(m.Of(RGB(0, 0, 255)), Frame(117, 20, 137, 235));
  EXPECT_EQ(m.dc.m_hDC->GetPen().colour, RGB(0, 0, 0));
  outline.DrawStroke(m.dc, 3, 0);  // no such stroke
  EXPECT_EQ(m.NotWhite(), Frame(117, 20, 137, 235));

  MemoryDC r(256, 256);
  EXPECT_EQ(outline.DrawOutLine(r.dc, 0ul, 3ul, 1), 1);  // (20,120) -> (230,120) -> (230,136)
  PixelSet expected;
  for (int x = 20; x < 230; ++x) expected.insert({x, 120});
  for (int y = 120; y < 136; ++y) expected.insert({230, y});
  EXPECT_EQ(r.Of(RGB(0, 0, 255)), expected);
  EXPECT_EQ(r.dc.m_hDC->GetPen().colour, RGB(0, 0, 0));

  MemoryDC same(256, 256);
  EXPECT_EQ(outline.DrawOutLine(same.dc, 2ul, 2ul, 4), 1);
  EXPECT_TRUE(same.NotWhite().empty()) << "from = to: only a move";
  EXPECT_EQ(same.dc.m_hDC->GetPen().colour, RGB(0, 0, 255)) << "mode 4 leaves the drawing pen selected";
  EXPECT_EQ(same.dc.m_hDC->GetCurrentPosition().x, 230);
  EXPECT_EQ(outline.DrawOutLine(same.dc, 10ul, 3ul, 0), 0) << "from is no point";
  EXPECT_EQ(outline.DrawOutLine(same.dc, 3ul, 10ul, 0), 0) << "to is no point";
  EXPECT_EQ(outline.DrawOutLine(same.dc, 9ul, 0ul, 0), 1) << "from the last point";
}

TEST_F(DrawTest, PointMarks) {
  data.Load(outline, kRect);
  MemoryDC a(256, 64), b(256, 64);
  outline.DrawPoint(a.dc, 100, 30, 0, 5);
  b.dc.Ellipse(95, 25, 105, 35);
  EXPECT_EQ(a.NotWhite(), b.NotWhite()) << "the inverted box is the same ellipse";
  EXPECT_FALSE(a.NotWhite().empty());

  // One mark per control point (vertex), inside the 10 x 10 box around it.
  MemoryDC c(256, 64);
  outline.DrawCtrlPoint(c.dc, 0);
  const PixelSet marks = c.NotWhite();
  for (auto& p : marks) {
    bool near = false;
    for (int i = 0; i < outline.GetCtrlPointCount(); ++i) {
      const POINT q = outline.GetCtrlPoint(i);
      near = near || (std::abs(p.first - q.x) <= 5 && std::abs(p.second - q.y) <= 5);
    }
    EXPECT_TRUE(near) << p.first << "," << p.second;
  }
  for (int i = 0; i < outline.GetCtrlPointCount(); ++i) {
    const POINT q = outline.GetCtrlPoint(i);
    EXPECT_TRUE(marks.count({q.x - 5, q.y})) << "left of mark " << i;
  }
  CPen green(PS_SOLID, 1, RGB(0, 128, 0));
  outline.On_Set_Pen(&green);
  MemoryDC v(256, 64);
  outline.DrawVertexPoint(v.dc, 0);
  EXPECT_TRUE(v.Of(RGB(0, 128, 0)).count({5, 20}));
  EXPECT_EQ(v.dc.m_hDC->GetPen().colour, RGB(0, 0, 0));

  // Numbers are text inside the 30 x 30 box around each vertex.
  MemoryDC plain(256, 64), numbered(256, 64);
  outline.DrawOutLine(plain.dc, 1, 0);
  outline.DrawOutLine(numbered.dc, 1, 1);
  const PixelSet extra = numbered.NotWhite();
  EXPECT_GT(extra.size(), plain.NotWhite().size() + 4 * 20);
  for (auto& p : extra) {
    bool near = plain.NotWhite().count(p) > 0;
    for (int i = 0; i < outline.GetVertexPointCount(); ++i) {
      const POINT q = outline.GetVertexPoint(i);
      near = near || (std::abs(p.first - q.x) <= 15 && std::abs(p.second - q.y) <= 15);
    }
    EXPECT_TRUE(near) << p.first << "," << p.second;
  }
}

// The same drawing on a window's surface: what a hit test of the region
// accepts is what the window shows.
TEST_F(DrawTest, OnAWindow) {
  CWnd w;
  ASSERT_TRUE(w.Create(nullptr, "stroke", WS_POPUP | WS_VISIBLE, RECT{0, 0, 300, 300}, nullptr, 0));
  w.UpdateWindow();  // the first paint erases the window: let it run before drawing
  data.Load(outline, kCurve);
  outline.On_Set_Scale(3.0);
  outline.On_Set_Offset(20, 10);
  CDC* dc = w.GetDC();
  ASSERT_EQ(outline.DrawStrokeRgn(dc, 1, RGB(0, 0, 0)), 1);
  CRgn rgn;
  ASSERT_EQ(outline.DrawStrokeRgn(1, &rgn), 1);
  PixelSet shown;
  for (int y = 0; y < 300; ++y)
    for (int x = 0; x < 300; ++x)
      if (dc->GetPixel(x, y) == RGB(0, 0, 0)) shown.insert({x, y});
  EXPECT_EQ(shown, RegionPixels(rgn, 300, 300));
  w.ReleaseDC(dc);
  const int x = 40 * 3 + 20, y = 20 * 3 + 10;  // between the curve and its chord
  ASSERT_TRUE(rgn.PtInRegion(x, y));
  EXPECT_TRUE(WaitFor([&] {
    const QImage shot = win::CaptureScreen(RECT{x, y, x + 1, y + 1});
    return !shot.isNull() && shot.pixel(0, 0) == qRgb(0, 0, 0);
  }));
}
