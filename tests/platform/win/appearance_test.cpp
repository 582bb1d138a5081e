// The fixed look of the system: 3-D frames drawn with these colours need
// every one of them to differ from the others, and the borders are 1 pixel.
#include "platform/win/appearance.h"

#include <gtest/gtest.h>

#include <set>

TEST(Appearance, DistinctThreeDColoursAndOnePixelBorders) {
  const int indexes[] = {COLOR_BTNFACE,      COLOR_BTNSHADOW,  COLOR_BTNTEXT,
                         COLOR_BTNHIGHLIGHT, COLOR_3DDKSHADOW, COLOR_3DLIGHT};
  std::set<COLORREF> colours;
  for (int i : indexes) colours.insert(GetSysColor(i));
  EXPECT_EQ(colours.size(), std::size(indexes));
  EXPECT_EQ(GetSysColor(COLOR_BTNHIGHLIGHT), RGB(255, 255, 255));
  EXPECT_EQ(GetSysColor(COLOR_BTNTEXT), RGB(0, 0, 0));
  EXPECT_EQ(GetSysColor(-1), 0u);
  EXPECT_EQ(GetSystemMetrics(SM_CXBORDER), 1);
  EXPECT_EQ(GetSystemMetrics(SM_CYBORDER), 1);
  EXPECT_EQ(GetSystemMetrics(0), 0);
}
