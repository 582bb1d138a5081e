// Unscrambling a 64 MiB file through CMerroDao::On_JieMi_File against a plain
// read of the same file into memory. Goal: the unscrambling read keeps at
// least 0.8 of the plain read's throughput.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "bench/ratios.h"
#include "merrobase/dao.h"

namespace {

const long kSize = 64L << 20;

// The scrambled file, made once in a temporary folder and removed at exit.
const std::string& ScrambledFile() {
  static std::string name = [] {
    const char* tmp = getenv("TMPDIR");
    std::string dir = std::string(tmp && *tmp ? tmp : "/tmp") + "/bench_dao.XXXXXX";
    if (!mkdtemp(dir.data())) abort();
    std::string file = dir + "/data.dat";
    std::vector<unsigned char> bytes(size_t(kSize - 6));
    std::mt19937 gen(7);
    for (auto& b : bytes) b = (unsigned char)gen();
    CFile out(file.c_str(), CFile::modeCreate | CFile::modeWrite);
    out.Write(bytes.data(), UINT(bytes.size()));
    out.Close();
    CMerroDao dao;
    dao.m_nSleep = 0;
    if (dao.On_JiaMi_File(file.c_str()) != 1) abort();
    atexit([] {
      std::string f = ScrambledFile();
      unlink(f.c_str());
      rmdir(f.substr(0, f.rfind('/')).c_str());
    });
    return file;
  }();
  return name;
}

void BM_PlainRead(benchmark::State& state) {
  const std::string& name = ScrambledFile();
  for (auto _ : state) {
    CFile file(name.c_str(), CFile::modeRead | CFile::shareDenyNone);
    size_t n = size_t(file.GetLength());
    unsigned char* buf = static_cast<unsigned char*>(operator new(n));
    if (file.Read(buf, UINT(n)) != n) state.SkipWithError("short read");
    benchmark::DoNotOptimize(buf[n / 2]);
    operator delete(buf);
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * kSize);
}

void BM_JieMiFile(benchmark::State& state) {
  const std::string& name = ScrambledFile();
  for (auto _ : state) {
    CMerroDao dao;
    unsigned char* buf = NULL;
    long len = 0;
    if (dao.On_JieMi_File(name.c_str(), &buf, len) != 1) state.SkipWithError("unscrambling failed");
    benchmark::DoNotOptimize(buf[len / 2]);
    operator delete(buf);
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * kSize);
}

}  // namespace

BENCHMARK(BM_PlainRead)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_JieMiFile)->Unit(benchmark::kMillisecond)->UseRealTime();

int main(int argc, char** argv) {
  return bench::RunWithRatios(argc, argv,
                              {{"On_JieMi_File against a plain read", "BM_JieMiFile/real_time",
                                {"BM_PlainRead/real_time"}, 0.8, bench::Ratio::kAtLeast}});
}
