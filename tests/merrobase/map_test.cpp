#include "merrobase/map.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <filesystem>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "alloc_watch.h"
#include "test_files.h"
#include "tests/platform/fs/linked_file.h"

namespace fs = std::filesystem;

namespace {

const std::string kA = "\xB0\xA1";  // 啊
const std::string kB = "\xB0\xA2";  // 阿

// A map whose test code can fill it and see its contents.
struct TestMap : CMerroMap {
  TestMap() { m_pDao->m_nSleep = 0; }
  void Put(const std::string& key, const std::string& value) {
    m_nValueIsString = 1;
    CObject* old;
    if (Lookup(key.c_str(), old)) delete reinterpret_cast<CString*>(old);
    SetAt(key.c_str(), reinterpret_cast<CObject*>(new CString(value.data(), int(value.size()))));
  }
  std::map<std::string, std::string> Contents() {
    std::map<std::string, std::string> out;
    for (POSITION pos = GetStartPosition(); pos;) {
      CString key;
      CObject* value;
      GetNextAssoc(pos, key, value);
      const CString& v = *reinterpret_cast<CString*>(value);
      out[std::string(static_cast<LPCTSTR>(key))] = std::string(v, size_t(v.GetLength()));
    }
    return out;
  }
  int ValueIsString() const { return m_nValueIsString; }
};

std::string Str(const std::string& bytes) {  // archived string form
  size_t n = bytes.size();
  std::string prefix;
  if (n < 255)
    prefix = std::string(1, char(n));
  else if (n < 0xFFFE)
    prefix = std::string("\xFF", 1) + char(n & 0xFF) + char(n >> 8);
  else
    prefix = std::string("\xFF\xFF\xFF", 3) + char(n & 0xFF) + char((n >> 8) & 0xFF) + char((n >> 16) & 0xFF) + char(n >> 24);
  return prefix + bytes;
}

std::string Count(int n) { return std::string(reinterpret_cast<const char*>(&n), 4); }

std::string Pattern(size_t n, int seed) {
  std::string s(n, '\0');
  for (size_t i = 0; i < n; ++i) s[i] = char(i * 31 + seed);
  return s;
}

}  // namespace

TEST(CMerroMap, ArchiveBytes) {
  std::string v255 = Pattern(255, 1), v70000 = Pattern(70000, 2);
  TestMap m;
  m.Put(kA, v255);
  m.Put(kB, v70000);
  ASSERT_EQ(m.On_Export("two.map", 0), 1);
  std::string pairA = "\x02" + kA + std::string("\xFF\xFF\x00", 3) + v255;
  std::string pairB = "\x02" + kB + std::string("\xFF\xFF\xFF\x70\x11\x01\x00", 7) + v70000;
  std::string file = Slurp("two.map");
  // Pairs follow the map's iteration order, which carries no meaning.
  EXPECT_TRUE(file == Count(2) + pairA + pairB || file == Count(2) + pairB + pairA);
  EXPECT_EQ(file.size(), 4 + pairA.size() + pairB.size());

  TestMap one;
  one.Put(kA, "a");
  ASSERT_EQ(one.On_Export("one.map", 0), 1);
  EXPECT_EQ(Slurp("one.map"), std::string("\x01\x00\x00\x00\x02\xB0\xA1\x01" "a", 9));
}

TEST(CMerroMap, ExportRewritesTheFileANameLeadsToAndKeepsItsLinks) {
  for (int scrambled : {0, 1})
    for (const auto& k : linktest::kKinds) {
      linktest::Linked file(fs::current_path().string() + "/links", k.kind, "old map", "x.map");
      if (!file.Made()) continue;  // no read-only folder on this file system
      SCOPED_TRACE(std::string(k.label) + (scrambled ? ", scrambled" : ""));
      TestMap m;
      m.Put(kA, Pattern(300, 5));
      ASSERT_EQ(m.On_Export(file.Name().c_str(), scrambled), 1);
      EXPECT_TRUE(file.Intact());
      TestMap back;
      ASSERT_EQ(back.On_Read(file.Name().c_str(), scrambled), 1);
      EXPECT_EQ(back.Contents(), m.Contents());
      TestMap direct;  // the file itself holds the map
      ASSERT_EQ(direct.On_Read((fs::current_path().string() + "/links/real/x.map").c_str(), scrambled), 1);
      EXPECT_EQ(direct.Contents(), m.Contents());
    }
}

