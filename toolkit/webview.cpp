// SPDX-License-Identifier: MIT
// The embedded web view (on Windows the WebBrowser control driven through
// IWebBrowser2) realised with Qt WebEngine. The page lives in a private,
// off-the-record profile: it keeps nothing on disk and reaches none of the
// program's files.
#include <QApplication>
#include <QDesktopServices>
#include <QOpenGLContext>
#include <QQuickWindow>
#include <QVBoxLayout>
#include <QWebEngineDownloadRequest>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineSettings>
#include <QWebEngineView>

#include "toolkit/webview.h"

// Qt's own hooks for the context the engine shares (exported by Qt Gui).
QT_BEGIN_NAMESPACE
Q_GUI_EXPORT void qt_gl_set_global_share_context(QOpenGLContext* context);
Q_GUI_EXPORT QOpenGLContext* qt_gl_global_share_context();
QT_END_NAMESPACE

namespace {

// Text zoom steps 0 (smallest) to 4 (largest); 2 is the ordinary size.
constexpr double kZoomFactors[] = {0.7, 0.85, 1.0, 1.15, 1.3};

const char kOfflinePage[] = R"(<!doctype html><html><head><meta charset="utf-8"><style>
html,body{margin:0;height:100%;background:#f4f6fa;font:12px "Noto Sans CJK SC",sans-serif;color:#5a6270}
div{display:flex;height:100%;align-items:center;justify-content:center;text-align:center}
</style></head><body><div>暂时无法打开推广页面</div></body></html>)";

// Keeps the page to web addresses: no local files, no downloads, and a link
// that wants a new window goes to the desktop's browser instead.
class GuardedPage : public QWebEnginePage {
 public:
  using QWebEnginePage::QWebEnginePage;

 protected:
  bool acceptNavigationRequest(const QUrl& url, NavigationType, bool) override {
    const QString scheme = url.scheme();
    return scheme == u"http" || scheme == u"https" || (scheme == u"data" && showingOwnPage_);
  }
  QWebEnginePage* createWindow(WebWindowType) override {
    auto* catcher = new QWebEnginePage(profile(), this);
    // The address of the wanted window is known only once it starts loading.
    connect(catcher, &QWebEnginePage::urlChanged, catcher, [catcher](const QUrl& url) {
      if (url.scheme() == u"http" || url.scheme() == u"https") QDesktopServices::openUrl(url);
      catcher->deleteLater();
    });
    return catcher;
  }

 public:
  void showOwnPage(const QString& html) {
    showingOwnPage_ = true;
    setHtml(html, QUrl(QStringLiteral("about:blank")));
  }

 private:
  bool showingOwnPage_ = false;
};

// Owns the engine objects, so they go in the order the engine wants: the
// page before its profile.
class WebView : public QWidget {
 public:
  WebView(QWidget* parent, const QString& address, int zoomStep) : QWidget(parent) {
    profile_ = new QWebEngineProfile(this);  // no storage name: off the record
    profile_->setHttpCacheType(QWebEngineProfile::MemoryHttpCache);
    profile_->setPersistentCookiesPolicy(QWebEngineProfile::NoPersistentCookies);
    connect(profile_, &QWebEngineProfile::downloadRequested, profile_,
            [](QWebEngineDownloadRequest* download) { download->cancel(); });
    page_ = new GuardedPage(profile_, this);
    page_->settings()->setAttribute(QWebEngineSettings::ErrorPageEnabled, false);
    page_->settings()->setAttribute(QWebEngineSettings::LocalContentCanAccessFileUrls, false);
    page_->settings()->setAttribute(QWebEngineSettings::PluginsEnabled, false);
    page_->setZoomFactor(kZoomFactors[std::clamp(zoomStep, 0, 4)]);
    GuardedPage* page = page_;
    connect(page_, &QWebEnginePage::loadFinished, page_, [page](bool ok) {
      if (!ok) page->showOwnPage(QString::fromUtf8(kOfflinePage));
    });
    view_ = new QWebEngineView(this);
    view_->setPage(page_);
    view_->setContextMenuPolicy(Qt::NoContextMenu);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(view_);
    setFocusProxy(view_);
    if (!address.isEmpty()) page_->load(QUrl(address));
  }
  ~WebView() override {
    delete view_;
    delete page_;
    delete profile_;
  }

 private:
  QWebEngineProfile* profile_;
  GuardedPage* page_;
  QWebEngineView* view_;
};

}  // namespace

QWidget* qrgenCreateWebView(QWidget* parent, const char* address, int zoomStep) {
  // Software composition: the engine then needs no GL context shared from
  // start-up, which would cost the window its quick appearance.
  static const bool composed = [] {
    QQuickWindow::setGraphicsApi(QSGRendererInterface::Software);
    // The engine still asks the shared context for its format; it exists only
    // when made before the application object, so this module makes it.
    if (!qt_gl_global_share_context()) {
      auto* context = new QOpenGLContext(qApp);
      context->create();
      qt_gl_set_global_share_context(context);
    }
    return true;
  }();
  (void)composed;
  auto* view = new WebView(parent, QString::fromUtf8(address ? address : ""), zoomStep);
  auto* layout = new QVBoxLayout(parent);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(view);
  view->show();
  return view;
}
