#!/usr/bin/env python3
"""The built quenzel as a native Wayland client, under sway with its headless back end.

usage: wayland_smoke.py QUENZEL_BINARY WORK_DIR

Only that it comes up and goes: the window is shown at its design size (client area and
menu bar), a screenshot (grim) shows its controls, and it ends with status 0 when sway
closes it. The X server tests cover what it does. sway refuses to run as root, so when
this runs as root, sway, quenzel and grim run as the user nobody, allowed to read and
search any folder so that they reach the build folder wherever it lies (they cannot become
root again, which sway checks). The screenshot and the logs stay in WORK_DIR; everything
started here is stopped at the end, whatever happens.
"""

import glob
import json
import os
import pwd
import shutil
import signal
import socket
import struct
import subprocess
import sys
import time

from real_window import (CLIENT_HEIGHT, CLIENT_WIDTH, CLS, PEN, RED_BOX, SWATCHES, WHITE,
                         Failure, Picture, box_looks, expect, stop_all, wait_until)

SCREEN = (1024, 768)
WINDOW = (CLIENT_WIDTH, 399)  # the client area under a menu bar of 17 pixels
CONFIG = """xwayland disable
output HEADLESS-1 resolution %dx%d position 0 0
default_border none
default_floating_border none
for_window [title="^Quenzel$"] floating enable
""" % SCREEN


def as_user():
    """The command prefix that runs a program as the desktop's user, dying with this script."""
    prefix = ["setpriv", "--pdeathsig", "TERM"]
    if os.getuid() == 0:
        prefix += ["--reuid", "nobody", "--regid", str(pwd.getpwnam("nobody").pw_gid),
                   "--clear-groups", "--inh-caps", "+dac_read_search",
                   "--ambient-caps", "+dac_read_search"]
    return prefix


class Sway:
    """sway on its headless back end, drawing with the processor (there may be no GPU), with
    a runtime folder and a home of its user's own in WORK_DIR."""

    def __init__(self, work):
        self.work = work
        user = pwd.getpwnam("nobody") if os.getuid() == 0 else pwd.getpwuid(os.getuid())
        self.runtime, home = os.path.join(work, "runtime"), os.path.join(work, "home")
        for folder in (self.runtime, home):
            os.makedirs(folder, mode=0o700)
            os.chown(folder, user.pw_uid, user.pw_gid)
        self.env = {k: v for k, v in os.environ.items()
                    if k not in ("DISPLAY", "WAYLAND_DISPLAY", "WAYLAND_SOCKET", "SWAYSOCK")
                    and not (k.startswith("XDG_") and k.endswith("_HOME"))}
        self.env.update(HOME=home, XDG_RUNTIME_DIR=self.runtime, WLR_BACKENDS="headless",
                        WLR_LIBINPUT_NO_DEVICES="1", WLR_RENDERER="pixman",
                        QT_QPA_PLATFORM="wayland")
        self.processes = []

    def listen(self):
        config = os.path.join(self.work, "sway.conf")
        with open(config, "w") as f:
            f.write(CONFIG)
        self.start(["sway", "-c", config], "sway")

        def sockets():
            ipc = glob.glob(os.path.join(self.runtime, "sway-ipc.*.sock"))
            display = [s for s in glob.glob(os.path.join(self.runtime, "wayland-*"))
                       if not s.endswith(".lock")]
            if ipc and display:
                self.env.update(SWAYSOCK=ipc[0], WAYLAND_DISPLAY=os.path.basename(display[0]))
            return ipc and display

        wait_until(sockets, "sway listens")

    def start(self, args, name):
        with open(os.path.join(self.work, name + ".log"), "w") as log:
            process = subprocess.Popen(as_user() + args, env=self.env, stdin=subprocess.DEVNULL,
                                       stdout=log, stderr=subprocess.STDOUT)
        self.processes.append(process)
        return process

    def run(self, *args):
        return subprocess.run(as_user() + list(args), env=self.env, check=True,
                              capture_output=True, timeout=20).stdout

    def screenshot(self, path):
        with open(path, "wb") as f:
            f.write(self.run("grim", "-"))
        return Picture(path)

    def window(self, pid):
        """The tree node of the process's window, or None."""
        nodes = [json.loads(self.run("swaymsg", "-t", "get_tree"))]
        while nodes:
            node = nodes.pop()
            if node.get("pid") == pid:
                return node
            nodes += node.get("nodes", []) + node.get("floating_nodes", [])
        return None

    def stop(self):
        stop_all(self.processes)
        shutil.rmtree(self.runtime, ignore_errors=True)
        shutil.rmtree(os.path.join(self.work, "home"), ignore_errors=True)


