#include "platform/mfc/exception.h"

#include <cerrno>

namespace {

struct OsCause {
  int os, cause;
};
const OsCause kOsCauses[] = {
    {ENOENT, CFileException::fileNotFound},      {ENOTDIR, CFileException::badPath},
    {ENAMETOOLONG, CFileException::badPath},     {ELOOP, CFileException::badPath},
    {EMFILE, CFileException::tooManyOpenFiles},  {ENFILE, CFileException::tooManyOpenFiles},
    {EACCES, CFileException::accessDenied},      {EPERM, CFileException::accessDenied},
    {EROFS, CFileException::accessDenied},       {EISDIR, CFileException::accessDenied},
    {EBADF, CFileException::invalidFile},        {EINVAL, CFileException::badSeek},
    {ENOSPC, CFileException::diskFull},          {EDQUOT, CFileException::diskFull},
    {EFBIG, CFileException::diskFull},           {EIO, CFileException::hardIO},
    {EBUSY, CFileException::sharingViolation},   {ETXTBSY, CFileException::sharingViolation},
    {EEXIST, CFileException::accessDenied},      {ENOTEMPTY, CFileException::accessDenied},
};

}  // namespace

int CFileException::OsErrorToException(LONG lOsError) {
  for (const OsCause& c : kOsCauses)
    if (c.os == lOsError) return c.cause;
  return genericException;
}

void CFileException::ThrowOsError(LONG lOsError, LPCTSTR lpszFileName) {
  throw new CFileException(OsErrorToException(lOsError), lOsError, lpszFileName);
}
