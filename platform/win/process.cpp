#include "platform/win/process.h"

#include <QFileInfo>
#include <QProcess>
#include <QStringList>

#include "platform/text/gbk.h"
#include "platform/win/detail/exe_folder.h"

#include <cstdlib>
#include <string>
#include <vector>

namespace {

std::string Slashes(std::string s) {
  for (char& c : s)
    if (c == '\\') c = '/';
  return s;
}

QString Q(const std::string& utf8) { return QString::fromUtf8(utf8.data(), qsizetype(utf8.size())); }

bool EndsWithIgnoringCase(const std::string& s, const char* tail) {
  size_t n = strlen(tail);
  if (s.size() < n) return false;
  for (size_t i = 0; i < n; ++i)
    if (tolower((unsigned char)s[s.size() - n + i]) != tail[i]) return false;
  return true;
}

// The name, then its Linux form.
std::vector<std::string> NameForms(const std::string& name) {
  std::vector<std::string> forms{name};
  if (EndsWithIgnoringCase(name, ".dll") || EndsWithIgnoringCase(name, ".exe"))
    forms.push_back(name.substr(0, name.size() - 4));
  return forms;
}

bool IsCmd(const std::string& path) { return EndsWithIgnoringCase(path, ".cmd"); }

bool Runnable(const std::string& path) {
  QFileInfo f(Q(path));
  return f.isFile() && (f.isExecutable() || IsCmd(path));
}

// The file that `name` (UTF-8, '/' separators) starts, or empty.
std::string FindProgram(const std::string& name) {
  std::vector<std::string> folders;
  bool hasFolder = name.find('/') != std::string::npos;
  if (!hasFolder) {
    folders = {"", win::detail::ExeFolder()};
    if (const char* path = getenv("PATH")) {
      std::string p = path;
      for (size_t start = 0;;) {
        size_t colon = p.find(':', start);
        std::string dir = p.substr(start, colon == std::string::npos ? std::string::npos : colon - start);
        if (!dir.empty()) folders.push_back(dir + "/");
        if (colon == std::string::npos) break;
        start = colon + 1;
      }
    }
  } else {
    folders = {""};
  }
  for (const std::string& form : NameForms(name))
    for (const std::string& folder : folders) {
      std::string candidate = folder.empty() && !hasFolder ? "./" + form : folder + form;
      if (Runnable(candidate)) return candidate;
    }
  return {};
}

// Arguments after the program: blanks separate, double quotes group.
QStringList SplitArguments(const std::string& s) {
  QStringList args;
  std::string cur;
  bool quoted = false, any = false;
  for (char c : s) {
    if (c == '"') {
      quoted = !quoted;
      any = true;
    } else if ((c == ' ' || c == '\t') && !quoted) {
      if (any || !cur.empty()) args << Q(cur);
      cur.clear();
      any = false;
    } else {
      cur += c;
    }
  }
  if (any || !cur.empty()) args << Q(cur);
  return args;
}

UINT Start(const std::string& program, const QStringList& args) {
  bool ok = IsCmd(program) ? QProcess::startDetached("/bin/sh", QStringList{Q(program)} + args)
                           : QProcess::startDetached(Q(program), args);
  return ok ? 33u : UINT(ERROR_BAD_FORMAT);
}

}  // namespace

UINT WinExec(LPCSTR cmdLine, UINT) {
  if (!cmdLine) return ERROR_FILE_NOT_FOUND;
  std::string line = Slashes(gbk::ToUtf8(cmdLine));
  size_t begin = line.find_first_not_of(" \t");
  if (begin == std::string::npos) return ERROR_FILE_NOT_FOUND;
  line = line.substr(begin);
  if (line[0] == '"') {
    size_t close = line.find('"', 1);
    std::string name = line.substr(1, close == std::string::npos ? std::string::npos : close - 1);
    std::string program = FindProgram(name);
    if (program.empty()) return ERROR_FILE_NOT_FOUND;
    return Start(program, SplitArguments(close == std::string::npos ? "" : line.substr(close + 1)));
  }
  for (size_t end = 0; end != std::string::npos;) {
    end = line.find(' ', end + 1);
    std::string program = FindProgram(line.substr(0, end));
    if (!program.empty()) return Start(program, SplitArguments(end == std::string::npos ? "" : line.substr(end)));
  }
  return ERROR_FILE_NOT_FOUND;
}

HINSTANCE ShellExecute(HWND, LPCSTR verb, LPCSTR file, LPCSTR params, LPCSTR dir, int) {
  auto code = [](uintptr_t v) { return reinterpret_cast<HINSTANCE>(v); };
  if ((verb && std::string(verb) != "open") || (params && *params)) return code(SE_ERR_NOASSOC);
  if (!file || !*file) return code(ERROR_FILE_NOT_FOUND);
  std::string target = gbk::ToUtf8(file);
  if (target.find("://") == std::string::npos) {
    target = Slashes(target);
    if (dir && *dir && target[0] != '/') {
      std::string folder = Slashes(gbk::ToUtf8(dir));
      target = folder + (folder.back() == '/' ? "" : "/") + target;
    }
    if (!QFileInfo::exists(Q(target))) return code(ERROR_FILE_NOT_FOUND);
  }
  return code(QProcess::startDetached("xdg-open", {Q(target)}) ? 42u : UINT(SE_ERR_NOASSOC));
}
