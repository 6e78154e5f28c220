"""The seven-colour pen ("七色" with "ペ　ン") over several hundred movements: every dot's
colour, the components and phase at the end and the random numbers drawn, against an
independent model of the cycle's three tests, including the random restarts."""

import re

from quenzel_model import Checks, Generator, Replay, f32, tool_from_args

# A typed number: blanks, an optional sign, digits with an optional fraction, blanks.
_NUMBER = re.compile(r"^ *[+-]?(\d+\.?\d*|\.\d+) *$")


class Component:
    """A colour component as the drawing state holds it: a kind and a value."""

    def __init__(self, kind, value):
        self.kind, self.value = kind, value

    def number(self):
        """The numeric value, or None for a text that spells no number."""
        if self.kind == "text":
            return float(self.value) if _NUMBER.match(self.value) else None
        return self.value

    def plus_one(self):
        """The component + 1: box text and doubles give doubles, singles stay single,
        16-bit integers stay integers."""
        if self.kind == "text":
            return Component("double", self.number() + 1)
        if self.kind == "single":
            return Component("single", f32(self.value + 1))
        return Component(self.kind, self.value + 1)

    def shown(self):
        """As `dump state` shows it: kind, then the value (%.9g singles, %.17g doubles)."""
        if self.kind == "single":
            return "single %.9g" % self.value
        if self.kind == "double":
            return "double %.17g" % self.value
        return "%s %s" % (self.kind, self.value)


class Cycle:
    """The seven-colour step: three tests in the order red, green, blue, each seeing what
    the ones before changed. The awaited component at 255 or more hands over to the next
    one, which restarts at Rnd * 100 (single); otherwise the tested component grows by 1.
    A component that spells no number is skipped by its test."""

    def __init__(self, red, green, blue):
        self.components = [red, green, blue]
        self.phase = None  # unset, which counts as 0 (waiting on red)
        self.generator = Generator()

    def step(self):
        for test in range(3):
            value = self.components[test].number()
            if value is None:
                continue
            if (self.phase or 0) == test and value >= 255:
                following = (test + 1) % 3
                self.components[following] = Component("single",
                                                       f32(self.generator.next() * 100))
                self.phase = following
            else:
                self.components[test] = self.components[test].plus_one()

    def colour(self):
        """The pen colour, or None when a component spells no number. Each component is
        brought to the nearest integer (halves to even) within 0..255."""
        strengths = []
        for component in self.components:
            value = component.number()
            if value is None:
                return None
            strengths.append(round(min(max(value, 0.0), 255.0)))
        red, green, blue = strengths
        return red + 256 * green + 65536 * blue

    def shown(self):
        names = ("red", "green", "blue")
        lines = ["%s %s" % (name, c.shown()) for name, c in zip(names, self.components)]
        phase = "colourPhase unset " if self.phase is None else "colourPhase int %d" % self.phase
        return lines, phase


