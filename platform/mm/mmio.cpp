#include "platform/mm/mmio.h"

#include "platform/fs/path.h"
#include "platform/fs/rewrite.h"

#include <algorithm>
#include <limits>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

// The I/O buffer mirrors the file from bufOffset: `valid` bytes hold the
// file's content (as changed here), `next` is the current position within.
// An unbuffered file is the same with a buffer of size 0.
struct HMMIO__ {
  int fd = -1;
  bool canRead = false;
  bool canWrite = false;
  std::string path;  // the name the file takes when closed
  // A created file, while written: it takes the name only when closed
  // complete (through links, as rewrite.h describes).
  std::unique_ptr<rewrite::Rewrite> out;
  std::vector<char> own;
  char* buffer = nullptr;
  LONG size = 0;
  int64_t bufOffset = 0;
  LONG next = 0;
  LONG valid = 0;
  bool dirty = false;

  int64_t Position() const { return bufOffset + next; }

  bool WriteAt(const char* data, size_t count, int64_t at) {
    while (count > 0) {
      const ssize_t n = pwrite(fd, data, count, at);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) return false;
      data += n;
      count -= size_t(n);
      at += n;
    }
    return true;
  }
  // Bytes read, up to `count`; -1 on an error.
  ssize_t ReadAt(char* data, size_t count, int64_t at) {
    size_t total = 0;
    while (total < count) {
      const ssize_t n = pread(fd, data + total, count - total, at + int64_t(total));
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) return -1;
      if (n == 0) break;
      total += size_t(n);
    }
    return ssize_t(total);
  }

  bool Flush() {
    if (!dirty) return true;
    if (!WriteAt(buffer, size_t(valid), bufOffset)) return false;
    dirty = false;
    return true;
  }
  // An empty buffer at file offset `at`.
  bool MoveTo(int64_t at) {
    if (!Flush()) return false;
    bufOffset = at;
    next = valid = 0;
    return true;
  }
  bool Fill() {
    const ssize_t n = ReadAt(buffer, size_t(size), bufOffset);
    if (n < 0) return false;
    valid = LONG(n);
    return true;
  }
  int64_t FileSize() {
    struct stat st;
    const int64_t onDisk = fstat(fd, &st) == 0 ? st.st_size : 0;
    return std::max(onDisk, dirty ? bufOffset + valid : 0);
  }
};

namespace {

constexpr DWORD kAccessMask = MMIO_WRITE | MMIO_READWRITE;

void PutLE32(char* at, DWORD v) {
  for (int i = 0; i < 4; ++i) at[i] = char((v >> (8 * i)) & 0xFF);
}
DWORD GetLE32(const char* at) {
  DWORD v = 0;
  for (int i = 3; i >= 0; --i) v = (v << 8) | BYTE(at[i]);
  return v;
}

MMRESULT OpenError(int error) {
  switch (error) {
    case ENOENT:
      return MMIOERR_FILENOTFOUND;
    case EACCES:
    case EPERM:
    case EROFS:
      return MMIOERR_ACCESSDENIED;
    default:
      return MMIOERR_CANNOTOPEN;
  }
}

// LONG is 32 bits: a place beyond it cannot be reached, not even wrapped
// round (a chunk size near 4 GiB would lead back onto its own header).
constexpr int64_t kLongMax = std::numeric_limits<LONG>::max();

bool SeekTo(HMMIO h, int64_t at) {
  return at >= 0 && at <= kLongMax && mmioSeek(h, LONG(at), SEEK_SET) == LONG(at);
}

void ShowBuffer(const HMMIO__& f, MMIOINFO* info) {
  info->cchBuffer = f.size;
  info->pchBuffer = f.buffer;
  info->pchNext = f.buffer + f.next;
  info->pchEndRead = f.buffer + f.valid;
  info->pchEndWrite = f.buffer + f.size;
  info->lBufOffset = LONG(f.bufOffset);
  info->lDiskOffset = LONG(f.bufOffset + f.valid);
  info->dwFlags = (info->dwFlags & ~DWORD(MMIO_DIRTY)) | (f.dirty ? DWORD(MMIO_DIRTY) : 0);
}

}  // namespace

