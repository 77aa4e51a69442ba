// SPDX-License-Identifier: MIT
// Replacing a file in one step, so no reader ever sees it half-written.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <span>

namespace qrcodewin32 {

// Writes `bytes` to a new temporary file beside `path`, gives it the old file's permission bits
// (a new file gets 0666 less the umask) and renames it over `path`. Returns 0 on success, else
// the errno of the step that failed, after removing the temporary file; the old file is then
// untouched. `path` must not be null or empty (EINVAL). No fsync: readers are safe, a power
// failure may lose the file.
int replaceFile(const char* path, std::span<const std::uint8_t> bytes);

// The process's umask, read without changing it where the system allows.
mode_t currentUmask();

}  // namespace qrcodewin32
