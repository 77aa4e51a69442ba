// SPDX-License-Identifier: MIT
#include "qrcodewin32/symbol.h"

#include <gtest/gtest.h>
#include <qrcodegen.hpp>

#include <string>

namespace qrcodewin32 {
namespace {

constexpr Level kLevels[] = {Level::Low, Level::Medium, Level::Quartile, Level::High};

qrcodegen::QrCode::Ecc eccOf(Level level) {
  constexpr qrcodegen::QrCode::Ecc ecc[] = {
      qrcodegen::QrCode::Ecc::LOW, qrcodegen::QrCode::Ecc::MEDIUM, qrcodegen::QrCode::Ecc::QUARTILE,
      qrcodegen::QrCode::Ecc::HIGH};
  return ecc[static_cast<int>(level)];
}

// Whether `bits` bits of data (one segment of that many bits after its header) fit `version`.
bool libraryFits(int version, Level level, long bits) {
  const int header = 4 + (version <= 9 ? 8 : 16);
  const std::vector<qrcodegen::QrSegment> segments{qrcodegen::QrSegment(
      qrcodegen::QrSegment::Mode::BYTE, 0, std::vector<bool>(bits - header, false))};
  try {
    qrcodegen::QrCode::encodeSegments(segments, eccOf(level), version, version, 0, false);
    return true;
  } catch (const qrcodegen::data_too_long&) {
    return false;
  }
}

TEST(Symbol, CapacityTableAgreesWithTheEncodingLibrary) {
  for (Level level : kLevels) {
    for (int version = kMinimumVersion; version <= kMaximumVersion; ++version) {
      SCOPED_TRACE(testing::Message()
                   << "version " << version << ", level " << static_cast<int>(level));
      const long capacity = 8L * dataCodewords(version, level);
      EXPECT_TRUE(libraryFits(version, level, capacity));
      EXPECT_FALSE(libraryFits(version, level, capacity + 1));
    }
  }
}

Payload ascii(std::string text) {
  return {std::move(text), Eci::None};
}

struct PlanCase {
  const char* name;
  Payload payload;
  Level level;
  int minimumVersion;
  int expectedVersion;  // 0: fits no version
};

void PrintTo(const PlanCase& row, std::ostream* out) {
  *out << row.name;
}

class SymbolPlans : public testing::TestWithParam<PlanCase> {};

TEST_P(SymbolPlans, PicksThisVersion) {
  const PlanCase& row = GetParam();
  const auto plan = planSymbol(row.payload, row.level, row.minimumVersion);
  if (row.expectedVersion == 0) {
    EXPECT_FALSE(plan.has_value());
  } else {
    ASSERT_TRUE(plan.has_value());
    EXPECT_EQ(plan->version, row.expectedVersion);
    EXPECT_LE(plan->segmentation.bits, 8L * dataCodewords(plan->version, row.level));
  }
}

// The largest amounts come from the standard's capacity table: version 1-L holds 41 digits,
// 25 alphanumeric characters or 17 bytes; version 40-L 7089 digits or 2953 bytes; 40-H 1273.
INSTANTIATE_TEST_SUITE_P(
    Table, SymbolPlans,
    testing::Values(
        PlanCase{"EmptyIsVersion1", ascii(""), Level::Low, 1, 1},
        PlanCase{"EmptyWithEciIsVersion1", {"", Eci::Utf8}, Level::High, 1, 1},
        PlanCase{"FullVersion1Digits", ascii(std::string(41, '7')), Level::Low, 1, 1},
        PlanCase{"OneDigitMore", ascii(std::string(42, '7')), Level::Low, 1, 2},
        PlanCase{"FullVersion1Alphanumeric", ascii(std::string(25, 'Q')), Level::Low, 1, 1},
        PlanCase{"FullVersion1Bytes", ascii(std::string(17, 'q')), Level::Low, 1, 1},
        PlanCase{"EciTakesRoom", {std::string(17, 'q'), Eci::Utf8}, Level::Low, 1, 2},
        PlanCase{"LevelHNeedsMore", ascii(std::string(17, 'q')), Level::High, 1, 3},
        PlanCase{"RequestedVersionStands", ascii("hi"), Level::Low, 12, 12},
        PlanCase{"TooMuchForRequestedVersion", ascii(std::string(60, 'q')), Level::Low, 1, 4},
        PlanCase{"TooMuchForRequestedVersion3", ascii(std::string(60, 'q')), Level::Low, 3, 4},
        // 230 bytes need 1852 bits with 8-bit counts (version 9 holds 1856); 231 need version
        // 10, whose 16-bit counts the search must take into account.
        PlanCase{"LastSmallCountVersion", ascii(std::string(230, 'q')), Level::Low, 1, 9},
        PlanCase{"FirstMediumCountVersion", ascii(std::string(231, 'q')), Level::Low, 1, 10},
        PlanCase{"MostDigits", ascii(std::string(7089, '1')), Level::Low, 1, 40},
        PlanCase{"OneDigitTooMany", ascii(std::string(7090, '1')), Level::Low, 1, 0},
        PlanCase{"MostBytes", ascii(std::string(2953, 'q')), Level::Low, 1, 40},
        PlanCase{"OneByteTooMany", ascii(std::string(2954, 'q')), Level::Low, 1, 0},
        PlanCase{"MostBytesAtH", ascii(std::string(1273, 'q')), Level::High, 40, 40},
        PlanCase{"OneByteTooManyAtH", ascii(std::string(1274, 'q')), Level::High, 1, 0}),
    [](const testing::TestParamInfo<PlanCase>& info) { return std::string(info.param.name); });

TEST(Symbol, EncodesExactlyThePlannedVersion) {
  const Payload payload = ascii("HELLO 2024");
  for (Level level : kLevels) {
    for (int version : {1, 9, 10, 26, 27, 40}) {
      const auto plan = planSymbol(payload, level, version);
      ASSERT_TRUE(plan.has_value());
      const ModuleGrid grid = encodeSymbol(payload, *plan, level);
      EXPECT_EQ(grid.size, 4 * version + 17);
      EXPECT_EQ(grid.modules.size(), static_cast<std::size_t>(grid.size * grid.size));
    }
  }
}

}  // namespace
}  // namespace qrcodewin32
