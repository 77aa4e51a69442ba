// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>

#include <QKeyEvent>
#include <QTimer>

#include "ui/about/about_window.h"
#include "ui_test_support.h"

namespace ui_test {
namespace {

std::string logPath() {
  return (std::string(shell::programDirectory().c_str()) + "/calls.log");
}

}  // namespace

std::vector<std::string> encoderCalls() {
  std::vector<std::string> lines;
  std::ifstream log(logPath());
  for (std::string line; std::getline(log, line);) lines.push_back(line);
  return lines;
}

void clearEncoderCalls() {
  std::remove(logPath().c_str());
}

void typeText(QWidget* widget, const QString& text) {
  for (qsizetype i = 0; i < text.size(); ++i) {
    if (text[i] == QLatin1Char('\n')) {
      QTest::keyClick(widget, Qt::Key_Return);
      continue;
    }
    const qsizetype length = text[i].isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
    const QString character = text.mid(i, length);
    i += length - 1;
    QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, character);
    QApplication::sendEvent(widget, &press);
    QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, character);
    QApplication::sendEvent(widget, &release);
  }
}

void ensureMainWindow() {
  if (!mainWindow()) LoadWindow(MainWindow, nullptr, Modal::No);
  QWidget* window = toolkit::widgetOf(mainWindow());
  window->activateWindow();
  (void)QTest::qWaitForWindowActive(window);
}

bool whileAboutIsOpen(const std::function<void(toolkit::Window*)>& inside) {
  ensureMainWindow();
  bool ran = false;
  QTimer poll;
  poll.setInterval(10);
  QObject::connect(&poll, &QTimer::timeout, [&] {
    toolkit::Window* about = shell::liveWindow(AboutWindow);
    if (ran || !about || !toolkit::widgetOf(about)->isVisible()) return;
    ran = true;
    poll.stop();
    inside(about);
  });
  poll.start();
  QTest::mouseClick(control(mainWindow(), main_window::按钮2), Qt::LeftButton);
  return ran;
}

void pressEsc(toolkit::Window* window) {
  QWidget* target = QApplication::focusWidget();
  if (!target || toolkit::windowOf(target) != window) target = toolkit::widgetOf(window);
  QTest::keyClick(target, Qt::Key_Escape);
}

}  // namespace ui_test

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  static const toolkit::WindowDef* const kDefinitions[] = {&MainWindow, &AboutWindow};
  // Death tests fork a process that starts its own shell, so only the parent
  // starts one here, lazily, in the tests that need it.
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  if (testing::GTEST_FLAG(list_tests) || !testing::GTEST_FLAG(internal_run_death_test).empty())
    return RUN_ALL_TESTS();
  shell::start(argc, argv, kDefinitions);
  setenv("QRGEN_FAKE_LOG", (std::string(shell::programDirectory().c_str()) + "/calls.log").c_str(),
         1);
  const int result = RUN_ALL_TESTS();
  shell::shutdown();
  return result;
}
