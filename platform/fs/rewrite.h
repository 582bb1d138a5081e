// Writing a whole file so that it is never seen half written, through the
// links that lead to it. Paths are Linux paths (path.h maps Windows ones).
//
// A name that is a symbolic link is followed to the file it ends at, and
// that file is the one rewritten: the link stays a link.
//
// A file with a single name, in a folder that takes new entries, gets its
// new content in a temporary file beside it (".quarvel-<pid>-<n>.tmp"),
// which is put on disk and then renamed over it: the name shows either the
// old file or the new one, whatever happens.
//
// A rename cannot be used for a file with more than one name (it would part
// the file from its other hard links) nor in a folder that takes no new
// entries, so such a file is overwritten in place, keeping its inode. The
// new content is first made complete and durable in a journal of the
// user's own ($XDG_STATE_HOME/quarvel/rewrites, else
// ~/.local/state/quarvel/rewrites; one file per rewritten file, named by its
// device and inode, holding the content and the file's name). Only then is
// the content copied over the file, which is put on disk before the journal
// goes. A crash during the copy leaves the journal: the copy is made again
// before the file is next opened by the layer (ReadWholeFile, CFile, picture
// and RIFF reads call FinishInterruptedRewrite), and for every file by each
// program at start-up (FinishInterruptedRewrites), so no program of the
// system reads the half-copied file. A crash before the journal is complete
// leaves the file as it was. Space for the new content is reserved
// before the copy starts, so a full disk fails the rewrite before anything
// changes. Writers overwriting in place hold an exclusive lock (flock) on
// the file; ReadWholeFile takes a shared one.
#pragma once
#include <sys/types.h>

#include <optional>
#include <string>

namespace rewrite {

// What becomes of a file already there.
enum class Existing {
  kReplace,  // the new content replaces it
  kKeep,     // it stays, and Commit fails
};

// Whether Commit puts the content on disk before the rename. A scratch
// file (a picture written only to be read back) needs the rename alone:
// the name still never shows half a file while the system runs.
enum class Sync { kToDisk, kNone };

class Rewrite {
 public:
  explicit Rewrite(const std::string& path, Existing existing = Existing::kReplace);
  // Without Commit the file stays as it was, and nothing is left behind.
  ~Rewrite();
  Rewrite(const Rewrite&) = delete;
  Rewrite& operator=(const Rewrite&) = delete;

  // False when there is no place for the content (no folder, no right).
  bool IsOpen() const { return fd_ >= 0 && !done_; }
  // The new content from offset 0; it may be written, sought and read
  // freely until Commit. Neither Write nor Commit works after Commit.
  int fd() const { return fd_; }
  bool Write(const void* data, size_t n);
  // Puts the content in place, on disk. `mode` is the permissions the file
  // takes; without it an existing file keeps its own and a new one gets a
  // new file's (0666 less the umask).
  bool Commit(std::optional<mode_t> mode = std::nullopt, Sync sync = Sync::kToDisk);

  // For files put in place together by another (file_batch.h): Finish
  // makes the content complete and on disk under the temporary name and
  // ends writing; Release leaves the temporary file to whoever renames it,
  // so that dropping this no longer removes it. Only a rewrite by rename
  // can be finished: an in-place one has no file of its own to rename.
  bool Finish(std::optional<mode_t> mode = std::nullopt);
  void Release() { committed_ = true; }
  const std::string& TemporaryPath() const { return temp_; }
  const std::string& TargetPath() const { return target_; }

 private:
  bool OpenInPlace();
  bool CommitByRename(std::optional<mode_t> mode, Sync sync);
  bool CommitInPlace(std::optional<mode_t> mode);
  bool MakeDurable(std::optional<mode_t> mode, Sync sync);

  std::string target_;  // the file the name resolves to
  Existing existing_;
  std::string temp_;    // the temporary file, or the journal while written
  int fd_ = -1;
  int targetFd_ = -1;   // in place: the file itself, open for writing
  bool done_ = false;       // Commit or Finish was called
  bool finished_ = false;   // the temporary file is complete and closed
  bool committed_ = false;  // the temporary file is in place
};

// The path a name resolves to once symbolic links of its last component
// are followed (a link to a missing file gives the missing file's path).
std::string ResolveLinks(std::string path);

// rename(2); without `replace` an existing `to` wins and the call fails.
bool PutInPlace(const std::string& from, const std::string& to, bool replace);

// The folder of a path, with its trailing '/' (empty for a bare name).
std::string FolderOf(const std::string& path);

// Puts the names of a folder (renames, removals) on disk; empty is the
// current folder.
bool SyncFolder(const std::string& folder);

// Finishes an interrupted in-place rewrite of the file at `path`, if there
// is one: false when one is pending and cannot be finished now.
bool FinishInterruptedRewrite(const std::string& path);
// The same for every file, and removes the half-made journals of processes
// that are gone.
void FinishInterruptedRewrites();

}  // namespace rewrite
