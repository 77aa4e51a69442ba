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
  const QString inserted = text.mid(position, added);
  const std::size_t others = total - editBytes(inserted);
  const std::size_t budget = others < limit ? limit - others : 0;
  // Keep the longest run of whole characters that fits.
  qsizetype keep = 0;
  std::size_t used = 0;
  while (keep < inserted.size()) {
    const qsizetype length =
        inserted.at(keep).isHighSurrogate() && keep + 1 < inserted.size() ? 2 : 1;
    const std::size_t bytes = editBytes(inserted.mid(keep, length));
    if (used + bytes > budget) break;
    used += bytes;
    keep += length;
  }
  return {position + keep, position + added};
}

}  // namespace toolkit
