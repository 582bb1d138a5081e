// The lesson and teacher manager TForm6 (Unit6): the teachers with their
// volumes, lessons and personal settings in the settings file, the default
// teacher applied to the board at start-up, and the lock that only a
// teacher's password (or none) opens.
//
// A teacher is unlocked under the name it had when it was unlocked
// (UnlockedTeacher): that name, not the text of the name box, names its
// section and its lessons, and typing in the name box locks the manager
// again (only a rename still takes the typed name).
//
// The board's paint draws a lesson image through it: LessonImage drawn by
// LessonGraphics (a drawing surface on the board's canvas) is captured into
// Pages[LoadingPage].
#pragma once
#include <memory>
#include <string>
#include <vector>

#include "board/teachers.h"
#include "platform/gdiplus/gdiplus.h"
#include "platform/vcl/buttons.h"
#include "platform/vcl/extctrls.h"
#include "platform/vcl/filectrl.h"
#include "platform/vcl/forms.h"
#include "platform/vcl/stdctrls.h"

class TForm6 : public TForm {
 public:
  explicit TForm6(TComponent* owner);

  // Folder of the settings file, with a trailing backslash.
  std::string SettingsFolder;
  // The lesson folder; empty until the first lesson open or save.
  std::string DataFolder;
  // Password code of the teacher last selected or unlocked.
  std::string TeacherPassword;
  // 1 while the selected teacher may change lessons, volumes, names and
  // password.
  int TeacherUnlocked = 0;
  // The teacher that was unlocked, as named then; empty when none is.
  std::string UnlockedTeacher;
  // The teacher whose settings the controls show, as named when they were
  // loaded; empty for the default teacher. OK stores them only for the
  // default teacher or while this teacher is the unlocked one.
  std::string ShownTeacher;
  std::unique_ptr<Gdiplus::Image> LessonImage;
  std::unique_ptr<Gdiplus::Graphics> LessonGraphics;
  int LoadingPage = 0;

  // SettingsFolder + "datb.sec".
  std::string SettingsFile() const;
  // The section the settings shown belong to: the unlocked teacher's, else
  // the default teacher's.
  std::string TeacherSection() const;
  // The lesson named by the controls: the unlocked teacher, volume and
  // lesson joined without separators.
  std::string LessonKey() const;
  // Unlocks a teacher under its list name (the name box shows it).
  void Unlock(const std::string& teacher);
  // Locks the manager and forgets the unlocked teacher.
  void Lock();
  // The lists, swatches and width of a section shown in the controls;
  // TeacherPassword := its code.
  void ShowTeacher(const std::string& section);
  // The name box emptied; a named teacher's settings give way to the
  // default teacher's, which an empty name box stands for.
  void ClearTeacher();
  // The teachers of ListBox1 without "默认".
  std::vector<std::string> NamedTeachers() const;

  // ---- the form ----
  TGroupBox* GroupBox1;  // "任课教师"
  TListBox* ListBox1;    // "默认", then the named teachers
  TEdit* Edit1;          // teacher name
  TButton *Button1, *Button2, *Button5;  // add, rename, delete
  TButton *Button8, *Button9;            // personal and administrator password
  TGroupBox* GroupBox2;  // "课程选择"
  TListBox* ListBox2;    // volumes
  TEdit* Edit2;
  TLabel *Label1, *Label2;
  TButton *Button3, *Button6;
  TListBox* ListBox3;  // lessons
  TEdit* Edit3;
  TLabel *Label3, *Label4;
  TButton *Button4, *Button7;
  TDriveComboBox* DriveComboBox1;
  TLabel *Label5, *Label6;
  TSpeedButton *SpeedButton1, *SpeedButton2;  // open, save
  TGroupBox* GroupBox3;  // "个性设置"
  TPanel* LCP;           // pen colour swatch
  TSpeedButton* SpeedButton9;
  TPanel* RCP;  // background colour swatch
  TEdit* Edit4;  // pen width "1".."9"
  TSpeedButton *SpeedButton7, *SpeedButton8;  // width up, down
  TBitBtn* BitBtn1;  // "确定"

  void FormCreate(TObject* Sender);
  void FormShow(TObject* Sender);
  void ListBox1Click(TObject* Sender);
  void Edit1Change(TObject* Sender);
  void Button1Click(TObject* Sender);  // add a teacher
  void Button2Click(TObject* Sender);  // rename
  void Button5Click(TObject* Sender);  // delete
  void Button3Click(TObject* Sender);  // next volume
  void Button4Click(TObject* Sender);  // next lesson
  void Button6Click(TObject* Sender);  // last volume off
  void Button7Click(TObject* Sender);  // last lesson off
  void ListBox2Click(TObject* Sender);
  void ListBox3Click(TObject* Sender);
  void SpeedButton7Click(TObject* Sender);
  void SpeedButton8Click(TObject* Sender);
  void SpeedButton9Click(TObject* Sender);
  void LCPClick(TObject* Sender);
  void RCPClick(TObject* Sender);
  void BitBtn1Click(TObject* Sender);  // OK
  void Button8Click(TObject* Sender);
  void Button9Click(TObject* Sender);

  // ---- lesson_files.cpp: the lesson named by the controls ----
  void SpeedButton1Click(TObject* Sender);  // open it into the board
  void SpeedButton2Click(TObject* Sender);  // save the board as it

 private:
  void BuildForm();
  // "请选择任课教师！" unless the teacher is unlocked.
  bool CheckUnlocked() const;
  TeacherSettings Shown() const;
};

extern TForm6* Form6;

// A plain message box with the application's title.
void ShowPlainMessage(const std::string& text);
