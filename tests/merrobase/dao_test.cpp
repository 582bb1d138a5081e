#include "merrobase/dao.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <memory>
#include <set>
#include <string>

#include "alloc_watch.h"
#include "test_files.h"
#include "tests/platform/fs/killed_writer.h"
#include "tests/platform/fs/linked_file.h"

namespace fs = std::filesystem;

namespace {

const std::string kAlphabet = "abcdefghijklmnopqrstuvwxyz1234567890ABCDEFGHIJKLMNOPQRSTUVWXYZ";

// A scrambler whose header draws give the raw header `raw`, without pauses.
struct Dao : CMerroDao {
  explicit Dao(const std::string& raw = "abc123") {
    m_nSleep = 0;
    auto next = std::make_shared<size_t>(0);
    m_fnKeySource = [raw, next] { return int(kAlphabet.find(raw[(*next)++ % 6])); };
  }
};

std::string Hex(const std::string& s) {
  std::string out;
  char b[4];
  for (unsigned char c : s) snprintf(b, sizeof b, "%02X ", c), out += b;
  return out;
}

// Whole read; "" with ok = false when refused.
std::string ReadWhole(const char* name, bool* ok = nullptr) {
  CMerroDao dao;
  unsigned char* buf = NULL;
  long len = -1;
  int r = dao.On_JieMi_File(name, &buf, len);
  if (ok) *ok = r == 1;
  std::string out = r == 1 ? std::string(reinterpret_cast<char*>(buf), size_t(len)) : "";
  operator delete(buf);
  return out;
}

std::string ReadSlice(const char* name, long offset, long length, int* result = nullptr) {
  CMerroDao dao;
  unsigned char* buf = NULL;
  int r = dao.On_JieMi_File(name, &buf, offset, length);
  if (result) *result = r;
  std::string out = r == 1 ? std::string(reinterpret_cast<char*>(buf), size_t(length)) : "";
  operator delete(buf);
  return out;
}

std::string Scrambled(const std::string& raw, const std::string& plain) {
  Spit("s.tmp", plain);
  Dao dao(raw);
  EXPECT_EQ(dao.On_JiaMi_File("s.tmp"), 1);
  return Slurp("s.tmp");
}

}  // namespace

// Raw header mixed with the mask, data XORed with H3, H4, H5 in turn.
TEST(CMerroDao, ScramblesByteForByte) {
  struct Case {
    std::string raw, plain, scrambled;
  } cases[] = {
      {"abc123", "Hello", std::string("\x2C\x03\x02\x30\x33\x32\x79\x57\x5F\x5D\x5D", 11)},  // T odd: 'M'
      {"eeeeee", "Hello", std::string("\x28\x00\x00\x65\x65\x65\x2D\x00\x09\x09\x0A", 11)},
      {"eeeiii", "Hello", std::string("\x28\x00\x00\x69\x69\x69\x21\x0C\x05\x05\x06", 11)},
      {"abc123", "Hello!", std::string("\x23\x03\x02\x30\x33\x32\x79\x57\x5F\x5D\x5D\x12", 12)},  // T even: 'B'
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Hex(Scrambled(c.raw, c.plain)), Hex(c.scrambled)) << c.raw << " " << c.plain;
    CString text(c.plain.c_str());
    Dao dao(c.raw);
    ASSERT_EQ(dao.On_JiaMi_String(text), 1);
    EXPECT_EQ(Hex(std::string(text, size_t(text.GetLength()))), Hex(c.scrambled));  // strings hold the same bytes
  }
}

