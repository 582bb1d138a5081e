// Edits, speed button groups and glyphs, scroll bars, labels, bitmap
// buttons and dialogs, with real X input where input matters.
#include <QDir>
#include <QFile>

#include "platform/vcl/buttons.h"
#include "platform/vcl/dialogs.h"
#include "platform/vcl/extctrls.h"
#include "platform/vcl/stdctrls.h"
#include "tests/platform/vcl/vcl_test.h"

#include <gtest/gtest.h>

namespace {

std::string Click(TControl* c, int x, int y) {
  TPoint p = c->ClientToScreen(Point(x, y));
  return "mousemove " + std::to_string(p.X) + " " + std::to_string(p.Y) + " click 1 ";
}

class Controls : public ::testing::Test {
 protected:
  void SetUp() override {
    test::App();
    form = new TForm(Application);
    form->BorderStyle = bsNone;
    form->SetBounds(50, 50, 400, 300);
    form->Color = clWhite;
  }
  void Show() {
    form->Show();
    ASSERT_TRUE(test::Shown(form));
    test::Pump(50);
  }
  void TearDown() override {
    delete form;
    unsetenv("QUARVEL_MSGBOX_ANSWERS");
    unsetenv("QUARVEL_MSGBOX_LOG");
  }
  // Scripted answers for the dialogs of a test; returns the log's name.
  std::string Answers(const std::string& lines) {
    std::string dir = getenv("QUARVEL_TEST_DIR");
    QFile f(QString::fromStdString(dir + "/answers"));
    f.open(QIODevice::WriteOnly);
    f.write(lines.c_str());
    f.close();
    setenv("QUARVEL_MSGBOX_ANSWERS", (dir + "/answers").c_str(), 1);
    setenv("QUARVEL_MSGBOX_LOG", (dir + "/log").c_str(), 1);
    return dir + "/log";
  }
  TForm* form = nullptr;
};

}  // namespace

TEST_F(Controls, EditTextChangesAndTyping) {
  TEdit* e = new TEdit(form);
  e->Parent = form;
  e->SetBounds(10, 10, 200, 30);
  int changes = 0;
  e->OnChange = [&](TObject*) { ++changes; };
  e->Text = "2";
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(e->Text(), "2");
  e->Text = "2";  // unchanged: no event
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(StrToInt(e->Text) + 1, 3);
  e->Text = "书写板";
  EXPECT_EQ(e->Text(), "书写板");
  EXPECT_EQ(e->Inner()->text(), QStringLiteral("书写板"));

  Show();
  e->Text = "";
  e->MaxLength = 4;
  e->SetFocus();  // also makes its form the active window
  ASSERT_TRUE(test::WaitFor([&] { return e->Focused(); }));
  test::XdoWhileRunning("type --delay 20 abcdef");
  EXPECT_TRUE(test::WaitFor([&] { return e->Text() == "abcd"; })) << e->Text();
  // Keys reach the edit's and (with KeyPreview) the form's key events.
  std::vector<std::string> keys;
  form->KeyPreview = true;
  form->OnKeyDown = [&](TObject*, WORD& k, TShiftState) { keys.push_back("form " + IntToStr(k)); };
  e->OnKeyDown = [&](TObject*, WORD& k, TShiftState) { keys.push_back("edit " + IntToStr(k)); };
  e->OnKeyPress = [&](TObject*, char& c) {
    if (c == 'd') c = 0;  // filtered out
  };
  e->Text = "";
  test::XdoWhileRunning("type --delay 20 ad");
  EXPECT_TRUE(test::WaitFor([&] { return keys.size() == 4; }));
  EXPECT_EQ(keys, std::vector<std::string>({"form 65", "edit 65", "form 68", "edit 68"}));
  EXPECT_EQ(e->Text(), "a");
  e->Text = "abcd";
  e->ReadOnly = true;
  test::XdoWhileRunning("type --delay 20 x");
  test::Pump(100);
  EXPECT_EQ(e->Text(), "abcd");
  e->PasswordChar = '*';
  EXPECT_EQ(e->Inner()->echoMode(), QLineEdit::Password);
  EXPECT_EQ(e->Inner()->displayText(), QString("****"));

  int clicks = 0;
  e->OnClick = [&](TObject*) { ++clicks; };
  test::XdoWhileRunning(Click(e, 20, 10));
  EXPECT_TRUE(test::WaitFor([&] { return clicks == 1; }));
}

