// SPDX-License-Identifier: MIT
// ImageMagick reads the written pictures pixel for pixel as the tests' own reader does.
#include <gtest/gtest.h>
#include <unistd.h>

#include "linked_library.h"
#include "support/bmp_reader.h"
#include "support/fixtures.h"
#include "support/tools.h"

namespace qrcodewin32::test {
namespace {

// Another program called convert may come first on PATH.
constexpr const char* kConvert = "/usr/bin/convert";

TEST(ImageMagick, ReadsThePicturesAsWritten) {
  if (::access(kConvert, X_OK) != 0) GTEST_SKIP() << "ImageMagick is not installed";
  TemporaryDirectory directory;
  const std::string path = directory.file("a.bmp");
  const struct {
    int width;
    int height;
    int background[3];
    int bar[3];
  } rows[] = {{500, 500, {255, 255, 255}, {0, 0, 0}},
              {333, 201, {250, 230, 200}, {20, 40, 120}},
              {61, 61, {255, 255, 255}, {0, 0, 0}}};
  for (const auto& row : rows) {
    SCOPED_TRACE(testing::Message() << row.width << 'x' << row.height);
    Request request;
    request.message = gb18030("图片 readers");
    request.width = row.width;
    request.height = row.height;
    std::copy(std::begin(row.background), std::end(row.background), request.background);
    std::copy(std::begin(row.bar), std::end(row.bar), request.bar);
    ASSERT_NE(generate(kLinkedLibrary, request, path), 0);
    const auto ours = readBmpFile(path);
    ASSERT_TRUE(ours.has_value());
    const auto theirs = runTool({kConvert, path, "-depth", "8", "rgb:-"});
    ASSERT_TRUE(theirs.has_value());
    ASSERT_EQ(theirs->size(), ours->picture.pixels.size() * 3);
    for (std::size_t index = 0; index < ours->picture.pixels.size(); ++index) {
      const Colour& colour = ours->picture.pixels[index];
      const Colour read{static_cast<std::uint8_t>((*theirs)[3 * index]),
                        static_cast<std::uint8_t>((*theirs)[3 * index + 1]),
                        static_cast<std::uint8_t>((*theirs)[3 * index + 2])};
      ASSERT_EQ(read, colour) << "pixel " << index % row.width << ',' << index / row.width;
    }
  }
}

}  // namespace
}  // namespace qrcodewin32::test
