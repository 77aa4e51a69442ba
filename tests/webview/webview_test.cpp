// SPDX-License-Identifier: MIT
// The web view against a hostile page: probe pages served from 127.0.0.1 try
// to leave the web, read local files, download, open windows, keep data and
// ask for permissions, and report what they managed; the tests check the
// reports and, from outside, the disk, the browser stand-in and the windows.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QDialog>
#include <QDirIterator>
#include <QFile>
#include <QHostAddress>
#include <QImage>
#include <QTest>
#include <QTimer>
#include <QUrlQuery>
#include <algorithm>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "probe_server.h"
#include "toolkit/qt_access.h"
#include "toolkit/toolkit.h"

namespace webview_test {
namespace {

namespace fs = std::filesystem;

// What the process is given to protect: a home directory with a private file
// in it, and the program's own picture beside the program.
struct Sandbox {
  fs::path root;
  fs::path home;
  fs::path temporary;  // TMPDIR
  fs::path programDirectory;
  QString mark;         // the private file's content, also put on the clipboard
  QString secretUrl;    // file: address of the private file
  QString pictureUrl;   // file: address of a.bmp beside the program
  QString resourceUrl;  // qrc: address of a resource compiled into the process
};
Sandbox sandbox;

// Stands in for the desktop's browser: QDesktopServices hands it every
// address meant for one of these schemes.
constexpr const char* kHandedSchemes[] = {
    "http",   "https",         "file",   "data",       "javascript",
    "mailto", "x-qrgen-probe", "blob",   "filesystem", "qrc",
    "about",  "view-source",   "chrome", "devtools",   "ftp"};

class BrowserStandIn : public QObject {
  Q_OBJECT

 public:
  QList<QUrl> opened;

 public slots:
  void open(const QUrl& address) { opened.append(address); }
};

std::vector<std::string> texts(const QList<QUrl>& addresses) {
  std::vector<std::string> all;
  for (const QUrl& address : addresses) all.push_back(address.toString().toStdString());
  return all;
}
std::vector<std::string> texts(const QStringList& strings) {
  std::vector<std::string> all;
  for (const QString& string : strings) all.push_back(string.toStdString());
  return all;
}

// The paths below `directory`, relative to it.
std::set<std::string> listing(const fs::path& directory) {
  std::set<std::string> paths;
  std::error_code error;
  for (auto it = fs::recursive_directory_iterator(directory, error);
       !error && it != fs::recursive_directory_iterator(); it.increment(error))
    paths.insert(fs::relative(it->path(), directory).string());
  return paths;
}

QByteArray probeFile(const QString& name) {
  QFile file(QStringLiteral(QRGEN_PROBE_PAGES "/") + name);
  if (!file.open(QIODevice::ReadOnly)) return {};
  QByteArray content = file.readAll();
  content.replace("{{secret}}", sandbox.secretUrl.toUtf8());
  content.replace("{{mark}}", sandbox.mark.toUtf8());
  content.replace("{{picture}}", sandbox.pictureUrl.toUtf8());
  content.replace("{{resource}}", sandbox.resourceUrl.toUtf8());
  return content;
}

Response route(const Request& request) {
  const QString path = request.url.path();
  const QUrlQuery query(request.url);
  if (path == u"/attempts.html" || path == u"/navigate.html" || path == u"/storage.html") {
    Response page{.body = probeFile(path.mid(1))};
    // A lasting cookie from the server as well as from the script.
    if (query.queryItemValue(QStringLiteral("step")) == u"write")
      page.headers.append(qMakePair(QByteArray("Set-Cookie"),
                                    QByteArray("probe-http=kept; Max-Age=86400; Path=/")));
    return page;
  }
  if (path == u"/probe.js")
    return {.contentType = "text/javascript; charset=utf-8", .body = probeFile(path.mid(1))};
  if (path == u"/report") return {.status = 204};
  if (path == u"/landing") return {.body = "<!doctype html><title>landing</title>landed"};
  if (path == u"/attachment")
    return {.contentType = "application/octet-stream",
            .headers = {{"Content-Disposition", "attachment; filename=\"attachment.txt\""}},
            .body = "probe attachment"};
  if (path == u"/redirect")
    return {
        .status = 302,
        .headers = {
            {"Location",
             QUrl(query.queryItemValue(QStringLiteral("to"), QUrl::FullyDecoded)).toEncoded()}}};
  if (path == u"/protected")
    return {.status = 401, .headers = {{"WWW-Authenticate", "Basic realm=\"probe\""}}};
  if (path == u"/cookies") return {.contentType = "text/plain", .body = request.header("Cookie")};
  return {.status = 404};
}

template <class Predicate>
bool waitFor(Predicate done, int milliseconds) {
  QDeadlineTimer deadline(milliseconds);
  while (!done() && !deadline.hasExpired()) QTest::qWait(10);
  return done();
}

// The title of the note the web view shows where a page cannot be reached.
const QString kOwnNoteTitle = QStringLiteral("暂时无法打开推广页面");

// Generous: the engine's first start takes a while, longer under sanitizers.
constexpr int kPageTimeout = 20000;

class WebViewLockdown : public testing::Test {
 protected:
  void SetUp() override {
    homeBefore_ = listing(sandbox.home);
    temporaryBefore_ = listing(sandbox.temporary);
    programBefore_ = listing(sandbox.programDirectory);
    for (const char* scheme : kHandedSchemes)
      QDesktopServices::setUrlHandler(QString::fromLatin1(scheme), &browser_, "open");
    // Whatever else shows on screen is recorded and sent away, so that a
    // modal dialog cannot stall the test.
    QObject::connect(&watcher_, &QTimer::timeout, &watcher_, [this] {
      for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (!widget->isVisible() || (live_ && widget == toolkit::widgetOf(live_))) continue;
        othersSeen_.append(QString::fromLatin1(widget->metaObject()->className()));
        if (auto* dialog = qobject_cast<QDialog*>(widget))
          dialog->done(QDialog::Rejected);
        else
          widget->close();
      }
    });
    watcher_.start(20);
  }

