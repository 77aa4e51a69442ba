// SPDX-License-Identifier: MIT
// What most encoder tests share: a scratch directory, code-page texts and the seven calls.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace qrcodewin32::test {

// A new empty directory under the system's temporary directory, removed with all it holds.
class TemporaryDirectory {
 public:
  TemporaryDirectory();
  ~TemporaryDirectory();
  TemporaryDirectory(const TemporaryDirectory&) = delete;
  TemporaryDirectory& operator=(const TemporaryDirectory&) = delete;

  const std::filesystem::path& path() const { return path_; }
  std::string file(std::string_view name) const { return (path_ / name).string(); }
  // Names of everything inside, sorted.
  std::string listing() const;

 private:
  std::filesystem::path path_;
};

// UTF-8 to the program's code page (GB18030).
std::string gb18030(std::string_view utf8);

// The library's seven functions, linked directly or looked up at run time.
struct EntryPoints {
  int (*setMessage)(const char*);
  int (*setBackColor)(int, int, int);
  int (*setBarColor)(int, int, int);
  int (*configure)(int, int, int);
  int (*appearance)(double, int, int);
  int (*setSize)(int, int);
  int (*saveAsBmp)(const char*);
};

// One picture's arguments; the defaults are the values the program passes.
struct Request {
  std::optional<std::string> message;  // code-page bytes; nullopt passes null
  int background[3] = {255, 255, 255};
  int bar[3] = {0, 0, 0};
  int version = 0;  // 0 automatic, 1..40
  int level = 0;    // 0..3 = L, M, Q, H
  int quietZone = 5;
  double minimumContrast = 0.2;
  int wholePixelModules = 1;
  int invertedColours = 0;
  int width = 500;
  int height = 500;
};

// The six setting calls in the program's order.
void applySettings(const EntryPoints& library, const Request& request);
// Those and QRSaveAsBMP; returns QRSaveAsBMP's result.
int generate(const EntryPoints& library, const Request& request, const std::string& path);

}  // namespace qrcodewin32::test
