"""Checks that every program of the end-to-end tests shares: its start without a display, and a
description of where it stands for failure messages."""

from x_session import Program, program_env, unused_display


def check_no_display(verdict, path, name, first_display):
    """With DISPLAY naming a server that does not exist, the program ends at once with code 1
    and exactly one line on standard error."""
    program = Program([path], program_env(unused_display(first=first_display)))
    try:
        code = program.wait(timeout=10.0)
        verdict.require(code is not None, f"without a display {name} is still running after 10 s")
        stderr = program.stderr_text()
        verdict.check(code == 1, f"without a display {name} exited {code}, expected 1")
        lines = stderr.splitlines()
        verdict.check(len(lines) == 1 and lines[0].strip() and stderr.endswith("\n"),
                      f"without a display {name} wrote {stderr!r} on standard error; "
                      "expected exactly one line")
    finally:
        program.stop()


def describe(session, program, name):
    """What is going on, for a failure message."""
    state = "running" if program.running() else f"exited {program.process.returncode}"
    return (f"{name} {state}; windows: {session.top_level_windows()}; "
            f"stderr: {program.stderr_text()!r}")
