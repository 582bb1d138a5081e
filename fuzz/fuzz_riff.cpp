// Arbitrary bytes through the RIFF chunk reader, unbuffered, with its own
// buffer and with a small buffer of the caller's: every walk over the chunks
// (into RIFF and LIST chunks, within their parents) finds the same chunks,
// each a header the file holds, each further on than the one before it in
// its parent, so a walk ends (a chunk reaching past its parent's end is read
// again after it); what is read is what the file holds; reading through the
// I/O buffer (mmioAdvance) gives the whole file.
#include <cstring>
#include <vector>

#include "fuzz_input.h"
#include "platform/mm/mmio.h"

namespace {

DWORD Le32(const uint8_t* p) { return DWORD(p[0]) | (DWORD(p[1]) << 8) | (DWORD(p[2]) << 16) | (DWORD(p[3]) << 24); }

struct Walk {
  const uint8_t* data;
  size_t size;
  std::vector<DWORD> found;  // offset of each chunk header, in walk order

  void Chunks(HMMIO h, const MMCKINFO* parent, int depth) {
    for (LONG last = -1;;) {
      const LONG at = mmioSeek(h, 0, SEEK_CUR);
      FUZZ_CHECK(at >= 0);
      MMCKINFO ck{};
      if (mmioDescend(h, &ck, parent, 0) != MMSYSERR_NOERROR) return;
      FUZZ_CHECK(size_t(at) + 8 <= size && at > last);
      found.push_back(DWORD(at));
      last = at;
      FUZZ_CHECK(ck.ckid == Le32(data + at) && ck.cksize == Le32(data + at + 4) && ck.dwDataOffset == DWORD(at) + 8);
      const bool typed = ck.ckid == FOURCC_RIFF || ck.ckid == FOURCC_LIST;
      if (typed) {
        FUZZ_CHECK(size_t(at) + 12 <= size && ck.fccType == Le32(data + at + 8));
        if (depth < 4) Chunks(h, &ck, depth + 1);
      } else {
        char bytes[64];
        const LONG want = LONG(std::min<DWORD>(ck.cksize, sizeof bytes));
        const LONG got = mmioRead(h, bytes, want);
        const size_t there = std::min(size - (size_t(at) + 8), size_t(want));
        FUZZ_CHECK(got == LONG(there) && !memcmp(bytes, data + at + 8, there));
      }
      if (mmioAscend(h, &ck, 0) != MMSYSERR_NOERROR) return;
    }
  }
};

std::vector<DWORD> WalkFile(const std::string& name, const uint8_t* data, size_t size, DWORD flags,
                            MMIOINFO* info) {
  HMMIO h = mmioOpen(name.c_str(), info, MMIO_READ | flags);
  FUZZ_CHECK(h);
  Walk w{data, size, {}};
  w.Chunks(h, nullptr, 0);
  FUZZ_CHECK(mmioClose(h, 0) == MMSYSERR_NOERROR);
  return w.found;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzFiles files;
  const std::string name = files.Write("in.wav", data, size);
  const std::vector<DWORD> plain = WalkFile(name, data, size, 0, nullptr);
  FUZZ_CHECK(WalkFile(name, data, size, MMIO_ALLOCBUF, nullptr) == plain);
  char small[16];
  MMIOINFO info{};
  info.cchBuffer = sizeof small;
  info.pchBuffer = small;
  FUZZ_CHECK(WalkFile(name, data, size, 0, &info) == plain);

  // The whole file through the caller's view of the I/O buffer.
  info = MMIOINFO{};
  info.cchBuffer = 24;
  HMMIO h = mmioOpen(name.c_str(), &info, MMIO_READ | MMIO_ALLOCBUF);
  FUZZ_CHECK(h && mmioGetInfo(h, &info, 0) == MMSYSERR_NOERROR);
  std::vector<uint8_t> back;
  for (;;) {
    if (info.pchNext == info.pchEndRead) {
      FUZZ_CHECK(mmioAdvance(h, &info, MMIO_READ) == MMSYSERR_NOERROR);
      if (info.pchNext == info.pchEndRead) break;
    }
    back.push_back(uint8_t(*info.pchNext++));
    FUZZ_CHECK(back.size() <= size);
  }
  FUZZ_CHECK(mmioSetInfo(h, &info, 0) == MMSYSERR_NOERROR && mmioClose(h, 0) == MMSYSERR_NOERROR);
  FUZZ_CHECK(back.size() == size && std::equal(back.begin(), back.end(), data));
  return 0;
}
