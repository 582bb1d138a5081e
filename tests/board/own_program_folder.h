// For board test programs that write files into the program folder (the
// panel's page files): the program runs from a copy of itself in its own
// test folder ($QUARVEL_TEST_DIR/self/), so test programs running side by
// side never meet in the build's folder. Including this header is enough:
// before main, the program puts its copy in its place (exec, same
// arguments; the libraries are found by their absolute run path).
#pragma once
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace boardtest::detail {

inline bool RunFromOwnFolder() {
  const char* dir = getenv("QUARVEL_TEST_DIR");
  if (!dir || !*dir) return false;
  char exe[4096];
  const ssize_t n = readlink("/proc/self/exe", exe, sizeof exe - 1);
  if (n <= 0) return false;
  const std::string self(exe, size_t(n)), folder = std::string(dir) + "/self";
  if (self.rfind(folder + "/", 0) == 0) return true;
  mkdir(folder.c_str(), 0755);
  const std::string copy = folder + self.substr(self.rfind('/'));
  {
    std::ifstream in(self, std::ios::binary);
    std::ofstream out(copy, std::ios::binary);
    out << in.rdbuf();
  }
  chmod(copy.c_str(), 0755);
  std::ifstream cmdline("/proc/self/cmdline", std::ios::binary);
  const std::string all((std::istreambuf_iterator<char>(cmdline)), {});
  std::vector<std::string> args;
  for (size_t at = 0; at < all.size();) {
    const size_t end = all.find('\0', at);
    args.push_back(all.substr(at, end - at));
    at = end == std::string::npos ? all.size() : end + 1;
  }
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  execv(copy.c_str(), argv.data());
  return false;  // could not: runs where it is
}

inline const bool kInOwnFolder = RunFromOwnFolder();

}  // namespace boardtest::detail
