// SPDX-License-Identifier: MIT
#include "app/icon/icon_file.h"

#include <algorithm>
#include <array>
#include <limits>
#include <optional>

namespace icon {
namespace {

constexpr std::size_t kDirectorySize = 6;
constexpr std::size_t kEntrySize = 16;
constexpr std::size_t kInfoHeaderSize = 40;

constexpr std::array<QRgb, 16> kStandardColours{
    qRgb(0, 0, 0),       qRgb(128, 0, 0),   qRgb(0, 128, 0),   qRgb(128, 128, 0),
    qRgb(0, 0, 128),     qRgb(128, 0, 128), qRgb(0, 128, 128), qRgb(192, 192, 192),
    qRgb(128, 128, 128), qRgb(255, 0, 0),   qRgb(0, 255, 0),   qRgb(255, 255, 0),
    qRgb(0, 0, 255),     qRgb(255, 0, 255), qRgb(0, 255, 255), qRgb(255, 255, 255),
};

void putU16(std::vector<std::uint8_t>& out, std::uint32_t value) {
  out.push_back(static_cast<std::uint8_t>(value));
  out.push_back(static_cast<std::uint8_t>(value >> 8));
}

void putU32(std::vector<std::uint8_t>& out, std::uint32_t value) {
  putU16(out, value & 0xFFFF);
  putU16(out, value >> 16);
}

// Rows of a bitmap are padded to whole 32-bit words.
std::size_t rowStride(int width, int bitsPerPixel) {
  return (static_cast<std::size_t>(width) * static_cast<std::size_t>(bitsPerPixel) + 31) / 32 * 4;
}

bool opaque(QRgb pixel) {
  return qAlpha(pixel) >= 128;
}

int squaredDistance(QRgb a, QRgb b) {
  const int red = qRed(a) - qRed(b);
  const int green = qGreen(a) - qGreen(b);
  const int blue = qBlue(a) - qBlue(b);
  return red * red + green * green + blue * blue;
}

// Palette indices of every pixel, the palette padded to 2^bits colours, index 0 black for
// the masked pixels; nothing when the picture has too many colours.
struct Indexed {
  std::vector<QRgb> palette;
  std::vector<std::uint8_t> indices;  // row by row, top first
};

std::optional<Indexed> indexColours(const QImage& image, IconDepth depth) {
  Indexed result;
  const bool standard = depth == IconDepth::Colours16;
  if (standard) {
    result.palette.assign(kStandardColours.begin(), kStandardColours.end());
  } else {
    result.palette.push_back(qRgb(0, 0, 0));
  }
  result.indices.reserve(static_cast<std::size_t>(image.width()) *
                         static_cast<std::size_t>(image.height()));
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      const QRgb pixel = image.pixel(x, y);
      if (!opaque(pixel)) {
        result.indices.push_back(0);
        continue;
      }
      const QRgb colour = qRgb(qRed(pixel), qGreen(pixel), qBlue(pixel));
      std::size_t index = 0;
      if (standard) {
        const auto nearest = std::min_element(
            result.palette.begin(), result.palette.end(), [colour](QRgb a, QRgb b) {
              return squaredDistance(a, colour) < squaredDistance(b, colour);
            });
        index = static_cast<std::size_t>(nearest - result.palette.begin());
      } else {
        const auto found = std::find(result.palette.begin(), result.palette.end(), colour);
        index = static_cast<std::size_t>(found - result.palette.begin());
        if (found == result.palette.end()) {
          if (result.palette.size() == 256) return std::nullopt;
          result.palette.push_back(colour);
        }
      }
      result.indices.push_back(static_cast<std::uint8_t>(index));
    }
  }
  result.palette.resize(std::size_t{1} << static_cast<int>(depth), qRgb(0, 0, 0));
  return result;
}

