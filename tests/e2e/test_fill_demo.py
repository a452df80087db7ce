#!/usr/bin/env python3
"""Fills as the person at the screen sees them: fill_demo draws solid, hatched and pattern boxes
and a viewport, changes a palette entry, draws on a hidden page and shows it. After each stage
the window's client area on the Xvfb screen must match, pixel for pixel, the picture that this
test computes from the default palette, the hatch rule and the pattern rule."""

import argparse
import os
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from png_file import write_png  # noqa: E402
from verdict import Stop, Verdict  # noqa: E402
from x_session import SessionError, XSession  # noqa: E402

WIDTH, HEIGHT = 640, 480
CAPTION = "FILL DEMO"
STAGE_TIMEOUT = 20.0  # the program's own drawing; generous for sanitizer builds
PRESENT_TIMEOUT = 5.0  # from a drawing call's return until the screen shows it
HIDDEN_WATCH = 1.0  # how long the window must keep its picture while a hidden page is drawn

# The default palette entries that fill_demo uses, as RRGGBB.
DEFAULT_PALETTE = {
    0: "000000", 1: "0000a8", 2: "00a800", 3: "00a8a8", 4: "a80000", 5: "a800a8", 6: "a85400",
    7: "a8a8a8", 8: "545454", 9: "8484fc", 10: "54fc54", 11: "54fcfc", 12: "fc5454",
    13: "fc54fc", 14: "fcfc54", 15: "fcfcfc", 44: "fcfc00",
}
BLACK = 0  # the background colour after opening; every page starts with all pixels 0

# One-pixel hatch lines every 8 pixels, aligned to the surface origin.
HATCHES = {
    2: lambda x, y: y % 8 == 0,
    3: lambda x, y: x % 8 == 0,
    4: lambda x, y: y % 8 == 0 or x % 8 == 0,
    5: lambda x, y: (x + y) % 8 == 7,
    6: lambda x, y: (x - y) % 8 == 0,
    7: lambda x, y: (x + y) % 8 == 7 or (x - y) % 8 == 0,
}


def solid(color):
    return lambda x, y: color % 256


def hatched(pattern, color):
    return lambda x, y: color % 256 if HATCHES[pattern](x, y) else None


def tiled(rows, color, background):
    """The 8 by 8 user pattern, aligned to the surface origin: bit 7 of row byte r is the
    leftmost column; set bits take the fill colour, clear bits the background colour."""
    return lambda x, y: color if rows[y % 8] >> (7 - x % 8) & 1 else background


class Page:
    """The palette index of every pixel of one page, and which drawing step put it there."""

    def __init__(self):
        self.index = bytearray(WIDTH * HEIGHT)
        self.step = ["untouched"] * (WIDTH * HEIGHT)
        self.viewport(0, 0, WIDTH - 1, HEIGHT - 1, False)

    def viewport(self, x1, y1, x2, y2, clip):
        self.origin = (x1, y1)
        self.clip = (x1, y1, x2, y2) if clip else None

    def box(self, x1, y1, x2, y2, paint, step):
        """A box in viewport coordinates, both corners included, in any corner order."""
        x1, x2 = sorted((x1 + self.origin[0], x2 + self.origin[0]))
        y1, y2 = sorted((y1 + self.origin[1], y2 + self.origin[1]))
        left, top, right, bottom = 0, 0, WIDTH - 1, HEIGHT - 1
        if self.clip:
            left, top = max(left, self.clip[0]), max(top, self.clip[1])
            right, bottom = min(right, self.clip[2]), min(bottom, self.clip[3])
        for y in range(max(y1, top), min(y2, bottom) + 1):
            for x in range(max(x1, left), min(x2, right) + 1):
                color = paint(x, y)
                if color is not None:
                    self.index[y * WIDTH + x] = color
                    self.step[y * WIDTH + x] = step

    def rgb(self, palette):
        table = [bytes.fromhex(palette.get(i, "000000")) for i in range(256)]
        return b"".join(table[i] for i in self.index)


def stage_one():
    """Page 0 as fill_demo draws it before its first wait (see fill_demo.cpp)."""
    page = Page()
    page.box(16, 16, 79, 63, solid(4), "solid 4")
    page.box(96, 16, 159, 63, solid(9), "solid 9")
    page.box(176, 16, 239, 63, solid(300), "solid 300 (entry 44)")
    page.box(319, 63, 256, 16, solid(13), "solid 13, crossed corners")
    page.box(336, 16, 399, 63, solid(15), "solid 15")
    page.box(352, 32, 383, 47, solid(BLACK), "pattern 0: background colour")
    background = 1
    for pattern in range(2, 8):
        left = 19 + 80 * (pattern - 2)
        page.box(left, 99, left + 60, 159, solid(background), f"under hatch {pattern}")
        page.box(left, 99, left + 60, 159, hatched(pattern, 14), f"hatch {pattern}")
    checker = [0xAA, 0x55] * 4
    page.box(19, 189, 98, 252, tiled(checker, 12, 2), "checkerboard pattern")
    page.box(115, 189, 194, 252, tiled(checker, 12, 2), "checkerboard again via SetFill(8)")
    letter_f = [0xF8, 0x80, 0x80, 0xF0, 0x80, 0x80, 0x80, 0x00]
    page.box(211, 189, 290, 252, tiled(letter_f, 11, background), "F pattern")
    page.viewport(403, 301, 498, 396, True)
    page.box(-30, -30, 40, 200, solid(10), "clipped solid 10")
    page.box(50, -10, 200, 95, solid(background), "clipped, under diagonal cross")
    page.box(50, -10, 200, 95, hatched(7, 15), "clipped diagonal cross")
    page.viewport(500, 20, 600, 60, False)
    page.box(0, 0, 120, 9, solid(5), "unclipped viewport, solid 5")
    return page


