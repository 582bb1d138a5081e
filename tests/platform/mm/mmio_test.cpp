#include "platform/mm/mmio.h"

#include "riff_bytes.h"
#include "tests/readback.h"
#include "tests/platform/fs/linked_file.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace {

constexpr FOURCC kWave = mmioFOURCC('W', 'A', 'V', 'E');
constexpr FOURCC kFmt = mmioFOURCC('f', 'm', 't', ' ');
constexpr FOURCC kData = mmioFOURCC('d', 'a', 't', 'a');

using riff::Chunk;
using riff::LE32;
using riff::PcmFormat;
const auto Riff = riff::Wave;

using readback::Output;

class MmioTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* root = getenv("QUARVEL_DRIVES");
    ASSERT_NE(root, nullptr) << "run through scripts/test-env";
    folder_ = std::string(root) + "/C/snd";
    std::filesystem::create_directories(folder_);
  }
  std::string OnDisk(const std::string& name) const { return folder_ + "/" + name; }
  void Put(const std::string& name, const std::string& bytes) const {
    std::ofstream(OnDisk(name), std::ios::binary) << bytes;
  }
  std::string Get(const std::string& name) const {
    std::ifstream in(OnDisk(name), std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
  }
  std::string folder_;
};

// Writes a WAV file as the sound recorder does: chunks created, samples
// stored byte by byte through the I/O buffer, sizes patched on the way out.
void WriteWav(HMMIO h, const std::string& format, const std::string& samples) {
  MMCKINFO riff{};
  riff.fccType = kWave;
  ASSERT_EQ(mmioCreateChunk(h, &riff, MMIO_CREATERIFF), MMSYSERR_NOERROR);
  MMCKINFO fmt{};
  fmt.ckid = kFmt;
  fmt.cksize = DWORD(format.size());
  ASSERT_EQ(mmioCreateChunk(h, &fmt, 0), MMSYSERR_NOERROR);
  ASSERT_EQ(mmioWrite(h, format.data(), LONG(format.size())), LONG(format.size()));
  ASSERT_EQ(mmioAscend(h, &fmt, 0), MMSYSERR_NOERROR);
  MMCKINFO data{};
  data.ckid = kData;
  ASSERT_EQ(mmioCreateChunk(h, &data, 0), MMSYSERR_NOERROR);
  MMIOINFO io;
  ASSERT_EQ(mmioGetInfo(h, &io, 0), MMSYSERR_NOERROR);
  for (char c : samples) {
    if (io.pchNext == io.pchEndWrite) {
      io.dwFlags |= MMIO_DIRTY;
      ASSERT_EQ(mmioAdvance(h, &io, MMIO_WRITE), MMSYSERR_NOERROR);
    }
    *io.pchNext++ = c;
  }
  io.dwFlags |= MMIO_DIRTY;
  ASSERT_EQ(mmioSetInfo(h, &io, 0), MMSYSERR_NOERROR);
  ASSERT_EQ(mmioAscend(h, &data, 0), MMSYSERR_NOERROR);
  EXPECT_EQ(data.cksize, samples.size());
  ASSERT_EQ(mmioAscend(h, &riff, 0), MMSYSERR_NOERROR);
}

}  // namespace

TEST_F(MmioTest, WrittenWavFilesReadBackWithOtherTools) {
  struct Case {
    uint16_t channels;
    uint32_t rate;
    uint16_t bits;
    size_t bytes;
    LONG buffer;
  } cases[] = {{1, 8000, 8, 1001, 16}, {2, 44100, 16, 44100 * 4, 0}, {1, 22050, 16, 2, 3}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.bytes);
    std::string samples(c.bytes, '\0');
    for (size_t i = 0; i < c.bytes; ++i) samples[i] = char(i * 13 + 5);
    MMIOINFO info{};
    info.cchBuffer = c.buffer;
    std::filesystem::remove(OnDisk(u8"声音.wav"));
    HMMIO h = mmioOpen("C:\\snd\\声音.wav", &info, MMIO_CREATE | MMIO_WRITE | MMIO_ALLOCBUF);
    ASSERT_NE(h, nullptr) << info.wErrorRet;
    WriteWav(h, PcmFormat(c.channels, c.rate, c.bits), samples);
    EXPECT_FALSE(std::filesystem::exists(OnDisk(u8"声音.wav"))) << "visible before it is complete";
    ASSERT_EQ(mmioClose(h, 0), MMSYSERR_NOERROR);

    const std::string file = Get(u8"声音.wav");
    const size_t padded = c.bytes + c.bytes % 2;
    ASSERT_EQ(file.size(), 44 + padded);
    EXPECT_EQ(file, Riff(Chunk("fmt ", PcmFormat(c.channels, c.rate, c.bits)) + Chunk("data", samples)));
    std::filesystem::copy_file(OnDisk(u8"声音.wav"), OnDisk("check.wav"),
                               std::filesystem::copy_options::overwrite_existing);
    EXPECT_EQ(readback::PythonWave(OnDisk("check.wav")),
              std::to_string(c.channels) + " " + std::to_string(c.bits / 8) + " " + std::to_string(c.rate) + " " +
                  std::to_string(c.bytes / (c.channels * c.bits / 8)) + " " + readback::Hex(samples) + "\n");
    EXPECT_EQ(Output("soxi -r " + OnDisk("check.wav")), std::to_string(c.rate) + "\n");
  }
  for (const auto& e : std::filesystem::directory_iterator(folder_))
    EXPECT_EQ(e.path().filename().string().find(".wav."), std::string::npos) << "temporary left: " << e.path();
}

