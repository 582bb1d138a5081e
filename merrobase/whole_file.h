// Whole-file reads and writes shared by the scrambler and the map. A file is
// rewritten by writing a temporary file beside it and renaming that over it,
// so a failure part-way leaves the old file whole.
#pragma once
#include <cstddef>
#include <initializer_list>
#include <vector>

#include "platform/mfc/afx.h"

#pragma GCC visibility push(hidden)
namespace merro {

struct Bytes {
  const void* data;
  size_t size;
};

// Reads exactly n bytes from the current position; false when fewer came.
bool ReadExactly(CFile& file, void* buf, size_t n);

// The whole file. 0 when it cannot be opened or read whole; *missing then
// tells whether it does not exist.
int ReadWholeFile(const CString& name, std::vector<BYTE>& out, bool* missing = nullptr);

// Makes `name` hold the parts one after the other. 1 = done, 0 = failed with
// the old file (if any) unchanged.
int WriteFileReplacing(const CString& name, std::initializer_list<Bytes> parts);

// Copies a file over another (an existing target is replaced). 1/0.
int CopyWholeFile(const CString& from, const CString& to);

}  // namespace merro
#pragma GCC visibility pop
