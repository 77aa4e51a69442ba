// SPDX-License-Identifier: MIT
// What screen readers learn of windows and controls through Qt's accessibility
// interfaces. Standard widgets keep Qt's own interfaces; the toolkit's painted
// controls and its combo box get interfaces of their own here:
//  [X] Windows: role Window, or Dialog for owned windows; named by their title.
//  [X] Labels: StaticText; picture boxes: Graphic; the web-view frame: Pane.
//  [X] Combo box: ComboBox named by its label (Qt names it by its text on this
//      platform), its text as the value, its list and field as children.
//  [ ] Picture boxes offer no image interface (size and place of the picture).
#pragma once

namespace toolkit {

// Makes Qt ask the toolkit first for the interfaces of its own widgets. Call
// after the application object exists; calling again does nothing.
void installAccessibility();

}  // namespace toolkit
