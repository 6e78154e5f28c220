""""③" (Command11): 2001 green circles along a point bouncing at 45 degrees whose step is
the secant of an angle kept between clicks. Eight clicks checked circle by circle against
an independent model, the steps against the table of steps per click, the kept angle in
the drawing state, and a canvas smaller than the random start."""

import math

from quenzel_model import RGB, Checks, Generator, Int, Replay, Trace, canvas_pixels, circles
from quenzel_model import random_start, sections, tool_from_args, turn

GREEN = RGB(0, 255, 0)

# The step per click, to three decimals. (The third is often quoted as 5.884; the secant
# of 1.4 is 5.88349..., so 5.883.)
STEP_TABLE = [3.738, 4.566, 5.883, 8.299, 14.137, 48.089, -34.247, -12.639]


class Kept:
    """bounceAngle and bounceAngleSet; None is the empty value, which counts as 0."""

    def __init__(self):
        self.angle = None
        self.angle_set = None


def green_trail(generator, trace, width, height, kept):
    """One click; returns the start (x, y)."""
    trace.scalemode(3)
    x, y = start = random_start(generator)
    h = v = 0
    for p in range(2001):
        h, v = turn(x, y, h, v, width, height)
        step = 1 / math.cos(kept.angle or 0)
        x = x - step if h == 1 else x + step
        y = y - step if v == 1 else y + step
        if (kept.angle_set or 0) == 0:
            kept.angle, kept.angle_set = 1.3, 1
        if p == 2000:
            kept.angle = kept.angle + 0.05
        trace.circle(x, y, 10, GREEN)
    return start


def state_lines(lines):
    return {line.split()[0]: line.split(" ", 1)[1] for line in lines if " " in line}


def main():
    checks = Checks()
    replay = Replay(tool_from_args())

    script = ["dump canvas", "trace on"]
    for _ in range(8):
        script += ["click Command11", "dump random", "trace off", "dump state", "trace on"]
    out = replay.run(script)
    width, height = canvas_pixels(out[:8])
    parts, rest = sections(out[8:])
    generator, kept = Generator(), Kept()
    for click, (lines, drawn) in enumerate(parts, 1):
        state = state_lines(lines)  # dumped after the click before
        if click > 1:
            checks.equal(state.get("bounceAngle"), "double %.17g" % kept.angle,
                         "bounceAngle before click %d" % click)
            checks.equal(state.get("bounceAngleSet"), "int 1",
                         "bounceAngleSet before click %d" % click)
        trace = Trace()
        x, y = green_trail(generator, trace, width, height, kept)
        drawing = [line for line in lines if not line.split()[0] in state_names()]
        checks.same_lines(drawing, trace.lines, "click %d trace" % click)
        checks.equal(drawn, 2 * click, "two random numbers per click")
        found = circles(drawing)
        checks.equal(len(found), 2001, "circles per click")
        checks.that(all(c[2] == 10 and c[3] == GREEN for c in found), "green, radius 10")
        # Two circles in a row away from the edges are one step apart on both axes.
        step = STEP_TABLE[click - 1]
        dx, dy = found[2][0] - found[1][0], found[2][1] - found[1][1]
        checks.that(abs(abs(dx) - abs(step)) < 0.001 and abs(abs(dy) - abs(step)) < 0.001,
                    "click %d: step %.4f, %.4f as in the table (%g)" % (click, dx, dy, step))
        if click == 1:
            checks.equal(found[0][:2], (x + 1, y + 1), "first click starts with a step of 1")
        if click == 7:
            # Moving up and left from the start with the negative step, the point leaves
            # the canvas and the edge tests keep it going.
            checks.that(dx < 0 and dy < 0, "seventh click moves up and left")
            visible = [c for c in found if c[0] > -10 and c[1] > -10]
            checks.that(len(visible) <= 7 and visible == found[: len(visible)],
                        "seventh click: only the first few circles are on the canvas")
            checks.that(found[-1][0] < -60000 and found[-1][1] < -60000,
                        "seventh click: the point never comes back")
    checks.equal(state_lines(rest).get("bounceAngle"), "double %.17g" % kept.angle,
                 "bounceAngle after eight clicks")
    for click, step in enumerate(STEP_TABLE, 1):
        angle = 1.3 + 0.05 * (click - 1)
        checks.equal(round(1 / math.cos(angle), 3), step, "table step of click %d" % click)

    # A canvas smaller than the start turns the point back on the first pass.
    _, start = Generator().peek(2)
    start_x = Int(start * 200 + 1)
    width, height, lines = replay.small_canvas_click("Command11", start_x // 2, 5)
    trace = Trace()
    x, y = green_trail(Generator(), trace, width, height, Kept())
    checks.same_lines(lines, trace.lines, "small canvas trace")
    checks.equal(circles(lines)[0][:2], (x - 1, y - 1), "small canvas: first move up left")

    checks.finish()


def state_names():
    return {"penOn", "buttonHeld", "pen2On", "sevenColoursOn", "circleOn", "dragHeld",
            "chaseOn", "red", "green", "blue", "spriteX", "spriteY", "colourPhase", "anchorX",
            "anchorY", "midX", "midY", "bounceAngle", "bounceAngleSet", "lastMidX", "lastMidY",
            "spriteFrame"}


if __name__ == "__main__":
    main()
