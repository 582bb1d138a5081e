#include "platform/vcl/folder_lists.h"

#include <QApplication>
#include <QStyle>
#include <cctype>

#include "platform/fs/drives.h"
#include "platform/fs/path.h"

namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }
bool LeadByte(char c) { return static_cast<unsigned char>(c) >= 0x81; }

// The characters of a GBK string: one or two bytes each.
std::vector<AnsiString> Characters(const AnsiString& s) {
  std::vector<AnsiString> out;
  for (size_t i = 0; i < s.size();) {
    const size_t n = LeadByte(s[i]) && i + 1 < s.size() ? 2 : 1;
    out.push_back(s.substr(i, n));
    i += n;
  }
  return out;
}

// A path as its root ("C:\", "\" for a Linux path, "" for a relative one)
// and its folder names; a trail byte equal to '\' inside a character is
// not a separator.
struct PathParts {
  AnsiString root;
  std::vector<AnsiString> names;
};

PathParts Split(const AnsiString& path) {
  PathParts p;
  std::vector<AnsiString> chars = Characters(path);
  size_t i = 0;
  if (chars.size() >= 2 && chars[1] == ":" && chars[0].size() == 1 && std::isalpha(static_cast<unsigned char>(chars[0][0]))) {
    p.root = AnsiString(1, char(std::toupper(static_cast<unsigned char>(chars[0][0])))) + ":\\";
    i = 2;
  } else if (!chars.empty() && chars[0].size() == 1 && IsSeparator(chars[0][0])) {
    p.root = "\\";
  }
  AnsiString name;
  for (; i < chars.size(); ++i) {
    if (chars[i].size() == 1 && IsSeparator(chars[i][0])) {
      if (!name.empty()) p.names.push_back(name);
      name.clear();
    } else {
      name += chars[i];
    }
  }
  if (!name.empty()) p.names.push_back(name);
  return p;
}

AnsiString Join(const PathParts& p, size_t count) {
  AnsiString out = p.root;
  for (size_t i = 0; i < count && i < p.names.size(); ++i) out = vcl::JoinPath(out, p.names[i]);
  return out;
}

AnsiString Normalised(const AnsiString& path) {
  const PathParts p = Split(path.empty() || !IsSeparator(path[0]) ? path : AnsiString(winpath::ToWindows(winpath::ToLinux(path))));
  return Join(p, p.names.size());
}

// See TDirectoryListBox.
AnsiString StartFolder() {
  const AnsiString cwd = GetCurrentDir();
  const char drive = CurrentDrive();
  if (!drive || (cwd.size() >= 2 && cwd[0] == drive && cwd[1] == ':')) return Normalised(cwd);
  return AnsiString(1, drive) + ":\\";
}

QIcon StockIcon(QStyle::StandardPixmap which) { return QApplication::style()->standardIcon(which); }

bool MatchFrom(const std::vector<AnsiString>& name, size_t n, const std::vector<AnsiString>& pattern, size_t p) {
  if (p == pattern.size()) return n == name.size();
  if (pattern[p] == "*") {
    for (size_t k = n; k <= name.size(); ++k)
      if (MatchFrom(name, k, pattern, p + 1)) return true;
    return false;
  }
  if (n == name.size()) return false;
  if (pattern[p] != "?" && UpperCase(pattern[p]) != UpperCase(name[n])) return false;
  return MatchFrom(name, n + 1, pattern, p + 1);
}

}  // namespace

namespace vcl {

bool MatchesMask(const AnsiString& name, const AnsiString& mask) {
  const std::vector<AnsiString> chars = Characters(name);
  size_t start = 0;
  while (start <= mask.size()) {
    size_t end = mask.find(';', start);
    if (end == AnsiString::npos) end = mask.size();
    const AnsiString one = Trim(mask.substr(start, end - start));
    // "*.*" takes names without a dot too.
    if (one == "*.*" || one == "*") return true;
    if (!one.empty() && MatchFrom(chars, 0, Characters(one), 0)) return true;
    start = end + 1;
  }
  return false;
}

AnsiString JoinPath(const AnsiString& folder, const AnsiString& name) {
  if (folder.empty()) return name;
  const std::vector<AnsiString> chars = Characters(folder);
  const AnsiString& last = chars.back();
  if (last.size() == 1 && IsSeparator(last[0])) return folder + name;
  return folder + "\\" + name;
}

}  // namespace vcl

