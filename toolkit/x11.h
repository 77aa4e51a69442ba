// SPDX-License-Identifier: MIT
// X11 window-manager hints that Qt's window flags do not express. They do
// nothing on other platforms (offscreen, Wayland without XWayland).
#pragma once

class QWidget;

namespace toolkit {

// The environment that decides which Qt platform runs the program; null for unset.
struct SessionEnvironment {
  const char* requestedPlatform;  // QT_QPA_PLATFORM
  const char* waylandDisplay;     // WAYLAND_DISPLAY
  const char* x11Display;         // DISPLAY
  const char* sessionType;        // XDG_SESSION_TYPE
};

// The Qt platform the program asks for before the application object exists, or null to
// leave Qt its own choice. In a Wayland session that also offers an X server (XWayland) it
// is "xcb": placing windows and the frame hints here need X11. A platform the user asked
// for explicitly wins; empty values count as unset.
const char* platformForSession(const SessionEnvironment& session);

enum class Taskbar { Entry, NoEntry };

// For a fixed-frame window: no resize function or handles and no maximise in
// the Motif hints, and _NET_WM_STATE_SKIP_TASKBAR for windows without a taskbar
// entry. Call after the native window exists and before it is first shown.
void applyFixedFrameHints(QWidget* window, bool minimizeButton, Taskbar taskbar);

}  // namespace toolkit
