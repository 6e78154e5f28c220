#!/usr/bin/env python3
"""The built quenzel under a real X server, driven by real X input events.

usage: real_window.py QUENZEL_BINARY WORK_DIR QUENZEL_REPLAY

Starts Xvfb on a free display with a small window manager, starts quenzel there and uses
it as a person would, with xdotool: moves, presses, drags, clicks on buttons and menu
items, typing into a box, saving through the save dialog, copying to the clipboard,
minimising and restoring, killing it and starting it again, opening a picture through the
open dialog and dropping one from another window, keeping the drawing and watching it
being made in a new window. After each step a screenshot
of the whole screen (ImageMagick's import) shows whether the window looks as it should.
The screenshots stay in WORK_DIR, and so do the recordings (WORK_DIR/data is the data
folder, empty at the start); the saved and copied pictures are removed once looked at.
The drawing brought back after a kill is also compared with what QUENZEL_REPLAY makes of
the killed program's recording. Everything started here is stopped at the end, whatever
happens: the children also die with this script.
"""

import ctypes
import os
import select
import shutil
import signal
import subprocess
import sys
import time
import zlib

CLIENT_WIDTH, CLIENT_HEIGHT = 451, 382
WHITE, BLUE, RED = (255, 255, 255), (0, 0, 255), (255, 0, 0)
UNFIT = (255, 200, 200)  # a box whose text cannot serve

# Centres of controls in client pixels, from the window's design (place + half the size).
PEN = (28, 140)         # "ペ　ン"
CLS = (420, 364)        # "CLS"
END = (364, 364)        # "END"
RINGS = (428, 20)       # "◎"
DOTS = (428, 92)        # "②"
CHASE = (428, 140)      # "④"
CIRCLES = (428, 68)     # "①"
EYE_OVER_CLS = (385, 335)  # the eye's corner here covers "CLS"
RED_SWATCH = (32, 272)  # Picture6
RED_BOX = (36, 17)      # Text6
SWATCHES = {(16, 256): WHITE, (32, 256): (64, 0, 64), (16, 272): BLUE, (32, 272): RED,
            (16, 288): (255, 255, 128), (32, 288): (0, 255, 255), (16, 304): (0, 255, 0),
            (32, 304): (255, 0, 255)}
HINT_LINE = (24, 352, 305, 25)   # Text4: left, top, width, height
POINTER_Y_BOX = (96, 328, 25, 25)  # Text10, which has the focus at start-up
BROUGHT_BACK = "前回の絵を元にもどしました。"
BOOK_ADDRESS = "https://www.kinokuniya.co.jp/"
GAME_ADDRESS = "https://www.nintendo.co.jp/"


class Failure(Exception):
    pass


def die_with_parent():
    """In a child: receive SIGTERM when this script dies, however it dies."""
    libc = ctypes.CDLL(None, use_errno=True)
    libc.prctl(1, signal.SIGTERM)  # PR_SET_PDEATHSIG


def run(*args, timeout=20):
    return subprocess.run(args, check=True, capture_output=True, text=True, timeout=timeout,
                          env=Desktop.env).stdout


class Desktop:
    """An X server with a window manager; the environment to reach it."""

    env = dict(os.environ)

    def __init__(self, work):
        self.processes = []
        read_end, write_end = os.pipe()
        self.start(["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1024x768x24",
                    "-nolisten", "tcp"], pass_fds=(write_end,))
        os.close(write_end)
        number = b""
        deadline = time.time() + 30
        while not number.endswith(b"\n"):
            if time.time() > deadline or not select.select([read_end], [], [], 1)[0]:
                if time.time() > deadline:
                    raise Failure("Xvfb did not start")
                continue
            chunk = os.read(read_end, 16)
            if not chunk:
                raise Failure("Xvfb ended at start")
            number += chunk
        os.close(read_end)
        Desktop.env["DISPLAY"] = ":" + number.decode().strip()
        runtime = os.path.join(work, "runtime")
        os.makedirs(runtime, mode=0o700, exist_ok=True)
        Desktop.env["XDG_RUNTIME_DIR"] = runtime
        # A data folder of this run's own, so that no recording left by a killed run or by
        # a test running beside this one is brought back at start-up.
        Desktop.env["XDG_DATA_HOME"] = os.path.join(work, "data")
        Desktop.env.pop("QT_QPA_PLATFORM", None)
        print("X server on display", Desktop.env["DISPLAY"])
        self.start(["openbox"])
        wait_until(lambda: "_NET_SUPPORTING_WM_CHECK(WINDOW)" in run("xprop", "-root"),
                   "the window manager runs")

    def start(self, args, **kwargs):
        process = subprocess.Popen(args, env=Desktop.env, preexec_fn=die_with_parent,
                                   stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                                   stderr=subprocess.DEVNULL, **kwargs)
        self.processes.append(process)
        return process

    def stop(self):
        stop_all(self.processes)


