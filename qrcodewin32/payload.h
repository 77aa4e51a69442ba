// SPDX-License-Identifier: MIT
// The bytes a symbol carries for a message in the program's code page (GB18030).
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace qrcodewin32 {

// How readers are told to interpret the byte segments.
enum class Eci { None, Utf8 };

struct Payload {
  std::string bytes;
  Eci eci = Eci::None;
  bool operator==(const Payload&) const = default;
};

// No symbol holds more: version 40 at level L takes 7089 digits, the densest data there is.
inline constexpr std::size_t kMaximumPayloadBytes = 7089;

// ASCII stays as it is, without ECI. Anything else becomes UTF-8 after ECI 26; bytes that are
// not valid GB18030 are copied unchanged. Returns nullopt when the result is longer than any
// symbol holds; such a message is refused before it is converted when its length alone says so.
// Throws std::bad_alloc.
std::optional<Payload> payloadFromCodePage(std::string_view message);

}  // namespace qrcodewin32
