#include "platform/mm/sync.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

namespace {

bool WaitUntil(const std::function<bool()>& done) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (!done())
    if (std::chrono::steady_clock::now() > end)
      return false;
    else
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
  return true;
}

struct Worker {
  HANDLE wake = CreateEvent(nullptr, FALSE, FALSE, nullptr);
  std::atomic<int> rounds{0};
  std::atomic<bool> stop{false};
  static DWORD WINAPI Run(LPVOID param) {
    auto* w = static_cast<Worker*>(param);
    while (WaitForSingleObject(w->wake, INFINITE) == WAIT_OBJECT_0 && !w->stop) ++w->rounds;
    return 7;
  }
  ~Worker() { CloseHandle(wake); }
};

}  // namespace

TEST(SyncTest, NamedEventsAreOneObjectWhileAHandleIsOpen) {
  HANDLE a = CreateEvent(nullptr, FALSE, FALSE, "WaveInThreadEvent");
  HANDLE b = CreateEvent(nullptr, TRUE, TRUE, "WaveInThreadEvent");  // opens a: its kind and state stay
  ASSERT_NE(a, nullptr);
  ASSERT_NE(b, a);
  EXPECT_EQ(WaitForSingleObject(b, 0), WAIT_TIMEOUT);
  ASSERT_TRUE(SetEvent(a));
  EXPECT_EQ(WaitForSingleObject(b, 0), WAIT_OBJECT_0);
  EXPECT_EQ(WaitForSingleObject(a, 0), WAIT_TIMEOUT);  // auto-reset: consumed through b
  ASSERT_TRUE(SetEvent(b));
  EXPECT_TRUE(CloseHandle(a));
  HANDLE c = CreateEvent(nullptr, FALSE, FALSE, "WaveInThreadEvent");
  EXPECT_EQ(WaitForSingleObject(c, 0), WAIT_OBJECT_0) << "the state survives while b is open";
  EXPECT_TRUE(CloseHandle(b));
  EXPECT_TRUE(CloseHandle(c));
  HANDLE fresh = CreateEvent(nullptr, FALSE, FALSE, "WaveInThreadEvent");
  ASSERT_TRUE(SetEvent(fresh));
  HANDLE other = CreateEvent(nullptr, FALSE, FALSE, "another name");
  EXPECT_EQ(WaitForSingleObject(other, 0), WAIT_TIMEOUT);
  CloseHandle(fresh);
  CloseHandle(other);
  fresh = CreateEvent(nullptr, FALSE, FALSE, "WaveInThreadEvent");
  EXPECT_EQ(WaitForSingleObject(fresh, 0), WAIT_TIMEOUT) << "a new event once every handle was closed";
  CloseHandle(fresh);
}

TEST(SyncTest, AutoResetWakesOneWaiterAndManualResetAllUntilReset) {
  HANDLE automatic = CreateEvent(nullptr, FALSE, FALSE, nullptr);
  std::atomic<int> woken{0};
  std::thread waiters[2];
  for (auto& t : waiters)
    t = std::thread([&] {
      if (WaitForSingleObject(automatic, 500) == WAIT_OBJECT_0) ++woken;
    });
  SetEvent(automatic);
  for (auto& t : waiters) t.join();
  EXPECT_EQ(woken, 1);

  HANDLE manual = CreateEvent(nullptr, TRUE, FALSE, nullptr);
  SetEvent(manual);
  EXPECT_EQ(WaitForSingleObject(manual, 0), WAIT_OBJECT_0);
  EXPECT_EQ(WaitForSingleObject(manual, 0), WAIT_OBJECT_0);
  ResetEvent(manual);
  const auto before = std::chrono::steady_clock::now();
  EXPECT_EQ(WaitForSingleObject(manual, 60), WAIT_TIMEOUT);
  EXPECT_GE(std::chrono::steady_clock::now() - before, std::chrono::milliseconds(60));
  CloseHandle(automatic);
  CloseHandle(manual);
}