TEST_F(Controls, SpeedButtonGroupsAndTransparentFlatButtons) {
  TPanel* strip = new TPanel(form);
  strip->Parent = form;
  strip->SetBounds(0, 0, 400, 40);
  strip->Color = clGray;
  TSpeedButton* tools[3];
  for (int i = 0; i < 3; ++i) {
    tools[i] = new TSpeedButton(form);
    tools[i]->Parent = strip;
    tools[i]->SetBounds(2 + 40 * i, 1, 38, 38);
    tools[i]->GroupIndex = 1;
    tools[i]->Flat = true;
  }
  tools[0]->Down = true;
  Show();
  test::XdoWhileRunning(Click(tools[2], 10, 10));
  ASSERT_TRUE(test::WaitFor([&] { return tools[2]->Down(); }));
  EXPECT_FALSE(tools[0]->Down());
  test::XdoWhileRunning(Click(tools[2], 10, 10));  // pressed again: stays down
  test::Pump(100);
  EXPECT_TRUE(tools[2]->Down());
  tools[0]->Down = true;
  EXPECT_FALSE(tools[2]->Down());
  tools[1]->AllowAllUp = true;
  tools[1]->Down = true;
  tools[1]->Down = false;
  EXPECT_FALSE(tools[1]->Down());
  EXPECT_EQ(tools[0]->focusPolicy(), Qt::NoFocus);

  // A flat button without a glyph over a picture shows the picture; a
  // glyph's bottom-left colour is transparent.
  TImage* picture = new TImage(form);
  picture->Parent = form;
  picture->SetBounds(100, 100, 60, 60);
  picture->Canvas->Brush->Color = clRed;
  picture->Canvas->FillRect(Rect(0, 0, 60, 60));
  TSpeedButton* over = new TSpeedButton(form);
  over->Parent = form;
  over->SetBounds(110, 110, 30, 30);
  over->Flat = true;
  over->Caption = "";
  TSpeedButton* glyphed = new TSpeedButton(form);
  glyphed->Parent = form;
  glyphed->SetBounds(200, 100, 20, 20);
  glyphed->Flat = true;
  TBitmap glyph;
  glyph.Width = 4;
  glyph.Height = 4;
  glyph.Canvas->Brush->Color = clFuchsia;
  glyph.Canvas->FillRect(Rect(0, 0, 4, 4));
  glyph.Canvas->Pixels[1][1] = clBlue;
  glyphed->Glyph = &glyph;
  test::Pump(100);
  EXPECT_EQ(TColor(form->Canvas->Pixels[120][120]), clRed);
  // The glyph is centred: its pixel (1, 1) at (209, 109); the rest is clear.
  EXPECT_EQ(TColor(form->Canvas->Pixels[209][109]), clBlue);
  EXPECT_EQ(TColor(form->Canvas->Pixels[208][108]), clWhite);
}

