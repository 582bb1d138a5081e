// The web engine's side of the web browser control: the view over Qt
// WebEngine, loaded by the control at its first page (web_engine.h).
#include "platform/vcl/web_engine.h"

#include <QLoggingCategory>
#include <QQuickWindow>
#include <QWebEngineDownloadRequest>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineView>

#include <unistd.h>

namespace {

// Once per process, before the engine's first page.
void PrepareEngine() {
  static bool done = false;
  if (done) return;
  done = true;
  if (qEnvironmentVariableIsEmpty("QTWEBENGINE_CHROMIUM_FLAGS")) {
    QByteArray flags;
    if (geteuid() == 0) flags += "--no-sandbox ";  // the engine refuses root otherwise
    if (access("/dev/dri", F_OK) != 0) flags += "--disable-gpu";
    if (!flags.isEmpty()) qputenv("QTWEBENGINE_CHROMIUM_FLAGS", flags.trimmed());
  }
  QQuickWindow::setGraphicsApi(QSGRendererInterface::Software);
  // The engine describes its set-up on every start; the program's output is
  // no place for it.
  QLoggingCategory::setFilterRules("qt.webenginecontext.info=false");
}

// A page that embeds what the engine cannot show as a page of its own.
QString EmbeddingPage(const QUrl& url) {
  const QString src = url.toString(QUrl::FullyEncoded).toHtmlEscaped();
  return "<html><body style=\"margin:0\"><embed src=\"" + src + "\" width=\"100%\" height=\"100%\"></body></html>";
}

QWebEngineView* Make(QWidget* parent, std::function<QUrl()> asked) {
  PrepareEngine();
  auto* view = new QWebEngineView(parent);
  view->setGeometry(parent->rect());
  view->show();
  // The profile is the engine's default one, shared by every browser of the
  // program (off the record: nothing is kept on disk); each browser looks
  // only at downloads of what it was asked to show, by address: a request's
  // page() is left dangling when the page that started it is gone. A
  // download nobody accepts is dropped.
  QObject::connect(view->page()->profile(), &QWebEngineProfile::downloadRequested, view,
                   [view, asked](QWebEngineDownloadRequest* request) {
                     const QUrl url = asked();
                     if (request->url() != url) return;
                     view->setHtml(EmbeddingPage(url), url);
                   });
  return view;
}

QWidget* Widget(QWebEngineView* view) { return view; }

void Load(QWebEngineView* view, const QUrl& url) { view->load(url); }

const vcl::WebEngine kEngine = {Make, Widget, Load};

}  // namespace

extern "C" __attribute__((visibility("default"))) const vcl::WebEngine* QuarvelWebEngine() { return &kEngine; }
