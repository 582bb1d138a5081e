#include "platform/mfc/archive.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/mfc/mem_file.h"
#include "tests/platform/mfc/exception_cause.h"

namespace {

// Bytes an archive writes for `fill`, through a memory file that grows.
template <class F>
std::string Stored(F fill) {
  CMemFile mem(256);
  {
    CArchive ar(&mem, CArchive::store);
    fill(ar);
    ar.Close();
  }
  std::string out(size_t(mem.GetLength()), '\0');
  mem.SeekToBegin();
  mem.Read(out.data(), UINT(out.size()));
  return out;
}

CString Loaded(const std::string& bytes) {
  CMemFile mem(reinterpret_cast<BYTE*>(const_cast<char*>(bytes.data())), UINT(bytes.size()));
  CArchive ar(&mem, CArchive::load);
  CString s;
  ar >> s;
  mem.Detach();
  return s;
}

int LoadFailure(const std::string& bytes) {
  return test::CauseOf<CArchiveException>([&] { Loaded(bytes); });
}

}  // namespace

TEST(CArchive, StringPrefixHasOneThreeOrSevenBytes) {
  struct Case {
    int length;
    std::string prefix;
  } cases[] = {
      {0, std::string("\x00", 1)},
      {1, "\x01"},
      {254, "\xFE"},
      {255, std::string("\xFF\xFF\x00", 3)},
      {65533, "\xFF\xFD\xFF"},
      {65534, std::string("\xFF\xFF\xFF\xFE\xFF\x00\x00", 7)},
      {65536, std::string("\xFF\xFF\xFF\x00\x00\x01\x00", 7)},
      {70000, std::string("\xFF\xFF\xFF\x70\x11\x01\x00", 7)},
  };
  for (const Case& c : cases) {
    std::string value(size_t(c.length), '\0');
    for (size_t i = 0; i < value.size(); ++i) value[i] = char(i * 7 + 1);
    CString s(value.data(), c.length);
    std::string bytes = Stored([&](CArchive& ar) { ar << s; });
    const std::string& prefix = c.prefix;
    EXPECT_EQ(bytes.substr(0, prefix.size()), prefix) << c.length;
    EXPECT_EQ(bytes.substr(prefix.size()), value) << c.length;
    EXPECT_EQ(Loaded(bytes), s) << c.length;
  }
}

TEST(CArchive, ReadsTheSixteenBitForm0xFFFE) {
  std::string bytes = std::string("\xFF\xFE\xFF", 3) + std::string(0xFFFE, 'q');
  EXPECT_EQ(Loaded(bytes).GetLength(), 0xFFFE);
}

TEST(CArchive, IntegersAreLittleEndian) {
  std::string bytes = Stored([](CArchive& ar) { ar << int(0x01020304) << WORD(0xBEEF) << BYTE(7) << short(-2) << DWORD(0xFFFFFFFE); });
  EXPECT_EQ(bytes, std::string("\x04\x03\x02\x01\xEF\xBE\x07\xFE\xFF\xFE\xFF\xFF\xFF", 13));
  CMemFile mem(reinterpret_cast<BYTE*>(bytes.data()), UINT(bytes.size()));
  CArchive ar(&mem, CArchive::load);
  int i;
  WORD w;
  BYTE b;
  short s;
  DWORD d;
  ar >> i >> w >> b >> s >> d;
  EXPECT_EQ(i, 0x01020304);
  EXPECT_EQ(w, 0xBEEF);
  EXPECT_EQ(b, 7);
  EXPECT_EQ(s, -2);
  EXPECT_EQ(d, 0xFFFFFFFEu);
  mem.Detach();
}

TEST(CArchive, EndOfDataRaises) {
  struct Case {
    std::string bytes;
  } cases[] = {
      {""},                                   // no prefix
      {"\x05" "abc"},                         // string cut short
      {"\xFF\x10"},                           // 16-bit length cut short
      {std::string("\xFF\xFF\xFF\x01\x00", 5)},               // 32-bit length cut short
      {std::string("\xFF\xFF\xFF\x00\x00\x00\x7F", 7) + "xy"},  // 2 GiB claimed
  };
  for (const Case& c : cases) EXPECT_EQ(LoadFailure(c.bytes), CArchiveException::endOfFile);
  EXPECT_EQ(LoadFailure(std::string("\xFF\xFF\xFF\xFF\xFF\xFF\xFF", 7)), CArchiveException::badSchema);

  BYTE three[3] = {1, 2, 3};
  CMemFile mem(three, 3);
  CArchive ar(&mem, CArchive::load);
  int v = 0;
  EXPECT_EQ(test::CauseOf<CArchiveException>([&] { ar >> v; }), CArchiveException::endOfFile);
  mem.Detach();
}

