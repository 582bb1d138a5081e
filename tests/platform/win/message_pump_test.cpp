// Handling waiting messages from inside a wait on the GUI thread.
#include <QTimer>

#include "platform/win/application.h"
#include "platform/win/hidden_window.h"
#include "platform/win/message_pump.h"
#include "platform/win/messages.h"
#include "tests/platform/win/test_support.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace {

class MessagePump : public ::testing::Test {
 protected:
  void SetUp() override {
    test::App();
    h_ = win::CreateHiddenWindow("pump");
    ASSERT_NE(h_, 0u);
    RegisterWindowProc(h_, [this](UINT msg, WPARAM w, LPARAM) -> LRESULT {
      got_.push_back(msg);
      if (msg == WM_USER + 2) test::App().Terminate();
      if (msg == WM_USER + 3) {
        // A wait inside a message: what a sound being played does.
        while (got_.size() < 4) win::DispatchWaitingMessages();
        afterWait_ = true;
      }
      return 0;
    });
  }
  void TearDown() override { DestroyWindow(h_); }
  HWND h_ = 0;
  std::vector<UINT> got_;
  bool afterWait_ = false;
};

}  // namespace

TEST_F(MessagePump, RunsWhatIsWaitingInOrderAndReturns) {
  win::DispatchWaitingMessages();  // whatever the set-up left
  got_.clear();
  for (UINT m : {WM_USER + 10, WM_USER + 11}) ASSERT_TRUE(PostMessage(h_, m, 0, 0));
  EXPECT_TRUE(got_.empty());
  win::DispatchWaitingMessages();
  EXPECT_EQ(got_, (std::vector<UINT>{WM_USER + 10, WM_USER + 11}));
  win::DispatchWaitingMessages();  // nothing waits: returns at once
  EXPECT_EQ(got_.size(), 2u);
}

TEST_F(MessagePump, OtherThreadsHaveNoMessages) {
  win::DispatchWaitingMessages();
  got_.clear();
  ASSERT_TRUE(PostMessage(h_, WM_USER + 10, 0, 0));
  std::thread([] { win::DispatchWaitingMessages(); }).join();
  EXPECT_TRUE(got_.empty());
  win::DispatchWaitingMessages();
  EXPECT_EQ(got_.size(), 1u);
}

TEST_F(MessagePump, AQuitRequestedDuringAWaitEndsTheLoopAfterwards) {
  win::DispatchWaitingMessages();
  got_.clear();
  ASSERT_TRUE(PostMessage(h_, WM_USER + 3, 0, 0));  // waits, handling the next ones
  ASSERT_TRUE(PostMessage(h_, WM_USER + 2, 0, 0));  // asks to quit
  ASSERT_TRUE(PostMessage(h_, WM_USER + 4, 0, 0));
  ASSERT_TRUE(PostMessage(h_, WM_USER + 5, 0, 0));
  QObject guard;
  QTimer::singleShot(20000, &guard, [] { QCoreApplication::exit(1); });  // a lost quit fails, not hangs
  EXPECT_EQ(test::App().Run(), 0);
  EXPECT_TRUE(afterWait_);
  EXPECT_EQ(got_, (std::vector<UINT>{WM_USER + 3, WM_USER + 2, WM_USER + 4, WM_USER + 5}));
}
