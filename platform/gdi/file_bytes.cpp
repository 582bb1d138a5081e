#include "platform/gdi/file_bytes.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>

namespace gdi {
namespace {

bool WriteAll(int fd, const BYTE* data, size_t size) {
  while (size > 0) {
    const ssize_t n = ::write(fd, data, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    data += n;
    size -= size_t(n);
  }
  return true;
}

}  // namespace

bool ReadFileBytes(const std::string& path, size_t maxBytes, std::vector<BYTE>* out) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  struct stat st;
  bool ok = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && size_t(st.st_size) <= maxBytes;
  std::vector<BYTE> bytes;
  if (ok) {
    bytes.resize(size_t(st.st_size));
    size_t done = 0;
    while (ok && done < bytes.size()) {
      const ssize_t n = ::read(fd, bytes.data() + done, bytes.size() - done);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0)
        ok = false;
      else
        done += size_t(n);
    }
  }
  ::close(fd);
  if (ok) *out = std::move(bytes);
  return ok;
}

namespace {

// Writes a temporary file beside `path` through `write` and renames it over
// `path`; removed again when anything fails.
bool WriteThroughTemporary(const std::string& path, const std::function<bool(int fd)>& write) {
  // A new name of our own (O_EXCL), created with the usual mode under the umask.
  static std::atomic<unsigned> counter{0};
  std::string temp;
  int fd = -1;
  for (int attempt = 0; fd < 0 && attempt < 100; ++attempt) {
    temp = path + ".tmp" + std::to_string(::getpid()) + "_" + std::to_string(counter++);
    fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0 && errno != EEXIST) return false;
  }
  if (fd < 0) return false;
  bool ok = write(fd);
  ok = ::close(fd) == 0 && ok;
  ok = ok && ::rename(temp.c_str(), path.c_str()) == 0;
  if (!ok) ::unlink(temp.c_str());
  return ok;
}

}  // namespace

bool WriteFileBytes(const std::string& path, const std::vector<BYTE>& bytes) {
  return WriteThroughTemporary(path, [&](int fd) { return WriteAll(fd, bytes.data(), bytes.size()); });
}

bool WriteFileBytes(const std::string& path, const std::function<long(BYTE* buffer, size_t capacity)>& next) {
  return WriteThroughTemporary(path, [&](int fd) {
    // Pieces small enough to stay in the cache between making and writing.
    std::vector<BYTE> buffer(size_t(256) << 10);
    for (;;) {
      const long n = next(buffer.data(), buffer.size());
      if (n == 0) return true;
      if (n < 0 || size_t(n) > buffer.size() || !WriteAll(fd, buffer.data(), size_t(n))) return false;
    }
  });
}

}  // namespace gdi
