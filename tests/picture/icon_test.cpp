// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <functional>

#include "picture_fixtures.h"
#include "toolkit/picture.h"

using namespace pictureFixtures;

namespace {

constexpr std::size_t entrySizeField(int entry) {
  return 6 + 16 * entry + 8;
}
constexpr std::size_t entryOffsetField(int entry) {
  return 6 + 16 * entry + 12;
}

int indexAt(int x, int y, int colours) {
  return (x * 3 + y * 5) % colours;
}
QRgb colourAt(int x, int y) {
  return qRgb((x * 40 + 7) % 256, (200 + y * 30) % 256, (x * y * 7 + 3) % 256);
}
int alphaAt(int x, int y) {
  return (x * 60 + y * 20 + 1) % 256;
}
bool maskedAt(int x, int y) {
  return (x + y) % 3 == 0;
}
bool noneMasked(int, int) {
  return false;
}
bool allMasked(int, int) {
  return true;
}

QRgb withAlpha(QRgb colour, int alpha) {
  return qRgba(qRed(colour), qGreen(colour), qBlue(colour), alpha);
}

BmpLayout entrySpec(int bitsPerPixel, int width, int height) {
  BmpLayout layout = bmpSpec(BmpHeader::Info, width, height, bitsPerPixel);
  if (bitsPerPixel <= 8) layout.palette = testPalette(1 << bitsPerPixel);
  return layout;
}

RawPixel rawFor(const BmpLayout& layout, bool withAlphaByte) {
  if (layout.bitsPerPixel <= 8) {
    const int colours = 1 << layout.bitsPerPixel;
    return [colours](int x, int y) { return static_cast<std::uint32_t>(indexAt(x, y, colours)); };
  }
  return [withAlphaByte](int x, int y) {
    const std::uint32_t alpha = withAlphaByte ? static_cast<std::uint32_t>(alphaAt(x, y)) << 24 : 0;
    return alpha | (colourAt(x, y) & 0xFFFFFF);
  };
}

// The colour of an entry made by dibEntry() before any transparency.
std::function<QRgb(int, int)> opaqueFor(const BmpLayout& layout) {
  if (layout.bitsPerPixel <= 8) {
    const auto palette = layout.palette;
    const int colours = 1 << layout.bitsPerPixel;
    return [palette, colours](int x, int y) { return palette[indexAt(x, y, colours)]; };
  }
  return colourAt;
}

IconEntry dibEntry(const BmpLayout& layout, const MaskBit& mask, bool withAlphaByte = false) {
  return {makeDib(layout, rawFor(layout, withAlphaByte), mask),
          static_cast<std::uint8_t>(layout.width), static_cast<std::uint8_t>(layout.height), 1,
          static_cast<std::uint16_t>(layout.bitsPerPixel)};
}

QImage pngPicture(int width, int height) {
  QImage image(width, height, QImage::Format_ARGB32);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) image.setPixel(x, y, withAlpha(colourAt(x, y), alphaAt(x, y)));
  return image;
}

IconEntry pngEntry(int width, int height) {
  const QByteArray png = saveWithQt(pngPicture(width, height), "png");
  return {Bytes(png.begin(), png.end()), static_cast<std::uint8_t>(width),
          static_cast<std::uint8_t>(height), 1, 32};
}

struct IconCase {
  const char* name;
  std::uint16_t type;
  std::function<std::vector<IconEntry>()> entries;
  QSize size;
  QImage::Format format;
  std::function<QRgb(int x, int y)> expected;
};

void PrintTo(const IconCase& test, std::ostream* out) {
  *out << test.name;
}

// Pixels of an entry whose AND mask is applied.
std::function<QRgb(int, int)> maskedPixels(const BmpLayout& layout) {
  const auto opaque = opaqueFor(layout);
  return [opaque](int x, int y) { return maskedAt(x, y) ? QRgb{0} : opaque(x, y); };
}

