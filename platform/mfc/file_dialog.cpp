#include "platform/mfc/file_dialog.h"

#include <QDir>
#include <QFileDialog>
#include <QStringList>

#include "platform/fs/path.h"
#include "platform/text/gbk.h"
#include "platform/win/file_dialog.h"

CFileDialog::CFileDialog(BOOL bOpenFileDialog, LPCTSTR lpszDefExt, LPCTSTR lpszFileName, DWORD dwFlags,
                         LPCTSTR lpszFilter, CWnd* pParentWnd)
    : m_bOpenFileDialog(bOpenFileDialog),
      m_strDefExt(lpszDefExt),
      m_strFileName(lpszFileName),
      m_dwFlags(dwFlags),
      m_strFilter(lpszFilter),
      m_pParentWnd(pParentWnd) {}

INT_PTR CFileDialog::DoModal() {
  if (m_pParentWnd) return IDCANCEL;
  std::optional<QString> chosen = win::RunFileDialog([this](QFileDialog& d) {
    d.setOption(QFileDialog::HideNameFilterDetails);  // the description only
    if (m_bOpenFileDialog) {
      d.setAcceptMode(QFileDialog::AcceptOpen);
      d.setFileMode((m_dwFlags & OFN_FILEMUSTEXIST) ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    } else {
      d.setAcceptMode(QFileDialog::AcceptSave);
      d.setFileMode(QFileDialog::AnyFile);
      d.setOption(QFileDialog::DontConfirmOverwrite, !(m_dwFlags & OFN_OVERWRITEPROMPT));
    }
    QString ext = gbk::ToQString(LPCTSTR(m_strDefExt));
    d.setDefaultSuffix(ext.startsWith('.') ? ext.mid(1) : ext);
    const QStringList filters = win::NameFilters(gbk::ToQString(LPCTSTR(m_strFilter)));
    if (!filters.isEmpty()) d.setNameFilters(filters);
    // A bare name starts in the current folder, not where the last dialog was.
    d.setDirectory(QDir::current());
    if (!m_strFileName.IsEmpty())
      d.selectFile(QDir::current().absoluteFilePath(QString::fromStdString(winpath::ToLinux(LPCTSTR(m_strFileName)))));
  });
  if (!chosen) return IDCANCEL;
  m_strPathName = winpath::ToWindows(chosen->toStdString()).c_str();
  return IDOK;
}
