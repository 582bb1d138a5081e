// Answering dialogs without a person, for tests. Message boxes (msgbox.h),
// file dialogs (file_dialog.h) and the form library's dialogs share one
// answers file and one log, in the order the dialogs come up:
// - $QUARVEL_MSGBOX_ANSWERS: one answer a line, a word (any case) and what
//   the dialog needs after it ("YES", "FILE <path>", "COLOR $BBGGRR" ...).
//   Each dialog takes the first line and removes it from the file; blank
//   lines are skipped. When the file runs out, dialogs wait for a person.
// - $QUARVEL_MSGBOX_LOG: every dialog appends one line, its fields in UTF-8
//   joined by tabs, with backslash, tab and line breaks inside them written
//   as \\, \t, \n (\r as \r).
// A scripted dialog is still shown, and answered once it is on the screen.
#pragma once
#include <QByteArray>
#include <QStringList>

#include <functional>
#include <optional>

class QDialog;

namespace win {

struct ScriptedAnswer {
  QByteArray word;  // upper case
  QByteArray rest;  // what follows the word and the blanks after it (UTF-8)
};

// The next answer, taken out of the answers file; nothing when there is none.
std::optional<ScriptedAnswer> TakeScriptedAnswer();

// Appends one line to the log.
void LogDialog(const QStringList& fields);

// Runs `answer` once the dialog is on the screen (exposed), so that it was
// really shown; a dialog left covered by other windows gets no exposure and
// is answered 2 s after it was shown. Call before the dialog's exec().
void AnswerWhenShown(QDialog* dialog, std::function<void()> answer);

}  // namespace win
