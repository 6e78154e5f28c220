""""◎" (Command2): 21 discs of concentric circles, checked circle by circle against an
independent model, over several clicks, with the generator shared since start-up."""

from quenzel_model import RGB, Checks, Generator, Int, Replay, Trace, canvas_dump, circles
from quenzel_model import sections, tool_from_args


def rings(generator, trace):
    """One click: returns the discs as (a, b, m, colour) and adds the circles to the trace."""
    discs = []
    for _ in range(21):  # 0 to 20 inclusive
        trace.scalemode(3)
        a = Int(generator.next() * 255 + 1)
        b = Int(generator.next() * 255 + 1)
        m = b if a > b else a
        colour = RGB(50, a, b)
        for j in range(m + 1):
            trace.circle(a, b, j, colour)
        discs.append((a, b, m, colour))
    return discs


def main():
    checks = Checks()
    replay = Replay(tool_from_args())

    # Three clicks in a row, then what the canvas shows and which unit it uses.
    out = replay.run(["trace on", "click Command2", "dump random", "click Command2",
                      "dump random", "click Command2", "dump random", "trace off",
                      "dump canvas"])
    parts, rest = sections(out)
    generator = Generator()
    last = None
    for click, (lines, drawn) in enumerate(parts, 1):
        trace = Trace()
        discs = rings(generator, trace)
        checks.same_lines(lines, trace.lines, "click %d trace" % click)
        checks.equal(drawn, generator.drawn, "random numbers drawn after click %d" % click)
        checks.equal(drawn, 42 * click, "42 random numbers per click")
        found = circles(lines)
        checks.equal(len(found), sum(m + 1 for _, _, m, _ in discs), "circles in click %d" % click)
        checks.equal(sum(1 for line in lines if line == "scalemode 3"), 21,
                     "the unit set before each of the 21 discs")
        # Every disc starts with radius 0 and reaches exactly to the nearer of the left
        # and top edges.
        starts = [c for c in found if c[2] == 0]
        checks.equal(len(starts), 21, "discs starting at radius 0 in click %d" % click)
        checks.that(all(min(x, y) == max(c[2] for c in found if c[:2] == (x, y))
                        for x, y, *_ in starts), "each disc's outer circle touches an edge")
        last = discs[-1]
    canvas = canvas_dump(rest)
    checks.equal(canvas.get("scalemode"), "3", "unit left in pixels")
    checks.equal(canvas.get("scalewidth"), "451", "canvas width in pixels")

    # The last disc lies on top: its centre shows its colour. Afterwards pointer positions
    # come in pixels: pen 2 moves the trailing point a fiftieth of the way to (100, 50).
    a, b, _, colour = last
    out = replay.run(["click Command2"] * 3 + ["dump pixel %d %d" % (a, b), "click Command10",
                                               "trace on", "move 100 50"])
    checks.equal(out[0], str(colour), "pixel at the centre of the last disc")
    checks.equal(out[1:], ["circle 2 1 30 16711680 10"], "pen 2 works in pixels after the click")

    # A pen width of 3 from the pen button draws the discs 3 pixels wide.
    out = replay.run(["type Text5 3", "press Command7", "release Command7", "trace on", "click Command2"])
    trace = Trace(draw_width=3)
    rings(Generator(), trace)
    checks.same_lines(out, trace.lines, "discs drawn with the pen button's width")

    checks.finish()


if __name__ == "__main__":
    main()
