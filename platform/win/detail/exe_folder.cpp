#include "platform/win/detail/exe_folder.h"

#include <unistd.h>

#include <climits>

namespace win::detail {

std::string ExeFolder() {
  char buf[PATH_MAX];
  ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
  if (n <= 0) return "./";
  std::string path(buf, size_t(n));
  size_t slash = path.rfind('/');
  return slash == std::string::npos ? "./" : path.substr(0, slash + 1);
}

}  // namespace win::detail
