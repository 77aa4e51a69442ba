// SPDX-License-Identifier: MIT
#include "toolkit/library.h"

#include <dlfcn.h>

namespace toolkit {

LibraryHandle loadLibrary(const char* path) {
  // Symbols are bound now, so a broken library fails here and not mid-call.
  return dlopen(path, RTLD_NOW | RTLD_LOCAL);
}

void* findEntryPoint(LibraryHandle library, const char* name) {
  return library ? dlsym(library, name) : nullptr;
}

void freeLibrary(LibraryHandle library) {
  if (library) dlclose(library);
}

}  // namespace toolkit
