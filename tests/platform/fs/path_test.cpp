#include "platform/fs/path.h"

#include "fs_fixture.h"
#include "platform/fs/drives.h"
#include "platform/fs/files.h"
#include "platform/fs/folders.h"
#include "platform/text/gbk.h"

#include <sys/time.h>

#include <filesystem>

using winpath::ToLinux;

// Literals are GBK at run time; gbk::ToUtf8 gives the names on disk.
using PathTest = FsTest;

TEST_F(PathTest, MapsWindowsPathsToTheDrivesAndTheCurrentFolder) {
  const std::string r = Root();
  struct Case {
    std::string windows, linux;
  } cases[] = {
      {"db\\pic\\w0.jt", "db/pic/w0.jt"},
      {"E:\\Program files\\Quarvel\\data\\x.pte", r + "/E/Program files/Quarvel/data/x.pte"},
      {"C:\\\\name", r + "/C/name"},  // a root folder joined with "\" + name
      {"e:/a//b\\\\c", r + "/E/a/b/c"},
      {"E:", r + "/E"},
      {"d:\\", r + "/D/"},
      {"db\\pic\\", "db/pic/"},
      {Dir() + "/bin/tmp.bmt", Dir() + "/bin/tmp.bmt"},  // the program folder is a Linux path
      {"", ""},
      {"1:\\x", "1:/x"},  // not a drive letter
      {"教师\\课件.te", gbk::ToUtf8("教师") + "/" + gbk::ToUtf8("课件.te")},
      // 癨 is B0 5C: its trail byte is a backslash but does not separate.
      {"E:\\癨\\x", r + "/E/" + gbk::ToUtf8("癨") + "/x"},
  };
  for (const Case& c : cases) EXPECT_EQ(ToLinux(c.windows), c.linux) << c.windows;
  EXPECT_EQ(winpath::FromLinux(gbk::ToUtf8("/tmp/教师/")), "/tmp/教师/");
}

// What dialogs hand back: a path on a drive as the drive's, anything else
// as it is; mapped back it is the same file.
TEST_F(PathTest, LinuxPathsOnTheDrivesReadAsDrivePaths) {
  const std::string r = Root();
  struct Case {
    std::string linux, windows;
  } cases[] = {
      {r + "/C", "C:\\"},
      {r + "/C/", "C:\\"},
      {r + "/D/" + gbk::ToUtf8("图片"), "D:\\图片"},
      {r + "/D//a/" + gbk::ToUtf8("癨") + "/", "D:\\a\\癨\\"},
      {r + "/Cx/a", r + "/Cx/a"},  // no drive folder
      {r + "/c/a", r + "/c/a"},    // drive folders are upper case
      {r, r},
      {r + "x/C/a", r + "x/C/a"},
      {gbk::ToUtf8("/tmp/教师"), "/tmp/教师"},
  };
  for (const Case& c : cases) EXPECT_EQ(winpath::ToWindows(c.linux), c.windows) << c.linux;
  EXPECT_EQ(ToLinux(winpath::ToWindows(r + "/D/" + gbk::ToUtf8("图片"))), r + "/D/" + gbk::ToUtf8("图片"));
  // The current folder on a drive is the drive's.
  ASSERT_TRUE(std::filesystem::create_directories(r + "/D/" + gbk::ToUtf8("课件")));
  const std::string before = GetCurrentDir();
  ASSERT_TRUE(SetCurrentDir("D:\\课件"));
  EXPECT_EQ(GetCurrentDir(), "D:\\课件");
  EXPECT_EQ(CurrentDrive(), 'D');
  ASSERT_TRUE(SetCurrentDir(before));
  EXPECT_EQ(CurrentDrive(), 'C');  // off the drives: the first one
}