// The entry's bitmap: info header, palette, colour rows and mask rows, both bottom up.
std::optional<std::vector<std::uint8_t>> encodeBitmap(const IconEntry& entry) {
  const QImage image = entry.image.convertToFormat(QImage::Format_ARGB32);
  const int width = image.width();
  const int height = image.height();
  const int bits = static_cast<int>(entry.depth);
  std::optional<Indexed> indexed;
  if (entry.depth != IconDepth::TrueColour) {
    indexed = indexColours(image, entry.depth);
    if (!indexed) return std::nullopt;
  }
  const std::size_t colourStride = rowStride(width, bits);
  const std::size_t maskStride = rowStride(width, 1);
  const std::size_t colourSize = colourStride * static_cast<std::size_t>(height);
  const std::size_t maskSize = maskStride * static_cast<std::size_t>(height);

  std::vector<std::uint8_t> out;
  putU32(out, kInfoHeaderSize);
  putU32(out, static_cast<std::uint32_t>(width));
  putU32(out, static_cast<std::uint32_t>(2 * height));  // colour rows and mask rows
  putU16(out, 1);                                       // planes
  putU16(out, static_cast<std::uint32_t>(bits));
  putU32(out, 0);  // uncompressed
  putU32(out, static_cast<std::uint32_t>(colourSize + maskSize));
  putU32(out, 0);  // no resolution
  putU32(out, 0);
  putU32(out, 0);  // a full palette
  putU32(out, 0);
  if (indexed) {
    for (const QRgb colour : indexed->palette) {
      out.push_back(static_cast<std::uint8_t>(qBlue(colour)));
      out.push_back(static_cast<std::uint8_t>(qGreen(colour)));
      out.push_back(static_cast<std::uint8_t>(qRed(colour)));
      out.push_back(0);
    }
  }

  const std::size_t colourStart = out.size();
  out.resize(colourStart + colourSize + maskSize, 0);
  for (int y = 0; y < height; ++y) {
    const std::size_t stored = static_cast<std::size_t>(height - 1 - y);
    std::uint8_t* colours = out.data() + colourStart + stored * colourStride;
    std::uint8_t* mask = out.data() + colourStart + colourSize + stored * maskStride;
    for (int x = 0; x < width; ++x) {
      const QRgb pixel = image.pixel(x, y);
      const auto column = static_cast<std::size_t>(x);
      if (!opaque(pixel)) mask[column / 8] |= static_cast<std::uint8_t>(0x80 >> (column % 8));
      if (!indexed) {
        colours[4 * column] = static_cast<std::uint8_t>(qBlue(pixel));
        colours[4 * column + 1] = static_cast<std::uint8_t>(qGreen(pixel));
        colours[4 * column + 2] = static_cast<std::uint8_t>(qRed(pixel));
        colours[4 * column + 3] = static_cast<std::uint8_t>(qAlpha(pixel));
        continue;
      }
      const std::uint8_t index =
          indexed->indices[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + column];
      if (bits == 8) {
        colours[column] = index;
      } else {
        colours[column / 2] |= static_cast<std::uint8_t>(column % 2 ? index : index << 4);
      }
    }
  }
  return out;
}

}  // namespace

std::span<const QRgb, 16> standardColours() {
  return kStandardColours;
}

std::vector<std::uint8_t> encodeIconFile(std::span<const IconEntry> entries) {
  if (entries.empty() || entries.size() > std::numeric_limits<std::uint16_t>::max()) return {};
  std::vector<std::vector<std::uint8_t>> bitmaps;
  for (const IconEntry& entry : entries) {
    const QSize size = entry.image.size();
    if (entry.image.isNull() || size.width() > 256 || size.height() > 256) return {};
    auto bitmap = encodeBitmap(entry);
    if (!bitmap) return {};
    bitmaps.push_back(std::move(*bitmap));
  }

  std::vector<std::uint8_t> out;
  putU16(out, 0);
  putU16(out, 1);  // an icon, not a cursor
  putU16(out, static_cast<std::uint32_t>(entries.size()));
  std::size_t offset = kDirectorySize + kEntrySize * entries.size();
  for (std::size_t index = 0; index < entries.size(); ++index) {
    const IconEntry& entry = entries[index];
    // A side of 256 is written as 0; the colour count only where it is below 256.
    out.push_back(static_cast<std::uint8_t>(entry.image.width() & 0xFF));
    out.push_back(static_cast<std::uint8_t>(entry.image.height() & 0xFF));
    out.push_back(entry.depth == IconDepth::Colours16 ? 16 : 0);
    out.push_back(0);
    putU16(out, 1);
    putU16(out, static_cast<std::uint32_t>(entry.depth));
    putU32(out, static_cast<std::uint32_t>(bitmaps[index].size()));
    putU32(out, static_cast<std::uint32_t>(offset));
    offset += bitmaps[index].size();
  }
  for (const auto& bitmap : bitmaps) out.insert(out.end(), bitmap.begin(), bitmap.end());
  return out;
}

}  // namespace icon
