// Files of one folder replaced and removed together, so that a program
// killed at any moment leaves either all of them as they were or all as the
// batch makes them.
//
// Each new file is complete and on disk under its temporary name
// (FileReplacement::Finish) before a journal naming every rename and
// removal is put into the folder; the journal is then carried out and
// removed. A journal whose program was killed is carried out by the next
// RecoverFileBatches on the folder, which also removes the temporary files
// of killed programs that no journal names. Journals and temporary files
// carry the process id of the program that made them:
// ".quarvel-<pid>-<n>.journal", ".quarvel-<pid>-<n>.tmp".
#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "platform/fs/files.h"

class FileBatch {
 public:
  // `folder`: a GBK Windows path; the journal goes there.
  explicit FileBatch(std::string_view folder);

  // A replacement written in full; it must outlive Commit. Until the
  // journal is on disk it still removes its temporary file when dropped.
  void Replace(FileReplacement* file);
  // A file (GBK Windows path) to be gone afterwards; nothing when missing.
  void Remove(std::string_view name);

  // False, with nothing changed, when a replacement cannot be finished or
  // the journal cannot be written. False too when a rename fails after the
  // journal is written: the files are then put in place by the next
  // RecoverFileBatches on the folder.
  bool Commit();

 private:
  std::string folder_;
  std::vector<FileReplacement*> replaced_;
  std::vector<std::string> removed_;  // Linux paths
};

// Carries out the journals of killed programs (and of this one's failed
// commits) in `folder` (a GBK Windows path) and removes the temporary files
// of programs that are no longer running. Call it while this program writes
// nothing into the folder. False when a journal could not be carried out
// (it is kept for the next call).
bool RecoverFileBatches(std::string_view folder);
