// CMemFile: a file held in a memory block.
//
// Blocks are malloc'd: the file grows its block with realloc in steps of its
// grow size. An attached block stays the caller's: with grow size 0 the file
// is exactly the block (reading, and writing inside it); with a grow size the
// file starts empty and its writes may move the block, so the caller takes
// it back with Detach (and frees it with free). A block the file allocated
// itself is freed by Close and the destructor unless it was detached.
#pragma once
#include "platform/mfc/file.h"

class CMemFile : public CFile {
 public:
  explicit CMemFile(UINT nGrowBytes = 1024);
  CMemFile(BYTE* lpBuffer, UINT nBufferSize, UINT nGrowBytes = 0);
  ~CMemFile() override;

  void Attach(BYTE* lpBuffer, UINT nBufferSize, UINT nGrowBytes = 0);
  // Hands the block back (NULL when there is none) and leaves the file empty.
  BYTE* Detach();

  // A memory file is never opened by name.
  BOOL Open(LPCTSTR, UINT, CFileException* pError = NULL) override;
  void Close() override;
  void Abort() override { Close(); }
  void Flush() override {}
  ULONGLONG GetLength() const override { return m_nFileSize; }
  ULONGLONG GetPosition() const override { return m_nPosition; }
  // Positions past the end are allowed (reads there give nothing; a write
  // there fills the gap with zero bytes); before the start raises badSeek.
  ULONGLONG Seek(LONGLONG lOff, UINT nFrom) override;
  UINT Read(void* lpBuf, UINT nCount) override;
  // A file that may not grow raises diskFull when a write would pass its end.
  void Write(const void* lpBuf, UINT nCount) override;

 private:
  void GrowTo(size_t size);
  BYTE* m_lpBuffer = NULL;
  size_t m_nBufferSize = 0;
  size_t m_nFileSize = 0;
  size_t m_nPosition = 0;
  UINT m_nGrowBytes;
  bool m_bAutoDelete = true;
};
