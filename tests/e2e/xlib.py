# SPDX-License-Identifier: MIT
"""The few Xlib calls the tests and benchmarks need that xdotool lacks, through ctypes."""
import ctypes
import ctypes.util
import select
import time

_lib = ctypes.CDLL(ctypes.util.find_library("X11") or "libX11.so.6")
_tst = ctypes.CDLL(ctypes.util.find_library("Xtst") or "libXtst.so.6")

Window = ctypes.c_ulong
Atom = ctypes.c_ulong

ClientMessage = 33
MapNotify = 19
UnmapNotify = 18
DestroyNotify = 17
StructureNotifyMask = 1 << 17
SubstructureNotifyMask = 1 << 19
ZPixmap = 2
AllPlanes = ctypes.c_ulong(~0 & 0xFFFFFFFFFFFFFFFF)


class _ClientMessage(ctypes.Structure):
    _fields_ = [
        ("type", ctypes.c_int),
        ("serial", ctypes.c_ulong),
        ("send_event", ctypes.c_int),
        ("display", ctypes.c_void_p),
        ("window", Window),
        ("message_type", Atom),
        ("format", ctypes.c_int),
        ("data", ctypes.c_long * 5),
    ]


class _Map(ctypes.Structure):
    _fields_ = [
        ("type", ctypes.c_int),
        ("serial", ctypes.c_ulong),
        ("send_event", ctypes.c_int),
        ("display", ctypes.c_void_p),
        ("event", Window),
        ("window", Window),
        ("override_redirect", ctypes.c_int),
    ]


class _Event(ctypes.Union):
    _fields_ = [
        ("type", ctypes.c_int),
        ("client", _ClientMessage),
        ("map", _Map),
        ("pad", ctypes.c_long * 24),
    ]


class _Image(ctypes.Structure):
    _fields_ = [
        ("width", ctypes.c_int),
        ("height", ctypes.c_int),
        ("xoffset", ctypes.c_int),
        ("format", ctypes.c_int),
        ("data", ctypes.POINTER(ctypes.c_ubyte)),
        ("byte_order", ctypes.c_int),
        ("bitmap_unit", ctypes.c_int),
        ("bitmap_bit_order", ctypes.c_int),
        ("bitmap_pad", ctypes.c_int),
        ("depth", ctypes.c_int),
        ("bytes_per_line", ctypes.c_int),
        ("bits_per_pixel", ctypes.c_int),
    ]


_lib.XOpenDisplay.restype = ctypes.c_void_p
_lib.XOpenDisplay.argtypes = [ctypes.c_char_p]
_lib.XCloseDisplay.argtypes = [ctypes.c_void_p]
_lib.XDefaultRootWindow.restype = Window
_lib.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
_lib.XInternAtom.restype = Atom
_lib.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
_lib.XSendEvent.argtypes = [ctypes.c_void_p, Window, ctypes.c_int, ctypes.c_long,
                            ctypes.POINTER(_Event)]
_lib.XFlush.argtypes = [ctypes.c_void_p]
_lib.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]
_lib.XSelectInput.argtypes = [ctypes.c_void_p, Window, ctypes.c_long]
_lib.XNextEvent.argtypes = [ctypes.c_void_p, ctypes.POINTER(_Event)]
_lib.XPending.argtypes = [ctypes.c_void_p]
_lib.XConnectionNumber.argtypes = [ctypes.c_void_p]
_lib.XGetWindowProperty.argtypes = [
    ctypes.c_void_p, Window, Atom, ctypes.c_long, ctypes.c_long, ctypes.c_int, Atom,
    ctypes.POINTER(Atom), ctypes.POINTER(ctypes.c_int), ctypes.POINTER(ctypes.c_ulong),
    ctypes.POINTER(ctypes.c_ulong), ctypes.POINTER(ctypes.c_void_p)]
_lib.XFree.argtypes = [ctypes.c_void_p]
_lib.XGetImage.restype = ctypes.POINTER(_Image)
_lib.XGetImage.argtypes = [ctypes.c_void_p, Window, ctypes.c_int, ctypes.c_int, ctypes.c_uint,
                           ctypes.c_uint, ctypes.c_ulong, ctypes.c_int]
_lib.XDestroyImage.argtypes = [ctypes.POINTER(_Image)]
_lib.XSetErrorHandler.restype = ctypes.c_void_p
_lib.XSetErrorHandler.argtypes = [ctypes.c_void_p]
_lib.XGetGeometry.argtypes = [ctypes.c_void_p, Window, ctypes.POINTER(Window)] + \
    [ctypes.POINTER(ctypes.c_int)] * 2 + [ctypes.POINTER(ctypes.c_uint)] * 4
