#include "platform/mfc/os_file_name.h"

#include "platform/fs/path.h"

namespace mfc {

std::string OsFileName(LPCTSTR name) { return winpath::ToLinux(name ? name : ""); }

}  // namespace mfc
