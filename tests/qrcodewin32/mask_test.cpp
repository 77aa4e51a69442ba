// SPDX-License-Identifier: MIT
#include "qrcodewin32/mask.h"

#include <gtest/gtest.h>
#include <qrcodegen.hpp>

namespace qrcodewin32 {
namespace {

constexpr Level kLevels[] = {Level::Low, Level::Medium, Level::Quartile, Level::High};

ModuleGrid libraryGrid(int version, Level level, int mask) {
  constexpr qrcodegen::QrCode::Ecc ecc[] = {
      qrcodegen::QrCode::Ecc::LOW, qrcodegen::QrCode::Ecc::MEDIUM, qrcodegen::QrCode::Ecc::QUARTILE,
      qrcodegen::QrCode::Ecc::HIGH};
  const auto code = qrcodegen::QrCode::encodeSegments(
      qrcodegen::QrSegment::makeSegments("MASK 0123"), ecc[static_cast<int>(level)], version,
      version, mask, false);
  ModuleGrid grid;
  grid.size = code.getSize();
  for (int y = 0; y < grid.size; ++y)
    for (int x = 0; x < grid.size; ++x) grid.modules.push_back(code.getModule(x, y) ? 1 : 0);
  return grid;
}

// Re-masking the library's mask-0 symbol must give exactly the library's own symbol with that
// mask: this checks the function pattern map, the masks and the format information at once.
TEST(Mask, RemaskingMatchesTheEncodingLibraryEverywhere) {
  for (int version = kMinimumVersion; version <= kMaximumVersion; ++version) {
    const std::vector<std::uint8_t> function = functionModules(version);
    for (Level level : kLevels) {
      const ModuleGrid masked0 = libraryGrid(version, level, 0);
      for (int mask = 0; mask < kMaskCount; ++mask) {
        SCOPED_TRACE(testing::Message() << "version " << version << ", level "
                                        << static_cast<int>(level) << ", mask " << mask);
        ASSERT_EQ(remask(masked0, function, level, mask).modules,
                  libraryGrid(version, level, mask).modules);
      }
    }
  }
}

TEST(Mask, FunctionModulesCountAsTheStandardSays) {
  // Data and error-correction modules: all codewords, 8 bits each, and the remainder bits.
  const struct {
    int version;
    int dataModules;
  } rows[] = {{1, 208}, {2, 359}, {6, 1383}, {7, 1568}, {14, 4651}, {21, 9252}, {40, 29648}};
  for (const auto& row : rows) {
    const std::vector<std::uint8_t> function = functionModules(row.version);
    const auto data = std::count(function.begin(), function.end(), 0);
    EXPECT_EQ(data, row.dataModules) << "version " << row.version;
  }
}

TEST(Mask, PenaltyOfPlainGrids) {
  ModuleGrid light;
  light.size = 21;
  light.modules.assign(21 * 21, 0);
  // 42 runs of 21 (19 points each), 400 blocks (3 each), no dark module (10 steps of 5 %).
  EXPECT_EQ(penaltyScore(light), 42 * 19 + 400 * 3 + 100);

  ModuleGrid checkers = light;
  for (int y = 0; y < 21; ++y)
    for (int x = 0; x < 21; ++x) checkers.modules[y * 21 + x] = (x + y) % 2;
  EXPECT_EQ(penaltyScore(checkers), 0);

  // One finder-like row, 1011101 after four light modules, in an otherwise checkered grid:
  // the row's light run after it adds its own points.
  ModuleGrid finder = checkers;
  const std::uint8_t row[21] = {0, 0, 0, 0, 1, 0, 1, 1, 1, 0, 1, 0, 1, 0, 1, 0, 1, 0, 1, 0, 1};
  std::copy(std::begin(row), std::end(row), finder.modules.begin() + 10 * 21);
  EXPECT_GE(penaltyScore(finder), 40);
}

TEST(Mask, BestMaskHasTheLeastPenalty) {
  for (int version : {1, 7, 22, 40}) {
    const ModuleGrid masked0 = libraryGrid(version, Level::Medium, 0);
    const std::vector<std::uint8_t> function = functionModules(version);
    const long best = penaltyScore(withBestMask(masked0, version, Level::Medium));
    for (int mask = 0; mask < kMaskCount; ++mask)
      EXPECT_LE(best, penaltyScore(remask(masked0, function, Level::Medium, mask)));
  }
}

}  // namespace
}  // namespace qrcodewin32
