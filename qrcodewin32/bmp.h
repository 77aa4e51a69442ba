// SPDX-License-Identifier: MIT
// A two-colour Windows bitmap file built in memory, ready to be written in one piece.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "qrcodewin32/settings.h"

namespace qrcodewin32 {

inline constexpr std::size_t kBmpFileHeaderBytes = 14;
inline constexpr std::size_t kBmpInfoHeaderBytes = 40;
inline constexpr std::size_t kBmpPaletteBytes = 2 * 4;
inline constexpr std::size_t kBmpPixelOffset =
    kBmpFileHeaderBytes + kBmpInfoHeaderBytes + kBmpPaletteBytes;

// BITMAPFILEHEADER, BITMAPINFOHEADER (1 bit per pixel, BI_RGB, 96 dpi), a palette of two
// colours and the rows bottom-up, each padded to a multiple of 4 bytes. Every pixel starts as
// colour index 0.
class OneBitBmp {
 public:
  // width, height: 1..kMaximumPictureSide. Throws std::bad_alloc.
  OneBitBmp(int width, int height, Rgb colour0, Rgb colour1);

  int width() const { return width_; }
  int height() const { return height_; }
  std::size_t stride() const { return stride_; }

  // Row `y` counted from the top (0..height-1): stride() bytes, the leftmost pixel in the
  // highest bit of the first byte, a set bit for colour index 1.
  std::uint8_t* row(int y) { return bytes_.data() + kBmpPixelOffset + rowOffset(y); }
  const std::uint8_t* row(int y) const { return bytes_.data() + kBmpPixelOffset + rowOffset(y); }

  // The whole file.
  std::span<const std::uint8_t> bytes() const { return bytes_; }

 private:
  std::size_t rowOffset(int y) const { return static_cast<std::size_t>(height_ - 1 - y) * stride_; }

  int width_;
  int height_;
  std::size_t stride_;
  std::vector<std::uint8_t> bytes_;
};

}  // namespace qrcodewin32
