#!/bin/sh
# SPDX-License-Identifier: MIT
# Builds the program if needed, runs it in a virtual display of its own, types a
# text, presses "生成" and saves the window as docs/screenshot.png.
#   BUILD_DIR   build folder to use (default: build)
set -eu
cd "$(dirname "$0")/.."
build="${BUILD_DIR:-build}"
if [ ! -x "$build/bin/qrgen" ] || [ ! -f "$build/bin/QRCodeWin32.dll" ]; then
  scripts/install-deps.sh
  cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  cmake --build "$build" -j"$(nproc)" --target qrgen qrcodewin32
fi
mkdir -p docs

exec python3 -B - "$build/bin/qrgen" "$build/bin/QRCodeWin32.dll" docs/screenshot.png <<'EOF'
import os
import subprocess
import sys

sys.path.insert(0, os.path.join(os.getcwd(), "tests", "e2e"))
import harness  # noqa: E402

program_path, library, out = sys.argv[1:]
harness.Paths.program = program_path
TEXT = ("扫一扫，访问二维码生成器", "https://example.com/")

with harness.Display() as display, harness.Program(display, library) as program:
    window = program.main_window()
    program.type_into_text_box(*TEXT)
    program.generate()
    program.wait_picture()
    # Off the button, which would otherwise be drawn hovered.
    display.xdotool("mousemove", "--window", window, 250, 530)
    left, top, width, height = display.geometry(window)
    shot = os.path.join(program.elsewhere, "screen.ppm")

    def settled():
        screen = display.screenshot(shot)
        picture = screen.crop(left, top, *harness.PICTURE_BOX[2:])
        return (picture.dark_box() is not None
                and screen.pixel(left + harness.WEB_VIEW_POINT[0], top + harness.WEB_VIEW_POINT[1])
                == harness.OFFLINE_PAGE_COLOUR)
    try:
        harness.wait_for(settled, "the picture and the web view's page", timeout=30)
    except TimeoutError as error:
        print(f"screenshot.sh: {error}; saving the window as it is", file=sys.stderr)
    subprocess.run(["/usr/bin/import", "-window", "root", "-crop",
                    f"{width}x{height}+{left}+{top}", "+repage", out],
                   env=display.env(), check=True)
    display.focus(window)
    display.key("Escape")
    program.wait_exit()
print(out)
EOF
