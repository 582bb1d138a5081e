// Where the component looks for the source manager, its pointer list and
// TW_FIX32 numbers.
#include "twain/twain_link_utils.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "platform/fs/folders.h"

namespace fs = std::filesystem;

namespace {

class LibraryFolder : public ::testing::Test {
 protected:
  void SetUp() override {
    base_ = std::string(getenv("QUARVEL_TEST_DIR")) + "/" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name();
    fs::create_directories(base_ + "/cwd");
    fs::create_directories(base_ + "/tmp");
    setenv("QUARVEL_DRIVES", (base_ + "/drives").c_str(), 1);
    setenv("TMPDIR", (base_ + "/tmp").c_str(), 1);
    old_ = fs::current_path();
    fs::current_path(base_ + "/cwd");
  }
  void TearDown() override { fs::current_path(old_); }

  void Put(const std::string& folder, const std::string& name = "libtwain_32.so") {
    fs::create_directories(folder);
    std::ofstream(folder + "/" + name) << "a library";
  }
  std::string Windows() const { return base_ + "/drives/C/WINDOWS"; }
  std::string System() const { return base_ + "/drives/C/WINDOWS/system32"; }
  std::string Cwd() const { return base_ + "/cwd"; }

  std::string base_;
  fs::path old_;
};

}  // namespace

TEST_F(LibraryFolder, TheFirstFolderHoldingTheLibraryWins) {
  EXPECT_EQ(FindTwainLibraryFolder(), "");  // nowhere (the tests' program folder has none)
  Put(Cwd());
  EXPECT_EQ(FindTwainLibraryFolder(), GetCurrentDir() + "\\");
  Put(System());
  EXPECT_EQ(FindTwainLibraryFolder(), "C:\\WINDOWS\\system32\\");
  Put(Windows(), "TWAIN_32.DLL");  // under its Windows name
  EXPECT_EQ(FindTwainLibraryFolder(), "C:\\WINDOWS\\");
}

TEST_F(LibraryFolder, NeitherFoldersNorTheTemporaryFolderCount) {
  fs::create_directories(Cwd() + "/libtwain_32.so");
  fs::create_directories(Windows() + "/TWAIN_32.DLL");
  Put(base_ + "/tmp");
  EXPECT_EQ(FindTwainLibraryFolder(), "");
}

TEST(PointerList, GrowsByStepsAndReachesOnly256Entries) {
  TPointerList list;
  EXPECT_EQ(list.Count, 0);
  EXPECT_EQ(list.Capacity, 10);
  int cells[300];
  for (int i = 0; i < 300; ++i) list.Add(&cells[i]);
  EXPECT_EQ(list.Count, 300);
  EXPECT_EQ(list.Capacity, 300);
  EXPECT_EQ(list.GetItems(0), &cells[0]);
  EXPECT_EQ(list.GetItems(255), &cells[255]);
  EXPECT_EQ(list.GetItems(256), nullptr);
  EXPECT_EQ(list.GetItems(-1), nullptr);
  EXPECT_EQ(list.GetList()[299], &cells[299]);  // held, only not reachable
  list.SetItems(256, &cells[0]);
  EXPECT_EQ(list.GetList()[256], &cells[256]);
  list.SetItems(3, &cells[9]);
  EXPECT_EQ(list.GetItems(3), &cells[9]);

  list.Count = 5;
  EXPECT_EQ(list.GetItems(5), nullptr);
  list.SetItems(7, &cells[0]);  // beyond Count: ignored
  list.Count = -1;
  EXPECT_EQ(list.Count, 5);
  list.Capacity = 4;  // below Count
  EXPECT_EQ(list.Capacity, 300);
  list.Capacity = 0;
  EXPECT_EQ(list.Capacity, 300);
  list.Capacity = 6;
  EXPECT_EQ(list.Capacity, 6);
  list.Count = 13;
  EXPECT_EQ(list.Capacity, 16);
  list.Clear();
  EXPECT_EQ(list.Count, 0);
  EXPECT_EQ(list.Capacity, 10);
}

TEST(Fix32, ValuesRoundToTheNearestSixtyFiveThousandth) {
  struct Case {
    double value;
    TW_INT16 whole;
    TW_UINT16 frac;
  } cases[] = {
      {150, 150, 0},           {72.5, 72, 32768},        {-0.5, -1, 32768},    {0.999999, 1, 0},
      {-150.25, -151, 49152},  {1e6, 32767, 65535},      {-1e6, -32768, 0},    {NAN, 0, 0},
      {1.0 / 65536, 0, 1},
  };
  for (const Case& c : cases) {
    TW_FIX32 f = FloatToFix32(c.value);
    EXPECT_EQ(f.Whole, c.whole) << c.value;
    EXPECT_EQ(f.Frac, c.frac) << c.value;
  }
  for (double v : {150.0, 72.5, -0.5, 0.1, 1234.5678, -32768.0})
    EXPECT_NEAR(Fix32ToFloat(FloatToFix32(v)), v, 0.5 / 65536) << v;
  EXPECT_DOUBLE_EQ(Fix32ToFloat(TW_FIX32{-1, 32768}), -0.5);
}