def stop_all(processes):
    """Ends the processes, newest first: asked, then, after 5 s, made to."""
    for process in reversed(processes):
        if process.poll() is None:
            process.terminate()
            try:
                process.wait(5)
            except subprocess.TimeoutExpired:
                process.kill()
                process.wait()


def wait_until(condition, what, seconds=10):
    deadline = time.time() + seconds
    while True:
        try:
            if condition():
                return
        except subprocess.SubprocessError:
            pass
        if time.time() > deadline:
            raise Failure("timed out waiting until " + what)
        time.sleep(0.1)


class Picture:
    """The pixels of an image file, read through ImageMagick."""

    def __init__(self, path):
        ppm = subprocess.run(["convert", path, "-depth", "8", "ppm:-"], check=True,
                             capture_output=True, env=Desktop.env).stdout
        fields = ppm.split(maxsplit=4)  # P6, width, height, maximum, pixels
        self.width, self.height = int(fields[1]), int(fields[2])
        self.pixels = fields[4]
        self.path = path

    def pixel(self, x, y):
        i = 3 * (y * self.width + x)
        return tuple(self.pixels[i:i + 3])


class Screenshot(Picture):
    def __init__(self, path):
        run("import", "-window", "root", path)
        super().__init__(path)


class Quenzel:
    """The program's window: where its client area is on the screen, and what it shows."""

    def __init__(self, desktop, binary, work, name="quenzel", args=()):
        self.work = work
        self.name = name
        self.shots = 0
        # The menu items hand their address to the desktop's opener; this one notes it.
        opener_dir = os.path.join(work, "opener")
        os.makedirs(opener_dir, exist_ok=True)
        self.opened = os.path.join(work, "opened.txt")
        open(self.opened, "w").close()
        opener = os.path.join(opener_dir, "xdg-open")
        with open(opener, "w") as f:
            f.write('#!/bin/sh\nprintf "%%s\\n" "$1" >> "%s"\n' % self.opened)
        os.chmod(opener, 0o755)
        env = dict(Desktop.env, PATH=opener_dir + os.pathsep + Desktop.env.get("PATH", ""))
        self.log = open(os.path.join(work, name + ".log"), "w")
        self.process = subprocess.Popen([binary, *args], env=env, preexec_fn=die_with_parent,
                                        stdin=subprocess.DEVNULL, stdout=self.log,
                                        stderr=subprocess.STDOUT)
        desktop.processes.append(self.process)
        self.window = None
        self.menu_height = None  # as the window first shows, at the design's client size
        wait_until(self.find_window, "the window is shown")
        self.locate()

    def find_window(self):
        """The process's own window (another quenzel may be running)."""
        ids = run("xdotool", "search", "--all", "--onlyvisible", "--pid", str(self.process.pid),
                  "--name", "^Quenzel$").split()
        if ids:
            self.window = ids[0]
            self.locate()
        return bool(ids)

    def locate(self):
        info = {}
        for line in run("xwininfo", "-id", self.window).splitlines():
            key, _, value = line.strip().partition(":")
            info[key] = value.strip()
        self.map_state = info["Map State"]
        self.width, self.height = int(info["Width"]), int(info["Height"])
        if self.menu_height is None:
            self.menu_height = self.height - CLIENT_HEIGHT
        self.left = int(info["Absolute upper-left X"])
        self.top = int(info["Absolute upper-left Y"])
        self.origin = (self.left, self.top + self.menu_height)

    def screen(self, point):
        return self.origin[0] + point[0], self.origin[1] + point[1]

    def move(self, point):
        run("xdotool", "mousemove", *map(str, self.screen(point)))
        time.sleep(0.03)

    def click(self, point, button=1):
        self.move(point)
        run("xdotool", "click", str(button))
        time.sleep(0.15)

    def drag(self, points):
        """Presses at the first point, moves through the others, releases at the last."""
        self.move(points[0])
        run("xdotool", "mousedown", "1")
        for p in points[1:]:
            self.move(p)
        run("xdotool", "mouseup", "1")
        time.sleep(0.15)

    def type_into(self, box, text):
        self.click(box)
        run("xdotool", "key", "--clearmodifiers", "ctrl+a")
        run("xdotool", "type", "--delay", "40", text)
        time.sleep(0.2)

    def shot(self, name):
        self.shots += 1
        return Screenshot(os.path.join(self.work, "%s-%02d-%s.png" % (self.name, self.shots, name)))

    def pixel(self, shot, point):
        return shot.pixel(*self.screen(point))

    def running(self):
        return self.process.poll() is None


