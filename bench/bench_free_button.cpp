// The stroke-placing game's way back: a button moved off its correct place
// during a game stands there for 300 ms and then goes back to its start
// place. One iteration is one such move, from the move to the button being
// back; it should take the pause and hardly more (goal: within 1.1 times
// BM_Pause, the pause alone).
//
// Started without QUARVEL_BENCH_SCREEN, the program runs itself under
// scripts/test-env with an Xvfb of its own.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QCoreApplication>

#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>

#include "bench/screens.h"

#include "merrobase/free_button.h"

namespace {

QApplication* App() {
  static int argc = 1;
  static char name[] = "bench_free_button";
  static char* argv[] = {name, nullptr};
  static QApplication* app = new QApplication(argc, argv);
  return app;
}

CRect PlaceOf(const CWnd& w) {
  RECT r;
  w.GetWindowRect(&r);
  w.GetParent()->ScreenToClient(&r);
  return r;
}

void BM_WrongMoveGoesBack(benchmark::State& state) {
  App();
  CWnd host;
  host.Create(nullptr, "host", WS_POPUP | WS_VISIBLE, RECT{0, 0, 680, 480}, nullptr, 0);
  CFreeButton b;
  HRGN region = ::CreateRectRgn(0, 0, 30, 30);
  b.Create("", WS_CHILD | WS_VISIBLE, CPoint(300, 200), region, &host, 3029);
  ::DeleteObject(region);
  b.SetParentWnd(&host);
  b.CreatePos(CRect(300, 200, 330, 230));
  b.SetCorrectPos();
  b.MoveWindow(50, 50, 30, 30, TRUE);
  b.SetOrigPos();
  b.SetGame();
  const CRect start(50, 50, 80, 80);
  for (auto _ : state) {
    b.MoveWindow(150, 300, 30, 30, TRUE);  // judged as it happens: the pause, then the way back
    if (!(PlaceOf(b) == start)) {
      state.SkipWithError("the button did not go back");
      break;
    }
  }
  QCoreApplication::processEvents();
}
BENCHMARK(BM_WrongMoveGoesBack)->Unit(benchmark::kMillisecond)->Iterations(5);

// The pause a wrong move stands for, alone.
void BM_Pause(benchmark::State& state) {
  for (auto _ : state) std::this_thread::sleep_for(std::chrono::milliseconds(300));
}
BENCHMARK(BM_Pause)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace

int main(int argc, char** argv) {
  return bench::RunOnScreens(argc, argv, {"1024x768"}, QUARVEL_TEST_ENV,
                             {{"wrong move back / the pause", "BM_WrongMoveGoesBack/iterations:5@1024x768",
                               {"BM_Pause/iterations:5@1024x768"}, 1.1}});
}
