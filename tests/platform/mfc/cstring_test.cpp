#include "platform/mfc/cstring.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string Bytes(const CString& s) { return std::string(static_cast<LPCTSTR>(s), size_t(s.GetLength())); }

}  // namespace

TEST(CString, KeepsZeroBytesAndExplicitLength) {
  CString s("a\0b\0", 4);
  EXPECT_EQ(s.GetLength(), 4);
  EXPECT_EQ(Bytes(s), std::string("a\0b\0", 4));
  CString copy = s + s;
  EXPECT_EQ(copy.GetLength(), 8);
  EXPECT_NE(s, CString("a"));  // equality counts every byte
  EXPECT_EQ(CString(static_cast<LPCTSTR>(s)), "a");  // the LPCTSTR form ends at the zero
  EXPECT_EQ(CString(static_cast<LPCTSTR>(NULL)).GetLength(), 0);
}

TEST(CString, ComparesBytesAsUnsigned) {
  EXPECT_LT(CString("a"), CString("\xB0\xA1"));
  EXPECT_GT("b", CString("a"));
  EXPECT_EQ(CString("ab").Compare("ab"), 0);
  EXPECT_EQ(CString("AbC").CompareNoCase("aBc"), 0);
  EXPECT_TRUE(CString("x") == "x");
  EXPECT_TRUE("x" != CString("y"));
}

TEST(CString, SubstringsClampTheirArguments) {
  CString s("hello");
  struct Case {
    CString got;
    const char* want;
  } cases[] = {
      {s.Left(2), "he"},    {s.Left(-1), ""},     {s.Left(99), "hello"}, {s.Mid(1, 3), "ell"},
      {s.Mid(3), "lo"},     {s.Mid(-2, 3), "hel"}, {s.Mid(9), ""},        {s.Mid(2, -1), ""},
      {s.Right(3), "llo"},  {s.Right(-3), ""},    {s.Right(9), "hello"},
  };
  for (const Case& c : cases) EXPECT_EQ(c.got, c.want);
}

// A GBK character whose trail byte is '\' (0x5C) or a letter must not be cut.
TEST(CString, SearchesStepOverDoubleByteCharacters) {
  CString path("D:\\a\\\x81\x5C" "b");  // last character 81 5C then 'b'
  EXPECT_EQ(path.ReverseFind('\\'), 4);
  EXPECT_EQ(path.Find('\\'), 2);
  EXPECT_EQ(path.Find('\\', 3), 4);
  EXPECT_EQ(path.Find("\x5C" "b"), -1);
  EXPECT_EQ(path.Find("\x81\x5C"), 5);
  EXPECT_EQ(path.Find("zz"), -1);
  EXPECT_EQ(path.Find('a', 99), -1);

  CString t("\x81\x5C\\");
  EXPECT_EQ(t.Replace('\\', '/'), 1);
  EXPECT_EQ(t, "\x81\x5C/");
  CString u("\xB0\x41" "A");  // 0x41 'A' as a trail byte
  u.MakeLower();
  EXPECT_EQ(u, "\xB0\x41" "a");
  u.MakeUpper();
  EXPECT_EQ(u, "\xB0\x41" "A");
  EXPECT_EQ(u.Replace("A", "bb"), 1);
  EXPECT_EQ(u, "\xB0\x41" "bb");
}

TEST(CString, ReplaceAndTrim) {
  CString s("a--b--c");
  EXPECT_EQ(s.Replace("--", "+"), 2);
  EXPECT_EQ(s, "a+b+c");
  EXPECT_EQ(s.Replace("", "x"), 0);
  EXPECT_EQ(s.Replace("+", ""), 2);
  EXPECT_EQ(s, "abc");

  CString t(" \t x y \r\n");
  t.TrimRight();
  EXPECT_EQ(t, " \t x y");
  t.TrimLeft();
  EXPECT_EQ(t, "x y");
  CString blank("   ");
  blank.TrimRight();
  EXPECT_TRUE(blank.IsEmpty());
}

TEST(CString, FormatAndConcatenation) {
  CString s;
  s.Format("%s\\Merro%04ld.idx", "db", 7L);
  EXPECT_EQ(s, "db\\Merro0007.idx");
  s.Format("%s: \xB5\xDA%d\xB1\xCA", "\xC4\xBE", 3);  // 木: 第3笔
  EXPECT_EQ(s, "\xC4\xBE: \xB5\xDA" "3\xB1\xCA");
  std::string big(5000, 'x');
  s.Format("%s!", big.c_str());
  EXPECT_EQ(s.GetLength(), 5001);

  CString a("ab");
  a += 'c';
  a += "de";
  a += CString("f");
  EXPECT_EQ(a, "abcdef");
  EXPECT_EQ("<" + a + '>', "<abcdef>");
  EXPECT_EQ('[' + a, "[abcdef");
}

TEST(CString, BufferRoundTrip) {
  CString s("abc");
  char* p = s.GetBuffer(10);
  EXPECT_STREQ(p, "abc");
  strcpy(p, "abcdefgh");
  s.ReleaseBuffer();
  EXPECT_EQ(s, "abcdefgh");

  p = s.GetBufferSetLength(4);
  p[1] = '\0';
  s.ReleaseBuffer(4);  // explicit length keeps the zero
  EXPECT_EQ(s.GetLength(), 4);
  EXPECT_EQ(Bytes(s), std::string("a\0cd", 4));
  s.GetBuffer(0);
  s.ReleaseBuffer();
  EXPECT_EQ(s, "a");
}

TEST(CString, IndexingOutsideRaises) {
  CString s("ab");
  EXPECT_EQ(s[1], 'b');
  EXPECT_THROW(s.GetAt(2), std::out_of_range);
  EXPECT_THROW(s.SetAt(-1, 'x'), std::out_of_range);
}
