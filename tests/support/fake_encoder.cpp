// SPDX-License-Identifier: MIT
// A stand-in for the encoder library that records every call, one line each,
// in the file named by QRGEN_FAKE_LOG, and writes a plain 500 x 500 black
// picture on QRSaveAsBMP. QRGEN_FAKE_SAVE=fail makes QRSaveAsBMP write nothing
// and report failure. Built once per omitted entry point (OMIT_ENTRY) too.
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#define EXPORT extern "C" __attribute__((visibility("default")))

namespace {

void record(const char* format, ...) __attribute__((format(printf, 1, 2)));

void record(const char* format, ...) {
  const char* path = std::getenv("QRGEN_FAKE_LOG");
  if (!path) return;
  FILE* log = std::fopen(path, "a");
  if (!log) return;
  va_list arguments;
  va_start(arguments, format);
  std::vfprintf(log, format, arguments);
  va_end(arguments);
  std::fputc('\n', log);
  std::fclose(log);
}

[[maybe_unused]] void put32(std::vector<std::uint8_t>& out, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

[[maybe_unused]] void put16(std::vector<std::uint8_t>& out, std::uint16_t value) {
  out.push_back(static_cast<std::uint8_t>(value));
  out.push_back(static_cast<std::uint8_t>(value >> 8));
}

}  // namespace

#ifndef OMIT_QRSetMessage
EXPORT int QRSetMessage(const char* text) {
  if (!text) {
    record("QRSetMessage null");
    return 1;
  }
  // Hex, so line breaks and code-page bytes survive the log.
  char hex[1024] = "";
  for (std::size_t i = 0; text[i] && i < 500; ++i)
    std::snprintf(hex + 2 * i, 3, "%02X", static_cast<unsigned char>(text[i]));
  record("QRSetMessage %s", hex);
  return 1;
}
#endif

#ifndef OMIT_QRSetBackColor
EXPORT int QRSetBackColor(int red, int green, int blue) {
  record("QRSetBackColor %d %d %d", red, green, blue);
  return 1;
}
#endif

#ifndef OMIT_QRSetBarColor
EXPORT int QRSetBarColor(int red, int green, int blue) {
  record("QRSetBarColor %d %d %d", red, green, blue);
  return 1;
}
#endif

#ifndef OMIT_QRConfigure
EXPORT int QRConfigure(int version, int level, int third) {
  record("QRConfigure %d %d %d", version, level, third);
  return 1;
}
#endif

#ifndef OMIT_QRAppearance
EXPORT int QRAppearance(double first, int second, int third) {
  record("QRAppearance %g %d %d", first, second, third);
  return 1;
}
#endif

#ifndef OMIT_QRSetSize
EXPORT int QRSetSize(int width, int height) {
  record("QRSetSize %d %d", width, height);
  return 1;
}
#endif

#ifndef OMIT_QRSaveAsBMP
EXPORT int QRSaveAsBMP(const char* path) {
  record("QRSaveAsBMP %s", path ? path : "null");
  const char* mode = std::getenv("QRGEN_FAKE_SAVE");
  if (mode && std::strcmp(mode, "fail") == 0) return 0;
  // 24-bit, bottom-up, 500 x 500, every pixel black.
  constexpr std::uint32_t kSide = 500, kRow = kSide * 3, kPixels = kRow * kSide;
  std::vector<std::uint8_t> bmp{'B', 'M'};
  put32(bmp, 54 + kPixels);
  put32(bmp, 0);
  put32(bmp, 54);
  put32(bmp, 40);
  put32(bmp, kSide);
  put32(bmp, kSide);
  put16(bmp, 1);
  put16(bmp, 24);
  for (int i = 0; i < 6; ++i) put32(bmp, 0);
  bmp.resize(bmp.size() + kPixels, 0);
  FILE* file = path ? std::fopen(path, "wb") : nullptr;
  if (!file) return 0;
  const bool ok = std::fwrite(bmp.data(), 1, bmp.size(), file) == bmp.size();
  return std::fclose(file) == 0 && ok;
}
#endif
