// Runtime library: number texts, conversions, path parts.
#include "platform/vcl/sysutils.h"

#include <gtest/gtest.h>

TEST(SysUtils, FloatToStrIsTheShortestTextOfFifteenDigits) {
  struct Case {
    double value;
    const char* text;
  };
  const Case cases[] = {
      {10.25, "10.25"}, {10, "10"}, {-0.1, "-0.1"}, {10.2, "10.2"}, {0, "0"}, {-5, "-5"},
      {0.5, "0.5"}, {1.0 / 3, "0.333333333333333"}, {2.0 / 3, "0.666666666666667"},
      {123456789012345.0, "123456789012345"}, {1e15, "1E15"}, {1.5e20, "1.5E20"}, {0.00001, "0.00001"}, {0.000001, "1E-6"},
      {0.0001, "0.0001"}, {0.000123, "0.000123"}, {-12.5, "-12.5"}, {100, "100"}, {0.1 + 0.2, "0.3"},
  };
  for (const Case& c : cases) EXPECT_EQ(FloatToStr(c.value), c.text) << c.value;
  // The size readout of the drawing tools: ((X - StartX) div 2) / 10.
  EXPECT_EQ(FloatToStr((200 / 2) / 10.0), "10");
  EXPECT_EQ(FloatToStr((205 / 2) / 10.0), "10.2");
  EXPECT_EQ(FloatToStr((-3 / 2) / 10.0), "-0.1");
}

TEST(SysUtils, StrToIntTakesDecimalAndHexAndRefusesTheRest) {
  EXPECT_EQ(StrToInt("9"), 9);
  EXPECT_EQ(StrToInt(" -12 "), -12);
  EXPECT_EQ(StrToInt("$FF"), 255);
  EXPECT_EQ(StrToInt("0x10"), 16);
  EXPECT_EQ(StrToInt("2147483647"), 2147483647);
  EXPECT_EQ(StrToInt("$FFFFFFFF"), -1);
  for (const char* bad : {"", "abc", "1.5", "2147483648", "9 9", "-", "$"}) {
    try {
      StrToInt(bad);
      ADD_FAILURE() << bad;
    } catch (const EConvertError& e) {
      EXPECT_EQ(e.Message(), "'" + std::string(bad) + "' is not a valid integer value");
    }
  }
  EXPECT_EQ(StrToIntDef("x", 7), 7);
  EXPECT_EQ(StrToIntDef("8", 7), 8);
  EXPECT_EQ(IntToStr(-42), "-42");
}

TEST(SysUtils, RoundTakesHalvesToTheEvenNeighbour) {
  EXPECT_EQ(Round(2.5), 2);
  EXPECT_EQ(Round(3.5), 4);
  EXPECT_EQ(Round(-2.5), -2);
  EXPECT_EQ(Round(2.5000001), 3);
  EXPECT_EQ(Round(511.5), 512);
  EXPECT_EQ(Trunc(-2.7), -2);
}

TEST(SysUtils, PathPartsAndStrings) {
  EXPECT_EQ(ExtractFilePath("C:\\a\\b.txt"), "C:\\a\\");
  EXPECT_EQ(ExtractFileName("C:\\a\\b.txt"), "b.txt");
  EXPECT_EQ(ExtractFileExt("C:\\a.d\\b"), "");
  EXPECT_EQ(ExtractFileExt("db\\pic\\w0.jt"), ".jt");
  EXPECT_EQ(ExtractFilePath("/x/y/"), "/x/y/");
  EXPECT_EQ(ExtractFileName("C:x"), "x");
  // 乗 ends in the byte '\' (0x5C) in GBK: no separator there.
  const std::string name = "\x81\x5C.txt";
  EXPECT_EQ(ExtractFileName(name), name);
  EXPECT_EQ(ChangeFileExt("a\\b.bmp", ".png"), "a\\b.png");
  EXPECT_EQ(Trim("  a b \t"), "a b");
  EXPECT_EQ(UpperCase("abc书写"), "ABC书写");
  EXPECT_EQ(Format("%d-%s", 5, "x"), "5-x");
}