_lib.XDisplayKeycodes.argtypes = [ctypes.c_void_p, ctypes.POINTER(ctypes.c_int),
                                  ctypes.POINTER(ctypes.c_int)]
_lib.XGetKeyboardMapping.restype = ctypes.POINTER(ctypes.c_ulong)
_lib.XGetKeyboardMapping.argtypes = [ctypes.c_void_p, ctypes.c_ubyte, ctypes.c_int,
                                     ctypes.POINTER(ctypes.c_int)]
_lib.XChangeKeyboardMapping.argtypes = [ctypes.c_void_p, ctypes.c_int, ctypes.c_int,
                                        ctypes.POINTER(ctypes.c_ulong), ctypes.c_int]
_lib.XStringToKeysym.restype = ctypes.c_ulong
_lib.XStringToKeysym.argtypes = [ctypes.c_char_p]
_tst.XTestFakeKeyEvent.argtypes = [ctypes.c_void_p, ctypes.c_uint, ctypes.c_int, ctypes.c_ulong]
_tst.XTestFakeMotionEvent.argtypes = [ctypes.c_void_p, ctypes.c_int, ctypes.c_int, ctypes.c_int,
                                      ctypes.c_ulong]
_tst.XTestFakeButtonEvent.argtypes = [ctypes.c_void_p, ctypes.c_uint, ctypes.c_int,
                                      ctypes.c_ulong]

# A window can vanish between an event and a property read; that is not fatal here.
_ERROR_HANDLER = ctypes.CFUNCTYPE(ctypes.c_int, ctypes.c_void_p, ctypes.c_void_p)(
    lambda display, event: 0)


