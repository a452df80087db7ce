"""An X server of a test's own (Xvfb) and the few things a test does in it: run a program,
find its windows by title, press keys, ask a window to close, measure it and take screenshots.

Every external command runs with a timeout, so a hung program or tool fails the test instead of
blocking it. Tools used: Xvfb (xvfb), xdpyinfo and xwininfo (x11-utils), xdotool, xwd (x11-apps).
"""

import os
import re
import select
import signal
import struct
import subprocess
import tempfile
import time

TOOL_TIMEOUT = 10.0


class SessionError(Exception):
    """The X session or one of its tools did not do what the test needs."""


def _poll(condition, timeout, interval=0.05):
    """Calls condition() until it returns a true value or timeout seconds pass; returns the last
    value."""
    deadline = time.monotonic() + timeout
    while True:
        value = condition()
        if value or time.monotonic() >= deadline:
            return value
        time.sleep(interval)


def _display_in_use(number):
    return os.path.exists(f"/tmp/.X{number}-lock") or os.path.exists(f"/tmp/.X11-unix/X{number}")


def unused_display(first=90):
    """A display name that no X server on this machine serves."""
    for number in range(first, first + 100):
        if not _display_in_use(number):
            return f":{number}"
    raise SessionError("no unused display number")


class Image:
    """RGB pixels, 3 bytes each, rows top to bottom."""

    def __init__(self, width, height, rgb):
        assert len(rgb) == width * height * 3
        self.width, self.height, self.rgb = width, height, bytes(rgb)

    def pixel(self, x, y):
        at = (y * self.width + x) * 3
        return tuple(self.rgb[at:at + 3])

    def crop(self, left, top, width, height):
        if left < 0 or top < 0 or left + width > self.width or top + height > self.height:
            raise SessionError(f"crop {width}x{height}+{left}+{top} leaves the "
                               f"{self.width}x{self.height} image")
        rows = [self.rgb[((top + y) * self.width + left) * 3:
                         ((top + y) * self.width + left + width) * 3] for y in range(height)]
        return Image(width, height, b"".join(rows))


def _byte_of_mask(mask, byte_order, size):
    """Which byte of a pixel of `size` bytes holds the channel with this mask."""
    for index in range(size):
        if mask == 0xFF << (8 * index):
            return index if byte_order == 0 else size - 1 - index
    raise SessionError(f"colour mask {mask:#x} is not one whole byte")


def parse_xwd(data):
    """The picture of an xwd dump of a TrueColor or DirectColor screen of depth 24."""
    fields = struct.unpack(">25I", data[:100])
    header_size, _, pixmap_format, _, width, height = fields[:6]
    byte_order, bits_per_pixel, bytes_per_line = fields[7], fields[11], fields[12]
    masks, ncolors = fields[14:17], fields[19]
    # With windows of several visuals on the screen xwd packs 3-byte pixels into rows that keep
    # the 4-byte stride.
    size = bits_per_pixel // 8
    if pixmap_format != 2 or size not in (3, 4) or bytes_per_line < width * size:
        raise SessionError(f"unexpected xwd format {pixmap_format}, {bits_per_pixel} bpp, "
                           f"{bytes_per_line} bytes per row of {width}")
    channels = [_byte_of_mask(mask, byte_order, size) for mask in masks]
    start = header_size + ncolors * 12
    if len(data) < start + height * bytes_per_line:
        raise SessionError("xwd dump is truncated")
    out = bytearray(width * height * 3)
    row_out = width * 3
    for y in range(height):
        row = data[start + y * bytes_per_line:start + y * bytes_per_line + width * size]
        for channel, byte in enumerate(channels):
            out[y * row_out + channel:(y + 1) * row_out:3] = row[byte::size]
    return Image(width, height, out)


