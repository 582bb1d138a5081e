// Wave devices that report to a window: their messages arrive through the
// window layer's queue, on the GUI thread.
#include <QCoreApplication>
#include <QThread>

#include "platform/mm/wave.h"
#include "platform/win/hidden_window.h"
#include "platform/win/message_pump.h"
#include "platform/win/messages.h"
#include "tests/platform/win/test_support.h"

#include "alsa_fixture.h"
#include "wave_support.h"

#include <vector>

namespace {

struct Message {
  UINT msg;
  WPARAM device;
  LPARAM header;
  bool operator==(const Message& o) const { return msg == o.msg && device == o.device && header == o.header; }
};

class WaveWindowTest : public AlsaTest {
 protected:
  void SetUp() override {
    AlsaTest::SetUp();
    test::App();
    h_ = win::CreateHiddenWindow("wave");
    ASSERT_NE(h_, 0u);
    RegisterWindowProc(h_, [this](UINT msg, WPARAM w, LPARAM l) -> LRESULT {
      EXPECT_EQ(QThread::currentThread(), qApp->thread());
      got_.push_back({msg, w, l});
      return 0;
    });
  }
  void TearDown() override { DestroyWindow(h_); }
  bool WaitForMessages(size_t n) {
    return WaitUntil([&] {
      win::DispatchWaitingMessages();
      return got_.size() >= n;
    });
  }
  HWND h_ = 0;
  std::vector<Message> got_;
};

WAVEFORMATEX Mono8k() { return wavetest::Pcm(1, 8000, 8); }

}  // namespace

TEST_F(WaveWindowTest, InputReportsOpenEachBlockAndClose) {
  const std::string input = Pattern(3000);
  Put(RecordPath(), input);
  UseFileDevice(RecordPath());
  const WAVEFORMATEX f = Mono8k();
  HWAVEIN in = nullptr;
  ASSERT_EQ(waveInOpen(&in, 0, &f, DWORD_PTR(h_), 0, CALLBACK_WINDOW), MMSYSERR_NOERROR);
  std::string data(1000, '\0');
  WAVEHDR header{};
  header.lpData = data.data();
  header.dwBufferLength = DWORD(data.size());
  ASSERT_EQ(waveInPrepareHeader(in, &header, sizeof header), MMSYSERR_NOERROR);
  ASSERT_EQ(waveInAddBuffer(in, &header, sizeof header), MMSYSERR_NOERROR);
  ASSERT_EQ(waveInStart(in), MMSYSERR_NOERROR);
  ASSERT_TRUE(WaitForMessages(2));
  EXPECT_EQ(data, input.substr(0, 1000));
  ASSERT_EQ(waveInClose(in), MMSYSERR_NOERROR);
  ASSERT_TRUE(WaitForMessages(3));
  const WPARAM device = WPARAM(in);
  EXPECT_EQ(got_, (std::vector<Message>{
                      {MM_WIM_OPEN, device, 0}, {MM_WIM_DATA, device, LPARAM(&header)}, {MM_WIM_CLOSE, device, 0}}));
}

TEST_F(WaveWindowTest, OutputReportsEachPlayedBlock) {
  UseFileDevice();
  const WAVEFORMATEX f = Mono8k();
  HWAVEOUT out = nullptr;
  ASSERT_EQ(waveOutOpen(&out, 0, &f, DWORD_PTR(h_), 0, CALLBACK_WINDOW), MMSYSERR_NOERROR);
  std::string data = Pattern(500);
  WAVEHDR header{};
  header.lpData = data.data();
  header.dwBufferLength = DWORD(data.size());
  ASSERT_EQ(waveOutPrepareHeader(out, &header, sizeof header), MMSYSERR_NOERROR);
  ASSERT_EQ(waveOutWrite(out, &header, sizeof header), MMSYSERR_NOERROR);
  ASSERT_TRUE(WaitForMessages(2));
  ASSERT_EQ(waveOutClose(out), MMSYSERR_NOERROR);
  ASSERT_TRUE(WaitForMessages(3));
  const WPARAM device = WPARAM(out);
  EXPECT_EQ(got_, (std::vector<Message>{
                      {MM_WOM_OPEN, device, 0}, {MM_WOM_DONE, device, LPARAM(&header)}, {MM_WOM_CLOSE, device, 0}}));
  EXPECT_EQ(Get(PlayedPath()), data);
}