// A loader may read straight from the memory file while a load archive
// exists: the archive must not have taken anything before its first use.
TEST(CArchive, LoadReadsNothingUntilAsked) {
  BYTE data[8] = {1, 0, 0, 0, 2, 0, 0, 0};
  CMemFile mem(data, 8);
  CArchive ar(&mem, CArchive::load, 4096);
  EXPECT_EQ(mem.GetPosition(), 0u);
  int first;
  ar >> first;
  EXPECT_EQ(first, 1);
  ar.Close();  // gives back what it buffered
  EXPECT_EQ(mem.GetPosition(), 4u);
  mem.Detach();
}

TEST(CArchive, WrongDirectionRaises) {
  CMemFile mem;
  CArchive ar(&mem, CArchive::store);
  int v;
  EXPECT_EQ(test::CauseOf<CArchiveException>([&] { ar >> v; }), CArchiveException::writeOnly);
}

TEST(CArchive, OverAFileLargerThanItsBuffer) {
  std::string big(10000, 'z');
  {
    CFile f("ar.bin", CFile::modeCreate | CFile::modeWrite);
    CArchive ar(&f, CArchive::store, 512);
    for (int i = 0; i < 100; ++i) ar << i;
    ar << CString(big.c_str());
    ar << CString("end");
  }  // the destructor flushes
  CFile f("ar.bin", CFile::modeRead);
  EXPECT_EQ(f.GetLength(), 400u + 3 + 10000 + 4);
  CArchive ar(&f, CArchive::load, 512);
  for (int i = 0; i < 100; ++i) {
    int v;
    ar >> v;
    ASSERT_EQ(v, i);
  }
  CString s, e;
  ar >> s >> e;
  EXPECT_EQ(s, big.c_str());
  EXPECT_EQ(e, "end");
}

TEST(CMemFile, AttachedBlockForReading) {
  BYTE data[5] = {'h', 'e', 'l', 'l', 'o'};
  CMemFile mem;
  mem.Attach(data, 5);
  EXPECT_EQ(mem.GetLength(), 5u);
  char buf[8] = {};
  mem.Seek(3, CFile::begin);
  EXPECT_EQ(mem.Read(buf, 8), 2u);
  EXPECT_STREQ(buf, "lo");
  EXPECT_EQ(mem.Seek(4, CFile::end), 9u);  // past the end is allowed
  EXPECT_EQ(mem.Read(buf, 8), 0u);
  EXPECT_EQ(test::CauseOf<CFileException>([&] { mem.Seek(-1, CFile::begin); }), CFileException::badSeek);
  mem.SeekToBegin();
  mem.Write("J", 1);  // inside the block
  EXPECT_EQ(data[0], 'J');
  mem.SeekToEnd();
  // A block attached without growth cannot grow.
  EXPECT_EQ(test::CauseOf<CFileException>([&] { mem.Write("!", 1); }), CFileException::diskFull);
  EXPECT_EQ(mem.Detach(), data);
  EXPECT_EQ(mem.GetLength(), 0u);
}

TEST(CMemFile, AttachedBlockGrows) {
  BYTE* block = static_cast<BYTE*>(malloc(10));
  CMemFile mem;
  mem.Attach(block, 10, 256);
  EXPECT_EQ(mem.GetLength(), 0u);  // a growing file starts empty
  std::string text(1000, 'k');
  mem.Write(text.data(), UINT(text.size()));
  mem.Seek(1010, CFile::begin);
  mem.Write("e", 1);  // the gap reads as zero bytes
  EXPECT_EQ(mem.GetLength(), 1011u);
  BYTE* back = mem.Detach();
  EXPECT_EQ(std::string(reinterpret_cast<char*>(back), 1000), text);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(back) + 1000, 11), std::string(10, '\0') + "e");
  free(back);
}
