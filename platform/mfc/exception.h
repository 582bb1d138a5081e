// The class library's exceptions. They are thrown as pointers
// (`throw new CFileException(...)`) and the catcher releases them with
// Delete(): `catch (CFileException* e) { ...; e->Delete(); }`.
#pragma once
#include "platform/mfc/cstring.h"
#include "platform/mfc/object.h"

class CException : public CObject {
 public:
  // Frees the exception object.
  void Delete() { delete this; }

 protected:
  CException() = default;
};

class CFileException : public CException {
 public:
  enum {
    none,
    genericException,
    fileNotFound,
    badPath,
    tooManyOpenFiles,
    accessDenied,
    invalidFile,
    removeCurrentDir,
    directoryFull,
    badSeek,
    hardIO,
    sharingViolation,
    lockViolation,
    diskFull,
    endOfFile,
  };
  explicit CFileException(int cause = none, LONG lOsError = -1, LPCTSTR lpszFileName = NULL)
      : m_cause(cause), m_lOsError(lOsError), m_strFileName(lpszFileName) {}

  // The cause for an operating-system error number (errno).
  static int OsErrorToException(LONG lOsError);
  // Throws a file exception for the current errno.
  [[noreturn]] static void ThrowOsError(LONG lOsError, LPCTSTR lpszFileName = NULL);

  int m_cause;
  LONG m_lOsError;
  CString m_strFileName;
};

class CArchiveException : public CException {
 public:
  enum {
    none,
    genericException,
    readOnly,
    endOfFile,
    writeOnly,
    badIndex,
    badClass,
    badSchema,
  };
  explicit CArchiveException(int cause = none, LPCTSTR lpszArchiveName = NULL)
      : m_cause(cause), m_strFileName(lpszArchiveName) {}

  int m_cause;
  CString m_strFileName;
};
