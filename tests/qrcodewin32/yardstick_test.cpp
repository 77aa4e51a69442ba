// SPDX-License-Identifier: MIT
// The automatic version against two other encoders' for the same text and level: ours must
// never be larger.
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>

#include "qrcodewin32/payload.h"
#include "qrcodewin32/symbol.h"
#include "support/fixtures.h"
#include "support/tools.h"

namespace qrcodewin32::test {
namespace {

constexpr const char* kLevelNames[] = {"L", "M", "Q", "H"};

// Both tools print one line per module row.
std::optional<int> versionFromRows(const std::optional<std::string>& output) {
  if (!output) return std::nullopt;
  const auto rows = static_cast<int>(std::count(output->begin(), output->end(), '\n'));
  if (rows < 21 || (rows - 17) % 4 != 0) return std::nullopt;
  return (rows - 17) / 4;
}

bool isAscii(std::string_view text) {
  return std::all_of(text.begin(), text.end(),
                     [](char byte) { return static_cast<unsigned char>(byte) < 0x80; });
}

std::optional<int> zintVersion(const std::string& text, int level) {
  std::vector<std::string> arguments = {"zint", "-b", "58", "--secure=" + std::to_string(level + 1),
                                        "--dump"};
  // Without an ECI zint would not encode Chinese as UTF-8; plain ASCII needs none.
  if (!isAscii(text)) arguments.push_back("--eci=26");
  arguments.push_back("--data=" + text);
  return versionFromRows(runTool(arguments));
}

std::optional<int> qrencodeVersion(const std::string& text, int level, bool allBytes) {
  std::vector<std::string> arguments = {
      "qrencode", "-l", kLevelNames[level], "-m", "0", "-t", "ASCII", "-o", "-"};
  if (allBytes) arguments.push_back("-8");
  arguments.push_back(text);
  return versionFromRows(runTool(arguments));
}

struct YardstickCase {
  const char* name;
  std::string text;  // UTF-8
};

void PrintTo(const YardstickCase& row, std::ostream* out) {
  *out << row.name;
}

class Yardsticks : public testing::TestWithParam<YardstickCase> {};

TEST_P(Yardsticks, AutomaticVersionIsNeverLarger) {
  const bool haveZint = hasTool("zint"), haveQrencode = hasTool("qrencode");
  if (!haveZint && !haveQrencode) GTEST_SKIP() << "neither zint nor qrencode is installed";
  const std::string& text = GetParam().text;
  const auto payload = payloadFromCodePage(gb18030(text));
  ASSERT_TRUE(payload.has_value());
  for (int level = 0; level < 4; ++level) {
    SCOPED_TRACE(testing::Message() << "level " << kLevelNames[level]);
    const auto plan = planSymbol(*payload, static_cast<Level>(level), kMinimumVersion);
    const auto zint = haveZint ? zintVersion(text, level) : std::nullopt;
    if (zint) {
      ASSERT_TRUE(plan.has_value()) << "zint fits it in version " << *zint;
      EXPECT_LE(plan->version, *zint) << "zint";
    }
    // Without ECI support qrencode is a fair comparison for ASCII only.
    if (!haveQrencode || !isAscii(text)) continue;
    for (bool allBytes : {false, true}) {
      if (const auto qrencode = qrencodeVersion(text, level, allBytes)) {
        ASSERT_TRUE(plan.has_value()) << "qrencode fits it in version " << *qrencode;
        EXPECT_LE(plan->version, *qrencode) << (allBytes ? "qrencode -8" : "qrencode");
      }
    }
  }
}

std::string repeated(std::string_view piece, int count) {
  std::string text;
  for (int index = 0; index < count; ++index) text += piece;
  return text;
}

INSTANTIATE_TEST_SUITE_P(
    Table, Yardsticks,
    testing::Values(
        YardstickCase{"ShortDigits", "0123456789"},
        YardstickCase{"ManyDigits", repeated("31415926535897932384", 60)},
        YardstickCase{"UpperCaseAndDigits", "ORDER 2024-06-11 NO. 000123456789 QTY 42"},
        YardstickCase{"LongUpperCaseAndDigits", repeated("ABC123456789DEF ", 40)},
        YardstickCase{"MixedAscii", "Hello, World! Call +86 10 1234 5678 before 18:00."},
        YardstickCase{"MixedAsciiWithLineBreaks", "Name: Li Lei\r\nTel: 13800138000\r\nID 42"},
        YardstickCase{"Url", "https://example.com/path/to/page?id=1234567890&lang=zh-CN"},
        YardstickCase{"UpperCaseUrl", "HTTPS://EXAMPLE.COM/QR/0123456789"},
        YardstickCase{"ShortChinese", "你好"},
        YardstickCase{"Chinese", "二维码生成器把文字变成图片，保存到程序所在的文件夹。"},
        YardstickCase{"Chinese120Bytes", repeated("二维码生成器把文字变成图片", 5).substr(0, 180)},
        YardstickCase{"ChineseWithDigits", "订单号 20240611123456789012 已发货，电话 13800138000"},
        YardstickCase{"ChineseUrl", "https://example.com/搜索?q=二维码&page=12345678"},
        YardstickCase{"LongChinese", repeated("中文文本与数字123456混合", 60)}),
    [](const testing::TestParamInfo<YardstickCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace qrcodewin32::test
