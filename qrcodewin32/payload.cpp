// SPDX-License-Identifier: MIT
#include "qrcodewin32/payload.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>

namespace qrcodewin32 {
namespace {

// Opened on first use and kept: opening reads conversion tables, far slower than converting.
class Gb18030ToUtf8 {
 public:
  Gb18030ToUtf8() : handle_(iconv_open("UTF-8", "GB18030")) {
    if (handle_ == reinterpret_cast<iconv_t>(-1)) {
      // glibc always carries this converter; without it the library cannot do its work.
      std::fputs("QRCodeWin32: iconv has no GB18030 to UTF-8 converter\n", stderr);
      std::abort();
    }
  }
  ~Gb18030ToUtf8() { iconv_close(handle_); }
  Gb18030ToUtf8(const Gb18030ToUtf8&) = delete;
  Gb18030ToUtf8& operator=(const Gb18030ToUtf8&) = delete;

  std::string convert(std::string_view input) {
    std::string output;
    output.reserve(input.size() * 2);
    iconv(handle_, nullptr, nullptr, nullptr, nullptr);
    char* in = const_cast<char*>(input.data());
    std::size_t inLeft = input.size();
    char buffer[512];
    while (inLeft > 0) {
      char* out = buffer;
      std::size_t outLeft = sizeof buffer;
      const std::size_t result = iconv(handle_, &in, &inLeft, &out, &outLeft);
      output.append(buffer, static_cast<std::size_t>(out - buffer));
      if (result != static_cast<std::size_t>(-1) || errno == E2BIG) continue;
      // An invalid or truncated sequence starts at `in`: its first byte goes through as it is
      // and conversion resumes right after it.
      output.push_back(*in);
      ++in;
      --inLeft;
      iconv(handle_, nullptr, nullptr, nullptr, nullptr);
    }
    return output;
  }

 private:
  iconv_t handle_;
};

bool isAscii(std::string_view bytes) {
  return std::all_of(bytes.begin(), bytes.end(),
                     [](char byte) { return static_cast<unsigned char>(byte) < 0x80; });
}

}  // namespace

std::optional<Payload> payloadFromCodePage(std::string_view message) {
  if (isAscii(message)) {
    if (message.size() > kMaximumPayloadBytes) return std::nullopt;
    return Payload{std::string(message), Eci::None};
  }
  // A GB18030 character takes at most twice the bytes of its UTF-8 form (four-byte sequences
  // for U+0080..U+07FF become two), so a longer message cannot come out short enough.
  if (message.size() > 2 * kMaximumPayloadBytes) return std::nullopt;
  static Gb18030ToUtf8 converter;
  Payload payload{converter.convert(message), Eci::Utf8};
  if (payload.bytes.size() > kMaximumPayloadBytes) return std::nullopt;
  return payload;
}

}  // namespace qrcodewin32
