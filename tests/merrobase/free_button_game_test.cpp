// The stroke-placing game with real drags (xdotool on Xvfb): each drag of a
// button is one move, judged when the button is dropped; a drop on the
// target snaps the button onto its correct place and ends the game, any
// other drop sends it back to its start place after 300 ms.
#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/win/appearance.h"
#include "tests/merrobase/free_button_support.h"

namespace {

using test::At;
using test::Drag;
using test::Probe;
using test::WaitFor;
using test::Xdo;

const CRect kCorrect(300, 200, 330, 230);
const CRect kStart(50, 50, 80, 80);

class GameTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::App();
    ASSERT_TRUE(host.Make(680, 480));
    HRGN region = test::RectRegion(0, 0, 30, 30);
    ASSERT_TRUE(b.Create("", WS_CHILD | WS_VISIBLE, CPoint(kCorrect.left, kCorrect.top), region, &host, 3029));
    ::DeleteObject(region);
    // The host's way: record the correct place where the button was made,
    // scatter it, record where it starts.
    b.SetParentWnd(&host);
    b.CreatePos(kCorrect);
    b.SetCorrectPos();
    b.MoveWindow(kStart.left, kStart.top, 30, 30, TRUE);
    b.SetOrigPos();
    ASSERT_EQ(CRect(b.m_rcOrig), kStart);
    b.ClearMoveRecord();
    b.moves.clear();
    ASSERT_TRUE(WaitFor([&] { return Shown(15, 15) == GetSysColor(COLOR_BTNFACE); })) << "on the screen";
  }
  COLORREF Shown(int x, int y) const {
    const POINT p = b.Screen(x, y);
    return test::ScreenPixel(p.x, p.y);
  }
  // Away from the button, which lets go of the capture its hovering took.
  void Away() { ASSERT_TRUE(Xdo(test::At(600, 450))); }
  void TearDown() override { Xdo("mousemove 900 700"); }

  // Drags the button from its middle so that its top-left corner lands at
  // (x, y) of the host.
  bool DropAt(int x, int y) {
    const CRect from = b.Place();
    return Drag(b, POINT{15, 15}, x - from.left, y - from.top);
  }
  bool At(const CRect& place) {
    return WaitFor([&] { return b.Place() == place; });
  }

  test::Host host;
  Probe b;
};

TEST_F(GameTest, ADropOnTheCorrectPlaceSnapsAndEndsTheGame) {
  b.SetGame();
  EXPECT_EQ(b.SendMessage(WM_NCHITTEST, 0, MAKELPARAM(b.Screen(5, 5).x, b.Screen(5, 5).y)), HTCAPTION);
  ASSERT_TRUE(DropAt(310, 205));
  EXPECT_TRUE(At(kCorrect)) << "exactly onto the correct place";
  EXPECT_EQ(b.GetGameState(), 0);
  EXPECT_EQ(b.MoveMe(), 1) << "the game is over before the snap, which is not counted";
  EXPECT_EQ(CRect(b.m_rcCurrent), kCorrect);
  EXPECT_EQ(b.SendMessage(WM_NCHITTEST, 0, MAKELPARAM(b.Screen(5, 5).x, b.Screen(5, 5).y)), HTCLIENT)
      << "out of the game: an ordinary button again";
}

TEST_F(GameTest, AWrongDropGoesBackAfterAPause) {
  b.SetGame();
  ASSERT_TRUE(DropAt(150, 300));
  EXPECT_TRUE(At(kStart));
  EXPECT_EQ(b.moves, (std::vector<CRect>{CRect(150, 300, 180, 330), kStart})) << "the drop and the way back";
  EXPECT_EQ(b.GetGameState(), 1);
  EXPECT_EQ(b.MoveMe(), 2);
}

TEST_F(GameTest, WithTheOrderLimitOnlyStrokeOneCanBePlaced) {
  b.SetGame();
  b.SetOrderLimit();
  b.SetStrokeNo(2);
  ASSERT_TRUE(DropAt(310, 205));
  EXPECT_TRUE(At(kStart));
  EXPECT_EQ(b.moves, (std::vector<CRect>{CRect(310, 205, 340, 235), kStart})) << "a miss: it goes back";
  EXPECT_EQ(b.GetGameState(), 1);
  EXPECT_EQ(b.MoveMe(), 2);
  b.SetStrokeNo(1);
  ASSERT_TRUE(DropAt(310, 205));
  EXPECT_TRUE(At(kCorrect));
  EXPECT_EQ(b.GetGameState(), 0);
}

