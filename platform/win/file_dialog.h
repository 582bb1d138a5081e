// Modal file and folder dialogs: QFileDialog with Qt's own widgets, so that
// they look and answer alike on every desktop.
//
// Driving them without a person (dialog_script.h), like message boxes:
// - the log line is "title<TAB>kind<TAB>start<TAB>filters": kind OPEN, SAVE
//   or FOLDER; start the file or folder it opens on (Linux path); filters its
//   name filters joined by ";;".
// - the answer "FILE <path>" chooses that path (UTF-8 Linux path; a relative
//   one lies in the dialog's folder), CANCEL cancels, any other answer
//   cancels too and says so on stderr. A scripted choice counts as the
//   person's confirmed choice: the dialog's own checks (the file must exist,
//   the overwrite question) do not run for it.
#pragma once
#include <QFileDialog>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

namespace win {

// Makes a dialog without owner on the GUI thread, lets `setup` dress it
// (modes, title, filters, where it starts) and runs it modally. The chosen
// path (Linux, UTF-8), or nothing when cancelled or when the process has no
// Qt application to show it. Callable from any thread.
std::optional<QString> RunFileDialog(const std::function<void(QFileDialog&)>& setup);

// Qt's name filters for a Windows filter text "description|patterns|...":
// patterns separated by ';', "*.*" meaning every file; an empty description
// or one without its patterns ends the list (the "||" that closes it).
QStringList NameFilters(const QString& filter);

}  // namespace win
