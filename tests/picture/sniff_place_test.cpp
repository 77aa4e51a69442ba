// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <vector>

#include "picture_fixtures.h"
#include "toolkit/picture.h"

using pictureFixtures::Bytes;
using toolkit::PictureFormat;

namespace {

struct SniffCase {
  const char* name;
  Bytes bytes;
  PictureFormat expected;
};

void PrintTo(const SniffCase& test, std::ostream* out) {
  *out << test.name;
}

class SniffTest : public testing::TestWithParam<SniffCase> {};

TEST_P(SniffTest, RecognisesByFirstBytes) {
  EXPECT_EQ(toolkit::sniffPicture(pictureFixtures::view(GetParam().bytes)), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Signatures, SniffTest,
    testing::Values(
        SniffCase{"Jpeg", {0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x10}, PictureFormat::Jpeg},
        SniffCase{"Bmp", {'B', 'M', 0x36, 0, 0, 0}, PictureFormat::Bmp},
        SniffCase{"Icon", {0, 0, 1, 0, 1, 0}, PictureFormat::Icon},
        SniffCase{"Cursor", {0, 0, 2, 0, 1, 0}, PictureFormat::Cursor},
        SniffCase{"Gif87a", {'G', 'I', 'F', '8', '7', 'a'}, PictureFormat::Gif},
        SniffCase{"Gif89a", {'G', 'I', 'F', '8', '9', 'a', 1, 0}, PictureFormat::Gif},
        SniffCase{"Pcx", {0x0A, 5, 1, 8, 0, 0}, PictureFormat::Pcx},
        SniffCase{"FiveBytesOfJpeg", {0xFF, 0xD8, 0xFF, 0xE0, 0x00}, PictureFormat::None},
        SniffCase{"FiveBytesOfGif", {'G', 'I', 'F', '8', '9'}, PictureFormat::None},
        SniffCase{"FiveBytesOfPcx", {0x0A, 5, 1, 8, 0}, PictureFormat::None},
        SniffCase{"Empty", {}, PictureFormat::None},
        SniffCase{"OtherGifVersion", {'G', 'I', 'F', '8', '8', 'a'}, PictureFormat::None},
        SniffCase{"IconDirectoryOfType3", {0, 0, 3, 0, 1, 0}, PictureFormat::None},
        SniffCase{"ReservedWordNotZero", {0, 1, 1, 0, 1, 0}, PictureFormat::None},
        SniffCase{"Png", {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A}, PictureFormat::None},
        SniffCase{"LowerCaseBm", {'b', 'm', 0, 0, 0, 0}, PictureFormat::None},
        SniffCase{"Text", {'h', 'e', 'l', 'l', 'o', '!'}, PictureFormat::None}),
    [](const testing::TestParamInfo<SniffCase>& info) { return std::string(info.param.name); });

TEST(DecodePicture, RefusesWhatSniffingRefuses) {
  const std::vector<Bytes> inputs{
      {}, {0xFF, 0xD8}, {'B', 'M', 0, 0, 0}, {'h', 'e', 'l', 'l', 'o', '!'}};
  for (const Bytes& input : inputs)
    EXPECT_TRUE(toolkit::decodePicture(pictureFixtures::view(input)).isNull()) << input.size();
}

struct PlaceCase {
  const char* name;
  QSize client;
  QSize picture;
  QRect expected;
};

void PrintTo(const PlaceCase& test, std::ostream* out) {
  *out << test.name;
}

class PlaceTest : public testing::TestWithParam<PlaceCase> {};

TEST_P(PlaceTest, CentresAndShrinksToFit) {
  EXPECT_EQ(toolkit::placePicture(GetParam().client, GetParam().picture), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PlaceTest,
    testing::Values(
        PlaceCase{"SquareInSlightlyShortClient", {500, 496}, {500, 500}, {2, 0, 496, 496}},
        PlaceCase{"SmallerPictureCentred", {100, 80}, {30, 20}, {35, 30, 30, 20}},
        PlaceCase{"OddRemainderRoundsDown", {101, 81}, {30, 20}, {35, 30, 30, 20}},
        PlaceCase{"ExactFitUntouched", {50, 40}, {50, 40}, {0, 0, 50, 40}},
        PlaceCase{"WiderThanClient", {200, 100}, {400, 100}, {0, 25, 200, 50}},
        PlaceCase{"TallerThanClient", {100, 200}, {100, 400}, {25, 0, 50, 200}},
        PlaceCase{"LargerBothWays", {300, 200}, {600, 800}, {75, 0, 150, 200}},
        PlaceCase{"DrawnSizeTruncated", {100, 100}, {300, 200}, {0, 17, 100, 66}},
        // 10 × 5 client, 5 × 6 picture: the fitting side centres twice, (5/2 + 1/2) = 2, not 3.
        PlaceCase{"FittingSideCentredInTwoSteps", {10, 5}, {5, 6}, {2, 0, 4, 5}},
        PlaceCase{"ThinPictureShrinksToNothing", {100, 100}, {10000, 1}, {0, 49, 100, 0}},
        PlaceCase{"EmptyPicture", {100, 100}, {0, 10}, QRect()},
        PlaceCase{"EmptyClient", {0, 100}, {10, 10}, QRect()},
        PlaceCase{"NegativeClient", {-5, 100}, {10, 10}, QRect()},
        PlaceCase{"InvalidPicture", {100, 100}, QSize(), QRect()}),
    [](const testing::TestParamInfo<PlaceCase>& info) { return std::string(info.param.name); });

}  // namespace
