// The engine fixture generator: record bytes, the scrambled index and stroke
// files byte for byte, what the engine's reader makes of them, and the
// command-line tool.
#include "tools/engine_fixture/fixture.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "merrobase/dao.h"
#include "tests/readback.h"

namespace fs = std::filesystem;
using namespace engine_fixture;

namespace {

std::string FromHex(const std::string& hex) {
  std::string out;
  for (size_t i = 0; i + 1 < hex.size();) {
    if (hex[i] == ' ') {
      ++i;
      continue;
    }
    out += char(std::stoi(hex.substr(i, 2), nullptr, 16));
    i += 2;
  }
  return out;
}

std::string Slurp(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

Description Parsed(const std::string& text) {
  Description d;
  std::string error;
  EXPECT_TRUE(Parse(text, &d, &error)) << error;
  return d;
}

std::string Unscrambled(const std::string& name, long offset = -1, long length = 0) {
  CMerroDao dao;
  unsigned char* buf = NULL;
  long n = 0;
  int r = offset < 0 ? dao.On_JieMi_File(name.c_str(), &buf, n) : dao.On_JieMi_File(name.c_str(), &buf, offset, length);
  EXPECT_EQ(r, 1) << name;
  std::string out = r == 1 ? std::string(reinterpret_cast<char*>(buf), size_t(offset < 0 ? n : length)) : "";
  operator delete(buf);
  return out;
}

const char kTwoCharacters[] = R"(
char 啊
stroke 1 10 20
line 200 20 200 40 10 40
char 阿
stroke 5 20 20 flag 1
cut 0 3
cut 1 4
line 200 20 200 200 180 200 180 40 20 40
)";

}  // namespace

TEST(EngineFixture, RecordBytes) {
  struct Case {
    const char* description;
    const char* hex;
  } cases[] = {
      {"char B0A1\nstroke 1 10 20\nline 200 20 200 40 10 40", "01 31 0a 14 01 01 03 c8 14 c8 28 0a 28"},
      {"char B0A1\nstroke 1 20 120\nline 230 120 230 136 20 136\nstroke 2 117 20\nline 137 20 137 235 117 235",
       "02 31 14 78 01 01 03 e6 78 e6 88 14 88 75 14 32 01 01 03 89 14 89 eb 75 eb"},
      {"char B0A1\nstroke 2 10 10\nline 20 10\nline 20 200 10 200", "01 32 0a 0a 02 01 01 14 0a 02 01 14 c8 0a c8"},
      {"char B0A1\nstroke 1 0 0\ncurve 64 0 64 64", "01 31 00 00 01 02 02 40 00 40 40"},
      {"char B0A1\nstroke 1 0 0\nline 100 0 100 20 0 20\nstroke 1 0 90\nline 100 90 100 110 0 110\n"
       "stroke 1 0 180\nline 100 180 100 200 0 200",
       "03 31 00 00 01 01 03 64 00 64 14 00 14 00 5a 31 01 01 03 64 5a 64 6e 00 6e 31 00 b4 01 01 03 64 b4 64 c8 00 "
       "c8"},
      {"char B0A1\nstroke 5 20 20 flag 1\ncut 0 3\ncut 1 4\nline 200 20 200 200 180 200 180 40 20 40",
       "01 35 14 14 01 02 00 00 00 00 03 00 00 00 01 00 00 00 04 00 00 00 01 01 05 c8 14 c8 c8 b4 c8 b4 28 14 28"},
      {"char B0A1\nstroke 1 1 2\nseg 7 3 4\nbytes 0a ff", "0a ff"},
  };
  for (const Case& c : cases) {
    Description d = Parsed(c.description);
    ASSERT_EQ(d.characters.size(), 1u);
    EXPECT_EQ(Record(d.characters[0], true), FromHex(c.hex)) << c.description;
  }
  // Font records leave the bend block out.
  Description bend = Parsed(cases[5].description);
  EXPECT_EQ(Record(bend.characters[0], false), FromHex("01 35 14 14 01 01 05 c8 14 c8 c8 b4 c8 b4 28 14 28"));
}

// The two-character data folder, byte for byte, with header "abc123" and
// mask letter 'x'.
TEST(EngineFixture, ScrambledFilesByteForByte) {
  std::vector<IndexValues> placed;
  std::string error;
  ASSERT_TRUE(WriteStrokeFiles(Parsed(kTwoCharacters), ".", &error, &placed)) << error;
  EXPECT_EQ(Slurp("Merro0001.idx"), FromHex("19 03 02 30 33 32 81 93 33 31 32 33 31 3f 33 31 32 32 31 32 33 81 90 33 3c "
                                            "32 33 31 11 33 31 32 32 31 32 33"));
  EXPECT_EQ(Slurp("Merro0001.dat"),
            FromHex("19 03 02 30 33 32 30 03 39 25 33 32 32 fa 27 f9 1a 39 19 33 06 25 26 32 33 32 33 31 32 30 31 32 "
                    "33 30 32 33 31 36 33 31 32 32 30 37 fb 25 fa fb 85 fa 87 19 26 1b"));
  ASSERT_EQ(placed.size(), 2u);
  EXPECT_EQ(placed[1].offset, 13);
  EXPECT_EQ(placed[1].length, 35);
  EXPECT_EQ(placed[1].file, 1);
  // What the engine's own reader makes of them.
  const std::string rect = FromHex("01 31 0a 14 01 01 03 c8 14 c8 28 0a 28");
  const std::string bend = Record(Parsed(kTwoCharacters).characters[1], true);
  EXPECT_EQ(Unscrambled("Merro0001.dat"), rect + bend);
  EXPECT_EQ(Unscrambled("Merro0001.dat", 13, 35), bend);
  EXPECT_EQ(Unscrambled("Merro0001.idx"),
            FromHex("b0 a1 00 00 00 00 00 0d 00 00 00 01 00 00 00 b0 a2 00 0d 00 00 00 23 00 00 00 01 00 00 00"));
}

