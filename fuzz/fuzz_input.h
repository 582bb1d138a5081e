// Shared by the fuzz targets: the files of one input, in the temporary
// folder under names of this process, removed when the input is done.
#pragma once
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

class FuzzFiles {
 public:
  ~FuzzFiles() {
    for (const std::string& p : paths_) unlink(p.c_str());
  }
  // A path for `name`; the file is removed with this object.
  std::string Path(const char* name) {
    const char* tmp = getenv("TMPDIR");
    paths_.push_back(std::string(tmp && *tmp ? tmp : "/tmp") + "/quarvel-fuzz-" + std::to_string(getpid()) + "-" + name);
    return paths_.back();
  }
  // A file holding the input.
  std::string Write(const char* name, const uint8_t* data, size_t size) {
    std::string path = Path(name);
    FILE* f = fopen(path.c_str(), "wb");
    if (!f || fwrite(data, 1, size, f) != size || fclose(f) != 0) abort();
    return path;
  }

 private:
  std::vector<std::string> paths_;
};

// A broken invariant is a crash the fuzzer reports.
#define FUZZ_CHECK(cond)             \
  do {                               \
    if (!(cond)) __builtin_trap();   \
  } while (0)
