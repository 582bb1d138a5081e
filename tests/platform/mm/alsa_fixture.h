// Sound tests run against ALSA's own plugins through a private ALSA
// configuration in the test's folder: the default PCM is a `file` plugin
// over a `null` device in each direction, so played bytes land in a file and
// recorded bytes come from one. A FIFO in place of that file gives a device that has played
// a block only when the test reads it.
#pragma once
#include <gtest/gtest.h>

#include "tests/test_folder.h"

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
#include <sys/ioctl.h>
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

// A FIFO for a capture device to read from: it holds what the test wrote
// and the device waits for more, so recording goes at the test's pace.
class FifoFeeder {
 public:
  explicit FifoFeeder(const std::string& path) {
    mkfifo(path.c_str(), 0600);
    fd_ = open(path.c_str(), O_RDWR | O_NONBLOCK);  // a writer always there: no end of file
  }
  ~FifoFeeder() { close(fd_); }
  // Bytes that fit now (the FIFO holds 64 KiB).
  size_t Write(const std::string& bytes) {
    const ssize_t n = write(fd_, bytes.data(), bytes.size());
    return n > 0 ? size_t(n) : 0;
  }
  // Bytes written and not yet read.
  size_t Pending() const {
    int n = 0;
    ioctl(fd_, FIONREAD, &n);
    return size_t(n);
  }
  // Runs `f` on the calling thread while another thread keeps the FIFO
  // supplied from `more` (a device being stopped may be waiting for bytes).
  template <class F>
  void WhileSupplying(std::string more, F f) {
    std::atomic<bool> done{false};
    std::thread supplier([&] {
      size_t at = 0;
      while (!done && at < more.size()) {
        at += Write(more.substr(at, 400));
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
      }
    });
    f();
    done = true;
    supplier.join();
  }

 private:
  int fd_ = -1;
};

class AlsaTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = ThisTestFolder();
    ASSERT_FALSE(dir_.empty()) << "run through scripts/test-env";
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
  // come from `infile` when given. The two directions have a file plugin
  // each, so that recording and playing at once do not share a file.
  void UseFileDevice(const std::string& infile = "", std::string played = "") {
    if (played.empty()) played = PlayedPath();
    std::string capture = "{ type file slave.pcm { type null } file \"" + dir_ + "/captured.raw\" format \"raw\"";
    if (!infile.empty()) capture += " infile \"" + infile + "\"";
    UseConfig("pcm.!default {\n  type asym\n  playback.pcm { type file slave.pcm { type null } file \"" + played +
              "\" format \"raw\" }\n  capture.pcm " + capture + " }\n}\n");
  }
  // The default PCM writes what it plays as a WAV file, in the format it
  // was opened with.
  void UseWavFileDevice(const std::string& played) {
    UseConfig("pcm.!default { type file slave.pcm { type null } file \"" + played + "\" format \"wav\" }\n");
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
