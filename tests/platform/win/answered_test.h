// Shared by the tests whose message boxes and dialogs are answered through
// the environment: the answers file and the log in the current folder.
#pragma once
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <utility>

#include "tests/platform/win/test_support.h"

namespace test {

inline std::string Read(const std::string& path) {
  std::ifstream f(path);
  std::stringstream s;
  s << f.rdbuf();
  return s.str();
}

// Starts every test with no log and the answers file named; `dir_` is the
// current folder with a trailing '/'.
class AnsweredTest : public ::testing::Test {
 protected:
  explicit AnsweredTest(std::string logName) : logName_(std::move(logName)) {}
  void SetUp() override {
    App();
    dir_ = std::filesystem::current_path().string() + "/";
    setenv("QUARVEL_MSGBOX_LOG", (dir_ + logName_).c_str(), 1);
    setenv("QUARVEL_MSGBOX_ANSWERS", (dir_ + "answers").c_str(), 1);
    std::remove((dir_ + logName_).c_str());
  }
  void Answers(const std::string& lines) { std::ofstream(dir_ + "answers") << lines; }
  std::string dir_;

 private:
  std::string logName_;
};

// After the last test Qt ends before the process does: a file dialog's
// background threads must not meet the libraries' teardown at exit.
class EndApp : public ::testing::Environment {
 public:
  void TearDown() override {
    delete AppSlot();
    AppSlot() = nullptr;
  }
};

inline ::testing::Environment* const kEndApp = ::testing::AddGlobalTestEnvironment(new EndApp);

}  // namespace test
