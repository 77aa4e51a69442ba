// SPDX-License-Identifier: MIT
// Uncompressed device-independent bitmaps, alone in a BMP file or inside an icon entry.
//
// Choices where files disagree with their headers:
// - palette indices beyond the palette the file holds draw black;
// - a 32-bit BMP without bit fields is opaque, its fourth byte unused; in an icon that byte is
//   the alpha, unless it is zero everywhere, when the AND mask decides instead;
// - an alpha bit field that is zero everywhere means an opaque picture;
// - an icon entry without room for its AND mask is opaque.
#include <algorithm>
#include <array>
#include <bit>

#include "toolkit/picture_decoders.h"

namespace toolkit::pictureDecoders {

namespace {

constexpr std::size_t fileHeaderSize = 14;
constexpr std::uint32_t coreHeaderSize = 12;
constexpr std::uint32_t infoHeaderSize = 40;
constexpr std::uint32_t compressionRgb = 0;
constexpr std::uint32_t compressionBitFields = 3;
constexpr QRgb missingColour = 0xFF000000;

// One colour channel described by a bit mask, scaled to eight bits through a table.
struct Channel {
  std::uint32_t mask = 0;
  int shift = 0;
  int drop = 0;
  std::array<std::uint8_t, 256> scaled{};

  std::uint8_t value(std::uint32_t pixel) const {
    return scaled[((pixel & mask) >> shift) >> drop];
  }
};

// Masks must be one run of bits inside the pixel; an empty mask gives a channel of zero.
std::optional<Channel> channelFromMask(std::uint32_t mask, int bitsPerPixel) {
  Channel channel;
  if (mask == 0) return channel;
  if (bitsPerPixel < 32 && (mask >> bitsPerPixel) != 0) return std::nullopt;
  channel.mask = mask;
  channel.shift = std::countr_zero(mask);
  const std::uint32_t run = mask >> channel.shift;
  const int bits = std::countr_one(run);
  if ((std::uint64_t{1} << bits) - 1 != run) return std::nullopt;
  channel.drop = std::max(0, bits - 8);
  const unsigned maximum = (1u << (bits - channel.drop)) - 1;
  for (unsigned level = 0; level <= maximum; ++level)
    channel.scaled[level] = static_cast<std::uint8_t>((level * 255 + maximum / 2) / maximum);
  return channel;
}

struct DibHeader {
  std::uint32_t headerSize = 0;
  std::int64_t width = 0;
  std::int64_t height = 0;
  bool topDown = false;
  int bitsPerPixel = 0;
  std::uint32_t compression = compressionRgb;
  std::uint32_t coloursUsed = 0;
  std::array<std::uint32_t, 4> masks{};  // red, green, blue, alpha
  std::uint64_t paletteOffset = 0;
  int paletteEntrySize = 4;
};

bool isKnownHeaderSize(std::uint32_t size) {
  constexpr std::array sizes{coreHeaderSize, infoHeaderSize, 52u, 56u, 108u, 124u};
  return std::find(sizes.begin(), sizes.end(), size) != sizes.end();
}

// Reads and checks everything up to the palette; the picture's size is within the limits.
std::optional<DibHeader> parseDibHeader(Bytes dib, DibSource source) {
  DibHeader header;
  if (!holds(dib, 0, 4)) return std::nullopt;
  header.headerSize = readU32(dib, 0);
  if (!isKnownHeaderSize(header.headerSize) || !holds(dib, 0, header.headerSize))
    return std::nullopt;

  int planes = 0;
  if (header.headerSize == coreHeaderSize) {
    header.width = readU16(dib, 4);
    header.height = readU16(dib, 6);
    planes = readU16(dib, 8);
    header.bitsPerPixel = readU16(dib, 10);
    header.paletteEntrySize = 3;
    if (header.bitsPerPixel == 16 || header.bitsPerPixel == 32) return std::nullopt;
  } else {
    header.width = readI32(dib, 4);
    header.height = readI32(dib, 8);
    planes = readU16(dib, 12);
    header.bitsPerPixel = readU16(dib, 14);
    header.compression = readU32(dib, 16);
    header.coloursUsed = readU32(dib, 32);
  }
  if (planes != 1) return std::nullopt;
  constexpr std::array depths{1, 4, 8, 16, 24, 32};
  if (std::find(depths.begin(), depths.end(), header.bitsPerPixel) == depths.end())
    return std::nullopt;

  if (source == DibSource::IconEntry) {
    // The height counts the colour rows and the mask rows together.
    if (header.height <= 0) return std::nullopt;
    header.height /= 2;
  } else if (header.height < 0) {
    header.topDown = true;
    header.height = -header.height;
  }
  if (!fitsPictureLimits(header.width, header.height)) return std::nullopt;

  header.paletteOffset = header.headerSize;
  if (header.compression == compressionBitFields) {
    if (header.bitsPerPixel != 16 && header.bitsPerPixel != 32) return std::nullopt;
    if (header.headerSize == infoHeaderSize) {
      // The three masks follow the short header.
      if (!holds(dib, infoHeaderSize, 12)) return std::nullopt;
      for (std::size_t index = 0; index < 3; ++index)
        header.masks[index] = readU32(dib, infoHeaderSize + 4 * index);
      header.paletteOffset += 12;
    } else {
      for (std::size_t index = 0; index < 3; ++index)
        header.masks[index] = readU32(dib, 40 + 4 * index);
      if (header.headerSize >= 56) header.masks[3] = readU32(dib, 52);
    }
  } else if (header.compression != compressionRgb) {
    return std::nullopt;
  } else if (header.bitsPerPixel == 16) {
    header.masks = {0x7C00, 0x03E0, 0x001F, 0};
  }
  return header;
}

// Entries the header asks for; a larger count than the depth allows is clamped.
std::uint64_t claimedPaletteEntries(const DibHeader& header) {
  if (header.bitsPerPixel > 8) return 0;
  const std::uint64_t full = std::uint64_t{1} << header.bitsPerPixel;
  return header.coloursUsed == 0 ? full : std::min<std::uint64_t>(header.coloursUsed, full);
}

std::uint64_t rowStride(std::int64_t width, int bitsPerPixel) {
  return (static_cast<std::uint64_t>(width) * bitsPerPixel + 31) / 32 * 4;
}

void decodeIndexedRow(const std::uint8_t* source, QRgb* target, std::int64_t width,
                      int bitsPerPixel, const std::array<QRgb, 256>& palette) {
  const int perByte = 8 / bitsPerPixel;
  const unsigned indexMask = (1u << bitsPerPixel) - 1;
  for (std::int64_t x = 0; x < width; ++x) {
    // The leftmost pixel sits in the highest bits of its byte.
    const int shift = (perByte - 1 - static_cast<int>(x % perByte)) * bitsPerPixel;
    target[x] = palette[(source[x / perByte] >> shift) & indexMask];
  }
}

enum class AlphaByte { Unused, Alpha };

void decodeRgbRow(const std::uint8_t* source, QRgb* target, std::int64_t width, int bitsPerPixel,
                  AlphaByte alphaByte) {
  if (bitsPerPixel == 24) {
    for (std::int64_t x = 0; x < width; ++x, source += 3)
      target[x] = qRgb(source[2], source[1], source[0]);
    return;
  }
  for (std::int64_t x = 0; x < width; ++x, source += 4)
    target[x] =
        qRgba(source[2], source[1], source[0], alphaByte == AlphaByte::Alpha ? source[3] : 0xFF);
}

void decodeMaskedRow(const std::uint8_t* source, QRgb* target, std::int64_t width, int bitsPerPixel,
                     const std::array<Channel, 4>& channels) {
  const bool hasAlpha = channels[3].mask != 0;
  for (std::int64_t x = 0; x < width; ++x) {
    std::uint32_t pixel = 0;
    if (bitsPerPixel == 16) {
      pixel = static_cast<std::uint32_t>(source[2 * x] | source[2 * x + 1] << 8);
    } else {
      const std::uint8_t* bytes = source + 4 * x;
      pixel = static_cast<std::uint32_t>(bytes[0]) | static_cast<std::uint32_t>(bytes[1]) << 8 |
              static_cast<std::uint32_t>(bytes[2]) << 16 |
              static_cast<std::uint32_t>(bytes[3]) << 24;
    }
    target[x] = qRgba(channels[0].value(pixel), channels[1].value(pixel), channels[2].value(pixel),
                      hasAlpha ? channels[3].value(pixel) : 0xFF);
  }
}

bool alphaIsZeroEverywhere(const QImage& image) {
  for (int y = 0; y < image.height(); ++y) {
    const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
    if (std::any_of(row, row + image.width(), [](QRgb pixel) { return qAlpha(pixel) != 0; }))
      return false;
  }
  return true;
}

void makeOpaque(QImage& image) {
  for (int y = 0; y < image.height(); ++y) {
    auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
    std::transform(row, row + image.width(), row, [](QRgb pixel) { return pixel | 0xFF000000; });
  }
}

// Set bits in the AND mask mark pixels the background shows through.
void applyAndMask(QImage& image, const std::uint8_t* mask, std::uint64_t stride) {
  for (int row = 0; row < image.height(); ++row) {
    const std::uint8_t* bits = mask + static_cast<std::uint64_t>(row) * stride;
    auto* target = reinterpret_cast<QRgb*>(image.scanLine(image.height() - 1 - row));
    for (int x = 0; x < image.width(); ++x)
      if ((bits[x / 8] >> (7 - x % 8)) & 1) target[x] = 0;
  }
}

}  // namespace

std::optional<DibSummary> summariseIconDib(Bytes dib) {
  const auto header = parseDibHeader(dib, DibSource::IconEntry);
  if (!header) return std::nullopt;
  return DibSummary{header->width, header->height, header->bitsPerPixel};
}

QImage decodeDib(Bytes dib, DibSource source, std::optional<std::uint64_t> pixelOffset) {
  const auto parsed = parseDibHeader(dib, source);
  if (!parsed) return {};
  const DibHeader& header = *parsed;

  // The palette ends where the rows begin in a BMP file, or where the file does; missing
  // entries stay black. An icon entry's rows follow its whole palette.
  std::array<QRgb, 256> palette;
  palette.fill(missingColour);
  const std::uint64_t claimed = claimedPaletteEntries(header);
  std::uint64_t rowsOffset = 0;
  std::uint64_t entries = claimed;
  if (source == DibSource::BitmapFile) {
    if (!pixelOffset || *pixelOffset < header.paletteOffset) return {};
    rowsOffset = *pixelOffset;
    const std::uint64_t paletteEnd = std::min<std::uint64_t>(rowsOffset, dib.size());
    entries = std::min(claimed, (paletteEnd - header.paletteOffset) / header.paletteEntrySize);
  } else {
    // Deeper entries may still carry an optimisation palette ahead of the rows.
    const std::uint64_t skipped = header.bitsPerPixel > 8 ? header.coloursUsed : claimed;
    rowsOffset = header.paletteOffset + skipped * header.paletteEntrySize;
  }
  const std::uint64_t stride = rowStride(header.width, header.bitsPerPixel);
  const std::uint64_t rowsSize = stride * static_cast<std::uint64_t>(header.height);
  if (!holds(dib, rowsOffset, rowsSize)) return {};
  for (std::uint64_t index = 0; index < entries; ++index) {
    const std::size_t at = header.paletteOffset + index * header.paletteEntrySize;
    palette[index] = qRgb(dib[at + 2], dib[at + 1], dib[at]);
  }

  const std::uint64_t maskStride = rowStride(header.width, 1);
  const std::uint64_t maskOffset = rowsOffset + rowsSize;
  const bool hasAndMask =
      source == DibSource::IconEntry &&
      holds(dib, maskOffset, maskStride * static_cast<std::uint64_t>(header.height));

  std::array<Channel, 4> channels;
  if (header.bitsPerPixel == 16 || header.compression == compressionBitFields) {
    for (std::size_t index = 0; index < channels.size(); ++index) {
      const auto channel = channelFromMask(header.masks[index], header.bitsPerPixel);
      if (!channel) return {};
      channels[index] = *channel;
    }
  }
  const bool iconAlpha = source == DibSource::IconEntry && header.bitsPerPixel == 32;
  const bool hasAlpha = iconAlpha || hasAndMask || channels[3].mask != 0;

  QImage image = allocatePicture(header.width, header.height,
                                 hasAlpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
  if (image.isNull()) return {};

  for (std::int64_t row = 0; row < header.height; ++row) {
    const std::uint8_t* rowBytes =
        dib.data() + rowsOffset + static_cast<std::uint64_t>(row) * stride;
    const std::int64_t y = header.topDown ? row : header.height - 1 - row;
    auto* target = reinterpret_cast<QRgb*>(image.scanLine(static_cast<int>(y)));
    if (header.bitsPerPixel <= 8)
      decodeIndexedRow(rowBytes, target, header.width, header.bitsPerPixel, palette);
    else if (header.bitsPerPixel == 16 || header.compression == compressionBitFields)
      decodeMaskedRow(rowBytes, target, header.width, header.bitsPerPixel, channels);
    else
      decodeRgbRow(rowBytes, target, header.width, header.bitsPerPixel,
                   iconAlpha ? AlphaByte::Alpha : AlphaByte::Unused);
  }

  if (source == DibSource::IconEntry) {
    const bool alphaDecides = iconAlpha && !alphaIsZeroEverywhere(image);
    if (!alphaDecides) {
      makeOpaque(image);
      if (hasAndMask)
        applyAndMask(image, dib.data() + maskOffset, maskStride);
      else
        image.reinterpretAsFormat(QImage::Format_RGB32);
    }
  } else if (channels[3].mask != 0 && alphaIsZeroEverywhere(image)) {
    makeOpaque(image);
    image.reinterpretAsFormat(QImage::Format_RGB32);
  }
  return image;
}

QImage decodeBmp(Bytes bytes) {
  if (!holds(bytes, 0, fileHeaderSize)) return {};
  const std::uint32_t pixelOffset = readU32(bytes, 10);
  if (pixelOffset < fileHeaderSize) return {};
  return decodeDib(bytes.subspan(fileHeaderSize), DibSource::BitmapFile,
                   pixelOffset - fileHeaderSize);
}

}  // namespace toolkit::pictureDecoders