TEST_F(Controls, ScrollBarPositionsStepsAndScrollEvents) {
  TScrollBar* bar = new TScrollBar(form);
  bar->Parent = form;
  bar->SetBounds(10, 200, 300, 18);
  bar->Min = 1;
  bar->Max = 1;
  bar->PageSize = 1;
  bar->Position = 1;
  std::vector<int> changes;
  std::vector<std::pair<TScrollCode, int>> scrolls;
  bar->OnChange = [&](TObject*) { changes.push_back(bar->Position); };
  bar->OnScroll = [&](TObject*, TScrollCode code, int& pos) { scrolls.push_back({code, pos}); };
  bar->Max = 5;
  bar->Position = 9;  // above Max: clamped
  EXPECT_EQ(bar->Position(), 5);
  EXPECT_EQ(changes, std::vector<int>({5}));
  bar->Position = 1;
  bar->SmallChange = 2;  // the arrow step
  Show();
  changes.clear();
  // The right arrow button at the bar's right end.
  test::XdoWhileRunning(Click(bar, 300 - 6, 9));
  ASSERT_TRUE(test::WaitFor([&] { return !scrolls.empty() && scrolls.back().first == scEndScroll; }));
  EXPECT_EQ(bar->Position(), 3);
  EXPECT_EQ(changes, std::vector<int>({3}));
  EXPECT_EQ(scrolls.front().first, scLineDown);
  EXPECT_EQ(scrolls.front().second, 3);
  EXPECT_EQ(scrolls.back().second, 3);
}

TEST_F(Controls, LabelsAndBitmapButtons) {
  TLabel* l = new TLabel(form);
  l->Parent = form;
  l->Font->Height = -20;
  l->Caption = "请输入任课教师个人密码：";
  EXPECT_GT(l->Width(), 150);
  EXPECT_GE(l->Height(), 20);
  TBitBtn* ok = new TBitBtn(form);
  ok->Parent = form;
  ok->Kind = bkOK;
  EXPECT_EQ(ok->Caption(), "OK");
  EXPECT_EQ(ok->ModalResult(), mrOk);
  EXPECT_TRUE(ok->Default());
  // Alignment is immediate, also on a hidden form.
  TPanel* strip = new TPanel(form);
  strip->Parent = form;
  strip->SetBounds(0, 0, 300, 40);
  TPanel* right = new TPanel(form);
  right->Parent = strip;
  right->Width = 120;
  right->Align = alRight;
  TPanel* fill = new TPanel(form);
  fill->Parent = form;
  fill->Align = alClient;
  EXPECT_EQ(right->BoundsRect(), Rect(179, 1, 299, 39));  // inside the raised bevel
  strip->Width = 1023;
  EXPECT_EQ(right->Left(), 1022 - 120);
  form->ClientWidth = 500;
  EXPECT_EQ(fill->BoundsRect(), Rect(0, 0, 500, 300));
  // ParentFont: a panel's font reaches its children until they set their own.
  TPanel* p = new TPanel(form);
  p->Parent = form;
  TSpeedButton* key = new TSpeedButton(form);
  key->Parent = p;
  p->Font->Color = clRed;
  EXPECT_EQ(key->Font->Color(), clRed);
  key->Font->Color = clBlue;
  p->Font->Color = clGreen;
  EXPECT_EQ(key->Font->Color(), clBlue);
}