def expect(condition, what, shot=None):
    if not condition:
        raise Failure(what + (" (see %s)" % shot.path if shot else ""))
    print("ok:", what)


def until_shown(q, name, looks_right, what, seconds=5):
    """Screenshots until one looks right; fails with the last one."""
    deadline = time.time() + seconds
    while True:
        shot = q.shot(name)
        if looks_right(shot):
            print("ok:", what)
            return shot
        if time.time() > deadline:
            raise Failure(what + " (see %s)" % shot.path)
        time.sleep(0.2)


def stroke(y):
    return [(150, y)] + [(x, y) for x in range(160, 261, 10)]


def stroke_in(q, shot, y, colour):
    return all(q.pixel(shot, p) == colour for p in stroke(y)[1:])


def dark_pixels(q, shot, left, top, width, height):
    return sum(1 for x in range(left, left + width) for y in range(top, top + height)
               if max(q.pixel(shot, (x, y))) < 80)


def inked(q, shot):
    """Pixels of the bare canvas that are not white, on a grid of every other pixel."""
    return sum(1 for x in range(70, 400, 2) for y in range(10, 320, 2)
               if q.pixel(shot, (x, y)) != WHITE)


def box_looks(q, shot, box, colour):
    # Corners of the box's inside, away from the text.
    corners = [(box[0] + 10, box[1] - 7), (box[0] + 10, box[1] + 6)]
    return all(q.pixel(shot, c) == colour for c in corners)


def check_start(q):
    expect(run("xdotool", "getwindowname", q.window).strip() == "Quenzel", 'title "Quenzel"')
    expect(q.width == CLIENT_WIDTH and 10 <= q.menu_height <= 60,
           "client area %dx%d below a menu bar of %d pixels" % (q.width, CLIENT_HEIGHT,
                                                                q.menu_height))
    shot = until_shown(q, "start", lambda s: q.pixel(s, (200, 200)) == WHITE, "window drawn")
    for p in [(100, 20), (300, 150), (400, 320), (120, 370)]:
        expect(q.pixel(shot, p) == WHITE, "canvas white at %s" % (p,), shot)
    for p, colour in SWATCHES.items():
        expect(q.pixel(shot, p) == colour, "swatch at %s is %s" % (p, colour), shot)
    expect(box_looks(q, shot, RED_BOX, WHITE), "red box white", shot)
    expect(dark_pixels(q, shot, 100, 10, 300, 310) == 0, "nothing drawn, no eye in view", shot)


def check_pen(q):
    q.click(PEN)
    q.drag(stroke(60))
    until_shown(q, "pen", lambda s: stroke_in(q, s, 60, BLUE),
                "a blue pen dot at each dragged position")
    q.click(RED_SWATCH)
    q.drag(stroke(100))
    shot = until_shown(q, "swatch", lambda s: stroke_in(q, s, 100, RED),
                       "after the red swatch the pen paints red")
    expect(stroke_in(q, shot, 60, BLUE), "the blue stroke is still there", shot)
    expect(q.pixel(shot, (205, 80)) == WHITE, "nothing between the strokes", shot)
    q.click(CLS)
    until_shown(q, "cls", lambda s: all(q.pixel(s, p) == WHITE for p in stroke(60) + stroke(100)),
                '"CLS" clears both strokes')


