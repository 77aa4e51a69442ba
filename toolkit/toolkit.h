// SPDX-License-Identifier: MIT
// The platform layer: windows, controls, the event loop and the system
// services the program uses, realised on Qt 6 Widgets and Qt WebEngine.
// Texts cross this interface as code-page bytes and are converted here.
//
// What the Qt implementation realises, and how:
//  [X] Top-level windows built hidden from a WindowDef: fixed outer size (the
//      frame the window manager reports is taken off the client), centred on
//      the primary screen (kept on it when larger), minimise/close title
//      buttons, not resizable.
//  [X] Owned windows: the owner becomes X11 WM_TRANSIENT_FOR; owned windows are
//      dialogs, which keep out of the taskbar. The hidden owner window is a
//      native X11 window that is never mapped.
//  [X] Disabling a window (Windows' EnableWindow): input to it and its
//      controls is swallowed by an event filter; it keeps being painted in its
//      normal colours, and a click on it brings the window that blocks it forward.
//  [X] The event loop, the modal loop (a nested QEventLoop), processing
//      waiting messages, the quit request, the error message box.
//  [X] Controls: EditBox (QPlainTextEdit / QLineEdit) with a limit counted in
//      code-page bytes, PicBox, GroupBox, Label, Button, ComboBox (editable,
//      with a selection position the user sets only by picking from the list),
//      TransLabel, HtmlViewer (QWebEngineView, started right after the first show).
//  [X] Keyboard: focus cycle in reverse definition order, Tab wrapping, Enter
//      inert outside multi-line edit boxes, Esc closing the window.
//  [X] Fonts: "宋体" and the empty face name map to installed CJK faces.
//  [X] Accessibility: every control has a role and a name, edit boxes and combo
//      boxes the text of the label beside or above them or their group box's
//      title (toolkit/accessibility.h).
//  [X] Screen scaling (QT_SCALE_FACTOR): places, sizes and fonts are logical
//      pixels; the window manager's frame is taken in device pixels; pictures
//      enlarged onto the screen are drawn without smoothing, so they stay sharp;
//      themed outlines lie on whole device pixels.
//  [X] The application icon: decoded from the program's own icon file, the deepest
//      picture of each size, set on the application; X11 shows it as _NET_WM_ICON.
//  [X] Desktop identity: the application name is the class of WM_CLASS, which the
//      desktop entry names; the entry's own name serves platforms that match by it.
//  [X] Wayland desktops: the program asks for X11 (XWayland) unless QT_QPA_PLATFORM says
//      otherwise, since centring and frame hints need the X11 protocol.
//  [ ] Labels cannot draw outside their own rectangle (Qt clips child widgets).
//  [ ] Button captions do not wrap onto several lines.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "common/text.h"
#include "toolkit/definition.h"

namespace toolkit {

class Window;  // a live window built from a WindowDef; owned by the toolkit

// ---- Process and event loop ----------------------------------------------

// Creates the application object (this maps the component-system start-up:
// Qt's application plus what the web view needs, such as WebEngine's sandbox
// switch when running as root). Call once, before anything else here.
void startPlatform(int& argc, char** argv);
// What desktops know the program by; call before startPlatform(). `name` becomes the class
// in every window's WM_CLASS, `desktopEntry` is the desktop entry's file name without
// ".desktop". Both are copied.
void setApplicationIdentity(const char* name, const char* desktopEntry);
// The icon every window shows in its title bar and task switcher, from the bytes of an icon
// file: for each size, its deepest picture. Call after startPlatform(); `iconFile` is only
// read during the call. Bytes holding no picture leave the windows without an icon.
void setApplicationIcon(std::span<const std::uint8_t> iconFile);
// Destroys the application object; the last step of shutdown.
void stopPlatform();

// Runs the main loop until quit() is called; returns the quit code.
int runEventLoop();
// Asks the main loop (and any loop nested in it) to end with `code`.
void quit(int code);
// Handles the events already waiting, then returns.
void processWaitingEvents();

// A nested loop that runs until end() is called; dispatches all windows' events.
class ModalLoop {
 public:
  ModalLoop();
  ~ModalLoop();
  ModalLoop(const ModalLoop&) = delete;
  ModalLoop& operator=(const ModalLoop&) = delete;
  void run();
  void end();

 private:
  struct Private;
  Private* d;
};

enum class MessageIcon { Error };
// Shows a message box without owner and one OK button; returns when it is closed.
void showMessageBox(const char* caption, const char* text, MessageIcon icon);

// ---- Windows ---------------------------------------------------------------

// Told by a window that the user asks to close it (close button, system menu,
// Alt+F4, or Esc when the definition says so). The receiver decides and calls
// destroyWindow(); without a receiver the window is destroyed at once.
using CloseRequestHandler = void (*)(Window* window);
void setCloseRequestHandler(CloseRequestHandler handler);

// The invisible window that owns windows opened without a parent.
Window* createHiddenOwner();

// Builds the window and its controls hidden; null when it cannot be built.
// The controls are visible inside it; nothing is raised yet.
Window* createWindow(const WindowDef& definition, Window* owner);
// Shows the window (placed as its definition says) and activates it.
void showWindow(Window* window);
// Hides the window and destroys it once control is back in the event loop;
// the caller must not use the pointer afterwards.
void destroyWindow(Window* window);

const WindowDef& definitionOf(const Window* window);
Window* ownerOf(const Window* window);  // null for none
bool isMinimised(const Window* window);
void restoreWindow(Window* window);
void activateWindow(Window* window);

// Whether the window takes mouse and keyboard input (Windows' EnableWindow).
bool isInputEnabled(const Window* window);
void setInputEnabled(Window* window, bool enabled);

// ---- Controls, by index in the window's definition ---------------------------

// The live text of an edit box in code-page bytes, line breaks as CR LF; null
// when empty.
qr::Text editText(const Window* window, int control);
void setEditText(Window* window, int control, const char* text);
// Selection position of a combo box: the 0-based list item the user picked, -1
// for none.
int comboSelection(const Window* window, int control);
void comboAppend(Window* window, int control, const char* itemText);
int comboCount(const Window* window, int control);
qr::Text comboItem(const Window* window, int control, int index);
// The text shown in the combo box's edit field.
qr::Text comboEditText(const Window* window, int control);
// Sets a picture box's picture from the bytes of an image file; bytes of no
// recognised format (or none) leave it without a picture.
void setPicture(Window* window, int control, const qr::ByteSet& imageFile);
bool hasPicture(const Window* window, int control);
// Gives a control the name and description a screen reader announces, for a
// control whose definition gives it none (a picture box). Code-page texts; a
// null text keeps what the control has.
void setAccessibleText(Window* window, int control, const char* name, const char* description);

// ---- System services ---------------------------------------------------------

// The full path of the running program in native bytes; empty if unknown.
std::string programPath();
// Makes `directory` the current directory; false when that fails.
bool setCurrentDirectory(const char* directory);
// The whole content of a file; empty when it is missing, unreadable, empty,
// not a regular file (a pipe or device is not waited on) or larger than
// anything the picture box could show (256 MiB).
qr::ByteSet readWholeFile(const char* path);

}  // namespace toolkit
