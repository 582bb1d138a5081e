#include "platform/mm/sync.h"
#include "platform/mm/wave.h"

#include "alsa_fixture.h"
#include "wave_support.h"

#include <vector>

using WaveOutTest = AlsaTest;

namespace {

using wavetest::Pcm;
using Calls = wavetest::Calls<HWAVEOUT>;

struct Block {
  explicit Block(std::string bytes) : data(std::move(bytes)) {
    header.lpData = data.data();
    header.dwBufferLength = DWORD(data.size());
  }
  std::string data;
  WAVEHDR header{};
  bool Done() const { return WaveHeaderFlags(header) & WHDR_DONE; }
};

}  // namespace

TEST_F(WaveOutTest, DeviceCountAndCapabilitiesFollowWhetherTheDeviceOpens) {
  UseFileDevice();
  EXPECT_EQ(waveOutGetNumDevs(), 1u);
  WAVEOUTCAPS caps;
  ASSERT_EQ(waveOutGetDevCaps(0, &caps, sizeof caps), MMSYSERR_NOERROR);
  EXPECT_STREQ(caps.szPname, "ALSA default");
  EXPECT_EQ(caps.dwFormats, 0xFFFu);  // the file plugin passes every format
  EXPECT_GE(caps.wChannels, 2);
  EXPECT_EQ(waveOutGetDevCaps(1, &caps, sizeof caps), MMSYSERR_BADDEVICEID);

  setenv("MERRO_WAVE_DEVICE", "no_such_pcm", 1);
  EXPECT_EQ(waveOutGetNumDevs(), 0u);
  unsetenv("MERRO_WAVE_DEVICE");

  UseNoDevice();
  EXPECT_EQ(waveOutGetNumDevs(), 0u);
  EXPECT_EQ(waveOutGetDevCaps(0, &caps, sizeof caps), MMSYSERR_BADDEVICEID);
  HWAVEOUT h = nullptr;
  const WAVEFORMATEX f = Pcm(1, 8000, 8);
  EXPECT_EQ(waveOutOpen(&h, 0, &f, 0, 0, CALLBACK_NULL), MMSYSERR_BADDEVICEID);
  EXPECT_EQ(h, nullptr);
}

TEST_F(WaveOutTest, PlaysEachBlockExactlyInTheGivenFormat) {
  struct Case {
    WORD channels;
    DWORD rate;
    WORD bits;
    size_t bytes;
    size_t played;  // whole frames only
  } cases[] = {
      {1, 8000, 8, 8000, 8000},     {1, 8000, 8, 1, 1},          {2, 44100, 16, 44101, 44100},
      {1, 22050, 24, 3001, 3000},   {2, 48000, 32, 8 * 999, 8 * 999}, {1, 11025, 16, 1, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.channels << "ch " << c.rate << " Hz " << c.bits << " bit, " << c.bytes);
    UseFileDevice();
    const WAVEFORMATEX f = Pcm(c.channels, c.rate, c.bits);
    HWAVEOUT h = nullptr;
    ASSERT_EQ(waveOutOpen(&h, 0, &f, 0, 0, CALLBACK_NULL), MMSYSERR_NOERROR);
    Block block(Pattern(c.bytes, c.bits));
    ASSERT_EQ(waveOutPrepareHeader(h, &block.header, sizeof(WAVEHDR)), MMSYSERR_NOERROR);
    EXPECT_EQ(block.header.dwFlags, DWORD(WHDR_PREPARED));
    ASSERT_EQ(waveOutWrite(h, &block.header, sizeof(WAVEHDR)), MMSYSERR_NOERROR);
    ASSERT_TRUE(WaitUntil([&] { return block.Done(); }));
    EXPECT_EQ(WaveHeaderFlags(block.header), DWORD(WHDR_DONE | WHDR_PREPARED));
    EXPECT_EQ(waveOutUnprepareHeader(h, &block.header, sizeof(WAVEHDR)), MMSYSERR_NOERROR);
    EXPECT_EQ(WaveHeaderFlags(block.header), DWORD(WHDR_DONE));
    EXPECT_EQ(waveOutClose(h), MMSYSERR_NOERROR);
    EXPECT_EQ(Get(PlayedPath()), block.data.substr(0, c.played));
  }
}

