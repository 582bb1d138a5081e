// The routines behind the exports: the outline pool, the character step, the
// index records and the data files a start loads.
#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <thread>

#include "engine_data.h"
#include "merrodataengine/api/engine.h"
#include "merrodataengine/dictionary/hanzi_index.h"
#include "started.h"

using namespace engine_test;
namespace fs = std::filesystem;

namespace {

std::string Text(const engine::DataBuffer& b) {
  return b.Loaded() ? std::string(reinterpret_cast<const char*>(b.data), size_t(b.length)) : "<none>";
}

}  // namespace

TEST(OutlinePool, AnyIdleOutline) {
  Started engine;
  COutLine* first = engine::On_Get_Free_OutLine(2, "data", -1);
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(engine::State().outlines.size(), 1u);
  EXPECT_EQ(engine::On_Get_Free_OutLine(2, "data", -1), first) << "an idle one is handed out again";
  first->m_nDoing = 1;
  COutLine* second = engine::On_Get_Free_OutLine(2, "data", -1);
  ASSERT_NE(second, nullptr);
  EXPECT_NE(second, first);
  second->m_nDoing = 1;
  EXPECT_EQ(engine::On_Get_Free_OutLine(2, "data", -1), nullptr) << "both busy, the pool full";
  EXPECT_EQ(engine::On_Get_Free_OutLine(2, "data", 0), nullptr) << "a busy fixed index";
  first->m_nDoing = second->m_nDoing = 0;
  EXPECT_EQ(engine::On_Get_Free_OutLine(2, "data", 1), second);
  EXPECT_EQ(engine::On_Get_Free_OutLine(0, "data", -1), nullptr);
  EXPECT_EQ(engine::On_Get_Free_OutLine(2, "", -1), nullptr);
}

TEST(OutlinePool, FixedIndexGrowsThePoolToTheLargestSize) {
  Started engine;
  COutLine* o = engine::On_Get_Free_OutLine(3, "data", 1);
  ASSERT_NE(o, nullptr);
  EXPECT_EQ(engine::State().outlines.size(), 3u);
  EXPECT_EQ(engine::State().outlines[1].get(), o);
  EXPECT_EQ(engine::On_Get_Free_OutLine(3, "data", 3), nullptr) << "index equal to the size";
  // The largest size asked for stays: a smaller size does not shrink it.
  EXPECT_NE(engine::On_Get_Free_OutLine(1, "data", 0), nullptr);
  engine::On_Get_Free_OutLine(5, "data", -1);
  EXPECT_EQ(engine::State().outlines.size(), 3u) << "any idle one is taken before growing";
  EXPECT_NE(engine::On_Get_Free_OutLine(2, "data", 0), nullptr);
  EXPECT_EQ(engine::State().outlines.size(), 5u) << "grown to the largest size seen (5)";
}

// On_Set_Exit returns once every fill has seen the exit flag and stopped.
TEST(OutlinePool, StopWaitsForBusyOutlines) {
  Started engine;
  COutLine* o = engine::On_Get_Free_OutLine(2, "data", 0);
  ASSERT_NE(o, nullptr);
  o->m_nDoing = 1;
  std::atomic<bool> stopped{false};
  std::thread fill([&] {
    while (o->m_nExit != 1) std::this_thread::yield();
    stopped = true;
    o->m_nDoing = 0;
  });
  EXPECT_EQ(On_Set_Exit(&engine.context), 1);
  EXPECT_TRUE(stopped);
  EXPECT_EQ(o->On_Get_Doing(), 0);
  fill.join();
}

TEST(CharacterStep, LoadsTheCharacterIntoAPooledOutline) {
  DataFolder data(kFixtures);
  Started engine;
  COutLine* o = engine::On_Character_Outline(&engine.context, data.Char(kBars), 0);
  ASSERT_NE(o, nullptr);
  EXPECT_EQ(o->GetStrokes(), 3);
  EXPECT_EQ(o->GetHanzi(), data.Char(kBars));
  EXPECT_EQ(engine::On_Character_Outline(&engine.context, data.Char(kShi), 1)->GetStrokes(), 2);
  // A busy outline is not handed out; an idle one keeps what it holds.
  o->m_nDoing = 1;
  EXPECT_EQ(engine::On_Character_Outline(&engine.context, data.Char(kRect), 0), nullptr);
  o->m_nDoing = 0;
  EXPECT_EQ(engine::On_Character_Outline(&engine.context, "ab", 0), nullptr);
  EXPECT_EQ(engine::On_Character_Outline(&engine.context, "\xB1\xA1", 0), nullptr) << "beyond the index file";
  EXPECT_EQ(o->GetStrokes(), 3);
}

