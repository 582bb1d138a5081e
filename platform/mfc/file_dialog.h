// CFileDialog: the class library's open and save dialog, over the win
// facility's file dialog (Qt's own widgets; answered and logged for tests as
// win/file_dialog.h says). Texts are GBK; names are the system's paths.
#pragma once
#include "platform/mfc/cstring.h"
#include "platform/mfc/object.h"

class CWnd;

class CFileDialog : public CObject {
 public:
  // lpszDefExt: appended (after a dot) to a chosen name without extension.
  // lpszFileName: the name (with or without folder) the dialog starts on.
  // dwFlags: OFN_FILEMUSTEXIST (open only), OFN_OVERWRITEPROMPT (save only);
  // OFN_PATHMUSTEXIST holds always (only existing folders can be chosen) and
  // OFN_HIDEREADONLY is the only form (there is no read-only box).
  // lpszFilter: "description|patterns|...||", patterns separated by ';';
  // "*.*" means every file.
  // pParentWnd: the dialogs of this system have no owner; only NULL is taken.
  CFileDialog(BOOL bOpenFileDialog, LPCTSTR lpszDefExt = NULL, LPCTSTR lpszFileName = NULL,
              DWORD dwFlags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, LPCTSTR lpszFilter = NULL,
              CWnd* pParentWnd = NULL);

  // IDOK once a file is chosen, else IDCANCEL (also when the process has no
  // Qt application to show the dialog, or an owner was given).
  virtual INT_PTR DoModal();
  // The chosen file's full path (GBK; a Linux path spelt as the system
  // spells paths), empty before an IDOK.
  CString GetPathName() const { return m_strPathName; }

 private:
  BOOL m_bOpenFileDialog;
  CString m_strDefExt;
  CString m_strFileName;
  DWORD m_dwFlags;
  CString m_strFilter;
  CWnd* m_pParentWnd;
  CString m_strPathName;
};
