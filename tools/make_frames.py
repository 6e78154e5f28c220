#!/usr/bin/env python3
"""Generate the eight eye animation frames resources/frame1.xpm .. frame8.xpm.

Each frame is a 50 x 44 two-colour picture: a one-pixel elliptical outline
spanning x 6..42, y 8..39 and a round black pupil looking in one direction.

Usage: python3 tools/make_frames.py [output-directory]   (default: resources/)
"""

import os
import sys

WIDTH, HEIGHT = 50, 44

# Ellipse centre and radii (in pixel-centre coordinates).  The radii are half a
# pixel larger than the nominal semi-axes 18 x 15.5 so that the extreme pixels
# land exactly on x = 6, x = 42, y = 8 and y = 39.
CX, CY = 24.0, 23.5
RX, RY = 18.5, 16.0

# Pupil bounding boxes, inclusive: (x0, x1, y0, y1), in frame order.
PUPILS = [
    (31, 36, 27, 33),  # 1: down and right
    (28, 34, 14, 20),  # 2: up and right
    (12, 18, 14, 20),  # 3: up and left
    (11, 17, 28, 34),  # 4: down and left
    (22, 28, 30, 36),  # 5: down
    (21, 27, 10, 16),  # 6: up
    (34, 40, 20, 26),  # 7: right
    (8, 15, 20, 26),   # 8: left
]


def inside(x, y):
    return ((x - CX) / RX) ** 2 + ((y - CY) / RY) ** 2 <= 1.0


def outline():
    """Pixels of the filled ellipse that touch the outside, thinned to one pixel."""
    ring = {(x, y) for y in range(HEIGHT) for x in range(WIDTH)
            if inside(x, y) and not all(inside(x + dx, y + dy)
                                        for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1)))}
    # Drop "elbow" pixels: a pixel with one horizontal and one vertical ring
    # neighbour is redundant, since those two neighbours already touch diagonally.
    for p in sorted(ring):
        x, y = p
        horizontal = (x - 1, y) in ring or (x + 1, y) in ring
        vertical = (x, y - 1) in ring or (x, y + 1) in ring
        if horizontal and vertical:
            ring.discard(p)
    return ring


def pupil(x0, x1, y0, y1):
    """A filled box with a two-pixel triangle cut from each corner (a round blob)."""
    def corner_distance(v, lo, hi):
        return min(v - lo, hi - v)
    return {(x, y) for y in range(y0, y1 + 1) for x in range(x0, x1 + 1)
            if corner_distance(x, x0, x1) + corner_distance(y, y0, y1) >= 2}


def to_xpm(name, black):
    rows = ["".join("#" if (x, y) in black else "." for x in range(WIDTH))
            for y in range(HEIGHT)]
    lines = ["/* XPM */",
             f"static const char *const {name}_xpm[] = {{",
             f'"{WIDTH} {HEIGHT} 2 1",',
             '". c #FFFFFF",',
             '"# c #000000",']
    lines += [f'"{row}",' for row in rows[:-1]] + [f'"{rows[-1]}"', "};"]
    return "\n".join(lines) + "\n"


def main():
    out_dir = sys.argv[1] if len(sys.argv) > 1 else os.path.join(
        os.path.dirname(os.path.abspath(__file__)), "..", "resources")
    ring = outline()
    for number, box in enumerate(PUPILS, start=1):
        name = f"frame{number}"
        with open(os.path.join(out_dir, name + ".xpm"), "w", encoding="ascii") as f:
            f.write(to_xpm(name, ring | pupil(*box)))


if __name__ == "__main__":
    main()
