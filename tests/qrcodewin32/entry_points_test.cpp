// SPDX-License-Identifier: MIT
// The seven functions' arguments, results and failures, through the C interface.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>
#include <climits>
#include <cmath>
#include <fstream>
#include <limits>

#include "linked_library.h"
#include "support/bmp_reader.h"
#include "support/fixtures.h"
#include "support/symbol_reader.h"

namespace qrcodewin32::test {
namespace {

constexpr Colour kWhite{255, 255, 255};
constexpr Colour kBlack{0, 0, 0};

class EntryPoints : public testing::Test {
 protected:
  // Tests may share one process: each starts from the program's settings.
  void SetUp() override { applySettings(kLinkedLibrary, Request{}); }

  TemporaryDirectory directory;
  std::string path = directory.file("a.bmp");

  int generateHere(const Request& request) { return generate(kLinkedLibrary, request, path); }

  // Puts an old picture in place, for failures to leave alone.
  void writeOldFile() {
    std::ofstream(path, std::ios::binary) << "old picture";
    oldInode_ = inode();
  }
  void expectOldFileUntouched() {
    EXPECT_EQ(readFileBytes(path),
              (std::vector<std::uint8_t>{'o', 'l', 'd', ' ', 'p', 'i', 'c', 't', 'u', 'r', 'e'}));
    EXPECT_EQ(inode(), oldInode_);
    EXPECT_EQ(directory.listing().find(".QRCodeWin32"), std::string::npos) << "temporary file left";
  }

