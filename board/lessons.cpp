// The lesson manager's handlers: the settings folder and the default
// teacher at start-up, selecting and unlocking teachers, the teacher list,
// volumes, lessons, personal settings, OK, and the password dialogs.
#include "board/lessons.h"

#include "board/board.h"
#include "board/password.h"
#include "board/password_change.h"
#include "board/toolbar.h"
#include "platform/fs/drives.h"
#include "platform/fs/files.h"
#include "platform/fs/folders.h"

TForm6* Form6 = nullptr;

namespace {

void FillNumbers(TListBox* list, int count) {
  list->Items->Clear();
  for (int i = 1; i <= count; ++i) list->Items->Add(IntToStr(i));
}

void AddNextNumber(TListBox* list) { list->Items->Add(IntToStr(list->Items->Count + 1)); }

// The last number goes; the selection stays where it was if it still can.
void RemoveLastNumber(TListBox* list) {
  const int count = list->Items->Count;
  if (count == 0) return;
  const int selected = list->ItemIndex;
  list->Items->Delete(count - 1);
  list->ItemIndex = selected < count - 1 ? selected : -1;
}

}  // namespace

void ShowPlainMessage(const std::string& text) { Application->MessageBox(text, Application->Title, MB_OK); }

TForm6::TForm6(TComponent* owner) : TForm(owner) { BuildForm(); }

// ---- the manager's state ----

std::string TForm6::SettingsFile() const { return SettingsFolder + "datb.sec"; }

std::string TForm6::TeacherSection() const {
  return UnlockedTeacher.empty() ? std::string(kDefaultTeacherSection) : UnlockedTeacher;
}

std::string TForm6::LessonKey() const { return UnlockedTeacher + Edit2->Text() + Edit3->Text(); }

void TForm6::Unlock(const std::string& teacher) {
  UnlockedTeacher = teacher;
  Edit1->Text = teacher;
  TeacherUnlocked = 1;
}

void TForm6::Lock() {
  TeacherUnlocked = 0;
  UnlockedTeacher.clear();
}

bool TForm6::CheckUnlocked() const {
  if (TeacherUnlocked == 1 && !UnlockedTeacher.empty()) return true;
  ShowPlainMessage("请选择任课教师！");
  return false;
}

void TForm6::ShowTeacher(const std::string& section) {
  const TeacherSettings s = ReadTeacher(TIniFile(SettingsFile()), section);
  FillNumbers(ListBox2, s.volumes);
  FillNumbers(ListBox3, s.lessons);
  LCP->Color = s.pen;
  RCP->Color = s.background;
  Edit4->Text = s.width;
  TeacherPassword = s.password;
  ShownTeacher = section == kDefaultTeacherSection ? "" : section;
}

void TForm6::ClearTeacher() {
  Edit1->Text = "";
  if (ShownTeacher.empty()) return;
  ShowTeacher(TIniFile(SettingsFile()).ReadString(kTeacherListSection, "te0", kDefaultTeacherSection));
  ShownTeacher.clear();
}

TeacherSettings TForm6::Shown() const {
  TeacherSettings s;
  s.volumes = ListBox2->Items->Count;
  s.lessons = ListBox3->Items->Count;
  s.pen = LCP->Color;
  s.background = RCP->Color;
  s.width = Edit4->Text;
  s.password = TeacherPassword;
  return s;
}

std::vector<std::string> TForm6::NamedTeachers() const {
  std::vector<std::string> names;
  for (int i = 1; i < ListBox1->Items->Count; ++i) names.push_back(ListBox1->Items->Get(i));
  return names;
}

// ---- creation and showing ----

