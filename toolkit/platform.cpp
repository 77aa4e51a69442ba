// SPDX-License-Identifier: MIT
// The process side of the platform layer: the application object, the event
// loops, the message box and the few file-system services the program uses.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QApplication>
#include <QEventLoop>
#include <QIcon>
#include <QLoggingCategory>
#include <QMessageBox>
#include <QPalette>
#include <QPixmap>
#include <cerrno>
#include <cstdlib>
#include <map>
#include <memory>

#include "toolkit/controls.h"
#include "toolkit/fonts.h"
#include "toolkit/picture.h"
#include "toolkit/toolkit.h"
#include "toolkit/x11.h"

namespace toolkit {

namespace {

// Deliberately not a static object: if Qt ends the process itself (the
// display went away), exit handlers must not tear down a live application.
QApplication* application = nullptr;

QtMessageHandler defaultMessageHandler = nullptr;

// The engine, started from a module after the application object, says so
// each start; that is by design here.
void quietMessages(QtMsgType type, const QMessageLogContext& context, const QString& message) {
  if (message.startsWith(QLatin1String("Qt WebEngine seems to be initialized from a plugin")))
    return;
  defaultMessageHandler(type, context, message);
}

constexpr std::size_t kMaxFileSize = std::size_t{256} * 1024 * 1024;

}  // namespace

void setApplicationIdentity(const char* name, const char* desktopEntry) {
  QCoreApplication::setApplicationName(QString::fromUtf8(name));
  QGuiApplication::setDesktopFileName(QString::fromUtf8(desktopEntry));
}

void startPlatform(int& argc, char** argv) {
  // WebEngine's sandbox refuses to run as root; only then is it switched off.
  if (geteuid() == 0) setenv("QTWEBENGINE_DISABLE_SANDBOX", "1", 0);
  const SessionEnvironment session{std::getenv("QT_QPA_PLATFORM"), std::getenv("WAYLAND_DISPLAY"),
                                   std::getenv("DISPLAY"), std::getenv("XDG_SESSION_TYPE")};
  if (const char* platform = platformForSession(session)) setenv("QT_QPA_PLATFORM", platform, 1);
  defaultMessageHandler = qInstallMessageHandler(quietMessages);
  QLoggingCategory::setFilterRules(QStringLiteral("qt.webenginecontext.info=false"));
  application = new QApplication(argc, argv);
  QApplication::setQuitOnLastWindowClosed(false);  // the shell decides when to quit
  // One look on every desktop; windows and dialogs in the button-face colour.
  QApplication::setStyle(QStringLiteral("Fusion"));
  QPalette palette = QApplication::palette();
  palette.setColor(QPalette::Window, QColor(240, 240, 240));
  palette.setColor(QPalette::Button, QColor(240, 240, 240));
  QApplication::setPalette(palette);
  installFonts();
}

void setApplicationIcon(std::span<const std::uint8_t> iconFile) {
  // One picture a size: Qt would otherwise pick among equal sizes by chance.
  std::map<std::pair<int, int>, IconPicture> deepest;
  for (IconPicture& picture : decodeIconPictures(iconFile)) {
    const std::pair size{picture.image.width(), picture.image.height()};
    const auto found = deepest.find(size);
    if (found == deepest.end() || picture.bitsPerPixel > found->second.bitsPerPixel)
      deepest[size] = std::move(picture);
  }
  QIcon icon;
  for (const auto& [size, picture] : deepest) icon.addPixmap(QPixmap::fromImage(picture.image));
  QApplication::setWindowIcon(icon);
}

void stopPlatform() {
  // Windows destroyed during the last events are still waiting to go.
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  delete application;
  application = nullptr;
}

int runEventLoop() {
  return QApplication::exec();
}

void quit(int code) {
  QCoreApplication::exit(code);
}

void processWaitingEvents() {
  QCoreApplication::processEvents();
}

struct ModalLoop::Private {
  QEventLoop loop;
};

ModalLoop::ModalLoop() : d(new Private) {}
ModalLoop::~ModalLoop() {
  delete d;
}
void ModalLoop::run() {
  d->loop.exec();
}
void ModalLoop::end() {
  d->loop.exit(0);
}

void showMessageBox(const char* caption, const char* text, MessageIcon) {
  QMessageBox box(QMessageBox::Critical, fromCodepage(caption), fromCodepage(text),
                  QMessageBox::Ok);
  box.exec();
}

// ---- System services -------------------------------------------------------------

std::string programPath() {
  char buffer[4096];
  const ssize_t length = readlink("/proc/self/exe", buffer, sizeof buffer);
  if (length <= 0 || static_cast<std::size_t>(length) >= sizeof buffer) return {};
  return std::string(buffer, static_cast<std::size_t>(length));
}

bool setCurrentDirectory(const char* directory) {
  // An empty directory is the file-system root: the program lies at "/".
  return chdir(directory && *directory ? directory : "/") == 0;
}

qr::ByteSet readWholeFile(const char* path) {
  // Not blocking: a named pipe put in the file's place would otherwise hold
  // the program until someone writes to it. Regular files read as ever.
  const int fd = open(path, O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
  if (fd < 0) return {};
  qr::ByteSet bytes;
  struct stat info {};
  if (fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_size > 0 &&
      static_cast<std::size_t>(info.st_size) <= kMaxFileSize) {
    bytes = qr::ByteSet::withSize(static_cast<std::size_t>(info.st_size));
    std::size_t done = 0;
    while (done < bytes.size()) {
      const ssize_t got = read(fd, bytes.data() + done, bytes.size() - done);
      if (got < 0 && errno == EINTR) continue;
      if (got <= 0) break;
      done += static_cast<std::size_t>(got);
    }
    // A file that shrank while it was read is not a whole file.
    if (done != bytes.size()) bytes.reset();
  }
  close(fd);
  return bytes;
}

}  // namespace toolkit
