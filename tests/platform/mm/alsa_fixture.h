// Sound tests run against ALSA's own plugins through a private ALSA
// configuration in the test's folder: the default PCM is a `file` plugin
// over a `null` device, so played bytes land in a file and recorded bytes
// come from one. A FIFO in place of that file gives a device that has played
// a block only when the test reads it.
#pragma once
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <mutex>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

// Polls until `done` holds; false after `seconds`.
inline bool WaitUntil(const std::function<bool()>& done, double seconds = 20) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
  while (!done()) {
    if (std::chrono::steady_clock::now() > end) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return true;
}

inline std::string Pattern(size_t n, unsigned seed = 1) {
  std::string s(n, '\0');
  for (size_t i = 0; i < n; ++i) s[i] = char((i * 31 + seed * 17 + (i >> 8)) & 0xFF);
  return s;
}

// Reads a FIFO on a thread of its own once allowed to, keeping every byte.
class FifoReader {
 public:
  explicit FifoReader(const std::string& path) {
    mkfifo(path.c_str(), 0600);
    fd_ = open(path.c_str(), O_RDONLY | O_NONBLOCK);
    fcntl(fd_, F_SETPIPE_SZ, 4096);  // a writer blocks after one page
    thread_ = std::thread([this] { Run(); });
  }
  ~FifoReader() {
    stop_ = true;
    thread_.join();
    close(fd_);
  }
  void Allow() { allowed_ = true; }
  std::string Bytes() {
    std::lock_guard<std::mutex> lock(mutex_);
    return bytes_;
  }

 private:
  void Run() {
    char chunk[4096];
    while (!stop_) {
      const ssize_t n = allowed_ ? read(fd_, chunk, sizeof chunk) : 0;
      if (n > 0) {
        std::lock_guard<std::mutex> lock(mutex_);
        bytes_.append(chunk, size_t(n));
      } else {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
      }
    }
  }
  int fd_ = -1;
  std::atomic<bool> stop_{false}, allowed_{false};
  std::mutex mutex_;
  std::string bytes_;
  std::thread thread_;
};

class AlsaTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* base = getenv("QUARVEL_TEST_DIR");
    ASSERT_NE(base, nullptr) << "run through scripts/test-env";
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    dir_ = std::string(base) + "/" + info->test_suite_name() + "." + info->name();
    std::filesystem::create_directories(dir_);
    unsetenv("MERRO_WAVE_DEVICE");
  }

  const std::string& Dir() const { return dir_; }
  std::string PlayedPath() const { return dir_ + "/played.raw"; }
  std::string RecordPath() const { return dir_ + "/record.raw"; }

  // ALSA reads its configuration again when the file list changes, so each
  // configuration gets a name of its own.
  void UseConfig(const std::string& text) {
    const std::string path = dir_ + "/asound" + std::to_string(++configs_) + ".conf";
    std::ofstream(path) << text;
    setenv("ALSA_CONFIG_PATH", path.c_str(), 1);
  }
  // Played bytes go to `played` (PlayedPath() by default); captured bytes
  // come from `infile` when given.
  void UseFileDevice(const std::string& infile = "", std::string played = "") {
    if (played.empty()) played = PlayedPath();
    std::string text = "pcm.!default {\n  type file\n  slave.pcm { type null }\n  file \"" + played +
                       "\"\n  format \"raw\"\n";
    if (!infile.empty()) text += "  infile \"" + infile + "\"\n";
    UseConfig(text + "}\n");
  }
  // A default PCM that cannot open: no sound device.
  void UseNoDevice() { UseConfig("pcm.!default { type hw card 31 device 0 }\n"); }

  static void Put(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
  }
  static std::string Get(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
  }

 private:
  std::string dir_;
  int configs_ = 0;
};
