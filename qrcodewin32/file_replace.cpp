// SPDX-License-Identifier: MIT
#include "qrcodewin32/file_replace.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>

namespace qrcodewin32 {
namespace {

// Beside the target, so the rename stays within one file system; short, so a long target name
// cannot push it past NAME_MAX.
std::string temporaryTemplate(std::string_view path) {
  const std::size_t slash = path.rfind('/');
  std::string directory;
  if (slash == std::string_view::npos)
    directory = ".";
  else if (slash == 0)
    directory = "/";
  else
    directory = std::string(path.substr(0, slash));
  return directory + "/.QRCodeWin32-XXXXXX";
}

int writeAll(int descriptor, std::span<const std::uint8_t> bytes) {
  while (!bytes.empty()) {
    const ssize_t written = ::write(descriptor, bytes.data(), bytes.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    bytes = bytes.subspan(static_cast<std::size_t>(written));
  }
  return 0;
}

mode_t permissionsFor(const char* path) {
  struct stat old;
  if (::stat(path, &old) == 0 && S_ISREG(old.st_mode)) return old.st_mode & 0777;
  return 0666 & ~currentUmask();
}

}  // namespace

mode_t currentUmask() {
  // Linux shows it in /proc; setting and restoring it would race with other threads.
  if (std::FILE* status = std::fopen("/proc/self/status", "re")) {
    char line[256];
    unsigned mask = 0;
    bool found = false;
    while (!found && std::fgets(line, sizeof line, status))
      found = std::sscanf(line, "Umask: %o", &mask) == 1;
    std::fclose(status);
    if (found) return static_cast<mode_t>(mask);
  }
  const mode_t mask = ::umask(022);
  ::umask(mask);
  return mask;
}

int replaceFile(const char* path, std::span<const std::uint8_t> bytes) {
  if (path == nullptr || *path == '\0') return EINVAL;
  std::string temporary = temporaryTemplate(path);
  const int descriptor = ::mkostemp(temporary.data(), O_CLOEXEC);
  if (descriptor < 0) return errno;

  int error = writeAll(descriptor, bytes);
  if (error == 0 && ::fchmod(descriptor, permissionsFor(path)) != 0) error = errno;
  // Linux closes the descriptor even when close() is interrupted.
  if (::close(descriptor) != 0 && errno != EINTR && error == 0) error = errno;
  if (error == 0 && ::rename(temporary.c_str(), path) != 0) error = errno;
  if (error != 0) ::unlink(temporary.c_str());
  return error;
}

}  // namespace qrcodewin32
