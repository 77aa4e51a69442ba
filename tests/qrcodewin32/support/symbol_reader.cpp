// SPDX-License-Identifier: MIT
#include "support/symbol_reader.h"

#include <ZXing/ReadBarcode.h>

#include <algorithm>
#include <cstdint>
#include <vector>

namespace qrcodewin32::test {

std::optional<Geometry> measureSymbol(const Picture& picture, Colour dark) {
  int left = picture.width, top = picture.height, right = -1, bottom = -1;
  for (int y = 0; y < picture.height; ++y) {
    for (int x = 0; x < picture.width; ++x) {
      if (picture.at(x, y) != dark) continue;
      left = std::min(left, x);
      right = std::max(right, x);
      top = std::min(top, y);
      bottom = std::max(bottom, y);
    }
  }
  if (right < 0) return std::nullopt;

  int run = 0;
  while (left + run <= right && picture.at(left + run, top) == dark) ++run;
  if (run % 7 != 0) return std::nullopt;
  Geometry geometry;
  geometry.left = left;
  geometry.top = top;
  geometry.modulePixels = run / 7;
  const int width = right - left + 1;
  if (width % geometry.modulePixels != 0 || bottom - top + 1 != width) return std::nullopt;
  geometry.modules = width / geometry.modulePixels;
  const int margin = std::min({left, top, picture.width - 1 - right, picture.height - 1 - bottom});
  geometry.quietZoneModules = margin / geometry.modulePixels;

  geometry.uniformModules = true;
  const int size = geometry.modulePixels;
  for (int row = 0; row < geometry.modules && geometry.uniformModules; ++row) {
    for (int column = 0; column < geometry.modules && geometry.uniformModules; ++column) {
      const int x0 = left + column * size, y0 = top + row * size;
      const bool isDark = picture.at(x0, y0) == dark;
      for (int y = y0; y < y0 + size; ++y)
        for (int x = x0; x < x0 + size; ++x)
          if ((picture.at(x, y) == dark) != isDark) geometry.uniformModules = false;
    }
  }
  return geometry;
}

Reading readWithZxing(const Picture& picture, Purity purity) {
  std::vector<std::uint8_t> luminance(picture.pixels.size());
  std::transform(picture.pixels.begin(), picture.pixels.end(), luminance.begin(),
                 [](const Colour& colour) {
                   return static_cast<std::uint8_t>(
                       (colour.red * 299 + colour.green * 587 + colour.blue * 114) / 1000);
                 });
  const ZXing::ImageView image(luminance.data(), picture.width, picture.height,
                               ZXing::ImageFormat::Lum);
  ZXing::DecodeHints hints;
  hints.setFormats(ZXing::BarcodeFormat::QRCode);
  hints.setTryHarder(true);
  hints.setIsPure(purity == Purity::Pure);
  const ZXing::Result result = ZXing::ReadBarcode(image, hints);
  Reading reading;
  reading.found = result.isValid();
  if (!reading.found) return reading;
  reading.text = result.text();
  reading.bytes.assign(result.bytes().begin(), result.bytes().end());
  reading.ecLevel = result.ecLevel();
  reading.hasEci = result.hasECI();
  return reading;
}

Judgement judgeFile(const std::string& path, Colour dark) {
  Judgement judgement;
  judgement.bmp = readBmpFile(path);
  if (!judgement.bmp) return judgement;
  judgement.geometry = measureSymbol(judgement.bmp->picture, dark);
  const bool smallModules = judgement.geometry && judgement.geometry->modulePixels <= 2;
  judgement.reading =
      readWithZxing(judgement.bmp->picture, smallModules ? Purity::Pure : Purity::Scanned);
  return judgement;
}

Picture invertedPicture(const Picture& picture) {
  Picture inverted = picture;
  for (Colour& colour : inverted.pixels)
    colour = {static_cast<std::uint8_t>(255 - colour.red),
              static_cast<std::uint8_t>(255 - colour.green),
              static_cast<std::uint8_t>(255 - colour.blue)};
  return inverted;
}

}  // namespace qrcodewin32::test
