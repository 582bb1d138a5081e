// Modal message boxes (QMessageBox), GBK texts.
//
// Driving them without a person, for tests (dialog_script.h):
// - QUARVEL_MSGBOX_LOG=<file>: every box appends one line "caption<TAB>text".
// - QUARVEL_MSGBOX_ANSWERS=<file>: one answer a line, YES, NO, OK or CANCEL
//   (any case). The box is still shown, then answered as soon as it is up.
//   An answer the box has no button for (or any other line) gives the box's
//   Escape result. File and folder dialogs and the form library's dialogs
//   take their answers from the same file and log to the same log.
#pragma once
#include "platform/windef.h"

// MB_OK, MB_OKCANCEL, MB_YESNO, MB_YESNOCANCEL with MB_ICONERROR,
// MB_ICONQUESTION, MB_ICONWARNING or MB_ICONINFORMATION. Returns IDOK, IDCANCEL,
// IDYES or IDNO. The owner (a window of this process) is the box's parent. A
// NULL caption is "Error". Called off the GUI thread, the box is run there.
// Without a QApplication (a host program without Qt widgets) the box is the
// line "caption: text" on standard error, both in UTF-8, logged as a box
// and answered by its default button (IDOK or IDYES).
int MessageBox(HWND owner, LPCSTR text, LPCSTR caption, UINT type);
