// The quarvel program with a settings file written as on Windows: the
// default teacher's colours on the board from the start, and the manager
// opened by the board's settings button storing them back, all from
// outside (real pointer input, the screen as ImageMagick reads it).
#include <QDir>

#include <fstream>

#include "tests/board/ini_reader.h"
#include "tests/board/quarvel_run.h"

#include <gtest/gtest.h>

using namespace e2e;

TEST(QuarvelSettings, TheDefaultTeacherColoursTheBoardAndTheManagerStoresIt) {
  const std::string folder = std::string(getenv("QUARVEL_DRIVES")) + "/C/Program files/Common files/system";
  QDir().mkpath(QString::fromStdString(folder));
  // GBK text (the literals are GBK), CR LF.
  std::ofstream(folder + "/datb.sec", std::ios::binary)
      << "[tec]\r\nmum=1\r\nte1=Li\r\n[教师0]\r\nfrn=255\r\nblk=65280\r\nbh=4\r\n";
  Quarvel q;
  ASSERT_NE(Toolbar(), 0u);
  Click(1024 - 436 + 19, 20);  // the board
  ASSERT_TRUE(WaitFor([] { return ScreenPixel(1023, 38) == 65280; }));
  EXPECT_EQ(ScreenPixel(512, 400), 65280);

  // The settings button sits at 608 of the command strip, whose right end
  // is one pixel short of the screen's.
  Click(1023 - 722 + 608 + 19, 20);
  unsigned long manager = 0;
  ASSERT_TRUE(WaitFor([&] { return (manager = VisibleWindow("Form6")) != 0; }));
  Geometry g;
  ASSERT_TRUE(WaitFor([&] { return (g = GeometryOf(manager)).width == 560; }));
  EXPECT_EQ(g, (Geometry{(1024 - 560) / 2, (768 - 364) / 2, 560, 364}));
  Click(g.x + 464 + 44, g.y + 322 + 16);  // 确定
  ASSERT_TRUE(WaitFor([] { return VisibleWindow("Form6") == 0; }));
  const initest::Sections s = initest::ReadWithPython(folder + "/datb.sec");
  ASSERT_EQ(s.count("教师0"), 1u);
  EXPECT_EQ(s.at("教师0").at("blk"), "65280");
  EXPECT_EQ(s.at("教师0").at("bh"), "4");
  EXPECT_EQ(s.at("tec").at("te1"), "Li");
  EXPECT_EQ(s.at("tec").at("drive"), "C");
  EXPECT_EQ(Boxes(), "");
  EXPECT_TRUE(q.Running());
}
