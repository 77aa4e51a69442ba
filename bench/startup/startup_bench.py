# SPDX-License-Identifier: MIT
"""Start-up and generate times of the program under Xvfb, beside a peer Qt program.

Times are taken from X events read by a client of this script's own, not from polling:
  mapped      exec until the server maps the program's main window (MapNotify on the root)
  settled     exec until the main window that stays is mapped: the program maps one, then
              replaces it once its web view starts
  painted     exec until the window's area on screen first differs from what the screen
              showed there before the start: the program's first drawing of it
  xdotool     exec until `xdotool search --sync --onlyvisible --name` returns, run alongside,
              to show what that tool's polling adds
  first/next  the click on "生成" (its button release reaching the server) until the picture
              box area on screen shows the new picture (its last change before it stays still
              for 150 ms); "first" in a fresh program (loads the library), "next" a later
              press with another text

  startup_bench.py --program P --encoder P [--peer zint-qt] [--runs 10]
"""
import argparse
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "..", "tests", "e2e"))
sys.dont_write_bytecode = True

import harness  # noqa: E402
import xlib  # noqa: E402

PEER_TITLE = "Zint Barcode Studio"
# A picture that has not changed for this long is taken as drawn.
SETTLED = 0.15
SCREEN = harness.SCREEN


def ms(seconds):
    return seconds * 1000.0


def start(argv, env, cwd):
    return subprocess.Popen(argv, env=env, cwd=cwd, stdin=subprocess.DEVNULL,
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                            start_new_session=True)


def xdotool_waiter(display, title):
    return subprocess.Popen(["xdotool", "search", "--sync", "--onlyvisible", "--name", title],
                            env=display.env(), stdout=subprocess.DEVNULL,
                            stderr=subprocess.DEVNULL)


def maps_until_settled(watch, pid, title_matches, started, timeout=harness.WAIT):
    """(first map, settled map, window) for a window of pid with a matching title, the times
    from started. Settled: the map of the window that then answers a ping."""
    deadline = time.monotonic() + timeout
    first = None
    seen = 0
    while True:
        watch.pump(0.05)
        # ping() reads events too: go through all that came, wherever they were read.
        while seen < len(watch.history):
            when, kind, window = watch.history[seen]
            seen += 1
            if kind != xlib.MapNotify or watch.pid(window) != pid or not title_matches(watch.name(window)):
                continue
            first = first if first is not None else when - started
            if watch.ping(window, timeout):
                return first, when - started, window
        if time.monotonic() > deadline:
            raise TimeoutError("no main window")


def time_painted(watch, window, screen, started):
    """Seconds from started until the window's area differs from the screen before."""
    left, top, width, height = watch.geometry(window)
    right, bottom = min(left + width, SCREEN[0]), min(top + height, SCREEN[1])
    stride = 4 * SCREEN[0]
    before = b"".join(screen[y * stride + 4 * left:y * stride + 4 * right]
                      for y in range(top, bottom))
    while watch.grab_raw(left, top, right - left, bottom - top) == before:
        if time.monotonic() - started > harness.WAIT:
            raise TimeoutError("the window was not drawn")
    return time.monotonic() - started


def time_xdotool(waiter, started):
    waiter.wait(timeout=harness.WAIT)
    return time.monotonic() - started


class Area:
    """A root area read straight from the server."""

    reads = 0
    reading = 0.0  # seconds spent in reads, over all areas

    def __init__(self, watch, left, top, width, height):
        self.watch, self.box = watch, (left, top, width, height)

    def read(self):
        started = time.monotonic()
        pixels = self.watch.grab_raw(*self.box)
        Area.reads += 1
        Area.reading += time.monotonic() - started
        return pixels

    def white(self, pixels):
        count = self.box[2] * self.box[3]
        return all(pixels[k::4].count(255) == count for k in range(3))

    def wait(self, condition, what):
        """The pixels once condition(pixels) holds."""
        def check():
            pixels = self.read()
            return pixels if condition(pixels) else None
        return harness.wait_for(check, what)

    def time_change(self, before, x, y):
        """Clicks at root x, y and returns the seconds until the area shows what it settles
        on: a picture drawn in steps counts once its last step is on screen."""
        self.watch.click(x, y)
        clicked = time.monotonic()
        reads = []
        while True:
            pixels = self.read()
            now = time.monotonic()
            if not reads or pixels != reads[-1][1]:
                reads.append((now, pixels))
            elif reads[-1][1] != before and now - reads[-1][0] > SETTLED:
                return reads[-1][0] - clicked
            if now - clicked > harness.WAIT:
                raise TimeoutError("the picture did not change")


