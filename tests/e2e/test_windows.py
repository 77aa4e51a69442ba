# SPDX-License-Identifier: MIT
"""Closing the program and its modal About window."""
import os
import re
import unittest

import harness
from cases import DisplayCase
from harness import Program


class WindowsTest(DisplayCase):

    def test_close_requests_end_the_program_with_status_zero(self):
        fake = self.need_file(harness.Paths.fake, "the stand-in library")

        def by_key(*keys):
            def close(program):
                self.display.focus(program.window)
                self.display.key(*keys)
            return close

        def by_window_manager(program):
            # What a window manager sends for its close button.
            program.watch.request_close(program.window)

        cases = [("Esc", by_key("Escape")), ("Alt+F4", by_key("alt+F4")),
                 ("WM_DELETE_WINDOW", by_window_manager)]
        for name, close in cases:
            with self.subTest(name), Program(self.display, fake) as program:
                program.main_window()
                close(program)
                self.assertEqual(program.wait_exit(), 0)

    def test_web_view_beside_the_program_shows_its_own_page_when_offline(self):
        # The promotion page's address does not resolve here.
        fake = self.need_file(harness.Paths.fake, "the stand-in library")
        shots = self.scratch()
        with Program(self.display, fake) as program:
            program.main_window()
            x, y = program.client_to_screen(*harness.WEB_VIEW_POINT)

            def shown():
                screen = self.display.screenshot(os.path.join(shots, "screen.ppm"))
                return screen.pixel(x, y) == harness.OFFLINE_PAGE_COLOUR
            harness.wait_for(shown, "the web view's own page")

    def test_losing_the_display_ends_the_program_without_a_crash(self):
        fake = self.need_file(harness.Paths.fake, "the stand-in library")
        with Program(self.display, fake) as program:
            program.main_window()
            # The server drops the program's connection.
            self.display.xdotool("windowkill", program.window)
            status = program.wait_exit()
            self.assertGreater(status, 0, f"ended by signal {-status}" if status < 0 else "")

    def test_about_window_is_modal_centred_and_closes_alone(self):
        fake = self.need_file(harness.Paths.fake, "the stand-in library")
        with Program(self.display, fake) as program:
            main = program.main_window()
            self.display.focus(main)
            self.display.click(main, *harness.ABOUT)
            about = program.wait_window(harness.ABOUT_TITLE)

            width, height = 467, 320
            self.assertEqual(self.display.geometry(about),
                             ((harness.SCREEN[0] - width) // 2,
                              (harness.SCREEN[1] - height) // 2, width, height))
            owner = re.search(r"WM_TRANSIENT_FOR\(WINDOW\): window id # (0x[0-9a-f]+)",
                              self.display.xprop(about, "WM_TRANSIENT_FOR"))
            self.assertIsNotNone(owner, "a window manager would not keep it over its owner")
            self.assertEqual(program.watch.pid(int(owner.group(1), 16)), program.process.pid)

            # A press on the blocked window does nothing, once the program has handled it.
            self.display.click(main, *harness.GENERATE)
            program.sync(main)
            self.assertEqual(program.calls(), [])
            self.assertFalse(os.path.exists(program.picture))

            self.display.focus(about)
            self.display.key("Escape")
            program.wait_gone(about)
            program.sync(main)
            self.assertEqual(program.windows(harness.MAIN_TITLE), [main])
            self.assertIsNone(program.process.poll())

            # Input reaches MainWindow again.
            program.generate()
            program.wait_picture()
            self.display.focus(main)
            self.display.key("Escape")
            self.assertEqual(program.wait_exit(), 0)


if __name__ == "__main__":
    unittest.main()