  void TearDown() override {
    closePage();
    watcher_.stop();
    for (const char* scheme : kHandedSchemes)
      QDesktopServices::unsetUrlHandler(QString::fromLatin1(scheme));
    // Nothing any page did may leave a file behind.
    EXPECT_EQ(created(homeBefore_, listing(sandbox.home)), std::set<std::string>{}) << "in HOME";
    EXPECT_EQ(created(temporaryBefore_, listing(sandbox.temporary)), std::set<std::string>{})
        << "in TMPDIR";
    EXPECT_EQ(created(programBefore_, listing(sandbox.programDirectory)), std::set<std::string>{})
        << "beside the program";
    EXPECT_EQ(texts(othersSeen_), std::vector<std::string>{})
        << "windows or dialogs besides the program's window";
  }

  static std::set<std::string> created(const std::set<std::string>& before,
                                       const std::set<std::string>& after) {
    std::set<std::string> added;
    for (const std::string& path : after)
      if (!before.contains(path)) added.insert(path);
    return added;
  }

  // Builds a window of its own holding one web view at `pathAndQuery` on the
  // probe server, shows it and waits for the page to report `readyReport`.
  void openPage(const QString& pathAndQuery, const char* readyReport = "ready") {
    closePage();
    server_.forget();
    address_ = server_.address(pathAndQuery).toStdString();
    settings_ = toolkit::ControlSettings{.address = address_.c_str(), .zoomStep = 2};
    controls_[0] = toolkit::ControlDef{
        "web",     toolkit::ControlKind::HtmlViewer, nullptr, 10, 10, 320, 120, true, nullptr,
        &settings_};
    window_ = toolkit::WindowDef{.name = "ProbeWindow",
                                 .title = "probe",
                                 .width = 360,
                                 .height = 160,
                                 .storedLeft = 0,
                                 .storedTop = 0,
                                 .position = toolkit::Position::AsStored,
                                 .buttons = toolkit::TitleButtons::CloseOnly,
                                 .showInTaskbar = true,
                                 .closeOnEsc = false,
                                 .controls = controls_};
    live_ = toolkit::createWindow(window_, nullptr);
    ASSERT_NE(live_, nullptr);
    toolkit::showWindow(live_);
    if (readyReport) {
      ASSERT_TRUE(waitFor([&] { return reported(readyReport); }, kPageTimeout))
          << "the page at " << address_ << " never reported " << readyReport << " (engine "
          << (engineView() ? "started" : "missing") << ")";
    }
  }