TEST_F(GameTest, ADropZoneJudgesTheDropTheButtonStillSnapsOntoTheCorrectPlace) {
  struct Case {
    CRect zone;
    POINT drop;
  };
  const Case cases[] = {
      {CRect(250, 150, 400, 300), {260, 160}},  // the zone holds the correct corner
      {CRect(450, 50, 550, 150), {460, 60}},    // far from the correct place: the snap misses the zone
  };
  for (const Case& c : cases) {
    b.SetCorrectPos(c.zone);
    b.SetGame();
    ASSERT_TRUE(DropAt(c.drop.x, c.drop.y));
    EXPECT_TRUE(At(kCorrect)) << c.zone.left;
    test::RunFor(400);
    EXPECT_EQ(b.Place(), kCorrect) << "and stays there";
    EXPECT_EQ(b.GetGameState(), 0);
    b.MoveWindow(kStart.left, kStart.top, 30, 30, TRUE);
  }
  // Inside the correct place but outside the zone: a miss.
  b.SetGame();
  ASSERT_TRUE(DropAt(305, 205));
  EXPECT_TRUE(At(kStart));
  b.KillCorrectPos();
  ASSERT_TRUE(DropAt(305, 205));
  EXPECT_TRUE(At(kStart)) << "no correct place: every drop goes back";
  EXPECT_EQ(b.GetGameState(), 1);
}

TEST_F(GameTest, AMoveOntoTheStartPlaceStandsWithoutAPause) {
  b.SetMakeHZ(true);
  b.MoveWindow(100, 100, 30, 30, TRUE);
  b.SetMakeHZ(false);
  b.SetGame();
  ASSERT_TRUE(DropAt(kStart.left, kStart.top));
  EXPECT_TRUE(At(kStart));
  ASSERT_EQ(b.moves.size(), 2u);  // the programmatic one, the drop
  test::RunFor(400);
  EXPECT_EQ(b.moves.size(), 2u) << "no move back";
  EXPECT_EQ(b.MoveMe(), 1);
  // A drag that ends where it began moves nothing and counts nothing.
  ASSERT_TRUE(Drag(b, POINT{15, 15}, 0, 0));
  EXPECT_EQ(b.MoveMe(), 1);
}

TEST_F(GameTest, OutsideAGameAMovableButtonIsPlacedOnceOrSentBack) {
  EXPECT_EQ(b.SendMessage(WM_NCHITTEST, 0, MAKELPARAM(b.Screen(5, 5).x, b.Screen(5, 5).y)), HTCLIENT);
  b.SetMoveState(true);
  ASSERT_TRUE(DropAt(150, 300));
  EXPECT_TRUE(At(kStart));
  EXPECT_EQ(b.moves, (std::vector<CRect>{CRect(150, 300, 180, 330), kStart}));
  ASSERT_TRUE(DropAt(310, 210));
  EXPECT_TRUE(At(kCorrect));
  EXPECT_FALSE(b.m_bMoveable) << "placed: no longer movable";
  EXPECT_EQ(b.MoveMe(), 0) << "moves count only in a game";
  EXPECT_EQ(b.GetGameState(), 0);
  // Not movable: a press is a click, not a drag.
  ASSERT_TRUE(Drag(b, POINT{15, 15}, 100, 100));
  test::RunFor(100);
  EXPECT_EQ(b.Place(), kCorrect);
  EXPECT_EQ(host.Clicks(3029), 0u) << "released outside";
}

TEST_F(GameTest, CharacterBuildingIgnoresEveryMove) {
  b.SetMakeHZ(true);
  b.SetGame();
  ASSERT_TRUE(DropAt(150, 300));
  test::RunFor(400);
  EXPECT_EQ(b.Place(), CRect(150, 300, 180, 330));
  EXPECT_EQ(b.MoveMe(), 0);
  EXPECT_EQ(b.GetGameState(), 1);
  ASSERT_TRUE(DropAt(305, 205));
  test::RunFor(100);
  EXPECT_EQ(b.Place(), CRect(305, 205, 335, 235)) << "no snap either";
}

