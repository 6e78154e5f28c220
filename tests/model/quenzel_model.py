"""Shared pieces of the independent models of quenzel's drawings.

The program's fixed generator, single-precision rounding, the number and colour rules
the drawings depend on, and the plumbing to run the replay tool and read what it prints.
Everything here is written from the rules the program follows, not from its code, so that
a model check compares two independent answers.
"""

import math
import os
import struct
import subprocess
import sys
import tempfile
import zlib

# ---- The generator ---------------------------------------------------------------------

_MULTIPLIER = 6364136223846793005
_INCREMENT = 1442695040888963407
_MASK = (1 << 64) - 1


class Generator:
    """The program's one uniform generator, never reseeded: 64-bit state from 0; each draw
    sets state := state * 6364136223846793005 + 1442695040888963407 (mod 2^64) and
    returns (state >> 11) * 2^-53."""

    def __init__(self):
        self.state = 0
        self.drawn = 0

    def next(self):
        self.state = (self.state * _MULTIPLIER + _INCREMENT) & _MASK
        self.drawn += 1
        return (self.state >> 11) * 2.0**-53

    def peek(self, count):
        """The next `count` numbers, without drawing them."""
        copy = Generator()
        copy.state, copy.drawn = self.state, self.drawn
        return [copy.next() for _ in range(count)]


# ---- Numbers and colours ---------------------------------------------------------------


def f32(v):
    """v rounded to the nearest single-precision number."""
    return struct.unpack("f", struct.pack("f", v))[0]


def Int(v):
    """The largest integer not greater than v."""
    return math.floor(v)


def to_integer(v):
    """v brought to the nearest integer, halves to the even neighbour."""
    return round(v)  # Python rounds floats half to even


def RGB(red, green, blue):
    """red + 256 green + 65536 blue; a component above 255 counts as 255."""
    return min(red, 255) + 256 * min(green, 255) + 65536 * min(blue, 255)


# The 16-colour palette in its classic order, as (red, green, blue).
_PALETTE = [
    (0, 0, 0), (0, 0, 128), (0, 128, 0), (0, 128, 128),
    (128, 0, 0), (128, 0, 128), (128, 128, 0), (192, 192, 192),
    (128, 128, 128), (0, 0, 255), (0, 255, 0), (0, 255, 255),
    (255, 0, 0), (255, 0, 255), (255, 255, 0), (255, 255, 255),
]  # fmt: skip


def QBColor(k):
    return RGB(*_PALETTE[k])


def g9(v):
    """A number as the trace prints it (C's %.9g; Python's is the same)."""
    return "%.9g" % v


def single_text(v):
    """A single as a read-out box shows it: the shortest general form with up to seven
    significant digits and no trailing zeros (6705, 12.5, 1.234568E+07)."""
    s = "%.7G" % v
    mantissa, e, exponent = s.partition("E")
    if "." in mantissa:
        mantissa = mantissa.rstrip("0").rstrip(".")
    if mantissa == "-0":
        mantissa = "0"
    return mantissa + e + exponent


# ---- The trace -------------------------------------------------------------------------


class Trace:
    """Collects the trace lines a model expects, in the replay tool's format."""

    def __init__(self, draw_width=10):
        self.lines = []
        self.draw_width = draw_width

    def scalemode(self, mode):
        self.lines.append("scalemode %d" % mode)

    def circle(self, x, y, radius, colour):
        self.lines.append(
            "circle %s %s %s %d %d" % (g9(f32(x)), g9(f32(y)), g9(f32(radius)), colour,
                                       self.draw_width))

    def pset(self, x, y, colour):
        self.lines.append("pset %s %s %d %d" % (g9(f32(x)), g9(f32(y)), colour, self.draw_width))


def circles(lines):
    """The circle lines of a trace as tuples (x, y, r, colour, width) of numbers."""
    found = []
    for line in lines:
        words = line.split()
        if words and words[0] == "circle":
            found.append((float(words[1]), float(words[2]), float(words[3]), int(words[4]),
                          int(words[5])))
    return found


# ---- Running the replay tool -----------------------------------------------------------


class Replay:
    """Runs scripts through the replay tool named on the command line."""

    def __init__(self, tool):
        self.tool = tool
        self.folder = tempfile.mkdtemp(prefix="quenzel-model-")

    def path(self, name):
        return os.path.join(self.folder, name)

    def run(self, lines):
        """Runs the script and returns its output lines; fails loudly on a bad script."""
        script = self.path("script.replay")
        with open(script, "w", encoding="utf-8") as f:
            f.write("\n".join(lines) + "\n")
        env = dict(os.environ)
        env.setdefault("QT_QPA_PLATFORM", "offscreen")
        done = subprocess.run([self.tool, script], capture_output=True, env=env, timeout=600)
        if done.returncode != 0:
            raise RuntimeError("replay failed (%d): %s" % (done.returncode,
                                                           done.stderr.decode("utf-8", "replace")))
        return done.stdout.decode("utf-8").splitlines()

    def keyboard_click(self, prefix, name):
        """Script lines that click the button `name` from the keyboard (Tab until it has
        the focus, then Space), after the lines `prefix`: for buttons that a small window
        leaves outside its client area. Finds the number of Tabs by a first run."""
        probe = self.run(prefix + ["key Tab", "dump focus"] * 60)
        focus = [line for line in probe if " " not in line][-60:]
        if name not in focus:
            raise RuntimeError("Tab never reaches %s: %s" % (name, focus))
        return prefix + ["key Tab"] * (focus.index(name) + 1) + ["key Space"]