  void closePage() {
    if (!live_) return;
    toolkit::destroyWindow(live_);
    live_ = nullptr;
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }

  // The last outcome the page reported under `name`; empty for none.
  QString outcome(const QString& name) const {
    QString last;
    for (const QUrl& request : server_.requests()) {
      const QUrlQuery query(request);
      if (request.path() == u"/report" &&
          query.queryItemValue(QStringLiteral("name"), QUrl::FullyDecoded) == name)
        last = query.queryItemValue(QStringLiteral("outcome"), QUrl::FullyDecoded);
    }
    return last;
  }
  bool reported(const QString& name) const { return !outcome(name).isEmpty(); }

  // How many requests for `path` the server answered.
  int served(const QString& path) const {
    int count = 0;
    for (const QUrl& request : server_.requests()) count += request.path() == path;
    return count;
  }

  // The engine's own view inside the frame, found by class: the test does
  // not link the engine, as the program does not.
  QWidget* engineView() const {
    for (QWidget* child : toolkit::widgetOf(live_, 0)->findChildren<QWidget*>())
      if (qstrcmp(child->metaObject()->className(), "QWebEngineView") == 0) return child;
    return nullptr;
  }
  QUrl pageUrl() const {
    QWidget* view = engineView();
    return view ? view->property("url").toUrl() : QUrl();
  }
  QString pageTitle() const {
    QWidget* view = engineView();
    return view ? view->property("title").toString() : QString();
  }

  ProbeServer server_{route};
  BrowserStandIn browser_;
  QStringList othersSeen_;

