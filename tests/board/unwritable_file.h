// A file or folder the process may read but not write, whoever it runs as:
// without write permission for an ordinary user, immutable for root (who
// may write anything else). Put back as it was when the guard goes.
#pragma once
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

namespace filetest {

class Unwritable {
 public:
  explicit Unwritable(std::string path) : path_(std::move(path)) {
    if (geteuid() != 0) {
      // Without the write bits only (a folder stays searchable).
      struct stat st;
      made_ = stat(path_.c_str(), &st) == 0 && chmod(path_.c_str(), (mode_ = st.st_mode & 07777) & ~0222) == 0;
      return;
    }
    made_ = SetImmutable(true);
  }
  ~Unwritable() {
    if (!made_) return;
    if (geteuid() != 0)
      chmod(path_.c_str(), mode_);
    else
      SetImmutable(false);
  }
  Unwritable(const Unwritable&) = delete;
  Unwritable& operator=(const Unwritable&) = delete;
  // False where the file system cannot make it so (then there is nothing
  // to test).
  bool Made() const { return made_ && access(path_.c_str(), W_OK) != 0; }

 private:
  bool SetImmutable(bool on) {
    int fd = open(path_.c_str(), O_RDONLY);
    if (fd < 0) return false;
    int flags = 0;
    bool ok = ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
    flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
    ok = ok && ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    close(fd);
    return ok;
  }
  std::string path_;
  mode_t mode_ = 0644;
  bool made_ = false;
};

}  // namespace filetest
