// Arbitrary bytes as a WAV file and as a WAV image in memory. Reading gives
// a zero-filled block of the length asked for holding the bytes of the
// slice, or no block; it never hangs. For a file laid out as the programs
// write it (RIFF "WAVE", "fmt " chunk at 12, "data" chunk at 36), the file
// and its image give the same format and the same slice.
#include <cstring>

#include "fuzz_input.h"
#include "merrobase/sound_wave.h"

namespace {

constexpr unsigned long kLength = 256;

void CheckBlock(const CSoundWave& w, int result, unsigned long length) {
  if (result == 1)
    FUZZ_CHECK(w.m_pData && w.m_dwDataSize == length);
  else
    FUZZ_CHECK(result == 0 && !w.m_pData && w.m_dwDataSize == 0);
}

bool Laid(const uint8_t* data, size_t size) {
  return size >= 44 && !memcmp(data, "RIFF", 4) && !memcmp(data + 8, "WAVEfmt ", 8) &&
         !memcmp(data + 36, "data", 4) && data[16] == 16 && !data[17] && !data[18] && !data[19];
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzFiles files;
  const std::string name = files.Write("in.wav", data, size);
  CSoundWave file;
  file.SetFileName(name.c_str());
  // The slice from the first sample, as a sound is played from its start.
  const int fromFile = file.ReadFile(44, kLength);
  CheckBlock(file, fromFile, kLength);
  for (unsigned long i = 0; fromFile && i < kLength; ++i)
    FUZZ_CHECK(file.m_pData[i] == (44 + i < size ? data[44 + i] : 0));

  std::vector<uint8_t> image(data, data + size);
  CSoundWave memory;
  const int fromImage = memory.ParseImage(image.data(), size, 8, kLength);
  CheckBlock(memory, fromImage, kLength);
  FUZZ_CHECK(fromImage == int(size >= 36));
  FUZZ_CHECK(std::equal(image.begin(), image.end(), data));  // the caller's image is only read
  if (fromFile && Laid(data, size)) {
    FUZZ_CHECK(fromImage && !memcmp(file.m_pData, memory.m_pData, kLength));
    const WAVEFORMATEX& a = file.m_Format;
    const WAVEFORMATEX& b = memory.m_Format;
    FUZZ_CHECK(a.wFormatTag == b.wFormatTag && a.nChannels == b.nChannels && a.nSamplesPerSec == b.nSamplesPerSec &&
               a.nAvgBytesPerSec == b.nAvgBytesPerSec && a.nBlockAlign == b.nBlockAlign &&
               a.wBitsPerSample == b.wBitsPerSample);
  }

  // A slice from further into the sound, past the end of a short one.
  CSoundWave later;
  const long offset = long(size / 2);
  CheckBlock(later, later.ParseImage(image.data(), size, offset, 64), 64);
  return 0;
}
