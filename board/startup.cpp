#include "board/startup.h"

#include "board/annotate.h"
#include "board/board.h"
#include "board/curtain.h"
#include "board/help.h"
#include "board/lesson_files.h"
#include "board/lessons.h"
#include "board/password.h"
#include "board/password_change.h"
#include "board/picture_import.h"
#include "board/scan.h"
#include "board/toolbar.h"
#include "board/writing_panel.h"

void QuarvelStartUp() {
  Application->Initialize();
  Application->Title = "Quarvel";
  // Lessons whose save was cut short by a kill are made whole before any
  // is opened.
  RecoverLessonFolders();
  Application->CreateForm(Form1);
  Application->CreateForm(Form2);
  Application->CreateForm(Form3);
  Application->CreateForm(Form4);
  Application->CreateForm(Form5);
  Application->CreateForm(Form6);
  Application->CreateForm(Form7);
  Application->CreateForm(Form8);
  Application->CreateForm(Form11);
  Application->CreateForm(Form12);
  Application->CreateForm(Form13);
  Application->CreateForm(Form14);
}
