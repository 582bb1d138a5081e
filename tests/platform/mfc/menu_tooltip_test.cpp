// Popup menus (CMenu over QMenu) chosen with real clicks, tooltips
// (CToolTipCtrl over Qt's tips) brought up by a resting pointer, and the
// colour chooser answered through the dialogs' test variables.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QMenu>
#include <QPointer>
#include <QTimer>
#include <QToolTip>
#include <cstdlib>
#include <thread>

#include "platform/mfc/color_dialog.h"
#include "platform/mfc/menu.h"
#include "platform/mfc/tooltip.h"
#include "tests/platform/mfc/wnd_support.h"

namespace {

using test::At;
using test::Recorder;
using test::WaitFor;
using test::Xdo;

struct Shown {
  QString text;
  bool checkable, checked, separator, submenu;
  bool operator==(const Shown& o) const {
    return text == o.text && checkable == o.checkable && checked == o.checked && separator == o.separator &&
           submenu == o.submenu;
  }
};

std::vector<Shown> ItemsOf(const QMenu* m) {
  std::vector<Shown> out;
  for (QAction* a : m->actions())
    out.push_back({a->text(), a->isCheckable(), a->isChecked(), a->isSeparator(), a->menu() != nullptr});
  return out;
}

// While a popup menu runs: waits for it (and for `path` of submenu titles
// to open, by pointing at them), records what it shows, then does `finish`
// to it with xdotool (a click at the centre of the item titled `choose`,
// or a key).
class MenuDriver {
 public:
  MenuDriver(std::vector<QString> path, QString choose, std::string key = "")
      : path_(std::move(path)), choose_(std::move(choose)), key_(std::move(key)) {
    timer_.setInterval(20);
    QObject::connect(&timer_, &QTimer::timeout, [this] { Step(); });
    timer_.start();
  }
  ~MenuDriver() {
    if (worker_.joinable()) worker_.join();
  }
  std::vector<Shown> top, sub;

 private:
  void Step() {
    if (busy_) return;
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    if (!menu || !menu->isVisible()) return;
    if (top.empty()) top = ItemsOf(menu);
    if (depth_ < path_.size()) {
      for (QAction* a : menu->actions())
        if (a->text() == path_[depth_] && a->menu()) {
          opening_ = a->menu();
          ++depth_;
          Run(Point(menu, a) + " click 1");
          return;
        }
      return;
    }
    if (opening_ && menu != opening_) return;  // the submenu is not up yet
    if (opening_) sub = ItemsOf(menu);
    timer_.stop();
    if (!key_.empty()) return Run("key " + key_);
    for (QAction* a : menu->actions())
      if (a->text() == choose_) return Run(Point(menu, a) + " click 1");
  }
  static std::string Point(QMenu* m, QAction* a) {
    const QPoint c = m->mapToGlobal(m->actionGeometry(a).center());
    return At(c.x(), c.y());
  }
  void Run(const std::string& args) {
    if (worker_.joinable()) worker_.join();
    busy_ = true;
    worker_ = std::thread([this, args] {
      system(("xdotool " + args + " >/dev/null 2>&1").c_str());
      busy_ = false;
    });
  }

  std::vector<QString> path_;
  QString choose_;
  std::string key_;
  size_t depth_ = 0;
  QPointer<QMenu> opening_;
  std::atomic<bool> busy_{false};
  QTimer timer_;
  std::thread worker_;
};

class MenuTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::App();
    ASSERT_TRUE(owner.Create(nullptr, "owner", WS_POPUP | WS_VISIBLE, RECT{0, 0, 100, 100}, nullptr, 0));
    ASSERT_TRUE(menu.CreatePopupMenu());
    ASSERT_TRUE(sub.CreatePopupMenu());
    ASSERT_TRUE(sub.AppendMenu(MF_STRING, 11, "正常"));
    ASSERT_TRUE(sub.AppendMenu(MF_STRING, 12, "经过"));
    ASSERT_TRUE(menu.AppendMenu(MF_POPUP, UINT_PTR(sub.m_hMenu), "颜色"));
    ASSERT_TRUE(menu.AppendMenu(MF_STRING | MF_CHECKED, 21, "提示"));
    ASSERT_TRUE(menu.AppendMenu(MF_STRING, 22, "移动"));
    ASSERT_TRUE(menu.AppendMenu(MF_SEPARATOR));
  }
  void TearDown() override { Xdo("mousemove 900 700"); }

  const test::Recorder<>::Got* Command() const { return owner.Last(WM_COMMAND); }

  Recorder<> owner;
  CMenu menu, sub;
};

