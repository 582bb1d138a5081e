// The dictionary exports and the search maps, over data folders the fixture
// writes; and that an end releases everything a start and its calls made.
#include <gtest/gtest.h>

#include <filesystem>

#include "../merrobase/alloc_watch.h"
#include "engine_data.h"
#include "started.h"

using namespace engine_test;
namespace fs = std::filesystem;

namespace {

const char kDictionary[] = R"(
pinyin 啊 a1
pinyin 阿 a
pinyin 埃 ai1
english 啊 ah
english 阿 a prefix
radical 啊 口
radical 阿 阝
strokes 啊 10
strokes 阿 7
strokes 埃 10
char 唉
stroke 1 0 0
line 100 0 100 20 0 20
)";

using Export = int (*)(EngineContext*);

std::string Str(const CString& s) { return std::string(static_cast<LPCTSTR>(s), size_t(s.GetLength())); }

std::string Text(CMerroMap* map, const char* key) {
  void* v = nullptr;
  return map && map->On_Get_Value(key, &v) ? Str(*static_cast<CString*>(v)) : "<none>";
}

}  // namespace

TEST(TextLookups, TextsOfACharacter) {
  DataFolder data(kDictionary);
  Started engine;
  struct Case {
    const char* name;
    Export get;
    const char* text;
    const char* expected;
  } cases[] = {
      {"pinyin", On_Get_Pinyin, "啊", "a1"},
      {"pinyin", On_Get_Pinyin, "埃", "ai1"},
      {"English", On_Get_English, "阿", "a prefix"},
      {"radical", On_Get_Ppbs, "阿", "阝"},
      {"English, past the offsets", On_Get_English, "埃", ""},
      {"radical, past the offsets", On_Get_Ppbs, "唉", ""},
      {"not a character", On_Get_Pinyin, "ab", ""},
      {"outside GB2312", On_Get_Pinyin, "\xA1\xA1", ""},
      {"unassigned code", On_Get_Pinyin, "\xD7\xFA", ""},
      {"two characters", On_Get_Pinyin, "啊啊", ""},
      {"empty", On_Get_English, "", ""},
  };
  for (const Case& c : cases) {
    engine.params.strSlot34 = c.text;
    engine.params.strSlot38 = "old";
    EXPECT_EQ(c.get(&engine.context), 1) << c.name;
    EXPECT_EQ(Str(engine.params.strSlot38), c.expected) << c.name;
  }
  // A refused context leaves the block alone.
  engine.context.nActive = 0;
  engine.params.strSlot34 = "啊";
  engine.params.strSlot38 = "old";
  for (Export get : {On_Get_Pinyin, On_Get_English, On_Get_Ppbs}) {
    EXPECT_EQ(get(&engine.context), 0);
    EXPECT_EQ(Str(engine.params.strSlot38), "old");
  }
}

// Missing or damaged dictionaries answer "" for every character.
TEST(TextLookups, MissingAndDamagedDictionaries) {
  DataFolder data(kDictionary);
  // An offsets file of one entry, and an English text cut inside its first
  // length field.
  engine_fixture::WriteFile("data/src_hz_pinyin.idx", engine_fixture::Scramble(std::string(4, '\0'), "abc123", 'x'));
  engine_fixture::WriteFile("data/src_hz_english.dat", engine_fixture::Scramble("\x02\0", "abc123", 'x'));
  fs::remove("data/src_hz_ppbs.idx");
  Started engine;
  struct Case {
    Export get;
    const char* text;
    const char* expected;
  } cases[] = {{On_Get_Pinyin, "啊", "a1"}, {On_Get_Pinyin, "阿", ""}, {On_Get_English, "啊", ""},
               {On_Get_Ppbs, "啊", ""}};
  for (const Case& c : cases) {
    engine.params.strSlot34 = c.text;
    EXPECT_EQ(c.get(&engine.context), 1);
    EXPECT_EQ(Str(engine.params.strSlot38), c.expected) << c.text;
  }
  Started none("nowhere");
  none.params.strSlot34 = "啊";
  none.params.strSlot38 = "old";
  EXPECT_EQ(On_Get_Pinyin(&none.context), 1);
  EXPECT_EQ(Str(none.params.strSlot38), "");
}

