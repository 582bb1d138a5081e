#include "merrobase/sound_io.h"

#include "merrobase/sound_message.h"
#include "platform/win/message_pump.h"
#include "platform/win/timing.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <new>

namespace {

void Say(const char* text) { sound::ShowMessage(text, "sound i/o", MB_OK); }

bool Done(const WAVEHDR& h) { return WaveHeaderFlags(h) & WHDR_DONE; }
bool Queued(const WAVEHDR& h) { return WaveHeaderFlags(h) & WHDR_INQUEUE; }

// The longest wait of the input worker before it looks at its stop flag and
// its block again: an event signal taken by another recorder of the same
// name only delays it this much.
constexpr DWORD kWorkerPollMs = 50;

WAVEHDR Header(void* data, DWORD length) {
  WAVEHDR h{};
  h.lpData = static_cast<LPSTR>(data);
  h.dwBufferLength = length;
  return h;
}

}  // namespace

CSoundIO::CSoundIO()
    : m_pInBuffer(nullptr), m_WaveInCaps{}, m_hWaveIn(nullptr), m_WaveInHdr{}, m_hInEvent(nullptr), m_bInStop(1),
      m_hInThread(nullptr), m_dwInThreadId(0), m_nMode(0), m_pOutBuffer(nullptr), m_WaveOutCaps{},
      m_hWaveOut(nullptr), m_WaveOutHdr{}, m_bOutStop(0), m_hOutThread(nullptr), m_WaveFormat{},
      m_nSamplesPerSec(8000), m_nChannels(1), m_nBitsPerSample(8), m_nBufSize(0), m_bHeld(false) {
  // No block was ever queued: nothing plays.
  m_WaveOutHdr.dwFlags = WHDR_DONE;
}

CSoundIO::~CSoundIO() {
  CloseMic();
  CloseOutput();
  delete[] m_pInBuffer;
  delete[] m_pOutBuffer;
}

void CSoundIO::AllocBuf(unsigned long n) {
  if (n == m_nBufSize) return;
  delete[] m_pInBuffer;
  delete[] m_pOutBuffer;
  m_pInBuffer = nullptr;
  m_pOutBuffer = nullptr;
  m_nBufSize = 0;
  if (n == 0 || n > UINT32_MAX / 2) return;
  m_pInBuffer = new (std::nothrow) short[2 * size_t(n)];
  m_pOutBuffer = new (std::nothrow) BYTE[4 * size_t(n)];
  if (!m_pInBuffer || !m_pOutBuffer) {
    delete[] m_pInBuffer;
    delete[] m_pOutBuffer;
    m_pInBuffer = nullptr;
    m_pOutBuffer = nullptr;
    return;
  }
  m_nBufSize = DWORD(n);
}

void CSoundIO::WaveInitFormat(unsigned short channels, unsigned long rate, unsigned short bits) {
  m_WaveFormat.wFormatTag = WAVE_FORMAT_PCM;
  m_WaveFormat.nChannels = channels;
  m_WaveFormat.nSamplesPerSec = DWORD(rate);
  m_WaveFormat.nAvgBytesPerSec = DWORD(uint64_t(channels) * bits * rate / 8);
  m_WaveFormat.nBlockAlign = WORD(channels * bits / 8);
  m_WaveFormat.wBitsPerSample = bits;
  m_WaveFormat.cbSize = 0;
}

// ---- input ----

unsigned CSoundIO::OpenMic() { return OpenInput(nullptr, 0); }
unsigned CSoundIO::OpenMic(WAVEFORMATEX format) { return OpenInput(&format, 0); }
unsigned CSoundIO::OpenMicN(HWND window) { return OpenInput(nullptr, window); }
unsigned CSoundIO::OpenMicN(HWND window, WAVEFORMATEX format) { return OpenInput(&format, window); }

