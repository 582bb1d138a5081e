// Two quick clicks on a button are two clicks (the second press arrives as
// the press of a double click).
#include "platform/vcl/buttons.h"
#include "platform/vcl/extctrls.h"
#include "tests/platform/vcl/vcl_test.h"

#include <gtest/gtest.h>

TEST(Click, EveryReleaseOfAQuickSeriesOfClicksClicks) {
  test::App();
  TForm* f = new TForm(Application);
  f->BorderStyle = bsNone;
  f->SetBounds(100, 100, 200, 100);
  TPanel* panel = new TPanel(f);
  panel->Parent = f;
  panel->SetBounds(0, 0, 200, 100);
  TSpeedButton* b = new TSpeedButton(f);
  b->Parent = panel;
  b->SetBounds(10, 10, 38, 38);
  int clicks = 0, doubles = 0;
  b->OnClick = [&](TObject*) { ++clicks; };
  b->OnDblClick = [&](TObject*) { ++doubles; };
  f->Show();
  ASSERT_TRUE(test::Shown(f));
  ASSERT_TRUE(test::XdoWhileRunning("mousemove 129 129 click --repeat 3 --delay 60 1"));
  EXPECT_TRUE(test::WaitFor([&] { return clicks == 3; })) << clicks;
  EXPECT_GE(doubles, 1);
  delete f;
}
