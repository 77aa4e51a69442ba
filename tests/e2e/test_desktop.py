# SPDX-License-Identifier: MIT
"""The program as a desktop runs it: installed into a prefix and started by its desktop
entry's command, and in a Wayland session."""
import os
import re
import subprocess
import sys
import tempfile
import unittest

import harness
from cases import DisplayCase
from harness import Program

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "desktop"))
import desktop_entry  # noqa: E402

ICON_SIZES = [(16, 16), (24, 24), (32, 32), (48, 48)]


def window_class(display, window):
    """The class half of a window's WM_CLASS."""
    found = re.search(r'WM_CLASS\(STRING\) = "[^"]*", "([^"]*)"', display.xprop(window, "WM_CLASS"))
    return found.group(1) if found else None


def icon_sizes(display, window):
    """The sizes of the pictures in a window's _NET_WM_ICON, in order."""
    listing = display.xprop(window, "_NET_WM_ICON")
    return [(int(w), int(h)) for w, h in re.findall(r"Icon \((\d+) x (\d+)\)", listing)]


class InstalledProgramTest(DisplayCase):

    def install(self):
        if not harness.Paths.cmake or not harness.Paths.build:
            self.fail("run.py needs --cmake and --build-dir for the installed program")
        scratch = tempfile.TemporaryDirectory(prefix="qrgen-e2e-install-")
        self.addCleanup(scratch.cleanup)
        prefix = os.path.join(scratch.name, "a prefix")
        subprocess.run([harness.Paths.cmake, "--install", harness.Paths.build, "--prefix", prefix],
                       check=True, capture_output=True, timeout=90)
        entries = os.path.join(prefix, "share", "applications")
        names = os.listdir(entries)
        self.assertEqual(len(names), 1, names)
        return prefix, desktop_entry.read(os.path.join(entries, names[0]))

    def test_installed_program_runs_from_its_entry_and_writes_into_its_folder(self):
        encoder = self.need_encoder()
        prefix, entry = self.install()
        command = desktop_entry.exec_arguments(entry["Exec"])
        folder = os.path.join(prefix, "opt", "qrgen")
        self.assertEqual(command, [os.path.join(folder, "qrgen")])

        with Program(self.display, encoder, installed=folder) as program:
            main = program.main_window()
            # What lets a desktop match the windows to the entry and show the icon.
            self.assertEqual(window_class(self.display, main), entry["StartupWMClass"])
            self.assertEqual(icon_sizes(self.display, main), ICON_SIZES)

            program.type_into_text_box("装好的二维码")
            program.generate()
            picture = program.wait_picture()
            self.assertEqual(os.path.dirname(picture), folder)
            expected = "装好的二维码".encode("utf-8")
            self.assertEqual(harness.decode(picture), [expected])
            self.assertEqual(harness.decode_zbar(picture), expected)
            self.assertFalse(os.path.exists(os.path.join(program.elsewhere, "a.bmp")))

            self.display.focus(main)
            self.display.click(main, *harness.ABOUT)
            about = program.wait_window(harness.ABOUT_TITLE)
            self.assertEqual(window_class(self.display, about), entry["StartupWMClass"])
            self.assertEqual(icon_sizes(self.display, about), ICON_SIZES)
            self.close_with_esc(program, about)
            program.wait_gone(about)
            self.close_with_esc(program)
            self.assertEqual(program.wait_exit(), 0)


class WaylandSessionTest(DisplayCase):

    def test_wayland_session_with_an_x_server_runs_the_program_on_x11(self):
        fake = self.need_file(harness.Paths.fake, "the stand-in library")
        session = {"WAYLAND_DISPLAY": "wayland-qrgen-test", "XDG_SESSION_TYPE": "wayland",
                   "XDG_CURRENT_DESKTOP": "KDE"}
        with Program(self.display, fake, env=session) as program:
            program.main_window()
            # Left to itself Qt would try its Wayland platform first and only then fall back
            # (or, where that platform is installed, run without X11 at all).
            self.assertNotIn("wayland", program.stderr().lower())
            self.close_with_esc(program)
            self.assertEqual(program.wait_exit(), 0)


if __name__ == "__main__":
    unittest.main()
