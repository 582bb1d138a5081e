// CSoundWave: the WAV record embedded in CSoundIO. It reads one slice of a
// WAV file or of a WAV image in memory into a fresh zero-filled global-memory
// block for playback, and appends blocks to a WAV file being written for
// recording.
//
// Its messages are boxes without an owner, with the exclamation icon and no
// caption of their own. The readers give 1 when the slice was read, else 0
// (ReadFile after its message) and no block.
#pragma once
#include "platform/globalmem.h"
#include "platform/mm/mmio.h"
#include "platform/mm/wave.h"
#include "platform/windef.h"

class CSoundWave {
 public:
  CSoundWave();
  // Finishes a WAV file still being written and frees the block.
  virtual ~CSoundWave();

  void FreeData();
  // Names longer than 127 bytes are not kept (the name is left empty), so
  // that no other file is opened in their place.
  void SetFileName(const char* name);

  // `length` bytes from byte `offset` of the file (counted from its first
  // byte; bytes past its end are zeros) into a new block; the file's format
  // into m_Format. A format chunk of more than the 18 format bytes is read as
  // far as they go, one of fewer than the 16 PCM bytes is refused.
  int ReadFile(long offset, unsigned long length);
  // The same from a WAV image of `size` bytes that stays the caller's: the
  // format from the 16 PCM bytes after the first chunk header; the slice
  // starts `offset` bytes into the chunk named "data" (at its 8-byte
  // header), or, without one, `offset` bytes after the chunk that follows
  // the format chunk. Bytes past the image are zeros. 0 for a negative
  // offset, an image too short for its format, or no memory for the slice.
  int ParseImage(unsigned char* image, unsigned long size, long offset, unsigned long length);

  // Creates `name` as a WAV file of `format` to be written (RIFF "WAVE", a
  // 16-byte "fmt " chunk and an open "data" chunk), and a block of
  // `blockBytes` for AppendData. A file being written is finished first.
  int CreateWaveFile(const char* name, const WAVEFORMATEX& format, unsigned long blockBytes);
  // Appends the m_dwDataSize bytes of the block to the file being written
  // through its I/O buffer; 0 when no file is being written.
  int AppendData();
  // Writes the chunk sizes and closes the file; 0 when none is being written.
  int CloseFile();

  BYTE* m_pData;        // from GlobalAlloc(GMEM_FIXED | GMEM_ZEROINIT)
  DWORD m_dwDataSize;   // the slice length asked for (0 without a block)
  WAVEFORMATEX m_Format;
  HMMIO m_hmmio;        // the WAV file being written
  MMIOINFO m_mmioInfo;  // its I/O buffer
  MMCKINFO m_ckRiff;
  MMCKINFO m_ckData;
  char m_szFileName[128];

 private:
  bool NewBlock(unsigned long length);
};
