#include "platform/gdi/file_bytes.h"

#include "platform/fs/rewrite.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

namespace gdi {

bool ReadFileBytes(const std::string& path, size_t maxBytes, std::vector<BYTE>* out) {
  // Never the half of an in-place rewrite a crash cut short.
  if (!rewrite::FinishInterruptedRewrite(path)) return false;
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

// The pictures written here are replaced whole through any link to them
// (rewrite.h), but not forced to disk: the zoom's "tmp.bmt" is written only
// to be read back at once.
bool WriteThrough(const std::string& path, const std::function<bool(rewrite::Rewrite& out)>& write) {
  rewrite::Rewrite out(path);
  return out.IsOpen() && write(out) && out.Commit(std::nullopt, rewrite::Sync::kNone);
}

}  // namespace

bool WriteFileBytes(const std::string& path, const std::vector<BYTE>& bytes) {
  return WriteThrough(path, [&](rewrite::Rewrite& out) { return out.Write(bytes.data(), bytes.size()); });
}

bool WriteFileBytes(const std::string& path, const std::function<long(BYTE* buffer, size_t capacity)>& next) {
  return WriteThrough(path, [&](rewrite::Rewrite& out) {
    // Pieces small enough to stay in the cache between making and writing.
    std::vector<BYTE> buffer(size_t(256) << 10);
    for (;;) {
      const long n = next(buffer.data(), buffer.size());
      if (n == 0) return true;
      if (n < 0 || size_t(n) > buffer.size() || !out.Write(buffer.data(), size_t(n))) return false;
    }
  });
}

}  // namespace gdi