def check_keep(q):
    """Ctrl+S through the real save dialog (a typed path and Return), and Ctrl+C read back
    from the X clipboard: both hold the client area with the stroke and no controls."""
    q.drag(stroke(60))
    until_shown(q, "keep", lambda s: stroke_in(q, s, 60, RED), "a red stroke to keep")
    saved, copied = os.path.join(q.work, "saved.png"), os.path.join(q.work, "copied.png")
    answer_dialog(q, "ctrl+s", saved)
    wait_until(lambda: os.path.exists(saved), "the picture is saved")
    run("xdotool", "key", "--clearmodifiers", "ctrl+c")
    try:
        with open(copied, "wb") as f:
            subprocess.run(["xclip", "-selection", "clipboard", "-t", "image/png", "-o"],
                           check=True, stdout=f, timeout=20, env=Desktop.env)
        for what, picture in [("Ctrl+S saves", Picture(saved)), ("Ctrl+C copies", Picture(copied))]:
            expect((picture.width, picture.height) == (CLIENT_WIDTH, CLIENT_HEIGHT) and
                   all(picture.pixel(*p) == RED for p in stroke(60)[1:]) and
                   picture.pixel(*CLS) == WHITE and picture.pixel(*RED_SWATCH) == WHITE,
                   what + " the stroke on the client area without the controls")
    finally:
        for f in [saved, copied]:
            if os.path.exists(f):
                os.remove(f)
    q.click(CLS)


def geometry(window):
    """Where a window's client area is on the screen, and its size: X, Y, WIDTH, HEIGHT."""
    shell = dict(line.split("=") for line in
                 run("xdotool", "getwindowgeometry", "--shell", window).split())
    return tuple(int(shell[k]) for k in ("X", "Y", "WIDTH", "HEIGHT"))


def dialog(q):
    """The window of a dialog of q's, once it is shown: the largest of its others (a text
    box's completion list is a window too)."""
    def windows():
        return [w for w in run("xdotool", "search", "--all", "--onlyvisible", "--pid",
                               str(q.process.pid), "--name", ".").split() if w != q.window]
    wait_until(windows, "a dialog is shown")
    time.sleep(0.5)
    return max(windows(), key=lambda w: geometry(w)[2] * geometry(w)[3])


def answer_dialog(q, keys, path):
    """The keys open a file dialog, where the path is typed and Return pressed."""
    run("xdotool", "key", "--clearmodifiers", keys)
    dialog(q)
    run("xdotool", "type", "--delay", "20", path)
    run("xdotool", "key", "Return")


def check_undo(q):
    """Ctrl+Z takes a pen stroke back and Ctrl+Shift+Z brings it again: with the focus where
    the last click left it, and in a box the user has not typed into."""
    for focus in [None, RED_BOX]:
        q.drag(stroke(60))
        until_shown(q, "undo-stroke", lambda s: stroke_in(q, s, 60, RED), "a stroke to take back")
        if focus:
            q.click(focus)
        run("xdotool", "key", "--clearmodifiers", "ctrl+z")
        until_shown(q, "undone", lambda s: all(q.pixel(s, p) == WHITE for p in stroke(60)),
                    "Ctrl+Z takes the stroke back" + (" from a box" if focus else ""))
        run("xdotool", "key", "--clearmodifiers", "ctrl+shift+z")
        until_shown(q, "redone", lambda s: stroke_in(q, s, 60, RED),
                    "Ctrl+Shift+Z brings it back" + (" from a box" if focus else ""))
        q.click(CLS)


def check_rings(q):
    q.click(RINGS)

    def discs(shot):
        colours = {}
        for x in range(70, 400, 3):
            for y in range(10, 320, 3):
                c = q.pixel(shot, (x, y))
                if c != WHITE:
                    colours[c] = colours.get(c, 0) + 1
        return sum(colours.values()) > 500 and len(colours) >= 3

    until_shown(q, "rings", discs, '"◎" draws discs of several colours over the canvas')
    q.click(CLS)
    until_shown(q, "cls-rings", lambda s: dark_pixels(q, s, 100, 10, 300, 310) == 0,
                '"CLS" clears them')


def check_chase(q):
    q.click(CHASE)
    q.move((300, 200))   # one movement on the canvas: the eye sets off towards it
    q.move(CLS)          # and the pointer leaves for a button, which starts nothing
    until_shown(q, "chase", lambda s: dark_pixels(q, s, 295, 195, 60, 62) > 60,
                "the eye has come to the pointer's place", seconds=10)
    q.click(CHASE)


