// SPDX-License-Identifier: MIT
// JPEG and GIF go through Qt's readers; these tests run without a QGuiApplication on purpose,
// since the picture box's decoding must not need one.
#include <gtest/gtest.h>

#include <QColor>

#include <cstdlib>
#include <stdexcept>

#include "picture_fixtures.h"
#include "toolkit/picture.h"

using namespace pictureFixtures;

namespace {

// JPEG is lossy; a flat colour comes back within a few levels.
testing::AssertionResult closeTo(QRgb actual, QRgb expected) {
  const int tolerance = 6;
  if (std::abs(qRed(actual) - qRed(expected)) <= tolerance &&
      std::abs(qGreen(actual) - qGreen(expected)) <= tolerance &&
      std::abs(qBlue(actual) - qBlue(expected)) <= tolerance && qAlpha(actual) == 255)
    return testing::AssertionSuccess();
  return testing::AssertionFailure() << std::hex << actual << " is not close to " << expected;
}

QImage flat(QSize size, QImage::Format format, QRgb colour) {
  QImage image(size, format);
  image.fill(QColor(colour));
  return image;
}

// Replaces the width and height in the first baseline frame header of a JPEG.
QByteArray withJpegFrameSize(QByteArray jpeg, int width, int height) {
  const qsizetype frame = jpeg.indexOf("\xFF\xC0");
  if (frame < 0) throw std::runtime_error("no baseline frame header");
  jpeg[frame + 5] = static_cast<char>(height >> 8);
  jpeg[frame + 6] = static_cast<char>(height);
  jpeg[frame + 7] = static_cast<char>(width >> 8);
  jpeg[frame + 8] = static_cast<char>(width);
  return jpeg;
}

TEST(JpegThroughQt, DecodesColourPicture) {
  const QRgb colour = qRgb(200, 40, 90);
  const QByteArray jpeg = saveWithQt(flat({24, 16}, QImage::Format_RGB32, colour), "jpeg", 100);
  const QImage image = toolkit::decodePicture(view(jpeg));
  ASSERT_FALSE(image.isNull());
  EXPECT_EQ(image.size(), QSize(24, 16));
  EXPECT_EQ(image.format(), QImage::Format_RGB32);
  EXPECT_TRUE(closeTo(image.pixel(0, 0), colour));
  EXPECT_TRUE(closeTo(image.pixel(23, 15), colour));
}

TEST(JpegThroughQt, GreyPictureComesBackAsRgb32) {
  const QImage grey = flat({8, 8}, QImage::Format_Grayscale8, qRgb(128, 128, 128));
  const QImage image = toolkit::decodePicture(view(saveWithQt(grey, "jpeg", 100)));
  ASSERT_FALSE(image.isNull());
  EXPECT_EQ(image.format(), QImage::Format_RGB32);
  EXPECT_TRUE(closeTo(image.pixel(4, 4), qRgb(128, 128, 128)));
}

TEST(JpegThroughQt, RefusesDeclaredSizeBeyondLimits) {
  const QByteArray jpeg = saveWithQt(flat({16, 16}, QImage::Format_RGB32, qRgb(1, 2, 3)), "jpeg");
  EXPECT_TRUE(toolkit::decodePicture(view(withJpegFrameSize(jpeg, 30000, 30000))).isNull());
  EXPECT_TRUE(toolkit::decodePicture(view(withJpegFrameSize(jpeg, 16384, 4097))).isNull());
}

TEST(JpegThroughQt, RefusesStartMarkerAlone) {
  const Bytes jpeg{0xFF, 0xD8, 0xFF, 0xD9, 0, 0, 0, 0};
  EXPECT_TRUE(toolkit::decodePicture(view(jpeg)).isNull());
}

const std::vector<QRgb> gifColours{qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(0, 0, 255),
                                   qRgb(255, 255, 255)};

std::vector<std::uint8_t> gifIndices(int width, int height, int shift) {
  std::vector<std::uint8_t> indices;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      indices.push_back(static_cast<std::uint8_t>((x + 2 * y + shift) % 4));
  return indices;
}

TEST(GifThroughQt, DecodesEveryPixel) {
  const Bytes gif = makeGif(5, 3, gifColours, {{gifIndices(5, 3, 0), std::nullopt}});
  const QImage image = toolkit::decodePicture(view(gif));
  ASSERT_FALSE(image.isNull());
  EXPECT_EQ(image.size(), QSize(5, 3));
  EXPECT_EQ(image.format(), QImage::Format_RGB32);
  EXPECT_TRUE(pixelsMatch(image, [](int x, int y) { return gifColours[(x + 2 * y) % 4]; }));
}

TEST(GifThroughQt, ShowsFirstFrameOfAnimation) {
  const Bytes gif = makeGif(
      4, 2, gifColours, {{gifIndices(4, 2, 0), std::nullopt}, {gifIndices(4, 2, 1), std::nullopt}});
  EXPECT_TRUE(pixelsMatch(toolkit::decodePicture(view(gif)),
                          [](int x, int y) { return gifColours[(x + 2 * y) % 4]; }));
}

TEST(GifThroughQt, TransparentIndexGivesAlpha) {
  const Bytes gif = makeGif(4, 2, gifColours, {{gifIndices(4, 2, 0), std::uint8_t{3}}});
  const QImage image = toolkit::decodePicture(view(gif));
  ASSERT_FALSE(image.isNull());
  EXPECT_EQ(image.format(), QImage::Format_ARGB32);
  // Only the alpha of a transparent pixel means anything.
  QImage alphaOnly = image;
  for (int y = 0; y < alphaOnly.height(); ++y)
    for (int x = 0; x < alphaOnly.width(); ++x)
      if (qAlpha(alphaOnly.pixel(x, y)) == 0) alphaOnly.setPixel(x, y, 0);
  EXPECT_TRUE(pixelsMatch(alphaOnly, [](int x, int y) {
    const int index = (x + 2 * y) % 4;
    return index == 3 ? qRgba(0, 0, 0, 0) : gifColours[index];
  }));
}

TEST(GifThroughQt, RefusesScreenBeyondLimits) {
  Bytes gif = makeGif(4, 2, gifColours, {{gifIndices(4, 2, 0), std::nullopt}});
  putU16(gif, 6, 30000);
  putU16(gif, 8, 30000);
  EXPECT_TRUE(toolkit::decodePicture(view(gif)).isNull());
}

TEST(GifThroughQt, RefusesHeaderAlone) {
  Bytes gif = makeGif(4, 2, gifColours, {{gifIndices(4, 2, 0), std::nullopt}});
  gif.resize(13);
  EXPECT_TRUE(toolkit::decodePicture(view(gif)).isNull());
}

}  // namespace
