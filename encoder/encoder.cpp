// SPDX-License-Identifier: MIT
#include "encoder/encoder.h"

#include <cstdio>

#include "common/text.h"
#include "toolkit/library.h"

namespace encoder {
namespace {

qr::Text searchDirectory;
toolkit::LibraryHandle library = nullptr;
bool libraryTried = false;

// Entry-point slots, indexed by EntryPoint, filled on first use.
enum EntryPoint {
  SetMessage,
  SetBackColor,
  SetBarColor,
  Configure,
  Appearance,
  SetSize,
  SaveAsBMP,
  kEntryPointCount
};
constexpr const char* kNames[kEntryPointCount] = {
    "QRSetMessage", "QRSetBackColor", "QRSetBarColor", "QRConfigure",
    "QRAppearance", "QRSetSize",      "QRSaveAsBMP",
};
void* slots[kEntryPointCount] = {};

[[noreturn]] void notFound(const char* name) {
  char message[256];
  std::snprintf(message, sizeof message, "无法找到指定DLL库文件“%s”中的输出命令“%s”",
                kLibraryFileName, name);
  qr::fatal(message);
}

void loadOnce() {
  if (libraryTried) return;
  libraryTried = true;
  const qr::Text besideProgram = qr::join({searchDirectory, "/", kLibraryFileName});
  library = toolkit::loadLibrary(besideProgram.get());
  if (!library) library = toolkit::loadLibrary(kLibraryFileName);
}

template <class Function>
Function entry(EntryPoint which) {
  if (!slots[which]) {
    loadOnce();
    // The first file that loaded is the library: no other is tried for a
    // missing entry point.
    slots[which] = toolkit::findEntryPoint(library, kNames[which]);
    if (!slots[which]) notFound(kNames[which]);
  }
  return reinterpret_cast<Function>(slots[which]);
}

}  // namespace

void prepare(const char* programDirectory) {
  release();
  searchDirectory = qr::Text::copy(programDirectory ? programDirectory : "");
}

void release() {
  toolkit::freeLibrary(library);
  library = nullptr;
  libraryTried = false;
  for (void*& slot : slots) slot = nullptr;
}

int QRSetMessage(const char* text) {
  return entry<int (*)(const char*)>(SetMessage)(text);
}
int QRSetBackColor(int red, int green, int blue) {
  return entry<int (*)(int, int, int)>(SetBackColor)(red, green, blue);
}
int QRSetBarColor(int red, int green, int blue) {
  return entry<int (*)(int, int, int)>(SetBarColor)(red, green, blue);
}
int QRConfigure(int versionPosition, int levelPosition, int third) {
  return entry<int (*)(int, int, int)>(Configure)(versionPosition, levelPosition, third);
}
int QRAppearance(double first, int second, int third) {
  return entry<int (*)(double, int, int)>(Appearance)(first, second, third);
}
int QRSetSize(int width, int height) {
  return entry<int (*)(int, int)>(SetSize)(width, height);
}
int QRSaveAsBMP(const char* path) {
  return entry<int (*)(const char*)>(SaveAsBMP)(path);
}

}  // namespace encoder
