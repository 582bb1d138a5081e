#include "platform/fs/inifile.h"

#include "platform/fs/files.h"
#include "platform/fs/ini_text.h"

#include <charconv>
#include <cstdint>
#include <optional>

namespace {

IniText Load(const std::string& fileName) { return IniText(ReadWholeFile(fileName).value_or(std::string())); }

std::optional<int> ParseInteger(std::string_view s) {
  int base = 10;
  if (!s.empty() && s[0] == '$') {
    base = 16;
    s.remove_prefix(1);
  } else if (s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
    base = 16;
    s.remove_prefix(2);
  } else if (s.size() > 1 && s[0] == '+' && s[1] != '-') {
    s.remove_prefix(1);
  }
  const char* end = s.data() + s.size();
  if (base == 16) {
    // Hexadecimal fills 32 bits: $FFFFFFFF is -1.
    uint64_t v = 0;
    const auto r = std::from_chars(s.data(), end, v, 16);
    if (s.empty() || r.ec != std::errc() || r.ptr != end || v > 0xFFFFFFFFu) return std::nullopt;
    return int(int32_t(uint32_t(v)));
  }
  int64_t v = 0;
  const auto r = std::from_chars(s.data(), end, v, 10);
  if (s.empty() || r.ec != std::errc() || r.ptr != end || v < INT32_MIN || v > INT32_MAX) return std::nullopt;
  return int(v);
}

// Reads the file, applies `edit` to its text and writes the result if it
// differs (a delete from a missing file creates none). A file that exists
// but cannot be read is never replaced.
template <class Edit>
bool Change(const std::string& fileName, Edit edit) {
  const std::optional<std::string> old = ReadWholeFile(fileName);
  if (!old && FileExists(fileName)) return false;
  IniText text(old.value_or(std::string()));
  edit(text);
  const std::string now = text.Bytes();
  return now == old.value_or(std::string()) || WriteWholeFile(fileName, now);
}

}  // namespace

std::string TIniFile::ReadString(std::string_view section, std::string_view ident, std::string_view def) const {
  return Load(fileName_).Value(section, ident).value_or(std::string(def));
}

int TIniFile::ReadInteger(std::string_view section, std::string_view ident, int def) const {
  const std::optional<std::string> v = Load(fileName_).Value(section, ident);
  return v ? ParseInteger(*v).value_or(def) : def;
}

bool TIniFile::ReadBool(std::string_view section, std::string_view ident, bool def) const {
  return ReadInteger(section, ident, def ? 1 : 0) != 0;
}

bool TIniFile::WriteString(std::string_view section, std::string_view ident, std::string_view value) {
  if (!IniText::CanHoldSection(section) || !IniText::CanHoldKey(ident) || !IniText::CanHoldValue(value)) return false;
  return Change(fileName_, [&](IniText& t) { t.Set(section, ident, value); });
}

bool TIniFile::WriteInteger(std::string_view section, std::string_view ident, int value) {
  return WriteString(section, ident, std::to_string(value));
}

bool TIniFile::WriteBool(std::string_view section, std::string_view ident, bool value) {
  return WriteString(section, ident, value ? "1" : "0");
}

bool TIniFile::DeleteKey(std::string_view section, std::string_view ident) {
  return Change(fileName_, [&](IniText& t) { t.DeleteKey(section, ident); });
}

bool TIniFile::EraseSection(std::string_view section) {
  return Change(fileName_, [&](IniText& t) { t.EraseSection(section); });
}

std::vector<std::string> TIniFile::ReadSections() const { return Load(fileName_).Sections(); }

std::vector<std::string> TIniFile::ReadSection(std::string_view section) const {
  return Load(fileName_).Keys(section).value_or(std::vector<std::string>());
}

bool TIniFile::SectionExists(std::string_view section) const { return Load(fileName_).Keys(section).has_value(); }

bool TIniFile::ValueExists(std::string_view section, std::string_view ident) const {
  return Load(fileName_).Value(section, ident).has_value();
}
