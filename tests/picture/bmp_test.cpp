// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <climits>
#include <functional>

#include "picture_fixtures.h"
#include "toolkit/picture.h"

using namespace pictureFixtures;

namespace {

int indexAt(int x, int y, int colours) {
  return (x * 3 + y * 5) % colours;
}

QRgb colourAt(int x, int y) {
  return qRgb((x * 40 + 7) % 256, (200 + y * 30) % 256, (x * y * 7 + 3) % 256);
}

std::uint32_t packed24(QRgb colour) {
  return colour & 0xFFFFFF;
}

int scaled(int level, int maximum) {
  return (level * 255 + maximum / 2) / maximum;
}

struct BmpCase {
  BmpCase(const char* name, BmpLayout layout, RawPixel raw,
          std::function<QRgb(int x, int y)> expected, QImage::Format format = QImage::Format_RGB32)
      : name(name),
        layout(std::move(layout)),
        raw(std::move(raw)),
        expected(std::move(expected)),
        format(format) {}

  const char* name;
  BmpLayout layout;
  RawPixel raw;
  std::function<QRgb(int x, int y)> expected;
  QImage::Format format;
};

void PrintTo(const BmpCase& test, std::ostream* out) {
  *out << test.name;
}

BmpLayout indexed(BmpHeader header, int bitsPerPixel, int width, int height,
                  RowOrder order = RowOrder::BottomUp) {
  BmpLayout layout = bmpSpec(header, width, height, bitsPerPixel, order);
  layout.palette = testPalette(1 << bitsPerPixel);
  return layout;
}

BmpCase indexedCase(const char* name, BmpLayout layout) {
  const auto palette = layout.palette;
  const int colours = 1 << layout.bitsPerPixel;
  return {name, layout, [colours](int x, int y) { return indexAt(x, y, colours); },
          [palette, colours](int x, int y) { return palette[indexAt(x, y, colours)]; }};
}

BmpCase trueColourCase(const char* name, BmpLayout layout) {
  return {name, layout, [](int x, int y) { return packed24(colourAt(x, y)); }, colourAt};
}

// A 16-bit 5-5-5 picture whose spare top bit is set, to show it is ignored.
std::uint32_t raw555(int x, int y) {
  return 0x8000 | (x * 3 % 32) << 10 | (y * 7 % 32) << 5 | (x + y) % 32;
}
QRgb expected555(int x, int y) {
  return qRgb(scaled(x * 3 % 32, 31), scaled(y * 7 % 32, 31), scaled((x + y) % 32, 31));
}

std::uint32_t raw565(int x, int y) {
  return (x * 5 % 32) << 11 | (y * 9 % 64) << 5 | (x * y % 32);
}
QRgb expected565(int x, int y) {
  return qRgb(scaled(x * 5 % 32, 31), scaled(y * 9 % 64, 63), scaled(x * y % 32, 31));
}

int alphaAt(int x, int y) {
  return (x * 60 + y * 20 + 1) % 256;
}

std::vector<BmpCase> bmpCases() {
  BmpLayout shortPalette = indexed(BmpHeader::Info, 8, 6, 3);
  shortPalette.palette = testPalette(3);
  shortPalette.coloursUsed = 3;
  const auto shortColours = shortPalette.palette;

  // The header claims 256 entries; the pixel offset leaves room for two.
  BmpLayout cutPalette = indexed(BmpHeader::Info, 4, 5, 2);
  cutPalette.paletteWritten = 2;
  const auto cutColours = cutPalette.palette;

  BmpLayout bitFields565 = bmpSpec(BmpHeader::Info, 5, 3, 16);
  bitFields565.compression = 3;
  bitFields565.masks = {0xF800, 0x07E0, 0x001F, 0};

  BmpLayout alphaV5 = bmpSpec(BmpHeader::V5, 3, 3, 32);
  alphaV5.compression = 3;
  alphaV5.masks = {0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000};

  BmpLayout swappedMasks = bmpSpec(BmpHeader::Info, 3, 2, 32);
  swappedMasks.compression = 3;
  swappedMasks.masks = {0x000000FF, 0x0000FF00, 0x00FF0000, 0};

  BmpLayout tenBitMasks = bmpSpec(BmpHeader::V4, 3, 2, 32);
  tenBitMasks.compression = 3;
  tenBitMasks.masks = {0x3FF00000, 0x000FFC00, 0x000003FF, 0};

  return {
      indexedCase("1bppOddWidthBottomUp", indexed(BmpHeader::Info, 1, 13, 5)),
      indexedCase("1bppTopDown", indexed(BmpHeader::Info, 1, 9, 3, RowOrder::TopDown)),
      indexedCase("1bpp33WideNeedsTwoWords", indexed(BmpHeader::Info, 1, 33, 2)),
      indexedCase("4bppOddWidth", indexed(BmpHeader::Info, 4, 7, 4)),
      indexedCase("4bppTopDown", indexed(BmpHeader::V5, 4, 3, 3, RowOrder::TopDown)),
      indexedCase("8bppRowPaddedByThree", indexed(BmpHeader::Info, 8, 5, 3)),
      indexedCase("8bppCoreHeaderThreeBytePalette", indexed(BmpHeader::Core, 8, 6, 2)),
      indexedCase("1bppCoreHeader", indexed(BmpHeader::Core, 1, 10, 2)),
      trueColourCase("24bppRowPadded", bmpSpec(BmpHeader::Info, 3, 4, 24)),
      trueColourCase("24bppTopDown", bmpSpec(BmpHeader::Info, 5, 2, 24, RowOrder::TopDown)),
      trueColourCase("24bppV4Header", bmpSpec(BmpHeader::V4, 4, 2, 24)),
      trueColourCase("24bppCoreHeader", bmpSpec(BmpHeader::Core, 3, 2, 24)),
      trueColourCase("WidestAllowedRow", bmpSpec(BmpHeader::Info, toolkit::maxPictureSide, 1, 24)),
      {"32bppFourthByteUnused", bmpSpec(BmpHeader::Info, 3, 3, 32),
       [](int x, int y) { return 0x7F000000u | packed24(colourAt(x, y)); }, colourAt},
      {"32bppV5WithoutBitFieldsStaysOpaque", bmpSpec(BmpHeader::V5, 2, 2, 32, RowOrder::TopDown),
       [](int x, int y) { return 0x40000000u | packed24(colourAt(x, y)); }, colourAt},
      {"16bpp555", bmpSpec(BmpHeader::Info, 3, 3, 16), raw555, expected555},
      {"16bpp565BitFieldsAfterInfoHeader", bitFields565, raw565, expected565},
      {"32bppAlphaBitField", alphaV5,
       [](int x, int y) {
         return static_cast<std::uint32_t>(alphaAt(x, y)) << 24 | packed24(colourAt(x, y));
       },
       [](int x, int y) {
         const QRgb colour = colourAt(x, y);
         return qRgba(qRed(colour), qGreen(colour), qBlue(colour), alphaAt(x, y));
       },
       QImage::Format_ARGB32},
      {"32bppAlphaBitFieldZeroEverywhereIsOpaque", alphaV5,
       [](int x, int y) { return packed24(colourAt(x, y)); }, colourAt},
      {"32bppBitFieldsRedInLowByte", swappedMasks,
       [](int x, int y) {
         const QRgb colour = colourAt(x, y);
         return static_cast<std::uint32_t>(qBlue(colour) << 16 | qGreen(colour) << 8 |
                                           qRed(colour));
       },
       colourAt},
      {"32bppTenBitChannelsKeepTopBits", tenBitMasks,
       [](int x, int y) {
         const QRgb colour = colourAt(x, y);
         return static_cast<std::uint32_t>(qRed(colour) << 22 | 1 << 20 | qGreen(colour) << 12 |
                                           qBlue(colour) << 2 | 3);
       },
       colourAt},
      {"IndexBeyondCountedPaletteIsBlack", shortPalette,
       [](int x, int y) { return indexAt(x, y, 6); },
       [shortColours](int x, int y) {
         const int index = indexAt(x, y, 6);
         return index < 3 ? shortColours[index] : qRgb(0, 0, 0);
       }},
      {"PaletteCutByPixelOffsetIsBlackBeyond", cutPalette,
       [](int x, int y) { return indexAt(x, y, 4); },
       [cutColours](int x, int y) {
         const int index = indexAt(x, y, 4);
         return index < 2 ? cutColours[index] : qRgb(0, 0, 0);
       }},
  };
}

class BmpDecodeTest : public testing::TestWithParam<BmpCase> {};

TEST_P(BmpDecodeTest, DecodesEveryPixel) {
  const BmpCase& test = GetParam();
  const Bytes file = makeBmp(test.layout, test.raw);
  const QImage image = toolkit::decodePicture(view(file));
  ASSERT_FALSE(image.isNull());
  EXPECT_EQ(image.size(), QSize(test.layout.width, test.layout.height));
  EXPECT_EQ(image.format(), test.format);
  EXPECT_TRUE(pixelsMatch(image, test.expected));
}

INSTANTIATE_TEST_SUITE_P(Layouts, BmpDecodeTest, testing::ValuesIn(bmpCases()),
                         [](const testing::TestParamInfo<BmpCase>& info) {
                           return std::string(info.param.name);
                         });

// Qt's own BMP reader agrees wherever the two make no different choice: every depth with
// 8 bits per channel, every row padding, both row orders and every header.
TEST(BmpAgainstQtReader, AgreesOverLayouts) {
  for (BmpHeader header : {BmpHeader::Core, BmpHeader::Info, BmpHeader::V4, BmpHeader::V5})
    for (int bitsPerPixel : {1, 4, 8, 24, 32})
      for (RowOrder order : {RowOrder::BottomUp, RowOrder::TopDown})
        for (int width = 1; width <= 9; ++width) {
          if (header == BmpHeader::Core && (bitsPerPixel == 32 || order == RowOrder::TopDown))
            continue;
          BmpLayout layout = bitsPerPixel <= 8 ? indexed(header, bitsPerPixel, width, 3, order)
                                               : bmpSpec(header, width, 3, bitsPerPixel, order);
          const int colours = 1 << std::min(bitsPerPixel, 8);
          const Bytes file = makeBmp(layout, [colours, bitsPerPixel](int x, int y) {
            return bitsPerPixel <= 8 ? static_cast<std::uint32_t>(indexAt(x, y, colours))
                                     : packed24(colourAt(x, y));
          });
          SCOPED_TRACE(testing::Message()
                       << "header " << static_cast<int>(header) << ", " << bitsPerPixel
                       << " bits, width " << width << ", order " << static_cast<int>(order));
          const QImage reference =
              QImage::fromData(file.data(), static_cast<int>(file.size()), "BMP")
                  .convertToFormat(QImage::Format_RGB32);
          ASSERT_FALSE(reference.isNull());
          const QImage image = toolkit::decodePicture(view(file));
          EXPECT_EQ(image.size(), reference.size());
          EXPECT_TRUE(
              pixelsMatch(image, [&reference](int x, int y) { return reference.pixel(x, y); }));
        }
}

// ---- Broken and hostile files ------------------------------------------------------------

// A valid 4 × 4 picture of 8 bits with a full palette: 14 + 40 + 1024 + 16 bytes.
Bytes validBmp() {
  return makeBmp(indexed(BmpHeader::Info, 8, 4, 4),
                 [](int x, int y) { return indexAt(x, y, 256); });
}

Bytes withU32(std::size_t offset, std::uint32_t value) {
  Bytes file = validBmp();
  putU32(file, offset, value);
  return file;
}

Bytes withU16(std::size_t offset, std::uint16_t value) {
  Bytes file = validBmp();
  putU16(file, offset, value);
  return file;
}

Bytes withSize(std::int32_t width, std::int32_t height, int bitsPerPixel = 8) {
  Bytes file = validBmp();
  putU32(file, bmpWidthField, static_cast<std::uint32_t>(width));
  putU32(file, bmpHeightField, static_cast<std::uint32_t>(height));
  putU16(file, bmpDepthField, static_cast<std::uint16_t>(bitsPerPixel));
  return file;
}

Bytes cutTo(std::size_t size) {
  Bytes file = validBmp();
  file.resize(size);
  return file;
}

Bytes withBitFields(int bitsPerPixel, std::array<std::uint32_t, 4> masks) {
  BmpLayout layout = bmpSpec(BmpHeader::Info, 2, 2, bitsPerPixel);
  layout.compression = 3;
  layout.masks = masks;
  return makeBmp(layout, [](int, int) { return 0u; });
}

struct HostileCase {
  const char* name;
  std::function<Bytes()> build;
};

void PrintTo(const HostileCase& test, std::ostream* out) {
  *out << test.name;
}

class BmpHostileTest : public testing::TestWithParam<HostileCase> {};

TEST_P(BmpHostileTest, GivesNullImage) {
  const Bytes file = GetParam().build();
  EXPECT_TRUE(toolkit::decodePicture(view(file)).isNull());
}

INSTANTIATE_TEST_SUITE_P(
    Files, BmpHostileTest,
    testing::Values(
        HostileCase{"WidthZero", [] { return withSize(0, 4); }},
        HostileCase{"WidthNegative", [] { return withSize(-4, 4); }},
        HostileCase{"HeightZero", [] { return withSize(4, 0); }},
        HostileCase{"HeightMostNegative", [] { return withSize(4, INT_MIN); }},
        HostileCase{"HugeHeaderTinyData", [] { return withSize(30000, 30000); }},
        HostileCase{"HugeTopDownHeaderTinyData", [] { return withSize(30000, -30000); }},
        HostileCase{"OneColumnTooWide", [] { return withSize(toolkit::maxPictureSide + 1, 1); }},
        HostileCase{"OverPixelCount", [] { return withSize(toolkit::maxPictureSide, 4097); }},
        HostileCase{"WithinLimitsButRowsMissing", [] { return withSize(8000, 8000, 24); }},
        HostileCase{"StrideWouldOverflow", [] { return withSize(INT_MAX, 1, 32); }},
        HostileCase{"PixelOffsetPastEnd", [] { return withU32(bmpPixelOffsetField, 5000); }},
        HostileCase{"PixelOffsetHighest", [] { return withU32(bmpPixelOffsetField, UINT_MAX); }},
        HostileCase{"PixelOffsetInsideHeader", [] { return withU32(bmpPixelOffsetField, 20); }},
        HostileCase{"PixelOffsetBeforeInfoHeader", [] { return withU32(bmpPixelOffsetField, 2); }},
        HostileCase{"LastRowShortByOneByte", [] { return cutTo(validBmp().size() - 1); }},
        HostileCase{"EndsInsidePalette", [] { return cutTo(200); }},
        HostileCase{"EndsInsideInfoHeader", [] { return cutTo(30); }},
        HostileCase{"FileHeaderOnly", [] { return cutTo(14); }},
        HostileCase{"PlanesZero", [] { return withU16(bmpPlanesField, 0); }},
        HostileCase{"PlanesTwo", [] { return withU16(bmpPlanesField, 2); }},
        HostileCase{"DepthZero", [] { return withU16(bmpDepthField, 0); }},
        HostileCase{"DepthTwo", [] { return withU16(bmpDepthField, 2); }},
        HostileCase{"DepthSeven", [] { return withU16(bmpDepthField, 7); }},
        HostileCase{"DepthSixtyFour", [] { return withU16(bmpDepthField, 64); }},
        HostileCase{"Rle8", [] { return withU32(bmpCompressionField, 1); }},
        HostileCase{"Rle4", [] { return withU32(bmpCompressionField, 2); }},
        HostileCase{"EmbeddedJpeg", [] { return withU32(bmpCompressionField, 4); }},
        HostileCase{"EmbeddedPng", [] { return withU32(bmpCompressionField, 5); }},
        HostileCase{"UnknownCompression", [] { return withU32(bmpCompressionField, 99); }},
        HostileCase{"BitFieldsOnIndexedDepth", [] { return withU32(bmpCompressionField, 3); }},
        HostileCase{"HeaderSizeZero", [] { return withU32(bmpHeaderSizeField, 0); }},
        HostileCase{"HeaderSizeUnknown", [] { return withU32(bmpHeaderSizeField, 64); }},
        HostileCase{"HeaderSizeBeyondFile",
                    [] {
                      Bytes file = withU32(bmpHeaderSizeField, 124);
                      file.resize(14 + 100);
                      return file;
                    }},
        HostileCase{"CoreHeader32Bits",
                    [] {
                      return makeBmp(bmpSpec(BmpHeader::Core, 2, 2, 32),
                                     [](int, int) { return 0u; });
                    }},
        HostileCase{"BitFieldMaskWithGap",
                    [] {
                      return withBitFields(16, {0xF00F, 0x07E0, 0x001F, 0});
                    }},
        HostileCase{"BitFieldMaskWiderThanPixel",
                    [] {
                      return withBitFields(16, {0xF8000, 0x07E0, 0x001F, 0});
                    }},
        HostileCase{"BitFieldMasksCutOff",
                    [] {
                      Bytes file = withBitFields(32, {0xFF0000, 0xFF00, 0xFF, 0});
                      file.resize(14 + 40 + 6);
                      return file;
                    }}),
    [](const testing::TestParamInfo<HostileCase>& info) { return std::string(info.param.name); });

}  // namespace
