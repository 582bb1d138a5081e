// Pronunciations played from the voice image through ALSA's file plugin, so
// that the played bytes are checked exactly. No application runs here, so
// message boxes write their texts to stderr.
#include <gtest/gtest.h>

#include <filesystem>

#include "engine_data.h"
#include "started.h"
#include "tests/platform/mm/alsa_fixture.h"

using namespace engine_test;
namespace fs = std::filesystem;

namespace {

const char kSounds[] = R"(
sound ma1 1 2.5 0.75     # 6000 bytes from byte 500000
sound ma3 0 0.5 0.25     # 2000 bytes from byte 4000
sound ma31 0 0 0.1
sound back1 0 -1 0.5     # before the image
sound nan1 0 nan 0.5
sound never1 0 0.5 -2
voice 506100
)";

class SoundTest : public AlsaTest {
 protected:
  void SetUp() override {
    AlsaTest::SetUp();
    UseFileDevice();
  }
  // Plays `syllable`; what was played ("" when nothing was).
  std::string Play(Started& engine, const char* syllable, int expected = 1) {
    fs::remove(PlayedPath());
    engine.params.strSlot34 = syllable;
    EXPECT_EQ(On_Sound_Pinyin(&engine.context), expected) << syllable;
    return Get(PlayedPath());
  }
  DataFolder data{kSounds};
};

}  // namespace

TEST_F(SoundTest, PlaysTheSyllablesSlice) {
  Started engine;
  struct Case {
    const char* syllable;
    long first, length;
  } cases[] = {{"ma", 500000, 6000}, {"ma1", 500000, 6000}, {"ma3", 4000, 2000}};
  for (const Case& c : cases)
    EXPECT_EQ(Play(engine, c.syllable), engine_fixture::VoiceSamples(c.first, c.length)) << c.syllable;
  EXPECT_EQ(engine.params.strSlot34, "ma3") << "the block's text is not changed";
}

TEST_F(SoundTest, NothingToPlay) {
  Started engine;
  for (const char* syllable : {"xx", "back", "nan", "never", "m"})
    EXPECT_EQ(Play(engine, syllable), "") << syllable;
}

TEST_F(SoundTest, Refusals) {
  Started engine("data", 1);
  testing::internal::CaptureStderr();
  EXPECT_EQ(Play(engine, "", 0), "");
  EXPECT_NE(testing::internal::GetCapturedStderr().find(u8"拼音为空!"), std::string::npos);
  engine.context.nActive = 0;
  EXPECT_EQ(Play(engine, "ma", 0), "");
  EXPECT_TRUE(engine::State().soundMaps.empty()) << "refused before any sound map";
  engine.context.nActive = 1;
  // The one sound map a pool size of 1 allows is made by the first call and
  // kept.
  EXPECT_EQ(Play(engine, "ma3"), engine_fixture::VoiceSamples(4000, 2000));
  EXPECT_EQ(engine::State().soundMaps.size(), 1u);
  engine.context.nPoolSize = 3;
  Play(engine, "ma3");
  EXPECT_EQ(engine::State().soundMaps.size(), 1u) << "an idle map is taken again";
  EXPECT_EQ(On_Exit(&engine.context), 1);
  EXPECT_TRUE(engine::State().soundMaps.empty());
}

TEST_F(SoundTest, NoVoiceImage) {
  fs::remove("data/merrovoice.1");
  Started engine;
  EXPECT_EQ(Play(engine, "ma", 0), "");
  EXPECT_TRUE(engine::State().soundMaps.empty());
}

// A sound map that does not load is named once and stays empty.
TEST_F(SoundTest, DamagedSoundMap) {
  engine_fixture::WriteFile("data/src_hz_wave.dat", "short");
  Started engine;
  testing::internal::CaptureStderr();
  EXPECT_EQ(Play(engine, "ma"), "");
  EXPECT_EQ(Play(engine, "ma3"), "");
  const std::string messages = testing::internal::GetCapturedStderr();
  const size_t named = messages.find("data\\src_hz_wave.dat");
  ASSERT_NE(named, std::string::npos) << messages;
  EXPECT_EQ(messages.find("src_hz_wave", named + 20), std::string::npos) << messages;
}