TEST(CMerroMap, RoundTrips) {
  for (int scrambled : {0, 1}) {
    TestMap m;
    m.Put(kA, Pattern(255, 3));
    m.Put(kB, std::string("x\0y", 3));
    m.Put("", "");
    ASSERT_EQ(m.On_Export("rt.map", scrambled), 1);
    TestMap back;
    ASSERT_EQ(back.On_Read("rt.map", scrambled), 1);
    EXPECT_EQ(back.Contents(), m.Contents()) << scrambled;
    EXPECT_EQ(back.ValueIsString(), 1);
  }
  TestMap m;
  m.Put(kA, "a");
  m.On_Export("plain.map", 0);
  m.On_Export("scrambled.map", 1);
  EXPECT_EQ(fs::file_size("scrambled.map"), fs::file_size("plain.map") + 6);
  CMerroDao dao;
  ASSERT_EQ(dao.On_JieMi_File("scrambled.map"), 1);
  EXPECT_EQ(Slurp("scrambled.map"), Slurp("plain.map"));
}

TEST(CMerroMap, EmptyMapIsAnEmptyFile) {
  for (int scrambled : {0, 1}) {
    TestMap m;
    ASSERT_EQ(m.On_Export("empty.map", scrambled), 1);
    EXPECT_EQ(fs::file_size("empty.map"), 0u);
    TestMap back;
    back.Put("old", "value");
    testing::internal::CaptureStderr();
    EXPECT_EQ(back.On_Read("empty.map", scrambled), 1);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");  // no message
    EXPECT_TRUE(back.IsEmpty());
  }
}

// Short or damaged archives never throw out of the library: end of data
// inside the pairs empties the map and gives 0.
TEST(CMerroMap, DamagedArchives) {
  struct Case {
    std::string bytes;
    int result;
    size_t count;
  } cases[] = {
      {Count(0), 1, 0},
      {Count(-5) + "junk", 1, 0},
      {"\x01", 0, 0},                                       // count cut short
      {Count(2) + Str("k") + Str("v"), 0, 0},               // second pair missing
      {Count(1) + Str("k"), 0, 0},                          // value missing
      {Count(1) + Str("k") + "\x05" "ab", 0, 0},            // value cut short
      {Count(1) + Str("k") + std::string("\xFF\xFF\xFF\xFF\xFF\xFF\x7F", 7), 0, 0},  // absurd length
      {Count(0x7FFFFFFF) + Str("k") + Str("v"), 0, 0},
      {Count(1) + Str("k") + Str("v") + "trailing", 1, 1},
      {Count(2) + Str("k") + Str("1") + Str("k") + Str("2"), 1, 1},  // repeated key: the later wins
  };
  for (const Case& c : cases) {
    Spit("bad.map", c.bytes);
    TestMap m;
    m.Put("before", "x");
    EXPECT_EQ(m.On_Read("bad.map", 0), c.result) << testing::PrintToString(c.bytes);
    EXPECT_EQ(size_t(m.GetCount()), c.count) << testing::PrintToString(c.bytes);
  }
  TestMap m;
  Spit("dup.map", Count(2) + Str("k") + Str("1") + Str("k") + Str("2"));
  ASSERT_EQ(m.On_Read("dup.map", 0), 1);
  EXPECT_EQ(m.Contents()["k"], "2");
}

// Loaded values are CStrings and are freed as such: replaced, cleared or
// destroyed, nothing stays behind.
TEST(CMerroMap, ValuesDoNotLeak) {
  Spit("dup.map", Count(3) + Str("k") + Str(Pattern(300, 1)) + Str("k") + Str(Pattern(300, 2)) + Str("j") + Str(Pattern(300, 3)));
  Spit("cut.map", Count(3) + Str("k") + Str(Pattern(300, 1)) + Str("j"));
  long before = LiveBlocks();
  {
    TestMap m;
    ASSERT_EQ(m.On_Read("dup.map", 0), 1);
    ASSERT_EQ(m.On_Read("dup.map", 0), 1);
    ASSERT_EQ(m.On_Read("cut.map", 0), 0);
    ASSERT_EQ(m.On_Read("dup.map", 0), 1);
  }
  EXPECT_EQ(LiveBlocks(), before);
}

