// SPDX-License-Identifier: MIT
// Run-length encoded PCX pictures.
//
// Choices: one plane of one bit is black and white whatever the header's palette says; version 3
// files, which carry no palette, use the standard 16-colour one; an 8-bit picture without its
// trailing 256-colour palette, or whose runs end early, is broken.
#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

#include "toolkit/picture_decoders.h"

namespace toolkit::pictureDecoders {

namespace {

constexpr std::size_t headerSize = 128;
constexpr std::size_t headerPaletteOffset = 16;
constexpr std::size_t trailingPaletteSize = 1 + 256 * 3;
constexpr std::uint8_t trailingPaletteMarker = 0x0C;
// Two bytes of a run give at most 63; nothing expands further.
constexpr std::uint64_t largestRun = 63;

constexpr std::array<QRgb, 16> standardPalette{
    0xFF000000, 0xFF0000AA, 0xFF00AA00, 0xFF00AAAA, 0xFFAA0000, 0xFFAA00AA, 0xFFAA5500, 0xFFAAAAAA,
    0xFF555555, 0xFF5555FF, 0xFF55FF55, 0xFF55FFFF, 0xFFFF5555, 0xFFFF55FF, 0xFFFFFF55, 0xFFFFFFFF};

enum class Layout { Planar, Paletted, TrueColour };

// Expands the runs in order; a run may carry on into the next scan line.
class RunReader {
 public:
  explicit RunReader(Bytes data) : data_(data) {}

  // False when the data ends before `line` is full.
  bool fill(std::span<std::uint8_t> line) {
    std::size_t written = 0;
    while (written < line.size()) {
      if (runLeft_ > 0) {
        const std::size_t count = std::min(runLeft_, line.size() - written);
        std::memset(line.data() + written, runValue_, count);
        runLeft_ -= count;
        written += count;
        continue;
      }
      if (position_ >= data_.size()) return false;
      const std::uint8_t byte = data_[position_++];
      if ((byte & 0xC0) != 0xC0) {
        line[written++] = byte;
        continue;
      }
      if (position_ >= data_.size()) return false;
      runLeft_ = byte & 0x3F;
      runValue_ = data_[position_++];
    }
    return true;
  }

 private:
  Bytes data_;
  std::size_t position_ = 0;
  std::size_t runLeft_ = 0;
  std::uint8_t runValue_ = 0;
};

std::optional<Layout> layoutOf(int bitsPerPlane, int planes) {
  if (bitsPerPlane == 1 && planes >= 1 && planes <= 4) return Layout::Planar;
  if (bitsPerPlane == 8 && planes == 1) return Layout::Paletted;
  if (bitsPerPlane == 8 && planes == 3) return Layout::TrueColour;
  return std::nullopt;
}

std::array<QRgb, 256> readPalette(Bytes bytes, std::size_t offset, std::size_t entries) {
  std::array<QRgb, 256> palette;
  palette.fill(0xFF000000);
  for (std::size_t index = 0; index < entries; ++index) {
    const std::size_t at = offset + 3 * index;
    palette[index] = qRgb(bytes[at], bytes[at + 1], bytes[at + 2]);
  }
  return palette;
}

}  // namespace

QImage decodePcx(Bytes bytes) {
  if (!holds(bytes, 0, headerSize) || bytes[0] != 0x0A) return {};
  const int version = bytes[1];
  if (version != 0 && (version < 2 || version > 5)) return {};
  if (bytes[2] != 1) return {};
  const int bitsPerPlane = bytes[3];
  const int planes = bytes[65];
  const auto layout = layoutOf(bitsPerPlane, planes);
  if (!layout) return {};

  const std::int64_t width = std::int64_t{readU16(bytes, 8)} - readU16(bytes, 4) + 1;
  const std::int64_t height = std::int64_t{readU16(bytes, 10)} - readU16(bytes, 6) + 1;
  if (!fitsPictureLimits(width, height)) return {};
  const std::uint64_t bytesPerLine = readU16(bytes, 66);
  if (bytesPerLine * 8 < static_cast<std::uint64_t>(width) * bitsPerPlane) return {};

  std::size_t dataEnd = bytes.size();
  std::array<QRgb, 256> palette;
  if (*layout == Layout::Paletted) {
    if (bytes.size() < headerSize + trailingPaletteSize) return {};
    dataEnd = bytes.size() - trailingPaletteSize;
    if (bytes[dataEnd] != trailingPaletteMarker) return {};
    palette = readPalette(bytes, dataEnd + 1, 256);
  } else if (*layout == Layout::Planar && planes == 1) {
    palette.fill(0xFF000000);
    palette[1] = 0xFFFFFFFF;
  } else if (*layout == Layout::Planar && version == 3) {
    std::copy(standardPalette.begin(), standardPalette.end(), palette.begin());
  } else {
    palette = readPalette(bytes, headerPaletteOffset, 16);
  }

  // Refuse before allocating when the runs cannot possibly fill the picture.
  const Bytes runs = bytes.subspan(headerSize, dataEnd - headerSize);
  const std::uint64_t lineSize = bytesPerLine * static_cast<std::uint64_t>(planes);
  const std::uint64_t totalSize = lineSize * static_cast<std::uint64_t>(height);
  if (2 * totalSize > largestRun * runs.size()) return {};

  QImage image = allocatePicture(width, height, QImage::Format_RGB32);
  if (image.isNull()) return {};
  std::vector<std::uint8_t> line(lineSize);
  RunReader reader(runs);
  for (int y = 0; y < image.height(); ++y) {
    if (!reader.fill(line)) return {};
    auto* target = reinterpret_cast<QRgb*>(image.scanLine(y));
    const std::uint8_t* plane = line.data();
    for (int x = 0; x < image.width(); ++x) {
      switch (*layout) {
        case Layout::Planar: {
          // Each plane gives one bit of the palette index, the first plane the lowest.
          unsigned index = 0;
          for (int bit = 0; bit < planes; ++bit)
            index |= ((plane[bit * bytesPerLine + x / 8] >> (7 - x % 8)) & 1u) << bit;
          target[x] = palette[index];
          break;
        }
        case Layout::Paletted:
          target[x] = palette[plane[x]];
          break;
        case Layout::TrueColour:
          target[x] = qRgb(plane[x], plane[bytesPerLine + x], plane[2 * bytesPerLine + x]);
          break;
      }
    }
  }
  return image;
}

}  // namespace toolkit::pictureDecoders