unsigned CSoundIO::OpenInput(const WAVEFORMATEX* format, HWND window) {
  if (m_hWaveIn) return 1;
  if (!m_pInBuffer) return MMSYSERR_NOMEM;
  if (waveInGetNumDevs() == 0) {
    Say("No Sound Device");
    return 0;
  }
  m_pInBuffer[0] = 0;
  if (waveInGetDevCaps(0, &m_WaveInCaps, sizeof m_WaveInCaps) != MMSYSERR_NOERROR)
    Say("Cannot determine sound card capabilities !");
  m_bHeld = false;
  // The header is set up before the worker exists, which reads its flags.
  m_WaveInHdr = Header(m_pInBuffer, 2 * m_nBufSize);
  const bool withWorker = !window;
  if (withWorker) {
    m_hInEvent = CreateEvent(nullptr, FALSE, FALSE, "WaveInThreadEvent");
    m_bInStop = 0;
    m_hInThread = CreateThread(nullptr, 0, &CSoundIO::InThread, this, 0, &m_dwInThreadId);
    if (m_hInThread) ResumeThread(m_hInThread);
  }
  if (format)
    m_WaveFormat = *format;
  else
    WaveInitFormat(WORD(m_nChannels), DWORD(m_nSamplesPerSec), WORD(m_nBitsPerSample));

  MMRESULT r = withWorker ? waveInOpen(&m_hWaveIn, 0, &m_WaveFormat, DWORD_PTR(m_hInEvent), 0, CALLBACK_EVENT)
                          : waveInOpen(&m_hWaveIn, 0, &m_WaveFormat, DWORD_PTR(window), 0, CALLBACK_WINDOW);
  if (r != MMSYSERR_NOERROR) {
    Say("Cannot Open Sound Input Device!");
    m_hWaveIn = nullptr;
    // Nothing is open for the worker to wait for.
    if (withWorker) EndInThread();
    return r;
  }
  r = waveInPrepareHeader(m_hWaveIn, &m_WaveInHdr, sizeof(WAVEHDR));
  if (r != MMSYSERR_NOERROR || WaveHeaderFlags(m_WaveInHdr) != WHDR_PREPARED) {
    Say("Cannot Prepare Header !");
    return r;
  }
  if ((r = waveInAddBuffer(m_hWaveIn, &m_WaveInHdr, sizeof(WAVEHDR))) != MMSYSERR_NOERROR) {
    Say("Cannot Add Buffer !");
    return r;
  }
  if ((r = waveInStart(m_hWaveIn)) != MMSYSERR_NOERROR) {
    Say("Cannot Start Wave In !");
    return r;
  }
  return 0;
}

int CSoundIO::OpenWaveFile(const char* name) {
  if (m_nBufSize == 0) return 0;
  if (!m_hWaveIn) WaveInitFormat(WORD(m_nChannels), DWORD(m_nSamplesPerSec), WORD(m_nBitsPerSample));
  std::lock_guard<std::mutex> lock(m_blockMutex);
  return m_Wave.CreateWaveFile(name, m_WaveFormat, 2 * m_nBufSize);
}

DWORD WINAPI CSoundIO::InThread(LPVOID self) {
  static_cast<CSoundIO*>(self)->RunInThread();
  return 0;
}

void CSoundIO::RunInThread() {
  sound::MarkWorkerThread();
  // The device signals the event when it opens; that signal brings no block.
  if (!WaitInEvent()) return;
  while (WaitInEvent()) {
    // A signal without a finished block is another recorder's (the event's
    // name is shared) or a stale one: nothing to handle yet.
    if (!Done(m_WaveInHdr)) continue;
    AddBuffer();
    if (m_bInStop) return;
  }
}

// False once the worker is to stop.
bool CSoundIO::WaitInEvent() {
  for (;;) {
    if (m_bInStop) return false;
    const DWORD r = WaitForSingleObject(m_hInEvent, kWorkerPollMs);
    if (r == WAIT_OBJECT_0) return !m_bInStop;
    if (r != WAIT_TIMEOUT) return false;
    if (Done(m_WaveInHdr)) return !m_bInStop;
  }
}

