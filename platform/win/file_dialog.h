// Modal file and folder dialogs: QFileDialog with Qt's own widgets, so that
// they look and answer alike on every desktop.
//
// Driving them without a person, through the message boxes' variables
// (msgbox.h), in the order the dialogs and boxes come up:
// - QUARVEL_MSGBOX_LOG: every dialog appends "title<TAB>kind<TAB>start<TAB>
//   filters": kind OPEN, SAVE or FOLDER; start the file or folder it opens
//   on (Linux path); filters its name filters joined by ";;".
// - QUARVEL_MSGBOX_ANSWERS: a line "FILE <path>" chooses that path (UTF-8
//   Linux path; a relative one lies in the dialog's folder), CANCEL cancels,
//   any other line cancels too and says so on stderr. The dialog is shown and
//   answered as soon as it is up. A scripted choice counts as the person's
//   confirmed choice: the dialog's own checks (the file must exist, the
//   overwrite question) do not run for it.
#pragma once
#include <QFileDialog>
#include <QString>

#include <functional>
#include <optional>

namespace win {

// Makes a dialog without owner on the GUI thread, lets `setup` dress it
// (modes, title, filters, where it starts) and runs it modally. The chosen
// path (Linux, UTF-8), or nothing when cancelled or when the process has no
// Qt application to show it. Callable from any thread.
std::optional<QString> RunFileDialog(const std::function<void(QFileDialog&)>& setup);

}  // namespace win