TEST(CMerroMap, ReadFailures) {
  TestMap m;
  m.Put("keep", "me");
  EXPECT_EQ(m.On_Read("missing.map", 0), 0);  // plain: no message
  testing::internal::CaptureStderr();
  EXPECT_EQ(m.On_Read("db\\missing.map", 1), 0);
  std::string err = testing::internal::GetCapturedStderr();
  EXPECT_NE(err.find("db\\missing.map"), std::string::npos) << err;  // the box names the file
  Spit("short.map", "abc");
  testing::internal::CaptureStderr();
  EXPECT_EQ(m.On_Read("short.map", 1), 0);
  EXPECT_NE(testing::internal::GetCapturedStderr().find("short.map"), std::string::npos);
  EXPECT_EQ(m.Contents(), (std::map<std::string, std::string>{{"keep", "me"}}));
  fs::create_directory("folder.map");
  EXPECT_EQ(m.On_Read("folder.map", 0), 0);
}

TEST(CMerroMap, EmptyNameMeansTheSetFile) {
  TestMap m;
  m.Put(kA, "a");
  m.On_Set_File("set.map");
  ASSERT_EQ(m.On_Export("", 1), 1);
  ASSERT_TRUE(fs::exists("set.map"));
  TestMap back;
  back.On_Set_File("set.map");
  ASSERT_EQ(back.On_Read("", 1), 1);
  EXPECT_EQ(back.Contents(), m.Contents());
}

TEST(CMerroMap, ExportFailureKeepsTheOldFile) {
  TestMap small;
  small.Put("a", "b");
  ASSERT_EQ(small.On_Export("keep.map", 0), 1);
  std::string old = Slurp("keep.map");
  TestMap big;
  big.Put("k", Pattern(5000, 1));
  {
    FileSizeLimit limit(1024);
    EXPECT_EQ(big.On_Export("keep.map", 0), 0);
    EXPECT_EQ(big.On_Export("nodir\\x.map", 0), 0);
  }
  EXPECT_EQ(Slurp("keep.map"), old);
}

TEST(CMerroMap, GetValue) {
  TestMap m;
  int sentinel;
  void* out = &sentinel;
  EXPECT_EQ(m.On_Get_Value(kA.c_str(), &out), 0);  // empty map
  EXPECT_EQ(out, &sentinel);
  m.Put(kA, "a");
  EXPECT_EQ(m.On_Get_Value("zz", &out), 0);
  EXPECT_EQ(out, &sentinel);
  ASSERT_EQ(m.On_Get_Value(kA.c_str(), &out), 1);
  EXPECT_EQ(*static_cast<CString*>(out), "a");
  EXPECT_EQ(m.On_Get_Doing(), 0);
}

TEST(CMerroMap, ConcurrentLookups) {
  TestMap m;
  for (int i = 0; i < 500; ++i) {
    char key[16];
    snprintf(key, sizeof key, "%d", i);
    m.Put(key, std::string(size_t(i % 7), char('a' + i % 26)));
  }
  std::atomic<int> wrong{0};
  std::vector<std::thread> threads;
  for (int t = 0; t < 8; ++t)
    threads.emplace_back([&, t] {
      for (int n = 0; n < 20000; ++n) {
        int i = (n * 7 + t) % 600;
        char key[16];
        snprintf(key, sizeof key, "%d", i);
        void* value = nullptr;
        int found = m.On_Get_Value(key, &value);
        if (found != (i < 500) ||
            (found && *static_cast<CString*>(value) != CString(std::string(size_t(i % 7), char('a' + i % 26)).c_str())))
          ++wrong;
      }
    });
  for (auto& th : threads) th.join();
  EXPECT_EQ(wrong, 0);
}

