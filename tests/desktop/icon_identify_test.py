# SPDX-License-Identifier: MIT
"""The built icon files as ImageMagick reads them, a reader that shares nothing with ours.

  icon_identify_test.py ICON_DIRECTORY
"""
import os
import re
import subprocess
import sys
import unittest

IDENTIFY = "/usr/bin/identify"  # another convert or identify may come first on PATH
SIZES = (16, 24, 32, 48)
LARGE_SIZES = (64, 128, 256)
DEPTHS = (4, 8, 32)


def identify(*args):
    return subprocess.run([IDENTIFY, *args], capture_output=True, text=True, check=True,
                          timeout=60).stdout


class IconFileTest(unittest.TestCase):
    directory = None

    def test_every_size_in_every_depth(self):
        path = os.path.join(self.directory, "qrgen.ico")
        rows = [line.split() for line in identify("-format", "%p %w %h %z %k\n", path).splitlines()]
        expected = [(size, depth) for size in SIZES for depth in DEPTHS]
        self.assertEqual([(int(w), int(h)) for _, w, h, _, _ in rows],
                         [(size, size) for size, _ in expected])
        for (index, _, _, channel_depth, colours), (size, depth) in zip(rows, expected):
            with self.subTest(size=size, depth=depth):
                # ImageMagick keeps 4-bit samples for a 16-colour entry and 8-bit otherwise;
                # only a 32-bit entry has an alpha channel of more than its AND mask's bit.
                self.assertEqual(int(channel_depth), 4 if depth == 4 else 8)
                verbose = identify("-verbose", f"{path}[{index}]")
                alpha = re.search(r"Channel depth:.*?alpha: (\d+)-bit", verbose, re.S)
                self.assertIsNotNone(alpha, "no alpha channel")
                self.assertEqual(int(alpha.group(1)), 8 if depth == 32 else 1)
                # The masked pixels count as one more colour.
                if depth == 4:
                    self.assertLessEqual(int(colours), 16 + 1)
                if depth == 8:
                    self.assertLessEqual(int(colours), 256 + 1)

    def test_theme_icons_have_their_size_and_alpha(self):
        for size in SIZES + LARGE_SIZES:
            with self.subTest(size=size):
                path = os.path.join(self.directory, f"icon-{size}.png")
                width, height, kind = identify("-format", "%w %h %[channels]", path).split()
                self.assertEqual((int(width), int(height)), (size, size))
                self.assertEqual(kind, "srgba")


if __name__ == "__main__":
    IconFileTest.directory = sys.argv.pop(1)
    unittest.main(argv=[sys.argv[0], "-v"])
