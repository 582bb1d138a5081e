// Drawing on the board: a 2000-point pen stroke and a rectangle's rubber
// band replayed through the board's mouse handlers, per move and per
// release (the commit), on a 1024 x 768 and a 3840 x 2160 screen. A move
// must cost what its segment and the stroke box touch, never the page: the
// 4K figures should stay within 1.5 times the small ones, and a move under
// 1 ms.
//
// The board takes the screen's size, so each size runs on an X server of its
// own: started without QUARVEL_BENCH_SCREEN, the program runs itself once
// per size under scripts/test-env with an Xvfb of that size.
#include <benchmark/benchmark.h>

#include "bench/screens.h"

#include <QCoreApplication>
#include <QWindow>


#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "board/board.h"
#include "board/startup.h"
#include "board/toolbar.h"

namespace {

const TShiftState kLeftHeld = TShiftState() << ssLeft;

void Settle() {
  for (int i = 0; i < 20; ++i) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

// The board up as its toolbar button shows it, with the tool of the button.
void Board(TSpeedButton* TForm3::*tool) {
  static bool up = [] {
    QuarvelStartUp();
    Form1->SpeedButton4Click(nullptr);
    for (int i = 0; i < 400 && !(Form3->isVisible() && Form3->windowHandle()->isExposed()); ++i) Settle();
    Settle();
    return true;
  }();
  (void)up;
  (Form3->*tool)->Click();
}

// A pen stroke of 2000 points: a wave across the middle of the page.
std::vector<TPoint> PenPath() {
  std::vector<TPoint> path;
  for (int i = 0; i < 2000; ++i)
    path.push_back(Point(150 + i / 3, 300 + int(std::lround(120 * std::sin(i / 40.0)))));
  return path;
}

// A rectangle dragged out to 500 x 400 and back, 2000 moves.
std::vector<TPoint> RubberPath() {
  std::vector<TPoint> path;
  for (int i = 0; i < 2000; ++i) {
    const int t = i < 1000 ? i : 2000 - i;
    path.push_back(Point(200 + t / 2, 150 + t * 2 / 5));
  }
  return path;
}

void Moves(benchmark::State& state, TSpeedButton* TForm3::*tool, const std::vector<TPoint>& path) {
  Board(tool);
  size_t i = 0;
  Form3->FormMouseDown(Form3, mbLeft, kLeftHeld, path[0].X, path[0].Y);
  for (auto _ : state) {
    if (++i == path.size()) {
      state.PauseTiming();
      Form3->FormMouseUp(Form3, mbLeft, TShiftState(), path.back().X, path.back().Y);
      Form3->SpeedButton5Click(nullptr);  // a clean page for the next stroke
      Settle();
      Form3->FormMouseDown(Form3, mbLeft, kLeftHeld, path[0].X, path[0].Y);
      i = 1;
      state.ResumeTiming();
    }
    Form3->FormMouseMove(Form3, kLeftHeld, path[i].X, path[i].Y);
  }
  Form3->FormMouseUp(Form3, mbLeft, TShiftState(), path[i].X, path[i].Y);
  Settle();
}

// The release of a whole stroke: undo snapshot and commit.
void Commits(benchmark::State& state, TSpeedButton* TForm3::*tool, const std::vector<TPoint>& path) {
  Board(tool);
  for (auto _ : state) {
    state.PauseTiming();
    Form3->FormMouseDown(Form3, mbLeft, kLeftHeld, path[0].X, path[0].Y);
    for (size_t i = 1; i < path.size(); i += 50) Form3->FormMouseMove(Form3, kLeftHeld, path[i].X, path[i].Y);
    Form3->FormMouseMove(Form3, kLeftHeld, path[999].X, path[999].Y);
    state.ResumeTiming();
    Form3->FormMouseUp(Form3, mbLeft, TShiftState(), path[999].X, path[999].Y);
  }
  Settle();
}

void Label(benchmark::State& state) { state.SetLabel(getenv("QUARVEL_BENCH_SCREEN")); }

void BM_PenMove(benchmark::State& state) {
  Moves(state, &TForm3::SpeedButton3, PenPath());
  Label(state);
}
void BM_PenCommit(benchmark::State& state) {
  Commits(state, &TForm3::SpeedButton3, PenPath());
  Label(state);
}
void BM_RectangleMove(benchmark::State& state) {
  Moves(state, &TForm3::SpeedButton15, RubberPath());
  Label(state);
}
void BM_RectangleCommit(benchmark::State& state) {
  Commits(state, &TForm3::SpeedButton15, RubberPath());
  Label(state);
}

BENCHMARK(BM_PenMove)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PenCommit)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RectangleMove)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RectangleCommit)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
  std::vector<bench::Ratio> ratios;
  for (const char* b : {"BM_PenMove", "BM_PenCommit", "BM_RectangleMove", "BM_RectangleCommit"})
    ratios.push_back({std::string(b) + " 3840x2160 / 1024x768", std::string(b) + "@3840x2160",
                      {std::string(b) + "@1024x768"}, 1.5});
  return bench::RunOnScreens(argc, argv, {"1024x768", "3840x2160"}, QUARVEL_TEST_ENV, ratios);
}
