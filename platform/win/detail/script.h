// The environment-driven answering of dialogs for tests, shared by message
// boxes and file dialogs (the contract is in msgbox.h and file_dialog.h).
#pragma once
#include <QByteArray>
#include <QStringList>

#include <optional>

namespace win::detail {

// The next answer line of $QUARVEL_MSGBOX_ANSWERS, trimmed, taken out of the
// file (blank lines are skipped); nothing when there is none.
std::optional<QByteArray> TakeAnswer();

// Appends one line to $QUARVEL_MSGBOX_LOG: the fields in UTF-8, joined by
// tabs, with backslash, tab and line breaks inside them escaped.
void LogDialog(const QStringList& fields);

}  // namespace win::detail