std::vector<IconCase> iconCases() {
  const BmpLayout eightBit = entrySpec(8, 5, 4);
  const BmpLayout oneBit = entrySpec(1, 11, 3);
  const BmpLayout trueColour = entrySpec(24, 3, 3);
  const BmpLayout withAlphaChannel = entrySpec(32, 4, 3);
  const BmpLayout fourBit = entrySpec(4, 6, 2);
  const BmpLayout large = entrySpec(8, 32, 32);

  return {
      {"AlphaChannelDecidesOverMask",
       iconType,
       [=] { return std::vector{dibEntry(withAlphaChannel, allMasked, true)}; },
       {4, 3},
       QImage::Format_ARGB32,
       [](int x, int y) { return withAlpha(colourAt(x, y), alphaAt(x, y)); }},
      {"ZeroAlphaChannelFallsBackToMask",
       iconType,
       [=] { return std::vector{dibEntry(withAlphaChannel, maskedAt)}; },
       {4, 3},
       QImage::Format_ARGB32,
       maskedPixels(withAlphaChannel)},
      {"EightBitWithMask",
       iconType,
       [=] { return std::vector{dibEntry(eightBit, maskedAt)}; },
       {5, 4},
       QImage::Format_ARGB32,
       maskedPixels(eightBit)},
      {"OneBitWithMask",
       iconType,
       [=] { return std::vector{dibEntry(oneBit, maskedAt)}; },
       {11, 3},
       QImage::Format_ARGB32,
       maskedPixels(oneBit)},
      {"TrueColourWithMask",
       iconType,
       [=] { return std::vector{dibEntry(trueColour, maskedAt)}; },
       {3, 3},
       QImage::Format_ARGB32,
       maskedPixels(trueColour)},
      {"NoRoomForMaskIsOpaque",
       iconType,
       [=] {
         IconEntry entry = dibEntry(fourBit, allMasked);
         entry.data.resize(entry.data.size() - 4 * fourBit.height);
         return std::vector{entry};
       },
       {6, 2},
       QImage::Format_RGB32,
       opaqueFor(fourBit)},
      {"PngEntry",
       iconType,
       [] { return std::vector{pngEntry(5, 4)}; },
       {5, 4},
       QImage::Format_ARGB32,
       [](int x, int y) { return pngPicture(5, 4).pixel(x, y); }},
      {"CursorWithHotSpot",
       cursorType,
       [=] {
         IconEntry entry = dibEntry(eightBit, maskedAt);
         entry.planesOrHotSpotX = 3;
         entry.depthOrHotSpotY = 2;
         return std::vector{entry};
       },
       {5, 4},
       QImage::Format_ARGB32,
       maskedPixels(eightBit)},
      {"CursorWithPngEntry",
       cursorType,
       [] { return std::vector{pngEntry(3, 2)}; },
       {3, 2},
       QImage::Format_ARGB32,
       [](int x, int y) { return pngPicture(3, 2).pixel(x, y); }},
      {"LargestEntryChosen",
       iconType,
       [=] {
         return std::vector{dibEntry(entrySpec(32, 16, 16), noneMasked, true),
                            dibEntry(large, noneMasked),
                            dibEntry(entrySpec(24, 24, 24), noneMasked)};
       },
       {32, 32},
       QImage::Format_ARGB32,
       opaqueFor(large)},
      {"DeepestOfEqualSizeChosen",
       iconType,
       [=] {
         return std::vector{dibEntry(entrySpec(4, 4, 3), maskedAt),
                            dibEntry(withAlphaChannel, noneMasked, true),
                            dibEntry(entrySpec(8, 4, 3), maskedAt)};
       },
       {4, 3},
       QImage::Format_ARGB32,
       [](int x, int y) { return withAlpha(colourAt(x, y), alphaAt(x, y)); }},
      {"PngDeeperThanEightBitDib",
       iconType,
       [=] {
         return std::vector{dibEntry(eightBit, maskedAt), pngEntry(5, 4)};
       },
       {5, 4},
       QImage::Format_ARGB32,
       [](int x, int y) { return pngPicture(5, 4).pixel(x, y); }},
      {"DirectorySizeBytesIgnored",
       iconType,
       [=] {
         IconEntry small = dibEntry(eightBit, maskedAt);
         small.width = small.height = 255;
         IconEntry big = dibEntry(large, noneMasked);
         big.width = big.height = 1;
         big.depthOrHotSpotY = 1;
         return std::vector{small, big};
       },
       {32, 32},
       QImage::Format_ARGB32,
       opaqueFor(large)},
      {"UnusableEntriesPassedOver",
       iconType,
       [=] {
         IconEntry garbage{Bytes(64, 0xEE)};
         return std::vector{garbage, dibEntry(eightBit, maskedAt)};
       },
       {5, 4},
       QImage::Format_ARGB32,
       maskedPixels(eightBit)},
  };
}

class IconDecodeTest : public testing::TestWithParam<IconCase> {};

TEST_P(IconDecodeTest, DecodesChosenEntry) {
  const IconCase& test = GetParam();
  const Bytes file = makeIconFile(test.type, test.entries());
  const QImage image = toolkit::decodePicture(view(file));
  ASSERT_FALSE(image.isNull());
  EXPECT_EQ(image.size(), test.size);
  EXPECT_EQ(image.format(), test.format);
  EXPECT_TRUE(pixelsMatch(image, test.expected));
}

