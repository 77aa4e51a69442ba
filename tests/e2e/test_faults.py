# SPDX-License-Identifier: MIT
"""Faults the program survives without losing anything: a program directory it may not write
to, and an a.bmp that another process replaced before the program read it back."""
import os
import sys
import unittest

import harness
from cases import DisplayCase
from harness import Program

MIB = 1024  # KiB


def empty(area):
    return area.dark_box() is None


def shows_black_picture(area):
    # The stand-in's 500 x 500 black picture, shrunk into the box.
    return area.dark_box() == (2, 0, 497, 495)


def shows_symbol(area):
    box = area.dark_box()
    return box is not None and box[0] >= 2 and box[2] <= 497


def shows_wide_band(area):
    # 16384 x 4096 shrunk to 500 x 125, centred down the box.
    return area.dark_box() == (0, 185, 499, 309)


class FaultsTest(DisplayCase):

    def test_unwritable_program_directory_leaves_the_box_empty_and_the_program_working(self):
        encoder = self.need_encoder()
        try:
            user = harness.unprivileged_user()
        except LookupError:
            self.skipTest("the tests run as root, and there is no account 'nobody' to run the "
                          "program as, for whom permissions count")
        with Program(self.display, encoder, user=user) as program:
            os.chmod(program.directory, 0o555)
            before = program.listing()
            program.main_window()
            program.type_into_text_box("只读目录")
            program.generate()
            program.sync()
            self.shown_picture(program, empty, "the picture box to stay empty")
            self.assertEqual(program.listing(), before, "no a.bmp and no temporary file")

            os.chmod(program.directory, 0o755)
            program.generate()
            picture = program.wait_picture()
            self.assertEqual(harness.decode(picture), ["只读目录".encode("utf-8")])
            self.shown_picture(program, shows_symbol)
            with open(picture, "rb") as file:
                written = file.read()

            # Unwritable again: the symbol on screen goes, the one on disk stays.
            os.chmod(program.directory, 0o555)
            self.display.click(program.window, *harness.TEXT_BOX)
            self.display.key("ctrl+a")
            program.type("第二次")
            program.generate()
            self.shown_picture(program, empty, "the picture box to be emptied")
            self.assertEqual(program.listing(), sorted(before + ["a.bmp"]))
            with open(picture, "rb") as file:
                self.assertEqual(file.read(), written)

            self.close_with_esc(program)
            self.assertEqual(program.wait_exit(), 0)

    def test_a_bmp_replaced_before_the_read_back(self):
        fake = self.need_file(harness.Paths.fake, "the stand-in library")
        # What the stand-in leaves at the path after it wrote the picture; what the box then
        # shows; how far the program's peak resident memory may rise (MiB) for it.
        cases = [
            ("garbage", empty, 32),
            ("truncated", empty, 32),
            ("huge-header", empty, 32),  # 30000 x 30000: 3.4 GiB of pixels if decoded
            ("fifo", empty, 32),
            # The largest picture the box takes: the file, its 256 MiB of pixels, and room.
            ("huge", shows_wide_band, 8 + 256 + 64),
        ]
        for mode, shown, allowed_mib in cases:
            saves = f"picture,{mode},picture"
            with self.subTest(mode), \
                    Program(self.display, fake, env={"QRGEN_FAKE_SAVE": saves}) as program:
                program.main_window()
                program.generate()
                self.shown_picture(program, shows_black_picture)
                _, peak_before = program.memory_kib()

                program.generate()
                program.sync()  # not stuck on the file
                self.shown_picture(program, shown, f"the picture box after {mode}")
                _, peak_after = program.memory_kib()
                print(f"\n{mode}: peak resident {peak_before // MIB} MiB before the press, "
                      f"{peak_after // MIB} MiB after", file=sys.stderr)
                self.assertLess(peak_after - peak_before, allowed_mib * MIB)

                # The next picture shows as ever.
                program.generate()
                self.shown_picture(program, shows_black_picture)
                self.close_with_esc(program)
                self.assertEqual(program.wait_exit(), 0)


if __name__ == "__main__":
    unittest.main()
