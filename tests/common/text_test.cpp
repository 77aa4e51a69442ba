// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "common/codepage.h"
#include "common/text.h"

namespace {

using qr::ByteSet;
using qr::join;
using qr::numberToText;
using qr::Text;

TEST(Text, NullStandsForEmpty) {
  const Text none;
  EXPECT_TRUE(none.isNull());
  EXPECT_EQ(none.get(), nullptr);
  EXPECT_STREQ(none.c_str(), "");
  EXPECT_EQ(none.size(), 0u);
  EXPECT_TRUE(Text::copy("").isNull()) << "producers give null, not an empty block";
  Text released = Text::copy("x");
  released.reset();
  released.reset();  // releasing null does nothing
  EXPECT_TRUE(released.isNull());
}

TEST(Text, CopyIsTerminatedAndIndependent) {
  std::string source = "abc";
  const Text copy = Text::copy(source);
  source[0] = 'z';
  EXPECT_STREQ(copy.get(), "abc");
  EXPECT_EQ(copy.get()[3], '\0');
}

TEST(Join, PartsInOrderNullPartsCountZero) {
  const Text owned = Text::copy("C");
  const Text none;
  const char* nullPart = nullptr;
  struct Case {
    const char* name;
    Text result;
    const char* expected;
  };
  Case cases[] = {
      {"no parts", join({}), ""},
      {"only null parts", join({nullPart, none}), ""},
      {"mixed kinds", join({"A", std::string_view("B"), owned}), "ABC"},
      {"null parts skipped", join({"A", nullPart, none, "B"}), "AB"},
      {"embedded bytes kept", join({"\xB0\xE6", "_", "\xA1\xC1"}), "\xB0\xE6_\xA1\xC1"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_FALSE(c.result.isNull()) << "join always returns a block";
    EXPECT_STREQ(c.result.get(), c.expected);
  }
}

TEST(Join, BuildsTheVersionItemsFromSixParts) {
  const Text i = numberToText(40);
  const Text n = numberToText(177);
  const Text item = join({"版本_", i, "   ", n, "×", n});
  EXPECT_EQ(item.view(), "版本_40   177×177");
}

TEST(NumberToText, PlainDecimal) {
  struct Case {
    long long value;
    const char* expected;
  };
  const Case cases[] = {
      {0, "0"},
      {7, "7"},
      {10, "10"},
      {177, "177"},
      {-1, "-1"},
      {-40, "-40"},
      {INT_MAX, "2147483647"},
      {INT_MIN, "-2147483648"},
      {LLONG_MIN, "-9223372036854775808"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.value);
    EXPECT_STREQ(numberToText(c.value).get(), c.expected);
  }
}

TEST(ByteSet, EmptyIsNullAndCopyKeepsEveryByte) {
  EXPECT_EQ(ByteSet().data(), nullptr);
  EXPECT_EQ(ByteSet::copy("x", 0).data(), nullptr);
  const std::uint8_t bytes[] = {'B', 'M', 0, 0xFF, 0};
  const ByteSet set = ByteSet::copy(bytes, sizeof bytes);
  ASSERT_EQ(set.size(), sizeof bytes);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(set.data()), set.size()),
            std::string(reinterpret_cast<const char*>(bytes), sizeof bytes));
}

[[noreturn]] void exitWithMessage(const char* message) {
  std::fputs(qr::codepage::toUtf8(message).c_str(), stderr);
  std::exit(3);
}

TEST(AllocationDeath, ReachesTheFatalPathWithTheByteCount) {
  EXPECT_EXIT(
      {
        qr::setFatalHandler(exitWithMessage);
        // More than any address space holds: malloc must refuse it.
        (void)qr::allocate(SIZE_MAX / 2);
      },
      testing::ExitedWithCode(3), "分配 9223372036854775807 字节内存失败!");
}

}  // namespace
