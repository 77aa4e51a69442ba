// SPDX-License-Identifier: MIT
// The application shell: start-up, building windows from their definitions,
// the event loop, modal windows, shutdown and the fatal-error path.
#pragma once

#include <span>

#include "common/text.h"
#include "toolkit/definition.h"

namespace toolkit {
class Window;
}

enum class Modal { No, Yes };

// Builds and shows the window of `definition`. True when the window is live
// afterwards (or was, and has been brought forward); false when it cannot be
// built or `parent` names a window that is not live. With Modal::Yes the
// parent is ignored, every other top-level program window is disabled, and
// the call returns only after the window has been destroyed again.
bool LoadWindow(const toolkit::WindowDef& definition, const toolkit::WindowDef* parent,
                Modal modal);

// Shows "运行时出错!" with `message` (code page) in a box captioned "错误", shuts
// down in order and ends the process with exit code -1 (status 255).
[[noreturn]] void FatalError(const char* message);

namespace shell {

// The directory that holds the program, without a trailing '/': a new copy
// on each call, for the caller to release. Empty for a program at the root.
qr::Text programDirectory();
// The live window of a definition, or null.
toolkit::Window* liveWindow(const toolkit::WindowDef& definition);

// Start-up up to the event loop: platform, program directory (made current),
// hidden owner, encoder table, the check of `definitions`, and the start
// window (the first definition). Fatal on failure.
void start(int& argc, char** argv, std::span<const toolkit::WindowDef* const> definitions);
// Runs the event loop while any program window is live; returns its code.
int run();
// Orderly shutdown: windows, encoder library, hidden owner, platform.
void shutdown();

// The program directory of a program file path: everything before the last '/'.
qr::Text directoryOf(const char* programPath);

}  // namespace shell
