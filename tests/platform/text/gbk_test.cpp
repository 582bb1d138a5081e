#include "platform/text/gbk.h"

#include <gtest/gtest.h>

// Literals are GBK bytes at run time; the UTF-8 forms are spelled in escapes.
TEST(Gbk, RoundTripsChineseText) {
  std::string g = "提示信息";
  EXPECT_EQ(g, "\xCC\xE1\xCA\xBE\xD0\xC5\xCF\xA2");
  EXPECT_EQ(gbk::ToUtf8(g), "\xE6\x8F\x90\xE7\xA4\xBA\xE4\xBF\xA1\xE6\x81\xAF");
  EXPECT_EQ(gbk::FromUtf8(gbk::ToUtf8(g)), g);
  EXPECT_EQ(gbk::FromQString(gbk::ToQString(g)), g);
  EXPECT_EQ(gbk::ToQString(g).size(), 4);
}

TEST(Gbk, InvalidBytesAreReplacedNotFatal) {
  struct Case {
    std::string in, out;
  } cases[] = {
      {"a\xFF" "b", "a\xEF\xBF\xBD" "b"},          // 0xFF is never a GBK byte
      {"x\xB0", "x\xEF\xBF\xBD"},                  // lead byte cut off at the end
      {std::string("\0\xB0\xA1", 3), std::string("\0\xE5\x95\x8A", 4)},  // zero byte kept
  };
  for (auto& c : cases) EXPECT_EQ(gbk::ToUtf8(c.in), c.out);
  EXPECT_EQ(gbk::FromUtf8("\xF0\x9F\x98\x80!"), "?!");  // emoji has no GBK form
  EXPECT_EQ(gbk::FromUtf8("a\xC3"), "a?");               // truncated UTF-8
}

TEST(Gbk, CharLength) {
  EXPECT_EQ(gbk::CharLength("啊b"), 2u);
  EXPECT_EQ(gbk::CharLength("ab"), 1u);
  EXPECT_EQ(gbk::CharLength("\xB0"), 1u);
}
