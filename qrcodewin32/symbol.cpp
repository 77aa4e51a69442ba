// SPDX-License-Identifier: MIT
#include "qrcodewin32/symbol.h"

#include <qrcodegen.hpp>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "qrcodewin32/mask.h"

namespace qrcodewin32 {
namespace {

using qrcodegen::QrCode;
using qrcodegen::QrSegment;

// Data codewords per version after error correction, from the standard's capacity table.
// Columns: versions 1 to 40, ten to a row.
constexpr std::int16_t kDataCodewords[4][40] = {
    // L
    {19,   34,   55,   80,   108,  136,  156,  194,  232,  274,    //
     324,  370,  428,  461,  523,  589,  647,  721,  795,  861,    //
     932,  1006, 1094, 1174, 1276, 1370, 1468, 1531, 1631, 1735,   //
     1843, 1955, 2071, 2191, 2306, 2434, 2566, 2702, 2812, 2956},  //
    // M
    {16,   28,   44,   64,   86,   108,  124,  154,  182,  216,    //
     254,  290,  334,  365,  415,  453,  507,  563,  627,  669,    //
     714,  782,  860,  914,  1000, 1062, 1128, 1193, 1267, 1373,   //
     1455, 1541, 1631, 1725, 1812, 1914, 1992, 2102, 2216, 2334},  //
    // Q
    {13,   22,   34,   48,   62,   76,   88,   110,  132,  154,    //
     180,  206,  244,  261,  295,  325,  367,  397,  445,  485,    //
     512,  568,  614,  664,  718,  754,  808,  871,  911,  985,    //
     1033, 1115, 1171, 1231, 1286, 1354, 1426, 1502, 1582, 1666},  //
    // H
    {9,   16,  26,  36,  46,  60,   66,   86,   100,  122,    //
     140, 158, 180, 197, 223, 253,  283,  313,  341,  385,    //
     406, 442, 464, 514, 538, 596,  628,  661,  701,  745,    //
     793, 845, 901, 961, 986, 1054, 1096, 1142, 1222, 1276},  //
};

constexpr int kUtf8Eci = 26;

QrCode::Ecc eccOf(Level level) {
  switch (level) {
    case Level::Low:
      return QrCode::Ecc::LOW;
    case Level::Medium:
      return QrCode::Ecc::MEDIUM;
    case Level::Quartile:
      return QrCode::Ecc::QUARTILE;
    case Level::High:
      return QrCode::Ecc::HIGH;
  }
  return QrCode::Ecc::LOW;
}

[[noreturn]] void brokenInvariant(const char* what) {
  std::fprintf(stderr, "QRCodeWin32: broken invariant: %s\n", what);
  std::abort();
}

std::vector<QrSegment> toSegments(const Payload& payload, const Segmentation& segmentation) {
  std::vector<QrSegment> segments;
  segments.reserve(segmentation.segments.size() + 1);
  if (payload.eci == Eci::Utf8) segments.push_back(QrSegment::makeEci(kUtf8Eci));
  for (const Segment& segment : segmentation.segments) {
    const std::string_view data =
        std::string_view(payload.bytes).substr(segment.begin, segment.length);
    switch (segment.mode) {
      case Mode::Numeric:
        segments.push_back(QrSegment::makeNumeric(std::string(data).c_str()));
        break;
      case Mode::Alphanumeric:
        segments.push_back(QrSegment::makeAlphanumeric(std::string(data).c_str()));
        break;
      case Mode::Byte:
        segments.push_back(
            QrSegment::makeBytes(std::vector<std::uint8_t>(data.begin(), data.end())));
        break;
    }
  }
  return segments;
}

}  // namespace

int dataCodewords(int version, Level level) {
  return kDataCodewords[static_cast<int>(level)][version - 1];
}

std::optional<SymbolPlan> planSymbol(const Payload& payload, Level level, int minimumVersion) {
  std::optional<Segmentation> byWidths[3];
  for (int version = minimumVersion; version <= kMaximumVersion; ++version) {
    const CountWidths widths = countWidthsOf(version);
    auto& segmentation = byWidths[static_cast<int>(widths)];
    if (!segmentation) segmentation = segmentOptimally(payload.bytes, widths, payload.eci);
    if (segmentation->countsFit && segmentation->bits <= 8L * dataCodewords(version, level))
      return SymbolPlan{version, *segmentation};
  }
  return std::nullopt;
}

ModuleGrid encodeSymbol(const Payload& payload, const SymbolPlan& plan, Level level) {
  const std::vector<QrSegment> segments = toSegments(payload, plan.segmentation);
  std::optional<QrCode> code;
  try {
    // Exactly this version and level, no boost of the level; mask 0 for withBestMask().
    code.emplace(
        QrCode::encodeSegments(segments, eccOf(level), plan.version, plan.version, 0, false));
  } catch (const qrcodegen::data_too_long&) {
    brokenInvariant("a planned segmentation does not fit its version");
  }
  ModuleGrid grid;
  grid.size = code->getSize();
  grid.modules.resize(static_cast<std::size_t>(grid.size) * grid.size);
  for (int y = 0; y < grid.size; ++y)
    for (int x = 0; x < grid.size; ++x)
      grid.modules[static_cast<std::size_t>(y) * grid.size + x] = code->getModule(x, y) ? 1 : 0;
  return withBestMask(grid, plan.version, level);
}

}  // namespace qrcodewin32