HMMIO mmioOpen(LPCSTR name, LPMMIOINFO info, DWORD flags) {
  auto fail = [info](MMRESULT error) -> HMMIO {
    if (info) info->wErrorRet = error;
    return nullptr;
  };
  if (!name || !*name) return fail(MMIOERR_CANNOTOPEN);
  if (info && (info->pIOProc || info->fccIOProc)) return fail(MMSYSERR_NOTSUPPORTED);
  const DWORD access = flags & kAccessMask;
  const bool create = flags & MMIO_CREATE;
  // Reading an existing file, or writing a new one: nothing else is needed.
  if (access == MMIO_READ ? create : !create) return fail(MMSYSERR_NOTSUPPORTED);

  auto f = std::make_unique<HMMIO__>();
  f->path = winpath::ToLinux(name);
  if (create) {
    f->out = std::make_unique<rewrite::Rewrite>(f->path);
    const int error = errno;
    if (!f->out->IsOpen()) return fail(error == ENOENT ? MMIOERR_PATHNOTFOUND : OpenError(error));
    f->fd = f->out->fd();
    f->canRead = access == MMIO_READWRITE;
    f->canWrite = true;
  } else {
    // Never the half of an in-place rewrite a crash cut short.
    if (!rewrite::FinishInterruptedRewrite(f->path)) return fail(MMIOERR_CANNOTOPEN);
    f->fd = open(f->path.c_str(), O_RDONLY | O_CLOEXEC);
    if (f->fd < 0) return fail(OpenError(errno));
    struct stat st;
    if (fstat(f->fd, &st) != 0 || S_ISDIR(st.st_mode)) {
      close(f->fd);
      return fail(MMIOERR_CANNOTOPEN);
    }
    f->canRead = true;
  }

  if (info && info->pchBuffer && info->cchBuffer > 0) {
    f->buffer = info->pchBuffer;
    f->size = info->cchBuffer;
  } else if (flags & MMIO_ALLOCBUF) {
    const LONG size = info && info->cchBuffer > 0 ? info->cchBuffer : LONG(MMIO_DEFAULTBUFFER);
    try {
      f->own.resize(size_t(size));
    } catch (const std::bad_alloc&) {
      if (!f->out) close(f->fd);
      return fail(MMIOERR_OUTOFMEMORY);
    }
    f->buffer = f->own.data();
    f->size = size;
  }
  HMMIO h = f.release();
  if (info) {
    info->wErrorRet = 0;
    info->hmmio = h;
  }
  return h;
}

MMRESULT mmioClose(HMMIO h, UINT) {
  if (!h) return MMSYSERR_INVALHANDLE;
  MMRESULT result = MMSYSERR_NOERROR;
  if (!h->Flush()) result = MMIOERR_CANNOTWRITE;
  if (h->out) {
    if (result == MMSYSERR_NOERROR && !h->out->Commit()) result = MMIOERR_CANNOTWRITE;
  } else if (close(h->fd) != 0 && result == MMSYSERR_NOERROR) {
    result = MMIOERR_CANNOTCLOSE;
  }
  delete h;
  return result;
}

LONG mmioRead(HMMIO h, HPSTR data, LONG count) {
  if (!h || count < 0 || (!data && count > 0) || !h->canRead) return -1;
  if (h->size == 0) {
    const ssize_t n = h->ReadAt(data, size_t(count), h->bufOffset);
    if (n > 0) h->bufOffset += n;
    return LONG(n);
  }
  LONG total = 0;
  while (total < count) {
    if (h->next == h->valid) {
      if (!h->MoveTo(h->Position()) || !h->Fill()) return -1;
      if (h->valid == 0) break;  // end of file
    }
    const LONG n = std::min(count - total, h->valid - h->next);
    memcpy(data + total, h->buffer + h->next, size_t(n));
    h->next += n;
    total += n;
  }
  return total;
}