TEST_F(MmioTest, DescendFindsChunksByIdAcrossOthersAndPadBytes) {
  const std::string samples = "0123456789";
  Put("a.wav", Riff(Chunk("LIST", "INFOabc") + Chunk("fmt ", PcmFormat(1, 8000, 8)) + Chunk("odd_", "xyz") +
                    Chunk("data", samples)));
  for (DWORD buffered : {DWORD(0), DWORD(MMIO_ALLOCBUF)}) {
    SCOPED_TRACE(buffered);
    HMMIO h = mmioOpen("C:\\snd\\A.WAV", nullptr, MMIO_READ | buffered);
    ASSERT_NE(h, nullptr);
    MMCKINFO riff{};
    riff.fccType = kWave;
    ASSERT_EQ(mmioDescend(h, &riff, nullptr, MMIO_FINDRIFF), MMSYSERR_NOERROR);
    EXPECT_EQ(riff.dwDataOffset, 8u);
    MMCKINFO fmt{};
    fmt.ckid = kFmt;
    ASSERT_EQ(mmioDescend(h, &fmt, &riff, MMIO_FINDCHUNK), MMSYSERR_NOERROR);
    EXPECT_EQ(fmt.cksize, 16u);
    EXPECT_EQ(fmt.dwDataOffset, 12u + 16u + 8u);
    char format[16];
    EXPECT_EQ(mmioRead(h, format, 16), 16);
    EXPECT_EQ(std::string(format, 16), PcmFormat(1, 8000, 8));
    ASSERT_EQ(mmioAscend(h, &fmt, 0), MMSYSERR_NOERROR);
    MMCKINFO data{};
    data.ckid = kData;
    ASSERT_EQ(mmioDescend(h, &data, &riff, MMIO_FINDCHUNK), MMSYSERR_NOERROR);
    EXPECT_EQ(data.cksize, 10u);
    char got[32];
    EXPECT_EQ(mmioRead(h, got, sizeof got), 10);  // to the end of the file, not past it
    EXPECT_EQ(std::string(got, 10), samples);
    EXPECT_EQ(mmioRead(h, got, sizeof got), 0);
    EXPECT_EQ(mmioSeek(h, 0, SEEK_SET), 0);
    EXPECT_EQ(mmioRead(h, got, 4), 4);
    EXPECT_EQ(std::string(got, 4), "RIFF");
    EXPECT_EQ(mmioSeek(h, -3, SEEK_END), 79);
    EXPECT_EQ(mmioRead(h, got, 8), 3);
    EXPECT_EQ(mmioSeek(h, -100, SEEK_CUR), -1);
    // Places a LONG cannot hold are refused, not wrapped round.
    EXPECT_EQ(mmioSeek(h, 0x7FFFFFFF, SEEK_SET), 0x7FFFFFFF);
    EXPECT_EQ(mmioSeek(h, 1, SEEK_CUR), -1);
    EXPECT_EQ(mmioSeek(h, 0x7FFFFFFF, SEEK_END), -1);
    EXPECT_EQ(mmioSeek(h, -3, SEEK_END), 79);
    EXPECT_EQ(mmioWrite(h, "x", 1), -1) << "opened for reading";
    EXPECT_EQ(mmioClose(h, 0), MMSYSERR_NOERROR);
  }
}

