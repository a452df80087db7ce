#!/usr/bin/env python3
"""The effects show end to end, on a real X server (Xvfb): the seven windows come one at a time,
in order, each 640 by 480; each one ends on a key press or on a close request, but not on a
modifier key alone; the program then exits 0 and leaves no window. Without a display it exits 1
with one line on standard error."""

import argparse
import os
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from program_checks import check_no_display, describe  # noqa: E402
from verdict import Stop, Verdict  # noqa: E402
from x_session import SessionError, XSession  # noqa: E402

CAPTIONS = ["STELUTE", "ROTOZOOM", "MODEL", "TUNEL", "PODEA", "PLASMA", "SINUS WAVE"]

# How each window of the show is ended, in show order: keys that must not end it (pressed first,
# each alone), then a key chord that must, or "close" for a close request. The enders cover a
# letter, keys with their own codes (Escape, Enter), keys that queue two codes (F5, Alt+F4, which
# must end the effect and not the program) and a shifted letter.
ENDINGS = {
    "STELUTE": (["Shift_L", "Control_L", "Alt_L"], "a"),
    "ROTOZOOM": ([], "Escape"),
    "MODEL": ([], "Return"),
    "TUNEL": ([], "close"),
    "PODEA": ([], "F5"),
    "PLASMA": ([], "shift+q"),
    "SINUS WAVE": ([], "alt+F4"),
}

CLIENT_SIZE = (640, 480)
WINDOW_TIMEOUT = 20.0  # generous: sanitizer builds draw slowly and check keys once a frame
EXIT_TIMEOUT = 20.0
SETTLE = 0.5  # long enough for a wrongly queued code to end an effect


def parse_arguments():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--build-dir", required=True)
    parser.add_argument("--effects", help="default: BUILD_DIR/effects")
    parser.add_argument("--close-helper", help="default: BUILD_DIR/tests/send_close_request")
    args = parser.parse_args()
    args.effects = args.effects or os.path.join(args.build_dir, "effects")
    args.close_helper = args.close_helper or os.path.join(args.build_dir, "tests",
                                                          "send_close_request")
    return args


def check_window(verdict, session, caption, window):
    """The window is the only effect window, and its client area is 640 by 480 on the screen."""
    titles = [title for _, title in session.top_level_windows()]
    verdict.check(titles.count(caption) == 1,
                  f"{caption}: {titles.count(caption)} windows with this title")
    others = [title for title in titles if title in CAPTIONS and title != caption]
    verdict.check(not others, f"{caption}: other effect windows exist at the same time: {others}")
    geometry = session.geometry(window)
    verdict.require(geometry is not None, f"{caption}: window vanished before it was measured")
    x, y, width, height = geometry
    verdict.check((width, height) == CLIENT_SIZE,
                  f"{caption}: client area {width}x{height}, expected 640x480")
    verdict.check(x >= 0 and y >= 0 and x + width <= session.width
                  and y + height <= session.height,
                  f"{caption}: client area {width}x{height}+{x}+{y} is not all on the screen")
    # Centred as a framed window: the frame and caption bar may shift the client a little.
    off_x = abs(x + width // 2 - session.width // 2)
    off_y = abs(y + height // 2 - session.height // 2)
    verdict.check(off_x <= 64 and off_y <= 64,
                  f"{caption}: client area {width}x{height}+{x}+{y} is not centred on the "
                  f"{session.width}x{session.height} screen")


def wait_for_effect(session, program, caption):
    """The id of the viewable window titled `caption`; None when none comes in time or the
    program ends first."""
    deadline = time.monotonic() + WINDOW_TIMEOUT
    while time.monotonic() < deadline and program.running():
        found = session.find_windows(caption, only_visible=True)
        if found:
            return found[0]
        time.sleep(0.1)
    return None


def still_open(session, program, caption):
    return program.running() and bool(session.find_windows(caption))


def run_show(verdict, session, effects, close_helper):
    program = session.launch([effects])
    try:
        for caption in CAPTIONS:
            window = wait_for_effect(session, program, caption)
            verdict.require(window is not None,
                            f"{caption}: no window came; " + describe(session, program, "effects"))
            verdict.note(f"{caption}: window {window:#x}")
            check_window(verdict, session, caption, window)

            # No code left over from the key that ended the previous effect may end this one.
            time.sleep(SETTLE)
            verdict.require(still_open(session, program, caption),
                            f"{caption}: ended before any key was pressed; "
                            + describe(session, program, "effects"))

            ignored, ender = ENDINGS[caption]
            for key in ignored:
                session.press_keys(window, key)
                time.sleep(SETTLE)
                verdict.require(still_open(session, program, caption),
                                f"{caption}: {key} alone ended the effect; "
                                + describe(session, program, "effects"))

            if ender == "close":
                session.send_close_request(close_helper, window)
            else:
                session.press_keys(window, ender)
            verdict.require(session.wait_until_no_window(caption, WINDOW_TIMEOUT),
                            f"{caption}: window still there {WINDOW_TIMEOUT} s after "
                            f"{ender}; " + describe(session, program, "effects"))

        code = program.wait(EXIT_TIMEOUT)
        verdict.require(code is not None,
                        f"effects still running {EXIT_TIMEOUT} s after the last effect ended; "
                        + describe(session, program, "effects"))
        verdict.check(code == 0, f"effects exited {code}, expected 0; "
                      f"stderr: {program.stderr_text()!r}")
        left = session.top_level_windows()
        verdict.check(not left, f"windows left after effects ended: {left}")
        if program.stderr_text():
            verdict.note(f"effects wrote on standard error: {program.stderr_text()!r}")
    finally:
        program.stop()


def main():
    args = parse_arguments()
    verdict = Verdict("test_effects_show")
    for path in (args.effects, args.close_helper):
        if not os.access(path, os.X_OK):
            verdict.check(False, f"{path} is not built (send_close_request needs libx11-dev)")
            return verdict.finish()
    try:
        check_no_display(verdict, args.effects, "effects", 150)
        with XSession() as session:
            verdict.note(f"Xvfb on {session.display}")
            run_show(verdict, session, args.effects, args.close_helper)
    except (Stop, SessionError) as failure:
        verdict.check(False, str(failure))
    return verdict.finish()


if __name__ == "__main__":
    sys.exit(main())
