# SPDX-License-Identifier: MIT
"""Runs the built program in a virtual display of its own and drives it as a user would."""
import contextlib
import os
import pwd
import re
import select
import shutil
import signal
import struct
import subprocess
import tempfile
import time

import xlib

MAIN_TITLE = "二维码生成器 v1.0"
ABOUT_TITLE = "关于软件和作者"
ERROR_TITLE = "错误"
SCREEN = (1280, 1024)

# Client coordinates in MainWindow.
TEXT_BOX = (640, 121)
GENERATE = (704, 249)
ABOUT = (568, 249)
PICTURE_BOX = (0, 0, 500, 496)
VERSION_LIST = (677, 315)  # the arrow buttons of the two lists
LEVEL_LIST = (675, 389)
# A point of the web view clear of its own page's text, and that page's background.
WEB_VIEW_POINT = (540, 540)
OFFLINE_PAGE_COLOUR = (0xF4, 0xF6, 0xFA)

# The program's calls into the library, in the order it makes them.
ENTRY_POINTS = ("QRSetMessage", "QRSetBackColor", "QRSetBarColor", "QRConfigure",
                "QRAppearance", "QRSetSize", "QRSaveAsBMP")

# Loaded by the program from its own directory, when the build has them.
MODULES = ("qrgen-webview.so",)

WAIT = 20.0  # seconds; generous, since the two cores are shared with builds
POLL = 0.02


class Paths:
    """Built files under test, filled in by run.py."""
    program = None
    encoder = None  # the real library; None when it is not built
    fake = None
    without = {}  # entry point name -> stand-in lacking it
    cmake = None  # with build: what installs the build, for tests of the installed program
    build = None


def copy_program(directory):
    """Puts the program, with the modules it loads from beside itself, into directory."""
    shutil.copy2(Paths.program, os.path.join(directory, "qrgen"))
    for module in MODULES:
        built = os.path.join(os.path.dirname(Paths.program), module)
        if os.path.exists(built):
            shutil.copy2(built, os.path.join(directory, module))


def wait_for(condition, what, timeout=WAIT):
    deadline = time.monotonic() + timeout
    while True:
        value = condition()
        if value:
            return value
        if time.monotonic() > deadline:
            raise TimeoutError(f"gave up waiting for {what}")
        time.sleep(POLL)


