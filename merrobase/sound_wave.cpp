#include "merrobase/sound_wave.h"

#include "merrobase/sound_message.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>

namespace {

constexpr FOURCC kWave = mmioFOURCC('W', 'A', 'V', 'E');
constexpr FOURCC kFmt = mmioFOURCC('f', 'm', 't', ' ');
constexpr FOURCC kData = mmioFOURCC('d', 'a', 't', 'a');
constexpr size_t kPcmBytes = 16;  // tag, channels, rate, bytes per second, align, bits

void Say(const char* text) { sound::ShowMessage(text, nullptr, MB_ICONEXCLAMATION); }

WORD Le16(const BYTE* p) { return WORD(p[0] | (p[1] << 8)); }
DWORD Le32(const BYTE* p) { return DWORD(p[0]) | (DWORD(p[1]) << 8) | (DWORD(p[2]) << 16) | (DWORD(p[3]) << 24); }

WAVEFORMATEX FormatOf(const BYTE* pcm) {
  WAVEFORMATEX f{};
  f.wFormatTag = Le16(pcm);
  f.nChannels = Le16(pcm + 2);
  f.nSamplesPerSec = Le32(pcm + 4);
  f.nAvgBytesPerSec = Le32(pcm + 8);
  f.nBlockAlign = Le16(pcm + 12);
  f.wBitsPerSample = Le16(pcm + 14);
  f.cbSize = 0;
  return f;
}

void PcmBytes(const WAVEFORMATEX& f, BYTE* out) {
  const DWORD fields[] = {f.wFormatTag, f.nChannels, f.nSamplesPerSec, f.nAvgBytesPerSec, f.nBlockAlign,
                          f.wBitsPerSample};
  const int widths[] = {2, 2, 4, 4, 2, 2};
  for (int i = 0; i < 6; ++i)
    for (int b = 0; b < widths[i]; ++b) *out++ = BYTE(fields[i] >> (8 * b));
}

// Reads up to `length` bytes, in pieces mmioRead can count; -1 on an error.
int64_t ReadUpTo(HMMIO h, BYTE* into, uint64_t length) {
  uint64_t total = 0;
  while (total < length) {
    const LONG piece = LONG(std::min<uint64_t>(length - total, 1u << 30));
    const LONG n = mmioRead(h, reinterpret_cast<HPSTR>(into + total), piece);
    if (n < 0) return -1;
    if (n == 0) break;
    total += uint64_t(n);
  }
  return int64_t(total);
}

}  // namespace

CSoundWave::CSoundWave()
    : m_pData(nullptr), m_dwDataSize(0), m_Format{}, m_hmmio(nullptr), m_mmioInfo{}, m_ckRiff{}, m_ckData{},
      m_szFileName{} {}

CSoundWave::~CSoundWave() {
  if (m_hmmio) CloseFile();
  FreeData();
}

void CSoundWave::FreeData() {
  if (m_pData) GlobalFree(m_pData);
  m_pData = nullptr;
}

void CSoundWave::SetFileName(const char* name) {
  const size_t n = name ? strlen(name) : 0;
  if (n >= sizeof m_szFileName) {
    m_szFileName[0] = '\0';
    return;
  }
  memcpy(m_szFileName, name, n + 1);
}

bool CSoundWave::NewBlock(unsigned long length) {
  FreeData();
  m_dwDataSize = 0;
  if (length > UINT32_MAX) return false;
  m_pData = static_cast<BYTE*>(GlobalAlloc(GMEM_FIXED | GMEM_ZEROINIT, length));
  if (!m_pData) return false;
  m_dwDataSize = DWORD(length);
  return true;
}

int CSoundWave::ReadFile(long offset, unsigned long length) {
  FreeData();
  m_dwDataSize = 0;
  // A file of its own: a WAV file being written stays open beside it.
  HMMIO h = m_szFileName[0] ? mmioOpen(m_szFileName, nullptr, MMIO_READ | MMIO_ALLOCBUF) : nullptr;
  if (!h) {
    Say("open file error");
    return 0;
  }
  int result = 0;
  MMCKINFO riff{}, chunk{};
  riff.fccType = kWave;
  chunk.ckid = kFmt;
  BYTE format[sizeof(WAVEFORMATEX)] = {};
  if (mmioDescend(h, &riff, nullptr, MMIO_FINDRIFF) != MMSYSERR_NOERROR) {
    Say("read error - wave");
  } else if (mmioDescend(h, &chunk, &riff, MMIO_FINDCHUNK) != MMSYSERR_NOERROR) {
    Say("read error - fmt ");
  } else if (const LONG want = LONG(std::min<DWORD>(chunk.cksize, sizeof format));
             chunk.cksize < kPcmBytes || mmioRead(h, reinterpret_cast<HPSTR>(format), want) != want) {
    Say("read error - WaveFormat");
  } else {
    m_Format = FormatOf(format);
    if (chunk.cksize >= sizeof format) m_Format.cbSize = Le16(format + kPcmBytes);
    MMCKINFO data{};
    data.ckid = kData;
    if (mmioAscend(h, &chunk, 0) != MMSYSERR_NOERROR ||
        mmioDescend(h, &data, &riff, MMIO_FINDCHUNK) != MMSYSERR_NOERROR) {
      Say("read error - data");
    } else if (data.cksize == 0) {
      Say("read error - data size is 0");
    } else if (!NewBlock(length)) {
      Say("alloc memery error");
    } else if (offset < 0 || offset > std::numeric_limits<LONG>::max() ||
               mmioSeek(h, LONG(offset), SEEK_SET) != offset ||
               ReadUpTo(h, m_pData, length) <= 0) {
      Say("read error - data size is 0");
      FreeData();
      m_dwDataSize = 0;
    } else {
      result = 1;
    }
  }
  mmioClose(h, 0);
  return result;
}

