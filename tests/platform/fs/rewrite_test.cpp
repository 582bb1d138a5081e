// Whole-file writes through links and read-only folders, and what a kill at
// each step of a rewrite leaves (the writer is a real process killed by
// strace on entering a chosen system call).
#include "platform/fs/files.h"
#include "platform/fs/inifile.h"
#include "platform/fs/rewrite.h"

#include "fs_fixture.h"
#include "killed_writer.h"
#include "linked_file.h"

#include <csignal>
#include <functional>
#include <sys/resource.h>
#include <sys/wait.h>

using linktest::HaveStrace;
using linktest::KilledAt;
using linktest::Kind;
using linktest::Linked;

namespace {

std::string Binary(size_t n, int seed) {
  std::string s(n, '\0');
  for (size_t i = 0; i < n; ++i) s[i] = char(((i + size_t(seed)) * 7919) >> 3);
  return s;
}

class RewriteTest : public FsTest {
 protected:
  void SetUp() override {
    FsTest::SetUp();
    setenv("XDG_STATE_HOME", (Dir() + "/state").c_str(), 1);
  }
  void TearDown() override {
    unsetenv("XDG_STATE_HOME");
    FsTest::TearDown();
  }
};

// In a child whose files may not grow beyond 4 KiB, as on a full disk:
// exits with 0 when the write reports the failure.
[[noreturn]] void WriteWithSmallFileLimit(const std::string& name, const std::string& data) {
  signal(SIGXFSZ, SIG_IGN);
  rlimit small;
  small.rlim_cur = small.rlim_max = 4096;
  setrlimit(RLIMIT_FSIZE, &small);
  _exit(WriteWholeFile(name, data) ? 1 : 0);
}

}  // namespace

TEST_F(RewriteTest, EveryWriterChangesTheFileTheNameLeadsToAndKeepsItsLinks) {
  const std::string source = Dir() + "/source";
  const std::string fresh = Binary(70000, 1);
  Put(source, fresh);
  const struct {
    const char* label;
    std::function<bool(const std::string&)> write;
    std::string expected;  // after "[a]\r\nk=old\r\n"
  } writers[] = {
      {"WriteWholeFile", [&](const std::string& n) { return WriteWholeFile(n, fresh); }, fresh},
      {"FileReplacement",
       [&](const std::string& n) {
         FileReplacement f(n);
         return f.Write(fresh.data(), 1000) && f.Write(fresh.data() + 1000, fresh.size() - 1000) && f.Commit();
       },
       fresh},
      {"TIniFile", [](const std::string& n) { return TIniFile(n).WriteString("a", "k", "new"); }, "[a]\r\nk=new\r\n"},
      {"CopyFile", [&](const std::string& n) { return CopyFile(source, n, FALSE) == TRUE; }, fresh},
  };
  for (const auto& k : linktest::kKinds)
    for (const auto& w : writers) {
      Linked file(Dir() + "/t", k.kind, "[a]\r\nk=old\r\n");
      if (!file.Made()) continue;  // no read-only folder on this file system
      SCOPED_TRACE(std::string(w.label) + " through a " + k.label);
      EXPECT_TRUE(w.write(file.Name()));
      EXPECT_EQ(file.Content(), w.expected);
      EXPECT_TRUE(file.Intact());
      EXPECT_EQ(ReadWholeFile(file.Name()), w.expected);
    }
}

TEST_F(RewriteTest, AFileThatCannotTakeTheNewContentStaysAsItWas) {
  // Its only name in a read-only folder, and the file itself immutable or
  // without write permission: nothing can be rewritten.
  for (const Kind kind : {Kind::kHardLink, Kind::kReadOnlyFolder}) {
    Linked file(Dir() + "/t", kind, "old");
    filetest::Unwritable locked(Dir() + "/t/real/file");
    if (!file.Made() || !locked.Made()) continue;
    EXPECT_FALSE(WriteWholeFile(file.Name(), "new"));
    EXPECT_FALSE(FileReplacement(file.Name()).IsOpen());
    EXPECT_EQ(file.Content(), "old");
    EXPECT_TRUE(file.Intact());
  }
  // A write that fails half way (the file-size limit of a full disk): the
  // journal is not finished, the file is not touched.
  for (const Kind kind : {Kind::kHardLink, Kind::kReadOnlyFolder}) {
    Linked file(Dir() + "/t", kind, "old");
    if (!file.Made()) continue;
    EXPECT_EXIT(WriteWithSmallFileLimit(file.Name(), Binary(1 << 20, 2)), ::testing::ExitedWithCode(0), "");
    EXPECT_EQ(file.Content(), "old");
    EXPECT_TRUE(file.Intact());
  }
}

TEST_F(RewriteTest, AKillAtAnyStepLeavesTheOldFileOrTheNewAndNothingBehind) {
  if (!HaveStrace()) GTEST_SKIP() << "strace is needed to kill the writer at a chosen step";
  // Four chunks of copy, and a shorter content than the old, so that a
  // kill before the cut leaves the old file's end behind the new content.
  const std::string old = Binary(5 << 20, 3), fresh = Binary((3 << 20) + 1000, 4);
  const std::string source = Dir() + "/source";
  Put(source, fresh);
  const struct {
    const char* call;
    int when;
    bool becomesNew;  // else the old file stays
    bool halfOnDisk;  // the file itself holds neither until it is next read
  } inPlace[] = {
      {"write", 1, false, false},     // the journal begun
      {"pwrite64", 1, false, false},  // the journal's end
      {"rename", 1, false, false},    // the journal made, not yet in place
      {"pwrite64", 2, true, false},   // nothing copied yet
      {"pwrite64", 3, true, true},    // a quarter copied
      {"pwrite64", 5, true, true},    // three quarters copied
      {"ftruncate", 1, true, true},   // all copied, not cut
      {"unlink", 1, true, false},     // done but for the journal
  };
  int n = 0;
  for (const Kind kind : {Kind::kHardLink, Kind::kReadOnlyFolder, Kind::kSymlinkIntoReadOnlyFolder})
    for (const auto& step : inPlace) {
      Linked file(Dir() + "/t", kind, old);
      if (!file.Made()) continue;
      SCOPED_TRACE(std::string(step.call) + " " + std::to_string(step.when) + ", kind " + std::to_string(int(kind)));
      const int status = KilledAt(step.call, step.when, file.Name(), source);
      ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 128 + SIGKILL) << status;
      EXPECT_EQ(file.Content() != old && file.Content() != fresh, step.halfOnDisk);
      const std::string& whole = step.becomesNew ? fresh : old;
      // The next reader finishes the rewrite first...
      if (n++ % 2) {
        EXPECT_EQ(ReadWholeFile(file.Name()), whole);
      } else {
        // ... and so does the start-up of any program.
        rewrite::FinishInterruptedRewrites();
      }
      rewrite::FinishInterruptedRewrites();  // the killed writer's unfinished journal goes
      EXPECT_EQ(file.Content(), whole);
      EXPECT_TRUE(file.Intact());
    }

  // Through a link to a file alone in its folder: a rename, old or new.
  for (const auto& step : {std::pair<const char*, int>{"write", 1}, {"rename", 1}, {"exit_group", 1}}) {
    Linked file(Dir() + "/t", Kind::kSymlink, old);
    const int status = KilledAt(step.first, step.second, file.Name(), source);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 128 + SIGKILL) << status;
    EXPECT_EQ(file.Content(), std::string(step.first) == "exit_group" ? fresh : old) << step.first;
  }
}
