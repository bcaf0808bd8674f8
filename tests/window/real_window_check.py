#!/usr/bin/env python3
"""Drives the real window program on a virtual X screen the way a user does, and looks at what
the screen shows (the X root window, not the program's own buffers):

  1. preset 5 runs: between about 2 s and about 5 s the drawing area changes wherever trails
     pass, the centre included;
  2. after Stop and a second preset the first preset's trails are gone from the whole area;
  3. with the "Zodiac" background, and then with "none", new trails still appear all over;
  4. at QT_SCALE_FACTOR=2 on a 2560 x 1440 screen the window lies wholly within the screen;
  5. "Exit" shows the farewell window, and a click on either of its "x" buttons, or Escape (one
     run each), ends the program within two seconds.

Usage: real_window_check.py PROGRAM [SCREENSHOT_DIR]
Needs Xvfb, xdotool and ImageMagick's import. Exits 0 when every check passes.
"""
import os
import struct
import subprocess
import sys
import tempfile
import time
import zlib

BASE_W, BASE_H = 1024, 768  # the window at 100%
# The part of the drawing area that no control covers while preset 5 runs: between the preset
# columns, below the side-view check boxes and above the bottom preset rows.
AREA = (200, 120, 770, 500)
GRID = 3  # the area in GRID x GRID cells; the middle one is the centre

failures = []


def check(ok, what):
    print(("ok   " if ok else "FAIL ") + what, flush=True)
    if not ok:
        failures.append(what)


class Screen:
    """A virtual X screen of its own, with the program on it."""

    def __init__(self, width, height, program, env_extra=None):
        read_end, write_end = os.pipe()
        # -displayfd: Xvfb picks a free display and writes its number once it accepts clients.
        self.xvfb = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0", f"{width}x{height}x24",
             "-nolisten", "tcp"], pass_fds=[write_end], stderr=subprocess.DEVNULL)
        os.close(write_end)
        with os.fdopen(read_end) as f:
            self.display = ":" + f.readline().strip()
        self.home = tempfile.TemporaryDirectory()
        # A home of its own: the window's remembered size goes there, not to the user's settings.
        self.env = dict(os.environ, DISPLAY=self.display, QT_QPA_PLATFORM="xcb", HOME=self.home.name,
                        XDG_CONFIG_HOME=self.home.name + "/.config", XDG_RUNTIME_DIR=self.home.name)
        self.env.update(env_extra or {})
        self.program = program
        self.app = None

    def start(self, *args):
        self.app = subprocess.Popen([self.program, "--data-dir", self.home.name + "/data", *args],
                                    env=self.env, stdout=subprocess.DEVNULL,
                                    stderr=subprocess.DEVNULL)
        # Waits until the main window is mapped.
        wid = self.run(["xdotool", "search", "--sync", "--onlyvisible", "--name",
                        "^Solar System Orbits$"]).split()[0]
        geo = dict(line.split("=") for line in
                   self.run(["xdotool", "getwindowgeometry", "--shell", wid]).split())
        self.window = tuple(int(geo[k]) for k in ("X", "Y", "WIDTH", "HEIGHT"))
        x, y, w, h = self.window
        self.scale = min(w / BASE_W, h / BASE_H)
        self.origin = (x + (w - BASE_W * self.scale) / 2, y + (h - BASE_H * self.scale) / 2)

    def run(self, cmd):
        return subprocess.run(cmd, env=self.env, check=True, capture_output=True,
                              text=True, timeout=30).stdout

    def at(self, px, py):
        """A point of the window at 100% on the screen."""
        return (round(self.origin[0] + px * self.scale), round(self.origin[1] + py * self.scale))

    def click(self, place):
        x, y, w, h = place
        sx, sy = self.at(x + w / 2, y + h / 2)
        self.run(["xdotool", "mousemove", "--sync", str(sx), str(sy), "click", "1"])

    def grab(self):
        raw = subprocess.run(["import", "-window", "root", "-depth", "8", "ppm:-"], env=self.env, check=True,
                             capture_output=True, timeout=30).stdout
        return Image.from_ppm(raw)

    def close(self):
        if self.app:
            self.app.kill()
            self.app.wait()
        self.xvfb.terminate()
        self.xvfb.wait()
        self.home.cleanup()


