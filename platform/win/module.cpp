#include "platform/win/module.h"

#include "platform/fs/path.h"
#include "platform/text/gbk.h"
#include "platform/win/detail/exe_folder.h"

#include <dlfcn.h>
#include <link.h>
#include <strings.h>
#include <sys/stat.h>

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace {

std::string Lower(std::string s) {
  for (char& c : s) c = char(tolower((unsigned char)c));
  return s;
}

struct Renamed {
  const char* windowsName;  // lower-case
  const char* linuxName;
};
const Renamed kRenamed[] = {
    {"twain_32.dll", "libtwain_32.so"},
    {"odbccp32.dll", "libodbcinst.so.2"},
};

struct Ordinal {
  const char* library;  // file name, lower-case
  WORD ordinal;
  const char* symbol;
};
const Ordinal kOrdinals[] = {
    {"libtwain_32.so", 1, "DSM_Entry"},
    {"twain_32.dll", 1, "DSM_Entry"},
};

std::vector<std::string> LinuxForms(const std::string& file) {
  std::string lower = Lower(file);
  for (const Renamed& r : kRenamed)
    if (lower == r.windowsName) return {r.linuxName};
  if (lower.size() > 4 && lower.compare(lower.size() - 4, 4, ".dll") == 0) {
    std::string stem = file.substr(0, file.size() - 4);
    std::vector<std::string> forms{"lib" + stem + ".so"};
    if (Lower(stem) != stem) forms.push_back("lib" + Lower(stem) + ".so");
    return forms;
  }
  return {};
}

bool IsFile(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

void* Open(const std::string& path) { return dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL); }

// A GBK name split after its last separator (a GBK trail byte equal to '\'
// is no separator): the folder with the separator, and the file name.
std::pair<std::string, std::string> Split(const std::string& name) {
  size_t cut = 0;
  for (size_t i = 0; i < name.size(); i += gbk::CharLength(std::string_view(name).substr(i)))
    if (name[i] == '\\' || name[i] == '/') cut = i + 1;
  return {name.substr(0, cut), name.substr(cut)};
}

// The name as given, then its Linux forms (GBK file names).
std::vector<std::string> Forms(const std::string& file) {
  std::vector<std::string> forms{file};
  for (const std::string& f : LinuxForms(file)) forms.push_back(f);
  return forms;
}

// Existing files for a name in a folder, mapped as every file name is, in
// the order tried.
std::vector<std::string> FilesIn(const std::string& folder, const std::string& file) {
  std::vector<std::string> found;
  for (const std::string& form : Forms(file)) {
    const std::string path = winpath::ToLinux(folder + form);
    if (IsFile(path)) found.push_back(path);
  }
  return found;
}

}  // namespace

HMODULE LoadLibrary(LPCSTR name) {
  if (!name || !*name) return nullptr;
  const auto [folder, file] = Split(name);
  if (file.empty()) return nullptr;
  if (!folder.empty()) {
    for (const std::string& path : FilesIn(folder, file))
      if (void* h = Open(path)) return h;
    return nullptr;
  }
  for (const std::string& form : Forms(file)) {
    const std::string utf8 = gbk::ToUtf8(form);
    if (IsFile(win::detail::ExeFolder() + utf8))
      if (void* h = Open(win::detail::ExeFolder() + utf8)) return h;
    if (void* h = Open(utf8)) return h;  // the system's own search
  }
  return nullptr;
}

BOOL LibraryFileExists(LPCSTR name) {
  if (!name || !*name) return FALSE;
  const auto [folder, file] = Split(name);
  return !file.empty() && !FilesIn(folder, file).empty() ? TRUE : FALSE;
}

FARPROC GetProcAddress(HMODULE module, LPCSTR name) {
  if (!module || !name) return nullptr;
  const char* symbol = name;
  if (IS_INTRESOURCE(name)) {
    WORD ordinal = WORD(reinterpret_cast<uintptr_t>(name));
    link_map* map = nullptr;
    if (dlinfo(module, RTLD_DI_LINKMAP, &map) != 0 || !map || !map->l_name) return nullptr;
    std::string path = map->l_name;
    std::string file = Lower(path.substr(path.rfind('/') == std::string::npos ? 0 : path.rfind('/') + 1));
    symbol = nullptr;
    for (const Ordinal& o : kOrdinals)
      if (file == o.library && ordinal == o.ordinal) symbol = o.symbol;
    if (!symbol) return nullptr;
  }
  return reinterpret_cast<FARPROC>(dlsym(module, symbol));
}

BOOL FreeLibrary(HMODULE module) { return module && dlclose(module) == 0 ? TRUE : FALSE; }
