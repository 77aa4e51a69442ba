// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <functional>

#include "picture_fixtures.h"
#include "toolkit/picture.h"

using namespace pictureFixtures;

namespace {

// Many indices at 0xC0 and above, which the file must store as runs of one.
int indexAt(int x, int y, int colours) {
  return (x * 3 + y * 5 + 190) % colours;
}

QRgb colourAt(int x, int y) {
  return qRgb((x * 40 + 7) % 256, (200 + y * 30) % 256, (x * y * 7 + 3) % 256);
}

std::array<QRgb, 16> headerPalette() {
  std::array<QRgb, 16> palette;
  const auto colours = testPalette(16);
  std::copy(colours.begin(), colours.end(), palette.begin());
  return palette;
}

// The standard 16 colours, written out independently of the decoder's table.
QRgb standardColour(int index) {
  const int low = index & 8 ? 0x55 : 0;
  const int high = index & 8 ? 0xFF : 0xAA;
  const int red = index & 4 ? high : low;
  const int green = index == 6 ? 0x55 : (index & 2 ? high : low);
  const int blue = index & 1 ? high : low;
  return qRgb(red, green, blue);
}

struct PcxCase {
  const char* name;
  PcxLayout layout;
  std::function<Bytes(const PcxLayout& layout, int y)> line;
  std::function<QRgb(int x, int y)> expected;
};

void PrintTo(const PcxCase& test, std::ostream* out) {
  *out << test.name;
}

PcxLayout paletted(int width, int height) {
  PcxLayout layout;
  layout.width = width;
  layout.height = height;
  layout.trailingPalette = testPalette(256);
  return layout;
}

Bytes palettedLine(const PcxLayout& layout, int y) {
  Bytes line(pcxBytesPerLine(layout), 0);
  for (int x = 0; x < layout.width; ++x) line[x] = static_cast<std::uint8_t>(indexAt(x, y, 256));
  return line;
}

QRgb palettedColour(int x, int y) {
  return testPalette(256)[indexAt(x, y, 256)];
}

PcxLayout trueColour(int width, int height) {
  PcxLayout layout;
  layout.planes = 3;
  layout.width = width;
  layout.height = height;
  return layout;
}

Bytes trueColourLine(const PcxLayout& layout, int y) {
  const int bytesPerLine = pcxBytesPerLine(layout);
  Bytes line(3 * bytesPerLine, 0);
  for (int x = 0; x < layout.width; ++x) {
    line[x] = static_cast<std::uint8_t>(qRed(colourAt(x, y)));
    line[bytesPerLine + x] = static_cast<std::uint8_t>(qGreen(colourAt(x, y)));
    line[2 * bytesPerLine + x] = static_cast<std::uint8_t>(qBlue(colourAt(x, y)));
  }
  return line;
}

PcxLayout planar(int planes, int width, int height, int version = 5) {
  PcxLayout layout;
  layout.version = version;
  layout.bitsPerPlane = 1;
  layout.planes = planes;
  layout.width = width;
  layout.height = height;
  layout.headerPalette = headerPalette();
  return layout;
}

std::function<Bytes(const PcxLayout&, int)> planarPattern(int colours) {
  return [colours](const PcxLayout& layout, int y) {
    return planarLine(layout, y, [colours](int x, int row) { return indexAt(x, row, colours); });
  };
}

std::vector<PcxCase> pcxCases() {
  PcxLayout offset = paletted(4, 2);
  offset.xMin = 3;
  offset.yMin = 7;
  PcxLayout across = paletted(7, 4);
  across.runs = Runs::AcrossLines;
  // 63 × 32 bytes of one value: exactly as compressed as runs allow.
  PcxLayout solid = paletted(63 * 32, 100);
  solid.runs = Runs::AcrossLines;
  PcxLayout wideLine = trueColour(5, 2);
  wideLine.bytesPerLine = 12;

  const auto solidLine = [](int value) {
    return [value](const PcxLayout& layout, int) { return Bytes(pcxBytesPerLine(layout), value); };
  };
  const auto palette = testPalette(256);
  const auto header = headerPalette();
  return {
      {"EightBitOddWidth", paletted(5, 3), palettedLine, palettedColour},
      {"EightBitWindowOffOrigin", offset, palettedLine, palettedColour},
      {"EightBitRunsAcrossLines", across,
       [](const PcxLayout& layout, int y) { return Bytes(pcxBytesPerLine(layout), y / 2 + 200); },
       [palette](int, int y) { return palette[y / 2 + 200]; }},
      {"EightBitLongRunsSplitAt63", paletted(200, 2), solidLine(0xC7),
       [palette](int, int) { return palette[0xC7]; }},
      {"EightBitAtBestCompression", solid, solidLine(9),
       [palette](int, int) { return palette[9]; }},
      {"TrueColourThreePlanes", trueColour(4, 3), trueColourLine, colourAt},
      {"TrueColourOddWidth", trueColour(5, 2), trueColourLine, colourAt},
      {"TrueColourWideLines", wideLine, trueColourLine, colourAt},
      {"MonochromeIgnoresHeaderPalette", planar(1, 10, 2), planarPattern(2),
       [](int x, int y) { return indexAt(x, y, 2) ? qRgb(255, 255, 255) : qRgb(0, 0, 0); }},
      {"MonochromeVersionZero", planar(1, 17, 3, 0), planarPattern(2),
       [](int x, int y) { return indexAt(x, y, 2) ? qRgb(255, 255, 255) : qRgb(0, 0, 0); }},
      {"TwoPlanesHeaderPalette", planar(2, 9, 2), planarPattern(4),
       [header](int x, int y) { return header[indexAt(x, y, 4)]; }},
      {"FourPlanesHeaderPalette", planar(4, 9, 3), planarPattern(16),
       [header](int x, int y) { return header[indexAt(x, y, 16)]; }},
      {"VersionThreeStandardPalette", planar(4, 16, 2, 3), planarPattern(16),
       [](int x, int y) { return standardColour(indexAt(x, y, 16)); }},
  };
}

class PcxDecodeTest : public testing::TestWithParam<PcxCase> {};

TEST_P(PcxDecodeTest, DecodesEveryPixel) {
  const PcxCase& test = GetParam();
  const Bytes file = makePcx(test.layout, [&test](int y) { return test.line(test.layout, y); });
  const QImage image = toolkit::decodePicture(view(file));
  ASSERT_FALSE(image.isNull());
  EXPECT_EQ(image.size(), QSize(test.layout.width, test.layout.height));
  EXPECT_EQ(image.format(), QImage::Format_RGB32);
  EXPECT_TRUE(pixelsMatch(image, test.expected));
}

INSTANTIATE_TEST_SUITE_P(Layouts, PcxDecodeTest, testing::ValuesIn(pcxCases()),
                         [](const testing::TestParamInfo<PcxCase>& info) {
                           return std::string(info.param.name);
                         });

// ---- Broken and hostile files ------------------------------------------------------------

Bytes validPaletted() {
  const PcxLayout layout = paletted(4, 3);
  return makePcx(layout, [&layout](int y) { return palettedLine(layout, y); });
}

Bytes validTrueColour() {
  const PcxLayout layout = trueColour(4, 3);
  return makePcx(layout, [&layout](int y) { return trueColourLine(layout, y); });
}

Bytes withByte(Bytes file, std::size_t offset, std::uint8_t value) {
  file.at(offset) = value;
  return file;
}

Bytes withU16At(Bytes file, std::size_t offset, std::uint16_t value) {
  putU16(file, offset, value);
  return file;
}

Bytes withWindow(Bytes file, int xMin, int yMin, int xMax, int yMax) {
  putU16(file, 4, static_cast<std::uint16_t>(xMin));
  putU16(file, 6, static_cast<std::uint16_t>(yMin));
  putU16(file, 8, static_cast<std::uint16_t>(xMax));
  putU16(file, 10, static_cast<std::uint16_t>(yMax));
  return file;
}

Bytes withLayout(int bitsPerPlane, int planes) {
  return withByte(withByte(validTrueColour(), 3, static_cast<std::uint8_t>(bitsPerPlane)), 65,
                  static_cast<std::uint8_t>(planes));
}

// The header of `file` followed by `runs` and, for a paletted file, its palette.
Bytes withRuns(const Bytes& file, const Bytes& runs, std::size_t paletteSize) {
  Bytes result(file.begin(), file.begin() + 128);
  result.insert(result.end(), runs.begin(), runs.end());
  result.insert(result.end(), file.end() - static_cast<std::ptrdiff_t>(paletteSize), file.end());
  return result;
}

struct HostileCase {
  const char* name;
  std::function<Bytes()> build;
};

void PrintTo(const HostileCase& test, std::ostream* out) {
  *out << test.name;
}

class PcxHostileTest : public testing::TestWithParam<HostileCase> {};

TEST_P(PcxHostileTest, GivesNullImage) {
  const Bytes file = GetParam().build();
  EXPECT_TRUE(toolkit::decodePicture(view(file)).isNull());
}

INSTANTIATE_TEST_SUITE_P(
    Files, PcxHostileTest,
    testing::Values(
        HostileCase{"TrueColourRunsCutShort",
                    [] {
                      Bytes file = validTrueColour();
                      file.pop_back();
                      return file;
                    }},
        HostileCase{"PalettedRunsCutShortPaletteKept",
                    [] {
                      return withRuns(validPaletted(), {1, 2, 3}, 769);
                    }},
        HostileCase{"RunCountWithoutItsValue",
                    [] {
                      return withRuns(validTrueColour(), {1, 2, 0xC4}, 0);
                    }},
        HostileCase{"PaletteMarkerMissing",
                    [] {
                      Bytes file = validPaletted();
                      return withByte(file, file.size() - 769, 0);
                    }},
        HostileCase{"TooShortForPalette",
                    [] {
                      Bytes file = validPaletted();
                      file.resize(128 + 10);
                      return file;
                    }},
        HostileCase{"HeaderCut",
                    [] {
                      Bytes file = validTrueColour();
                      file.resize(100);
                      return file;
                    }},
        HostileCase{"EncodingZero", [] { return withByte(validTrueColour(), 2, 0); }},
        HostileCase{"VersionOne", [] { return withByte(validTrueColour(), 1, 1); }},
        HostileCase{"VersionSix", [] { return withByte(validTrueColour(), 1, 6); }},
        HostileCase{"RightEdgeBeforeLeft",
                    [] { return withWindow(validTrueColour(), 10, 0, 5, 2); }},
        HostileCase{"BottomEdgeAboveTop", [] { return withWindow(validTrueColour(), 0, 9, 3, 2); }},
        HostileCase{"BytesPerLineTooSmall", [] { return withU16At(validTrueColour(), 66, 3); }},
        HostileCase{"BytesPerLineZero", [] { return withU16At(validTrueColour(), 66, 0); }},
        HostileCase{"PlanesZero", [] { return withLayout(8, 0); }},
        HostileCase{"EightBitsTwoPlanes", [] { return withLayout(8, 2); }},
        HostileCase{"EightBitsFourPlanes", [] { return withLayout(8, 4); }},
        HostileCase{"FourBitsOnePlane", [] { return withLayout(4, 1); }},
        HostileCase{"TwoBitsOnePlane", [] { return withLayout(2, 1); }},
        HostileCase{"OneBitFivePlanes", [] { return withLayout(1, 5); }},
        HostileCase{"BitsZero", [] { return withLayout(0, 1); }},
        HostileCase{"OneColumnTooWide",
                    [] { return withWindow(validTrueColour(), 0, 0, toolkit::maxPictureSide, 0); }},
        HostileCase{"OverPixelCount",
                    [] {
                      const int last = toolkit::maxPictureSide - 1;
                      return withWindow(validTrueColour(), 0, 0, last, last);
                    }},
        HostileCase{"WithinLimitsButRunsTooFew",
                    [] {
                      Bytes file = withWindow(validPaletted(), 0, 0, 3999, 3999);
                      return withU16At(file, 66, 4000);
                    }}),
    [](const testing::TestParamInfo<HostileCase>& info) { return std::string(info.param.name); });

}  // namespace
