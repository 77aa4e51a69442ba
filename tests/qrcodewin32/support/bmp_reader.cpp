// SPDX-License-Identifier: MIT
#include "support/bmp_reader.h"

#include <cstdlib>
#include <fstream>
#include <iterator>

namespace qrcodewin32::test {
namespace {

std::uint32_t read32(std::span<const std::uint8_t> bytes, std::size_t at) {
  return static_cast<std::uint32_t>(bytes[at]) | static_cast<std::uint32_t>(bytes[at + 1]) << 8 |
         static_cast<std::uint32_t>(bytes[at + 2]) << 16 |
         static_cast<std::uint32_t>(bytes[at + 3]) << 24;
}

std::uint16_t read16(std::span<const std::uint8_t> bytes, std::size_t at) {
  return static_cast<std::uint16_t>(bytes[at] | bytes[at + 1] << 8);
}

}  // namespace

std::optional<Bmp> decodeBmp(std::span<const std::uint8_t> bytes) {
  if (bytes.size() < 54 || bytes[0] != 'B' || bytes[1] != 'M') return std::nullopt;
  Bmp bmp;
  BmpHeaders& headers = bmp.headers;
  headers.fileSize = read32(bytes, 2);
  headers.pixelOffset = read32(bytes, 10);
  headers.infoSize = read32(bytes, 14);
  headers.width = static_cast<std::int32_t>(read32(bytes, 18));
  headers.height = static_cast<std::int32_t>(read32(bytes, 22));
  headers.planes = read16(bytes, 26);
  headers.bitsPerPixel = read16(bytes, 28);
  headers.compression = read32(bytes, 30);
  headers.imageSize = read32(bytes, 34);
  headers.coloursUsed = read32(bytes, 46);
  if (headers.infoSize != 40 || headers.compression != 0 || headers.width <= 0 ||
      headers.height == 0 || headers.width > 65536 || std::abs(headers.height) > 65536)
    return std::nullopt;

  const int depth = headers.bitsPerPixel;
  if (depth == 1 || depth == 8) {
    const std::size_t entries = headers.coloursUsed ? headers.coloursUsed : 1u << depth;
    if (54 + 4 * entries > bytes.size()) return std::nullopt;
    for (std::size_t index = 0; index < entries; ++index) {
      const std::size_t at = 54 + 4 * index;
      headers.palette.push_back({bytes[at + 2], bytes[at + 1], bytes[at]});
    }
  } else if (depth != 24 && depth != 32) {
    return std::nullopt;
  }

  Picture& picture = bmp.picture;
  picture.width = headers.width;
  picture.height = std::abs(headers.height);
  const std::size_t stride = (static_cast<std::size_t>(picture.width) * depth + 31) / 32 * 4;
  if (headers.pixelOffset + stride * picture.height > bytes.size()) return std::nullopt;
  picture.pixels.resize(static_cast<std::size_t>(picture.width) * picture.height);
  for (int y = 0; y < picture.height; ++y) {
    const int stored = headers.height > 0 ? picture.height - 1 - y : y;
    const std::uint8_t* row = bytes.data() + headers.pixelOffset + stride * stored;
    for (int x = 0; x < picture.width; ++x) {
      Colour colour;
      if (depth == 1 || depth == 8) {
        const unsigned index = depth == 1 ? (row[x / 8] >> (7 - x % 8)) & 1 : row[x];
        if (index >= headers.palette.size()) return std::nullopt;
        colour = headers.palette[index];
      } else {
        const std::uint8_t* pixel = row + x * (depth / 8);
        colour = {pixel[2], pixel[1], pixel[0]};
      }
      picture.pixels[static_cast<std::size_t>(y) * picture.width + x] = colour;
    }
  }
  return bmp;
}

std::optional<std::vector<std::uint8_t>> readFileBytes(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) return std::nullopt;
  return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(file), {});
}

std::optional<Bmp> readBmpFile(const std::string& path) {
  const auto bytes = readFileBytes(path);
  if (!bytes) return std::nullopt;
  return decodeBmp(*bytes);
}

}  // namespace qrcodewin32::test
