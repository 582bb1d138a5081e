// An INI file as another program reads it: Python's configparser over the
// file's GBK text (CR LF and LF both end lines), so the tests check what the
// system writes with a reader that is not its own.
#pragma once
#include <cstdio>
#include <map>
#include <string>

#include "platform/text/gbk.h"

namespace initest {

using Sections = std::map<std::string, std::map<std::string, std::string>>;

// Section -> key -> value, all GBK; empty when the file cannot be read.
inline Sections ReadWithPython(const std::string& linuxPath) {
  static const char kScript[] =
      "import configparser, sys\n"
      "c = configparser.ConfigParser(interpolation=None, strict=False, delimiters=('=',),\n"
      "                              comment_prefixes=(';',), inline_comment_prefixes=None)\n"
      "c.optionxform = str\n"
      "with open(sys.argv[1], encoding='gbk') as f: c.read_file(f)\n"
      "out = open(sys.stdout.fileno(), 'w', encoding='utf-8')\n"
      "for s in c.sections():\n"
      "    for k, v in c.items(s, raw=True): out.write(s + '\\t' + k + '\\t' + v + '\\n')\n";
  const std::string script = std::string(getenv("QUARVEL_TEST_DIR") ? getenv("QUARVEL_TEST_DIR") : "/tmp") +
                             "/read_ini.py";
  if (FILE* f = fopen(script.c_str(), "w")) {
    fputs(kScript, f);
    fclose(f);
  }
  Sections out;
  FILE* p = popen(("python3 '" + script + "' '" + linuxPath + "' 2>/dev/null").c_str(), "r");
  if (!p) return out;
  std::string text;
  char buf[4096];
  size_t n;
  while ((n = fread(buf, 1, sizeof buf, p)) > 0) text.append(buf, n);
  pclose(p);
  size_t at = 0;
  while (at < text.size()) {
    size_t end = text.find('\n', at);
    if (end == std::string::npos) end = text.size();
    const std::string line = gbk::FromUtf8(text.substr(at, end - at));
    const size_t t1 = line.find('\t'), t2 = line.find('\t', t1 + 1);
    if (t1 != std::string::npos && t2 != std::string::npos)
      out[line.substr(0, t1)][line.substr(t1 + 1, t2 - t1 - 1)] = line.substr(t2 + 1);
    at = end + 1;
  }
  return out;
}

}  // namespace initest
