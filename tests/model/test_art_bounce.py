""""○" (Command4): 3001 circles of random radius and colour along a point bouncing with
uneven steps, checked circle by circle against an independent model: at the first window
size over two clicks, and on a canvas narrower than the random start."""

from quenzel_model import RGB, Checks, Generator, Int, Replay, Trace, circles
from quenzel_model import random_start, to_integer, tool_from_args, turn


def bouncing(generator, trace, width, height):
    """One click on a canvas of width x height pixels; returns the start (x, y)."""
    trace.scalemode(3)
    x, y = start = random_start(generator)
    h = v = 0
    for _ in range(3001):
        h, v = turn(x, y, h, v, width, height)
        x = x - 2 if h == 1 else x + 1
        y = y - 1 if v == 1 else y + 2
        radius = Int(generator.next() * 30 + 1)
        red = to_integer(generator.next() * 255)
        green = to_integer(generator.next() * 255)
        blue = to_integer(generator.next() * 255)
        trace.circle(x, y, radius, RGB(red, green, blue))
    return start


def check_bounds(checks, found, width, height, what):
    """Once inside the canvas, centres stay within -2..W+1 and -1..H+2, and a coordinate on
    the far edge still moves on once before turning."""
    xs = [c[0] for c in found]
    ys = [c[1] for c in found]
    checks.that(min(xs) >= -2 and max(xs) <= width + 1, "%s: x within -2..W+1" % what)
    checks.that(min(ys) >= -1 and max(ys) <= height + 2, "%s: y within -1..H+2" % what)
    checks.that(width + 1 in xs, "%s: the point reaches x = W + 1" % what)
    for i in range(len(xs) - 1):
        if xs[i] == width and xs[i - 1] == width - 1:
            checks.equal(xs[i + 1], width + 1, "%s: on the right edge it moves right once more"
                         % what)
            break


def main():
    checks = Checks()
    replay = Replay(tool_from_args())

    # Two clicks at the first window size.
    width, height, parts = replay.clicks("Command4", 2)
    generator = Generator()
    for click, (lines, drawn) in enumerate(parts, 1):
        trace = Trace()
        x, y = bouncing(generator, trace, width, height)
        checks.same_lines(lines, trace.lines, "click %d trace" % click)
        checks.equal(drawn, 12006 * click, "2 + 4 x 3001 random numbers per click")
        found = circles(lines)
        checks.equal(len(found), 3001, "circles per click")
        checks.equal(found[0][:2], (x + 1, y + 2), "first circle one step right and down")
        check_bounds(checks, found, width, height, "click %d" % click)

    # A canvas narrower than the start: the point turns at once and travels left two
    # pixels a step until it has passed the left edge.
    _, x = Generator().peek(2)
    start_x = Int(x * 200 + 1)
    narrow = start_x // 2
    width, height, lines = replay.small_canvas_click("Command4", narrow, 300)
    checks.that(width < start_x, "the canvas (%g) is narrower than the start (%d)"
                % (width, start_x))
    trace = Trace()
    x, y = bouncing(Generator(), trace, width, height)
    checks.same_lines(lines, trace.lines, "narrow canvas trace")
    found = circles(lines)
    checks.equal(found[0][:2], (x - 2, y + 2), "narrow canvas: first circle two pixels left")
    xs = [int(c[0]) for c in found]
    turn = next(i for i, v in enumerate(xs) if v < 0)
    checks.equal(xs[: turn + 2], [x - 2 * k for k in range(1, turn + 2)] + [xs[turn] + 1],
                 "narrow canvas: two pixels left a step until past the left edge, then right")

    checks.finish()


if __name__ == "__main__":
    main()
