// List boxes of the file system: the folder list (the path of the open
// folder, then its subfolders) and the file list of the folder it shows.
// Paths are the system's GBK Windows paths ("C:\pics", "C:\"); a path
// beginning with a separator is a Linux path, whose root is "\".
#pragma once
#include "platform/vcl/stdctrls.h"

class TFileListBox;

// Items: the root, each folder down to the open one, then the open
// folder's subfolders in name order. Directory is the open folder, without
// a trailing separator except at a root; it starts in the current folder
// when that is on a mapped drive, else at the root of CurrentDrive(), so
// that a person's clicks stay on the drives. A folder on a drive given as
// its Linux path is shown as the drive's. Setting a folder that does not
// exist changes nothing; OnChange runs whenever Directory changes, and the
// linked FileList then shows the new folder.
class TDirectoryListBox : public TListBox {
 public:
  explicit TDirectoryListBox(TComponent* owner);

  AnsiString GetDirectory() const { return directory_; }
  void SetDirectory(const AnsiString& dir);
  // The drive letter of the open folder (0 for a Linux path); setting one
  // opens that drive's root, when it is a mapped drive (the open drive's
  // too).
  char GetDrive() const;
  void SetDrive(char letter);
  TFileListBox* GetFileList() const { return fileList_; }
  void SetFileList(TFileListBox* list);

  VCL_PROPERTY(TDirectoryListBox, AnsiString, Directory);
  VCL_PROPERTY(TDirectoryListBox, char, Drive);
  VCL_PROPERTY(TDirectoryListBox, TFileListBox*, FileList);

  // The full path of item i; "" out of range.
  AnsiString GetItemPath(int index) const;
  // Opens the selected folder.
  void OpenCurrent();

  TNotifyEvent OnChange;

 protected:
  void DblClick() override;

 private:
  void ReadFolder();
  AnsiString directory_;
  int pathItems_ = 0;  // items 0 .. pathItems_ - 1 are the open path
  TFileListBox* fileList_ = nullptr;
};

// Items: the names of the folder's files (not its folders) that match Mask,
// in name order. Mask is wildcard patterns joined by ';' ("*.bmp;*.jpg"),
// matched ignoring the case of ASCII letters; "*.*" and "*" take every file.
// ShowGlyphs puts a file picture before each name.
class TFileListBox : public TListBox {
 public:
  explicit TFileListBox(TComponent* owner);

  AnsiString GetDirectory() const { return directory_; }
  void SetDirectory(const AnsiString& dir);
  AnsiString GetMask() const { return mask_; }
  void SetMask(const AnsiString& mask);
  bool GetShowGlyphs() const { return showGlyphs_; }
  void SetShowGlyphs(bool v);
  // The selected file with its folder; "" when none is selected.
  AnsiString GetFileName() const;

  VCL_PROPERTY(TFileListBox, AnsiString, Directory);
  VCL_PROPERTY(TFileListBox, AnsiString, Mask);
  VCL_PROPERTY(TFileListBox, bool, ShowGlyphs);
  VCL_READONLY(TFileListBox, AnsiString, FileName);

  // The files again, as the folder holds them now.
  void Update();

 private:
  AnsiString directory_;
  AnsiString mask_ = "*.*";
  bool showGlyphs_ = false;
};

namespace vcl {
// Whether a file name matches one of the ';'-joined wildcard patterns ('*'
// any run of characters, '?' one character), ignoring ASCII case.
bool MatchesMask(const AnsiString& name, const AnsiString& mask);
// `folder` + `name` with one separator between.
AnsiString JoinPath(const AnsiString& folder, const AnsiString& name);
}  // namespace vcl
