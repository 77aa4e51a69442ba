# SPDX-License-Identifier: MIT
"""Typing a text and pressing the generate button, as a user does."""
import os
import unittest

import harness
from cases import DisplayCase
from harness import Program


class GenerateTest(DisplayCase):

    def test_typed_text_is_in_the_symbol_written_beside_the_program(self):
        encoder = self.need_encoder()
        # Pieces are typed with a Return between them; the text box sends line breaks as CR LF.
        cases = [
            ("ascii", ["Hello, QR 0123 ~!@#"]),
            ("chinese", ["二维码生成器，你好"]),
            ("chinese over a line break", ["第一行", "第二行"]),
            ("outside the basic plane", ["a𠀀b"]),
        ]
        for name, pieces in cases:
            with self.subTest(name), Program(self.display, encoder) as program:
                program.main_window()
                self.assertEqual(os.path.realpath(program.cwd()),
                                 os.path.realpath(program.directory))
                program.type_into_text_box(*pieces)
                program.generate()
                picture = program.wait_picture()
                expected = "\r\n".join(pieces).encode("utf-8")
                self.assertEqual(harness.decode(picture), [expected])
                self.assertEqual(harness.decode_zbar(picture), expected)
                self.assertFalse(os.path.exists(os.path.join(program.elsewhere, "a.bmp")))

                self.close_with_esc(program)
                self.assertEqual(program.wait_exit(), 0)
                self.assertTrue(os.path.exists(picture), "a.bmp stays when the program ends")

    def test_program_directory_named_with_chinese_spaces_and_a_backslash(self):
        encoder = self.need_encoder()
        # "籠" is BB 5C in the code page: its second byte is a backslash there.
        name = "我的 二维码\\工具 籠"
        with Program(self.display, encoder, name=name) as program:
            program.main_window()
            self.assertEqual(os.path.realpath(program.cwd()), os.path.realpath(program.directory))
            program.type_into_text_box("路径 path")
            program.generate()
            picture = program.wait_picture()
            expected = "路径 path".encode("utf-8")
            self.assertEqual(harness.decode(picture), [expected])
            self.assertEqual(harness.decode_zbar(picture), expected)
            self.assertEqual(os.listdir(program.elsewhere), [])
            self.assertEqual(os.listdir(os.path.dirname(program.directory)).count("a.bmp"), 0)

    def test_second_press_replaces_the_first_symbol(self):
        encoder = self.need_encoder()
        with Program(self.display, encoder) as program:
            program.main_window()
            program.type_into_text_box("first text")
            program.generate()
            program.wait_picture()
            first = program.picture_identity()
            self.assertEqual(harness.decode(program.picture), [b"first text"])

            self.display.click(program.window, *harness.TEXT_BOX)
            self.display.key("ctrl+a")
            program.type("第二个")
            program.generate()
            program.wait_picture(previous=first)
            self.assertEqual(harness.decode(program.picture), ["第二个".encode("utf-8")])

    def test_last_version_and_level_picked_make_a_version_40_h_symbol(self):
        encoder = self.need_encoder()
        with Program(self.display, encoder) as program:
            program.main_window()
            program.type_into_text_box("版本40")
            program.pick_last(harness.VERSION_LIST)
            program.pick_last(harness.LEVEL_LIST)
            program.generate()
            picture = program.wait_picture()
            # Two pixels a module: ZXing reads it only as a pure symbol.
            self.assertEqual(harness.decode(picture, pure=True, with_level=True),
                             [("版本40".encode("utf-8"), "H")])
            symbol = harness.Image.read_any(picture, self.scratch())
            self.assertEqual(symbol.symbol_modules(), (17 + 4 * 40, 2))

    def test_nothing_picked_gives_the_smallest_symbol_at_level_l(self):
        encoder = self.need_encoder()
        with Program(self.display, encoder) as program:
            program.main_window()
            program.type_into_text_box("HELLO")
            program.generate()
            picture = program.wait_picture()
            self.assertEqual(harness.decode(picture, with_level=True), [(b"HELLO", "L")])
            symbol = harness.Image.read_any(picture, self.scratch())
            self.assertEqual(symbol.symbol_modules()[0], 21)

    def test_picture_is_shrunk_into_the_box_beside_a_white_column(self):
        # The stand-in's picture is black all over, so the drawn area shows exactly.
        fake = self.need_file(harness.Paths.fake, "the stand-in library")
        with Program(self.display, fake) as program:
            program.main_window()
            program.generate()
            program.wait_picture()
            area, _ = self.shown_picture(program, lambda area: area.dark_box() is not None)
            self.assertEqual(area.dark_box(), (2, 0, 497, 495))
            for x in (0, 1, 498, 499):
                self.assertEqual({area.pixel(x, y) for y in range(area.height)},
                                 {(255, 255, 255)}, f"column {x}")
            drawn = area.crop(2, 0, 496, 496)
            self.assertEqual(set(drawn.rows), {bytes(3 * 496)}, "black all over")

    def test_symbol_on_screen_reads_as_typed(self):
        encoder = self.need_encoder()
        with Program(self.display, encoder) as program:
            program.main_window()
            program.type_into_text_box("屏幕上的二维码")
            program.generate()
            program.wait_picture()
            area, path = self.shown_picture(program, lambda area: area.dark_box() is not None)
            left, top, right, bottom = area.dark_box()
            self.assertGreaterEqual(left, 2)
            self.assertLessEqual(right, 497)
            self.assertLessEqual(bottom, 495)
            self.assertEqual(harness.decode(path), ["屏幕上的二维码".encode("utf-8")])


if __name__ == "__main__":
    unittest.main()
