"""What the three colour boxes show: a swatch rewrites them with its numbers whatever they
held; the eraser and the seven-colour cycle change the pen but leave the boxes alone."""

from quenzel_model import Checks, Replay, controls_dump, tool_from_args

# The numbers each swatch writes into the red, green and blue boxes.
SWATCHES = {
    "Picture2": ("255", "255", "255"),
    "Picture4": ("0", "0", "0"),  # shows dark purple, sets black
    "Picture5": ("0", "0", "255"),
    "Picture6": ("255", "0", "0"),
    "Picture7": ("255", "255", "0"),  # shows light yellow, sets yellow
    "Picture8": ("0", "255", "255"),
    "Picture9": ("0", "255", "0"),
    "Picture10": ("255", "0", "255"),
}

# Box contents a user may have left before clicking.
BEFORE = {
    "start-up": [],
    "odd texts": ["type Text6 abc", "type Text2 ", "type Text3 12.5"],
    "full-width": ["type Text6 １２８", "type Text2 －３", "type Text3 300"],
}


def boxes_after(replay, lines):
    """The texts of the red, green and blue boxes after the script lines."""
    controls = controls_dump(replay.run(lines + ["dump controls"]))
    return tuple(controls[name][7] for name in ("Text6", "Text2", "Text3"))


def main():
    checks = Checks()
    replay = Replay(tool_from_args())

    for swatch, numbers in SWATCHES.items():
        for before, lines in BEFORE.items():
            checks.equal(boxes_after(replay, lines + ["click " + swatch]), numbers,
                         "boxes after %s from %s" % (swatch, before))
        # Twice, or after another swatch, the same.
        checks.equal(boxes_after(replay, ["click " + swatch, "click " + swatch]), numbers,
                     "boxes after %s twice" % swatch)
        checks.equal(boxes_after(replay, ["click Picture7", "click " + swatch]), numbers,
                     "boxes after Picture7, then %s" % swatch)

    # The eraser leaves the boxes as they were.
    checks.equal(boxes_after(replay, ["click Command12"]), ("0", "0", "255"),
                 "boxes after the eraser")
    checks.equal(boxes_after(replay, ["type Text6 128", "type Text2 abc", "click Command12"]),
                 ("128", "abc", "255"), "typed boxes after the eraser")

    # Three hundred movements of the seven-colour cycle (past its first restart) change
    # the components, never the boxes.
    moves = ["move %d %d" % (61 + i % 300, 100 + 10 * (i % 2)) for i in range(300)]
    checks.equal(boxes_after(replay, ["click Command8"] + moves), ("0", "0", "255"),
                 "boxes after the seven-colour cycle")

    checks.finish()


if __name__ == "__main__":
    main()
