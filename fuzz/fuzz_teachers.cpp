// Arbitrary bytes as the lesson manager's settings file "datb.sec": the
// teacher list and every teacher's settings read within their bounds, and
// what was read, written back, reads as itself while nothing else of the
// file changes. (The lesson index and the pages' ".sec" files are read by
// TIniFile alone, which fuzz_ini covers.)
#include "board/teachers.h"
#include "fuzz_input.h"
#include "platform/fs/ini_text.h"

namespace {

bool Same(const TeacherSettings& a, const TeacherSettings& b) {
  return a.volumes == b.volumes && a.lessons == b.lessons && a.pen == b.pen && a.background == b.background &&
         a.width == b.width && a.password == b.password;
}

std::vector<std::string> Sections(const TIniFile& ini) {
  std::vector<std::string> s = ini.ReadSections();
  s.push_back(kDefaultTeacherSection);
  return s;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzFiles files;
  TIniFile ini(files.Write("datb.sec", data, size));
  const std::vector<std::string> names = ReadTeacherList(ini);
  FUZZ_CHECK(names.size() <= size_t(kMaxListed));
  for (size_t i = 0; i < names.size(); ++i) (void)TeacherNameProblem(names[i], names, int(i));

  const std::vector<std::string> sections = Sections(ini);
  std::vector<TeacherSettings> settings;
  for (const std::string& section : sections) {
    const TeacherSettings s = ReadTeacher(ini, section);
    FUZZ_CHECK(s.volumes <= kMaxListed && s.lessons <= kMaxListed);
    FUZZ_CHECK(s.width.size() == 1 && s.width[0] >= '1' && s.width[0] <= '9');
    settings.push_back(s);
  }

  // Each name is a file write of its own: long lists are only read.
  if (names.size() > 64) return 0;
  // A name the file holds but cannot be written (a CR inside) stays as it
  // was, and the list still reads as before.
  bool holdable = true;
  for (const std::string& name : names) holdable &= IniText::CanHoldValue(name);
  FUZZ_CHECK(WriteTeacherList(ini, names) == holdable && ReadTeacherList(ini) == names);
  for (size_t i = 0; i < sections.size(); ++i) {
    if (!IniText::CanHoldSection(sections[i])) continue;
    FUZZ_CHECK(WriteTeacher(ini, sections[i], settings[i], true) == IniText::CanHoldValue(settings[i].password));
    FUZZ_CHECK(Same(ReadTeacher(ini, sections[i]), settings[i]));
  }
  // Each teacher's settings are his own: writing one changed no other.
  for (size_t i = 0; i < sections.size(); ++i)
    FUZZ_CHECK(Same(ReadTeacher(ini, sections[i]), settings[i]));
  return 0;
}
