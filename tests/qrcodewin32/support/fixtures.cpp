// SPDX-License-Identifier: MIT
#include "support/fixtures.h"

#include <stdlib.h>

#include <algorithm>
#include <stdexcept>
#include <vector>

#include "common/codepage.h"

namespace qrcodewin32::test {

TemporaryDirectory::TemporaryDirectory() {
  std::string pattern =
      (std::filesystem::temp_directory_path() / "qrcodewin32-test-XXXXXX").string();
  if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  path_ = pattern;
}

TemporaryDirectory::~TemporaryDirectory() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

std::string TemporaryDirectory::listing() const {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(path_))
    names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  std::string joined;
  for (const std::string& name : names) joined += (joined.empty() ? "" : " ") + name;
  return joined;
}

std::string gb18030(std::string_view utf8) {
  return std::string(qr::codepage::fromUtf8(utf8).view());
}

void applySettings(const EntryPoints& library, const Request& request) {
  library.setMessage(request.message ? request.message->c_str() : nullptr);
  library.setBackColor(request.background[0], request.background[1], request.background[2]);
  library.setBarColor(request.bar[0], request.bar[1], request.bar[2]);
  library.configure(request.version, request.level, request.quietZone);
  library.appearance(request.minimumContrast, request.wholePixelModules, request.invertedColours);
  library.setSize(request.width, request.height);
}

int generate(const EntryPoints& library, const Request& request, const std::string& path) {
  applySettings(library, request);
  return library.saveAsBmp(path.c_str());
}

}  // namespace qrcodewin32::test
