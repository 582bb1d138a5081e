#include "platform/win/module.h"

#include "platform/text/gbk.h"
#include "platform/win/detail/exe_folder.h"

#include <dlfcn.h>
#include <link.h>
#include <strings.h>
#include <sys/stat.h>

#include <string>
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

}  // namespace

HMODULE LoadLibrary(LPCSTR name) {
  if (!name || !*name) return nullptr;
  std::string path = gbk::ToUtf8(name);
  for (char& c : path)
    if (c == '\\') c = '/';
  size_t slash = path.rfind('/');
  std::string folder = slash == std::string::npos ? "" : path.substr(0, slash + 1);
  std::string file = path.substr(slash == std::string::npos ? 0 : slash + 1);
  std::vector<std::string> forms{file};
  for (const std::string& f : LinuxForms(file)) forms.push_back(f);
  for (const std::string& form : forms) {
    if (!folder.empty()) {
      if (IsFile(folder + form))
        if (void* h = Open(folder + form)) return h;
      continue;
    }
    if (IsFile(win::detail::ExeFolder() + form))
      if (void* h = Open(win::detail::ExeFolder() + form)) return h;
    if (void* h = Open(form)) return h;  // the system's own search
  }
  return nullptr;
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
