// SPDX-License-Identifier: MIT
#include "toolkit/library.h"

#include <elf.h>
#include <gtest/gtest.h>
#include <link.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

std::vector<char> readAll(const char* path) {
  std::ifstream file(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

// Where the bytes the loader maps from the file end: past the last loadable
// segment's file part.
std::size_t mappedEnd(const std::vector<char>& library) {
  ElfW(Ehdr) header;
  std::memcpy(&header, library.data(), sizeof header);
  std::size_t end = 0;
  for (unsigned index = 0; index < header.e_phnum; ++index) {
    ElfW(Phdr) segment;
    std::memcpy(&segment, library.data() + header.e_phoff + index * sizeof segment, sizeof segment);
    if (segment.p_type == PT_LOAD)
      end = std::max<std::size_t>(end, segment.p_offset + segment.p_filesz);
  }
  return end;
}

class LibraryLoading : public testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/qrgen-library-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    directory = pattern;
    library = readAll(STAND_IN_LIBRARY);
    ASSERT_GT(library.size(), sizeof(ElfW(Ehdr)));
  }
  void TearDown() override { std::filesystem::remove_all(directory); }

  // A file named like the library holding `bytes`; its path.
  std::string write(const std::string& name, const char* bytes, std::size_t size) {
    const std::string path = directory + "/" + name;
    std::ofstream(path, std::ios::binary).write(bytes, static_cast<std::streamsize>(size));
    return path;
  }

  std::string directory;
  std::vector<char> library;
};

TEST_F(LibraryLoading, TakesAWholeLibraryAndOneShortOfWhatIsNotMapped) {
  // Section headers and debugging data lie past the mapped part; the loader needs none.
  const std::size_t sizes[] = {library.size(), mappedEnd(library)};
  for (std::size_t size : sizes) {
    SCOPED_TRACE(size);
    const std::string path = write("whole-" + std::to_string(size) + ".dll", library.data(), size);
    toolkit::LibraryHandle handle = toolkit::loadLibrary(path.c_str());
    ASSERT_NE(handle, nullptr);
    EXPECT_NE(toolkit::findEntryPoint(handle, "QRSetMessage"), nullptr);
    EXPECT_EQ(toolkit::findEntryPoint(handle, "NoSuchEntry"), nullptr);
    toolkit::freeLibrary(handle);
  }
}

TEST_F(LibraryLoading, RefusesWhatIsNoWholeLibraryWithoutFaulting) {
  const std::size_t mapped = mappedEnd(library);
  struct Case {
    const char* name;
    std::size_t size;  // of the library's first bytes
  };
  // Cut inside a mapped segment, the loader itself would fault (SIGBUS) on the missing pages.
  const Case cases[] = {
      {"header only", sizeof(ElfW(Ehdr))},
      {"cut in the first page", 1024},
      {"cut halfway through the mapped part", mapped / 2},
      {"one byte short of the mapped part", mapped - 1},
      {"empty", 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string path = write(std::string(c.name) + ".dll", library.data(), c.size);
    EXPECT_EQ(toolkit::loadLibrary(path.c_str()), nullptr);
  }
  const char text[] = "not a library\n";
  EXPECT_EQ(toolkit::loadLibrary(write("text.dll", text, sizeof text - 1).c_str()), nullptr);
  EXPECT_EQ(toolkit::loadLibrary(directory.c_str()), nullptr) << "a directory";
  EXPECT_EQ(toolkit::loadLibrary((directory + "/missing.dll").c_str()), nullptr);
}

}  // namespace
