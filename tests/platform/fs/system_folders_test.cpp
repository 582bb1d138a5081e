#include "platform/fs/system_folders.h"

#include "fs_fixture.h"
#include "platform/fs/files.h"
#include "platform/fs/path.h"

#include <cstring>

using SystemFoldersTest = FsTest;

TEST_F(SystemFoldersTest, NamesComeInTheBufferFormWithTheSizeNeededWhenShort) {
  struct Case {
    UINT (*query)(LPSTR, UINT);
    const char* name;
  };
  for (const Case& c : {Case{GetWindowsDirectory, "C:\\WINDOWS"}, Case{GetSystemDirectory, "C:\\WINDOWS\\system32"}}) {
    SCOPED_TRACE(c.name);
    const UINT length = UINT(strlen(c.name));
    char buf[260];
    memset(buf, 'x', sizeof buf);
    EXPECT_EQ(c.query(buf, sizeof buf), length);
    EXPECT_STREQ(buf, c.name);
    // Exactly the name's length leaves no room for the zero: nothing copied.
    char small[64];
    memset(small, 'x', sizeof small);
    EXPECT_EQ(c.query(small, length), length + 1);
    EXPECT_EQ(small[0], 'x');
    EXPECT_EQ(c.query(small, length + 1), length);
    EXPECT_STREQ(small, c.name);
    EXPECT_EQ(c.query(nullptr, 0), length + 1);
  }
}

TEST_F(SystemFoldersTest, TheFoldersLieOnDriveCWhateverTheirCaseOnDisk) {
  Put(Root() + "/C/windows/System32/libx.so", "x");
  char sys[260];
  ASSERT_GT(GetSystemDirectory(sys, sizeof sys), 0u);
  EXPECT_EQ(winpath::ToLinux(std::string(sys) + "\\LIBX.SO"), Root() + "/C/windows/System32/libx.so");
  EXPECT_TRUE(FileExists(std::string(sys) + "\\libx.so"));
}
