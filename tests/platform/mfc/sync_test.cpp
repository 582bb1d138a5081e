#include "platform/mfc/sync.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

TEST(CMutex, OwnerMayLockAgainOthersWait) {
  CMutex m(FALSE);
  ASSERT_TRUE(m.Lock());
  ASSERT_TRUE(m.Lock(0));  // again, same thread
  std::atomic<int> got{-1};
  std::thread([&] { got = m.Lock(20); }).join();
  EXPECT_EQ(got, FALSE);
  std::thread([&] { got = m.Unlock(); }).join();
  EXPECT_EQ(got, FALSE);  // not the owner
  EXPECT_TRUE(m.Unlock());
  EXPECT_TRUE(m.Unlock());
  EXPECT_FALSE(m.Unlock());
  std::thread([&] {
    got = m.Lock(INFINITE);
    m.Unlock();
  }).join();
  EXPECT_EQ(got, TRUE);
}

TEST(CMutex, InitiallyOwned) {
  CMutex m(TRUE);
  std::atomic<int> got{-1};
  std::thread([&] { got = m.Lock(10); }).join();
  EXPECT_EQ(got, FALSE);
  EXPECT_TRUE(m.Unlock());
}

TEST(CSingleLock, ReleasesAtScopeEnd) {
  CMutex m;
  {
    CSingleLock lock(&m, TRUE);
    EXPECT_TRUE(lock.IsLocked());
    std::atomic<int> got{-1};
    std::thread([&] { got = m.Lock(10); }).join();
    EXPECT_EQ(got, FALSE);
  }
  std::atomic<int> got{-1};
  std::thread([&] {
    got = m.Lock(0);
    m.Unlock();
  }).join();
  EXPECT_EQ(got, TRUE);

  CSingleLock lock(&m);
  EXPECT_FALSE(lock.IsLocked());
  EXPECT_TRUE(lock.Lock());
  EXPECT_TRUE(lock.Unlock());
  EXPECT_FALSE(lock.IsLocked());
}
