// SPDX-License-Identifier: MIT
#include "qrcodewin32/bmp.h"

#include <gtest/gtest.h>

#include "support/bmp_reader.h"

namespace qrcodewin32 {
namespace {

TEST(Bmp, HeadersDescribeAnUncompressedTwoColourBitmap) {
  const struct {
    int width;
    int height;
    std::uint32_t stride;
  } rows[] = {{500, 500, 64}, {1, 1, 4}, {32, 3, 4}, {33, 2, 8}, {16384, 1, 2048}};
  for (const auto& row : rows) {
    SCOPED_TRACE(testing::Message() << row.width << 'x' << row.height);
    const OneBitBmp bmp(row.width, row.height, {255, 255, 255}, {0, 0, 0});
    const auto read = test::decodeBmp(bmp.bytes());
    ASSERT_TRUE(read.has_value());
    const test::BmpHeaders& headers = read->headers;
    EXPECT_EQ(headers.fileSize, bmp.bytes().size());
    EXPECT_EQ(headers.fileSize, 62 + row.stride * row.height);
    EXPECT_EQ(headers.pixelOffset, 62u);
    EXPECT_EQ(headers.infoSize, 40u);
    EXPECT_EQ(headers.width, row.width);
    EXPECT_EQ(headers.height, row.height);  // positive: bottom-up
    EXPECT_EQ(headers.planes, 1);
    EXPECT_EQ(headers.bitsPerPixel, 1);
    EXPECT_EQ(headers.compression, 0u);
    EXPECT_EQ(headers.imageSize, row.stride * row.height);
    EXPECT_EQ(headers.coloursUsed, 2u);
    EXPECT_EQ(headers.palette, (std::vector<test::Colour>{{255, 255, 255}, {0, 0, 0}}));
  }
}

// Rows are stored bottom-up, the leftmost pixel in the top bit; padding stays zero.
TEST(Bmp, RowsAreStoredBottomUp) {
  OneBitBmp bmp(9, 2, {1, 2, 3}, {4, 5, 6});
  bmp.row(0)[0] = 0x80;  // top left pixel
  bmp.row(1)[1] = 0x80;  // ninth pixel of the bottom row
  const auto bytes = bmp.bytes();
  const std::vector<std::uint8_t> pixels(bytes.begin() + 62, bytes.end());
  EXPECT_EQ(pixels, (std::vector<std::uint8_t>{0x00, 0x80, 0, 0, 0x80, 0x00, 0, 0}));
  const auto read = test::decodeBmp(bytes);
  ASSERT_TRUE(read.has_value());
  EXPECT_EQ(read->picture.at(0, 0), (test::Colour{4, 5, 6}));
  EXPECT_EQ(read->picture.at(8, 1), (test::Colour{4, 5, 6}));
  EXPECT_EQ(read->picture.at(1, 0), (test::Colour{1, 2, 3}));
}

}  // namespace
}  // namespace qrcodewin32
