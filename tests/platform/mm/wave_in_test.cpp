#include "platform/mm/sync.h"
#include "platform/mm/wave.h"

#include "alsa_fixture.h"
#include "wave_support.h"

#include <memory>
#include <vector>

using WaveInTest = AlsaTest;

namespace {

using wavetest::Pcm;
using Calls = wavetest::Calls<HWAVEIN>;

struct Buffer {
  explicit Buffer(size_t n) : data(n, '\x55') {
    header.lpData = data.data();
    header.dwBufferLength = DWORD(n);
  }
  std::string data;
  WAVEHDR header{};
  bool Done() const { return WaveHeaderFlags(header) & WHDR_DONE; }
  std::string Recorded() const { return data.substr(0, header.dwBytesRecorded); }
};

}  // namespace

TEST_F(WaveInTest, RecordsTheDevicesBytesIntoQueuedBuffersInOrder) {
  const std::string input = Pattern(20000, 7);
  Put(RecordPath(), input);
  UseFileDevice(RecordPath());
  ASSERT_EQ(waveInGetNumDevs(), 1u);
  WAVEINCAPS caps;
  ASSERT_EQ(waveInGetDevCaps(0, &caps, sizeof caps), MMSYSERR_NOERROR);
  EXPECT_STREQ(caps.szPname, "ALSA default");

  HANDLE event = CreateEvent(nullptr, FALSE, FALSE, nullptr);
  const WAVEFORMATEX f = Pcm(1, 8000, 8);
  HWAVEIN h = nullptr;
  ASSERT_EQ(waveInOpen(&h, 0, &f, DWORD_PTR(event), 0, CALLBACK_EVENT), MMSYSERR_NOERROR);
  EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_OBJECT_0);  // open

  Buffer first(3000), second(5000);
  for (Buffer* b : {&first, &second}) {
    ASSERT_EQ(waveInPrepareHeader(h, &b->header, sizeof(WAVEHDR)), MMSYSERR_NOERROR);
    EXPECT_EQ(b->header.dwFlags, DWORD(WHDR_PREPARED));
    ASSERT_EQ(waveInAddBuffer(h, &b->header, sizeof(WAVEHDR)), MMSYSERR_NOERROR);
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(30));
  EXPECT_FALSE(first.Done()) << "recording before waveInStart";
  ASSERT_EQ(waveInStart(h), MMSYSERR_NOERROR);
  // Signals of an auto-reset event do not add up: at least one comes.
  EXPECT_EQ(WaitForSingleObject(event, 20000), WAIT_OBJECT_0);
  ASSERT_TRUE(WaitUntil([&] { return second.Done(); }));
  EXPECT_TRUE(first.Done());
  WaitForSingleObject(event, 0);
  EXPECT_EQ(first.Recorded(), input.substr(0, 3000));
  EXPECT_EQ(second.Recorded(), input.substr(3000, 5000));
  EXPECT_FALSE(WaveHeaderFlags(second.header) & WHDR_INQUEUE);

  // The same buffer queued again goes on where the device is.
  ASSERT_EQ(waveInAddBuffer(h, &first.header, sizeof(WAVEHDR)), MMSYSERR_NOERROR);
  EXPECT_EQ(WaitForSingleObject(event, 20000), WAIT_OBJECT_0);
  EXPECT_EQ(first.Recorded(), input.substr(8000, 3000));

  EXPECT_EQ(waveInStop(h), MMSYSERR_NOERROR);
  EXPECT_EQ(waveInReset(h), MMSYSERR_NOERROR);
  EXPECT_EQ(waveInClose(h), MMSYSERR_NOERROR);
  EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_OBJECT_0);  // close
  CloseHandle(event);
}

