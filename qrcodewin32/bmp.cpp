// SPDX-License-Identifier: MIT
#include "qrcodewin32/bmp.h"

namespace qrcodewin32 {
namespace {

constexpr std::uint32_t kPixelsPerMetre = 3780;  // 96 dpi

void put16(std::uint8_t* at, std::uint16_t value) {
  at[0] = static_cast<std::uint8_t>(value);
  at[1] = static_cast<std::uint8_t>(value >> 8);
}

void put32(std::uint8_t* at, std::uint32_t value) {
  for (int index = 0; index < 4; ++index)
    at[index] = static_cast<std::uint8_t>(value >> (8 * index));
}

void putColour(std::uint8_t* at, Rgb colour) {
  at[0] = colour.blue;
  at[1] = colour.green;
  at[2] = colour.red;
  at[3] = 0;
}

}  // namespace

OneBitBmp::OneBitBmp(int width, int height, Rgb colour0, Rgb colour1)
    : width_(width),
      height_(height),
      stride_((static_cast<std::size_t>(width) + 31) / 32 * 4),
      bytes_(kBmpPixelOffset + stride_ * static_cast<std::size_t>(height)) {
  // Sizes stay far below 4 GiB: 16384 rows of 2048 bytes at most.
  const auto fileSize = static_cast<std::uint32_t>(bytes_.size());
  const auto pixelBytes = static_cast<std::uint32_t>(bytes_.size() - kBmpPixelOffset);
  std::uint8_t* file = bytes_.data();
  file[0] = 'B';
  file[1] = 'M';
  put32(file + 2, fileSize);
  put32(file + 6, 0);  // reserved
  put32(file + 10, static_cast<std::uint32_t>(kBmpPixelOffset));

  std::uint8_t* info = file + kBmpFileHeaderBytes;
  put32(info + 0, static_cast<std::uint32_t>(kBmpInfoHeaderBytes));
  put32(info + 4, static_cast<std::uint32_t>(width));
  put32(info + 8, static_cast<std::uint32_t>(height));  // positive: bottom-up
  put16(info + 12, 1);                                  // planes
  put16(info + 14, 1);                                  // bits per pixel
  put32(info + 16, 0);                                  // BI_RGB
  put32(info + 20, pixelBytes);
  put32(info + 24, kPixelsPerMetre);
  put32(info + 28, kPixelsPerMetre);
  put32(info + 32, 2);  // colours used
  put32(info + 36, 2);  // colours important

  putColour(info + kBmpInfoHeaderBytes, colour0);
  putColour(info + kBmpInfoHeaderBytes + 4, colour1);
}

}  // namespace qrcodewin32
