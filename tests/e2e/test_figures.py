#!/usr/bin/env python3
"""The figures program end to end, on a real X server (Xvfb): the window "FIGURI DEFORMABILE"
comes, 640 by 480; every screenshot of it shows one finished frame, pixel for pixel as this test
draws that frame itself (so no half-drawn frame ever reaches the screen), and the figures move
from screenshot to screenshot; a key, or a close request, ends the program with status 0 and no
window left. Without a display it exits 1 with one line on standard error.

The frame on a screenshot is found from the box around its non-black pixels: every frame t of the
motion's cycle whose figures fill exactly that box is drawn and compared."""

import argparse
import os
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from figures_frame import HEIGHT, WIDTH, frame_picture, pose  # noqa: E402
from png_file import write_png  # noqa: E402
from program_checks import check_no_display, describe  # noqa: E402
from verdict import Stop, Verdict  # noqa: E402
from x_session import SessionError, XSession  # noqa: E402

CAPTION = "FIGURI DEFORMABILE"
WINDOW_TIMEOUT = 20.0
EXIT_TIMEOUT = 20.0
SETTLE = 0.5  # past the first frame, which draws straight onto the window
SCREENSHOTS = 20
BETWEEN_SCREENSHOTS = 0.15
MIN_DISTINCT_FRAMES = 4


def frame_box(x, y, a):
    """(left, top, right, bottom) pixels, inclusive, around both figures of a pose."""
    rx, ry = 36 + a, 30 - a
    first_col, last_col = min(x, 320 - x) - rx, max(x, 320 - x) + rx
    return (max(2 * first_col, 0), max(2 * (y - ry), 0),
            min(2 * last_col + 2, WIDTH - 1), min(2 * (y + ry) + 2, HEIGHT - 1))


def poses_by_box():
    """Every pose of the motion's cycle of 11400 frames, grouped by its box."""
    groups = {}
    for t in range(1, 11401):
        p = pose(t)
        groups.setdefault(frame_box(*p), set()).add(p)
    return groups


