#include "platform/globalmem.h"

#include <gtest/gtest.h>

#include <cstdint>

TEST(GlobalMemTest, BlocksKnowTheirSizeAndTheHandleIsTheirAddress) {
  struct Case {
    UINT flags;
    SIZE_T bytes;
  } cases[] = {{GMEM_FIXED, 0}, {GPTR, 1}, {GHND, 4096}, {GMEM_MOVEABLE, 100000}, {GMEM_FIXED | GMEM_ZEROINIT, 33}};
  for (const Case& c : cases) {
    HGLOBAL h = GlobalAlloc(c.flags, c.bytes);
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(GlobalSize(h), c.bytes);
    auto* bytes = static_cast<unsigned char*>(GlobalLock(h));
    EXPECT_EQ(static_cast<void*>(bytes), h);
    EXPECT_EQ(reinterpret_cast<uintptr_t>(bytes) % alignof(std::max_align_t), 0u);
    if (c.flags & GMEM_ZEROINIT) {
      for (SIZE_T i = 0; i < c.bytes; ++i) ASSERT_EQ(bytes[i], 0) << i;
    }
    for (SIZE_T i = 0; i < c.bytes; ++i) bytes[i] = 0xA5;
    EXPECT_FALSE(GlobalUnlock(h));
    EXPECT_EQ(GlobalFree(h), nullptr);
  }
}

TEST(GlobalMemTest, MoveableBlocksCountLocks) {
  HGLOBAL h = GlobalAlloc(GHND, 16);
  GlobalLock(h);
  GlobalLock(h);
  EXPECT_TRUE(GlobalUnlock(h));
  EXPECT_FALSE(GlobalUnlock(h));
  EXPECT_FALSE(GlobalUnlock(h));
  GlobalFree(h);
}

TEST(GlobalMemTest, NullAndImpossibleRequests) {
  EXPECT_EQ(GlobalAlloc(GMEM_FIXED, SIZE_MAX), nullptr);
  EXPECT_EQ(GlobalAlloc(GMEM_FIXED, SIZE_MAX - 8), nullptr);
  EXPECT_EQ(GlobalSize(nullptr), 0u);
  EXPECT_EQ(GlobalLock(nullptr), nullptr);
  EXPECT_FALSE(GlobalUnlock(nullptr));
  EXPECT_EQ(GlobalFree(nullptr), nullptr);
}
