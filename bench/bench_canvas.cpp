// A pen move on a form (LineTo on the form canvas, shown on the screen at
// once) and a 220 x 40 CopyRect read back from the form canvas, on a
// 1024 x 768 and a 3840 x 2160 form: both must cost what they touch, not
// the form (goal: the big form's figures within 1.5 times the small one's).
// Started without QUARVEL_BENCH_SCREEN, the program runs itself under
// scripts/test-env with an Xvfb large enough for the big form.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QWindow>

#include "bench/screens.h"
#include "platform/vcl/extctrls.h"
#include "platform/vcl/forms.h"

namespace {

void FormSizes(benchmark::internal::Benchmark* b) { b->Args({1024, 768})->Args({3840, 2160}); }

// A borderless form of the size with a panel in its top strip, as the board has.
struct Board {
  TForm* form;
  explicit Board(const benchmark::State& state) {
    static bool init = [] {
      Application->Initialize();
      return true;
    }();
    (void)init;
    form = new TForm(Application);
    form->BorderStyle = bsNone;
    form->SetBounds(0, 0, int(state.range(0)), int(state.range(1)));
    form->Color = clGray;
    TPanel* strip = new TPanel(form);
    strip->Parent = form;
    strip->SetBounds(0, 0, int(state.range(0)) - 1, 40);
    form->Show();
    for (int i = 0; i < 200 && !(form->isVisible() && form->windowHandle()->isExposed()); ++i) {
      QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    QCoreApplication::processEvents();
  }
  ~Board() { delete form; }
};

void BM_FormLineTo(benchmark::State& state) {
  Board b(state);
  TCanvas* c = b.form->Canvas;
  c->Pen->Color = clRed;
  c->Pen->Width = 2;
  int i = 0;
  for (auto _ : state) {
    const int x = 100 + (i % 300), y = 100 + (i % 200);
    c->MoveTo(x, y);
    c->LineTo(x + 6, y + 4);  // one pointer move of a pen stroke
    ++i;
  }
}

void BM_FormCopyRectReadBack(benchmark::State& state) {
  Board b(state);
  TBitmap page;
  page.Width = 220;
  page.Height = 40;
  int i = 0;
  for (auto _ : state) {
    const int y = 20 + (i % 40);  // crosses the panel's strip for some rows
    page.Canvas->CopyRect(Rect(0, 0, 220, 40), b.form->Canvas, Rect(300, y, 520, y + 40));
    ++i;
  }
}

BENCHMARK(BM_FormLineTo)->Apply(FormSizes);
BENCHMARK(BM_FormCopyRectReadBack)->Apply(FormSizes);

}  // namespace

int main(int argc, char** argv) {
  std::vector<bench::Ratio> ratios;
  for (const char* b : {"BM_FormLineTo", "BM_FormCopyRectReadBack"})
    ratios.push_back({std::string(b) + " 3840x2160 / 1024x768", std::string(b) + "/3840/2160@3840x2160",
                      {std::string(b) + "/1024/768@3840x2160"}, 1.5});
  return bench::RunOnScreens(argc, argv, {"3840x2160"}, QUARVEL_TEST_ENV, ratios);
}
