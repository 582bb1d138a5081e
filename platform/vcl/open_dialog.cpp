#include "platform/vcl/open_dialog.h"

#include <QDir>
#include <QStringList>

#include "platform/fs/path.h"
#include "platform/text/gbk.h"
#include "platform/win/file_dialog.h"

namespace {

// "text|mask;mask|..." as Qt's name filters, "text (mask mask)".
QStringList NameFilters(const AnsiString& filter) {
  const QStringList parts = gbk::ToQString(filter).split('|');
  QStringList out;
  for (int i = 0; i + 1 < parts.size(); i += 2)
    out << parts[i] + " (" + parts[i + 1].split(';', Qt::SkipEmptyParts).join(' ') + ")";
  return out;
}

}  // namespace

bool TOpenDialog::Execute() {
  const std::optional<QString> chosen = win::RunFileDialog([this](QFileDialog& d) {
    d.setAcceptMode(QFileDialog::AcceptOpen);
    d.setFileMode(QFileDialog::ExistingFile);
    d.setWindowTitle(gbk::ToQString(title_.empty() ? AnsiString("打开") : title_));
    d.setFilter(d.filter() & ~QDir::CaseSensitive);
    const QStringList filters = NameFilters(filter_);
    if (!filters.isEmpty()) d.setNameFilters(filters);
    if (!initialDir_.empty()) d.setDirectory(QString::fromStdString(winpath::ToLinux(initialDir_)));
    // A bare name is offered in the dialog's folder.
    const bool bare = fileName_.find_first_of("\\/:") == AnsiString::npos;
    if (!fileName_.empty())
      d.selectFile(bare ? gbk::ToQString(fileName_) : QString::fromStdString(winpath::ToLinux(fileName_)));
  });
  if (!chosen) return false;
  fileName_ = winpath::FromLinux(chosen->toStdString());
  return true;
}
