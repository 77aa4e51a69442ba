# SPDX-License-Identifier: MIT
"""The program on a scaled screen (QT_SCALE_FACTOR): the whole layout grows uniformly, the
symbol on screen stays sharp and still reads, themed frames stay whole pixels."""
import os
import subprocess
import unittest

import harness
from cases import DisplayCase
from harness import Program

# Large enough for MainWindow at twice its size.
SCREEN = (2560, 1600)
MAIN_SIZE = (789, 551)
SILVER_FRAME = (198, 197, 215)
BUTTON_FACE = (240, 240, 240)
ABOUT_BUTTON = (528, 229, 80, 40)  # 按钮2, in logical client pixels


def device(value, scale):
    """A logical length or place in device pixels, rounded as Qt rounds it."""
    return int(value * scale + 0.5)


class ScalingTest(DisplayCase):

    @classmethod
    def setUpClass(cls):
        cls.display = harness.Display(SCREEN).__enter__()
        cls.addClassCleanup(cls.display.__exit__, None, None, None)

    def start(self, library, scale):
        return Program(self.display, library, env={"QT_SCALE_FACTOR": str(scale)})

    def test_window_keeps_its_outer_size_in_logical_pixels_and_is_centred(self):
        fake = self.need_file(harness.Paths.fake, "the stand-in library")
        for scale in (2, 1.5):
            with self.subTest(scale=scale), self.start(fake, scale) as program:
                window = program.main_window()
                left, top, width, height = self.display.geometry(window)
                self.assertEqual((width, height), tuple(device(v, scale) for v in MAIN_SIZE))
                # What a window manager reads is in device pixels, with nothing that would
                # round an odd size to a step of two.
                hints = self.display.xprop(window, "WM_NORMAL_HINTS")
                for bound in ("minimum", "maximum"):
                    self.assertIn(f"program specified {bound} size: {width} by {height}", hints)
                self.assertNotIn("resize increment", hints)
                self.assertNotIn("base size", hints)
                # Centred on the screen as measured in logical pixels.
                for place, screen, size in ((left, SCREEN[0], MAIN_SIZE[0]),
                                            (top, SCREEN[1], MAIN_SIZE[1])):
                    logical = int(screen / scale + 0.5)
                    self.assertAlmostEqual(place, (logical - size) // 2 * scale, delta=1)

    def test_window_larger_than_the_screen_keeps_its_title_bar_on_it(self):
        fake = self.need_file(harness.Paths.fake, "the stand-in library")
        # Twice 789 x 551 does not fit 1280 x 1024: centring would put its top off the screen.
        with harness.Display() as small, Program(small, fake,
                                                 env={"QT_SCALE_FACTOR": "2"}) as program:
            self.assertEqual(small.geometry(program.main_window()), (0, 0, 1578, 1102))

    def test_frame_the_window_manager_announces_is_taken_off_in_device_pixels(self):
        fake = self.need_file(harness.Paths.fake, "the stand-in library")
        # Left, right, top, bottom in device pixels, as a window manager announces them.
        # None runs here: the test announces them itself, then moves the window.
        cases = [(2, (4, 4, 24, 4)), (1.5, (4, 4, 30, 8))]
        for scale, extents in cases:
            with self.subTest(scale=scale), self.start(fake, scale) as program:
                window = program.main_window()
                subprocess.run(["xprop", "-id", str(window), "-f", "_NET_FRAME_EXTENTS", "32c",
                                "-set", "_NET_FRAME_EXTENTS", ",".join(map(str, extents))],
                               env=self.display.env(), check=True, timeout=harness.WAIT)
                self.display.xdotool("windowmove", window, 100, 100)
                outer = [device(v, scale) for v in MAIN_SIZE]
                client = (outer[0] - extents[0] - extents[1], outer[1] - extents[2] - extents[3])
                harness.wait_for(lambda: self.display.geometry(window)[2:] == client,
                                 f"a client area of {client}")

    def test_symbol_on_screen_is_sharp_and_reads_as_typed(self):
        encoder = self.need_encoder()
        shots = self.scratch()
        for scale in (2, 1.5):
            with self.subTest(scale=scale), self.start(encoder, scale) as program:
                window = program.main_window()
                self.display.focus(window)
                self.display.click(window, *(device(v, scale) for v in harness.TEXT_BOX))
                program.type("放大的屏幕")
                self.display.click(window, *(device(v, scale) for v in harness.GENERATE))
                program.wait_picture()
                left, top = program.client_to_screen(0, 0)
                box = [device(v, scale) for v in harness.PICTURE_BOX]

                def grab():
                    screen = self.display.screenshot(os.path.join(shots, "screen.ppm"))
                    area = screen.crop(left + box[0], top + box[1], box[2], box[3])
                    return area if area.dark_box() else None
                area = harness.wait_for(grab, "the symbol on screen")
                path = os.path.join(shots, f"picture-{scale}.ppm")
                area.write_ppm(path)
                self.assertEqual(harness.decode(path), ["放大的屏幕".encode("utf-8")])
                # Enlarged without smoothing: no grey at the modules' edges.
                colours = set()
                for row in area.rows:
                    colours.update(row[i:i + 3] for i in range(0, len(row), 3))
                self.assertEqual(colours, {bytes(3), bytes([255] * 3)})
                # Drawn 496 x 496 at (2, 0), in device pixels.
                dark_left, dark_top, dark_right, dark_bottom = area.dark_box()
                self.assertGreaterEqual(dark_left, device(2, scale))
                self.assertLessEqual(dark_right, device(498, scale) - 1)

    def test_themed_frames_cover_whole_device_pixels(self):
        fake = self.need_file(harness.Paths.fake, "the stand-in library")
        shots = self.scratch()
        for scale in (2, 1.5):
            with self.subTest(scale=scale), self.start(fake, scale) as program:
                program.main_window()
                program.sync()
                x, y = program.client_to_screen(device(ABOUT_BUTTON[0], scale),
                                                device(ABOUT_BUTTON[1] + 20, scale))
                line = round(scale)

                def frame():
                    screen = self.display.screenshot(os.path.join(shots, "screen.ppm"))
                    pixels = [screen.pixel(x + i, y) for i in range(-1, line + 1)]
                    return pixels if pixels[1] == SILVER_FRAME else None
                pixels = harness.wait_for(frame, "the button to be drawn")
                # Window, then the frame in whole pixels, then the button's fill.
                self.assertEqual(pixels[0], BUTTON_FACE)
                self.assertEqual(pixels[1:1 + line], [SILVER_FRAME] * line)
                self.assertNotIn(pixels[-1], (SILVER_FRAME, BUTTON_FACE))


if __name__ == "__main__":
    unittest.main()
