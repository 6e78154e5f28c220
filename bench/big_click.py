#!/usr/bin/env python3
"""What an art click costs the program on a maximised 4K window at 200 %.

usage: big_click.py QUENZEL WORK [CLICKS]

On the desktop of tests/reliability/real_window.py, with a screen of 3840 x 2200 and
QT_SCALE_FACTOR=2, the window is made 3840 x 2100 device pixels (a client area of about
1920 x 1033 pixels, a raster of 3840 x 2066), then "◎", "○", "①" and "③" are clicked in
turn (twelve clicks by default). Each click's cost is the processor time of all the
program's threads (/proc/PID/task/*/schedstat, in nanoseconds) from just before the click
to a second after it, the pointer already over the button. Prints each, the median and
range, and the resident memory. WORK is removed at the end.
"""

import argparse
import os
import shutil
import statistics
import sys
import time

sys.dont_write_bytecode = True  # nothing left in the checkout
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests",
                                "reliability"))
import real_window as rw  # noqa: E402

BUTTONS = [("◎", rw.RINGS), ("○", (428, 44)), ("①", rw.CIRCLES), ("③", (428, 116))]


def cpu_ns(pid):
    total = 0
    for task in os.listdir("/proc/%d/task" % pid):
        try:
            with open("/proc/%d/task/%s/schedstat" % (pid, task)) as f:
                total += int(f.read().split()[0])
        except OSError:
            pass  # a thread that has just ended
    return total


def resident_mb(pid):
    with open("/proc/%d/status" % pid) as f:
        for line in f:
            if line.startswith("VmRSS:"):
                return int(line.split()[1]) / 1024
    return 0


class BigDesktop(rw.Desktop):
    def start(self, args, **kwargs):
        args = ["3840x2200x24" if a == "1024x768x24" else a for a in args]
        return super().start(args, **kwargs)


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("quenzel", type=os.path.abspath, help="the program to start")
    parser.add_argument("work", type=os.path.abspath, help="a folder for the run, removed")
    parser.add_argument("clicks", type=int, nargs="?", default=12)
    args = parser.parse_args()
    shutil.rmtree(args.work, ignore_errors=True)
    os.makedirs(args.work)
    rw.Desktop.env["QT_SCALE_FACTOR"] = "2"
    desktop = BigDesktop(args.work)
    try:
        q = rw.Quenzel(desktop, args.quenzel, args.work)
        menu = q.height - 2 * rw.CLIENT_HEIGHT  # device pixels, before the window grows
        rw.run("xdotool", "windowmove", q.window, "0", "0")
        rw.run("xdotool", "windowsize", q.window, "3840", "2100")
        time.sleep(1.5)
        q.locate()
        print("window %d x %d device pixels" % (q.width, q.height))
        pid, costs = q.process.pid, []
        for i in range(args.clicks):
            name, (x, y) = BUTTONS[i % len(BUTTONS)]
            rw.run("xdotool", "mousemove", str(q.left + 2 * x), str(q.top + menu + 2 * y))
            time.sleep(0.5)
            before = cpu_ns(pid)
            rw.run("xdotool", "click", "1")
            time.sleep(1)
            costs.append((cpu_ns(pid) - before) / 1e6)
            print("%2d %s %6.1f ms" % (i + 1, name, costs[-1]), flush=True)
        print("median %.1f ms, %.1f to %.1f ms; resident %.0f MB" %
              (statistics.median(costs), min(costs), max(costs), resident_mb(pid)))
    finally:
        desktop.stop()
    shutil.rmtree(args.work, ignore_errors=True)


if __name__ == "__main__":
    main()