def check_double_click(q):
    """Both presses of a fast double-click on "ペ　ン" count: the pen stays on."""
    q.move(PEN)
    run("xdotool", "click", "--repeat", "2", "--delay", "60", "1")
    q.drag(stroke(60))
    until_shown(q, "double-click", lambda s: stroke_in(q, s, 60, RED),
                "after a double-click on the pen button the pen still draws")
    q.click(CLS)


def check_eye_over_button(q):
    """The eye glides to a stop over "CLS", which still takes the click."""
    q.click(CHASE)
    q.move(EYE_OVER_CLS)
    q.move(CLS)
    left, top = EYE_OVER_CLS
    above_cls = [(x, y) for x in range(left, left + 49) for y in range(top, CLS[1] - 12)]
    until_shown(q, "eye-over-cls", lambda s: sum(q.pixel(s, p) != WHITE for p in above_cls) > 20,
                "the eye has come to rest over \"CLS\"", seconds=10)
    q.click(CHASE)
    q.drag(stroke(60))
    until_shown(q, "before-cls", lambda s: stroke_in(q, s, 60, RED), "a stroke to clear")
    q.click(CLS)
    until_shown(q, "cls-under-eye", lambda s: all(q.pixel(s, p) == WHITE for p in stroke(60)),
                '"CLS" under the eye clears the stroke')


def check_bad_text(q):
    q.type_into(RED_BOX, "abc")
    until_shown(q, "abc", lambda s: box_looks(q, s, RED_BOX, UNFIT),
                'red box holding "abc" is marked')
    q.drag(stroke(140))
    time.sleep(0.5)
    shot = q.shot("abc-draw")
    expect(q.running(), "drawing with the red box at \"abc\" leaves the program running")
    expect(all(q.pixel(shot, p) == WHITE for p in stroke(140)), "and draws no dot", shot)
    q.type_into(RED_BOX, "128")
    until_shown(q, "128", lambda s: box_looks(q, s, RED_BOX, WHITE), "128 unmarks the box")
    q.drag(stroke(180))
    until_shown(q, "128-draw", lambda s: stroke_in(q, s, 180, (128, 0, 0)),
                "the pen paints red 128")


def check_minimise(q):
    run("xdotool", "windowminimize", "--sync", q.window)
    q.locate()
    expect(q.map_state != "IsViewable", "minimised: the window is not viewable")
    shot = q.shot("minimised")
    expect(not stroke_in(q, shot, 180, (128, 0, 0)), "the stroke is off the screen", shot)
    run("xdotool", "windowactivate", "--sync", q.window)
    wait_until(lambda: (q.locate(), q.map_state)[1] == "IsViewable", "the window is back")

    def drawing_back(shot):
        q.locate()  # the window manager may still be placing the frame
        return stroke_in(q, shot, 180, (128, 0, 0))

    shot = until_shown(q, "restored", drawing_back, "restored: the drawing is still there")
    for p, colour in SWATCHES.items():
        expect(q.pixel(shot, p) == colour, "swatch at %s shown again" % (p,), shot)