// The mask letter only reaches S0, H0..H2: any S0 reads back the same data.
TEST(CMerroDao, ReadsUnderAnyMaskPair) {
  std::string form("?\x03\x02\x30\x33\x32\x79\x57\x5F\x5D\x5D", 11);
  for (int s0 = 0; s0 < 256; ++s0) {
    form[0] = char(s0);
    Spit("h.bin", form);
    ASSERT_EQ(ReadWhole("h.bin"), "Hello") << s0;
    ASSERT_EQ(ReadSlice("h.bin", 2, 2), "ll");
    ASSERT_EQ(ReadSlice("h.bin", 4, 1), "o");
    CString text(form.data(), 11);
    ASSERT_EQ(CMerroDao().On_JieMi_String(text), 1);
    ASSERT_EQ(text, "Hello");
  }
  CMerroDao dao;
  ASSERT_EQ(dao.On_JieMi_File("h.bin"), 1);
  EXPECT_EQ(Slurp("h.bin"), "Hello");
}

TEST(CMerroDao, LengthRules) {
  for (int n = 0; n <= 6; ++n) {
    Spit("short.bin", std::string(size_t(n), 'x'));
    CMerroDao dao;
    unsigned char sentinel = 0;
    unsigned char* buf = &sentinel;
    long len = -7;
    EXPECT_EQ(dao.On_JieMi_File("short.bin", &buf, len), 0) << n;
    EXPECT_EQ(dao.On_JieMi_File("short.bin", &buf, 0L, 1L), 0) << n;
    EXPECT_EQ(buf, &sentinel);  // untouched, not freed
    EXPECT_EQ(len, -7);
    EXPECT_EQ(dao.On_JieMi_File("short.bin"), 0);
    CString text(std::string(size_t(n), 'x').c_str());
    EXPECT_EQ(dao.On_JieMi_String(text), 0);
    EXPECT_EQ(Slurp("short.bin").size(), size_t(n));
  }
  EXPECT_EQ(ReadWhole("missing.bin").size(), 0u);

  Spit("seven.bin", "abcdefg");
  bool ok;
  EXPECT_EQ(ReadWhole("seven.bin", &ok).size(), 1u);
  EXPECT_TRUE(ok);

  Spit("empty.bin", "");
  Dao dao;
  EXPECT_EQ(dao.On_JiaMi_File("empty.bin"), 0);
  EXPECT_EQ(fs::file_size("empty.bin"), 0u);
  CString none;
  EXPECT_EQ(dao.On_JiaMi_String(none), 0);
  EXPECT_EQ(dao.On_JiaMi_File("missing.bin"), 0);
  EXPECT_FALSE(fs::exists("missing.bin"));
}

// Every slice of a 20-byte file, in every key phase, equals the whole read.
TEST(CMerroDao, SlicesAgreeWithWholeReads) {
  std::string plain = "0123456789abcdefghij";
  Scrambled("Zq9x0A", plain);
  ASSERT_EQ(ReadWhole("s.tmp"), plain);
  for (long o = 0; o < 20; ++o)
    for (long n = 0; n <= 20 - o; ++n) ASSERT_EQ(ReadSlice("s.tmp", o, n), plain.substr(size_t(o), size_t(n))) << o;
  EXPECT_EQ(ReadSlice("s.tmp", 5, 4), ReadWhole("s.tmp").substr(5, 4));
}

// Files of several read pieces (a piece is not a whole number of key
// periods): every byte is unscrambled with its own position's key, by the
// whole read, the slice and the one in place alike.
TEST(CMerroDao, LargeFilesUnscrambleByteForByte) {
  for (size_t size : {size_t(256 << 10) * 3 + 5, size_t(1) << 20}) {
    std::string plain(size, '\0');
    uint32_t seed = uint32_t(size);
    for (char& c : plain) c = char((seed = seed * 1103515245u + 12345u) >> 24);
    const std::string form = Scrambled("Zq9x0A", plain);
    ASSERT_EQ(form.size(), size + 6);
    // The keys are the raw header's H3, H4 and H5 in turn.
    for (size_t p : {size_t(0), size_t(1), size_t(2), size_t(262143), size_t(262144), size_t(262145), size - 1})
      ASSERT_EQ(char(form[6 + p] ^ plain[p]), "x0A"[p % 3]) << p;
    ASSERT_TRUE(ReadWhole("s.tmp") == plain) << size;
    ASSERT_TRUE(ReadSlice("s.tmp", 262140, 10) == plain.substr(262140, 10));
    CMerroDao dao;
    ASSERT_EQ(dao.On_JieMi_File("s.tmp"), 1);
    ASSERT_TRUE(Slurp("s.tmp") == plain) << size;
  }
}

