// List boxes, check boxes, group boxes, combo boxes and the drive box on a
// real X server, chosen with real X input.
#include <QDir>
#include <QListWidget>

#include "platform/fs/path.h"
#include "platform/vcl/extctrls.h"
#include "platform/vcl/filectrl.h"
#include "platform/vcl/stdctrls.h"
#include "tests/platform/vcl/vcl_test.h"

#include <gtest/gtest.h>

namespace {

class Choices : public ::testing::Test {
 protected:
  void SetUp() override {
    test::App();
    form = new TForm(Application);
    form->BorderStyle = bsNone;
    form->SetBounds(100, 100, 400, 300);
    form->Font->Name = "宋体";
    form->Font->Height = -12;
  }
  void TearDown() override { delete form; }

  template <class T>
  T* Make(int left, int top, int width, int height) {
    T* c = new T(form);
    c->Parent = form;
    c->SetBounds(left, top, width, height);
    return c;
  }
  // Shows the form and gives it the keyboard.
  bool Up() {
    form->Show();
    if (!test::Shown(form)) return false;
    form->activateWindow();
    return test::WaitFor([this] { return form->isActiveWindow(); });
  }
  std::string Click(int x, int y) {
    return "mousemove " + std::to_string(100 + x) + " " + std::to_string(100 + y) + " click 1";
  }

  TForm* form = nullptr;
};

std::vector<std::string> Texts(TStrings* s) {
  std::vector<std::string> out;
  for (int i = 0; i < s->Count; ++i) out.push_back((*s)[i]);
  return out;
}

void MakeDrive(char letter) { QDir().mkpath(QString::fromStdString(winpath::DrivesRoot() + "/" + letter)); }

}  // namespace

TEST_F(Choices, ListBoxItemsAreItsRowsInGbk) {
  TListBox* list = Make<TListBox>(10, 10, 150, 120);
  TStrings* items = list->Items;
  EXPECT_EQ(items->Add("默认"), 0);
  items->Add("张老师");
  items->Insert(1, "Li");
  EXPECT_EQ(Texts(items), (std::vector<std::string>{"默认", "Li", "张老师"}));
  EXPECT_EQ(list->Inner()->item(2)->text(), QString::fromUtf8(u8"张老师"));
  items->Strings[1] = "Wang";
  EXPECT_EQ(items->Strings[1], "Wang");
  EXPECT_EQ(items->IndexOf("wANG"), 1);
  EXPECT_EQ(items->IndexOf("nobody"), -1);
  EXPECT_THROW(items->Get(3), EListError);
  EXPECT_THROW(items->Delete(-1), EListError);
  try {
    items->Strings[7] = "x";
    FAIL();
  } catch (const EListError& e) {
    EXPECT_EQ(e.Message(), "List index out of bounds (7)");
  }
  TStringList copy;
  copy.Assign(items);
  EXPECT_EQ(Texts(&copy), Texts(items));
}

TEST_F(Choices, ListBoxClicksAreThePersonsSelectionsOnly) {
  TListBox* list = Make<TListBox>(10, 10, 150, 120);
  for (const char* s : {"默认", "A", "B", "C"}) list->Items->Add(s);
  std::vector<int> clicks;
  list->OnClick = [&](TObject*) { clicks.push_back(list->ItemIndex); };
  ASSERT_TRUE(Up());

  list->ItemIndex = 1;
  EXPECT_EQ(list->ItemIndex, 1);
  list->ItemIndex = 9;  // not an item: no selection
  EXPECT_EQ(list->ItemIndex, -1);
  test::Pump(100);
  EXPECT_TRUE(clicks.empty());

  // A real click on the third row, then the down arrow.
  const QRect row = list->Inner()->visualItemRect(list->Inner()->item(2));
  const QPoint at = list->Inner()->viewport()->mapTo(form, row.center());
  ASSERT_TRUE(test::XdoWhileRunning(Click(at.x(), at.y())));
  ASSERT_TRUE(test::WaitFor([&] { return clicks.size() == 1; }));
  EXPECT_EQ(clicks[0], 2);
  ASSERT_TRUE(test::XdoWhileRunning("key Down"));
  ASSERT_TRUE(test::WaitFor([&] { return clicks.size() == 2; }));
  EXPECT_EQ(clicks[1], 3);

  // Deleting the selected item leaves none; deleting another keeps it.
  list->ItemIndex = 1;
  list->Items->Delete(3);
  EXPECT_EQ(list->ItemIndex, 1);
  list->Items->Delete(1);
  EXPECT_EQ(list->ItemIndex, -1);
  EXPECT_TRUE(list->Inner()->selectedItems().isEmpty());
  test::Pump(50);
  EXPECT_EQ(clicks.size(), 2u);
}

