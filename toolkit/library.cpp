// SPDX-License-Identifier: MIT
#include "toolkit/library.h"

#include <dlfcn.h>
#include <elf.h>
#include <fcntl.h>
#include <link.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstring>

namespace toolkit {
namespace {

bool readAt(int fd, void* buffer, std::size_t size, off_t offset) {
  return pread(fd, buffer, size, offset) == static_cast<ssize_t>(size);
}

// The loader maps a library's segments straight from its file and faults
// (SIGBUS) on a page beyond the file's end, so a file cut short must be
// refused before dlopen sees it. What else a file may lack, dlopen reports.
bool segmentsLieInFile(const char* path) {
  const int fd = open(path, O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
  if (fd < 0) return false;
  bool whole = false;
  struct stat info {};
  ElfW(Ehdr) header{};
  if (fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && readAt(fd, &header, sizeof header, 0) &&
      std::memcmp(header.e_ident, ELFMAG, SELFMAG) == 0 &&
      header.e_phentsize == sizeof(ElfW(Phdr))) {
    const auto size = static_cast<std::uint64_t>(info.st_size);
    whole = true;
    for (unsigned index = 0; whole && index < header.e_phnum; ++index) {
      ElfW(Phdr) segment{};
      const std::uint64_t at = header.e_phoff + std::uint64_t{index} * sizeof segment;
      whole = at <= size && sizeof segment <= size - at &&
              readAt(fd, &segment, sizeof segment, static_cast<off_t>(at));
      if (whole && segment.p_type == PT_LOAD)
        whole = segment.p_offset <= size && segment.p_filesz <= size - segment.p_offset;
    }
  }
  close(fd);
  return whole;
}

}  // namespace

LibraryHandle loadLibrary(const char* path) {
  if (!path) return nullptr;
  // A bare name goes through the system's search, whose file is not known here.
  if (std::strchr(path, '/') && !segmentsLieInFile(path)) return nullptr;
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
