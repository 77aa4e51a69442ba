// SPDX-License-Identifier: MIT
// The edit box's byte limit, apart from the widget: how many code-page bytes a text takes and
// what of an insertion must go so the text keeps within the limit. Qt Core only.
#pragma once

#include <QString>

#include <cstddef>

namespace toolkit {

// Code-page bytes a text takes in an edit box, a line break ('\n') as CR LF. A lone surrogate
// counts as the '?' that Qt's conversion makes of it.
std::size_t editBytes(const QString& text);

// A range of UTF-16 units [begin, end) of a text; empty when begin == end.
struct TextRange {
  qsizetype begin = 0;
  qsizetype end = 0;
  bool isEmpty() const { return begin >= end; }
  bool operator==(const TextRange&) const = default;
};

// What to remove from `text` right after `added` UTF-16 units were inserted at `position` (the
// text holds the insertion) so that it takes at most `limit` bytes by editBytes(): nothing when
// the whole text fits; otherwise the tail of the insertion after the longest run of its first
// whole characters that fits beside the rest of the text, which is all of it when the rest is
// already too long. A surrogate pair is never cut apart. The insertion is taken as far as it
// lies inside the text, so the result always does: the document reports one unit more than
// the text holds when an insertion replaces all of it.
TextRange overflowOfInsertion(const QString& text, qsizetype position, qsizetype added,
                              std::size_t limit);

}  // namespace toolkit
