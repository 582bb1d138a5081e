// Shared by the window tests: the application, waiting for conditions, a
// second X client (win_peer) and running command-line tools.
#pragma once
#include <QCoreApplication>
#include <QProcess>
#include <QThread>

#include "platform/win/application.h"
#include "platform/win/detail/exe_folder.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace test {

inline win::Application& App() {
  static win::Application* app = [] {
    auto* a = new win::Application;
    a->Initialize();
    return a;
  }();
  return *app;
}

// Polls `done`, letting the GUI thread run, until it holds or 10 s passed.
inline bool WaitFor(const std::function<bool()>& done, int ms = 10000) {
  auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  while (!done()) {
    if (std::chrono::steady_clock::now() > end) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    QThread::msleep(5);
  }
  return true;
}

// Output of a shell command.
inline std::string Shell(const std::string& cmd) {
  std::string out;
  if (FILE* p = popen(cmd.c_str(), "r")) {
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
    pclose(p);
  }
  return out;
}

inline std::string Hex(unsigned long id) {
  char buf[32];
  snprintf(buf, sizeof buf, "0x%lx", id);
  return buf;
}

// A win_peer process and the ids of its windows, in the order described.
class Peer {
 public:
  explicit Peer(const QStringList& args, int ms = 10000) {
    proc_.start(QString::fromStdString(win::detail::ExeFolder() + "win_peer"), args);
    while (proc_.waitForReadyRead(ms) || proc_.canReadLine()) {
      while (proc_.canReadLine()) {
        QByteArray line = proc_.readLine().trimmed();
        if (line == "ready") return;
        QList<QByteArray> f = line.split(' ');
        if (f.size() == 3 && f[0] == "win") ids.push_back(f[2].toULong(nullptr, 16));
      }
    }
    ids.clear();  // never got ready
  }
  ~Peer() {
    if (proc_.state() != QProcess::NotRunning) {
      proc_.kill();
      proc_.waitForFinished(5000);
    }
  }
  // Waits for the peer to report closing window n.
  bool WaitClosed(int n) {
    return WaitFor([&] {
      while (proc_.canReadLine()) {
        QList<QByteArray> f = proc_.readLine().trimmed().split(' ');
        if (f.size() == 2 && f[0] == "closed") closed_.push_back(f[1].toInt());
      }
      if (std::find(closed_.begin(), closed_.end(), n) != closed_.end()) return true;
      proc_.waitForReadyRead(10);
      return false;
    });
  }
  bool WaitExited() {
    if (proc_.state() != QProcess::NotRunning) proc_.waitForFinished(10000);
    return proc_.state() == QProcess::NotRunning && proc_.exitStatus() == QProcess::NormalExit &&
           proc_.exitCode() == 0;
  }
  std::vector<unsigned long> ids;

 private:
  QProcess proc_;
  std::vector<int> closed_;
};

}  // namespace test
