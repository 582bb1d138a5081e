#include "platform/fs/files.h"

#include "platform/fs/path.h"
#include "platform/fs/rewrite.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

struct Fd {
  int fd;
  ~Fd() {
    if (fd >= 0) close(fd);
  }
};

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

  rewrite::Rewrite out(dst, failIfExists ? rewrite::Existing::kKeep : rewrite::Existing::kReplace);
  char buf[65536];
  for (;;) {
    const ssize_t n = read(in.fd, buf, sizeof buf);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 || !out.Write(buf, size_t(n))) return FALSE;
    if (n == 0) break;
  }
  if (!out.Commit(mode_t(st.st_mode & 07777))) return FALSE;
  const timespec times[2] = {{0, UTIME_NOW}, st.st_mtim};
  utimensat(AT_FDCWD, dst.c_str(), times, 0);
  return TRUE;
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
  return rewrite::PutInPlace(from, to, false);
}

int64_t FileSize(std::string_view name) {
  struct stat st;
  if (stat(winpath::ToLinux(name).c_str(), &st) != 0) return -1;
  return S_ISDIR(st.st_mode) ? 0 : int64_t(st.st_size);
}

std::optional<std::string> ReadWholeFile(std::string_view name) {
  const std::string path = winpath::ToLinux(name);
  // Never the half of an in-place rewrite a crash cut short (rewrite.h).
  if (!rewrite::FinishInterruptedRewrite(path)) return std::nullopt;
  Fd in{open(path.c_str(), O_RDONLY | O_CLOEXEC)};
  struct stat st;
  if (in.fd < 0 || fstat(in.fd, &st) != 0 || S_ISDIR(st.st_mode)) return std::nullopt;
  flock(in.fd, LOCK_SH);  // not while another process overwrites it in place
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
  rewrite::Rewrite out(winpath::ToLinux(name));
  return out.Write(data.data(), data.size()) && out.Commit();
}

struct FileReplacement::Impl {
  explicit Impl(const std::string& target) : out(target) {}
  rewrite::Rewrite out;
};

FileReplacement::FileReplacement(std::string_view name) : impl_(std::make_unique<Impl>(winpath::ToLinux(name))) {}

FileReplacement::~FileReplacement() = default;

bool FileReplacement::IsOpen() const { return impl_->out.IsOpen(); }

bool FileReplacement::Write(const void* data, size_t n) { return impl_->out.Write(data, n); }

bool FileReplacement::Commit() { return impl_->out.Commit(); }

bool FileReplacement::Finish() { return impl_->out.Finish(); }

void FileReplacement::Release() { impl_->out.Release(); }

std::string FileReplacement::TemporaryPath() const { return impl_->out.TemporaryPath(); }

std::string FileReplacement::TargetPath() const { return impl_->out.TargetPath(); }
