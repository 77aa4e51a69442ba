// SPDX-License-Identifier: MIT
// Qt's own BMP reader and the picture box's decoder read the written pictures as written.
#include <gtest/gtest.h>

#include <QImage>

#include "linked_library.h"
#include "support/bmp_reader.h"
#include "support/fixtures.h"
#include "toolkit/picture.h"

namespace qrcodewin32::test {
namespace {

void expectSamePixels(const QImage& image, const Picture& picture) {
  ASSERT_FALSE(image.isNull());
  ASSERT_EQ(image.width(), picture.width);
  ASSERT_EQ(image.height(), picture.height);
  for (int y = 0; y < picture.height; ++y) {
    for (int x = 0; x < picture.width; ++x) {
      const QRgb pixel = image.pixel(x, y);
      const Colour read{static_cast<std::uint8_t>(qRed(pixel)),
                        static_cast<std::uint8_t>(qGreen(pixel)),
                        static_cast<std::uint8_t>(qBlue(pixel))};
      ASSERT_EQ(read, picture.at(x, y)) << x << ',' << y;
    }
  }
}

TEST(PictureReaders, ReadThePicturesAsWritten) {
  TemporaryDirectory directory;
  const std::string path = directory.file("a.bmp");
  const struct {
    int width;
    int height;
    int bar[3];
  } rows[] = {{500, 500, {0, 0, 0}}, {333, 201, {20, 40, 120}}};
  for (const auto& row : rows) {
    SCOPED_TRACE(testing::Message() << row.width << 'x' << row.height);
    Request request;
    request.message = gb18030("图片框");
    request.width = row.width;
    request.height = row.height;
    std::copy(std::begin(row.bar), std::end(row.bar), request.bar);
    ASSERT_NE(generate(kLinkedLibrary, request, path), 0);
    const auto bytes = readFileBytes(path);
    ASSERT_TRUE(bytes.has_value());
    const auto ours = decodeBmp(*bytes);
    ASSERT_TRUE(ours.has_value());

    EXPECT_EQ(toolkit::sniffPicture(*bytes), toolkit::PictureFormat::Bmp);
    expectSamePixels(toolkit::decodePicture(*bytes), ours->picture);
    QImage qt;
    ASSERT_TRUE(qt.loadFromData(bytes->data(), static_cast<int>(bytes->size()), "BMP"));
    expectSamePixels(qt, ours->picture);
  }
}

}  // namespace
}  // namespace qrcodewin32::test