TEST(EngineFixture, PositionsAndIndexPlaces) {
  struct Case {
    const char* gbk;
    long position;
    int file, record;
  } cases[] = {{"\xB0\xA1", 0, 1, 0},       {"\xB0\xA2", 1, 1, 1},       {"\xB4\xF3", 458, 2, 158},
               {"\xD2\xBB", 3222, 11, 222}, {"\xD7\xF9", 3754, 12, 454}, {"\xD8\xA1", 3755, 13, 0},
               {"\xF7\xFE", 6762, 22, 307}};
  for (const Case& c : cases) {
    EXPECT_EQ(Position(c.gbk), c.position);
    int file = 0, record = 0;
    EXPECT_TRUE(IndexPlace(c.position, &file, &record));
    EXPECT_EQ(file, c.file) << c.position;
    EXPECT_EQ(record, c.record) << c.position;
  }
  for (long p : {3599L, 3600L, 6454L, 6455L}) {
    int file = 0, record = 0;
    IndexPlace(p, &file, &record);
    EXPECT_EQ(std::to_string(file) + "/" + std::to_string(record),
              p == 3599 ? "12/299" : p == 3600 ? "12/300" : p == 6454 ? "21/299" : "22/0");
  }
  EXPECT_EQ(Position("ab"), -1);
  EXPECT_EQ(Position("\xA1\xA1"), -1);
  EXPECT_EQ(Position("\xB0\xA1\xB0"), -1);
  int f, r;
  EXPECT_FALSE(IndexPlace(6763, &f, &r));
}

TEST(EngineFixture, DescriptionErrorsNameTheLine) {
  const char* bad[] = {
      "stroke 1 0 0",                              // no character yet
      "char B0A1\nstroke 1 0 300",                 // coordinate out of range
      "char B0A1\nstroke 1 0 0\nline 1 2 3",       // odd number of coordinates
      "char B0A1\nstroke 1 0 0\ncut 1 2",          // cut on a plain stroke
      "char B0A1\nbytes 0g",                       // not hex
      "char abc",                                  // not two bytes
      "header abc",                                // short header
      "char B0A1\nfrobnicate",                     // unknown keyword
  };
  for (const char* text : bad) {
    Description d;
    std::string error;
    EXPECT_FALSE(Parse(text, &d, &error)) << text;
    EXPECT_EQ(error.rfind("line ", 0), 0u) << error;
  }
}

TEST(EngineFixture, CommandLineTool) {
  const std::string tool = std::string(getenv("QUARVEL_BIN")) + "/../tools/make_engine_fixture";
  // The description file is UTF-8.
  std::ofstream("chars.txt") << u8"char 啊\nstroke 1 10 20\nline 200 20 200 40 10 40\n"
                                u8"char 阿\nstroke 5 20 20 flag 1\ncut 0 3\ncut 1 4\n"
                                u8"line 200 20 200 200 180 200 180 40 20 40\n"
                                u8"pinyin 啊 a1\nradical 啊 口\n";
  fs::create_directories("out");
  ASSERT_EQ(system((tool + " --font chars.txt out").c_str()), 0);
  ASSERT_TRUE(WriteStrokeFiles(Parsed(kTwoCharacters), ".", nullptr));
  EXPECT_EQ(Slurp("out/Merro0001.dat"), Slurp("Merro0001.dat"));
  EXPECT_EQ(Slurp("out/Merro0001.idx"), Slurp("Merro0001.idx"));
  EXPECT_EQ(Slurp("out/user.idx"), FromHex("0d 00 00 00 11 00 00 00"));
  EXPECT_EQ(Slurp("out/user.dat").size(), 13u + 17u);
  // The description file is UTF-8, the texts are written as GBK.
  EXPECT_EQ(Unscrambled("out/src_hz_ppbs.dat"), std::string("\x02\0\0\0\xBF\xDA", 6));
  EXPECT_TRUE(fs::exists("out/src_hz_pinyin.idx"));

  fs::create_directories("records");
  ASSERT_EQ(system((tool + " --records chars.txt records").c_str()), 0);
  EXPECT_EQ(Slurp("records/record1"), FromHex("01 31 0a 14 01 01 03 c8 14 c8 28 0a 28"));
  EXPECT_EQ(Slurp("records/record2").size(), 35u);

  std::ofstream("bad.txt") << "char B0A1\nline 1 2\n";
  EXPECT_NE(system((tool + " bad.txt out 2>/dev/null").c_str()), 0);
  EXPECT_NE(system((tool + " 2>/dev/null").c_str()), 0);
}

