// SPDX-License-Identifier: MIT
// Conversion between the program's code page (GB18030, a superset of GBK) and
// UTF-8, the encoding the platform layer speaks. Used only at that boundary.
#pragma once

#include <string>
#include <string_view>

#include "common/text.h"

namespace qr::codepage {

// Code-page bytes to UTF-8. A byte sequence that is not GB18030 becomes one
// U+FFFD per offending byte, so a display never loses its place.
std::string toUtf8(std::string_view bytes);

// UTF-8 to code-page bytes; null for empty input. GB18030 encodes every Unicode
// scalar value, so nothing is ever replaced by '?'; malformed UTF-8 (such as a
// lone surrogate) becomes U+FFFD.
Text fromUtf8(std::string_view utf8);

// How many code-page bytes the UTF-8 text takes: 1 for ASCII, 2 for GBK
// characters, 4 for the rest.
std::size_t encodedSize(std::string_view utf8);

}  // namespace qr::codepage
