// SPDX-License-Identifier: MIT
// The Qt objects behind windows and controls, for the toolkit's own files and
// for tests that drive them directly. The program's code does not include it.
#pragma once

class QWidget;

namespace toolkit {

class Window;

QWidget* widgetOf(const Window* window);
// The widget of a control; for an HtmlViewer, its frame (the engine view
// arrives inside it after the first show).
QWidget* widgetOf(const Window* window, int control);
// The window a widget belongs to, or null when it is none of ours.
Window* windowOf(const QWidget* widget);

}  // namespace toolkit
