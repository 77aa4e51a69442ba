# SPDX-License-Identifier: MIT
"""Shared pieces of the test cases: one virtual display for each test class."""
import os
import tempfile
import unittest

import harness


class DisplayCase(unittest.TestCase):
    """Tests of one class share a display; each test starts and ends its own program."""

    @classmethod
    def setUpClass(cls):
        cls.display = harness.Display().__enter__()
        cls.addClassCleanup(cls.display.__exit__, None, None, None)

    def scratch(self):
        """A directory for screenshots and crops that goes when the test ends."""
        directory = tempfile.TemporaryDirectory(prefix="qrgen-e2e-shots-")
        self.addCleanup(directory.cleanup)
        return directory.name

    def need_encoder(self):
        if not harness.Paths.encoder:
            self.skipTest("the encoder library is not built")
        return harness.Paths.encoder

    def need_file(self, path, what):
        if not path or not os.path.exists(path):
            self.fail(f"{what} is missing ({path}); build it first")
        return path

    def shown_picture(self, program, ready, what="the picture box to show the picture"):
        """The picture box area of the screen once ready(area) holds, and a PPM file of it."""
        shots = self.scratch()
        left, top = program.client_to_screen(0, 0)
        box = harness.PICTURE_BOX

        def grab():
            screen = self.display.screenshot(os.path.join(shots, "screen.ppm"))
            area = screen.crop(left + box[0], top + box[1], box[2], box[3])
            return area if ready(area) else None
        area = harness.wait_for(grab, what)
        path = os.path.join(shots, "picture-box.ppm")
        area.write_ppm(path)
        return area, path

    def close_with_esc(self, program, window=None):
        self.display.focus(window or program.window)
        self.display.key("Escape")
