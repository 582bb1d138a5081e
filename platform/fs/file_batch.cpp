#include "platform/fs/file_batch.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <optional>
#include <set>

#include "platform/fs/path.h"
#include "platform/fs/rewrite.h"

namespace {

using rewrite::FolderOf;
using rewrite::SyncFolder;

// The journal: a first line, then fields each ending in a zero byte:
// "R", temporary path, target path; "D", name in the folder; and "E" last,
// so that a journal cut short is never taken for a whole one.
const char kJournalHead[] = "quarvel file batch 1\n";

struct Rename {
  std::string from, to;
};

struct Journal {
  std::vector<Rename> renames;
  std::vector<std::string> removals;  // names in the journal's folder
};

std::string NameOf(const std::string& path) { return path.substr(path.rfind('/') + 1); }

// ".quarvel-<pid>-<n><suffix>": the pid, else 0.
pid_t OwnerOf(const std::string& name, std::string_view suffix) {
  const std::string_view head = ".quarvel-";
  if (name.size() <= head.size() + suffix.size() || name.compare(0, head.size(), head) != 0 ||
      name.compare(name.size() - suffix.size(), suffix.size(), suffix) != 0)
    return 0;
  const std::string middle = name.substr(head.size(), name.size() - head.size() - suffix.size());
  const size_t dash = middle.find('-');
  if (dash == 0 || dash == std::string::npos || dash + 1 == middle.size() ||
      middle.find_first_not_of("0123456789-") != std::string::npos || middle.find('-', dash + 1) != std::string::npos)
    return 0;
  const long pid = strtol(middle.substr(0, dash).c_str(), nullptr, 10);
  return pid > 0 && pid <= 0x3FFFFFFF ? pid_t(pid) : 0;
}

bool Running(pid_t pid) { return pid == getpid() ? false : kill(pid, 0) == 0 || errno == EPERM; }

std::string Write(const Journal& j) {
  std::string out = kJournalHead;
  auto field = [&](const std::string& s) {
    out += s;
    out += '\0';
  };
  for (const Rename& r : j.renames) field("R"), field(r.from), field(r.to);
  for (const std::string& name : j.removals) field("D"), field(name);
  field("E");
  return out;
}

// Only what a batch writes: a rename of one of its temporary files onto a
// file beside it, a removal inside the journal's own folder.
std::optional<Journal> Parse(const std::string& bytes) {
  if (bytes.compare(0, sizeof kJournalHead - 1, kJournalHead) != 0) return std::nullopt;
  std::vector<std::string> fields;
  size_t at = sizeof kJournalHead - 1;
  for (size_t end; (end = bytes.find('\0', at)) != std::string::npos; at = end + 1)
    fields.push_back(bytes.substr(at, end - at));
  if (at != bytes.size() || fields.empty() || fields.back() != "E") return std::nullopt;
  Journal j;
  for (size_t i = 0; i + 1 < fields.size();) {
    if (fields[i] == "R" && i + 3 < fields.size()) {
      const std::string &from = fields[i + 1], &to = fields[i + 2];
      if (!OwnerOf(NameOf(from), ".tmp") || FolderOf(from) != FolderOf(to) || NameOf(to).empty() ||
          to.find("/../") != std::string::npos)
        return std::nullopt;
      j.renames.push_back({from, to});
      i += 3;
    } else if (fields[i] == "D" && i + 2 < fields.size()) {
      const std::string& name = fields[i + 1];
      if (name.empty() || name == "." || name == ".." || name.find('/') != std::string::npos) return std::nullopt;
      j.removals.push_back(name);
      i += 2;
    } else {
      return std::nullopt;
    }
  }
  return j;
}

// Every rename (one done already has no temporary file left) and removal,
// on disk, and then the journal gone.
bool CarryOut(const Journal& j, const std::string& folder, const std::string& journal) {
  std::set<std::string> folders = {folder};
  for (const Rename& r : j.renames) {
    if (rename(r.from.c_str(), r.to.c_str()) != 0 && errno != ENOENT) return false;
    folders.insert(FolderOf(r.to));
  }
  for (const std::string& name : j.removals)
    if (unlink((folder + name).c_str()) != 0 && errno != ENOENT) return false;
  for (const std::string& f : folders)
    if (!SyncFolder(f)) return false;
  return unlink(journal.c_str()) == 0 && SyncFolder(folder);
}

std::optional<std::string> ReadLinuxFile(const std::string& path) {
  std::FILE* f = std::fopen(path.c_str(), "rbe");
  if (!f) return std::nullopt;
  std::string bytes;
  char buf[65536];
  for (size_t n; (n = std::fread(buf, 1, sizeof buf, f)) > 0;) bytes.append(buf, n);
  const bool failed = std::ferror(f);
  std::fclose(f);
  if (failed) return std::nullopt;
  return bytes;
}

std::string LinuxFolder(std::string_view folder) {
  std::string f = winpath::ToLinux(folder);
  if (!f.empty() && f.back() != '/') f += '/';
  return f;
}

}  // namespace