 private:
  std::set<std::string> homeBefore_, temporaryBefore_, programBefore_;
  QTimer watcher_;
  std::string address_;
  toolkit::ControlSettings settings_;
  toolkit::ControlDef controls_[1]{};
  toolkit::WindowDef window_{};
  toolkit::Window* live_ = nullptr;
};

// What a page's report may say: the first word of its outcome.
enum class Expect { Refused, RefusedOrSilent, Tried };

bool fits(Expect expect, const QString& outcome) {
  const QString kind = outcome.section(QLatin1Char(':'), 0, 0);
  switch (expect) {
    case Expect::Refused:
      return kind == u"refused";
    case Expect::RefusedOrSilent:
      return kind == u"refused" || kind == u"silent";
    case Expect::Tried:
      return kind == u"tried";
  }
  return false;
}

// ---- What a page tries on its own ----------------------------------------------

TEST_F(WebViewLockdown, UnpromptedAttemptsReachNothing) {
  struct Attempt {
    const char* name;
    Expect expect;
  };
  // clang-format off
  const Attempt attempts[] = {
    // name                              expect
    {"fetch-file",                       Expect::Refused},
    {"fetch-picture",                    Expect::Refused},
    {"xhr-file",                         Expect::Refused},
    {"image-picture",                    Expect::Refused},
    {"frame-file",                       Expect::RefusedOrSilent},
    {"fetch-file-through-redirect",      Expect::Refused},
    {"image-picture-through-redirect",   Expect::Refused},
    {"fetch-resource",                   Expect::Refused},
    {"image-resource",                   Expect::Refused},
    {"popup",                            Expect::Refused},
    {"geolocation",                      Expect::Refused},
    {"notifications",                    Expect::Refused},
    {"camera-and-microphone",            Expect::Refused},
    {"clipboard-read",                   Expect::Refused},
    {"clipboard-paste",                  Expect::Refused},
    {"fullscreen",                       Expect::Refused},
    {"password-prompt",                  Expect::Refused},
    {"print",                            Expect::Tried},
    {"persistent-storage",               Expect::Refused},
    {"download-link",                    Expect::Tried},
    {"download-frame",                   Expect::Tried},
    {"download-blob",                    Expect::Tried},
    {"download-data",                    Expect::Tried},
    {"alert",                            Expect::Tried},
    {"confirm",                          Expect::Refused},
    {"prompt",                           Expect::Refused},
  };
  // clang-format on
  ASSERT_NO_FATAL_FAILURE(openPage(QStringLiteral("/attempts.html?part=unprompted")));
  for (const Attempt& attempt : attempts) {
    const QString got = outcome(QString::fromLatin1(attempt.name));
    EXPECT_TRUE(fits(attempt.expect, got)) << attempt.name << ": " << got.toStdString();
  }
  // The downloads were asked for; give a written file time to appear.
  EXPECT_GE(served(QStringLiteral("/attachment")), 1);
  QTest::qWait(300);
  EXPECT_EQ(texts(browser_.opened), std::vector<std::string>{});
  EXPECT_EQ(served(QStringLiteral("/landing")), 0) << "a window loaded inside the program";
  EXPECT_EQ(pageUrl().path().toStdString(), "/attempts.html");
}

// ---- What a page tries from the user's clicks -------------------------------------

TEST_F(WebViewLockdown, ClickedAttemptsOpenNothingButTheBrowser) {
  struct Click {
    const char* box;
    Qt::MouseButton button;
    const char* browserGets;  // path on the probe server; null: the browser gets nothing
    Expect expect;
  };
  // clang-format off
  const Click clicks[] = {
    // box                              button            the browser gets                        page reports
    {"link-to-new-window",              Qt::LeftButton,   "/landing?via=link-to-new-window",      Expect::Tried},
    {"link-middle-clicked",             Qt::MiddleButton, "/landing?via=link-middle-clicked",     Expect::Tried},
    {"script-opens-window",             Qt::LeftButton,   "/landing?via=script-opens-window",     Expect::Refused},
    {"script-opens-file",               Qt::LeftButton,   nullptr,                                Expect::Refused},
    {"script-opens-data",               Qt::LeftButton,   nullptr,                                Expect::Refused},
    {"script-opens-blank-then-moves",   Qt::LeftButton,   nullptr,                                Expect::Refused},
    {"link-to-file-in-new-window",      Qt::LeftButton,   nullptr,                                Expect::Tried},
    {"link-to-mail",                    Qt::LeftButton,   nullptr,                                Expect::Tried},
    {"link-to-other-scheme",            Qt::LeftButton,   nullptr,                                Expect::Tried},
    {"link-with-download",              Qt::LeftButton,   nullptr,                                Expect::Tried},
    {"blob-download",                   Qt::LeftButton,   nullptr,                                Expect::Tried},
    {"file-chooser",                    Qt::LeftButton,   nullptr,                                Expect::Tried},
    {"file-picker",                     Qt::LeftButton,   nullptr,                                Expect::Refused},
    {"fullscreen",                      Qt::LeftButton,   nullptr,                                Expect::Refused},
    {"clipboard-read",                  Qt::LeftButton,   nullptr,                                Expect::Refused},
    {"pointer-lock",                    Qt::LeftButton,   nullptr,                                Expect::Refused},
    {"screen-capture",                  Qt::LeftButton,   nullptr,                                Expect::Refused},
  };
  // clang-format on
  ASSERT_NO_FATAL_FAILURE(openPage(QStringLiteral("/attempts.html?part=clicked")));
  ASSERT_NE(engineView(), nullptr);
  QWidget* input = engineView()->focusProxy();
  ASSERT_NE(input, nullptr);
  std::vector<std::string> expected;
  for (const Click& click : clicks) {
    const QString box = QString::fromLatin1(click.box);
    const QStringList centre = outcome(QStringLiteral("box:") + box).split(QLatin1Char(','));
    ASSERT_EQ(centre.size(), 2) << click.box;
    QTest::mouseClick(input, click.button, {}, QPoint(centre[0].toInt(), centre[1].toInt()));
    const QString clicked = QStringLiteral("clicked:") + box;
    EXPECT_TRUE(waitFor([&] { return reported(clicked); }, 5000)) << click.box << " got no click";
    EXPECT_TRUE(fits(click.expect, outcome(clicked)))
        << click.box << ": " << outcome(clicked).toStdString();
    if (click.browserGets)
      expected.push_back(server_.address(QString::fromLatin1(click.browserGets)).toStdString());
  }
  // The browser is told right away; a little longer shows whether anything else follows.
  waitFor([&] { return browser_.opened.size() >= qsizetype(expected.size()); }, 2000);
  QTest::qWait(300);
  std::vector<std::string> opened = texts(browser_.opened);
  std::sort(opened.begin(), opened.end());
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(opened, expected);
  EXPECT_EQ(served(QStringLiteral("/landing")), 0) << "a window loaded inside the program";
  EXPECT_EQ(outcome(QStringLiteral("chosen:file-chooser")).toStdString(), "");
  EXPECT_EQ(pageUrl().path().toStdString(), "/attempts.html");
}

// ---- Where the page itself may go -------------------------------------------------

TEST_F(WebViewLockdown, TopLevelNavigationsStayOnTheWeb) {
  enum class Then { StaysOnPage, ShowsOwnNote, Leaves };
  struct Navigation {
    const char* to;  // an address, or one of the names resolved below
    const char* how;
    Then then;
  };
  // clang-format off
  const Navigation navigations[] = {
    // to                                         how                 then
    {"landing",                                   "location",         Then::Leaves},
    {"secret",                                    "location",         Then::StaysOnPage},
    {"picture",                                   "location",         Then::StaysOnPage},
    {"data:text/html,<title>escaped</title>",     "location",         Then::StaysOnPage},
    {"view-source",                               "location",         Then::StaysOnPage},
    {"resource",                                  "location",         Then::StaysOnPage},
    {"chrome://version",                          "location",         Then::StaysOnPage},
    {"devtools://devtools/bundled/inspector.html", "location",        Then::StaysOnPage},
    {"own-blob",                                  "location",         Then::StaysOnPage},
    {"filesystem:http://127.0.0.1/temporary/x",   "location",         Then::StaysOnPage},
    {"mailto:probe@example.invalid",              "location",         Then::StaysOnPage},
    {"x-qrgen-probe:hello",                       "location",         Then::StaysOnPage},
    {"secret",                                    "meta-refresh",     Then::StaysOnPage},
    {"secret",                                    "form",             Then::StaysOnPage},
    {"secret",                                    "server-redirect",  Then::ShowsOwnNote},
    {"data:text/html,<title>escaped</title>",     "server-redirect",  Then::ShowsOwnNote},
    {"unreachable",                               "location",         Then::ShowsOwnNote},
  };
  // clang-format on
  QTcpServer closed;
  ASSERT_TRUE(closed.listen(QHostAddress::LocalHost, 0));
  const QString unreachable = QStringLiteral("http://127.0.0.1:%1/").arg(closed.serverPort());
  closed.close();
  const auto resolve = [&](const QString& to) {
    if (to == u"landing") return server_.address(QStringLiteral("/landing?via=navigation"));
    if (to == u"secret") return sandbox.secretUrl;
    if (to == u"picture") return sandbox.pictureUrl;
    if (to == u"resource") return sandbox.resourceUrl;
    if (to == u"view-source")
      return QStringLiteral("view-source:") + server_.address(QStringLiteral("/landing"));
    if (to == u"unreachable") return unreachable;
    return to;
  };
  for (const Navigation& navigation : navigations) {
    const std::string row = std::string(navigation.to) + " by " + navigation.how;
    QUrlQuery query;
    query.addQueryItem(QStringLiteral("to"), resolve(QString::fromLatin1(navigation.to)));
    query.addQueryItem(QStringLiteral("how"), QString::fromLatin1(navigation.how));
    ASSERT_NO_FATAL_FAILURE(openPage(
        QStringLiteral("/navigate.html?") + query.toString(QUrl::FullyEncoded), "leaving"));
    switch (navigation.then) {
      case Then::Leaves:
        EXPECT_TRUE(waitFor([&] { return pageUrl().path() == u"/landing"; }, 3000)) << row;
        break;
      case Then::StaysOnPage:
        EXPECT_TRUE(waitFor([&] { return reported(QStringLiteral("still-here")); }, 3000))
            << row << ": the page went to " << pageUrl().toString().toStdString();
        EXPECT_EQ(pageUrl().path().toStdString(), "/navigate.html") << row;
        break;
      case Then::ShowsOwnNote:
        EXPECT_TRUE(waitFor([&] { return pageTitle() == kOwnNoteTitle; }, 3000))
            << row << ": the page went to " << pageUrl().toString().toStdString();
        break;
    }
  }
  EXPECT_EQ(texts(browser_.opened), std::vector<std::string>{});
}

// ---- What a page may keep ---------------------------------------------------------

TEST_F(WebViewLockdown, NothingOutlivesTheView) {
  const char* const stores[] = {"cookie", "local-storage", "indexed-db", "cache"};
  ASSERT_NO_FATAL_FAILURE(openPage(QStringLiteral("/storage.html?step=write")));
  // Each store took the data, so finding it gone below means something.
  for (const char* store : stores)
    EXPECT_EQ(outcome(QStringLiteral("write:") + QString::fromLatin1(store)).toStdString(), "tried")
        << store;
  ASSERT_NO_FATAL_FAILURE(openPage(QStringLiteral("/storage.html?step=read")));
  for (const char* store : stores) {
    const QString got = outcome(QStringLiteral("read:") + QString::fromLatin1(store));
    EXPECT_TRUE(fits(Expect::Refused, got)) << store << ": " << got.toStdString();
  }
  const QString httpCookie = outcome(QStringLiteral("read:http-cookie"));
  EXPECT_TRUE(fits(Expect::Refused, httpCookie)) << httpCookie.toStdString();
}

}  // namespace
}  // namespace webview_test

