// SPDX-License-Identifier: MIT
#include "qrcodewin32/raster.h"

#include <gtest/gtest.h>

#include <climits>

#include "support/bmp_reader.h"

namespace qrcodewin32 {
namespace {

struct LayoutCase {
  const char* name;
  int modules;
  int quietZone;
  int width;
  int height;
  ModuleSize moduleSize;
  bool fits;
  int left;
  int top;
  int symbolPixels;
};

void PrintTo(const LayoutCase& row, std::ostream* out) {
  *out << row.name;
}

class Layouts : public testing::TestWithParam<LayoutCase> {};

TEST_P(Layouts, PlaceTheSymbol) {
  const LayoutCase& row = GetParam();
  const auto layout =
      layoutSymbol(row.modules, row.quietZone, row.width, row.height, row.moduleSize);
  ASSERT_EQ(layout.has_value(), row.fits);
  if (!row.fits) return;
  EXPECT_EQ(layout->left, row.left);
  EXPECT_EQ(layout->top, row.top);
  ASSERT_EQ(layout->edges.size(), static_cast<std::size_t>(row.modules) + 1);
  EXPECT_EQ(layout->edges.back(), row.symbolPixels);
  for (std::size_t index = 1; index < layout->edges.size(); ++index) {
    const int pixels = layout->edges[index] - layout->edges[index - 1];
    EXPECT_GE(pixels, 1);
    if (row.moduleSize == ModuleSize::WholePixels) {
      EXPECT_EQ(pixels, layout->edges[1]);
    }
  }
  // The quiet zone is there on every side, whatever the rounding.
  const double modulePixels = static_cast<double>(row.symbolPixels) / row.modules;
  const int margins[] = {row.left, row.top, row.width - row.left - row.symbolPixels,
                         row.height - row.top - row.symbolPixels};
  for (int margin : margins) EXPECT_GE(margin, row.quietZone * modulePixels - 0.5);
}

using enum ModuleSize;
INSTANTIATE_TEST_SUITE_P(
    Table, Layouts,
    testing::Values(
        // 31 modules with the quiet zone: 16 pixels each, 336 in all, 82 pixels of margin.
        LayoutCase{"Version1At500", 21, 5, 500, 500, WholePixels, true, 82, 82, 336},
        LayoutCase{"Version1At500WithMinimumZone", 21, 4, 500, 500, WholePixels, true, 71, 71, 357},
        LayoutCase{"Version35With4Modules", 157, 4, 500, 500, WholePixels, true, 14, 14, 471},
        LayoutCase{"Version35With5Modules", 157, 5, 500, 500, WholePixels, true, 93, 93, 314},
        LayoutCase{"Version40At500", 177, 5, 500, 500, WholePixels, true, 73, 73, 354},
        LayoutCase{"WideSizedByHeight", 21, 5, 800, 500, WholePixels, true, 232, 82, 336},
        LayoutCase{"TallSizedByWidth", 21, 5, 100, 700, WholePixels, true, 18, 318, 63},
        LayoutCase{"OnePixelModulesJustFit", 21, 5, 31, 31, WholePixels, true, 5, 5, 21},
        LayoutCase{"OnePixelShort", 21, 5, 30, 31, WholePixels, false, 0, 0, 0},
        LayoutCase{"OnePixelPicture", 21, 4, 1, 1, WholePixels, false, 0, 0, 0},
        LayoutCase{"HugeQuietZone", 21, INT_MAX, 16384, 16384, WholePixels, false, 0, 0, 0},
        // 500 / 29 = 17.24 pixels a module: the symbol takes 362 pixels.
        LayoutCase{"FractionalFillsTheSide", 21, 4, 500, 500, Fractional, true, 69, 69, 362},
        LayoutCase{"FractionalVersion40", 177, 5, 500, 500, Fractional, true, 13, 13, 473},
        LayoutCase{"FractionalTooSmall", 21, 5, 30, 30, Fractional, false, 0, 0, 0}),
    [](const testing::TestParamInfo<LayoutCase>& info) { return std::string(info.param.name); });

// A 3 x 3 symbol of modules in a pattern, drawn at 2 pixels each with a 1-module border into a
// picture whose width needs row padding; read back by the tests' own BMP reader.
TEST(Raster, DrawsDarkModulesOnlyWhereTheyAre) {
  ModuleGrid grid;
  grid.size = 3;
  grid.modules = {1, 0, 0,  //
                  0, 1, 1,  //
                  1, 0, 1};
  const auto layout = layoutSymbol(3, 1, 11, 10, ModuleSize::WholePixels);
  ASSERT_TRUE(layout.has_value());
  const Rgb light{250, 240, 230}, dark{10, 20, 30};
  OneBitBmp bmp(11, 10, light, dark);
  drawSymbol(grid, *layout, bmp);

  const auto read = test::decodeBmp(bmp.bytes());
  ASSERT_TRUE(read.has_value());
  const test::Picture& picture = read->picture;
  ASSERT_EQ(picture.width, 11);
  ASSERT_EQ(picture.height, 10);
  const test::Colour lightColour{250, 240, 230}, darkColour{10, 20, 30};
  for (int y = 0; y < 10; ++y) {
    for (int x = 0; x < 11; ++x) {
      // Symbol of 6 x 6 pixels at (2, 2): the picture is 11 x 10, the symbol sized by 10.
      const int column = (x - 2) / 2, row = (y - 2) / 2;
      const bool inside = x >= 2 && x < 8 && y >= 2 && y < 8;
      const bool dark = inside && grid.isDark(column, row);
      EXPECT_EQ(picture.at(x, y), dark ? darkColour : lightColour) << x << ',' << y;
    }
  }
}

}  // namespace
}  // namespace qrcodewin32
