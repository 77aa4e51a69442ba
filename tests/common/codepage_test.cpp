// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <string>

#include "common/codepage.h"

namespace {

namespace codepage = qr::codepage;

struct RoundTrip {
  const char* name;
  const char* utf8;
  const char* codepage;
};

// Expected bytes are written out so a wrong table in the converter shows.
const RoundTrip kRoundTrips[] = {
    {"ascii", "a.bmp", "a.bmp"},
    {"gbk", "自动", "\xD7\xD4\xB6\xAF"},
    {"multiplication sign", "×", "\xA1\xC1"},
    {"fullwidth quotes", "“”", "\xA1\xB0\xA1\xB1"},
    {"crlf", "a\r\nb", "a\r\nb"},
    {"emoji takes four bytes", "😀", "\x94\x39\xFC\x36"},
    {"euro sign", "€", "\xA2\xE3"},
};

TEST(Codepage, RoundTripsExactly) {
  for (const RoundTrip& c : kRoundTrips) {
    SCOPED_TRACE(c.name);
    const qr::Text bytes = codepage::fromUtf8(c.utf8);
    EXPECT_EQ(bytes.view(), std::string_view(c.codepage));
    EXPECT_EQ(codepage::toUtf8(c.codepage), c.utf8);
    EXPECT_EQ(codepage::encodedSize(c.utf8), std::string_view(c.codepage).size());
  }
}

TEST(Codepage, EmptyIsNull) {
  EXPECT_TRUE(codepage::fromUtf8("").isNull());
  EXPECT_EQ(codepage::toUtf8(""), "");
}

TEST(Codepage, InvalidInputIsReplacedNotDropped) {
  struct Case {
    const char* name;
    std::string input;
    std::string expected;
  };
  const Case toUtf8Cases[] = {
      {"lone 0x80", "a\x80z", "a\xEF\xBF\xBDz"},
      {"truncated double-byte", "a\xB0", "a\xEF\xBF\xBD"},
      {"0xFF", "\xFF", "\xEF\xBF\xBD"},
  };
  for (const Case& c : toUtf8Cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(codepage::toUtf8(c.input), c.expected);
  }
  // A lone surrogate encoded as UTF-8 becomes one U+FFFD, in GB18030 form.
  EXPECT_EQ(codepage::fromUtf8("a\xED\xA0\x80z").view(), std::string_view("a\x84\x31\xA4\x37z"));
}

}  // namespace
