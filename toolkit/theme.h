// SPDX-License-Identifier: MIT
// Themed drawing of the standard controls (Windows' visual styles with their
// three colour schemes), realised as a Qt style over Fusion set for the whole
// application: it reaches every window, those open and those built later.
// Themed: push buttons, check boxes, radio buttons, group boxes, edit boxes,
// combo boxes with their lists, spin boxes. Picture boxes, labels and the web
// view paint themselves and keep their look.
#pragma once

#include <QColor>

namespace toolkit {

enum class ColourScheme { Off = 0, Blue = 1, OliveGreen = 2, Silver = 3 };

// 1 blue, 2 olive green, 3 silver; any other number switches theming off.
void setThemedDrawing(int scheme);
ColourScheme themedDrawing();

// The colours a scheme draws with; for tests and the style itself.
struct SchemeColours {
  QColor frame;       // frames of themed controls
  QColor glyph;       // check marks, arrows
  QColor fillTop;     // gradient of buttons and drop-down buttons, top
  QColor fillBottom;  // … bottom
  QColor hotFrame;    // frame of the control under the mouse
  QColor pressedTop;  // gradient while pressed
  QColor pressedBottom;
};
SchemeColours coloursOf(ColourScheme scheme);

}  // namespace toolkit
