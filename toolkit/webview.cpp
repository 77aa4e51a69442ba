// SPDX-License-Identifier: MIT
// The embedded web view (on Windows the WebBrowser control driven through
// IWebBrowser2) realised with Qt WebEngine. The page lives in a private,
// off-the-record profile: it keeps nothing on disk and reaches none of the
// program's files. It may go to web addresses only; it gets no windows,
// downloads, dialogs or permissions, and a window the user asks for by a
// click opens in the desktop's browser.
#include <QApplication>
#include <QDesktopServices>
#include <QOpenGLContext>
#include <QQuickWindow>
#include <QTemporaryDir>
#include <QVBoxLayout>
#include <QWebEngineDownloadRequest>
#include <QWebEngineLoadingInfo>
#include <QWebEngineNewWindowRequest>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineSettings>
#include <QWebEngineUrlRequestInfo>
#include <QWebEngineUrlRequestInterceptor>
#include <QWebEngineView>
#include <algorithm>

#include "toolkit/webview.h"

// Qt's own hooks for the context the engine shares (exported by Qt Gui).
QT_BEGIN_NAMESPACE
Q_GUI_EXPORT void qt_gl_set_global_share_context(QOpenGLContext* context);
Q_GUI_EXPORT QOpenGLContext* qt_gl_global_share_context();
QT_END_NAMESPACE

namespace {

// Text zoom steps 0 (smallest) to 4 (largest); 2 is the ordinary size.
constexpr double kZoomFactors[] = {0.7, 0.85, 1.0, 1.15, 1.3};

const char kOfflinePage[] = R"(<!doctype html><html><head><meta charset="utf-8">
<title>暂时无法打开推广页面</title><style>
html,body{margin:0;height:100%;background:#f4f6fa;font:12px "Noto Sans CJK SC",sans-serif;color:#5a6270}
div{display:flex;height:100%;align-items:center;justify-content:center;text-align:center}
</style></head><body><div>暂时无法打开推广页面</div></body></html>)";

bool isWebAddress(const QUrl& url) {
  return url.scheme() == u"http" || url.scheme() == u"https";
}

// Turns away whatever a page fetches from outside the web: the engine would
// otherwise hand it pictures compiled into the program (qrc:). data: and
// blob: hold only what the page has already.
class WebOnlyRequests : public QWebEngineUrlRequestInterceptor {
 public:
  using QWebEngineUrlRequestInterceptor::QWebEngineUrlRequestInterceptor;
  void interceptRequest(QWebEngineUrlRequestInfo& request) override {
    const QUrl& url = request.requestUrl();
    if (!isWebAddress(url) && url.scheme() != u"data" && url.scheme() != u"blob")
      request.block(true);
  }
};

// Keeps the page to web addresses: no local files, no windows, dialogs or
// prompts of its own; a window the user asks for opens in the desktop's
// browser instead.
class GuardedPage : public QWebEnginePage {
 public:
  GuardedPage(QWebEngineProfile* profile, QObject* parent) : QWebEnginePage(profile, parent) {
    // Every request gets its no at once: unanswered, the page would wait forever.
    connect(this, &QWebEnginePage::featurePermissionRequested, this,
            [this](const QUrl& origin, Feature feature) {
              setFeaturePermission(origin, feature, PermissionDeniedByUser);
            });
    // Only a click may open the browser: a page opening windows on its own
    // would fill the desktop with them. The engine gets no page for the new
    // window, so none opens here.
    connect(this, &QWebEnginePage::newWindowRequested, this,
            [](QWebEngineNewWindowRequest& request) {
              if (request.isUserInitiated() && isWebAddress(request.requestedUrl()))
                QDesktopServices::openUrl(request.requestedUrl());
            });
  }

  void showOwnPage(const QString& html) {
    showingOwnPage_ = true;
    setHtml(html, QUrl(QStringLiteral("about:blank")));
  }

 protected:
  bool acceptNavigationRequest(const QUrl& url, NavigationType, bool) override {
    return isWebAddress(url) || (url.scheme() == u"data" && showingOwnPage_);
  }
  QWebEnginePage* createWindow(WebWindowType) override { return nullptr; }
  QStringList chooseFiles(FileSelectionMode, const QStringList&, const QStringList&) override {
    return {};
  }
  // A remote page's dialogs would be modal over the program's window, and a
  // page that keeps raising them would lock the user out of it.
  void javaScriptAlert(const QUrl&, const QString&) override {}
  bool javaScriptConfirm(const QUrl&, const QString&) override { return false; }
  bool javaScriptPrompt(const QUrl&, const QString&, const QString&, QString*) override {
    return false;
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
    // Off the record, the engine still makes the folders of a storage path
    // once a page uses its databases; by default they would be left in the
    // user's home. This one goes with the view.
    if (storage_.isValid()) profile_->setPersistentStoragePath(storage_.path());
    profile_->setUrlRequestInterceptor(&requests_);
    connect(profile_, &QWebEngineProfile::downloadRequested, profile_,
            [](QWebEngineDownloadRequest* download) { download->cancel(); });
    page_ = new GuardedPage(profile_, this);
    lockDown(page_->settings());
    page_->setZoomFactor(kZoomFactors[std::clamp(zoomStep, 0, 4)]);
    // A navigation the guard turns away only stops, and leaves the page as
    // it was; the note is for pages that cannot be reached.
    GuardedPage* page = page_;
    connect(page_, &QWebEnginePage::loadingChanged, page_,
            [page](const QWebEngineLoadingInfo& loading) {
              if (loading.status() == QWebEngineLoadingInfo::LoadFailedStatus)
                page->showOwnPage(QString::fromUtf8(kOfflinePage));
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
  // Stated one by one rather than left to the engine's defaults, which
  // change between versions.
  static void lockDown(QWebEngineSettings* settings) {
    using Settings = QWebEngineSettings;
    for (const Settings::WebAttribute attribute :
         {Settings::ErrorPageEnabled, Settings::LocalContentCanAccessFileUrls,
          Settings::LocalContentCanAccessRemoteUrls, Settings::PluginsEnabled,
          Settings::PdfViewerEnabled, Settings::JavascriptCanOpenWindows,
          Settings::JavascriptCanAccessClipboard, Settings::JavascriptCanPaste,
          Settings::FullScreenSupportEnabled, Settings::ScreenCaptureEnabled,
          Settings::AllowWindowActivationFromJavaScript,
          Settings::AllowGeolocationOnInsecureOrigins, Settings::AllowRunningInsecureContent})
      settings->setAttribute(attribute, false);
    // Links to mailto: and the like stay refused by the page's guard instead
    // of reaching the desktop's handlers.
    settings->setUnknownUrlSchemePolicy(Settings::DisallowUnknownUrlSchemes);
  }

  // Both outlive the profile: members go after the destructor's body.
  QTemporaryDir storage_;
  WebOnlyRequests requests_;
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
