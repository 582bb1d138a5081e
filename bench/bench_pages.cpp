// Turning the board to an existing page and one zoom step of the floating
// picture, on a 1920 x 1080 screen, each beside what it is made of: a turn
// is one copy of the page to the screen (compare BM_PageMemcpy, a plain
// memcpy of the page's pixels), a zoom step one resampling of an 800 x 600
// picture through the GDI+ round trip (compare BM_QtSmoothScale, Qt's
// smooth scaling of the same picture). Each pair alternates the same two
// directions: next and previous page, in x 1.5 and out / 1.5.
//
// The board takes the screen's size, so the program runs itself under
// scripts/test-env with an Xvfb of that size unless QUARVEL_BENCH_SCREEN is
// set.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QDir>
#include <QImage>
#include <QWindow>


#include <cstring>
#include <string>
#include <vector>

#include "board/board.h"
#include "board/startup.h"
#include "board/toolbar.h"
#include "bench/screens.h"

namespace {

void Settle() {
  for (int i = 0; i < 20; ++i) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

// The board up with two pages, on page 1, "tmp.bmt" written into the
// current folder.
void Board() {
  static bool up = [] {
    QuarvelStartUp();
    Form1->SpeedButton4Click(nullptr);
    for (int i = 0; i < 400 && !(Form3->isVisible() && Form3->windowHandle()->isExposed()); ++i) Settle();
    Form3->ProgramFolder = QDir::currentPath().toStdString() + "/";
    Form3->PageState[1] = 2;
    Form3->SpeedButton12Click(nullptr);
    Form3->SpeedButton11Click(nullptr);
    Settle();
    return true;
  }();
  (void)up;
}

void BM_TurnToExistingPage(benchmark::State& state) {
  Board();
  bool forward = true;
  for (auto _ : state) {
    if (forward)
      Form3->SpeedButton12Click(nullptr);
    else
      Form3->SpeedButton11Click(nullptr);
    forward = !forward;
  }
  Settle();
  state.SetLabel(std::to_string(Screen->Width) + "x" + std::to_string(Screen->Height));
}

void BM_PageMemcpy(benchmark::State& state) {
  Board();
  const size_t bytes = size_t(Screen->Width) * Screen->Height * 4;
  std::vector<char> from(bytes, 1), to(bytes);
  for (auto _ : state) {
    memcpy(to.data(), from.data(), bytes);
    benchmark::DoNotOptimize(to.data());
    benchmark::ClobberMemory();
  }
}

// An 800 x 600 cut of the page floating at (100, 100).
void FloatCut() {
  Board();
  Form3->Image2->Hide();
  Form3->FloatBitmap->SetSize(800, 600);
  Form3->FloatBitmap->Canvas->CopyRect(Rect(0, 0, 800, 600), Form3->Pages[1]->Canvas, Rect(100, 100, 900, 700));
  Form3->Image2->Picture->Bitmap = Form3->FloatBitmap.get();
  Form3->Image2->SetBounds(100, 100, 800, 600);
  Form3->FloatIsPicture = 0;
  ZoomImageCached = 0;
  ZoomFactor = 1.0f;
  Form3->Image2->Show();
  Settle();
}

void BM_ZoomStep(benchmark::State& state) {
  FloatCut();
  bool in = true;
  for (auto _ : state) {
    if (!Form3->ZoomStep(in)) state.SkipWithError("zoom step refused");
    in = !in;
  }
  Form3->Image2->Hide();
  Settle();
}

void BM_QtSmoothScale(benchmark::State& state) {
  FloatCut();
  const QImage picture = Form3->FloatBitmap->ToImage();
  const QImage enlarged = picture.scaled(1200, 900, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
  bool in = true;
  for (auto _ : state) {
    QImage scaled = in ? picture.scaled(1200, 900, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                       : enlarged.scaled(800, 600, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    benchmark::DoNotOptimize(scaled.constBits());
    in = !in;
  }
  Form3->Image2->Hide();
}

BENCHMARK(BM_TurnToExistingPage)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PageMemcpy)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ZoomStep)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_QtSmoothScale)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) { return bench::RunOnScreens(argc, argv, {"1920x1080"}, QUARVEL_TEST_ENV); }
