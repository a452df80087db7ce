"""The snapshot tool: its exit codes, and the pictures it writes of the window and of a page.

Expected colours are typed in from the default palette (RRGGBB) and the effects' formulas; the
figures' frames come from the independent drawing that the end-to-end test uses."""

import argparse
import os
import struct
import subprocess
import sys
import tempfile
import unittest
import zlib

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "e2e"))

from figures_frame import frame_page, frame_picture, pose  # noqa: E402

TOOL = None

# Entries of the default palette used below, as (red, green, blue).
DEFAULT = {
    0: (0x00, 0x00, 0x00),
    1: (0x00, 0x00, 0xA8),
    7: (0xA8, 0xA8, 0xA8),
    25: (0x80, 0x80, 0x80),
    26: (0x90, 0x90, 0x90),
    27: (0xA0, 0xA0, 0xA0),
    28: (0xB4, 0xB4, 0xB4),
    29: (0xC8, 0xC8, 0xC8),
    30: (0xE0, 0xE0, 0xE0),
    31: (0xFC, 0xFC, 0xFC),
    32: (0x00, 0x00, 0xFC),
    47: (0x40, 0xFC, 0x00),
    112: (0x70, 0x00, 0x00),
}


def read_png(path):
    """Returns (width, height, bit depth, colour type, rows, palette) of a PNG whose rows use
    filter 0 (what the tool writes); rows are bytes without the filter byte."""
    with open(path, "rb") as f:
        data = f.read()
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        raise ValueError("not a PNG")
    pos = 8
    header = None
    palette = []
    idat = b""
    while pos < len(data):
        (length,) = struct.unpack(">I", data[pos:pos + 4])
        kind = data[pos + 4:pos + 8]
        body = data[pos + 8:pos + 8 + length]
        (crc,) = struct.unpack(">I", data[pos + 8 + length:pos + 12 + length])
        if zlib.crc32(kind + body) != crc:
            raise ValueError("bad CRC in %r" % kind)
        if kind == b"IHDR":
            header = struct.unpack(">IIBBBBB", body)
        elif kind == b"PLTE":
            palette = [tuple(body[i:i + 3]) for i in range(0, len(body), 3)]
        elif kind == b"IDAT":
            idat += body
        pos += 12 + length
    width, height, depth, color_type = header[:4]
    raw = zlib.decompress(idat)
    channels = 3 if color_type == 2 else 1
    row_bytes = (width * depth * channels + 7) // 8
    rows = []
    for y in range(height):
        start = y * (row_bytes + 1)
        if raw[start] != 0:
            raise ValueError("row %d uses filter %d" % (y, raw[start]))
        rows.append(raw[start + 1:start + 1 + row_bytes])
    return width, height, depth, color_type, rows, palette


def rgb_at(rows, x, y):
    return tuple(rows[y][3 * x:3 * x + 3])