TEST(CMerroDao, SliceOfLengthZeroIsAnEmptyBuffer) {
  Scrambled("abc123", "Hello");
  CMerroDao dao;
  unsigned char* buf = NULL;
  EXPECT_EQ(dao.On_JieMi_File("s.tmp", &buf, 3L, 0L), 1);
  EXPECT_NE(buf, nullptr);
  operator delete(buf);
}

TEST(CMerroDao, SlicePastTheEndIsZeroFilled) {
  Scrambled("abc123", "Hello");
  int r;
  EXPECT_EQ(ReadSlice("s.tmp", 3, 6, &r), std::string("lo\0\0\0\0", 6));
  EXPECT_EQ(r, 1);
  EXPECT_EQ(ReadSlice("s.tmp", 9, 3, &r), std::string(3, '\0'));
  EXPECT_EQ(r, 1);

  CMerroDao dao;
  unsigned char sentinel = 0;
  unsigned char* buf = &sentinel;
  EXPECT_EQ(dao.On_JieMi_File("s.tmp", &buf, -1L, 2L), 0);
  EXPECT_EQ(dao.On_JieMi_File("s.tmp", &buf, 0L, -2L), 0);
  EXPECT_EQ(buf, &sentinel);
}

// A file that claims more bytes than it yields (a sysfs file says 4096) is
// refused instead of handing out a half-filled buffer.
TEST(CMerroDao, ShortReadIsAFailure) {
  const char* candidates[] = {"/sys/kernel/mm/transparent_hugepage/enabled", "/sys/power/state",
                              "/sys/kernel/profiling"};
  for (const char* name : candidates) {
    std::error_code ec;
    if (fs::file_size(name, ec) <= Slurp(name).size() + 6 || ec) continue;
    bool ok = true;
    ReadWhole(name, &ok);
    EXPECT_FALSE(ok) << name;
    int r = -1;
    ReadSlice(name, 0, 4000, &r);
    EXPECT_EQ(r, 0) << name;
    return;
  }
  GTEST_SKIP() << "no file that reads shorter than it says";
}

TEST(CMerroDao, ABufferPassedInIsFreedFirst) {
  Scrambled("abc123", "Hello");
  CMerroDao dao;
  unsigned char* buf = static_cast<unsigned char*>(operator new(100));
  long len;
  AllocWatch watch(buf);
  ASSERT_EQ(dao.On_JieMi_File("s.tmp", &buf, len), 1);
  EXPECT_TRUE(watch.Freed());
  AllocWatch again(buf);
  ASSERT_EQ(dao.On_JieMi_File("s.tmp", &buf, 1L, 2L), 1);
  EXPECT_TRUE(again.Freed());
  EXPECT_EQ(std::string(reinterpret_cast<char*>(buf), 2), "el");
  operator delete(buf);
}

TEST(CMerroDao, DoubleScramblingNeedsTwoUnscramblings) {
  Spit("d.bin", "payload");
  Dao first("aaaaaa"), second("ZZZZZZ");
  ASSERT_EQ(first.On_JiaMi_File("d.bin"), 1);
  ASSERT_EQ(second.On_JiaMi_File("d.bin"), 1);
  EXPECT_EQ(fs::file_size("d.bin"), 19u);
  CMerroDao dao;
  ASSERT_EQ(dao.On_JieMi_File("d.bin"), 1);
  EXPECT_NE(Slurp("d.bin"), "payload");
  EXPECT_EQ(ReadWhole("d.bin"), "payload");
  ASSERT_EQ(dao.On_JieMi_File("d.bin"), 1);
  EXPECT_EQ(Slurp("d.bin"), "payload");
}

