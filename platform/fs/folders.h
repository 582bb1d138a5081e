// Folders: the program folder, the current folder, folder tests, creation and
// listing. Paths are GBK Windows paths mapped as path.h describes.
#pragma once
#include "platform/windef.h"

#include <cstdint>
#include <ctime>
#include <string>
#include <string_view>
#include <vector>

// Folder of the running executable, GBK, with a trailing separator
// ("/.../build/bin/"); empty if the system cannot tell.
std::string GetProgramFolder();

// The current folder (GBK, no trailing separator) and changing it.
std::string GetCurrentDir();
bool SetCurrentDir(std::string_view dir);
// The buffer form: the length copied (without the terminating zero), or, when
// `size` is too small, the size needed including it; 0 on failure.
DWORD GetCurrentDirectory(DWORD size, LPSTR buffer);

bool DirectoryExists(std::string_view dir);
// One level: false when the folder exists already or its parent is missing.
bool CreateDir(std::string_view dir);
// Every missing level; true when the folder exists afterwards. Never creates
// a drive: the drive's folder must exist.
bool ForceDirectories(std::string_view dir);

struct FolderEntry {
  std::string name;  // GBK, without folder
  bool isFolder = false;
  int64_t size = 0;  // bytes; 0 for folders
  time_t modified = 0;
};
// The entries of a folder other than "." and "..", ordered by name ignoring
// case as Windows lists them; empty when the folder cannot be read.
std::vector<FolderEntry> ListFolder(std::string_view dir);