TEST(SyncTest, ClosedAndMadeUpHandlesFail) {
  HANDLE e = CreateEvent(nullptr, FALSE, FALSE, nullptr);
  EXPECT_TRUE(CloseHandle(e));
  EXPECT_FALSE(CloseHandle(e));
  EXPECT_FALSE(SetEvent(e));
  EXPECT_EQ(WaitForSingleObject(e, 0), WAIT_FAILED);
  int notAHandle = 0;
  EXPECT_EQ(WaitForSingleObject(&notAHandle, 0), WAIT_FAILED);
  EXPECT_EQ(ResumeThread(&notAHandle), DWORD(-1));
  EXPECT_EQ(CreateThread(nullptr, 0, nullptr, nullptr, 0, nullptr), nullptr);
}

TEST(SyncTest, ThreadsRunTheirRoutineAndAreWaitedFor) {
  Worker w;
  DWORD id = 0;
  HANDLE t = CreateThread(nullptr, 0, &Worker::Run, &w, 0, &id);
  ASSERT_NE(t, nullptr);
  EXPECT_NE(id, 0u);
  SetEvent(w.wake);
  ASSERT_TRUE(WaitUntil([&] { return w.rounds == 1; }));
  EXPECT_EQ(WaitForSingleObject(t, 0), WAIT_TIMEOUT);
  w.stop = true;
  SetEvent(w.wake);
  EXPECT_EQ(WaitForSingleObject(t, 20000), WAIT_OBJECT_0);
  EXPECT_EQ(WaitForSingleObject(t, 0), WAIT_OBJECT_0);
  EXPECT_TRUE(CloseHandle(t));
}

TEST(SyncTest, SuspendedThreadsWaitForResume) {
  Worker w;
  SetEvent(w.wake);
  HANDLE t = CreateThread(nullptr, 0, &Worker::Run, &w, CREATE_SUSPENDED, nullptr);
  std::this_thread::sleep_for(std::chrono::milliseconds(30));
  EXPECT_EQ(w.rounds, 0) << "ran before ResumeThread";
  EXPECT_EQ(ResumeThread(t), 1u);
  ASSERT_TRUE(WaitUntil([&] { return w.rounds == 1; }));

  // Suspended from outside, the thread stops at its next wait.
  EXPECT_EQ(SuspendThread(t), 0u);
  EXPECT_EQ(SuspendThread(t), 1u);
  SetEvent(w.wake);
  std::this_thread::sleep_for(std::chrono::milliseconds(30));
  EXPECT_EQ(w.rounds, 1);
  EXPECT_EQ(ResumeThread(t), 2u);
  EXPECT_EQ(w.rounds, 1);
  EXPECT_EQ(ResumeThread(t), 1u);
  ASSERT_TRUE(WaitUntil([&] { return w.rounds == 2; }));
  EXPECT_EQ(ResumeThread(t), 0u);

  w.stop = true;
  SetEvent(w.wake);
  EXPECT_EQ(WaitForSingleObject(t, 20000), WAIT_OBJECT_0);
  CloseHandle(t);
}

TEST(SyncTest, AThreadSuspendingItselfStopsAtOnce) {
  struct Self {
    HANDLE me = nullptr;
    HANDLE ready = CreateEvent(nullptr, TRUE, FALSE, nullptr);
    std::atomic<bool> after{false};
  } s;
  auto run = [](LPVOID p) -> DWORD {
    auto* self = static_cast<Self*>(p);
    WaitForSingleObject(self->ready, INFINITE);
    SuspendThread(self->me);
    self->after = true;
    return 0;
  };
  s.me = CreateThread(nullptr, 0, run, &s, 0, nullptr);
  SetEvent(s.ready);
  std::this_thread::sleep_for(std::chrono::milliseconds(30));
  EXPECT_FALSE(s.after);
  ASSERT_TRUE(WaitUntil([&] { return ResumeThread(s.me) == 1; }));
  EXPECT_EQ(WaitForSingleObject(s.me, 20000), WAIT_OBJECT_0);
  EXPECT_TRUE(s.after);
  CloseHandle(s.me);
  CloseHandle(s.ready);
}
