// Starting programs and loading libraries under their Windows names.
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "platform/text/gbk.h"
#include "platform/win/detail/exe_folder.h"
#include "platform/win/module.h"
#include "platform/win/process.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <thread>

namespace {

const std::string kProgramFolder = win::detail::ExeFolder();

// The probe writes its arguments here, one a line.
std::string ProbeOut() { return QDir::currentPath().toStdString() + "/probe.out"; }

std::string WaitForFile(const std::string& path) {
  auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (std::chrono::steady_clock::now() < end) {
    std::ifstream f(path);
    if (f) {
      std::stringstream s;
      s << f.rdbuf();
      return s.str();
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return "<nothing>";
}

void Write(const std::string& path, const std::string& text, bool executable) {
  std::ofstream(path) << text;
  if (executable)
    QFile::setPermissions(QString::fromStdString(path), QFile::permissions(QString::fromStdString(path)) |
                                                             QFileDevice::ExeOwner);
}

class Process : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("WIN_EXEC_PROBE_OUT", ProbeOut().c_str(), 1);
    std::remove(ProbeOut().c_str());
  }
};

}  // namespace

TEST_F(Process, WinExecFindsTheLinuxFormInTheProgramFolder) {
  // "tappel.dll" by bare name: no such file, but the program "tappel".
  EXPECT_GT(WinExec("tappel.dll", SW_SHOW), 31u);
  EXPECT_EQ(WaitForFile(ProbeOut()), "");
  std::remove(ProbeOut().c_str());
  EXPECT_GT(WinExec("tappel.dll one \"two words\"  three", SW_SHOW), 31u);
  EXPECT_EQ(WaitForFile(ProbeOut()), "one\ntwo words\nthree\n");
}

TEST_F(Process, WinExecReportsMissingPrograms) {
  EXPECT_EQ(WinExec("nosuch.dll", SW_SHOW), UINT(ERROR_FILE_NOT_FOUND));
  EXPECT_EQ(WinExec("", SW_SHOW), UINT(ERROR_FILE_NOT_FOUND));
  EXPECT_EQ(WinExec(nullptr, SW_SHOW), UINT(ERROR_FILE_NOT_FOUND));
  EXPECT_EQ(WinExec((kProgramFolder + "ani.dll").c_str(), SW_SHOW), UINT(ERROR_FILE_NOT_FOUND));
  // A plain file is no program, whatever its name.
  Write("data.exe", "not a program", false);
  EXPECT_EQ(WinExec("data.exe", SW_SHOW), UINT(ERROR_FILE_NOT_FOUND));
}

TEST_F(Process, WinExecTakesFoldersWithBlanksAndCurrentFolderAndPath) {
  std::string probe = kProgramFolder + "tappel";
  // An unquoted path with a blank, as "program folder + ani.dll" gives it.
  QDir().mkpath("my progs");
  std::string folder = QDir::currentPath().toStdString() + "/my progs/";
  ASSERT_TRUE(QFile::copy(QString::fromStdString(probe), QString::fromStdString(folder + "ani.dll")));
  EXPECT_GT(WinExec((folder + "ani.dll x").c_str(), SW_SHOW), 31u);
  EXPECT_EQ(WaitForFile(ProbeOut()), "x\n");
  std::remove(ProbeOut().c_str());

  // Backslashes separate folders; the Windows name's file is not there but
  // its Linux form is.
  ASSERT_TRUE(QFile::copy(QString::fromStdString(probe), QString::fromStdString(folder + "writer")));
  EXPECT_GT(WinExec("\"my progs\\writer.exe\" y", SW_SHOW), 31u);
  EXPECT_EQ(WaitForFile(ProbeOut()), "y\n");
  std::remove(ProbeOut().c_str());

  // On PATH.
  QDir().mkpath("bin");
  ASSERT_TRUE(QFile::copy(QString::fromStdString(probe), "bin/onpath"));
  std::string path = QDir::currentPath().toStdString() + "/bin:" + getenv("PATH");
  setenv("PATH", path.c_str(), 1);
  EXPECT_GT(WinExec("onpath.exe z", SW_HIDE), 31u);
  EXPECT_EQ(WaitForFile(ProbeOut()), "z\n");
}

