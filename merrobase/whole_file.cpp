#include "merrobase/whole_file.h"

#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <new>

namespace merro {

bool ReadExactly(CFile& file, void* buf, size_t n) {
  const size_t kChunk = size_t(1) << 30;
  for (size_t done = 0; done < n;) {
    UINT want = UINT(std::min(kChunk, n - done));
    UINT got = file.Read(static_cast<BYTE*>(buf) + done, want);
    if (got != want) return false;
    done += got;
  }
  return true;
}

int ReadWholeFile(const CString& name, std::vector<BYTE>& out, bool* missing) {
  CFile file;
  CFileException error;
  if (missing) *missing = false;
  try {
    if (!file.Open(name, CFile::modeRead | CFile::shareDenyNone, &error)) {
      if (missing) *missing = error.m_cause == CFileException::fileNotFound;
      return 0;
    }
    out.resize(size_t(file.GetLength()));
    if (!ReadExactly(file, out.data(), out.size())) return 0;
    file.Close();
    return 1;
  } catch (CException* e) {
    e->Delete();
  } catch (std::bad_alloc&) {
  }
  return 0;
}

int WriteFileReplacing(const CString& name, std::initializer_list<Bytes> parts) {
  static std::atomic<unsigned> serial{0};
  CString temp;
  temp.Format("%s.~%d-%u", static_cast<LPCTSTR>(name), int(getpid()), serial++);
  CFile file;
  if (!file.Open(temp, CFile::modeCreate | CFile::modeWrite | CFile::shareExclusive)) return 0;
  try {
    const size_t kChunk = size_t(1) << 30;
    for (const Bytes& part : parts)
      for (size_t done = 0; done < part.size;) {
        UINT n = UINT(std::min(kChunk, part.size - done));
        file.Write(static_cast<const BYTE*>(part.data) + done, n);
        done += n;
      }
    file.Flush();
    file.Close();
    CFile::Rename(temp, name);
    return 1;
  } catch (CException* e) {
    e->Delete();
    file.Abort();
    try {
      CFile::Remove(temp);
    } catch (CException* again) {
      again->Delete();
    }
    return 0;
  }
}

int CopyWholeFile(const CString& from, const CString& to) {
  std::vector<BYTE> bytes;
  return ReadWholeFile(from, bytes) && WriteFileReplacing(to, {{bytes.data(), bytes.size()}});
}

}  // namespace merro
