// The keyboard program as other processes see it: started on its own, found
// by the top-level window walk, its key windows read from outside and hit
// at their centres, its placement on the screen it runs on, the modifier
// display read back from the screen, dragging, and the ways it ends.
// With KEYBOARD_TEST_WM=openbox the same runs under a reparenting EWMH
// window manager.
#include <QCoreApplication>
#include <QImage>
#include <QProcess>
#include <QThread>

#include "platform/win/application.h"
#include "platform/win/messages.h"
#include "platform/win/process.h"
#include "platform/win/screen.h"
#include "platform/win/window_text.h"
#include "platform/win/window_walk.h"
#include "tests/platform/x_test.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace {

win::Application& App() {
  static win::Application* app = [] {
    auto* a = new win::Application;
    a->Initialize();
    a->SetTitle("Quarvel");
    return a;
  }();
  return *app;
}

using test::Hex;
using test::Shell;
using test::WaitFor;

std::string At(int x, int y) { return std::to_string(x) + " " + std::to_string(y); }

// The top-level windows whose text is exactly "%*Y", read as the board
// program reads them (a 12-byte buffer).
std::vector<HWND> KeyboardWindows() {
  std::vector<HWND> found;
  for (HWND h = GetWindow(App().Handle(), GW_HWNDFIRST); h; h = GetWindow(h, GW_HWNDNEXT)) {
    char text[12];
    GetWindowText(h, text, 12);
    if (std::string(text) == "%*Y") found.push_back(h);
  }
  return found;
}

// Where another X client sees a window: its absolute corner and size.
struct Geometry {
  int x = -1, y = -1, width = 0, height = 0;
};
Geometry GeometryOf(HWND h) {
  std::string out = Shell("xwininfo -id " + Hex(h) + " 2>/dev/null");
  auto number = [&](const char* label) {
    std::smatch m;
    return std::regex_search(out, m, std::regex(std::string(label) + ":\\s+(-?[0-9]+)")) ? std::stoi(m[1]) : -1;
  };
  return {number("Absolute upper-left X"), number("Absolute upper-left Y"), number("Width"), number("Height")};
}

// A child window as xwininfo lists it: text, parent's text, place in it.
struct Child {
  HWND id;
  std::string text, parent;
  int x, y, width, height;
};
std::vector<Child> ChildrenOf(HWND h) {
  std::vector<Child> out;
  std::istringstream lines(Shell("xwininfo -tree -id " + Hex(h)));
  std::string line;
  std::vector<std::pair<size_t, std::string>> parents = {{0, "%*Y"}};
  const std::regex entry(R"re(^(\s*)(0x[0-9a-f]+) "(.*)": \([^)]*\)\s+(\d+)x(\d+)\+(-?\d+)\+(-?\d+))re");
  bool inTree = false;
  for (std::smatch m; std::getline(lines, line);) {
    if (line.find("children:") != std::string::npos) inTree = true;
    if (!inTree || !std::regex_search(line, m, entry)) continue;
    const size_t depth = m[1].length();
    while (parents.size() > 1 && parents.back().first >= depth) parents.pop_back();
    out.push_back({std::stoul(m[2], nullptr, 16), m[3], parents.back().second, std::stoi(m[6]), std::stoi(m[7]),
                   std::stoi(m[4]), std::stoi(m[5])});
    parents.push_back({depth, m[3]});
  }
  return out;
}

// The keys as the keyboard's layout gives them: code, form coordinates, width.
struct Key {
  char code;
  int x, y, width;
};
std::vector<Key> ExpectedKeys() {
  std::vector<Key> keys;
  auto run = [&](const std::string& codes, int x, int y) {
    for (char c : codes) keys.push_back({c, x, y, 25}), x += 25;
  };
  run("`1234567890-=\\", 3, 18);
  keys.push_back({'A', 354, 18, 41});
  keys.push_back({'B', 3, 42, 39});
  run("qwertyuiop[]", 43, 42);
  keys.push_back({'C', 344, 42, 51});
  keys.push_back({'D', 3, 66, 50});
  run("asdfghjkl;'", 54, 66);
  keys.push_back({'E', 330, 66, 65});
  keys.push_back({'F', 3, 90, 66});
  run("zxcvbnm,./", 72, 90);
  keys.insert(keys.end(), {{'K', 324, 90, 25}, {'G', 354, 90, 41}, {'H', 3, 114, 28}, {'T', 32, 114, 28},
                           {'I', 61, 114, 28}, {' ', 92, 114, 205}, {'J', 298, 114, 25}, {'L', 324, 114, 25},
                           {'M', 350, 114, 25}});
  return keys;
}
bool InKeyField(char code) { return std::string("HJKLM").find(code) != std::string::npos; }

