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


def random_start(generator):
    """The trails' start: whole numbers 1..200, y drawn before x. Returns (x, y)."""
    y = Int(generator.next() * 200 + 1)
    x = Int(generator.next() * 200 + 1)
    return x, y


def turn(x, y, h, v, width, height):
    """The trails' edge tests, strict and before the move, in their order: the new (h, v),
    h = 1 moving left, v = 1 moving up. A point turns only once it has passed an edge."""
    if x > width:
        h = 1
    if y > height:
        v = 1
    if x < 0:
        h = 0
    if y < 0:
        v = 0
    return h, v


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


def drawn(lines):
    """The lines of a trace that draw (pset, circle, line, print, cls)."""
    return [line for line in lines
            if line.split(" ", 1)[0] in ("pset", "circle", "line", "print", "cls")]


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
        # Removed when the check ends, however it ends.
        self._folder = tempfile.TemporaryDirectory(prefix="quenzel-model-")
        self.folder = self._folder.name

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

    def clicks(self, button, count):
        """Clicks `button` `count` times with the trace on, dumping the random count after
        each. Returns the canvas size in pixels and [(trace lines, numbers drawn), ...]."""
        out = self.run(["dump canvas", "trace on"] + ["click " + button, "dump random"] * count)
        width, height = canvas_pixels(out[:8])
        return width, height, sections(out[8:])[0]

    def small_canvas_click(self, button, width, height):
        """Clicks `button` once with the trace on, on a canvas resized to width x height
        (which leaves the button outside, so the click comes from the keyboard). Returns the
        canvas size in pixels the window really took and the trace."""
        prefix = ["resize %d %d" % (width, height), "dump canvas", "trace on"]
        out = self.run(self.keyboard_click(prefix, button))
        return canvas_pixels(out[:8]) + (out[8:],)

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


# ---- The chasing eye -------------------------------------------------------------------


def _round_half_up(v):
    return math.floor(v + 0.5)


class Eye:
    """The chasing eye: the trailing point and frame shared with pen 2, the picture the
    eye shows, and the one runner that advances (newest target and its shown frame).
    Everything in single precision; distances in the canvas's current unit."""

    BAND = 200.0

    def __init__(self):
        self.x = None  # spriteX; None while unset, which counts as 0
        self.y = None  # spriteY
        self.frame = None  # spriteFrame; None while unset
        self.picture = 1  # the eye starts with the first frame's picture
        self.target = None
        self.shown = 0
        self.texts = None  # what the last step wrote into the four read-outs

    def start(self, x, y):
        """A canvas movement in chase mode: a new runner, whose first step runs at once."""
        self.target = (f32(x), f32(y))
        self.shown = 0
        self.step()

    def steps(self, count):
        for _ in range(count):
            self.step()

    def step(self):
        tx, ty = self.target
        self.x, self.y = self._closer(tx, ty)
        frame = self.frame or 0
        if frame != self.shown and 1 <= frame <= 8:
            self.picture = frame
        self.shown = frame
        x, y = self.x, self.y
        left, right = f32(x - self.BAND), f32(x + self.BAND)
        top, bottom = f32(y - self.BAND), f32(y + self.BAND)
        band = False
        if left < tx < right and ty > y:
            self.frame, band = 5, True
        if left < tx < right and ty < y:
            self.frame, band = 6, True
        if top < ty < bottom and tx > x:
            self.frame, band = 7, True
        if top < ty < bottom and tx < x:
            self.frame, band = 8, True
        if not band:
            if tx > x and ty > y:
                self.frame = 1
            elif tx > x and ty < y:
                self.frame = 2
            elif tx < x and ty < y:
                self.frame = 3
            elif tx < x and ty > y:
                self.frame = 4
        self.texts = [single_text(x), single_text(y), single_text(tx), single_text(ty)]

    def pen2(self, x, y):
        """Pen 2's movement: the same point a fiftieth of the way closer, nothing else."""
        self.x, self.y = self._closer(f32(x), f32(y))

    def _closer(self, tx, ty):
        """The shared point a fiftieth of the remaining way closer to (tx, ty)."""
        x, y = self.x or 0.0, self.y or 0.0
        return f32(x + f32(f32(tx - x) / 50)), f32(y + f32(f32(ty - y) / 50))

    def readouts(self):
        """Text7 to Text10 as the last step wrote them; None before any step."""
        return self.texts

    def image_at(self, units_per_pixel):
        """Image1's top-left corner in client pixels."""
        return (_round_half_up(self.x / units_per_pixel), _round_half_up(self.y / units_per_pixel))


def _frame_masks():
    """For each frame 1..8 its picture as a set of dark pixels, stretched to the eye's size."""
    folder = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "resources")
    masks = {}
    for k in range(1, 9):
        with open(os.path.join(folder, "frame%d.xpm" % k), encoding="ascii") as f:
            quoted = [line.split('"')[1] for line in f if line.startswith('"')]
        width, height, colours, _ = (int(w) for w in quoted[0].split())
        dark = {line[0] for line in quoted[1:1 + colours] if line.endswith("#000000")}
        masks[k] = (width, height, [row for row in quoted[1 + colours:1 + colours + height]], dark)
    return masks