// ---- TDirectoryListBox ----

TDirectoryListBox::TDirectoryListBox(TComponent* owner) : TListBox(owner) {
  directory_ = StartFolder();
  ReadFolder();
}

char TDirectoryListBox::GetDrive() const {
  return directory_.size() >= 2 && directory_[1] == ':' ? directory_[0] : 0;
}

void TDirectoryListBox::SetDrive(char letter) {
  const AnsiString root = AnsiString(1, char(std::toupper(static_cast<unsigned char>(letter)))) + ":\\";
  if (GetDriveType(root) == DRIVE_FIXED) SetDirectory(root);
}

void TDirectoryListBox::SetFileList(TFileListBox* list) {
  fileList_ = list;
  if (fileList_) fileList_->Directory = directory_;
}

void TDirectoryListBox::SetDirectory(const AnsiString& dir) {
  const AnsiString wanted = Normalised(dir);
  if (wanted.empty() || !DirectoryExists(wanted)) return;
  const bool changed = wanted != directory_;
  directory_ = wanted;
  ReadFolder();
  if (fileList_) fileList_->Directory = directory_;
  if (changed && OnChange) OnChange(this);
}

void TDirectoryListBox::ReadFolder() {
  const PathParts path = Split(directory_);
  TStrings* items = GetItems();
  items->Clear();
  items->Add(path.root.empty() ? AnsiString(".") : path.root);
  for (const AnsiString& name : path.names) items->Add(name);
  pathItems_ = items->Count;
  for (const FolderEntry& e : ListFolder(directory_))
    if (e.isFolder) items->Add(e.name);
  QListWidget* list = Inner();
  for (int i = 0; i < list->count(); ++i)
    list->item(i)->setIcon(StockIcon(i == 0 && path.root.size() == 3 ? QStyle::SP_DriveHDIcon
                                     : i < pathItems_                  ? QStyle::SP_DirOpenIcon
                                                                       : QStyle::SP_DirClosedIcon));
  SetItemIndex(pathItems_ - 1);
}

AnsiString TDirectoryListBox::GetItemPath(int index) const {
  if (index < 0 || index >= GetItems()->Count) return "";
  if (index < pathItems_) return Join(Split(directory_), size_t(index));
  return vcl::JoinPath(directory_, GetItems()->Get(index));
}

void TDirectoryListBox::OpenCurrent() {
  const AnsiString path = GetItemPath(GetItemIndex());
  if (!path.empty()) SetDirectory(path);
}

void TDirectoryListBox::DblClick() {
  OpenCurrent();
  TListBox::DblClick();
}

// ---- TFileListBox ----

TFileListBox::TFileListBox(TComponent* owner) : TListBox(owner) {
  directory_ = StartFolder();
  Update();
}

void TFileListBox::SetDirectory(const AnsiString& dir) {
  directory_ = Normalised(dir);
  Update();
}

void TFileListBox::SetMask(const AnsiString& mask) {
  mask_ = mask;
  Update();
}

void TFileListBox::SetShowGlyphs(bool v) {
  showGlyphs_ = v;
  Update();
}

AnsiString TFileListBox::GetFileName() const {
  const int i = GetItemIndex();
  return i < 0 ? AnsiString() : vcl::JoinPath(directory_, GetItems()->Get(i));
}

void TFileListBox::Update() {
  TStrings* items = GetItems();
  items->Clear();
  for (const FolderEntry& e : ListFolder(directory_))
    if (!e.isFolder && vcl::MatchesMask(e.name, mask_)) items->Add(e.name);
  if (!showGlyphs_) return;
  QListWidget* list = Inner();
  for (int i = 0; i < list->count(); ++i) list->item(i)->setIcon(StockIcon(QStyle::SP_FileIcon));
}
