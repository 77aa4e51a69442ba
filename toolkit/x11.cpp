// SPDX-License-Identifier: MIT
#include "toolkit/x11.h"

#include <xcb/xcb.h>

#include <QGuiApplication>
#include <QWidget>
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <vector>

namespace toolkit {
namespace {

xcb_atom_t internAtom(xcb_connection_t* connection, const char* name) {
  const xcb_intern_atom_cookie_t cookie =
      xcb_intern_atom(connection, 0, static_cast<std::uint16_t>(std::strlen(name)), name);
  xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(connection, cookie, nullptr);
  const xcb_atom_t atom = reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
  std::free(reply);
  return atom;
}

// Motif hint bits (from the Motif window-manager protocol).
constexpr std::uint32_t kHintsFunctions = 1, kHintsDecorations = 2;
constexpr std::uint32_t kFunctionMove = 4, kFunctionMinimize = 8, kFunctionClose = 32;
constexpr std::uint32_t kDecorBorder = 2, kDecorTitle = 8, kDecorMenu = 16, kDecorMinimize = 32;

bool isSet(const char* value) {
  return value && *value;
}

// The program's X connection; null on any other platform.
xcb_connection_t* x11Connection() {
  auto* x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
  if (!x11 || QGuiApplication::platformName() != u"xcb") return nullptr;
  return x11->connection();
}

// Exactly `count` 32-bit items of property `property` (of type `type`) of `window`, or
// nothing when it is missing or of another shape.
std::optional<std::vector<std::uint32_t>> readProperty32(xcb_connection_t* connection,
                                                         xcb_window_t window, xcb_atom_t property,
                                                         xcb_atom_t type, std::uint32_t count) {
  const xcb_get_property_cookie_t cookie =
      xcb_get_property(connection, 0, window, property, type, 0, count);
  xcb_get_property_reply_t* reply = xcb_get_property_reply(connection, cookie, nullptr);
  std::optional<std::vector<std::uint32_t>> items;
  if (reply && reply->format == 32 &&
      xcb_get_property_value_length(reply) == static_cast<int>(4 * count)) {
    const auto* first = static_cast<const std::uint32_t*>(xcb_get_property_value(reply));
    items.emplace(first, first + count);
  }
  std::free(reply);
  return items;
}

}  // namespace

const char* platformForSession(const SessionEnvironment& session) {
  if (isSet(session.requestedPlatform) || !isSet(session.x11Display)) return nullptr;
  const bool wayland = isSet(session.waylandDisplay) ||
                       (session.sessionType && std::strcmp(session.sessionType, "wayland") == 0);
  return wayland ? "xcb" : nullptr;
}

void applyFixedFrameHints(QWidget* window, bool minimizeButton, Taskbar taskbar) {
  xcb_connection_t* connection = x11Connection();
  if (!connection) return;
  const auto id = static_cast<xcb_window_t>(window->winId());

  std::uint32_t functions = kFunctionMove | kFunctionClose;
  std::uint32_t decorations = kDecorBorder | kDecorTitle | kDecorMenu;
  if (minimizeButton) {
    functions |= kFunctionMinimize;
    decorations |= kDecorMinimize;
  }
  const std::uint32_t motif[5] = {kHintsFunctions | kHintsDecorations, functions, decorations, 0,
                                  0};
  const xcb_atom_t motifAtom = internAtom(connection, "_MOTIF_WM_HINTS");
  xcb_change_property(connection, XCB_PROP_MODE_REPLACE, id, motifAtom, motifAtom, 32, 5, motif);

  if (taskbar == Taskbar::NoEntry) {
    // Qt keeps atoms it does not manage when it sets this property at show.
    const xcb_atom_t state = internAtom(connection, "_NET_WM_STATE");
    const xcb_atom_t skip = internAtom(connection, "_NET_WM_STATE_SKIP_TASKBAR");
    const xcb_get_property_cookie_t cookie =
        xcb_get_property(connection, 0, id, state, XCB_ATOM_ATOM, 0, 64);
    xcb_get_property_reply_t* reply = xcb_get_property_reply(connection, cookie, nullptr);
    bool present = false;
    if (reply && reply->format == 32) {
      const auto* atoms = static_cast<const xcb_atom_t*>(xcb_get_property_value(reply));
      const int count = xcb_get_property_value_length(reply) / 4;
      present = std::find(atoms, atoms + count, skip) != atoms + count;
    }
    std::free(reply);
    if (!present)
      xcb_change_property(connection, XCB_PROP_MODE_APPEND, id, state, XCB_ATOM_ATOM, 32, 1, &skip);
  }
  xcb_flush(connection);
}

void dropResizeIncrements(QWidget* window) {
  xcb_connection_t* connection = x11Connection();
  if (!connection || !window->testAttribute(Qt::WA_WState_Created)) return;
  const auto id = static_cast<xcb_window_t>(window->winId());
  // Flags, then x, y, width, height, minimum, maximum, increment, aspect
  // ratios, base size and gravity: 18 CARD32s.
  constexpr std::uint32_t kResizeIncrement = 64, kBaseSize = 256;
  constexpr std::uint32_t kHintsLength = 18;
  std::optional<std::vector<std::uint32_t>> hints = readProperty32(
      connection, id, XCB_ATOM_WM_NORMAL_HINTS, XCB_ATOM_WM_SIZE_HINTS, kHintsLength);
  if (!hints) return;
  std::vector<std::uint32_t>& field = *hints;
  const bool fixed = field[5] == field[7] && field[6] == field[8];  // minimum is maximum
  if (fixed && field[0] & (kResizeIncrement | kBaseSize)) {
    field[0] &= ~(kResizeIncrement | kBaseSize);
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, id, XCB_ATOM_WM_NORMAL_HINTS,
                        XCB_ATOM_WM_SIZE_HINTS, 32, kHintsLength, field.data());
    xcb_flush(connection);
  }
}

std::optional<QSize> nativeFrameSize(QWidget* window) {
  xcb_connection_t* connection = x11Connection();
  if (!connection || !window->testAttribute(Qt::WA_WState_Created)) return std::nullopt;
  // Left, right, top, bottom, as CARDINALs.
  const std::optional<std::vector<std::uint32_t>> sides =
      readProperty32(connection, static_cast<xcb_window_t>(window->winId()),
                     internAtom(connection, "_NET_FRAME_EXTENTS"), XCB_ATOM_CARDINAL, 4);
  if (!sides) return std::nullopt;
  const std::vector<std::uint32_t>& side = *sides;
  return QSize(static_cast<int>(side[0] + side[1]), static_cast<int>(side[2] + side[3]));
}

}  // namespace toolkit
