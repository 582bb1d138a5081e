#include "board/teachers.h"

#include <algorithm>
#include <cstring>

#include "platform/fs/ini_text.h"
#include "platform/text/gbk.h"
#include "platform/vcl/sysutils.h"

const char kTeacherListSection[] = "tec";
const char kDefaultTeacherEntry[] = "默认";
const char kDefaultTeacherSection[] = "教师0";

namespace {

std::string TeacherKey(int i) { return "te" + std::to_string(i); }

// i for a key te<i> (i from 1, in decimal as the list writes it), else 0.
long long ListPosition(const std::string& key) {
  if (key.size() < 3 || key.size() > 12 || !SameTeacherName(key.substr(0, 2), "te") || key[2] < '1' || key[2] > '9')
    return 0;
  for (size_t i = 3; i < key.size(); ++i)
    if (key[i] < '0' || key[i] > '9') return 0;
  return std::stoll(key.substr(2));
}

int Count(const TIniFile& ini, const std::string& section, const char* key, int def) {
  return std::min(ini.ReadInteger(section, key, def), kMaxListed);
}

// A teacher's name starts the names of the lesson files, so it must stay
// within what a file name holds once the numbers are added.
constexpr size_t kMaxNameBytes = 64;

// What a name is refused for, in the order it is checked.
struct NameRule {
  bool (*fails)(const std::string& name);
  const char* message;
};

// The single-byte characters of a GBK text (a trail byte that happens to
// equal '\' or '[' belongs to its character).
template <class F>
bool AnySingleByte(const std::string& s, F f) {
  for (size_t i = 0; i < s.size();) {
    const size_t len = gbk::CharLength(std::string_view(s).substr(i));
    if (len == 1 && f(static_cast<unsigned char>(s[i]))) return true;
    i += len;
  }
  return false;
}

bool Empty(const std::string& name) { return name.empty(); }
bool Padded(const std::string& name) { return name.front() == ' ' || name.back() == ' '; }
bool Unholdable(const std::string& name) {
  // The INI file's own marks, and what a file name cannot hold.
  return AnySingleByte(name, [](unsigned char c) { return c < 0x20 || c == 0x7F || strchr("[]=\\/:*?\"<>|", c); }) ||
         !IniText::CanHoldSection(name) || !IniText::CanHoldValue(name);
}
bool Reserved(const std::string& name) { return ReservedTeacherName(name); }
bool TooLong(const std::string& name) { return name.size() > kMaxNameBytes; }

const NameRule kNameRules[] = {
    {Empty, "请输入教师姓名！"},
    {Padded, "教师姓名的首尾不能有空格！"},
    {Unholdable, "教师姓名中不能有[ ] = \\ / : * ? \" < > |和换行等字符！"},
    {Reserved, "该名称为系统保留，请输入其它教师姓名！"},
    {TooLong, "教师姓名太长！"},
};

}  // namespace

TeacherSettings ReadTeacher(const TIniFile& ini, const std::string& section) {
  TeacherSettings s;
  s.volumes = Count(ini, section, "ce", 1);
  s.lessons = Count(ini, section, "ke", 1);
  s.pen = ini.ReadInteger(section, "frn", 255);
  s.background = ini.ReadInteger(section, "blk", 8421504);
  const std::string width = ini.ReadString(section, "bh", "2");
  if (width.size() == 1 && width[0] >= '1' && width[0] <= '9') s.width = width;
  s.password = ini.ReadString(section, "ma", "0");
  return s;
}

bool WriteTeacher(TIniFile& ini, const std::string& section, const TeacherSettings& s, bool withPassword) {
  bool ok = ini.WriteInteger(section, "ce", s.volumes);
  ok &= ini.WriteInteger(section, "ke", s.lessons);
  ok &= ini.WriteInteger(section, "frn", s.pen);
  ok &= ini.WriteInteger(section, "blk", s.background);
  ok &= ini.WriteString(section, "bh", s.width);
  if (withPassword) ok &= ini.WriteString(section, "ma", s.password);
  return ok;
}

std::vector<std::string> ReadTeacherList(const TIniFile& ini) {
  std::vector<std::string> names;
  const int n = Count(ini, kTeacherListSection, "mum", 1);
  for (int i = 1; i <= n; ++i) names.push_back(ini.ReadString(kTeacherListSection, TeacherKey(i), "教师" + std::to_string(i)));
  return names;
}

bool WriteTeacherList(TIniFile& ini, const std::vector<std::string>& names) {
  const int n = int(names.size());
  bool ok = ini.WriteInteger(kTeacherListSection, "mum", n);
  for (int i = 1; i <= n; ++i) ok &= ini.WriteString(kTeacherListSection, TeacherKey(i), names[size_t(i - 1)]);
  // The keys of teachers no longer in the list, however many there were.
  for (const std::string& key : ini.ReadSection(kTeacherListSection))
    if (ListPosition(key) > n) ok &= ini.DeleteKey(kTeacherListSection, key);
  return ok;
}

bool SameTeacherName(const std::string& a, const std::string& b) { return UpperCase(a) == UpperCase(b); }

bool ReservedTeacherName(const std::string& name) {
  return SameTeacherName(name, kTeacherListSection) || SameTeacherName(name, kDefaultTeacherSection);
}

std::string TeacherNameProblem(const std::string& name, const std::vector<std::string>& list, int except) {
  for (const NameRule& rule : kNameRules)
    if (rule.fails(name)) return rule.message;
  for (size_t i = 0; i < list.size(); ++i)
    if (int(i) != except && SameTeacherName(list[i], name)) return "教师名列表中已存在！";
  return "";
}