TEST_F(Controls, DialogsAnsweredByScript) {
  const std::string drives = getenv("QUARVEL_DRIVES");
  ASSERT_TRUE(QDir().mkpath(QString::fromStdString(drives + "/C/notes")));
  std::string log = Answers("COLOR $00FF00\nCANCEL\nFILE /tmp/media/dream[1].swf\nFILE b.swf\nFILE " + drives +
                            "/C/notes/a\nYES\nOK\n");
  QFile::remove(QString::fromStdString(log));
  Application->Title = "Quarvel";
  TColorDialog* colours = new TColorDialog(form);
  colours->Color = clRed;
  EXPECT_TRUE(colours->Execute());
  EXPECT_EQ(colours->Color(), TColor(0x00FF00));
  EXPECT_FALSE(colours->Execute());
  EXPECT_EQ(colours->Color(), TColor(0x00FF00));

  TOpenDialog* open = new TOpenDialog(form);
  open->Filter = "Flash 动画(*.swf)|*.swf|网页|*.htm;*.html|所有文件|*.*";
  open->FileName = "dream[1].swf";
  EXPECT_TRUE(open->Execute());
  EXPECT_EQ(open->FileName(), "/tmp/media/dream[1].swf");
  // A relative answer lies in the folder the dialog shows.
  open->InitialDir = "C:\\notes";
  open->FileName = "";
  EXPECT_TRUE(open->Execute());
  EXPECT_EQ(open->FileName(), "C:\\notes\\b.swf");  // a drive's file as the system names it
  TSaveDialog* save = new TSaveDialog(form);
  save->DefaultExt = "txt";
  EXPECT_TRUE(save->Execute());
  EXPECT_EQ(save->FileName(), "C:\\notes\\a.txt");
  EXPECT_FALSE(save->Execute());  // "YES" is no file name: cancelled
  ShowMessage("扫描驱动程序出错！");

  Answers(u8"APPLY -20 $FF0000 宋体\nFONT -48 $0000FF 隶书\nCANCEL\n");  // the answers file is UTF-8
  TFontDialog* fonts = new TFontDialog(form);
  fonts->Options = TFontDialogOptions{fdEffects, fdApplyButton};
  std::vector<int> applied;
  fonts->OnApply = [&](TObject*, HWND) { applied.push_back(fonts->Font->Height); };
  EXPECT_TRUE(fonts->Execute());
  EXPECT_EQ(applied, std::vector<int>({-20}));
  EXPECT_EQ(fonts->Font->Name(), "隶书");
  EXPECT_EQ(fonts->Font->Height(), -48);
  EXPECT_EQ(fonts->Font->Color(), TColor(0x0000FF));
  EXPECT_FALSE(fonts->Execute());
  EXPECT_EQ(fonts->Font->Height(), -48);
  // Dialogs and boxes log to one file, in the order they came up.
  QFile f(QString::fromStdString(log));
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  const QStringList lines = QString::fromUtf8(f.readAll()).split('\n', Qt::SkipEmptyParts);
  QStringList kinds;
  for (const QString& line : lines) kinds << line.section('\t', 1, 1);
  EXPECT_EQ(kinds, QStringList({"COLOR", "COLOR", "OPEN", "OPEN", "SAVE", "SAVE", QStringLiteral("扫描驱动程序出错！"),
                                "FONT", "FONT"}))
      << lines.join('\n').toStdString();
  ASSERT_EQ(lines.size(), 9);
  const QString cwd = QDir::currentPath();
  EXPECT_EQ(lines[2].section('\t', 2),
            cwd + QStringLiteral("/dream[1].swf\tFlash 动画(*.swf) (*.swf);;网页 (*.htm *.html);;所有文件 (*)"));
  EXPECT_EQ(lines[3].section('\t', 2, 2), QString::fromStdString(drives + "/C/notes"));
  EXPECT_EQ(lines[6], QStringLiteral("Quarvel\t扫描驱动程序出错！"));
  Application->Title = "VclTest";
}

TEST_F(Controls, AScrollBoxScrollsAPictureFarTallerThanAnXWindow) {
  TScrollBox* box = new TScrollBox(form);
  box->Parent = form;
  box->SetBounds(10, 10, 140, 250);
  TImage* strip = new TImage(form);
  strip->Parent = box;
  strip->Left = 10;
  strip->Width = 100;
  strip->Height = 105000;
  strip->Canvas->Brush->Color = clWindow;
  strip->Canvas->FillRect(Rect(0, 0, 100, 105000));
  EXPECT_EQ(strip->Picture->Bitmap->Height(), 105000);
  // Row 999 of thumbnails: rows 104895 .. 104994.
  strip->Canvas->Brush->Color = clRed;
  strip->Canvas->FillRect(Rect(0, 999 * 105, 100, 999 * 105 + 100));
  strip->Height = 1000 * 105;  // the control shrinks; its picture keeps its size
  EXPECT_EQ(strip->Picture->Bitmap->Height(), 105000);
  // A control beside it whose window handle is asked for does not make the
  // scrolled content a window.
  TPanel* beside = new TPanel(form);
  beside->Parent = box;
  beside->SetBounds(0, 0, 5, 5);
  EXPECT_NE(beside->Handle, HWND(0));
  Show();
  EXPECT_EQ(box->VertScrollBar->Range(), 105000);
  strip->Canvas->FillRect(Rect(0, 500 * 105, 100, 500 * 105 + 100));
  box->VertScrollBar->Position = 500 * 105 - 20;
  EXPECT_EQ(box->VertScrollBar->Position(), 500 * 105 - 20);
  test::Pump(100);
  // 20 rows of white, then the red row, just inside the box's frame.
  EXPECT_EQ(TColor(form->Canvas->Pixels[30][60]), clRed);
  EXPECT_EQ(TColor(form->Canvas->Pixels[30][16]), TColor(0xFFFFFF));
  box->VertScrollBar->Position = 105000;  // clamped to the last screenful
  EXPECT_EQ(TColor(form->Canvas->Pixels[30][240]), clRed);
}

