// Shared by the wave device tests: PCM formats and a callback function that
// keeps what it was told.
#pragma once
#include "platform/mm/wave.h"

#include <mutex>
#include <utility>
#include <vector>

namespace wavetest {

inline WAVEFORMATEX Pcm(WORD channels, DWORD rate, WORD bits) {
  WAVEFORMATEX f{};
  f.wFormatTag = WAVE_FORMAT_PCM;
  f.nChannels = channels;
  f.nSamplesPerSec = rate;
  f.wBitsPerSample = bits;
  f.nBlockAlign = WORD(channels * bits / 8);
  f.nAvgBytesPerSec = rate * f.nBlockAlign;
  return f;
}

// What a callback function was told, in order; `Device` is the handle type
// of the direction it serves.
template <class Device>
struct Calls {
  std::mutex mutex;
  std::vector<std::pair<UINT, DWORD_PTR>> seen;
  static void CALLBACK Proc(Device, UINT msg, DWORD_PTR instance, DWORD_PTR header, DWORD_PTR) {
    auto* self = reinterpret_cast<Calls*>(instance);
    std::lock_guard<std::mutex> lock(self->mutex);
    self->seen.emplace_back(msg, header);
  }
  size_t Count() {
    std::lock_guard<std::mutex> lock(mutex);
    return seen.size();
  }
};

}  // namespace wavetest