def sections(output):
    """Splits output at lines 'random N' (from `dump random`) into the lines before each
    and the count it printed: [(lines, drawn), ...], then the lines after the last."""
    parts, current = [], []
    for line in output:
        if line.startswith("random "):
            parts.append((current, int(line.split()[1])))
            current = []
        else:
            current.append(line)
    return parts, current


def canvas_dump(lines):
    """The name -> value pairs of a `dump canvas` block."""
    return {words[0]: words[1] for words in (line.split(" ", 1) for line in lines)
            if len(words) == 2}


def canvas_pixels(lines):
    """The canvas's (width, height) in pixels from a `dump canvas` block, in either unit."""
    canvas = canvas_dump(lines)
    per_pixel = 15 if canvas["scalemode"] == "1" else 1
    return float(canvas["scalewidth"]) / per_pixel, float(canvas["scaleheight"]) / per_pixel


def controls_dump(lines):
    """Control name -> (kind, x, y, width, height, visible, enabled, text) of `dump controls`."""
    found = {}
    for line in lines:
        words = line.split(" ", 8)
        if len(words) >= 8 and words[1] in ("label", "textbox", "button", "picturebox", "image"):
            text = words[8] if len(words) == 9 else ""
            found[words[0]] = (words[1], int(words[2]), int(words[3]), int(words[4]),
                               int(words[5]), words[6] == "1", words[7] == "1", text)
    return found


# ---- Reading a PNG ---------------------------------------------------------------------


def read_png(path):
    """(width, height, rows) of an 8-bit non-interlaced RGB or RGBA PNG; rows[y][x] is
    (red, green, blue)."""
    with open(path, "rb") as f:
        data = f.read()
    assert data[:8] == b"\x89PNG\r\n\x1a\n", "not a PNG"
    pos, idat = 8, b""
    while pos < len(data):
        length, kind = struct.unpack(">I4s", data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + length]
        if kind == b"IHDR":
            width, height, depth, colour_type, _, _, interlace = struct.unpack(">IIBBBBB", body)
            assert depth == 8 and colour_type in (2, 6) and interlace == 0, "unexpected PNG"
        elif kind == b"IDAT":
            idat += body
        pos += 12 + length
    channels = 3 if colour_type == 2 else 4
    raw = zlib.decompress(idat)
    stride = width * channels
    rows, previous, at = [], bytearray(stride), 0
    for _ in range(height):
        kind, line = raw[at], bytearray(raw[at + 1:at + 1 + stride])
        at += 1 + stride
        for i in range(stride):
            left = line[i - channels] if i >= channels else 0
            up = previous[i]
            corner = previous[i - channels] if i >= channels else 0
            if kind == 1:
                line[i] = (line[i] + left) & 0xFF
            elif kind == 2:
                line[i] = (line[i] + up) & 0xFF
            elif kind == 3:
                line[i] = (line[i] + (left + up) // 2) & 0xFF
            elif kind == 4:
                p = left + up - corner
                pa, pb, pc = abs(p - left), abs(p - up), abs(p - corner)
                predictor = left if pa <= pb and pa <= pc else up if pb <= pc else corner
                line[i] = (line[i] + predictor) & 0xFF
        rows.append([tuple(line[x * channels:x * channels + 3]) for x in range(width)])
        previous = line
    return width, height, rows


# ---- Reporting -------------------------------------------------------------------------


class Checks:
    """Collects failed checks; finish() prints them and exits non-zero if any failed."""

    def __init__(self):
        self.failures = []
        self.count = 0

    def that(self, condition, what):
        self.count += 1
        if not condition:
            self.failures.append(what)
        return condition

    def equal(self, actual, expected, what):
        return self.that(actual == expected, "%s: expected %r, got %r" % (what, expected, actual))

    def same_lines(self, actual, expected, what):
        """Compares two lists of lines and reports the first difference."""
        self.count += 1
        if actual == expected:
            return True
        for i in range(max(len(actual), len(expected))):
            a = actual[i] if i < len(actual) else "(nothing)"
            e = expected[i] if i < len(expected) else "(nothing)"
            if a != e:
                self.failures.append("%s: line %d of %d/%d differs\n  expected: %s\n  actual:   %s"
                                     % (what, i + 1, len(expected), len(actual), e, a))
                return False
        return False

    def finish(self):
        for failure in self.failures:
            print("FAIL", failure)
        print("%d checks, %d failed" % (self.count, len(self.failures)))
        sys.exit(1 if self.failures else 0)


def tool_from_args():
    if len(sys.argv) != 2:
        print("usage: %s PATH_TO_quenzel-replay" % sys.argv[0])
        sys.exit(2)
    return sys.argv[1]
