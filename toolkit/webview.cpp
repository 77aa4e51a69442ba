// SPDX-License-Identifier: MIT
// The embedded web view (on Windows the WebBrowser control driven through
// IWebBrowser2) realised with Qt WebEngine. The page lives in a private,
// off-the-record profile: it keeps nothing on disk and reaches none of the
// program's files.
#include <QDesktopServices>
#include <QVBoxLayout>
#include <QWebEngineDownloadRequest>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineSettings>
#include <QWebEngineView>

#include "common/codepage.h"
#include "toolkit/controls.h"

namespace toolkit {
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

}  // namespace

HtmlFrame::HtmlFrame(QWidget* parent, const char* address, int zoomStep)
    : QWidget(parent),
      address_(address ? QString::fromStdString(qr::codepage::toUtf8(address)) : QString()),
      zoomStep_(zoomStep) {
  setFocusPolicy(Qt::StrongFocus);
}

HtmlFrame::~HtmlFrame() {
  // The engine wants its pages gone before their profile.
  delete view_;
  delete page_;
  delete profile_;
}

void HtmlFrame::startEngine() {
  if (view_) return;
  auto* profile = new QWebEngineProfile(this);  // no storage name: off the record
  profile_ = profile;
  profile->setHttpCacheType(QWebEngineProfile::MemoryHttpCache);
  profile->setPersistentCookiesPolicy(QWebEngineProfile::NoPersistentCookies);
  connect(profile, &QWebEngineProfile::downloadRequested, profile,
          [](QWebEngineDownloadRequest* download) { download->cancel(); });
  auto* page = new GuardedPage(profile, this);
  page_ = page;
  page->settings()->setAttribute(QWebEngineSettings::ErrorPageEnabled, false);
  page->settings()->setAttribute(QWebEngineSettings::LocalContentCanAccessFileUrls, false);
  page->settings()->setAttribute(QWebEngineSettings::PluginsEnabled, false);
  page->setZoomFactor(kZoomFactors[std::clamp(zoomStep_, 0, 4)]);
  connect(page, &QWebEnginePage::loadFinished, page, [page](bool ok) {
    if (!ok) page->showOwnPage(QString::fromUtf8(kOfflinePage));
  });

  view_ = new QWebEngineView(this);
  view_->setPage(page);
  view_->setContextMenuPolicy(Qt::NoContextMenu);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(view_);
  setFocusProxy(view_);
  view_->show();
  if (!address_.isEmpty()) page->load(QUrl(address_));
}

}  // namespace toolkit
