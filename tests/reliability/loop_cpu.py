#!/usr/bin/env python3
"""What the endless drawings cost the real program under a real X server.

usage: loop_cpu.py [--wayland] QUENZEL_BINARY WORK_DIR [BOUND_PERCENT]

On the desktop of real_window.py, the window idles for 10 seconds, then the eye glides back
and forth for 10 seconds (the pointer jumps between two far places of the canvas every half
second), then "②" draws for 10 seconds, each measured from a second after it began. For each, the program's own processor time, user plus system from /proc/PID/stat, is
printed as a percentage of one core and must stay below the bound (default 8: generous, for
a shared machine). --wayland does the same with quenzel as a native Wayland client of the
headless sway of wayland_smoke.py. WORK_DIR is removed when all is well.
"""

import os
import shutil
import subprocess
import sys
import time

from real_window import CHASE, DOTS, Desktop, Failure, Quenzel, dark_pixels, expect, inked
from wayland_smoke import Sway, shown

SECONDS = 10
LEG = 0.5
ENDS = [(100, 40), (360, 280)]  # bare canvas, far apart
TICKS = os.sysconf("SC_CLK_TCK")


def cpu_seconds(pid):
    with open("/proc/%d/stat" % pid) as f:
        fields = f.read().rpartition(")")[2].split()
    return (int(fields[11]) + int(fields[12])) / TICKS  # utime, stime


def measured(q, what, during):
    """Runs `during` for SECONDS and returns the program's processor time as a percentage."""
    cpu, wall = cpu_seconds(q.process.pid), time.monotonic()
    during(wall + SECONDS)
    percent = 100 * (cpu_seconds(q.process.pid) - cpu) / (time.monotonic() - wall)
    print("%s: %.2f %% of a core" % (what, percent))
    return percent


def glide(q, until, visited):
    while time.monotonic() < until:
        visited.append(ENDS[len(visited) % 2])
        q.move(visited[-1])
        time.sleep(max(0.0, min(LEG - 0.03, until - time.monotonic())))


def started(wayland, binary, work):
    """The desktop, and quenzel shown on it; the desktop is stopped again if it does not show."""
    desktop = Sway(work) if wayland else Desktop(work)
    try:
        if not wayland:
            return desktop, Quenzel(desktop, binary, work)
        desktop.listen()
        return desktop, shown(desktop, binary, work)[0]
    except BaseException:
        desktop.stop()
        raise


def main():
    args = sys.argv[1:]
    wayland = args[:1] == ["--wayland"]
    args = args[wayland:]
    if len(args) not in (2, 3):
        sys.exit(__doc__)
    binary, work = os.path.abspath(args[0]), os.path.abspath(args[1])
    bound = float(args[2]) if len(args) == 3 else 8.0
    shutil.rmtree(work, ignore_errors=True)
    os.makedirs(work)
    desktop = None
    try:
        desktop, q = started(wayland, binary, work)
        time.sleep(1)  # past start-up
        idle = measured(q, "idle", lambda until: time.sleep(until - time.monotonic()))
        # Each phase is measured from a second after it began, past the one-off costs of
        # the click that started it (for "②", clearing and repainting the whole canvas).
        q.click(CHASE)
        visited = []
        glide(q, time.monotonic() + 1, visited)
        chase = measured(q, "the eye gliding", lambda until: glide(q, until, visited))
        time.sleep(LEG)  # the last jump may have come just before the end
        shot = q.shot("glided")
        last = visited[-1]
        expect(dark_pixels(q, shot, last[0] - 5, last[1] - 5, 60, 62) > 60,
               "the eye has come to the last place of the pointer", shot)
        q.click(CHASE)
        q.click(DOTS)
        time.sleep(1)
        dots = measured(q, '"②"', lambda until: time.sleep(until - time.monotonic()))
        shot = q.shot("dots")
        # About 10 000 dots 5 pixels wide cover two thirds of the canvas; at a fifth of the
        # pace, a fifth.
        expect(inked(q, shot) > 0.45 * 165 * 155, '"②" kept its pace', shot)
        expect(max(idle, chase, dots) < bound, "all below %.1f %% of a core" % bound)
    except (Failure, OSError, subprocess.SubprocessError) as error:
        print("FAIL:", error)
        return 1
    finally:
        if desktop:
            desktop.stop()
    shutil.rmtree(work, ignore_errors=True)
    return 0


if __name__ == "__main__":
    sys.exit(main())
