// Files replaced and removed together, and what the recovery makes of the
// journals and temporary files that killed programs leave. Journals of
// killed programs are written here by hand, as a program killed between
// its renames leaves them (the lesson tests kill a real one with strace),
// and as someone might craft them.
#include "platform/fs/file_batch.h"

#include "fs_fixture.h"

#include <sys/wait.h>

using FileBatchTest = FsTest;

namespace {

// The id of a program that has ended.
pid_t DeadPid() {
  const pid_t pid = fork();
  if (pid == 0) _exit(0);
  waitpid(pid, nullptr, 0);
  return pid;
}

std::string Temp(pid_t pid, int n) { return ".quarvel-" + std::to_string(pid) + "-" + std::to_string(n) + ".tmp"; }
std::string JournalName(pid_t pid) { return ".quarvel-" + std::to_string(pid) + "-0.journal"; }

// A journal: "R" temporary target, "D" name, zero-terminated fields.
std::string Journal(const std::vector<std::vector<std::string>>& records, bool whole = true) {
  std::string out = "quarvel file batch 1\n";
  for (const auto& r : records)
    for (const std::string& f : r) out += f + '\0';
  if (whole) out += std::string("E") + '\0';
  return out;
}

}  // namespace

TEST_F(FileBatchTest, CommitPutsEveryFileInPlaceRemovesTheOthersAndLeavesNothingElse) {
  const std::string d = Root() + "/C/data/";
  Put(d + "a", "old a");
  Put(d + "b", "old b");
  Put(d + "c", "old c");
  FileReplacement a("C:\\data\\a"), n("C:\\data\\new");
  ASSERT_TRUE(a.Write("new a", 5));
  ASSERT_TRUE(n.Write("new", 3));
  FileBatch batch("C:\\data\\");
  batch.Replace(&a);
  batch.Replace(&n);
  batch.Remove("C:\\data\\c");
  batch.Remove("C:\\data\\never there");
  ASSERT_TRUE(batch.Commit());
  EXPECT_EQ(Names(d), (std::vector<std::string>{"a", "b", "new"}));
  EXPECT_EQ(Get(d + "a"), "new a");
  EXPECT_EQ(Get(d + "b"), "old b");
  EXPECT_EQ(Get(d + "new"), "new");

  // A batch dropped before its commit leaves everything as it was.
  {
    FileReplacement b("C:\\data\\b");
    ASSERT_TRUE(b.Write("newer", 5) && b.Finish());
    FileBatch dropped("C:\\data\\");
    dropped.Replace(&b);
  }
  EXPECT_EQ(Names(d), (std::vector<std::string>{"a", "b", "new"}));
  EXPECT_EQ(Get(d + "b"), "old b");
}

TEST_F(FileBatchTest, RecoveryFinishesAKilledProgramsJournalAndRemovesOnlyDeadProgramsTemporaryFiles) {
  const std::string d = Root() + "/C/data/";
  const pid_t dead = DeadPid(), live = getppid();
  // Killed after its first rename: "p1" is new already, "p2" and the index
  // still wait under their temporary names, "old.te" is still there.
  Put(d + "p1", "new 1");
  Put(d + "p2", "old 2");
  Put(d + "idx", "old index");
  Put(d + "old.te", "old note");
  Put(d + Temp(dead, 1), "new 2");
  Put(d + Temp(dead, 2), "new index");
  Put(d + JournalName(dead), Journal({{"R", d + Temp(dead, 0), d + "p1"},
                                      {"R", d + Temp(dead, 1), d + "p2"},
                                      {"R", d + Temp(dead, 2), d + "idx"},
                                      {"D", "old.te"}}));
  // Stale temporary files of the dead program; a running one's are its own.
  Put(d + Temp(dead, 7), std::string(1000, 'x'));
  Put(d + Temp(live, 3), "in use");
  Put(d + JournalName(live), Journal({{"D", "p1"}}));

  EXPECT_TRUE(RecoverFileBatches("C:\\data\\"));
  EXPECT_EQ(Names(d), (std::vector<std::string>{JournalName(live), Temp(live, 3), "idx", "p1", "p2"}));
  EXPECT_EQ(Get(d + "p1"), "new 1");
  EXPECT_EQ(Get(d + "p2"), "new 2");
  EXPECT_EQ(Get(d + "idx"), "new index");
  // Nothing more to do the second time.
  EXPECT_TRUE(RecoverFileBatches("C:\\data\\"));
  EXPECT_EQ(Names(d).size(), 5u);
}

TEST_F(FileBatchTest, AJournalCutShortDamagedOrReachingBeyondItsFolderDoesNothing) {
  const std::string d = Root() + "/C/data/", other = Root() + "/C/other/";
  const pid_t dead = DeadPid();
  const struct {
    const char* name;
    std::string journal;
  } cases[] = {
      {"cut short", Journal({{"R", d + Temp(dead, 1), d + "p"}}, false)},
      {"not a journal", "random bytes\n\x01\x02"},
      {"removal outside the folder", Journal({{"D", "../other/victim"}})},
      {"removal of the folder", Journal({{"D", ".."}})},
      {"rename into another folder", Journal({{"R", d + Temp(dead, 1), other + "victim"}})},
      {"rename of a file that is no temporary one", Journal({{"R", d + "p", d + "q"}})},
      {"unknown record", Journal({{"X", "p"}})},
  };
  for (const auto& c : cases) {
    std::filesystem::remove_all(d);
    Put(d + "p", "p");
    Put(d + "q", "q");
    Put(d + Temp(dead, 1), "new");
    Put(other + "victim", "victim");
    Put(d + JournalName(dead), c.journal);
    RecoverFileBatches("C:\\data\\");
    EXPECT_EQ(Names(d), (std::vector<std::string>{"p", "q"})) << c.name;
    EXPECT_EQ(Get(d + "p"), "p") << c.name;
    EXPECT_EQ(Get(d + "q"), "q") << c.name;
    EXPECT_EQ(Get(other + "victim"), "victim") << c.name;
  }
}