def plasma_first_frame_index(px, py):
    """Palette index of pixel (px, py) after plasma's first frame (t = 0): cell (px div 2,
    py div 2) drawn last over shared pixels, colour x AND y; rows below 400 never drawn."""
    if py > 400:
        return 0
    return (min(px // 2, 319) & min(py // 2, 199)) & 0xFF


class Mt19937:
    """The 32-bit Mersenne Twister seeded with one number, written out here from its published
    definition so that the effects' random numbers can be checked."""

    def __init__(self, seed):
        self.state = [seed & 0xFFFFFFFF]
        for i in range(1, 624):
            previous = self.state[-1]
            self.state.append((1812433253 * (previous ^ (previous >> 30)) + i) & 0xFFFFFFFF)
        self.index = 624

    def next(self):
        if self.index == 624:
            for i in range(624):
                y = (self.state[i] & 0x80000000) | (self.state[(i + 1) % 624] & 0x7FFFFFFF)
                self.state[i] = self.state[(i + 397) % 624] ^ (y >> 1) ^ (0x9908B0DF if y & 1 else 0)
            self.index = 0
        y = self.state[self.index]
        self.index += 1
        y ^= y >> 11
        y ^= (y << 7) & 0x9D2C5680
        y ^= (y << 15) & 0xEFC60000
        return y ^ (y >> 18)


def pattern_frames(seed, frames, width=640, height=480):
    """The pattern's pages after each frame: c = ((c + r) XOR x XOR y) AND 255 for every pixel,
    row by row, with r drawn once per frame in 0..344 and c carried on from 0."""
    generator = Mt19937(seed)
    c = 0
    rows = None
    for _ in range(frames):
        r = (generator.next() * 345) >> 32
        rows = []
        for y in range(height):
            row = bytearray(width)
            for x in range(width):
                c = ((c + r) ^ x ^ y) & 255
                row[x] = c
            rows.append(bytes(row))
    return rows


class SnapshotTool(unittest.TestCase):

    def run_tool(self, *args):
        return subprocess.run([TOOL, *args], capture_output=True, text=True, timeout=120)

    def setUp(self):
        self.dir = tempfile.TemporaryDirectory()
        self.out = os.path.join(self.dir.name, "out.png")

    def tearDown(self):
        self.dir.cleanup()

    def test_wrong_command_lines_print_usage_and_exit_2(self):
        cases = [
            [],
            ["plasma"],
            ["plasma", "1"],
            ["nosuch", "1", self.out],
            ["Starfield", "1", self.out],
            ["pattern", "1", self.out, "--seed"],
            ["pattern", "1", self.out, "--seed", "-1"],
            ["pattern", "1", self.out, "--seed", "4294967296"],
            ["pattern", "1", self.out, "--seed", "x"],
            ["pattern", "1", self.out, "--seed", "1", "--seed", "2"],
            ["Plasma", "1", self.out],
            ["Figures", "1", self.out],
            ["plasma", "x", self.out],
            ["plasma", "-1", self.out],
            ["plasma", "+1", self.out],
            ["plasma", "1.5", self.out],
            ["plasma", "99999999999999999999", self.out],
            ["plasma", "1", self.out, "extra"],
            ["plasma", "1", self.out, "--page"],
            ["plasma", "1", self.out, "--page", "4"],
            ["plasma", "1", self.out, "--page", "-1"],
            ["plasma", "1", self.out, "--page", "0", "--page", "1"],
        ]
        for args in cases:
            with self.subTest(args=args):
                result = self.run_tool(*args)
                self.assertEqual(result.returncode, 2, result.stderr)
                self.assertTrue(result.stderr.startswith("usage: tavlo-snapshot"), result.stderr)
                self.assertEqual(len(result.stderr.strip().splitlines()), 1)
                self.assertFalse(os.path.exists(self.out))

    def test_unwritable_output_exits_1_with_a_message(self):
        for out in [os.path.join(self.dir.name, "no", "such", "dir.png"), self.dir.name]:
            with self.subTest(out=out):
                result = self.run_tool("plasma", "0", out)
                self.assertEqual(result.returncode, 1)
                self.assertIn("cannot write", result.stderr)

    def test_plasma_first_frame_on_the_window(self):
        result = self.run_tool("plasma", "1", self.out)
        self.assertEqual(result.returncode, 0, result.stderr)
        width, height, depth, color_type, rows, _ = read_png(self.out)
        self.assertEqual((width, height, depth, color_type), (640, 480, 8, 2))
        # (pixel x, pixel y, palette index by the cell formula worked by hand)
        for px, py, index in [(0, 0, 0), (10, 6, 1), (62, 62, 31), (200, 100, 32),
                              (95, 127, 47), (638, 398, 7), (639, 400, 7), (300, 401, 0),
                              (300, 479, 0)]:
            with self.subTest(pixel=(px, py)):
                self.assertEqual(plasma_first_frame_index(px, py), index)
                self.assertEqual(rgb_at(rows, px, py), DEFAULT[index])

    def test_plasma_first_frame_on_page_0_is_indexed_with_the_palette(self):
        result = self.run_tool("plasma", "1", self.out, "--page", "0")
        self.assertEqual(result.returncode, 0, result.stderr)
        width, height, depth, color_type, rows, palette = read_png(self.out)
        self.assertEqual((width, height, depth, color_type), (640, 480, 8, 3))
        self.assertEqual(len(palette), 256)
        for index, rgb in DEFAULT.items():
            self.assertEqual(palette[index], rgb)
        for py in range(0, 480, 7):
            for px in range(0, 640, 5):
                self.assertEqual(rows[py][px], plasma_first_frame_index(px, py), (px, py))

    def test_no_steps_leaves_the_window_black(self):
        result = self.run_tool("plasma", "0", self.out)
        self.assertEqual(result.returncode, 0, result.stderr)
        _, _, _, _, rows, _ = read_png(self.out)
        self.assertTrue(all(byte == 0 for row in rows for byte in row))

    def test_page_carries_the_colours_that_the_tunnel_changed(self):
        # 114 steps are the tunnel's ramp: entry n (0 to 111) becomes grey 4 * (n div 3).
        result = self.run_tool("tunnel", "114", self.out, "--page", "0")
        self.assertEqual(result.returncode, 0, result.stderr)
        _, _, _, _, rows, palette = read_png(self.out)
        for index, grey in [(0, 0), (2, 0), (3, 4), (5, 4), (6, 8), (111, 148)]:
            self.assertEqual(palette[index], (grey, grey, grey), index)
        self.assertEqual(palette[112], DEFAULT[112])
        self.assertTrue(all(byte == 0 for row in rows for byte in row))  # nothing drawn yet

    def test_pattern_frames_with_a_fixed_seed(self):
        self.assertEqual(Mt19937(5489).next(), 3499211612)  # the generator's published first draw
        result = self.run_tool("pattern", "2", self.out, "--page", "0", "--seed", "20261211")
        self.assertEqual(result.returncode, 0, result.stderr)
        width, height, _, _, rows, _ = read_png(self.out)
        self.assertEqual((width, height), (640, 480))
        self.assertEqual([bytes(row) for row in rows], pattern_frames(20261211, 2))

    def test_a_fixed_seed_repeats_the_starfield_and_another_seed_changes_it(self):
        pictures = []
        for seed in ["7", "7", "8"]:
            out = os.path.join(self.dir.name, f"stars{len(pictures)}.png")
            result = self.run_tool("starfield", "1500", out, "--seed", seed)
            self.assertEqual(result.returncode, 0, result.stderr)
            pictures.append(read_png(out)[4])
        self.assertEqual(pictures[0], pictures[1])
        self.assertNotEqual(pictures[0], pictures[2])
        # Stars are drawn in the palette's colours 25 to 32 on black.
        colours = {rgb_at(pictures[0], x, y) for y in range(0, 480, 2) for x in range(640)}
        self.assertLessEqual(colours, {(0, 0, 0)} | {DEFAULT[i] for i in range(25, 33)})
        self.assertGreater(len(colours), 4)

    def test_figures_window_shows_the_frame_just_drawn(self):
        # Frame 150 has X = 124, Y = 119, A = -2: the two figures side by side, apart.
        self.assertEqual(pose(150), (124, 119, -2))
        for frames in [2, 3, 150]:
            with self.subTest(frames=frames):
                result = self.run_tool("figures", str(frames), self.out)
                self.assertEqual(result.returncode, 0, result.stderr)
                width, height, depth, color_type, rows, _ = read_png(self.out)
                self.assertEqual((width, height, depth, color_type), (640, 480, 8, 2))
                self.assertEqual(b"".join(rows), frame_picture(*pose(frames)))

    def test_figures_after_one_frame_shows_the_empty_page(self):
        # The first frame draws on the shown page, then shows page 1, which is never drawn.
        result = self.run_tool("figures", "1", self.out)
        self.assertEqual(result.returncode, 0, result.stderr)
        _, _, _, _, rows, _ = read_png(self.out)
        self.assertTrue(all(byte == 0 for row in rows for byte in row))

    def test_figures_pages_hold_the_frame_shown_and_a_cleared_one(self):
        # After frame 2 page 0 holds it and is shown; page 1 is the next draw page, cleared.
        for page, expected in [("0", frame_page(*pose(2))), ("1", bytes(640 * 480))]:
            with self.subTest(page=page):
                result = self.run_tool("figures", "2", self.out, "--page", page)
                self.assertEqual(result.returncode, 0, result.stderr)
                width, height, depth, color_type, rows, palette = read_png(self.out)
                self.assertEqual((width, height, depth, color_type), (640, 480, 8, 3))
                self.assertEqual(palette[32], DEFAULT[32])
                self.assertEqual(b"".join(rows), expected)


def main():
    global TOOL
    parser = argparse.ArgumentParser()
    parser.add_argument("--tool", required=True)
    args, rest = parser.parse_known_args()
    TOOL = os.path.abspath(args.tool)
    unittest.main(argv=[sys.argv[0], *rest])


if __name__ == "__main__":
    main()