TEST_F(GameTest, ADoubleClickPlacesTheButtonUnlessPaused) {
  b.PauseGame();
  ASSERT_TRUE(Xdo(b.At(15, 15) + " click --repeat 2 --delay 60 1"));
  ASSERT_TRUE(WaitFor([&] { return b.Count(WM_LBUTTONDBLCLK) == 1; }));
  test::RunFor(100);
  EXPECT_EQ(b.Place(), kStart);
  EXPECT_EQ(b.GetGameState(), -1);

  // Running: the body is a caption, so the double click is a non-client one
  // and places nothing.
  Away();
  b.SetGame();
  ASSERT_TRUE(Xdo(b.At(15, 15) + " click --repeat 2 --delay 60 1"));
  ASSERT_TRUE(WaitFor([&] { return b.Count(WM_NCLBUTTONDBLCLK) == 1; }));
  test::RunFor(100);
  EXPECT_EQ(b.Place(), kStart);

  b.KillGame();
  ASSERT_TRUE(Xdo(b.At(15, 15) + " click --repeat 2 --delay 60 1"));
  EXPECT_TRUE(At(kCorrect));
  EXPECT_EQ(b.GetGameState(), 0);
}

TEST_F(GameTest, RandomPlacesAvoidTheTargetAndEnd) {
  srand(7);
  b.SetCorrectPos(CRect(400, 0, 600, 400));
  std::set<std::pair<int, int>> seen;
  for (int i = 0; i < 100; ++i) {
    b.RandomPos();
    const CRect p = b.Place();
    ASSERT_EQ(p.Width(), 30);
    ASSERT_EQ(p.Height(), 30);
    ASSERT_LT(p.left, 600);
    ASSERT_LT(p.top, 400);
    ASSERT_GE(p.left, 0);
    ASSERT_GE(p.top, 0);
    ASSERT_FALSE(kCorrect.PtInRect(p.TopLeft()));
    ASSERT_FALSE(CRect(400, 0, 600, 400).PtInRect(p.TopLeft()));
    seen.insert({p.left, p.top});
  }
  // (rand() * 200) mod 600 and mod 400: the places lie 200 pixels apart.
  for (auto [x, y] : seen) {
    EXPECT_EQ(x % 200, 0);
    EXPECT_EQ(y % 200, 0);
  }
  EXPECT_GT(seen.size(), 2u);

  // Every reachable place on the target: the button stays where it is.
  b.SetCorrectPos(CRect(0, 0, 401, 201));
  const CRect before = b.Place();
  b.RandomPos();
  EXPECT_EQ(b.Place(), before);
  EXPECT_EQ(b.GetGameState(), 0) << "moves outside a game are not judged";
}

TEST_F(GameTest, WithoutAParentOrACorrectPlaceNothingMoves) {
  test::Host narrow;
  ASSERT_TRUE(narrow.Make(60, 60));
  Probe small;
  HRGN region = test::RectRegion(0, 0, 10, 10);
  ASSERT_TRUE(small.Create("", WS_CHILD | WS_VISIBLE, CPoint(20, 20), region, &narrow, 1));
  ::DeleteObject(region);
  small.RandomPos();
  EXPECT_EQ(small.Place(), CRect(20, 20, 30, 30)) << "no parent window set";
  small.SetParentWnd(&narrow);
  small.RandomPos();
  EXPECT_EQ(small.Place(), CRect(0, 0, 10, 10)) << "a parent no wider than 80 pixels: the corner";
  small.GotoCorrectPos();
  EXPECT_EQ(small.Place(), CRect(0, 0, 10, 10)) << "no correct place recorded";

  b.SetParentWnd(nullptr);
  b.SetGame();
  ASSERT_TRUE(DropAt(150, 300));
  test::RunFor(400);
  EXPECT_EQ(b.Place(), CRect(150, 300, 180, 330));
  EXPECT_EQ(b.MoveMe(), 0);
}

TEST_F(GameTest, TheStatesAndSwitches) {
  EXPECT_EQ(b.GetGameState(), 0);
  b.SetGame();
  EXPECT_EQ(b.GetGameState(), 1);
  b.PauseGame();
  EXPECT_EQ(b.GetGameState(), -1);
  b.KillGame();
  EXPECT_EQ(b.GetGameState(), 0);
  b.SetCorrectRgn();
  b.KillOrigPos();
  b.SetGame();
  ASSERT_TRUE(DropAt(150, 300));
  test::RunFor(400);
  EXPECT_EQ(b.Place(), CRect(150, 300, 180, 330)) << "no start place: the move stands";
  EXPECT_EQ(b.MoveMe(), 1);
  b.ClearMoveRecord();
  EXPECT_EQ(b.MoveMe(), 0);
}

}  // namespace
