""""②" (Command9): the set-up (four settings left changed, clear, "あ" centred just above
the middle) and the endless dots, checked dot by dot against an independent model, with
the other drawings, "CLS", the pens and a resize working between two dots."""

from quenzel_model import QBColor, Checks, Generator, Replay, Trace, canvas_dump, canvas_pixels
from quenzel_model import circles, f32, read_png, sections, to_integer, tool_from_args
from test_art_rings import rings

DARK_RED = QBColor(4)


def dot(generator, trace, width, height):
    """One dot on a canvas of width x height pixels; returns its (x, y, colour)."""
    x = f32(generator.next() * width)
    y = f32(generator.next() * height)
    colour = QBColor(to_integer(generator.next() * 15))
    trace.pset(x, y, colour)
    return x, y, colour


def set_up_lines():
    return ["scalemode 3", "drawwidth 5", "forecolor %d" % DARK_RED, "fontsize 24", "cls"]


def check_set_up(checks, lines, width, height):
    """The set-up lines of a click; returns the printed position and the rest of the lines."""
    checks.same_lines(lines[:5], set_up_lines(), "set-up settings and clear")
    words = lines[5].split(" ")
    checks.that(words[0] == "print" and words[3] == "あ", "prints あ: %s" % lines[5])
    x, y = float(words[1]), float(words[2])
    # The text stands centred left to right with its lower edge on the centre line: the
    # width and height that this position implies must be those of one 24-point character.
    text_width = 2 * (f32(width / 2) - x)
    text_height = f32(height / 2) - y
    checks.that(20 <= text_width <= 48, "implied text width %g of one character" % text_width)
    checks.that(24 <= text_height <= 64, "implied text height %g of one line" % text_height)
    return (x, y, text_width, text_height), lines[6:]


def check_print_box(checks, png, box, first_dot):
    """Dark red pixels, apart from those of the first dot, lie in the text box."""
    _, _, rows = read_png(png)
    x0, y0, w, h = box
    dx, dy, _ = first_dot
    red = [(x, y) for y, row in enumerate(rows) for x, p in enumerate(row)
           if p == (128, 0, 0) and (abs(x - dx) > 4 or abs(y - dy) > 4)]
    checks.that(len(red) > 30, "the character is drawn (%d dark red pixels)" % len(red))
    checks.that(all(x0 - 1 <= x <= x0 + w + 1 and y0 - 1 <= y <= y0 + h + 1 for x, y in red),
                "the character lies within its text box")


def main():
    checks = Checks()
    replay = Replay(tool_from_args())
    png = replay.path("dots.png")

    # The set-up, the first dot at once, then four more; the settings left behind.
    out = replay.run(["dump canvas", "trace on", "click Command9", "dump random",
                      "canvas-png " + png, "steps 4", "dump random", "trace off",
                      "dump canvas"])
    width, height = canvas_pixels(out[:8])
    (first, drawn1), (more, drawn2) = sections(out[8:])[0]
    box, first_dots = check_set_up(checks, first, width, height)
    generator, trace = Generator(), Trace(draw_width=5)
    first_dot = dot(generator, trace, width, height)
    checks.same_lines(first_dots, trace.lines, "the first dot comes at once")
    checks.equal(drawn1, 3, "three random numbers per dot")
    check_print_box(checks, png, box, first_dot)
    trace = Trace(draw_width=5)
    for _ in range(4):
        dot(generator, trace, width, height)
    checks.same_lines(more, trace.lines, "four more dots on 'steps 4'")
    checks.equal(drawn2, 15, "random numbers after five dots")
    canvas = canvas_dump(sections(out[8:])[1])
    checks.equal((canvas["scalemode"], canvas["drawwidth"], canvas["forecolor"],
                  canvas["fontsize"]), ("3", "5", str(DARK_RED), "24"),
                 "unit, pen width, foreground colour and font size left changed")

    # Between two dots: "◎" draws to its end, "CLS" clears, a second "②" starts afresh and
    # the first never adds another dot; the generator runs on through all of it.
    out = replay.run(["trace on", "click Command9", "steps 2", "click Command2", "steps 2",
                      "click Command3", "steps 1", "click Command9", "steps 3",
                      "dump random"])
    generator, trace = Generator(), Trace(draw_width=5)
    expected = set_up_lines() + [out[5]]
    for _ in range(3):
        dot(generator, trace, width, height)
    rings(generator, trace)
    for _ in range(2):
        dot(generator, trace, width, height)
    trace.lines.append("cls")
    dot(generator, trace, width, height)
    trace.lines += set_up_lines() + ["(print)"]
    for _ in range(4):
        dot(generator, trace, width, height)
    expected += trace.lines
    second_print = len(expected) - 5
    actual = out[:-1]
    checks.that(actual[second_print].startswith("print "), "the second click prints again")
    actual[second_print] = "(print)"
    checks.same_lines(actual, expected, "dots with ◎, CLS and a second ② in between")
    checks.equal(out[-1], "random %d" % generator.drawn, "numbers drawn in all")

    # The pen after "②" draws 5 pixels wide, circle mode's circle is dark red, and a
    # larger canvas spreads the following dots over it.
    out = replay.run(["press Command7", "release Command7", "click Command13",
                      "click Command9", "steps 1", "trace on", "down 100 200", "move 110 220",
                      "up 110 220", "trace off", "resize 600 500", "dump canvas", "trace on",
                      "steps 3", "dump random"])
    checks.that("pset 110 220 16711680 5" in out, "pen dot 5 pixels wide: %s" % out[:6])
    checks.that(any(c[2] == 300 and c[3] == DARK_RED and c[4] == 5 for c in circles(out)),
                "circle mode draws its circle in the dark red foreground colour")
    (lines, drawn), = sections(out)[0]
    width, height = canvas_pixels(lines[-11:-3])
    checks.equal((width, height), (600.0, 500.0), "canvas after resize")
    generator = Generator()
    for _ in range(6):
        generator.next()
    trace = Trace(draw_width=5)
    for _ in range(3):
        dot(generator, trace, width, height)
    checks.same_lines(lines[-3:], trace.lines, "dots spread over the larger canvas")

    # A canvas one pixel high (the window gets no lower) keeps every dot in the top row.
    out = replay.run(["click Command9", "resize 451 1", "dump canvas", "trace on", "steps 5"])
    width, height = canvas_pixels(out[:8])
    checks.equal(height, 1.0, "canvas one pixel high")
    generator, trace = Generator(), Trace(draw_width=5)
    for _ in range(3):
        generator.next()
    for _ in range(5):
        dot(generator, trace, width, height)
    checks.same_lines(out[8:], trace.lines, "dots on a canvas one pixel high")
    checks.that(all(float(line.split()[2]) < 1 for line in out[8:]), "dots in the top row")

    checks.finish()


if __name__ == "__main__":
    main()
