"""The hint line: the pointer moving over each of ten controls writes that control's text,
exactly, leading blanks included; moving over any other control, over the bare canvas, or
dragging over a hinted control from the canvas leaves it alone, and so does "CLS"."""

from quenzel_model import Checks, Replay, controls_dump, tool_from_args

# Control, a client pixel inside it (its centre, from the design table's place and size
# at 15 twips a pixel), and its hint.
HINTED = [
    ("Command2", (428, 20), " アート２"),  # "◎" at 416, 8, 25 x 25
    ("Command4", (428, 44), "アート３"),  # "○" at 416, 32
    ("Command6", (428, 68), "アート４"),  # "①" at 416, 56
    ("Command9", (428, 92), "アート５"),  # "②" at 416, 80
    ("Command7", (28, 140), "クリックすると絵がかける"),  # "ペ　ン" at 8, 128, 41 x 25
    ("Command8", (28, 116), "自動的に色を変える！"),  # "七色" at 8, 104
    ("Command10", (28, 164), "ペンが追っかける！"),  # "ペン２" at 8, 152
    ("Text6", (36, 17), " 赤色の強さを変更かけれる！"),  # red box at 24, 8, 25 x 18
    ("Text2", (36, 41), "緑色の強さを変更！"),  # green box at 24, 32
    ("Text3", (36, 65), " 青色の強さを変更！"),  # blue box at 24, 56
]

# Places without a hint of their own.
UNHINTED = [
    ("Command11", (428, 116)),  # "③"
    ("Command14", (428, 140)),  # "④"
    ("Command12", (28, 188)),  # eraser
    ("Command13", (28, 212)),  # "円"
    ("Command5", (364, 364)),  # "END" at 344, 352
    ("Command3", (420, 364)),  # "CLS" at 400, 352
    ("Text5", (36, 89)),  # width box at 24, 80
    ("Picture2", (16, 256)),  # swatches at 8, 248 and 24, 296
    ("Picture10", (32, 304)),
    ("Text7", (36, 340)),  # a read-out at 24, 328
    ("Text4", (176, 364)),  # the hint line itself, at 24, 352, 305 x 25
    ("Label1", (16, 16)),  # "R" at 8, 8, 17 x 17
    ("canvas", (200, 200)),
]


def hint_after(replay, lines):
    """The hint line's text after the script lines."""
    out = replay.run(lines + ["dump controls"])
    return controls_dump(out)["Text4"][7]


def main():
    checks = Checks()
    replay = Replay(tool_from_args())

    checks.equal(hint_after(replay, []), "", "the hint line at start-up")

    # Each hinted control on its own, then each after another one's hint: the whole
    # text is replaced.
    for name, (x, y), hint in HINTED:
        checks.equal(hint_after(replay, ["move %d %d" % (x, y)]), hint, "hint over " + name)
    previous = HINTED[-1]
    for name, (x, y), hint in HINTED:
        lines = ["move %d %d" % previous[1], "move %d %d" % (x, y)]
        checks.equal(hint_after(replay, lines), hint, "hint over %s after %s" % (name,
                                                                                previous[0]))
        previous = (name, (x, y), hint)

    # Over "◎" first, then over every place without a hint: " アート２" stays.
    for name, (x, y) in UNHINTED:
        lines = ["move 428 20", "move %d %d" % (x, y)]
        checks.equal(hint_after(replay, lines), " アート２", "hint kept over " + name)

    # "CLS" clicked (the pointer passes onto it) and the canvas cleared: no change.
    checks.equal(hint_after(replay, ["move 36 17", "click Command3"]), " 赤色の強さを変更かけれる！",
                 "hint kept by CLS")

    # A drag that starts on the canvas keeps the pointer: passing over "◎" and the green
    # box is the canvas's, not theirs.
    lines = ["move 36 65", "move 200 200", "down 200 200", "move 428 20", "move 36 41",
             "up 36 41"]
    checks.equal(hint_after(replay, lines), " 青色の強さを変更！", "hint kept during a drag")
    # After the release, moving again over the green box is the box's.
    checks.equal(hint_after(replay, lines + ["move 37 41"]), "緑色の強さを変更！",
                 "hint after the drag")

    checks.finish()


if __name__ == "__main__":
    main()
