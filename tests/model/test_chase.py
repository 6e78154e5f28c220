"""The chasing eye against an independent model in single precision: the first steps
from (0, 0) in twips, a new movement retargeting it, chase mode switched off while the
eye travels (it arrives, and the pen draws again), pen 2 moving the shared point, and
the endless dots and the eye superseding each other."""

from quenzel_model import QBColor, ChaseSession, Checks, Generator, Replay, Trace
from quenzel_model import drawn, f32, sections, single_text, tool_from_args

BLUE = 16711680  # the pen colour at start-up


def first_steps_and_retarget(replay, checks):
    session = ChaseSession(replay, checks)
    session.toggle_chase()
    session.move(300, 200)  # (4500, 3000) in twips
    session.observe("first step from (0, 0)")
    checks.equal(session.eye.readouts(), ["90", "60", "4500", "3000"],
                 "read-outs after the first step (a fiftieth of the way)")
    checks.equal(session.image, (6, 4), "the eye appears near the top-left corner")
    session.steps(1)
    session.observe("second step")
    checks.equal(session.eye.readouts()[:2], ["178.2", "118.8"], "read-outs after two steps")
    session.steps(33)
    session.observe("35 steps: half the way")
    checks.that(abs(session.eye.x - 2250) < 50, "half the distance gone after 35 steps")
    session.steps(193)
    session.observe("228 steps: 99 % of the way")
    checks.that(abs(session.eye.x - 4455) < 5, "99 % gone after 228 steps")
    session.steps(1000)
    session.observe("arrived")
    session.steps(10)
    session.observe("arrived, ten more steps change nothing")
    # A new movement retargets the eye at once; the old target is never taken up again.
    session.move(100, 60)
    session.observe("retargeted")
    session.steps(40)
    session.observe("retargeted, 40 steps on")
    session.move(200, 80)
    session.steps(5)
    session.observe("retargeted again")
    session.run()


def chase_off_while_travelling(replay, checks):
    session = ChaseSession(replay, checks)
    session.toggle_chase()
    session.move(350, 300)
    session.steps(20)
    session.observe("travelling")
    session.toggle_chase()  # off: the runner goes on
    session.act("press Command7", "release Command7", "trace on", "down 200 100",
                "move 210 110", "up 210 110", "trace off")
    session.observe("chase off, pen stroke drawn")
    session.steps(1200)
    session.observe("arrived after chase mode went off")
    out = session.run()
    checks.that("pset 3150 1650 %d 10" % BLUE in out,
                "the pen draws again once chase mode is off")
    checks.equal(drawn(out), ["pset 3150 1650 %d 10" % BLUE],
                 "the pen draws again once chase mode is off, and nothing else is drawn")


def pen2_moves_the_shared_point(replay, checks):
    session = ChaseSession(replay, checks)
    eye = session.eye
    session.act("click Command10", "trace on")  # pen 2 on
    expected_circles = Trace()
    for px, py in [(200, 100), (220, 120)]:
        session.act("move %d %d" % (px, py))
        eye.pen2(px * 15, py * 15)
        expected_circles.circle(eye.x, eye.y, 30, BLUE)
    session.act("trace off")
    session.observe("pen 2 moved the point, not the eye")
    session.act("click Command10")  # pen 2 off
    session.toggle_chase()
    session.move(300, 250)
    session.observe("the chase starts from the pen-2 point")
    # Pen 2 in the middle of a chase: the next step starts from where pen 2 left the point.
    session.toggle_chase()
    session.act("click Command10", "move 120 90")
    eye.pen2(120 * 15, 90 * 15)
    session.observe("pen 2 during a chase")
    session.steps(1)
    session.observe("the runner goes on from the pen-2 point")
    out = session.run()
    checks.equal(drawn(out)[:2], expected_circles.lines, "pen 2 circles at the shared point")
    dumps = [line for line in out if line.startswith("Image1 ")]
    checks.equal(dumps[0].split()[2:4], ["216", "392"], "the eye stays at its design place")


def dots_and_chase_supersede(replay, checks):
    session = ChaseSession(replay, checks)
    session.units_per_pixel = 1
    session.act("click Command9", "steps 2")  # three dots
    session.toggle_chase()
    session.move(300, 200)
    session.act("trace on")
    session.steps(5)
    session.act("dump random", "trace off")
    session.observe("the runner advances, the dots do not")
    session.act("trace on", "click Command9", "steps 3", "dump random", "trace off")
    session.observe("a second click of the dots: the eye stays")
    out = session.run()
    (chase_part, drawn_chase), (dots_part, drawn_dots) = sections(out)[0][:2]
    checks.equal(drawn(chase_part), [], "nothing drawn while the runner advances")
    checks.equal(drawn_chase, 9, "no random numbers drawn while the runner advances")
    checks.equal(drawn_dots, 9 + 12, "four new dots after the second click")
    generator = Generator()
    for _ in range(9):
        generator.next()
    width, height = 451.0, 382.0
    trace = Trace(draw_width=5)
    for _ in range(4):
        x = f32(generator.next() * width)
        y = f32(generator.next() * height)
        trace.pset(x, y, QBColor(round(generator.next() * 15)))
    dots = drawn(dots_part)
    checks.that(dots[0] == "cls" and dots[1].startswith("print "),
                "the second click clears and prints again: %s" % dots[:2])
    checks.equal(dots[2:], trace.lines, "the new dots continue the generator")


def readout_forms(checks):
    """The read-outs' number form, on values it has to shorten."""
    for value, text in [(4500.0, "4500"), (f32(59.4), "59.4"), (f32(0.5), "0.5"),
                        (f32(12345678.0), "1.234568E+07"), (f32(-3.0), "-3"),
                        (f32(1234567.0), "1234567"), (f32(2.25e-5), "2.25E-05")]:
        checks.equal(single_text(value), text, "read-out form of %r" % value)


def main():
    checks = Checks()
    replay = Replay(tool_from_args())
    readout_forms(checks)
    first_steps_and_retarget(replay, checks)
    chase_off_while_travelling(replay, checks)
    pen2_moves_the_shared_point(replay, checks)
    dots_and_chase_supersede(replay, checks)
    checks.finish()


if __name__ == "__main__":
    main()