// Runs xdotool while this process goes on handling its events.
bool Xdo(const std::string& args) {
  bool done = false;
  std::thread t([&] {
    Shell("xdotool " + args + " 2>&1");
    done = true;
  });
  bool ok = WaitFor([&] { return done; }, 30000);
  t.join();
  return ok;
}

// The screen's pixels of a rectangle of the keyboard (form coordinates).
QImage Shot(const Geometry& g, int x, int y, int w, int h) {
  return win::CaptureScreen({g.x + x, g.y + y, g.x + x + w, g.y + y + h});
}
int Count(const QImage& img, const std::function<bool(QRgb)>& match) {
  int n = 0;
  for (int y = 0; y < img.height(); ++y)
    for (int x = 0; x < img.width(); ++x) n += match(img.pixel(x, y));
  return n;
}

// The key labels' colour, $C16C20, with what text smoothing leaves of it.
bool LabelBlue(QRgb p) { return qBlue(p) > 150 && qRed(p) < 110 && qGreen(p) < 150; }

bool Has(const std::string& s, const std::string& part) { return s.find(part) != std::string::npos; }

class Program : public ::testing::Test {
 public:
  static void SetUpTestSuite() {
    App();
    if (const char* wm = getenv("KEYBOARD_TEST_WM")) {
      wm_ = new QProcess;
      wm_->start(wm, {"--sm-disable"});
      ASSERT_TRUE(wm_->waitForStarted(10000)) << wm;
      ASSERT_TRUE(WaitFor([] { return Has(Shell("xprop -root _NET_SUPPORTING_WM_CHECK"), "window id"); }));
    }
  }
  static void TearDownTestSuite() {
    if (!wm_) return;
    wm_->kill();
    wm_->waitForFinished(5000);
    delete wm_;
    wm_ = nullptr;
  }

 protected:
  void SetUp() override {
    ASSERT_TRUE(KeyboardWindows().empty());
    tappel_.start(QString::fromLocal8Bit(getenv("QUARVEL_BIN")) + "/tappel", {});
    ASSERT_TRUE(tappel_.waitForStarted(10000));
    // A window manager may still be settling the window: wait for the
    // place it was asked for.
    ASSERT_TRUE(WaitFor([&] {
      auto found = KeyboardWindows();
      if (found.size() != 1) return false;
      window_ = found[0];
      Geometry g = GeometryOf(window_);
      return g.width == 396 && g.x == win::ScreenWidth() / 2 - 202 && g.y == win::ScreenHeight() - 171 &&
             Has(Shell("xwininfo -id " + Hex(window_)), "IsViewable");
    }));
    at_ = GeometryOf(window_);
    // Painted: the screen shows the same keyboard twice running, labels and all.
    QImage last;
    ASSERT_TRUE(WaitFor([&] {
      QImage now = Shot(at_, 0, 0, 396, 137);
      bool same = now == last && Count(now, LabelBlue) > 500;
      last = now;
      return same;
    }));
  }
  void TearDown() override {
    if (tappel_.state() != QProcess::NotRunning) {
      tappel_.kill();
      tappel_.waitForFinished(5000);
    }
    WaitFor([] { return KeyboardWindows().empty(); });
  }
  bool Ended() {
    return WaitFor([&] {
      tappel_.waitForFinished(10);
      return tappel_.state() == QProcess::NotRunning;
    }) && tappel_.exitStatus() == QProcess::NormalExit && tappel_.exitCode() == 0;
  }
  // The screen point of form coordinates.
  int X(int x) const { return at_.x + x; }
  int Y(int y) const { return at_.y + y; }

  static QProcess* wm_;
  QProcess tappel_;
  HWND window_ = 0;
  Geometry at_;
};
QProcess* Program::wm_ = nullptr;

}  // namespace

