// A file reached by a name of each kind that a rewrite through a temporary
// file and a rename would break: a symbolic link, a hard link, a folder
// that takes no new entries. For tests of the code that rewrites files.
#pragma once
#include <gtest/gtest.h>

#include <cstdlib>
#include <dirent.h>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "tests/board/unwritable_file.h"

namespace linktest {

enum class Kind { kSymlink, kSymlinkChain, kDanglingSymlink, kHardLink, kReadOnlyFolder, kSymlinkIntoReadOnlyFolder };

inline const struct {
  Kind kind;
  const char* label;
} kKinds[] = {
    {Kind::kSymlink, "relative symbolic link"},
    {Kind::kSymlinkChain, "link to an absolute link"},
    {Kind::kDanglingSymlink, "link to a file not there yet"},
    {Kind::kHardLink, "second hard link"},
    {Kind::kReadOnlyFolder, "file in a read-only folder"},
    {Kind::kSymlinkIntoReadOnlyFolder, "link into a read-only folder"},
};

inline std::optional<std::string> Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

inline int Entries(const std::string& folder) {
  int n = 0;
  if (DIR* d = opendir(folder.c_str())) {
    while (const dirent* e = readdir(d)) n += std::string(e->d_name) != "." && std::string(e->d_name) != "..";
    closedir(d);
  }
  return n;
}

// Where the rewrites keep their journals (platform/fs/rewrite.h).
inline std::string JournalFolder() {
  const char* state = getenv("XDG_STATE_HOME");
  return (state ? std::string(state) : std::string(getenv("HOME")) + "/.local/state") + "/quarvel/rewrites";
}

// Under `dir` (made afresh): the file real/<file> holding `content`
// (none for a dangling link), and the name to write it through.
class Linked {
 public:
  Linked(const std::string& dir, Kind kind, const std::string& content, const std::string& file = "file")
      : dir_(dir), kind_(kind), real_(dir + "/real/" + file) {
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir + "/real");
    std::filesystem::create_directories(dir + "/names");
    if (kind != Kind::kDanglingSymlink) std::ofstream(real_, std::ios::binary) << content;
    name_ = dir + "/names/" + file;
    switch (kind) {
      case Kind::kSymlink:
      case Kind::kDanglingSymlink:
        link_ = "../real/" + file;
        break;
      case Kind::kSymlinkChain:
        symlink(real_.c_str(), (dir + "/names/absolute").c_str());
        link_ = "absolute";
        break;
      case Kind::kHardLink:
        link(real_.c_str(), name_.c_str());
        break;
      case Kind::kReadOnlyFolder:
        name_ = real_;
        break;
      case Kind::kSymlinkIntoReadOnlyFolder:
        link_ = real_;
        break;
    }
    if (!link_.empty()) symlink(link_.c_str(), name_.c_str());
    if (kind == Kind::kReadOnlyFolder || kind == Kind::kSymlinkIntoReadOnlyFolder)
      readOnly_ = std::make_unique<filetest::Unwritable>(dir + "/real");
    struct stat st;
    if (stat(real_.c_str(), &st) == 0) inode_ = st.st_ino;
  }

  // False where the file system cannot make the layout (nothing to test).
  bool Made() const { return !readOnly_ || readOnly_->Made(); }
  const std::string& Name() const { return name_; }
  std::optional<std::string> Content() const { return Slurp(real_); }

  // The names lead to the file as before, nothing else was left in their
  // folders, and no journal remains.
  ::testing::AssertionResult Intact() const {
    struct stat st, other;
    char to[4096];
    if (!link_.empty()) {
      const ssize_t n = readlink(name_.c_str(), to, sizeof to);
      if (n < 0 || std::string(to, size_t(n)) != link_)
        return ::testing::AssertionFailure() << name_ << " is no longer a link to " << link_;
    }
    if (kind_ == Kind::kHardLink &&
        (stat(real_.c_str(), &st) != 0 || stat(name_.c_str(), &other) != 0 || st.st_ino != other.st_ino ||
         st.st_nlink != 2))
      return ::testing::AssertionFailure() << "the hard links were parted";
    // In a read-only folder only the file itself can change.
    if (readOnly_ && (stat(real_.c_str(), &st) != 0 || st.st_ino != inode_))
      return ::testing::AssertionFailure() << real_ << " was replaced by another file";
    const int names = kind_ == Kind::kReadOnlyFolder ? 0 : kind_ == Kind::kSymlinkChain ? 2 : 1;
    if (Entries(dir_ + "/real") != 1 || Entries(dir_ + "/names") != names)
      return ::testing::AssertionFailure() << "files were left beside " << real_;
    if (Entries(JournalFolder()) != 0) return ::testing::AssertionFailure() << "a journal was left";
    return ::testing::AssertionSuccess();
  }

 private:
  std::string dir_;
  Kind kind_;
  std::string real_, name_, link_;
  ino_t inode_ = 0;
  std::unique_ptr<filetest::Unwritable> readOnly_;
};

}  // namespace linktest
