#include "platform/mm/detail/wave_stream.h"

#include "platform/mm/sync.h"
#include "platform/win/messages.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <system_error>
#include <vector>

namespace mm {
namespace {

// Done is published last, with release order, so that a caller that sees it
// also sees dwBytesRecorded and the recorded bytes.
void MarkDone(WAVEHDR* h) {
  __atomic_fetch_and(&h->dwFlags, ~DWORD(WHDR_INQUEUE), __ATOMIC_RELAXED);
  __atomic_fetch_or(&h->dwFlags, DWORD(WHDR_DONE), __ATOMIC_RELEASE);
}

void MarkQueued(WAVEHDR* h) {
  __atomic_fetch_and(&h->dwFlags, ~DWORD(WHDR_DONE), __ATOMIC_RELAXED);
  __atomic_fetch_or(&h->dwFlags, DWORD(WHDR_INQUEUE), __ATOMIC_RELEASE);
}

// How long the worker waits on ALSA before it looks at its requests again.
constexpr int kWaitMilliseconds = 10;
constexpr auto kDrainPoll = std::chrono::milliseconds(2);

}  // namespace

MMRESULT WaveStream::Open(Direction direction, const WAVEFORMATEX& format, std::unique_ptr<WaveStream>* stream) {
  if (MMRESULT r = CheckFormat(format)) return r;
  snd_pcm_t* pcm = nullptr;
  if (int e = OpenPcm(direction == Direction::kOut ? SND_PCM_STREAM_PLAYBACK : SND_PCM_STREAM_CAPTURE, &pcm); e < 0)
    return OpenError(e);
  PcmLayout layout;
  const MMRESULT r = ApplyFormat(pcm, format, &layout);
  if (r != MMSYSERR_NOERROR || !stream) {
    snd_pcm_close(pcm);
    return r;
  }
  stream->reset(new WaveStream(direction, pcm, layout));
  return MMSYSERR_NOERROR;
}

WaveStream::WaveStream(Direction direction, snd_pcm_t* pcm, const PcmLayout& layout)
    : direction_(direction), pcm_(pcm), layout_(layout), running_(direction == Direction::kOut) {}

WaveStream::~WaveStream() {
  if (worker_.joinable()) {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      requests_ |= kQuit;
      ++asked_;
    }
    wake_.notify_one();
    worker_.join();
  }
  if (!closed_) snd_pcm_close(pcm_);
}

MMRESULT WaveStream::Begin(void* handle, const Callback& callback) {
  handle_ = handle;
  callback_ = callback;
  try {
    worker_ = std::thread(&WaveStream::Work, this);
  } catch (const std::system_error&) {
    return MMSYSERR_NOMEM;
  }
  Notify(direction_ == Direction::kOut ? WOM_OPEN : WIM_OPEN, nullptr);
  return MMSYSERR_NOERROR;
}

MMRESULT WaveStream::Queue(WAVEHDR* h) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (closed_) return MMSYSERR_INVALHANDLE;
  if (!(WaveHeaderFlags(*h) & WHDR_PREPARED)) return WAVERR_UNPREPARED;
  if (std::find(queue_.begin(), queue_.end(), h) != queue_.end()) return WAVERR_STILLPLAYING;
  if (!h->lpData && h->dwBufferLength) return MMSYSERR_INVALPARAM;
  if (failed_) return MMSYSERR_NODRIVER;
  if (direction_ == Direction::kIn) h->dwBytesRecorded = 0;
  MarkQueued(h);
  queue_.push_back(h);
  wake_.notify_one();
  return MMSYSERR_NOERROR;
}

bool WaveStream::IsQueued(const WAVEHDR* h) {
  std::lock_guard<std::mutex> lock(mutex_);
  return std::find(queue_.begin(), queue_.end(), h) != queue_.end();
}

MMRESULT WaveStream::Run() { return Ask(kRun); }
MMRESULT WaveStream::Hold() { return Ask(kHold); }
MMRESULT WaveStream::Reset() { return Ask(kReset); }

