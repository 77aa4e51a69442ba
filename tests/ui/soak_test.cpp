// SPDX-License-Identifier: MIT
// Ten thousand presses of "生成" in one session, with the real encoder library
// beside the test program: nothing may build up from one press to the next.
#include <dirent.h>
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "ui_test_support.h"

namespace {

using namespace ui_test;
using namespace main_window;

// Enough to run every lazy start-up (fonts, the library, the file's first
// write) before memory is measured.
constexpr int kWarmUpPresses = 500;
constexpr int kPresses = 10000;
// A leak of one text or picture per press would add far more; heap
// fragmentation settles within this.
constexpr long kResidentGrowthLimitKib = 16 * 1024;

long residentKib() {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);)
    if (line.starts_with("VmRSS:")) return std::stol(line.substr(6));
  return -1;
}

std::vector<std::string> listing(const std::string& directory) {
  std::vector<std::string> names;
  if (DIR* stream = opendir(directory.c_str())) {
    while (const dirent* entry = readdir(stream))
      if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0)
        names.emplace_back(entry->d_name);
    closedir(stream);
  }
  std::sort(names.begin(), names.end());
  return names;
}

// Open descriptors, less the one the listing itself holds.
std::size_t openDescriptors() {
  return listing("/proc/self/fd").size() - 1;
}

// Texts of changing length and kind, so symbols of several versions and
// segment modes go through the encoder.
std::string textFor(int press) {
  static const char* const kPieces[] = {"二维码", "QR CODE 0123", "soak",
                                        "第",     "1234567890",   "https://example.com/?q="};
  std::string text = std::to_string(press);
  for (int piece = 0; piece <= press % 7; ++piece)
    text += kPieces[(press + piece) % std::size(kPieces)];
  return cp(text.c_str());
}

TEST(Soak, TenThousandPressesLeaveMemoryDescriptorsAndFilesFlat) {
  ensureMainWindow();
  toolkit::Window* self = mainWindow();
  QWidget* button = control(self, 按钮1);
  QWidget* box = control(self, 图片框1);
  const std::string directory = shell::programDirectory().c_str();
  std::remove((directory + "/a.bmp").c_str());
  const std::vector<std::string> filesBefore = listing(directory);

  int withoutPicture = 0;
  long startKib = residentKib(), warmKib = 0;
  std::size_t warmDescriptors = 0;
  QElapsedTimer clock;
  clock.start();
  for (int press = 0; press < kPresses; ++press) {
    if (press == kWarmUpPresses) {
      warmKib = residentKib();
      warmDescriptors = openDescriptors();
    }
    toolkit::setEditText(self, 编辑框1, textFor(press).c_str());
    QTest::mouseClick(button, Qt::LeftButton);
    if (!toolkit::hasPicture(self, 图片框1)) ++withoutPicture;
    box->repaint();  // the drawing a real repaint does, now
  }
  const long endKib = residentKib();
  const std::size_t endDescriptors = openDescriptors();
  std::printf(
      "soak: %d presses in %.1f s; resident %ld KiB at start, %ld after %d presses, %ld at the "
      "end; %zu descriptors after warm-up, %zu at the end\n",
      kPresses, clock.elapsed() / 1000.0, startKib, warmKib, kWarmUpPresses, endKib,
      warmDescriptors, endDescriptors);

  EXPECT_EQ(withoutPicture, 0) << "every press shows its symbol";
  EXPECT_LE(endDescriptors, warmDescriptors);
  std::vector<std::string> expectedFiles = filesBefore;
  expectedFiles.push_back("a.bmp");
  std::sort(expectedFiles.begin(), expectedFiles.end());
  EXPECT_EQ(listing(directory), expectedFiles) << "no temporary file is left";
#ifndef __SANITIZE_ADDRESS__
  // Under AddressSanitizer freed memory waits in quarantine; LeakSanitizer
  // checks that build instead.
  EXPECT_LT(endKib - warmKib, kResidentGrowthLimitKib);
#endif
}

}  // namespace
