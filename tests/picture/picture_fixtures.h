// SPDX-License-Identifier: MIT
// Small picture files written byte by byte, so each test states exactly what the file holds.
#pragma once

#include <gtest/gtest.h>
#include <QImage>
#include <QRgb>

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <vector>

namespace pictureFixtures {

using Bytes = std::vector<std::uint8_t>;

void putU16(Bytes& bytes, std::size_t offset, std::uint16_t value);
void putU32(Bytes& bytes, std::size_t offset, std::uint32_t value);
void appendU16(Bytes& bytes, std::uint16_t value);
void appendU32(Bytes& bytes, std::uint32_t value);

std::span<const std::uint8_t> view(const Bytes& bytes);
std::span<const std::uint8_t> view(const QByteArray& bytes);

// Whether every pixel of `image` is `expected(x, y)`; names the first that is not.
testing::AssertionResult pixelsMatch(const QImage& image,
                                     const std::function<QRgb(int x, int y)>& expected);

// Distinct, easily told apart colours for palette entries.
std::vector<QRgb> testPalette(int entries);

// ---- Bitmaps -----------------------------------------------------------------------------

enum class BmpHeader { Core, Info, V4, V5 };
enum class RowOrder { BottomUp, TopDown };

// Offsets inside a BMP file with an info header, for tests that break one field.
inline constexpr std::size_t bmpPixelOffsetField = 10;
inline constexpr std::size_t bmpHeaderSizeField = 14;
inline constexpr std::size_t bmpWidthField = 18;
inline constexpr std::size_t bmpHeightField = 22;
inline constexpr std::size_t bmpPlanesField = 26;
inline constexpr std::size_t bmpDepthField = 28;
inline constexpr std::size_t bmpCompressionField = 30;
inline constexpr std::size_t bmpColoursUsedField = 46;

struct BmpLayout {
  BmpHeader header = BmpHeader::Info;
  int width = 1;
  int height = 1;
  int bitsPerPixel = 24;
  RowOrder order = RowOrder::BottomUp;
  std::uint32_t compression = 0;
  std::array<std::uint32_t, 4> masks{};  // red, green, blue, alpha; written for compression 3
  std::vector<QRgb> palette;             // written in full unless paletteWritten says less
  std::uint32_t coloursUsed = 0;
  std::optional<int> paletteWritten;
};

BmpLayout bmpSpec(BmpHeader header, int width, int height, int bitsPerPixel,
                  RowOrder order = RowOrder::BottomUp);

// The value stored for pixel (x, y): a palette index, or the packed pixel as the file holds
// it (16 or 32 bits little-endian, 24 bits as 0xRRGGBB).
using RawPixel = std::function<std::uint32_t(int x, int y)>;
// Whether pixel (x, y) is set in an icon's AND mask.
using MaskBit = std::function<bool(int x, int y)>;

// Info header, masks, palette and rows, without the file header. For an icon entry pass
// `mask`: the height is written doubled and the AND mask follows the rows.
Bytes makeDib(const BmpLayout& layout, const RawPixel& pixel, const MaskBit& mask = {});
// A BMP file: the file header, then makeDib(); the pixel offset points just past the palette.
Bytes makeBmp(const BmpLayout& layout, const RawPixel& pixel);

// ---- PCX ---------------------------------------------------------------------------------

enum class Runs { WithinLines, AcrossLines };

struct PcxLayout {
  int version = 5;
  int bitsPerPlane = 8;
  int planes = 1;
  int width = 1;
  int height = 1;
  int xMin = 0;
  int yMin = 0;
  int bytesPerLine = 0;  // 0: the smallest even count
  std::array<QRgb, 16> headerPalette{};
  std::vector<QRgb> trailingPalette;  // written with its marker when not empty
  Runs runs = Runs::WithinLines;
};

int pcxBytesPerLine(const PcxLayout& layout);
// `line(y)` gives scan line y as the file holds it: every plane's bytesPerLine bytes in turn.
Bytes makePcx(const PcxLayout& layout, const std::function<Bytes(int y)>& line);
// Scan line y of a planar picture of 1 bit per plane from a palette index per pixel.
Bytes planarLine(const PcxLayout& layout, int y, const std::function<int(int x, int y)>& index);

// ---- Icons and cursors -------------------------------------------------------------------

struct IconEntry {
  Bytes data;
  std::uint8_t width = 0;  // directory bytes: 0 means 256
  std::uint8_t height = 0;
  std::uint16_t planesOrHotSpotX = 1;
  std::uint16_t depthOrHotSpotY = 32;
};
inline constexpr std::uint16_t iconType = 1;
inline constexpr std::uint16_t cursorType = 2;
// The directory, then each entry's data in order.
Bytes makeIconFile(std::uint16_t type, const std::vector<IconEntry>& entries);

// ---- GIF ---------------------------------------------------------------------------------

struct GifFrame {
  std::vector<std::uint8_t> indices;  // width × height, rows top to bottom
  std::optional<std::uint8_t> transparentIndex;
};
// A GIF of up to four colours whose frames cover the whole screen.
Bytes makeGif(int width, int height, const std::vector<QRgb>& palette,
              const std::vector<GifFrame>& frames);

// ---- Through Qt --------------------------------------------------------------------------

QByteArray saveWithQt(const QImage& image, const char* format, int quality = -1);

}  // namespace pictureFixtures
