// SPDX-License-Identifier: MIT
// The edit box's cut on its own: what an insertion loses so the text keeps within its limit.
#include <gtest/gtest.h>

#include <QString>

#include "toolkit/edit_limit.h"

namespace {

QString units(std::initializer_list<char16_t> list) {
  return QString::fromUtf16(list.begin(), static_cast<qsizetype>(list.size()));
}

TEST(EditLimit, CutsTheInsertionAtACharacterBoundary) {
  const QString a119 = QString(119, QLatin1Char('a'));
  const QString emoji = QStringLiteral("😀");
  struct Case {
    const char* name;
    QString text;
    qsizetype position;
    qsizetype added;
    std::size_t limit;
    toolkit::TextRange expected;
    bool fitsAfter = true;  // false where the rest alone is over the limit
  };
  const Case cases[] = {
      {"fits whole", QStringLiteral("abc"), 1, 2, 3, {}},
      {"ASCII cut at the limit", QStringLiteral("abcdef"), 2, 4, 4, {4, 6}},
      {"double-byte not split", a119 + QStringLiteral("中"), 119, 1, 120, {119, 120}},
      {"line break counts two", QStringLiteral("ab\nc"), 2, 2, 3, {2, 4}},
      {"surrogate pair kept whole or not at all",
       QStringLiteral("a") + emoji + emoji,
       1,
       4,
       5,
       {3, 5}},
      {"rest already too long", QStringLiteral("abcdef"), 5, 1, 3, {5, 6}, false},
      // The document reports one unit more than the text holds when all of it is replaced.
      {"insertion reported past the end", QString(100, QChar(0x4E2D)), 0, 101, 120, {60, 100}},
      {"position past the end", QStringLiteral("abcd"), 7, 2, 2, {4, 4}, false},
      // A lone high surrogate left at the end of what is kept pairs with the low one after the
      // insertion: two '?' become one four-byte character.
      {"lone surrogates pairing across the cut",
       units({0xD83D, 0xD83D, 'y', 0xDE00}),
       0,
       3,
       3,
       {0, 3}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const toolkit::TextRange cut =
        toolkit::overflowOfInsertion(c.text, c.position, c.added, c.limit);
    EXPECT_EQ(cut.isEmpty(), c.expected.isEmpty());
    if (!c.expected.isEmpty()) {
      EXPECT_EQ(cut.begin, c.expected.begin);
      EXPECT_EQ(cut.end, c.expected.end);
    }
    QString kept = c.text;
    kept.remove(cut.begin, cut.end - cut.begin);
    if (c.fitsAfter) {
      EXPECT_LE(toolkit::editBytes(kept), c.limit);
    }
  }
}

}  // namespace