TEST_F(MenuTest, AChosenItemIsPostedToTheOwner) {
  MenuDriver driver({}, QStringLiteral("移动"));
  EXPECT_TRUE(menu.TrackPopupMenu(TPM_LEFTALIGN | TPM_RIGHTBUTTON, 200, 150, &owner));
  EXPECT_EQ(driver.top, (std::vector<Shown>{{QStringLiteral("颜色"), false, false, false, true},
                                            {QStringLiteral("提示"), true, true, false, false},
                                            {QStringLiteral("移动"), false, false, false, false},
                                            {QString(), false, false, true, false}}));
  EXPECT_EQ(Command(), nullptr) << "posted, so it arrives after the call";
  ASSERT_TRUE(WaitFor([&] { return Command() != nullptr; }));
  EXPECT_EQ(Command()->wParam, WPARAM(22));
}

TEST_F(MenuTest, SubmenuItemsAndTheReturnedCommand) {
  MenuDriver driver({QStringLiteral("颜色")}, QStringLiteral("经过"));
  EXPECT_EQ(menu.TrackPopupMenu(TPM_RETURNCMD, 200, 150, &owner), 12);
  EXPECT_EQ(driver.sub, (std::vector<Shown>{{QStringLiteral("正常"), false, false, false, false},
                                            {QStringLiteral("经过"), false, false, false, false}}));
  test::RunFor(100);
  EXPECT_EQ(Command(), nullptr) << "TPM_RETURNCMD posts nothing";
}

TEST_F(MenuTest, DismissedMenusChooseNothing) {
  {
    MenuDriver driver({}, QString(), "Escape");
    EXPECT_EQ(menu.TrackPopupMenu(TPM_RETURNCMD, 200, 150, &owner), 0);
  }
  {
    MenuDriver driver({}, QString(), "Escape");
    EXPECT_TRUE(menu.TrackPopupMenu(0, 200, 150, &owner));
  }
  test::RunFor(100);
  EXPECT_EQ(Command(), nullptr);
  EXPECT_FALSE(menu.TrackPopupMenu(0, 200, 150, nullptr)) << "no owner";
}

TEST_F(MenuTest, DestroyingAMenuTakesItsSubmenusAndRefusesStaleHandles) {
  EXPECT_EQ(menu.GetMenuItemCount(), 4u);
  const HMENU old = sub.m_hMenu;
  EXPECT_TRUE(menu.DestroyMenu());
  EXPECT_FALSE(sub.DestroyMenu()) << "went with its menu";
  EXPECT_FALSE(menu.DestroyMenu());
  EXPECT_FALSE(menu.AppendMenu(MF_STRING, 1, "x"));
  ASSERT_TRUE(sub.CreatePopupMenu());
  EXPECT_NE(sub.m_hMenu, old) << "handles are not used again";
  CMenu stale;
  stale.m_hMenu = old;
  EXPECT_FALSE(stale.AppendMenu(MF_STRING, 1, "x"));
  EXPECT_FALSE(sub.AppendMenu(MF_POPUP, UINT_PTR(old), "gone"));
  EXPECT_FALSE(sub.AppendMenu(MF_POPUP, UINT_PTR(sub.m_hMenu), "itself"));
}

// A window relaying its messages to a tooltip, as a control's
// PreTranslateMessage does.
struct Tipped : Recorder<> {
  CToolTipCtrl tip;
  BOOL PreTranslateMessage(MSG* m) override {
    tip.RelayEvent(m);
    return FALSE;
  }
};

