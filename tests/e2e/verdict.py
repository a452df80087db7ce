"""Collects the failures of an end-to-end test and turns them into its exit code."""

import sys


class Stop(Exception):
    """A failure after which the test cannot go on."""


class Verdict:
    def __init__(self, name):
        self.name = name
        self.failures = []

    def check(self, ok, message):
        """Records a failure unless ok; returns ok."""
        if not ok:
            self.failures.append(message)
            print(f"FAIL: {message}", file=sys.stderr, flush=True)
        return ok

    def require(self, ok, message):
        """Like check, but a failure ends the test."""
        if not ok:
            raise Stop(message)

    def note(self, message):
        print(message, flush=True)

    def finish(self):
        """Prints the summary; the exit code for the test."""
        if self.failures:
            print(f"{self.name}: {len(self.failures)} failure(s)", file=sys.stderr, flush=True)
            return 1
        print(f"{self.name}: passed", flush=True)
        return 0
