#include "platform/vcl/webbrowser.h"

#include <QApplication>
#include <QLoggingCategory>
#include <QQuickWindow>
#include <QRegularExpression>
#include <QWebEngineDownloadRequest>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineView>

#include <unistd.h>

#include "platform/fs/path.h"
#include "platform/text/gbk.h"
#include "platform/vcl/events.h"

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

}  // namespace

TWebBrowser::TWebBrowser(TComponent* owner) : TWinControl(owner) {
  // White until a page is shown, as a blank page is.
  setAutoFillBackground(true);
  QPalette p = palette();
  p.setColor(QPalette::Window, Qt::white);
  setPalette(p);
  setFocusPolicy(Qt::StrongFocus);
  resize(300, 150);
  if (auto* app = qobject_cast<QApplication*>(QCoreApplication::instance()))
    QObject::connect(app, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) { FocusChanged(now); });
}

// The view and its page go before the control's other children.
TWebBrowser::~TWebBrowser() { delete view_; }

QUrl TWebBrowser::UrlOf(const AnsiString& address) {
  if (address.empty()) return QUrl("about:blank");
  const QString text = gbk::ToQString(address);
  // Two letters at least before the colon: "C:" is a drive.
  static const QRegularExpression scheme("^[A-Za-z][A-Za-z0-9+.-]+:");
  if (scheme.match(text).hasMatch()) return QUrl(text);
  return QUrl::fromLocalFile(QString::fromStdString(winpath::ToLinux(address)));
}

QWebEngineView* TWebBrowser::MakeView() {
  if (view_) return view_;
  PrepareEngine();
  view_ = new QWebEngineView(this);
  view_->setGeometry(rect());
  view_->show();
  setFocusProxy(view_);
  // The profile is the engine's default one, shared by every browser of the
  // program (off the record: nothing is kept on disk); each browser looks
  // only at its own page's downloads. A download nobody accepts is dropped.
  QObject::connect(view_->page()->profile(), &QWebEngineProfile::downloadRequested, view_,
                   [this](QWebEngineDownloadRequest* request) {
                     if (request->page() != view_->page() || request->url() != asked_) return;
                     view_->setHtml(EmbeddingPage(asked_), asked_);
                   });
  return view_;
}

void TWebBrowser::Navigate(const AnsiString& address) {
  asked_ = UrlOf(address);
  MakeView()->load(asked_);
}

void TWebBrowser::resizeEvent(QResizeEvent* e) {
  TWinControl::resizeEvent(e);
  if (view_) view_->setGeometry(rect());
}

// Focus is followed through the application (it sits in the engine's inner
// widgets), so the control's own focus events do not fire OnEnter/OnExit.
void TWebBrowser::focusInEvent(QFocusEvent* e) { QWidget::focusInEvent(e); }
void TWebBrowser::focusOutEvent(QFocusEvent* e) { QWidget::focusOutEvent(e); }

void TWebBrowser::FocusChanged(QWidget* now) {
  const bool inside = now && (now == this || isAncestorOf(now));
  if (inside && !focused_) {
    focused_ = true;
    vcl::Fire(OnEnter, static_cast<TObject*>(this));
  } else if (!inside && focused_ && now && now->window() == window()) {
    focused_ = false;
    vcl::Fire(OnExit, static_cast<TObject*>(this));
  }
}
