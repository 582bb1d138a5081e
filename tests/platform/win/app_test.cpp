// The application object: its window as other processes see it, the taskbar
// style, and ending the message loop.
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include "platform/text/gbk.h"
#include "platform/win/window_style.h"
#include "platform/win/window_text.h"
#include "tests/platform/win/test_support.h"

#include <gtest/gtest.h>

namespace {
std::string Prop(HWND h, const char* names) { return test::Shell("xprop -id " + test::Hex(h) + " " + names); }
bool Has(const std::string& s, const std::string& part) { return s.find(part) != std::string::npos; }
}  // namespace

TEST(App, TitleIsTheTextOfAnUnmappedTopLevelWindow) {
  win::Application& app = test::App();
  ASSERT_NE(app.Handle(), 0u);
  app.SetTitle("Quarvel");
  EXPECT_EQ(app.Title(), "Quarvel");
  std::string p = Prop(app.Handle(), "WM_NAME _NET_WM_NAME");
  EXPECT_TRUE(Has(p, "WM_NAME(STRING) = \"Quarvel\"")) << p;
  EXPECT_TRUE(Has(p, "_NET_WM_NAME(UTF8_STRING) = \"Quarvel\"")) << p;
  EXPECT_TRUE(Has(test::Shell("xwininfo -id " + test::Hex(app.Handle())), "IsUnMapped"));
  EXPECT_TRUE(Has(test::Shell("xwininfo -root -children"), test::Hex(app.Handle()) + " \"Quarvel\""));

  app.SetTitle("书写板");
  EXPECT_EQ(win::WindowText(app.Handle()), "书写板");
  std::string hex = test::Shell("xprop -id " + test::Hex(app.Handle()) + " -notype _NET_WM_NAME | od -An -tx1");
  std::string want;
  for (unsigned char c : gbk::ToUtf8("书写板")) {
    char b[4];
    snprintf(b, sizeof b, " %02x", c);
    want += b;
  }
  std::string flat;
  for (char c : hex)
    if (c != '\n') flat += c;
  EXPECT_TRUE(Has(flat, want)) << flat;  // UTF-8 bytes on the wire
  app.SetTitle("Quarvel");
}

TEST(App, ToolWindowStyleKeepsEveryOwnWindowOffTheTaskbar) {
  win::Application& app = test::App();
  QWidget before;
  before.show();
  ASSERT_TRUE(test::WaitFor([&] { return before.windowHandle()->isExposed(); }));
  EXPECT_EQ(SetWindowLong(app.Handle(), GWL_EXSTYLE, WS_EX_TOOLWINDOW), 0);
  EXPECT_EQ(GetWindowLong(app.Handle(), GWL_EXSTYLE), LONG(WS_EX_TOOLWINDOW));
  auto skips = [](QWidget& w) {
    std::string p = Prop(w.windowHandle()->winId(), "_NET_WM_STATE");
    return Has(p, "_NET_WM_STATE_SKIP_TASKBAR") && Has(p, "_NET_WM_STATE_SKIP_PAGER");
  };
  EXPECT_TRUE(skips(before));

  QWidget later;
  later.setWindowFlags(Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
  later.show();
  EXPECT_TRUE(test::WaitFor([&] { return skips(later); }));
  EXPECT_TRUE(Has(Prop(later.windowHandle()->winId(), "_NET_WM_STATE"), "_NET_WM_STATE_ABOVE"));  // Qt's own kept

  // Shown again, and with its windows made anew by new flags.
  later.hide();
  later.setWindowFlags(Qt::FramelessWindowHint);
  later.show();

  EXPECT_TRUE(test::WaitFor([&] { return skips(later); }));

  EXPECT_EQ(SetWindowLong(app.Handle(), GWL_EXSTYLE, 0), LONG(WS_EX_TOOLWINDOW));
  EXPECT_FALSE(skips(before));
  EXPECT_EQ(SetWindowLong(app.Handle(), -16, 5), 0);
}

TEST(App, TerminateDuringTheLoopEndsIt) {
  win::Application& app = test::App();
  QTimer::singleShot(0, [&] { app.Terminate(); });
  bool late = false;
  QTimer watchdog;
  watchdog.setSingleShot(true);
  QObject::connect(&watchdog, &QTimer::timeout, [&] {
    late = true;
    QCoreApplication::exit(1);
  });
  watchdog.start(20000);
  EXPECT_EQ(app.Run(), 0);
  EXPECT_FALSE(late);
}

// Last: the application stays terminated.
TEST(App, TerminateBeforeTheLoopEndsItAsSoonAsItStarts) {
  win::Application& app = test::App();
  app.Terminate();
  bool ran = false;
  QTimer::singleShot(0, [&] { ran = true; });
  EXPECT_EQ(app.Run(), 0);
  EXPECT_FALSE(ran);
  EXPECT_TRUE(app.Terminated());
}
