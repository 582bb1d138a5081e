// Windows paths of the system's code ("db\pic\w0.jt", "E:\Program files\x")
// mapped to Linux paths on disk.
//
// `\` and `/` both separate, repeated separators count as one. A leading
// drive letter "X:" (either case) is the folder <drives root>/X; a path
// starting with a separator is a Linux path already (the program folder is
// one); anything else is relative to the current folder. Names are GBK in
// the system and UTF-8 on disk.
//
// Windows names are case-insensitive and lessons copied from Windows must
// open, so a component that does not exist with the exact spelling takes the
// spelling of an entry of its folder that matches it case-insensitively;
// a name that matches nothing keeps the spelling given (a new file).
#pragma once
#include <string>
#include <string_view>

namespace winpath {

// The folder holding one folder per drive letter (UTF-8, no trailing '/'):
// $QUARVEL_DRIVES, else $XDG_DATA_HOME/quarvel/drives, else
// ~/.local/share/quarvel/drives. It and drive C are created on first use.
std::string DrivesRoot();

// How the last component of a path is spelt on disk.
enum class Last {
  kMatch,    // an existing entry of another case is the one meant
  kAsGiven,  // exactly as given (the new name of a rename)
};

// The UTF-8 Linux path of a GBK Windows path; a trailing separator is kept.
std::string ToLinux(std::string_view path, Last last = Last::kMatch);

// A UTF-8 Linux name or path in the system's encoding (GBK), as it is.
std::string FromLinux(std::string_view linuxPath);

// A UTF-8 Linux path as the system's code spells it: a path on a mapped
// drive as "X:\folder\name" ("X:\" for the drive's root, a trailing
// separator kept), any other path as FromLinux gives it. What dialogs and
// folder lists hand back, so that it reads like the system's own names.
std::string ToWindows(std::string_view linuxPath);

}  // namespace winpath
