"""An independent drawing of the figures program's frames, worked from the motion's and the
shading's definitions with Python integers and floats, for the tests that look at its pictures.
Pictures are 640 by 480: pages as bytes of palette indices, windows as RGB bytes, rows from the
top."""

import math

WIDTH, HEIGHT = 640, 480

# Entries 0 to 143 of the default palette, RRGGBB; the figures' shades run from 0 to 132.
DEFAULT_PALETTE = [bytes.fromhex(c) for c in """
    000000 0000a8 00a800 00a8a8 a80000 a800a8 a85400 a8a8a8 545454 8484fc 54fc54 54fcfc fc5454
    fc54fc fcfc54 fcfcfc 000000 141414 202020 2c2c2c 383838 444444 505050 606060 707070 808080
    909090 a0a0a0 b4b4b4 c8c8c8 e0e0e0 fcfcfc 0000fc 4000fc 7c00fc bc00fc fc00fc fc00bc fc007c
    fc0040 fc0000 fc4000 fc7c00 fcbc00 fcfc00 bcfc00 7cfc00 40fc00 00fc00 00fc40 00fc7c 00fcbc
    00fcfc 00bcfc 007cfc 0040fc 7c7cfc 9c7cfc bc7cfc dc7cfc fc7cfc fc7cdc fc7cbc fc7c9c fc7c7c
    fc9cfc fcbc7c fcdc7c fcfc7c dcfc7c bcfc7c 9cfc7c 7cfc7c 7cfc9c 7cfcbc 7cfcdc 7cfcfc 7cdcfc
    7cbcfc 7c9cfc b4b4fc c4b4fc d8b4fc e8b4fc fcb4fc fcb4e8 fcb4d8 fcb4c4 fcb4b4 fcc4b4 fcd8b4
    fce8b4 fcfcb4 e8fcb4 d8fcb4 c4fcb4 b4fcb4 b4fcc4 b4fcd8 b4fce8 b4fcfc b4e8fc b4d8fc b4c4fc
    000070 1c0070 380070 540070 700070 700054 700038 70001c 700000 701c00 703800 705400 707000
    547000 387000 1c7000 007000 00701c 007038 007054 007070 005470 003870 001c70 383870 443870
    543870 603870 703870 703860 703854 703844 703838 704438 705438 706038 707038 607038 547038
    447038""".split()]
# One 256-byte table per channel, for bytes.translate (indices past 143 never occur).
CHANNELS = [bytes(DEFAULT_PALETTE[i][channel] if i < len(DEFAULT_PALETTE) else 0
                  for i in range(256)) for channel in range(3)]


def pose(t):
    """(X, Y, A) of frame t: the centre column of the diamond, the centre row, the deformation."""
    m = t % 200
    x = abs(t % 456 - 228) + 46
    y = 210 - (199 - m) * m // 80
    a = round(math.cos(math.pi * (t % 20) / 10) * (199 - m) / 20)  # never near a tie
    return x, y, a


def trunc_div(a, b):
    """Integer division truncating toward zero."""
    q = abs(a) // abs(b)
    return q if (a >= 0) == (b > 0) else -q


def shade(x, y, cx, cy, rx, ry, k):
    return k * (abs(trunc_div((y - cy) * rx, ry)) + abs(trunc_div((x - cx) * ry, rx)))


def paint_cell(page, x, y, color):
    """Cell (x, y) covers pixels 2x..2x+2 by 2y..2y+2; what lies off the page is dropped."""
    left, right = max(2 * x, 0), min(2 * x + 2, WIDTH - 1)
    if left > right:
        return
    run = bytes([color & 0xFF]) * (right - left + 1)
    for py in range(max(2 * y, 0), min(2 * y + 2, HEIGHT - 1) + 1):
        page[py * WIDTH + left:py * WIDTH + right + 1] = run


def frame_page(x, y, a):
    """The palette indices of the frame with pose (x, y, a): the diamond, then the ellipse over
    it, each row by row from the top and each row from the left, so the later cell owns shared
    pixels."""
    page = bytearray(WIDTH * HEIGHT)
    rx, ry = 36 + a, 30 - a
    for cy in range(y - ry, y + ry + 1):
        for cx in range(x - rx, x + rx + 1):
            paint_cell(page, cx, cy, shade(cx, cy, x, y, rx, ry, 2))
    ex = 320 - x
    for cy in range(y - ry, y + ry + 1):
        w = round(rx * math.sqrt(1 - ((cy - y) / ry) ** 2))
        for cx in range(ex - w, ex + w + 1):
            paint_cell(page, cx, cy, shade(cx, cy, ex, y, rx, ry, 1))
    return bytes(page)


def through_palette(page):
    """The RGB picture that a window shows of a page in the default palette."""
    rgb = bytearray(WIDTH * HEIGHT * 3)
    for channel in range(3):
        rgb[channel::3] = page.translate(CHANNELS[channel])
    return bytes(rgb)


def frame_picture(x, y, a):
    """The RGB picture of the frame with pose (x, y, a)."""
    return through_palette(frame_page(x, y, a))
