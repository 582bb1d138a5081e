// CMerroFun's path and status answers, on real files of the test's drives.
#include "merrobase/fun.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <string>

#include "test_files.h"

namespace fs = std::filesystem;

namespace {

fs::path Drive(char letter) {
  fs::path d = fs::path(getenv("QUARVEL_DRIVES")) / std::string(1, letter);
  fs::create_directories(d);
  return d;
}

}  // namespace

TEST(CMerroFun, NameAndTitleComeFromThePathTextAlone) {
  struct Case {
    const char* path;
    const char* name;
    const char* title;
  };
  const Case cases[] = {
      {"D:\\data\\a.txt", "a.txt", "a"},
      {"D:/data/a.txt", "a.txt", "a"},
      {"C:a.txt", "a.txt", "a"},
      {"a.txt", "a.txt", "a"},
      {"D:\\data\\", "", ""},
      {"D:\\data\\a.tar.gz", "a.tar.gz", "a.tar"},
      {"D:\\data\\.profile", ".profile", ".profile"},
      {"D:\\data\\noext", "noext", "noext"},
      // 0x81 0x5C is one GBK character whose trail byte is '\'.
      {"D:\\data\\\x81\x5C.txt", "\x81\x5C.txt", "\x81\x5C"},
      {"D:\\\xD6\xD0\xCE\xC4\\\xB1\xCA.jt", "\xB1\xCA.jt", "\xB1\xCA"},  // 中文\笔.jt
      {"", "", ""},
  };
  CMerroFun fun;
  for (const Case& c : cases) {
    EXPECT_EQ(fun.On_Get_File_Name(c.path), c.name) << c.path;
    EXPECT_EQ(fun.On_Get_File_Title(c.path), c.title) << c.path;
  }
  EXPECT_FALSE(fs::exists(Drive('D') / "data"));  // nothing was made or opened
}

TEST(CMerroFun, SizeOfMissingEmptyFilledAndFolder) {
  fs::path d = Drive('D') / "sz";
  fs::create_directories(d / "sub");
  Spit(d / "empty", "");
  Spit(d / "five.bin", "12345");
  Spit(d / "\xE7\xAC\x94.bin", std::string(70000, 'x'));  // 笔.bin on disk (UTF-8)
  CMerroFun fun;
  EXPECT_EQ(fun.On_Get_File_Size("D:\\sz\\none"), -1);
  EXPECT_EQ(fun.On_Get_File_Size("Q:\\sz\\five.bin"), -1);  // no such drive
  EXPECT_EQ(fun.On_Get_File_Size("D:\\sz\\empty"), 0);
  EXPECT_EQ(fun.On_Get_File_Size("D:\\sz\\five.bin"), 5);
  EXPECT_EQ(fun.On_Get_File_Size("d:\\SZ\\FIVE.BIN"), 5);  // names match ignoring case
  EXPECT_EQ(fun.On_Get_File_Size("D:\\sz\\\xB1\xCA.bin"), 70000);  // the GBK name
  EXPECT_EQ(fun.On_Get_File_Size("D:\\sz\\sub"), 0);
}

TEST(CMerroFun, CreateTimeIsLocalAndEmptyForAMissingFile) {
  setenv("TZ", "Asia/Shanghai", 1);  // +8 all year: a UTC answer would be 8 hours off
  tzset();
  Spit(Drive('D') / "t.txt", "t");
  const time_t now = time(nullptr);
  CMerroFun fun;
  EXPECT_EQ(fun.On_Get_File_CreateTime("D:\\missing.txt"), "");
  CString text = fun.On_Get_File_CreateTime("D:\\t.txt");
  ASSERT_EQ(text.GetLength(), 19) << LPCTSTR(text);
  tm parts{};
  ASSERT_NE(strptime(text, "%Y-%m-%d %H:%M:%S", &parts), nullptr) << LPCTSTR(text);
  EXPECT_EQ(LPCTSTR(text)[4], '-');
  parts.tm_isdst = -1;
  EXPECT_LE(std::abs(double(mktime(&parts) - now)), 5.0) << LPCTSTR(text);
  unsetenv("TZ");
  tzset();
}

TEST(CMerroFun, WithoutAnApplicationNoDialogIsShown) {
  CMerroFun fun;
  fun.m_strFolder = "D:\\old";
  EXPECT_EQ(fun.On_Browse_Folder(), "");
  EXPECT_EQ(fun.m_strFolder, "");
  EXPECT_EQ(fun.On_Find_File(1, "txt", "a.txt", "Text|*.txt||"), "");
}