class Session:
    """Builds a script and, alongside, what the model expects of it. Only movements over
    the bare canvas count: the step runs on each while the cycle is on, held button or
    not, and the pen dot follows it, in the colour after that movement's step, while the
    button is held. A press or release elsewhere than the last position would move the
    pointer first, so presses and releases here always come where the pointer is."""

    def __init__(self, cycle):
        self.cycle = cycle
        self.lines = ["click Command7", "click Command8"]  # pen (width 10) and cycle on
        self.cycling = True
        self.held = False
        self.dots = []
        self.at = None

    def move(self, x, y):
        self.lines.append("move %d %d" % (x, y))
        self.at = (x, y)
        if self.cycling:
            self.cycle.step()
        colour = self.cycle.colour()
        if self.held and colour is not None:
            # Client pixels to twips: 15 twips a pixel.
            self.dots.append("pset %d %d %d 10" % (x * 15, y * 15, colour))

    def stroke(self, y, count):
        """Press at (60, y), drag through (61, y), (62, y), ..., release where it ends;
        from x = 400 on, a row further down."""
        self.move(60, y)
        self.lines.append("down 60 %d" % y)
        self.held = True
        for i in range(count):
            self.move(61 + i % 339, y + 10 * (i // 339))
        self.lines.append("up %d %d" % self.at)
        self.held = False

    def switch_cycle(self):
        self.lines.append("click Command8")  # over the button, not the canvas
        self.cycling = not self.cycling


def run(replay, setup, session):
    """Runs the session's script after `setup` with the trace on; returns the traced
    dots, anything else traced, the state dump and the random count."""
    out = replay.run(setup + ["trace on"] + session.lines +
                     ["trace off", "dump state", "dump random"])
    dots = [line for line in out if line.startswith("pset ")]
    others = [line for line in out if line.startswith(("drawwidth ", "circle ", "line "))]
    state = {line.split(" ", 1)[0]: line.split(" ", 1)[1] for line in out
             if " " in line and not line.startswith(("pset", "random", "drawwidth"))}
    drawn = int([line for line in out if line.startswith("random ")][-1].split()[1])
    return dots, others, state, drawn


def check(checks, replay, setup, session, what):
    dots, others, state, drawn = run(replay, setup, session)
    checks.same_lines(dots, session.dots, "%s: dots" % what)
    # The pen button's one width write; the cycle itself draws nothing.
    checks.equal(others, ["drawwidth 10"], "%s: nothing drawn but dots" % what)
    lines, phase = session.cycle.shown()
    for line in lines + [phase]:
        name, value = line.split(" ", 1)
        checks.equal(state.get(name), value, "%s: %s at the end" % (what, name))
    checks.equal(drawn, session.cycle.generator.drawn, "%s: random numbers drawn" % what)
    return dots


def from_start(checks, replay):
    """From the start-up components ("0", "0", "255" as box texts): red climbs to 255 and
    hands over to green, which restarts below 100; green climbs to 255 and hands over to
    blue; blue climbs and hands back to red. In between, the cycle is switched off for a
    stroke: its dots keep one colour, and the cycle then goes on where it stopped."""
    cycle = Cycle(Component("text", "0"), Component("text", "0"), Component("text", "255"))
    session = Session(cycle)
    session.stroke(20, 500)
    session.switch_cycle()
    session.stroke(60, 20)
    session.switch_cycle()
    session.stroke(100, 380)
    check(checks, replay, [], session, "from start-up")
    # The model itself must have gone all the way round: three restarts, back to red.
    checks.equal(cycle.generator.drawn, 3, "from start-up: restarts in the model")
    checks.equal(cycle.phase, 0, "from start-up: waiting on red again")


def after_eraser(checks, replay):
    """After the eraser all three components are the integer 255: the first movement
    restarts green at once, and the integers then count on as integers."""
    cycle = Cycle(Component("int", 255), Component("int", 255), Component("int", 255))
    session = Session(cycle)
    session.stroke(20, 300)
    check(checks, replay, ["click Command12"], session, "after the eraser")
    checks.that(cycle.generator.drawn >= 2, "after the eraser: two restarts in the model")


def green_not_a_number(checks, replay):
    """With "abc" in the green box the pen cannot form its colour, so no dot is drawn, and
    the cycle leaves green alone while red and blue go on. When red reaches 255 the restart
    gives green a number, and from that movement on the dots come back."""
    cycle = Cycle(Component("text", "0"), Component("text", "abc"), Component("text", "255"))
    session = Session(cycle)
    session.stroke(20, 300)
    dots = check(checks, replay, ["type Text2 abc"], session, "green abc")
    # Red is 255 after 255 steps (the first at the press point); the 256th restarts.
    checks.equal(len(dots), 301 - 255, "green abc: dots only from the restart on")


def main():
    checks = Checks()
    replay = Replay(tool_from_args())
    from_start(checks, replay)
    after_eraser(checks, replay)
    green_not_a_number(checks, replay)
    checks.finish()


if __name__ == "__main__":
    main()
