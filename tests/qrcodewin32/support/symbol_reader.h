// SPDX-License-Identifier: MIT
// Judging a written picture: where the symbol lies in it, and what a real reader makes of it.
#pragma once

#include <optional>
#include <string>

#include "support/bmp_reader.h"

namespace qrcodewin32::test {

// The symbol as drawn: measured from the picture alone.
struct Geometry {
  int left = 0;  // first column and row of the dark modules' bounding box
  int top = 0;
  int modulePixels = 0;      // from the top edge of the upper left finder pattern, 7 modules wide
  int modules = 0;           // a side
  int quietZoneModules = 0;  // the narrowest light border, in whole modules
  bool uniformModules = false;  // every module cell of one colour, dark or light
};

// Finds the symbol drawn in `dark` on anything else; nullopt when no dark pixel exists or the
// finder pattern does not give a whole number of pixels per module.
std::optional<Geometry> measureSymbol(const Picture& picture, Colour dark);

enum class Purity { Scanned, Pure };

struct Reading {
  bool found = false;
  std::string text;   // as the reader interprets it, UTF-8
  std::string bytes;  // the data bytes without ECI designators
  std::string ecLevel;
  bool hasEci = false;
};

// ZXing-C++, QR codes only, trying harder. Pure: the picture holds one upright symbol with its
// quiet zone and nothing else, which lets ZXing read modules of two pixels.
Reading readWithZxing(const Picture& picture, Purity purity);

// Everything a test asks of a written file: its headers and pixels, the symbol's geometry
// and ZXing's reading (pure when modules are two pixels or less, which it needs then).
struct Judgement {
  std::optional<Bmp> bmp;
  std::optional<Geometry> geometry;
  Reading reading;
};
Judgement judgeFile(const std::string& path, Colour dark = {0, 0, 0});

// The picture in complementary colours (255 minus each channel), for readers of normal symbols.
Picture invertedPicture(const Picture& picture);

}  // namespace qrcodewin32::test
