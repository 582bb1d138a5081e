// Turning the board to an existing page and one zoom step of the floating
// picture, on a 1920 x 1080 screen, each beside what it is made of: a turn
// is one copy of the page to the screen (goal: within 3 times
// BM_PageMemcpy, a plain memcpy of the page's pixels), a zoom step one
// resampling of an 800 x 600 picture through the GDI+ round trip (goal:
// within 1.5 times the sum of BM_QtSmoothScale, Qt's smooth scaling of the
// same picture with the same filter, and BM_BmpFileRoundTrip, the same BMP
// bytes written to a file and read back). Each pair alternates the same
// two directions: next and previous page, in x 1.5 and out / 1.5.
//
// The board takes the screen's size, so the program runs itself under
// scripts/test-env with an Xvfb of that size unless QUARVEL_BENCH_SCREEN is
// set.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QDir>
#include <QImage>
#include <QWindow>


#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QPainter>
#include <cstring>
#include <string>
#include <vector>

#include "board/board.h"
#include "board/startup.h"
#include "board/toolbar.h"
#include "bench/screens.h"
#include "platform/gdi/bmp.h"

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

// The resampling a zoom step makes, with the same filter: the picture as
// the zoom cache holds it (ARGB32 premultiplied), its inside without the
// selection frame drawn smoothly into a new picture of x 1.5 and of x 1.
void BM_QtSmoothScale(benchmark::State& state) {
  FloatCut();
  const QImage picture = Form3->FloatBitmap->ToImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
  bool in = true;
  for (auto _ : state) {
    const double factor = in ? 1.5 : 1.0;
    QImage scaled(int(800 * factor), int(600 * factor), QImage::Format_ARGB32_Premultiplied);
    scaled.fill(0);
    {
      QPainter p(&scaled);
      p.setRenderHint(QPainter::SmoothPixmapTransform);
      p.drawImage(QRectF(0, 0, 800 * factor, 600 * factor), picture, QRectF(1, 1, 797, 597));
    }
    benchmark::DoNotOptimize(scaled.constBits());
    in = !in;
  }
  Form3->Image2->Hide();
}

// The BMP files a zoom step writes and reads back (x 1.5 and x 1), through
// a file of the current folder with plain writes and reads.
void BM_BmpFileRoundTrip(benchmark::State& state) {
  std::vector<BYTE> files[2];
  gdi::WriteBmp(gdi::Bitmap(1200, 900), 32, &files[0]);
  gdi::WriteBmp(gdi::Bitmap(800, 600), 32, &files[1]);
  std::vector<BYTE> back;
  int k = 0;
  for (auto _ : state) {
    const std::vector<BYTE>& bytes = files[k];
    k = 1 - k;
    const int out = open("round_trip.bmp", O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (out < 0 || write(out, bytes.data(), bytes.size()) != ssize_t(bytes.size())) state.SkipWithError("write");
    close(out);
    const int in = open("round_trip.bmp", O_RDONLY);
    struct stat st;
    fstat(in, &st);
    back.resize(size_t(st.st_size));
    if (read(in, back.data(), back.size()) != ssize_t(back.size())) state.SkipWithError("read");
    close(in);
    benchmark::DoNotOptimize(back.data());
  }
  unlink("round_trip.bmp");
}

BENCHMARK(BM_TurnToExistingPage)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PageMemcpy)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ZoomStep)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_QtSmoothScale)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_BmpFileRoundTrip)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
  return bench::RunOnScreens(
      argc, argv, {"1920x1080"}, QUARVEL_TEST_ENV,
      {{"turn to an existing page / memcpy of the page", "BM_TurnToExistingPage@1920x1080",
        {"BM_PageMemcpy@1920x1080"}, 3},
       {"zoom step / (smooth scale + BMP file round trip)", "BM_ZoomStep@1920x1080",
        {"BM_QtSmoothScale@1920x1080", "BM_BmpFileRoundTrip@1920x1080"}, 1.5}});
}
