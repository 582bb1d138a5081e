#include "platform/mm/wave.h"

#include "platform/mm/detail/pcm.h"
#include "platform/mm/detail/wave_stream.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>

namespace {

using mm::Direction;
using mm::WaveStream;

// The open devices of one direction by handle. Never destroyed, so that a
// device closed late in the process's exit still finds its table.
struct Devices {
  std::mutex mutex;
  std::map<void*, std::shared_ptr<WaveStream>> open;
};
Devices& DevicesOf(Direction d) {
  static Devices* out = new Devices;
  static Devices* in = new Devices;
  return d == Direction::kOut ? *out : *in;
}

snd_pcm_stream_t AlsaDirection(Direction d) {
  return d == Direction::kOut ? SND_PCM_STREAM_PLAYBACK : SND_PCM_STREAM_CAPTURE;
}

bool IsDeviceZero(UINT_PTR id) { return id == 0 || id == WAVE_MAPPER || id == UINT_PTR(-1); }

std::shared_ptr<WaveStream> Find(Direction d, void* h) {
  Devices& devices = DevicesOf(d);
  std::lock_guard<std::mutex> lock(devices.mutex);
  auto it = devices.open.find(h);
  return it == devices.open.end() ? nullptr : it->second;
}

UINT NumDevs(Direction d) {
  {
    Devices& devices = DevicesOf(d);
    std::lock_guard<std::mutex> lock(devices.mutex);
    if (!devices.open.empty()) return 1;
  }
  snd_pcm_t* pcm = nullptr;
  if (mm::OpenPcm(AlsaDirection(d), &pcm) < 0) return 0;
  snd_pcm_close(pcm);
  return 1;
}

template <class Caps>
MMRESULT DevCaps(Direction d, UINT_PTR id, Caps* caps, UINT capsSize) {
  if (!IsDeviceZero(id)) return MMSYSERR_BADDEVICEID;
  if (!caps) return MMSYSERR_INVALPARAM;
  snd_pcm_t* pcm = nullptr;
  if (int e = mm::OpenPcm(AlsaDirection(d), &pcm); e < 0) return mm::OpenError(e);
  const mm::PcmCaps probed = mm::ProbeCaps(pcm);
  snd_pcm_close(pcm);
  Caps c{};
  c.vDriverVersion = MMVERSION((SND_LIB_MAJOR << 8) | SND_LIB_MINOR);
  snprintf(c.szPname, sizeof c.szPname, "ALSA %s", mm::PcmName().c_str());
  c.dwFormats = probed.formats;
  c.wChannels = probed.channels;
  memcpy(caps, &c, std::min<size_t>(capsSize, sizeof c));
  return MMSYSERR_NOERROR;
}

MMRESULT OpenDevice(Direction d, void** out, UINT id, LPCWAVEFORMATEX format, DWORD_PTR callback,
                    DWORD_PTR instance, DWORD flags) {
  if (!IsDeviceZero(id)) return MMSYSERR_BADDEVICEID;
  const bool query = flags & WAVE_FORMAT_QUERY;
  if (!format || (!query && !out)) return MMSYSERR_INVALPARAM;
  const DWORD type = flags & CALLBACK_TYPEMASK;
  if (type != CALLBACK_NULL && type != CALLBACK_EVENT && type != CALLBACK_FUNCTION && type != CALLBACK_WINDOW)
    return MMSYSERR_INVALFLAG;
  if (type != CALLBACK_NULL && !callback) return MMSYSERR_INVALPARAM;

  std::unique_ptr<WaveStream> opened;
  if (MMRESULT r = WaveStream::Open(d, *format, query ? nullptr : &opened); r != MMSYSERR_NOERROR || query)
    return r;
  std::shared_ptr<WaveStream> stream(std::move(opened));
  void* handle = stream.get();
  Devices& devices = DevicesOf(d);
  {
    std::lock_guard<std::mutex> lock(devices.mutex);
    devices.open[handle] = stream;
  }
  // Registered first: a callback may use the handle as soon as it is open.
  if (MMRESULT r = stream->Begin(handle, mm::Callback{type, callback, instance})) {
    std::lock_guard<std::mutex> lock(devices.mutex);
    devices.open.erase(handle);
    return r;
  }
  *out = handle;
  return MMSYSERR_NOERROR;
}

MMRESULT CloseDevice(Direction d, void* h) {
  auto stream = Find(d, h);
  if (!stream) return MMSYSERR_INVALHANDLE;
  const MMRESULT r = stream->Close();
  if (r == MMSYSERR_NOERROR) {
    Devices& devices = DevicesOf(d);
    std::lock_guard<std::mutex> lock(devices.mutex);
    devices.open.erase(h);
  }
  return r;
}

MMRESULT CheckHeader(const WAVEHDR* h, UINT size) {
  if (!h || size < sizeof(WAVEHDR) || (!h->lpData && h->dwBufferLength)) return MMSYSERR_INVALPARAM;
  return MMSYSERR_NOERROR;
}

MMRESULT Prepare(Direction d, void* h, WAVEHDR* header, UINT size) {
  if (!Find(d, h)) return MMSYSERR_INVALHANDLE;
  if (MMRESULT r = CheckHeader(header, size)) return r;
  __atomic_fetch_or(&header->dwFlags, DWORD(WHDR_PREPARED), __ATOMIC_RELAXED);
  return MMSYSERR_NOERROR;
}

MMRESULT Unprepare(Direction d, void* h, WAVEHDR* header, UINT size) {
  auto stream = Find(d, h);
  if (!stream) return MMSYSERR_INVALHANDLE;
  if (!header || size < sizeof(WAVEHDR)) return MMSYSERR_INVALPARAM;
  if (stream->IsQueued(header)) return WAVERR_STILLPLAYING;
  __atomic_fetch_and(&header->dwFlags, ~DWORD(WHDR_PREPARED), __ATOMIC_RELAXED);
  return MMSYSERR_NOERROR;
}

MMRESULT Queue(Direction d, void* h, WAVEHDR* header, UINT size) {
  auto stream = Find(d, h);
  if (!stream) return MMSYSERR_INVALHANDLE;
  if (!header || size < sizeof(WAVEHDR)) return MMSYSERR_INVALPARAM;
  return stream->Queue(header);
}

template <MMRESULT (WaveStream::*op)()>
MMRESULT Call(Direction d, void* h) {
  auto stream = Find(d, h);
  return stream ? ((*stream).*op)() : MMSYSERR_INVALHANDLE;
}

}  // namespace