def run_program(display, program, env, cwd, typed_runs):
    """One start of the program: start-up figures, the first press, and with typed_runs
    that many later presses with new texts."""
    watch = xlib.Connection(display.name)
    try:
        watch.watch()
        waiter = xdotool_waiter(display, f"^{harness.MAIN_TITLE}$")
        screen = watch.grab_raw(0, 0, *SCREEN)
        started = time.monotonic()
        process = start([program], env, cwd)
        try:
            first, settled, window = maps_until_settled(
                watch, process.pid, lambda name: name == harness.MAIN_TITLE, started)
            painted = time_painted(watch, window, screen, started)
            left, top, _, _ = display.geometry(window)
            by_xdotool = time_xdotool(waiter, started)
            area = Area(watch, left + 2, top, 496, 496)
            blank = area.wait(area.white, "the picture box painted empty")
            gx, gy = left + harness.GENERATE[0], top + harness.GENERATE[1]
            first_press = area.time_change(blank, gx, gy)
            later = []
            if typed_runs:
                display.focus(window)
                for run in range(typed_runs):
                    display.click(window, *harness.TEXT_BOX)
                    display.key("ctrl+a")
                    harness.type_text(watch, window, f"第{run + 1}次 run {run + 1}")
                    before = area.read()
                    later.append(area.time_change(before, gx, gy))
            return first, settled, painted, by_xdotool, first_press, later
        finally:
            harness.stop_group(process)
            harness.stop_group(waiter)
    finally:
        watch.close()


def run_peer(display, peer, env, cwd):
    watch = xlib.Connection(display.name)
    try:
        watch.watch()
        waiter = xdotool_waiter(display, PEER_TITLE)
        screen = watch.grab_raw(0, 0, *SCREEN)
        started = time.monotonic()
        process = start([peer], env, cwd)
        try:
            first, settled, window = maps_until_settled(
                watch, process.pid, lambda name: name.startswith(PEER_TITLE), started)
            painted = time_painted(watch, window, screen, started)
            return first, settled, painted, time_xdotool(waiter, started)
        finally:
            harness.stop_group(process)
            harness.stop_group(waiter)
    finally:
        watch.close()


def summary(values):
    if not values:
        return "        -"
    values = [ms(v) for v in values]
    return (f"{statistics.median(values):9.1f} ({min(values):6.1f} .. {max(values):6.1f})")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--program", required=True)
    parser.add_argument("--encoder", required=True)
    parser.add_argument("--peer", default="zint-qt")
    parser.add_argument("--runs", type=int, default=10)
    args = parser.parse_args()
    peer = shutil.which(args.peer)

    figures = {"qrgen": {k: [] for k in ("mapped", "settled", "painted", "xdotool", "first",
                                         "next")},
               "peer": {k: [] for k in ("mapped", "settled", "painted", "xdotool")}}
    with tempfile.TemporaryDirectory(prefix="qrgen-bench-") as root, \
            harness.Display() as display:
        directory = os.path.join(root, "program")
        os.mkdir(directory)
        program = os.path.join(directory, "qrgen")
        harness.Paths.program = args.program
        harness.copy_program(directory)
        shutil.copy2(args.encoder, os.path.join(directory, "QRCodeWin32.dll"))
        env = dict(display.env(), HOME=root, XDG_RUNTIME_DIR=root, XDG_CONFIG_HOME=root)
        env.pop("LD_LIBRARY_PATH", None)
        env.pop("QT_QPA_PLATFORM", None)

        # One run of each first, uncounted, so that both start from a warm file cache.
        run_program(display, program, env, root, 0)
        if peer:
            run_peer(display, peer, env, root)
        for run in range(args.runs):
            last = run == args.runs - 1
            first, settled, painted, xdo, press, later = run_program(
                display, program, env, root, args.runs if last else 0)
            for key, value in (("mapped", first), ("settled", settled), ("painted", painted),
                               ("xdotool", xdo), ("first", press)):
                figures["qrgen"][key].append(value)
            figures["qrgen"]["next"] += later
            if peer:
                for key, value in zip(("mapped", "settled", "painted", "xdotool"),
                                      run_peer(display, peer, env, root)):
                    figures["peer"][key].append(value)
        grab = Area.reading / max(Area.reads, 1)

    peer_name = args.peer if peer else f"{args.peer} (not installed)"
    print(f"\nStart-up under Xvfb 1280x1024, {args.runs} runs each; "
          "ms: median (min .. max)")
    print(f"{'':34}{'qrgen':>29}{peer_name:>29}")
    rows = [("exec -> main window mapped", "mapped"),
            ("exec -> window that stays mapped", "settled"),
            ("exec -> window first drawn", "painted"),
            ("exec -> xdotool search --sync", "xdotool")]
    for label, key in rows:
        print(f"{label:34}{summary(figures['qrgen'][key]):>29}"
              f"{summary(figures['peer'][key]):>29}")
    overhead = [x - s for x, s in zip(figures["qrgen"]["xdotool"], figures["qrgen"]["settled"])]
    print(f"{'  xdotool later than the X event':34}{summary(overhead):>29}")
    print(f"\nPress on 生成 -> picture on screen (picture box read every {ms(grab):.1f} ms)")
    print(f"{'first press after start':34}{summary(figures['qrgen']['first']):>29}")
    print(f"{'later presses, new text each':34}{summary(figures['qrgen']['next']):>29}")


if __name__ == "__main__":
    main()