def non_black_box(rgb):
    """(left, top, right, bottom) around the pixels that are not black; None when all are."""
    rows = [y for y in range(HEIGHT) if rgb[y * WIDTH * 3:(y + 1) * WIDTH * 3].strip(b"\0")]
    if not rows:
        return None
    left, right = WIDTH, -1
    for y in rows:
        row = rgb[y * WIDTH * 3:(y + 1) * WIDTH * 3]
        left = min(left, (len(row) - len(row.lstrip(b"\0"))) // 3)
        right = max(right, (len(row.rstrip(b"\0")) - 1) // 3)
    return left, rows[0], right, rows[-1]


def differing_pixels(a, b):
    return sum(1 for i in range(0, len(a), 3) if a[i:i + 3] != b[i:i + 3])


def parse_arguments():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--build-dir", required=True)
    parser.add_argument("--figures", help="default: BUILD_DIR/figures")
    parser.add_argument("--close-helper", help="default: BUILD_DIR/tests/send_close_request")
    args = parser.parse_args()
    args.figures = args.figures or os.path.join(args.build_dir, "figures")
    args.close_helper = args.close_helper or os.path.join(args.build_dir, "tests",
                                                          "send_close_request")
    args.artifacts = os.path.join(args.build_dir, "e2e-artifacts", "test_figures")
    return args


def open_window(verdict, session, program):
    """The window's id and the top left corner of its client area on the screen."""
    window = None
    deadline = time.monotonic() + WINDOW_TIMEOUT
    while window is None and time.monotonic() < deadline and program.running():
        found = session.find_windows(CAPTION, only_visible=True)
        window = found[0] if found else None
        if window is None:
            time.sleep(0.1)
    verdict.require(window is not None, "no window came; " + describe(session, program, "figures"))
    titles = [title for _, title in session.top_level_windows()]
    verdict.check(titles.count(CAPTION) == 1, f"{titles.count(CAPTION)} windows titled {CAPTION}")
    geometry = session.geometry(window)
    verdict.require(geometry is not None, "the window vanished before it was measured")
    verdict.require(geometry[2:] == (WIDTH, HEIGHT),
                    f"client area {geometry[2]}x{geometry[3]}, expected {WIDTH}x{HEIGHT}")
    return window, geometry[:2]


def check_frames(verdict, session, origin, artifacts, groups):
    """Screenshot after screenshot shows a finished frame; returns the poses seen."""
    seen = []
    for shot in range(SCREENSHOTS):
        rgb = session.screenshot().crop(origin[0], origin[1], WIDTH, HEIGHT).rgb
        box = non_black_box(rgb)
        candidates = sorted(groups.get(box, ())) if box else []
        match = next((p for p in candidates if frame_picture(*p) == rgb), None)
        if match is None:
            os.makedirs(artifacts, exist_ok=True)
            write_png(os.path.join(artifacts, f"shot{shot}-actual.png"), WIDTH, HEIGHT, rgb)
            detail = f"box {box}, {len(candidates)} frames fill that box"
            if candidates:
                best = min(candidates, key=lambda p: differing_pixels(frame_picture(*p), rgb))
                expected = frame_picture(*best)
                write_png(os.path.join(artifacts, f"shot{shot}-nearest.png"), WIDTH, HEIGHT,
                          expected)
                detail += (f"; nearest is pose {best} with {differing_pixels(expected, rgb)} "
                           "pixels differing")
            verdict.check(False, f"screenshot {shot} shows no finished frame ({detail}); "
                          f"pictures in {artifacts}")
        else:
            seen.append(match)
        time.sleep(BETWEEN_SCREENSHOTS)
    return seen


def run_figures(verdict, session, figures, close_helper, artifacts, groups, ending):
    program = session.launch([figures])
    try:
        window, origin = open_window(verdict, session, program)
        time.sleep(SETTLE)
        if ending == "key":
            seen = check_frames(verdict, session, origin, artifacts, groups)
            verdict.note(f"poses (X, Y, A) seen: {seen}")
            verdict.check(len(set(seen)) >= MIN_DISTINCT_FRAMES,
                          f"the figures hardly moved: {len(set(seen))} distinct frames in "
                          f"{SCREENSHOTS} screenshots")
            session.press_keys(window, "a")
        else:
            verdict.require(program.running(), "figures ended before the close request; "
                            + describe(session, program, "figures"))
            session.send_close_request(close_helper, window)
        verdict.require(session.wait_until_no_window(CAPTION, WINDOW_TIMEOUT),
                        f"window still there {WINDOW_TIMEOUT} s after the {ending}; "
                        + describe(session, program, "figures"))
        code = program.wait(EXIT_TIMEOUT)
        verdict.require(code is not None, f"figures still running {EXIT_TIMEOUT} s after the "
                        f"{ending}; " + describe(session, program, "figures"))
        verdict.check(code == 0, f"after the {ending} figures exited {code}, expected 0; "
                      f"stderr: {program.stderr_text()!r}")
        left = session.top_level_windows()
        verdict.check(not left, f"windows left after figures ended: {left}")
    finally:
        program.stop()


def main():
    args = parse_arguments()
    verdict = Verdict("test_figures")
    for path in (args.figures, args.close_helper):
        if not os.access(path, os.X_OK):
            verdict.check(False, f"{path} is not built (send_close_request needs libx11-dev)")
            return verdict.finish()
    try:
        check_no_display(verdict, args.figures, "figures", 160)
        groups = poses_by_box()
        with XSession() as session:
            verdict.note(f"Xvfb on {session.display}")
            for ending in ("key", "close request"):
                run_figures(verdict, session, args.figures, args.close_helper, args.artifacts,
                            groups, ending)
    except (Stop, SessionError) as failure:
        verdict.check(False, str(failure))
    return verdict.finish()


if __name__ == "__main__":
    sys.exit(main())
