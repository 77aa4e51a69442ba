// SPDX-License-Identifier: MIT
// Choosing the data mask: the encoding library evaluates all eight masks with slow per-module
// calls, so the symbol is encoded once with mask 0 and the other seven are derived and scored
// here on a plain byte grid.
#pragma once

#include <cstdint>
#include <vector>

#include "qrcodewin32/settings.h"
#include "qrcodewin32/symbol.h"

namespace qrcodewin32 {

inline constexpr int kMaskCount = 8;

// Whether mask `mask` (0..7) inverts the module in column x, row y.
constexpr bool masks(int mask, int x, int y) {
  switch (mask) {
    case 0:
      return (x + y) % 2 == 0;
    case 1:
      return y % 2 == 0;
    case 2:
      return x % 3 == 0;
    case 3:
      return (x + y) % 3 == 0;
    case 4:
      return (x / 3 + y / 2) % 2 == 0;
    case 5:
      return x * y % 2 + x * y % 3 == 0;
    case 6:
      return (x * y % 2 + x * y % 3) % 2 == 0;
    default:
      return ((x + y) % 2 + x * y % 3) % 2 == 0;
  }
}

// 1 for every module of a function pattern (finders with separators, timing, alignment,
// format and version information, the dark module), 0 for data and error correction.
std::vector<std::uint8_t> functionModules(int version);

// Writes both copies of the format information for this level and mask, and the dark module.
void drawFormatInformation(ModuleGrid& grid, Level level, int mask);

// The standard's penalty: runs of five or more, 2 x 2 blocks, finder-like 1:1:3:1:1 patterns
// beside four light modules (outside the symbol counts as light), and the dark proportion.
long penaltyScore(const ModuleGrid& grid);

// `masked0`, a whole symbol of `version` with mask 0, with its data modules re-masked by
// `mask` and the format information to match.
ModuleGrid remask(const ModuleGrid& masked0, const std::vector<std::uint8_t>& function, Level level,
                  int mask);

// The re-masked symbol of least penalty; the lowest mask number among equals.
ModuleGrid withBestMask(const ModuleGrid& masked0, int version, Level level);

}  // namespace qrcodewin32
