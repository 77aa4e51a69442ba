// SPDX-License-Identifier: MIT
// The seven entry points of the encoder library QRCodeWin32.dll, as the
// program calls them. The library is loaded by the first call, each entry
// point looked up on its first call and kept for the rest of the run. A
// library or entry point that cannot be found is fatal: the message names the
// library file and the entry point, and the call does not return.
#pragma once

namespace encoder {

inline constexpr const char* kLibraryFileName = "QRCodeWin32.dll";

// Where the library is looked for first (the program directory, code-page
// bytes); after it, the system's ordinary library search. Loads nothing.
void prepare(const char* programDirectory);
// Releases the library handle, if any; the next call loads it again.
void release();

// Results are the library's; the generate command looks only at QRSaveAsBMP's
// (nonzero: the file was written).
int QRSetMessage(const char* text);
int QRSetBackColor(int red, int green, int blue);
int QRSetBarColor(int red, int green, int blue);
int QRConfigure(int versionPosition, int levelPosition, int third);
int QRAppearance(double first, int second, int third);
int QRSetSize(int width, int height);
int QRSaveAsBMP(const char* path);

}  // namespace encoder
