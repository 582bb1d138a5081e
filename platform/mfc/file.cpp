#include "platform/mfc/file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "platform/fs/rewrite.h"
#include "platform/mfc/os_file_name.h"

namespace {

int OpenFlagsToOs(UINT flags) {
  int os = O_CLOEXEC;
  switch (flags & 3) {
    case CFile::modeWrite: os |= O_WRONLY; break;
    case CFile::modeReadWrite: os |= O_RDWR; break;
    default: os |= O_RDONLY; break;
  }
  if (flags & CFile::modeCreate) os |= O_CREAT | ((flags & CFile::modeNoTruncate) ? 0 : O_TRUNC);
  return os;
}

CTime BirthTime(const std::string& osName, const struct stat& st) {
#ifdef STATX_BTIME
  struct statx sx;
  if (statx(AT_FDCWD, osName.c_str(), 0, STATX_BTIME, &sx) == 0 && (sx.stx_mask & STATX_BTIME))
    return CTime(time_t(sx.stx_btime.tv_sec));
#endif
  return CTime(st.st_mtime);
}

}  // namespace

CFile::CFile(LPCTSTR lpszFileName, UINT nOpenFlags) {
  CFileException error;
  if (!Open(lpszFileName, nOpenFlags, &error))
    throw new CFileException(error.m_cause, error.m_lOsError, error.m_strFileName);
}

CFile::~CFile() { Abort(); }

BOOL CFile::Open(LPCTSTR lpszFileName, UINT nOpenFlags, CFileException* pError) {
  Abort();
  m_strFileName = lpszFileName;
  std::string os = mfc::OsFileName(lpszFileName);
  int err = 0;
  // Never the half of an in-place rewrite a crash cut short.
  int fd = -1;
  if (rewrite::FinishInterruptedRewrite(os))
    fd = ::open(os.c_str(), OpenFlagsToOs(nOpenFlags), 0666);
  else
    errno = EIO;
  struct stat st;
  if (fd < 0) {
    err = errno;
  } else if (fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
    err = fstat(fd, &st) != 0 ? errno : EISDIR;
    ::close(fd);
    fd = -1;
  }
  if (fd < 0) {
    if (pError) {
      pError->m_cause = CFileException::OsErrorToException(err);
      pError->m_lOsError = err;
      pError->m_strFileName = lpszFileName;
    }
    return FALSE;
  }
  m_fd = fd;
  return TRUE;
}

void CFile::ThrowOsError(int err) const { CFileException::ThrowOsError(err, m_strFileName); }

void CFile::Close() {
  if (m_fd < 0) return;
  int fd = m_fd;
  m_fd = -1;
  if (::close(fd) != 0) ThrowOsError(errno);
}

void CFile::Abort() {
  if (m_fd >= 0) ::close(m_fd);
  m_fd = -1;
}

void CFile::Flush() {
  if (m_fd < 0) ThrowOsError(EBADF);
  if (fsync(m_fd) != 0) ThrowOsError(errno);
}

ULONGLONG CFile::GetLength() const {
  struct stat st;
  if (m_fd < 0) ThrowOsError(EBADF);
  if (fstat(m_fd, &st) != 0) ThrowOsError(errno);
  return ULONGLONG(st.st_size);
}

ULONGLONG CFile::GetPosition() const {
  off_t pos = m_fd < 0 ? -1 : lseek(m_fd, 0, SEEK_CUR);
  if (pos < 0) ThrowOsError(m_fd < 0 ? EBADF : errno);
  return ULONGLONG(pos);
}

ULONGLONG CFile::Seek(LONGLONG lOff, UINT nFrom) {
  static const int kWhence[] = {SEEK_SET, SEEK_CUR, SEEK_END};
  if (m_fd < 0) ThrowOsError(EBADF);
  if (nFrom > end) ThrowOsError(EINVAL);
  off_t pos = lseek(m_fd, off_t(lOff), kWhence[nFrom]);
  if (pos < 0) ThrowOsError(errno);
  return ULONGLONG(pos);
}

UINT CFile::Read(void* lpBuf, UINT nCount) {
  if (m_fd < 0) ThrowOsError(EBADF);
  UINT done = 0;
  while (done < nCount) {
    ssize_t n = ::read(m_fd, static_cast<char*>(lpBuf) + done, nCount - done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) ThrowOsError(errno);
    if (n == 0) break;
    done += UINT(n);
  }
  return done;
}

void CFile::Write(const void* lpBuf, UINT nCount) {
  if (m_fd < 0) ThrowOsError(EBADF);
  UINT done = 0;
  while (done < nCount) {
    ssize_t n = ::write(m_fd, static_cast<const char*>(lpBuf) + done, nCount - done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) ThrowOsError(errno);
    if (n == 0) ThrowOsError(ENOSPC);
    done += UINT(n);
  }
}

CString CFile::GetFileName() const {
  int last = std::max({m_strFileName.ReverseFind('\\'), m_strFileName.ReverseFind('/'),
                       m_strFileName.ReverseFind(':')});
  return m_strFileName.Mid(last + 1);
}

CString CFile::GetFileTitle() const {
  CString name = GetFileName();
  int dot = name.ReverseFind('.');
  return dot > 0 ? name.Left(dot) : name;
}

BOOL CFile::GetStatus(LPCTSTR lpszFileName, CFileStatus& rStatus) {
  std::string os = mfc::OsFileName(lpszFileName);
  struct stat st;
  if (stat(os.c_str(), &st) != 0) return FALSE;
  rStatus.m_ctime = BirthTime(os, st);
  rStatus.m_mtime = CTime(st.st_mtime);
  rStatus.m_atime = CTime(st.st_atime);
  rStatus.m_size = S_ISDIR(st.st_mode) ? 0 : ULONGLONG(st.st_size);  // a folder has no size of its own
  rStatus.m_attribute = BYTE((S_ISDIR(st.st_mode) ? directory : normal) | ((st.st_mode & S_IWUSR) ? 0 : readOnly));
  snprintf(rStatus.m_szFullName, sizeof rStatus.m_szFullName, "%s", lpszFileName ? lpszFileName : "");
  return TRUE;
}

void CFile::Remove(LPCTSTR lpszFileName) {
  if (unlink(mfc::OsFileName(lpszFileName).c_str()) != 0) CFileException::ThrowOsError(errno, lpszFileName);
}

void CFile::Rename(LPCTSTR lpszOldName, LPCTSTR lpszNewName) {
  if (rename(mfc::OsFileName(lpszOldName).c_str(), mfc::OsFileName(lpszNewName).c_str()) != 0)
    CFileException::ThrowOsError(errno, lpszOldName);
}