MMRESULT WaveStream::Close() {
  std::unique_lock<std::mutex> lock(mutex_);
  if (closed_) return MMSYSERR_INVALHANDLE;
  if (std::this_thread::get_id() == worker_.get_id()) return MMSYSERR_HANDLEBUSY;
  if (!queue_.empty()) return WAVERR_STILLPLAYING;
  closed_ = true;  // from here on nothing more is queued or asked
  requests_ |= kQuit;
  ++asked_;
  wake_.notify_one();
  lock.unlock();
  worker_.join();
  snd_pcm_close(pcm_);
  Notify(direction_ == Direction::kOut ? WOM_CLOSE : WIM_CLOSE, nullptr);
  return MMSYSERR_NOERROR;
}

MMRESULT WaveStream::Ask(unsigned request) {
  std::unique_lock<std::mutex> lock(mutex_);
  if (closed_) return MMSYSERR_INVALHANDLE;
  // From a callback function, which runs on the worker between two steps.
  if (std::this_thread::get_id() == worker_.get_id()) {
    Serve(lock, request);
    return MMSYSERR_NOERROR;
  }
  requests_ |= request;
  const auto ticket = ++asked_;
  wake_.notify_one();
  served_.wait(lock, [&] { return done_ >= ticket; });
  return MMSYSERR_NOERROR;
}

void WaveStream::Work() {
  std::unique_lock<std::mutex> lock(mutex_);
  for (;;) {
    if (requests_) {
      const unsigned requests = requests_;
      const auto upTo = asked_;
      requests_ = 0;
      Serve(lock, requests);
      done_ = upTo;
      served_.notify_all();
      if (requests & kQuit) return;
      continue;
    }
    if (!running_ || queue_.empty()) {
      wake_.wait(lock);
      continue;
    }
    if (direction_ == Direction::kOut)
      StepOut(lock);
    else
      StepIn(lock);
  }
}

void WaveStream::Serve(std::unique_lock<std::mutex>& lock, unsigned requests) {
  const bool out = direction_ == Direction::kOut;
  if (requests & (kReset | kQuit)) {
    snd_pcm_drop(pcm_);
    draining_ = false;
    if (!out) running_ = false;
    Finish(lock, queue_.size());
  }
  if (requests & kHold) {
    running_ = false;
    if (out) {
      // A device that cannot pause plays out what ALSA holds already.
      if (snd_pcm_state(pcm_) == SND_PCM_STATE_RUNNING) snd_pcm_pause(pcm_, 1);
    } else {
      snd_pcm_drop(pcm_);
      if (!queue_.empty() && queue_.front()->dwBytesRecorded > 0) Finish(lock, 1);
    }
  }
  if (requests & kRun) {
    running_ = true;
    if (out && snd_pcm_state(pcm_) == SND_PCM_STATE_PAUSED) snd_pcm_pause(pcm_, 0);
  }
}

void WaveStream::StepOut(std::unique_lock<std::mutex>& lock) {
  WAVEHDR* h = queue_.front();
  const snd_pcm_uframes_t frames = h->dwBufferLength / layout_.frameBytes;
  if (!draining_ && progress_ < frames) {
    char* from = h->lpData + progress_ * layout_.frameBytes;
    lock.unlock();
    const snd_pcm_sframes_t n = Transfer(from, frames - progress_);
    lock.lock();
    if (n < 0) return FailAll(lock);
    progress_ += n;
    return;
  }
  // All its bytes are with ALSA. A block that another one follows is done
  // now; the last one when the device has played it out.
  if (!draining_ && queue_.size() > 1) return Finish(lock, 1);
  if (!draining_) {
    snd_pcm_drain(pcm_);  // non-blocking: starts draining, or is done already
    draining_ = true;
  }
  if (snd_pcm_state(pcm_) == SND_PCM_STATE_DRAINING) {
    lock.unlock();
    std::this_thread::sleep_for(kDrainPoll);
    lock.lock();
    return;
  }
  draining_ = false;
  Finish(lock, 1);
}

