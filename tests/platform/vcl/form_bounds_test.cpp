// Moving a frameless form keeps its size: Left and Top go through
// SetBounds with the form's own width and height.
#include "tests/platform/vcl/vcl_test.h"

#include <gtest/gtest.h>

TEST(FormBounds, MovingAFramelessFormKeepsItsSize) {
  test::App();
  TForm* f = new TForm(Application);
  f->BorderStyle = bsNone;
  f->ClientWidth = 343;
  f->ClientHeight = 39;
  (void)f->Handle();  // with its X window made, as a create handler may have it
  for (int i = 0; i < 3; ++i) {
    f->Top = i;
    f->Left = 588 + i;
  }
  EXPECT_EQ(f->Width(), 343);
  EXPECT_EQ(f->Height(), 39);
  f->Show();
  ASSERT_TRUE(test::Shown(f));
  f->Top = 0;
  EXPECT_EQ(f->ClientWidth(), 343);
  EXPECT_EQ(f->ClientHeight(), 39);
  delete f;
}

TEST(FormBounds, AFramedFormNotShownYetCountsNoFrame) {
  test::App();
  TForm* f = new TForm(Application);
  f->SetBounds(10, 20, 300, 200);
  EXPECT_EQ(f->Width(), 300);
  EXPECT_EQ(f->Height(), 200);
  EXPECT_EQ(f->ClientWidth(), 300);
  f->Left = 30;
  EXPECT_EQ(f->Width(), 300);
  delete f;
}
