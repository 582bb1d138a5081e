// The font dialog on a real X server: what it offers, real keys, the
// person's choice, the Apply button, and the scripted answers that tests of
// the programs use.
#include <QApplication>
#include <QDialogButtonBox>
#include <QFontDialog>
#include <QPushButton>
#include <QTimer>
#include <QWindow>

#include <fstream>

#include "platform/text/gbk.h"
#include "platform/vcl/dialogs.h"
#include "tests/platform/vcl/vcl_test.h"

#include <gtest/gtest.h>

namespace {

// What each font dialog offered when it came up, and its buttons.
struct Watch : test::DialogWatch<QFontDialog> {
  Watch() {
    onShown = [this](QFontDialog* d) {
      offered = d->currentFont();
      buttons.clear();
      for (QPushButton* b : d->findChildren<QPushButton*>()) buttons << b->text();
    };
  }
  QFont offered;
  QStringList buttons;
};

QString Q(const char* gbkText) { return gbk::ToQString(gbkText); }

class FontDialog : public ::testing::Test {
 protected:
  void SetUp() override {
    test::App();
    unsetenv("QUARVEL_MSGBOX_ANSWERS");
    dialog = new TFontDialog(Application);
    dialog->Font->Name = "隶书";
    dialog->Font->Height = -48;
    dialog->Font->Color = clRed;
  }
  void TearDown() override { delete dialog; }
  bool Run() {
    watch.last = nullptr;
    return dialog->Execute();
  }
  TFontDialog* dialog = nullptr;
  std::unique_ptr<Watch> watching = (test::App(), std::make_unique<Watch>());
  Watch& watch = *watching;
};

}  // namespace

TEST_F(FontDialog, OffersItsFontInPointsAndKeepsAFaceThatIsNotInstalled) {
  watch.whenUp = [](QFontDialog*) { test::Xdo("key Escape"); };
  EXPECT_FALSE(Run());
  EXPECT_EQ(watch.offered.pointSizeF(), 36.0);  // 48 pixels
  EXPECT_FALSE(watch.buttons.contains(Q("应用")));
  EXPECT_TRUE(watch.buttons.contains(Q("颜色...")));

  watch.whenUp = [](QFontDialog*) { test::Xdo("key Return"); };
  EXPECT_TRUE(Run());
  EXPECT_EQ(dialog->Font->Name(), "隶书");
  EXPECT_EQ(dialog->Font->Height(), -48);
  EXPECT_EQ(dialog->Font->Color(), clRed);
  EXPECT_TRUE(dialog->Font->Style().Empty());
  EXPECT_EQ(watch.shown, 2);
}

TEST_F(FontDialog, ThePersonsChoiceBecomesTheFont) {
  watch.whenUp = [](QFontDialog* d) {
    QFont f("DejaVu Sans");
    f.setPointSizeF(18);
    f.setBold(true);
    f.setUnderline(true);
    d->setCurrentFont(f);
    test::Xdo("key Return");
  };
  ASSERT_TRUE(Run());
  EXPECT_EQ(dialog->Font->Name(), "DejaVu Sans");
  EXPECT_EQ(dialog->Font->Height(), -24);
  EXPECT_EQ(dialog->Font->Style(), (TFontStyles{fsBold, fsUnderline}));
  EXPECT_EQ(dialog->Font->Color(), clRed);
}

TEST_F(FontDialog, ApplyShowsTheFontToTheHandlerWhileTheDialogStays) {
  std::vector<std::pair<AnsiString, int>> applied;
  HWND applyWindow = 0;
  dialog->OnApply = [&](TObject* sender, HWND wnd) {
    EXPECT_EQ(sender, dialog);
    applied.push_back({dialog->Font->Name(), dialog->Font->Height()});
    applyWindow = wnd;
  };
  watch.whenUp = [&](QFontDialog* d) {
    QFont f("DejaVu Sans");
    f.setPointSizeF(24);
    d->setCurrentFont(f);
    for (QPushButton* b : d->findChildren<QPushButton*>())
      if (b->text() == Q("应用")) {
        // A real click on the button.
        const QPoint p = b->mapToGlobal(b->rect().center());
        test::Xdo("mousemove " + std::to_string(p.x()) + " " + std::to_string(p.y()) + " click 1");
      }
    QTimer::singleShot(200, d, [d] {
      EXPECT_TRUE(d->isVisible());
      d->reject();
    });
  };
  EXPECT_FALSE(Run());
  EXPECT_TRUE(watch.buttons.contains(Q("应用")));
  ASSERT_EQ(applied.size(), 1u);
  EXPECT_EQ(applied[0].first, "DejaVu Sans");
  EXPECT_EQ(applied[0].second, -32);
  EXPECT_NE(applyWindow, HWND(0));
}

TEST_F(FontDialog, ScriptedAnswersApplyConfirmAndCancelInTurn) {
  std::ofstream("answers") << u8"APPLY -32 $0000FF B 宋体\nAPPLY -20 0 IU Noto Sans CJK\nFONT -24 0x00FF00 - 黑体\n"
                              u8"CANCEL\nFONT -x\nFONT 12 1 - 楷体\n";
  setenv("QUARVEL_MSGBOX_ANSWERS", "answers", 1);
  std::vector<std::string> applied;
  dialog->OnApply = [&](TObject*, HWND) {
    applied.push_back(dialog->Font->Name() + " " + std::to_string(dialog->Font->Height()) + " " +
                      std::to_string(dialog->Font->Color()) + " " + std::to_string(dialog->Font->Style().Bits()));
  };
  ASSERT_TRUE(Run());
  EXPECT_EQ(applied, (std::vector<std::string>{"宋体 -32 255 1", "Noto Sans CJK -20 0 6"}));
  EXPECT_EQ(dialog->Font->Name(), "黑体");
  EXPECT_EQ(dialog->Font->Height(), -24);
  EXPECT_EQ(dialog->Font->Color(), clLime);
  EXPECT_TRUE(dialog->Font->Style().Empty());
  EXPECT_FALSE(Run());
  EXPECT_EQ(dialog->Font->Name(), "黑体");
  EXPECT_FALSE(Run());  // no font: cancels
  EXPECT_TRUE(Run());   // a positive height is a cell height
  EXPECT_EQ(dialog->Font->Name(), "楷体");
  EXPECT_EQ(dialog->Font->Height(), 12);
  EXPECT_EQ(watch.shown, 4);
  unsetenv("QUARVEL_MSGBOX_ANSWERS");
}
