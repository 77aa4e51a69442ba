// SPDX-License-Identifier: MIT
// Pieces shared by the picture decoders; not part of the toolkit's interface.
#pragma once

#include <QImage>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "toolkit/picture.h"

namespace toolkit::pictureDecoders {

using Bytes = std::span<const std::uint8_t>;

// True when `length` bytes starting at `offset` lie inside `bytes`, without overflowing.
inline bool holds(Bytes bytes, std::uint64_t offset, std::uint64_t length) {
  return offset <= bytes.size() && length <= bytes.size() - offset;
}

// Little-endian reads; the caller has checked the range with holds().
inline std::uint16_t readU16(Bytes bytes, std::size_t offset) {
  return static_cast<std::uint16_t>(bytes[offset] | bytes[offset + 1] << 8);
}
inline std::uint32_t readU32(Bytes bytes, std::size_t offset) {
  return static_cast<std::uint32_t>(bytes[offset]) |
         static_cast<std::uint32_t>(bytes[offset + 1]) << 8 |
         static_cast<std::uint32_t>(bytes[offset + 2]) << 16 |
         static_cast<std::uint32_t>(bytes[offset + 3]) << 24;
}
inline std::int32_t readI32(Bytes bytes, std::size_t offset) {
  return static_cast<std::int32_t>(readU32(bytes, offset));
}

// Both sides positive and within the toolkit's picture limits.
bool fitsPictureLimits(std::int64_t width, std::int64_t height);

// A null image, or one of the exact size in `format` with its pixels uninitialised.
QImage allocatePicture(std::int64_t width, std::int64_t height, QImage::Format format);

// Where a device-independent bitmap comes from: a BMP file gives its pixel offset and holds
// one image; an icon entry has its rows straight after the palette, a doubled height, and a
// 1-bit AND mask after the colour rows.
enum class DibSource { BitmapFile, IconEntry };

// Decodes the bitmap whose info header starts at `dib`. For BitmapFile, `pixelOffset` is where
// the rows start, counted from `dib`; IconEntry ignores it.
QImage decodeDib(Bytes dib, DibSource source, std::optional<std::uint64_t> pixelOffset);

// What an icon entry's header says before decoding it, to choose among entries.
struct DibSummary {
  std::int64_t width = 0;
  std::int64_t height = 0;
  int bitsPerPixel = 0;
};
std::optional<DibSummary> summariseIconDib(Bytes dib);

QImage decodeBmp(Bytes bytes);
QImage decodePcx(Bytes bytes);
QImage decodeIconDirectory(Bytes bytes);
std::vector<IconPicture> decodeIconPictures(Bytes bytes);

// Reads through Qt's reader for `format` ("jpeg", "gif", "png") only, refusing a declared size
// beyond the limits before reading. Returns Format_RGB32 or Format_ARGB32, or a null image.
QImage readWithQt(Bytes bytes, const char* format);

}  // namespace toolkit::pictureDecoders
