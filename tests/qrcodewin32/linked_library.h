// SPDX-License-Identifier: MIT
// The library's entry points as the tests link them.
#pragma once

#include "qrcodewin32/QRCodeWin32.h"
#include "support/fixtures.h"

namespace qrcodewin32::test {

inline constexpr EntryPoints kLinkedLibrary{
    QRSetMessage, QRSetBackColor, QRSetBarColor, QRConfigure, QRAppearance, QRSetSize, QRSaveAsBMP};

}  // namespace qrcodewin32::test
