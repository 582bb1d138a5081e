#include "merrobase/fun.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

#include "platform/fs/path.h"
#include "platform/mfc/file_dialog.h"
#include "platform/text/gbk.h"
#include "platform/win/file_dialog.h"

namespace {

// The folder dialog: a modal folder chooser without owner.
class CFolderBrowser {
 public:
  virtual ~CFolderBrowser() = default;

  // 1 with m_strPath set when a folder was chosen; 0 when cancelled, when the
  // root does not exist (no dialog then) or when no dialog can be shown.
  int Run() {
    QString root;
    if (!m_strRoot.IsEmpty()) {
      root = QString::fromStdString(winpath::ToLinux(LPCTSTR(m_strRoot)));
      if (!QFileInfo(root).isDir()) return 0;
    }
    std::optional<QString> chosen = win::RunFileDialog([&](QFileDialog& d) {
      d.setWindowTitle(gbk::ToQString(LPCTSTR(m_strTitle.IsEmpty() ? CString("打开") : m_strTitle)));
      d.setFileMode(QFileDialog::Directory);
      d.setOption(QFileDialog::ShowDirsOnly);
      // Without a root it starts where the drives are, as the desktop's tree
      // leads to them.
      d.setDirectory(root.isEmpty() ? QString::fromStdString(winpath::DrivesRoot()) : root);
      if (!m_strInitial.IsEmpty()) d.selectFile(QString::fromStdString(winpath::ToLinux(LPCTSTR(m_strInitial))));
    });
    if (!chosen) return 0;
    m_strPath = winpath::ToWindows(chosen->toStdString()).c_str();
    return 1;
  }

  CString m_strPath;                // out: the chosen folder
  CString m_strRoot;                // in: the folder the dialog starts in; "" = the drives
  CString m_strInitial;             // in: folder to select at the start; "" = none
  CString m_strTitle = "选择文件夹";  // in: the dialog's title; "" shows "打开"
  int m_nImage = 0;                 // out: no shell image list here, stays 0
};

}  // namespace

CMerroFun::CMerroFun() {}

CMerroFun::~CMerroFun() {}

CString CMerroFun::On_Browse_Folder() {
  CFolderBrowser browser;
  m_strFolder = browser.Run() == 1 ? browser.m_strPath : CString();
  return m_strFolder;
}

CString CMerroFun::On_Find_File(int open, CString defaultExtension, CString fileName, CString filter) {
  CFileDialog dialog(open != 0, defaultExtension, fileName, OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST,
                     filter, NULL);
  return dialog.DoModal() == IDOK ? dialog.GetPathName() : CString();
}

CString CMerroFun::On_Get_File_CreateTime(CString path) {
  CFileStatus status;
  if (!CFile::GetStatus(path, status)) return CString();
  return status.m_ctime.Format("%Y-%m-%d %H:%M:%S");
}

CString CMerroFun::On_Get_File_Title(CString path) {
  m_File.SetFilePath(path);
  return m_File.GetFileTitle();
}

CString CMerroFun::On_Get_File_Name(CString path) {
  m_File.SetFilePath(path);
  return m_File.GetFileName();
}

long CMerroFun::On_Get_File_Size(CString path) {
  CFileStatus status;
  if (!CFile::GetStatus(path, status)) return -1;
  return long(status.m_size);
}