#if defined(__SANITIZE_ADDRESS__)
// The engine's own code trips these two checks. Given here, since a
// discovered test takes no more than one environment entry.
extern "C" const char* __asan_default_options() {
  return "detect_leaks=0:new_delete_type_mismatch=0";
}
#endif

int main(int argc, char** argv) {
  using webview_test::sandbox;
  namespace fs = std::filesystem;
  testing::InitGoogleTest(&argc, argv);
  if (testing::GTEST_FLAG(list_tests)) return RUN_ALL_TESTS();

  // A home and a temporary folder of its own, so that anything the engine
  // keeps on disk shows.
  std::string pattern = (fs::temp_directory_path() / "webview-test-XXXXXX").string();
  if (!mkdtemp(pattern.data())) return 2;
  sandbox.root = pattern;
  sandbox.home = sandbox.root / "home";
  sandbox.temporary = sandbox.root / "tmp";
  fs::create_directory(sandbox.home);
  fs::create_directory(sandbox.temporary);
  setenv("HOME", sandbox.home.c_str(), 1);
  setenv("TMPDIR", sandbox.temporary.c_str(), 1);
  for (const char* name : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME", "XDG_STATE_HOME"})
    unsetenv(name);
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  toolkit::startPlatform(argc, argv);

  sandbox.mark = QStringLiteral("private-%1").arg(getpid());
  const fs::path secret = sandbox.home / "secret.txt";
  {
    QFile file(QString::fromStdString(secret.string()));
    if (!file.open(QIODevice::WriteOnly) || file.write(sandbox.mark.toUtf8()) < 0) return 2;
  }
  sandbox.secretUrl = QUrl::fromLocalFile(QString::fromStdString(secret.string())).toString();
  sandbox.programDirectory = fs::path(toolkit::programPath()).parent_path();
  const fs::path picture = sandbox.programDirectory / "a.bmp";
  QImage(4, 4, QImage::Format_RGB32).save(QString::fromStdString(picture.string()), "BMP");
  sandbox.pictureUrl = QUrl::fromLocalFile(QString::fromStdString(picture.string())).toString();
  // Any picture compiled into the process will do.
  for (QDirIterator it(QStringLiteral(":"), QDirIterator::Subdirectories); it.hasNext();) {
    const QString path = it.next();
    if (path.endsWith(u".png")) {
      sandbox.resourceUrl = QStringLiteral("qrc") + path;
      break;
    }
  }
  // The program makes its own directory current; downloads with a bare name
  // would land there.
  toolkit::setCurrentDirectory(sandbox.programDirectory.c_str());
  QApplication::clipboard()->setText(sandbox.mark);

  const int result = RUN_ALL_TESTS();
  toolkit::stopPlatform();
  fs::remove(picture);
  fs::remove_all(sandbox.root);
  return result;
}

#include "webview_test.moc"
