// Whole-file reads and writes for the picture files (paths are local file
// system paths; the caller maps the system's Windows paths).
#pragma once
#include <cstddef>
#include <string>
#include <vector>

#include "platform/windef.h"

namespace gdi {

// False when the file cannot be read or is larger than maxBytes.
bool ReadFileBytes(const std::string& path, size_t maxBytes, std::vector<BYTE>* out);
// Replaces the file whole, as platform/fs/rewrite.h describes: a failure
// leaves any old file whole, links are kept.
bool WriteFileBytes(const std::string& path, const std::vector<BYTE>& bytes);

}  // namespace gdi
