// SPDX-License-Identifier: MIT
// The program's application icon, carried inside the program: the icon file the build
// generates, with 16, 24, 32 and 48 pixels a side, each in 16 colours, 256 colours and
// 32-bit colour with alpha.
#pragma once

#include <cstdint>
#include <span>

namespace shell {

// The whole icon file; static storage, valid for the life of the process.
std::span<const std::uint8_t> applicationIcon() noexcept;

}  // namespace shell
