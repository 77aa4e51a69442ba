// SPDX-License-Identifier: MIT
#include "qrcodewin32/raster.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace qrcodewin32 {
namespace {

// Sets bits [from, to) of a row whose first pixel is the top bit of its first byte.
void setBits(std::uint8_t* row, int from, int to) {
  while (from < to && from % 8 != 0) {
    row[from / 8] |= static_cast<std::uint8_t>(0x80 >> (from % 8));
    ++from;
  }
  if (const int wholeBytes = (to - from) / 8; wholeBytes > 0) {
    std::memset(row + from / 8, 0xFF, static_cast<std::size_t>(wholeBytes));
    from += wholeBytes * 8;
  }
  for (; from < to; ++from) row[from / 8] |= static_cast<std::uint8_t>(0x80 >> (from % 8));
}

}  // namespace

std::optional<Layout> layoutSymbol(int modules, int quietZone, int width, int height,
                                   ModuleSize moduleSize) {
  // 64 bits: a quiet zone may be as wide as INT_MAX.
  const std::int64_t span = std::int64_t{modules} + 2 * std::int64_t{quietZone};
  const int side = std::min(width, height);
  if (modules <= 0 || span > side) return std::nullopt;

  Layout layout;
  layout.edges.resize(static_cast<std::size_t>(modules) + 1);
  if (moduleSize == ModuleSize::WholePixels) {
    const int pixels = static_cast<int>(side / span);
    for (int index = 0; index <= modules; ++index) layout.edges[index] = index * pixels;
  } else {
    const double pixels = static_cast<double>(side) / static_cast<double>(span);
    for (int index = 0; index <= modules; ++index)
      layout.edges[index] = static_cast<int>(std::lround(index * pixels));
  }
  const int symbolPixels = layout.edges.back();
  layout.left = (width - symbolPixels) / 2;
  layout.top = (height - symbolPixels) / 2;
  return layout;
}

void drawSymbol(const ModuleGrid& grid, const Layout& layout, OneBitBmp& picture) {
  for (int y = 0; y < grid.size; ++y) {
    const int firstRow = layout.top + layout.edges[y];
    const int endRow = layout.top + layout.edges[y + 1];
    std::uint8_t* row = picture.row(firstRow);
    for (int x = 0; x < grid.size; ++x) {
      if (grid.isDark(x, y))
        setBits(row, layout.left + layout.edges[x], layout.left + layout.edges[x + 1]);
    }
    // The other rows of this module row are copies.
    for (int pictureRow = firstRow + 1; pictureRow < endRow; ++pictureRow)
      std::memcpy(picture.row(pictureRow), row, picture.stride());
  }
}

}  // namespace qrcodewin32
