// SPDX-License-Identifier: MIT
// Window definitions: the fixed data a window is built from. Plain data with
// no Qt in it, so the tables can be read, checked and tested without a display.
// Texts are code-page bytes; places and sizes are pixels, a control's place
// relative to the client area of its parent, a window's size its outer size.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace toolkit {

// An event handler: a procedure without arguments or result.
using Handler = void (*)();

enum class ControlKind {
  EditBox,
  PicBox,
  GroupBox,
  Label,
  Button,
  ComboBox,
  TransLabel,
  HtmlViewer
};

struct Rgb {
  std::uint8_t red = 0, green = 0, blue = 0;
  constexpr bool operator==(const Rgb&) const = default;
};

// A stored font. An empty face is the system's default face; height 0 means
// no stored font at all: the control uses the default GUI font.
struct Font {
  const char* face = "";
  int height = 0;    // character (em) height in pixels
  int weight = 400;  // 400 normal, 700 bold
};

enum class Border { None, Single, Sunken };
enum class PictureMode { NaturalTopLeft, CentredShrunkToFit };
enum class SelectionWhenUnfocused { Hidden, Shown };

// Settings beyond the common columns of a control row; each kind reads the
// ones that concern it and the check rejects the ones that do not.
struct ControlSettings {
  std::optional<Rgb> textColour{};  // none: black
  std::optional<Rgb> background{};  // none: transparent for labels, white for boxes
  Font font{};
  Border border = Border::None;
  // EditBox
  bool multiLine = false;
  int maxBytes = 0;  // code-page bytes; 0 = no limit
  SelectionWhenUnfocused selection = SelectionWhenUnfocused::Hidden;
  // Label: wrap lines at the label's width (and honour CR LF), from the top.
  bool wrap = false;
  // ComboBox: list items and the height of edit field plus dropped list.
  std::span<const char* const> items{};
  int droppedHeight = 0;
  // PicBox
  PictureMode pictureMode = PictureMode::NaturalTopLeft;
  // HtmlViewer: the address opened at creation (none: no page) and the text
  // zoom step, 0 smallest to 4 largest.
  const char* address = nullptr;
  int zoomStep = 2;
  // Button
  Handler clicked = nullptr;
};

struct ControlDef {
  const char* name;
  ControlKind kind;
  const char* parent;  // null: the window itself; else an earlier GroupBox or PicBox
  int left, top, width, height;
  bool tabStop;
  const char* text;  // caption, label text or initial edit text; null for none
  const ControlSettings* settings;
};

enum class Position { AsStored, CentredOnScreen };
enum class TitleButtons { CloseOnly, MinimizeAndClose };

struct WindowDef {
  const char* name;
  const char* title;
  int width, height;          // outer size, frame and title bar included
  int storedLeft, storedTop;  // used only with Position::AsStored
  Position position;
  TitleButtons buttons;
  bool showInTaskbar;
  bool closeOnEsc;
  std::span<const ControlDef> controls{};  // in definition order: earlier lies above later
  Handler created = nullptr;               // after the controls exist, before the window shows
};

// Checks a definition as it is read: unique control names, every parent an
// earlier container, sizes positive, settings that fit the kind. Returns a
// description of the first fault (in UTF-8, for diagnostics) or nothing.
std::optional<std::string> checkDefinition(const WindowDef& window);

// Index of the control with this name, or -1. For diagnostics and lookups by
// name that the program needs; handlers reach controls by typed index.
int controlIndex(const WindowDef& window, const char* name);

// Index of the control whose text names `control` (an index into the window's
// controls) for assistive technology, or -1 for none. Only edit boxes and combo
// boxes are named by others: by the nearest label among their siblings that
// lies left of them on the same row or above them in the same column, at most
// kLabelGap pixels away; failing that, by the group box they lie in. Every
// other kind names itself by its own text, or has no natural name.
inline constexpr int kLabelGap = 12;
int labelOf(const WindowDef& window, int control);

}  // namespace toolkit