TEST(ToolTipTest, ARestingPointerShowsTheTipUntilAClick) {
  test::App();
  Tipped w;
  ASSERT_TRUE(w.Create(nullptr, "tipped", WS_POPUP | WS_VISIBLE, RECT{300, 300, 400, 360}, nullptr, 0));
  EXPECT_FALSE(w.tip.IsCreated());
  ASSERT_TRUE(w.tip.Create(&w));
  w.tip.Activate(TRUE);
  ASSERT_TRUE(w.tip.AddTool(&w, "木: 第3笔[撇]"));
  const QString text = QStringLiteral("木: 第3笔[撇]");
  auto showing = [&] { return QToolTip::isVisible() && QToolTip::text() == text; };
  ASSERT_TRUE(Xdo(At(320, 320) + " sleep 0.05 " + At(330, 325)));
  EXPECT_TRUE(WaitFor(showing));

  ASSERT_TRUE(Xdo("click 1"));
  EXPECT_TRUE(WaitFor([] { return !QToolTip::isVisible(); }));
  ASSERT_TRUE(Xdo(At(335, 328)));
  test::RunFor(900);
  EXPECT_FALSE(QToolTip::isVisible()) << "not again until the pointer leaves";
  ASSERT_TRUE(Xdo(At(600, 600) + " sleep 0.1 " + At(340, 330)));
  EXPECT_TRUE(WaitFor(showing));

  w.tip.Activate(FALSE);
  EXPECT_TRUE(WaitFor([] { return !QToolTip::isVisible(); }));
  ASSERT_TRUE(Xdo(At(600, 600) + " sleep 0.1 " + At(345, 331)));
  test::RunFor(900);
  EXPECT_FALSE(QToolTip::isVisible()) << "inactive";
  EXPECT_TRUE(w.tip.DestroyWindow());
  EXPECT_FALSE(w.tip.IsCreated());
  Xdo("mousemove 900 700");
}

// The dialogs' test variables: an answer file and a log, in the test's
// own folder.
class ColorDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::App();
    const std::string dir = getenv("QUARVEL_TEST_DIR") ? getenv("QUARVEL_TEST_DIR") : ".";
    answers = dir + "/answers";
    log = dir + "/log";
    setenv("QUARVEL_MSGBOX_ANSWERS", answers.c_str(), 1);
    setenv("QUARVEL_MSGBOX_LOG", log.c_str(), 1);
    QFile::remove(QString::fromStdString(log));
  }
  void TearDown() override {
    unsetenv("QUARVEL_MSGBOX_ANSWERS");
    unsetenv("QUARVEL_MSGBOX_LOG");
  }
  void Answer(const char* lines) {
    QFile f(QString::fromStdString(answers));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(lines);
  }
  QByteArray Log() {
    QFile f(QString::fromStdString(log));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
  }
  std::string answers, log;
};

TEST_F(ColorDialogTest, AnsweredChoicesAndCancels) {
  Answer("COLOR #102030\nCANCEL\ncolour red\n");
  CColorDialog chosen;
  EXPECT_EQ(chosen.DoModal(), IDOK);
  EXPECT_EQ(chosen.GetColor(), RGB(0x10, 0x20, 0x30));
  CColorDialog cancelled(RGB(1, 2, 3));
  EXPECT_EQ(cancelled.DoModal(), IDCANCEL);
  EXPECT_EQ(cancelled.GetColor(), RGB(1, 2, 3)) << "unchanged";
  CColorDialog garbled;
  EXPECT_EQ(garbled.DoModal(), IDCANCEL);
  const QList<QByteArray> lines = Log().trimmed().split('\n');
  ASSERT_EQ(lines.size(), 3);
  EXPECT_TRUE(lines[0].endsWith("\tCOLOR\t#000000")) << lines[0].constData();
  EXPECT_TRUE(lines[1].endsWith("\tCOLOR\t#010203")) << lines[1].constData();
}

TEST_F(ColorDialogTest, OffTheGuiThreadTheDialogRunsThere) {
  Answer("COLOR #ff8000\n");
  INT_PTR result = 0;
  COLORREF colour = 0;
  std::atomic<bool> done{false};
  std::thread worker([&] {
    CColorDialog d;
    result = d.DoModal();
    colour = d.GetColor();
    done = true;
  });
  EXPECT_TRUE(WaitFor([&] { return done.load(); }));
  worker.join();
  EXPECT_EQ(result, IDOK);
  EXPECT_EQ(colour, RGB(255, 128, 0));
}

}  // namespace
