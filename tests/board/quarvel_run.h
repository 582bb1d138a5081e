// The real quarvel program, started from a program folder of its own (a copy
// of the program beside links to what the build's program folder holds, so
// the files a test makes there are its own), looked at and driven from
// outside: xdotool, xwininfo, ImageMagick, and a second X client (win_peer)
// with windows of given titles.
#pragma once
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "tests/platform/x_test.h"

namespace e2e {

using test::Shell;

template <class F>
bool WaitFor(F done, int ms = 15000) {
  auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  while (!done()) {
    if (std::chrono::steady_clock::now() > end) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return true;
}

// QProcess wants an application object.
inline void App() {
  static int argc = 1;
  static char name[] = "test";
  static char* argv[] = {name, nullptr};
  if (!QCoreApplication::instance()) new QCoreApplication(argc, argv);
}

inline std::string TestDir() { return getenv("QUARVEL_TEST_DIR"); }
inline std::string Bin() { return getenv("QUARVEL_BIN"); }

inline std::string Hex(unsigned long id) {
  char buf[32];
  snprintf(buf, sizeof buf, "0x%lx", id);
  return buf;
}

// The visible window titled exactly `name`; 0 when there is none.
inline unsigned long VisibleWindow(const std::string& name) {
  std::string out = Shell("xdotool search --onlyvisible --name '^" + name + "$' 2>/dev/null");
  return out.empty() ? 0 : std::stoul(out);
}

struct Geometry {
  int x = -1, y = -1, width = -1, height = -1;
  bool operator==(const Geometry& o) const { return x == o.x && y == o.y && width == o.width && height == o.height; }
};

inline Geometry GeometryOf(unsigned long id) {
  std::string info = Shell("xwininfo -id " + Hex(id) + " 2>/dev/null");
  auto field = [&](const std::string& name) {
    size_t at = info.find(name);
    return at == std::string::npos ? -1 : atoi(info.c_str() + at + name.size());
  };
  return Geometry{field("Absolute upper-left X:"), field("Absolute upper-left Y:"), field("Width:"), field("Height:")};
}

using test::ScreenPixel;

inline void Click(int x, int y) {
  Shell("xdotool mousemove " + std::to_string(x) + " " + std::to_string(y) + " click 1");
}

inline std::string ReadAll(const std::string& path) {
  QFile f(QString::fromStdString(path));
  return f.open(QIODevice::ReadOnly) ? f.readAll().toStdString() : std::string();
}

inline bool Exists(const std::string& path) { return QFile::exists(QString::fromStdString(path)); }

// A program folder of its own: the program copied (its folder is where it
// runs from), everything else linked.
inline std::string ProgramFolder() {
  const QString dir = QString::fromStdString(TestDir() + "/prog");
  if (!QDir(dir).exists()) {
    QDir().mkpath(dir);
    const QDir bin(QString::fromStdString(Bin()));
    for (const QFileInfo& f : bin.entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden)) {
      if (f.fileName() == "quarvel")
        QFile::copy(f.absoluteFilePath(), dir + "/quarvel");
      else
        QFile::link(f.absoluteFilePath(), dir + "/" + f.fileName());
    }
  }
  return dir.toStdString() + "/";
}

// A new file of the test's own program folder (never written through a link
// into the build's program folder).
inline void NewFile(const std::string& path, const std::string& content = "") {
  remove(path.c_str());
  if (FILE* f = fopen(path.c_str(), "w")) {
    fputs(content.c_str(), f);
    fclose(f);
  }
}

// One run of the program, in its program folder (also its current folder,
// where it finds its cursor files); message boxes logged and answered from
// files of the test folder.
class Quarvel {
 public:
  explicit Quarvel(const std::vector<std::pair<std::string, std::string>>& env = {}) {
    App();
    const std::string folder = ProgramFolder();
    QProcessEnvironment e = QProcessEnvironment::systemEnvironment();
    e.insert("QUARVEL_MSGBOX_LOG", QString::fromStdString(TestDir() + "/boxes.log"));
    e.insert("QUARVEL_MSGBOX_ANSWERS", QString::fromStdString(TestDir() + "/answers"));
    for (const auto& [k, v] : env) e.insert(QString::fromStdString(k), QString::fromStdString(v));
    proc_.setProcessEnvironment(e);
    proc_.setWorkingDirectory(QString::fromStdString(folder));
    proc_.setProcessChannelMode(QProcess::ForwardedChannels);
    proc_.start(QString::fromStdString(folder + "quarvel"), {});
    proc_.waitForStarted(10000);
  }
  ~Quarvel() {
    if (proc_.state() != QProcess::NotRunning) {
      proc_.kill();
      proc_.waitForFinished(5000);
    }
  }
  bool Running() { return proc_.state() == QProcess::Running && !proc_.waitForFinished(0); }
  // Whether the running program has a library of the name mapped.
  bool HasLoaded(const std::string& library) {
    return ReadAll("/proc/" + std::to_string(proc_.processId()) + "/maps").find(library) != std::string::npos;
  }
  // True when it ended by itself, with exit code 0, within the time.
  bool Ended(int ms = 15000) {
    if (proc_.state() != QProcess::NotRunning) proc_.waitForFinished(ms);
    return proc_.state() == QProcess::NotRunning && proc_.exitStatus() == QProcess::NormalExit &&
           proc_.exitCode() == 0;
  }

 private:
  QProcess proc_;
};

// The toolbar of a running program once it is up: its window.
inline unsigned long Toolbar() {
  unsigned long id = 0;
  WaitFor([&] { return (id = VisibleWindow("Form1")) != 0; });
  return id;
}

// Answers for the next message boxes, one a line (YES, NO ...).
inline void Answer(const std::string& lines) {
  FILE* f = fopen((TestDir() + "/answers").c_str(), "w");
  fputs(lines.c_str(), f);
  fclose(f);
}

inline std::string Boxes() { return ReadAll(TestDir() + "/boxes.log"); }

// A second X client with windows of the given titles (win_peer, beside the
// test programs): it reports each window it is asked to close.
class Peer {
 public:
  explicit Peer(const std::vector<std::string>& args) {
    App();
    QStringList a;
    for (const std::string& s : args) a << QString::fromStdString(s);
    proc_.start(QString::fromStdString(Bin() + "/../tests/win_peer"), a);
    while (proc_.waitForReadyRead(10000) || proc_.canReadLine()) {
      while (proc_.canReadLine()) {
        QByteArray line = proc_.readLine().trimmed();
        if (line == "ready") return;
        QList<QByteArray> f = line.split(' ');
        if (f.size() == 3 && f[0] == "win") ids.push_back(f[2].toULong(nullptr, 16));
      }
    }
    ids.clear();
  }
  ~Peer() {
    if (proc_.state() != QProcess::NotRunning) {
      proc_.kill();
      proc_.waitForFinished(5000);
    }
  }
  // The windows asked to close so far (numbers in the order described).
  const std::vector<int>& Closed() {
    proc_.waitForReadyRead(10);
    while (proc_.canReadLine()) {
      QList<QByteArray> f = proc_.readLine().trimmed().split(' ');
      if (f.size() == 2 && f[0] == "closed") closed_.push_back(f[1].toInt());
    }
    return closed_;
  }
  bool WasClosed(int n) {
    const std::vector<int>& c = Closed();
    return std::find(c.begin(), c.end(), n) != c.end();
  }
  std::vector<unsigned long> ids;

 private:
  QProcess proc_;
  std::vector<int> closed_;
};

}  // namespace e2e
