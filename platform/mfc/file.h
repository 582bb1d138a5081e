// CFile: binary file access by Windows file name (see os_file_name.h).
//
// Open reports failure by its result; after a successful open every failing
// read, write, seek or close throws a CFileException* with its cause.
//
// Share flags are accepted and not enforced: Linux has no mandatory sharing.
// A reader sees whole files all the same because this system writes files
// through a temporary file and Rename.
#pragma once
#include "platform/mfc/datetime.h"
#include "platform/mfc/exception.h"

struct CFileStatus {
  CTime m_ctime;  // creation: the birth time where the file system keeps one, else the modification time
  CTime m_mtime;
  CTime m_atime;
  ULONGLONG m_size = 0;  // 0 for a folder
  BYTE m_attribute = 0;  // CFile::Attribute bits
  char m_szFullName[MAX_PATH] = {};  // the name as asked for
};

class CFile : public CObject {
 public:
  enum OpenFlags : UINT {
    modeRead = 0x0000,
    modeWrite = 0x0001,
    modeReadWrite = 0x0002,
    shareCompat = 0x0000,
    shareExclusive = 0x0010,
    shareDenyWrite = 0x0020,
    shareDenyRead = 0x0030,
    shareDenyNone = 0x0040,
    modeNoInherit = 0x0080,
    modeCreate = 0x1000,
    modeNoTruncate = 0x2000,
    typeText = 0x4000,
    typeBinary = 0x8000,
  };
  enum Attribute : BYTE { normal = 0x00, readOnly = 0x01, directory = 0x10 };
  enum SeekPosition : UINT { begin = 0, current = 1, end = 2 };

  CFile() = default;
  // Opens or throws a CFileException*.
  CFile(LPCTSTR lpszFileName, UINT nOpenFlags);
  // Closes an open file; errors are dropped here (call Close to see them).
  ~CFile() override;

  // modeCreate makes the file (emptied unless modeNoTruncate); without it
  // the file must exist. Folders are refused. FALSE on failure, with the
  // cause in *pError when given.
  virtual BOOL Open(LPCTSTR lpszFileName, UINT nOpenFlags, CFileException* pError = NULL);
  virtual void Close();
  // Closes without raising anything.
  virtual void Abort();
  // Writes the file through to the disk.
  virtual void Flush();

  virtual ULONGLONG GetLength() const;
  virtual ULONGLONG GetPosition() const;
  // A position before the start raises badSeek.
  virtual ULONGLONG Seek(LONGLONG lOff, UINT nFrom);
  void SeekToBegin() { Seek(0, begin); }
  ULONGLONG SeekToEnd() { return Seek(0, end); }
  // Bytes read; fewer than asked only at the end of the file.
  virtual UINT Read(void* lpBuf, UINT nCount);
  virtual void Write(const void* lpBuf, UINT nCount);

  // The name given to Open or SetFilePath; its last part after '\', '/' or
  // ':'; and that part without its extension.
  CString GetFilePath() const { return m_strFileName; }
  CString GetFileName() const;
  CString GetFileTitle() const;
  void SetFilePath(LPCTSTR lpszNewName) { m_strFileName = lpszNewName; }

  // FALSE when the file does not exist.
  static BOOL GetStatus(LPCTSTR lpszFileName, CFileStatus& rStatus);
  static void Remove(LPCTSTR lpszFileName);
  // Replaces an existing lpszNewName in one step (the temporary-file-and-
  // rename writes of this system rely on it).
  static void Rename(LPCTSTR lpszOldName, LPCTSTR lpszNewName);

 protected:
  [[noreturn]] void ThrowOsError(int err) const;
  int m_fd = -1;
  CString m_strFileName;
};