LONG mmioWrite(HMMIO h, const char* data, LONG count) {
  if (!h || count < 0 || (!data && count > 0) || !h->canWrite) return -1;
  if (h->size == 0) {
    if (!h->WriteAt(data, size_t(count), h->bufOffset)) return -1;
    h->bufOffset += count;
    return count;
  }
  LONG total = 0;
  while (total < count) {
    if (h->next == h->size && !h->MoveTo(h->Position())) return -1;
    const LONG n = std::min(count - total, h->size - h->next);
    memcpy(h->buffer + h->next, data + total, size_t(n));
    h->next += n;
    h->valid = std::max(h->valid, h->next);
    h->dirty = true;
    total += n;
  }
  return total;
}

LONG mmioSeek(HMMIO h, LONG offset, int origin) {
  if (!h) return -1;
  int64_t base;
  switch (origin) {
    case SEEK_SET:
      base = 0;
      break;
    case SEEK_CUR:
      base = h->Position();
      break;
    case SEEK_END:
      base = h->FileSize();
      break;
    default:
      return -1;
  }
  const int64_t at = base + offset;
  if (at < 0 || at > kLongMax) return -1;
  if (at >= h->bufOffset && at <= h->bufOffset + h->valid && h->size > 0)
    h->next = LONG(at - h->bufOffset);
  else if (!h->MoveTo(at))
    return -1;
  return LONG(at);
}

MMRESULT mmioGetInfo(HMMIO h, LPMMIOINFO info, UINT) {
  if (!h) return MMSYSERR_INVALHANDLE;
  if (!info) return MMSYSERR_INVALPARAM;
  memset(info, 0, sizeof *info);
  const DWORD access = h->canWrite ? (h->canRead ? DWORD(MMIO_READWRITE) : DWORD(MMIO_WRITE)) : DWORD(MMIO_READ);
  info->dwFlags = access | (h->own.empty() ? 0 : DWORD(MMIO_ALLOCBUF));
  info->hmmio = h;
  ShowBuffer(*h, info);
  return MMSYSERR_NOERROR;
}

MMRESULT mmioSetInfo(HMMIO h, const MMIOINFO* info, UINT) {
  if (!h) return MMSYSERR_INVALHANDLE;
  if (!info || info->pchNext < h->buffer || info->pchNext > h->buffer + h->size) return MMSYSERR_INVALPARAM;
  h->next = LONG(info->pchNext - h->buffer);
  if (info->dwFlags & MMIO_DIRTY) {
    if (!h->canWrite) return MMSYSERR_INVALPARAM;
    h->dirty = true;
    h->valid = std::max(h->valid, h->next);
  }
  return MMSYSERR_NOERROR;
}

MMRESULT mmioAdvance(HMMIO h, LPMMIOINFO info, UINT flags) {
  if (!h) return MMSYSERR_INVALHANDLE;
  if (h->size == 0) return MMIOERR_UNBUFFERED;
  if (info)
    if (MMRESULT r = mmioSetInfo(h, info, 0)) return r;
  const bool reading = (flags & kAccessMask) == MMIO_READ;
  if (reading && !h->canRead) return MMIOERR_CANNOTREAD;
  if (!h->MoveTo(h->Position())) return MMIOERR_CANNOTWRITE;
  if (reading && !h->Fill()) return MMIOERR_CANNOTREAD;
  if (info) ShowBuffer(*h, info);
  return MMSYSERR_NOERROR;
}

