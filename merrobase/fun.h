// CMerroFun: the base library's file and folder utilities for a host: a
// folder or a file chosen through the standard dialogs, and a file's
// creation time, title, name and size.
//
// Failures show nothing: they give the empty string or -1. Title and name
// come from the path text alone (the file need not exist); time and size
// from the file's status. The creation time is the file system's birth time
// where it keeps one, else the last modification.
#pragma once
#include "platform/mfc/afx.h"

class CMerroFun : public CObject {
 public:
  CMerroFun();
  ~CMerroFun() override;

  // The chosen folder's path (GBK), or "" when the user cancels or no dialog
  // can be shown; also kept in m_strFolder.
  CString On_Browse_Folder();
  // The standard open (open != 0) or save dialog without owner; filter in
  // the class library's "description|patterns|...||" form. The chosen
  // file's full path, or "".
  CString On_Find_File(int open, CString defaultExtension, CString fileName, CString filter);
  // Local time "%Y-%m-%d %H:%M:%S", or "" when the status cannot be read.
  CString On_Get_File_CreateTime(CString path);
  // The name without folders and without its extension.
  CString On_Get_File_Title(CString path);
  // What follows the last '\', '/' or ':'.
  CString On_Get_File_Name(CString path);
  // Bytes (0 for a folder), or -1 when the status cannot be read.
  long On_Get_File_Size(CString path);

  CFile m_File;          // never opened: splits path names
  CString m_strFolder;   // the last On_Browse_Folder's result
};
