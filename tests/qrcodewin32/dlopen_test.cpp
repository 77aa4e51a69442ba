// SPDX-License-Identifier: MIT
// The library as the program uses it: loaded by file name at run time, looked up by name.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include "support/fixtures.h"
#include "support/symbol_reader.h"

namespace qrcodewin32::test {
namespace {

template <typename Function>
Function lookUp(void* library, const char* name) {
  void* symbol = ::dlsym(library, name);
  EXPECT_NE(symbol, nullptr) << name << ": " << ::dlerror();
  return reinterpret_cast<Function>(symbol);
}

// One test, so the first calls meet the state of a freshly loaded library.
TEST(LoadedLibrary, WorksThroughTheSevenNames) {
  void* library = ::dlopen(QRCODEWIN32_FILE, RTLD_NOW | RTLD_LOCAL);
  ASSERT_NE(library, nullptr) << ::dlerror();
  const EntryPoints loaded{
      lookUp<int (*)(const char*)>(library, "QRSetMessage"),
      lookUp<int (*)(int, int, int)>(library, "QRSetBackColor"),
      lookUp<int (*)(int, int, int)>(library, "QRSetBarColor"),
      lookUp<int (*)(int, int, int)>(library, "QRConfigure"),
      lookUp<int (*)(double, int, int)>(library, "QRAppearance"),
      lookUp<int (*)(int, int)>(library, "QRSetSize"),
      lookUp<int (*)(const char*)>(library, "QRSaveAsBMP"),
  };
  // Internals stay hidden.
  EXPECT_EQ(::dlsym(library, "_ZN11qrcodewin3210planSymbolERKNS_7PayloadENS_5LevelEi"), nullptr);

  TemporaryDirectory directory;
  const std::string path = directory.file("a.bmp");

  // Before any setting: an empty version 1 symbol, black on white, 500 x 500, 4-module zone.
  ASSERT_NE(loaded.saveAsBmp(path.c_str()), 0);
  Judgement judged = judgeFile(path);
  ASSERT_TRUE(judged.bmp.has_value());
  EXPECT_EQ(judged.bmp->picture.width, 500);
  EXPECT_EQ(judged.bmp->picture.height, 500);
  ASSERT_TRUE(judged.geometry.has_value());
  EXPECT_EQ(judged.geometry->modules, 21);
  EXPECT_EQ(judged.geometry->modulePixels, 17);
  EXPECT_TRUE(judged.reading.found);
  EXPECT_EQ(judged.reading.text, "");
  EXPECT_EQ(judged.reading.ecLevel, "L");

  // The program's seven calls, right after start: nothing picked in either list.
  Request request;
  request.message = gb18030("扫一扫\r\nQR 2024");
  request.version = -1;
  request.level = -1;
  ASSERT_NE(generate(loaded, request, path), 0);
  judged = judgeFile(path);
  ASSERT_TRUE(judged.reading.found);
  EXPECT_EQ(judged.reading.text, "扫一扫\r\nQR 2024");
  EXPECT_EQ(judged.reading.ecLevel, "L");
  EXPECT_EQ(directory.listing(), "a.bmp");

  EXPECT_EQ(::dlclose(library), 0);
}

}  // namespace
}  // namespace qrcodewin32::test
