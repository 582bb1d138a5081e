// Drive letters: each is a folder <drives root>/X (see path.h), a fixed drive
// while that folder exists.
#pragma once
#include "platform/windef.h"

#include <string_view>
#include <vector>

// DRIVE_FIXED for a root "X:\" (or "X:", "X:/") whose drive folder exists,
// DRIVE_NO_ROOT_DIR for a missing drive or anything that is not a drive root.
UINT GetDriveType(std::string_view rootPath);

// The mapped drive letters, upper case, in order: what a drive box offers.
std::vector<char> MappedDrives();

// The drive a drive box and a folder list start on: the current folder's,
// when that is a mapped drive, else the first mapped one (the program's own
// folder lies on none); 0 when no drive is mapped.
char CurrentDrive();
