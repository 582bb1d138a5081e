// Drawing costs on page-size bitmaps: a pen segment, a wide pen segment, a
// rectangle outline and a 100 x 100 copy must cost what they touch, so the
// times for 1024 x 768 and 3840 x 2160 pages should be about the same (the
// ratios printed at the end: goal within 1.5).
#include <benchmark/benchmark.h>

#include "bench/ratios.h"
#include "platform/gdi/bitmap.h"
#include "platform/gdi/dc.h"

namespace {

void PageSizes(benchmark::internal::Benchmark* b) { b->Args({1024, 768})->Args({3840, 2160}); }

struct Page {
  gdi::Bitmap bitmap;
  gdi::DC dc;
  explicit Page(const benchmark::State& state)
      : bitmap(int(state.range(0)), int(state.range(1))), dc(&bitmap) {}
};

void LineTo(benchmark::State& state, int width) {
  Page page(state);
  page.dc.SelectPen(gdi::SolidPen(RGB(200, 0, 0), width));
  int i = 0;
  for (auto _ : state) {
    const int x = 100 + (i % 50), y = 100 + (i % 37);
    page.dc.MoveTo(x, y);
    page.dc.LineTo(x + 150, y + 60);  // a pen stroke's move: about 160 pixels
    ++i;
  }
}

void BM_LineTo1px(benchmark::State& state) { LineTo(state, 1); }
void BM_LineToWidth9(benchmark::State& state) { LineTo(state, 9); }

void Rectangle(benchmark::State& state, gdi::Pen pen) {
  Page page(state);
  page.dc.SelectPen(pen);
  page.dc.SelectBrush(gdi::NullBrush());
  page.dc.SetBkMode(TRANSPARENT);
  int i = 0;
  for (auto _ : state) {
    const int x = 50 + (i++ % 40);
    page.dc.Rectangle(x, x, x + 300, x + 200);  // a rubber band frame
  }
}

void BM_RectangleDotted(benchmark::State& state) { Rectangle(state, gdi::Pen{PS_DOT, 1, RGB(0, 0, 200)}); }
void BM_RectangleWidth5(benchmark::State& state) { Rectangle(state, gdi::SolidPen(RGB(0, 0, 200), 5)); }

void BM_BitBlt100(benchmark::State& state) {
  Page page(state);
  gdi::Bitmap source(int(state.range(0)), int(state.range(1)));
  gdi::DC from(&source);
  int i = 0;
  for (auto _ : state) {
    const int x = 10 + (i++ % 300);
    page.dc.BitBlt(x, 200, 100, 100, &from, 400, x, SRCCOPY);
  }
}

}  // namespace

BENCHMARK(BM_LineTo1px)->Apply(PageSizes);
BENCHMARK(BM_LineToWidth9)->Apply(PageSizes);
BENCHMARK(BM_RectangleDotted)->Apply(PageSizes);
BENCHMARK(BM_RectangleWidth5)->Apply(PageSizes);
BENCHMARK(BM_BitBlt100)->Apply(PageSizes);

int main(int argc, char** argv) {
  std::vector<bench::Ratio> ratios;
  for (const char* b : {"BM_LineTo1px", "BM_LineToWidth9", "BM_RectangleDotted", "BM_RectangleWidth5", "BM_BitBlt100"})
    ratios.push_back({std::string(b) + " 3840x2160 / 1024x768", std::string(b) + "/3840/2160",
                      {std::string(b) + "/1024/768"}, 1.5});
  return bench::RunWithRatios(argc, argv, ratios);
}
