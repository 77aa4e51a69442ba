// SPDX-License-Identifier: MIT
// MainWindow as built from its definition, its keyboard rules and the
// generate command, driven in-process against the stand-in encoder.
#include <gtest/gtest.h>

#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScreen>
#include <cstdio>

#include "ui_test_support.h"

namespace {

using namespace ui_test;
using namespace main_window;

class MainWindowTest : public testing::Test {
 protected:
  void SetUp() override {
    ensureMainWindow();
    self = mainWindow();
    clearEncoderCalls();
    edit()->clear();
  }
  QPlainTextEdit* edit() { return static_cast<QPlainTextEdit*>(control(self, 编辑框1)); }
  QComboBox* combo(int index) { return static_cast<QComboBox*>(control(self, index)); }
  toolkit::Window* self = nullptr;
};

TEST_F(MainWindowTest, IsCentredAtItsDefinedSize) {
  const QWidget* window = toolkit::widgetOf(self);
  const QRect screen = QGuiApplication::primaryScreen()->geometry();
  EXPECT_EQ(window->frameGeometry().size(), QSize(789, 551));
  EXPECT_EQ(window->pos(), QPoint((screen.width() - 789) / 2, (screen.height() - 551) / 2));
  EXPECT_EQ(window->windowTitle(), QStringLiteral("二维码生成器 v1.0"));
  EXPECT_EQ(window->minimumSize(), window->maximumSize()) << "the user cannot resize it";
}

TEST_F(MainWindowTest, ControlsSitWhereDefinedAndStackTopToBottom) {
  struct Row {
    int index;
    QRect geometry;
  };
  const Row rows[] = {
      {图片框2, {501, 430, 304, 16}},        {透明标签3, {12, -3, 152, 18}},
      {超文本浏览框1, {512, 432, 320, 120}}, {组合框_纠错, {24, 23, 140, 20}},
      {图片框1, {0, 0, 500, 496}},           {编辑框1, {520, 25, 240, 192}},
      {按钮1, {664, 229, 80, 40}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.index);
    EXPECT_EQ(control(self, row.index)->geometry(), row.geometry);
  }
  // The strip lies over the web view: it is the later child, so drawn above.
  const QObjectList& children = toolkit::widgetOf(self)->children();
  EXPECT_GT(children.indexOf(control(self, 图片框2)),
            children.indexOf(control(self, 超文本浏览框1)));
  EXPECT_GT(children.indexOf(control(self, 透明标签1)), children.indexOf(control(self, 图片框1)));
}

TEST_F(MainWindowTest, ListsStartWithoutSelectionWhileTheirFieldsReadTheDefaults) {
  EXPECT_EQ(toolkit::comboSelection(self, 组合框_版本), -1);
  EXPECT_EQ(toolkit::comboSelection(self, 组合框_纠错), -1);
  EXPECT_EQ(utf8(toolkit::comboEditText(self, 组合框_版本)), "自动");
  EXPECT_EQ(utf8(toolkit::comboEditText(self, 组合框_纠错)), "L(5%)");
}

TEST_F(MainWindowTest, VersionListHoldsAutomaticAndFortyVersionsByteForByte) {
  ASSERT_EQ(toolkit::comboCount(self, 组合框_版本), 41);
  struct Item {
    int position;
    const char* text;
  };
  const Item items[] = {
      {0, "自动"},
      {1, "版本_1   21×21"},
      {2, "版本_2   25×25"},
      {10, "版本_10   57×57"},
      {39, "版本_39   173×173"},
      {40, "版本_40   177×177"},
  };
  for (const Item& item : items) {
    SCOPED_TRACE(item.position);
    EXPECT_EQ(std::string(toolkit::comboItem(self, 组合框_版本, item.position).view()),
              cp(item.text));
  }
  const char* levels[] = {"L(5%)", "M(15%)", "Q(25%)", "H(30%)"};
  ASSERT_EQ(toolkit::comboCount(self, 组合框_纠错), 4);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(utf8(toolkit::comboItem(self, 组合框_纠错, i)), levels[i]);
}

TEST_F(MainWindowTest, FocusStartsOnGenerateAndTabCyclesInReverseDefinitionOrder) {
  const int cycle[] = {按钮1, 编辑框1, 组合框_版本, 组合框_纠错, 按钮2, 超文本浏览框1, 按钮1};
  control(self, 按钮1)->setFocus();
  for (std::size_t i = 0; i + 1 < std::size(cycle); ++i) {
    SCOPED_TRACE(i);
    ASSERT_TRUE(control(self, cycle[i])->isAncestorOf(QApplication::focusWidget()) ||
                QApplication::focusWidget() == control(self, cycle[i]));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
  }
  // And back again.
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
  EXPECT_TRUE(control(self, 超文本浏览框1)->isAncestorOf(QApplication::focusWidget()) ||
              QApplication::focusWidget() == control(self, 超文本浏览框1));
}

TEST_F(MainWindowTest, EnterOnGenerateDoesNothingAndInsertsALineBreakInTheTextBox) {
  control(self, 按钮1)->setFocus();
  QTest::keyClick(control(self, 按钮1), Qt::Key_Return);
  EXPECT_TRUE(encoderCalls().empty()) << "no button is a default button";
  edit()->setFocus();
  typeText(edit(), QStringLiteral("ab\nc"));
  EXPECT_EQ(std::string(toolkit::editText(self, 编辑框1).view()), "ab\r\nc");
}

TEST_F(MainWindowTest, TextBoxStopsAtOneHundredTwentyCodePageBytes) {
  struct Case {
    const char* name;
    QString typed;
    int expectedBytes;
    QString expectedEnd;
  };
  const Case cases[] = {
      {"single-byte", QString(130, QLatin1Char('a')), 120, QStringLiteral("a")},
      {"double-byte", QString(70, QChar(0x4E2D)), 120, QString(QChar(0x4E2D))},
      {"odd byte left", QString(119, QLatin1Char('a')) + QStringLiteral("中"), 119,
       QStringLiteral("a")},
      {"line break counts two", QString(118, QLatin1Char('a')) + QStringLiteral("\nb"), 120,
       QStringLiteral("\n")},
      {"four-byte emoji not split", QString(117, QLatin1Char('a')) + QStringLiteral("😀"), 117,
       QStringLiteral("a")},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    edit()->clear();
    edit()->setFocus();
    typeText(edit(), c.typed);
    EXPECT_EQ(static_cast<int>(toolkit::editText(self, 编辑框1).size()), c.expectedBytes);
    EXPECT_TRUE(edit()->toPlainText().endsWith(c.expectedEnd));
  }
}

TEST_F(MainWindowTest, PasteThatDoesNotFitIsCutAtACharacterBoundary) {
  typeText(edit(), QString(115, QLatin1Char('x')));
  QGuiApplication::clipboard()->setText(QStringLiteral("一二三四"));
  edit()->paste();
  // Five bytes were free: two whole characters fit, the third would split.
  EXPECT_EQ(edit()->toPlainText(), QString(115, QLatin1Char('x')) + QStringLiteral("一二"));
  EXPECT_EQ(toolkit::editText(self, 编辑框1).size(), 119u);
}

TEST_F(MainWindowTest, PasteOverTheWholeTextIsCutToo) {
  // Replacing all of the text makes the document report one unit more than it holds.
  struct Case {
    const char* name;
    QString typedBefore;
  };
  const Case cases[] = {{"into an empty box", QString()},
                        {"over a selection of everything", QStringLiteral("abc")}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    edit()->clear();
    edit()->setFocus();
    typeText(edit(), c.typedBefore);
    edit()->selectAll();
    QGuiApplication::clipboard()->setText(QString(100, QChar(0x4E2D)));
    edit()->paste();
    EXPECT_EQ(edit()->toPlainText(), QString(60, QChar(0x4E2D)));
    EXPECT_EQ(toolkit::editText(self, 编辑框1).size(), 120u);
  }
}

TEST_F(MainWindowTest, GenerateCallsTheEncoderInOrderAndShowsThePicture) {
  typeText(edit(), QStringLiteral("A中\n"));
  QTest::mouseClick(control(self, 按钮1), Qt::LeftButton);
  const std::string directory = shell::programDirectory().c_str();
  const std::vector<std::string> expected = {
      "QRSetMessage 41D6D00D0A",  // "A中" and CR LF, in the code page
      "QRSetBackColor 255 255 255", "QRSetBarColor 0 0 0", "QRConfigure -1 -1 5",
      "QRAppearance 0.2 1 0",       "QRSetSize 500 500",   "QRSaveAsBMP " + directory + "/a.bmp",
  };
  EXPECT_EQ(encoderCalls(), expected);
  ASSERT_TRUE(toolkit::hasPicture(self, 图片框1));

  // 500 x 500 drawn 496 x 496 at (2, 0) on white.
  const QImage shown = control(self, 图片框1)->grab().toImage();
  struct Pixel {
    int x, y;
    QRgb colour;
  };
  const Pixel pixels[] = {{1, 100, qRgb(255, 255, 255)}, {2, 100, qRgb(0, 0, 0)},
                          {497, 100, qRgb(0, 0, 0)},     {498, 100, qRgb(255, 255, 255)},
                          {250, 0, qRgb(0, 0, 0)},       {250, 495, qRgb(0, 0, 0)}};
  for (const Pixel& p : pixels) {
    SCOPED_TRACE(testing::Message() << p.x << "," << p.y);
    EXPECT_EQ(shown.pixel(p.x, p.y) & 0xFFFFFF, p.colour & 0xFFFFFF);
  }
}

TEST_F(MainWindowTest, EmptyTextReachesTheEncoderAsNull) {
  QTest::mouseClick(control(self, 按钮1), Qt::LeftButton);
  const std::vector<std::string> calls = encoderCalls();
  ASSERT_EQ(calls.size(), 7u) << "all steps run for an empty box";
  EXPECT_EQ(calls.front(), "QRSetMessage null");
}

TEST_F(MainWindowTest, PickedItemsReachTheEncoderAndTypingSelectsNothing) {
  struct Case {
    const char* name;
    int downPressesVersion;
    int downPressesLevel;
    const char* expected;
  };
  const Case cases[] = {
      {"automatic and H", 1, 4, "QRConfigure 0 3 5"},
      {"version 3 and M", 4, 2, "QRConfigure 3 1 5"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    clearEncoderCalls();
    for (auto [list, presses] : {std::pair{组合框_版本, c.downPressesVersion},
                                 std::pair{组合框_纠错, c.downPressesLevel}}) {
      combo(list)->setFocus();
      combo(list)->setCurrentIndex(-1);
      for (int i = 0; i < presses; ++i) QTest::keyClick(combo(list), Qt::Key_Down);
    }
    QTest::mouseClick(control(self, 按钮1), Qt::LeftButton);
    const std::vector<std::string> calls = encoderCalls();
    ASSERT_EQ(calls.size(), 7u);
    EXPECT_EQ(calls[3], c.expected);
  }
  // Typing an item's text into the field is no pick.
  clearEncoderCalls();
  combo(组合框_纠错)->lineEdit()->selectAll();
  typeText(combo(组合框_纠错)->lineEdit(), QStringLiteral("M(15%)"));
  QTest::keyClick(combo(组合框_纠错)->lineEdit(), Qt::Key_Return);
  EXPECT_EQ(toolkit::comboSelection(self, 组合框_纠错), -1);
  QTest::keyClick(combo(组合框_纠错)->lineEdit(), Qt::Key_Tab);  // editing ends
  EXPECT_EQ(toolkit::comboSelection(self, 组合框_纠错), -1);
}

TEST_F(MainWindowTest, FailedSaveLeavesThePictureBoxEmptyNotStale) {
  QTest::mouseClick(control(self, 按钮1), Qt::LeftButton);
  ASSERT_TRUE(toolkit::hasPicture(self, 图片框1));
  setenv("QRGEN_FAKE_SAVE", "fail", 1);
  QTest::mouseClick(control(self, 按钮1), Qt::LeftButton);
  unsetenv("QRGEN_FAKE_SAVE");
  EXPECT_FALSE(toolkit::hasPicture(self, 图片框1)) << "an older a.bmp must not be shown";
  const std::string path = std::string(shell::programDirectory().c_str()) + "/a.bmp";
  EXPECT_EQ(toolkit::readWholeFile(path.c_str()).size(), 54u + 500 * 500 * 3)
      << "the file on disk stays";
}

TEST_F(MainWindowTest, EscFromAnyControlClosesTheWindow) {
  for (int index : {编辑框1, 组合框_版本, 按钮1}) {
    SCOPED_TRACE(index);
    ensureMainWindow();
    self = mainWindow();
    control(self, index)->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    EXPECT_EQ(mainWindow(), nullptr);
  }
}

}  // namespace
