#!/usr/bin/env python3
"""The real window program after a long run, on a virtual X screen, as a user meets it: the data
directory of a run of a million orbits (made by long_lab_fixture) is reloaded with "Load
Previous Data"; then

  1. the Charts window (Ctrl+K) is on the screen, its chart drawn, within a second;
  2. right after, the main window answers a click: "Continue" sets the run going again.

Usage: long_run_check.py PROGRAM FIXTURE [SCREENSHOT_DIR]
Needs Xvfb, xdotool and ImageMagick's import. Exits 0 when every check passes.
"""
import os
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from real_window_check import Image, Screen, changed, check, controls, failures, wait_until  # noqa: E402

ORBITS = 1000000
OPEN_SECONDS = 1.0
# The colours the perihelion chart draws its points in (exact perihelia, markers).
POINT_COLOURS = ((200, 30, 30), (60, 120, 220))


def charts_window(screen):
    """The Charts window's id once it is mapped, else None."""
    found = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", "^Charts$"],
                           env=screen.env, capture_output=True, text=True, timeout=30).stdout.split()
    return found[0] if found else None


def grab_window(screen, wid):
    """What the screen shows of one window."""
    raw = subprocess.run(["import", "-window", wid, "-depth", "8", "ppm:-"], env=screen.env,
                         check=True, capture_output=True, timeout=30).stdout
    return Image.from_ppm(raw)


def points_drawn(img):
    """Pixels of the chart's point colours (every other row)."""
    wanted = {bytes(c) for c in POINT_COLOURS}
    n = 0
    for row in range(0, img.height, 2):
        line = img.row(row, 0, img.width)
        n += sum(1 for k in range(0, len(line), 3) if line[k:k + 3] in wanted)
    return n


def long_run(program, fixture, shots):
    screen = Screen(1366, 768, program)
    try:
        data = screen.home.name + "/data"
        made = subprocess.run([fixture, data, str(ORBITS)], capture_output=True, text=True,
                              timeout=120)
        check(made.returncode == 0, f"the fixture made a run of {ORBITS} orbits ({made.stderr.strip()})")
        places = controls(program, screen.env)
        screen.start()
        before = screen.grab()
        screen.click(places["CDcon"])
        # The reload is done once "Continue" shows.
        cont = places["CDcont"]
        x0, y0 = screen.at(cont[0], cont[1])
        x1, y1 = screen.at(cont[0] + cont[2], cont[1] + cont[3])
        shown = wait_until(lambda: (lambda img: (
            changed(before, img, (x0, y0, x1, y1)) > 0, img))(screen.grab()), 10)
        check(shown[0], "Load Previous Data restores the run of a million orbits")
        shown[1].save_png(f"{shots}/reloaded.png")

        main = screen.run(["xdotool", "search", "--onlyvisible", "--name",
                           "^Solar System Orbits$"]).split()[0]
        asked = time.monotonic()
        screen.run(["xdotool", "key", "--window", main, "ctrl+k"])
        wid, seen, img = None, None, None
        while time.monotonic() - asked < 10:
            wid = wid or charts_window(screen)
            if wid:
                img = grab_window(screen, wid)
                grabbed = time.monotonic() - asked  # the chart was on the screen by then
                if points_drawn(img) > 50:
                    seen = grabbed
                    break
            time.sleep(0.02)
        if img:
            img.save_png(f"{shots}/charts.png")
        check(seen is not None and seen <= OPEN_SECONDS,
              f"the Charts window shows its chart within {OPEN_SECONDS} s "
              f"({'never' if seen is None else f'{seen:.2f} s'})")

        quiet = screen.grab()
        clicked = time.monotonic()
        screen.click(places["CDcont"])
        answered = wait_until(lambda: (lambda img: (
            changed(quiet, img, (x0, y0, x1, y1)) > 0, img))(screen.grab()), 3, step=0.02)
        took = time.monotonic() - clicked
        answered[1].save_png(f"{shots}/continued.png")
        check(answered[0], f"right after, the main window answers a click on Continue ({took:.2f} s)")
    finally:
        screen.close()


def main():
    program = os.path.abspath(sys.argv[1])
    fixture = os.path.abspath(sys.argv[2])
    shots = sys.argv[3] if len(sys.argv) > 3 else tempfile.mkdtemp()
    os.makedirs(shots, exist_ok=True)
    long_run(program, fixture, shots)
    print(f"screenshots in {shots}")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