TEST_F(WaveOutTest, QueuedBlocksPlayInOrderAndEachCallbackHearsOfThem) {
  UseFileDevice();
  const WAVEFORMATEX f = Pcm(1, 8000, 8);
  Calls calls;
  HWAVEOUT h = nullptr;
  ASSERT_EQ(waveOutOpen(&h, 0, &f, DWORD_PTR(&Calls::Proc), DWORD_PTR(&calls), CALLBACK_FUNCTION),
            MMSYSERR_NOERROR);
  std::vector<std::unique_ptr<Block>> blocks;
  std::string all;
  for (unsigned i = 0; i < 3; ++i) {
    blocks.push_back(std::make_unique<Block>(Pattern(3000 + i * 500, i)));
    all += blocks.back()->data;
    ASSERT_EQ(waveOutPrepareHeader(h, &blocks.back()->header, sizeof(WAVEHDR)), MMSYSERR_NOERROR);
    ASSERT_EQ(waveOutWrite(h, &blocks.back()->header, sizeof(WAVEHDR)), MMSYSERR_NOERROR);
  }
  ASSERT_TRUE(WaitUntil([&] { return blocks[2]->Done(); }));
  EXPECT_TRUE(blocks[0]->Done() && blocks[1]->Done());
  ASSERT_EQ(waveOutClose(h), MMSYSERR_NOERROR);
  EXPECT_EQ(Get(PlayedPath()), all);
  std::vector<std::pair<UINT, DWORD_PTR>> expected = {{WOM_OPEN, 0}};
  for (auto& b : blocks) expected.emplace_back(WOM_DONE, DWORD_PTR(&b->header));
  expected.emplace_back(WOM_CLOSE, 0);
  EXPECT_EQ(calls.seen, expected);

  // An event callback is signalled at open, per block and at close.
  HANDLE event = CreateEvent(nullptr, FALSE, FALSE, nullptr);
  ASSERT_EQ(waveOutOpen(&h, 0, &f, DWORD_PTR(event), 0, CALLBACK_EVENT), MMSYSERR_NOERROR);
  EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_OBJECT_0);
  Block block(Pattern(100));
  ASSERT_EQ(waveOutPrepareHeader(h, &block.header, sizeof(WAVEHDR)), MMSYSERR_NOERROR);
  ASSERT_EQ(waveOutWrite(h, &block.header, sizeof(WAVEHDR)), MMSYSERR_NOERROR);
  EXPECT_EQ(WaitForSingleObject(event, 20000), WAIT_OBJECT_0);
  EXPECT_TRUE(block.Done());
  ASSERT_EQ(waveOutClose(h), MMSYSERR_NOERROR);
  EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_OBJECT_0);
  CloseHandle(event);
}

TEST_F(WaveOutTest, ABlockIsDoneOnlyOnceTheDeviceHasTakenAllOfIt) {
  FifoReader device(Dir() + "/fifo");
  UseFileDevice("", Dir() + "/fifo");
  const WAVEFORMATEX f = Pcm(1, 8000, 8);
  HWAVEOUT h = nullptr;
  ASSERT_EQ(waveOutOpen(&h, 0, &f, 0, 0, CALLBACK_NULL), MMSYSERR_NOERROR);
  Block block(Pattern(64 * 1024));
  ASSERT_EQ(waveOutPrepareHeader(h, &block.header, sizeof(WAVEHDR)), MMSYSERR_NOERROR);
  ASSERT_EQ(waveOutWrite(h, &block.header, sizeof(WAVEHDR)), MMSYSERR_NOERROR);
  std::this_thread::sleep_for(std::chrono::milliseconds(100));  // nothing can finish it meanwhile
  EXPECT_FALSE(block.Done());
  EXPECT_TRUE(WaveHeaderFlags(block.header) & WHDR_INQUEUE);
  device.Allow();
  ASSERT_TRUE(WaitUntil([&] { return block.Done(); }));
  EXPECT_EQ(waveOutClose(h), MMSYSERR_NOERROR);
  ASSERT_TRUE(WaitUntil([&] { return device.Bytes().size() >= block.data.size(); }));
  EXPECT_EQ(device.Bytes(), block.data);
}