void CSoundIO::AddBuffer() {
  if (!m_hWaveIn) return;  // a block reported after the input closed
  if (waveInUnprepareHeader(m_hWaveIn, &m_WaveInHdr, sizeof(WAVEHDR)) != MMSYSERR_NOERROR) {
    Say("Cannot UnPrepareHeader !");
    return;
  }
  m_WaveInHdr = Header(m_pInBuffer, 2 * m_nBufSize);
  const MMRESULT prepared = waveInPrepareHeader(m_hWaveIn, &m_WaveInHdr, sizeof(WAVEHDR));
  if (prepared != MMSYSERR_NOERROR || WaveHeaderFlags(m_WaveInHdr) != WHDR_PREPARED) Say("Cannot Prepare Header !");
  if (waveInAddBuffer(m_hWaveIn, &m_WaveInHdr, sizeof(WAVEHDR)) != MMSYSERR_NOERROR) Say("Cannot Add Buffer !");

  const int mode = m_nMode;
  if (mode < 0 || mode > 3) {
    waveInStart(m_hWaveIn);
    return;
  }
  WaitRecordCompleted();
  std::lock_guard<std::mutex> lock(m_blockMutex);
  // Held or closing: what the block holds now is StopMic's or CloseMic's,
  // and the input is not started again.
  if (m_bHeld || !Done(m_WaveInHdr)) return;
  const DWORD recorded = std::min(m_WaveInHdr.dwBytesRecorded, DWORD(2 * m_nBufSize));
  if (mode == 0) AppendRecorded(recorded);
  if (mode == 1 || mode == 3) PlayRecorded(recorded);
  waveInStart(m_hWaveIn);
}

void CSoundIO::AppendRecorded(DWORD bytes) {
  if (!m_Wave.m_pData || !m_pInBuffer || m_Wave.m_dwDataSize == 0) return;
  // The block holds what was recorded, however large m_Wave's block is.
  const DWORD blockSize = m_Wave.m_dwDataSize;
  const DWORD take = std::min(bytes, blockSize);
  memcpy(m_Wave.m_pData, m_pInBuffer, take);
  m_Wave.m_dwDataSize = take;
  m_Wave.AppendData();
  m_Wave.m_dwDataSize = blockSize;
}

void CSoundIO::PlayRecorded(DWORD bytes) {
  // Buffer 2 and the output header may still be busy with the block before:
  // it is played out first (the output runs on the same clock as the input).
  while (Queued(m_WaveOutHdr) && !m_bHeld && m_hWaveOut) Sleep(1);
  if (Queued(m_WaveOutHdr) || !m_pOutBuffer || !m_pInBuffer) return;
  memcpy(m_pOutBuffer, m_pInBuffer, bytes);
  PlaySoundBuffer(reinterpret_cast<char*>(m_pOutBuffer), bytes);
}

void CSoundIO::WaitRecordCompleted() {
  while (!Done(m_WaveInHdr) && !m_bHeld) Sleep(1);
}

void CSoundIO::StartMic() {
  if (!m_hWaveIn) return;
  m_bHeld = false;
  waveInStart(m_hWaveIn);
}

void CSoundIO::EndBlockHandling() {
  switch (m_nMode) {
    case 0:
      m_Wave.CloseFile();
      if (m_Wave.m_pData) m_Wave.FreeData();
      break;
    case 1:
    case 3:
      CloseOutput();
      break;
    default:
      break;
  }
}

void CSoundIO::StopMic() {
  m_bHeld = true;
  std::lock_guard<std::mutex> lock(m_blockMutex);
  EndBlockHandling();
  if (m_hWaveIn) {
    waveInStop(m_hWaveIn);
    waveInReset(m_hWaveIn);
  }
}

void CSoundIO::CloseMic() {
  m_bHeld = true;
  KillInThread();
  if (m_hInEvent) SetEvent(m_hInEvent);
  Sleep(50);
  if (m_hInEvent) CloseHandle(m_hInEvent);
  m_hInEvent = nullptr;
  {
    std::lock_guard<std::mutex> lock(m_blockMutex);
    EndBlockHandling();
  }
  if (m_hWaveIn) {
    waveInReset(m_hWaveIn);
    waveInStop(m_hWaveIn);
    waveInClose(m_hWaveIn);
    m_hWaveIn = nullptr;
  }
}

