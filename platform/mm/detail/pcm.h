// ALSA PCM devices behind wave device 0: which PCM, opening it with a wave
// format, and what it takes.
#pragma once
#include "platform/mm/wave.h"

#include <alsa/asoundlib.h>

#include <string>

namespace mm {

// $MERRO_WAVE_DEVICE, else "default".
std::string PcmName();

// The ALSA PCM of device 0 for one direction, non-blocking; the result of
// snd_pcm_open (0 or a negative errno).
int OpenPcm(snd_pcm_stream_t direction, snd_pcm_t** pcm);
// The wave result for a failed OpenPcm.
MMRESULT OpenError(int alsaError);

// WAVERR_BADFORMAT unless the format is PCM with whole-byte samples of 8 to
// 32 bits, at least one channel, a rate and a block align of one frame.
MMRESULT CheckFormat(const WAVEFORMATEX& format);
// Sets the device up for the format (CheckFormat first); frame and period
// sizes in bytes and frames. WAVERR_BADFORMAT when the device refuses it.
struct PcmLayout {
  unsigned frameBytes;
  snd_pcm_uframes_t periodFrames;
};
MMRESULT ApplyFormat(snd_pcm_t* pcm, const WAVEFORMATEX& format, PcmLayout* layout);

// The WAVE_FORMAT_ bits and the channel count the device takes.
struct PcmCaps {
  DWORD formats;
  WORD channels;
};
PcmCaps ProbeCaps(snd_pcm_t* pcm);

}  // namespace mm
