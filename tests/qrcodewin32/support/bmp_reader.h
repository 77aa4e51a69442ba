// SPDX-License-Identifier: MIT
// A small, independent BMP reader for the tests: headers as written, pixels as colours.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace qrcodewin32::test {

struct Colour {
  std::uint8_t red = 0;
  std::uint8_t green = 0;
  std::uint8_t blue = 0;
  bool operator==(const Colour&) const = default;
};

struct Picture {
  int width = 0;
  int height = 0;
  std::vector<Colour> pixels;  // row by row from the top
  const Colour& at(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
};

// The header fields, exactly as stored.
struct BmpHeaders {
  std::uint32_t fileSize = 0;     // BITMAPFILEHEADER.bfSize
  std::uint32_t pixelOffset = 0;  // bfOffBits
  std::uint32_t infoSize = 0;     // BITMAPINFOHEADER.biSize
  std::int32_t width = 0;
  std::int32_t height = 0;  // positive: bottom-up
  std::uint16_t planes = 0;
  std::uint16_t bitsPerPixel = 0;
  std::uint32_t compression = 0;  // 0: BI_RGB
  std::uint32_t imageSize = 0;
  std::uint32_t coloursUsed = 0;
  std::vector<Colour> palette;
};

struct Bmp {
  BmpHeaders headers;
  Picture picture;
};

// Uncompressed 1, 8, 24 and 32-bit bitmaps with a BITMAPINFOHEADER; nullopt for anything else
// or for data that does not hold what its headers promise.
std::optional<Bmp> decodeBmp(std::span<const std::uint8_t> bytes);

std::optional<std::vector<std::uint8_t>> readFileBytes(const std::string& path);
std::optional<Bmp> readBmpFile(const std::string& path);

}  // namespace qrcodewin32::test
