// SPDX-License-Identifier: MIT
// The picture box's pictures: recognising, decoding and placing them.
//
// What the Qt implementation realises, and how:
//   [X] JPEG, GIF (first frame): Qt's image readers, the declared size checked before reading
//   [X] BMP: own decoder, uncompressed 1/4/8/16/24/32 bits, core, info, V4 and V5 headers,
//       bottom-up and top-down, 16/32-bit bit fields
//   [X] Icon and cursor: own directory parser; DIB entries (AND mask as transparency) or PNG
//       entries (Qt's built-in PNG reader); the largest, then deepest, entry is shown
//   [X] PCX: own decoder, RLE; 1 bit × 1–4 planes, 8 bits × 1 plane with its palette, 8 × 3 planes
//   [X] Centred and shrunk to fit, never enlarged
//   [X] Qt Gui only: no QGuiApplication, no display; Qt's plugins load without one
//   [ ] Compressed BMP (RLE4, RLE8, embedded JPEG or PNG) is refused
//   [ ] PCX with 2 or 4 bits in one plane, or with 4 planes of 8 bits, is refused
//   [ ] Animated GIFs show their first frame only
#pragma once

#include <QImage>
#include <QRect>
#include <QSize>

#include <cstdint>
#include <span>
#include <vector>

namespace toolkit {

enum class PictureFormat { None, Jpeg, Bmp, Icon, Cursor, Gif, Pcx };

// The largest picture decodePicture() produces: each side at most maxPictureSide pixels and
// at most maxPicturePixels in all. Larger ones are refused before any pixel memory is taken.
inline constexpr int maxPictureSide = 16384;
inline constexpr std::int64_t maxPicturePixels = std::int64_t{64} * 1024 * 1024;

// Recognises the format from the first bytes alone: JPEG FF D8, BMP "BM", icon 00 00 01 00,
// cursor 00 00 02 00, GIF "GIF87a" or "GIF89a", PCX 0A. Fewer than six bytes give None.
PictureFormat sniffPicture(std::span<const std::uint8_t> bytes) noexcept;

// Decodes a whole picture file held in memory; `bytes` is only read during the call.
// Returns Format_RGB32, or Format_ARGB32 when the picture has transparency. Returns a null
// QImage when the data is shorter than six bytes, of no recognised format, broken, or larger
// than the limits above. Never throws; the memory it takes is bounded by the limits.
// Qt's own readers (JPEG, GIF, PNG inside icons) may refuse pictures below those limits when
// they exceed QImageReader::allocationLimit().
QImage decodePicture(std::span<const std::uint8_t> bytes) noexcept;

// One picture of an icon or cursor file: Format_ARGB32, and the bits a pixel its entry
// stores (1, 4, 8, 16, 24 or 32; for a PNG entry, its bit depth times its samples a pixel).
struct IconPicture {
  QImage image;
  int bitsPerPixel = 0;
};

// Every picture of an icon or cursor file, in the order of its directory, each decoded as
// decodePicture() decodes the one it shows. Entries lying outside the file or broken are
// left out; bytes of another format, or a broken directory, give none. Never throws.
std::vector<IconPicture> decodeIconPictures(std::span<const std::uint8_t> bytes) noexcept;

// Where a picture of size `picture` is drawn in a client area of size `client`: at natural
// size and centred when it fits, otherwise shrunk by one factor for both sides until it does
// and centred again. Offsets are in client pixels, integer-divided. Returns an empty QRect
// when either size is empty.
QRect placePicture(QSize client, QSize picture) noexcept;

}  // namespace toolkit
