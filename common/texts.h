// SPDX-License-Identifier: MIT
// Texts the program announces that no window definition holds, in the code
// page. Screen readers read them; the toolkit converts them like any other.
#pragma once

namespace qr::texts {

// The accessible name of an embedded web view, which has no caption of its own.
extern const char kWebViewName[];
// The accessible name and description of the picture box showing the symbol.
extern const char kSymbolPictureName[];
extern const char kSymbolPictureDescription[];

}  // namespace qr::texts
