// CSoundIO: records from wave input device 0 and plays through wave output
// device 0.
//
// Input: OpenMic opens the input on one block of 2n bytes (n from AllocBuf)
// with a worker thread woken by the auto-reset event "WaveInThreadEvent";
// OpenMicN has the device report to a window instead, whose owner calls
// AddBuffer for every finished block. Each AddBuffer queues the block again,
// waits for its next filling and handles it by m_nMode: 0 appends it to the
// WAV file opened by OpenWaveFile, 1 and 3 play it (through buffer 2), 2
// drops it. StopMic holds the input (StartMic goes on); CloseMic ends the
// worker and closes the input.
//
// Output: PlayFile plays one slice of a WAV file or image and returns once it
// has played, handling the calling thread's window messages meanwhile; the
// other operations open the output for blocks of the user's.
//
// Results of the opening operations: 0 = done (also: no device, after its
// message), 1 = the input was open already, otherwise the wave function's
// error code (after its message). Messages are boxes with the caption
// "sound i/o", an OK button and no owner. Deleting an object takes about
// 200 ms (the pauses of CloseMic and CloseOutput).
#pragma once
#include "merrobase/sound_wave.h"
#include "platform/mfc/object.h"
#include "platform/mm/sync.h"
#include "platform/mm/wave.h"
#include "platform/windef.h"

#include <atomic>
#include <mutex>

class CSoundIO : public CObject {
 public:
  CSoundIO();
  ~CSoundIO() override;

  // Both sample buffers anew with 4n bytes each, unless n is the current
  // size. A size whose block (2n bytes) a wave header cannot hold, or that
  // cannot be had, leaves no buffers and the size 0.
  void AllocBuf(unsigned long n);
  void WaveInitFormat(unsigned short channels, unsigned long rate, unsigned short bits);

  // MMSYSERR_NOMEM before AllocBuf (no buffer to record into).
  unsigned OpenMic();
  unsigned OpenMic(WAVEFORMATEX format);
  unsigned OpenMicN(HWND window);
  unsigned OpenMicN(HWND window, WAVEFORMATEX format);
  // For mode 0: creates `name` as the WAV file the recorded blocks are
  // appended to, in the input's format (the stored format fields when the
  // input is not open yet), after AllocBuf. 1 when created.
  int OpenWaveFile(const char* name);
  void AddBuffer();
  // Waits until the input block is done or the input is held or closing.
  void WaitRecordCompleted();
  void StartMic();
  void StopMic();
  void CloseMic();
  void Record2Play();

  void Suspend(HANDLE thread);
  void Resume(HANDLE thread);
  void KillInThread();
  void KillOutThread();
  // Ends that thread: sets its stop flag, resumes it if suspended and waits
  // for it (a Linux thread cannot be terminated from outside); then 50 ms.
  void killthread(HANDLE thread);

  // `length` bytes from byte `offset` of the file, or of the slice of the
  // image (see CSoundWave), on the device opened with their own format;
  // returns when they have played. MMSYSERR_ERROR when the slice cannot be
  // read (the device is then not opened).
  unsigned PlayFile(const char* name, long offset, long length);
  unsigned PlayFile(unsigned char* image, long size, long offset, long length);
  unsigned OpenOutput();
  unsigned OpenOutputZ();
  unsigned OpenOutputDev(WAVEFORMATEX format);
  // WAVERR_STILLPLAYING (after its message) while the previous block has not
  // played: the one output header is not taken from under the device.
  unsigned PlaySoundBuffer(char* data, unsigned long length);
  void WaitPlayCompleted();
  int IsPlaying();
  void CloseOutput();
  void CloseOutputDev();
  void StartOutput();
  void StopOutput();
  void LookOtherMsg();

  short* m_pInBuffer;
  WAVEINCAPS m_WaveInCaps;
  HWAVEIN m_hWaveIn;
  WAVEHDR m_WaveInHdr;
  HANDLE m_hInEvent;
  std::atomic<int> m_bInStop;
  HANDLE m_hInThread;
  DWORD m_dwInThreadId;
  std::atomic<int> m_nMode;
  BYTE* m_pOutBuffer;
  WAVEOUTCAPS m_WaveOutCaps;
  std::atomic<HWAVEOUT> m_hWaveOut;
  WAVEHDR m_WaveOutHdr;
  std::atomic<int> m_bOutStop;
  HANDLE m_hOutThread;
  WAVEFORMATEX m_WaveFormat;
  CSoundWave m_Wave;
  int m_nSamplesPerSec;
  int m_nChannels;
  int m_nBitsPerSample;
  DWORD m_nBufSize;

 private:
  static DWORD WINAPI InThread(LPVOID self);
  void RunInThread();
  bool WaitInEvent();
  unsigned OpenInput(const WAVEFORMATEX* format, HWND window);
  void EndInThread();
  void EndBlockHandling();
  void AppendRecorded(DWORD bytes);
  void PlayRecorded(DWORD bytes);
  template <class Read>
  unsigned Play(Read read);
  unsigned OpenOutputWith(const WAVEFORMATEX* format, bool queueBuffer2);
  bool FindOutputDevice();
  MMRESULT OpenOutputDevice(const WAVEFORMATEX* format, HWAVEOUT& out);
  MMRESULT WriteOutput(HWAVEOUT out, void* data, DWORD length);
  void ShutOutput(DWORD settleMs);

  // Set by StopMic and CloseMic, cleared by opening and StartMic: the
  // blocks still arriving are not handled and input is not restarted.
  std::atomic<bool> m_bHeld;
  // Keeps the block handling of AddBuffer apart from StopMic, CloseMic and
  // PlayFile, which end it or use m_Wave.
  std::mutex m_blockMutex;
};
