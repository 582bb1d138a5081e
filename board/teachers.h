// The teachers in the settings file "datb.sec": section "tec" holds the
// list (mum, te1..te<mum>, te0, drive), one section per teacher its
// volumes, lessons, colours, pen width, password code (ma) and picture
// folder (dcu). The default teacher is list entry "默认", section "教师0".
#pragma once
#include <string>
#include <vector>

#include "platform/fs/inifile.h"
#include "platform/vcl/graphics.h"

extern const char kTeacherListSection[];  // "tec"
extern const char kDefaultTeacherEntry[];  // "默认"
extern const char kDefaultTeacherSection[];  // "教师0"

// Counts of volumes, lessons and teachers read from the file are kept to
// this, so that a damaged file cannot fill a list without end.
constexpr int kMaxListed = 999;

struct TeacherSettings {
  int volumes = 1;
  int lessons = 1;
  TColor pen = 255;
  TColor background = 8421504;
  std::string width = "2";     // "1".."9"
  std::string password = "0";  // EncodePassword's code; "0" for none
};

// A section's settings, with the defaults for what is missing; a pen width
// other than "1".."9" reads as "2", counts beyond kMaxListed as kMaxListed.
TeacherSettings ReadTeacher(const TIniFile& ini, const std::string& section);
// ce, ke, frn, blk, bh, and ma too when asked.
bool WriteTeacher(TIniFile& ini, const std::string& section, const TeacherSettings& s, bool withPassword);

// The named teachers in list order (te1..te<mum>; "教师" + i for a missing
// name).
std::vector<std::string> ReadTeacherList(const TIniFile& ini);
// mum and te1..te<mum> from the names, and no te key beyond them, so the
// list reads back as written.
bool WriteTeacherList(TIniFile& ini, const std::vector<std::string>& names);

// Whether two names name one teacher: sections and file names match
// without regard to the case of ASCII letters.
bool SameTeacherName(const std::string& a, const std::string& b);
// "tec" and "教师0", in any case: sections of their own.
bool ReservedTeacherName(const std::string& name);
// Why a name cannot be given to a teacher (the message to show), or empty
// when it can: it must be a section name, a key value and the start of file
// names, and no other entry of the list (but `except`) may have it.
std::string TeacherNameProblem(const std::string& name, const std::vector<std::string>& list, int except = -1);
