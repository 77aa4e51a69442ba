// SPDX-License-Identifier: MIT
// Splitting data into numeric, alphanumeric and byte segments so that it takes the fewest bits.
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

#include "qrcodewin32/payload.h"

namespace qrcodewin32 {

enum class Mode { Numeric, Alphanumeric, Byte };

// Versions that share the widths of the character-count fields: 1-9, 10-26 and 27-40.
enum class CountWidths { Versions1To9, Versions10To26, Versions27To40 };

CountWidths countWidthsOf(int version);  // version 1..40
int characterCountBits(Mode mode, CountWidths widths);
// The most characters one segment can count.
std::size_t maximumCharacters(Mode mode, CountWidths widths);

bool isNumeric(char byte);
bool isAlphanumeric(char byte);  // 0-9, A-Z, space and $%*+-./:

inline constexpr int kEciDesignatorBits = 4 + 8;  // mode indicator, one-byte assignment number

struct Segment {
  Mode mode = Mode::Byte;
  std::size_t begin = 0;
  std::size_t length = 0;
  bool operator==(const Segment&) const = default;
};

struct Segmentation {
  std::vector<Segment> segments;  // in order, covering the data without gaps
  // Every bit before the terminator: ECI designator, mode indicators, counts and data.
  long bits = 0;
  // False when a segment has more characters than its count field holds. Such data fits no
  // version of these widths anyway: one segment that long is bigger than the largest of them.
  bool countsFit = true;
};

// The segmentation with the fewest bits for `data` under these count widths, the ECI
// designator counted in. Segments change mode only where that saves bits, so the bytes of a
// multi-byte UTF-8 character (all outside ASCII, so byte mode) always share one segment.
// Linear in the size of the data. Throws std::bad_alloc.
Segmentation segmentOptimally(std::string_view data, CountWidths widths, Eci eci);

// The exact bits of a segment's data, without its header.
long segmentDataBits(Mode mode, std::size_t characters);

}  // namespace qrcodewin32
