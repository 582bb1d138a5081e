// Shared by the window tests: the application, its top-level windows in walk
// order, waiting for conditions, a second X client (win_peer) and running
// command-line tools.
#pragma once
#include <QCoreApplication>
#include <QProcess>
#include <QThread>

#include "platform/win/application.h"
#include "platform/win/detail/exe_folder.h"
#include "platform/win/window_walk.h"
#include "tests/platform/x_test.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace test {

// The tests' application, made at the first use.
inline win::Application*& AppSlot() {
  static win::Application* app = nullptr;
  return app;
}

inline win::Application& App() {
  win::Application*& app = AppSlot();
  if (!app) {
    app = new win::Application;
    app->Initialize();
  }
  return *app;
}

// The top-level windows in the order the window walk gives them.
inline std::vector<HWND> TopLevels() {
  std::vector<HWND> out;
  for (HWND h = GetWindow(App().Handle(), GW_HWNDFIRST); h; h = GetWindow(h, GW_HWNDNEXT)) out.push_back(h);
  return out;
}

// Where h stands in the walk; -1 when it is not there.
inline int Position(const std::vector<HWND>& walk, HWND h) {
  auto it = std::find(walk.begin(), walk.end(), h);
  return it == walk.end() ? -1 : int(it - walk.begin());
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

#include <QMouseEvent>
#include <QWidget>
#include <QWindow>

#include "platform/win/window_pos.h"

#include <thread>

namespace test {

// A borderless form that starts a window move when pressed, as the on-screen
// keyboard does on its title picture.
class DraggedForm : public QWidget {
 public:
  DraggedForm() : QWidget(nullptr, Qt::FramelessWindowHint) {}
  BOOL started = -1;

 protected:
  void mousePressEvent(QMouseEvent*) override { started = win::StartWindowMove(windowHandle()->winId()); }
};

// Presses at `from`, drags to `to` and releases, with xdotool, while the
// GUI thread runs; true when the form ended at `want`.
inline bool DragMoves(DraggedForm& form, QPoint from, QPoint to, QPoint want) {
  std::string cmd = "xdotool mousemove " + std::to_string(from.x()) + " " + std::to_string(from.y()) +
                    " mousedown 1 sleep 0.3 mousemove " + std::to_string((from.x() + to.x()) / 2) + " " +
                    std::to_string((from.y() + to.y()) / 2) + " sleep 0.2 mousemove " + std::to_string(to.x()) +
                    " " + std::to_string(to.y()) + " sleep 0.3 mouseup 1";
  bool done = false;
  std::thread t([&] {
    system(cmd.c_str());
    done = true;
  });
  bool ok = WaitFor([&] { return done; }, 20000);
  t.join();
  return ok && form.started == TRUE && WaitFor([&] { return form.windowHandle()->framePosition() == want; });
}

}  // namespace test
