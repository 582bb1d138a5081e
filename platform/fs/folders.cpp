#include "platform/fs/folders.h"

#include "platform/fs/drives.h"
#include "platform/fs/path.h"

#include <QString>
#include <algorithm>
#include <cstring>
#include <dirent.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

std::string GetProgramFolder() {
  char buf[PATH_MAX];
  const ssize_t n = readlink("/proc/self/exe", buf, sizeof buf);
  if (n <= 0 || size_t(n) >= sizeof buf) return {};
  std::string exe(buf, size_t(n));
  return winpath::FromLinux(exe.substr(0, exe.rfind('/') + 1));
}

std::string GetCurrentDir() {
  char buf[PATH_MAX];
  if (!getcwd(buf, sizeof buf)) return {};
  return winpath::ToWindows(buf);
}

bool SetCurrentDir(std::string_view dir) {
  const std::string p = winpath::ToLinux(dir);
  return !p.empty() && chdir(p.c_str()) == 0;
}

DWORD GetCurrentDirectory(DWORD size, LPSTR buffer) {
  const std::string dir = GetCurrentDir();
  if (dir.empty()) return 0;
  if (!buffer || dir.size() + 1 > size) return DWORD(dir.size() + 1);
  memcpy(buffer, dir.c_str(), dir.size() + 1);
  return DWORD(dir.size());
}

bool DirectoryExists(std::string_view dir) {
  struct stat st;
  return stat(winpath::ToLinux(dir).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool CreateDir(std::string_view dir) {
  const std::string p = winpath::ToLinux(dir);
  return !p.empty() && mkdir(p.c_str(), 0777) == 0;
}

bool ForceDirectories(std::string_view dir) {
  if (dir.size() >= 2 && dir[1] == ':' && GetDriveType(dir.substr(0, 2)) != DRIVE_FIXED) return false;
  std::string p = winpath::ToLinux(dir);
  if (p.empty()) return false;
  // Each level in turn; one that exists already fails harmlessly.
  for (size_t i = p.find('/', 1); i != std::string::npos; i = p.find('/', i + 1)) mkdir(p.substr(0, i).c_str(), 0777);
  mkdir(p.c_str(), 0777);
  return DirectoryExists(dir);
}

std::vector<FolderEntry> ListFolder(std::string_view dir) {
  std::string folder = winpath::ToLinux(dir);
  if (folder.empty()) folder = ".";
  if (folder.back() != '/') folder += '/';
  DIR* d = opendir(folder.c_str());
  if (!d) return {};
  // Ordered by the disk names ignoring case, then by the system's bytes.
  std::vector<std::pair<QString, FolderEntry>> found;
  while (const dirent* e = readdir(d)) {
    if (strcmp(e->d_name, ".") == 0 || strcmp(e->d_name, "..") == 0) continue;
    const std::string path = folder + e->d_name;
    struct stat st;
    // A dangling link is still listed, as the link itself.
    if (stat(path.c_str(), &st) != 0 && lstat(path.c_str(), &st) != 0) continue;
    FolderEntry f;
    f.name = winpath::FromLinux(e->d_name);
    f.isFolder = S_ISDIR(st.st_mode);
    f.size = f.isFolder ? 0 : int64_t(st.st_size);
    f.modified = st.st_mtime;
    found.emplace_back(QString::fromUtf8(e->d_name), std::move(f));
  }
  closedir(d);
  std::sort(found.begin(), found.end(), [](const auto& a, const auto& b) {
    const int c = QString::compare(a.first, b.first, Qt::CaseInsensitive);
    return c != 0 ? c < 0 : a.second.name < b.second.name;
  });
  std::vector<FolderEntry> entries;
  for (auto& f : found) entries.push_back(std::move(f.second));
  return entries;
}
