// SPDX-License-Identifier: MIT
// Where the modules of a symbol go in the picture, and drawing them.
#pragma once

#include <optional>
#include <vector>

#include "qrcodewin32/bmp.h"
#include "qrcodewin32/settings.h"
#include "qrcodewin32/symbol.h"

namespace qrcodewin32 {

struct Layout {
  int left = 0;  // picture column of the symbol's left edge
  int top = 0;   // picture row of its top edge
  // edges[i]: where module i starts, in pixels from the symbol's edge; edges.back() is the
  // symbol's width in pixels. Rows use the same edges: modules are square.
  std::vector<int> edges;
};

// Places a symbol of `modules` a side with `quietZone` light modules round it (at least one
// pixel per module) centred in a width x height picture, sized by its shorter side. Whole
// pixels: every module the largest whole number of pixels that fits. Fractional: symbol and
// quiet zone fill the shorter side, module edges rounded to whole pixels. Returns nullopt when
// even one pixel per module does not fit. Any quietZone >= 0 and sizes 1..kMaximumPictureSide.
std::optional<Layout> layoutSymbol(int modules, int quietZone, int width, int height,
                                   ModuleSize moduleSize);

// Sets colour index 1 for every pixel of a dark module; the rest stays as it is.
void drawSymbol(const ModuleGrid& grid, const Layout& layout, OneBitBmp& picture);

}  // namespace qrcodewin32
