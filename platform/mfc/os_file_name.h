// The one place where a file name of the system (a Windows path in GBK) turns
// into the name the Linux file system is asked for. Every file operation of
// this library goes through it.
//
// For now the mapping is the minimal one: '\' becomes '/', GBK becomes UTF-8.
// Drive letters are the business of platform/fs; once it is there this
// function hands the name to it.
#pragma once
#include <string>

#include "platform/windef.h"

namespace mfc {

std::string OsFileName(LPCTSTR name);

}  // namespace mfc