// Each position's record is read from its index file: the last files of
// both levels hold the positions beyond their 300.
TEST(HanziIndex, IndexFilesAtTheBoundaries) {
  DataFolder data(R"(
char B0A1      # position 0
index 11 1 1
char D6BC      # 3599
index 22 2 1
char D6BD      # 3600
index 33 3 1
char D8A1      # 3755
index 44 4 1
char F7FD      # 6761
index 55 5 1
char F7FE      # 6762
index 66 6 1
)");
  EXPECT_EQ(fs::file_size("data/Merro0012.idx"), 6u + 301u * 15u);
  EXPECT_EQ(fs::file_size("data/Merro0013.idx"), 6u + 15u);
  EXPECT_EQ(fs::file_size("data/Merro0022.idx"), 6u + 308u * 15u);
  Started engine;
  for (size_t i = 0; i < 6; ++i) {
    engine.params.strSlot34 = data.Char(i);
    engine.params.pSlot28 = engine.params.nSlot2C = -1;
    ASSERT_EQ(On_Get_Hanzi_PL(&engine.context), 1) << i;
    EXPECT_EQ(engine.params.pSlot28, 11 * long(i + 1)) << i;
    EXPECT_EQ(engine.params.nSlot2C, int(i + 1)) << i;
  }
}

TEST(SearchMaps, BuiltFromTheDataFolderAndReleased) {
  DataFolder data(kDictionary);
  Started engine;
  const engine::SearchMaps& s = engine::State().search;
  EXPECT_EQ(On_Init_Search(&engine.context), 1);
  ASSERT_TRUE(s.strokeCounts && s.index && s.pinyin && s.radical);
  EXPECT_EQ(s.strokeCounts->GetCount(), 3);
  EXPECT_EQ(s.strokeCounts->On_Get_Doing(), 0);
  EXPECT_EQ(Text(s.index.get(), "1"), "阿");
  // Entry i of the dictionaries under the character of stroke-count entry
  // i (here both in GB2312 order).
  EXPECT_EQ(s.pinyin->GetCount(), 3);
  EXPECT_EQ(Text(s.pinyin.get(), "埃"), "ai1");
  EXPECT_EQ(Text(s.radical.get(), "阿"), "阝");
  EXPECT_EQ(Text(s.radical.get(), "埃"), "<none>");

  EXPECT_EQ(On_Init_Search(&engine.context), 1) << "again: the maps are made anew";
  ASSERT_NE(s.strokeCounts, nullptr);
  EXPECT_EQ(s.strokeCounts->GetCount(), 3);
  EXPECT_EQ(On_UnInit_Search(&engine.context), 1);
  EXPECT_TRUE(!s.strokeCounts && !s.index && !s.pinyin && !s.radical);
  EXPECT_EQ(On_UnInit_Search(&engine.context), 1) << "again: nothing to release";

  // The end releases them too.
  EXPECT_EQ(On_Init_Search(&engine.context), 1);
  EXPECT_EQ(On_Exit(&engine.context), 1);
  EXPECT_TRUE(!s.strokeCounts && !s.index && !s.pinyin && !s.radical);
}

// Without a start or data files the maps are there, and empty.
TEST(SearchMaps, WithoutData) {
  EngineContext context{};
  context.strDataFolder = "nowhere";
  EXPECT_EQ(On_Init_Search(&context), 1);
  const engine::SearchMaps& s = engine::State().search;
  ASSERT_TRUE(s.strokeCounts && s.pinyin && s.radical);
  EXPECT_TRUE(s.strokeCounts->IsEmpty() && s.pinyin->IsEmpty() && s.radical->IsEmpty());
  EXPECT_EQ(On_Init_Search(nullptr), 1);
  EXPECT_EQ(On_UnInit_Search(nullptr), 1);
  EXPECT_FALSE(s.strokeCounts);
}

// Everything a start and its calls allocate is freed by the end, once: a
// second start (which ends the first) and a second end change nothing.
TEST(EngineLifetime, EndReleasesEverything) {
  DataFolder data(kDictionary);
  auto cycle = [&] {
    Started engine("data", 3);
    On_Init_Search(&engine.context);
    engine.params.strSlot34 = data.Char(0);
    engine.params.nSlot04 = 2;
    On_Get_Pinyin(&engine.context);
    EXPECT_NE(engine::On_Character_Outline(&engine.context, data.Char(0), 2), nullptr);
    EXPECT_EQ(On_Init(&engine.context), 1);
    On_Init_Search(&engine.context);
    engine::On_Character_Outline(&engine.context, data.Char(0), -1);
    EXPECT_EQ(On_Exit(&engine.context), 1);
  };
  {
    // What stays from a first use on: the layer's file name mapping, and
    // the copy records of as many outlines as the cycle makes.
    Started warmUp("data", 3);
    engine::On_Character_Outline(&warmUp.context, data.Char(0), 2);
  }
  const long before = LiveBlocks();
  cycle();
  EXPECT_EQ(LiveBlocks(), before);
}
