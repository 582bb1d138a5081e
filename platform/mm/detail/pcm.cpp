#include "platform/mm/detail/pcm.h"

#include <cerrno>
#include <cstdlib>
#include <memory>

namespace mm {
namespace {

// Sample width -> ALSA sample format. Wave PCM is little-endian; 8-bit
// samples are unsigned, wider ones signed.
struct SampleFormat {
  WORD bits;
  snd_pcm_format_t alsa;
};
constexpr SampleFormat kSampleFormats[] = {
    {8, SND_PCM_FORMAT_U8},
    {16, SND_PCM_FORMAT_S16_LE},
    {24, SND_PCM_FORMAT_S24_3LE},
    {32, SND_PCM_FORMAT_S32_LE},
};

const SampleFormat* SampleFormatOf(WORD bits) {
  for (const SampleFormat& f : kSampleFormats)
    if (f.bits == bits) return &f;
  return nullptr;
}

// Latency asked of ALSA: short enough that Reset and Pause act quickly,
// long enough that a loaded machine does not underrun.
constexpr unsigned kLatencyMicroseconds = 200000;

struct HwParamsDeleter {
  void operator()(snd_pcm_hw_params_t* p) const { snd_pcm_hw_params_free(p); }
};
using HwParams = std::unique_ptr<snd_pcm_hw_params_t, HwParamsDeleter>;

HwParams NewHwParams() {
  snd_pcm_hw_params_t* p = nullptr;
  return HwParams(snd_pcm_hw_params_malloc(&p) == 0 ? p : nullptr);
}

}  // namespace

std::string PcmName() {
  const char* name = getenv("MERRO_WAVE_DEVICE");
  return name && *name ? name : "default";
}

int OpenPcm(snd_pcm_stream_t direction, snd_pcm_t** pcm) {
  return snd_pcm_open(pcm, PcmName().c_str(), direction, SND_PCM_NONBLOCK);
}

MMRESULT OpenError(int alsaError) {
  switch (-alsaError) {
    case EBUSY:
    case EAGAIN:
      return MMSYSERR_ALLOCATED;
    case ENOMEM:
      return MMSYSERR_NOMEM;
    default:
      return MMSYSERR_BADDEVICEID;  // device 0 names nothing that opens
  }
}

MMRESULT CheckFormat(const WAVEFORMATEX& f) {
  if (f.wFormatTag != WAVE_FORMAT_PCM || f.nChannels == 0 || f.nSamplesPerSec == 0 ||
      !SampleFormatOf(f.wBitsPerSample) || f.nBlockAlign != f.nChannels * (f.wBitsPerSample / 8))
    return WAVERR_BADFORMAT;
  return MMSYSERR_NOERROR;
}

MMRESULT ApplyFormat(snd_pcm_t* pcm, const WAVEFORMATEX& f, PcmLayout* layout) {
  if (CheckFormat(f) != MMSYSERR_NOERROR) return WAVERR_BADFORMAT;
  if (snd_pcm_set_params(pcm, SampleFormatOf(f.wBitsPerSample)->alsa, SND_PCM_ACCESS_RW_INTERLEAVED, f.nChannels,
                         f.nSamplesPerSec, 1, kLatencyMicroseconds) < 0)
    return WAVERR_BADFORMAT;
  snd_pcm_uframes_t buffer = 0, period = 0;
  if (snd_pcm_get_params(pcm, &buffer, &period) < 0 || period == 0) return WAVERR_BADFORMAT;
  layout->frameBytes = f.nBlockAlign;
  layout->periodFrames = period;
  return MMSYSERR_NOERROR;
}

PcmCaps ProbeCaps(snd_pcm_t* pcm) {
  PcmCaps caps{0, 0};
  HwParams any = NewHwParams(), trial = NewHwParams();
  if (!any || !trial || snd_pcm_hw_params_any(pcm, any.get()) < 0) return caps;
  unsigned maxChannels = 0;
  if (snd_pcm_hw_params_get_channels_max(any.get(), &maxChannels) == 0)
    caps.channels = WORD(maxChannels > 0xFFFF ? 0xFFFF : maxChannels);
  // Bit order of WAVE_FORMAT_: per rate, mono 8, stereo 8, mono 16, stereo 16.
  constexpr unsigned kRates[] = {11025, 22050, 44100};
  DWORD bit = 1;
  for (unsigned rate : kRates)
    for (WORD bits : {8, 16})
      for (unsigned channels : {1u, 2u}) {
        snd_pcm_hw_params_copy(trial.get(), any.get());
        if (snd_pcm_hw_params_set_format(pcm, trial.get(), SampleFormatOf(bits)->alsa) == 0 &&
            snd_pcm_hw_params_set_channels(pcm, trial.get(), channels) == 0 &&
            snd_pcm_hw_params_set_rate(pcm, trial.get(), rate, 0) == 0)
          caps.formats |= bit;
        bit <<= 1;
      }
  return caps;
}

}  // namespace mm
