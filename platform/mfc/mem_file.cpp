#include "platform/mfc/mem_file.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>

CMemFile::CMemFile(UINT nGrowBytes) : m_nGrowBytes(nGrowBytes) {}

CMemFile::CMemFile(BYTE* lpBuffer, UINT nBufferSize, UINT nGrowBytes) : m_nGrowBytes(nGrowBytes) {
  Attach(lpBuffer, nBufferSize, nGrowBytes);
}

CMemFile::~CMemFile() { Close(); }

void CMemFile::Attach(BYTE* lpBuffer, UINT nBufferSize, UINT nGrowBytes) {
  Close();
  m_lpBuffer = lpBuffer;
  m_nBufferSize = lpBuffer ? nBufferSize : 0;
  m_nFileSize = nGrowBytes == 0 ? m_nBufferSize : 0;
  m_nGrowBytes = nGrowBytes;
  m_bAutoDelete = false;
}

BYTE* CMemFile::Detach() {
  BYTE* block = m_lpBuffer;
  m_lpBuffer = NULL;
  m_nBufferSize = m_nFileSize = m_nPosition = 0;
  m_bAutoDelete = true;
  return block;
}

BOOL CMemFile::Open(LPCTSTR lpszFileName, UINT, CFileException* pError) {
  if (pError) {
    pError->m_cause = CFileException::genericException;
    pError->m_lOsError = EINVAL;
    pError->m_strFileName = lpszFileName;
  }
  return FALSE;
}

void CMemFile::Close() {
  if (m_bAutoDelete) free(m_lpBuffer);
  m_lpBuffer = NULL;
  m_nBufferSize = m_nFileSize = m_nPosition = 0;
  m_bAutoDelete = true;
}

ULONGLONG CMemFile::Seek(LONGLONG lOff, UINT nFrom) {
  LONGLONG base = nFrom == begin ? 0 : nFrom == current ? LONGLONG(m_nPosition) : LONGLONG(m_nFileSize);
  if (nFrom > end || lOff < -base) throw new CFileException(CFileException::badSeek, EINVAL);
  m_nPosition = size_t(base + lOff);
  return m_nPosition;
}

UINT CMemFile::Read(void* lpBuf, UINT nCount) {
  if (m_nPosition >= m_nFileSize) return 0;
  size_t n = std::min(size_t(nCount), m_nFileSize - m_nPosition);
  memcpy(lpBuf, m_lpBuffer + m_nPosition, n);
  m_nPosition += n;
  return UINT(n);
}

void CMemFile::GrowTo(size_t size) {
  if (size <= m_nBufferSize) return;
  if (m_nGrowBytes == 0) throw new CFileException(CFileException::diskFull, ENOSPC);
  size_t capacity = (size + m_nGrowBytes - 1) / m_nGrowBytes * m_nGrowBytes;
  BYTE* grown = static_cast<BYTE*>(realloc(m_lpBuffer, capacity));
  if (!grown) throw new CFileException(CFileException::diskFull, ENOMEM);
  m_lpBuffer = grown;
  m_nBufferSize = capacity;
}

void CMemFile::Write(const void* lpBuf, UINT nCount) {
  if (nCount == 0) return;
  size_t endPos = m_nPosition + nCount;
  if (endPos < m_nPosition) throw new CFileException(CFileException::diskFull, ENOSPC);
  GrowTo(endPos);
  if (m_nPosition > m_nFileSize) memset(m_lpBuffer + m_nFileSize, 0, m_nPosition - m_nFileSize);
  memcpy(m_lpBuffer + m_nPosition, lpBuf, nCount);
  m_nPosition = endPos;
  if (endPos > m_nFileSize) m_nFileSize = endPos;
}
