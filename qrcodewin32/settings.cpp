// SPDX-License-Identifier: MIT
#include "qrcodewin32/settings.h"

#include <algorithm>
#include <cmath>

namespace qrcodewin32 {
namespace {

// sRGB transfer function undone: 0..255 to linear light 0..1.
double linearChannel(std::uint8_t value) {
  const double encoded = value / 255.0;
  return encoded <= 0.04045 ? encoded / 12.92 : std::pow((encoded + 0.055) / 1.055, 2.4);
}

double relativeLuminance(Rgb colour) {
  return 0.2126 * linearChannel(colour.red) + 0.7152 * linearChannel(colour.green) +
         0.0722 * linearChannel(colour.blue);
}

}  // namespace

std::uint8_t clampChannel(int value) {
  return static_cast<std::uint8_t>(std::clamp(value, 0, 255));
}

Rgb colourFromChannels(int red, int green, int blue) {
  return {clampChannel(red), clampChannel(green), clampChannel(blue)};
}

int minimumVersionFromPosition(int position) {
  return position >= 1 && position <= 40 ? position : 1;
}

Level levelFromPosition(int position) {
  switch (position) {
    case 1:
      return Level::Medium;
    case 2:
      return Level::Quartile;
    case 3:
      return Level::High;
    default:
      return Level::Low;
  }
}

int quietZoneFromValue(int value) {
  return std::max(value, kMinimumQuietZone);
}

double minimumContrastFromValue(double value) {
  if (std::isnan(value)) return kDefaultMinimumContrast;
  return std::clamp(value, 0.0, 1.0);
}

bool isValidPictureSize(int width, int height) {
  return width >= 1 && width <= kMaximumPictureSide && height >= 1 && height <= kMaximumPictureSide;
}

double luminanceContrast(Rgb first, Rgb second) {
  return std::fabs(relativeLuminance(first) - relativeLuminance(second));
}

}  // namespace qrcodewin32
