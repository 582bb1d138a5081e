// Modal message boxes (QMessageBox), GBK texts.
//
// Driving them without a person, for tests:
// - QUARVEL_MSGBOX_LOG=<file>: every box appends one line "caption<TAB>text"
//   in UTF-8; backslash, tab and line breaks inside are written as \\, \t, \n.
// - QUARVEL_MSGBOX_ANSWERS=<file>: one answer a line, YES, NO, OK or CANCEL
//   (any case); each box takes the first line and removes it from the file.
//   The box is still shown, then answered as soon as it is up. An answer the
//   box has no button for gives the box's Escape result. When the file runs
//   out, boxes wait for a person again.
#pragma once
#include "platform/windef.h"

#include <QString>

#include <optional>
#include <string>

// MB_OK, MB_OKCANCEL, MB_YESNO, MB_YESNOCANCEL with MB_ICONERROR,
// MB_ICONQUESTION, MB_ICONWARNING or MB_ICONINFORMATION. Returns IDOK, IDCANCEL,
// IDYES or IDNO. The owner (a window of this process) is the box's parent. A
// NULL caption is "Error". Called off the GUI thread, the box is run there.
int MessageBox(HWND owner, LPCSTR text, LPCSTR caption, UINT type);

namespace win {

// For the layer's other dialogs (colour and file dialogs), which take part
// in the same scripting: the next non-empty line of the answers file,
// trimmed and taken out of it (as it is, UTF-8); nothing when there is none.
std::optional<std::string> TakeScriptedAnswer();
// Appends "caption<TAB>text" to the log file, escaped as above.
void LogDialog(const QString& caption, const QString& text);

}  // namespace win