TEST_F(WaveOutTest, PauseHoldsQueuedBlocksAndResetReturnsThemUnplayed) {
  UseFileDevice();
  const WAVEFORMATEX f = Pcm(1, 8000, 8);
  HWAVEOUT h = nullptr;
  ASSERT_EQ(waveOutOpen(&h, 0, &f, 0, 0, CALLBACK_NULL), MMSYSERR_NOERROR);
  ASSERT_EQ(waveOutPause(h), MMSYSERR_NOERROR);
  Block first(Pattern(500, 1)), second(Pattern(700, 2));
  for (Block* b : {&first, &second}) {
    ASSERT_EQ(waveOutPrepareHeader(h, &b->header, sizeof(WAVEHDR)), MMSYSERR_NOERROR);
    ASSERT_EQ(waveOutWrite(h, &b->header, sizeof(WAVEHDR)), MMSYSERR_NOERROR);
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  EXPECT_FALSE(first.Done());

  // While queued a block can neither be queued again nor unprepared, and
  // the device does not close.
  EXPECT_EQ(waveOutWrite(h, &first.header, sizeof(WAVEHDR)), WAVERR_STILLPLAYING);
  EXPECT_EQ(waveOutUnprepareHeader(h, &first.header, sizeof(WAVEHDR)), WAVERR_STILLPLAYING);
  EXPECT_EQ(waveOutClose(h), WAVERR_STILLPLAYING);

  ASSERT_EQ(waveOutRestart(h), MMSYSERR_NOERROR);
  ASSERT_TRUE(WaitUntil([&] { return first.Done() && second.Done(); }));
  EXPECT_EQ(Get(PlayedPath()), first.data + second.data);

  // Reset returns what is queued, played or not.
  ASSERT_EQ(waveOutPause(h), MMSYSERR_NOERROR);
  for (Block* b : {&first, &second}) ASSERT_EQ(waveOutWrite(h, &b->header, sizeof(WAVEHDR)), MMSYSERR_NOERROR);
  EXPECT_FALSE(first.Done() || second.Done());
  ASSERT_EQ(waveOutReset(h), MMSYSERR_NOERROR);
  EXPECT_TRUE(first.Done() && second.Done());
  EXPECT_FALSE(WaveHeaderFlags(first.header) & WHDR_INQUEUE);
  EXPECT_EQ(waveOutClose(h), MMSYSERR_NOERROR);
  EXPECT_EQ(Get(PlayedPath()), first.data + second.data);
}

TEST_F(WaveOutTest, RefusesBadArgumentsWithTheirCodes) {
  UseFileDevice();
  WAVEFORMATEX f = Pcm(1, 8000, 8);
  HWAVEOUT h = nullptr;
  EXPECT_EQ(waveOutOpen(nullptr, 0, &f, 0, 0, WAVE_FORMAT_QUERY), MMSYSERR_NOERROR);
  EXPECT_EQ(waveOutOpen(&h, 0, &f, 0, 0, WAVE_FORMAT_QUERY), MMSYSERR_NOERROR);
  EXPECT_EQ(h, nullptr);
  EXPECT_EQ(waveOutOpen(&h, 1, &f, 0, 0, CALLBACK_NULL), MMSYSERR_BADDEVICEID);
  EXPECT_EQ(waveOutOpen(&h, 0, nullptr, 0, 0, CALLBACK_NULL), MMSYSERR_INVALPARAM);
  EXPECT_EQ(waveOutOpen(&h, 0, &f, 0, 0, CALLBACK_EVENT), MMSYSERR_INVALPARAM);

  struct BadFormat {
    WORD tag, channels, bits, align;
    DWORD rate;
  } bad[] = {{2, 1, 8, 1, 8000}, {1, 0, 8, 0, 8000}, {1, 1, 12, 2, 8000}, {1, 2, 16, 2, 8000}, {1, 1, 8, 1, 0}};
  for (const BadFormat& b : bad) {
    WAVEFORMATEX w = f;
    w.wFormatTag = b.tag;
    w.nChannels = b.channels;
    w.wBitsPerSample = b.bits;
    w.nBlockAlign = b.align;
    w.nSamplesPerSec = b.rate;
    EXPECT_EQ(waveOutOpen(&h, 0, &w, 0, 0, CALLBACK_NULL), WAVERR_BADFORMAT);
    EXPECT_EQ(waveOutOpen(nullptr, 0, &w, 0, 0, WAVE_FORMAT_QUERY), WAVERR_BADFORMAT);
  }

  ASSERT_EQ(waveOutOpen(&h, 0, &f, 0, 0, CALLBACK_NULL), MMSYSERR_NOERROR);
  Block block(Pattern(10));
  EXPECT_EQ(waveOutWrite(h, &block.header, sizeof(WAVEHDR)), WAVERR_UNPREPARED);
  EXPECT_EQ(waveOutPrepareHeader(h, &block.header, sizeof(WAVEHDR) - 1), MMSYSERR_INVALPARAM);
  WAVEHDR noData{};
  noData.dwBufferLength = 10;
  EXPECT_EQ(waveOutPrepareHeader(h, &noData, sizeof(WAVEHDR)), MMSYSERR_INVALPARAM);
  EXPECT_EQ(waveOutClose(h), MMSYSERR_NOERROR);
  // A closed handle is no handle.
  EXPECT_EQ(waveOutClose(h), MMSYSERR_INVALHANDLE);
  EXPECT_EQ(waveOutWrite(h, &block.header, sizeof(WAVEHDR)), MMSYSERR_INVALHANDLE);
  EXPECT_EQ(waveOutReset(h), MMSYSERR_INVALHANDLE);
}