int CSoundWave::ParseImage(unsigned char* image, unsigned long size, long offset, unsigned long length) {
  FreeData();
  m_dwDataSize = 0;
  constexpr uint64_t kFormatEnd = 12 + 8 + kPcmBytes;
  if (!image || offset < 0 || size < kFormatEnd) return 0;
  m_Format = FormatOf(image + 20);
  const uint64_t formatSize = Le32(image + 16);
  const uint64_t afterFormat = 20 + formatSize;
  // The chunk named "data", over any chunks between it and the format chunk.
  uint64_t start = 0;
  bool found = false;
  for (uint64_t at = afterFormat; at + 8 <= size;) {
    const DWORD chunkSize = Le32(image + at + 4);
    if (Le32(image + at) == kData) {
      start = at;
      found = true;
      break;
    }
    at += 8 + uint64_t(chunkSize) + (chunkSize & 1);
  }
  // Without one, the chunk after the format chunk is taken for it, skipped
  // whole with its header.
  if (!found) start = afterFormat + 8 + (afterFormat + 8 <= size ? Le32(image + afterFormat + 4) : 0);
  start += uint64_t(offset);
  if (!NewBlock(length)) return 0;
  if (start < size) memcpy(m_pData, image + start, size_t(std::min<uint64_t>(length, size - start)));
  return 1;
}

int CSoundWave::CreateWaveFile(const char* name, const WAVEFORMATEX& format, unsigned long blockBytes) {
  if (m_hmmio) CloseFile();
  MMIOINFO info{};
  m_hmmio = name ? mmioOpen(name, &info, MMIO_CREATE | MMIO_WRITE | MMIO_ALLOCBUF) : nullptr;
  if (!m_hmmio) {
    Say("open file error");
    return 0;
  }
  BYTE pcm[kPcmBytes];
  PcmBytes(format, pcm);
  m_ckRiff = MMCKINFO{};
  m_ckRiff.fccType = kWave;
  MMCKINFO fmt{};
  fmt.ckid = kFmt;
  fmt.cksize = kPcmBytes;
  m_ckData = MMCKINFO{};
  m_ckData.ckid = kData;
  if (mmioCreateChunk(m_hmmio, &m_ckRiff, MMIO_CREATERIFF) != MMSYSERR_NOERROR ||
      mmioCreateChunk(m_hmmio, &fmt, 0) != MMSYSERR_NOERROR ||
      mmioWrite(m_hmmio, reinterpret_cast<const char*>(pcm), kPcmBytes) != LONG(kPcmBytes) ||
      mmioAscend(m_hmmio, &fmt, 0) != MMSYSERR_NOERROR || mmioCreateChunk(m_hmmio, &m_ckData, 0) != MMSYSERR_NOERROR ||
      mmioGetInfo(m_hmmio, &m_mmioInfo, 0) != MMSYSERR_NOERROR) {
    Say("open file error");
    mmioClose(m_hmmio, 0);
    m_hmmio = nullptr;
    return 0;
  }
  if (!NewBlock(blockBytes)) {
    Say("alloc memery error");
    mmioClose(m_hmmio, 0);
    m_hmmio = nullptr;
    return 0;
  }
  return 1;
}

int CSoundWave::AppendData() {
  if (!m_hmmio || (!m_pData && m_dwDataSize)) return 0;
  for (DWORD done = 0; done < m_dwDataSize;) {
    if (m_mmioInfo.pchNext == m_mmioInfo.pchEndWrite) {
      m_mmioInfo.dwFlags |= MMIO_DIRTY;
      if (mmioAdvance(m_hmmio, &m_mmioInfo, MMIO_WRITE) != MMSYSERR_NOERROR) {
        Say("mmioAdvance error");
        mmioClose(m_hmmio, 0);
        m_hmmio = nullptr;
        return 0;
      }
    }
    const DWORD n = DWORD(std::min<int64_t>(m_dwDataSize - done, m_mmioInfo.pchEndWrite - m_mmioInfo.pchNext));
    memcpy(m_mmioInfo.pchNext, m_pData + done, n);
    m_mmioInfo.pchNext += n;
    done += n;
  }
  return 1;
}

int CSoundWave::CloseFile() {
  if (!m_hmmio) return 0;
  auto fail = [this](const char* text) {
    Say(text);
    mmioClose(m_hmmio, 0);
    m_hmmio = nullptr;
    return 0;
  };
  m_mmioInfo.dwFlags |= MMIO_DIRTY;
  if (mmioSetInfo(m_hmmio, &m_mmioInfo, 0) != MMSYSERR_NOERROR) return fail("mmioSetInfo error");
  if (mmioAscend(m_hmmio, &m_ckData, 0) != MMSYSERR_NOERROR) return fail("mmioAscend error - data");
  if (mmioAscend(m_hmmio, &m_ckRiff, 0) != MMSYSERR_NOERROR) return fail("mmioAscend error - riff");
  // mmioClose lets go of the handle even when it fails: it is not closed twice.
  const MMRESULT closed = mmioClose(m_hmmio, 0);
  m_hmmio = nullptr;
  if (closed != MMSYSERR_NOERROR) {
    Say("close error");
    return 0;
  }
  return 1;
}
