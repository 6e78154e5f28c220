"""Pen 2 ("ペン２") over a long, jumpy pointer path: every circle's centre, the trailing
point closing a fiftieth of its distance per movement in single precision, against an
independent model. The path goes on after "◎" has switched the canvas to pixels (the point
keeps its twips value and now chases pixel positions), and through a stretch where the
blue box holds no number (no circles, but the point still moves)."""

from quenzel_model import Checks, Replay, f32, tool_from_args

BLUE = 255 * 65536  # the start-up pen colour, RGB(0, 0, 255)


def position(i):
    """A jumpy path over the bare canvas, in client pixels (x 60..399, y 20..309)."""
    return 60 + (i * 37) % 340, 20 + (i * 53) % 290


class Pen2:
    """The trailing point: x := x + (X - x) / 50, every operation rounded to single."""

    def __init__(self):
        self.x = self.y = 0.0  # unset counts as 0

    def follow(self, x, y):
        self.x = f32(self.x + f32(f32(x - self.x) / 50))
        self.y = f32(self.y + f32(f32(y - self.y) / 50))


def circle(pen, colour):
    return "circle %.9g %.9g 30 %d 10" % (pen.x, pen.y, colour)


def main():
    checks = Checks()
    replay = Replay(tool_from_args())
    pen = Pen2()
    lines, expected = ["click Command10", "trace on"], []

    def moves(first, count, per_pixel, colour):
        for i in range(first, first + count):
            x, y = position(i)
            lines.append("move %d %d" % (x, y))
            pen.follow(x * per_pixel, y * per_pixel)
            if colour is not None:
                expected.append(circle(pen, colour))

    # In twips: 15 to a pixel. No button is held: pen 2 draws on every movement.
    moves(0, 150, 15, BLUE)
    # The blue box emptied: the colour cannot be formed, the circles stop, the point moves.
    lines.append("type Text3 ")
    moves(150, 20, 15, None)
    lines.append("type Text3 255")
    moves(170, 30, 15, BLUE)
    # "◎" switches to pixels; its own drawing is left out of the trace and cleared.
    lines += ["trace off", "click Command2", "click Command3", "trace on"]
    moves(200, 200, 1, BLUE)
    lines += ["trace off", "dump state"]

    out = replay.run(lines)
    traced = [line for line in out if line.startswith(("circle ", "pset ", "line "))]
    checks.same_lines(traced, expected, "pen 2 circles")
    state = dict(line.split(" ", 1) for line in out if " " in line)
    checks.equal(state.get("spriteX"), "single %.9g" % pen.x, "trailing point x at the end")
    checks.equal(state.get("spriteY"), "single %.9g" % pen.y, "trailing point y at the end")
    # The check tells single from double precision: the same twips path computed in
    # double precision prints differently at some movements.
    x = y = 0.0
    differ = 0
    single = Pen2()
    for i in range(150):
        px, py = position(i)
        x, y = x + (px * 15 - x) / 50, y + (py * 15 - y) / 50
        single.follow(px * 15, py * 15)
        differ += ("%.9g %.9g" % (x, y)) != ("%.9g %.9g" % (single.x, single.y))
    checks.that(differ > 0, "the path tells single from double precision")
    checks.finish()


if __name__ == "__main__":
    main()
