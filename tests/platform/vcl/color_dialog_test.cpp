// The colour dialog on a real X server: what it offers, real keys, and the
// scripted answers that tests of the programs use.
#include <QApplication>
#include <QColorDialog>
#include <QTimer>

#include <cstdio>
#include <fstream>

#include "platform/vcl/dialogs.h"
#include "tests/platform/vcl/vcl_test.h"

#include <gtest/gtest.h>

namespace {

// What each colour dialog offered when it came up.
struct Watch : test::DialogWatch<QColorDialog> {
  Watch() {
    onShown = [this](QColorDialog* d) { offered = d->currentColor(); };
  }
  QColor offered;
};

void Answers(const char* text) {
  std::ofstream("answers") << text;
  setenv("QUARVEL_MSGBOX_ANSWERS", "answers", 1);
}

}  // namespace

TEST(ColorDialog, OffersItsColourAndTakesRealKeys) {
  test::App();
  unsetenv("QUARVEL_MSGBOX_ANSWERS");
  TColorDialog dialog(Application);
  dialog.Color = TColor(0x123456);  // $BBGGRR: red 0x56, green 0x34, blue 0x12
  Watch watch;
  watch.whenUp = [](QColorDialog*) { test::Xdo("key Escape"); };
  EXPECT_FALSE(dialog.Execute());
  EXPECT_EQ(watch.offered, QColor(0x56, 0x34, 0x12));
  EXPECT_EQ(dialog.Color(), TColor(0x123456));

  dialog.Color = clTeal;
  watch.last = nullptr;
  watch.whenUp = [](QColorDialog*) { test::Xdo("key Return"); };
  EXPECT_TRUE(dialog.Execute());
  EXPECT_EQ(dialog.Color(), clTeal);
  EXPECT_EQ(watch.shown, 2);
}

TEST(ColorDialog, ScriptedAnswersAreTakenInTurnAfterTheDialogIsShown) {
  test::App();
  Answers("COLOR $0000FF\nCANCEL\n\ncolor 8421504\nOK $00FF00\n");
  TColorDialog dialog(Application);
  Watch watch;
  auto next = [&] {
    watch.last = nullptr;
    return dialog.Execute();
  };
  EXPECT_TRUE(next());
  EXPECT_EQ(dialog.Color(), clRed);
  EXPECT_FALSE(next());
  EXPECT_EQ(dialog.Color(), clRed);
  EXPECT_TRUE(next());
  EXPECT_EQ(dialog.Color(), clGray);
  // An answer that is no colour cancels (a message box's OK included).
  EXPECT_FALSE(next());
  EXPECT_EQ(dialog.Color(), clGray);
  EXPECT_EQ(watch.shown, 4);
  // The file ran out: the next dialog waits for a person (here: a key).
  watch.whenUp = [](QColorDialog*) { test::Xdo("key Return"); };
  EXPECT_TRUE(next());
  EXPECT_EQ(dialog.Color(), clGray);
  unsetenv("QUARVEL_MSGBOX_ANSWERS");
}
