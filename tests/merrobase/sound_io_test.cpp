// CSoundIO against ALSA's file and null plugins: what it plays lands in a
// file (or a FIFO the test reads), what it records comes from a FIFO the test
// writes. Message boxes are logged and answered through the window layer's
// test switches.
#include <QCoreApplication>

#include "merrobase/sound_io.h"
#include "merrobase/sound_message.h"
#include "platform/win/hidden_window.h"
#include "platform/win/message_pump.h"
#include "platform/win/messages.h"
#include "tests/platform/win/test_support.h"
#include "tests/platform/mm/alsa_fixture.h"
#include "tests/platform/mm/riff_bytes.h"
#include "tests/platform/mm/wave_support.h"
#include "tests/readback.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <cstdio>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

using riff::Chunk;
using riff::LE32;
using riff::PcmFormat;

namespace {

using Box = std::pair<std::string, std::string>;  // caption, text (UTF-8)

using readback::Hex;
using readback::Output;
using readback::PythonWave;

class SoundIoTest : public AlsaTest {
 protected:
  void SetUp() override {
    AlsaTest::SetUp();
    test::App();
    setenv("QUARVEL_MSGBOX_LOG", (Dir() + "/boxes.log").c_str(), 1);
    std::string answers;
    for (int i = 0; i < 50; ++i) answers += "OK\n";
    Put(Dir() + "/answers", answers);
    setenv("QUARVEL_MSGBOX_ANSWERS", (Dir() + "/answers").c_str(), 1);
    const char* drives = getenv("QUARVEL_DRIVES");
    ASSERT_NE(drives, nullptr);
    drive_ = std::string(drives) + "/C";
    std::filesystem::create_directories(drive_ + "/snd");
  }
  void TearDown() override {
    unsetenv("QUARVEL_MSGBOX_ANSWERS");
    unsetenv("QUARVEL_MSGBOX_LOG");
  }

  std::vector<Box> Boxes() const {
    std::vector<Box> boxes;
    std::string log = Get(Dir() + "/boxes.log");
    for (size_t at = 0; at < log.size();) {
      const size_t end = log.find('\n', at);
      const std::string line = log.substr(at, end - at);
      const size_t tab = line.find('\t');
      boxes.emplace_back(line.substr(0, tab), line.substr(tab + 1));
      at = end == std::string::npos ? log.size() : end + 1;
    }
    return boxes;
  }
  // Lets the GUI thread run until `done` holds.
  static bool Pumping(const std::function<bool()>& done) {
    return WaitUntil([&] {
      win::DispatchWaitingMessages();
      return done();
    });
  }
  std::string OnDrive(const std::string& path) const { return drive_ + "/" + path; }

