// SPDX-License-Identifier: MIT
// Run-time library loading (Windows' LoadLibrary / GetProcAddress / FreeLibrary)
// on dlopen. No Qt here: the encoder calls are tested without a display.
#pragma once

namespace toolkit {

using LibraryHandle = void*;

// Loads a shared library: a path with '/' is taken as it is, a bare file name
// goes through the system's ordinary search. Null when it cannot be loaded;
// a file at a path that is cut short is refused before the loader maps it.
LibraryHandle loadLibrary(const char* path);
// The address of an exported function, or null.
void* findEntryPoint(LibraryHandle library, const char* name);
// Releases a handle from loadLibrary(); null does nothing.
void freeLibrary(LibraryHandle library);

}  // namespace toolkit
