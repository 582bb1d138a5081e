// The dictionary readers: text entries in memory, the sound and stroke-count
// record maps and the text map, over files the fixture writes.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>

#include "engine_data.h"
#include "merrodataengine/dictionary/record_map.h"
#include "merrodataengine/dictionary/text_dictionary.h"
#include "merrodataengine/dictionary/text_map.h"

using namespace engine_test;
namespace fs = std::filesystem;

namespace {

// Empties an index map, whose values are CStrings the test made.
void FreeIndex(CMerroMap& index) {
  for (POSITION pos = index.GetStartPosition(); pos;) {
    CString key;
    CObject* v;
    index.GetNextAssoc(pos, key, v);
    delete reinterpret_cast<CString*>(v);
  }
  index.RemoveAll();
}

std::string Int32(long v) {
  std::string s;
  for (int i = 0; i < 4; ++i) s += char((unsigned long)v >> (8 * i) & 0xFF);
  return s;
}

const unsigned char* Bytes(const std::string& s) { return reinterpret_cast<const unsigned char*>(s.data()); }

void WriteScrambled(const std::string& path, const std::string& data) {
  ASSERT_TRUE(engine_fixture::WriteFile(path, engine_fixture::Scramble(data, "abc123", 'x')));
}

// Reaches the busy flag the loaders keep.
struct RecordMap : CMerroRecordMap {
  void SetBusy(int busy) { m_nDoing = busy; }
  int Source() const { return m_nSource; }
};

std::string Str(const CString& s) { return std::string(static_cast<LPCTSTR>(s), size_t(s.GetLength())); }

std::string Value(CMerroMap& map, const CString& key) {
  void* v = nullptr;
  return map.On_Get_Value(key, &v) ? Str(*static_cast<CString*>(v)) : "<none>";
}

// An 11-byte stroke-count record as {character, count, ordinal}.
std::string CountRecord(CMerroMap& map, const CString& key) {
  void* v = nullptr;
  if (!map.On_Get_Value(key, &v)) return "<none>";
  const unsigned char* r = static_cast<const unsigned char*>(v);
  int count, ordinal;
  memcpy(&count, r + 3, 4);
  memcpy(&ordinal, r + 7, 4);
  return std::string(reinterpret_cast<const char*>(r), 3) + "|" + std::to_string(count) + "|" +
         std::to_string(ordinal);
}

}  // namespace

TEST(DictionaryText, EntriesAndDamagedEntries) {
  // Entry 0 "a1", entry 1 "a", entry 2 runs past the end, entries 3..5 point
  // outside the text, give a negative length or stop inside the length.
  const std::string text = Int32(2) + "a1" + Int32(1) + "a" + Int32(50) + "xyz";
  const std::string offsets = Int32(0) + Int32(6) + Int32(11) + Int32(-4) + Int32(5) + Int32(long(text.size()) - 2);
  std::string negative = text;
  memcpy(&negative[11], Int32(-1).data(), 4);
  struct Case {
    long entry;
    const std::string& text;
    int result;
    std::string out;
  } cases[] = {{0, text, 1, "a1"},        {1, text, 1, "a"},          {2, text, 1, "xyz"},
               {2, negative, 0, "<kept>"}, {3, text, 0, "<kept>"},     {4, text, 1, std::string("\0a2\0\0\0xyz", 9)},
               {5, text, 0, "<kept>"},     {6, text, 0, "<kept>"},     {-1, text, 0, "<kept>"}};
  for (const Case& c : cases) {
    CString out = "<kept>";
    EXPECT_EQ(engine::DictionaryText(Bytes(offsets), long(offsets.size()), Bytes(c.text), long(c.text.size()), c.entry,
                                     &out),
              c.result)
        << c.entry;
    EXPECT_EQ(Str(out), c.out) << c.entry;
  }
  // An offsets buffer cut inside its last entry has no such entry.
  CString out;
  EXPECT_EQ(engine::DictionaryText(Bytes(offsets), 7, Bytes(text), long(text.size()), 1, &out), 0);
  EXPECT_EQ(engine::DictionaryText(nullptr, 0, Bytes(text), long(text.size()), 0, &out), 0);
}

