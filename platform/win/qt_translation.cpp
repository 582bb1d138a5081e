// Qt's own texts (standard buttons, the file, colour and font dialogs) in
// Chinese, like the rest of the interface. Loaded for every Qt application in
// a process that uses this layer: the programs', a test's, or a host's that
// loads one of the libraries, whoever created it and whenever.
#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

#include <cstdio>

namespace {

// Font style names ("Bold", "Oblique") stay as the fonts name them: Qt's
// font dialog turns its translated style names back into the wrong style
// (a bold choice came back italic).
class QtChinese : public QTranslator {
 public:
  using QTranslator::QTranslator;
  QString translate(const char* context, const char* source, const char* disambiguation, int n) const override {
    if (qstrcmp(context, "QFontDatabase") == 0) return {};
    return QTranslator::translate(context, source, disambiguation, n);
  }
};

void LoadQtChinese() {
  QCoreApplication* app = QCoreApplication::instance();
  // Owned by the application: it goes with it, and a later application
  // gets its own.
  auto* translator = new QtChinese(app);
  const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
  if (translator->load(QStringLiteral("qt_zh_CN"), folder) && QCoreApplication::installTranslator(translator)) return;
  fprintf(stderr, "qt_zh_CN.qm not found in %s: Qt's dialogs stay in English\n", qPrintable(folder));
  delete translator;
}

}  // namespace

// Runs at the end of every QCoreApplication constructor, and at once when the
// layer is loaded into a process whose application already exists.
Q_COREAPP_STARTUP_FUNCTION(LoadQtChinese)
