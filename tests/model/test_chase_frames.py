"""The chasing eye's frames: the band and quadrant tests, the picture that lags one step
behind the frame, and the pointer that coincides with the eye. The eye is sent along a
tour of targets on a cleared canvas in pixels; at every frame change the state, the
read-outs and the picture on screen are compared with an independent model."""

import copy

from quenzel_model import ChaseSession, Checks, Replay, tool_from_args

# Targets in client pixels, each followed until the eye has stopped moving. Together
# they pass through all eight frames; the first two keep the pointer exactly on the
# eye's column (no band test for left or right can hold), the first even on its corner.
TOUR = [(0, 0), (0, 300), (100, 300), (380, 40), (60, 40), (60, 320), (300, 320), (60, 20),
        (380, 300), (380, 20), (100, 300)]
ARRIVAL_STEPS = 900


def frame_changes(eye, steps):
    """The steps (1-based, counted after the runner's first step) after which the frame
    differs from the one before."""
    probe, changes = copy.deepcopy(eye), []
    for n in range(1, steps + 1):
        before = probe.frame
        probe.step()
        if probe.frame != before:
            changes.append(n)
    return changes


def main():
    checks = Checks()
    session = ChaseSession(Replay(tool_from_args()), checks)
    # "◎" switches the canvas to pixels, "CLS" clears it again, so that the eye stands on
    # white.
    session.act("click Command2", "click Command3")
    session.units_per_pixel = 1
    session.observe("at start-up")
    session.toggle_chase()
    frames_seen = set()
    for target in TOUR:
        session.move(*target)
        name = "towards %s" % (target,)
        session.observe(name + ", first step", picture=True)
        frames_seen.add(session.eye.frame)
        done = 0
        for change in frame_changes(session.eye, ARRIVAL_STEPS):
            # After the step that changes the frame the old picture still shows; one
            # step later the new one.
            session.steps(change - done)
            session.observe(name + ", step %d (frame changed)" % change, picture=True)
            session.steps(1)
            session.observe(name + ", step %d (picture follows)" % (change + 1), picture=True)
            done = change + 1
            frames_seen.add(session.eye.frame)
        session.steps(ARRIVAL_STEPS - done)
        session.observe(name + ", arrived", picture=True)
        if target == (0, 0):
            checks.that(session.eye.frame is None, "pointer on the eye's corner: no frame")
        if target == (0, 300):
            checks.equal(session.eye.frame, 5, "pointer straight below, X equal to the eye's")
    checks.equal(frames_seen - {None}, set(range(1, 9)), "the tour shows every frame")
    session.run()
    checks.finish()


if __name__ == "__main__":
    main()
