// CArchive: a buffered byte stream over a CFile (also a CMemFile) in which
// integers are stored little-endian and strings in the class library's
// archived form:
//   length < 255          one length byte, then the bytes
//   length < 0xFFFE       0xFF, 16-bit length, then the bytes
//   otherwise             0xFF, 0xFFFF, 32-bit length, then the bytes
// Reading accepts a 16-bit length of 0xFFFE too.
//
// A load archive reads from its file only when a value is asked for, so the
// file is untouched until the first extraction. Reading past the end of the
// data raises CArchiveException* with cause endOfFile.
#pragma once
#include <vector>

#include "platform/mfc/file.h"

class CArchive {
 public:
  enum Mode { store = 0, load = 1 };

  // The caller's buffer, if given, is not used: the archive keeps its own.
  CArchive(CFile* pFile, UINT nMode, int nBufSize = 4096, void* lpBuf = NULL);
  // An archive that was not closed is closed here, errors dropped.
  ~CArchive();
  CArchive(const CArchive&) = delete;
  CArchive& operator=(const CArchive&) = delete;

  // Flushes a store archive into its file; a load archive puts the file back
  // at the first byte it has not handed out. The file stays open.
  void Close();
  // Lets go of the file without writing what is still buffered.
  void Abort();
  void Flush();

  BOOL IsLoading() const { return m_bLoading; }
  BOOL IsStoring() const { return !m_bLoading; }
  CFile* GetFile() const { return m_pFile; }

  // Bytes read; fewer than asked only at the end of the data.
  UINT Read(void* lpBuf, UINT nMax);
  void Write(const void* lpBuf, UINT nMax);

  CArchive& operator<<(BYTE v);
  CArchive& operator<<(WORD v);
  CArchive& operator<<(short v);
  CArchive& operator<<(int v);
  CArchive& operator<<(DWORD v);
  CArchive& operator>>(BYTE& v);
  CArchive& operator>>(WORD& v);
  CArchive& operator>>(short& v);
  CArchive& operator>>(int& v);
  CArchive& operator>>(DWORD& v);

 private:
  void Fill();
  void CheckOpen(bool loading) const;
  template <class T>
  void Put(T v);
  template <class T>
  T Get();

  CFile* m_pFile;
  bool m_bLoading;
  std::vector<BYTE> m_buf;
  size_t m_cur = 0;  // next byte handed out (load) or next free byte (store)
  size_t m_lim = 0;  // bytes held (load)
};

CArchive& operator<<(CArchive& ar, const CString& s);
CArchive& operator>>(CArchive& ar, CString& s);
