// Running the outside tools tests check files with (ImageMagick).
#pragma once
#include <cstdio>
#include <cstdlib>
#include <string>

namespace gdi_test {

// Output of a shell command; `ok` false when it did not exit with 0.
inline std::string Run(const std::string& command, bool* ok = nullptr) {
  std::string out;
  FILE* p = ::popen(command.c_str(), "r");
  if (!p) {
    if (ok) *ok = false;
    return out;
  }
  char buf[4096];
  size_t n;
  while ((n = fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
  const int status = ::pclose(p);
  if (ok) *ok = status == 0;
  return out;
}

// A fresh folder for the test's files (inside the test's temporary home).
inline std::string TestDir() {
  const char* base = std::getenv("QUARVEL_TEST_DIR");
  std::string dir = std::string(base ? base : "/tmp") + "/gdi-files";
  Run("mkdir -p '" + dir + "'");
  return dir;
}

}  // namespace gdi_test
