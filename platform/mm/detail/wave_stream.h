// One open wave device: its ALSA PCM, its queue of blocks and the worker
// thread that moves the blocks' bytes to or from ALSA.
//
// Every ALSA call on the PCM after opening is made by the worker, so the
// PCM is never used from two threads. Callers change the state under the
// stream's lock and wait for the worker to act on requests that must have
// taken effect when the call returns (reset, stop, pause, close).
#pragma once
#include "platform/mm/detail/pcm.h"
#include "platform/mm/wave.h"

#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>

namespace mm {

enum class Direction { kOut, kIn };

struct Callback {
  DWORD type = CALLBACK_NULL;  // CALLBACK_NULL, _EVENT, _FUNCTION or _WINDOW
  DWORD_PTR target = 0;        // event handle, function or window
  DWORD_PTR instance = 0;
};

class WaveStream {
 public:
  // Opens device 0 with the format. With `stream` NULL only tests whether
  // the device takes it.
  static MMRESULT Open(Direction direction, const WAVEFORMATEX& format, std::unique_ptr<WaveStream>* stream);
  ~WaveStream();

  // Starts the worker and tells the callback that the device is open;
  // `handle` is what callbacks receive.
  MMRESULT Begin(void* handle, const Callback& callback);

  // Output: write; input: add buffer.
  MMRESULT Queue(WAVEHDR* header);
  bool IsQueued(const WAVEHDR* header);

  // Output: restart / pause. Input: start / stop.
  MMRESULT Run();
  MMRESULT Hold();
  MMRESULT Reset();
  // WAVERR_STILLPLAYING while blocks are queued; otherwise stops the worker,
  // closes the PCM and tells the callback.
  MMRESULT Close();

 private:
  enum Request : unsigned { kRun = 1, kHold = 2, kReset = 4, kQuit = 8 };

  WaveStream(Direction direction, snd_pcm_t* pcm, const PcmLayout& layout);

  MMRESULT Ask(unsigned request);
  void Serve(std::unique_lock<std::mutex>& lock, unsigned requests);
  void Work();
  // One step on the block at the front of the queue.
  void StepOut(std::unique_lock<std::mutex>& lock);
  void StepIn(std::unique_lock<std::mutex>& lock);
  snd_pcm_sframes_t Transfer(char* data, snd_pcm_uframes_t frames);
  // Takes blocks off the queue and marks them done; tells the callback with
  // the lock released.
  void Finish(std::unique_lock<std::mutex>& lock, size_t count);
  void FailAll(std::unique_lock<std::mutex>& lock);
  void Notify(UINT message, WAVEHDR* header);

  const Direction direction_;
  snd_pcm_t* const pcm_;
  const PcmLayout layout_;
  void* handle_ = nullptr;
  Callback callback_;

  std::mutex mutex_;
  std::condition_variable wake_;    // to the worker
  std::condition_variable served_;  // to callers
  std::deque<WAVEHDR*> queue_;
  unsigned requests_ = 0;
  unsigned long long asked_ = 0, done_ = 0;  // request tickets
  bool running_;        // output: not paused; input: started
  bool draining_ = false;
  size_t progress_ = 0;  // frames of the front output block given to ALSA
  bool failed_ = false;  // the device broke: blocks are returned unplayed
  bool closed_ = false;
  std::thread worker_;
};

}  // namespace mm