class Image:
    def __init__(self, width, height, rgb):
        self.width, self.height, self.rgb = width, height, rgb

    @staticmethod
    def from_ppm(data):
        fields, pos = [], 0
        while len(fields) < 4:  # P6, width, height, maxval, each after white space
            while data[pos:pos + 1].isspace():
                pos += 1
            end = pos
            while not data[end:end + 1].isspace():
                end += 1
            fields.append(data[pos:end])
            pos = end
        w, h = int(fields[1]), int(fields[2])
        return Image(w, h, data[pos + 1:pos + 1 + 3 * w * h])

    def row(self, y, x0, x1):
        return self.rgb[3 * (y * self.width + x0):3 * (y * self.width + x1)]

    def save_png(self, path):
        rows = b"".join(b"\0" + self.row(y, 0, self.width) for y in range(self.height))

        def chunk(kind, body):
            return (struct.pack(">I", len(body)) + kind + body +
                    struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF))
        with open(path, "wb") as f:
            f.write(b"\x89PNG\r\n\x1a\n" +
                    chunk(b"IHDR", struct.pack(">IIBBBBB", self.width, self.height, 8, 2, 0, 0, 0)) +
                    chunk(b"IDAT", zlib.compress(rows, 1)) + chunk(b"IEND", b""))


def cells(screen):
    """The cells of the drawing area, on the screen, as (x0, y0, x1, y1)."""
    out = []
    for j in range(GRID):
        for i in range(GRID):
            px0 = AREA[0] + (AREA[2] - AREA[0]) * i // GRID
            px1 = AREA[0] + (AREA[2] - AREA[0]) * (i + 1) // GRID
            py0 = AREA[1] + (AREA[3] - AREA[1]) * j // GRID
            py1 = AREA[1] + (AREA[3] - AREA[1]) * (j + 1) // GRID
            out.append(screen.at(px0, py0) + screen.at(px1, py1))
    return out


def lit(img, cell):
    """Pixels of a cell that are not the black of the empty drawing surface."""
    x0, y0, x1, y1 = cell
    return sum(len(img.row(y, x0, x1)) // 3 - img.row(y, x0, x1).count(b"\0\0\0")
               for y in range(y0, y1))


def changed(a, b, cell):
    x0, y0, x1, y1 = cell
    n = 0
    for y in range(y0, y1):
        ra, rb = a.row(y, x0, x1), b.row(y, x0, x1)
        if ra != rb:
            n += sum(1 for k in range(0, len(ra), 3) if ra[k:k + 3] != rb[k:k + 3])
    return n


