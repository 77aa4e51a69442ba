// SPDX-License-Identifier: MIT
#include "qrcodewin32/segmentation.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <limits>
#include <utility>

namespace qrcodewin32 {
namespace {

// States of the search after a byte: which mode the open segment has, and for numeric and
// alphanumeric segments how many characters wait for their group (digits come in threes of
// 10 bits, alphanumeric characters in pairs of 11), so every cost is exact, not averaged.
enum State : std::uint8_t {
  Numeric0,  // open numeric segment, its digits a multiple of three
  Numeric1,
  Numeric2,
  Alphanumeric0,  // open alphanumeric segment, an even count
  Alphanumeric1,
  Byte,
  StateCount,
  Start = StateCount,  // before the first byte: no segment open
};

constexpr long kUnreachable = std::numeric_limits<long>::max() / 2;

Mode modeOf(int state) {
  if (state <= Numeric2) return Mode::Numeric;
  if (state <= Alphanumeric1) return Mode::Alphanumeric;
  return Mode::Byte;
}

}  // namespace

CountWidths countWidthsOf(int version) {
  if (version <= 9) return CountWidths::Versions1To9;
  if (version <= 26) return CountWidths::Versions10To26;
  return CountWidths::Versions27To40;
}

int characterCountBits(Mode mode, CountWidths widths) {
  // Columns: versions 1-9, 10-26, 27-40.
  static constexpr int kBits[3][3] = {
      {10, 12, 14},  // numeric
      {9, 11, 13},   // alphanumeric
      {8, 16, 16},   // byte
  };
  return kBits[static_cast<int>(mode)][static_cast<int>(widths)];
}

std::size_t maximumCharacters(Mode mode, CountWidths widths) {
  return (std::size_t{1} << characterCountBits(mode, widths)) - 1;
}

bool isNumeric(char byte) {
  return byte >= '0' && byte <= '9';
}

bool isAlphanumeric(char byte) {
  if (isNumeric(byte) || (byte >= 'A' && byte <= 'Z')) return true;
  switch (byte) {
    case ' ':
    case '$':
    case '%':
    case '*':
    case '+':
    case '-':
    case '.':
    case '/':
    case ':':
      return true;
    default:
      return false;
  }
}

long segmentDataBits(Mode mode, std::size_t characters) {
  const long count = static_cast<long>(characters);
  switch (mode) {
    case Mode::Numeric:
      return count / 3 * 10 + (count % 3 == 0 ? 0 : count % 3 == 1 ? 4 : 7);
    case Mode::Alphanumeric:
      return count / 2 * 11 + (count % 2) * 6;
    case Mode::Byte:
      return count * 8;
  }
  return 0;
}

Segmentation segmentOptimally(std::string_view data, CountWidths widths, Eci eci) {
  const long header[3] = {4 + characterCountBits(Mode::Numeric, widths),
                          4 + characterCountBits(Mode::Alphanumeric, widths),
                          4 + characterCountBits(Mode::Byte, widths)};
  const std::size_t size = data.size();

  // cost[state] after the bytes so far; from[i][state] is the state before byte i.
  std::array<long, StateCount> cost;
  cost.fill(kUnreachable);
  std::vector<std::array<std::uint8_t, StateCount>> from(size);

  for (std::size_t index = 0; index < size; ++index) {
    const char byte = data[index];
    std::array<long, StateCount> next;
    next.fill(kUnreachable);
    auto& previous = from[index];
    auto offer = [&](int target, int source, long total) {
      if (total < next[target]) {
        next[target] = total;
        previous[target] = static_cast<std::uint8_t>(source);
      }
    };
    // The cheapest state to leave for a new segment of `mode`. Two neighbouring segments of
    // one mode never beat their merger, so a new segment starts only after another mode.
    auto cheapestOutside = [&](Mode mode) {
      int best = index == 0 ? Start : -1;
      long bestCost = index == 0 ? 0 : kUnreachable;  // Start costs nothing
      for (int state = 0; state < StateCount; ++state) {
        if (modeOf(state) != mode && cost[state] < bestCost) {
          bestCost = cost[state];
          best = state;
        }
      }
      return std::pair{best, bestCost};
    };

    if (const auto [source, total] = cheapestOutside(Mode::Byte); source >= 0)
      offer(Byte, source, total + header[2] + 8);
    if (cost[Byte] < kUnreachable) offer(Byte, Byte, cost[Byte] + 8);

    if (isAlphanumeric(byte)) {
      if (const auto [source, total] = cheapestOutside(Mode::Alphanumeric); source >= 0)
        offer(Alphanumeric1, source, total + header[1] + 6);
      if (cost[Alphanumeric0] < kUnreachable)
        offer(Alphanumeric1, Alphanumeric0, cost[Alphanumeric0] + 6);
      if (cost[Alphanumeric1] < kUnreachable)
        offer(Alphanumeric0, Alphanumeric1, cost[Alphanumeric1] + 5);
    }
    if (isNumeric(byte)) {
      if (const auto [source, total] = cheapestOutside(Mode::Numeric); source >= 0)
        offer(Numeric1, source, total + header[0] + 4);
      if (cost[Numeric0] < kUnreachable) offer(Numeric1, Numeric0, cost[Numeric0] + 4);
      if (cost[Numeric1] < kUnreachable) offer(Numeric2, Numeric1, cost[Numeric1] + 3);
      if (cost[Numeric2] < kUnreachable) offer(Numeric0, Numeric2, cost[Numeric2] + 3);
    }
    cost = next;
  }

  Segmentation result;
  result.bits = eci == Eci::Utf8 ? kEciDesignatorBits : 0;
  if (size == 0) return result;

  int state = 0;
  for (int candidate = 1; candidate < StateCount; ++candidate)
    if (cost[candidate] < cost[state]) state = candidate;
  result.bits += cost[state];

  // Walk back, one segment per run of one mode.
  std::size_t end = size;
  for (std::size_t index = size; index-- > 0;) {
    const int before = from[index][state];
    const bool segmentStarts = before == Start || modeOf(before) != modeOf(state);
    if (segmentStarts) {
      result.segments.push_back({modeOf(state), index, end - index});
      end = index;
    }
    state = before;
  }
  std::reverse(result.segments.begin(), result.segments.end());
  for (const Segment& segment : result.segments)
    if (segment.length > maximumCharacters(segment.mode, widths)) result.countsFit = false;
  return result;
}

}  // namespace qrcodewin32