MMRESULT mmioDescend(HMMIO h, LPMMCKINFO chunk, const MMCKINFO* parent, UINT flags) {
  if (!h) return MMSYSERR_INVALHANDLE;
  if (!chunk) return MMSYSERR_INVALPARAM;
  const int64_t end = parent ? int64_t(parent->dwDataOffset) + parent->cksize : INT64_MAX;
  for (;;) {
    const int64_t at = h->Position();
    char head[12];
    if (at + 8 > end || mmioRead(h, head, 8) != 8) return MMIOERR_CHUNKNOTFOUND;
    MMCKINFO found{GetLE32(head), GetLE32(head + 4), 0, DWORD(at + 8), 0};
    const bool hasType = found.ckid == FOURCC_RIFF || found.ckid == FOURCC_LIST;
    if (hasType) {
      if (at + 12 > end || mmioRead(h, head + 8, 4) != 4) return MMIOERR_CHUNKNOTFOUND;
      found.fccType = GetLE32(head + 8);
    }
    bool match;
    if (flags & MMIO_FINDCHUNK)
      match = found.ckid == chunk->ckid;
    else if (flags & MMIO_FINDRIFF)
      match = found.ckid == FOURCC_RIFF && found.fccType == chunk->fccType;
    else if (flags & MMIO_FINDLIST)
      match = found.ckid == FOURCC_LIST && found.fccType == chunk->fccType;
    else
      match = true;
    if (match) {
      *chunk = found;
      return MMSYSERR_NOERROR;
    }
    const int64_t after = int64_t(found.dwDataOffset) + found.cksize + (found.cksize & 1);
    if (after > end || !SeekTo(h, after)) return MMIOERR_CHUNKNOTFOUND;
  }
}

MMRESULT mmioAscend(HMMIO h, LPMMCKINFO chunk, UINT) {
  if (!h) return MMSYSERR_INVALHANDLE;
  if (!chunk) return MMSYSERR_INVALPARAM;
  if (chunk->dwFlags & MMIO_DIRTY) {
    const int64_t end = h->Position();
    if (chunk->dwDataOffset < 4 || end < chunk->dwDataOffset || end - chunk->dwDataOffset > UINT32_MAX)
      return MMIOERR_CANNOTSEEK;
    const DWORD size = DWORD(end - chunk->dwDataOffset);
    if (size & 1) {
      const char pad = 0;
      if (mmioWrite(h, &pad, 1) != 1) return MMIOERR_CANNOTWRITE;
    }
    if (size != chunk->cksize) {
      char bytes[4];
      PutLE32(bytes, size);
      if (!SeekTo(h, chunk->dwDataOffset - 4)) return MMIOERR_CANNOTSEEK;
      if (mmioWrite(h, bytes, 4) != 4) return MMIOERR_CANNOTWRITE;
      chunk->cksize = size;
    }
    chunk->dwFlags &= ~DWORD(MMIO_DIRTY);
  }
  const int64_t after = int64_t(chunk->dwDataOffset) + chunk->cksize + (chunk->cksize & 1);
  return SeekTo(h, after) ? MMRESULT(MMSYSERR_NOERROR) : MMRESULT(MMIOERR_CANNOTSEEK);
}

MMRESULT mmioCreateChunk(HMMIO h, LPMMCKINFO chunk, UINT flags) {
  if (!h) return MMSYSERR_INVALHANDLE;
  if (!chunk) return MMSYSERR_INVALPARAM;
  if (flags & MMIO_CREATERIFF) chunk->ckid = FOURCC_RIFF;
  if (flags & MMIO_CREATELIST) chunk->ckid = FOURCC_LIST;
  const bool hasType = chunk->ckid == FOURCC_RIFF || chunk->ckid == FOURCC_LIST;
  const int64_t at = h->Position();
  if (at + 8 > UINT32_MAX) return MMIOERR_CANNOTSEEK;
  char head[12];
  PutLE32(head, chunk->ckid);
  PutLE32(head + 4, chunk->cksize);
  PutLE32(head + 8, chunk->fccType);
  const LONG length = hasType ? 12 : 8;  // with the form type
  if (mmioWrite(h, head, length) != length) return MMIOERR_CANNOTWRITE;
  chunk->dwDataOffset = DWORD(at + 8);
  chunk->dwFlags = MMIO_DIRTY;
  return MMSYSERR_NOERROR;
}
