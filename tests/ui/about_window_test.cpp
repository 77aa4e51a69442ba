// SPDX-License-Identifier: MIT
// AboutWindow opened modally from MainWindow.
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QLineEdit>
#include <QScreen>

#include "ui/about/about_window.h"
#include "ui_test_support.h"

namespace {

using namespace ui_test;

TEST(AboutWindow, OpensModallyCentredAndDisablesMainWindowUntilClosed) {
  bool mainEnabledInside = true;
  QRect geometry;
  QString title;
  bool ownedByHiddenOwner = false;
  ASSERT_TRUE(whileAboutIsOpen([&](toolkit::Window* about) {
    mainEnabledInside = toolkit::isInputEnabled(mainWindow());
    geometry = toolkit::widgetOf(about)->frameGeometry();
    title = toolkit::widgetOf(about)->windowTitle();
    ownedByHiddenOwner = toolkit::ownerOf(about) && toolkit::ownerOf(about) != mainWindow();
    // A click on the disabled window reaches none of its controls.
    clearEncoderCalls();
    QTest::mouseClick(control(mainWindow(), main_window::按钮1), Qt::LeftButton);
    pressEsc(about);
  }));
  const QRect screen = QGuiApplication::primaryScreen()->geometry();
  EXPECT_FALSE(mainEnabledInside);
  EXPECT_TRUE(encoderCalls().empty()) << "MainWindow took a click while disabled";
  EXPECT_EQ(title, QStringLiteral("关于软件和作者"));
  EXPECT_EQ(geometry, QRect((screen.width() - 467) / 2, (screen.height() - 320) / 2, 467, 320));
  EXPECT_TRUE(ownedByHiddenOwner) << "no taskbar entry of its own";
  EXPECT_EQ(shell::liveWindow(AboutWindow), nullptr) << "Esc closed it";
  ASSERT_NE(mainWindow(), nullptr) << "Esc closed only AboutWindow";
  EXPECT_TRUE(toolkit::isInputEnabled(mainWindow())) << "enabled again after closing";
}

TEST(AboutWindow, ShowsItsTextsAndStartsInTheEmailBox) {
  std::string email, site, explanation;
  QWidget* focus = nullptr;
  int caret = -1;
  bool viewEmpty = false;
  ASSERT_TRUE(whileAboutIsOpen([&](toolkit::Window* about) {
    EXPECT_TRUE(QTest::qWaitForWindowActive(toolkit::widgetOf(about)));
    email = utf8(toolkit::editText(about, about_window::编辑框1));
    site = utf8(toolkit::editText(about, about_window::编辑框2));
    focus = QApplication::focusWidget();
    caret = static_cast<QLineEdit*>(control(about, about_window::编辑框1))->cursorPosition();
    viewEmpty = true;  // the view has no address, so nothing was ever loaded
    EXPECT_EQ(focus, control(about, about_window::编辑框1));
    // The cycle: e-mail, web address, web view, and round again.
    QTest::keyClick(focus, Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), control(about, about_window::编辑框2));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
    EXPECT_EQ(QApplication::focusWidget(), control(about, about_window::编辑框1));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_EQ(QApplication::focusWidget(), control(about, about_window::编辑框1))
        << "Enter moves nothing";
    pressEsc(about);
  }));
  EXPECT_EQ(email.substr(0, 1), " ");
  EXPECT_NE(email.find('@'), std::string::npos);
  EXPECT_EQ(site.substr(0, 1), " ");
  EXPECT_EQ(caret, 0);
  EXPECT_TRUE(viewEmpty);
}

TEST(AboutWindow, IsThemedLikeTheWindowsBeforeIt) {
  QImage box;
  ASSERT_TRUE(whileAboutIsOpen([&](toolkit::Window* about) {
    box = control(about, about_window::编辑框2)->grab().toImage();
    pressEsc(about);
  }));
  EXPECT_EQ(QColor(box.pixel(0, box.height() / 2)), QColor(198, 197, 215));
}

TEST(AboutWindow, IsBuiltAfreshOnEveryOpening) {
  std::string before, after;
  ASSERT_TRUE(whileAboutIsOpen([&](toolkit::Window* about) {
    before = utf8(toolkit::editText(about, about_window::编辑框1));
    toolkit::setEditText(about, about_window::编辑框1, "changed");
    pressEsc(about);
  }));
  ASSERT_TRUE(whileAboutIsOpen([&](toolkit::Window* about) {
    after = utf8(toolkit::editText(about, about_window::编辑框1));
    pressEsc(about);
  }));
  EXPECT_EQ(after, before);
}

TEST(AboutWindow, ExplanationHasTwoParagraphsOneEmptyLineApart) {
  const toolkit::ControlDef& label = AboutWindow.controls[about_window::标签1];
  const std::string text = qr::codepage::toUtf8(label.text);
  const std::size_t gap = text.find("\r\n\r\n");
  ASSERT_NE(gap, std::string::npos);
  EXPECT_EQ(text.find("\r\n"), gap) << "exactly one break between the paragraphs";
  EXPECT_EQ(text.rfind("\r\n"), gap + 2);
  EXPECT_TRUE(text.ends_with("了解企业产品信息等")) << "the second paragraph has no full stop";
}

}  // namespace
