// SPDX-License-Identifier: MIT
#include "common/codepage.h"

#include <iconv.h>

#include <cerrno>
#include <cstdlib>

namespace qr::codepage {
namespace {

constexpr std::string_view kReplacementUtf8 = "\xEF\xBF\xBD";
constexpr std::string_view kReplacementCodepage = "\x84\x31\xA4\x37";

// One converter per direction, opened on first use and kept: iconv_open reads
// tables and is far slower than the conversions themselves.
class Converter {
 public:
  Converter(const char* to, const char* from) : handle_(iconv_open(to, from)) {
    if (handle_ == reinterpret_cast<iconv_t>(-1)) std::abort();  // glibc always has both
  }
  ~Converter() { iconv_close(handle_); }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  // Converts all of `input`; each invalid or incomplete sequence is skipped by
  // `skip` bytes and stands as `replacement` in the output.
  std::string convert(std::string_view input, std::string_view replacement,
                      std::size_t (*skip)(std::string_view rest)) {
    std::string output;
    output.reserve(input.size() * 2);
    iconv(handle_, nullptr, nullptr, nullptr, nullptr);
    char* in = const_cast<char*>(input.data());
    std::size_t inLeft = input.size();
    char buffer[256];
    while (inLeft > 0) {
      char* out = buffer;
      std::size_t outLeft = sizeof buffer;
      const std::size_t result = iconv(handle_, &in, &inLeft, &out, &outLeft);
      output.append(buffer, static_cast<std::size_t>(out - buffer));
      if (result != static_cast<std::size_t>(-1) || errno == E2BIG) continue;
      // EILSEQ or EINVAL: an invalid or truncated sequence at `in`.
      const std::size_t step = skip(std::string_view(in, inLeft));
      in += step;
      inLeft -= step;
      output.append(replacement);
      iconv(handle_, nullptr, nullptr, nullptr, nullptr);
    }
    return output;
  }

 private:
  iconv_t handle_;
};

std::size_t skipOneByte(std::string_view) {
  return 1;
}

// A malformed UTF-8 sequence is skipped as its lead byte plus the continuation
// bytes that follow it, so one bad character gives one replacement.
std::size_t skipUtf8Sequence(std::string_view rest) {
  std::size_t step = 1;
  while (step < rest.size() && step < 4 && (static_cast<unsigned char>(rest[step]) & 0xC0) == 0x80)
    ++step;
  return step;
}

Converter& toUtf8Converter() {
  thread_local Converter converter("UTF-8", "GB18030");
  return converter;
}

Converter& fromUtf8Converter() {
  thread_local Converter converter("GB18030", "UTF-8");
  return converter;
}

}  // namespace

std::string toUtf8(std::string_view bytes) {
  return toUtf8Converter().convert(bytes, kReplacementUtf8, skipOneByte);
}

Text fromUtf8(std::string_view utf8) {
  if (utf8.empty()) return {};
  const std::string converted =
      fromUtf8Converter().convert(utf8, kReplacementCodepage, skipUtf8Sequence);
  return Text::copy(converted);
}

std::size_t encodedSize(std::string_view utf8) {
  return fromUtf8Converter().convert(utf8, kReplacementCodepage, skipUtf8Sequence).size();
}

}  // namespace qr::codepage
