#include "platform/mfc/os_file_name.h"

#include <algorithm>

#include "platform/text/gbk.h"

namespace mfc {

std::string OsFileName(LPCTSTR name) {
  // Convert first: a GBK trail byte may be 0x5C, but no UTF-8 sequence
  // holds an ASCII byte, so the separators are found afterwards.
  std::string os = gbk::ToUtf8(name ? name : "");
  std::replace(os.begin(), os.end(), '\\', '/');
  return os;
}

}  // namespace mfc