  std::string drive_;
};

// 8 kHz, 8 bit, mono: the voice image's format, 8000 bytes a second.
const std::string kVoiceFormat = PcmFormat(1, 8000, 8);

TEST_F(SoundIoTest, PlayFileOfAnImagePlaysTheSliceFromTheDataChunk) {
  const std::string samples = Pattern(1000, 5);
  const std::string fmt = Chunk("fmt ", kVoiceFormat);
  const std::string canonical = riff::Wave(fmt + Chunk("data", samples));
  const std::string withFact = riff::Wave(fmt + Chunk("fact", LE32(1000)) + Chunk("data", samples));
  const std::string twoBetween =
      riff::Wave(fmt + Chunk("LIST", "INFOisft") + Chunk("fact", LE32(1000)) + Chunk("data", samples));
  // No chunk named "data": the chunk after the format chunk is skipped.
  const std::string unnamed = riff::Wave(fmt + Chunk("wavl", "abcd") + samples);
  struct Case {
    const char* what;
    const std::string& image;
    long offset, length;
    std::string played;
  } cases[] = {
      {"data after a fact chunk", withFact, 8, 100, samples.substr(0, 100)},
      {"data right after fmt", canonical, 8, 1000, samples},
      {"offset 0 is the data chunk's header", canonical, 0, 12, "data" + LE32(1000) + samples.substr(0, 4)},
      {"past the image: zeros", canonical, 8 + 990, 30, samples.substr(990) + std::string(20, '\0')},
      {"two chunks between", twoBetween, 8 + 5, 10, samples.substr(5, 10)},
      {"no data chunk", unnamed, 2, 5, unnamed.substr(48 + 2, 5)},
      {"slice beyond the end", withFact, 8 + 2000, 10, std::string(10, '\0')},
      {"empty slice", canonical, 8, 0, ""},
  };
  CSoundIO io;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    UseFileDevice();
    std::string image = c.image;
    EXPECT_EQ(io.PlayFile(reinterpret_cast<unsigned char*>(image.data()), long(image.size()), c.offset, c.length),
              0u);
    EXPECT_EQ(Get(PlayedPath()), c.played);
    EXPECT_EQ(io.m_hWaveOut, nullptr);
    EXPECT_EQ(io.m_Wave.m_pData, nullptr);
    EXPECT_EQ(image, c.image) << "the image is the caller's";
  }
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(SoundIoTest, PlayFileOpensTheDeviceWithTheImagesOwnFormat) {
  UseWavFileDevice(Dir() + "/played.wav");
  const std::string samples = Pattern(4000, 9);
  std::string image = riff::Wave(Chunk("fmt ", PcmFormat(2, 22050, 16)) + Chunk("data", samples));
  CSoundIO io;
  ASSERT_EQ(io.PlayFile(reinterpret_cast<unsigned char*>(image.data()), long(image.size()), 8, 4000), 0u);
  EXPECT_EQ(PythonWave(Dir() + "/played.wav"), "2 2 22050 1000 " + Hex(samples) + "\n");
}

TEST_F(SoundIoTest, PlayFileReturnsOnlyOnceTheSliceHasPlayedAndHandlesMessagesMeanwhile) {
  FifoReader device(Dir() + "/fifo");
  UseFileDevice("", Dir() + "/fifo");
  const std::string samples = Pattern(64 * 1024, 3);
  std::string image = riff::Wave(Chunk("fmt ", kVoiceFormat) + Chunk("data", samples));

  // The device takes the bytes only once the window has had its message, so
  // the call cannot return unless it handles messages while it waits.
  const HWND window = win::CreateHiddenWindow("host");
  bool handled = false;
  RegisterWindowProc(window, [&](UINT msg, WPARAM, LPARAM) -> LRESULT {
    if (msg == WM_USER + 7) {
      handled = true;
      device.Allow();
    }
    return 0;
  });
  std::atomic<bool> finished{false}, rescued{false};
  std::thread watchdog([&] {
    if (!WaitUntil([&] { return finished.load(); }, 30)) {
      rescued = true;
      device.Allow();
    }
  });
  ASSERT_TRUE(PostMessage(window, WM_USER + 7, 0, 0));
  CSoundIO io;
  EXPECT_EQ(io.PlayFile(reinterpret_cast<unsigned char*>(image.data()), long(image.size()), 8, long(samples.size())),
            0u);
  finished = true;
  watchdog.join();
  EXPECT_TRUE(handled);
  EXPECT_FALSE(rescued) << "the message was not handled while playing";
  ASSERT_TRUE(WaitUntil([&] { return device.Bytes().size() >= samples.size(); }));
  EXPECT_EQ(device.Bytes(), samples);
  DestroyWindow(window);
}

TEST_F(SoundIoTest, PlayFileOfAFileCountsTheOffsetFromItsFirstByte) {
  const std::string samples = Pattern(1000, 2);
  const std::string file = riff::Wave(Chunk("fmt ", kVoiceFormat) + Chunk("data", samples));
  Put(OnDrive("snd/voice.wav"), file);
  struct Case {
    long offset, length;
    std::string played;
  } cases[] = {
      {0, 4, "RIFF"},
      {44, 100, samples.substr(0, 100)},
      {44 + 990, 20, samples.substr(990) + std::string(10, '\0')},
  };
  CSoundIO io;
  for (const Case& c : cases) {
    UseFileDevice();
    EXPECT_EQ(io.PlayFile("C:\\snd\\voice.wav", c.offset, c.length), 0u);
    EXPECT_EQ(Get(PlayedPath()), c.played);
  }
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(SoundIoTest, AWavFileThatCannotBeReadIsReportedAndNotPlayed) {
  const std::string fmt = Chunk("fmt ", kVoiceFormat);
  Put(OnDrive("snd/nofmt.wav"), riff::Wave(Chunk("data", "abcd")));
  Put(OnDrive("snd/nodata.wav"), riff::Wave(fmt));
  Put(OnDrive("snd/empty.wav"), riff::Wave(fmt + Chunk("data", "")));
  Put(OnDrive("snd/short.wav"), riff::Wave(Chunk("fmt ", kVoiceFormat.substr(0, 10)) + Chunk("data", "ab")));
  Put(OnDrive("snd/avi.wav"), "RIFF" + LE32(4) + "AVI ");
  Put(OnDrive("snd/ok.wav"), riff::Wave(fmt + Chunk("data", "abcd")));
  // Chunk sizes that end just past 4 GiB.
  Put(OnDrive("snd/junk.wav"), "JUNK" + LE32(0xFFFFFFF8u));
  Put(OnDrive("snd/ff.wav"), std::string(4, '\xFF') + LE32(0xFFFFFFF7u) + std::string(4, '\xFF'));
  struct Case {
    const char* file;
    long offset, length;
    const char* message;
  } cases[] = {
      {"C:\\snd\\missing.wav", 0, 4, "open file error"},
      {"C:\\snd\\avi.wav", 0, 4, "read error - wave"},
      {"C:\\snd\\junk.wav", 0, 4, "read error - wave"},
      {"C:\\snd\\ff.wav", 0, 4, "read error - wave"},
      {"C:\\snd\\nofmt.wav", 0, 4, "read error - fmt "},
      {"C:\\snd\\short.wav", 0, 4, "read error - WaveFormat"},
      {"C:\\snd\\nodata.wav", 0, 4, "read error - data"},
      {"C:\\snd\\empty.wav", 0, 4, "read error - data size is 0"},
      {"C:\\snd\\ok.wav", 1000, 4, "read error - data size is 0"},
      {"C:\\snd\\ok.wav", -5, 4, "read error - data size is 0"},
  };
  UseFileDevice();
  CSoundIO io;
  std::vector<Box> expected;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    EXPECT_EQ(io.PlayFile(c.file, c.offset, c.length), unsigned(MMSYSERR_ERROR));
    EXPECT_EQ(io.m_hWaveOut, nullptr);
    EXPECT_EQ(io.m_Wave.m_pData, nullptr);
    expected.emplace_back("Error", c.message);
  }
  EXPECT_EQ(Boxes(), expected);
  EXPECT_EQ(Get(PlayedPath()), "");

  // Slices the image cannot give: nothing is played and nothing is shown.
  std::string image = riff::Wave(Chunk("fmt ", kVoiceFormat) + Chunk("data", "abcd"));
  unsigned char* bytes = reinterpret_cast<unsigned char*>(image.data());
  EXPECT_NE(io.PlayFile(bytes, long(image.size()), -1, 4), 0u);
  EXPECT_NE(io.PlayFile(bytes, long(image.size()), 8, -4), 0u);
  EXPECT_NE(io.PlayFile(bytes, 30, 8, 4), 0u) << "no whole format";
  EXPECT_NE(io.PlayFile(nullptr, 100, 8, 4), 0u);
  EXPECT_NE(io.PlayFile(bytes, long(image.size()), 8, long(UINT32_MAX) + 1), 0u);
  EXPECT_EQ(Boxes().size(), expected.size());
}

TEST_F(SoundIoTest, NoSoundDeviceGivesTheMessagesAndZero) {
  UseNoDevice();
  CSoundIO io;
  std::string image = riff::Wave(Chunk("fmt ", kVoiceFormat) + Chunk("data", "abcd"));
  EXPECT_EQ(io.PlayFile(reinterpret_cast<unsigned char*>(image.data()), long(image.size()), 8, 4), 0u);
  EXPECT_EQ(io.m_Wave.m_pData, nullptr) << "the slice is not read";
  io.AllocBuf(100);
  EXPECT_EQ(io.OpenMic(), 0u);
  EXPECT_EQ(io.m_hWaveIn, nullptr);
  EXPECT_EQ(io.OpenOutput(), 0u);
  EXPECT_EQ(io.m_hWaveOut, nullptr);
  EXPECT_EQ(Boxes(), (std::vector<Box>{{"sound i/o", "No Sound Output Device"},
                                       {"sound i/o", "No Sound Device"},
                                       {"sound i/o", "No Sound Output Device"}}));
}

TEST_F(SoundIoTest, RecordsTheBlocksAWindowIsToldOfIntoAWavFile) {
  FifoFeeder input(Dir() + "/input");
  UseFileDevice(Dir() + "/input");
  std::filesystem::create_directories(OnDrive("rec"));
  const HWND window = win::CreateHiddenWindow("recorder");
  std::vector<UINT> told;
  RegisterWindowProc(window, [&](UINT msg, WPARAM, LPARAM) -> LRESULT {
    told.push_back(msg);
    return 0;
  });
  auto blocksTold = [&] { return std::count(told.begin(), told.end(), UINT(MM_WIM_DATA)); };

  const std::string recorded = Pattern(6 * 2000, 4);
  auto block = [&](int k) { return recorded.substr(size_t(k - 1) * 2000, 2000); };
  {
    CSoundIO io;
    io.AllocBuf(1000);  // blocks of 2000 bytes
    ASSERT_EQ(io.OpenWaveFile("C:\\rec\\take.wav"), 1);
    input.Write(block(1));
    ASSERT_EQ(io.OpenMicN(window), 0u);
    // The window's owner hands each block on: every AddBuffer queues the
    // block again and keeps its next filling.
    for (int k = 2; k <= 6; ++k) {
      ASSERT_TRUE(Pumping([&] { return blocksTold() == k - 1; })) << k;
      input.Write(block(k));
      io.AddBuffer();
    }
    EXPECT_FALSE(std::filesystem::exists(OnDrive("rec/take.wav"))) << "visible before it is finished";
    io.StopMic();
    ASSERT_TRUE(std::filesystem::exists(OnDrive("rec/take.wav")));
    EXPECT_EQ(PythonWave(OnDrive("rec/take.wav")), "1 1 8000 10000 " + Hex(recorded.substr(2000)) + "\n");
    EXPECT_EQ(Output("soxi -r " + OnDrive("rec/take.wav")) + Output("soxi -s " + OnDrive("rec/take.wav")),
              "8000\n10000\n");
  }
  ASSERT_TRUE(Pumping([&] { return !told.empty() && told.back() == MM_WIM_CLOSE; }));
  EXPECT_EQ(told.front(), UINT(MM_WIM_OPEN));
  EXPECT_TRUE(Boxes().empty());
  DestroyWindow(window);
}

TEST_F(SoundIoTest, LoopBackPlaysWhatTheWorkerRecords) {
  FifoFeeder input(Dir() + "/input");
  UseFileDevice(Dir() + "/input");
  const std::string recorded = Pattern(10 * 8000, 6);
  CSoundIO io;
  io.Record2Play();
  EXPECT_EQ(io.m_nBufSize, 4000u);  // blocks of one second
  EXPECT_EQ(io.m_nMode, 3);
  ASSERT_NE(io.m_hWaveIn, nullptr);
  ASSERT_NE(io.m_hWaveOut, nullptr);
  input.Write(recorded.substr(0, 5 * 8000));
  // The first block wakes the worker; each one after it is played.
  ASSERT_TRUE(WaitUntil([&] { return Get(PlayedPath()).size() >= 4 * 8000; }));
  input.WhileSupplying(recorded.substr(5 * 8000), [&] { io.CloseMic(); });
  const std::string played = Get(PlayedPath());
  EXPECT_EQ(played.size() % 8000, 0u);
  EXPECT_EQ(played, recorded.substr(8000, played.size()));
  EXPECT_EQ(io.m_hWaveIn, nullptr);
  EXPECT_EQ(io.m_hWaveOut, nullptr);
  EXPECT_EQ(io.m_hInThread, nullptr);
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(SoundIoTest, StopMicHoldsTheInputUntilStartMic) {
  FifoFeeder input(Dir() + "/input");
  UseFileDevice(Dir() + "/input");
  CSoundIO io;
  io.m_nMode = 2;  // drop the blocks
  io.AllocBuf(1000);
  ASSERT_EQ(io.OpenMic(), 0u);
  input.Write(Pattern(3 * 2000));
  ASSERT_TRUE(WaitUntil([&] { return input.Pending() == 0; }));
  input.WhileSupplying(Pattern(20 * 2000), [&] { io.StopMic(); });

  // Nothing reads the device any more, not even the worker's next block.
  const size_t before = input.Pending();
  input.Write(Pattern(4000));
  std::this_thread::sleep_for(std::chrono::milliseconds(150));
  EXPECT_EQ(input.Pending(), before + 4000);

  io.StartMic();
  EXPECT_TRUE(WaitUntil([&] { return input.Pending() == 0; }));
  input.WhileSupplying(Pattern(20 * 2000), [&] { io.CloseMic(); });
  EXPECT_EQ(io.m_hWaveIn, nullptr);
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(SoundIoTest, OpeningTwiceBuffersAndFormats) {
  UseFileDevice();
  CSoundIO io;
  EXPECT_EQ(io.OpenMic(), unsigned(MMSYSERR_NOMEM)) << "no buffer before AllocBuf";

  io.AllocBuf(500);
  short* in = io.m_pInBuffer;
  BYTE* out = io.m_pOutBuffer;
  in[999] = 1234;
  io.AllocBuf(500);
  EXPECT_EQ(io.m_pInBuffer, in);
  EXPECT_EQ(io.m_pOutBuffer, out);
  EXPECT_EQ(io.m_pInBuffer[999], 1234);
  io.AllocBuf(0x80000000ul);  // a block a wave header cannot hold
  EXPECT_EQ(io.m_pInBuffer, nullptr);
  EXPECT_EQ(io.m_nBufSize, 0u);
  io.AllocBuf(400);
  EXPECT_EQ(io.m_nBufSize, 400u);

  const WAVEFORMATEX given = wavetest::Pcm(2, 22050, 16);
  ASSERT_EQ(io.OpenMic(given), 0u);
  EXPECT_EQ(io.m_WaveFormat.nSamplesPerSec, 22050u);
  EXPECT_EQ(io.m_nSamplesPerSec, 8000);
  EXPECT_EQ(io.m_nChannels, 1);
  EXPECT_EQ(io.m_nBitsPerSample, 8);
  HWAVEIN open = io.m_hWaveIn;
  EXPECT_EQ(io.OpenMic(), 1u);
  EXPECT_EQ(io.m_hWaveIn, open);
  io.CloseMic();
  EXPECT_EQ(io.m_hWaveIn, nullptr);
  ASSERT_EQ(io.OpenMic(), 0u);
  EXPECT_EQ(io.m_WaveFormat.nSamplesPerSec, 8000u) << "built from the fields again";
  io.CloseMic();

  struct Format {
    unsigned short channels;
    unsigned long rate;
    unsigned short bits;
    DWORD average;
    WORD align;
  } formats[] = {{1, 8000, 8, 8000, 1}, {2, 44100, 16, 176400, 4}, {1, 22050, 16, 44100, 2}};
  for (const Format& f : formats) {
    io.WaveInitFormat(f.channels, f.rate, f.bits);
    EXPECT_EQ(io.m_WaveFormat.wFormatTag, WAVE_FORMAT_PCM);
    EXPECT_EQ(io.m_WaveFormat.nAvgBytesPerSec, f.average);
    EXPECT_EQ(io.m_WaveFormat.nBlockAlign, f.align);
    EXPECT_EQ(io.m_WaveFormat.cbSize, 0);
  }
  EXPECT_EQ(io.IsPlaying(), 0) << "nothing was ever queued";
  EXPECT_EQ(io.PlaySoundBuffer(nullptr, 0), 0u) << "output closed";
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(SoundIoTest, OutputForTheUsersOwnBlocks) {
  UseFileDevice();
  CSoundIO io;
  io.AllocBuf(300);
  const std::string second = Pattern(600, 8);
  memcpy(io.m_pOutBuffer, second.data(), second.size());
  // OpenOutput queues buffer 2 (2n bytes) in the object's own format.
  ASSERT_EQ(io.OpenOutput(), 0u);
  ASSERT_TRUE(WaitUntil([&] { return io.IsPlaying() == 0; }));
  EXPECT_EQ(Get(PlayedPath()), second);

  // A block waits while the output is stopped; the one header is not taken
  // from it for another block meanwhile.
  std::string a = Pattern(100, 1), b = Pattern(100, 2);
  io.StopOutput();
  ASSERT_EQ(io.PlaySoundBuffer(a.data(), a.size()), 0u);
  EXPECT_EQ(io.IsPlaying(), 1);
  EXPECT_EQ(io.PlaySoundBuffer(b.data(), b.size()), unsigned(WAVERR_STILLPLAYING));
  EXPECT_EQ(Boxes(), (std::vector<Box>{{"sound i/o", " Sound Output Cannot Write Buffer !"}}));
  io.StartOutput();
  ASSERT_TRUE(WaitUntil([&] { return io.IsPlaying() == 0; }));
  ASSERT_EQ(io.PlaySoundBuffer(b.data(), b.size()), 0u);
  ASSERT_TRUE(WaitUntil([&] { return io.IsPlaying() == 0; }));
  EXPECT_EQ(Get(PlayedPath()), second + a + b);

  // Another format for the device only.
  WAVEFORMATEX stereo = io.m_WaveFormat;
  stereo.nChannels = 2;
  stereo.nBlockAlign = 2;
  stereo.nAvgBytesPerSec = 16000;
  UseFileDevice();
  ASSERT_EQ(io.OpenOutputDev(stereo), 0u);
  EXPECT_EQ(io.m_WaveFormat.nChannels, 1);
  std::string odd = Pattern(101, 3);
  ASSERT_EQ(io.PlaySoundBuffer(odd.data(), odd.size()), 0u);
  ASSERT_TRUE(WaitUntil([&] { return io.IsPlaying() == 0; }));
  EXPECT_EQ(Get(PlayedPath()), odd.substr(0, 100)) << "whole stereo frames";
  io.CloseOutputDev();
  EXPECT_EQ(io.m_hWaveOut, nullptr);
}

TEST_F(SoundIoTest, ABoxRaisedOnTheWorkerDoesNotHoldIt) {
  std::atomic<bool> returned{false};
  // The GUI thread does not run its messages until the worker has gone on.
  std::thread worker([&] {
    sound::MarkWorkerThread();
    sound::ShowMessage("Cannot Add Buffer !", "sound i/o", MB_OK);
    returned = true;
  });
  EXPECT_TRUE(WaitUntil([&] { return returned.load(); }, 10));
  ASSERT_TRUE(Pumping([&] { return Boxes().size() == 1; }));
  worker.join();
  EXPECT_EQ(Boxes(), (std::vector<Box>{{"sound i/o", "Cannot Add Buffer !"}}));
}

TEST_F(SoundIoTest, ClosingPausesAsTheyAlwaysDid) {
  using Clock = std::chrono::steady_clock;
  auto start = Clock::now();
  {
    CSoundIO io;
    start = Clock::now();
    io.CloseMic();
    EXPECT_GE(Clock::now() - start, std::chrono::milliseconds(150));
    start = Clock::now();
  }
  EXPECT_GE(Clock::now() - start, std::chrono::milliseconds(200));
}

}  // namespace
