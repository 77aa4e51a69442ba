// SPDX-License-Identifier: MIT
#include "qrcodewin32/mask.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdlib>
#include <limits>

namespace qrcodewin32 {
namespace {

// Column and row centres of the alignment patterns: 6, then evenly spaced (in even steps)
// up to size - 7, the standard's table in closed form.
std::vector<int> alignmentCentres(int version) {
  if (version == 1) return {};
  const int size = 4 * version + 17;
  const int count = version / 7 + 2;
  const int step = version == 32 ? 26 : (version * 4 + count * 2 + 1) / (count * 2 - 2) * 2;
  std::vector<int> centres(static_cast<std::size_t>(count));
  centres[0] = 6;
  for (int index = count - 1, centre = size - 7; index >= 1; --index, centre -= step)
    centres[static_cast<std::size_t>(index)] = centre;
  return centres;
}

// Format bits of the level: L 01, M 00, Q 11, H 10.
int formatLevelBits(Level level) {
  constexpr int kBits[] = {1, 0, 3, 2};
  return kBits[static_cast<int>(level)];
}

// Fifteen bits: level and mask, ten BCH check bits, then the fixed XOR pattern.
int formatBits(Level level, int mask) {
  const int data = formatLevelBits(level) << 3 | mask;
  int remainder = data;
  for (int step = 0; step < 10; ++step) remainder = (remainder << 1) ^ ((remainder >> 9) * 0x537);
  return (data << 10 | remainder) ^ 0x5412;
}

constexpr int kMaximumSize = 4 * kMaximumVersion + 17;
constexpr int kWordsPerLine = (kMaximumSize + 63) / 64;

// One row or column, a bit per module (bit x of word x / 64), light beyond its end. Scoring
// works on these words: per-module branches mispredict on data that looks random.
using Line = std::array<std::uint64_t, kWordsPerLine>;

// Runs of five or more, and finder-like patterns: dark 1, light 1, dark 3, light 1, dark 1
// with four light modules before or after, the light outside the symbol counted in.
long lineScore(const Line& line, int size) {
  constexpr int kOutside = 4;  // as much light as the pattern asks for
  // Runs alternate in colour from a light one at even places: a dark first module gets the
  // outside as a light run of its own before it.
  std::array<int, kMaximumSize + 2> runs;
  int count = 0;
  if ((line[0] & 1) != 0) runs[count++] = 0;
  long score = 0;
  auto addRun = [&](int length) {
    score += length >= 5 ? 3 + (length - 5) : 0;
    runs[count++] = length;
  };
  // A run starts wherever a module differs from the one before it.
  int previous = 0;
  std::uint64_t carry = 0;
  for (int word = 0; word * 64 < size; ++word) {
    std::uint64_t starts = line[word] ^ (line[word] << 1 | carry);
    carry = line[word] >> 63;
    if (word == 0) starts &= ~std::uint64_t{1};
    for (; starts != 0; starts &= starts - 1) {
      const int start = word * 64 + std::countr_zero(starts);
      if (start >= size) break;
      addRun(start - previous);
      previous = start;
    }
  }
  addRun(size - previous);
  runs[0] += kOutside;
  if (count % 2 == 1)  // the last run is light
    runs[count - 1] += kOutside;
  else
    runs[count++] = kOutside;

  // A dark run always has a light one after it, so runs[index + 5] exists.
  for (int index = 1; index + 4 < count; index += 2) {
    // The rare run of three first: most candidates stop there.
    if (runs[index + 2] == 3 && runs[index] == 1 && runs[index + 1] == 1 && runs[index + 3] == 1 &&
        runs[index + 4] == 1 && (runs[index - 1] >= 4 || runs[index + 5] >= 4))
      score += 40;
  }
  return score;
}

// Bit x set where modules x and x + 1 of the line have one colour.
Line sameAsNext(const Line& line) {
  Line same;
  for (int word = 0; word < kWordsPerLine; ++word) {
    const std::uint64_t next = word + 1 < kWordsPerLine ? line[word + 1] << 63 : 0;
    same[word] = ~(line[word] ^ (line[word] >> 1 | next));
  }
  return same;
}

// Mask bits of every module, bit m for mask m: all eight repeat every 6 columns and 12 rows.
constexpr std::array<std::array<std::uint8_t, 6>, 12> maskTable() {
  std::array<std::array<std::uint8_t, 6>, 12> table{};
  for (int y = 0; y < 12; ++y)
    for (int x = 0; x < 6; ++x)
      for (int mask = 0; mask < kMaskCount; ++mask)
        if (masks(mask, x, y)) table[y][x] |= static_cast<std::uint8_t>(1 << mask);
  return table;
}
constexpr auto kMaskTable = maskTable();

}  // namespace

std::vector<std::uint8_t> functionModules(int version) {
  const int size = 4 * version + 17;
  std::vector<std::uint8_t> function(static_cast<std::size_t>(size) * size, 0);
  auto mark = [&](int left, int top, int width, int height) {
    for (int y = top; y < top + height; ++y)
      for (int x = left; x < left + width; ++x)
        function[static_cast<std::size_t>(y) * size + x] = 1;
  };
  // Finder patterns with their separators, and the format information beside them (which
  // also covers the dark module at column 8, row size - 8).
  mark(0, 0, 9, 9);
  mark(size - 8, 0, 8, 9);
  mark(0, size - 8, 9, 8);
  // Timing patterns.
  mark(0, 6, size, 1);
  mark(6, 0, 1, size);
  // Alignment patterns, except where a finder pattern sits.
  const std::vector<int> centres = alignmentCentres(version);
  const int last = static_cast<int>(centres.size()) - 1;
  for (int row = 0; row <= last; ++row) {
    for (int column = 0; column <= last; ++column) {
      const bool finder =
          (row == 0 && column == 0) || (row == 0 && column == last) || (row == last && column == 0);
      if (!finder) mark(centres[column] - 2, centres[row] - 2, 5, 5);
    }
  }
  // Version information from version 7 on.
  if (version >= 7) {
    mark(size - 11, 0, 3, 6);
    mark(0, size - 11, 6, 3);
  }
  return function;
}

void drawFormatInformation(ModuleGrid& grid, Level level, int mask) {
  const int bits = formatBits(level, mask);
  const int size = grid.size;
  auto set = [&](int x, int y, int bit) {
    grid.modules[static_cast<std::size_t>(y) * size + x] =
        static_cast<std::uint8_t>(bits >> bit & 1);
  };
  // Round the upper left finder: down column 8 skipping the timing row, then left along row 8.
  for (int bit = 0; bit <= 5; ++bit) set(8, bit, bit);
  set(8, 7, 6);
  set(8, 8, 7);
  set(7, 8, 8);
  for (int bit = 9; bit < 15; ++bit) set(14 - bit, 8, bit);
  // Split between the other two finders.
  for (int bit = 0; bit < 8; ++bit) set(size - 1 - bit, 8, bit);
  for (int bit = 8; bit < 15; ++bit) set(8, size - 15 + bit, bit);
  grid.modules[static_cast<std::size_t>(size - 8) * size + 8] = 1;
}

long penaltyScore(const ModuleGrid& grid) {
  const int size = grid.size;
  std::array<Line, kMaximumSize> rows{}, columns{};
  long dark = 0;
  for (int y = 0; y < size; ++y) {
    const std::uint8_t* row = grid.modules.data() + static_cast<std::size_t>(y) * size;
    for (int x = 0; x < size; ++x) {
      const std::uint64_t module = row[x];
      rows[y][x / 64] |= module << (x % 64);
      columns[x][y / 64] |= module << (y % 64);
    }
  }
  long score = 0;
  for (int index = 0; index < size; ++index) {
    score += lineScore(rows[index], size) + lineScore(columns[index], size);
    for (const std::uint64_t word : rows[index]) dark += std::popcount(word);
  }

  // 2 x 2 blocks of one colour: equal neighbours in both rows, and the rows equal.
  Line lastColumns{};  // bits of x < size - 1, where a block can start
  for (int x = 0; x < size - 1; ++x) lastColumns[x / 64] |= std::uint64_t{1} << (x % 64);
  Line above = sameAsNext(rows[0]);
  for (int y = 0; y + 1 < size; ++y) {
    const Line below = sameAsNext(rows[y + 1]);
    for (int word = 0; word < kWordsPerLine; ++word) {
      const std::uint64_t rowsEqual = ~(rows[y][word] ^ rows[y + 1][word]);
      score += 3 * std::popcount(above[word] & below[word] & rowsEqual & lastColumns[word]);
    }
    above = below;
  }

  // Ten points for every whole 5 % the dark share lies away from half.
  const long total = static_cast<long>(size) * size;
  return score + std::labs(dark * 20 - total * 10) / total * 10;
}

ModuleGrid remask(const ModuleGrid& masked0, const std::vector<std::uint8_t>& function, Level level,
                  int mask) {
  ModuleGrid grid = masked0;
  const int size = grid.size;
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) {
      const std::size_t index = static_cast<std::size_t>(y) * size + x;
      const std::uint8_t bits = kMaskTable[y % 12][x % 6];
      grid.modules[index] ^=
          static_cast<std::uint8_t>((function[index] ^ 1) & (bits ^ bits >> mask) & 1);
    }
  }
  drawFormatInformation(grid, level, mask);
  return grid;
}

ModuleGrid withBestMask(const ModuleGrid& masked0, int version, Level level) {
  const std::vector<std::uint8_t> function = functionModules(version);
  ModuleGrid best;
  long bestPenalty = std::numeric_limits<long>::max();
  for (int mask = 0; mask < kMaskCount; ++mask) {
    ModuleGrid candidate = remask(masked0, function, level, mask);
    const long penalty = penaltyScore(candidate);
    if (penalty < bestPenalty) {
      bestPenalty = penalty;
      best = std::move(candidate);
    }
  }
  return best;
}

}  // namespace qrcodewin32