class Program:
    """A program started under the session's display. Its standard error goes to a file, so
    a chatty program can never block on a full pipe; its standard output is a pipe that
    read_line() reads with a timeout."""

    def __init__(self, args, env):
        self._stderr = tempfile.TemporaryFile()
        self.process = subprocess.Popen(args, env=env, stdin=subprocess.DEVNULL,
                                        stdout=subprocess.PIPE, stderr=self._stderr)
        self._buffer = b""

    @property
    def pid(self):
        return self.process.pid

    def read_line(self, timeout):
        """The next line of standard output without its newline, or None when none comes in
        time or the output has ended."""
        deadline = time.monotonic() + timeout
        fd = self.process.stdout.fileno()
        while b"\n" not in self._buffer:
            remaining = deadline - time.monotonic()
            if remaining <= 0 or not select.select([fd], [], [], remaining)[0]:
                return None
            chunk = os.read(fd, 4096)
            if not chunk:
                return None
            self._buffer += chunk
        line, _, self._buffer = self._buffer.partition(b"\n")
        return line.decode(errors="replace")

    def wait(self, timeout):
        """The exit code, or None when the program is still running after timeout seconds."""
        try:
            return self.process.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            return None

    def running(self):
        return self.process.poll() is None

    def stderr_text(self):
        self._stderr.seek(0)
        return self._stderr.read().decode(errors="replace")

    def stop(self):
        """Kills the program if it still runs and releases its pipes."""
        if self.process.poll() is None:
            self.process.kill()
            self.process.wait(timeout=TOOL_TIMEOUT)
        self.process.stdout.close()
        self._stderr.close()


def program_env(display):
    """The environment for a program under test: the given display and nothing that would steer
    SDL away from its own choice of video driver."""
    env = dict(os.environ)
    env["DISPLAY"] = display
    for name in ("WAYLAND_DISPLAY", "SDL_VIDEODRIVER", "SDL_VIDEO_DRIVER"):
        env.pop(name, None)
    return env