void WaveStream::StepIn(std::unique_lock<std::mutex>& lock) {
  WAVEHDR* h = queue_.front();
  const snd_pcm_uframes_t frames = h->dwBufferLength / layout_.frameBytes;
  const snd_pcm_uframes_t got = h->dwBytesRecorded / layout_.frameBytes;
  if (got >= frames) return Finish(lock, 1);
  char* into = h->lpData + got * layout_.frameBytes;
  lock.unlock();
  const snd_pcm_sframes_t n = Transfer(into, frames - got);
  lock.lock();
  if (n < 0) return FailAll(lock);
  h->dwBytesRecorded += DWORD(n * layout_.frameBytes);
}

snd_pcm_sframes_t WaveStream::Transfer(char* data, snd_pcm_uframes_t frames) {
  const bool out = direction_ == Direction::kOut;
  switch (snd_pcm_state(pcm_)) {
    case SND_PCM_STATE_SETUP:
    case SND_PCM_STATE_XRUN:
      if (int e = snd_pcm_prepare(pcm_); e < 0) return e;
      if (!out)
        if (int e = snd_pcm_start(pcm_); e < 0) return e;
      break;
    case SND_PCM_STATE_PREPARED:
      if (!out)
        if (int e = snd_pcm_start(pcm_); e < 0) return e;
      break;
    case SND_PCM_STATE_PAUSED:
      snd_pcm_pause(pcm_, 0);
      break;
    default:
      break;
  }
  // Capture plugins may refuse more than a period at once.
  if (!out) frames = std::min(frames, layout_.periodFrames);
  const snd_pcm_sframes_t n = out ? snd_pcm_writei(pcm_, data, frames) : snd_pcm_readi(pcm_, data, frames);
  if (n >= 0) return n;
  if (n == -EAGAIN) {
    snd_pcm_wait(pcm_, kWaitMilliseconds);
    return 0;
  }
  // Underrun, overrun or a suspended device: recover and try again; what
  // does not recover has gone away.
  const int e = snd_pcm_recover(pcm_, int(n), 1);
  return e < 0 ? e : 0;
}

void WaveStream::Finish(std::unique_lock<std::mutex>& lock, size_t count) {
  std::vector<WAVEHDR*> finished(queue_.begin(), queue_.begin() + count);
  queue_.erase(queue_.begin(), queue_.begin() + count);
  if (count) progress_ = 0;
  for (WAVEHDR* h : finished) MarkDone(h);
  if (finished.empty() || callback_.type == CALLBACK_NULL) return;
  lock.unlock();
  for (WAVEHDR* h : finished) Notify(direction_ == Direction::kOut ? WOM_DONE : WIM_DATA, h);
  lock.lock();
}

void WaveStream::FailAll(std::unique_lock<std::mutex>& lock) {
  failed_ = true;
  snd_pcm_drop(pcm_);
  draining_ = false;
  Finish(lock, queue_.size());
}

void WaveStream::Notify(UINT message, WAVEHDR* h) {
  switch (callback_.type) {
    case CALLBACK_EVENT:
      SetEvent(reinterpret_cast<HANDLE>(callback_.target));
      break;
    case CALLBACK_FUNCTION:
      if (direction_ == Direction::kOut)
        reinterpret_cast<LPWAVEOUTPROC>(callback_.target)(static_cast<HWAVEOUT>(handle_), message,
                                                          callback_.instance, DWORD_PTR(h), 0);
      else
        reinterpret_cast<LPWAVEINPROC>(callback_.target)(static_cast<HWAVEIN>(handle_), message,
                                                         callback_.instance, DWORD_PTR(h), 0);
      break;
    case CALLBACK_WINDOW:
      PostMessage(HWND(callback_.target), message, WPARAM(handle_), LPARAM(h));
      break;
    default:
      break;
  }
}

}  // namespace mm
