// SPDX-License-Identifier: MIT
// Which Qt platform the program asks for, from the session it starts in.
#include <gtest/gtest.h>

#include <string>

#include "toolkit/x11.h"

namespace {

TEST(PlatformChoice, WaylandSessionsWithAnXServerGetX11AndAnExplicitChoiceWins) {
  struct Case {
    const char* name;
    toolkit::SessionEnvironment session;
    const char* expected;  // null: Qt's own choice
  };
  const Case cases[] = {
      // {QT_QPA_PLATFORM, WAYLAND_DISPLAY, DISPLAY, XDG_SESSION_TYPE}
      {"Wayland with XWayland", {nullptr, "wayland-0", ":0", "wayland"}, "xcb"},
      {"Wayland socket, session type unset", {nullptr, "wayland-0", ":0", nullptr}, "xcb"},
      {"Wayland session type, socket unset", {nullptr, nullptr, ":0", "wayland"}, "xcb"},
      {"explicit platform empty counts as unset", {"", "wayland-0", ":0", nullptr}, "xcb"},
      {"explicit Wayland wins", {"wayland", "wayland-0", ":0", "wayland"}, nullptr},
      {"explicit offscreen wins", {"offscreen", "wayland-0", ":0", nullptr}, nullptr},
      {"Wayland without an X server", {nullptr, "wayland-0", nullptr, "wayland"}, nullptr},
      {"Wayland with an empty DISPLAY", {nullptr, "wayland-0", "", "wayland"}, nullptr},
      {"X11 session", {nullptr, nullptr, ":0", "x11"}, nullptr},
      {"empty Wayland socket in an X11 session", {nullptr, "", ":0", "x11"}, nullptr},
      {"nothing set", {nullptr, nullptr, nullptr, nullptr}, nullptr},
  };
  for (const Case& test : cases) {
    const char* chosen = toolkit::platformForSession(test.session);
    EXPECT_EQ(std::string(chosen ? chosen : "(Qt's choice)"),
              std::string(test.expected ? test.expected : "(Qt's choice)"))
        << test.name;
  }
}

}  // namespace
