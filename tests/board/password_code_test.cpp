// Teachers' password codes and the administrator record of "sxut.dll".
#include <cstdlib>
#include <fstream>
#include <iterator>

#include "board/password_code.h"
#include "tests/board/unwritable_file.h"

#include <gtest/gtest.h>

namespace {

std::string Dir() { return getenv("QUARVEL_TEST_DIR"); }

std::string Read(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(f), {});
}

void Write(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

// 8 KiB that differ from byte to byte, no blanks or zeros in the record.
std::string Filler() {
  std::string bytes(8192, '\0');
  for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = char(0x41 + (i * 7) % 50);
  return bytes;
}

}  // namespace

TEST(PasswordCode, EachDigitHasItsCodeJoinedInOrder) {
  const struct {
    const char* entry;
    const char* code;
  } cases[] = {
      {"", "0"},        {"0", "0"},        {"1", "12"},          {"2", "278"},     {"3", "417"},
      {"4", "556"},     {"5", "780"},      {"6", "936"},         {"7", "1092"},    {"8", "1248"},
      {"9", "1404"},    {"1234", "12278417556"}, {"901", "1404012"}, {"00", "00"}, {"10", "120"},
  };
  for (const auto& c : cases) EXPECT_EQ(EncodePassword(c.entry), c.code) << '"' << c.entry << '"';
}

TEST(AdminRecord, TheShippedFileHasNoAdministratorPassword) {
  const std::string shipped = std::string(getenv("QUARVEL_BIN")) + "/sxut.dll";
  ASSERT_GE(Read(shipped).size(), 5012u);
  EXPECT_EQ(ReadAdminRecord(shipped), std::string(12, ' '));
}

TEST(AdminRecord, OnlyTheTwelveBytesAtFiveThousandChange) {
  const std::string file = Dir() + "/sxut.dll";
  const std::string before = Filler();
  Write(file, before);
  EXPECT_EQ(ReadAdminRecord(file), before.substr(5000, 12));

  const struct {
    const char* entry;
    const char* record;
  } cases[] = {
      {"123", "123         "},
      {"", "            "},
      {"1234567890123", "123456789012"},  // cut to 12
      {"000000000000", "000000000000"},
  };
  for (const auto& c : cases) {
    ASSERT_EQ(AdminRecordOf(c.entry), c.record);
    ASSERT_TRUE(WriteAdminRecord(file, AdminRecordOf(c.entry)));
    const std::string after = Read(file);
    ASSERT_EQ(after.size(), before.size());
    EXPECT_EQ(after.substr(5000, 12), c.record);
    EXPECT_EQ(after.substr(0, 5000), before.substr(0, 5000));
    EXPECT_EQ(after.substr(5012), before.substr(5012));
    EXPECT_EQ(ReadAdminRecord(file), c.record);
  }
}

TEST(AdminRecord, TheRecordEndsAtItsFirstZeroByte) {
  const std::string file = Dir() + "/zero.dll";
  std::string bytes = Filler();
  bytes.replace(5000, 12, std::string("12\0" "456789abc", 12));
  Write(file, bytes);
  EXPECT_EQ(ReadAdminRecord(file), "12");
  // A file that ends inside the record gives what there is of it.
  Write(file, bytes.substr(0, 5002));
  EXPECT_EQ(ReadAdminRecord(file), "12");
  Write(file, bytes.substr(0, 4000));
  EXPECT_EQ(ReadAdminRecord(file), "");
}

TEST(AdminRecord, AMissingOrReadOnlyFileIsLeftAsItIsAndSaysSo) {
  const std::string missing = Dir() + "/nothing/sxut.dll";
  EXPECT_EQ(ReadAdminRecord(missing), "");
  EXPECT_FALSE(WriteAdminRecord(missing, AdminRecordOf("1")));
  EXPECT_EQ(Read(missing), "");

  const std::string locked = Dir() + "/locked.dll";
  Write(locked, Filler());
  filetest::Unwritable guard(locked);
  if (!guard.Made()) GTEST_SKIP() << "no way to make a file unwritable here";
  EXPECT_FALSE(WriteAdminRecord(locked, AdminRecordOf("1")));
  EXPECT_EQ(Read(locked), Filler());
}

TEST(AdminRecord, AShortFileGrowsToHoldTheRecord) {
  const std::string file = Dir() + "/short.dll";
  Write(file, "abc");
  ASSERT_TRUE(WriteAdminRecord(file, AdminRecordOf("77")));
  const std::string after = Read(file);
  ASSERT_EQ(after.size(), 5012u);
  EXPECT_EQ(after.substr(0, 3), "abc");
  EXPECT_EQ(after.substr(3, 4997), std::string(4997, '\0'));
  EXPECT_EQ(after.substr(5000), "77          ");
}
