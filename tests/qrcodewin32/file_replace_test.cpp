// SPDX-License-Identifier: MIT
#include "qrcodewin32/file_replace.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <csignal>
#include <fstream>
#include <thread>

#include "support/bmp_reader.h"
#include "support/fixtures.h"

namespace qrcodewin32 {
namespace {

using test::readFileBytes;
using test::TemporaryDirectory;

std::vector<std::uint8_t> bytesOf(std::string_view text) {
  return {text.begin(), text.end()};
}

void writeFile(const std::string& path, std::string_view text) {
  std::ofstream(path, std::ios::binary) << text;
}

ino_t inodeOf(const std::string& path) {
  struct stat status {};
  return ::stat(path.c_str(), &status) == 0 ? status.st_ino : 0;
}

mode_t permissionsOf(const std::string& path) {
  struct stat status {};
  return ::stat(path.c_str(), &status) == 0 ? status.st_mode & 07777 : 0;
}

class FileReplace : public testing::Test {
 protected:
  TemporaryDirectory directory;
};

TEST_F(FileReplace, CreatesANewFileUnderTheUmask) {
  const mode_t old = ::umask(027);
  EXPECT_EQ(currentUmask(), 027u);
  const std::string path = directory.file("new.bmp");
  const int error = replaceFile(path.c_str(), bytesOf("picture"));
  ::umask(old);
  ASSERT_EQ(error, 0);
  EXPECT_EQ(readFileBytes(path), bytesOf("picture"));
  EXPECT_EQ(permissionsOf(path), 0640u);
  EXPECT_EQ(directory.listing(), "new.bmp");
}

TEST_F(FileReplace, KeepsTheOldFilesPermissions) {
  const std::string path = directory.file("a.bmp");
  writeFile(path, "old");
  ASSERT_EQ(::chmod(path.c_str(), 0604), 0);
  ASSERT_EQ(replaceFile(path.c_str(), bytesOf("new")), 0);
  EXPECT_EQ(readFileBytes(path), bytesOf("new"));
  EXPECT_EQ(permissionsOf(path), 0604u);
}

TEST_F(FileReplace, WritesRelativeToTheCurrentDirectory) {
  const std::string before = std::filesystem::current_path();
  std::filesystem::current_path(directory.path());
  const int error = replaceFile("a.bmp", bytesOf("here"));
  std::filesystem::current_path(before);
  ASSERT_EQ(error, 0);
  EXPECT_EQ(readFileBytes(directory.file("a.bmp")), bytesOf("here"));
  EXPECT_EQ(directory.listing(), "a.bmp");
}

// A reader that opened the old file keeps reading all of it, and one that opens the path at
// any moment gets one whole version or the other, never a mixture or a short file.
TEST_F(FileReplace, ReplacesInOneStep) {
  const std::string path = directory.file("a.bmp");
  const std::string first(20000, 'a'), second(30000, 'b');
  writeFile(path, first);
  std::ifstream heldOpen(path, std::ios::binary);
  const ino_t oldInode = inodeOf(path);

  std::atomic<bool> done = false;
  std::atomic<int> torn = 0;
  std::thread reader([&] {
    while (!done) {
      const auto bytes = readFileBytes(path);
      if (!bytes) continue;
      const std::string text(bytes->begin(), bytes->end());
      if (text != first && text != second) ++torn;
    }
  });
  for (int round = 0; round < 200; ++round)
    ASSERT_EQ(replaceFile(path.c_str(), bytesOf(round % 2 ? first : second)), 0);
  done = true;
  reader.join();
  EXPECT_EQ(torn, 0);

  EXPECT_NE(inodeOf(path), oldInode);
  const std::string stillOld((std::istreambuf_iterator<char>(heldOpen)), {});
  EXPECT_EQ(stillOld, first);
  EXPECT_EQ(directory.listing(), "a.bmp");
}

TEST_F(FileReplace, FailsWithoutTouchingAnything) {
  const std::string existing = directory.file("a.bmp");
  writeFile(existing, "old");
  writeFile(directory.file("plain"), "x");
  std::filesystem::create_directory(directory.file("folder"));
  std::filesystem::create_directory(directory.file("full"));
  writeFile(directory.file("full/inside"), "x");
  const std::string listing = directory.listing();

  const struct {
    const char* name;
    std::string path;
    int error;
  } rows[] = {
      {"empty path", "", EINVAL},
      {"missing directory", directory.file("missing/a.bmp"), ENOENT},
      // Fails for root too: nothing can be created below a regular file.
      {"parent is a file", directory.file("plain/a.bmp"), ENOTDIR},
      {"target is a directory", directory.file("full"), EISDIR},
      {"target is an empty directory", directory.file("folder"), EISDIR},
      {"path ends in a slash", directory.file("a.bmp") + "/", ENOTDIR},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(replaceFile(row.path.c_str(), bytesOf("new")), row.error);
    EXPECT_EQ(directory.listing(), listing);
    EXPECT_EQ(readFileBytes(existing), bytesOf("old"));
  }
  EXPECT_EQ(replaceFile(nullptr, bytesOf("new")), EINVAL);
  // The kernel's own file system takes no new files, for root neither.
  EXPECT_NE(replaceFile("/proc/a.bmp", bytesOf("new")), 0);
  EXPECT_FALSE(std::filesystem::exists("/proc/a.bmp"));
}

// A write error half-way (here the file-size limit) removes the temporary file.
TEST_F(FileReplace, WriteErrorLeavesTheOldFile) {
  const std::string path = directory.file("a.bmp");
  writeFile(path, "old");
  rlimit old{};
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
  rlimit small = old;
  small.rlim_cur = 1000;
  const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
  const int error = replaceFile(path.c_str(), std::vector<std::uint8_t>(5000, 1));
  ::setrlimit(RLIMIT_FSIZE, &old);
  std::signal(SIGXFSZ, oldHandler);
  EXPECT_EQ(error, EFBIG);
  EXPECT_EQ(readFileBytes(path), bytesOf("old"));
  EXPECT_EQ(directory.listing(), "a.bmp");
}

}  // namespace
}  // namespace qrcodewin32
