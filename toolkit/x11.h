// SPDX-License-Identifier: MIT
// X11 window-manager hints that Qt's window flags do not express. They do
// nothing on other platforms (offscreen, Wayland without XWayland).
#pragma once

#include <QSize>
#include <optional>

class QWidget;

namespace toolkit {

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
