// SPDX-License-Identifier: MIT
// The settings the entry points keep, and how each argument value maps to one.
#pragma once

#include <cstdint>

namespace qrcodewin32 {

struct Rgb {
  std::uint8_t red = 0;
  std::uint8_t green = 0;
  std::uint8_t blue = 0;
  bool operator==(const Rgb&) const = default;
};

enum class Level { Low, Medium, Quartile, High };
enum class ModuleSize { WholePixels, Fractional };
enum class Colours { Normal, Inverted };

inline constexpr int kMinimumQuietZone = 4;  // modules, the standard's minimum
inline constexpr int kMaximumPictureSide = 16384;
inline constexpr double kDefaultMinimumContrast = 0.2;

struct Settings {
  Rgb background{255, 255, 255};
  Rgb bar{0, 0, 0};
  int minimumVersion = 1;  // 1 is the automatic choice: the smallest version that fits
  Level level = Level::Low;
  int quietZone = kMinimumQuietZone;
  double minimumContrast = kDefaultMinimumContrast;
  ModuleSize moduleSize = ModuleSize::WholePixels;
  Colours colours = Colours::Normal;
  int width = 500;
  int height = 500;
};

// Any int to 0..255.
std::uint8_t clampChannel(int value);
Rgb colourFromChannels(int red, int green, int blue);

// 1..40 stand; every other value asks for the automatic choice, that is 1.
int minimumVersionFromPosition(int position);
// 0..3 are L, M, Q, H; every other value is L.
Level levelFromPosition(int position);
// At least the standard's minimum; larger values stand.
int quietZoneFromValue(int value);
// Into 0..1; NaN gives the default.
double minimumContrastFromValue(double value);
// Each side 1..kMaximumPictureSide.
bool isValidPictureSize(int width, int height);

// Difference in relative luminance of two sRGB colours, 0..1, symmetric.
double luminanceContrast(Rgb first, Rgb second);

}  // namespace qrcodewin32
