// Plain files named by GBK Windows paths (mapped as path.h describes).
// Everything that writes a file replaces it whole as rewrite.h describes:
// through symbolic links, keeping hard links, and so that a crash or a
// failed write leaves the old file or the new one, never a part.
#pragma once
#include "platform/windef.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

// True for an existing entry that is not a folder.
bool FileExists(std::string_view name);
// False, and nothing else, when the file is missing.
BOOL DeleteFile(std::string_view name);
// Byte copy keeping the source's permissions and modification time. False
// when the source is missing or is a folder, or when `failIfExists` is set
// and the target exists (the target is then left alone).
BOOL CopyFile(std::string_view existingName, std::string_view newName, BOOL failIfExists);
// False when the new name exists already (a change of case only is allowed).
bool RenameFile(std::string_view oldName, std::string_view newName);
// Size in bytes; 0 for a folder, -1 when the entry cannot be read.
int64_t FileSize(std::string_view name);

// The whole content; nothing when the file cannot be read.
std::optional<std::string> ReadWholeFile(std::string_view name);
// Replaces the whole content atomically (an existing file keeps its
// permissions); false, with the old file untouched, on any failure.
bool WriteWholeFile(std::string_view name, std::string_view data);

// A file written piece by piece: the pieces go to a temporary file beside
// `name`, which Commit puts in its place once complete and on disk (an
// existing file keeps its permissions). Dropped without Commit, it leaves
// `name` as it was.
class FileReplacement {
 public:
  explicit FileReplacement(std::string_view name);
  ~FileReplacement();
  FileReplacement(const FileReplacement&) = delete;
  FileReplacement& operator=(const FileReplacement&) = delete;

  // False when the temporary file could not be made (no folder, no right).
  bool IsOpen() const;
  bool Write(const void* data, size_t n);
  bool Commit();

  // For files put in place together (file_batch.h): Finish makes the
  // content complete and on disk under the temporary name (writing ends);
  // Release leaves that file to whoever puts it in place, so that dropping
  // this no longer removes it. Both paths are Linux paths; empty for a
  // replacement that could not be made.
  bool Finish();
  void Release();
  std::string TemporaryPath() const;
  std::string TargetPath() const;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};
