#include "platform/fs/path.h"

#include "platform/text/gbk.h"

#include <QString>
#include <cerrno>
#include <cstdlib>
#include <dirent.h>
#include <filesystem>
#include <mutex>
#include <optional>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace winpath {
namespace {

std::string HomeFolder() {
  if (const char* home = getenv("HOME"); home && *home) return home;
  if (const passwd* pw = getpwuid(getuid()); pw && pw->pw_dir) return pw->pw_dir;
  return ".";
}

std::string Join(const std::string& folder, std::string_view name) {
  if (folder.empty()) return std::string(name);
  if (folder.back() == '/') return folder + std::string(name);
  return folder + '/' + std::string(name);
}

// The entry of `folder` whose name equals `name` ignoring case; of several,
// the first in byte order, so the choice does not depend on the listing.
std::optional<std::string> MatchInFolder(const std::string& folder, const std::string& name) {
  DIR* d = opendir(folder.empty() ? "." : folder.c_str());
  if (!d) return std::nullopt;
  const QString wanted = QString::fromUtf8(name.data(), qsizetype(name.size()));
  std::optional<std::string> best;
  while (const dirent* e = readdir(d)) {
    if (QString::compare(QString::fromUtf8(e->d_name), wanted, Qt::CaseInsensitive) != 0) continue;
    if (!best || *best > e->d_name) best = e->d_name;
  }
  closedir(d);
  return best;
}

std::vector<std::string_view> Components(std::string_view s) {
  std::vector<std::string_view> parts;
  size_t i = 0;
  while (i < s.size()) {
    size_t j = s.find('/', i);
    if (j == std::string_view::npos) j = s.size();
    if (j > i) parts.push_back(s.substr(i, j - i));
    i = j + 1;
  }
  return parts;
}

bool IsDriveLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

}  // namespace

std::string DrivesRoot() {
  std::string root;
  if (const char* d = getenv("QUARVEL_DRIVES"); d && *d) {
    root = d;
  } else if (const char* x = getenv("XDG_DATA_HOME"); x && *x) {
    root = std::string(x) + "/quarvel/drives";
  } else {
    root = HomeFolder() + "/.local/share/quarvel/drives";
  }
  while (root.size() > 1 && root.back() == '/') root.pop_back();

  // Created once per root; a failure shows later as a missing drive.
  static std::mutex m;
  static std::string made;
  std::lock_guard<std::mutex> lock(m);
  if (made != root) {
    std::error_code ec;
    std::filesystem::create_directories(root + "/C", ec);
    if (!ec) made = root;
  }
  return root;
}

std::string ToLinux(std::string_view path, Last last) {
  path = path.substr(0, path.find('\0'));
  // Only a single-byte '\' separates: GBK trail bytes include 0x5C.
  std::string s;
  s.reserve(path.size());
  for (size_t i = 0; i < path.size();) {
    size_t n = gbk::CharLength(path.substr(i));
    if (n == 1 && path[i] == '\\')
      s += '/';
    else
      s.append(path.substr(i, n));
    i += n;
  }

  std::string out;
  std::string_view rest = s;
  if (s.size() >= 2 && IsDriveLetter(s[0]) && s[1] == ':') {
    out = DrivesRoot() + '/' + char(s[0] & ~0x20);
    rest.remove_prefix(2);
  } else if (!s.empty() && s[0] == '/') {
    out = "/";
  }

  const std::string utf8 = gbk::ToUtf8(rest);
  const std::vector<std::string_view> parts = Components(utf8);
  bool resolving = true;  // false once a folder on the way does not exist
  for (size_t i = 0; i < parts.size(); ++i) {
    std::string next = Join(out, parts[i]);
    const bool matchable = parts[i] != "." && parts[i] != ".." &&
                           (i + 1 < parts.size() || last == Last::kMatch);
    struct stat st;
    if (resolving && lstat(next.c_str(), &st) != 0) {
      std::optional<std::string> found;
      if (errno == ENOENT && matchable) found = MatchInFolder(out, std::string(parts[i]));
      if (found)
        next = Join(out, *found);
      else
        resolving = false;
    }
    out = std::move(next);
  }
  if (!utf8.empty() && utf8.back() == '/' && !out.empty() && out.back() != '/') out += '/';
  return out;
}

std::string FromLinux(std::string_view linuxPath) { return gbk::FromUtf8(linuxPath); }

std::string ToWindows(std::string_view linuxPath) {
  const std::string root = DrivesRoot();
  std::error_code ec;
  const std::string real = std::filesystem::weakly_canonical(root, ec).string();
  for (const std::string& r : {root, real}) {
    if (r.empty() || linuxPath.size() < r.size() + 2 || linuxPath.substr(0, r.size()) != r || linuxPath[r.size()] != '/')
      continue;
    const char letter = linuxPath[r.size() + 1];
    const std::string_view rest = linuxPath.substr(r.size() + 2);
    if (letter < 'A' || letter > 'Z' || (!rest.empty() && rest[0] != '/')) continue;
    // UTF-8 has no '/' inside a character: each one separates.
    std::string out{letter, ':', '\\'};
    for (char c : rest)
      if (c != '/')
        out += c;
      else if (out.back() != '\\')
        out += '\\';
    return gbk::FromUtf8(out);
  }
  return FromLinux(linuxPath);
}

}  // namespace winpath