TEST(SoundMap, RecordsBySyllable) {
  fs::create_directories("data");
  engine_fixture::Description d;
  std::string error;
  ASSERT_TRUE(engine_fixture::Parse("sound ma1 1 2.5 0.75\nsound a1 0 0.5 0.25\nsound ma1 2 1 0.5\n"
                                    "sound abcdefghi 3 4 5",
                                    &d, &error))
      << error;
  ASSERT_TRUE(engine_fixture::WriteDictionaryFiles(d, "data", &error)) << error;
  RecordMap map;
  ASSERT_EQ(map.On_Read("data\\src_hz_wave.dat", 1), 1);
  EXPECT_EQ(map.GetCount(), 3) << "a later record of a syllable replaces the earlier";
  struct Case {
    const char* key;
    int found;
    short minutes;
    double start, duration;
  } cases[] = {{"ma1", 1, 2, 1, 0.5}, {"a1", 1, 0, 0.5, 0.25}, {"abcdefghi", 1, 3, 4, 5}, {"ma", 0, 9, 9, 9}};
  for (const Case& c : cases) {
    short minutes = 9;
    double start = 9, duration = 9;
    EXPECT_EQ(map.On_Get_Wave_Pos(c.key, minutes, start, duration), c.found) << c.key;
    EXPECT_EQ(minutes, c.minutes) << c.key;
    EXPECT_EQ(start, c.start) << c.key;
    EXPECT_EQ(duration, c.duration) << c.key;
  }
  short m;
  double s, t;
  map.SetBusy(1);
  EXPECT_EQ(map.On_Get_Wave_Pos("a1", m, s, t), 0) << "busy";
  map.On_Read("data\\src_hz_wave.dat", 1);
  EXPECT_EQ(map.GetCount(), 3) << "a busy map does not load";
  map.SetBusy(0);
  // Exporting writes no entries.
  ASSERT_EQ(map.On_Export("data\\out.dat", 0), 1);
  EXPECT_EQ(fs::file_size("data/out.dat"), 0u);
}

// A count beyond the records that follow, or a record cut short, ends the
// loading with what was whole.
TEST(SoundMap, CountBeyondTheRecords) {
  fs::create_directories("data");
  const std::string a1 = engine_fixture::SoundRecord({"a1", 0, 1, 2});
  const std::string ma1 = engine_fixture::SoundRecord({"ma1", 0, 3, 4});
  WriteScrambled("data/long.dat", Int32(1000000) + a1 + ma1);
  WriteScrambled("data/cut.dat", Int32(2) + a1 + ma1.substr(0, 20));
  WriteScrambled("data/negative.dat", Int32(-3) + a1);
  struct Case {
    const char* file;
    int count;
  } cases[] = {{"data\\long.dat", 2}, {"data\\cut.dat", 1}, {"data\\negative.dat", 0}};
  for (const Case& c : cases) {
    RecordMap map;
    EXPECT_EQ(map.On_Read(c.file, 1), 1) << c.file;
    EXPECT_EQ(map.GetCount(), c.count) << c.file;
    EXPECT_EQ(map.On_Get_Doing(), 0);
  }
}

TEST(StrokeCountMap, EntriesAndOrdinals) {
  fs::create_directories("data");
  // 啊 "12 ", 阿 "123", 埃 "9ab", then 啊 again "7", then a part entry.
  WriteScrambled("data/src_hz_bhs.dat", "\xB0\xA1" "12 \xB0\xA2" "123\xB0\xA3" "9ab\xB0\xA1" "7  \xB0\xA4" "5");
  CMerroMap index;
  RecordMap map;
  map.On_Set_Index_Map(&index);
  ASSERT_EQ(map.On_Init_Bhs("data\\src_hz_bhs.dat"), 1);
  EXPECT_EQ(map.Source(), 1);
  EXPECT_EQ(map.GetCount(), 3);
  EXPECT_EQ(CountRecord(map, "\xB0\xA1"), std::string("\xB0\xA1\0", 3) + "|7|3") << "the later entry replaces";
  EXPECT_EQ(CountRecord(map, "\xB0\xA2"), std::string("\xB0\xA2\0", 3) + "|123|1");
  EXPECT_EQ(CountRecord(map, "\xB0\xA3"), std::string("\xB0\xA3\0", 3) + "|9|2");
  EXPECT_EQ(CountRecord(map, "\xB0\xA4"), "<none>") << "a part entry is not read";
  EXPECT_EQ(index.GetCount(), 4);
  EXPECT_EQ(Value(index, "0"), "\xB0\xA1");
  EXPECT_EQ(Value(index, "2"), "\xB0\xA3");
  EXPECT_EQ(Value(index, "3"), "\xB0\xA1");
  short m;
  double s, t;
  EXPECT_EQ(map.On_Get_Wave_Pos("\xB0\xA1", m, s, t), 0) << "not a sound map";
  // The index map's values are CStrings: it frees them as such.
  FreeIndex(index);
}