TEST_F(Program, TheWalkFindsOneKeyboardWindowPlacedForTheScreen) {
  struct Placement {
    int screenWidth, screenHeight, x, y;
  } placements[] = {{1024, 768, 310, 597}, {800, 600, 198, 429}};
  bool known = false;
  for (const Placement& p : placements) {
    if (p.screenWidth != win::ScreenWidth() || p.screenHeight != win::ScreenHeight()) continue;
    known = true;
    EXPECT_EQ(at_.x, p.x);
    EXPECT_EQ(at_.y, p.y);
  }
  EXPECT_TRUE(known) << win::ScreenWidth() << "x" << win::ScreenHeight();
  EXPECT_EQ(at_.width, 396);
  EXPECT_EQ(at_.height, 137);
  const std::string state = Shell("xprop -id " + Hex(window_) + " _NET_WM_STATE");
  EXPECT_TRUE(Has(state, "_NET_WM_STATE_ABOVE")) << state;
  EXPECT_TRUE(Has(state, "_NET_WM_STATE_SKIP_TASKBAR")) << state;
  EXPECT_TRUE(Has(Shell("xprop -id " + Hex(window_) + " WM_NAME"), "WM_NAME(STRING) = \"%*Y\""));
}

TEST_F(Program, EveryKeyWindowIsReadFromOutsideAndHitAtItsCentre) {
  std::map<std::string, Child> children;
  for (const Child& c : ChildrenOf(window_)) children[c.text] = c;
  const std::vector<Key> keys = ExpectedKeys();
  ASSERT_EQ(keys.size(), 62u);
  int keyWindows = 0;
  for (const auto& [text, c] : children) keyWindows += text.size() == 3 && text.compare(0, 2, "%*") == 0 && text != "%*X";
  EXPECT_EQ(keyWindows, 62);  // one window per key, no two texts alike
  for (const Key& k : keys) {
    const std::string text = std::string("%*") + k.code;
    ASSERT_EQ(children.count(text), 1u) << text;
    const Child& c = children[text];
    const bool inField = InKeyField(k.code);
    EXPECT_EQ(c.parent, inField ? "%*X" : "%*Y") << text;
    EXPECT_EQ(c.x, inField ? k.x + 5 : k.x) << text;
    EXPECT_EQ(c.y, inField ? k.y - 18 : k.y) << text;
    EXPECT_EQ(c.width, k.width) << text;
    EXPECT_EQ(c.height, 22) << text;
    // The point at the key's centre is the key window's: its label button
    // is no window, and no neighbour covers it.
    const HWND hit = WindowFromPoint({X(k.x + k.width / 2), Y(k.y + 11)});
    EXPECT_EQ(hit, c.id) << text;
    EXPECT_EQ(GetWindow(hit, GW_CHILD), 0u) << text;
    char buf[12];
    EXPECT_EQ(GetWindowText(hit, buf, 12), 3) << text;
    EXPECT_EQ(std::string(buf), text);
  }
  // The key field and the places between keys.
  ASSERT_EQ(children.count("%*X"), 1u);
  EXPECT_EQ(children["%*X"].x, -5);
  EXPECT_EQ(children["%*X"].y, 18);
  EXPECT_EQ(children["%*X"].width, 403);
  EXPECT_EQ(children["%*X"].height, 123);
  struct Spot {
    int x, y;
    const char* text;
  } spots[] = {{100, 40, "%*X"}, {2, 100, "%*X"}, {395, 136, "%*X"}, {200, 136, "%*X"},
               {100, 8, "%*Y"},  {376, 5, "%*Y"}, {200, 17, "%*Y"}};
  for (const Spot& s : spots)
    EXPECT_EQ(win::WindowText(WindowFromPoint({X(s.x), Y(s.y)})), s.text) << s.x << "," << s.y;
  // The blank of the space bar's text survives the trip through X.
  EXPECT_TRUE(Has(Shell("xprop -id " + Hex(children["%* "].id) + " WM_NAME"), "= \"%* \"\n"));
}

TEST_F(Program, WmCloseFromAnotherProcessEndsIt) {
  SendMessage(window_, WM_CLOSE, 0, 0);
  EXPECT_TRUE(Ended());
  EXPECT_TRUE(WaitFor([] { return KeyboardWindows().empty(); }));
}