TEST_F(Process, CmdFilesRunThroughTheShell) {
  // Not executable: a ".cmd" file needs no mode bit.
  Write("auto-ip.cmd", "echo \"$1\" > \"$WIN_EXEC_PROBE_OUT.tmp\" && mv \"$WIN_EXEC_PROBE_OUT.tmp\" \"$WIN_EXEC_PROBE_OUT\"\n",
        false);
  EXPECT_GT(WinExec("auto-ip.cmd 设置", SW_HIDE), 31u);
  EXPECT_EQ(WaitForFile(ProbeOut()), gbk::ToUtf8("设置") + "\n");
}

TEST_F(Process, ShellExecuteOpensThroughXdgOpen) {
  QDir().mkpath("fake");
  Write("fake/xdg-open", "#!/bin/sh\necho \"$@\" > \"$WIN_EXEC_PROBE_OUT.tmp\" && mv \"$WIN_EXEC_PROBE_OUT.tmp\" \"$WIN_EXEC_PROBE_OUT\"\n",
        true);
  std::string path = QDir::currentPath().toStdString() + "/fake:" + getenv("PATH");
  setenv("PATH", path.c_str(), 1);
  Write(gbk::ToUtf8("课件.pps"), "show", false);  // names on disk are UTF-8
  auto code = [](HINSTANCE h) { return reinterpret_cast<uintptr_t>(h); };
  EXPECT_GT(code(ShellExecute(0, "open", "课件.pps", nullptr, nullptr, 0)), 32u);
  EXPECT_EQ(WaitForFile(ProbeOut()), gbk::ToUtf8("课件.pps") + "\n");
  std::remove(ProbeOut().c_str());
  std::string dir = QDir::currentPath().toStdString();
  EXPECT_GT(code(ShellExecute(0, nullptr, "课件.pps", "", dir.c_str(), 0)), 32u);
  EXPECT_EQ(WaitForFile(ProbeOut()), dir + "/" + gbk::ToUtf8("课件.pps") + "\n");

  EXPECT_EQ(code(ShellExecute(0, "open", "missing.ppt", nullptr, nullptr, 0)), uintptr_t(ERROR_FILE_NOT_FOUND));
  EXPECT_EQ(code(ShellExecute(0, "print", "课件.pps", nullptr, nullptr, 0)), uintptr_t(SE_ERR_NOASSOC));
  EXPECT_EQ(code(ShellExecute(0, "open", "课件.pps", "/s", nullptr, 0)), uintptr_t(SE_ERR_NOASSOC));
  EXPECT_EQ(code(ShellExecute(0, "open", nullptr, nullptr, nullptr, 0)), uintptr_t(ERROR_FILE_NOT_FOUND));
}

TEST(Module, WindowsNamesFindTheirLinuxLibraries) {
  struct Case {
    std::string name;
  } cases[] = {
      {"wintestmod.dll"}, {"WinTestMod.dll"}, {"WINTESTMOD.DLL"}, {kProgramFolder + "wintestmod.dll"},
      {"libwintestmod.so"},
  };
  for (const Case& c : cases) {
    HMODULE h = LoadLibrary(c.name.c_str());
    ASSERT_NE(h, nullptr) << c.name;
    auto answer = reinterpret_cast<int (*)()>(GetProcAddress(h, "Answer"));
    ASSERT_NE(answer, nullptr) << c.name;
    EXPECT_EQ(answer(), 42);
    EXPECT_EQ(GetProcAddress(h, "Missing"), nullptr);
    EXPECT_EQ(GetProcAddress(h, MAKEINTRESOURCE(1)), nullptr);  // no ordinals known
    EXPECT_TRUE(FreeLibrary(h));
  }
  EXPECT_EQ(LoadLibrary("nosuch.dll"), nullptr);
  EXPECT_EQ(LoadLibrary(""), nullptr);
  EXPECT_EQ(LoadLibrary(nullptr), nullptr);
  EXPECT_EQ(LoadLibrary("/nowhere/wintestmod.dll"), nullptr);
  EXPECT_FALSE(FreeLibrary(nullptr));
}

