// SPDX-License-Identifier: MIT
// Themed drawing: on after start-up in the silver scheme, reaching exactly
// the standard control kinds.
#include <gtest/gtest.h>

#include <QImage>

#include "toolkit/theme.h"
#include "ui_test_support.h"

namespace {

using namespace ui_test;
using namespace main_window;

const QColor kSilverFrame(198, 197, 215);
const QColor kSilverGlyph(0, 60, 116);

bool imageHolds(const QImage& image, const QColor& colour) {
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if (QColor(image.pixel(x, y)) == colour) return true;
  return false;
}

TEST(Theme, SilverSchemeReachesStandardControlsOnly) {
  ensureMainWindow();
  toolkit::Window* self = mainWindow();
  EXPECT_EQ(toolkit::themedDrawing(), toolkit::ColourScheme::Silver);

  const QImage button = control(self, 按钮1)->grab().toImage();
  EXPECT_EQ(QColor(button.pixel(0, button.height() / 2)), kSilverFrame) << "button frame";
  EXPECT_NE(button.pixel(button.width() / 2, 3),
            button.pixel(button.width() / 2, button.height() - 4))
      << "a gradient fill";

  struct Case {
    const char* name;
    int control;
    bool themed;
  };
  const Case cases[] = {
      {"edit box", 编辑框1, true},
      {"combo box", 组合框_版本, true},
      {"group box", 分组框1, true},
      {"picture box", 图片框1, false},
      {"transparent label", 透明标签2, false},
      {"picture strip", 图片框2, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(imageHolds(control(self, c.control)->grab().toImage(), kSilverFrame), c.themed);
  }
  EXPECT_TRUE(imageHolds(control(self, 组合框_版本)->grab().toImage(), kSilverGlyph))
      << "drop-down arrow in the glyph colour";
}

TEST(Theme, OtherNumbersSwitchItOff) {
  for (int scheme : {0, 4, -1}) {
    SCOPED_TRACE(scheme);
    toolkit::setThemedDrawing(scheme);
    EXPECT_EQ(toolkit::themedDrawing(), toolkit::ColourScheme::Off);
    EXPECT_FALSE(imageHolds(control(mainWindow(), 按钮1)->grab().toImage(), kSilverFrame));
  }
  toolkit::setThemedDrawing(3);
}

}  // namespace
