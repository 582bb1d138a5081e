// Private to platform/win until the file-system facility offers the program
// folder: the folder of the running executable, as a Linux path ending in '/'.
#pragma once
#include <string>

namespace win::detail {
std::string ExeFolder();
}