TEST(CMerroDao, StringsWithZeroBytesRoundTrip) {
  std::string plain("\0a\0\0\xB0\xA1\0", 7);
  for (const char* raw : {"eeeeee", "abc123", "000000"}) {
    CString text(plain.data(), int(plain.size()));
    Dao dao(raw);
    ASSERT_EQ(dao.On_JiaMi_String(text), 1);
    EXPECT_EQ(text.GetLength(), 13);
    ASSERT_EQ(CMerroDao().On_JieMi_String(text), 1);
    EXPECT_EQ(std::string(text, size_t(text.GetLength())), plain) << raw;
  }
  // "eeeeee" over "e" data scrambles to zero bytes, header bytes 1 and 2 too.
  CString e("eee");
  Dao dao("eeeeee");
  ASSERT_EQ(dao.On_JiaMi_String(e), 1);
  EXPECT_EQ(std::string(e, 9).substr(1), std::string("\0\0eee\0\0\0", 8));
  ASSERT_EQ(CMerroDao().On_JieMi_String(e), 1);
  EXPECT_EQ(e, "eee");
}

// Without a source the header comes from the runtime generator, one
// alphabet character per draw, with five pauses of m_nSleep.
TEST(CMerroDao, DefaultHeaderDraws) {
  CMerroDao dao;
  EXPECT_EQ(dao.m_nSleep, 120);
  CString text("x");
  auto start = std::chrono::steady_clock::now();
  ASSERT_EQ(dao.On_JiaMi_String(text), 1);
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(600));
  const unsigned char* s = reinterpret_cast<const unsigned char*>(static_cast<LPCTSTR>(text));
  unsigned char h0 = s[0] ^ 'M';  // T = 7: the odd-length mask
  unsigned char raw[6] = {h0, (unsigned char)(s[1] ^ h0), (unsigned char)(s[2] ^ h0), 0, 0, 0};
  for (int k = 3; k < 6; ++k) raw[k] = s[k] ^ raw[1] ^ raw[2];
  for (unsigned char c : raw) EXPECT_NE(kAlphabet.find(char(c)), std::string::npos) << int(c);
}

// A rewrite that fails part-way leaves the old file whole.
TEST(CMerroDao, FailedRewriteKeepsTheOldFile) {
  fs::create_directory("rw");
  std::string plain(3000, 'p');
  Spit("rw/big.bin", plain);
  {
    FileSizeLimit limit(2048);
    EXPECT_EQ(Dao().On_JiaMi_File("rw\\big.bin"), 0);
  }
  EXPECT_EQ(Slurp("rw/big.bin"), plain);
  ASSERT_EQ(Dao().On_JiaMi_File("rw\\big.bin"), 1);
  std::string scrambled = Slurp("rw/big.bin");
  {
    FileSizeLimit limit(2048);
    EXPECT_EQ(CMerroDao().On_JieMi_File("rw\\big.bin"), 0);
    Spit("rw/other.bin", "xyz");
    EXPECT_EQ(Dao().On_Merge_File("rw\\big.bin", "rw\\other.bin", 1), 0);
  }
  EXPECT_EQ(Slurp("rw/big.bin"), scrambled);
  std::set<std::string> names;  // no temporary file left behind
  for (const auto& entry : fs::directory_iterator("rw")) names.insert(entry.path().filename().string());
  EXPECT_EQ(names, (std::set<std::string>{"big.bin", "other.bin", "other.bin.bak"}));
}

TEST(CMerroDao, ScramblingRewritesTheFileANameLeadsToAndKeepsItsLinks) {
  const std::string plain = "Hello world";
  const std::string scrambled = Scrambled("abc123", plain);
  for (const auto& k : linktest::kKinds) {
    if (k.kind == linktest::Kind::kDanglingSymlink) continue;  // nothing to scramble
    linktest::Linked file(fs::current_path().string() + "/links", k.kind, plain);
    if (!file.Made()) continue;  // no read-only folder on this file system
    SCOPED_TRACE(k.label);
    ASSERT_EQ(Dao("abc123").On_JiaMi_File(file.Name().c_str()), 1);
    EXPECT_EQ(file.Content(), scrambled);
    EXPECT_TRUE(file.Intact());
    EXPECT_EQ(ReadWhole(file.Name().c_str()), plain);
    ASSERT_EQ(Dao().On_JieMi_File(CString(file.Name().c_str())), 1);
    EXPECT_EQ(file.Content(), plain);
    EXPECT_TRUE(file.Intact());
  }
}