TEST_F(Program, TheCloseButtonEndsIt) {
  // A press on a key is no close.
  ASSERT_TRUE(Xdo("mousemove " + At(X(55), Y(53)) + " click 1"));
  EXPECT_FALSE(tappel_.waitForFinished(300));
  ASSERT_TRUE(Xdo("mousemove " + At(X(386), Y(7)) + " click 1"));
  EXPECT_TRUE(Ended());
}

TEST_F(Program, HoldingShiftShowsItsKeyDownUntilReleased) {
  auto shift = [&] { return Shot(at_, 3, 90, 65, 22); };
  auto ctrl = [&] { return Shot(at_, 3, 114, 28, 22); };
  const QImage up = shift(), ctrlUp = ctrl();
  ASSERT_FALSE(up.isNull());
  ASSERT_TRUE(Xdo("keydown Shift_L"));
  EXPECT_TRUE(WaitFor([&] { return shift() != up; }));
  EXPECT_EQ(ctrl(), ctrlUp);
  ASSERT_TRUE(Xdo("keyup Shift_L"));
  EXPECT_TRUE(WaitFor([&] { return shift() == up; }));
}

TEST_F(Program, CapsLockTurnsItsLabelRed) {
  auto red = [](QRgb p) { return qRed(p) > 180 && qGreen(p) < 90 && qBlue(p) < 90; };
  auto label = [&] { return Shot(at_, 5, 68, 46, 18); };
  ASSERT_EQ(Count(label(), red), 0);
  EXPECT_GT(Count(label(), LabelBlue), 10);
  ASSERT_TRUE(Xdo("key Caps_Lock"));
  EXPECT_TRUE(WaitFor([&] { return Count(label(), red) > 10; }));
  EXPECT_EQ(Count(label(), LabelBlue), 0);
  ASSERT_TRUE(Xdo("key Caps_Lock"));
  EXPECT_TRUE(WaitFor([&] { return Count(label(), red) == 0 && Count(label(), LabelBlue) > 10; }));
}

TEST_F(Program, DraggingTheTitleMovesTheWindowAndAKeyDoesNot) {
  auto drag = [&](int x, int y, int dx, int dy) {
    return Xdo("mousemove " + At(x, y) + " mousedown 1 sleep 0.3 mousemove " + At(x + dx / 2, y + dy / 2) +
               " sleep 0.2 mousemove " + At(x + dx, y + dy) + " sleep 0.3 mouseup 1");
  };
  ASSERT_TRUE(drag(X(100), Y(8), 150, -300));
  EXPECT_TRUE(WaitFor([&] {
    Geometry g = GeometryOf(window_);
    return g.x == at_.x + 150 && g.y == at_.y - 300;
  })) << GeometryOf(window_).x << "," << GeometryOf(window_).y;
  at_ = GeometryOf(window_);
  EXPECT_EQ(at_.width, 396);
  EXPECT_EQ(at_.height, 137);
  ASSERT_TRUE(drag(X(55), Y(53), 100, 100));  // on the Q key
  ASSERT_TRUE(drag(X(100), Y(40), 100, 100));  // on the key field between rows
  QThread::msleep(300);
  Geometry g = GeometryOf(window_);
  EXPECT_EQ(g.x, at_.x);
  EXPECT_EQ(g.y, at_.y);
}

TEST_F(Program, TheBoardStartsItByItsWindowsNameAndClosesIt) {
  SendMessage(window_, WM_CLOSE, 0, 0);
  ASSERT_TRUE(Ended());
  ASSERT_TRUE(WaitFor([] { return KeyboardWindows().empty(); }));
  // "tappel.dll" by that bare name, from PATH.
  const std::string path = std::string(getenv("QUARVEL_BIN")) + ":" + getenv("PATH");
  setenv("PATH", path.c_str(), 1);
  EXPECT_EQ(WinExec("tappel.dll", SW_SHOW), 33u);
  ASSERT_TRUE(WaitFor([] { return KeyboardWindows().size() == 1; }));
  for (HWND h : KeyboardWindows()) SendMessage(h, WM_CLOSE, 0, 0);
  EXPECT_TRUE(WaitFor([] { return KeyboardWindows().empty(); }));
}
