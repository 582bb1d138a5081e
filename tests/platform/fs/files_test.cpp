#include "platform/fs/files.h"

#include "fs_fixture.h"

#include <csignal>
#include <sys/resource.h>
#include <sys/time.h>

using FilesTest = FsTest;

namespace {

std::string Binary(size_t n) {
  std::string s(n, '\0');
  for (size_t i = 0; i < n; ++i) s[i] = char((i * 7919) >> 3);
  return s;
}

// In a child process whose files may not grow beyond 4 KiB, so that a write
// fails half-way as on a full disk: exits with 0 when `write` reports it.
template <class Write>
[[noreturn]] void RunWithSmallFileLimit(Write write) {
  signal(SIGXFSZ, SIG_IGN);
  rlimit small;
  small.rlim_cur = small.rlim_max = 4096;
  setrlimit(RLIMIT_FSIZE, &small);
  _exit(write() ? 1 : 0);
}

template <class Write>
void FailHalfWay(Write write) {
  EXPECT_EXIT(RunWithSmallFileLimit(write), ::testing::ExitedWithCode(0), "");
}

}  // namespace

TEST_F(FilesTest, CopyFileHonoursFailIfExists) {
  struct Case {
    BOOL failIfExists;
    bool targetThere;
    BOOL result;
    const char* after;
  } cases[] = {
      {TRUE, false, TRUE, "source"},
      {TRUE, true, FALSE, "old"},
      {FALSE, true, TRUE, "source"},
      {FALSE, false, TRUE, "source"},
  };
  const std::string d = Root() + "/C/copy";
  for (const Case& c : cases) {
    std::filesystem::remove_all(d);
    Put(d + "/src", "source");
    if (c.targetThere) Put(d + "/dst", "old");
    EXPECT_EQ(CopyFile("C:\\copy\\src", "C:\\copy\\dst", c.failIfExists), c.result);
    EXPECT_EQ(Get(d + "/dst"), c.after);
    EXPECT_EQ(Names(d), (std::vector<std::string>{"dst", "src"}));  // no temporary left
  }
}