// A click handler that fills the list anew and selects a row of its own
// (a folder list opening the folder clicked) runs once for the click.
TEST_F(Choices, ListBoxClickHandlersChangesAreTheProgramsOwn) {
  TListBox* list = Make<TListBox>(10, 10, 150, 120);
  for (const char* s : {"a", "b", "c"}) list->Items->Add(s);
  int clicks = 0;
  list->OnClick = [&](TObject*) {
    ++clicks;
    list->Items->Clear();
    for (const char* s : {"x", "y", "z", "w"}) list->Items->Add(s);
    list->ItemIndex = 3;
  };
  ASSERT_TRUE(Up());
  const QRect row = list->Inner()->visualItemRect(list->Inner()->item(1));
  const QPoint at = list->Inner()->viewport()->mapTo(form, row.center());
  ASSERT_TRUE(test::XdoWhileRunning(Click(at.x(), at.y())));
  ASSERT_TRUE(test::WaitFor([&] { return clicks > 0; }));
  test::Pump(100);
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(list->ItemIndex, 3);
}

TEST_F(Choices, CheckBoxTogglesOnAClickAndTellsOfEveryChange) {
  TCheckBox* box = Make<TCheckBox>(10, 10, 120, 20);
  box->Caption = "默认文件夹";
  EXPECT_EQ(box->Inner()->text(), QString::fromUtf8(u8"默认文件夹"));
  int clicks = 0;
  box->OnClick = [&](TObject*) { ++clicks; };
  ASSERT_TRUE(Up());
  ASSERT_TRUE(test::XdoWhileRunning(Click(18, 20)));
  ASSERT_TRUE(test::WaitFor([&] { return clicks == 1; }));
  EXPECT_TRUE(box->Checked);
  box->Checked = false;
  EXPECT_EQ(clicks, 2);
  box->Checked = false;  // no change, no click
  EXPECT_EQ(clicks, 2);
}

TEST_F(Choices, GroupBoxHoldsItsControlsBelowItsCaption) {
  TGroupBox* group = Make<TGroupBox>(10, 10, 200, 150);
  group->Caption = "任课教师";
  TPanel* inside = new TPanel(form);
  inside->Parent = group;
  inside->Align = alClient;
  ASSERT_TRUE(Up());
  EXPECT_GT(inside->Top, 0);
  EXPECT_LT(inside->Top, 30);
  EXPECT_GT(inside->Left, 0);
  EXPECT_LT(inside->Left + inside->Width, 200);
  EXPECT_LT(inside->Top + inside->Height, 150);
}

TEST_F(Choices, ComboBoxChoicesByThePersonRunOnChange) {
  TComboBox* combo = Make<TComboBox>(10, 10, 120, 22);
  combo->Style = csDropDownList;
  for (const char* s : {"一", "二", "三"}) combo->Items->Add(s);
  int changes = 0;
  combo->OnChange = [&](TObject*) { ++changes; };
  combo->ItemIndex = 0;
  EXPECT_EQ(combo->Text(), "一");
  combo->Text = "三";
  EXPECT_EQ(combo->ItemIndex, 2);
  combo->Text = "四";  // not in a list-only box
  EXPECT_EQ(combo->ItemIndex, -1);
  EXPECT_EQ(changes, 0);
  combo->ItemIndex = 0;
  ASSERT_TRUE(Up());
  combo->SetFocus();
  ASSERT_TRUE(test::WaitFor([&] { return combo->Inner()->hasFocus(); }));
  ASSERT_TRUE(test::XdoWhileRunning("key Down"));
  ASSERT_TRUE(test::WaitFor([&] { return changes == 1; }));
  EXPECT_EQ(combo->ItemIndex, 1);
  EXPECT_EQ(combo->Text(), "二");
}

TEST_F(Choices, DriveBoxListsTheMappedDrivesAndTakesOnlyThose) {
  for (char d : {'D', 'F'}) MakeDrive(d);
  TDriveComboBox* drives = Make<TDriveComboBox>(10, 10, 80, 22);
  EXPECT_EQ(Texts(drives->Items), (std::vector<std::string>{"C:", "D:", "F:"}));
  EXPECT_EQ(drives->Drive, 'C');
  EXPECT_EQ(drives->Text(), "C:");
  std::vector<char> changes;
  drives->OnChange = [&](TObject*) { changes.push_back(drives->Drive); };

  drives->Drive = 'f';
  EXPECT_EQ(drives->Drive, 'F');
  EXPECT_EQ(drives->Text(), "F:");
  drives->Drive = 'X';  // no such drive
  drives->Drive = 'F';  // no change
  EXPECT_EQ(drives->Drive, 'F');
  EXPECT_EQ(changes, std::vector<char>{'F'});

  // A drive made later is there when the program asks for it, and when the
  // list drops down.
  MakeDrive('G');
  drives->Drive = 'G';
  EXPECT_EQ(drives->Drive, 'G');
  MakeDrive('E');
  ASSERT_TRUE(Up());
  drives->Inner()->showPopup();
  EXPECT_EQ(Texts(drives->Items), (std::vector<std::string>{"C:", "D:", "E:", "F:", "G:"}));
  EXPECT_EQ(drives->Text(), "G:");
  drives->Inner()->hidePopup();

  // The person's choice.
  drives->SetFocus();
  ASSERT_TRUE(test::WaitFor([&] { return drives->Inner()->hasFocus(); }));
  ASSERT_TRUE(test::XdoWhileRunning("key Up"));
  ASSERT_TRUE(test::WaitFor([&] { return drives->Drive == 'F'; }));
  EXPECT_EQ(changes, (std::vector<char>{'F', 'G', 'F'}));
}
