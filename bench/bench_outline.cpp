// Loading and parsing stroke records: a synthetic set of 3,000 characters of
// realistic size (10 to 20 strokes each, lines and splines, bend strokes with
// cuts), loaded one after another into one outline
//   - through the scrambled stroke files (file slice read, unscrambled, parsed),
//   - from a user font file held in memory (parse only).
// Reported per character; the counter bytes_per_outline is the memory an
// outline holds for one loaded character, averaged over the set. The ratio
// printed at the end is the load through the files against the parse
// alone (no goal is set for it).
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "bench/ratios.h"
#include "merrodataengine/outline/out_line.h"
#include "tools/engine_fixture/fixture.h"

namespace {

const int kCharacters = 3000;

struct Data {
  std::string folder;
  engine_fixture::Description d;
  std::vector<engine_fixture::IndexValues> placed;
};

engine_fixture::Point RandomPoint(std::mt19937& gen) { return {int(gen() % 256), int(gen() % 256)}; }

engine_fixture::Character MakeCharacter(int position, std::mt19937& gen) {
  engine_fixture::Character c;
  c.gbk = {char(0xA0 + 16 + position / 94), char(0xA0 + 1 + position % 94)};
  const int strokes = 10 + int(gen() % 11);
  const char bendCodes[] = "5ABY";
  for (int i = 0; i < strokes; ++i) {
    engine_fixture::Stroke s;
    const bool bend = gen() % 4 == 0;
    s.code = bend ? bendCodes[gen() % 4] : "1234XZ"[gen() % 6];
    s.start = RandomPoint(gen);
    s.flag = int(gen() % 2);
    int points = 1;
    for (int k = 0, segments = 1 + int(gen() % 3); k < segments; ++k) {
      engine_fixture::Segment g;
      g.type = gen() % 2 ? 2 : 1;
      for (int j = 0, n = g.type == 2 ? 3 + int(gen() % 3) : 2 + int(gen() % 3); j < n; ++j)
        g.points.push_back(RandomPoint(gen));
      points += g.type == 2 ? 8 * (int(g.points.size()) - 1) : int(g.points.size());
      s.segments.push_back(g);
    }
    if (bend) s.cuts = {{0, points}, {points / 3, 2 * points / 3}, {points / 2, points / 2}};
    c.strokes.push_back(s);
  }
  return c;
}

const Data& Set() {
  static Data data = [] {
    Data d;
    const char* tmp = getenv("TMPDIR");
    d.folder = std::string(tmp && *tmp ? tmp : "/tmp") + "/bench_outline.XXXXXX";
    if (!mkdtemp(d.folder.data())) abort();
    std::mt19937 gen(11);
    for (int p = 0; p < kCharacters; ++p) d.d.characters.push_back(MakeCharacter(p, gen));
    std::string error;
    if (!engine_fixture::WriteStrokeFiles(d.d, d.folder, &error, &d.placed) ||
        !engine_fixture::WriteFontFiles(d.d, d.folder, &error))
      abort();
    atexit([] { std::filesystem::remove_all(Set().folder); });
    return d;
  }();
  return data;
}

void BM_LoadFromStrokeFiles(benchmark::State& state) {
  const Data& data = Set();
  COutLine outline;
  outline.On_Set_Hanzi_File(data.folder.c_str());
  size_t i = 0, held = 0, loaded = 0;
  for (auto _ : state) {
    const engine_fixture::IndexValues& v = data.placed[i];
    outline.On_Set_Hanzi(data.d.characters[i].gbk.c_str(), (unsigned long)v.offset, (unsigned long)v.length, v.file);
    if (outline.GetStrokes() == 0) state.SkipWithError("a character did not load");
    held += outline.GetHeldBytes();
    ++loaded;
    i = (i + 1) % data.placed.size();
  }
  state.SetItemsProcessed(int64_t(state.iterations()));
  state.counters["bytes_per_outline"] = double(held) / double(loaded ? loaded : 1);
}
BENCHMARK(BM_LoadFromStrokeFiles)->Unit(benchmark::kMicrosecond);

void BM_ParseFontRecords(benchmark::State& state) {
  const Data& data = Set();
  COutLine outline;
  const std::string dat = data.folder + "/user.dat", idx = data.folder + "/user.idx";
  outline.SetUserFontFile(dat.c_str(), idx.c_str());
  outline.LoadFontFile(false);
  int i = 0;
  for (auto _ : state) {
    outline.On_Set_HZ(i, nullptr);
    if (outline.GetStrokes() == 0) state.SkipWithError("a record did not parse");
    i = (i + 1) % kCharacters;
  }
  state.SetItemsProcessed(int64_t(state.iterations()));
}
BENCHMARK(BM_ParseFontRecords)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
  return bench::RunWithRatios(
      argc, argv, {{"stroke files load / parse alone", "BM_LoadFromStrokeFiles", {"BM_ParseFontRecords"}, 0}});
}
