// SPDX-License-Identifier: MIT
// The application icon the build draws, read back through the toolkit's own decoder, and
// the icon-file writer behind it.
#include <gtest/gtest.h>

#include <QImage>
#include <QString>

#include <algorithm>
#include <cstdint>
#include <set>
#include <span>
#include <vector>

#include "app/icon/application_icon.h"
#include "app/icon/icon_file.h"
#include "toolkit/picture.h"

namespace {

using icon::IconDepth;

std::uint32_t readU16(std::span<const std::uint8_t> bytes, std::size_t at) {
  return static_cast<std::uint32_t>(bytes[at] | bytes[at + 1] << 8);
}
std::uint32_t readU32(std::span<const std::uint8_t> bytes, std::size_t at) {
  return readU16(bytes, at) | readU16(bytes, at + 2) << 16;
}

struct Entry {
  int size;
  int bits;
};

// Smallest first, each size in 16 colours, 256 colours and 32-bit colour.
const std::vector<Entry> kEntries = [] {
  std::vector<Entry> entries;
  for (int size : {16, 24, 32, 48})
    for (int bits : {4, 8, 32}) entries.push_back({size, bits});
  return entries;
}();

bool opaque(QRgb pixel) {
  return qAlpha(pixel) >= 128;
}

int squaredDistance(QRgb a, QRgb b) {
  const int red = qRed(a) - qRed(b), green = qGreen(a) - qGreen(b), blue = qBlue(a) - qBlue(b);
  return red * red + green * green + blue * blue;
}

TEST(ApplicationIcon, DirectoryListsEverySizeInEveryDepth) {
  const auto file = shell::applicationIcon();
  ASSERT_GE(file.size(), 6u);
  EXPECT_EQ(readU16(file, 0), 0u);
  EXPECT_EQ(readU16(file, 2), 1u) << "an icon, not a cursor";
  ASSERT_EQ(readU16(file, 4), kEntries.size());
  std::size_t end = 6 + 16 * kEntries.size();
  for (std::size_t index = 0; index < kEntries.size(); ++index) {
    SCOPED_TRACE(testing::Message()
                 << kEntries[index].size << " px, " << kEntries[index].bits << " bits");
    const std::size_t at = 6 + 16 * index;
    const auto [size, bits] = kEntries[index];
    EXPECT_EQ(file[at], size);
    EXPECT_EQ(file[at + 1], size);
    EXPECT_EQ(file[at + 2], bits == 4 ? 16 : 0) << "colour count";
    EXPECT_EQ(readU16(file, at + 4), 1u) << "planes";
    EXPECT_EQ(readU16(file, at + 6), static_cast<std::uint32_t>(bits));
    // Entries follow each other, inside the file.
    const std::uint32_t length = readU32(file, at + 8);
    const std::uint32_t offset = readU32(file, at + 12);
    EXPECT_EQ(offset, end);
    ASSERT_LE(std::size_t{offset} + length, file.size());
    end = offset + length;

    // The bitmap: colour rows and mask rows counted in its height, palette of 2^bits.
    const auto bitmap = file.subspan(offset, length);
    EXPECT_EQ(readU32(bitmap, 0), 40u);
    EXPECT_EQ(readU32(bitmap, 4), static_cast<std::uint32_t>(size));
    EXPECT_EQ(readU32(bitmap, 8), static_cast<std::uint32_t>(2 * size));
    EXPECT_EQ(readU16(bitmap, 14), static_cast<std::uint32_t>(bits));
    const std::size_t palette = bits == 32 ? 0 : 4u << bits;
    const std::size_t colourRows = (static_cast<std::size_t>(size * bits) + 31) / 32 * 4 * size;
    const std::size_t maskRows = (static_cast<std::size_t>(size) + 31) / 32 * 4 * size;
    EXPECT_EQ(length, 40 + palette + colourRows + maskRows);
  }
  EXPECT_EQ(end, file.size());
}

TEST(ApplicationIcon, EveryEntryDecodesAtItsSizeAndDepth) {
  const auto pictures = toolkit::decodeIconPictures(shell::applicationIcon());
  ASSERT_EQ(pictures.size(), kEntries.size());
  for (std::size_t index = 0; index < kEntries.size(); ++index) {
    EXPECT_EQ(pictures[index].image.size(), QSize(kEntries[index].size, kEntries[index].size));
    EXPECT_EQ(pictures[index].bitsPerPixel, kEntries[index].bits);
  }
  // The picture box would show the largest, deepest one.
  EXPECT_EQ(toolkit::decodePicture(shell::applicationIcon()), pictures.back().image);
}

// The two palette entries of a size show the true-colour picture: the same pixels covered,
// the 256-colour one in exactly its colours, the 16-colour one in the nearest standard ones.
TEST(ApplicationIcon, PaletteEntriesFollowTheTrueColourPicture) {
  const auto pictures = toolkit::decodeIconPictures(shell::applicationIcon());
  ASSERT_EQ(pictures.size(), kEntries.size());
  const auto standard = icon::standardColours();
  for (std::size_t first = 0; first < pictures.size(); first += 3) {
    const QImage& sixteen = pictures[first].image;
    const QImage& palette = pictures[first + 1].image;
    const QImage& full = pictures[first + 2].image;
    SCOPED_TRACE(testing::Message() << full.width() << " px");
    std::set<QRgb> sixteenColours, paletteColours;
    bool translucent = false;
    for (int y = 0; y < full.height(); ++y) {
      for (int x = 0; x < full.width(); ++x) {
        const QRgb truth = full.pixel(x, y);
        translucent |= qAlpha(truth) > 0 && qAlpha(truth) < 255;
        for (const QImage* image : {&sixteen, &palette}) {
          const QRgb pixel = image->pixel(x, y);
          ASSERT_TRUE(qAlpha(pixel) == 0 || qAlpha(pixel) == 255) << x << "," << y;
          ASSERT_EQ(opaque(pixel), opaque(truth)) << "mask at " << x << "," << y;
        }
        if (!opaque(truth)) continue;
        paletteColours.insert(palette.pixel(x, y));
        sixteenColours.insert(sixteen.pixel(x, y));
        EXPECT_EQ(palette.pixel(x, y), qRgb(qRed(truth), qGreen(truth), qBlue(truth)));
        const QRgb shown = sixteen.pixel(x, y) | 0xFF000000;
        ASSERT_NE(std::find(standard.begin(), standard.end(), shown), standard.end());
        for (const QRgb other : standard)
          ASSERT_LE(squaredDistance(shown, truth), squaredDistance(other, truth))
              << "a nearer standard colour at " << x << "," << y;
      }
    }
    EXPECT_LE(sixteenColours.size(), 16u);
    EXPECT_LE(paletteColours.size(), 255u) << "index 0 is kept for masked pixels";
    EXPECT_GT(paletteColours.size(), sixteenColours.size()) << "256 colours show more shades";
    EXPECT_TRUE(translucent) << "the 32-bit picture smooths its corners with alpha";
  }
}

TEST(ApplicationIcon, ThemeIconsAreTheSamePictures) {
  const auto pictures = toolkit::decodeIconPictures(shell::applicationIcon());
  ASSERT_EQ(pictures.size(), kEntries.size());
  for (const int size : {16, 24, 32, 48, 64, 128, 256}) {
    SCOPED_TRACE(size);
    const QImage png(QStringLiteral(QRGEN_ICON_DIR "/icon-%1.png").arg(size));
    ASSERT_EQ(png.size(), QSize(size, size));
    ASSERT_TRUE(png.hasAlphaChannel());
    const auto same = std::find_if(pictures.begin(), pictures.end(), [size](const auto& each) {
      return each.image.width() == size && each.bitsPerPixel == 32;
    });
    if (same != pictures.end()) {
      EXPECT_EQ(png.convertToFormat(QImage::Format_ARGB32), same->image);
    }
  }
}

// ---- The writer, on small pictures that show row order, nibble order, padding and masks --

QImage fixture(int width, int height) {
  // Standard colours only, so that every depth keeps them; (0, 0) transparent, (1, 0) half
  // transparent, which the palette depths mask.
  QImage image(width, height, QImage::Format_ARGB32);
  const auto standard = icon::standardColours();
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      image.setPixel(x, y, standard[static_cast<std::size_t>(x * 5 + y * 3) % 16]);
  image.setPixel(0, 0, qRgba(0, 0, 0, 0));
  image.setPixel(1, 0, qRgba(255, 0, 0, 100));
  return image;
}

TEST(IconFileWriter, PicturesComeBackThroughTheDecoder) {
  struct Case {
    const char* name;
    int width;
    int height;
    IconDepth depth;
  };
  const Case cases[] = {
      {"16 colours, odd width", 3, 2, IconDepth::Colours16},
      {"256 colours, odd width", 5, 3, IconDepth::Colours256},
      {"32-bit", 3, 2, IconDepth::TrueColour},
      {"wider than a mask word", 33, 2, IconDepth::Colours16},
      {"256 pixels, stored as 0", 256, 256, IconDepth::TrueColour},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(test.name);
    const QImage image = fixture(test.width, test.height);
    const icon::IconEntry entries[] = {{image, test.depth}};
    const auto file = icon::encodeIconFile(entries);
    const auto pictures = toolkit::decodeIconPictures(file);
    ASSERT_EQ(pictures.size(), 1u);
    EXPECT_EQ(pictures[0].bitsPerPixel, static_cast<int>(test.depth));
    const QImage& back = pictures[0].image;
    ASSERT_EQ(back.size(), image.size());
    for (int y = 0; y < image.height(); ++y) {
      for (int x = 0; x < image.width(); ++x) {
        QRgb expected = image.pixel(x, y);
        if (test.depth != IconDepth::TrueColour) expected = opaque(expected) ? expected : 0;
        ASSERT_EQ(back.pixel(x, y), expected) << x << "," << y;
      }
    }
  }
}

TEST(IconFileWriter, RefusesWhatAnIconFileCannotHold) {
  QImage manyColours(17, 16, QImage::Format_ARGB32);
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 17; ++x) manyColours.setPixel(x, y, qRgb(x, y, 7));
  struct Case {
    const char* name;
    QImage image;
    IconDepth depth;
  };
  const Case cases[] = {
      {"more than 255 colours for 256", manyColours, IconDepth::Colours256},
      {"wider than 256", QImage(257, 1, QImage::Format_ARGB32), IconDepth::TrueColour},
      {"no picture", QImage(), IconDepth::TrueColour},
  };
  for (const Case& test : cases) {
    const icon::IconEntry entries[] = {{test.image, test.depth}};
    EXPECT_TRUE(icon::encodeIconFile(entries).empty()) << test.name;
  }
  EXPECT_TRUE(icon::encodeIconFile({}).empty()) << "no entries";
  // The same many colours fit 16 colours by taking the nearest.
  const icon::IconEntry sixteen[] = {{manyColours, IconDepth::Colours16}};
  EXPECT_FALSE(icon::encodeIconFile(sixteen).empty());
}

}  // namespace