class Connection:
    """One client connection to the display named like ":3"."""

    def __init__(self, display):
        self._dpy = _lib.XOpenDisplay(display.encode())
        if not self._dpy:
            raise RuntimeError(f"cannot open display {display}")
        _lib.XSetErrorHandler(ctypes.cast(_ERROR_HANDLER, ctypes.c_void_p))
        self.root = _lib.XDefaultRootWindow(self._dpy)

    def close(self):
        if self._dpy:
            _lib.XCloseDisplay(self._dpy)
            self._dpy = None

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close()

    def fileno(self):
        return _lib.XConnectionNumber(self._dpy)

    def atom(self, name):
        return _lib.XInternAtom(self._dpy, name.encode(), 0)

    def request_close(self, window):
        """Asks a window to close the way a window manager does (WM_DELETE_WINDOW)."""
        event = _Event()
        event.client.type = ClientMessage
        event.client.window = window
        event.client.message_type = self.atom("WM_PROTOCOLS")
        event.client.format = 32
        event.client.data[0] = self.atom("WM_DELETE_WINDOW")
        event.client.data[1] = 0  # CurrentTime
        _lib.XSendEvent(self._dpy, window, 0, 0, ctypes.byref(event))
        _lib.XSync(self._dpy, 0)

    def watch(self):
        """Follows top-level windows from now on: mapped holds those on screen."""
        self.mapped = set()
        self.history = []  # every (time, type, window) that pump() saw, for timing
        self._pongs = set()
        self._stamp = 0
        _lib.XSelectInput(self._dpy, self.root, SubstructureNotifyMask | StructureNotifyMask)
        _lib.XSync(self._dpy, 0)

    def pump(self, timeout=0.0):
        """Reads the events that came, waiting up to timeout for the first one; returns
        (monotonic time read, type, window) for each map, unmap and destroy."""
        seen = []
        if not _lib.XPending(self._dpy):
            if not select.select([self.fileno()], [], [], timeout)[0]:
                return seen
        while _lib.XPending(self._dpy):
            event = _Event()
            _lib.XNextEvent(self._dpy, ctypes.byref(event))
            now = time.monotonic()
            if event.type == ClientMessage:
                if event.client.data[0] == self.atom("_NET_WM_PING"):
                    self._pongs.add(event.client.data[1])
                continue
            if event.type not in (MapNotify, UnmapNotify, DestroyNotify):
                continue
            window = event.map.window
            if event.map.event != self.root:
                continue  # the same change reported on the window itself
            if event.type == MapNotify:
                self.mapped.add(window)
            else:
                self.mapped.discard(window)
            seen.append((now, event.type, window))
        self.history += seen
        return seen

    def ping(self, window, timeout):
        """Asks the client of a mapped window for a reply (_NET_WM_PING), which it sends only
        after everything it received before. True once it replied; False when the window
        left the screen first."""
        self._stamp += 1
        stamp = self._stamp
        event = _Event()
        event.client.type = ClientMessage
        event.client.window = window
        event.client.message_type = self.atom("WM_PROTOCOLS")
        event.client.format = 32
        event.client.data[0] = self.atom("_NET_WM_PING")
        event.client.data[1] = stamp
        event.client.data[2] = window
        _lib.XSendEvent(self._dpy, window, 0, 0, ctypes.byref(event))
        _lib.XFlush(self._dpy)
        deadline = time.monotonic() + timeout
        while stamp not in self._pongs:
            self.pump(0.05)
            if window not in self.mapped:
                return False
            if time.monotonic() > deadline:
                raise TimeoutError(f"window {window:#x} did not answer a ping")
        self._pongs.discard(stamp)
        return True

    def property(self, window, name):
        kind = Atom()
        size = ctypes.c_int()
        count = ctypes.c_ulong()
        rest = ctypes.c_ulong()
        data = ctypes.c_void_p()
        status = _lib.XGetWindowProperty(self._dpy, window, self.atom(name), 0, 1 << 16, 0, 0,
                                         ctypes.byref(kind), ctypes.byref(size),
                                         ctypes.byref(count), ctypes.byref(rest),
                                         ctypes.byref(data))
        if status != 0 or not data.value:
            return None
        try:
            if size.value == 8:
                return ctypes.string_at(data.value, count.value)
            if size.value == 32:
                return list((ctypes.c_long * count.value).from_address(data.value))
            return None
        finally:
            _lib.XFree(data)

    def name(self, window):
        raw = self.property(window, "_NET_WM_NAME")
        return raw.decode("utf-8", "replace") if raw else ""

    def pid(self, window):
        value = self.property(window, "_NET_WM_PID")
        return value[0] if value else None

    def click(self, x, y):
        """Left click at root coordinates through XTest; returns once the server has it."""
        _tst.XTestFakeMotionEvent(self._dpy, -1, x, y, 0)
        _tst.XTestFakeButtonEvent(self._dpy, 1, 1, 0)
        _tst.XTestFakeButtonEvent(self._dpy, 1, 0, 0)
        _lib.XSync(self._dpy, 0)

    def geometry(self, window):
        """(x, y, width, height) of a window in its parent: on the root without a window
        manager."""
        root = Window()
        x, y = ctypes.c_int(), ctypes.c_int()
        width, height, border, depth = (ctypes.c_uint() for _ in range(4))
        if not _lib.XGetGeometry(self._dpy, window, ctypes.byref(root), ctypes.byref(x),
                                 ctypes.byref(y), ctypes.byref(width), ctypes.byref(height),
                                 ctypes.byref(border), ctypes.byref(depth)):
            return None
        return x.value, y.value, width.value, height.value

    def spare_keycode(self):
        """A keycode the keyboard map leaves empty, to bind any character to."""
        low, high = ctypes.c_int(), ctypes.c_int()
        _lib.XDisplayKeycodes(self._dpy, ctypes.byref(low), ctypes.byref(high))
        per = ctypes.c_int()
        count = high.value - low.value + 1
        syms = _lib.XGetKeyboardMapping(self._dpy, low.value, count, ctypes.byref(per))
        try:
            for index in range(count - 1, -1, -1):
                if not any(syms[index * per.value + k] for k in range(per.value)):
                    return low.value + index
        finally:
            _lib.XFree(syms)
        raise RuntimeError("no free keycode to type with")

    def bind(self, keycode, keysym):
        syms = (ctypes.c_ulong * 2)(keysym, keysym)
        _lib.XChangeKeyboardMapping(self._dpy, keycode, 2, syms, 1)
        _lib.XSync(self._dpy, 0)

    def press(self, keycode):
        _tst.XTestFakeKeyEvent(self._dpy, keycode, 1, 0)
        _tst.XTestFakeKeyEvent(self._dpy, keycode, 0, 0)
        _lib.XSync(self._dpy, 0)

    def grab_raw(self, x, y, width, height):
        """A root area as the server sends it: 4 bytes a pixel, rows one after another."""
        image = _lib.XGetImage(self._dpy, self.root, x, y, width, height, AllPlanes, ZPixmap)
        if not image:
            raise RuntimeError("XGetImage failed")
        try:
            info = image.contents
            if info.bits_per_pixel != 32:
                raise RuntimeError(f"{info.bits_per_pixel} bits a pixel is not handled")
            return ctypes.string_at(info.data, info.bytes_per_line * height)
        finally:
            _lib.XDestroyImage(image)