 private:
  ino_t inode() const {
    struct stat status {};
    return ::stat(path.c_str(), &status) == 0 ? status.st_ino : 0;
  }
  ino_t oldInode_ = 0;
};

Request withMessage(std::string message) {
  Request request;
  request.message = std::move(message);
  return request;
}

// ---- Version and level ---------------------------------------------------------------------

struct ChoiceCase {
  const char* name;
  int version;
  int level;
  std::string message;
  int modules;
  const char* ecLevel;
};

void PrintTo(const ChoiceCase& row, std::ostream* out) {
  *out << row.name;
}

class Choices : public EntryPoints, public testing::WithParamInterface<ChoiceCase> {};

TEST_P(Choices, GiveThisSymbol) {
  const ChoiceCase& row = GetParam();
  Request request = withMessage(row.message);
  request.version = row.version;
  request.level = row.level;
  ASSERT_NE(generateHere(request), 0);
  const Judgement judged = judgeFile(path);
  ASSERT_TRUE(judged.geometry.has_value());
  EXPECT_EQ(judged.geometry->modules, row.modules);
  ASSERT_TRUE(judged.reading.found);
  EXPECT_EQ(judged.reading.text, row.message);
  EXPECT_EQ(judged.reading.ecLevel, row.ecLevel);
}

// 60 bytes need version 4 at level L; a larger version chosen for little data keeps the level
// asked for instead of raising it.
INSTANTIATE_TEST_SUITE_P(
    Table, Choices,
    testing::Values(ChoiceCase{"NothingPicked", -1, -1, "hello", 21, "L"},
                    ChoiceCase{"Automatic", 0, 0, "hello", 21, "L"},
                    ChoiceCase{"VersionAsked", 10, 0, "hello", 57, "L"},
                    ChoiceCase{"VersionAskedAtH", 7, 3, "hello", 45, "H"},
                    ChoiceCase{"TooSmallGrows", 1, 0, std::string(60, 'q'), 33, "L"},
                    ChoiceCase{"TooSmallGrowsAtQ", 2, 2, std::string(60, 'q'), 37, "Q"},
                    ChoiceCase{"LevelM", 0, 1, "hello", 21, "M"},
                    ChoiceCase{"LevelQ", 0, 2, "hello", 21, "Q"},
                    ChoiceCase{"VersionAbove40", 41, 0, "hello", 21, "L"},
                    ChoiceCase{"VersionIntMax", INT_MAX, 0, "hello", 21, "L"},
                    ChoiceCase{"VersionIntMin", INT_MIN, 0, "hello", 21, "L"},
                    ChoiceCase{"LevelAbove3", 0, 4, "hello", 21, "L"},
                    ChoiceCase{"LevelIntMin", 0, INT_MIN, "hello", 21, "L"}),
    [](const testing::TestParamInfo<ChoiceCase>& info) { return std::string(info.param.name); });

TEST_F(EntryPoints, DataThatFitsNoVersionFailsAndKeepsTheOldFile) {
  writeOldFile();
  // Version 40 holds 1273 bytes at H, 2953 at L.
  Request request = withMessage(std::string(1274, 'q'));
  request.level = 3;
  errno = 0;
  EXPECT_EQ(generateHere(request), 0);
  EXPECT_EQ(errno, EMSGSIZE);
  expectOldFileUntouched();
  request.level = 0;
  EXPECT_NE(generateHere(request), 0);
}

TEST_F(EntryPoints, RefusedMessageIsNotReplacedByTheOldOne) {
  ASSERT_NE(generateHere(withMessage("first")), 0);
  writeOldFile();
  errno = 0;
  EXPECT_EQ(QRSetMessage(std::string(7090, '1').c_str()), 0);
  EXPECT_EQ(errno, EMSGSIZE);
  EXPECT_EQ(QRSaveAsBMP(path.c_str()), 0);
  EXPECT_EQ(errno, EMSGSIZE);
  expectOldFileUntouched();
  EXPECT_NE(QRSetMessage("second"), 0);
  ASSERT_NE(QRSaveAsBMP(path.c_str()), 0);
  EXPECT_EQ(judgeFile(path).reading.text, "second");
}

// ---- Settings persist ----------------------------------------------------------------------

TEST_F(EntryPoints, SettingsStayUntilSetAgain) {
  Request request = withMessage("kept");
  request.version = 5;
  request.level = 2;
  request.bar[2] = 128;
  ASSERT_NE(generateHere(request), 0);
  const auto first = readFileBytes(path);
  const std::string second = directory.file("b.bmp");
  ASSERT_NE(QRSaveAsBMP(second.c_str()), 0);
  EXPECT_EQ(readFileBytes(second), first);

  ASSERT_NE(QRSetMessage("changed"), 0);
  ASSERT_NE(QRSaveAsBMP(second.c_str()), 0);
  const Judgement judged = judgeFile(second, {0, 0, 128});
  ASSERT_TRUE(judged.geometry.has_value());
  EXPECT_EQ(judged.geometry->modules, 37);
  EXPECT_EQ(judged.reading.text, "changed");
  EXPECT_EQ(judged.reading.ecLevel, "Q");
}

// ---- Colours and appearance ----------------------------------------------------------------

TEST_F(EntryPoints, ColoursAreRedGreenBlueAndClamped) {
  const struct {
    const char* name;
    int background[3];
    int bar[3];
    Colour light;
    Colour dark;
  } rows[] = {
      {"program's colours", {255, 255, 255}, {0, 0, 0}, kWhite, kBlack},
      {"channels in order", {255, 240, 200}, {10, 20, 90}, {255, 240, 200}, {10, 20, 90}},
      {"clamped", {300, 1000, INT_MAX}, {-1, INT_MIN, -300}, kWhite, kBlack},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    Request request = withMessage("colours");
    std::copy(std::begin(row.background), std::end(row.background), request.background);
    std::copy(std::begin(row.bar), std::end(row.bar), request.bar);
    ASSERT_NE(generateHere(request), 0);
    const Judgement judged = judgeFile(path, row.dark);
    ASSERT_TRUE(judged.bmp.has_value());
    EXPECT_EQ(judged.bmp->headers.palette, (std::vector<Colour>{row.light, row.dark}));
    EXPECT_EQ(judged.bmp->picture.at(0, 0), row.light);  // margin in the background colour
    ASSERT_TRUE(judged.geometry.has_value());
    EXPECT_TRUE(judged.geometry->uniformModules);
    EXPECT_EQ(judged.reading.text, "colours");
  }
}

TEST_F(EntryPoints, MinimumContrastRefusesUnreadableColours) {
  const double nan = std::nan(""), infinity = std::numeric_limits<double>::infinity();
  const Colour grey{128, 128, 128}, darkerGrey{100, 100, 100};  // 0.088 apart
  const struct {
    double minimumContrast;
    Colour background;
    Colour bar;
    bool written;
  } rows[] = {
      {0.2, kWhite, kBlack, true},      {0.2, grey, darkerGrey, false},
      {0.05, grey, darkerGrey, true},   {0.0, kWhite, kWhite, true},
      {nan, grey, darkerGrey, false},   {-infinity, grey, darkerGrey, true},
      {infinity, kWhite, kBlack, true}, {infinity, {250, 250, 250}, kBlack, false},
  };
  writeOldFile();
  for (const auto& row : rows) {
    SCOPED_TRACE(testing::Message() << row.minimumContrast << ", grey " << int{row.background.red}
                                    << '/' << int{row.bar.red});
    Request request = withMessage("contrast");
    request.minimumContrast = row.minimumContrast;
    request.background[0] = row.background.red;
    request.background[1] = row.background.green;
    request.background[2] = row.background.blue;
    request.bar[0] = row.bar.red;
    request.bar[1] = row.bar.green;
    request.bar[2] = row.bar.blue;
    errno = 0;
    const std::string target = row.written ? directory.file("b.bmp") : path;
    EXPECT_EQ(generate(kLinkedLibrary, request, target) != 0, row.written);
    if (!row.written) {
      EXPECT_EQ(errno, EDOM);
      expectOldFileUntouched();
    }
  }
}

TEST_F(EntryPoints, InvertedColoursSwapLightAndDark) {
  ASSERT_NE(generateHere(withMessage("inverted")), 0);
  const auto normal = readBmpFile(path);
  Request request = withMessage("inverted");
  request.invertedColours = 1;
  ASSERT_NE(generateHere(request), 0);
  const auto inverted = readBmpFile(path);
  ASSERT_TRUE(normal && inverted);
  // Light modules and the quiet zone now take the bar colour.
  EXPECT_EQ(inverted->picture.at(0, 0), kBlack);
  EXPECT_EQ(invertedPicture(inverted->picture).pixels, normal->picture.pixels);
  const Reading reading = readWithZxing(invertedPicture(inverted->picture), Purity::Scanned);
  EXPECT_EQ(reading.text, "inverted");
  request.invertedColours = INT_MIN;  // any nonzero value
  ASSERT_NE(generateHere(request), 0);
  EXPECT_EQ(readBmpFile(path)->picture.pixels, inverted->picture.pixels);
}

// Fractional modules fill the picture's side with symbol and quiet zone; whole-pixel modules
// leave the rest as margin.
TEST_F(EntryPoints, FractionalModulesFillTheSide) {
  const struct {
    int version;
    int wholePixels;
    int symbolPixels;  // round(modules * 500 / (modules + 10)) or whole modules
  } rows[] = {{1, 1, 336}, {1, 0, 339}, {5, 1, 370}, {5, 0, 394}, {10, 1, 399}, {10, 0, 425}};
  for (const auto& row : rows) {
    SCOPED_TRACE(testing::Message() << "version " << row.version << ", whole " << row.wholePixels);
    Request request = withMessage("fractional");
    request.version = row.version;
    request.wholePixelModules = row.wholePixels;
    ASSERT_NE(generateHere(request), 0);
    const auto bmp = readBmpFile(path);
    ASSERT_TRUE(bmp.has_value());
    int left = 500, right = -1;
    for (int x = 0; x < 500; ++x) {
      for (int y = 0; y < 500; ++y) {
        if (bmp->picture.at(x, y) != kBlack) continue;
        left = std::min(left, x);
        right = std::max(right, x);
      }
    }
    EXPECT_EQ(right - left + 1, row.symbolPixels);
    EXPECT_EQ(readWithZxing(bmp->picture, Purity::Scanned).text, "fractional");
  }
}

TEST_F(EntryPoints, QuietZoneIsAtLeastTheStandardMinimum) {
  const struct {
    int quietZone;
    int modulePixels;  // 0: does not fit
  } rows[] = {{INT_MIN, 17}, {0, 17},  {3, 17},  {4, 17},     {5, 16},
              {20, 8},       {239, 1}, {240, 0}, {INT_MAX, 0}};
  writeOldFile();
  for (const auto& row : rows) {
    SCOPED_TRACE(row.quietZone);
    Request request = withMessage("zone");
    request.quietZone = row.quietZone;
    errno = 0;
    if (row.modulePixels == 0) {
      EXPECT_EQ(generateHere(request), 0);
      EXPECT_EQ(errno, ERANGE);
      expectOldFileUntouched();
      continue;
    }
    const std::string target = directory.file("b.bmp");
    ASSERT_NE(generate(kLinkedLibrary, request, target), 0);
    const Judgement judged = judgeFile(target);
    ASSERT_TRUE(judged.geometry.has_value());
    EXPECT_EQ(judged.geometry->modulePixels, row.modulePixels);
    EXPECT_GE(judged.geometry->quietZoneModules, std::max(row.quietZone, 4));
    if (row.modulePixels > 2) {
      EXPECT_EQ(judged.reading.text, "zone");
    }
  }
}

// ---- Picture size --------------------------------------------------------------------------

TEST_F(EntryPoints, PictureHasExactlyTheSizeAsked) {
  const struct {
    int width;
    int height;
    int modulePixels;
  } rows[] = {{500, 500, 16}, {800, 500, 16}, {500, 801, 16},
              {31, 31, 1},    {64, 1000, 2},  {1234, 987, 31}};
  for (const auto& row : rows) {
    SCOPED_TRACE(testing::Message() << row.width << 'x' << row.height);
    Request request = withMessage("size");
    request.width = row.width;
    request.height = row.height;
    ASSERT_NE(generateHere(request), 0);
    const Judgement judged = judgeFile(path);
    ASSERT_TRUE(judged.bmp.has_value());
    EXPECT_EQ(judged.bmp->picture.width, row.width);
    EXPECT_EQ(judged.bmp->picture.height, row.height);
    ASSERT_TRUE(judged.geometry.has_value());
    EXPECT_EQ(judged.geometry->modulePixels, row.modulePixels);
    // Centred: the margins on either side differ by one pixel at most.
    const int symbol = 21 * row.modulePixels;
    EXPECT_EQ(judged.geometry->left, (row.width - symbol) / 2);
    EXPECT_EQ(judged.geometry->top, (row.height - symbol) / 2);
    if (row.modulePixels > 2) {
      EXPECT_EQ(judged.reading.text, "size");
    }
  }
}

TEST_F(EntryPoints, LargestPictureIsWritten) {
  Request request = withMessage("large");
  request.width = 16384;
  request.height = 16384;
  ASSERT_NE(generateHere(request), 0);
  EXPECT_EQ(std::filesystem::file_size(path), 62u + 2048u * 16384u);
}

TEST_F(EntryPoints, ImpossibleSizesFail) {
  const struct {
    int width;
    int height;
    int setSizeResult;
    int error;
  } rows[] = {{30, 30, 1, ERANGE},  {16384, 1, 1, ERANGE},   {0, 500, 0, EINVAL},
              {500, -1, 0, EINVAL}, {16385, 500, 0, EINVAL}, {INT_MIN, INT_MAX, 0, EINVAL}};
  writeOldFile();
  for (const auto& row : rows) {
    SCOPED_TRACE(testing::Message() << row.width << 'x' << row.height);
    ASSERT_NE(QRSetMessage("size"), 0);
    errno = 0;
    EXPECT_EQ(QRSetSize(row.width, row.height) != 0, row.setSizeResult != 0);
    EXPECT_EQ(QRSaveAsBMP(path.c_str()), 0);
    EXPECT_EQ(errno, row.error);
    expectOldFileUntouched();
  }
  // A refused size is not replaced by the older one; a valid size heals it.
  ASSERT_NE(QRSetSize(500, 500), 0);
  EXPECT_NE(QRSaveAsBMP(path.c_str()), 0);
}

// ---- Writing the file ----------------------------------------------------------------------

TEST_F(EntryPoints, FailedSavesLeaveEverythingAsItWas) {
  writeOldFile();
  std::ofstream(directory.file("plain"), std::ios::binary) << "x";
  const std::string listing = directory.listing();
  const struct {
    const char* name;
    std::string path;
    int error;  // 0: whatever the kernel says
  } rows[] = {
      {"empty path", "", EINVAL},
      {"missing directory", directory.file("missing/a.bmp"), ENOENT},
      // Fails for root too: nothing can be created below a regular file.
      {"parent is a regular file", directory.file("plain/a.bmp"), ENOTDIR},
      {"path is a directory", directory.path().string(), EISDIR},
      {"kernel file system", "/proc/a.bmp", 0},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    errno = 0;
    EXPECT_EQ(generate(kLinkedLibrary, withMessage("never written"), row.path), 0);
    if (row.error != 0) {
      EXPECT_EQ(errno, row.error);
    }
    EXPECT_NE(errno, 0);
    EXPECT_EQ(directory.listing(), listing);
  }
  errno = 0;
  EXPECT_EQ(QRSaveAsBMP(nullptr), 0);
  EXPECT_EQ(errno, EINVAL);
  EXPECT_FALSE(std::filesystem::exists("/proc/a.bmp"));
  std::filesystem::remove(directory.file("plain"));
  expectOldFileUntouched();
}

TEST_F(EntryPoints, SaveReplacesTheOldFile) {
  writeOldFile();
  ASSERT_NE(generateHere(withMessage("new picture")), 0);
  EXPECT_EQ(judgeFile(path).reading.text, "new picture");
  EXPECT_EQ(directory.listing(), "a.bmp");
}

// ---- Hostile arguments ---------------------------------------------------------------------

// Every argument position gets every extreme value, the others staying at the program's;
// nothing may crash or hang, and whatever is written is a whole picture of the size asked.
TEST_F(EntryPoints, ExtremeArgumentsNeverBreakAnything) {
  const int integers[] = {INT_MIN, INT_MIN + 1, -1, 0, 1, 2, 3, 4, 5, 40, 41, 255, 256, INT_MAX};
  const double doubles[] = {std::nan(""),
                            -std::nan(""),
                            std::numeric_limits<double>::infinity(),
                            -std::numeric_limits<double>::infinity(),
                            -0.0,
                            1e308,
                            std::numeric_limits<double>::denorm_min(),
                            -1e-308};
  auto check = [&](const Request& request) {
    const int result = generateHere(request);
    if (result == 0) return;
    const auto bmp = readBmpFile(path);
    ASSERT_TRUE(bmp.has_value());
    EXPECT_EQ(bmp->picture.width, request.width);
    EXPECT_EQ(bmp->picture.height, request.height);
  };
  for (int value : integers) {
    SCOPED_TRACE(value);
    for (int position = 0; position < 11; ++position) {
      Request request = withMessage("hostile");
      int* fields[] = {&request.background[0],  &request.background[1],
                       &request.background[2],  &request.bar[0],
                       &request.bar[1],         &request.bar[2],
                       &request.version,        &request.level,
                       &request.quietZone,      &request.wholePixelModules,
                       &request.invertedColours};
      *fields[position] = value;
      check(request);
    }
    Request request = withMessage("hostile");
    request.width = request.height = value;
    check(request);
  }
  for (double value : doubles) {
    Request request = withMessage("hostile");
    request.minimumContrast = value;
    check(request);
  }
  EXPECT_EQ(directory.listing(), "a.bmp");
}

}  // namespace
}  // namespace qrcodewin32::test