FileBatch::FileBatch(std::string_view folder) : folder_(folder) {}

void FileBatch::Replace(FileReplacement* file) { replaced_.push_back(file); }

void FileBatch::Remove(std::string_view name) { removed_.push_back(winpath::ToLinux(name)); }

bool FileBatch::Commit() {
  const std::string folder = LinuxFolder(folder_);
  if (folder.empty()) return false;
  Journal j;
  for (FileReplacement* f : replaced_) {
    if (!f->Finish()) return false;
    j.renames.push_back({f->TemporaryPath(), f->TargetPath()});
  }
  for (const std::string& path : removed_) {
    struct stat st;
    if (FolderOf(path) != folder) return false;
    if (lstat(path.c_str(), &st) == 0) j.removals.push_back(NameOf(path));
  }
  static std::atomic<unsigned> serial{0};
  const std::string name = ".quarvel-" + std::to_string(getpid()) + "-" + std::to_string(serial++) + ".journal";
  const std::string bytes = Write(j);
  FileReplacement journal(folder_ + name);
  if (!journal.Write(bytes.data(), bytes.size()) || !journal.Commit() || !SyncFolder(folder)) {
    // A journal that did reach the folder is carried out: what it names is
    // complete.
    if (!FileExists(folder_ + name)) return false;
  }
  for (FileReplacement* f : replaced_) f->Release();
  return CarryOut(j, folder, folder + name);
}

bool RecoverFileBatches(std::string_view folder) {
  const std::string dir = LinuxFolder(folder);
  DIR* d = dir.empty() ? nullptr : opendir(dir.c_str());
  if (!d) return true;
  std::vector<std::string> names;
  while (const dirent* e = readdir(d)) names.push_back(e->d_name);
  closedir(d);

  bool ok = true;
  std::set<std::string> kept;  // temporary files a journal still names
  for (const std::string& name : names) {
    const pid_t owner = OwnerOf(name, ".journal");
    if (!owner || Running(owner)) continue;
    const std::string path = dir + name;
    const std::optional<std::string> bytes = ReadLinuxFile(path);
    // Unread, it may still name any temporary file: none is removed.
    if (!bytes) {
      ok = false;
      kept.insert("");
      continue;
    }
    const std::optional<Journal> j = Parse(*bytes);
    // Not a batch's journal (a damaged one): nothing of it is done.
    if (!j) {
      unlink(path.c_str());
      continue;
    }
    if (CarryOut(*j, dir, path)) continue;
    ok = false;
    for (const Rename& r : j->renames) kept.insert(r.from);
  }
  for (const std::string& name : kept.count("") ? std::vector<std::string>() : names) {
    const pid_t owner = OwnerOf(name, ".tmp");
    if (owner && !Running(owner) && !kept.count(dir + name)) unlink((dir + name).c_str());
  }
  return ok;
}