class Display:
    """An Xvfb of the given size (1280x1024 unless told), 24 bits deep, on a display number it
    picks itself."""

    def __init__(self, screen=SCREEN):
        self.screen = screen
        self.name = None
        self._server = None

    def __enter__(self):
        readable, writable = os.pipe()
        try:
            self._server = subprocess.Popen(
                ["Xvfb", "-displayfd", str(writable), "-screen", "0",
                 f"{self.screen[0]}x{self.screen[1]}x24", "-nolisten", "tcp", "-noreset"],
                pass_fds=(writable,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                start_new_session=True)
            os.close(writable)
            writable = None
            number = b""
            deadline = time.monotonic() + WAIT
            while not number.endswith(b"\n"):
                if not select.select([readable], [], [], max(0, deadline - time.monotonic()))[0]:
                    raise TimeoutError("Xvfb did not report its display")
                chunk = os.read(readable, 16)
                if not chunk:
                    raise RuntimeError(f"Xvfb ended with status {self._server.wait()}")
                number += chunk
            self.name = ":" + number.decode().strip()
        except BaseException:
            self._stop()
            raise
        finally:
            os.close(readable)
            if writable is not None:
                os.close(writable)
        return self

    def __exit__(self, *exc):
        self._stop()

    def _stop(self):
        if self._server:
            stop_group(self._server)
            self._server = None

    def env(self):
        env = dict(os.environ, DISPLAY=self.name)
        env.pop("XAUTHORITY", None)
        return env

    def xdotool(self, *args, check=True, timeout=WAIT):
        result = subprocess.run(["xdotool", *map(str, args)], env=self.env(),
                                capture_output=True, text=True, timeout=timeout)
        if check and result.returncode != 0:
            raise RuntimeError(f"xdotool {' '.join(map(str, args))}: {result.stderr.strip()}")
        return result.stdout

    def geometry(self, window):
        """(x, y, width, height) of a window on the screen."""
        out = self.xdotool("getwindowgeometry", "--shell", window)
        values = dict(line.split("=", 1) for line in out.split())
        return tuple(int(values[k]) for k in ("X", "Y", "WIDTH", "HEIGHT"))

    def focus(self, window):
        self.xdotool("windowfocus", "--sync", window)

    def click(self, window, x, y):
        self.xdotool("mousemove", "--window", window, x, y, "click", "1")

    def key(self, *keys):
        self.xdotool("key", *keys)

    def xprop(self, window, *properties):
        return subprocess.run(["xprop", "-id", str(window), *properties], env=self.env(),
                              capture_output=True, text=True, timeout=WAIT, check=True).stdout

    def screenshot(self, path):
        """The whole screen as a binary PPM file; returns its pixels."""
        subprocess.run(["/usr/bin/import", "-window", "root", f"ppm:{path}"], env=self.env(),
                       check=True, timeout=WAIT, capture_output=True)
        return Image.read_ppm(path)


class Image:
    """RGB pixels, rows of 3 bytes a pixel."""

    def __init__(self, width, height, rows):
        self.width, self.height, self.rows = width, height, rows

    @classmethod
    def read_ppm(cls, path):
        with open(path, "rb") as file:
            data = file.read()
        fields = []
        at = 0
        while len(fields) < 4:
            match = re.compile(rb"\s*(#[^\n]*\n\s*)*(\S+)").match(data, at)
            fields.append(match.group(2))
            at = match.end()
        magic, width, height, top = fields[0], int(fields[1]), int(fields[2]), int(fields[3])
        if magic != b"P6" or not 0 < top < 65536:
            raise ValueError(f"{path}: not a binary PPM")
        at += 1
        pixels = data[at:]
        # ImageMagick keeps the depth it found (1 bit for the encoder's pictures, sometimes
        # 16 for the screen) unless told otherwise.
        if top > 255:
            pixels = pixels[0::2]
            top = 255
        if top != 255:
            pixels = pixels.translate(bytes(min(255, v * 255 // top) for v in range(256)))
        stride = 3 * width
        return cls(width, height, [pixels[y * stride:(y + 1) * stride] for y in range(height)])

    def crop(self, left, top, width, height):
        return Image(width, height, [row[3 * left:3 * (left + width)]
                                     for row in self.rows[top:top + height]])

    def pixel(self, x, y):
        return tuple(self.rows[y][3 * x:3 * x + 3])

    def dark_box(self, threshold=128):
        """(left, top, right, bottom) of the dark pixels, inclusive; or None. For grey
        pictures: only the red channel is looked at, which keeps this quick."""
        marks = bytes(1 if value < threshold else 0 for value in range(256))
        left = top = right = bottom = None
        for y, row in enumerate(self.rows):
            dark = row[0::3].translate(marks)
            first = dark.find(1)
            if first < 0:
                continue
            last = dark.rfind(1)
            top = y if top is None else top
            bottom = y
            left = first if left is None else min(left, first)
            right = last if right is None else max(right, last)
        return None if top is None else (left, top, right, bottom)

    def symbol_modules(self):
        """(modules a side, pixels a module) of the one symbol in a picture, measured on its
        top-left finder pattern, which is 7 modules wide."""
        left, top, right, _ = self.dark_box()
        row = self.rows[top][0::3]
        run = 0
        while row[left + run] < 128:
            run += 1
        module = run / 7
        return round((right - left + 1) / module), module

    @classmethod
    def read_any(cls, path, scratch):
        """Any picture ImageMagick reads, through a PPM file in scratch."""
        ppm = os.path.join(scratch, os.path.basename(path) + ".ppm")
        subprocess.run(["/usr/bin/convert", str(path), f"ppm:{ppm}"], check=True, timeout=WAIT,
                       capture_output=True)
        return cls.read_ppm(ppm)

    def write_ppm(self, path):
        with open(path, "wb") as file:
            file.write(b"P6\n%d %d\n255\n" % (self.width, self.height))
            file.writelines(self.rows)


def plain_bmp(width, height, colour=(0, 0, 0)):
    """A 24-bit BMP file of one colour."""
    stride = (3 * width + 3) // 4 * 4
    row = bytes(reversed(colour)) * width + bytes(stride - 3 * width)
    pixels = row * height
    header = struct.pack("<2sIHHIIiiHHIIiiII", b"BM", 54 + len(pixels), 0, 0, 54, 40, width,
                         height, 1, 24, 0, len(pixels), 0, 0, 0, 0)
    return header + pixels


def decode(path, pure=False, with_level=False):
    """The byte contents of every QR code symbol ZXing finds in a picture; with_level, pairs
    of contents and error-correction level."""
    command = ["ZXingReader", "-format", "QRCode"] + (["-ispure"] if pure else []) + [str(path)]
    out = subprocess.run(command, capture_output=True, text=True, timeout=WAIT).stdout
    found = [(bytes.fromhex(data), level) for data, level in re.findall(
        r"^Bytes:[ \t]*([0-9A-Fa-f ]*)$.*?^EC Level:[ \t]*(\S*)$", out, re.M | re.S)]
    return found if with_level else [data for data, _ in found]


def decode_zbar(path):
    """The text zbar reads from a picture, without its closing newline; None for nothing."""
    result = subprocess.run(["zbarimg", "-q", "--raw", str(path)], capture_output=True,
                            timeout=WAIT)
    return result.stdout[:-1] if result.returncode == 0 else None


def type_text(watch, window, text):
    """Types into the focused window of the program that owns window. Each character is bound
    in turn to a spare key, and the next only after the program has answered a ping: xdotool
    type binds and unbinds at once, and a key the program reads after that is lost."""
    keycode = watch.spare_keycode()
    try:
        for character in text:
            code = ord(character)
            watch.bind(keycode, code if 0x20 <= code < 0x7F else 0x1000000 + code)
            watch.press(keycode)
            if not watch.ping(window, WAIT):
                raise RuntimeError("the window left the screen while typing")
    finally:
        watch.bind(keycode, 0)


def stop_group(process, grace=5.0):
    """Ends a process started in a session of its own, with all it started."""
    for sig in (signal.SIGTERM, signal.SIGKILL):
        with contextlib.suppress(ProcessLookupError):
            os.killpg(process.pid, sig)
        try:
            process.wait(timeout=grace)
            break
        except subprocess.TimeoutExpired:
            continue
    # Helpers of the program (its web engine) may outlive the leader.
    with contextlib.suppress(ProcessLookupError):
        os.killpg(process.pid, signal.SIGKILL)


def unprivileged_user():
    """(uid, gid) of an account that file permissions hold back, to run the program as when
    the tests run as root, who may write anywhere; None when the tests do not run as root.
    Raises LookupError when root has no such account to turn to."""
    if os.geteuid() != 0:
        return None
    entry = pwd.getpwnam("nobody")
    return entry.pw_uid, entry.pw_gid


class Program:
    """The program copied into a fresh program directory with the given library beside it
    (None: no library), started from another directory. With installed, the program of that
    installed program folder instead, run where it is, its own library beside it.

    name: the program directory's own name. files: name -> bytes, put beside the program
    before it starts. user: (uid, gid) to run it as (see unprivileged_user); everything it
    needs is then readable by that user, and the program directory is that user's."""

    def __init__(self, display, library, env=None, name="program", files=None, user=None,
                 installed=None):
        self.display = display
        self.library = library
        self.extra_env = env or {}
        self.name = name
        self.files = files or {}
        self.user = user
        self.installed = installed
        self._temp = None
        self.process = None
        self.window = None
        self.watch = None

    def __enter__(self):
        self._temp = tempfile.TemporaryDirectory(prefix="qrgen-e2e-")
        root = self._temp.name
        self.directory = self.installed or os.path.join(root, self.name)
        self.elsewhere = os.path.join(root, "elsewhere")
        runtime = os.path.join(root, "runtime")
        shared = 0o755 if self.user else 0o700
        os.chmod(root, shared)
        for path in (self.directory, self.elsewhere, runtime):
            if path != self.installed:
                os.mkdir(path, shared)
                os.chmod(path, shared)  # whatever the umask
        try:
            if self.user:
                os.chown(runtime, *self.user)
                os.chmod(runtime, 0o700)
                os.chown(self.directory, *self.user)
            self.binary = os.path.join(self.directory, "qrgen")
            if not self.installed:
                copy_program(self.directory)
            if self.library and not self.installed:
                shutil.copy2(self.library, os.path.join(self.directory, "QRCodeWin32.dll"))
            for file_name, content in self.files.items():
                with open(os.path.join(self.directory, file_name), "wb") as file:
                    file.write(content)
            # The stand-in library writes its log as the program's user.
            self.log = os.path.join(runtime if self.user else root, "calls.log")
            self.stdout_path = os.path.join(root, "stdout")
            self.stderr_path = os.path.join(root, "stderr")
            env = self.display.env()
            env.pop("LD_LIBRARY_PATH", None)
            env.pop("QT_QPA_PLATFORM", None)
            env.update(XDG_RUNTIME_DIR=runtime, QRGEN_FAKE_LOG=self.log)
            credentials = {}
            if self.user:
                uid, gid = self.user
                credentials = dict(user=uid, group=gid, extra_groups=[])
                # The web engine's sandbox needs kernel features a test machine may not
                # offer to that user; the web view is not what these runs look at.
                env.update(HOME=runtime, QTWEBENGINE_DISABLE_SANDBOX="1")
            env.update(self.extra_env)
            self.watch = xlib.Connection(self.display.name)
            self.watch.watch()
            with open(self.stdout_path, "wb") as out, open(self.stderr_path, "wb") as err:
                self.process = subprocess.Popen([self.binary], cwd=self.elsewhere, env=env,
                                                stdin=subprocess.DEVNULL, stdout=out,
                                                stderr=err, start_new_session=True,
                                                **credentials)
        except BaseException:
            self._end()
            raise
        return self

    def __exit__(self, *exc):
        self._end()

    def _end(self):
        if self.process:
            stop_group(self.process)
        if self.watch:
            self.watch.close()
        if self._temp:
            self._temp.cleanup()
            self._temp = None

    @property
    def picture(self):
        return os.path.join(self.directory, "a.bmp")

    def windows(self, title):
        """This program's windows on screen whose title is exactly this."""
        self.watch.pump()
        return [w for w in sorted(self.watch.mapped) if self.watch.name(w) == title]

    def wait_window(self, title, timeout=WAIT):
        """The window with this title once it is on screen and has answered a ping, so that
        it is the one the program goes on with: at start the program replaces its first
        MainWindow with a new one (the web view asks for another kind of native window)."""
        while True:
            window = wait_for(lambda: self.windows(title), f"a window {title!r}", timeout)[0]
            if self.watch.ping(window, timeout):
                return window

    def wait_gone(self, window, timeout=WAIT):
        def gone():
            self.watch.pump(POLL)
            return window not in self.watch.mapped
        wait_for(gone, f"window {window:#x} to leave the screen", timeout)

    def sync(self, window=None):
        """Returns once the program has handled all input sent to it so far."""
        if not self.watch.ping(window or self.window, WAIT):
            raise RuntimeError("the window left the screen before it answered")

    def main_window(self):
        self.window = self.wait_window(MAIN_TITLE)
        return self.window

    def wait_exit(self, timeout=WAIT):
        try:
            return self.process.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            raise TimeoutError(f"the program did not end in {timeout} s") from None

    def stderr(self):
        with open(self.stderr_path, "rb") as file:
            return file.read().decode("utf-8", "replace")

    def calls(self):
        """The entry points the stand-in library saw, in order."""
        if not os.path.exists(self.log):
            return []
        with open(self.log, encoding="utf-8", errors="replace") as file:
            return [line.split()[0] for line in file if line.strip()]

    def cwd(self):
        return os.readlink(f"/proc/{self.process.pid}/cwd")

    def memory_kib(self):
        """(resident now, peak resident) of the program's own process, in KiB."""
        values = {}
        with open(f"/proc/{self.process.pid}/status", encoding="ascii") as status:
            for line in status:
                key, _, value = line.partition(":")
                if key in ("VmRSS", "VmHWM"):
                    values[key] = int(value.split()[0])
        return values["VmRSS"], values["VmHWM"]

    def listing(self):
        """The names in the program directory."""
        return sorted(os.listdir(self.directory))

    def type(self, text):
        type_text(self.watch, self.window, text)

    def type_into_text_box(self, *pieces):
        """Types strings, with a Return between them, into the text box."""
        self.display.focus(self.window)
        self.display.click(self.window, *TEXT_BOX)
        for i, piece in enumerate(pieces):
            if i:
                self.display.key("Return")
            self.type(piece)

    def pick_last(self, list_arrow):
        """Opens a list by its arrow and picks its last item from the keyboard."""
        self.display.click(self.window, *list_arrow)
        self.sync()
        self.display.key("End", "Return")
        self.sync()

    def generate(self):
        self.display.click(self.window, *GENERATE)

    def wait_picture(self, previous=None):
        """Waits for a.bmp to be (re)written and returns its path."""
        def written():
            try:
                info = os.stat(self.picture)
            except FileNotFoundError:
                return False
            # The real library renames a whole file into place; the stand-in writes
            # in place, and its picture has a known size.
            if self.library == Paths.fake and info.st_size != 54 + 500 * 500 * 3:
                return False
            return previous is None or (info.st_ino, info.st_mtime_ns) != previous
        wait_for(written, "a.bmp to be written")
        return self.picture

    def picture_identity(self):
        info = os.stat(self.picture)
        return info.st_ino, info.st_mtime_ns

    def client_to_screen(self, x, y):
        left, top, _, _ = self.display.geometry(self.window)
        return left + x, top + y
