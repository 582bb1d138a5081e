// Whole-file reads and writes for the picture files (paths are local file
// system paths; the caller maps the system's Windows paths).
#pragma once
#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "platform/windef.h"

namespace gdi {

// False when the file cannot be read or is larger than maxBytes.
bool ReadFileBytes(const std::string& path, size_t maxBytes, std::vector<BYTE>* out);
// Replaces the file whole, as platform/fs/rewrite.h describes: a failure
// leaves any old file whole, links are kept.
bool WriteFileBytes(const std::string& path, const std::vector<BYTE>& bytes);
// The same for a file made piece by piece: `next` fills up to `capacity`
// bytes of `buffer` and tells how many it wrote, 0 at the end, -1 for a
// failure (the old file is then left as it was).
bool WriteFileBytes(const std::string& path, const std::function<long(BYTE* buffer, size_t capacity)>& next);

}  // namespace gdi
