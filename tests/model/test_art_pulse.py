""""①" (Command6): 10001 circles along a diagonally bouncing point, radius swelling and
shrinking with a period of 60, colour running the grey ramp and then the rising cycle.
Checked circle by circle against an independent model in single precision, over two
clicks and on a canvas smaller than the random start."""

from quenzel_model import RGB, Checks, Generator, Int, Replay, Trace, circles
from quenzel_model import f32, random_start, to_integer, tool_from_args, turn


def pulsing(generator, trace, width, height):
    """One click; returns the start (x, y)."""
    trace.scalemode(3)
    x, y = start = random_start(generator)
    h = v = r = grow = 0
    red = green = blue = 0.0  # singles
    phase = 0
    for _ in range(10001):
        h, v = turn(x, y, h, v, width, height)
        x = x - 1 if h == 1 else x + 1
        y = y - 1 if v == 1 else y + 1
        if phase == 0 and red >= 255:
            green = f32(generator.next() * 100)
            phase = 1
        else:
            red = f32(red + 1)
        if phase == 1 and green >= 255:
            blue = f32(generator.next() * 100)
            phase = 2
        else:
            green = f32(green + 1)
        if phase == 2 and blue >= 255:
            red = f32(generator.next() * 100)
            phase = 0
        else:
            blue = f32(blue + 1)
        if r == 30:
            grow = 0
        if r == 0:
            grow = 1
        r = r + 1 if grow == 1 else r - 1
        trace.circle(x, y, r, RGB(to_integer(red), to_integer(green), to_integer(blue)))
    return start


def grey(k):
    return RGB(k, k, k)


def main():
    checks = Checks()
    replay = Replay(tool_from_args())

    width, height, parts = replay.clicks("Command6", 2)
    generator = Generator()
    for click, (lines, drawn) in enumerate(parts, 1):
        before = generator.drawn
        fourth = generator.peek(3)[2]  # the first number drawn after the start point
        trace = Trace()
        x, y = pulsing(generator, trace, width, height)
        checks.same_lines(lines, trace.lines, "click %d trace" % click)
        checks.equal(drawn, generator.drawn, "random numbers drawn by click %d" % click)
        found = circles(lines)
        checks.equal(len(found), 10001, "circles per click")
        # What the rules produce, stated on their own.
        checks.equal(found[0][:4], (x + 1, y + 1, 1, grey(1)), "first circle")
        checks.equal([c[3] for c in found[:255]], [grey(k) for k in range(1, 256)],
                     "grey ramp from almost black to white over the first 255 circles")
        checks.equal(found[255][3], RGB(255, to_integer(f32(f32(fourth * 100) + 1)), 255),
                     "the 256th circle: green restarts below 100 (and rises by one)")
        ramp = list(range(1, 31)) + list(range(29, -1, -1))
        checks.equal([int(c[2]) for c in found], [ramp[i % 60] for i in range(10001)],
                     "radius 1..30..0 with a period of 60")
        changes = drawn - before - 2
        checks.that(10001 // 255 - 1 <= changes <= 10001 // 155 + 1,
                    "phase changes (%d) last between 155 and 255 circles" % changes)

    # A canvas smaller than the start on both axes turns the point back on the first pass.
    _, start = Generator().peek(2)
    start_x = Int(start * 200 + 1)
    width, height, lines = replay.small_canvas_click("Command6", start_x // 2, 5)
    trace = Trace()
    x, y = pulsing(Generator(), trace, width, height)
    checks.that(width < x and height < y, "the canvas is smaller than the start")
    checks.same_lines(lines, trace.lines, "small canvas trace")
    checks.equal(circles(lines)[0][:2], (x - 1, y - 1), "small canvas: first move up left")

    checks.finish()


if __name__ == "__main__":
    main()
