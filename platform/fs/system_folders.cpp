#include "platform/fs/system_folders.h"

#include <cstring>
#include <string_view>

namespace {

UINT CopyOut(std::string_view name, LPSTR buffer, UINT size) {
  if (!buffer || name.size() + 1 > size) return UINT(name.size() + 1);
  memcpy(buffer, name.data(), name.size());
  buffer[name.size()] = '\0';
  return UINT(name.size());
}

}  // namespace

UINT GetWindowsDirectory(LPSTR buffer, UINT size) { return CopyOut("C:\\WINDOWS", buffer, size); }

UINT GetSystemDirectory(LPSTR buffer, UINT size) { return CopyOut("C:\\WINDOWS\\system32", buffer, size); }
