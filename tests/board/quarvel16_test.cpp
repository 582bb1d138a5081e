// The quarvel program on a 16-bit X server: it offers to switch to 24-bit
// colour, and goes on whatever the answer (the display cannot be changed
// by a client on X11).
#include "tests/board/quarvel_run.h"

#include <gtest/gtest.h>

using namespace e2e;

TEST(Quarvel16, AScreenBelow24BitsBringsTheColourDepthQuestionAndStartUpGoesOn) {
  const std::string question = u8"提示信息\t您的系统颜色质量设置低于24位，是否调整?\n";
  for (const char* answer : {"NO\n", "YES\n"}) {
    remove((TestDir() + "/boxes.log").c_str());
    Answer(answer);
    Quarvel q;
    const unsigned long bar = Toolbar();
    ASSERT_NE(bar, 0u) << answer;
    EXPECT_EQ(Boxes(), question) << answer;
    EXPECT_TRUE(GeometryOf(bar) == (Geometry{1024 - 436, 0, 343, 39}));
    EXPECT_TRUE(q.Running());
  }
}