def trail_pixels(a, b, grid):
    """Screen points of the area that changed to a trail colour between two frames."""
    out = []
    for x0, y0, x1, y1 in grid:
        for y in range(y0, y1):
            ra, rb = a.row(y, x0, x1), b.row(y, x0, x1)
            if ra != rb:
                out += [(x0 + k // 3, y) for k in range(0, len(ra), 3)
                        if ra[k:k + 3] != rb[k:k + 3] and rb[k:k + 3] != b"\0\0\0"]
    return out


def left_of(points, before, after):
    """How many of the points show the same colour as before."""
    return sum(1 for x, y in points if before.row(y, x, x + 1) == after.row(y, x, x + 1))


def wait_until(condition, timeout, step=0.1):
    """Polls what the screen shows until it meets the condition; the last grab is returned."""
    end = time.monotonic() + timeout
    while True:
        result = condition()
        if result[0] or time.monotonic() > end:
            return result
        time.sleep(step)


def live_everywhere(a, b, grid, what):
    """Every cell where trails show changed between the two frames; the centre too."""
    moving = [changed(a, b, c) for c in grid]
    trails = [max(lit(a, c), lit(b, c)) for c in grid]
    still = [k for k in range(len(grid)) if trails[k] > 20 and moving[k] == 0]
    check(moving[len(grid) // 2] > 0, f"{what}: the centre of the drawing area changes")
    check(not still, f"{what}: every cell with trails changes (still cells: {still})")


def controls(program, env):
    out = subprocess.run([program, "--list-controls"], env=env, check=True, capture_output=True,
                         text=True, timeout=30).stdout
    return {f[0]: tuple(int(v) for v in f[1:]) for f in (line.split() for line in out.splitlines())}


def user_session(program, shots):
    screen = Screen(1280, 1024, program)
    try:
        places = controls(program, screen.env)
        screen.start("--preset", "5")
        started = time.monotonic()
        grid = cells(screen)
        time.sleep(max(0, started + 2 - time.monotonic()))  # the moments the check is about
        first = screen.grab()
        time.sleep(max(0, started + 5 - time.monotonic()))
        second = screen.grab()
        first.save_png(f"{shots}/preset5-2s.png")
        second.save_png(f"{shots}/preset5-5s.png")
        live_everywhere(first, second, grid, "preset 5")

        for option, name in (("OpDate(3)", "Zodiac"), ("OpDate(0)", "none")):
            before = screen.grab()
            screen.click(places[option])
            # The picture appears or goes; then the trails go on over the new background.
            a = wait_until(lambda: (lambda img: (
                changed(before, img, grid[len(grid) // 2]) > 0, img))(screen.grab()), 10)[1]
            b = wait_until(lambda: (lambda img: (
                all(changed(a, img, c) for c in grid), img))(screen.grab()), 10)[1]
            b.save_png(f"{shots}/background-{name}.png")
            live_everywhere(a, b, grid, f"background {name}")

        # The trails preset 5 drew between the first two grabs.
        trail = trail_pixels(first, second, grid)
        screen.click(places["CDstop"])
        screen.click(places["CDp(71)"])
        # Once the new run has cleared the area, none of them may be left.
        after = wait_until(lambda: (lambda img: (
            left_of(trail, second, img) < 20, img))(screen.grab()), 10)[1]
        after.save_png(f"{shots}/preset71.png")
        left = left_of(trail, second, after)
        check(len(trail) > 100 and left < 20, f"after preset 71 no trail of preset 5 is left ({left} of {len(trail)} pixels)")
    finally:
        screen.close()


def scaled_screen(program, shots):
    screen = Screen(2560, 1440, program, {"QT_SCALE_FACTOR": "2"})
    try:
        screen.start()
        x, y, w, h = screen.window  # in the screen's pixels
        check(x >= 0 and y >= 0 and x + w <= 2560 and y + h <= 1440,
              f"at scale factor 2 the window {w}x{h}+{x}+{y} lies within the 2560x1440 screen")
        screen.grab().save_png(f"{shots}/scale2.png")
    finally:
        screen.close()


SPLASH_W = 445  # the farewell window's width
X_BUTTONS = {"left": (0, 0, 25, 33), "right": (420, 0, 25, 33)}


def farewell(program, shots, corner):
    screen = Screen(1280, 1024, program)
    try:
        places = controls(program, screen.env)
        screen.start()
        screen.click(places["Command1"])  # "Exit"
        wid = screen.run(["xdotool", "search", "--sync", "--onlyvisible", "--name", "^Form1$"]).split()[0]
        geo = dict(line.split("=") for line in
                   screen.run(["xdotool", "getwindowgeometry", "--shell", wid]).split())
        time.sleep(0.5)  # drawn
        screen.grab().save_png(f"{shots}/farewell-{corner}.png")
        x0, y0, w = int(geo["X"]), int(geo["Y"]), int(geo["WIDTH"])
        k = w / SPLASH_W
        clicked = time.monotonic()
        if corner in X_BUTTONS:
            bx, by, bw, bh = X_BUTTONS[corner]
            screen.run(["xdotool", "mousemove", "--sync", str(round(x0 + (bx + bw / 2) * k)),
                        str(round(y0 + (by + bh / 2) * k)), "click", "1"])
            what = f"the {corner} \"x\""
        else:
            screen.run(["xdotool", "key", "Escape"])
            what = "Escape"
        try:
            code = screen.app.wait(timeout=2)
            took = time.monotonic() - clicked
            check(code == 0, f"{what} ends the program ({took:.2f} s, exit code {code})")
        except subprocess.TimeoutExpired:
            check(False, f"{what} ends the program within 2 s")
    finally:
        screen.close()


def main():
    program = os.path.abspath(sys.argv[1])
    shots = sys.argv[2] if len(sys.argv) > 2 else tempfile.mkdtemp()
    os.makedirs(shots, exist_ok=True)
    user_session(program, shots)
    scaled_screen(program, shots)
    for corner in (*X_BUTTONS, "escape"):
        farewell(program, shots, corner)
    print(f"screenshots in {shots}")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
