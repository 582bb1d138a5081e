// CMerroFun's folder and file dialogs, answered through the environment.
#include "merrobase/fun.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/fs/path.h"
#include "platform/text/gbk.h"
#include "tests/platform/win/answered_test.h"

namespace fs = std::filesystem;

namespace {

class FunDialogs : public test::AnsweredTest {
 protected:
  FunDialogs() : AnsweredTest("dialogs.log") {}
  void SetUp() override {
    AnsweredTest::SetUp();
    drives_ = winpath::DrivesRoot();
  }
  std::vector<std::string> Log() {
    std::ifstream f(dir_ + "dialogs.log");
    std::vector<std::string> lines;
    for (std::string line; std::getline(f, line);) lines.push_back(line);
    return lines;
  }
  std::string drives_;
};

}  // namespace

TEST_F(FunDialogs, BrowseFolderGivesTheChosenFolderAndCancelEmptiesIt) {
  const std::string folder = drives_ + u8"/D/课件";
  fs::create_directories(folder);
  Answers("FILE " + folder + "\nCANCEL\n");
  CMerroFun fun;
  // Drive paths, as the host's own names are.
  EXPECT_EQ(fun.On_Browse_Folder(), "D:\\课件");
  EXPECT_EQ(fun.m_strFolder, "D:\\课件");
  EXPECT_EQ(fun.On_Browse_Folder(), "");
  EXPECT_EQ(fun.m_strFolder, "");
  const std::vector<std::string> log = Log();
  ASSERT_EQ(log.size(), 2u);
  EXPECT_EQ(log[0].substr(0, log[0].rfind('\t')), u8"选择文件夹\tFOLDER\t" + drives_);
}

TEST_F(FunDialogs, FindFileRunsOpenOrSaveAndGivesThePathOrNothing) {
  fs::create_directories(drives_ + "/D/data");
  const std::string chosen = drives_ + "/D/data/b.txt";
  Answers("FILE " + chosen + "\nCANCEL\nFILE " + chosen + "\n");
  CMerroFun fun;
  // "文本" is GBK here, as a host passes it.
  EXPECT_EQ(fun.On_Find_File(1, "txt", "D:\\data\\a.txt", "文本 (*.txt)|*.txt|All|*.*||"), "D:\\data\\b.txt");
  EXPECT_EQ(fun.On_Find_File(1, "txt", "", "Text|*.txt||"), "");
  EXPECT_EQ(fun.On_Find_File(0, "txt", "out.txt", ""), "D:\\data\\b.txt");
  const std::vector<std::string> log = Log();
  ASSERT_EQ(log.size(), 3u);
  EXPECT_NE(log[0].find(u8"\tOPEN\t" + drives_ + u8"/D/data/a.txt\t文本 (*.txt) (*.txt);;All (*)"),
            std::string::npos)
      << log[0];
  EXPECT_NE(log[2].find("\tSAVE\t" + dir_ + "out.txt\t"), std::string::npos) << log[2];
}
