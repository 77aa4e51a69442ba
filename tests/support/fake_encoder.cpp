// SPDX-License-Identifier: MIT
// A stand-in for the encoder library that records every call, one line each,
// in the file named by QRGEN_FAKE_LOG, and writes a plain 500 x 500 black
// picture on QRSaveAsBMP. Built once per omitted entry point (OMIT_ENTRY) too.
//
// QRGEN_FAKE_SAVE lists, comma-separated, what each QRSaveAsBMP call does in
// turn; the last item repeats. Without it every call writes the picture.
//   picture      the 500 x 500 black picture, reported as written
//   fail         nothing written, failure reported
// The rest report success but leave at the path what another process could
// have put there between the write and the program's read-back:
//   garbage      "BM" and 64 KiB of noise
//   truncated    the picture cut off halfway through its rows
//   huge-header  a BMP header claiming 30000 x 30000 pixels, and no rows
//   huge         a whole 1-bit BMP of 16384 x 4096 pixels (8 MiB)
//   fifo         a named pipe that nobody writes to
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

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
namespace {

// The BMP file and info headers; `height` negative for top-down rows.
std::vector<std::uint8_t> bmpHeader(std::uint32_t width, std::int32_t height, int bitsPerPixel,
                                    std::uint32_t paletteEntries, std::uint32_t pixelBytes) {
  const std::uint32_t offset = 54 + 4 * paletteEntries;
  std::vector<std::uint8_t> bmp{'B', 'M'};
  put32(bmp, offset + pixelBytes);
  put32(bmp, 0);
  put32(bmp, offset);
  put32(bmp, 40);
  put32(bmp, width);
  put32(bmp, static_cast<std::uint32_t>(height));
  put16(bmp, 1);
  put16(bmp, static_cast<std::uint16_t>(bitsPerPixel));
  put32(bmp, 0);  // uncompressed
  put32(bmp, pixelBytes);
  put32(bmp, 0);
  put32(bmp, 0);
  put32(bmp, paletteEntries);
  put32(bmp, 0);
  return bmp;
}

// 24-bit, bottom-up, 500 x 500, every pixel black.
std::vector<std::uint8_t> blackPicture() {
  constexpr std::uint32_t kSide = 500, kPixels = kSide * 3 * kSide;
  std::vector<std::uint8_t> bmp = bmpHeader(kSide, kSide, 24, 0, kPixels);
  bmp.resize(bmp.size() + kPixels, 0);
  return bmp;
}

std::vector<std::uint8_t> hostileFile(std::string_view mode) {
  if (mode == "garbage") {
    std::vector<std::uint8_t> bytes{'B', 'M'};
    std::uint32_t noise = 12345;
    for (int i = 0; i < 64 * 1024; ++i) {
      noise = noise * 1103515245 + 12345;
      bytes.push_back(static_cast<std::uint8_t>(noise >> 16));
    }
    return bytes;
  }
  if (mode == "truncated") {
    std::vector<std::uint8_t> bytes = blackPicture();
    bytes.resize(54 + (bytes.size() - 54) / 2);
    return bytes;
  }
  if (mode == "huge-header") {
    // The sizes a 24-bit file of that picture would have.
    return bmpHeader(30000, 30000, 24, 0, 30000u * 90000u);
  }
  if (mode != "huge") return {};
  // Black rows: the palette's first entry is black.
  constexpr std::uint32_t kWidth = 16384, kHeight = 4096, kRows = kWidth / 8 * kHeight;
  std::vector<std::uint8_t> bytes = bmpHeader(kWidth, kHeight, 1, 2, kRows);
  put32(bytes, 0x000000);
  put32(bytes, 0xFFFFFF);
  bytes.resize(bytes.size() + kRows, 0);
  return bytes;
}

// What this call is to do: its item of QRGEN_FAKE_SAVE.
std::string saveMode() {
  static int calls = 0;
  const char* list = std::getenv("QRGEN_FAKE_SAVE");
  std::string_view items = list ? list : "";
  for (int index = 0; index < calls; ++index) {
    const std::size_t comma = items.find(',');
    if (comma == std::string_view::npos) break;
    items.remove_prefix(comma + 1);
  }
  ++calls;
  const std::string mode(items.substr(0, items.find(',')));
  return mode.empty() ? "picture" : mode;
}

bool writeFile(const char* path, const std::vector<std::uint8_t>& bytes) {
  // A pipe left by an earlier call would block the open.
  struct stat info {};
  if (lstat(path, &info) == 0 && !S_ISREG(info.st_mode)) unlink(path);
  FILE* file = std::fopen(path, "wb");
  if (!file) return false;
  const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  return std::fclose(file) == 0 && ok;
}

}  // namespace

EXPORT int QRSaveAsBMP(const char* path) {
  record("QRSaveAsBMP %s", path ? path : "null");
  const std::string mode = saveMode();
  if (mode == "fail" || !path) return 0;
  if (mode == "picture") return writeFile(path, blackPicture());
  if (mode == "fifo") {
    unlink(path);
    return mkfifo(path, 0600) == 0;
  }
  const std::vector<std::uint8_t> bytes = hostileFile(mode);
  if (bytes.empty()) {
    record("QRGEN_FAKE_SAVE: no such mode %s", mode.c_str());
    return 0;
  }
  return writeFile(path, bytes);
}
#endif