TEST(CMerroMap, CharacterPositions) {
  struct Case {
    std::string ch;
    int qw, row, cell;
    long pos;
  } cases[] = {
      {"\xB0\xA1", 1, 16, 1, 0},       // 啊
      {"\xB0\xA2", 1, 16, 2, 1},       // 阿
      {"\xD6\xD0", 1, 54, 48, 3619},   // 中
      {"\xD7\xF9", 1, 55, 89, 3754},   // 座, the last level-1 character
      {"\xD7\xFA", 1, 55, 90, -1},     // unassigned
      {"\xD7\xFE", 1, 55, 94, -1},     // unassigned
      {"\xD8\xA1", 1, 56, 1, 3755},    // 亍, the first level-2 character
      {"\xF7\xFE", 1, 87, 94, 6762},   // 齄
      {"AB", 1, -95, -94, -1},
      {"\xA1\xA1", 1, 1, 1, -1},       // symbols
      {"\xB0\xA0", 1, 16, 0, -1},
      {"\xB0\xFF", 1, 16, 95, -1},
      {"\xF8\xA1", 1, 88, 1, -1},
      {"A", 0, 7, 7, -1},
      {"\xB0\xA1" "a", 0, 7, 7, -1},
      {"", 0, 7, 7, -1},
  };
  for (const Case& c : cases) {
    int row = 7, cell = 7;
    CString ch(c.ch.data(), int(c.ch.size()));
    EXPECT_EQ(CMerroMap::On_Get_QW(ch, row, cell), c.qw) << c.pos;
    EXPECT_EQ(row, c.row);
    EXPECT_EQ(cell, c.cell);
    EXPECT_EQ(CMerroMap::On_Get_Pos(ch), c.pos) << row << "," << cell;
    if (c.qw == 1) {
      EXPECT_EQ(CMerroMap::On_Get_HZ(row, cell), c.pos >= 0 ? ch : CString());
    }
  }
  // Every assigned character has its own position, in order.
  long next = 0;
  for (int row = 16; row <= 87; ++row)
    for (int cell = 1; cell <= 94; ++cell) {
      CString ch = CMerroMap::On_Get_HZ(row, cell);
      if (ch.IsEmpty()) continue;
      ASSERT_EQ(CMerroMap::On_Get_Pos(ch), next++);
    }
  EXPECT_EQ(next, 6763);
}

// What a derived map relies on: its loader sees the whole plain file in the
// memory file from the first byte, may read it directly, and a loader that
// runs out of data leaves an empty map and 0.
namespace {
struct RecordMap : CMerroMap {
  RecordMap() { m_pDao->m_nSleep = 0; }
  std::string seen;
  bool viaArchive = false;
  void On_Read_Data() override {
    On_delete_value();
    if (viaArchive) {
      m_nDoing = 1;
      int count;
      *m_pArchive >> count;
      for (int i = 0; i < count; ++i) {
        CString key;
        *m_pArchive >> key >> m_strValue;
        SetAt(key, reinterpret_cast<CObject*>(operator new(1)));
      }
      m_nDoing = 0;
      return;
    }
    m_nDoing = 1;
    seen.resize(size_t(m_pMemFile->GetLength()));
    EXPECT_EQ(m_pMemFile->GetPosition(), 0u);
    m_pMemFile->Read(seen.data(), UINT(seen.size()));
    m_nDoing = 0;
  }
  void On_Write_Data() override {}
};
}  // namespace

TEST(CMerroMap, DerivedLoaders) {
  std::string bytes = Count(1) + std::string("a1\0\0\0\0\0\0\0", 9) + std::string(18, 'r');
  Spit("wave.dat", bytes);
  CMerroDao dao;
  dao.m_nSleep = 0;
  ASSERT_EQ(dao.On_JiaMi_File("wave.dat"), 1);
  RecordMap m;
  ASSERT_EQ(m.On_Read("wave.dat", 1), 1);
  EXPECT_EQ(m.seen, bytes);
  EXPECT_EQ(m.On_Get_Doing(), 0);

  m.viaArchive = true;
  Spit("cut.dat", Count(3) + Str("k") + Str("v"));
  EXPECT_EQ(m.On_Read("cut.dat", 0), 0);
  EXPECT_TRUE(m.IsEmpty());  // raw values freed with operator delete
  EXPECT_EQ(m.On_Get_Doing(), 0);  // a loader that ran out of data is no longer busy
  ASSERT_EQ(m.On_Export("none.dat", 0), 1);
  EXPECT_EQ(fs::file_size("none.dat"), 0u);
}
