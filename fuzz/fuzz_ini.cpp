// Arbitrary bytes as an INI file. The text reads back byte for byte; every
// section and key listed reads, through the file as through the text; a
// value written into the first section reads back, as an integer too, while
// every other value stays as it was, also when it is deleted again.
#include <map>
#include <utility>

#include "fuzz_input.h"
#include "platform/fs/ini_text.h"
#include "platform/fs/inifile.h"

namespace {

using Values = std::map<std::pair<std::string, std::string>, std::string>;

// The values the file's sections and keys name (the first of repeated ones).
Values AllValues(const TIniFile& ini) {
  Values v;
  for (const std::string& s : ini.ReadSections()) {
    FUZZ_CHECK(ini.SectionExists(s));
    for (const std::string& k : ini.ReadSection(s)) {
      FUZZ_CHECK(ini.ValueExists(s, k));
      const std::string value = ini.ReadString(s, k, "\n");
      FUZZ_CHECK(value != "\n");
      v[std::make_pair(s, k)] = value;
    }
  }
  return v;
}

bool IsKey(const std::string& name) {
  static const char kKey[] = "fuzzkey";
  if (name.size() != sizeof kKey - 1) return false;
  for (size_t i = 0; i < name.size(); ++i)
    if ((name[i] >= 'A' && name[i] <= 'Z' ? name[i] + 32 : name[i]) != kKey[i]) return false;
  return true;
}

Values Without(Values v, const std::string& section) {
  for (auto i = v.begin(); i != v.end();) i = i->first.first == section && IsKey(i->first.second) ? v.erase(i) : std::next(i);
  return v;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  const IniText text(bytes);
  FUZZ_CHECK(text.Bytes() == bytes);

  FuzzFiles files;
  TIniFile ini(files.Write("in.ini", data, size));
  const Values before = AllValues(ini);
  for (const auto& [name, value] : before) {
    FUZZ_CHECK(text.Value(name.first, name.second) == value);
    (void)ini.ReadInteger(name.first, name.second, 0);
  }

  const std::vector<std::string> sections = ini.ReadSections();
  const std::string section = !sections.empty() && IniText::CanHoldSection(sections[0]) ? sections[0] : "fuzz";
  const int number = size ? int(data[0]) * (data[size - 1] - 128) : 7;
  FUZZ_CHECK(ini.WriteInteger(section, "fuzzkey", number));
  FUZZ_CHECK(ini.ReadInteger(section, "fuzzkey", number + 1) == number && ini.ValueExists(section, "fuzzkey"));
  // Every other value stays; a key spelt "fuzzkey" in another case is the
  // one written.
  Values expected;
  for (const auto& [name, value] : before)
    if (name.first != section || !IsKey(name.second)) expected[name] = value;
  Values after = AllValues(ini);
  FUZZ_CHECK(Without(after, section) == expected);
  FUZZ_CHECK(ini.DeleteKey(section, "fuzzkey") && !ini.ValueExists(section, "fuzzkey"));
  after = AllValues(ini);
  FUZZ_CHECK(Without(after, section) == expected && after.size() == expected.size());
  return 0;
}