TEST_F(WaveInTest, WholeFramesOnlyAndFunctionCallbacksInOrder) {
  const std::string input = Pattern(4000, 3);
  Put(RecordPath(), input);
  UseFileDevice(RecordPath());
  const WAVEFORMATEX f = Pcm(2, 22050, 16);
  Calls calls;
  HWAVEIN h = nullptr;
  ASSERT_EQ(waveInOpen(&h, 0, &f, DWORD_PTR(&Calls::Proc), DWORD_PTR(&calls), CALLBACK_FUNCTION),
            MMSYSERR_NOERROR);
  Buffer odd(1003), tiny(3);
  for (Buffer* b : {&odd, &tiny}) {
    ASSERT_EQ(waveInPrepareHeader(h, &b->header, sizeof(WAVEHDR)), MMSYSERR_NOERROR);
    ASSERT_EQ(waveInAddBuffer(h, &b->header, sizeof(WAVEHDR)), MMSYSERR_NOERROR);
  }
  ASSERT_EQ(waveInStart(h), MMSYSERR_NOERROR);
  ASSERT_TRUE(WaitUntil([&] { return calls.Count() == 3; }));
  EXPECT_EQ(odd.header.dwBytesRecorded, 1000u);
  EXPECT_EQ(odd.Recorded(), input.substr(0, 1000));
  EXPECT_EQ(tiny.header.dwBytesRecorded, 0u);
  EXPECT_EQ(waveInClose(h), MMSYSERR_NOERROR);
  const std::vector<std::pair<UINT, DWORD_PTR>> expected = {
      {WIM_OPEN, 0}, {WIM_DATA, DWORD_PTR(&odd.header)}, {WIM_DATA, DWORD_PTR(&tiny.header)}, {WIM_CLOSE, 0}};
  EXPECT_EQ(calls.seen, expected);
}

TEST_F(WaveInTest, QueuedBuffersStayUntilResetAndHoldTheDeviceOpen) {
  Put(RecordPath(), Pattern(1000));
  UseFileDevice(RecordPath());
  const WAVEFORMATEX f = Pcm(1, 8000, 8);
  HWAVEIN h = nullptr;
  ASSERT_EQ(waveInOpen(&h, 0, &f, 0, 0, CALLBACK_NULL), MMSYSERR_NOERROR);
  Buffer a(100), b(100);
  EXPECT_EQ(waveInAddBuffer(h, &a.header, sizeof(WAVEHDR)), WAVERR_UNPREPARED);
  for (Buffer* x : {&a, &b}) {
    ASSERT_EQ(waveInPrepareHeader(h, &x->header, sizeof(WAVEHDR)), MMSYSERR_NOERROR);
    ASSERT_EQ(waveInAddBuffer(h, &x->header, sizeof(WAVEHDR)), MMSYSERR_NOERROR);
  }
  EXPECT_EQ(waveInAddBuffer(h, &a.header, sizeof(WAVEHDR)), WAVERR_STILLPLAYING);
  EXPECT_EQ(waveInUnprepareHeader(h, &a.header, sizeof(WAVEHDR)), WAVERR_STILLPLAYING);
  EXPECT_EQ(waveInClose(h), WAVERR_STILLPLAYING);
  // Stop keeps empty buffers queued.
  EXPECT_EQ(waveInStop(h), MMSYSERR_NOERROR);
  EXPECT_FALSE(a.Done());
  EXPECT_EQ(waveInReset(h), MMSYSERR_NOERROR);
  EXPECT_TRUE(a.Done() && b.Done());
  EXPECT_EQ(a.header.dwBytesRecorded, 0u);
  EXPECT_EQ(waveInUnprepareHeader(h, &a.header, sizeof(WAVEHDR)), MMSYSERR_NOERROR);
  EXPECT_EQ(a.header.dwFlags, DWORD(WHDR_DONE));
  EXPECT_EQ(waveInClose(h), MMSYSERR_NOERROR);
  EXPECT_EQ(waveInStart(h), MMSYSERR_INVALHANDLE);
}

TEST_F(WaveInTest, NoDeviceIsReportedAsNone) {
  UseNoDevice();
  EXPECT_EQ(waveInGetNumDevs(), 0u);
  WAVEINCAPS caps;
  EXPECT_EQ(waveInGetDevCaps(0, &caps, sizeof caps), MMSYSERR_BADDEVICEID);
  const WAVEFORMATEX f = Pcm(1, 8000, 8);
  HWAVEIN h = nullptr;
  EXPECT_EQ(waveInOpen(&h, 0, &f, 0, 0, CALLBACK_NULL), MMSYSERR_BADDEVICEID);
}
