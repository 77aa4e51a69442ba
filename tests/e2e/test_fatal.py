# SPDX-License-Identifier: MIT
"""The encoder library missing, whole or in part: a message box, then status 255."""
import os
import struct
import unittest

import harness
from cases import DisplayCase
from harness import Program


def fatal_text(entry):
    return ("运行时出错!\n\n错误信息：无法找到指定DLL库文件“QRCodeWin32.dll”中的输出命令"
            f"“{entry}”\n")


def loaded_extent(library):
    """Where the last byte the loader maps from a 64-bit ELF file ends."""
    with open(library, "rb") as file:
        data = file.read()
    table, entry_size, entries = struct.unpack_from("<Q14xHH", data, 32)
    extents = []
    for index in range(entries):
        kind, _, offset, _, _, size = struct.unpack_from("<IIQQQQ", data, table + index * entry_size)
        if kind == 1:  # PT_LOAD
            extents.append(offset + size)
    return max(extents)


def not_a_library():
    """Files named QRCodeWin32.dll that no loader takes, by what they hold."""
    with open(harness.Paths.fake, "rb") as file:
        library = file.read()
    return [("text", "这不是库\nnot a library\n".encode("utf-8")),
            ("empty", b""),
            # Cut inside what the loader maps: it would fault on the missing pages.
            ("truncated ELF", library[:loaded_extent(harness.Paths.fake) // 2])]


class FatalTest(DisplayCase):

    def generate_until_fatal(self, program, entry):
        """Presses the button, answers the box and checks what the program left: a.bmp as it
        was before the press, and a picture box that did not take it."""
        program.main_window()
        program.sync()
        self.assertEqual(program.windows(harness.ERROR_TITLE), [], "no box before the press")
        before = program.listing()
        stale = program.picture_identity() if os.path.exists(program.picture) else None
        program.generate()
        box = program.wait_window(harness.ERROR_TITLE)
        program.sync()
        # The program prints CR LF, as in its box; what matters is the text line by line.
        self.assertIn(fatal_text(entry), program.stderr())
        # The picture box lies partly under the message box; what shows beside it must be
        # empty, though a picture lies ready on disk.
        box_left = self.display.geometry(box)[0]
        picture_left = program.client_to_screen(0, 0)[0]
        strip = box_left - picture_left
        self.assertGreater(strip, 100, "the message box hides the picture box")
        self.shown_picture(program, lambda area: area.crop(0, 0, strip, area.height).dark_box()
                           is None, "the picture box beside the message box to be empty")

        self.display.focus(box)
        self.display.key("Return")
        self.assertEqual(program.wait_exit(), 255)
        self.assertEqual(program.listing(), before)
        if stale:
            self.assertEqual(program.picture_identity(), stale, "a.bmp is not written")

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
        # An a.bmp of an earlier run lies beside the program.
        stale = {"a.bmp": harness.plain_bmp(500, 500)}
        for index, entry in enumerate(harness.ENTRY_POINTS):
            with self.subTest(entry):
                library = self.need_file(harness.Paths.without.get(entry),
                                         f"the stand-in without {entry}")
                with Program(self.display, library, files=stale) as program:
                    self.generate_until_fatal(program, entry)
                    self.assertEqual(program.calls(), list(harness.ENTRY_POINTS[:index]))

    def test_file_that_is_no_library_is_fatal_as_a_missing_one(self):
        self.need_file(harness.Paths.fake, "the stand-in library")
        for name, content in not_a_library():
            with self.subTest(name), \
                    Program(self.display, None, files={"QRCodeWin32.dll": content}) as program:
                self.generate_until_fatal(program, "QRSetMessage")

    def test_file_that_is_no_library_gives_way_to_one_on_the_search_path(self):
        fake = self.need_file(harness.Paths.fake, "the stand-in library")
        search = {"LD_LIBRARY_PATH": os.path.dirname(fake)}
        for name, content in not_a_library():
            with self.subTest(name), Program(self.display, None, env=search,
                                             files={"QRCodeWin32.dll": content}) as program:
                program.main_window()
                program.generate()
                program.wait_picture()
                self.assertEqual(program.calls(), list(harness.ENTRY_POINTS))


if __name__ == "__main__":
    unittest.main()
