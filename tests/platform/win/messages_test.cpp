// Window procedures, sent and posted messages, timers, and close requests
// arriving at this process's Qt windows.
#include <QCloseEvent>
#include <QWidget>
#include <QWindow>

#include "platform/win/hidden_window.h"
#include "platform/win/messages.h"
#include "platform/win/window_walk.h"
#include "tests/platform/win/test_support.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace {

struct Received {
  UINT msg;
  WPARAM w;
  LPARAM l;
  bool onGuiThread;
};

class Messages : public ::testing::Test {
 protected:
  void SetUp() override {
    test::App();
    h_ = win::CreateHiddenWindow("TWAINLINK_VIRTUALWINDOW");
    ASSERT_NE(h_, 0u);
    RegisterWindowProc(h_, [this](UINT msg, WPARAM w, LPARAM l) -> LRESULT {
      got_.push_back({msg, w, l, QThread::currentThread() == qApp->thread()});
      return LRESULT(msg + 1000);
    });
  }
  void TearDown() override { DestroyWindow(h_); }
  HWND h_ = 0;
  std::vector<Received> got_;
};

class ClosingWidget : public QWidget {
 public:
  int closes = 0;

 protected:
  void closeEvent(QCloseEvent* e) override {
    ++closes;
    e->accept();
  }
};

}  // namespace

TEST_F(Messages, SendRunsTheProcedureAtOnce) {
  EXPECT_EQ(SendMessage(h_, WM_USER + 2000, 9, 77), LRESULT(WM_USER + 2000 + 1000));
  ASSERT_EQ(got_.size(), 1u);
  EXPECT_EQ(got_[0].w, 9u);
  EXPECT_EQ(got_[0].l, 77);
  EXPECT_EQ(SendMessage(0, WM_CLOSE, 0, 0), 0);
}

TEST_F(Messages, PostsFromWorkersArriveOnTheGuiThreadInOrder) {
  std::atomic<int> ok{0};
  std::thread t([&] {
    for (int i = 0; i < 10; ++i) ok += PostMessage(h_, 3024, WPARAM(i), 0);
  });
  t.join();
  EXPECT_EQ(ok, 10);
  EXPECT_TRUE(got_.empty());  // nothing runs before the loop does
  ASSERT_TRUE(test::WaitFor([&] { return got_.size() == 10; }));
  for (int i = 0; i < 10; ++i) {
    EXPECT_EQ(got_[size_t(i)].w, WPARAM(i));
    EXPECT_TRUE(got_[size_t(i)].onGuiThread);
  }
}

TEST_F(Messages, SendFromAWorkerWaitsForTheGuiThread) {
  LRESULT r = 0;
  std::atomic<bool> done{false};
  std::thread t([&] {
    r = SendMessage(h_, WM_USER, 1, 2);
    done = true;
  });
  ASSERT_TRUE(test::WaitFor([&] { return done.load(); }));
  t.join();
  EXPECT_EQ(r, LRESULT(WM_USER + 1000));
  ASSERT_EQ(got_.size(), 1u);
  EXPECT_TRUE(got_[0].onGuiThread);
}

TEST_F(Messages, PostRefusesWhatCannotArrive) {
  EXPECT_FALSE(PostMessage(0, WM_USER, 0, 0));
  EXPECT_FALSE(PostMessage(0x7fffff0, WM_USER, 0, 0));
}

TEST_F(Messages, AProcedureMayUnregisterItselfAndLaterMessagesAreDropped) {
  HWND other = win::CreateHiddenWindow("other");
  int calls = 0;
  RegisterWindowProc(other, [&](UINT, WPARAM, LPARAM) -> LRESULT {
    ++calls;
    UnregisterWindowProc(other);
    return 5;
  });
  EXPECT_EQ(SendMessage(other, WM_USER, 0, 0), 5);
  EXPECT_EQ(SendMessage(other, WM_USER, 0, 0), 0);
  EXPECT_EQ(calls, 1);
  DestroyWindow(other);
}

TEST_F(Messages, TimersPostWmTimerUntilKilled) {
  EXPECT_EQ(SetTimer(h_, 7, 10), 7u);
  ASSERT_TRUE(test::WaitFor([&] { return got_.size() >= 3; }));
  for (const Received& r : got_) {
    EXPECT_EQ(r.msg, UINT(WM_TIMER));
    EXPECT_EQ(r.w, 7u);
  }
  EXPECT_TRUE(KillTimer(h_, 7));
  EXPECT_FALSE(KillTimer(h_, 7));
  size_t seen = got_.size();
  // A second window's timer runs on while the killed one stays silent.
  HWND other = win::CreateHiddenWindow("other");
  int ticks = 0;
  RegisterWindowProc(other, [&](UINT, WPARAM, LPARAM) -> LRESULT { return ++ticks; });
  EXPECT_EQ(SetTimer(other, 1, 10), 1u);
  ASSERT_TRUE(test::WaitFor([&] { return ticks >= 5; }));
  EXPECT_EQ(got_.size(), seen);
  DestroyWindow(other);  // takes its timer along
  EXPECT_FALSE(KillTimer(other, 1));
  EXPECT_EQ(SetTimer(0x7fffff0, 1, 10), 0u);  // no procedure
  EXPECT_EQ(SetTimer(h_, 0, 10), 0u);
}

TEST_F(Messages, CloseOfAnOwnQtWindowRunsItsClosePath) {
  ClosingWidget w;
  w.show();
  HWND h = w.windowHandle()->winId();
  SendMessage(h, WM_CLOSE, 0, 0);
  EXPECT_EQ(w.closes, 1);  // at once
  EXPECT_FALSE(w.isVisible());
}

TEST_F(Messages, CloseRequestFromAnotherProcessReachesClosePath) {
  ClosingWidget w;
  w.show();
  ASSERT_TRUE(test::WaitFor([&] { return w.windowHandle()->isExposed(); }));
  QProcess::execute(QString::fromStdString(win::detail::ExeFolder() + "win_peer"),
                    {"--send-close", QString::fromStdString(test::Hex(w.windowHandle()->winId()))});
  EXPECT_TRUE(test::WaitFor([&] { return w.closes == 1; }));
}

// Worker threads make no X calls: they know this process's windows by their
// procedures.
TEST_F(Messages, IsWindowFromAnotherThread) {
  HWND bare = win::CreateHiddenWindow("no procedure");
  ASSERT_TRUE(IsWindow(bare));
  auto offThread = [](HWND h) {
    BOOL r = -1;
    std::thread([&] { r = IsWindow(h); }).join();
    return r;
  };
  EXPECT_EQ(offThread(h_), TRUE);
  EXPECT_EQ(offThread(bare), FALSE);
  EXPECT_EQ(offThread(0), FALSE);
  UnregisterWindowProc(h_);
  EXPECT_EQ(offThread(h_), FALSE);
  EXPECT_TRUE(IsWindow(h_)) << "the GUI thread still sees the X window";
  DestroyWindow(bare);
}

TEST_F(Messages, DestroyWindowOnlyForHiddenWindows) {
  ClosingWidget w;
  w.show();
  EXPECT_FALSE(DestroyWindow(w.windowHandle()->winId()));
  HWND h = win::CreateHiddenWindow("gone");
  EXPECT_TRUE(IsWindow(h));
  EXPECT_TRUE(DestroyWindow(h));
  EXPECT_FALSE(IsWindow(h));
  EXPECT_FALSE(DestroyWindow(h));
}