TEST_F(Controls, StringListsListBoxesMemosAndChecks) {
  TStringList s;
  s.Add("a");
  s.Add("书写");
  s.Insert(0, "z");
  EXPECT_EQ(s.Count(), 3);
  EXPECT_EQ(s.Strings[1](), "a");
  s.Strings[1] = "b";
  EXPECT_EQ(s[1], "b");
  EXPECT_EQ(s.IndexOf("书写"), 2);
  EXPECT_EQ(s.Text(), "z\r\nb\r\n书写\r\n");
  try {
    s.Strings[5]();
    ADD_FAILURE();
  } catch (const EListError& e) {
    EXPECT_EQ(e.Message(), "List index out of bounds (5)");
  }
  s.SaveToFile("lines.txt");
  TStringList t;
  t.LoadFromFile("lines.txt");
  EXPECT_EQ(t.Count(), 3);
  EXPECT_THROW(t.LoadFromFile("none.txt"), EFOpenError);

  TListBox* list = new TListBox(form);
  list->Parent = form;
  list->SetBounds(10, 10, 150, 100);
  list->Items->Assign(&s);
  int clicks = 0;
  list->OnClick = [&](TObject*) { ++clicks; };
  EXPECT_EQ(list->ItemIndex(), -1);
  list->ItemIndex = 2;
  EXPECT_EQ(list->Items->Strings[list->ItemIndex](), "书写");
  list->Items->Delete(2);  // the selected item: none is selected afterwards
  EXPECT_EQ(list->ItemIndex(), -1);
  EXPECT_EQ(clicks, 0);  // the program's own changes are no clicks
  Show();
  list->ItemIndex = 0;
  const int row = list->Inner()->visualItemRect(list->Inner()->item(1)).center().y();
  test::XdoWhileRunning(Click(list, 30, row + 2));  // the second row
  EXPECT_TRUE(test::WaitFor([&] { return clicks == 1; }));
  EXPECT_EQ(list->ItemIndex(), 1);

  TMemo* memo = new TMemo(form);
  memo->Parent = form;
  memo->SetBounds(170, 10, 200, 100);
  EXPECT_EQ(memo->Lines->Count(), 0);
  memo->Lines->Add("one");
  memo->Lines->Add("二");
  EXPECT_EQ(memo->Lines->Count(), 2);
  EXPECT_EQ(memo->Text(), "one\r\n二\r\n");
  memo->Lines->SaveToFile("memo.txt");
  memo->Lines->Clear();
  memo->Lines->LoadFromFile("memo.txt");
  EXPECT_EQ(memo->Lines->Strings[1](), "二");

  TCheckBox* check = new TCheckBox(form);
  check->Parent = form;
  check->Caption = "默认文件夹";
  int checks = 0;
  check->OnClick = [&](TObject*) { ++checks; };
  check->Checked = true;
  EXPECT_EQ(checks, 1);
  TRadioButton* one = new TRadioButton(form);
  TRadioButton* two = new TRadioButton(form);
  one->Parent = form;
  two->Parent = form;
  one->Checked = true;
  two->Checked = true;
  EXPECT_FALSE(one->Checked());
  EXPECT_TRUE(two->Checked());
}