UINT waveOutGetNumDevs() { return NumDevs(Direction::kOut); }

MMRESULT waveOutGetDevCaps(UINT_PTR deviceId, LPWAVEOUTCAPS caps, UINT capsSize) {
  return DevCaps(Direction::kOut, deviceId, caps, capsSize);
}

MMRESULT waveOutOpen(LPHWAVEOUT out, UINT deviceId, LPCWAVEFORMATEX format, DWORD_PTR callback, DWORD_PTR instance,
                     DWORD flags) {
  return OpenDevice(Direction::kOut, reinterpret_cast<void**>(out), deviceId, format, callback, instance, flags);
}

MMRESULT waveOutPrepareHeader(HWAVEOUT h, LPWAVEHDR header, UINT size) {
  return Prepare(Direction::kOut, h, header, size);
}
MMRESULT waveOutUnprepareHeader(HWAVEOUT h, LPWAVEHDR header, UINT size) {
  return Unprepare(Direction::kOut, h, header, size);
}
MMRESULT waveOutWrite(HWAVEOUT h, LPWAVEHDR header, UINT size) { return Queue(Direction::kOut, h, header, size); }
MMRESULT waveOutPause(HWAVEOUT h) { return Call<&WaveStream::Hold>(Direction::kOut, h); }
MMRESULT waveOutRestart(HWAVEOUT h) { return Call<&WaveStream::Run>(Direction::kOut, h); }
MMRESULT waveOutReset(HWAVEOUT h) { return Call<&WaveStream::Reset>(Direction::kOut, h); }
MMRESULT waveOutClose(HWAVEOUT h) { return CloseDevice(Direction::kOut, h); }

UINT waveInGetNumDevs() { return NumDevs(Direction::kIn); }

MMRESULT waveInGetDevCaps(UINT_PTR deviceId, LPWAVEINCAPS caps, UINT capsSize) {
  return DevCaps(Direction::kIn, deviceId, caps, capsSize);
}

MMRESULT waveInOpen(LPHWAVEIN in, UINT deviceId, LPCWAVEFORMATEX format, DWORD_PTR callback, DWORD_PTR instance,
                    DWORD flags) {
  return OpenDevice(Direction::kIn, reinterpret_cast<void**>(in), deviceId, format, callback, instance, flags);
}

MMRESULT waveInPrepareHeader(HWAVEIN h, LPWAVEHDR header, UINT size) { return Prepare(Direction::kIn, h, header, size); }
MMRESULT waveInUnprepareHeader(HWAVEIN h, LPWAVEHDR header, UINT size) {
  return Unprepare(Direction::kIn, h, header, size);
}
MMRESULT waveInAddBuffer(HWAVEIN h, LPWAVEHDR header, UINT size) { return Queue(Direction::kIn, h, header, size); }
MMRESULT waveInStart(HWAVEIN h) { return Call<&WaveStream::Run>(Direction::kIn, h); }
MMRESULT waveInStop(HWAVEIN h) { return Call<&WaveStream::Hold>(Direction::kIn, h); }
MMRESULT waveInReset(HWAVEIN h) { return Call<&WaveStream::Reset>(Direction::kIn, h); }
MMRESULT waveInClose(HWAVEIN h) { return CloseDevice(Direction::kIn, h); }