// Dictionary files: the data the engine's reader gets back, byte for byte.
TEST(EngineFixture, DictionaryFiles) {
  Description d = Parsed(R"(
pinyin 啊 a1
pinyin 阿 a
english 啊   ah;  oh  # the text is the rest of the line, blanks inside kept
radical 埃 土
radical 啊 口
radical 埃 土2          # given again: replaces
strokes 啊 10
strokes B0A2 7
sound ma1 1 2.5 0.75
sound abcdefghi -1 0 1e-3
voice 10
)");
  ASSERT_TRUE(WriteDictionaryFiles(d, ".", nullptr));
  EXPECT_EQ(Unscrambled("src_hz_pinyin.idx"), FromHex("00 00 00 00 06 00 00 00"));
  EXPECT_EQ(Unscrambled("src_hz_pinyin.dat"), FromHex("02 00 00 00 61 31 01 00 00 00 61"));
  EXPECT_EQ(Unscrambled("src_hz_english.idx"), FromHex("00 00 00 00"));
  EXPECT_EQ(Unscrambled("src_hz_english.dat"), std::string("\x07\0\0\0ah;  oh", 11));
  // Position 1 is not described: it points to the empty text at the end.
  EXPECT_EQ(Unscrambled("src_hz_ppbs.idx"), FromHex("06 00 00 00 13 00 00 00 0c 00 00 00"));
  EXPECT_EQ(Unscrambled("src_hz_ppbs.dat"), std::string("\x02\0\0\0\xCD\xC1\x02\0\0\0\xBF\xDA\x03\0\0\0\xCD\xC1"
                                                         "2\0\0\0\0",
                                                         23));
  EXPECT_EQ(Unscrambled("src_hz_bhs.dat"), "\xB0\xA1" "10 \xB0\xA2" "7  ");
  EXPECT_EQ(Unscrambled("src_hz_wave.dat"),
            FromHex("02 00 00 00 6d 61 31 00 00 00 00 00 00 01 00 00 00 00 00 00 00 04 40 00 00 00 00 00 00 e8 3f") +
                SoundRecord({"abcdefghi", -1, 0, 1e-3}));
  EXPECT_EQ(SoundRecord({"abcdefghi", -1, 0, 1e-3}).substr(0, 11), "abcdefghi\xff\xff");
  EXPECT_EQ(Slurp("merrovoice.1").size(), 44u + 10u);

  // Only what is described is written.
  fs::create_directories("few");
  ASSERT_TRUE(WriteDictionaryFiles(Parsed("pinyin 啊 a1"), "few", nullptr));
  EXPECT_EQ(std::distance(fs::directory_iterator("few"), fs::directory_iterator()), 2);
}

// The voice image is a WAV file as other programs read it.
TEST(EngineFixture, VoiceImageReadBack) {
  Description canonical = Parsed("voice 1001");
  Description withFact = Parsed("voice 1001 fact");
  fs::create_directories("a");
  fs::create_directories("b");
  ASSERT_TRUE(WriteDictionaryFiles(canonical, "a", nullptr));
  ASSERT_TRUE(WriteDictionaryFiles(withFact, "b", nullptr));
  for (const char* folder : {"a", "b"}) {
    EXPECT_EQ(readback::PythonWave(std::string(folder) + "/merrovoice.1"),
              "1 1 8000 1001 " + readback::Hex(VoiceSamples(0, 1001)) + "\n")
        << folder;
  }
  const std::string b = Slurp("b/merrovoice.1");
  EXPECT_EQ(b.substr(36, 4), "fact");
  EXPECT_EQ(b.substr(48, 4), "data");
  EXPECT_EQ(b.size() % 2, 0u) << "an odd data chunk is padded";
  // Samples differ along the image, so a slice from the wrong place shows.
  EXPECT_NE(VoiceSamples(500000, 16), VoiceSamples(500008, 16));
  EXPECT_NE(VoiceSamples(0, 16), VoiceSamples(256, 16));
}

TEST(EngineFixture, DictionaryLineErrors) {
  const char* bad[] = {
      "pinyin",                     // no character
      "pinyin ab a1",               // not a GB2312 character
      "strokes 啊 1234",            // count of four characters
      "strokes 啊",                 // no count
      "sound ma1 1 2.5",            // no duration
      "sound abcdefghij 0 0 1",     // key of ten bytes
      "sound ma1 x 0 1",            // minutes not a number
      "voice -1",                   // negative size
      "voice 10 riff",              // unknown option
  };
  for (const char* text : bad) {
    Description d;
    std::string error;
    EXPECT_FALSE(Parse(text, &d, &error)) << text;
    EXPECT_EQ(error.rfind("line 1: ", 0), 0u) << error;
  }
}