void TForm6::FormCreate(TObject*) {
  const char letter = GetDriveType("E:\\") == DRIVE_FIXED ? 'E' : GetDriveType("D:\\") == DRIVE_FIXED ? 'D' : 'C';
  const std::string drive(1, letter);
  SettingsFolder = drive + ":\\Program files\\Common files\\system\\";
  if (!DirectoryExists(SettingsFolder))
    for (const char* level : {":\\Program files", ":\\Program files\\Common files", ":\\Program files\\Common files\\system"})
      CreateDir(drive + level);

  TIniFile ini(SettingsFile());
  // An empty value or a drive that is not there leaves the settings drive.
  const std::string stored = ini.ReadString(kTeacherListSection, "drive", drive);
  DriveComboBox1->Drive = letter;
  if (!stored.empty()) DriveComboBox1->Drive = stored[0];

  ListBox1->Items->Clear();
  ListBox1->Items->Add(kDefaultTeacherEntry);
  for (const std::string& name : ReadTeacherList(ini)) ListBox1->Items->Add(name);
  ShowTeacher(ini.ReadString(kTeacherListSection, "te0", kDefaultTeacherSection));
  ShownTeacher.clear();

  Form3->LCP->Color = LCP->Color;
  Form3->RCP->Color = RCP->Color;
  Form3->Edit1->Text = Edit4->Text;
  Form3->Canvas->Pen->Color = LCP->Color;
  Form3->Canvas->Pen->Width = StrToInt(Edit4->Text);
  Form3->Color = RCP->Color;
  Form3->NoteColour = TForm3::NoteColourFor(RCP->Color);
  Form3->Invalidate();
}

void TForm6::FormShow(TObject*) {
  // The board locks the manager before it shows it: whoever was unlocked
  // last time is forgotten, and nobody is selected.
  if (TeacherUnlocked == 1) return;
  Lock();
  ListBox1->ItemIndex = -1;
}

// ---- teachers ----

void TForm6::ListBox1Click(TObject*) {
  Lock();
  const int i = ListBox1->ItemIndex;
  if (i < 0) return;
  const std::string entry = ListBox1->Items->Get(i);
  // The default teacher has no password (it is never unlocked).
  const std::string code = i == 0 ? "0" : TIniFile(SettingsFile()).ReadString(entry, "ma", "0");
  if (code != "0") {
    Form7->PromptMode = 1;
    Form7->Teacher = entry;
    Form7->Label1->Caption = "请输入任课教师个人密码：";
    Form7->Edit1->Text = "";
    Form7->ShowModal();
    return;
  }
  if (i == 0) {
    Edit1->Text = kDefaultTeacherSection;
  } else {
    Unlock(entry);
  }
  ShowTeacher(Edit1->Text);
  if (Edit1->Text == kDefaultTeacherSection) Edit1->Text = "";
}

void TForm6::Edit1Change(TObject*) {
  // Typing in the name box locks the manager; the unlocked teacher is kept
  // for a rename, which takes the typed name.
  if (TeacherUnlocked == 1 && Edit1->Text != UnlockedTeacher) TeacherUnlocked = 0;
}

void TForm6::Button1Click(TObject*) {
  const std::string name = Edit1->Text;
  std::vector<std::string> list = NamedTeachers();
  list.insert(list.begin(), kDefaultTeacherEntry);
  const std::string problem = TeacherNameProblem(name, list);
  if (!problem.empty()) return ShowPlainMessage(problem);
  ListBox1->Items->Add(name);
}

void TForm6::Button2Click(TObject*) {
  // The teacher renamed is the one unlocked, still selected; the name box
  // holds its new name.
  const int i = ListBox1->ItemIndex;
  if (UnlockedTeacher.empty() || i < 1 || ListBox1->Items->Get(i) != UnlockedTeacher)
    return ShowPlainMessage("请选择任课教师！");
  const std::string name = Edit1->Text;
  std::vector<std::string> list = NamedTeachers();
  list.insert(list.begin(), kDefaultTeacherEntry);
  const std::string problem = TeacherNameProblem(name, list, i);
  if (!problem.empty()) return ShowPlainMessage(problem);
  TIniFile ini(SettingsFile());
  const std::string pictures = ini.ReadString(UnlockedTeacher, "dcu", "");
  ListBox1->Items->Strings[i] = name;
  WriteTeacher(ini, name, Shown(), true);
  // The picture folder goes with the teacher; the old section stays.
  if (!pictures.empty() && !SameTeacherName(name, UnlockedTeacher)) ini.WriteString(name, "dcu", pictures);
  Unlock(name);
  ShownTeacher = name;
}

void TForm6::Button5Click(TObject*) {
  if (!CheckUnlocked()) return;
  const int i = ListBox1->ItemIndex;
  if (i < 1 || ListBox1->Items->Get(i) != UnlockedTeacher) return ShowPlainMessage("请选择任课教师！");
  TIniFile ini(SettingsFile());
  // A teacher loaded under a name the list or the default teacher uses
  // leaves that section alone.
  if (!ReservedTeacherName(UnlockedTeacher)) ini.EraseSection(UnlockedTeacher);
  ListBox1->Items->Delete(i);
  WriteTeacherList(ini, NamedTeachers());
  Lock();
  ClearTeacher();
}