void CSoundIO::Record2Play() {
  if (m_hWaveIn) CloseMic();
  if (m_hWaveOut) CloseOutput();
  const unsigned long n = (unsigned long)m_nBitsPerSample * m_nChannels * m_nSamplesPerSec / 16;
  m_nMode = 3;
  AllocBuf(n);
  OpenMic();
  OpenOutputZ();
}

void CSoundIO::Suspend(HANDLE thread) {
  if (thread) SuspendThread(thread);
}

void CSoundIO::Resume(HANDLE thread) {
  if (thread) ResumeThread(thread);
}

void CSoundIO::KillInThread() {
  m_bInStop = 1;
  Sleep(50);
  killthread(m_hInThread);
  if (m_hInThread) CloseHandle(m_hInThread);
  m_hInThread = nullptr;
}

void CSoundIO::KillOutThread() {
  m_bOutStop = 1;
  Sleep(50);
  killthread(m_hOutThread);
}

void CSoundIO::killthread(HANDLE thread) {
  if (thread) {
    if (thread == m_hInThread) m_bInStop = 1;
    if (thread == m_hOutThread) m_bOutStop = 1;
    // A suspended thread would never come to its stop flag.
    for (DWORD count = ResumeThread(thread); count != DWORD(-1) && count > 1; count = ResumeThread(thread)) {
    }
    WaitForSingleObject(thread, INFINITE);
  }
  Sleep(50);
}

void CSoundIO::EndInThread() {
  KillInThread();
  if (m_hInEvent) CloseHandle(m_hInEvent);
  m_hInEvent = nullptr;
}

// ---- output ----

template <class Read>
unsigned CSoundIO::Play(Read read) {
  if (!FindOutputDevice()) return 0;
  {
    // Apart from a loop-back's block handling, which uses m_Wave and the
    // output header as well.
    std::lock_guard<std::mutex> lock(m_blockMutex);
    // The reader has shown why: nothing to play, the device is not opened.
    if (!read()) return MMSYSERR_ERROR;
    HWAVEOUT out = nullptr;
    if (const MMRESULT r = OpenOutputDevice(&m_Wave.m_Format, out)) return r;
    if (const MMRESULT r = WriteOutput(out, m_Wave.m_pData, m_Wave.m_dwDataSize)) return r;
  }
  WaitPlayCompleted();
  // A window procedure run meanwhile may have closed the output or played
  // something else on it: what is open now is closed.
  ShutOutput(5);
  std::lock_guard<std::mutex> lock(m_blockMutex);
  if (m_Wave.m_pData) m_Wave.FreeData();
  return 0;
}

unsigned CSoundIO::PlayFile(const char* name, long offset, long length) {
  return Play([&] {
    m_Wave.SetFileName(name);
    return length >= 0 && m_Wave.ReadFile(offset, (unsigned long)length);
  });
}

unsigned CSoundIO::PlayFile(unsigned char* image, long size, long offset, long length) {
  return Play([&] {
    return size >= 0 && length >= 0 && m_Wave.ParseImage(image, (unsigned long)size, offset, (unsigned long)length);
  });
}

unsigned CSoundIO::OpenOutputWith(const WAVEFORMATEX* format, bool queueBuffer2) {
  if (!FindOutputDevice()) return 0;
  if (!format) {
    WaveInitFormat(WORD(m_nChannels), DWORD(m_nSamplesPerSec), WORD(m_nBitsPerSample));
    format = &m_WaveFormat;
  }
  HWAVEOUT out = nullptr;
  MMRESULT r = OpenOutputDevice(format, out);
  if (r != MMSYSERR_NOERROR) return r;
  if (!queueBuffer2) return 0;
  if ((r = WriteOutput(out, m_pOutBuffer, 2 * m_nBufSize)) != MMSYSERR_NOERROR) return r;
  if ((r = waveOutRestart(out)) != MMSYSERR_NOERROR) {
    Say(" Sound Output Cannot Start Wave Out !");
    return r;
  }
  return 0;
}