class Pointer:
    """A pointer of sway's seat, which the headless back end does not have: wlroots'
    virtual-pointer protocol spoken straight on the display's socket, each request waited
    for. Places are screen pixels."""

    BUTTON_LEFT = 0x110  # BTN_LEFT of the kernel's input codes

    def __init__(self, sway):
        self.socket = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
        self.socket.connect(os.path.join(sway.runtime, sway.env["WAYLAND_DISPLAY"]))
        self.received, self.ids = b"", 1  # wl_display is object 1
        registry = self.new_id()
        self.send(1, 1, "I", registry)  # wl_display.get_registry
        manager = "zwlr_virtual_pointer_manager_v1"
        names = {}
        for sender, opcode, body in self.roundtrip():
            if sender == registry and opcode == 0:  # wl_registry.global: name, interface
                length = struct.unpack_from("<I", body, 4)[0]
                names[body[8:7 + length].decode()] = struct.unpack_from("<I", body)[0]
        if manager not in names:
            raise Failure("sway offers no virtual pointer")
        encoded = manager.encode() + b"\0"
        bound, self.pointer = self.new_id(), self.new_id()
        self.send(registry, 0, "II%dsII" % (len(encoded) + 3 & ~3), names[manager],
                  len(encoded), encoded, 1, bound)  # wl_registry.bind
        self.send(bound, 0, "II", 0, self.pointer)  # create_virtual_pointer on the default seat
        self.roundtrip()

    def new_id(self):
        self.ids += 1
        return self.ids

    def send(self, sender, opcode, layout, *args):
        body = struct.pack("<" + layout, *args)
        self.socket.sendall(struct.pack("<II", sender, (8 + len(body)) << 16 | opcode) + body)

    def roundtrip(self):
        """The events that came before the compositor handled every request sent so far."""
        done, events = self.new_id(), []
        self.send(1, 0, "I", done)  # wl_display.sync
        while True:
            while len(self.received) < 8 or len(self.received) < self.received[6] | self.received[7] << 8:
                chunk = self.socket.recv(4096)
                if not chunk:
                    raise Failure("sway closed the pointer's connection")
                self.received += chunk
            sender, word = struct.unpack_from("<II", self.received)
            body, self.received = self.received[8:word >> 16], self.received[word >> 16:]
            if sender == 1 and word & 0xFFFF == 0:
                raise Failure("sway refused a pointer request: %r" % body)
            if sender == done:
                return events
            events.append((sender, word & 0xFFFF, body))

    def moment(self):
        return int(time.monotonic() * 1000) & 0xFFFFFFFF

    def move(self, x, y):
        self.send(self.pointer, 1, "IIIII", self.moment(), x, y, *SCREEN)  # motion_absolute
        self.frame()

    def button(self, pressed):
        self.send(self.pointer, 2, "III", self.moment(), self.BUTTON_LEFT, int(pressed))
        self.frame()

    def frame(self):
        self.send(self.pointer, 4, "")
        self.roundtrip()


class Window:
    """quenzel's window on sway: its client pixels on a screenshot of the whole screen, and
    the pointer moved and pressed on its client area, as real_window.py's Quenzel does under
    X."""

    def __init__(self, sway, process, rect, work):
        self.sway, self.process, self.work, self.shots = sway, process, work, 0
        self.origin = (rect["x"], rect["y"] + rect["height"] - CLIENT_HEIGHT)
        self.pointer = None

    def pixel(self, shot, point):
        return shot.pixel(self.origin[0] + point[0], self.origin[1] + point[1])

    def move(self, point):
        if not self.pointer:
            self.pointer = Pointer(self.sway)
        self.pointer.move(self.origin[0] + point[0], self.origin[1] + point[1])
        time.sleep(0.03)

    def click(self, point):
        self.move(point)
        self.pointer.button(True)
        self.pointer.button(False)
        time.sleep(0.15)

    def shot(self, name):
        self.shots += 1
        return self.sway.screenshot(os.path.join(self.work, "quenzel-%02d-%s.png" % (self.shots, name)))