TEST(Module, FoldersAreMappedAndSearchedForTheLinuxForm) {
  // Drive C's folder, as the Windows and System folders are named.
  const std::string drives = getenv("QUARVEL_DRIVES");
  ASSERT_TRUE(QDir().mkpath(QString::fromStdString(drives + "/C/Libs/TWAIN_32.DLL")));  // a folder, no file
  ASSERT_TRUE(QFile::copy(QString::fromStdString(kProgramFolder + "libwintestmod.so"),
                          QString::fromStdString(drives + "/C/Libs/libwintestmod.so")));
  std::ofstream(drives + "/C/Libs/libbroken.so") << "no library";

  HMODULE h = LoadLibrary("C:\\LIBS\\WinTestMod.dll");
  ASSERT_NE(h, nullptr);
  EXPECT_EQ(reinterpret_cast<int (*)()>(GetProcAddress(h, "Answer"))(), 42);
  EXPECT_TRUE(FreeLibrary(h));

  struct Case {
    const char* name;
    BOOL exists;
    bool loads;
  } cases[] = {
      {"C:\\libs\\wintestmod.dll", TRUE, true},
      {"c:\\Libs\\libwintestmod.so", TRUE, true},
      {"C:\\Libs\\broken.dll", TRUE, false},  // a file search does not look inside
      {"C:\\Libs\\TWAIN_32.DLL", FALSE, false},
      {"C:\\Libs\\nosuch.dll", FALSE, false},
      {"C:\\Nowhere\\wintestmod.dll", FALSE, false},
      {"C:\\Libs\\", FALSE, false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(LibraryFileExists(c.name), c.exists) << c.name;
    HMODULE m = LoadLibrary(c.name);
    EXPECT_EQ(m != nullptr, c.loads) << c.name;
    if (m) FreeLibrary(m);
  }
  // A bare name is a file of the current folder, as a file search takes it.
  EXPECT_FALSE(LibraryFileExists("wintestmod.dll"));
  ASSERT_TRUE(QFile::copy(QString::fromStdString(kProgramFolder + "libwintestmod.so"), "libwintestmod.so"));
  EXPECT_TRUE(LibraryFileExists("WINTESTMOD.DLL"));
  EXPECT_FALSE(LibraryFileExists(""));
  EXPECT_FALSE(LibraryFileExists(nullptr));
}

TEST(Module, TwainEntryByOrdinalOne) {
  HMODULE h = LoadLibrary("TWAIN_32.DLL");
  ASSERT_NE(h, nullptr);
  auto entry = reinterpret_cast<int (*)()>(GetProcAddress(h, MAKEINTRESOURCE(1)));
  ASSERT_NE(entry, nullptr);
  EXPECT_EQ(entry(), 7);
  EXPECT_EQ(reinterpret_cast<void*>(entry), reinterpret_cast<void*>(GetProcAddress(h, "DSM_Entry")));
  EXPECT_EQ(GetProcAddress(h, MAKEINTRESOURCE(2)), nullptr);
  EXPECT_TRUE(FreeLibrary(h));
}

TEST(Module, OdbcInstallerIsUnixOdbcs) {
  HMODULE h = LoadLibrary("odbccp32.dll");
  ASSERT_NE(h, nullptr);
  EXPECT_NE(GetProcAddress(h, "SQLConfigDataSource"), nullptr);
  EXPECT_TRUE(FreeLibrary(h));
}

#include "platform/win/timing.h"

TEST(Timing, TickCountFollowsSleep) {
  DWORD before = GetTickCount();
  Sleep(30);
  DWORD elapsed = GetTickCount() - before;  // unsigned: right across a wrap too
  EXPECT_GE(elapsed, 30u);
  EXPECT_LT(elapsed, 5000u);
}
