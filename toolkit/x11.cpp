// SPDX-License-Identifier: MIT
#include "toolkit/x11.h"

#include <xcb/xcb.h>

#include <QGuiApplication>
#include <QWidget>
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>

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

}  // namespace

const char* platformForSession(const SessionEnvironment& session) {
  if (isSet(session.requestedPlatform) || !isSet(session.x11Display)) return nullptr;
  const bool wayland = isSet(session.waylandDisplay) ||
                       (session.sessionType && std::strcmp(session.sessionType, "wayland") == 0);
  return wayland ? "xcb" : nullptr;
}

void applyFixedFrameHints(QWidget* window, bool minimizeButton, Taskbar taskbar) {
  auto* x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
  if (!x11 || QGuiApplication::platformName() != u"xcb") return;
  xcb_connection_t* connection = x11->connection();
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
  auto* x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
  if (!x11 || QGuiApplication::platformName() != u"xcb" ||
      !window->testAttribute(Qt::WA_WState_Created))
    return;
  xcb_connection_t* connection = x11->connection();
  if (!connection) return;
  const auto id = static_cast<xcb_window_t>(window->winId());
  // Flags, then x, y, width, height, minimum, maximum, increment, aspect
  // ratios, base size and gravity: 18 CARD32s.
  constexpr std::uint32_t kResizeIncrement = 64, kBaseSize = 256;
  constexpr std::uint32_t kHintsLength = 18;
  const xcb_get_property_cookie_t cookie = xcb_get_property(
      connection, 0, id, XCB_ATOM_WM_NORMAL_HINTS, XCB_ATOM_WM_SIZE_HINTS, 0, kHintsLength);
  xcb_get_property_reply_t* reply = xcb_get_property_reply(connection, cookie, nullptr);
  if (reply && reply->format == 32 &&
      xcb_get_property_value_length(reply) == static_cast<int>(4 * kHintsLength)) {
    std::uint32_t hints[kHintsLength];
    std::memcpy(hints, xcb_get_property_value(reply), sizeof hints);
    const bool fixed = hints[5] == hints[7] && hints[6] == hints[8];  // minimum is maximum
    if (fixed && hints[0] & (kResizeIncrement | kBaseSize)) {
      hints[0] &= ~(kResizeIncrement | kBaseSize);
      xcb_change_property(connection, XCB_PROP_MODE_REPLACE, id, XCB_ATOM_WM_NORMAL_HINTS,
                          XCB_ATOM_WM_SIZE_HINTS, 32, kHintsLength, hints);
      xcb_flush(connection);
    }
  }
  std::free(reply);
}

std::optional<QSize> nativeFrameSize(QWidget* window) {
  auto* x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
  if (!x11 || QGuiApplication::platformName() != u"xcb" ||
      !window->testAttribute(Qt::WA_WState_Created))
    return std::nullopt;
  xcb_connection_t* connection = x11->connection();
  if (!connection) return std::nullopt;
  const auto id = static_cast<xcb_window_t>(window->winId());
  // Left, right, top, bottom, as CARDINALs.
  const xcb_atom_t extents = internAtom(connection, "_NET_FRAME_EXTENTS");
  const xcb_get_property_cookie_t cookie =
      xcb_get_property(connection, 0, id, extents, XCB_ATOM_CARDINAL, 0, 4);
  xcb_get_property_reply_t* reply = xcb_get_property_reply(connection, cookie, nullptr);
  std::optional<QSize> frame;
  if (reply && reply->format == 32 && xcb_get_property_value_length(reply) == 16) {
    const auto* sides = static_cast<const std::uint32_t*>(xcb_get_property_value(reply));
    frame = QSize(static_cast<int>(sides[0] + sides[1]), static_cast<int>(sides[2] + sides[3]));
  }
  std::free(reply);
  return frame;
}

}  // namespace toolkit