def menu_items(q):
    """Client x of the middle of each menu item, from the dark text in the menu bar."""
    shot = q.shot("menu")
    y_range = range(q.top + 2, q.top + q.menu_height - 2)
    inked = [x for x in range(q.left, q.left + 200)
             if any(max(shot.pixel(x, y)) < 100 for y in y_range)]
    groups = []
    for x in inked:
        if groups and x - groups[-1][-1] <= 6:
            groups[-1].append(x)
        else:
            groups.append([x])
    return [((g[0] + g[-1]) // 2 - q.origin[0], -q.menu_height // 2) for g in groups]


def check_menu(q):
    items = menu_items(q)
    expect(len(items) >= 2, "two menu items in the menu bar")
    q.click(items[0])
    q.click(items[1])
    wait_until(lambda: len(open(q.opened).read().split()) >= 2, "both addresses are opened")
    expect(open(q.opened).read().split() == [BOOK_ADDRESS, GAME_ADDRESS],
           '"Book" and "Game" open their addresses')
    expect(q.running(), "the program runs on")


def check_end(q):
    q.click(END)
    try:
        status = q.process.wait(15)
    except subprocess.TimeoutExpired:
        raise Failure('"END" did not end the program')
    expect(status == 0, '"END" ends the program with exit status 0 (it was %d)' % status)


def check_close_while_drawing(desktop, binary, work):
    """A second quenzel, closed from the window manager (Alt+F4) while "②" runs."""
    q = Quenzel(desktop, binary, work, "quenzel-closed")
    q.click(DOTS)
    first = until_shown(q, "dots", lambda s: inked(q, s) > 50, '"②" is drawing')
    until_shown(q, "more-dots", lambda s: inked(q, s) > inked(q, first) + 20,
                "and goes on adding dots")
    run("xdotool", "windowactivate", "--sync", q.window)
    run("xdotool", "key", "--clearmodifiers", "alt+F4")
    try:
        status = q.process.wait(15)
    except subprocess.TimeoutExpired:
        raise Failure("closing the window during \"②\" did not end the program")
    expect(status == 0, "closing the window during \"②\" ends the program with status 0 (%d)"
           % status)


def area(picture, origin=(0, 0), masked=(), part=(0, 0, CLIENT_WIDTH, CLIENT_HEIGHT)):
    """The pixels of a part of the client area (left, top, width, height), with its origin
    at `origin` in the picture, row by row; each masked rectangle of the client area black."""
    left, top, width, height = part
    rows = []
    for y in range(top, top + height):
        start = 3 * ((origin[1] + y) * picture.width + origin[0] + left)
        row = bytearray(picture.pixels[start:start + 3 * width])
        for m_left, m_top, m_width, m_height in masked:
            if m_top <= y < m_top + m_height:
                row[3 * (m_left - left):3 * (m_left - left + m_width)] = bytes(3 * m_width)
        rows.append(bytes(row))
    return b"".join(rows)


def at_rest(q, name):
    """A screenshot of the window with nothing moving: the pointer away from it (a button
    under it would be lit) and the focus in another window, as an inactive window shows no
    blinking text cursor, the one thing in it that no recording holds; taken again until
    two shots 0.6 s apart agree."""
    run("xdotool", "mousemove", "1010", "10")
    run("xdotool", "search", "--name", "^focus-keeper$", "windowactivate", "--sync")
    shot = q.shot(name)
    deadline = time.time() + 5
    while True:
        time.sleep(0.6)
        previous, shot = shot, q.shot(name)
        if area(shot, q.origin) == area(previous, q.origin):
            return shot
        if time.time() > deadline:
            raise Failure("the window does not come to rest (see %s)" % shot.path)


def killed(q):
    """SIGKILL; the program's recording (its name ends in the process id)."""
    recordings = os.path.join(Desktop.env["XDG_DATA_HOME"], "quenzel", "recordings")
    recording, = [os.path.join(recordings, f) for f in os.listdir(recordings)
                  if f.endswith("-%d.qrec.gz" % q.process.pid)]
    q.process.kill()
    q.process.wait()
    return recording


def replayed(replay, recording, work):
    """What quenzel-replay makes of a recording: its client area. The hint line gets the
    sentence the window's start-up writes there, so that all of it compares."""
    with open(recording, "rb") as f:
        text = zlib.decompressobj(31).decompress(f.read())  # no gzip trailer after a kill
    script, png = os.path.join(work, "killed.txt"), os.path.join(work, "replayed.png")
    with open(script, "wb") as f:
        f.write(text + ("@0 type Text4 %s\npng %s\n" % (BROUGHT_BACK, png)).encode())
    run(replay, script, timeout=60)
    return Picture(png)


def dots_go_on(q, name, what):
    """Screenshots until one has more dots than the one before."""
    shots = [q.shot(name)]

    def more(shot):
        shots.append(shot)
        return inked(q, shot) > inked(q, shots[-2]) + 20

    until_shown(q, name, more, what)


def check_brought_back(desktop, binary, work, replay):
    """SIGKILL, then a new start: the drawing comes back as the recording holds it, pixel for
    pixel, and the hint line says so; "②" runs on; after "END" the next start is blank, and
    with --last the drawing comes back once more."""
    shutil.rmtree(os.path.join(Desktop.env["XDG_DATA_HOME"], "quenzel"), ignore_errors=True)
    desktop.start(["xev", "-name", "focus-keeper", "-geometry", "40x40+980+720"])
    wait_until(lambda: run("xdotool", "search", "--name", "^focus-keeper$"), "xev is shown")
    q = Quenzel(desktop, binary, work, "drawn")
    blank = at_rest(q, "blank")
    q.click(PEN)
    q.drag(stroke(60))
    q.click(RED_SWATCH)
    q.drag(stroke(100))
    q.click(CIRCLES)
    # Two digits fit the box: a longer text stays scrolled to where the typing ended, and
    # where a box's text begins in view is the box's, not the drawing's.
    q.type_into(RED_BOX, "96")
    q.click(DOTS)
    dots_go_on(q, "dots", '"②" is drawing')
    # The undo ends "②" and the redo brings back the dots it took (those since Ctrl went
    # down: a key ends a gesture), so that the picture stands still and all of it is in the
    # recording, as each key is written at once.
    run("xdotool", "key", "--clearmodifiers", "ctrl+z", "ctrl+shift+z")
    q.drag(stroke(200))
    before = at_rest(q, "before-kill")
    recording = killed(q)
    q = Quenzel(desktop, binary, work, "killed")
    after = at_rest(q, "brought-back")
    expect(area(after, q.origin, [HINT_LINE]) == area(before, q.origin, [HINT_LINE]),
           "after SIGKILL the next start shows the drawing as it was, pixel for pixel", after)
    # The replay's window has the focus, and a text cursor in the box that holds it.
    expect(area(replayed(replay, recording, work), masked=[POINTER_Y_BOX]) ==
           area(after, q.origin, [POINTER_Y_BOX]),
           'quenzel-replay on the recording shows the same, and the hint line "%s"'
           % BROUGHT_BACK, after)
    said = area(after, q.origin, part=HINT_LINE)

    q.click(DOTS)
    dots_go_on(q, "dots-again", '"②" is drawing again')
    time.sleep(1)
    q.shot("dots-kill")
    killed(q)
    q = Quenzel(desktop, binary, work, "killed-dots")
    until_shown(q, "dots-on", lambda s: area(s, q.origin, part=HINT_LINE) == said,
                "after SIGKILL during \"②\" the hint line says the drawing is back")
    dots_go_on(q, "dots-on", 'and "②" runs on')
    run("xdotool", "windowactivate", "--sync", q.window)
    run("xdotool", "key", "--clearmodifiers", "ctrl+z")
    stopped = at_rest(q, "stopped")

    check_end(q)
    q = Quenzel(desktop, binary, work, "last", ["--last"])
    last = at_rest(q, "last")
    expect(area(last, q.origin, [HINT_LINE]) == area(stopped, q.origin, [HINT_LINE]) and
           area(last, q.origin, part=HINT_LINE) == said,
           "after END, quenzel --last brings the drawing back, and says so", last)
    check_end(q)
    q = Quenzel(desktop, binary, work, "after-end")
    expect(area(at_rest(q, "after-end"), q.origin) == area(blank, q.origin),
           "after END the next start is blank")
    check_end(q)


def check_open_and_drop(desktop, binary, work):
    """Ctrl+O through the real dialog: a 300 x 200 picture shows at the top left, one picture
    pixel to a client pixel, and Ctrl+Z takes it back. A 600 x 420 picture dragged from a
    second quenzel's open dialog and dropped on the window opens the same way, the window
    grown to show it. Kept with Ctrl+Shift+S and opened with `quenzel FILE`, the drawing
    plays how it was made, and after End it stands as it was kept, pixel for pixel."""
    folder = os.path.join(work, "pictures")
    os.makedirs(folder, exist_ok=True)
    for name, (width, height) in [("big", (600, 420)), ("small", (300, 200))]:
        run("convert", "-size", "%dx%d" % (width, height), "xc:red", "-fill", "blue", "-draw",
            "rectangle %d,0 %d,%d" % (width // 2, width - 1, height - 1),
            os.path.join(folder, name + ".png"))
    q = Quenzel(desktop, binary, work, "opening")
    run("xdotool", "windowmove", "--sync", q.window, "0", "0")
    q.locate()
    run("xdotool", "windowactivate", "--sync", q.window)
    answer_dialog(q, "ctrl+o", os.path.join(folder, "small.png"))
    halves = [((100, 100), RED), ((200, 100), BLUE), ((100, 199), RED), ((350, 100), WHITE),
              ((200, 250), WHITE)]
    until_shown(q, "opened", lambda s: all(q.pixel(s, p) == c for p, c in halves),
                "Ctrl+O shows a picture at the top left, one picture pixel to a pixel")
    run("xdotool", "key", "--clearmodifiers", "ctrl+z")
    until_shown(q, "taken-back", lambda s: q.pixel(s, (100, 100)) == WHITE,
                "and Ctrl+Z takes it back")

    source = Quenzel(desktop, binary, work, "drag-source")
    run("xdotool", "windowactivate", "--sync", source.window)
    answer_dialog(source, "ctrl+o", folder + "/")
    files = dialog(source)
    run("xdotool", "windowmove", "--sync", files, "400", "340")
    time.sleep(0.5)
    # A click on the list's empty part closes the completion list; then the first file of
    # the list, big.png, is dragged from where the dialog lists it.
    x, y = geometry(files)[:2]
    run("xdotool", "mousemove", str(x + 300), str(y + 250), "click", "1")
    time.sleep(0.3)
    run("xdotool", "mousemove", str(x + 141), str(y + 51), "mousedown", "1")
    for point in [(x + 160, y + 40), (x + 100, y), (300, 200), (200, 150), (150, 120)]:
        time.sleep(0.1)
        run("xdotool", "mousemove", *map(str, point))
    time.sleep(0.1)
    run("xdotool", "mouseup", "1")
    wait_until(lambda: q.locate() or (q.width, q.height) == (600, 420 + q.menu_height),
               "the window grows to 600 x 420 for the dropped picture")
    halves = [((200, 250), RED), ((350, 250), BLUE), ((380, 419), BLUE), ((299, 300), RED)]
    dropped = until_shown(q, "dropped", lambda s: all(q.pixel(s, p) == c for p, c in halves),
                          "a picture dropped on the window shows there, all of it")
    stop_all([source.process])

    kept = os.path.join(work, "kept.quenzel")
    run("xdotool", "windowactivate", "--sync", q.window)
    answer_dialog(q, "ctrl+shift+s", kept)
    wait_until(lambda: os.path.exists(kept), "the drawing is kept")
    whole = (0, 0, 600, 420)
    before = area(at_rest(q, "kept"), q.origin, [HINT_LINE], whole)
    stop_all([q.process])
    played = Quenzel(desktop, binary, work, "played", [kept])
    run("xdotool", "windowmove", "--sync", played.window, "0", "0")  # clear of focus-keeper
    # Home plays it from its blank start, Space holds it there: a short film may be over
    # by the time the window shows.
    run("xdotool", "windowactivate", "--sync", played.window)
    run("xdotool", "key", "Home", "space")
    played.locate()
    until_shown(played, "playing", lambda s: played.pixel(s, (200, 250)) == WHITE,
                "quenzel FILE plays how the drawing was made, Home from its blank start")
    run("xdotool", "windowactivate", "--sync", played.window)
    run("xdotool", "key", "End")
    wait_until(lambda: played.locate() or played.width == 600, "the window grows as it did")
    after = at_rest(played, "played")
    expect(area(after, played.origin, [HINT_LINE], whole) == before,
           "and after End it stands as it was kept, pixel for pixel", after)
    stop_all([played.process])


def main():
    if len(sys.argv) != 4:
        sys.exit(__doc__)
    binary, work, replay = map(os.path.abspath, sys.argv[1:])
    shutil.rmtree(work, ignore_errors=True)
    os.makedirs(work)
    signal.signal(signal.SIGTERM, lambda *_: sys.exit("stopped"))
    desktop = q = None
    try:
        desktop = Desktop(work)
        q = Quenzel(desktop, binary, work)
        for check in [check_start, check_pen, check_double_click, check_keep, check_undo,
                      check_rings, check_chase, check_eye_over_button, check_bad_text,
                      check_minimise, check_menu, check_end]:
            if not q.running():
                raise Failure("quenzel ended unexpectedly before " + check.__name__)
            check(q)
        check_close_while_drawing(desktop, binary, work)
        check_brought_back(desktop, binary, work, replay)
        check_open_and_drop(desktop, binary, work)
    except (Failure, subprocess.SubprocessError) as error:
        print("FAIL:", error)
        if q:
            print("window at", q.origin, "menu bar", q.menu_height, q.map_state)
        log = os.path.join(work, "quenzel.log")
        if os.path.exists(log):
            print("quenzel's output:\n" + open(log).read()[-4000:])
        return 1
    finally:
        if desktop:
            desktop.stop()
    print("real window: all checks passed")
    return 0


if __name__ == "__main__":
    sys.exit(main())