TEST_F(MmioTest, DamagedFilesGiveErrorsNotReadsPastTheData) {
  const std::string fmt = Chunk("fmt ", PcmFormat(1, 8000, 8));
  struct Case {
    const char* what;
    std::string bytes;
    MMRESULT riff, format, data;
  } cases[] = {
      {"empty", "", MMIOERR_CHUNKNOTFOUND, 0, 0},
      {"cut in the RIFF header", "RIFF\x10\0", MMIOERR_CHUNKNOTFOUND, 0, 0},
      {"no form type", "RIFF" + LE32(4), MMIOERR_CHUNKNOTFOUND, 0, 0},
      {"other form", "RIFF" + LE32(4) + "AVI ", MMIOERR_CHUNKNOTFOUND, 0, 0},
      {"no fmt", Riff(Chunk("data", "ab")), 0, MMIOERR_CHUNKNOTFOUND, 0},
      {"fmt outside the RIFF", "RIFF" + LE32(4) + "WAVE" + fmt, 0, MMIOERR_CHUNKNOTFOUND, 0},
      {"huge chunk before data", Riff(fmt + "junk" + LE32(0xFFFFFFF0u) + Chunk("data", "ab")), 0, 0,
       MMIOERR_CHUNKNOTFOUND},
      {"data header cut", Riff(fmt + "da"), 0, 0, MMIOERR_CHUNKNOTFOUND},
      // Chunk sizes whose end lies just past 4 GiB: a 32-bit seek would wrap
      // back onto the chunk's own header, for ever.
      {"junk chunk of 4 GiB - 8", "JUNK" + LE32(0xFFFFFFF8u), MMIOERR_CHUNKNOTFOUND, 0, 0},
      {"odd chunk of 4 GiB - 9", std::string(4, '\xFF') + LE32(0xFFFFFFF7u) + std::string(4, '\xFF'),
       MMIOERR_CHUNKNOTFOUND, 0, 0},
      {"huge chunk before fmt in a huge RIFF", "RIFF" + LE32(0xFFFFFFF8u) + "WAVE" + "JUNK" + LE32(0xFFFFFFF0u), 0,
       MMIOERR_CHUNKNOTFOUND, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Put("bad.wav", c.bytes);
    HMMIO h = mmioOpen("C:\\snd\\bad.wav", nullptr, MMIO_READ | MMIO_ALLOCBUF);
    ASSERT_NE(h, nullptr);
    MMCKINFO riff{}, format{}, data{};
    riff.fccType = kWave;
    format.ckid = kFmt;
    data.ckid = kData;
    MMRESULT r = mmioDescend(h, &riff, nullptr, MMIO_FINDRIFF);
    EXPECT_EQ(r, c.riff);
    if (r == MMSYSERR_NOERROR) {
      r = mmioDescend(h, &format, &riff, MMIO_FINDCHUNK);
      EXPECT_EQ(r, c.format);
    }
    if (r == MMSYSERR_NOERROR) {
      mmioAscend(h, &format, 0);
      EXPECT_EQ(mmioDescend(h, &data, &riff, MMIO_FINDCHUNK), c.data);
    }
    mmioClose(h, 0);
  }
}

TEST_F(MmioTest, OpenRefusals) {
  MMIOINFO info{};
  EXPECT_EQ(mmioOpen("C:\\snd\\missing.wav", &info, MMIO_READ), nullptr);
  EXPECT_EQ(info.wErrorRet, MMRESULT(MMIOERR_FILENOTFOUND));
  EXPECT_EQ(mmioOpen("C:\\no folder\\new.wav", &info, MMIO_CREATE | MMIO_WRITE), nullptr);
  EXPECT_EQ(info.wErrorRet, MMRESULT(MMIOERR_PATHNOTFOUND));
  EXPECT_EQ(mmioOpen("C:\\snd", &info, MMIO_READ), nullptr);
  EXPECT_EQ(info.wErrorRet, MMRESULT(MMIOERR_CANNOTOPEN));
  Put("old.wav", "old");
  EXPECT_EQ(mmioOpen("C:\\snd\\old.wav", &info, MMIO_WRITE), nullptr);
  EXPECT_EQ(info.wErrorRet, MMRESULT(MMSYSERR_NOTSUPPORTED));
  EXPECT_EQ(Get("old.wav"), "old");
  EXPECT_EQ(mmioOpen(nullptr, &info, MMIO_READ), nullptr);
}

TEST_F(MmioTest, CreatingThroughALinkWritesTheFileItLeadsToWhenClosed) {
  for (const auto& k : linktest::kKinds) {
    linktest::Linked file(folder_ + "/links", k.kind, "previous take", "take.wav");
    if (!file.Made()) continue;  // no read-only folder on this file system
    SCOPED_TRACE(k.label);
    const std::optional<std::string> before = file.Content();
    HMMIO h = mmioOpen(file.Name().c_str(), nullptr, MMIO_CREATE | MMIO_READWRITE);
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(mmioWrite(h, "new bytes", 9), 9);
    EXPECT_EQ(mmioSeek(h, 4, SEEK_SET), 4);
    EXPECT_EQ(mmioWrite(h, "BYTES", 5), 5);
    EXPECT_EQ(file.Content(), before);
    ASSERT_EQ(mmioClose(h, 0), MMSYSERR_NOERROR);
    EXPECT_EQ(file.Content(), "new BYTES");
    EXPECT_TRUE(file.Intact());
  }
}

TEST_F(MmioTest, CreatingReplacesAFileOnlyWhenClosedAndTheBufferIsChecked) {
  Put("take.wav", "previous take");
  char mine[8];
  MMIOINFO info{};
  info.pchBuffer = mine;
  info.cchBuffer = sizeof mine;
  HMMIO h = mmioOpen("C:\\snd\\TAKE.wav", &info, MMIO_CREATE | MMIO_READWRITE);
  ASSERT_NE(h, nullptr);
  EXPECT_EQ(mmioWrite(h, "new bytes, longer than the buffer", 33), 33);
  EXPECT_EQ(Get("take.wav"), "previous take");
  MMIOINFO io;
  ASSERT_EQ(mmioGetInfo(h, &io, 0), MMSYSERR_NOERROR);
  EXPECT_EQ(io.pchBuffer, mine);
  MMIOINFO wrong = io;
  wrong.pchNext = io.pchBuffer + io.cchBuffer + 1;
  EXPECT_EQ(mmioSetInfo(h, &wrong, 0), MMSYSERR_INVALPARAM);
  EXPECT_EQ(mmioSeek(h, 4, SEEK_SET), 4);
  EXPECT_EQ(mmioWrite(h, "BYTES", 5), 5);
  EXPECT_EQ(mmioSeek(h, 0, SEEK_SET), 0);
  char back[40] = {};
  EXPECT_EQ(mmioRead(h, back, sizeof back), 33);
  EXPECT_STREQ(back, "new BYTES, longer than the buffer");
  ASSERT_EQ(mmioClose(h, 0), MMSYSERR_NOERROR);
  EXPECT_EQ(Get("take.wav"), "new BYTES, longer than the buffer");

  // Unbuffered: no direct buffer access.
  h = mmioOpen("C:\\snd\\take.wav", nullptr, MMIO_READ);
  ASSERT_NE(h, nullptr);
  EXPECT_EQ(mmioAdvance(h, nullptr, MMIO_READ), MMRESULT(MMIOERR_UNBUFFERED));
  mmioClose(h, 0);
}

TEST_F(MmioTest, ReadingThroughTheBufferEndsAtTheEndOfTheFile) {
  const std::string bytes = "abcdefghijklmnopqrstuvwxyz";
  Put("read.raw", bytes);
  MMIOINFO info{};
  info.cchBuffer = 5;
  HMMIO h = mmioOpen("C:\\snd\\read.raw", &info, MMIO_READ | MMIO_ALLOCBUF);
  ASSERT_NE(h, nullptr);
  MMIOINFO io;
  ASSERT_EQ(mmioGetInfo(h, &io, 0), MMSYSERR_NOERROR);
  std::string got;
  for (;;) {
    if (io.pchNext == io.pchEndRead) {
      ASSERT_EQ(mmioAdvance(h, &io, MMIO_READ), MMSYSERR_NOERROR);
      if (io.pchNext == io.pchEndRead) break;
    }
    got += *io.pchNext++;
  }
  EXPECT_EQ(got, bytes);
  ASSERT_EQ(mmioSetInfo(h, &io, 0), MMSYSERR_NOERROR);
  EXPECT_EQ(mmioSeek(h, 0, SEEK_CUR), 26);
  io.dwFlags |= MMIO_DIRTY;
  EXPECT_EQ(mmioSetInfo(h, &io, 0), MMSYSERR_INVALPARAM) << "dirty on a file opened for reading";
  mmioClose(h, 0);
}