TEST_F(PathTest, ExistingNamesMatchIgnoringCaseNewNamesKeepTheirSpelling) {
  const std::string data = Root() + "/E/Program Files/Quarvel/DATA";
  Put(data + "/A121.PTE", "png");
  Put(Root() + "/D/" + gbk::ToUtf8("课件") + "/Notes.TXT", "n");

  EXPECT_TRUE(FileExists("E:\\program files\\quarvel\\data\\a121.pte"));
  EXPECT_EQ(ReadWholeFile("e:\\PROGRAM FILES\\Quarvel\\Data\\A121.pte"), "png");
  EXPECT_EQ(ReadWholeFile("D:\\课件\\notes.txt"), "n");
  EXPECT_EQ(ToLinux("E:\\program files\\quarvel\\data\\New.pte"), data + "/New.pte");
  EXPECT_EQ(ToLinux("E:\\program files\\quarvel\\data\\a121.pte", winpath::Last::kAsGiven), data + "/a121.pte");
  EXPECT_EQ(ToLinux("E:\\program files\\Missing\\data\\x"), Root() + "/E/Program Files/Missing/data/x");

  // Writing a file of another case overwrites it, as on Windows.
  ASSERT_TRUE(WriteWholeFile("E:\\program files\\quarvel\\data\\a121.pte", "new"));
  EXPECT_EQ(Names(data), std::vector<std::string>{"A121.PTE"});
  EXPECT_EQ(Get(data + "/A121.PTE"), "new");

  // The exact spelling wins; of several others, the first in byte order.
  Put(Root() + "/E/t/a.txt", "lower");
  Put(Root() + "/E/t/A.txt", "upper");
  EXPECT_EQ(ReadWholeFile("E:\\t\\a.txt"), "lower");
  EXPECT_EQ(ReadWholeFile("E:\\t\\A.TXT"), "upper");
}

TEST_F(PathTest, DrivesRootFallsBackToXdgDataHomeThenHome) {
  unsetenv("QUARVEL_DRIVES");
  setenv("XDG_DATA_HOME", (Dir() + "/xdg").c_str(), 1);
  EXPECT_EQ(winpath::DrivesRoot(), Dir() + "/xdg/quarvel/drives");
  EXPECT_TRUE(IsDir(Dir() + "/xdg/quarvel/drives/C"));

  unsetenv("XDG_DATA_HOME");
  setenv("HOME", (Dir() + "/home").c_str(), 1);
  EXPECT_EQ(ToLinux("C:\\x"), Dir() + "/home/.local/share/quarvel/drives/C/x");
  EXPECT_TRUE(IsDir(Dir() + "/home/.local/share/quarvel/drives/C"));

  setenv("QUARVEL_DRIVES", (Dir() + "/own//").c_str(), 1);
  EXPECT_EQ(winpath::DrivesRoot(), Dir() + "/own");
}

TEST_F(PathTest, DriveTypeFollowsTheDriveFolders) {
  EXPECT_EQ(GetDriveType("C:\\"), UINT(DRIVE_FIXED));  // C is made on first use
  EXPECT_EQ(GetDriveType("E:\\"), UINT(DRIVE_NO_ROOT_DIR));
  std::filesystem::create_directories(Root() + "/E");
  std::filesystem::create_directories(Root() + "/D");
  std::filesystem::create_directories(Root() + "/g");   // not a drive: upper case only
  std::filesystem::create_directories(Root() + "/AB");  // nor this
  Put(Root() + "/F", "a file, not a drive");
  struct Case {
    const char* root;
    UINT type;
  } cases[] = {
      {"E:\\", DRIVE_FIXED}, {"e:", DRIVE_FIXED}, {"E:/", DRIVE_FIXED}, {"D:\\", DRIVE_FIXED},
      {"F:\\", DRIVE_NO_ROOT_DIR}, {"G:\\", DRIVE_NO_ROOT_DIR}, {"E:\\x", DRIVE_NO_ROOT_DIR},
      {"", DRIVE_NO_ROOT_DIR}, {"E", DRIVE_NO_ROOT_DIR}, {"1:\\", DRIVE_NO_ROOT_DIR},
  };
  for (const Case& c : cases) EXPECT_EQ(GetDriveType(c.root), c.type) << c.root;
  EXPECT_EQ(MappedDrives(), (std::vector<char>{'C', 'D', 'E'}));
}

TEST_F(PathTest, ProgramFolderHoldsTheRunningProgram) {
  const std::string folder = GetProgramFolder();
  ASSERT_FALSE(folder.empty());
  EXPECT_EQ(folder.front(), '/');
  EXPECT_EQ(folder.back(), '/');
  EXPECT_TRUE(FileExists(folder + "test_fs_path"));
}

