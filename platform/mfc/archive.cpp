#include "platform/mfc/archive.h"

#include <algorithm>
#include <climits>
#include <cstring>

CArchive::CArchive(CFile* pFile, UINT nMode, int nBufSize, void*)
    : m_pFile(pFile), m_bLoading(nMode & load), m_buf(size_t(std::max(nBufSize, 16))) {}

CArchive::~CArchive() {
  try {
    Close();
  } catch (CException* e) {
    e->Delete();
  }
}

void CArchive::CheckOpen(bool loading) const {
  if (!m_pFile) throw new CArchiveException(CArchiveException::genericException);
  if (loading != m_bLoading)
    throw new CArchiveException(m_bLoading ? CArchiveException::readOnly : CArchiveException::writeOnly);
}

void CArchive::Flush() {
  if (!m_pFile) return;
  if (m_bLoading) return;
  size_t n = m_cur;
  m_cur = 0;
  m_pFile->Write(m_buf.data(), UINT(n));
}

void CArchive::Close() {
  if (!m_pFile) return;
  CFile* file = m_pFile;
  size_t unread = m_lim - m_cur;
  if (m_bLoading) {
    m_pFile = NULL;
    m_cur = m_lim = 0;
    if (unread) file->Seek(-LONGLONG(unread), CFile::current);
    return;
  }
  Flush();
  m_pFile = NULL;
}

void CArchive::Abort() {
  m_pFile = NULL;
  m_cur = m_lim = 0;
}

void CArchive::Fill() {
  m_cur = 0;
  m_lim = m_pFile->Read(m_buf.data(), UINT(m_buf.size()));
}

UINT CArchive::Read(void* lpBuf, UINT nMax) {
  CheckOpen(true);
  BYTE* out = static_cast<BYTE*>(lpBuf);
  UINT done = 0;
  while (done < nMax) {
    if (m_cur == m_lim) {
      // Large reads go straight to the file; small ones through the buffer.
      if (nMax - done >= m_buf.size()) {
        UINT n = m_pFile->Read(out + done, nMax - done);
        done += n;
        break;
      }
      Fill();
      if (m_lim == 0) break;
    }
    size_t n = std::min(size_t(nMax - done), m_lim - m_cur);
    memcpy(out + done, m_buf.data() + m_cur, n);
    m_cur += n;
    done += UINT(n);
  }
  return done;
}

void CArchive::Write(const void* lpBuf, UINT nMax) {
  CheckOpen(false);
  const BYTE* in = static_cast<const BYTE*>(lpBuf);
  if (m_cur + nMax > m_buf.size()) {
    Flush();
    if (nMax >= m_buf.size()) {
      m_pFile->Write(in, nMax);
      return;
    }
  }
  memcpy(m_buf.data() + m_cur, in, nMax);
  m_cur += nMax;
}

template <class T>
void CArchive::Put(T v) {
  BYTE bytes[sizeof(T)];
  for (size_t i = 0; i < sizeof(T); ++i) bytes[i] = BYTE((unsigned long long)v >> (8 * i));
  Write(bytes, sizeof bytes);
}

template <class T>
T CArchive::Get() {
  BYTE bytes[sizeof(T)];
  if (Read(bytes, sizeof bytes) != sizeof bytes) throw new CArchiveException(CArchiveException::endOfFile);
  unsigned long long v = 0;
  for (size_t i = 0; i < sizeof(T); ++i) v |= (unsigned long long)bytes[i] << (8 * i);
  return T(v);
}

CArchive& CArchive::operator<<(BYTE v) { return Put(v), *this; }
CArchive& CArchive::operator<<(WORD v) { return Put(v), *this; }
CArchive& CArchive::operator<<(short v) { return Put(v), *this; }
CArchive& CArchive::operator<<(int v) { return Put(v), *this; }
CArchive& CArchive::operator<<(DWORD v) { return Put(v), *this; }
CArchive& CArchive::operator>>(BYTE& v) { return v = Get<BYTE>(), *this; }
CArchive& CArchive::operator>>(WORD& v) { return v = Get<WORD>(), *this; }
CArchive& CArchive::operator>>(short& v) { return v = Get<short>(), *this; }
CArchive& CArchive::operator>>(int& v) { return v = Get<int>(), *this; }
CArchive& CArchive::operator>>(DWORD& v) { return v = Get<DWORD>(), *this; }

CArchive& operator<<(CArchive& ar, const CString& s) {
  DWORD n = DWORD(s.GetLength());
  if (n < 0xFF) {
    ar << BYTE(n);
  } else if (n < 0xFFFE) {
    ar << BYTE(0xFF) << WORD(n);
  } else {
    ar << BYTE(0xFF) << WORD(0xFFFF) << n;
  }
  ar.Write(static_cast<LPCTSTR>(s), UINT(n));
  return ar;
}

CArchive& operator>>(CArchive& ar, CString& s) {
  BYTE b;
  WORD w;
  DWORD n;
  ar >> b;
  n = b;
  if (b == 0xFF) {
    ar >> w;
    n = w;
    if (w == 0xFFFF) ar >> n;
  }
  if (n > DWORD(INT_MAX)) throw new CArchiveException(CArchiveException::badSchema);
  // Grow as the data arrives, so a damaged length runs into the end of the
  // data instead of reserving memory it does not have.
  CString text;
  const DWORD kStep = 1 << 16;
  for (DWORD have = 0; have < n;) {
    DWORD chunk = std::min(kStep, n - have);
    char* p = text.GetBufferSetLength(int(have + chunk));
    if (ar.Read(p + have, chunk) != chunk) throw new CArchiveException(CArchiveException::endOfFile);
    have += chunk;
  }
  s = text;
  return ar;
}