def stage_four():
    """Page 1: drawn while hidden, then shown and drawn on again."""
    page = Page()
    page.box(100, 400, 299, 459, solid(14), "hidden page box")
    page.box(400, 400, 449, 449, solid(9), "box after the page is shown")
    return page


class Screen:
    """The client area of the demo's window on the Xvfb screen, compared with expected pictures.
    A mismatch leaves the actual and expected pictures as PNG files in the artifact folder."""

    def __init__(self, session, origin, artifacts, verdict):
        self.session, self.origin = session, origin
        self.artifacts, self.verdict = artifacts, verdict

    def grab(self):
        return self.session.screenshot().crop(self.origin[0], self.origin[1], WIDTH, HEIGHT).rgb

    def expect(self, name, page, palette, timeout=PRESENT_TIMEOUT, hold=0.0):
        """Waits until the window shows `page`; with `hold`, it must then keep showing it that
        long."""
        expected = page.rgb(palette)
        deadline = time.monotonic() + timeout
        actual = self.grab()
        while actual != expected and time.monotonic() < deadline:
            time.sleep(0.05)
            actual = self.grab()
        hold_end = time.monotonic() + hold
        while actual == expected and time.monotonic() < hold_end:
            time.sleep(0.1)
            actual = self.grab()
        if actual != expected:
            self.report(name, page, actual, expected)

    def report(self, name, page, actual, expected):
        wrong = {}
        examples = []
        for i in range(WIDTH * HEIGHT):
            if actual[3 * i:3 * i + 3] != expected[3 * i:3 * i + 3]:
                step = page.step[i]
                wrong[step] = wrong.get(step, 0) + 1
                if len(examples) < 5:
                    examples.append(f"({i % WIDTH}, {i // WIDTH}) {step}: "
                                    f"{actual[3 * i:3 * i + 3].hex()} instead of "
                                    f"{expected[3 * i:3 * i + 3].hex()}")
        os.makedirs(self.artifacts, exist_ok=True)
        for kind, picture in (("actual", actual), ("expected", expected)):
            write_png(os.path.join(self.artifacts, f"{name}-{kind}.png"), WIDTH, HEIGHT, picture)
        self.verdict.check(False, f"{name}: {sum(wrong.values())} pixels differ, by drawing step "
                           f"{wrong}; e.g. {'; '.join(examples)}; pictures in {self.artifacts}")


def parse_arguments():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--build-dir", required=True)
    parser.add_argument("--fill-demo", help="default: BUILD_DIR/tests/fill_demo")
    args = parser.parse_args()
    args.fill_demo = args.fill_demo or os.path.join(args.build_dir, "tests", "fill_demo")
    args.artifacts = os.path.join(args.build_dir, "e2e-artifacts", "test_fill_demo")
    return args


def run_demo(verdict, session, demo, artifacts):
    program = session.launch([demo])
    try:
        def await_stage(stage):
            line = program.read_line(STAGE_TIMEOUT)
            verdict.require(line == f"stage {stage}",
                            f"fill_demo printed {line!r} instead of 'stage {stage}'; "
                            f"running: {program.running()}; stderr: {program.stderr_text()!r}")

        await_stage(1)
        window = session.wait_for_window(CAPTION, STAGE_TIMEOUT)
        verdict.require(window is not None, f"no window titled {CAPTION!r}")
        geometry = session.geometry(window)
        verdict.require(geometry is not None and geometry[2:] == (WIDTH, HEIGHT),
                        f"client area {geometry}, expected {WIDTH}x{HEIGHT}")
        screen = Screen(session, geometry[:2], artifacts, verdict)

        page0 = stage_one()
        screen.expect("stage1", page0, DEFAULT_PALETTE)

        session.press_keys(window, "space")
        await_stage(2)
        changed = {**DEFAULT_PALETTE, 4: "123456"}
        screen.expect("stage2-palette-entry", page0, changed)

        session.press_keys(window, "space")
        await_stage(3)
        screen.expect("stage3-hidden-page", page0, changed, hold=HIDDEN_WATCH)

        session.press_keys(window, "space")
        await_stage(4)
        screen.expect("stage4-shown-page", stage_four(), changed)

        session.press_keys(window, "space")
        code = program.wait(STAGE_TIMEOUT)
        verdict.check(code == 0, f"fill_demo exited {code}, expected 0; "
                      f"stderr: {program.stderr_text()!r}")
    finally:
        program.stop()


def main():
    args = parse_arguments()
    verdict = Verdict("test_fill_demo")
    if not os.access(args.fill_demo, os.X_OK):
        verdict.check(False, f"{args.fill_demo} is not built")
        return verdict.finish()
    try:
        with XSession() as session:
            verdict.note(f"Xvfb on {session.display}")
            run_demo(verdict, session, args.fill_demo, args.artifacts)
    except (Stop, SessionError) as failure:
        verdict.check(False, str(failure))
    return verdict.finish()


if __name__ == "__main__":
    sys.exit(main())
