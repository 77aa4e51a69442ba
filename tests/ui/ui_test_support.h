// SPDX-License-Identifier: MIT
// Helpers shared by the in-process window tests (offscreen platform).
#pragma once

#include <QApplication>
#include <QTest>
#include <QWidget>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "app/shell.h"
#include "common/codepage.h"
#include "toolkit/qt_access.h"
#include "toolkit/toolkit.h"
#include "ui/main/main_window.h"

// Failures show Qt strings as text, not as their code units.
inline void PrintTo(const QString& text, std::ostream* out) {
  *out << '"' << text.toStdString() << '"';
}

namespace ui_test {

// UTF-8 literal to the code-page bytes the program holds.
inline std::string cp(const char* utf8) {
  return std::string(qr::codepage::fromUtf8(utf8).view());
}

inline std::string utf8(const qr::Text& text) {
  return qr::codepage::toUtf8(text.view());
}

inline toolkit::Window* mainWindow() {
  return shell::liveWindow(MainWindow);
}

inline QWidget* control(toolkit::Window* window, int index) {
  return toolkit::widgetOf(window, index);
}

// Types `text` into `widget` one character per key event, as a keyboard or
// input method delivers it; '\n' is the Enter key.
void typeText(QWidget* widget, const QString& text);

// The lines the stand-in encoder wrote since the last clear.
std::vector<std::string> encoderCalls();
void clearEncoderCalls();

// Makes sure MainWindow is live, shown and active, as after start-up.
void ensureMainWindow();

// Clicks "关于软件" and runs `inside` once AboutWindow is up, from within its
// modal loop; `inside` must close it. Returns false if it never came up.
bool whileAboutIsOpen(const std::function<void(toolkit::Window*)>& inside);

// Presses Esc in the window's focused control, or in the window itself.
void pressEsc(toolkit::Window* window);

// Waits (handling events) until `done` holds or about two seconds pass.
template <class Predicate>
bool waitFor(Predicate done) {
  for (int i = 0; i < 200 && !done(); ++i) QTest::qWait(10);
  return done();
}

}  // namespace ui_test