TEST(StrokeCountMap, StopBusyAndMissingFiles) {
  fs::create_directories("data");
  WriteScrambled("data/src_hz_bhs.dat", "\xB0\xA1" "12 \xB0\xA2" "3  ");
  RecordMap map;
  EXPECT_EQ(map.On_Load_Bhs(), 0) << "no file set";
  EXPECT_EQ(map.On_Init_Bhs("data\\missing.dat"), 1);
  EXPECT_EQ(map.On_Load_Bhs(), 0);
  EXPECT_EQ(map.Source(), 0) << "nothing read, nothing changed";
  EXPECT_EQ(map.On_Get_Doing(), 0);
  map.On_Set_File("data\\src_hz_bhs.dat");
  map.SetBusy(1);
  EXPECT_EQ(map.On_Load_Bhs(), 1);
  EXPECT_TRUE(map.IsEmpty()) << "busy: not loaded";
  map.SetBusy(0);
  map.On_Stop();
  EXPECT_EQ(map.On_Load_Bhs(), 1);
  EXPECT_TRUE(map.IsEmpty()) << "stopped before the first entry";
  EXPECT_EQ(map.On_Init_Bhs("data\\src_hz_bhs.dat"), 1) << "a new start clears the stop flag";
  EXPECT_EQ(map.GetCount(), 2);
}

namespace {

struct TextMapFixture : ::testing::Test {
  // Ordinals 0..2 -> 啊, 阿, 埃.
  void SetUp() override {
    for (const char* ch : {"\xB0\xA1", "\xB0\xA2", "\xB0\xA3"}) {
      CString key;
      key.Format("%d", int(index.GetCount()));
      index.SetAt(key, reinterpret_cast<CObject*>(new CString(ch)));
    }
  }
  void TearDown() override { FreeIndex(index); }
  CMerroMap index;
};

}  // namespace

// The text of the ordinal's entry goes under the ordinal's character; entries
// that are not there, or are damaged, are left out.
TEST_F(TextMapFixture, FromADictionaryInMemory) {
  const std::string text = Int32(2) + "a1" + Int32(1) + "a";
  const std::string offsets = Int32(0) + Int32(6) + Int32(99);
  struct Case {
    int mode;
    long offsetsLength;
    int count;
  } cases[] = {{1, long(offsets.size()), 2}, {0, long(offsets.size()), 2}, {2, long(offsets.size()), 0},
               {1, 4, 1}, {1, 7, 1}};
  for (const Case& c : cases) {
    CMerroTextMap map;
    map.On_Init_Data("data\\src_hz_pinyin.dat", &index, Bytes(offsets), c.offsetsLength, Bytes(text),
                     long(text.size()), c.mode);
    EXPECT_EQ(map.GetCount(), c.count) << c.mode << " " << c.offsetsLength;
    if (c.count == 0) continue;
    EXPECT_EQ(Value(map, "\xB0\xA1"), "a1");
    if (c.count == 2) {
      EXPECT_EQ(Value(map, "\xB0\xA2"), "a");
    }
  }
  // Missing sources: nothing is loaded.
  CMerroTextMap none;
  none.On_Init_Data("", &index, Bytes(offsets), long(offsets.size()), Bytes(text), long(text.size()), 1);
  EXPECT_TRUE(none.IsEmpty()) << "no file name";
  none.On_Init_Data("x", nullptr, Bytes(offsets), long(offsets.size()), Bytes(text), long(text.size()), 1);
  EXPECT_TRUE(none.IsEmpty()) << "no index map";
  none.On_Init_Data("x", &index, Bytes(offsets), 0, Bytes(text), long(text.size()), 1);
  EXPECT_TRUE(none.IsEmpty()) << "no offsets";
}

// The archive form: the map as CMerroMap saves one, stopped between entries
// when asked.
TEST_F(TextMapFixture, FromAnArchive) {
  fs::create_directories("data");
  CMerroTextMap source;
  const std::string text = Int32(2) + "a1" + Int32(1) + "a";
  const std::string offsets = Int32(0) + Int32(6);
  source.On_Init_Data("x", &index, Bytes(offsets), long(offsets.size()), Bytes(text), long(text.size()), 1);
  ASSERT_EQ(source.GetCount(), 2);
  // The text map exports nothing; a plain map of the same entries does.
  struct Plain : CMerroMap {
    Plain() { m_nValueIsString = 1; }
  } plain;
  plain.SetAt("\xB0\xA1", reinterpret_cast<CObject*>(new CString("a1")));
  plain.SetAt("\xB0\xA2", reinterpret_cast<CObject*>(new CString("a")));
  ASSERT_EQ(plain.On_Export("data\\texts.dat", 1), 1);
  CMerroTextMap loaded;
  ASSERT_EQ(loaded.On_Read("data\\texts.dat", 1), 1);
  EXPECT_EQ(loaded.GetCount(), 2);
  EXPECT_EQ(Value(loaded, "\xB0\xA2"), "a");
  CMerroTextMap stopped;
  stopped.On_Stop();
  ASSERT_EQ(stopped.On_Read("data\\texts.dat", 1), 1);
  EXPECT_TRUE(stopped.IsEmpty());
  ASSERT_EQ(source.On_Export("data\\none.dat", 0), 1);
  EXPECT_EQ(fs::file_size("data/none.dat"), 0u);
  CMerroTextMap empty;
  EXPECT_EQ(empty.On_Read("data\\none.dat", 0), 1);
  EXPECT_TRUE(empty.IsEmpty());
}
