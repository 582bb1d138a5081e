// The teachers in the settings file: names a teacher may have, the list
// keys as they are written, a teacher's settings as they are read.
#include <cstdlib>
#include <fstream>
#include <iterator>

#include "board/teachers.h"
#include "platform/fs/path.h"
#include "tests/board/ini_reader.h"

#include <gtest/gtest.h>

namespace {

std::string Dir() { return getenv("QUARVEL_TEST_DIR"); }

void Write(const std::string& path, const std::string& bytes) { std::ofstream(path, std::ios::binary) << bytes; }

std::string Read(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(f), {});
}

const std::vector<std::string> kList = {"默认", "张老师", "Li"};

}  // namespace

TEST(TeacherNames, NamesThatAreSectionsValuesAndFileNamesAreTaken) {
  // GBK characters whose second byte is '[', '\', ']' or '|' are whole
  // characters, not those marks.
  for (const char* name : {"王老师", "A", "Li Ming", "li2", "乕乗乚亅", "教师01", "tec1", "默认老师"})
    EXPECT_EQ(TeacherNameProblem(name, kList), "") << name;
}

TEST(TeacherNames, UnsafeNamesAreRefusedWithAMessage) {
  const struct {
    std::string name;
    const char* message;
  } cases[] = {
      {"", "请输入教师姓名！"},
      {" A", "教师姓名的首尾不能有空格！"},
      {"A ", "教师姓名的首尾不能有空格！"},
      {"tec", "该名称为系统保留，请输入其它教师姓名！"},
      {"TEC", "该名称为系统保留，请输入其它教师姓名！"},
      {"Tec", "该名称为系统保留，请输入其它教师姓名！"},
      {"教师0", "该名称为系统保留，请输入其它教师姓名！"},
      {std::string(65, 'x'), "教师姓名太长！"},
      {"默认", "教师名列表中已存在！"},
      {"LI", "教师名列表中已存在！"},
      {"张老师", "教师名列表中已存在！"},
  };
  for (const auto& c : cases) EXPECT_EQ(TeacherNameProblem(c.name, kList), c.message) << c.name;
  for (const char* mark : {"[", "]", "=", "\r", "\n", "\t", "\\", "/", ":", "*", "?", "\"", "<", ">", "|"})
    EXPECT_EQ(TeacherNameProblem(std::string("王") + mark + "1", kList),
              "教师姓名中不能有[ ] = \\ / : * ? \" < > |和换行等字符！")
        << int(mark[0]);
  EXPECT_EQ(TeacherNameProblem(std::string(64, 'x'), kList), "");
}

TEST(TeacherNames, ARenameMayKeepItsOwnNameInAnotherCase) {
  EXPECT_EQ(TeacherNameProblem("li", kList, 2), "");
  EXPECT_EQ(TeacherNameProblem("li", kList, 1), "教师名列表中已存在！");
  EXPECT_TRUE(SameTeacherName("Li", "lI"));
  // 丄 and 乤 differ only in a trail byte, 'A' and 'a', which is no letter.
  EXPECT_FALSE(SameTeacherName("丄", "乤"));
  EXPECT_TRUE(ReservedTeacherName("TeC"));
  EXPECT_FALSE(ReservedTeacherName("tec1"));
}

TEST(TeacherList, WritingTheListLeavesNoKeyOfATeacherNoLongerInIt) {
  const std::string file = Dir() + "/datb.sec";
  // A teacher deleted in the middle, and a stray key from long ago.
  Write(file,
        "[tec]\r\nmum=3\r\nte1=A\r\nte2=B\r\nte3=C\r\nte0=教师0\r\ndrive=D\r\nte7=Old\r\n"
        "[A]\r\nce=2\r\n");
  TIniFile ini(file);
  ASSERT_TRUE(WriteTeacherList(ini, {"A", "C"}));
  const initest::Sections s = initest::ReadWithPython(file);
  EXPECT_EQ(s.at("tec"), (std::map<std::string, std::string>{
                             {"mum", "2"}, {"te1", "A"}, {"te2", "C"}, {"te0", "教师0"}, {"drive", "D"}}));
  EXPECT_EQ(s.at("A").at("ce"), "2");
  EXPECT_EQ(ReadTeacherList(ini), (std::vector<std::string>{"A", "C"}));

  ASSERT_TRUE(WriteTeacherList(ini, {}));
  EXPECT_EQ(initest::ReadWithPython(file).at("tec"),
            (std::map<std::string, std::string>{{"mum", "0"}, {"te0", "教师0"}, {"drive", "D"}}));
  EXPECT_TRUE(ReadTeacherList(ini).empty());
  // Still a Windows file: CR LF only.
  const std::string bytes = Read(file);
  for (size_t at = bytes.find('\n'); at != std::string::npos; at = bytes.find('\n', at + 1))
    ASSERT_EQ(bytes[at - 1], '\r') << at;
}

TEST(TeacherList, MissingNamesReadAsNumberedTeachers) {
  const std::string file = Dir() + "/numbered.sec";
  Write(file, "[tec]\r\nmum=3\r\nte2=B\r\n");
  EXPECT_EQ(ReadTeacherList(TIniFile(file)), (std::vector<std::string>{"教师1", "B", "教师3"}));
  EXPECT_EQ(ReadTeacherList(TIniFile(Dir() + "/none.sec")), std::vector<std::string>{"教师1"});
  Write(file, "[tec]\r\nmum=2000000000\r\n");
  EXPECT_EQ(ReadTeacherList(TIniFile(file)).size(), size_t(kMaxListed));
  Write(file, "[tec]\r\nmum=-4\r\n");
  EXPECT_TRUE(ReadTeacherList(TIniFile(file)).empty());
}

TEST(TeacherSettings, ReadWithDefaultsAndWrittenAsTheWindowsProgramDoes) {
  const std::string file = Dir() + "/teacher.sec";
  Write(file, "[甲]\r\nce=3\r\nfrn=$FF\r\nbh=12\r\nma=12278\r\n[乙]\r\nke=5000\r\nbh=abc\r\n");
  TIniFile ini(file);
  const TeacherSettings a = ReadTeacher(ini, "甲");
  EXPECT_EQ(a.volumes, 3);
  EXPECT_EQ(a.lessons, 1);
  EXPECT_EQ(a.pen, 255);
  EXPECT_EQ(a.background, 8421504);
  EXPECT_EQ(a.width, "2");  // not a width of the pen
  EXPECT_EQ(a.password, "12278");
  const TeacherSettings b = ReadTeacher(ini, "乙");
  EXPECT_EQ(b.lessons, kMaxListed);
  EXPECT_EQ(b.width, "2");
  EXPECT_EQ(b.password, "0");

  TeacherSettings c;
  c.volumes = 4;
  c.lessons = 6;
  c.pen = 16711680;
  c.background = 65280;
  c.width = "7";
  c.password = "780";
  ASSERT_TRUE(WriteTeacher(ini, "丙", c, false));
  EXPECT_EQ(initest::ReadWithPython(file).at("丙"),
            (std::map<std::string, std::string>{
                {"ce", "4"}, {"ke", "6"}, {"frn", "16711680"}, {"blk", "65280"}, {"bh", "7"}}));
  ASSERT_TRUE(WriteTeacher(ini, "丙", c, true));
  EXPECT_EQ(initest::ReadWithPython(file).at("丙").at("ma"), "780");
}