TEST(HanziIndex, FilesAndRecordsOfPositions) {
  struct Case {
    long position, file, record;
  } cases[] = {{0, 1, 0},       {299, 1, 299},   {300, 2, 0},     {3299, 11, 299}, {3599, 12, 299},
               {3600, 12, 300}, {3754, 12, 454}, {3755, 13, 0},   {6454, 21, 299}, {6455, 22, 0},
               {6754, 22, 299}, {6755, 22, 300}, {6762, 22, 307}};
  for (const Case& c : cases) {
    long file = 0, record = 0;
    ASSERT_TRUE(engine::IndexPlace(c.position, file, record));
    EXPECT_EQ(file, c.file) << c.position;
    EXPECT_EQ(record, c.record) << c.position;
  }
  long file, record;
  EXPECT_FALSE(engine::IndexPlace(-1, file, record));
  EXPECT_FALSE(engine::IndexPlace(6763, file, record));
}

TEST(HanziIndex, RecordsAndDamagedRecords) {
  DataFolder data(R"(
char 啊
stroke 1 10 20
line 200 20 200 40 10 40
char 阿
stroke 1 0 0
line 9 0 9 9
index -5 12 1
char 埃
stroke 1 0 0
line 9 0 9 9
index 0 -1 1
char 亍                      # the first level-2 character, in file 13
stroke 1 0 0
line 9 0 9 9
)");
  int offset = -1, length = -1, file = -1;
  EXPECT_EQ(engine::On_Get_Hanzi_Index("data", data.Char(0), offset, length, file), 1);
  EXPECT_EQ(std::vector<int>({offset, length, file}), std::vector<int>({0, 13, 1}));
  EXPECT_EQ(engine::On_Get_Hanzi_Index("data", data.Char(3), offset, length, file), 1);
  EXPECT_EQ(file, 1);
  EXPECT_TRUE(fs::exists("data/Merro0013.idx"));
  for (size_t damaged : {1, 2}) {
    offset = length = file = 77;
    EXPECT_EQ(engine::On_Get_Hanzi_Index("data", data.Char(damaged), offset, length, file), 0);
    EXPECT_EQ(std::vector<int>({offset, length, file}), std::vector<int>({77, 77, 77}));
  }
  EXPECT_EQ(engine::On_Get_Hanzi_Index("data", "\xB0\xA4", offset, length, file), 0) << "past the last record";
  EXPECT_EQ(engine::On_Get_Hanzi_Index("elsewhere", data.Char(0), offset, length, file), 0) << "no index file";
  EXPECT_EQ(engine::On_Get_Hanzi_Index("", data.Char(0), offset, length, file), 0) << "no folder";
  EXPECT_EQ(engine::On_Get_Hanzi_Index("data", "\xD7\xFA", offset, length, file), 0) << "not a GB2312 character";
}

// A start holds the voice image and the six dictionary files; the end
// releases them; what is missing stays empty.
TEST(DataFiles, LoadedAtStartReleasedAtEnd) {
  fs::create_directories("dict");
  const char* names[] = {"src_hz_pinyin.dat", "src_hz_pinyin.idx", "src_hz_english.dat",
                         "src_hz_english.idx", "src_hz_ppbs.dat", "src_hz_ppbs.idx"};
  for (const char* name : names)
    engine_fixture::WriteFile(std::string("dict/") + name, engine_fixture::Scramble(name, "abc123", 'x'));
  engine_fixture::WriteFile("dict/src_hz_ppbs.idx", "short");  // too short to be scrambled
  engine_fixture::WriteFile("dict/merrovoice.1", "RIFF....WAVE");
  {
    Started engine("dict");
    const engine::DataFiles& d = engine::State().data;
    EXPECT_EQ(Text(d.voice), "RIFF....WAVE");
    EXPECT_EQ(Text(d.pinyinText), "src_hz_pinyin.dat");
    EXPECT_EQ(Text(d.pinyinOffsets), "src_hz_pinyin.idx");
    EXPECT_EQ(Text(d.englishText), "src_hz_english.dat");
    EXPECT_EQ(Text(d.englishOffsets), "src_hz_english.idx");
    EXPECT_EQ(Text(d.radicalText), "src_hz_ppbs.dat");
    EXPECT_EQ(Text(d.radicalOffsets), "<none>");
  }
  EXPECT_FALSE(engine::State().data.pinyinText.Loaded());
  EXPECT_FALSE(engine::State().data.voice.Loaded());
  fs::remove("dict/merrovoice.1");
  Started again("dict");
  EXPECT_FALSE(engine::State().data.voice.Loaded());
  EXPECT_TRUE(engine::State().data.englishText.Loaded());
}
