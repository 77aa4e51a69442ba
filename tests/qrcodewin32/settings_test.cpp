// SPDX-License-Identifier: MIT
#include "qrcodewin32/settings.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <limits>

namespace qrcodewin32 {
namespace {

TEST(Settings, PositionsMapToVersionAndLevel) {
  const struct {
    int position;
    int minimumVersion;
    Level level;
  } rows[] = {
      {INT_MIN, 1, Level::Low}, {-1, 1, Level::Low},      {0, 1, Level::Low}, {1, 1, Level::Medium},
      {2, 2, Level::Quartile},  {3, 3, Level::High},      {4, 4, Level::Low}, {40, 40, Level::Low},
      {41, 1, Level::Low},      {INT_MAX, 1, Level::Low},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.position);
    EXPECT_EQ(minimumVersionFromPosition(row.position), row.minimumVersion);
    EXPECT_EQ(levelFromPosition(row.position), row.level);
  }
}

TEST(Settings, IntegersAreClampedOrRefused) {
  const struct {
    int value;
    int channel;
    int quietZone;
  } rows[] = {
      {INT_MIN, 0, 4}, {-1, 0, 4},      {0, 0, 4},       {4, 4, 4},
      {5, 5, 5},       {255, 255, 255}, {256, 255, 256}, {INT_MAX, 255, INT_MAX},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.value);
    EXPECT_EQ(clampChannel(row.value), row.channel);
    EXPECT_EQ(quietZoneFromValue(row.value), row.quietZone);
  }
  EXPECT_EQ(colourFromChannels(-5, 128, 300), (Rgb{0, 128, 255}));

  const struct {
    int width;
    int height;
    bool valid;
  } sizes[] = {{1, 1, true},        {500, 500, true},    {16384, 16384, true}, {0, 500, false},
               {500, 0, false},     {16385, 500, false}, {500, 16385, false},  {-1, -1, false},
               {INT_MIN, 1, false}, {1, INT_MAX, false}};
  for (const auto& row : sizes)
    EXPECT_EQ(isValidPictureSize(row.width, row.height), row.valid)
        << row.width << 'x' << row.height;
}

TEST(Settings, ContrastValuesFallBackOrClamp) {
  const double infinity = std::numeric_limits<double>::infinity();
  const struct {
    double value;
    double minimumContrast;
  } rows[] = {
      {0.2, 0.2}, {0.0, 0.0},      {1.0, 1.0},       {-0.5, 0.0},
      {7.0, 1.0}, {infinity, 1.0}, {-infinity, 0.0}, {std::nan(""), kDefaultMinimumContrast},
  };
  for (const auto& row : rows)
    EXPECT_EQ(minimumContrastFromValue(row.value), row.minimumContrast) << row.value;
}

TEST(Settings, LuminanceContrastOfColourPairs) {
  const Rgb white{255, 255, 255}, black{0, 0, 0};
  const struct {
    Rgb first;
    Rgb second;
    double contrast;
  } rows[] = {
      {white, black, 1.0},
      {black, white, 1.0},
      {white, white, 0.0},
      {{128, 128, 128}, {100, 100, 100}, 0.0884},  // greys too close to read apart
      {{255, 0, 0}, black, 0.2126},
      {{0, 255, 0}, black, 0.7152},
      {{0, 0, 255}, black, 0.0722},
  };
  for (const auto& row : rows)
    EXPECT_NEAR(luminanceContrast(row.first, row.second), row.contrast, 1e-4);
}

}  // namespace
}  // namespace qrcodewin32
