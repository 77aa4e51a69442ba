# SPDX-License-Identifier: MIT
"""The encoder library missing, whole or in part: a message box, then status 255."""
import os
import unittest

import harness
from cases import DisplayCase
from harness import Program


def fatal_text(entry):
    return ("运行时出错!\n\n错误信息：无法找到指定DLL库文件“QRCodeWin32.dll”中的输出命令"
            f"“{entry}”\n")


class FatalTest(DisplayCase):

    def generate_until_fatal(self, program, entry):
        """Presses the button, answers the box and checks what the program left."""
        program.main_window()
        program.sync()
        self.assertEqual(program.windows(harness.ERROR_TITLE), [], "no box before the press")
        program.generate()
        box = program.wait_window(harness.ERROR_TITLE)
        # The program prints CR LF, as in its box; what matters is the text line by line.
        self.assertIn(fatal_text(entry), program.stderr())
        self.display.focus(box)
        self.display.key("Return")
        self.assertEqual(program.wait_exit(), 255)
        self.assertFalse(os.path.exists(program.picture))

    def test_missing_library_is_fatal_at_the_first_press(self):
        with Program(self.display, None) as program:
            self.generate_until_fatal(program, "QRSetMessage")

    def test_library_on_the_search_path_serves_when_none_is_beside_the_program(self):
        fake = self.need_file(harness.Paths.fake, "the stand-in library")
        with Program(self.display, None, env={"LD_LIBRARY_PATH": os.path.dirname(fake)}) \
                as program:
            program.main_window()
            program.generate()
            program.wait_picture()
            self.assertEqual(program.calls(), list(harness.ENTRY_POINTS))

    def test_missing_entry_point_is_fatal_before_any_later_one_is_called(self):
        for index, entry in enumerate(harness.ENTRY_POINTS):
            with self.subTest(entry):
                library = self.need_file(harness.Paths.without.get(entry),
                                         f"the stand-in without {entry}")
                with Program(self.display, library) as program:
                    self.generate_until_fatal(program, entry)
                    self.assertEqual(program.calls(), list(harness.ENTRY_POINTS[:index]))


if __name__ == "__main__":
    unittest.main()
