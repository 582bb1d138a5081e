#include "platform/fs/rewrite.h"

#include <atomic>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace rewrite {
namespace {

// A journal ends in the file's name, the content's length, the name's
// length and this mark; the content comes first, from offset 0.
constexpr char kMark[8] = {'Q', 'R', 'V', 'R', 'W', 'R', 'T', '1'};
constexpr size_t kTail = 8 + 4 + sizeof kMark;
constexpr size_t kChunk = size_t(1) << 20;

std::atomic<unsigned> serial{0};

struct Fd {
  int fd;
  ~Fd() {
    if (fd >= 0) close(fd);
  }
};

// An exclusive lock on an open file while it is overwritten in place.
struct Locked {
  explicit Locked(int fd) : fd(fd) { flock(fd, LOCK_EX); }
  ~Locked() { flock(fd, LOCK_UN); }
  int fd;
};

bool WriteAllAt(int fd, const char* p, size_t n, off_t at) {
  while (n > 0) {
    const ssize_t w = pwrite(fd, p, n, at);
    if (w < 0 && errno == EINTR) continue;
    if (w <= 0) return false;
    p += w, n -= size_t(w), at += w;
  }
  return true;
}

bool ReadAllAt(int fd, char* p, size_t n, off_t at) {
  while (n > 0) {
    const ssize_t r = pread(fd, p, n, at);
    if (r < 0 && errno == EINTR) continue;
    if (r <= 0) return false;
    p += r, n -= size_t(r), at += r;
  }
  return true;
}

// The journals' folder; made when `make` is set. Empty when the user has
// no home to keep it in.
std::string JournalFolder(bool make) {
  std::string base;
  if (const char* state = getenv("XDG_STATE_HOME"); state && *state == '/')
    base = state;
  else if (const char* home = getenv("HOME"); home && *home == '/')
    base = std::string(home) + "/.local/state";
  else
    return "";
  const std::string folder = base + "/quarvel/rewrites";
  if (make) {
    for (size_t at = folder.find('/', 1); at != std::string::npos; at = folder.find('/', at + 1))
      mkdir(folder.substr(0, at).c_str(), 0700);
    mkdir(folder.c_str(), 0700);
  }
  return folder;
}

std::string JournalName(const std::string& folder, dev_t dev, ino_t ino) {
  return folder + "/" + std::to_string(uint64_t(dev)) + "-" + std::to_string(uint64_t(ino)) + ".redo";
}

// A new file of our own under a temporary name in `folder` (ending in '/'
// or empty for the current folder); -1 with errno set when none can be made.
int CreateTemporary(const std::string& folder, const char* prefix, mode_t mode, std::string* path) {
  for (int attempt = 0; attempt < 100; ++attempt) {
    *path = folder + prefix + std::to_string(getpid()) + "-" + std::to_string(serial++) + ".tmp";
    const int fd = open(path->c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  return -1;
}

}  // namespace

std::string FolderOf(const std::string& path) { return path.substr(0, path.rfind('/') + 1); }

bool SyncFolder(const std::string& folder) {
  Fd d{open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)};
  return d.fd >= 0 && fsync(d.fd) == 0;
}

bool PutInPlace(const std::string& from, const std::string& to, bool replace) {
  if (replace) return rename(from.c_str(), to.c_str()) == 0;
  if (renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return true;
  if (errno != EINVAL && errno != ENOSYS) return false;
  // A file system without the flag: test, then rename (a narrow race).
  struct stat st;
  return lstat(to.c_str(), &st) != 0 && rename(from.c_str(), to.c_str()) == 0;
}

namespace {


// Copies `length` bytes of content from `from` over the file `to`, cuts it
// there and puts it on disk.
bool CopyOver(int from, off_t length, int to) {
  std::vector<char> chunk(kChunk);
  for (off_t at = 0; at < length;) {
    const size_t n = size_t(std::min<off_t>(off_t(kChunk), length - at));
    if (!ReadAllAt(from, chunk.data(), n, at) || !WriteAllAt(to, chunk.data(), n, at)) return false;
    at += off_t(n);
  }
  return ftruncate(to, length) == 0 && fsync(to) == 0;
}

struct Journal {
  off_t length = 0;  // of the content
  std::string path;  // of the file it rewrites
};

std::optional<Journal> ReadJournal(int fd) {
  struct stat st;
  char tail[kTail];
  if (fstat(fd, &st) != 0 || size_t(st.st_size) < kTail ||
      !ReadAllAt(fd, tail, kTail, st.st_size - off_t(kTail)) || memcmp(tail + 12, kMark, sizeof kMark) != 0)
    return std::nullopt;
  uint64_t length;
  uint32_t pathLength;
  memcpy(&length, tail, 8);
  memcpy(&pathLength, tail + 8, 4);
  if (length + pathLength + kTail != uint64_t(st.st_size)) return std::nullopt;
  Journal j;
  j.length = off_t(length);
  j.path.resize(pathLength);
  if (!ReadAllAt(fd, j.path.data(), pathLength, off_t(length))) return std::nullopt;
  return j;
}

enum class Finish { kDone, kStale, kFailed };

// Copies the journal over the file at `path` when that is still the file
// it was made for (by device and inode), then removes the journal.
Finish FinishFrom(const std::string& journal, const std::string& path) {
  Fd j{open(journal.c_str(), O_RDONLY | O_CLOEXEC)};
  if (j.fd < 0) return errno == ENOENT ? Finish::kDone : Finish::kFailed;
  const std::optional<Journal> content = ReadJournal(j.fd);
  if (!content) return Finish::kStale;  // published only when complete: not ours
  Fd t{open(path.c_str(), O_WRONLY | O_CLOEXEC)};
  struct stat st;
  if (t.fd < 0 || fstat(t.fd, &st) != 0) return errno == ENOENT ? Finish::kStale : Finish::kFailed;
  if (JournalName(journal.substr(0, journal.rfind('/')), st.st_dev, st.st_ino) != journal)
    return Finish::kStale;  // the name leads to another file now
  const Locked locked(t.fd);
  // Another process may have finished it meanwhile.
  struct stat again;
  if (stat(journal.c_str(), &again) != 0) return Finish::kDone;
  if (!CopyOver(j.fd, content->length, t.fd)) return Finish::kFailed;
  unlink(journal.c_str());
  return Finish::kDone;
}

}  // namespace

std::string ResolveLinks(std::string path) {
  for (int hops = 0; hops < 40; ++hops) {
    struct stat st;
    if (lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
    char to[PATH_MAX];
    const ssize_t n = readlink(path.c_str(), to, sizeof to);
    if (n <= 0 || size_t(n) >= sizeof to) return path;
    path = to[0] == '/' ? std::string(to, size_t(n)) : FolderOf(path) + std::string(to, size_t(n));
  }
  return path;  // a loop of links: writing it fails as opening it would
}

Rewrite::Rewrite(const std::string& path, Existing existing) : target_(ResolveLinks(path)), existing_(existing) {
  if (target_.empty() || target_.back() == '/') return;
  struct stat st;
  const bool file = stat(target_.c_str(), &st) == 0 && S_ISREG(st.st_mode);
  const bool replacing = file && existing == Existing::kReplace;
  if (replacing && st.st_nlink > 1) {
    OpenInPlace();
    return;
  }
  // Created 0666 less the umask, as any new file.
  fd_ = CreateTemporary(FolderOf(target_), ".quarvel-", 0666, &temp_);
  if (fd_ < 0 && replacing && (errno == EACCES || errno == EPERM || errno == EROFS)) OpenInPlace();
}

bool Rewrite::OpenInPlace() {
  targetFd_ = open(target_.c_str(), O_WRONLY | O_CLOEXEC);
  const std::string folder = targetFd_ >= 0 ? JournalFolder(true) : "";
  if (!folder.empty()) fd_ = CreateTemporary(folder + "/", ".", 0600, &temp_);
  if (fd_ >= 0) return true;
  if (targetFd_ >= 0) close(targetFd_);
  targetFd_ = -1;
  return false;
}

Rewrite::~Rewrite() {
  if (fd_ >= 0) close(fd_);
  if (targetFd_ >= 0) close(targetFd_);
  if ((fd_ >= 0 || finished_) && !committed_) unlink(temp_.c_str());
}

bool Rewrite::Write(const void* data, size_t n) {
  if (!IsOpen()) return false;
  const char* p = static_cast<const char*>(data);
  while (n > 0) {
    const ssize_t w = write(fd_, p, n);
    if (w < 0 && errno == EINTR) continue;
    if (w <= 0) return false;
    p += w, n -= size_t(w);
  }
  return true;
}

bool Rewrite::Commit(std::optional<mode_t> mode, Sync sync) {
  if (!IsOpen()) return false;
  done_ = true;
  // In place the journal is what makes a rewrite whole, so it always syncs.
  return targetFd_ >= 0 ? CommitInPlace(mode) : CommitByRename(mode, sync);
}

bool Rewrite::MakeDurable(std::optional<mode_t> mode, Sync sync) {
  struct stat st;
  if (!mode && stat(target_.c_str(), &st) == 0) mode = st.st_mode & 07777;
  return !(mode && fchmod(fd_, *mode) != 0) && (sync == Sync::kNone || fsync(fd_) == 0);
}

bool Rewrite::Finish(std::optional<mode_t> mode) {
  if (finished_) return true;
  if (!IsOpen() || targetFd_ >= 0) return false;
  done_ = true;
  if (!MakeDurable(mode, Sync::kToDisk)) return false;
  const int fd = fd_;
  fd_ = -1;
  finished_ = close(fd) == 0;
  if (!finished_) unlink(temp_.c_str());
  return finished_;
}

bool Rewrite::CommitByRename(std::optional<mode_t> mode, Sync sync) {
  // On disk first, then in place: the name shows the old file or all of the new.
  if (!MakeDurable(mode, sync)) return false;
  if (!PutInPlace(temp_, target_, existing_ == Existing::kReplace)) return false;
  committed_ = true;
  return true;
}

bool Rewrite::CommitInPlace(std::optional<mode_t> mode) {
  struct stat content, old;
  if (fstat(fd_, &content) != 0 || fstat(targetFd_, &old) != 0) return false;
  const off_t length = content.st_size;
  // Room for the content first: a full disk fails here, with nothing changed.
  if (length > old.st_size && fallocate(targetFd_, FALLOC_FL_KEEP_SIZE, 0, length) != 0 &&
      errno != EOPNOTSUPP && errno != ENOSYS) {
    ftruncate(targetFd_, old.st_size);  // gives back what was reserved
    return false;
  }
  std::string tail = target_;
  const uint64_t length64 = uint64_t(length);
  const uint32_t pathLength = uint32_t(target_.size());
  tail.append(reinterpret_cast<const char*>(&length64), 8);
  tail.append(reinterpret_cast<const char*>(&pathLength), 4);
  tail.append(kMark, sizeof kMark);
  if (!WriteAllAt(fd_, tail.data(), tail.size(), length) || fsync(fd_) != 0) return false;

  // The journal appears under its name complete and on disk, or not at all.
  const Locked locked(targetFd_);
  const std::string folder = temp_.substr(0, temp_.rfind('/'));
  const std::string journal = JournalName(folder, old.st_dev, old.st_ino);
  if (rename(temp_.c_str(), journal.c_str()) != 0) return false;
  committed_ = true;  // the temporary name is gone
  SyncFolder(folder);
  if ((mode && fchmod(targetFd_, *mode) != 0) || !CopyOver(fd_, length, targetFd_)) {
    // Left for the next reader or start-up to finish; the file may be cut.
    return false;
  }
  unlink(journal.c_str());
  return true;
}

bool FinishInterruptedRewrite(const std::string& path) {
  const std::string folder = JournalFolder(false);
  struct stat st, journal;
  if (folder.empty() || stat(path.c_str(), &st) != 0) return true;
  const std::string name = JournalName(folder, st.st_dev, st.st_ino);
  if (stat(name.c_str(), &journal) != 0) return true;
  const Finish f = FinishFrom(name, path);
  if (f == Finish::kStale) unlink(name.c_str());
  return f != Finish::kFailed;
}

void FinishInterruptedRewrites() {
  const std::string folder = JournalFolder(false);
  if (folder.empty()) return;
  DIR* d = opendir(folder.c_str());
  if (!d) return;
  std::vector<std::string> names;
  while (const dirent* e = readdir(d)) names.emplace_back(e->d_name);
  closedir(d);
  for (const std::string& name : names) {
    const std::string path = folder + "/" + name;
    unsigned long long pid = 0;
    if (name.size() > 6 && name.compare(name.size() - 5, 5, ".redo") == 0) {
      Fd j{open(path.c_str(), O_RDONLY | O_CLOEXEC)};
      const std::optional<Journal> content = j.fd >= 0 ? ReadJournal(j.fd) : std::nullopt;
      const Finish f = content ? FinishFrom(path, content->path) : Finish::kStale;
      if (f == Finish::kStale) unlink(path.c_str());
    } else if (name[0] == '.' && sscanf(name.c_str(), ".%llu-", &pid) == 1 && pid > 0 &&
               kill(pid_t(pid), 0) != 0 && errno == ESRCH) {
      unlink(path.c_str());  // a journal its writer never finished
    }
  }
}

}  // namespace rewrite
