// SPDX-License-Identifier: MIT
// X11 window-manager hints that Qt's window flags do not express. They do
// nothing on other platforms (offscreen, Wayland without XWayland).
#pragma once

#include <QSize>
#include <optional>

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

// For a window whose minimum and maximum size are one: drops the resize
// increment and base size from WM_NORMAL_HINTS. On a scaled screen Qt sets an
// increment of a rounded-up logical pixel and a negative base size, which a
// window manager may apply to an odd device size. Qt writes the hints anew when
// it shows or resizes the window: call after each.
void dropResizeIncrements(QWidget* window);

// The window manager's frame as it adds to the window's size, in device pixels,
// from the frame extents it announces; nothing where it announces none or the
// platform is not X11.
std::optional<QSize> nativeFrameSize(QWidget* window);

}  // namespace toolkit