TEST_F(PathTest, CurrentFolderGetAndSet) {
  const std::string start = GetCurrentDir();
  EXPECT_EQ(start, winpath::FromLinux(Dir() + "/cwd"));
  ASSERT_TRUE(CreateDir("课件"));
  ASSERT_TRUE(SetCurrentDir("课件"));
  EXPECT_EQ(GetCurrentDir(), start + "/课件");
  ASSERT_TRUE(WriteWholeFile("a.txt", "x"));
  EXPECT_EQ(Get(Dir() + "/cwd/" + gbk::ToUtf8("课件") + "/a.txt"), "x");
  EXPECT_FALSE(SetCurrentDir("no such folder"));
  EXPECT_EQ(GetCurrentDir(), start + "/课件");

  const std::string now = GetCurrentDir();
  char small[4] = "abc";
  EXPECT_EQ(GetCurrentDirectory(4, small), DWORD(now.size() + 1));  // the size needed
  EXPECT_STREQ(small, "abc");
  std::vector<char> big(now.size() + 1);
  EXPECT_EQ(GetCurrentDirectory(DWORD(big.size()), big.data()), DWORD(now.size()));
  EXPECT_EQ(std::string(big.data()), now);
}

TEST_F(PathTest, CreateDirIsOneLevelForceDirectoriesAllButTheDrive) {
  EXPECT_FALSE(CreateDir("D:\\Program files"));  // no drive D
  EXPECT_FALSE(ForceDirectories("D:\\Program files\\Quarvel\\data"));
  EXPECT_FALSE(IsDir(Root() + "/D"));

  std::filesystem::create_directories(Root() + "/D");
  EXPECT_FALSE(CreateDir("D:\\Program files\\Quarvel"));  // parent missing
  EXPECT_TRUE(CreateDir("D:\\Program files"));
  EXPECT_FALSE(CreateDir("D:\\Program files"));  // exists
  EXPECT_FALSE(CreateDir("d:\\PROGRAM FILES"));  // exists, in another case
  EXPECT_TRUE(ForceDirectories("D:\\program files\\Quarvel\\data\\"));
  EXPECT_TRUE(ForceDirectories("D:\\program files\\Quarvel\\data"));  // already there
  EXPECT_EQ(Names(Root() + "/D"), std::vector<std::string>{"Program files"});
  EXPECT_TRUE(IsDir(Root() + "/D/Program files/Quarvel/data"));
  EXPECT_TRUE(DirectoryExists("D:\\Program files\\quarvel\\DATA\\"));
  EXPECT_FALSE(DirectoryExists("D:\\Program files\\nothing"));
  EXPECT_FALSE(ForceDirectories(""));

  Put(Root() + "/D/file", "x");
  EXPECT_FALSE(DirectoryExists("D:\\file"));
  EXPECT_FALSE(ForceDirectories("D:\\file\\sub"));
  EXPECT_TRUE(ForceDirectories("rel\\a\\b"));
  EXPECT_TRUE(IsDir(Dir() + "/cwd/rel/a/b"));
}

TEST_F(PathTest, ListFolderGivesNamesKindsSizesAndTimesInWindowsOrder) {
  const std::string f = Root() + "/E/pics";
  Put(f + "/b.txt", "abc");
  Put(f + "/A.jpg", "");
  Put(f + "/" + gbk::ToUtf8("教案.pte"), "12345");
  std::filesystem::create_directories(f + "/c");
  const timeval t[2] = {{1000000000, 0}, {1234567890, 0}};
  ASSERT_EQ(utimes((f + "/b.txt").c_str(), t), 0);

  const std::vector<FolderEntry> e = ListFolder("E:\\PICS\\");
  ASSERT_EQ(e.size(), 4u);
  EXPECT_EQ(e[0].name, "A.jpg");
  EXPECT_EQ(e[1].name, "b.txt");
  EXPECT_EQ(e[2].name, "c");
  EXPECT_EQ(e[3].name, "教案.pte");
  EXPECT_FALSE(e[1].isFolder);
  EXPECT_EQ(e[1].size, 3);
  EXPECT_EQ(e[1].modified, 1234567890);
  EXPECT_TRUE(e[2].isFolder);
  EXPECT_EQ(e[2].size, 0);
  EXPECT_EQ(e[3].size, 5);
  EXPECT_TRUE(ListFolder("E:\\none").empty());
}
