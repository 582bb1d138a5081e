// Each test gets a drives root and a current folder of its own inside the
// test program's temporary folder, and files are put on and read from disk
// with plain POSIX calls, independently of the layer under test.
#pragma once
#include <gtest/gtest.h>

#include "tests/test_folder.h"

#include <algorithm>
#include <cstdlib>
#include <dirent.h>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

class FsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = ThisTestFolder();
    ASSERT_FALSE(dir_.empty()) << "run through scripts/test-env";
    std::filesystem::create_directories(dir_ + "/cwd");
    for (const char* name : {"QUARVEL_DRIVES", "XDG_DATA_HOME", "HOME"})
      if (const char* v = getenv(name)) saved_.emplace_back(name, v);
    setenv("QUARVEL_DRIVES", Root().c_str(), 1);
    oldCwd_ = std::filesystem::current_path();
    ASSERT_EQ(chdir((dir_ + "/cwd").c_str()), 0);
  }
  void TearDown() override {
    for (const char* name : {"QUARVEL_DRIVES", "XDG_DATA_HOME", "HOME"}) unsetenv(name);
    for (auto& [name, value] : saved_) setenv(name.c_str(), value.c_str(), 1);
    std::filesystem::current_path(oldCwd_);
  }

  std::string Root() const { return dir_ + "/drives"; }
  const std::string& Dir() const { return dir_; }

  // Writes a file (UTF-8 Linux path), creating its folders.
  static void Put(const std::string& path, const std::string& bytes) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
  }
  static std::optional<std::string> Get(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
  }
  // The names in a folder, sorted, including hidden ones.
  static std::vector<std::string> Names(const std::string& folder) {
    std::vector<std::string> names;
    if (DIR* d = opendir(folder.c_str())) {
      while (const dirent* e = readdir(d))
        if (std::string(e->d_name) != "." && std::string(e->d_name) != "..") names.push_back(e->d_name);
      closedir(d);
    }
    std::sort(names.begin(), names.end());
    return names;
  }
  static bool IsDir(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
  }

 private:
  std::string dir_;
  std::filesystem::path oldCwd_;
  std::vector<std::pair<std::string, std::string>> saved_;
};
