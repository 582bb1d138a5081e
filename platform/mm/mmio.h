// Buffered file I/O with RIFF chunks (mmio*), for WAV files.
//
// Files are named by Windows paths (platform/fs maps them). A file is opened
// for reading (MMIO_READ) or created (MMIO_CREATE with MMIO_WRITE or
// MMIO_READWRITE); a created file is written under a temporary name in its
// folder and takes its own name at mmioClose, so it never exists half
// written. Custom I/O procedures and memory files are not offered.
//
// With MMIO_ALLOCBUF (or a buffer of the caller's in MMIOINFO) the file is
// buffered, and mmioGetInfo / mmioSetInfo / mmioAdvance give direct access
// to the I/O buffer: pchNext is the current position, pchEndRead the end of
// the bytes read into the buffer, pchEndWrite the end of the buffer. Set
// MMIO_DIRTY in dwFlags after storing bytes through pchNext.
//
// Reads never go past the data: a short file gives short reads, and a chunk
// whose header does not fit gives MMIOERR_CHUNKNOTFOUND.
#pragma once
#include "platform/mm/wave.h"
#include "platform/windef.h"

typedef DWORD FOURCC;
typedef char* HPSTR;
typedef struct HMMIO__* HMMIO;
typedef LRESULT(CALLBACK* LPMMIOPROC)(LPSTR info, UINT msg, LPARAM param1, LPARAM param2);

struct MMIOINFO {
  DWORD dwFlags;
  FOURCC fccIOProc;
  LPMMIOPROC pIOProc;
  UINT wErrorRet;
  HANDLE htask;
  LONG cchBuffer;
  HPSTR pchBuffer;
  HPSTR pchNext;
  HPSTR pchEndRead;
  HPSTR pchEndWrite;
  LONG lBufOffset;
  LONG lDiskOffset;
  DWORD adwInfo[3];
  DWORD dwReserved1;
  DWORD dwReserved2;
  HMMIO hmmio;
};
typedef MMIOINFO* LPMMIOINFO;

// dwDataOffset is the file offset of the chunk's data (for RIFF and LIST
// chunks, of the form type).
struct MMCKINFO {
  FOURCC ckid;
  DWORD cksize;
  FOURCC fccType;
  DWORD dwDataOffset;
  DWORD dwFlags;
};
typedef MMCKINFO* LPMMCKINFO;

constexpr FOURCC mmioFOURCC(char a, char b, char c, char d) {
  return FOURCC(BYTE(a)) | (FOURCC(BYTE(b)) << 8) | (FOURCC(BYTE(c)) << 16) | (FOURCC(BYTE(d)) << 24);
}
constexpr FOURCC FOURCC_RIFF = mmioFOURCC('R', 'I', 'F', 'F');
constexpr FOURCC FOURCC_LIST = mmioFOURCC('L', 'I', 'S', 'T');

enum : DWORD {
  MMIO_READ = 0x00000000,
  MMIO_WRITE = 0x00000001,
  MMIO_READWRITE = 0x00000002,
  MMIO_CREATE = 0x00001000,
  MMIO_ALLOCBUF = 0x00010000,
  MMIO_DIRTY = 0x10000000,
  MMIO_FINDCHUNK = 0x0010,
  MMIO_FINDRIFF = 0x0020,
  MMIO_FINDLIST = 0x0040,
  MMIO_CREATERIFF = 0x0020,
  MMIO_CREATELIST = 0x0040,
  MMIO_DEFAULTBUFFER = 8192,
};

enum : MMRESULT {
  MMIOERR_BASE = 256,
  MMIOERR_FILENOTFOUND = MMIOERR_BASE + 1,
  MMIOERR_OUTOFMEMORY = MMIOERR_BASE + 2,
  MMIOERR_CANNOTOPEN = MMIOERR_BASE + 3,
  MMIOERR_CANNOTCLOSE = MMIOERR_BASE + 4,
  MMIOERR_CANNOTREAD = MMIOERR_BASE + 5,
  MMIOERR_CANNOTWRITE = MMIOERR_BASE + 6,
  MMIOERR_CANNOTSEEK = MMIOERR_BASE + 7,
  MMIOERR_CANNOTEXPAND = MMIOERR_BASE + 8,
  MMIOERR_CHUNKNOTFOUND = MMIOERR_BASE + 9,
  MMIOERR_UNBUFFERED = MMIOERR_BASE + 10,
  MMIOERR_PATHNOTFOUND = MMIOERR_BASE + 11,
  MMIOERR_ACCESSDENIED = MMIOERR_BASE + 12,
};

// NULL on failure, with the reason in info->wErrorRet when info is given.
// In info only cchBuffer and pchBuffer are read (a buffer of the caller's;
// with MMIO_ALLOCBUF, cchBuffer 0 means MMIO_DEFAULTBUFFER bytes).
HMMIO mmioOpen(LPCSTR name, LPMMIOINFO info, DWORD flags);
// Writes what the buffer holds; a created file then takes its name.
MMRESULT mmioClose(HMMIO h, UINT flags);
// Bytes read (0 at the end of the file), -1 on an error.
LONG mmioRead(HMMIO h, HPSTR data, LONG count);
// Bytes written, -1 on an error (also for a file opened for reading).
LONG mmioWrite(HMMIO h, const char* data, LONG count);
// SEEK_SET, SEEK_CUR or SEEK_END; the new position, -1 on an error.
LONG mmioSeek(HMMIO h, LONG offset, int origin);
MMRESULT mmioGetInfo(HMMIO h, LPMMIOINFO info, UINT flags);
// MMSYSERR_INVALPARAM for a pchNext outside the buffer.
MMRESULT mmioSetInfo(HMMIO h, const MMIOINFO* info, UINT flags);
// Takes pchNext and MMIO_DIRTY from info (when given), writes the buffer if
// dirty and moves it to the current position; with MMIO_READ fills it from
// the file (at the end pchNext == pchEndRead). info then shows the new buffer.
MMRESULT mmioAdvance(HMMIO h, LPMMIOINFO info, UINT flags);

// Reads a chunk header at the current position. With MMIO_FINDCHUNK (ckid),
// MMIO_FINDRIFF or MMIO_FINDLIST (fccType) skips chunks until one matches,
// within the parent chunk when one is given. Leaves the position at the
// chunk's data (after the form type of RIFF and LIST chunks).
MMRESULT mmioDescend(HMMIO h, LPMMCKINFO chunk, const MMCKINFO* parent, UINT flags);
// Goes to the end of the chunk (and its pad byte). For a chunk made by
// mmioCreateChunk (MMIO_DIRTY) the current position ends its data: its size
// is written into its header when it differs, and a pad byte when odd.
MMRESULT mmioAscend(HMMIO h, LPMMCKINFO chunk, UINT flags);
// Writes a chunk header (ckid, cksize; with MMIO_CREATERIFF or
// MMIO_CREATELIST the id is RIFF or LIST and fccType follows).
MMRESULT mmioCreateChunk(HMMIO h, LPMMCKINFO chunk, UINT flags);