TEST_F(FilesTest, CopyFileCopiesBytesModeAndTimeAndRefusesMissingOrFolders) {
  const std::string d = Root() + "/C/lesson";
  const std::string bytes = Binary(300000);  // several read blocks, zero bytes inside
  Put(d + "/1", bytes);
  chmod((d + "/1").c_str(), 0640);
  const timeval t[2] = {{1000000000, 0}, {1234567890, 0}};
  utimes((d + "/1").c_str(), t);

  ASSERT_TRUE(CopyFile("C:\\lesson\\1", "C:\\lesson\\A121.te", FALSE));
  EXPECT_EQ(Get(d + "/A121.te"), bytes);
  struct stat st;
  ASSERT_EQ(stat((d + "/A121.te").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u);
  EXPECT_EQ(st.st_mtime, 1234567890);

  EXPECT_FALSE(CopyFile("C:\\lesson\\missing", "C:\\lesson\\x", FALSE));
  EXPECT_FALSE(CopyFile("C:\\lesson", "C:\\x", FALSE));
  EXPECT_FALSE(CopyFile("C:\\lesson\\1", "C:\\no folder\\x", FALSE));
  EXPECT_EQ(Names(d), (std::vector<std::string>{"1", "A121.te"}));
  EXPECT_FALSE(FileExists("C:\\x"));
}

TEST_F(FilesTest, DeleteRenameExistsAndSize) {
  const std::string d = Root() + "/C/f";
  Put(d + "/a.txt", "12345");
  Put(d + "/b.txt", "b");
  Put(d + "/empty", "");
  std::filesystem::create_directories(d + "/sub");

  EXPECT_TRUE(FileExists("C:\\f\\a.txt"));
  EXPECT_FALSE(FileExists("C:\\f\\sub"));
  EXPECT_FALSE(FileExists("C:\\f\\none"));
  EXPECT_EQ(FileSize("C:\\f\\a.txt"), 5);
  EXPECT_EQ(FileSize("C:\\f\\empty"), 0);
  EXPECT_EQ(FileSize("C:\\f\\sub"), 0);
  EXPECT_EQ(FileSize("C:\\f\\none"), -1);

  EXPECT_FALSE(RenameFile("C:\\f\\a.txt", "C:\\f\\B.TXT"));  // taken by another file
  EXPECT_TRUE(RenameFile("C:\\f\\a.txt", "C:\\f\\A.TXT"));   // a change of case only
  EXPECT_TRUE(RenameFile("C:\\f\\b.txt", "C:\\f\\sub\\c.txt"));
  EXPECT_FALSE(RenameFile("C:\\f\\none", "C:\\f\\other"));
  EXPECT_EQ(Names(d), (std::vector<std::string>{"A.TXT", "empty", "sub"}));
  EXPECT_EQ(Get(d + "/sub/c.txt"), "b");

  EXPECT_TRUE(DeleteFile("C:\\f\\a.txt"));
  EXPECT_FALSE(DeleteFile("C:\\f\\a.txt"));  // gone: false, nothing else
  EXPECT_FALSE(DeleteFile("C:\\f\\sub"));    // folders are not files
  EXPECT_EQ(Names(d), (std::vector<std::string>{"empty", "sub"}));
}

TEST_F(FilesTest, WholeFileReadAndWrite) {
  const std::string d = Root() + "/C/w";
  EXPECT_EQ(ReadWholeFile("C:\\w\\x"), std::nullopt);
  EXPECT_FALSE(WriteWholeFile("C:\\w\\x", "data"));  // no folder
  std::filesystem::create_directories(d + "/sub");
  EXPECT_EQ(ReadWholeFile("C:\\w\\sub"), std::nullopt);
  EXPECT_FALSE(WriteWholeFile("C:\\w\\sub", "data"));
  EXPECT_TRUE(IsDir(d + "/sub"));

  const std::string bytes = Binary(100000);
  ASSERT_TRUE(WriteWholeFile("C:\\w\\x", bytes));
  EXPECT_EQ(ReadWholeFile("C:\\w\\x"), bytes);
  chmod((d + "/x").c_str(), 0600);
  ASSERT_TRUE(WriteWholeFile("C:\\w\\x", ""));
  EXPECT_EQ(ReadWholeFile("C:\\w\\x"), "");
  struct stat st;
  ASSERT_EQ(stat((d + "/x").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);  // a rewritten file keeps its permissions
  EXPECT_EQ(Names(d), (std::vector<std::string>{"sub", "x"}));
}

TEST_F(FilesTest, FailedWritesLeaveTheOldFile) {
  const std::string d = Root() + "/C/s";
  Put(d + "/datb.sec", "[tec]\r\nmum=1\r\n");
  Put(d + "/big", Binary(1 << 20));
  FailHalfWay([] { return WriteWholeFile("C:\\s\\datb.sec", Binary(1 << 20)); });
  FailHalfWay([] { return CopyFile("C:\\s\\big", "C:\\s\\datb.sec", FALSE); });
  EXPECT_EQ(Get(d + "/datb.sec"), "[tec]\r\nmum=1\r\n");
  EXPECT_EQ(Names(d), (std::vector<std::string>{"big", "datb.sec"}));
}

TEST_F(FilesTest, ReplacementAppearsWholeOnCommitOnly) {
  const std::string d = Root() + "/C/r";
  EXPECT_FALSE(FileReplacement("C:\\r\\x").IsOpen());  // no folder
  std::filesystem::create_directories(d + "/sub");
  Put(d + "/x", "old");
  chmod((d + "/x").c_str(), 0640);
  const std::string bytes = Binary(200000);
  {
    FileReplacement f("C:\\r\\x");
    ASSERT_TRUE(f.IsOpen());
    ASSERT_TRUE(f.Write(bytes.data(), 150000));
    EXPECT_EQ(Get(d + "/x"), "old");
    ASSERT_TRUE(f.Write(bytes.data() + 150000, 50000));
    ASSERT_TRUE(f.Commit());
    EXPECT_FALSE(f.Write("z", 1));
  }
  EXPECT_EQ(Get(d + "/x"), bytes);
  struct stat st;
  ASSERT_EQ(stat((d + "/x").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u);
  {
    FileReplacement f("C:\\r\\x");
    ASSERT_TRUE(f.Write("partial", 7));
  }  // never committed
  {
    FileReplacement f("C:\\r\\sub");
    ASSERT_TRUE(f.Write("data", 4));
    EXPECT_FALSE(f.Commit());  // a folder is in the way
  }
  EXPECT_EQ(Get(d + "/x"), bytes);
  EXPECT_TRUE(IsDir(d + "/sub"));
  EXPECT_EQ(Names(d), (std::vector<std::string>{"sub", "x"}));
  FailHalfWay([] {
    FileReplacement f("C:\\r\\x");
    const std::string big = Binary(1 << 20);
    return f.Write(big.data(), big.size()) && f.Commit();
  });
  EXPECT_EQ(Get(d + "/x"), bytes);
}
