// SPDX-License-Identifier: MIT
// Every symbol the library writes, read back by real readers.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "linked_library.h"
#include "qrcodewin32/payload.h"
#include "qrcodewin32/symbol.h"
#include "support/fixtures.h"
#include "support/symbol_reader.h"
#include "support/tools.h"

namespace qrcodewin32::test {
namespace {

constexpr const char* kLevelNames[] = {"L", "M", "Q", "H"};

// Splits UTF-8 text into its characters.
std::vector<std::string> characters(std::string_view utf8) {
  std::vector<std::string> result;
  for (std::size_t at = 0; at < utf8.size();) {
    std::size_t length = 1;
    while (at + length < utf8.size() &&
           (static_cast<unsigned char>(utf8[at + length]) & 0xC0) == 0x80)
      ++length;
    result.emplace_back(utf8.substr(at, length));
    at += length;
  }
  return result;
}

// Each kind of text fills symbols by repeating its pattern.
struct TextKind {
  const char* name;
  const char* pattern;  // UTF-8
};
constexpr TextKind kKinds[] = {
    {"Digits", "31415926535897932384626433832795"},
    {"Alphanumeric", "QR CODE 2024 $%*+-./: "},
    {"LowerCase", "the quick brown fox jumps over the lazy dog. "},
    {"Chinese", "二维码生成器把文字变成图片"},
    {"Mixed", "版本40 QR码 0123456789 abc "},
};

std::string repeatPrefix(const std::vector<std::string>& pattern, std::size_t count) {
  std::string text;
  for (std::size_t index = 0; index < count; ++index) text += pattern[index % pattern.size()];
  return text;
}

std::optional<int> plannedVersion(const std::string& utf8, Level level) {
  const auto payload = payloadFromCodePage(gb18030(utf8));
  if (!payload) return std::nullopt;
  const auto plan = planSymbol(*payload, level, kMinimumVersion);
  if (!plan) return std::nullopt;
  return plan->version;
}

// The longest repetition of the pattern that still fits `version` at `level`.
std::string fillingText(const TextKind& kind, int version, Level level) {
  const std::vector<std::string> pattern = characters(kind.pattern);
  std::size_t low = 0, high = kMaximumPayloadBytes;
  while (low < high) {
    const std::size_t middle = (low + high + 1) / 2;
    const auto planned = plannedVersion(repeatPrefix(pattern, middle), level);
    if (planned && *planned <= version)
      low = middle;
    else
      high = middle - 1;
  }
  return repeatPrefix(pattern, low);
}

bool isAscii(std::string_view text) {
  for (char byte : text)
    if (static_cast<unsigned char>(byte) >= 0x80) return false;
  return true;
}

struct TableCase {
  int version;
  int level;
};

void PrintTo(const TableCase& row, std::ostream* out) {
  *out << "version " << row.version << ", level " << row.level;
}

class SymbolTable : public testing::TestWithParam<TableCase> {
 protected:
  TemporaryDirectory directory;
};

// Texts that nearly fill each version at each level, written into 500 x 500 pictures:
// every one must read back exactly, with its level, size and quiet zone.
TEST_P(SymbolTable, ReadsBackFullSymbols) {
  const auto [version, level] = GetParam();
  const TextKind& kind = kKinds[(version + level) % std::size(kKinds)];
  const std::string text = fillingText(kind, version, static_cast<Level>(level));
  SCOPED_TRACE(testing::Message() << kind.name << " text of " << text.size() << " bytes");
  ASSERT_EQ(plannedVersion(text, static_cast<Level>(level)), version) << "text does not fill";

  Request request;
  request.message = gb18030(text);
  // Automatic and explicit choice take turns; both must give this version.
  request.version = version % 2 == 0 ? version : 0;
  request.level = level;
  const std::string path = directory.file("a.bmp");
  ASSERT_NE(generate(kLinkedLibrary, request, path), 0);

  const Judgement judged = judgeFile(path);
  ASSERT_TRUE(judged.bmp.has_value());
  const BmpHeaders& headers = judged.bmp->headers;
  EXPECT_EQ(headers.width, 500);
  EXPECT_EQ(headers.height, 500);
  EXPECT_EQ(headers.bitsPerPixel, 1);
  EXPECT_EQ(headers.compression, 0u);
  EXPECT_EQ(headers.fileSize, 32062u);
  EXPECT_EQ(headers.palette, (std::vector<Colour>{{255, 255, 255}, {0, 0, 0}}));

  ASSERT_TRUE(judged.geometry.has_value());
  EXPECT_EQ(judged.geometry->modules, 4 * version + 17);
  EXPECT_GE(judged.geometry->quietZoneModules, 5);
  EXPECT_TRUE(judged.geometry->uniformModules);
  EXPECT_EQ(judged.geometry->modulePixels, 500 / (4 * version + 17 + 10));

  ASSERT_TRUE(judged.reading.found);
  EXPECT_EQ(judged.reading.text, text);
  EXPECT_EQ(judged.reading.bytes, text);
  EXPECT_EQ(judged.reading.ecLevel, kLevelNames[level]);
  EXPECT_EQ(judged.reading.hasEci, !isAscii(text));
}

std::vector<TableCase> allVersionsAndLevels() {
  std::vector<TableCase> cases;
  for (int version = 1; version <= 40; ++version)
    for (int level = 0; level < 4; ++level) cases.push_back({version, level});
  return cases;
}

INSTANTIATE_TEST_SUITE_P(AllVersions, SymbolTable, testing::ValuesIn(allVersionsAndLevels()),
                         [](const testing::TestParamInfo<TableCase>& info) {
                           return "Version" + std::to_string(info.param.version) +
                                  kLevelNames[info.param.level];
                         });

struct ContentCase {
  const char* name;
  std::optional<std::string> message;  // code page; nullopt passes null
  std::string bytes;                   // what the reader must return
  bool readAsText;                     // the bytes are valid UTF-8, so the text must match too
  int modules;                         // 0: any
};

void PrintTo(const ContentCase& row, std::ostream* out) {
  *out << row.name;
}

std::string chinese120Bytes() {
  std::string text;
  for (const std::string& character : characters("二维码生成器把文字变成图片"))
    if (text.size() < 3 * 60) text += character;
  while (text.size() < 3 * 60) text += "码";
  return text;  // 60 characters, 120 bytes in the code page
}

const std::string kInvalidMixed = gb18030("中") + "\xFF" + gb18030("文") + "\x80";

class Contents : public testing::TestWithParam<ContentCase> {
 protected:
  TemporaryDirectory directory;
};

TEST_P(Contents, ReadBackExactly) {
  const ContentCase& row = GetParam();
  Request request;
  request.message = row.message;
  const std::string path = directory.file("a.bmp");
  ASSERT_NE(generate(kLinkedLibrary, request, path), 0);
  const Judgement judged = judgeFile(path);
  ASSERT_TRUE(judged.geometry.has_value());
  if (row.modules != 0) {
    EXPECT_EQ(judged.geometry->modules, row.modules);
  }
  ASSERT_TRUE(judged.reading.found);
  EXPECT_EQ(judged.reading.bytes, row.bytes);
  if (row.readAsText) {
    EXPECT_EQ(judged.reading.text, row.bytes);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Table, Contents,
    testing::Values(
        ContentCase{"NullMessage", std::nullopt, "", true, 21},
        ContentCase{"EmptyMessage", "", "", true, 21},
        ContentCase{"Chinese", gb18030("二维码生成器"), "二维码生成器", true, 0},
        ContentCase{"ShortChinese", gb18030("你好"), "你好", true, 21},
        ContentCase{"Emoji", gb18030("笑😀"), "笑😀", true, 0},
        ContentCase{"LineBreaks", gb18030("第一行\r\n第二行"), "第一行\r\n第二行", true, 0},
        ContentCase{"AsciiLineBreaks", "line 1\r\nline 2\r\n", "line 1\r\nline 2\r\n", true, 0},
        ContentCase{"Chinese120Bytes", gb18030(chinese120Bytes()), chinese120Bytes(), true, 0},
        ContentCase{"Ascii120Bytes", std::string(118, 'x') + "\r\n", std::string(118, 'x') + "\r\n",
                    true, 0},
        ContentCase{"MultiplicationSign", "\xA1\xC1", "×", true, 21},
        // Bytes outside the code page travel as they are.
        ContentCase{"InvalidBytesCarried", kInvalidMixed, "中\xFF文\x80", false, 0}),
    [](const testing::TestParamInfo<ContentCase>& info) { return std::string(info.param.name); });

// zbar, a second reader with its own decoder, on a smaller table. It reads pictures through
// ImageMagick, so this also shows that ImageMagick takes the files.
struct ZbarCase {
  const char* name;
  std::string text;  // UTF-8
  int version;
  int level;
};

void PrintTo(const ZbarCase& row, std::ostream* out) {
  *out << row.name;
}

class ZbarReadings : public testing::TestWithParam<ZbarCase> {
 protected:
  TemporaryDirectory directory;
};

TEST_P(ZbarReadings, MatchTheText) {
  if (!hasTool("zbarimg")) GTEST_SKIP() << "zbarimg is not installed";
  const ZbarCase& row = GetParam();
  Request request;
  request.message = gb18030(row.text);
  request.version = row.version;
  request.level = row.level;
  const std::string path = directory.file("a.bmp");
  ASSERT_NE(generate(kLinkedLibrary, request, path), 0);
  const auto output = runTool({"zbarimg", "-q", "--raw", path});
  ASSERT_TRUE(output.has_value()) << "zbar found no symbol";
  EXPECT_EQ(*output, row.text + "\n");
}

INSTANTIATE_TEST_SUITE_P(
    Table, ZbarReadings,
    testing::Values(ZbarCase{"Ascii", "Hello, World!", 0, 0},
                    ZbarCase{"ShortChinese", "你好", 0, 0},
                    ZbarCase{"ChineseWithDigits", "订单号 2024061112345678 已发货", 0, 1},
                    ZbarCase{"Emoji", "笑😀", 0, 2}, ZbarCase{"LineBreaks", "一\r\n二", 0, 3},
                    ZbarCase{"Url", "https://example.com/二维码?id=42", 0, 0},
                    ZbarCase{"Chinese120Bytes", chinese120Bytes(), 0, 3},
                    ZbarCase{"TwoPixelModules", "二维码 version 40", 40, 0}),
    [](const testing::TestParamInfo<ZbarCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace qrcodewin32::test
