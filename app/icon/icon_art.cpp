// SPDX-License-Identifier: MIT
#include "app/icon/icon_art.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cstring>
#include <span>

namespace icon {
namespace {

// The program's colours: the silver of its frames and the blue of its labels, with modules
// in a dark navy that reads as black beside them.
constexpr QRgb kEdge = qRgb(120, 128, 144);
constexpr QRgb kModule = qRgb(24, 32, 64);
constexpr QRgb kFinderEye = qRgb(0, 90, 230);
constexpr QRgb kFaceTop = qRgb(255, 255, 255);
constexpr QRgb kFaceBottom = qRgb(226, 229, 235);

// One character a pixel, rows top to bottom:
//   .  transparent          W  tile face (white, shading to silver downwards)
//   e  tile edge            o  tile edge, partly covered (a rounded corner)
//   :  tile edge, faintly   K  module
//   B  centre of a finder   ;  shadow      ,  faint shadow
// clang-format off
constexpr const char* k16Pixels[] = {
    ":eeeeeeeeeeeeee:",
    "eWWWWWWWWWWWWWWe",
    "eWKKKKKWWKKKKKWe",
    "eWKWWWKWWKWWWKWe",
    "eWKWBWKWWKWBWKWe",
    "eWKWWWKWWKWWWKWe",
    "eWKKKKKWWKKKKKWe",
    "eWWWWWWWWWWWWWWe",
    "eWWWWWWWKKWKWKWe",
    "eWKKKKKWKWKKKWWe",
    "eWKWWWKWWKKWWKWe",
    "eWKWBWKWKKWKWWWe",
    "eWKWWWKWWKWKKKWe",
    "eWKKKKKWKKWWKWWe",
    "eWWWWWWWWWWWWWWe",
    ":eeeeeeeeeeeeee:",
};
// clang-format on

// clang-format off
constexpr const char* k24Pixels[] = {
    ".:eeeeeeeeeeeeeeeeeeee:.",
    ":eWWWWWWWWWWWWWWWWWWWWe:",
    "eWWWWWWWWWWWWWWWWWWWWWWe",
    "eWWKKKKKKKWKWWKKKKKKKWWe",
    "eWWKWWWWWKWWKWKWWWWWKWWe",
    "eWWKWBBBWKWKKWKWBBBWKWWe",
    "eWWKWBBBWKWKWWKWBBBWKWWe",
    "eWWKWBBBWKWWKWKWBBBWKWWe",
    "eWWKWWWWWKWKKWKWWWWWKWWe",
    "eWWKKKKKKKWKWWKKKKKKKWWe",
    "eWWWWWWWWWWKKWWWWWWWWWWe",
    "eWWKWKKWKKWWKWKKWKWKKWWe",
    "eWWWKWWKWKWKKWWKWKKWWWWe",
    "eWWWWWWWWWWKWKKWWKWKWWWe",
    "eWWKKKKKKKWKKWWKKKKKWWWe",
    "eWWKWWWWWKWWWKWKWWWKKWWe",
    "eWWKWBBBWKWKKKWKWBWKWWWe",
    "eWWKWBBBWKWKWWWKWWWKWWWe",
    "eWWKWBBBWKWWKKWKKKKKKWWe",
    "eWWKWWWWWKWKWKKWWWKWKWWe",
    "eWWKKKKKKKWKKWKWKKWKKWWe",
    "eWWWWWWWWWWWWWWWWWWWWWWe",
    ":eWWWWWWWWWWWWWWWWWWWWe:",
    ".:eeeeeeeeeeeeeeeeeeee:.",
};
// clang-format on

// clang-format off
constexpr const char* k32Pixels[] = {
    "..:eeeeeeeeeeeeeeeeeeeeeeeee:...",
    ".eWWWWWWWWWWWWWWWWWWWWWWWWWWWe..",
    ":WWWWWWWWWWWWWWWWWWWWWWWWWWWWW:,",
    "eWWWWWWWWWWWWWWWWWWWWWWWWWWWWWe;",
    "eWWWKKKKKKKKKKWWWWKKKKKKKKKKWWe;",
    "eWWWKKKKKKKKKKWWWWKKKKKKKKKKWWe;",
    "eWWWKKWWWWWWKKWWWWKKWWWWWWKKWWe;",
    "eWWWKKWWWWWWKKWWWWKKWWWWWWKKWWe;",
    "eWWWKKWWBBWWKKWWWWKKWWBBWWKKWWe;",
    "eWWWKKWWBBWWKKWWWWKKWWBBWWKKWWe;",
    "eWWWKKWWWWWWKKWWWWKKWWWWWWKKWWe;",
    "eWWWKKWWWWWWKKWWWWKKWWWWWWKKWWe;",
    "eWWWKKKKKKKKKKWWWWKKKKKKKKKKWWe;",
    "eWWWKKKKKKKKKKWWWWKKKKKKKKKKWWe;",
    "eWWWWWWWWWWWWWWWWWWWWWWWWWWWWWe;",
    "eWWWWWWWWWWWWWWWWWWWWWWWWWWWWWe;",
    "eWWWWWWWWWWWWWWWKKKKWWKKWWKKWWe;",
    "eWWWWWWWWWWWWWWWKKKKWWKKWWKKWWe;",
    "eWWWKKKKKKKKKKWWKKWWKKKKKKWWWWe;",
    "eWWWKKKKKKKKKKWWKKWWKKKKKKWWWWe;",
    "eWWWKKWWWWWWKKWWWWKKKKWWWWKKWWe;",
    "eWWWKKWWWWWWKKWWWWKKKKWWWWKKWWe;",
    "eWWWKKWWBBWWKKWWKKKKWWKKWWWWWWe;",
    "eWWWKKWWBBWWKKWWKKKKWWKKWWWWWWe;",
    "eWWWKKWWWWWWKKWWWWKKWWKKKKKKWWe;",
    "eWWWKKWWWWWWKKWWWWKKWWKKKKKKWWe;",
    "eWWWKKKKKKKKKKWWKKKKWWWWKKWWWWe;",
    "eWWWKKKKKKKKKKWWKKKKWWWWKKWWWWe;",
    ":WWWWWWWWWWWWWWWWWWWWWWWWWWWWW:;",
    ".eWWWWWWWWWWWWWWWWWWWWWWWWWWWe.;",
    "..:eeeeeeeeeeeeeeeeeeeeeeeee:..;",
    "..,;;;;;;;;;;;;;;;;;;;;;;;;;;;;,",
};
// clang-format on

// clang-format off
constexpr const char* k48Pixels[] = {
    "..:oeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeo:...",
    ".oeWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWeo..",
    ":eWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWe:,",
    "oWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWo;",
    "eWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWe;",
    "eWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWe;",
    "eWWWWWKKKKKKKKKKKKKKWWKKWWWWKKKKKKKKKKKKKKWWWWe;",
    "eWWWWWKKKKKKKKKKKKKKWWKKWWWWKKKKKKKKKKKKKKWWWWe;",
    "eWWWWWKKWWWWWWWWWWKKWWWWKKWWKKWWWWWWWWWWKKWWWWe;",
    "eWWWWWKKWWWWWWWWWWKKWWWWKKWWKKWWWWWWWWWWKKWWWWe;",
    "eWWWWWKKWWBBBBBBWWKKWWKKKKWWKKWWBBBBBBWWKKWWWWe;",
    "eWWWWWKKWWBBBBBBWWKKWWKKKKWWKKWWBBBBBBWWKKWWWWe;",
    "eWWWWWKKWWBBBBBBWWKKWWKKWWWWKKWWBBBBBBWWKKWWWWe;",
    "eWWWWWKKWWBBBBBBWWKKWWKKWWWWKKWWBBBBBBWWKKWWWWe;",
    "eWWWWWKKWWBBBBBBWWKKWWWWKKWWKKWWBBBBBBWWKKWWWWe;",
    "eWWWWWKKWWBBBBBBWWKKWWWWKKWWKKWWBBBBBBWWKKWWWWe;",
    "eWWWWWKKWWWWWWWWWWKKWWKKKKWWKKWWWWWWWWWWKKWWWWe;",
    "eWWWWWKKWWWWWWWWWWKKWWKKKKWWKKWWWWWWWWWWKKWWWWe;",
    "eWWWWWKKKKKKKKKKKKKKWWKKWWWWKKKKKKKKKKKKKKWWWWe;",
    "eWWWWWKKKKKKKKKKKKKKWWKKWWWWKKKKKKKKKKKKKKWWWWe;",
    "eWWWWWWWWWWWWWWWWWWWWWKKKKWWWWWWWWWWWWWWWWWWWWe;",
    "eWWWWWWWWWWWWWWWWWWWWWKKKKWWWWWWWWWWWWWWWWWWWWe;",
    "eWWWWWKKWWKKKKWWKKKKWWWWKKWWKKKKWWKKWWKKKKWWWWe;",
    "eWWWWWKKWWKKKKWWKKKKWWWWKKWWKKKKWWKKWWKKKKWWWWe;",
    "eWWWWWWWKKWWWWKKWWKKWWKKKKWWWWKKWWKKKKWWWWWWWWe;",
    "eWWWWWWWKKWWWWKKWWKKWWKKKKWWWWKKWWKKKKWWWWWWWWe;",
    "eWWWWWWWWWWWWWWWWWWWWWKKWWKKKKWWWWKKWWKKWWWWWWe;",
    "eWWWWWWWWWWWWWWWWWWWWWKKWWKKKKWWWWKKWWKKWWWWWWe;",
    "eWWWWWKKKKKKKKKKKKKKWWKKKKWWWWKKKKKKKKKKWWWWWWe;",
    "eWWWWWKKKKKKKKKKKKKKWWKKKKWWWWKKKKKKKKKKWWWWWWe;",
    "eWWWWWKKWWWWWWWWWWKKWWWWWWKKWWKKWWWWWWKKKKWWWWe;",
    "eWWWWWKKWWWWWWWWWWKKWWWWWWKKWWKKWWWWWWKKKKWWWWe;",
    "eWWWWWKKWWBBBBBBWWKKWWKKKKKKWWKKWWBBWWKKWWWWWWe;",
    "eWWWWWKKWWBBBBBBWWKKWWKKKKKKWWKKWWBBWWKKWWWWWWe;",
    "eWWWWWKKWWBBBBBBWWKKWWKKWWWWWWKKWWWWWWKKWWWWWWe;",
    "eWWWWWKKWWBBBBBBWWKKWWKKWWWWWWKKWWWWWWKKWWWWWWe;",
    "eWWWWWKKWWBBBBBBWWKKWWWWKKKKWWKKKKKKKKKKKKWWWWe;",
    "eWWWWWKKWWBBBBBBWWKKWWWWKKKKWWKKKKKKKKKKKKWWWWe;",
    "eWWWWWKKWWWWWWWWWWKKWWKKWWKKKKWWWWWWKKWWKKWWWWe;",
    "eWWWWWKKWWWWWWWWWWKKWWKKWWKKKKWWWWWWKKWWKKWWWWe;",
    "eWWWWWKKKKKKKKKKKKKKWWKKKKWWKKWWKKKKWWKKKKWWWWe;",
    "eWWWWWKKKKKKKKKKKKKKWWKKKKWWKKWWKKKKWWKKKKWWWWe;",
    "eWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWe;",
    "oWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWo;",
    ":eWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWe:;",
    ".oeWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWeo.;",
    "..:oeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeo:..;",
    "..,;;;;;;;;;;;;;;;;;;;;;;;;;;;;;;;;;;;;;;;;;;;;,",
};
// clang-format on

QRgb withAlpha(QRgb colour, int alpha) {
  return qRgba(qRed(colour), qGreen(colour), qBlue(colour), alpha);
}

QRgb faceAt(int row, int size) {
  const auto mix = [row, size](int top, int bottom) {
    return top + (bottom - top) * row / (size - 1);
  };
  return qRgb(mix(qRed(kFaceTop), qRed(kFaceBottom)), mix(qGreen(kFaceTop), qGreen(kFaceBottom)),
              mix(qBlue(kFaceTop), qBlue(kFaceBottom)));
}

QRgb inkOf(char symbol, int row, int size) {
  switch (symbol) {
    case 'W':
      return faceAt(row, size);
    case 'e':
      return kEdge;
    case 'o':
      return withAlpha(kEdge, 160);
    case ':':
      return withAlpha(kEdge, 72);
    case 'K':
      return kModule;
    case 'B':
      return kFinderEye;
    case ';':
      return qRgba(0, 0, 0, 72);
    case ',':
      return qRgba(0, 0, 0, 36);
    default:
      return qRgba(0, 0, 0, 0);
  }
}

std::span<const char* const> pixelsOf(int size) {
  switch (size) {
    case 16:
      return k16Pixels;
    case 24:
      return k24Pixels;
    case 32:
      return k32Pixels;
    case 48:
      return k48Pixels;
    default:
      return {};
  }
}

QImage drawByHand(int size, std::span<const char* const> rows) {
  QImage image(size, size, QImage::Format_ARGB32);
  for (int y = 0; y < size; ++y) {
    const char* row = rows[static_cast<std::size_t>(y)];
    // A design row of the wrong length is a bug in this file: no icon at all, then.
    if (std::strlen(row) != static_cast<std::size_t>(size)) return {};
    auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < size; ++x) line[x] = inkOf(row[x], y, size);
  }
  return image;
}

// The 48-pixel design lays its 18 × 18 modules two pixels each from (6, 6).
constexpr int kModules = 18;
constexpr int kModuleOrigin48 = 6;

char moduleAt(int column, int row) {
  return k48Pixels[kModuleOrigin48 + 2 * row][kModuleOrigin48 + 2 * column];
}

struct LargeLayout {
  int size;
  int module;      // pixels a module
  int tileOrigin;  // left and top of the tile
  int tileSide;
  int border;
  int shadow;  // how far the shadow falls below the tile
};

// Whole pixels a module, so that the modules stay as sharp as in the small sizes.
// clang-format off
constexpr LargeLayout kLargeLayouts[] = {
//  size  module  origin  side  border  shadow
  {  64,    3,      1,     62,    1,      1},
  { 128,    6,      2,    124,    2,      2},
  { 256,   12,      4,    248,    3,      4},
};
// clang-format on

QImage drawLarge(const LargeLayout& layout) {
  QImage image(layout.size, layout.size, QImage::Format_ARGB32);
  image.fill(Qt::transparent);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  const QRectF tile(layout.tileOrigin, layout.tileOrigin, layout.tileSide, layout.tileSide);
  const qreal radius = layout.tileSide / 12.0;

  // A soft shadow: a few widening, faint copies of the tile below it.
  painter.setPen(Qt::NoPen);
  for (int grow = layout.shadow; grow >= 0; --grow) {
    painter.setBrush(QColor(0, 0, 0, 24));
    painter.drawRoundedRect(
        tile.translated(0, layout.shadow).adjusted(-grow / 2.0, 0, grow / 2.0, grow / 2.0),
        radius + grow / 2.0, radius + grow / 2.0);
  }

  QLinearGradient face(tile.topLeft(), tile.bottomLeft());
  face.setColorAt(0, QColor::fromRgb(kFaceTop));
  face.setColorAt(1, QColor::fromRgb(kFaceBottom));
  painter.setBrush(face);
  painter.setPen(QPen(QColor::fromRgb(kEdge), layout.border));
  const qreal inset = layout.border / 2.0;
  painter.drawRoundedRect(tile.adjusted(inset, inset, -inset, -inset), radius - inset,
                          radius - inset);

  // Modules on whole pixels, without smoothing.
  painter.setRenderHint(QPainter::Antialiasing, false);
  painter.setPen(Qt::NoPen);
  const int origin = layout.tileOrigin + (layout.tileSide - kModules * layout.module) / 2;
  for (int row = 0; row < kModules; ++row) {
    for (int column = 0; column < kModules; ++column) {
      const char module = moduleAt(column, row);
      if (module != 'K' && module != 'B') continue;
      painter.fillRect(origin + column * layout.module, origin + row * layout.module, layout.module,
                       layout.module, QColor::fromRgb(module == 'B' ? kFinderEye : kModule));
    }
  }
  painter.end();
  return image;
}

}  // namespace

QImage drawIcon(int size) {
  if (const auto rows = pixelsOf(size); !rows.empty()) {
    if (rows.size() != static_cast<std::size_t>(size)) return {};
    return drawByHand(size, rows);
  }
  const auto layout = std::find_if(std::begin(kLargeLayouts), std::end(kLargeLayouts),
                                   [size](const LargeLayout& each) { return each.size == size; });
  return layout == std::end(kLargeLayouts) ? QImage() : drawLarge(*layout);
}

}  // namespace icon