// The way the system's forms use properties compiles and means what it says.
TEST_F(Controls, PropertiesReadLikeTheFormLibrarys) {
  TEdit* Edit1 = new TEdit(form);
  TEdit* Edit2 = new TEdit(form);
  TPanel* Panel3 = new TPanel(form);
  TImage* Image2 = new TImage(form);
  Edit1->Parent = form;
  Edit1->Text = "2";
  if (Edit1->Text != "9") Edit1->Text = IntToStr(StrToInt(Edit1->Text) + 1);
  EXPECT_EQ(Edit1->Text(), "3");
  Edit2->Text = Edit1->Text;
  EXPECT_TRUE(Edit1->Text == Edit2->Text);
  AnsiString joined = Edit1->Text + "x";
  EXPECT_EQ(joined, "3x");
  EXPECT_EQ("<" + Edit1->Text, "<3");
  Panel3->Caption = FloatToStr((205 / 2) / 10.0) + "，" + FloatToStr((100 / 2) / 10.0);
  EXPECT_EQ(Panel3->Caption(), "10.2，5");
  form->Left = form->Left + 275;
  form->Left -= 275;
  form->Tag++;
  EXPECT_EQ(form->Tag(), 1);
  EXPECT_EQ(form->Left(), 50);
  form->Canvas->Pen->Width = StrToInt(Edit1->Text) * 10;
  EXPECT_EQ(form->Canvas->Pen->Width(), 30);
  Image2->SetBounds(10, 10, 20, 30);
  int area = Image2->Width * Image2->Height;
  EXPECT_EQ(area, 600);
  TBitmap FloatBitmap;
  FloatBitmap.Width = 4;
  FloatBitmap.Height = 4;
  Image2->Picture->Bitmap = &FloatBitmap;  // a copy, as assigning a bitmap is
  EXPECT_EQ(Image2->Picture->Bitmap->Width(), 4);
  EXPECT_NE(Image2->Picture->Bitmap(), &FloatBitmap);
  Image2->Canvas->Pixels[1][1] = clRed;
  EXPECT_TRUE(Image2->Canvas->Pixels[1][1] == clRed);
  EXPECT_FALSE(form->Visible);
  if (!form->Visible) form->Show();
  EXPECT_TRUE(form->Visible);
  TShiftState shift = TShiftState() << ssLeft << ssShift;
  EXPECT_TRUE(shift.Contains(ssLeft));
  EXPECT_FALSE(shift.Contains(ssCtrl));
  form->Font->Style = TFontStyles() << fsBold;
  EXPECT_TRUE(form->Font->Style().Contains(fsBold));
}

// A control that hides while it holds the focus hands it to its parent (the
// form), not to the next control in the tab order.
TEST_F(Controls, HidingTheFocusedPanelGivesTheFocusToTheForm) {
  auto* panel = new TPanel(form);
  panel->Parent = form;
  panel->SetBounds(0, 0, 200, 100);
  auto* edit = new TEdit(form);
  edit->Parent = panel;
  edit->SetBounds(10, 10, 100, 21);
  auto* readOnly = new TEdit(form);
  readOnly->Parent = form;
  readOnly->SetBounds(10, 200, 100, 21);
  readOnly->ReadOnly = true;
  Show();
  edit->SetFocus();
  ASSERT_TRUE(test::WaitFor([&] { return form->ActiveControl == edit; }));
  panel->Hide();
  EXPECT_TRUE(test::WaitFor([&] { return QApplication::focusWidget() == form; }));
  EXPECT_EQ(form->ActiveControl, nullptr);
  EXPECT_TRUE(form->isActiveWindow());
}