def shown(sway, binary, work):
    """quenzel started on sway, once its window shows: the Window and the tree node."""
    quenzel = sway.start([binary], "quenzel")
    node = None

    def visible():
        nonlocal node
        node = sway.window(quenzel.pid)
        return node and node["visible"]

    wait_until(visible, "the window is shown", seconds=20)
    return Window(sway, quenzel, node["rect"], work), node


def caption_ink(q, shot, centre):
    """Pixels of text, dark or anti-aliased grey, around the middle of a button."""
    return sum(1 for x in range(centre[0] - 15, centre[0] + 15)
               for y in range(centre[1] - 6, centre[1] + 6) if max(q.pixel(shot, (x, y))) < 160)


def shown_extent(shot):
    """Left, top, width and height of what differs from the screen's empty corner."""
    empty = shot.pixel(0, 0)
    xs, ys = set(), set()
    for y in range(shot.height):
        row = shot.pixels[3 * y * shot.width:3 * (y + 1) * shot.width]
        for x in range(shot.width):
            if tuple(row[3 * x:3 * x + 3]) != empty:
                xs.add(x)
                ys.add(y)
    if not xs:
        return None
    return min(xs), min(ys), max(xs) - min(xs) + 1, max(ys) - min(ys) + 1


def waits(pid):
    """Each thread's name and the kernel function it sleeps in."""
    tasks = glob.glob("/proc/%d/task/*" % pid)
    return ", ".join(" ".join(open(os.path.join(t, f)).read().strip() for f in ("comm", "wchan"))
                     for t in tasks)


def check(sway, binary, work):
    q, node = shown(sway, binary, work)
    quenzel, rect, shot = q.process, node["rect"], None
    expect(node["name"] == "Quenzel" and node["shell"] == "xdg_shell",
           'a native Wayland window "Quenzel" (%s, %s)' % (node["shell"], node["app_id"]))
    expect((rect["width"], rect["height"]) == WINDOW,
           "%d x %d: the client area %d x %d and the menu bar" % (
               rect["width"], rect["height"], CLIENT_WIDTH, CLIENT_HEIGHT))

    def drawn():
        nonlocal shot
        shot = sway.screenshot(os.path.join(work, "screen.png"))
        return q.pixel(shot, (200, 200)) == WHITE

    wait_until(drawn, "the window is drawn")
    expect((shot.width, shot.height) == SCREEN, "the screenshot is of the whole screen", shot)
    expect(shown_extent(shot) == (rect["x"], rect["y"], rect["width"], rect["height"]),
           "the window shows on the screen at its place and size", shot)
    for p in [(100, 20), (300, 150), (400, 320)]:
        expect(q.pixel(shot, p) == WHITE, "canvas white at %s" % (p,), shot)
    for p, colour in SWATCHES.items():
        expect(q.pixel(shot, p) == colour, "swatch at %s is %s" % (p, colour), shot)
    expect(box_looks(q, shot, RED_BOX, WHITE), "red box white", shot)
    for name, centre in [("ペ　ン", PEN), ("CLS", CLS)]:
        expect(caption_ink(q, shot, centre) > 15, 'the caption "%s" is drawn' % name, shot)
    sway.run("swaymsg", "[pid=%d] kill" % quenzel.pid)
    try:
        status = quenzel.wait(15)
    except subprocess.TimeoutExpired:
        window = "still there" if sway.window(quenzel.pid) else "gone"
        raise Failure("closing the window from sway did not end the program (its window is %s;"
                      " its threads wait in: %s)" % (window, waits(quenzel.pid)))
    expect(status == 0, "closed by sway, quenzel ends with status 0 (it was %d)" % status)


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    binary, work = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
    shutil.rmtree(work, ignore_errors=True)
    os.makedirs(work)
    signal.signal(signal.SIGTERM, lambda *_: sys.exit("stopped"))
    sway = Sway(work)
    try:
        sway.listen()
        check(sway, binary, work)
    except (Failure, subprocess.SubprocessError) as error:
        print("FAIL:", error)
        for name in ("sway", "quenzel"):
            log = os.path.join(work, name + ".log")
            if os.path.exists(log):
                print("%s's output:\n%s" % (name, open(log).read()[-4000:]))
        return 1
    finally:
        sway.stop()
    print("Wayland: all checks passed")
    return 0


if __name__ == "__main__":
    sys.exit(main())
