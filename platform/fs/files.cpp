#include "platform/fs/files.h"

#include "platform/fs/path.h"

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

struct Fd {
  int fd;
  ~Fd() {
    if (fd >= 0) close(fd);
  }
};

// Puts `from` in the place of `to`; without `replace` an existing `to` wins.
bool PutInPlace(const std::string& from, const std::string& to, bool replace) {
  if (replace) return rename(from.c_str(), to.c_str()) == 0;
  if (renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return true;
  if (errno != EINVAL && errno != ENOSYS) return false;
  // A file system without the flag: test, then rename (a narrow race).
  struct stat st;
  return lstat(to.c_str(), &st) != 0 && rename(from.c_str(), to.c_str()) == 0;
}

// The content of a file to be, written beside it under a temporary name and
// put in its place by Commit; removed again when never committed.
class TempFile {
 public:
  explicit TempFile(const std::string& target) : target_(target) {
    static std::atomic<unsigned> serial{0};
    const std::string folder = target.substr(0, target.rfind('/') + 1);
    for (int attempt = 0; attempt < 100 && fd_ < 0; ++attempt) {
      path_ = folder + ".quarvel-" + std::to_string(getpid()) + "-" + std::to_string(serial++) + ".tmp";
      // Created 0666 less the umask, as any new file.
      fd_ = open(path_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
      if (fd_ < 0 && errno != EEXIST) break;
    }
    created_ = fd_ >= 0;
  }
  ~TempFile() {
    if (fd_ >= 0) close(fd_);
    if (created_ && !committed_) unlink(path_.c_str());
  }
  TempFile(const TempFile&) = delete;
  TempFile& operator=(const TempFile&) = delete;

  int fd() const { return fd_; }

  bool Write(const char* p, size_t n) {
    if (fd_ < 0) return false;
    while (n > 0) {
      const ssize_t w = write(fd_, p, n);
      if (w < 0 && errno == EINTR) continue;
      if (w <= 0) return false;
      p += w;
      n -= size_t(w);
    }
    return true;
  }

  // Complete and on disk under the temporary name. Without `mode` the file
  // keeps a new file's permissions.
  bool Finish(std::optional<mode_t> mode) {
    if (finished_) return true;
    if (fd_ < 0 || (mode && fchmod(fd_, *mode) != 0) || fsync(fd_) != 0) return false;
    const int fd = fd_;
    fd_ = -1;
    finished_ = close(fd) == 0;
    return finished_;
  }

  // On disk first, then in place: the target is either old or complete.
  bool Commit(std::optional<mode_t> mode, bool replace) {
    if (!Finish(mode) || !PutInPlace(path_, target_, replace)) return false;
    committed_ = true;
    return true;
  }

  // Someone else puts the file in place (or removes it).
  void Release() { committed_ = true; }
  const std::string& path() const { return path_; }

 private:
  std::string target_;
  std::string path_;
  int fd_ = -1;
  bool created_ = false;
  bool finished_ = false;
  bool committed_ = false;
};

// The permissions a rewritten file keeps; none for a new file.
std::optional<mode_t> ModeOf(const std::string& target) {
  struct stat st;
  if (stat(target.c_str(), &st) != 0) return std::nullopt;
  return st.st_mode & 07777;
}

}  // namespace

bool FileExists(std::string_view name) {
  struct stat st;
  return stat(winpath::ToLinux(name).c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

BOOL DeleteFile(std::string_view name) { return unlink(winpath::ToLinux(name).c_str()) == 0; }

BOOL CopyFile(std::string_view existingName, std::string_view newName, BOOL failIfExists) {
  const std::string dst = winpath::ToLinux(newName);
  Fd in{open(winpath::ToLinux(existingName).c_str(), O_RDONLY | O_CLOEXEC)};
  struct stat st;
  if (in.fd < 0 || fstat(in.fd, &st) != 0 || S_ISDIR(st.st_mode) || dst.empty()) return FALSE;
  struct stat existing;
  if (failIfExists && lstat(dst.c_str(), &existing) == 0) return FALSE;

  TempFile out(dst);
  char buf[65536];
  for (;;) {
    const ssize_t n = read(in.fd, buf, sizeof buf);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 || !out.Write(buf, size_t(n))) return FALSE;
    if (n == 0) break;
  }
  const timespec times[2] = {{0, UTIME_NOW}, st.st_mtim};
  futimens(out.fd(), times);
  return out.Commit(mode_t(st.st_mode & 07777), !failIfExists);
}

bool RenameFile(std::string_view oldName, std::string_view newName) {
  const std::string from = winpath::ToLinux(oldName);
  const std::string to = winpath::ToLinux(newName, winpath::Last::kAsGiven);
  struct stat a, b;
  if (lstat(from.c_str(), &a) != 0 || to.empty()) return false;
  if (from == to) return true;
  // The new name may only be taken by the file itself, in another case.
  if (lstat(winpath::ToLinux(newName).c_str(), &b) == 0 && (a.st_dev != b.st_dev || a.st_ino != b.st_ino))
    return false;
  return PutInPlace(from, to, false);
}

int64_t FileSize(std::string_view name) {
  struct stat st;
  if (stat(winpath::ToLinux(name).c_str(), &st) != 0) return -1;
  return S_ISDIR(st.st_mode) ? 0 : int64_t(st.st_size);
}

std::optional<std::string> ReadWholeFile(std::string_view name) {
  Fd in{open(winpath::ToLinux(name).c_str(), O_RDONLY | O_CLOEXEC)};
  struct stat st;
  if (in.fd < 0 || fstat(in.fd, &st) != 0 || S_ISDIR(st.st_mode)) return std::nullopt;
  std::string data;
  data.reserve(size_t(st.st_size));
  char buf[65536];
  for (;;) {
    const ssize_t n = read(in.fd, buf, sizeof buf);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return std::nullopt;
    if (n == 0) return data;
    data.append(buf, size_t(n));
  }
}

bool WriteWholeFile(std::string_view name, std::string_view data) {
  const std::string target = winpath::ToLinux(name);
  if (target.empty()) return false;
  TempFile out(target);
  return out.Write(data.data(), data.size()) && out.Commit(ModeOf(target), true);
}

struct FileReplacement::Impl {
  explicit Impl(const std::string& target) : target(target), temp(target) {}
  std::string target;
  TempFile temp;
};

FileReplacement::FileReplacement(std::string_view name) {
  const std::string target = winpath::ToLinux(name);
  if (!target.empty() && target.back() != '/') impl_ = std::make_unique<Impl>(target);
}

FileReplacement::~FileReplacement() = default;

bool FileReplacement::IsOpen() const { return impl_ && impl_->temp.fd() >= 0; }

bool FileReplacement::Write(const void* data, size_t n) {
  return IsOpen() && impl_->temp.Write(static_cast<const char*>(data), n);
}

bool FileReplacement::Commit() { return impl_ && impl_->temp.Commit(ModeOf(impl_->target), true); }

bool FileReplacement::Finish() { return impl_ && impl_->temp.Finish(ModeOf(impl_->target)); }

void FileReplacement::Release() {
  if (impl_) impl_->temp.Release();
}

std::string FileReplacement::TemporaryPath() const { return impl_ ? impl_->temp.path() : std::string(); }

std::string FileReplacement::TargetPath() const { return impl_ ? impl_->target : std::string(); }
