// The one place where a file name of the system (a Windows path in GBK) turns
// into the name the Linux file system is asked for; every file operation of
// this library goes through it. The mapping is platform/fs's (winpath): '\'
// separates, a drive letter is a folder of the drives root, names are UTF-8
// on disk and an existing entry matches ignoring case.
#pragma once
#include <string>

#include "platform/windef.h"

namespace mfc {

std::string OsFileName(LPCTSTR name);

}  // namespace mfc