TEST(CMerroDao, AScrambledFileOverwrittenInPlaceIsReadWholeAfterAKill) {
  if (!linktest::HaveStrace()) GTEST_SKIP() << "strace is needed to kill the writer at a chosen step";
  // A hard-linked scrambled file: rewritten in place behind a journal.
  const std::string plain(3 << 20, 'p');
  Spit("new.plain", plain);
  ASSERT_EQ(Dao("abc123").On_JiaMi_File("new.plain"), 1);
  const std::string old = Scrambled("eeeeee", std::string(5 << 20, 'o'));
  linktest::Linked file(fs::current_path().string() + "/links", linktest::Kind::kHardLink, old);
  // Killed with a third of the new form copied over the old.
  linktest::KilledAt("pwrite64", 3, file.Name(), (fs::current_path() / "new.plain").string());
  ASSERT_NE(file.Content(), old);
  ASSERT_NE(file.Content(), Slurp("new.plain"));
  // The next read finishes the rewrite first.
  bool ok = false;
  EXPECT_EQ(ReadWhole(file.Name().c_str(), &ok), plain);
  EXPECT_TRUE(ok);
  EXPECT_EQ(file.Content(), Slurp("new.plain"));
  EXPECT_TRUE(file.Intact());
}

TEST(CMerroDao, MergePlainFiles) {
  Spit("first", "AB");
  Spit("second", "CD");
  ASSERT_EQ(Dao().On_Merge_File("first", "second", 0), 1);
  EXPECT_EQ(fs::file_size("first"), 10u);
  EXPECT_EQ(ReadWhole("first"), "ABCD");
  EXPECT_EQ(Slurp("first.bak"), "AB");
  EXPECT_EQ(Slurp("second.bak"), "CD");
  EXPECT_EQ(Slurp("second"), "CD");
}

TEST(CMerroDao, MergeScrambledFiles) {
  Spit("first", "AB");
  Spit("second", "CD");
  ASSERT_EQ(Dao("aaaaaa").On_JiaMi_File("first"), 1);
  ASSERT_EQ(Dao("bbbbbb").On_JiaMi_File("second"), 1);
  std::string first = Slurp("first"), second = Slurp("second");
  ASSERT_EQ(Dao("cccccc").On_Merge_File("first", "second", 1), 1);
  EXPECT_EQ(ReadWhole("first"), "ABCD");
  EXPECT_EQ(Slurp("first")[3], 'c');  // a new header: S3 = H3 ^ H1 ^ H2
  EXPECT_EQ(Slurp("first.bak"), first);
  EXPECT_EQ(Slurp("second.bak"), second);
  EXPECT_EQ(Slurp("second"), second);  // the second input stays scrambled
}

TEST(CMerroDao, MergeEdgeCases) {
  Spit("second", "CD");
  ASSERT_EQ(Dao().On_Merge_File("made", "second", 0), 1);  // a missing first file is made
  EXPECT_EQ(ReadWhole("made"), "CD");
  EXPECT_EQ(Dao().On_Merge_File("made", "missing", 0), 0);
  EXPECT_EQ(ReadWhole("made"), "CD");
  Spit("e1", "");
  Spit("e2", "");
  EXPECT_EQ(Dao().On_Merge_File("e1", "e2", 0), 0);  // nothing to scramble is no success
  EXPECT_EQ(fs::file_size("e1"), 0u);
  Spit("tiny", "xy");  // too short for the scrambled form: taken as it is
  ASSERT_EQ(Dao().On_Merge_File("tiny", "second", 1), 1);
  EXPECT_EQ(ReadWhole("tiny"), "xyCD");
}
