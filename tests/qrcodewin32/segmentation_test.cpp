// SPDX-License-Identifier: MIT
#include "qrcodewin32/segmentation.h"

#include <gtest/gtest.h>
#include <qrcodegen.hpp>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

namespace qrcodewin32 {
namespace {

constexpr CountWidths kAllWidths[] = {CountWidths::Versions1To9, CountWidths::Versions10To26,
                                      CountWidths::Versions27To40};
constexpr int kVersionOf[] = {1, 10, 27};  // one version of each width class

bool modeHolds(Mode mode, std::string_view text) {
  if (mode == Mode::Byte) return true;
  return std::all_of(text.begin(), text.end(), mode == Mode::Numeric ? isNumeric : isAlphanumeric);
}

// A second, independent optimum: best[i] is the cheapest way to code the bytes from i on,
// trying every piece [i, j) in every mode that can hold it.
long referenceBits(std::string_view data, CountWidths widths) {
  const std::size_t size = data.size();
  std::vector<long> best(size + 1, 0);
  for (std::size_t begin = size; begin-- > 0;) {
    best[begin] = std::numeric_limits<long>::max();
    for (std::size_t end = begin + 1; end <= size; ++end) {
      for (Mode mode : {Mode::Numeric, Mode::Alphanumeric, Mode::Byte}) {
        if (!modeHolds(mode, data.substr(begin, end - begin))) continue;
        const long bits =
            4 + characterCountBits(mode, widths) + segmentDataBits(mode, end - begin) + best[end];
        best[begin] = std::min(best[begin], bits);
      }
    }
  }
  return best[0];
}

// The same segments built by the encoding library, to count their bits its way.
std::vector<qrcodegen::QrSegment> librarySegments(std::string_view data,
                                                  const Segmentation& segmentation) {
  std::vector<qrcodegen::QrSegment> segments;
  for (const Segment& segment : segmentation.segments) {
    const std::string piece(data.substr(segment.begin, segment.length));
    if (segment.mode == Mode::Numeric)
      segments.push_back(qrcodegen::QrSegment::makeNumeric(piece.c_str()));
    else if (segment.mode == Mode::Alphanumeric)
      segments.push_back(qrcodegen::QrSegment::makeAlphanumeric(piece.c_str()));
    else
      segments.push_back(qrcodegen::QrSegment::makeBytes({piece.begin(), piece.end()}));
  }
  return segments;
}

// Segments in order, without gaps, each in a mode that can hold its bytes.
void expectWellFormed(std::string_view data, const Segmentation& segmentation) {
  std::size_t next = 0;
  for (const Segment& segment : segmentation.segments) {
    EXPECT_EQ(segment.begin, next);
    EXPECT_GT(segment.length, 0u);
    EXPECT_TRUE(modeHolds(segment.mode, data.substr(segment.begin, segment.length)));
    next = segment.begin + segment.length;
  }
  EXPECT_EQ(next, data.size());
}

std::string randomText(std::mt19937& random, std::size_t length) {
  // Digits, other alphanumeric characters, lower case and a Chinese character weighted so
  // that runs of each appear.
  static const std::vector<std::string> pieces = {"0", "7", "12", "345", "A",  "Z",
                                                  " ", ":", "a",  "q",   "中", "文"};
  std::uniform_int_distribution<std::size_t> pick(0, pieces.size() - 1);
  std::string text;
  while (text.size() < length) text += pieces[pick(random)];
  return text;
}

TEST(Segmentation, MatchesAnExhaustiveOptimumOnRandomTexts) {
  std::mt19937 random(20240611);
  for (int round = 0; round < 300; ++round) {
    const std::string text = randomText(random, 1 + round % 60);
    for (int index = 0; index < 3; ++index) {
      SCOPED_TRACE(testing::Message() << "text \"" << text << "\", widths " << index);
      const Segmentation segmentation = segmentOptimally(text, kAllWidths[index], Eci::None);
      EXPECT_EQ(segmentation.bits, referenceBits(text, kAllWidths[index]));
      expectWellFormed(text, segmentation);
      EXPECT_EQ(segmentation.bits, qrcodegen::QrSegment::getTotalBits(
                                       librarySegments(text, segmentation), kVersionOf[index]));
    }
  }
}

TEST(Segmentation, CountsTheEciDesignator) {
  const std::string text = "你好 123";
  for (CountWidths widths : kAllWidths) {
    EXPECT_EQ(segmentOptimally(text, widths, Eci::Utf8).bits,
              segmentOptimally(text, widths, Eci::None).bits + kEciDesignatorBits);
  }
  EXPECT_EQ(segmentOptimally("", CountWidths::Versions1To9, Eci::Utf8).bits, kEciDesignatorBits);
}

TEST(Segmentation, NeverSplitsAUtf8Character) {
  std::mt19937 random(7);
  for (int round = 0; round < 200; ++round) {
    const std::string text = randomText(random, 10 + round % 40);
    for (CountWidths widths : kAllWidths) {
      for (const Segment& segment : segmentOptimally(text, widths, Eci::Utf8).segments) {
        const auto first = static_cast<unsigned char>(text[segment.begin]);
        EXPECT_NE(first & 0xC0, 0x80) << "segment starts inside a character of \"" << text << '"';
      }
    }
  }
}

struct ModesCase {
  const char* name;
  std::string text;
  CountWidths widths;
  std::vector<Mode> modes;
};

void PrintTo(const ModesCase& row, std::ostream* out) {
  *out << row.name;
}

class SegmentationModes : public testing::TestWithParam<ModesCase> {};

TEST_P(SegmentationModes, ChoosesTheseModes) {
  const ModesCase& row = GetParam();
  std::vector<Mode> modes;
  for (const Segment& segment : segmentOptimally(row.text, row.widths, Eci::None).segments)
    modes.push_back(segment.mode);
  EXPECT_EQ(modes, row.modes);
}

using enum Mode;
using enum CountWidths;
INSTANTIATE_TEST_SUITE_P(
    Table, SegmentationModes,
    testing::Values(
        ModesCase{"Empty", "", Versions1To9, {}},
        ModesCase{"Digits", "0123456789", Versions1To9, {Numeric}},
        ModesCase{"UpperCase", "HELLO WORLD", Versions1To9, {Alphanumeric}},
        ModesCase{"LowerCase", "hello", Versions1To9, {Byte}},
        ModesCase{"ShortDigitRunStaysInBytes", "abc12def", Versions1To9, {Byte}},
        ModesCase{"LongDigitRunGetsItsOwnSegment",
                  "abc01234567890123456789def",
                  Versions1To9,
                  {Byte, Numeric, Byte}},
        ModesCase{
            "UpperCaseThenDigits", "ABCDEFGH0123456789012", Versions1To9, {Alphanumeric, Numeric}},
        // Six digits pay for two headers only while counts are short.
        ModesCase{"SixDigitsSplitInSmallVersions", "a123456b", Versions1To9, {Byte, Numeric, Byte}},
        ModesCase{"SixDigitsStayInLargeVersions", "a123456b", Versions27To40, {Byte}},
        ModesCase{"Url", "HTTPS://EXAMPLE.COM/A/B", Versions10To26, {Alphanumeric}}),
    [](const testing::TestParamInfo<ModesCase>& info) { return std::string(info.param.name); });

// A segment longer than its count field would hold more than the biggest version of its
// widths, so reporting such data as not fitting loses nothing.
TEST(Segmentation, CountLimitsBindOnlyBeyondCapacity) {
  const struct {
    CountWidths widths;
    long largestCapacityBits;  // the largest version of the widths at level L
  } rows[] = {{Versions1To9, 232 * 8}, {Versions10To26, 1370 * 8}, {Versions27To40, 2956 * 8}};
  for (const auto& row : rows) {
    for (Mode mode : {Numeric, Alphanumeric, Byte}) {
      EXPECT_GT(segmentDataBits(mode, maximumCharacters(mode, row.widths) + 1),
                row.largestCapacityBits);
    }
  }
  const std::string tooManyBytes(256, 'a');
  EXPECT_FALSE(segmentOptimally(tooManyBytes, Versions1To9, Eci::None).countsFit);
  EXPECT_TRUE(segmentOptimally(tooManyBytes, Versions10To26, Eci::None).countsFit);
}

}  // namespace
}  // namespace qrcodewin32
