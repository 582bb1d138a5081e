// Reads that must get every byte they ask for.
#pragma once
#include <algorithm>
#include <cstddef>

#include "platform/mfc/file.h"

namespace merro {

// Reads exactly n bytes from the current position; false when fewer came.
inline bool ReadExactly(CFile& file, void* buf, size_t n) {
  const size_t kChunk = size_t(1) << 30;
  for (size_t done = 0; done < n;) {
    UINT want = UINT(std::min(kChunk, n - done));
    if (file.Read(static_cast<BYTE*>(buf) + done, want) != want) return false;
    done += want;
  }
  return true;
}

}  // namespace merro
