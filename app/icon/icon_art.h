// SPDX-License-Identifier: MIT
// The program's icon: a stylised QR code symbol on a silver tile, drawn at each size it
// comes in. Used only by the generator that makes the icon files at build time.
#pragma once

#include <QImage>

#include <array>

namespace icon {

// Sizes drawn pixel by pixel, so that the small ones stay sharp.
inline constexpr std::array<int, 4> handDrawnSizes{16, 24, 32, 48};
// Sizes drawn from the modules of the 48-pixel design, for desktops that want large icons.
inline constexpr std::array<int, 3> largeSizes{64, 128, 256};

// The icon `size` pixels a side in Format_ARGB32, with transparency; a null image for a
// size in neither list.
QImage drawIcon(int size);

}  // namespace icon
