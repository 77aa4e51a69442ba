// SPDX-License-Identifier: MIT
// X11 window-manager hints that Qt's window flags do not express. They do
// nothing on other platforms (offscreen, Wayland without XWayland).
#pragma once

class QWidget;

namespace toolkit {

enum class Taskbar { Entry, NoEntry };

// For a fixed-frame window: no resize function or handles and no maximise in
// the Motif hints, and _NET_WM_STATE_SKIP_TASKBAR for windows without a taskbar
// entry. Call after the native window exists and before it is first shown.
void applyFixedFrameHints(QWidget* window, bool minimizeButton, Taskbar taskbar);

}  // namespace toolkit
