// A file the process may read but not write, whoever it runs as: read-only
// for an ordinary user, immutable for root (who may write any read-only
// file). Put back as it was when the guard goes.
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
      made_ = chmod(path_.c_str(), 0444) == 0;
      return;
    }
    made_ = SetImmutable(true);
  }
  ~Unwritable() {
    if (!made_) return;
    if (geteuid() != 0)
      chmod(path_.c_str(), 0644);
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
  bool made_ = false;
};

}  // namespace filetest
