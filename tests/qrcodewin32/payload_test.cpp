// SPDX-License-Identifier: MIT
#include "qrcodewin32/payload.h"

#include <gtest/gtest.h>

#include "support/fixtures.h"

namespace qrcodewin32 {
namespace {

using test::gb18030;

struct PayloadCase {
  const char* name;
  std::string message;  // code page
  std::string bytes;    // what the symbol carries
  Eci eci;
};

void PrintTo(const PayloadCase& row, std::ostream* out) {
  *out << row.name;
}

class Payloads : public testing::TestWithParam<PayloadCase> {};

TEST_P(Payloads, CarryTheseBytes) {
  const PayloadCase& row = GetParam();
  const auto payload = payloadFromCodePage(row.message);
  ASSERT_TRUE(payload.has_value());
  EXPECT_EQ(payload->bytes, row.bytes);
  EXPECT_EQ(payload->eci, row.eci);
}

INSTANTIATE_TEST_SUITE_P(
    Table, Payloads,
    testing::Values(
        PayloadCase{"Empty", "", "", Eci::None},
        PayloadCase{"AsciiAsItIs", "Hello, World!\r\n~", "Hello, World!\r\n~", Eci::None},
        PayloadCase{"ControlBytesAreAscii", "\x01\x1b\x7f", "\x01\x1b\x7f", Eci::None},
        PayloadCase{"ChineseBecomesUtf8", gb18030("你好"), "你好", Eci::Utf8},
        PayloadCase{"TwoByteUtf8", "\xA1\xC1", "×", Eci::Utf8},
        PayloadCase{"FourByteSequenceOfU0080", "\x81\x30\x81\x30", "\xC2\x80", Eci::Utf8},
        PayloadCase{"Emoji", gb18030("笑😀"), "笑😀", Eci::Utf8},
        PayloadCase{"LineBreaksKept", gb18030("一\r\n二"), "一\r\n二", Eci::Utf8},
        // Bytes outside GB18030 go through unchanged, and what follows them still converts.
        PayloadCase{"Byte80Raw", "\x80", "\x80", Eci::Utf8},
        PayloadCase{"ByteFFRaw", "abc\xFF", "abc\xFF", Eci::Utf8},
        PayloadCase{"InvalidBetweenCharacters", gb18030("中") + "\xFF" + gb18030("文"), "中\xFF文",
                    Eci::Utf8},
        PayloadCase{"BadSecondByte", "\x81\x7F", "\x81\x7F", Eci::Utf8},
        PayloadCase{"TruncatedAtEnd", "A\xC4", "A\xC4", Eci::Utf8},
        PayloadCase{"TruncatedFourByteSequence", "\x81\x30x", "\x81\x30x", Eci::Utf8}),
    [](const testing::TestParamInfo<PayloadCase>& info) { return std::string(info.param.name); });

TEST(Payload, RefusesWhatNoSymbolHolds) {
  EXPECT_TRUE(payloadFromCodePage(std::string(kMaximumPayloadBytes, '1')).has_value());
  EXPECT_FALSE(payloadFromCodePage(std::string(kMaximumPayloadBytes + 1, '1')).has_value());

  // 2363 Chinese characters are 7089 UTF-8 bytes, one more is too many.
  std::string chinese;
  for (int count = 0; count < 2363; ++count) chinese += "\xD6\xD0";  // 中
  EXPECT_TRUE(payloadFromCodePage(chinese).has_value());
  EXPECT_FALSE(payloadFromCodePage(chinese + "\xD6\xD0").has_value());

  // Refused by its length alone, however it would convert.
  EXPECT_FALSE(payloadFromCodePage(std::string(2 * kMaximumPayloadBytes + 1, '\x81')).has_value());
}

}  // namespace
}  // namespace qrcodewin32
