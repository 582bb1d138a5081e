#include "platform/mfc/file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "tests/platform/mfc/exception_cause.h"

namespace fs = std::filesystem;

namespace {

// Every test runs in its own temporary current folder (scripts/test-env).
std::string Slurp(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

void Spit(const fs::path& p, const std::string& bytes) { std::ofstream(p, std::ios::binary) << bytes; }

int CauseOf(void (*f)()) { return test::CauseOf<CFileException>(f); }

}  // namespace

TEST(CFile, WritesReadsSeeksByWindowsName) {
  fs::create_directory("sub");
  CFile f;
  ASSERT_TRUE(f.Open("sub\\a.bin", CFile::modeCreate | CFile::modeWrite));
  f.Write("hello world", 11);
  f.Close();
  EXPECT_EQ(Slurp("sub/a.bin"), "hello world");

  ASSERT_TRUE(f.Open("sub\\a.bin", CFile::modeRead | CFile::shareDenyNone));
  EXPECT_EQ(f.GetLength(), 11u);
  char buf[16] = {};
  EXPECT_EQ(f.Seek(6, CFile::begin), 6u);
  EXPECT_EQ(f.Read(buf, 16), 5u);  // short only at the end
  EXPECT_STREQ(buf, "world");
  EXPECT_EQ(f.Read(buf, 16), 0u);
  EXPECT_EQ(f.SeekToEnd(), 11u);
  EXPECT_EQ(f.Seek(-5, CFile::current), 6u);
  EXPECT_EQ(f.GetPosition(), 6u);
  f.Close();
}

TEST(CFile, CreateTruncatesUnlessNoTruncate) {
  Spit("t.bin", "0123456789");
  CFile f("t.bin", CFile::modeReadWrite | CFile::modeCreate | CFile::modeNoTruncate);
  EXPECT_EQ(f.GetLength(), 10u);
  f.SeekToEnd();
  f.Write("AB", 2);
  f.Close();
  EXPECT_EQ(Slurp("t.bin"), "0123456789AB");
  f.Open("t.bin", CFile::modeCreate | CFile::modeWrite);
  f.Close();
  EXPECT_EQ(fs::file_size("t.bin"), 0u);
}

TEST(CFile, GbkNamesAreUtf8OnDisk) {
  CFile f;
  ASSERT_TRUE(f.Open("\xB2\xE2\xCA\xD4.txt", CFile::modeCreate | CFile::modeWrite));  // 测试.txt
  f.Write("x", 1);
  f.Close();
  EXPECT_TRUE(fs::exists(u8"测试.txt"));
  CFileStatus st;
  ASSERT_TRUE(CFile::GetStatus("\xB2\xE2\xCA\xD4.txt", st));
  EXPECT_EQ(st.m_size, 1u);
  EXPECT_STREQ(st.m_szFullName, "\xB2\xE2\xCA\xD4.txt");
}

// Names go through the layer's path mapping: drive letters are folders of
// the drives root, and an existing name matches ignoring case.
TEST(CFile, DriveLettersAndCase) {
  fs::path drive = fs::path(getenv("QUARVEL_DRIVES")) / "D";
  fs::create_directories(drive / "Data");
  CFile f;
  ASSERT_TRUE(f.Open("D:\\Data\\Notes.TXT", CFile::modeCreate | CFile::modeWrite));
  f.Write("n", 1);
  f.Close();
  EXPECT_EQ(Slurp(drive / "Data" / "Notes.TXT"), "n");
  ASSERT_TRUE(f.Open("d:\\data\\notes.txt", CFile::modeRead));
  EXPECT_EQ(f.GetLength(), 1u);
  f.Close();
  Spit("new.bin", "x");
  CFile::Rename("new.bin", "D:\\DATA\\NOTES.txt");  // replaces the existing file
  EXPECT_EQ(Slurp(drive / "Data" / "Notes.TXT"), "x");
}

TEST(CFile, OpenFailuresGiveTheirCause) {
  fs::create_directory("dir");
  struct Case {
    const char* name;
    UINT flags;
    int cause;
  } cases[] = {
      {"missing.bin", CFile::modeRead, CFileException::fileNotFound},
      {"nodir\\x.bin", CFile::modeCreate | CFile::modeWrite, CFileException::fileNotFound},
      {"dir", CFile::modeRead, CFileException::accessDenied},  // a folder is not a file
      {"dir", CFile::modeCreate | CFile::modeWrite, CFileException::accessDenied},
  };
  for (const Case& c : cases) {
    CFile f;
    CFileException e;
    EXPECT_FALSE(f.Open(c.name, c.flags, &e)) << c.name;
    EXPECT_EQ(e.m_cause, c.cause) << c.name;
    EXPECT_EQ(e.m_strFileName, c.name);
  }
  EXPECT_EQ(CauseOf([] { CFile f("missing.bin", CFile::modeRead); }), CFileException::fileNotFound);
}

TEST(CFile, ErrorsAfterOpenRaise) {
  Spit("r.bin", "abc");
  EXPECT_EQ(CauseOf([] {
              CFile f("r.bin", CFile::modeRead);
              f.Seek(-1, CFile::begin);
            }),
            CFileException::badSeek);
  EXPECT_EQ(CauseOf([] {
              CFile f("r.bin", CFile::modeRead);
              f.Write("x", 1);
            }),
            CFileException::invalidFile);  // opened for reading only
  EXPECT_EQ(CauseOf([] {
              CFile f;
              char c;
              f.Read(&c, 1);
            }),
            CFileException::invalidFile);
  if (access("/dev/full", W_OK) == 0) {
    EXPECT_EQ(CauseOf([] {
                CFile f("/dev/full", CFile::modeWrite);
                f.Write("x", 1);
              }),
              CFileException::diskFull);
  }
}

TEST(CFile, NamesFromThePath) {
  struct Case {
    const char* path;
    const char* name;
    const char* title;
  } cases[] = {
      {"D:\\data\\a.txt", "a.txt", "a"},
      {"D:/data/a.b.txt", "a.b.txt", "a.b"},
      {"C:a.txt", "a.txt", "a"},
      {"a", "a", "a"},
      {"D:\\data\\", "", ""},
      {"x\\.profile", ".profile", ".profile"},
      {"x\\\x81\x5C.dat", "\x81\x5C.dat", "\x81\x5C"},  // trail byte 5C is no separator
  };
  for (const Case& c : cases) {
    CFile f;
    f.SetFilePath(c.path);
    EXPECT_EQ(f.GetFilePath(), c.path);
    EXPECT_EQ(f.GetFileName(), c.name) << c.path;
    EXPECT_EQ(f.GetFileTitle(), c.title) << c.path;
  }
}

TEST(CFile, StatusRemoveRename) {
  CFileStatus st;
  EXPECT_FALSE(CFile::GetStatus("none", st));
  Spit("s.bin", "12345");
  ASSERT_TRUE(CFile::GetStatus("s.bin", st));
  EXPECT_EQ(st.m_size, 5u);
  EXPECT_EQ(st.m_attribute & CFile::directory, 0);
  EXPECT_GT(st.m_ctime.GetTime(), 0);
  EXPECT_LE(st.m_ctime.GetTime(), time(nullptr));
  EXPECT_EQ(st.m_ctime.Format("%Y-%m-%d %H:%M:%S").GetLength(), 19);
  fs::create_directory("d");
  ASSERT_TRUE(CFile::GetStatus("d", st));
  EXPECT_NE(st.m_attribute & CFile::directory, 0);
  EXPECT_EQ(st.m_size, 0u);

  Spit("new.bin", "new");
  CFile::Rename("new.bin", "s.bin");  // replaces the existing file
  EXPECT_EQ(Slurp("s.bin"), "new");
  EXPECT_FALSE(fs::exists("new.bin"));
  CFile::Remove("s.bin");
  EXPECT_FALSE(fs::exists("s.bin"));
  EXPECT_EQ(CauseOf([] { CFile::Remove("s.bin"); }), CFileException::fileNotFound);
  EXPECT_EQ(CauseOf([] { CFile::Rename("s.bin", "t.bin"); }), CFileException::fileNotFound);
}
