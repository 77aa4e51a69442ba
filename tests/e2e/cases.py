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

    def close_with_esc(self, program, window=None):
        self.display.focus(window or program.window)
        self.display.key("Escape")
