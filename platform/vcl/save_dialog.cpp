#include "platform/vcl/save_dialog.h"

#include <QStringList>

#include "platform/fs/path.h"
#include "platform/text/gbk.h"
#include "platform/win/file_dialog.h"

bool TSaveDialog::Execute() {
  const std::optional<QString> chosen = win::RunFileDialog([this](QFileDialog& d) {
    d.setAcceptMode(QFileDialog::AcceptSave);
    d.setFileMode(QFileDialog::AnyFile);
    d.setWindowTitle(gbk::ToQString(title_.empty() ? AnsiString("另存为") : title_));
    // "text|mask;mask|..." as Qt's name filters, "text (mask mask)".
    const QStringList parts = gbk::ToQString(filter_).split('|');
    QStringList filters;
    for (int i = 0; i + 1 < parts.size(); i += 2)
      filters << parts[i] + " (" + parts[i + 1].split(';', Qt::SkipEmptyParts).join(' ') + ")";
    if (!filters.isEmpty()) d.setNameFilters(filters);
    if (!initialDir_.empty()) d.setDirectory(QString::fromStdString(winpath::ToLinux(initialDir_)));
    const bool bare = fileName_.find_first_of("\\/:") == AnsiString::npos;
    if (!fileName_.empty())
      d.selectFile(bare ? gbk::ToQString(fileName_) : QString::fromStdString(winpath::ToLinux(fileName_)));
  });
  if (!chosen) return false;
  fileName_ = winpath::FromLinux(chosen->toStdString());
  return true;
}