INSTANTIATE_TEST_SUITE_P(Entries, IconDecodeTest, testing::ValuesIn(iconCases()),
                         [](const testing::TestParamInfo<IconCase>& info) {
                           return std::string(info.param.name);
                         });

TEST(IconEntryOutsideFile, IsPassedOver) {
  Bytes file = makeIconFile(iconType, {dibEntry(entrySpec(24, 40, 40), noneMasked),
                                       dibEntry(entrySpec(8, 5, 4), maskedAt)});
  putU32(file, entryOffsetField(0), static_cast<std::uint32_t>(file.size()));
  EXPECT_EQ(toolkit::decodePicture(view(file)).size(), QSize(5, 4));
}

// ---- Broken and hostile files ------------------------------------------------------------

Bytes oneEntryFile(const IconEntry& entry) {
  return makeIconFile(iconType, {entry});
}

Bytes validIcon() {
  return oneEntryFile(dibEntry(entrySpec(8, 5, 4), maskedAt));
}

Bytes patchedIcon(std::size_t offset, std::uint32_t value) {
  Bytes file = validIcon();
  putU32(file, offset, value);
  return file;
}

Bytes dibWith(std::size_t offset, std::uint32_t value) {
  IconEntry entry = dibEntry(entrySpec(8, 5, 4), maskedAt);
  putU32(entry.data, offset, value);
  return oneEntryFile(entry);
}

struct HostileCase {
  const char* name;
  std::function<Bytes()> build;
};

void PrintTo(const HostileCase& test, std::ostream* out) {
  *out << test.name;
}

class IconHostileTest : public testing::TestWithParam<HostileCase> {};

TEST_P(IconHostileTest, GivesNullImage) {
  const Bytes file = GetParam().build();
  EXPECT_TRUE(toolkit::decodePicture(view(file)).isNull());
}

INSTANTIATE_TEST_SUITE_P(
    Files, IconHostileTest,
    testing::Values(
        HostileCase{"NoEntries", [] { return makeIconFile(iconType, {}); }},
        HostileCase{"DirectoryCut",
                    [] {
                      Bytes file = validIcon();
                      file.resize(6 + 10);
                      return file;
                    }},
        HostileCase{"EntryOffsetPastEnd", [] { return patchedIcon(entryOffsetField(0), 1 << 20); }},
        HostileCase{"EntryOffsetHighest",
                    [] { return patchedIcon(entryOffsetField(0), UINT32_MAX); }},
        HostileCase{"EntrySizePastEnd", [] { return patchedIcon(entrySizeField(0), 1 << 20); }},
        HostileCase{"EntrySizeHighest", [] { return patchedIcon(entrySizeField(0), UINT32_MAX); }},
        HostileCase{"DibCompressed", [] { return dibWith(16, 1); }},
        HostileCase{"DibHeightNegative", [] { return dibWith(8, static_cast<std::uint32_t>(-8)); }},
        HostileCase{"DibHeightOneRowInAll", [] { return dibWith(8, 1); }},
        HostileCase{"DibHugeWidth", [] { return dibWith(4, 30000); }},
        HostileCase{"DibColourRowsCut",
                    [] {
                      IconEntry entry = dibEntry(entrySpec(24, 4, 4), noneMasked);
                      entry.data.resize(40 + 4 * 12 - 1);
                      return oneEntryFile(entry);
                    }},
        HostileCase{"DibPaletteCut",
                    [] {
                      IconEntry entry = dibEntry(entrySpec(8, 4, 4), noneMasked);
                      entry.data.resize(40 + 100);
                      return oneEntryFile(entry);
                    }},
        HostileCase{"PngCutAfterHeader",
                    [] {
                      IconEntry entry = pngEntry(5, 4);
                      entry.data.resize(40);
                      return oneEntryFile(entry);
                    }},
        HostileCase{"PngDeclaringHugeSize",
                    [] {
                      IconEntry entry = pngEntry(5, 4);
                      entry.data[16 + 2] = 0x75;  // width 0x7500: too wide
                      return oneEntryFile(entry);
                    }},
        // Only the chosen entry is decoded: a broken largest one is not replaced by another.
        HostileCase{
            "LargestEntryBroken",
            [] {
              IconEntry broken = pngEntry(32, 32);
              broken.data.resize(60);
              return makeIconFile(iconType, {dibEntry(entrySpec(8, 5, 4), maskedAt), broken});
            }}),
    [](const testing::TestParamInfo<HostileCase>& info) { return std::string(info.param.name); });

}  // namespace
