// SPDX-License-Identifier: MIT
// Writing icon files: a directory of device-independent bitmaps, each with its AND mask.
#pragma once

#include <QImage>

#include <cstdint>
#include <span>
#include <vector>

namespace icon {

enum class IconDepth {
  Colours16 = 4,    // the sixteen standard colours, each pixel the nearest of them
  Colours256 = 8,   // a palette of the picture's own colours (at most 255 besides black)
  TrueColour = 32,  // blue, green, red and alpha
};

struct IconEntry {
  QImage image;  // 1 to 256 pixels a side; pixels at least half opaque count as opaque
  IconDepth depth;
};

// The sixteen standard colours in their usual order, black first and white last.
std::span<const QRgb, 16> standardColours();

// The bytes of an icon file holding `entries` in the order given. Pixels less than half
// opaque are set in each entry's AND mask (and black in its colours, so that the colours
// alone show through nothing); a true-colour entry keeps its alpha besides. Empty when an
// entry has no image, a side outside 1 to 256, or more colours than its depth holds.
std::vector<std::uint8_t> encodeIconFile(std::span<const IconEntry> entries);

}  // namespace icon
