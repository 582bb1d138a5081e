#include "platform/fs/drives.h"

#include "platform/fs/folders.h"
#include "platform/fs/path.h"

#include <algorithm>
#include <dirent.h>
#include <string>
#include <sys/stat.h>

namespace {

bool IsFolder(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// "X:", "X:\" or "X:/", either case.
bool IsDriveRoot(std::string_view p) {
  if (p.size() < 2 || p.size() > 3 || p[1] != ':') return false;
  const char c = char(p[0] | 0x20);
  return c >= 'a' && c <= 'z' && (p.size() == 2 || p[2] == '\\' || p[2] == '/');
}

}  // namespace

UINT GetDriveType(std::string_view rootPath) {
  if (!IsDriveRoot(rootPath)) return DRIVE_NO_ROOT_DIR;
  return IsFolder(winpath::DrivesRoot() + '/' + char(rootPath[0] & ~0x20)) ? DRIVE_FIXED : DRIVE_NO_ROOT_DIR;
}

std::vector<char> MappedDrives() {
  const std::string root = winpath::DrivesRoot();
  std::vector<char> letters;
  DIR* d = opendir(root.c_str());
  if (!d) return letters;
  while (const dirent* e = readdir(d)) {
    const char c = e->d_name[0];
    if (c >= 'A' && c <= 'Z' && e->d_name[1] == '\0' && IsFolder(root + '/' + c)) letters.push_back(c);
  }
  closedir(d);
  std::sort(letters.begin(), letters.end());
  return letters;
}

char CurrentDrive() {
  const std::string dir = GetCurrentDir();
  const std::vector<char> drives = MappedDrives();
  if (dir.size() >= 2 && dir[1] == ':' && std::find(drives.begin(), drives.end(), dir[0]) != drives.end()) return dir[0];
  return drives.empty() ? 0 : drives[0];
}
