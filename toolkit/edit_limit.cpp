// SPDX-License-Identifier: MIT
#include "toolkit/edit_limit.h"

#include <algorithm>

#include "common/codepage.h"

namespace toolkit {

std::size_t editBytes(const QString& text) {
  std::size_t lineBreaks = static_cast<std::size_t>(text.count(QLatin1Char('\n')));
  // Each '\n' stands for CR LF: one byte here, one more for the CR.
  return qr::codepage::encodedSize(text.toStdString()) + lineBreaks;
}

TextRange overflowOfInsertion(const QString& text, qsizetype position, qsizetype added,
                              std::size_t limit) {
  const std::size_t total = editBytes(text);
  if (total <= limit) return {};
  position = std::clamp<qsizetype>(position, 0, text.size());
  added = std::clamp<qsizetype>(added, 0, text.size() - position);
  const QString inserted = text.mid(position, added);
  const std::size_t others = total - editBytes(inserted);
  const std::size_t budget = others < limit ? limit - others : 0;
  // Keep the longest run of whole characters that fits.
  const auto characterLength = [&inserted](qsizetype at) -> qsizetype {
    return inserted.at(at).isHighSurrogate() && at + 1 < inserted.size() &&
                   inserted.at(at + 1).isLowSurrogate()
               ? 2
               : 1;
  };
  qsizetype keep = 0;
  std::size_t used = 0;
  while (keep < inserted.size()) {
    const qsizetype length = characterLength(keep);
    const std::size_t bytes = editBytes(inserted.mid(keep, length));
    if (used + bytes > budget) break;
    used += bytes;
    keep += length;
  }
  // Counting each character alone is exact for well-formed text. Lone surrogates may pair up
  // with their neighbours once the tail is gone and take more: give back characters until the
  // text really fits.
  const QString before = text.left(position);
  const QString after = text.mid(position + added);
  while (keep > 0 && editBytes(before + inserted.left(keep) + after) > limit) {
    qsizetype start = 0;
    while (start + characterLength(start) < keep) start += characterLength(start);
    keep = start;
  }
  return {position + keep, position + added};
}

}  // namespace toolkit