unsigned CSoundIO::OpenOutput() { return OpenOutputWith(nullptr, true); }
unsigned CSoundIO::OpenOutputZ() { return OpenOutputWith(nullptr, false); }
unsigned CSoundIO::OpenOutputDev(WAVEFORMATEX format) { return OpenOutputWith(&format, false); }

unsigned CSoundIO::PlaySoundBuffer(char* data, unsigned long length) {
  const HWAVEOUT out = m_hWaveOut;
  if (!out) return 0;
  if (Queued(m_WaveOutHdr)) {
    Say(" Sound Output Cannot Write Buffer !");
    return WAVERR_STILLPLAYING;
  }
  if (length > UINT32_MAX) length = 0;
  return WriteOutput(out, data, DWORD(length));
}

// Closes an open output first; false, once said, when there is no device.
bool CSoundIO::FindOutputDevice() {
  if (m_hWaveOut) CloseOutput();
  if (waveOutGetNumDevs() == 0) {
    Say("No Sound Output Device");
    return false;
  }
  if (waveOutGetDevCaps(0, &m_WaveOutCaps, sizeof m_WaveOutCaps) != MMSYSERR_NOERROR)
    Say("Sound output Cannot determine card capabilities !");
  return true;
}

// `out` is what was opened, whatever another thread does to m_hWaveOut.
MMRESULT CSoundIO::OpenOutputDevice(const WAVEFORMATEX* format, HWAVEOUT& out) {
  out = nullptr;
  const MMRESULT r = waveOutOpen(&out, 0, format, 0, 0, CALLBACK_NULL);
  if (r != MMSYSERR_NOERROR) {
    Say("Sound output Cannot Open Device!");
    return r;
  }
  m_hWaveOut = out;
  return MMSYSERR_NOERROR;
}

// Queues the block on the output through the output header.
MMRESULT CSoundIO::WriteOutput(HWAVEOUT out, void* data, DWORD length) {
  m_WaveOutHdr = Header(data, length);
  MMRESULT r = waveOutPrepareHeader(out, &m_WaveOutHdr, sizeof(WAVEHDR));
  if (r != MMSYSERR_NOERROR || WaveHeaderFlags(m_WaveOutHdr) != WHDR_PREPARED) {
    Say(" Sound Output Cannot Prepare Header !");
    return r;
  }
  if ((r = waveOutWrite(out, &m_WaveOutHdr, sizeof(WAVEHDR))) != MMSYSERR_NOERROR) {
    Say(" Sound Output Cannot Write Buffer !");
    return r;
  }
  return MMSYSERR_NOERROR;
}

// Pauses what is open, lets it settle for `settleMs` and closes it; another
// thread may have closed it meanwhile.
void CSoundIO::ShutOutput(DWORD settleMs) {
  if (HWAVEOUT out = m_hWaveOut) waveOutPause(out);
  Sleep(settleMs);
  if (HWAVEOUT out = m_hWaveOut.exchange(nullptr)) {
    waveOutReset(out);
    waveOutClose(out);
  }
}

void CSoundIO::WaitPlayCompleted() {
  while (!Done(m_WaveOutHdr)) {
    LookOtherMsg();
    if (!Done(m_WaveOutHdr)) Sleep(1);
  }
}

int CSoundIO::IsPlaying() { return Done(m_WaveOutHdr) ? 0 : 1; }

void CSoundIO::CloseOutput() { ShutOutput(50); }

void CSoundIO::CloseOutputDev() { CloseOutput(); }

void CSoundIO::StartOutput() {
  if (HWAVEOUT out = m_hWaveOut) waveOutRestart(out);
}

void CSoundIO::StopOutput() {
  if (HWAVEOUT out = m_hWaveOut) waveOutPause(out);
}

void CSoundIO::LookOtherMsg() { win::DispatchWaitingMessages(); }