class XSession:
    """An Xvfb server on a display number of its own. Use it as a context manager: the server
    is stopped when the block ends, whatever happened inside."""

    def __init__(self, width=1280, height=1024, first_display=90):
        self.width, self.height = width, height
        self._first_display = first_display
        self.display = None
        self._server = None
        self._log = None

    def __enter__(self):
        self.start()
        return self

    def __exit__(self, *exc):
        self.stop()

    def start(self, timeout=15.0):
        number = self._first_display
        for _ in range(20):
            display = unused_display(number)
            number = int(display[1:]) + 1
            self._log = tempfile.TemporaryFile()
            self._server = subprocess.Popen(
                ["Xvfb", display, "-screen", "0", f"{self.width}x{self.height}x24",
                 "-nolisten", "tcp"],
                stdin=subprocess.DEVNULL, stdout=self._log, stderr=subprocess.STDOUT)
            self.display = display
            if _poll(lambda: self._server.poll() is not None or self._answers(), timeout,
                     interval=0.1) and self._server.poll() is None and self._owns_display():
                return
            # Another server took the number between the check and the start: what answered may
            # even have been that one. Try the next number.
            self.stop()
        raise SessionError("Xvfb did not start on any display number tried")

    def _owns_display(self):
        """True when the display's lock file names our server."""
        try:
            with open(f"/tmp/.X{self.display[1:]}-lock") as lock:
                return int(lock.read().strip()) == self._server.pid
        except (OSError, ValueError):
            return False

    def _answers(self):
        try:
            return subprocess.run(["xdpyinfo", "-display", self.display], capture_output=True,
                                  timeout=TOOL_TIMEOUT).returncode == 0
        except subprocess.TimeoutExpired:
            return False

    def stop(self):
        if self._server is not None:
            if self._server.poll() is None:
                self._server.send_signal(signal.SIGTERM)
                try:
                    self._server.wait(timeout=5)
                except subprocess.TimeoutExpired:
                    self._server.kill()
                    self._server.wait(timeout=5)
            self._server = None
        if self._log is not None:
            self._log.close()
            self._log = None

    def env(self):
        return program_env(self.display)

    def launch(self, args):
        return Program(args, self.env())

    def tool(self, args, timeout=TOOL_TIMEOUT):
        """Runs an X tool on this display; returns (exit code, standard output)."""
        try:
            done = subprocess.run(args, env=self.env(), capture_output=True, timeout=timeout)
        except subprocess.TimeoutExpired:
            raise SessionError(f"{args[0]} did not finish within {timeout} s: {args}")
        return done.returncode, done.stdout.decode(errors="replace")

    # --- Windows ---

    def find_windows(self, title, only_visible=False):
        """Ids of the windows titled exactly `title` (one search; may race with windows that are
        going away, which then simply are not listed)."""
        args = ["xdotool", "search"]
        if only_visible:
            args.append("--onlyvisible")
        args += ["--name", "^" + re.escape(title) + "$"]
        _, out = self.tool(args)
        return [int(line) for line in out.split() if line.isdigit()]

    def wait_for_window(self, title, timeout):
        """The id of the viewable window titled exactly `title`, or None after timeout seconds."""
        found = _poll(lambda: self.find_windows(title, only_visible=True), timeout, interval=0.1)
        return found[0] if found else None

    def wait_until_no_window(self, title, timeout):
        """True once no window titled exactly `title` exists (within timeout seconds)."""
        return _poll(lambda: not self.find_windows(title), timeout, interval=0.1)

    def top_level_windows(self):
        """(id, title) of every child of the root window; title None for an unnamed one."""
        _, out = self.tool(["xwininfo", "-root", "-children"])
        windows = []
        for match in re.finditer(r"^\s+(0x[0-9a-f]+) (?:\"(.*?)\"|\(has no name\))", out, re.M):
            windows.append((int(match.group(1), 16), match.group(2)))
        return windows

    def geometry(self, window):
        """(x, y, width, height) of the window's area on the screen, or None when it is gone."""
        code, out = self.tool(["xwininfo", "-id", str(window)])
        if code != 0:
            return None
        values = {}
        for key in ("Absolute upper-left X", "Absolute upper-left Y", "Width", "Height"):
            match = re.search(r"^\s*" + key + r":\s+(-?\d+)", out, re.M)
            if not match:
                return None
            values[key] = int(match.group(1))
        return (values["Absolute upper-left X"], values["Absolute upper-left Y"],
                values["Width"], values["Height"])

    def focused_window(self):
        """The window that has the input focus, or None (no window, or the pointer root)."""
        code, out = self.tool(["xdotool", "getwindowfocus", "-f"])
        out = out.strip()
        return int(out) if code == 0 and out.isdigit() else None

    # --- Input ---

    def press_keys(self, window, *keys, focus_timeout=5.0):
        """Presses and releases each key (xdotool key names, "shift+q" for a chord) through the
        X test extension, as a person would. The window must have the input focus: the keys go
        wherever the focus is."""
        if _poll(lambda: self.focused_window() == window, focus_timeout) is not True:
            raise SessionError(f"window {window} does not have the input focus "
                               f"(focus: {self.focused_window()})")
        code, _ = self.tool(["xdotool", "key", "--delay", "40", *keys])
        if code != 0:
            raise SessionError(f"xdotool key {' '.join(keys)} failed")

    def send_close_request(self, helper, window):
        """Asks the window to close, as a window manager's close box does."""
        code, _ = self.tool([helper, str(window)])
        if code != 0:
            raise SessionError(f"{helper} {window} failed with exit code {code}")

    # --- Pictures ---

    def screenshot(self):
        """The whole screen as an Image."""
        try:
            done = subprocess.run(["xwd", "-root", "-silent"], env=self.env(),
                                  capture_output=True, timeout=TOOL_TIMEOUT)
        except subprocess.TimeoutExpired:
            raise SessionError("xwd did not finish")
        if done.returncode != 0:
            raise SessionError("xwd failed: " + done.stderr.decode(errors="replace"))
        return parse_xwd(done.stdout)
