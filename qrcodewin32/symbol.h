// SPDX-License-Identifier: MIT
// Choosing the version of a symbol and encoding it.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "qrcodewin32/payload.h"
#include "qrcodewin32/segmentation.h"
#include "qrcodewin32/settings.h"

namespace qrcodewin32 {

inline constexpr int kMinimumVersion = 1;
inline constexpr int kMaximumVersion = 40;

// Data codewords of a version (1..40) at a level, 8 bits each.
int dataCodewords(int version, Level level);

struct SymbolPlan {
  int version = kMinimumVersion;
  Segmentation segmentation;
};

// The smallest version from `minimumVersion` (1..40) up whose count widths give a segmentation
// that fits at `level`; nullopt when none does. Throws std::bad_alloc.
std::optional<SymbolPlan> planSymbol(const Payload& payload, Level level, int minimumVersion);

// A symbol's modules, row by row: 1 for dark, 0 for light.
struct ModuleGrid {
  int size = 0;  // modules a side, 4 * version + 17
  std::vector<std::uint8_t> modules;
  bool isDark(int x, int y) const { return modules[static_cast<std::size_t>(y) * size + x] != 0; }
};

// Encodes the plan's version at `level` exactly, with the mask of least penalty.
// Throws std::bad_alloc.
ModuleGrid encodeSymbol(const Payload& payload, const SymbolPlan& plan, Level level);

}  // namespace qrcodewin32
