// SPDX-License-Identifier: MIT
// The shell's start-up, loops and fatal paths. The fatal paths end their
// process, so each runs in a child started afresh (death-test style
// "threadsafe"), which builds its own shell.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QMessageBox>
#include <QTimer>
#include <cstdio>

#include "encoder/encoder.h"
#include "ui/about/about_window.h"
#include "ui_test_support.h"

namespace {

using namespace ui_test;

TEST(ProgramDirectory, IsEverythingBeforeTheLastSlash) {
  struct Case {
    const char* path;
    const char* directory;
  };
  const Case cases[] = {
      {"/opt/qr/qrgen", "/opt/qr"},
      {"/qrgen", ""},  // at the root: joined with "/a.bmp" it gives "/a.bmp"
      {"/home/用户/二维码 工具/qrgen", "/home/用户/二维码 工具"},
      {"/a\\b/qrgen", "/a\\b"},
      {"qrgen", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    EXPECT_EQ(shell::directoryOf(c.path).view(), std::string_view(c.directory));
  }
}

TEST(Shell, CurrentDirectoryIsTheProgramDirectory) {
  char current[4096];
  ASSERT_NE(getcwd(current, sizeof current), nullptr);
  EXPECT_EQ(std::string(current), std::string(shell::programDirectory().c_str()));
}

TEST(Shell, LoadingALiveWindowBringsItForwardInsteadOfBuildingAnother) {
  ensureMainWindow();
  toolkit::Window* before = mainWindow();
  EXPECT_TRUE(LoadWindow(MainWindow, nullptr, Modal::No));
  EXPECT_EQ(mainWindow(), before);
}

TEST(Shell, ParentThatIsNotLiveFailsTheLoad) {
  ASSERT_EQ(shell::liveWindow(AboutWindow), nullptr);
  // AboutWindow named as its own parent: that parent is not live.
  EXPECT_FALSE(LoadWindow(AboutWindow, &AboutWindow, Modal::No));
  EXPECT_EQ(shell::liveWindow(AboutWindow), nullptr);
}

TEST(Shell, ClosingTheLastWindowEndsTheLoopWithCodeZero) {
  ensureMainWindow();
  QTimer::singleShot(50, [] { QTest::keyClick(toolkit::widgetOf(mainWindow()), Qt::Key_Escape); });
  EXPECT_EQ(shell::run(), 0);
  EXPECT_EQ(mainWindow(), nullptr);
}

// ---- Fatal paths, each in a child process --------------------------------------

// Answers the message box when it comes up, printing its caption, text, icon
// and buttons for the parent to check.
void answerBoxesFromNowOn();

class FatalTest : public testing::Test {
 protected:
  void SetUp() override { GTEST_FLAG_SET(death_test_style, "threadsafe"); }
};

const toolkit::WindowDef* const kDefinitions[] = {&MainWindow, &AboutWindow};

void answerBoxesFromNowOn() {
  auto* poll = new QTimer(qApp);
  QObject::connect(poll, &QTimer::timeout, [] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box) return;
    std::fprintf(stderr, "BOX[%s|%s|critical=%d|buttons=%d]\n",
                 box->windowTitle().toStdString().c_str(), box->text().toStdString().c_str(),
                 box->icon() == QMessageBox::Critical, static_cast<int>(box->buttons().size()));
    std::fflush(stderr);
    box->button(QMessageBox::Ok)->click();
  });
  poll->start(10);
}

void startShell(std::span<const toolkit::WindowDef* const> definitions) {
  static int argc = 1;
  static char name[] = "ui_test";
  static char* argv[] = {name, nullptr};
  shell::start(argc, argv, definitions);
}

void generateWithoutLibrary() {
  startShell(kDefinitions);
  // Nothing was loaded at start-up; now point the search nowhere.
  encoder::prepare("/nonexistent");
  answerBoxesFromNowOn();
  unsetenv("QRGEN_FAKE_LOG");
  QTest::mouseClick(control(mainWindow(), main_window::按钮1), Qt::LeftButton);
  std::fprintf(stderr, "returned from the handler\n");
  std::exit(0);
}

TEST_F(FatalTest, MissingLibraryEndsTheProgramAtTheFirstGenerate) {
  EXPECT_EXIT(
      generateWithoutLibrary(), testing::ExitedWithCode(255),
      "BOX\\[错误\\|运行时出错!\n\n错误信息：无法找到指定DLL库文件“QRCodeWin32.dll”中的输出命令"
      "“QRSetMessage”\n\\|critical=1\\|buttons=1\\]");
}

void startWithBrokenDefinition() {
  static const toolkit::ControlSettings kPlain{};
  static const toolkit::ControlDef kTwins[] = {
      {"按钮1", toolkit::ControlKind::Button, nullptr, 0, 0, 10, 10, true, "a", &kPlain},
      {"按钮1", toolkit::ControlKind::Button, nullptr, 0, 20, 10, 10, true, "b", &kPlain},
  };
  static const toolkit::WindowDef kBroken{.name = "Broken",
                                          .title = "x",
                                          .width = 100,
                                          .height = 100,
                                          .storedLeft = 0,
                                          .storedTop = 0,
                                          .position = toolkit::Position::AsStored,
                                          .buttons = toolkit::TitleButtons::CloseOnly,
                                          .showInTaskbar = true,
                                          .closeOnEsc = true,
                                          .controls = kTwins};
  static const toolkit::WindowDef* const kBrokenDefinitions[] = {&kBroken};
  // The box comes up during start-up: arm the answer as soon as the
  // application object exists.
  qAddPreRoutine([] { QTimer::singleShot(0, [] { answerBoxesFromNowOn(); }); });
  startShell(kBrokenDefinitions);
  std::exit(0);
}

TEST_F(FatalTest, BrokenDefinitionIsFatalBeforeAnyWindowShows) {
  EXPECT_EXIT(startWithBrokenDefinition(), testing::ExitedWithCode(255),
              "错误信息：载入窗口模板数据段出错!");
}

}  // namespace