def shown_frame(png_rows, left, top, width, height, covers=()):
    """Which frame's picture the eye at (left, top), width x height pixels, shows in a PNG
    of the client area: the frame whose stretched picture differs in the fewest pixels,
    leaving out those of the rectangles `covers` (x, y, width, height), the controls that
    stand in front of the eye. Returns (frame, mismatches, next best mismatches, and for
    each frame the pixels left in view by which it differs from the nearest other)."""
    def covered(x, y):
        return any(cx <= x < cx + cw and cy <= y < cy + ch for cx, cy, cw, ch in covers)

    in_view = [(x, y) for y in range(height) for x in range(width)
               if not covered(left + x, top + y)]
    pictures = {}
    for k, (w, h, rows, dark) in _frame_masks().items():
        pictures[k] = [rows[min(h - 1, int((y + 0.5) * h / height))]
                       [min(w - 1, int((x + 0.5) * w / width))] in dark for x, y in in_view]
    shown = [sum(png_rows[top + y][left + x]) < 3 * 128 for x, y in in_view]
    scores = sorted((sum(a != b for a, b in zip(picture, shown)), k)
                    for k, picture in pictures.items())
    distinct = {k: min(sum(a != b for a, b in zip(picture, other))
                       for j, other in pictures.items() if j != k)
                for k, picture in pictures.items()}
    return scores[0][1], scores[0][0], scores[1][0], distinct


def state_dump(lines):
    """Member name -> (type, shown value) of a `dump state` block."""
    found = {}
    for line in lines:
        words = line.split(" ", 2)
        if len(words) == 3 and words[1] in ("int", "single", "double", "text", "unset"):
            found[words[0]] = (words[1], words[2])
    return found


class ChaseSession:
    """A replay script built step by step together with the eye's model: `act` adds
    lines, `move` a canvas movement (which starts a runner when chase mode is on),
    `steps` advances the newest runner, and `observe` records what the eye should look
    like then. run() plays the script and compares every observation."""

    READOUTS = ("Text7", "Text8", "Text9", "Text10")
    HIDDEN = 12  # fewer pixels in view than this tell a picture from the others

    def __init__(self, replay, checks):
        self.replay, self.checks = replay, checks
        self.eye = Eye()
        self.script = []
        self.expected = []
        self.units_per_pixel = 15  # twips until a generated drawing runs
        self.chase_on = False
        self.image = None  # where the model last put the eye, in client pixels

    def act(self, *lines):
        self.script += lines

    def toggle_chase(self):
        self.act("click Command14")
        self.chase_on = not self.chase_on

    def move(self, px, py):
        self.act("move %d %d" % (px, py))
        if self.chase_on:
            self.eye.start(px * self.units_per_pixel, py * self.units_per_pixel)
            self.image = self.eye.image_at(self.units_per_pixel)

    def steps(self, count):
        self.act("steps %d" % count)
        self.eye.steps(count)
        if count:
            self.image = self.eye.image_at(self.units_per_pixel)

    def observe(self, what, picture=False):
        """Dumps state and controls (and a PNG when `picture`) and records the model's
        expectation of them."""
        self.act("dump state", "dump controls")
        png = None
        if picture:
            png = self.replay.path("eye%d.png" % len(self.expected))
            self.act("png " + png)
        e = self.eye
        self.expected.append({
            "what": what, "x": e.x, "y": e.y, "frame": e.frame, "picture": e.picture,
            "image": self.image, "readouts": e.readouts(), "png": png})

    def run(self):
        out = self.replay.run(self.script)
        blocks, current = [], []
        for line in out:
            current.append(line)
            if line.startswith("Image9 "):  # the last control of a dump
                blocks.append(current)
                current = []
        self.checks.equal(len(blocks), len(self.expected), "observations made")
        for block, want in zip(blocks, self.expected):
            self.compare(block, want)
        return out

    def compare(self, block, want):
        what = want["what"]
        state, controls = state_dump(block), controls_dump(block)
        def shown(value, kind, form):
            return ("unset", "") if value is None else (kind, form(value))

        for name in ("x", "y"):
            self.checks.equal(state["sprite" + name.upper()], shown(want[name], "single", g9),
                              what + ": sprite" + name.upper())
        self.checks.equal(state["spriteFrame"], shown(want["frame"], "int", str),
                          what + ": spriteFrame")
        image = controls["Image1"]
        if want["image"] is not None:
            self.checks.equal(image[1:3], want["image"], what + ": Image1 position")
        if want["readouts"] is not None:
            self.checks.equal([controls[name][7] for name in self.READOUTS], want["readouts"],
                              what + ": read-outs")
        if want["png"]:
            _, _, rows = read_png(want["png"])
            # Buttons, boxes and swatches are windows in front of the eye.
            covers = [c[1:5] for c in controls.values()
                      if c[0] in ("button", "textbox", "picturebox") and c[5]]
            frame, best, second, distinct = shown_frame(rows, *image[1:5], covers)
            if distinct[want["picture"]] < self.HIDDEN:
                return  # what tells this picture from the others is behind the controls
            self.checks.that(best * 3 < second, "%s: the picture is recognisable (%d vs %d)"
                             % (what, best, second))
            self.checks.equal(frame, want["picture"], what + ": picture shown")
