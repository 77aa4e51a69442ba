// SPDX-License-Identifier: MIT
// Fuzz entry for the code page and the edit box's byte limit. Every input is read three ways:
// as code-page bytes, as UTF-8, and as an insertion into an edit box (its first bytes say where,
// how much and under which limit).
//
// Properties: conversions always give well-formed output; valid input survives the round trip
// both ways; encodedSize() agrees with fromUtf8(); the edit box's cut keeps the text within its
// limit, lies inside the insertion, never parts a surrogate pair or a code-page character, and
// keeps as much as fits.
#include <iconv.h>

#include <QString>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include "common/codepage.h"
#include "toolkit/edit_limit.h"

namespace {

[[noreturn]] void failCheck(const char* what) {
  std::fprintf(stderr, "codepage_fuzz: %s\n", what);
  std::abort();
}

void check(bool holds, const char* what) {
  if (!holds) failCheck(what);
}

// Well-formed UTF-8: shortest forms, no surrogates, nothing above U+10FFFF.
bool isWellFormedUtf8(std::string_view text) {
  std::size_t at = 0;
  while (at < text.size()) {
    const auto lead = static_cast<unsigned char>(text[at]);
    std::size_t length = 0;
    char32_t value = 0;
    if (lead < 0x80) {
      ++at;
      continue;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
      length = 2;
      value = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
      length = 3;
      value = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
      length = 4;
      value = lead & 0x07;
    } else {
      return false;
    }
    if (text.size() - at < length) return false;
    for (std::size_t index = 1; index < length; ++index) {
      const auto next = static_cast<unsigned char>(text[at + index]);
      if ((next & 0xC0) != 0x80) return false;
      value = value << 6 | (next & 0x3F);
    }
    constexpr char32_t smallest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (value < smallest[length] || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
      return false;
    at += length;
  }
  return true;
}

// The code-page bytes as UTF-8 by iconv alone, or nullopt when they are not valid GB18030.
std::optional<std::string> strictlyToUtf8(std::string_view input) {
  static const iconv_t handle = iconv_open("UTF-8", "GB18030");
  if (handle == reinterpret_cast<iconv_t>(-1)) std::abort();
  iconv(handle, nullptr, nullptr, nullptr, nullptr);
  std::string output(input.size() * 4 + 4, '\0');
  char* in = const_cast<char*>(input.data());
  std::size_t inLeft = input.size();
  char* out = output.data();
  std::size_t outLeft = output.size();
  if (iconv(handle, &in, &inLeft, &out, &outLeft) == static_cast<std::size_t>(-1)) return {};
  if (iconv(handle, nullptr, nullptr, &out, &outLeft) == static_cast<std::size_t>(-1)) return {};
  output.resize(output.size() - outLeft);
  return output;
}

void checkFromCodepage(std::string_view bytes) {
  const std::string utf8 = qr::codepage::toUtf8(bytes);
  check(isWellFormedUtf8(utf8), "toUtf8 gave malformed UTF-8");
  const std::optional<std::string> expected = strictlyToUtf8(bytes);
  if (!expected) return;
  check(utf8 == *expected, "toUtf8 differs from iconv on valid input");
  check(qr::codepage::fromUtf8(utf8).view() == bytes, "code page to UTF-8 and back differs");
}

void checkFromUtf8(std::string_view utf8) {
  const qr::Text bytes = qr::codepage::fromUtf8(utf8);
  check(bytes.isNull() == utf8.empty(), "fromUtf8 null for a non-empty text, or not for \"\"");
  check(qr::codepage::encodedSize(utf8) == bytes.size(), "encodedSize disagrees with fromUtf8");
  check(strictlyToUtf8(bytes.view()).has_value(), "fromUtf8 gave invalid bytes");
  if (!isWellFormedUtf8(utf8)) return;
  check(qr::codepage::toUtf8(bytes.view()) == utf8, "UTF-8 to code page and back differs");
}

// ---- The edit box's cut --------------------------------------------------------------------

QString remove(QString text, toolkit::TextRange range) {
  return text.remove(range.begin, range.end - range.begin);
}

bool partsPair(const QString& text, qsizetype at) {
  return at > 0 && at < text.size() && text.at(at - 1).isHighSurrogate() &&
         text.at(at).isLowSurrogate();
}

bool hasLoneSurrogate(const QString& text) {
  for (qsizetype at = 0; at < text.size(); ++at) {
    if (text.at(at).isHighSurrogate() && at + 1 < text.size() && text.at(at + 1).isLowSurrogate())
      ++at;
    else if (text.at(at).isSurrogate())
      return true;
  }
  return false;
}

void checkCut(const std::uint8_t* data, std::size_t size) {
  if (size < 6) return;
  // The limit the program uses, mostly; any other small one now and then.
  const std::size_t limit = data[0] < 128 ? 120 : data[0] - 128;
  const bool rawUnits = (data[1] & 1) != 0;
  const std::size_t wantedPosition = data[2] | data[3] << 8;
  const std::size_t wantedAdded = data[4] | data[5] << 8;
  data += 6;
  size -= 6;
  const QString text =
      rawUnits
          ? QString(reinterpret_cast<const QChar*>(data), static_cast<qsizetype>(size / 2))
          : QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  // Positions a little past the end too: the document reports such insertions.
  const qsizetype position = static_cast<qsizetype>(wantedPosition % (text.size() + 2));
  const qsizetype added = static_cast<qsizetype>(wantedAdded % (text.size() + 3));

  const toolkit::TextRange cut = toolkit::overflowOfInsertion(text, position, added, limit);
  const qsizetype begin = std::min(position, text.size());
  const qsizetype end = std::min(position + added, text.size());
  if (toolkit::editBytes(text) <= limit) {
    check(cut.isEmpty(), "a text within the limit was cut");
    return;
  }
  if (cut.isEmpty()) {
    check(begin == end, "a text over the limit was left whole");
    return;
  }
  check(cut.begin >= begin && cut.end == end, "the cut lies outside the insertion");

  const QString rest = remove(text, {begin, end});
  const QString kept = remove(text, cut);
  if (toolkit::editBytes(rest) <= limit)
    check(toolkit::editBytes(kept) <= limit, "the cut leaves the text over the limit");
  // Where the insertion's own edges part no pair, neither does the cut.
  if (!partsPair(text, begin) && !partsPair(text, end))
    check(!partsPair(text, cut.begin), "the cut parts a surrogate pair");

  // As code-page bytes, what is kept is the start of the insertion: no character is cut apart.
  const QString insertion = text.mid(begin, end - begin);
  const QString keptInsertion = text.mid(begin, cut.begin - begin);
  const qr::Text insertionBytes = qr::codepage::fromUtf8(insertion.toStdString());
  const qr::Text keptBytes = qr::codepage::fromUtf8(keptInsertion.toStdString());
  check(insertionBytes.view().starts_with(keptBytes.view()), "the cut parts a character");

  // As much as fits: one more whole character would not. Lone surrogates, or an insertion that
  // parts a pair (the document never reports one), may pair up across the cut, which counting
  // each character alone cannot foresee; the cut then keeps less, never more.
  const bool wellFormed =
      !hasLoneSurrogate(text) && !partsPair(text, begin) && !partsPair(text, end);
  if (cut.begin < end && toolkit::editBytes(rest) <= limit && wellFormed) {
    const qsizetype next = text.at(cut.begin).isHighSurrogate() && cut.begin + 1 < end ? 2 : 1;
    check(toolkit::editBytes(remove(text, {cut.begin + next, end})) > limit,
          "the cut removes more than it must");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  // A text ends at its first NUL, as every text the program passes on does.
  const std::string_view text = bytes.substr(0, bytes.find('\0'));
  checkFromCodepage(text);
  checkFromUtf8(text);
  checkCut(data, size);
  return 0;
}