// ---- volumes and lessons ----

void TForm6::Button3Click(TObject*) {
  if (CheckUnlocked()) AddNextNumber(ListBox2);
}

void TForm6::Button4Click(TObject*) {
  if (CheckUnlocked()) AddNextNumber(ListBox3);
}

void TForm6::Button6Click(TObject*) {
  if (CheckUnlocked()) RemoveLastNumber(ListBox2);
}

void TForm6::Button7Click(TObject*) {
  if (CheckUnlocked()) RemoveLastNumber(ListBox3);
}

void TForm6::ListBox2Click(TObject*) {
  if (ListBox2->ItemIndex >= 0) Edit2->Text = ListBox2->Items->Get(ListBox2->ItemIndex);
}

void TForm6::ListBox3Click(TObject*) {
  if (ListBox3->ItemIndex >= 0) Edit3->Text = ListBox3->Items->Get(ListBox3->ItemIndex);
}

// ---- personal settings ----

void TForm6::SpeedButton7Click(TObject*) {
  if (Edit4->Text != "9") Edit4->Text = IntToStr(StrToInt(Edit4->Text) + 1);
}

void TForm6::SpeedButton8Click(TObject*) {
  if (Edit4->Text != "1") Edit4->Text = IntToStr(StrToInt(Edit4->Text) - 1);
}

void TForm6::SpeedButton9Click(TObject*) {
  if (Form3->LCD->Execute()) LCP->Color = Form3->LCD->Color;
}

void TForm6::LCPClick(TObject* Sender) { SpeedButton9Click(Sender); }

void TForm6::RCPClick(TObject*) {
  if (Form3->RCD->Execute()) RCP->Color = Form3->RCD->Color;
}

void TForm6::BitBtn1Click(TObject*) {
  // The name box names the teacher the settings shown are of: the default
  // teacher (nobody), the unlocked one, or one locked again since, whose
  // settings then go nowhere.
  Edit1->Text = ShownTeacher;
  Form1->PaintSource = 1;
  const TColor pen = LCP->Color, background = RCP->Color;
  Form3->LCP->Color = pen;
  Form3->Edit1->Text = Edit4->Text;
  // The eraser keeps drawing in the background colour.
  if (DrawMode != kEraser) Form3->Canvas->Pen->Color = pen;
  Close();

  if (background != Form3->RCP->Color) {
    Form3->RCP->Color = background;
    const int page = Form3->CurrentPage;
    if (Form3->PageState[page] < 2) {
      Form1->PaintSource = 0;
      Form3->Color = background;
      Form3->Invalidate();
      Form3->FillPage(page, background);
      Form3->InvalidateUndo();
      // As the board's own refill: the eraser paints the new background and
      // no flattened layer belongs to the page any more.
      Form3->LayerActive = 0;
      if (DrawMode == kEraser) Form3->Canvas->Pen->Color = background;
      Form3->NoteColour = TForm3::NoteColourFor(background);
    }
  }

  TIniFile ini(SettingsFile());
  WriteTeacherList(ini, NamedTeachers());
  if (ShownTeacher.empty()) {
    ini.WriteString(kTeacherListSection, "te0", kDefaultTeacherSection);
    WriteTeacher(ini, kDefaultTeacherSection, Shown(), false);
  } else if (ShownTeacher == UnlockedTeacher) {
    WriteTeacher(ini, ShownTeacher, Shown(), false);
  }
  ini.WriteString(kTeacherListSection, "drive", std::string(1, DriveComboBox1->Drive));
  Form3->Image26->Tag = -1;
}

// ---- passwords ----

void TForm6::Button8Click(TObject*) {
  if (!CheckUnlocked()) return;
  Form8->ChangeMode = 1;
  Form8->Teacher = UnlockedTeacher;
  Form8->Edit1->Text = "";
  Form8->Edit2->Text = "";
  Form8->Edit3->Text = "";
  Form8->Show();
}

void TForm6::Button9Click(TObject*) {
  const std::string record = DataFolder + "sxut.dll";
  if (!FileExists(record)) CopyFile(Form3->ProgramFolder + "sxut.dll", record, TRUE);
  Form8->ChangeMode = 2;
  Form8->Teacher.clear();
  Form8->Edit1->Text = "";
  Form8->Edit2->Text = "";
  Form8->Edit3->Text = "";
  Form8->Show();
}
