// Lesson files: a board of 99 pages at 1920 x 1080 saved as a lesson and
// opened again through the lesson manager's buttons, next to libpng encoding
// the same pages on one thread (and, for the opening, decoding them on one
// thread). The goals: the save at least 3 times as fast as the one-thread
// encoding, the opening at least twice as fast; the counters "x_encode" and
// "x_decode" give the factors, "x_same_encoder" the save against the
// lesson's own encoder settings on one thread (what the threads bring).
//
// Started without QUARVEL_BENCH_SCREEN, the program runs itself under
// scripts/test-env with an Xvfb of 1920 x 1080 (the board takes the
// screen's size).
#include <benchmark/benchmark.h>

#include "bench/screens.h"

#include <QCoreApplication>
#include <QImage>
#include <QWindow>
#include <png.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <string>
#include <vector>

#include "board/board.h"
#include "board/lesson_files.h"
#include "board/lessons.h"
#include "board/startup.h"
#include "board/toolbar.h"
#include "platform/fs/files.h"
#include "platform/fs/path.h"
#include "platform/gdiplus/png_encoder.h"

namespace {

constexpr int kPages = 99;

void Settle() {
  for (int i = 0; i < 20; ++i) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

// What a teacher's page holds: the grey background, strokes of the pen in
// several widths and colours, and on every third page a photograph-like
// picture (smooth colours with grain), which compresses far worse.
void DrawPage(TBitmap* page, int n) {
  TCanvas* c = page->Canvas;
  const int w = page->Width, h = page->Height;
  c->Brush->Color = clGray;
  c->FillRect(Rect(0, 0, w, h));
  unsigned seed = 12345u + unsigned(n) * 7919u;
  auto next = [&](int range) {
    seed = seed * 1103515245u + 12345u;
    return int((seed >> 8) % unsigned(range));
  };
  const TColor colours[] = {clRed, clWhite, clYellow, clBlack, clBlue, clLime};
  for (int s = 0; s < 40; ++s) {
    c->Pen->Color = colours[next(6)];
    c->Pen->Width = 2 + next(8);
    int x = 50 + next(w - 300), y = 60 + next(h - 300);
    c->MoveTo(x, y);
    for (int k = 0; k < 30; ++k) {
      x = std::clamp(x + next(41) - 20, 0, w - 1);
      y = std::clamp(y + next(41) - 20, 40, h - 1);
      c->LineTo(x, y);
    }
  }
  if (n % 3 == 0)
    page->Pixels().Draw([&](QImage& image) {
      const QRect r(600, 300, 480, 360);
      for (int y = r.top(); y <= r.bottom(); ++y) {
        QRgb* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = r.left(); x <= r.right(); ++x)
          row[x] = qRgb((x + n * 5) & 255, (y * 2) & 255, ((x + y) / 3 + next(24)) & 255);
      }
      return r;
    });
}

// The board up as its toolbar button shows it, 99 pages drawn, teacher A
// unlocked for volume 1, lesson 1 on drive C.
void Board() {
  static bool up = [] {
    QuarvelStartUp();
    Form1->SpeedButton4Click(nullptr);
    for (int i = 0; i < 400 && !(Form3->isVisible() && Form3->windowHandle()->isExposed()); ++i) Settle();
    Settle();
    // Notes of the program folder's own, away from the build's.
    Form3->ProgramFolder = std::string(getenv("QUARVEL_TEST_DIR")) + "/prog/";
    ForceDirectories(Form3->ProgramFolder);
    for (int n = 1; n <= kPages; ++n) {
      if (!Form3->Pages[n]) Form3->Pages[n] = TForm3::NewPageBitmap();
      DrawPage(Form3->Pages[n].get(), n);
      Form3->PageState[n] = 2;
      Form3->PanelLeft[n] = 0, Form3->PanelTop[n] = 40, Form3->PanelWidth[n] = 368;
      Form3->PanelHeight[n] = Form3->Height - 40;
      if (n % 4 == 0) {
        Form3->SetPanelKind(n, 1);
        WriteWholeFile(Form3->ProgramFolder + std::to_string(n), "{\\rtf1\\ansi note " + std::to_string(n) + "}");
      }
    }
    Form3->PageCount = kPages;
    Form3->CurrentPage = 1;
    Form6->DriveComboBox1->Drive = 'C';
    Form6->Unlock("A");
    return true;
  }();
  (void)up;
}

// ---- the one-thread references ----

void Append(png_structp png, png_bytep data, png_size_t n) {
  static_cast<std::string*>(png_get_io_ptr(png))->append(reinterpret_cast<const char*>(data), n);
}
void NoFlush(png_structp) {}

// Plain libpng with its defaults, as any program writes an RGB picture.
std::string EncodeOnOneThread(const QImage& image) {
  std::string out;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    return std::string();
  }
  png_set_write_fn(png, &out, Append, NoFlush);
  png_set_IHDR(png, info, png_uint_32(image.width()), png_uint_32(image.height()), 8, PNG_COLOR_TYPE_RGB,
               PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  std::vector<png_byte> row(size_t(image.width()) * 3);
  for (int y = 0; y < image.height(); ++y) {
    const QRgb* p = reinterpret_cast<const QRgb*>(image.constScanLine(y));
    for (int x = 0; x < image.width(); ++x) {
      row[size_t(x) * 3] = png_byte(qRed(p[x]));
      row[size_t(x) * 3 + 1] = png_byte(qGreen(p[x]));
      row[size_t(x) * 3 + 2] = png_byte(qBlue(p[x]));
    }
    png_write_row(png, row.data());
  }
  png_write_end(png, info);
  png_destroy_write_struct(&png, &info);
  return out;
}

std::string PageFile(int n) {
  return winpath::ToLinux(Form6->DataFolder + Form6->LessonKey() + std::to_string(n) + ".pte");
}

// The lesson's own encoder, on one thread.
void EncodeAllAlike() {
  std::string png;
  for (int n = 1; n <= kPages; ++n) Gdiplus::EncodePng(Form3->Pages[n]->Pixels(), &png);
}

void EncodeAll() {
  for (int n = 1; n <= kPages; ++n) benchmark::DoNotOptimize(EncodeOnOneThread(Form3->Pages[n]->ToImage()));
}

void DecodeAll() {
  for (int n = 1; n <= kPages; ++n) benchmark::DoNotOptimize(QImage(QString::fromStdString(PageFile(n)), "PNG"));
}

void Save() { Form6->SpeedButton2Click(nullptr); }
void Open() { Form6->SpeedButton1Click(nullptr); }

double Once(void (*run)()) {
  const auto start = std::chrono::steady_clock::now();
  run();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Each run's mean time (wall clock: the work is on other threads).
double Timed(benchmark::State& state, void (*run)()) {
  double total = 0;
  for (auto _ : state) total += Once(run);
  return total / double(std::max<benchmark::IterationCount>(state.iterations(), 1));
}

// The references, as their benchmarks measured them (or once, when they
// were not run).
double encodeSeconds = 0, alikeSeconds = 0, decodeSeconds = 0;
double Reference(double& seconds, void (*run)()) {
  if (seconds == 0) seconds = Once(run);
  return seconds;
}

// Pictures to decode: the lesson saved once.
void Saved() {
  static bool saved = (Board(), Save(), true);
  (void)saved;
}

void BM_EncodeOneThread(benchmark::State& state) {
  Board();
  encodeSeconds = Timed(state, EncodeAll);
}

void BM_EncodeOneThreadLikeTheLesson(benchmark::State& state) {
  Board();
  alikeSeconds = Timed(state, EncodeAllAlike);
}

void BM_SaveLesson(benchmark::State& state) {
  Board();
  const double each = Timed(state, Save);
  state.counters["x_encode"] = Reference(encodeSeconds, EncodeAll) / each;
  state.counters["x_same_encoder"] = Reference(alikeSeconds, EncodeAllAlike) / each;
  if (Form6->Visible) state.SkipWithError("the save failed");
}

void BM_DecodeOneThread(benchmark::State& state) {
  Saved();
  decodeSeconds = Timed(state, DecodeAll);
}

void BM_OpenLesson(benchmark::State& state) {
  Saved();
  const double each = Timed(state, Open);
  state.counters["x_encode"] = Reference(encodeSeconds, EncodeAll) / each;
  state.counters["x_decode"] = Reference(decodeSeconds, DecodeAll) / each;
  if (Form3->PageCount != kPages) state.SkipWithError("the lesson did not open");
}

BENCHMARK(BM_EncodeOneThread)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(BM_EncodeOneThreadLikeTheLesson)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(BM_SaveLesson)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_DecodeOneThread)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_OpenLesson)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace

int main(int argc, char** argv) {
  const std::string at = "@1920x1080";
  return bench::RunOnScreens(
      argc, argv, {"1920x1080"}, QUARVEL_TEST_ENV,
      {{"lesson save against one-thread encoding", "BM_SaveLesson/iterations:5" + at,
        {"BM_EncodeOneThread/iterations:2" + at}, 3, bench::Ratio::kAtLeast},
       {"lesson opening against one-thread decoding", "BM_OpenLesson/iterations:5" + at,
        {"BM_DecodeOneThread/iterations:3" + at}, 2, bench::Ratio::kAtLeast}});
}
